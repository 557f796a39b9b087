// The shape every Reg* function of the stand-in shares: no exception leaves
// it, and the calls on one open key run under the store's lock.
#pragma once

#include "RegistryStore.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace tvx::win32::detail {

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

inline std::u16string_view Text(LPCWSTR p) noexcept { return p ? std::u16string_view(p) : std::u16string_view(); }

inline DWORD Size32(std::size_t n) { return n > 0xFFFFFFFFu ? 0xFFFFFFFFu : DWORD(n); }

// Callers have checked that the buffer holds the name and its NUL.
inline void CopyName(std::u16string_view name, LPWSTR buffer)
{
    std::copy(name.begin(), name.end(), buffer);
    buffer[name.size()] = 0;
}

// RegQueryValueEx's buffer protocol: a size query with no buffer, and
// ERROR_MORE_DATA with the needed size when the buffer is short.
inline LSTATUS CopyData(const std::vector<BYTE>& data, BYTE* buffer, DWORD* size)
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

inline LSTATUS OpenRelative(RegistryStore& store, HKEY base, LPCWSTR subKey, ResolvedHandle& from,
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

inline LSTATUS NeedAccess(const ResolvedHandle& handle, REGSAM rights)
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

} // namespace tvx::win32::detail
