// Windows of the emulated window manager: creation and destruction,
// parenting, z-order, visibility, position, styles, focus and messages.
#include "host/win32/Kernel.h"
#include "host/win32/WindowEmulation.h"
#include "host/win32/Windowing.h"
#include "host/win32/src/WindowState.h"
#include "interop/Bstr.h"

#include <algorithm>
#include <cstring>

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

// Screen size the desktop window reports.
constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;

using Guard = std::lock_guard<std::recursive_mutex>;

// The z-order list a window of that parent sits in; the parent is live.
std::vector<std::uint32_t>& Siblings(WindowState& state, std::uint32_t parent)
{
    if (parent == 0)
        return state.topLevel;
    return state.windows.at(parent)->children;
}

void Unlink(WindowState& state, WindowEntry& window)
{
    if (window.parent != 0 && !state.windows.count(window.parent))
        return;
    std::erase(Siblings(state, window.parent), window.handle);
}

LRESULT Send(WindowState& state, std::uint32_t handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto it = state.windows.find(handle);
    if (it == state.windows.end())
        return 0;
    WNDPROC proc = it->second->proc;
    return proc ? proc(ToHwnd(handle), message, wParam, lParam) : 0;
}

// Sends WM_DESTROY here and below, parents first, then WM_NCDESTROY
// children first, and forgets each window after its last message.
void DestroyTree(WindowState& state, std::uint32_t handle)
{
    WindowEntry* window = FindWindowEntry(state, ToHwnd(handle));
    if (!window)
        return;
    window->destroying = true;
    if (state.focus == handle)
        state.focus = 0;
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
    state.windows.erase(handle);
}

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

void PlaceInZOrder(std::vector<std::uint32_t>& siblings, std::uint32_t handle, HWND insertAfter)
{
    std::erase(siblings, handle);
    if (insertAfter == HWND_BOTTOM) {
        siblings.push_back(handle);
        return;
    }
    auto after = std::find(siblings.begin(), siblings.end(), Key(insertAfter));
    if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST ||
        after == siblings.end())
        siblings.insert(siblings.begin(), handle);
    else
        siblings.insert(after + 1, handle);
}

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

// LONG-sized values of the extra bytes, at a byte offset.
bool ExtraSlot(WindowEntry& window, int index, std::size_t size, BYTE*& slot)
{
    if (index < 0 || std::size_t(index) + size > window.extra.size()) {
        SetLastError(ERROR_INVALID_INDEX);
        return false;
    }
    slot = window.extra.data() + index;
    return true;
}

bool GetLongPtr(WindowEntry& window, int index, LONG_PTR& value)
{
    switch (index) {
    case GWL_STYLE:
        value = LONG(window.style);
        return true;
    case GWL_EXSTYLE:
        value = LONG(window.exStyle);
        return true;
    case GWLP_ID:
        value = window.id;
        return true;
    case GWLP_USERDATA:
        value = window.userData;
        return true;
    case GWLP_WNDPROC:
        value = reinterpret_cast<LONG_PTR>(window.proc);
        return true;
    case GWLP_HINSTANCE:
        value = reinterpret_cast<LONG_PTR>(window.instance);
        return true;
    case GWLP_HWNDPARENT:
        value = LONG_PTR(window.parent ? window.parent : window.owner);
        return true;
    default:
        break;
    }
    BYTE* slot = nullptr;
    if (!ExtraSlot(window, index, sizeof(LONG_PTR), slot))
        return false;
    std::memcpy(&value, slot, sizeof value);
    return true;
}

bool SetLongPtr(WindowEntry& window, int index, LONG_PTR value, LONG_PTR& previous)
{
    if (!GetLongPtr(window, index, previous))
        return false;
    switch (index) {
    case GWL_STYLE:
        window.style = DWORD(value);
        return true;
    case GWL_EXSTYLE:
        window.exStyle = DWORD(value);
        return true;
    case GWLP_ID:
        window.id = value;
        return true;
    case GWLP_USERDATA:
        window.userData = value;
        return true;
    case GWLP_WNDPROC:
        window.proc = reinterpret_cast<WNDPROC>(value);
        return true;
    case GWLP_HINSTANCE:
        window.instance = reinterpret_cast<HINSTANCE>(value);
        return true;
    case GWLP_HWNDPARENT:
        SetLastError(ERROR_INVALID_INDEX);
        return false;
    default:
        break;
    }
    BYTE* slot = nullptr;
    ExtraSlot(window, index, sizeof(LONG_PTR), slot);
    std::memcpy(slot, &value, sizeof value);
    return true;
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

TVX_WIN32_API HWND CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName, DWORD dwStyle, int X,
                                   int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                                   HINSTANCE hInstance, LPVOID lpParam)
{
    WindowState& state = State();
    Guard guard(state.lock);
    WindowClassEntry* windowClass = FindClass(state, lpClassName);
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
    Siblings(state, window->parent).insert(Siblings(state, window->parent).begin(), handle);
    windowClass->windows++;
    state.windows.emplace(handle, std::move(window));

    CREATESTRUCTW create{lpParam,
                         hInstance,
                         hMenu,
                         hWndParent,
                         nHeight,
                         nWidth,
                         Y,
                         X,
                         LONG(dwStyle),
                         lpWindowName,
                         lpClassName,
                         dwExStyle};
    HWND hwnd = ToHwnd(handle);
    if (!Send(state, handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create))) {
        if (FindWindowEntry(state, hwnd))
            DestroyTree(state, handle);
        return nullptr;
    }
    if (Send(state, handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        if (FindWindowEntry(state, hwnd))
            DestroyTree(state, handle);
        return nullptr;
    }
    if (!FindWindowEntry(state, hwnd))
        return nullptr;
    if (dwStyle & WS_VISIBLE)
        SetVisible(state, handle, true);
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
        Siblings(state, newParent).insert(Siblings(state, newParent).begin(), child->handle);
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
    case GW_HWNDFIRST:
        return ToHwnd(siblings.front());
    case GW_HWNDLAST:
        return ToHwnd(siblings.back());
    case GW_HWNDNEXT:
        return at + 1 == siblings.end() ? nullptr : ToHwnd(*(at + 1));
    case GW_HWNDPREV:
        return at == siblings.begin() ? nullptr : ToHwnd(*(at - 1));
    case GW_OWNER:
        return window->owner ? ToHwnd(window->owner) : nullptr;
    case GW_CHILD:
        return window->children.empty() ? nullptr : ToHwnd(window->children.front());
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
}

TVX_WIN32_API BOOL ShowWindow(HWND hWnd, int nCmdShow)
{
    WindowState& state = State();
    Guard guard(state.lock);
    if (!FindWindowEntry(state, hWnd))
        return FALSE;
    return SetVisible(state, Key(hWnd), nCmdShow != SW_HIDE) ? TRUE : FALSE;
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
        PlaceInZOrder(Siblings(state, window->parent), handle, hWndInsertAfter);
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
    return TRUE;
}

TVX_WIN32_API BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL)
{
    return SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

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
    return ReadRect(hWnd, lpRect,
                    [](WindowState&, const WindowEntry& window) { return RECT{0, 0, window.cx, window.cy}; });
}

TVX_WIN32_API LONG GetWindowLongW(HWND hWnd, int nIndex)
{
    if (nIndex == GWLP_WNDPROC || nIndex == GWLP_HINSTANCE || nIndex == GWLP_HWNDPARENT) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    WindowState& state = State();
    Guard guard(state.lock);
    WindowEntry* window = FindWindowEntry(state, hWnd);
    if (!window)
        return 0;
    LONG_PTR value = 0;
    if (nIndex >= 0) {
        BYTE* slot = nullptr;
        if (!ExtraSlot(*window, nIndex, sizeof(LONG), slot))
            return 0;
        LONG v = 0;
        std::memcpy(&v, slot, sizeof v);
        return v;
    }
    return GetLongPtr(*window, nIndex, value) ? LONG(value) : 0;
}

TVX_WIN32_API LONG SetWindowLongW(HWND hWnd, int nIndex, LONG dwNewLong)
{
    if (nIndex == GWLP_WNDPROC || nIndex == GWLP_HINSTANCE || nIndex == GWLP_HWNDPARENT) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    WindowState& state = State();
    Guard guard(state.lock);
    WindowEntry* window = FindWindowEntry(state, hWnd);
    if (!window)
        return 0;
    if (nIndex >= 0) {
        BYTE* slot = nullptr;
        if (!ExtraSlot(*window, nIndex, sizeof(LONG), slot))
            return 0;
        LONG previous = 0;
        std::memcpy(&previous, slot, sizeof previous);
        std::memcpy(slot, &dwNewLong, sizeof dwNewLong);
        return previous;
    }
    LONG_PTR previous = 0;
    return SetLongPtr(*window, nIndex, dwNewLong, previous) ? LONG(previous) : 0;
}

TVX_WIN32_API LONG_PTR GetWindowLongPtrW(HWND hWnd, int nIndex)
{
    WindowState& state = State();
    Guard guard(state.lock);
    WindowEntry* window = FindWindowEntry(state, hWnd);
    LONG_PTR value = 0;
    return window && GetLongPtr(*window, nIndex, value) ? value : 0;
}

TVX_WIN32_API LONG_PTR SetWindowLongPtrW(HWND hWnd, int nIndex, LONG_PTR dwNewLong)
{
    WindowState& state = State();
    Guard guard(state.lock);
    WindowEntry* window = FindWindowEntry(state, hWnd);
    LONG_PTR previous = 0;
    return window && SetLongPtr(*window, nIndex, dwNewLong, previous) ? previous : 0;
}

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
    case WM_NCCREATE:
        return TRUE;
    case WM_SETTEXT:
        window->text = std::u16string(tvx::WideTextView(reinterpret_cast<LPCWSTR>(lParam)));
        return TRUE;
    case WM_GETTEXTLENGTH:
        return LRESULT(window->text.size());
    case WM_GETTEXT: {
        auto* buffer = reinterpret_cast<LPWSTR>(lParam);
        if (!buffer || wParam == 0)
            return 0;
        std::size_t count = std::min<std::size_t>(window->text.size(), wParam - 1);
        std::copy_n(window->text.data(), count, buffer);
        buffer[count] = 0;
        return LRESULT(count);
    }
    case WM_CLOSE:
        DestroyWindow(hWnd);
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
    default:
        return 0;
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
