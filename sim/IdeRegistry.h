// The registry values the simulated IDE writes as an installed IDE has them.
#pragma once

#include "host/win32/Win32.h"

#include <string>

namespace tvx::sim {

// Keeps what is in place when the key cannot be written: the session then
// shows the lookups' fallbacks.
void WriteRegistryText(HKEY root, const std::u16string& path, const char16_t* name, const std::u16string& value);

} // namespace tvx::sim
