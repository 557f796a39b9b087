// Registry value functions (advapi32) over the in-memory store, with
// Windows' buffer protocols and out-value behaviour.
#include "RegistryCall.h"

#include "host/win32/Kernel.h"

#include <algorithm>
#include <cstring>
#include <new>

using namespace tvx::win32::detail;

namespace {

// RegGetValue expands through ExpandEnvironmentStrings, as on Windows.
std::u16string ExpandEnvironment(const std::u16string& text)
{
    DWORD needed = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (!needed)
        throw std::bad_alloc();
    std::u16string out(needed, u'\0');
    DWORD written = ExpandEnvironmentStringsW(text.c_str(), out.data(), needed);
    out.resize(written && written <= needed ? written - 1 : 0);
    return out;
}

std::u16string UnitsOf(const std::vector<BYTE>& data)
{
    std::u16string units(data.size() / 2, u'\0');
    if (!units.empty())
        std::memcpy(units.data(), data.data(), units.size() * 2);
    return units;
}

std::vector<BYTE> BytesOf(std::u16string_view units)
{
    std::vector<BYTE> bytes(units.size() * 2);
    if (!bytes.empty())
        std::memcpy(bytes.data(), units.data(), bytes.size());
    return bytes;
}

// RegGetValue hands out strings that end in NUL (two for REG_MULTI_SZ),
// whatever was stored; an odd trailing byte is padded to a whole character.
std::vector<BYTE> Terminated(std::vector<BYTE> data, DWORD type)
{
    if (data.size() % 2)
        data.push_back(0);
    auto unitAt = [&](std::size_t fromEnd) {
        std::size_t n = data.size() / 2;
        return fromEnd < n ? char16_t(data[(n - 1 - fromEnd) * 2] | (data[(n - 1 - fromEnd) * 2 + 1] << 8)) : u'x';
    };
    if (data.empty() || unitAt(0) != 0)
        data.insert(data.end(), {0, 0});
    if (type == REG_MULTI_SZ && data.size() > 2 && unitAt(1) != 0)
        data.insert(data.end(), {0, 0});
    return data;
}

DWORD TypeFlag(DWORD type)
{
    switch (type) {
    case REG_NONE: return RRF_RT_REG_NONE;
    case REG_SZ: return RRF_RT_REG_SZ;
    case REG_EXPAND_SZ: return RRF_RT_REG_EXPAND_SZ;
    case REG_BINARY: return RRF_RT_REG_BINARY;
    case REG_DWORD: return RRF_RT_REG_DWORD;
    case REG_MULTI_SZ: return RRF_RT_REG_MULTI_SZ;
    case REG_QWORD: return RRF_RT_REG_QWORD;
    default: return 0;
    }
}

LSTATUS GetValue(HKEY hkey, LPCWSTR subKey, LPCWSTR valueName, DWORD flags, DWORD* typeOut, void* buffer, DWORD* size)
{
    DWORD restriction = flags & RRF_RT_ANY;
    if (!restriction || (buffer && !size))
        return ERROR_INVALID_PARAMETER;
    // Handing out REG_EXPAND_SZ unexpanded must be asked for explicitly.
    if ((restriction & RRF_RT_REG_EXPAND_SZ) && restriction != RRF_RT_ANY && !(flags & RRF_NOEXPAND))
        return ERROR_INVALID_PARAMETER;

    auto& store = RegistryStore::Instance();
    auto lock = store.Lock();
    ResolvedHandle from;
    std::shared_ptr<RegKey> key;
    if (LSTATUS rc = OpenRelative(store, hkey, subKey, from, key))
        return rc;
    // Through a subkey the value is read with a handle of its own; without
    // one, hkey itself must allow querying.
    if (Text(subKey).empty()) {
        if (LSTATUS rc = NeedAccess(from, KEY_QUERY_VALUE))
            return rc;
    }
    RegValue* value = key->FindValue(Text(valueName));
    if (!value)
        return ERROR_FILE_NOT_FOUND;

    DWORD type = value->type;
    std::vector<BYTE> data = value->data;
    if (type == REG_EXPAND_SZ && !(flags & RRF_NOEXPAND)) {
        std::u16string units = UnitsOf(data);
        units.resize(std::min(units.size(), std::u16string_view(units).find(u'\0')));
        data = BytesOf(ExpandEnvironment(units));
        type = REG_SZ;
    }
    LSTATUS rc = ERROR_SUCCESS;
    if (restriction != RRF_RT_ANY && !(restriction & TypeFlag(type)))
        rc = ERROR_UNSUPPORTED_TYPE;
    // RRF_RT_DWORD and RRF_RT_QWORD take REG_BINARY only of the matching width.
    else if (type == REG_BINARY && (restriction == RRF_RT_DWORD || restriction == RRF_RT_QWORD) &&
             data.size() != (restriction == RRF_RT_DWORD ? 4u : 8u))
        rc = ERROR_DATATYPE_MISMATCH;
    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ)
        data = Terminated(std::move(data), type);
    // A refused type still hands out the type, size and data, as Windows does;
    // the result tells the caller not to use them.
    if (typeOut)
        *typeOut = type;
    LSTATUS copied = CopyData(data, static_cast<BYTE*>(buffer), size);
    return rc ? rc : copied;
}

} // namespace

TVX_WIN32_API LSTATUS RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, DWORD* lpcchValueName,
                                    DWORD* lpReserved, DWORD* lpType, BYTE* lpData, DWORD* lpcbData)
{
    if (!lpValueName || !lpcchValueName || lpReserved || (lpData && !lpcbData))
        return ERROR_INVALID_PARAMETER;
    return WithOpenKey(hKey, KEY_QUERY_VALUE, [&](RegKey& key) -> LSTATUS {
        if (dwIndex >= key.values.size())
            return ERROR_NO_MORE_ITEMS;
        const RegValue& value = key.values[dwIndex];
        DWORD needed = Size32(value.data.size());
        bool nameShort = *lpcchValueName <= value.name.size();
        bool dataShort = lpData && *lpcbData < needed;
        if (nameShort || dataShort) {
            // The data is never copied short; a name that fits still is.
            if (!nameShort) {
                CopyName(value.name, lpValueName);
                *lpcchValueName = DWORD(value.name.size());
            }
            if (lpType)
                *lpType = value.type;
            if (lpcbData)
                *lpcbData = needed;
            return ERROR_MORE_DATA;
        }
        CopyName(value.name, lpValueName);
        *lpcchValueName = DWORD(value.name.size());
        if (lpType)
            *lpType = value.type;
        return CopyData(value.data, lpData, lpcbData);
    });
}

TVX_WIN32_API LSTATUS RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD* lpReserved, DWORD* lpType, BYTE* lpData,
                                       DWORD* lpcbData)
{
    if (lpReserved || (lpData && !lpcbData))
        return ERROR_INVALID_PARAMETER;
    return WithOpenKey(hKey, KEY_QUERY_VALUE, [&](RegKey& key) -> LSTATUS {
        RegValue* value = key.FindValue(Text(lpValueName));
        if (!value) {
            // A size query for a missing value answers 0.
            if (lpcbData && !lpData)
                *lpcbData = 0;
            return ERROR_FILE_NOT_FOUND;
        }
        if (lpType)
            *lpType = value->type;
        // Strings come back exactly as stored: no terminator is added.
        return CopyData(value->data, lpData, lpcbData);
    });
}

TVX_WIN32_API LSTATUS RegGetValueW(HKEY hkey, LPCWSTR lpSubKey, LPCWSTR lpValue, DWORD dwFlags, DWORD* pdwType,
                                   void* pvData, DWORD* pcbData)
{
    DWORD capacity = (pvData && pcbData) ? *pcbData : 0;
    LSTATUS rc = Guarded([&]() { return GetValue(hkey, lpSubKey, lpValue, dwFlags, pdwType, pvData, pcbData); });
    if (rc != ERROR_SUCCESS && (dwFlags & RRF_ZEROONFAILURE) && pvData)
        std::memset(pvData, 0, capacity);
    return rc;
}

TVX_WIN32_API LSTATUS RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD /*Reserved*/, DWORD dwType,
                                     const BYTE* lpData, DWORD cbData)
{
    if (!lpData && cbData)
        return ERROR_NOACCESS;
    std::u16string_view name = Text(lpValueName);
    if (name.size() > kMaxValueNameChars)
        return ERROR_INVALID_PARAMETER;
    return WithOpenKey(hKey, KEY_SET_VALUE, [&](RegKey& key) -> LSTATUS {
        key.SetValue(name, dwType, std::vector<BYTE>(lpData, lpData + cbData));
        return ERROR_SUCCESS;
    });
}

TVX_WIN32_API LSTATUS RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName)
{
    return WithOpenKey(hKey, KEY_SET_VALUE, [&](RegKey& key) -> LSTATUS {
        return key.DeleteValue(Text(lpValueName)) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}
