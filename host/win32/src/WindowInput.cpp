// Input state of the emulated windows: enabled or disabled, and the
// keyboard focus.
#include "host/win32/Windowing.h"
#include "host/win32/src/WindowState.h"

using namespace tvx::win32::detail;

TVX_WIN32_API BOOL EnableWindow(HWND hWnd, BOOL bEnable)
{
    WindowState& state = State();
    Guard guard(state.lock);
    WindowEntry* window = FindWindowEntry(state, hWnd);
    if (!window)
        return FALSE;
    bool wasDisabled = (window->style & WS_DISABLED) != 0;
    if (wasDisabled == !bEnable)
        return wasDisabled ? TRUE : FALSE;
    if (bEnable)
        window->style &= ~DWORD(WS_DISABLED);
    else
        window->style |= WS_DISABLED;
    Send(state, window->handle, WM_ENABLE, bEnable ? TRUE : FALSE, 0);
    return wasDisabled ? TRUE : FALSE;
}

TVX_WIN32_API BOOL IsWindowEnabled(HWND hWnd)
{
    WindowState& state = State();
    Guard guard(state.lock);
    WindowEntry* window = FindWindowEntry(state, hWnd);
    return window && !(window->style & WS_DISABLED) ? TRUE : FALSE;
}

TVX_WIN32_API HWND SetFocus(HWND hWnd)
{
    WindowState& state = State();
    Guard guard(state.lock);
    std::uint32_t target = Key(hWnd);
    if (target != 0 && !FindWindowEntry(state, hWnd))
        return nullptr;
    std::uint32_t previous = state.focus;
    if (previous == target)
        return ToHwnd(previous);
    if (target && !ActivateForFocus(state, target))
        return nullptr;
    // The activation may have moved the focus meanwhile.
    previous = state.focus;
    if (previous == target)
        return ToHwnd(previous);
    state.focus = target;
    if (previous)
        Send(state, previous, WM_KILLFOCUS, WPARAM(target), 0);
    if (target && state.focus == target)
        Send(state, target, WM_SETFOCUS, WPARAM(previous), 0);
    return ToHwnd(previous);
}

TVX_WIN32_API HWND GetFocus()
{
    WindowState& state = State();
    Guard guard(state.lock);
    return ToHwnd(state.focus);
}
