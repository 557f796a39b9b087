// The COM runtime's reads of HKEY_CLASSES_ROOT.
#pragma once

#include "host/win32/Registry.h"

#include <optional>
#include <string>
#include <string_view>

namespace tvx::win32::detail {

struct RegistryText {
    DWORD type = REG_NONE;
    std::u16string text;
};

// A string value (REG_SZ or REG_EXPAND_SZ, unexpanded) of root\subKey; null
// `valueName` reads the default value. Nothing for missing keys, values of
// other types and failures.
std::optional<RegistryText> ReadRegistryText(HKEY root, std::u16string_view subKey, LPCWSTR valueName);

} // namespace tvx::win32::detail
