// Registry functions (advapi32) over the in-memory store, with Windows'
// arguments, return codes and out-value behaviour.
#include "RegistryStore.h"

#include "host/win32/Kernel.h"

#include <algorithm>
#include <cstring>
#include <new>

using namespace tvx::win32::detail;

namespace {

// No C++ exception leaves a Win32 function; running out of memory is the
// only one the store can raise.
template <class Body>
LSTATUS Guarded(Body&& body) noexcept
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return ERROR_OUTOFMEMORY;
    } catch (...) {
        return ERROR_INVALID_PARAMETER;
    }
}

std::u16string_view Text(LPCWSTR p) noexcept { return p ? std::u16string_view(p) : std::u16string_view(); }

void SetFileTime(FILETIME* out, std::uint64_t ticks)
{
    if (!out)
        return;
    out->dwLowDateTime = DWORD(ticks);
    out->dwHighDateTime = DWORD(ticks >> 32);
}

DWORD Size32(std::size_t n) { return n > 0xFFFFFFFFu ? 0xFFFFFFFFu : DWORD(n); }

// Callers have checked that the buffer holds the name and its NUL.
void CopyName(std::u16string_view name, LPWSTR buffer)
{
    std::copy(name.begin(), name.end(), buffer);
    buffer[name.size()] = 0;
}

// RegQueryValueEx's buffer protocol: a size query with no buffer, and
// ERROR_MORE_DATA with the needed size when the buffer is short.
LSTATUS CopyData(const std::vector<BYTE>& data, BYTE* buffer, DWORD* size)
{
    if (!size)
        return ERROR_SUCCESS;
    DWORD needed = Size32(data.size());
    if (buffer && *size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (buffer && !data.empty())
        std::memcpy(buffer, data.data(), data.size());
    *size = needed;
    return ERROR_SUCCESS;
}

LSTATUS OpenRelative(RegistryStore& store, HKEY base, LPCWSTR subKey, ResolvedHandle& from,
                     std::shared_ptr<RegKey>& target)
{
    if (LSTATUS rc = store.Resolve(base, from))
        return rc;
    std::vector<std::u16string_view> parts;
    if (LSTATUS rc = SplitKeyPath(Text(subKey), parts))
        return rc;
    target = store.Find(from.key, parts);
    return target ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LSTATUS NeedAccess(const ResolvedHandle& handle, REGSAM rights)
{
    return (handle.access & rights) == rights ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

// Runs `body` on the key behind an open handle that carries `rights`, under
// the store's lock: the shape of every call that works on one open key.
template <class Body>
LSTATUS WithOpenKey(HKEY hKey, REGSAM rights, Body&& body) noexcept
{
    return Guarded([&]() -> LSTATUS {
        auto& store = RegistryStore::Instance();
        auto lock = store.Lock();
        ResolvedHandle h;
        if (LSTATUS rc = store.Resolve(hKey, h))
            return rc;
        if (LSTATUS rc = NeedAccess(h, rights))
            return rc;
        return body(*h.key);
    });
}

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

LSTATUS GetValue(HKEY hkey, LPCWSTR subKey, LPCWSTR valueName, DWORD flags, DWORD* typeOut, void* buffer,
                 DWORD* size)
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
    DWORD typeFlag = TypeFlag(type);
    if (restriction != RRF_RT_ANY && !(restriction & typeFlag))
        return ERROR_UNSUPPORTED_TYPE;
    // RRF_RT_DWORD and RRF_RT_QWORD take REG_BINARY only of the matching width.
    if (type == REG_BINARY && (restriction == RRF_RT_DWORD || restriction == RRF_RT_QWORD) &&
        data.size() != (restriction == RRF_RT_DWORD ? 4u : 8u))
        return ERROR_DATATYPE_MISMATCH;
    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ)
        data = Terminated(std::move(data), type);
    if (typeOut)
        *typeOut = type;
    return CopyData(data, static_cast<BYTE*>(buffer), size);
}

} // namespace

TVX_WIN32_API LSTATUS RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD /*ulOptions*/, REGSAM samDesired,
                                    PHKEY phkResult)
{
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    return Guarded([&]() -> LSTATUS {
        auto& store = RegistryStore::Instance();
        auto lock = store.Lock();
        // A predefined key with no subkey hands back the same predefined handle.
        if (RegistryStore::IsPredefined(hKey) && Text(lpSubKey).empty()) {
            *phkResult = hKey;
            return ERROR_SUCCESS;
        }
        ResolvedHandle from;
        std::shared_ptr<RegKey> key;
        if (LSTATUS rc = OpenRelative(store, hKey, lpSubKey, from, key))
            return rc;
        REGSAM granted = 0;
        if (LSTATUS rc = store.GrantAccess(*key, samDesired, granted))
            return rc;
        return store.AddHandle(key, granted, *phkResult);
    });
}

TVX_WIN32_API LSTATUS RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD /*Reserved*/, LPWSTR lpClass,
                                      DWORD dwOptions, REGSAM samDesired, const void* /*lpSecurityAttributes*/,
                                      PHKEY phkResult, DWORD* lpdwDisposition)
{
    if (!phkResult || !lpSubKey)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    return Guarded([&]() -> LSTATUS {
        auto& store = RegistryStore::Instance();
        auto lock = store.Lock();
        ResolvedHandle from;
        if (LSTATUS rc = store.Resolve(hKey, from))
            return rc;
        std::vector<std::u16string_view> parts;
        if (LSTATUS rc = SplitKeyPath(Text(lpSubKey), parts))
            return rc;
        if (from.key->Depth() + parts.size() > kMaxKeyDepth)
            return ERROR_INVALID_PARAMETER;

        std::shared_ptr<RegKey> key = from.key;
        std::size_t existing = 0;
        while (existing < parts.size()) {
            auto next = key->SubkeyPtr(Fold(parts[existing]));
            if (!next)
                break;
            key = std::move(next);
            ++existing;
        }
        bool isVolatile = (dwOptions & REG_OPTION_VOLATILE) != 0;
        bool created = existing < parts.size();
        if (created) {
            // Creating needs the parent's permission, not the handle's access mask.
            if (store.IsHiveRoot(*key) || store.WriteDenied(*key))
                return ERROR_ACCESS_DENIED;
            if (key->isVolatile && !isVolatile)
                return ERROR_CHILD_MUST_BE_VOLATILE;
        }
        std::shared_ptr<RegKey> firstNew;
        LSTATUS rc = ERROR_SUCCESS;
        for (std::size_t i = existing; i < parts.size(); ++i) {
            if (i > existing && store.WriteDenied(*key)) {
                rc = ERROR_ACCESS_DENIED;
                break;
            }
            key = store.AddSubkey(*key, parts[i], isVolatile, i + 1 == parts.size() ? Text(lpClass) : u"");
            if (!firstNew)
                firstNew = key;
        }
        REGSAM granted = 0;
        if (rc == ERROR_SUCCESS)
            rc = store.GrantAccess(*key, samDesired, granted);
        if (rc == ERROR_SUCCESS)
            rc = store.AddHandle(key, granted, *phkResult);
        if (rc != ERROR_SUCCESS) {
            // A refused call leaves no key behind.
            if (firstNew)
                store.DeleteKey(*firstNew);
            return rc;
        }
        if (lpdwDisposition)
            *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
        return ERROR_SUCCESS;
    });
}

TVX_WIN32_API LSTATUS RegCloseKey(HKEY hKey)
{
    return Guarded([&]() -> LSTATUS {
        auto& store = RegistryStore::Instance();
        auto lock = store.Lock();
        return store.CloseHandle(hKey);
    });
}

TVX_WIN32_API LSTATUS RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, DWORD* lpcchName, DWORD* lpReserved,
                                    LPWSTR lpClass, DWORD* lpcchClass, FILETIME* lpftLastWriteTime)
{
    if (!lpName || !lpcchName || lpReserved || (lpClass && !lpcchClass))
        return ERROR_INVALID_PARAMETER;
    return WithOpenKey(hKey, KEY_ENUMERATE_SUB_KEYS, [&](RegKey& key) -> LSTATUS {
        if (dwIndex >= key.subkeys.size())
            return ERROR_NO_MORE_ITEMS;
        const RegKey& sub = *key.subkeys[dwIndex];
        // The counts stay as they were when a buffer is short.
        if (*lpcchName <= sub.name.size() || (lpClass && *lpcchClass <= sub.className.size()))
            return ERROR_MORE_DATA;
        CopyName(sub.name, lpName);
        *lpcchName = DWORD(sub.name.size());
        if (lpClass) {
            CopyName(sub.className, lpClass);
            *lpcchClass = DWORD(sub.className.size());
        }
        SetFileTime(lpftLastWriteTime, sub.lastWrite);
        return ERROR_SUCCESS;
    });
}

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
            // Nothing is copied; only the data size and type are reported.
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

TVX_WIN32_API LSTATUS RegQueryInfoKeyW(HKEY hKey, LPWSTR lpClass, DWORD* lpcchClass, DWORD* lpReserved,
                                       DWORD* lpcSubKeys, DWORD* lpcbMaxSubKeyLen, DWORD* lpcbMaxClassLen,
                                       DWORD* lpcValues, DWORD* lpcbMaxValueNameLen, DWORD* lpcbMaxValueLen,
                                       DWORD* lpcbSecurityDescriptor, FILETIME* lpftLastWriteTime)
{
    if (lpReserved || (lpClass && !lpcchClass))
        return ERROR_INVALID_PARAMETER;
    return WithOpenKey(hKey, KEY_QUERY_VALUE, [&](RegKey& key) -> LSTATUS {
        if (lpClass) {
            if (*lpcchClass <= key.className.size()) {
                *lpcchClass = DWORD(key.className.size());
                return ERROR_MORE_DATA;
            }
            CopyName(key.className, lpClass);
        }
        if (lpcchClass)
            *lpcchClass = DWORD(key.className.size());
        std::size_t maxSub = 0, maxClass = 0, maxName = 0, maxData = 0;
        for (auto& sub : key.subkeys) {
            maxSub = std::max(maxSub, sub->name.size());
            maxClass = std::max(maxClass, sub->className.size());
        }
        for (auto& value : key.values) {
            maxName = std::max(maxName, value.name.size());
            maxData = std::max(maxData, value.data.size());
        }
        auto put = [](DWORD* out, std::size_t n) {
            if (out)
                *out = Size32(n);
        };
        put(lpcSubKeys, key.subkeys.size());
        put(lpcbMaxSubKeyLen, maxSub);
        put(lpcbMaxClassLen, maxClass);
        put(lpcValues, key.values.size());
        put(lpcbMaxValueNameLen, maxName);
        put(lpcbMaxValueLen, maxData);
        put(lpcbSecurityDescriptor, 0);
        SetFileTime(lpftLastWriteTime, key.lastWrite);
        return ERROR_SUCCESS;
    });
}

TVX_WIN32_API LSTATUS RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD* lpReserved, DWORD* lpType, BYTE* lpData,
                                       DWORD* lpcbData)
{
    if (lpReserved || (lpData && !lpcbData))
        return ERROR_INVALID_PARAMETER;
    return WithOpenKey(hKey, KEY_QUERY_VALUE, [&](RegKey& key) -> LSTATUS {
        RegValue* value = key.FindValue(Text(lpValueName));
        if (!value)
            return ERROR_FILE_NOT_FOUND;
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

TVX_WIN32_API LSTATUS RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey)
{
    if (!lpSubKey)
        return ERROR_INVALID_PARAMETER;
    return Guarded([&]() -> LSTATUS {
        auto& store = RegistryStore::Instance();
        auto lock = store.Lock();
        ResolvedHandle from;
        std::shared_ptr<RegKey> key;
        if (LSTATUS rc = OpenRelative(store, hKey, lpSubKey, from, key))
            return rc;
        // Deletion is checked against the key's own permission, and a key
        // with subkeys is refused as access denied, as RegDeleteKey does.
        if (store.IsSystemKey(*key) || store.WriteDenied(*key) || !key->subkeys.empty())
            return ERROR_ACCESS_DENIED;
        store.DeleteKey(*key);
        return ERROR_SUCCESS;
    });
}

TVX_WIN32_API LSTATUS RegDeleteTreeW(HKEY hKey, LPCWSTR lpSubKey)
{
    return Guarded([&]() -> LSTATUS {
        auto& store = RegistryStore::Instance();
        auto lock = store.Lock();
        ResolvedHandle from;
        std::shared_ptr<RegKey> key;
        if (LSTATUS rc = OpenRelative(store, hKey, lpSubKey, from, key))
            return rc;
        bool keepKey = Text(lpSubKey).empty();
        // Refused as a whole rather than left half deleted.
        if (keepKey) {
            if (LSTATUS rc = NeedAccess(from, KEY_SET_VALUE))
                return rc;
            for (auto& sub : key->subkeys)
                if (store.SubtreeProtected(*sub))
                    return ERROR_ACCESS_DENIED;
            while (!key->subkeys.empty())
                store.DeleteKey(*key->subkeys.back());
            key->values.clear();
            key->Touch();
            return ERROR_SUCCESS;
        }
        if (store.SubtreeProtected(*key))
            return ERROR_ACCESS_DENIED;
        store.DeleteKey(*key);
        return ERROR_SUCCESS;
    });
}
