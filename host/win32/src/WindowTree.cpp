// The window tree of the emulated window manager: parents, owners, children
// and the z-order among siblings.
#include "host/win32/Kernel.h"
#include "host/win32/WindowEmulation.h"
#include "host/win32/Windowing.h"
#include "host/win32/src/WindowState.h"

#include <algorithm>

namespace tvx::win32::detail {

std::vector<std::uint32_t>& Siblings(WindowState& state, std::uint32_t parent)
{
    if (parent == 0)
        return state.topLevel;
    return state.windows.at(parent)->children;
}

namespace {

bool Topmost(const WindowEntry& window) noexcept { return window.parent == 0 && (window.exStyle & WS_EX_TOPMOST); }

// The topmost windows that lead the z-order; only top-level windows have any.
std::size_t TopmostCount(WindowState& state, std::uint32_t parent)
{
    if (parent != 0)
        return 0;
    std::size_t count = 0;
    for (std::uint32_t handle : state.topLevel) {
        auto it = state.windows.find(handle);
        if (it == state.windows.end() || !Topmost(*it->second))
            break;
        ++count;
    }
    return count;
}

} // namespace

void Link(WindowState& state, const WindowEntry& window, bool atBottom)
{
    auto& siblings = Siblings(state, window.parent);
    std::size_t place = atBottom ? siblings.size() : Topmost(window) ? 0 : TopmostCount(state, window.parent);
    siblings.insert(siblings.begin() + std::ptrdiff_t(place), window.handle);
}

bool PlaceInZOrder(WindowState& state, WindowEntry& window, HWND insertAfter)
{
    auto& siblings = Siblings(state, window.parent);
    auto at = std::find(siblings.begin(), siblings.end(), window.handle);
    std::size_t old = std::size_t(at - siblings.begin());
    if (at != siblings.end())
        siblings.erase(at);
    // Children take the style too; it orders them among their siblings.
    bool was = Topmost(window);
    if (insertAfter == HWND_TOPMOST)
        window.exStyle |= WS_EX_TOPMOST;
    else if (insertAfter == HWND_NOTOPMOST || insertAfter == HWND_BOTTOM)
        window.exStyle &= ~DWORD(WS_EX_TOPMOST);
    // A window that was not topmost keeps its place on HWND_NOTOPMOST.
    if (insertAfter == HWND_NOTOPMOST && !was) {
        siblings.insert(siblings.begin() + std::ptrdiff_t(old), window.handle);
        return false;
    }
    // Topmost windows stay above all others; the rest stay below them.
    std::size_t band = TopmostCount(state, window.parent);
    std::size_t first = Topmost(window) ? 0 : band;
    std::size_t last = Topmost(window) ? band : siblings.size();
    std::size_t place = first;
    if (insertAfter == HWND_BOTTOM) {
        place = last;
    } else if (insertAfter != HWND_TOP && insertAfter != HWND_TOPMOST && insertAfter != HWND_NOTOPMOST) {
        auto after = std::find(siblings.begin(), siblings.end(), Key(insertAfter));
        if (after != siblings.end())
            place = std::clamp(std::size_t(after - siblings.begin()) + 1, first, last);
    }
    siblings.insert(siblings.begin() + std::ptrdiff_t(place), window.handle);
    return place != old || was != Topmost(window);
}

void Unlink(WindowState& state, WindowEntry& window)
{
    if (window.parent != 0 && !state.windows.count(window.parent))
        return;
    std::erase(Siblings(state, window.parent), window.handle);
}

} // namespace tvx::win32::detail

using namespace tvx::win32::detail;

namespace {

bool IsAncestor(WindowState& state, std::uint32_t ancestor, std::uint32_t window)
{
    for (std::uint32_t h = window; h != 0;) {
        if (h == ancestor)
            return true;
        auto it = state.windows.find(h);
        h = it == state.windows.end() ? 0 : it->second->parent;
    }
    return false;
}

} // namespace

namespace tvx::win32 {

std::vector<HWND> WindowParentChain(HWND window)
{
    WindowState& state = State();
    Guard guard(state.lock);
    std::vector<HWND> chain;
    for (std::uint32_t h = Key(window); h != 0;) {
        auto it = state.windows.find(h);
        if (it == state.windows.end())
            break;
        chain.push_back(ToHwnd(h));
        h = it->second->parent;
    }
    return chain;
}

} // namespace tvx::win32

TVX_WIN32_API HWND SetParent(HWND hWndChild, HWND hWndNewParent)
{
    WindowState& state = State();
    Guard guard(state.lock);
    WindowEntry* child = FindWindowEntry(state, hWndChild);
    if (!child)
        return nullptr;
    std::uint32_t newParent = Key(hWndNewParent) == kDesktopWindow ? 0 : Key(hWndNewParent);
    if (newParent != 0) {
        if (!FindWindowEntry(state, hWndNewParent))
            return nullptr;
        if (IsAncestor(state, child->handle, newParent)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
    }
    std::uint32_t previous = child->parent;
    if (previous != newParent) {
        Unlink(state, *child);
        child->parent = newParent;
        Link(state, *child);
    }
    return ToHwnd(previous ? previous : kDesktopWindow);
}

TVX_WIN32_API HWND GetParent(HWND hWnd)
{
    WindowState& state = State();
    Guard guard(state.lock);
    WindowEntry* window = FindWindowEntry(state, hWnd);
    if (!window)
        return nullptr;
    if (window->parent)
        return ToHwnd(window->parent);
    if ((window->style & WS_POPUP) && window->owner)
        return ToHwnd(window->owner);
    // A child window moved to the desktop by SetParent(window, NULL).
    if (window->style & WS_CHILD)
        return GetDesktopWindow();
    return nullptr;
}

TVX_WIN32_API BOOL IsChild(HWND hWndParent, HWND hWnd)
{
    WindowState& state = State();
    Guard guard(state.lock);
    WindowEntry* window = FindWindowEntry(state, hWnd);
    if (!window || !window->parent)
        return FALSE;
    return IsAncestor(state, Key(hWndParent), window->parent) ? TRUE : FALSE;
}

TVX_WIN32_API HWND GetWindow(HWND hWnd, UINT uCmd)
{
    WindowState& state = State();
    Guard guard(state.lock);
    WindowEntry* window = FindWindowEntry(state, hWnd);
    if (!window)
        return nullptr;
    auto& siblings = Siblings(state, window->parent);
    auto at = std::find(siblings.begin(), siblings.end(), window->handle);
    switch (uCmd) {
    case GW_HWNDFIRST: return ToHwnd(siblings.front());
    case GW_HWNDLAST: return ToHwnd(siblings.back());
    case GW_HWNDNEXT: return at + 1 == siblings.end() ? nullptr : ToHwnd(*(at + 1));
    case GW_HWNDPREV: return at == siblings.begin() ? nullptr : ToHwnd(*(at - 1));
    case GW_OWNER: return window->owner ? ToHwnd(window->owner) : nullptr;
    case GW_CHILD: return window->children.empty() ? nullptr : ToHwnd(window->children.front());
    default: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
    }
}
