// Creating and destroying windows of the emulated window manager, and the
// handle table behind every window call.
#include "host/win32/Kernel.h"
#include "host/win32/WindowEmulation.h"
#include "host/win32/Windowing.h"
#include "host/win32/src/WindowState.h"
#include "interop/Bstr.h"

#include <algorithm>

namespace tvx::win32::detail {

std::uint32_t Key(HWND window) noexcept
{
    auto value = reinterpret_cast<std::uintptr_t>(window);
    return value > 0xFFFFFFFFu ? 0 : std::uint32_t(value);
}

HWND ToHwnd(std::uint32_t key) noexcept { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(key)); }

WindowEntry* FindWindowEntry(WindowState& state, HWND window)
{
    auto it = state.windows.find(Key(window));
    if (it == state.windows.end()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return it->second.get();
}

} // namespace tvx::win32::detail

using namespace tvx::win32::detail;

namespace {

// Sends WM_DESTROY here and below, parents first, then WM_NCDESTROY
// children first, and forgets each window after its last message.
// A window whose creation failed gets only WM_NCDESTROY, as on Windows.
enum class Destroy { Full, FailedCreation };

void DestroyTree(WindowState& state, std::uint32_t handle, Destroy how = Destroy::Full)
{
    WindowEntry* window = FindWindowEntry(state, ToHwnd(handle));
    if (!window)
        return;
    if (state.active == handle)
        ActivateOtherWindow(state, handle);
    window = FindWindowEntry(state, ToHwnd(handle));
    if (!window)
        return;
    window->destroying = true;
    if (state.active == handle)
        state.active = 0;
    if (state.focus == handle)
        state.focus = 0;
    if (how == Destroy::Full)
        Send(state, handle, WM_DESTROY, 0, 0);
    // Read after WM_DESTROY: a procedure may have moved a child elsewhere.
    window = FindWindowEntry(state, ToHwnd(handle));
    if (!window)
        return;
    std::vector<std::uint32_t> children = window->children;
    for (std::uint32_t child : children) {
        WindowEntry* c = FindWindowEntry(state, ToHwnd(child));
        if (c && c->parent == handle && !c->destroying)
            DestroyTree(state, child);
    }
    Send(state, handle, WM_NCDESTROY, 0, 0);
    window = FindWindowEntry(state, ToHwnd(handle));
    if (!window)
        return;
    // Children a procedure added while this window went down go with it.
    while (!window->children.empty()) {
        std::uint32_t child = window->children.front();
        if (FindWindowEntry(state, ToHwnd(child)) && !state.windows.at(child)->destroying) {
            DestroyTree(state, child);
        } else {
            window->children.erase(window->children.begin());
        }
        window = FindWindowEntry(state, ToHwnd(handle));
        if (!window)
            return;
    }
    Unlink(state, *window);
    window->windowClass->windows--;
    if (state.focus == handle)
        state.focus = 0;
    if (state.active == handle)
        state.active = 0;
    state.windows.erase(handle);
}

} // namespace

namespace tvx::win32 {

std::size_t LiveWindowCount()
{
    WindowState& state = State();
    Guard guard(state.lock);
    return state.windows.size();
}

std::vector<HWND> LiveWindows()
{
    WindowState& state = State();
    Guard guard(state.lock);
    std::vector<HWND> result;
    for (const auto& [handle, window] : state.windows)
        result.push_back(ToHwnd(handle));
    return result;
}

} // namespace tvx::win32

TVX_WIN32_API HWND CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName, DWORD dwStyle, int X,
                                   int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                                   LPVOID lpParam)
{
    WindowState& state = State();
    Guard guard(state.lock);
    WindowClassEntry* windowClass = FindClass(state, lpClassName, hInstance, ClassLookup::Create);
    if (!windowClass) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    std::uint32_t parent = Key(hWndParent) == kDesktopWindow ? 0 : Key(hWndParent);
    if (parent != 0 && !FindWindowEntry(state, hWndParent))
        return nullptr;
    if ((dwStyle & WS_CHILD) && parent == 0) {
        SetLastError(ERROR_TLW_WITH_WSCHILD);
        return nullptr;
    }
    auto window = std::make_unique<WindowEntry>();
    std::uint32_t handle = state.next;
    state.next += 4;
    window->handle = handle;
    window->windowClass = windowClass;
    window->proc = windowClass->info.lpfnWndProc;
    window->style = dwStyle & ~DWORD(WS_VISIBLE);
    // An overlapped window always has a caption.
    if (!(dwStyle & (WS_CHILD | WS_POPUP))) {
        window->style |= WS_CAPTION | WS_CLIPSIBLINGS;
        window->sizePending = true;
    }
    window->exStyle = dwExStyle;
    window->instance = hInstance;
    window->x = X == CW_USEDEFAULT ? 0 : X;
    window->y = Y == CW_USEDEFAULT ? 0 : Y;
    window->cx = nWidth == CW_USEDEFAULT ? 0 : nWidth;
    window->cy = nHeight == CW_USEDEFAULT ? 0 : nHeight;
    window->text = std::u16string(tvx::WideTextView(lpWindowName));
    window->extra.assign(std::size_t(std::max(windowClass->info.cbWndExtra, 0)), 0);
    if (dwStyle & WS_CHILD) {
        window->parent = parent;
        window->id = reinterpret_cast<LONG_PTR>(hMenu);
    } else {
        window->owner = parent;
    }
    // A new child goes below its siblings, so that z-order is creation
    // order, as a dialog's tab order relies on.
    Link(state, *window, (dwStyle & WS_CHILD) != 0);
    windowClass->windows++;
    state.windows.emplace(handle, std::move(window));

    CREATESTRUCTW create{lpParam, hInstance, hMenu,         hWndParent,   nHeight,     nWidth,
                         Y,       X,         LONG(dwStyle), lpWindowName, lpClassName, dwExStyle};
    HWND hwnd = ToHwnd(handle);
    if (!Send(state, handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create)) ||
        Send(state, handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        if (FindWindowEntry(state, hwnd))
            DestroyTree(state, handle, Destroy::FailedCreation);
        return nullptr;
    }
    if (!FindWindowEntry(state, hwnd))
        return nullptr;
    if (!state.windows.at(handle)->sizePending)
        SendSizeAndMove(state, handle);
    // Created visible is shown as by SW_SHOW, activation included.
    if ((dwStyle & WS_VISIBLE) && FindWindowEntry(state, hwnd))
        ShowWithMessages(state, handle, SW_SHOW, true);
    return FindWindowEntry(state, hwnd) ? hwnd : nullptr;
}

TVX_WIN32_API BOOL DestroyWindow(HWND hWnd)
{
    WindowState& state = State();
    Guard guard(state.lock);
    WindowEntry* window = FindWindowEntry(state, hWnd);
    if (!window)
        return FALSE;
    if (window->destroying)
        return TRUE;
    std::uint32_t handle = Key(hWnd);
    // A visible window is hidden first: a child by ShowWindow, a top-level
    // window without WM_SHOWWINDOW.
    if (window->style & WS_VISIBLE) {
        if (window->style & WS_CHILD)
            ShowWithMessages(state, handle, SW_HIDE);
        else
            SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                         SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
        if (!FindWindowEntry(state, hWnd))
            return TRUE;
    }
    // Owned windows go first, as Windows destroys them before their owner.
    std::vector<std::uint32_t> owned;
    for (const auto& [h, w] : state.windows)
        if (w->owner == handle && w->parent == 0)
            owned.push_back(h);
    for (std::uint32_t h : owned)
        if (FindWindowEntry(state, ToHwnd(h)))
            DestroyWindow(ToHwnd(h));
    if (FindWindowEntry(state, hWnd))
        DestroyTree(state, handle);
    return TRUE;
}

TVX_WIN32_API BOOL IsWindow(HWND hWnd)
{
    WindowState& state = State();
    Guard guard(state.lock);
    std::uint32_t key = Key(hWnd);
    return key == kDesktopWindow || state.windows.count(key) ? TRUE : FALSE;
}

TVX_WIN32_API HWND GetDesktopWindow() { return ToHwnd(kDesktopWindow); }
