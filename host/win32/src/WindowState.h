// The emulated window manager's tables and the helpers its sources share.
#pragma once

#include "host/win32/Windowing.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tvx::win32::detail {

struct WindowClassEntry {
    std::u16string name;
    // lpszClassName points into `name`; the menu name is not kept.
    WNDCLASSW info{};
    ATOM atom = 0;
    int windows = 0;
    // The module that registered it; null for the system's classes.
    HINSTANCE instance = nullptr;
};

struct WindowEntry {
    std::uint32_t handle = 0;
    WindowClassEntry* windowClass = nullptr;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    LONG_PTR userData = 0;
    LONG_PTR id = 0;
    HINSTANCE instance = nullptr;
    // 0 for a top-level window.
    std::uint32_t parent = 0;
    std::uint32_t owner = 0;
    // Z-order, topmost first.
    std::vector<std::uint32_t> children;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    std::u16string text;
    std::vector<BYTE> extra;
    bool destroying = false;
    // An overlapped window gets its first WM_SIZE and WM_MOVE when first
    // shown, not when created.
    bool sizePending = false;
};

// One lock for the whole window manager. It is re-entrant and held while a
// window procedure runs, because procedures call back into the manager;
// every caller looks a window up again after a message was sent.
struct WindowState {
    std::recursive_mutex lock;
    std::uint32_t next;
    std::map<std::uint32_t, std::unique_ptr<WindowEntry>> windows;
    // Z-order of the top-level windows, topmost first.
    std::vector<std::uint32_t> topLevel;
    std::vector<std::unique_ptr<WindowClassEntry>> classes;
    ATOM nextAtom = 0xC000;
    std::uint32_t focus = 0;
    std::uint32_t active = 0;
};

// The desktop window: it exists, is never destroyed and is not counted.
inline constexpr std::uint32_t kDesktopWindow = 0x00010010;

WindowState& State();
std::uint32_t Key(HWND window) noexcept;
HWND ToHwnd(std::uint32_t key) noexcept;
// The live window behind a handle; null (with ERROR_INVALID_WINDOW_HANDLE)
// when there is none. The caller holds the lock.
WindowEntry* FindWindowEntry(WindowState& state, HWND window);
// How a class name is looked up, as each call of Windows does: the module
// given (null: the program) owns a class; creating with no module finds a
// class of any module; a query with no module asks for the system's classes.
enum class ClassLookup { Create, Query, Own };
WindowClassEntry* FindClass(WindowState& state, LPCWSTR name, HINSTANCE instance, ClassLookup lookup) noexcept;

// Each call holds the lock from start to end.
using Guard = std::lock_guard<std::recursive_mutex>;

// Calls the window's procedure; a window that is gone answers 0.
LRESULT Send(WindowState& state, std::uint32_t handle, UINT message, WPARAM wParam, LPARAM lParam);

// The z-order list a window of that parent sits in; the parent is live.
std::vector<std::uint32_t>& Siblings(WindowState& state, std::uint32_t parent);
// Puts the window on top (or at the bottom) of its parent's z-order, or
// takes it off.
void Link(WindowState& state, const WindowEntry& window, bool atBottom = false);
void Unlink(WindowState& state, WindowEntry& window);
// Moves a linked window in its siblings' z-order as SetWindowPos does, and
// sets or clears WS_EX_TOPMOST on HWND_TOPMOST, HWND_NOTOPMOST and
// HWND_BOTTOM; answers whether its place changed.
bool PlaceInZOrder(WindowState& state, WindowEntry& window, HWND insertAfter);

// A window that is a child and nothing else: it is never active.
bool IsPureChild(const WindowEntry& window);

// Sets or clears WS_VISIBLE and sends WM_SHOWWINDOW on a change; answers
// whether the window was visible. The window is live.
bool SetVisible(WindowState& state, std::uint32_t handle, bool visible);
// ShowWindow's messages in Windows' order: WM_SHOWWINDOW, the activation
// of a shown window, WM_WINDOWPOSCHANGED, the activation passed on by a
// hidden one, and at an overlapped window's first showing the WM_SIZE and
// WM_MOVE its creation left out. A child created visible gets only
// WM_SHOWWINDOW. Answers whether the window was visible.
bool ShowWithMessages(WindowState& state, std::uint32_t handle, int command, bool creating = false);
// WM_SIZE then WM_MOVE with the window's present size and place.
void SendSizeAndMove(WindowState& state, std::uint32_t handle);

// Activation follows a ShowWindow command: a window shown by an activating
// command becomes active, a hidden or minimized active window passes it on.
void ShowChangesActivation(WindowState& state, std::uint32_t handle, int command, bool wasVisible);
// SetWindowPos activates the window unless told not to (SWP_NOACTIVATE),
// and hiding the active window passes activation on.
void PositionChangesActivation(WindowState& state, std::uint32_t handle, UINT flags);
// SetFocus activates the window's top-level window first, unless it is
// active already; false when the window did not survive that.
bool ActivateForFocus(WindowState& state, std::uint32_t handle);
// Makes the window (0: none) active, with WM_ACTIVATE to both sides.
void ActivateWindow(WindowState& state, std::uint32_t handle);
// When `leaving` is active: its owner, else the topmost window that can be,
// becomes active.
void ActivateOtherWindow(WindowState& state, std::uint32_t leaving);

} // namespace tvx::win32::detail
