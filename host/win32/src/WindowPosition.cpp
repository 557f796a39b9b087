// Where windows are and whether they show: z-order moves, positions, sizes,
// rectangles and visibility in the emulated window manager.
#include "host/win32/Kernel.h"
#include "host/win32/Windowing.h"
#include "host/win32/src/WindowState.h"

#include <algorithm>

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
    const bool was = SetVisible(state, Key(hWnd), nCmdShow != SW_HIDE);
    if (FindWindowEntry(state, hWnd))
        ShowChangesActivation(state, Key(hWnd), nCmdShow, was);
    return was ? TRUE : FALSE;
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
    if (!(uFlags & SWP_NOZORDER))
        PlaceInZOrder(state, *window, hWndInsertAfter);
    WINDOWPOS pos{hWnd, hWndInsertAfter, window->x, window->y, window->cx, window->cy, uFlags};
    bool moved = !(uFlags & SWP_NOMOVE) && (X != window->x || Y != window->y);
    bool sized = !(uFlags & SWP_NOSIZE) && (cx != window->cx || cy != window->cy);
    if (moved) {
        window->x = pos.x = X;
        window->y = pos.y = Y;
    }
    if (sized) {
        window->cx = pos.cx = std::max(cx, 0);
        window->cy = pos.cy = std::max(cy, 0);
    }
    if (!moved)
        pos.flags |= SWP_NOMOVE;
    if (!sized)
        pos.flags |= SWP_NOSIZE;
    if (moved || sized)
        Send(state, handle, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    if ((uFlags & SWP_SHOWWINDOW) && FindWindowEntry(state, hWnd))
        SetVisible(state, handle, true);
    if ((uFlags & SWP_HIDEWINDOW) && FindWindowEntry(state, hWnd))
        SetVisible(state, handle, false);
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
