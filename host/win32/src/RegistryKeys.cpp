// Registry key functions (advapi32) over the in-memory store: opening,
// creating, closing, enumerating, describing and deleting keys.
#include "RegistryCall.h"

#include <algorithm>

using namespace tvx::win32::detail;

namespace {

void SetFileTime(FILETIME* out, std::uint64_t ticks)
{
    if (!out)
        return;
    out->dwLowDateTime = DWORD(ticks);
    out->dwHighDateTime = DWORD(ticks >> 32);
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

TVX_WIN32_API LSTATUS RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD /*Reserved*/, LPWSTR lpClass, DWORD dwOptions,
                                      REGSAM samDesired, const void* /*lpSecurityAttributes*/, PHKEY phkResult,
                                      DWORD* lpdwDisposition)
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
