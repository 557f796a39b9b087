// The active window: the top-level window the user works in. Showing a
// window activates it; hiding or destroying the active one passes activation
// to its owner or the topmost window that can take it, as Windows does. Each
// change sends WM_ACTIVATE to the window that loses it and the one that gains it.
#include "host/win32/User.h"
#include "host/win32/Windowing.h"
#include "host/win32/src/WindowState.h"

#include <algorithm>

namespace tvx::win32::detail {

// Only a pure child window cannot be active: a WS_POPUP window given a parent
// by SetParent still can.
bool IsPureChild(const WindowEntry& window) { return (window.style & (WS_CHILD | WS_POPUP)) == WS_CHILD; }

namespace {

bool CanBeActive(const WindowEntry& window)
{
    return !IsPureChild(window) && (window.style & WS_VISIBLE) && !(window.style & WS_DISABLED) && !window.destroying;
}

// A hidden active window passes the activation on; a window that may take
// it takes it.
void VisibilityChangesActivation(WindowState& state, std::uint32_t handle, bool hidden, bool activates)
{
    if (hidden)
        ActivateOtherWindow(state, handle);
    else if (activates && CanBeActive(*state.windows.at(handle)))
        ActivateWindow(state, handle);
}

bool ActivatesWhenShown(int command)
{
    return command != SW_HIDE && command != SW_SHOWNOACTIVATE && command != SW_SHOWNA &&
           command != SW_SHOWMINNOACTIVE && command != SW_MINIMIZE && command != SW_FORCEMINIMIZE;
}

} // namespace

void ActivateWindow(WindowState& state, std::uint32_t handle)
{
    const std::uint32_t old = state.active;
    if (old == handle)
        return;
    state.active = handle;
    // The activated window comes to the top of its z-order.
    if (handle && state.windows.count(handle))
        PlaceInZOrder(state, *state.windows.at(handle), HWND_TOP);
    if (old && state.windows.count(old))
        Send(state, old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), LPARAM(ToHwnd(handle)));
    // The old window's procedure may have activated another meanwhile.
    if (handle && state.active == handle && state.windows.count(handle))
        Send(state, handle, WM_ACTIVATE, WA_ACTIVE, LPARAM(ToHwnd(old)));
}

void ActivateOtherWindow(WindowState& state, std::uint32_t leaving)
{
    if (state.active != leaving)
        return;
    const WindowEntry& window = *state.windows.at(leaving);
    auto usable = [&](std::uint32_t h) {
        auto found = state.windows.find(h);
        return h != leaving && found != state.windows.end() && CanBeActive(*found->second);
    };
    // A popup's owner (its top-level window) first, then the windows below
    // the leaving one in its z-order, then the topmost top-level window.
    std::uint32_t next = 0;
    if ((window.style & WS_POPUP) && window.owner) {
        std::uint32_t root = window.owner;
        while (state.windows.count(root) && state.windows.at(root)->parent)
            root = state.windows.at(root)->parent;
        next = usable(root) ? root : 0;
    }
    const std::vector<std::uint32_t>& siblings =
        window.parent ? state.windows.at(window.parent)->children : state.topLevel;
    for (auto it = std::find(siblings.begin(), siblings.end(), leaving); !next && it != siblings.end(); ++it)
        if (usable(*it))
            next = *it;
    if (!next && !state.topLevel.empty() && usable(state.topLevel.front()))
        next = state.topLevel.front();
    ActivateWindow(state, next);
}

void ShowChangesActivation(WindowState& state, std::uint32_t handle, int command, bool wasVisible)
{
    VisibilityChangesActivation(state, handle,
                                command == SW_HIDE || command == SW_MINIMIZE || command == SW_FORCEMINIMIZE,
                                !wasVisible && ActivatesWhenShown(command));
}

bool ActivateForFocus(WindowState& state, std::uint32_t handle)
{
    std::uint32_t top = handle;
    while (state.windows.count(top) && IsPureChild(*state.windows.at(top)) && state.windows.at(top)->parent)
        top = state.windows.at(top)->parent;
    if (!state.windows.count(top) || top == state.active)
        return true;
    ActivateWindow(state, top);
    return state.windows.count(handle) != 0;
}

void PositionChangesActivation(WindowState& state, std::uint32_t handle, UINT flags)
{
    VisibilityChangesActivation(state, handle, (flags & SWP_HIDEWINDOW) != 0, !(flags & SWP_NOACTIVATE));
}

} // namespace tvx::win32::detail

using namespace tvx::win32::detail;

TVX_WIN32_API HWND GetActiveWindow()
{
    WindowState& state = State();
    Guard guard(state.lock);
    return ToHwnd(state.active);
}

TVX_WIN32_API HWND SetActiveWindow(HWND hWnd)
{
    WindowState& state = State();
    Guard guard(state.lock);
    WindowEntry* window = hWnd ? FindWindowEntry(state, hWnd) : nullptr;
    if (hWnd && !window)
        return nullptr;
    // A pure child window cannot be active; Windows answers with the active
    // window and changes nothing.
    if (window && IsPureChild(*window))
        return ToHwnd(state.active);
    const std::uint32_t previous = state.active;
    ActivateWindow(state, Key(hWnd));
    return ToHwnd(previous);
}
