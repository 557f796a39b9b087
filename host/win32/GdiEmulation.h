// Checks of the emulated GDI, for tests and the simulator. Not part of Win32.
// Handles are never reused, so a second delete of one handle is always seen.
#pragma once

#include "host/win32/Gdi.h"
#include "host/win32/User.h"

#include <cstddef>

#if !defined(_WIN32)

namespace tvx::win32 {

// Bitmaps created and not yet deleted.
TVX_VISIBLE std::size_t LiveBitmapCount();
// DeleteObject calls that named this handle, successful or not.
TVX_VISIBLE int DeleteCount(HGDIOBJ handle);
// The handle was deleted and then handed to DeleteObject again.
TVX_VISIBLE bool WasDeletedTwice(HGDIOBJ handle);
// DeleteObject calls, over the whole process, on a handle already deleted.
TVX_VISIBLE std::size_t DoubleDeleteCount();

// The same for icons and DestroyIcon.
TVX_VISIBLE std::size_t LiveIconCount();
TVX_VISIBLE int DestroyIconCount(HICON handle);
TVX_VISIBLE bool WasIconDestroyedTwice(HICON handle);
TVX_VISIBLE std::size_t DoubleDestroyIconCount();

} // namespace tvx::win32

#endif
