// Messages of the emulated windows: sending, the default window procedure,
// and the window text, which travels by message.
#include "host/win32/Kernel.h"
#include "host/win32/Windowing.h"
#include "host/win32/src/WindowState.h"
#include "interop/Bstr.h"

#include <algorithm>

namespace tvx::win32::detail {

LRESULT Send(WindowState& state, std::uint32_t handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto it = state.windows.find(handle);
    if (it == state.windows.end())
        return 0;
    WNDPROC proc = it->second->proc;
    return proc ? proc(ToHwnd(handle), message, wParam, lParam) : 0;
}

} // namespace tvx::win32::detail

using namespace tvx::win32::detail;

TVX_WIN32_API LRESULT SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    WindowState& state = State();
    Guard guard(state.lock);
    if (!FindWindowEntry(state, hWnd))
        return 0;
    return Send(state, Key(hWnd), Msg, wParam, lParam);
}

TVX_WIN32_API LRESULT CallWindowProcW(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return lpPrevWndFunc ? lpPrevWndFunc(hWnd, Msg, wParam, lParam) : 0;
}

TVX_WIN32_API LRESULT DefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    WindowState& state = State();
    Guard guard(state.lock);
    WindowEntry* window = FindWindowEntry(state, hWnd);
    if (!window)
        return 0;
    switch (Msg) {
    case WM_NCCREATE: return TRUE;
    case WM_SETTEXT: window->text = std::u16string(tvx::WideTextView(reinterpret_cast<LPCWSTR>(lParam))); return TRUE;
    case WM_GETTEXTLENGTH: return LRESULT(window->text.size());
    case WM_GETTEXT: {
        auto* buffer = reinterpret_cast<LPWSTR>(lParam);
        if (!buffer || wParam == 0)
            return 0;
        std::size_t count = std::min<std::size_t>(window->text.size(), wParam - 1);
        std::copy_n(window->text.data(), count, buffer);
        buffer[count] = 0;
        return LRESULT(count);
    }
    case WM_CLOSE: DestroyWindow(hWnd); return 0;
    // An activated window takes the keyboard focus.
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE)
            SetFocus(hWnd);
        return 0;
    case WM_WINDOWPOSCHANGED: {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (!pos)
            return 0;
        std::uint32_t handle = window->handle;
        if (!(pos->flags & SWP_NOMOVE))
            Send(state, handle, WM_MOVE, 0, MAKELPARAM(pos->x, pos->y));
        if (!(pos->flags & SWP_NOSIZE))
            Send(state, handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(pos->cx, pos->cy));
        return 0;
    }
    default: return 0;
    }
}

TVX_WIN32_API BOOL SetWindowTextW(HWND hWnd, LPCWSTR lpString)
{
    if (!IsWindow(hWnd) || Key(hWnd) == kDesktopWindow) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return SendMessageW(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString ? lpString : u"")) ? TRUE : FALSE;
}

TVX_WIN32_API int GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount)
{
    if (!lpString || nMaxCount <= 0)
        return 0;
    lpString[0] = 0;
    return int(SendMessageW(hWnd, WM_GETTEXT, WPARAM(nMaxCount), reinterpret_cast<LPARAM>(lpString)));
}

TVX_WIN32_API int GetWindowTextLengthW(HWND hWnd) { return int(SendMessageW(hWnd, WM_GETTEXTLENGTH, 0, 0)); }
