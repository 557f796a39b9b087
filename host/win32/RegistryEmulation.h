// Set-up and checks of the emulated registry, for tests and the simulator.
// Not part of Win32: on Windows the real registry is used and none of this
// exists.
#pragma once

#include "host/win32/Registry.h"

#include <cstddef>
#include <string_view>

#if !defined(_WIN32)

namespace tvx::win32 {

// Back to a freshly installed machine: only the keys Windows always has
// (HKLM\SOFTWARE\Classes, which HKEY_CLASSES_ROOT shows, HKLM\SYSTEM and
// HKU\.DEFAULT) remain. Every open handle becomes invalid and every
// write-deny mark is dropped.
TVX_VISIBLE void ResetRegistry();

// Makes the key at root\subKey, and everything below it, refuse write
// access as an ACL for a standard user would: opening it with any write
// right fails with ERROR_ACCESS_DENIED, reading still works. The key need
// not exist yet. denied = false lifts a mark set on the same path. False
// when root is not a predefined key or the path is malformed.
TVX_VISIBLE bool SetRegistryWriteDenied(HKEY root, std::u16string_view subKey, bool denied = true);

// How many key handles are open, to catch handles that are never closed.
TVX_VISIBLE std::size_t OpenRegistryHandleCount();

} // namespace tvx::win32

#endif
