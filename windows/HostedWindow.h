// The package windows that tool windows and document frames carry: the IDE
// only ever sees their handles.
#pragma once

#include "interop/TalvixBdsInterop.h"

namespace talvix {

// The package window's handle: null for a failed or throwing call, a dead
// window, or a window of the IDE's own (which a package cannot own).
HWND PackageWindowHandle(IWin32Window* control) noexcept;

// Makes the package window a child window of `parent`. A window the package
// made as a pop-up stays one after SetParent, and Windows then activates it
// whenever it is shown or moved, away from the IDE's window that carries it.
void AdoptWindow(HWND window, HWND parent) noexcept;

// Hides the window and makes it a top-level window again, so that it
// survives whatever its parent does next.
void TakeOutWindow(HWND window) noexcept;

} // namespace talvix
