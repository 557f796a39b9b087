// Where windows are and whether they show: z-order moves, positions, sizes,
// rectangles and visibility in the emulated window manager.
#include "host/win32/Kernel.h"
#include "host/win32/Windowing.h"
#include "host/win32/src/WindowState.h"

#include <algorithm>
#include <utility>

namespace tvx::win32::detail {

bool SetVisible(WindowState& state, std::uint32_t handle, bool visible)
{
    WindowEntry* window = FindWindowEntry(state, ToHwnd(handle));
    bool was = (window->style & WS_VISIBLE) != 0;
    if (was == visible)
        return was;
    if (visible)
        window->style |= WS_VISIBLE;
    else
        window->style &= ~DWORD(WS_VISIBLE);
    Send(state, handle, WM_SHOWWINDOW, visible ? TRUE : FALSE, 0);
    return was;
}

void SendSizeAndMove(WindowState& state, std::uint32_t handle)
{
    const WindowEntry& window = *state.windows.at(handle);
    const LPARAM place = MAKELPARAM(window.x, window.y);
    Send(state, handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(window.cx, window.cy));
    if (state.windows.count(handle))
        Send(state, handle, WM_MOVE, 0, place);
}

namespace {

void SendPositionChanged(WindowState& state, std::uint32_t handle, HWND insertAfter, UINT flags)
{
    const WindowEntry& window = *state.windows.at(handle);
    WINDOWPOS pos{ToHwnd(handle), insertAfter, window.x, window.y, window.cx, window.cy, flags};
    Send(state, handle, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
}

} // namespace

bool ShowWithMessages(WindowState& state, std::uint32_t handle, int command, bool creating)
{
    const bool show = command != SW_HIDE;
    const bool was = SetVisible(state, handle, show);
    auto alive = [&] { return state.windows.count(handle) != 0; };
    if (show && alive())
        ShowChangesActivation(state, handle, command, was);
    if (was != show && alive() && !(creating && IsPureChild(*state.windows.at(handle))))
        SendPositionChanged(state, handle, nullptr,
                            SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    if (!show && alive())
        ShowChangesActivation(state, handle, command, was);
    if (show && alive() && std::exchange(state.windows.at(handle)->sizePending, false))
        SendSizeAndMove(state, handle);
    return was;
}

} // namespace tvx::win32::detail

using namespace tvx::win32::detail;

namespace {

// Screen size the desktop window reports.
constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;

// A rectangle of a window, or of the desktop: the screen.
template <class Measure>
BOOL ReadRect(HWND hWnd, RECT* lpRect, Measure&& measure)
{
    WindowState& state = State();
    Guard guard(state.lock);
    if (!lpRect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (Key(hWnd) == kDesktopWindow) {
        *lpRect = RECT{0, 0, kScreenWidth, kScreenHeight};
        return TRUE;
    }
    WindowEntry* window = FindWindowEntry(state, hWnd);
    if (!window)
        return FALSE;
    *lpRect = measure(state, *window);
    return TRUE;
}

} // namespace

TVX_WIN32_API BOOL ShowWindow(HWND hWnd, int nCmdShow)
{
    WindowState& state = State();
    Guard guard(state.lock);
    if (!FindWindowEntry(state, hWnd))
        return FALSE;
    return ShowWithMessages(state, Key(hWnd), nCmdShow) ? TRUE : FALSE;
}

TVX_WIN32_API BOOL IsWindowVisible(HWND hWnd)
{
    WindowState& state = State();
    Guard guard(state.lock);
    if (Key(hWnd) == kDesktopWindow)
        return TRUE;
    if (!FindWindowEntry(state, hWnd))
        return FALSE;
    for (std::uint32_t h = Key(hWnd); h != 0; h = state.windows.at(h)->parent)
        if (!(state.windows.at(h)->style & WS_VISIBLE))
            return FALSE;
    return TRUE;
}

TVX_WIN32_API BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags)
{
    WindowState& state = State();
    Guard guard(state.lock);
    WindowEntry* window = FindWindowEntry(state, hWnd);
    if (!window)
        return FALSE;
    std::uint32_t handle = window->handle;
    const bool reordered = !(uFlags & SWP_NOZORDER) && PlaceInZOrder(state, *window, hWndInsertAfter);
    const bool moved = !(uFlags & SWP_NOMOVE) && (X != window->x || Y != window->y);
    const bool sized = !(uFlags & SWP_NOSIZE) && (cx != window->cx || cy != window->cy);
    const bool visible = (window->style & WS_VISIBLE) != 0;
    // SetWindowPos shows and hides without WM_SHOWWINDOW.
    const bool shown = (uFlags & SWP_SHOWWINDOW) && !visible;
    const bool hidden = (uFlags & SWP_HIDEWINDOW) && visible && !shown;
    if (moved) {
        window->x = X;
        window->y = Y;
    }
    if (sized) {
        window->cx = std::max(cx, 0);
        window->cy = std::max(cy, 0);
    }
    if (shown)
        window->style |= WS_VISIBLE;
    if (hidden)
        window->style &= ~DWORD(WS_VISIBLE);
    if (moved || sized || reordered || shown || hidden)
        SendPositionChanged(state, handle, hWndInsertAfter,
                            (uFlags & ~UINT(SWP_SHOWWINDOW | SWP_HIDEWINDOW)) | (moved ? 0 : SWP_NOMOVE) |
                                (sized ? 0 : SWP_NOSIZE) | (reordered ? 0 : SWP_NOZORDER) |
                                (shown ? SWP_SHOWWINDOW : 0) | (hidden ? SWP_HIDEWINDOW : 0));
    if (FindWindowEntry(state, hWnd))
        PositionChangesActivation(state, handle, uFlags);
    return TRUE;
}

TVX_WIN32_API BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL)
{
    return SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

TVX_WIN32_API BOOL GetWindowRect(HWND hWnd, RECT* lpRect)
{
    return ReadRect(hWnd, lpRect, [](WindowState& state, const WindowEntry& window) {
        LONG left = 0, top = 0;
        for (std::uint32_t h = window.handle; h != 0; h = state.windows.at(h)->parent) {
            left += state.windows.at(h)->x;
            top += state.windows.at(h)->y;
        }
        return RECT{left, top, left + window.cx, top + window.cy};
    });
}

TVX_WIN32_API BOOL GetClientRect(HWND hWnd, RECT* lpRect)
{
    return ReadRect(hWnd, lpRect, [](WindowState&, const WindowEntry& window) {
        return RECT{0, 0, window.cx, window.cy};
    });
}
