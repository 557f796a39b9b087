#include "host/win32/src/ComRegistry.h"

#include <algorithm>
#include <vector>

namespace tvx::win32::detail {

std::optional<RegistryText> ReadRegistryText(HKEY root, std::u16string_view subKey, LPCWSTR valueName)
{
    std::u16string path(subKey);
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::nullopt;
    std::optional<RegistryText> result;
    DWORD type = REG_NONE;
    DWORD bytes = 0;
    if (RegQueryValueExW(key, valueName, nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        // Room for a NUL the stored data may lack.
        std::vector<WCHAR> buffer(bytes / sizeof(WCHAR) + 1, u'\0');
        DWORD size = DWORD(buffer.size() * sizeof(WCHAR));
        if (RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) ==
                ERROR_SUCCESS &&
            (type == REG_SZ || type == REG_EXPAND_SZ)) {
            std::u16string text(buffer.data(), std::min<std::size_t>(size / sizeof(WCHAR), buffer.size()));
            // Stored strings end with NULs that are not part of the text.
            text.resize(std::u16string_view(text.c_str()).size());
            result = RegistryText{type, std::move(text)};
        }
    }
    RegCloseKey(key);
    return result;
}

} // namespace tvx::win32::detail
