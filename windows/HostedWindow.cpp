#include "windows/HostedWindow.h"

#include "host/vcl/Controls.h"
#include "host/win32/Win32.h"

namespace talvix {

HWND PackageWindowHandle(IWin32Window* control) noexcept
{
    if (!control)
        return nullptr;
    LONG value = 0;
    HRESULT hr = E_FAIL;
    try {
        hr = control->Get_Handle(&value);
    } catch (...) {
        return nullptr;
    }
    HWND handle = reinterpret_cast<HWND>(static_cast<LONG_PTR>(value));
    if (FAILED(hr) || !handle || !IsWindow(handle) || TWinControl::FindControl(handle))
        return nullptr;
    return handle;
}

void AdoptWindow(HWND window, HWND parent) noexcept
{
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    if ((style & (WS_CHILD | WS_POPUP)) != WS_CHILD)
        SetWindowLongW(window, GWL_STYLE, LONG((style & ~WS_POPUP) | WS_CHILD));
    ::SetParent(window, parent);
}

void TakeOutWindow(HWND window) noexcept
{
    if (!window)
        return;
    ShowWindow(window, SW_HIDE);
    ::SetParent(window, nullptr);
    // A top-level window is a pop-up again, as the package made it.
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    if (style & WS_CHILD)
        SetWindowLongW(window, GWL_STYLE, LONG((style & ~WS_CHILD) | WS_POPUP));
}

} // namespace talvix
