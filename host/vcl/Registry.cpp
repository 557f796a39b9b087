#include "host/vcl/Registry.h"

#include "host/vcl/StringList.h"
#include "host/vcl/TypInfo.h"
#include "interop/Bstr.h"

#include <vector>

TVX_DEFINE_CLASS(TRegistry)

namespace {

constexpr REGSAM kWow64Flags = KEY_WOW64_32KEY | KEY_WOW64_64KEY;
// What KeyExists and the middle step of OpenKeyReadOnly ask for: reading
// without change notification.
constexpr REGSAM kReadNoNotify = STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS;

TRegDataType RegDataOf(DWORD type) noexcept
{
    switch (type) {
    case REG_SZ: return rdString;
    case REG_EXPAND_SZ: return rdExpandString;
    case REG_DWORD: return rdInteger;
    case REG_BINARY: return rdBinary;
    default: return rdUnknown;
    }
}

LPCWSTR Wide(const String& s) noexcept { return tvx::AsOleChar(s.c_str()); }

[[noreturn]] void GetDataFailed(const String& name) { throw ERegistryException(Format(SRegGetDataFailed, name)); }

} // namespace

TRegistry::TRegistry() = default;

TRegistry::TRegistry(REGSAM AAccess) : access_(AAccess) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY Value)
{
    if (Value == rootKey_)
        return;
    rootKey_ = Value;
    CloseKey();
}

HKEY TRegistry::BaseKey(bool relative) const noexcept { return relative && currentKey_ ? currentKey_ : rootKey_; }

void TRegistry::ChangeKey(HKEY key, const String& path)
{
    CloseKey();
    currentKey_ = key;
    currentPath_ = path;
}

void TRegistry::CloseKey() noexcept
{
    if (currentKey_)
        RegCloseKey(currentKey_);
    currentKey_ = nullptr;
    currentPath_.clear();
}

HKEY TRegistry::OpenWith(const String& Key, REGSAM access, String* fullPath) const
{
    bool relative = Key.empty() || Key[0] != u'\\';
    String subKey = relative ? Key : Key.substr(1);
    HKEY key = nullptr;
    if (RegOpenKeyExW(BaseKey(relative), Wide(subKey), 0, access, &key) != ERROR_SUCCESS)
        return nullptr;
    if (fullPath)
        *fullPath = relative && currentKey_ ? currentPath_ + u"\\" + subKey : subKey;
    return key;
}

bool TRegistry::OpenKey(const String& Key, bool CanCreate)
{
    bool relative = Key.empty() || Key[0] != u'\\';
    String subKey = relative ? Key : Key.substr(1);
    if (!CanCreate || subKey.empty()) {
        String path;
        HKEY key = OpenWith(Key, access_, &path);
        if (key)
            ChangeKey(key, path);
        return key != nullptr;
    }
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExW(BaseKey(relative), Wide(subKey), 0, nullptr, REG_OPTION_NON_VOLATILE, access_, nullptr, &key,
                        &disposition) != ERROR_SUCCESS)
        return false;
    ChangeKey(key, relative && currentKey_ ? currentPath_ + u"\\" + subKey : subKey);
    return true;
}

bool TRegistry::OpenKeyReadOnly(const String& Key)
{
    REGSAM wow64 = access_ & kWow64Flags;
    for (REGSAM rights : {REGSAM(KEY_READ), kReadNoNotify, REGSAM(KEY_QUERY_VALUE)}) {
        String path;
        if (HKEY key = OpenWith(Key, rights | wow64, &path)) {
            access_ = rights | wow64;
            ChangeKey(key, path);
            return true;
        }
    }
    return false;
}

bool TRegistry::KeyExists(const String& Key)
{
    HKEY key = OpenWith(Key, kReadNoNotify | (access_ & kWow64Flags), nullptr);
    if (key)
        RegCloseKey(key);
    return key != nullptr;
}

bool TRegistry::GetDataInfo(const String& ValueName, TRegDataInfo& Value) const
{
    Value = TRegDataInfo();
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExW(currentKey_, Wide(ValueName), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    Value.RegData = RegDataOf(type);
    Value.DataSize = int(size);
    return true;
}

bool TRegistry::ValueExists(const String& Name) const
{
    TRegDataInfo info;
    return GetDataInfo(Name, info);
}

TRegDataType TRegistry::GetDataType(const String& ValueName) const
{
    TRegDataInfo info;
    GetDataInfo(ValueName, info);
    return info.RegData;
}

int TRegistry::GetDataSize(const String& ValueName) const
{
    TRegDataInfo info;
    return GetDataInfo(ValueName, info) ? info.DataSize : -1;
}

void TRegistry::ReadError(const String& Name) const { throw ERegistryException(Format(SInvalidRegType, Name)); }

String TRegistry::ReadString(const String& Name) const
{
    int size = GetDataSize(Name);
    if (size <= 0)
        return String();
    // One spare unit so that text stored without its NUL still ends.
    std::vector<char16_t> buffer(std::size_t(size) / 2 + 2, u'\0');
    DWORD type = REG_NONE;
    DWORD bytes = DWORD(size);
    if (RegQueryValueExW(currentKey_, Wide(Name), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes) !=
        ERROR_SUCCESS)
        GetDataFailed(Name);
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        ReadError(Name);
    return String(buffer.data());
}

int TRegistry::ReadInteger(const String& Name) const
{
    TRegDataInfo info;
    if (!GetDataInfo(Name, info))
        GetDataFailed(Name);
    // The VCL would read the first bytes of a short REG_DWORD as a whole
    // Integer; a size other than 4 is refused as the wrong type instead.
    if (info.RegData != rdInteger || info.DataSize != 4)
        ReadError(Name);
    std::int32_t value = 0;
    DWORD type = REG_NONE;
    DWORD bytes = sizeof(value);
    if (RegQueryValueExW(currentKey_, Wide(Name), nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes) !=
        ERROR_SUCCESS)
        GetDataFailed(Name);
    if (type != REG_DWORD || bytes != sizeof(value))
        ReadError(Name);
    return value;
}

int TRegistry::ReadBinaryData(const String& Name, void* Buffer, int BufSize) const
{
    TRegDataInfo info;
    if (!GetDataInfo(Name, info))
        return 0;
    if ((info.RegData != rdBinary && info.RegData != rdUnknown) || info.DataSize > BufSize)
        ReadError(Name);
    DWORD type = REG_NONE;
    DWORD bytes = DWORD(BufSize);
    if (RegQueryValueExW(currentKey_, Wide(Name), nullptr, &type, static_cast<BYTE*>(Buffer), &bytes) != ERROR_SUCCESS)
        GetDataFailed(Name);
    return int(bytes);
}

void TRegistry::GetKeyNames(TStrings* Strings) const
{
    Strings->Clear();
    if (!currentKey_)
        return;
    std::vector<char16_t> name(256);
    DWORD index = 0;
    for (;;) {
        DWORD length = DWORD(name.size());
        LSTATUS status = RegEnumKeyExW(currentKey_, index, reinterpret_cast<LPWSTR>(name.data()), &length, nullptr,
                                       nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) {
            name.resize(name.size() * 2);
            continue;
        }
        if (status != ERROR_SUCCESS)
            return;
        Strings->Add(String(name.data(), length));
        ++index;
    }
}
