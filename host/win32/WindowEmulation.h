// Checks of the emulated windows, for tests and the simulator. Not part of
// Win32. Window handles are never reused, so a stale handle stays invalid.
#pragma once

#include "host/win32/Windowing.h"

#include <cstddef>
#include <vector>

namespace tvx::win32 {

// Windows created and not yet destroyed (the desktop window not counted);
// on Windows, the windows of the calling thread.
TVX_VISIBLE std::size_t LiveWindowCount();
// The window, then its parent, and so on up to its top-level window; empty
// for a handle that is no live window.
TVX_VISIBLE std::vector<HWND> WindowParentChain(HWND window);

#if !defined(_WIN32)
// Every live window, oldest first.
TVX_VISIBLE std::vector<HWND> LiveWindows();
#endif

} // namespace tvx::win32
