// The user32 subset for windows: classes, creation and destruction,
// parenting, visibility, position, styles, enabling, focus and messages.
// Handles are small integers that fit in 32 bits, because packages pass
// window handles across the interop boundary as 32-bit integers.
#pragma once

#include "host/win32/User.h"
#include "host/win32/WinTypes.h"

#if !defined(_WIN32)

using WNDPROC = LRESULT(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);

struct WNDCLASSW {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
};

struct CREATESTRUCTW {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCWSTR lpszName;
    LPCWSTR lpszClass;
    DWORD dwExStyle;
};

struct WINDOWPOS {
    HWND hwnd;
    HWND hwndInsertAfter;
    int x;
    int y;
    int cx;
    int cy;
    UINT flags;
};

#define MAKEINTATOM(i) ((LPCWSTR)((ULONG_PTR)((WORD)(i))))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)((WORD)(l) | ((DWORD)(WORD)(h) << 16)))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)((WORD)(l) | ((DWORD)(WORD)(h) << 16)))
#define LOWORD(l) ((WORD)(((DWORD_PTR)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((DWORD_PTR)(l)) >> 16) & 0xffff))

#define ERROR_INVALID_WINDOW_HANDLE 1400L
#define ERROR_TLW_WITH_WSCHILD 1406L
#define ERROR_CANNOT_FIND_WND_CLASS 1407L
#define ERROR_CLASS_ALREADY_EXISTS 1410L
#define ERROR_CLASS_DOES_NOT_EXIST 1411L
#define ERROR_CLASS_HAS_WINDOWS 1412L
#define ERROR_INVALID_INDEX 1413L

#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_MINIMIZE 0x20000000L
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_CLIPSIBLINGS 0x04000000L
#define WS_CLIPCHILDREN 0x02000000L
#define WS_MAXIMIZE 0x01000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_VSCROLL 0x00200000L
#define WS_HSCROLL 0x00100000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_TABSTOP 0x00010000L
#define WS_OVERLAPPEDWINDOW 0x00CF0000L

#define WS_EX_TOPMOST 0x00000008L
#define WS_EX_TOOLWINDOW 0x00000080L
#define WS_EX_CONTROLPARENT 0x00010000L

#define CW_USEDEFAULT ((int)0x80000000)

#define GWL_WNDPROC (-4)
#define GWL_HINSTANCE (-6)
#define GWL_HWNDPARENT (-8)
#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)
#define GWL_USERDATA (-21)
#define GWL_ID (-12)
#define GWLP_WNDPROC (-4)
#define GWLP_HINSTANCE (-6)
#define GWLP_HWNDPARENT (-8)
#define GWLP_USERDATA (-21)
#define GWLP_ID (-12)

#define HWND_TOP ((HWND)0)
#define HWND_BOTTOM ((HWND)1)
#define HWND_TOPMOST ((HWND)-1)
#define HWND_NOTOPMOST ((HWND)-2)

#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004
#define SWP_NOREDRAW 0x0008
#define SWP_NOACTIVATE 0x0010
#define SWP_FRAMECHANGED 0x0020
#define SWP_SHOWWINDOW 0x0040
#define SWP_HIDEWINDOW 0x0080
#define SWP_NOOWNERZORDER 0x0200

#define GW_HWNDFIRST 0
#define GW_HWNDLAST 1
#define GW_HWNDNEXT 2
#define GW_HWNDPREV 3
#define GW_OWNER 4
#define GW_CHILD 5

#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_ACTIVATE 0x0006
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_ENABLE 0x000A
#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_GETTEXTLENGTH 0x000E
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_SHOWWINDOW 0x0018
#define WM_MOUSEACTIVATE 0x0021
#define WM_WINDOWPOSCHANGING 0x0046
#define WM_WINDOWPOSCHANGED 0x0047
#define WM_NCCREATE 0x0081
#define WM_NCDESTROY 0x0082
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_COMMAND 0x0111
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_USER 0x0400

#define SIZE_RESTORED 0
#define WA_INACTIVE 0
#define WA_ACTIVE 1
#define WA_CLICKACTIVE 2
#define MA_ACTIVATE 1
#define MA_ACTIVATEANDEAT 2
#define MA_NOACTIVATE 3
#define MA_NOACTIVATEANDEAT 4
#define HTCLIENT 1

// Registers a class under its name (ignoring case); a second class of the
// same name fails with ERROR_CLASS_ALREADY_EXISTS. The system's own classes
// (Button, Edit, Static, ComboBox, ListBox) exist from the start, with
// DefWindowProcW as their procedure. Classes are looked up by name alone,
// whatever module registered them.
TVX_WIN32_API ATOM RegisterClassW(const WNDCLASSW* lpWndClass);
// Fails with ERROR_CLASS_HAS_WINDOWS while windows of the class exist.
TVX_WIN32_API BOOL UnregisterClassW(LPCWSTR lpClassName, HINSTANCE hInstance);
TVX_WIN32_API BOOL GetClassInfoW(HINSTANCE hInstance, LPCWSTR lpClassName, WNDCLASSW* lpWndClass);
TVX_WIN32_API int GetClassNameW(HWND hWnd, LPWSTR lpClassName, int nMaxCount);

// WS_CHILD needs a parent; without WS_CHILD the parent given becomes the
// owner. WM_NCCREATE and WM_CREATE are sent with the CREATESTRUCTW; a
// window that refuses either is gone and the result is null. WS_VISIBLE
// shows the window after WM_CREATE. CW_USEDEFAULT reads as 0.
TVX_WIN32_API HWND CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName, DWORD dwStyle, int X,
                                   int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                                   LPVOID lpParam);
// Destroys the windows it owns, then sends WM_DESTROY to the window and to
// its children (parents first) and WM_NCDESTROY (children first). Child
// windows go with it, whoever created them.
TVX_WIN32_API BOOL DestroyWindow(HWND hWnd);
TVX_WIN32_API BOOL IsWindow(HWND hWnd);
TVX_WIN32_API HWND GetDesktopWindow();

// Null (or the desktop window) makes the window top-level. The answer is the
// previous parent, the desktop window for a top-level window. A window
// cannot become a child of itself or of one of its descendants.
TVX_WIN32_API HWND SetParent(HWND hWndChild, HWND hWndNewParent);
// The parent, else the owner of a WS_POPUP window, else null.
TVX_WIN32_API HWND GetParent(HWND hWnd);
TVX_WIN32_API BOOL IsChild(HWND hWndParent, HWND hWnd);
TVX_WIN32_API HWND GetWindow(HWND hWnd, UINT uCmd);

// Nonzero when the window was visible before.
TVX_WIN32_API BOOL ShowWindow(HWND hWnd, int nCmdShow);
// The window and every parent up to the top carry WS_VISIBLE.
TVX_WIN32_API BOOL IsWindowVisible(HWND hWnd);

// Positions are relative to the parent's client area (the emulation has no
// frames: the client area is the whole window). HWND_TOPMOST sets and
// HWND_NOTOPMOST (or HWND_BOTTOM) clears WS_EX_TOPMOST of a top-level
// window, unless SWP_NOZORDER is given; a child window ignores both.
// Topmost top-level windows stay above the others in the z-order.
TVX_WIN32_API BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags);
TVX_WIN32_API BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint);
// In screen coordinates.
TVX_WIN32_API BOOL GetWindowRect(HWND hWnd, RECT* lpRect);
TVX_WIN32_API BOOL GetClientRect(HWND hWnd, RECT* lpRect);

// GWL_STYLE, GWL_EXSTYLE, GWL_ID, GWL_USERDATA, and the class's extra bytes
// at non-negative offsets; another index fails with ERROR_INVALID_INDEX.
TVX_WIN32_API LONG GetWindowLongW(HWND hWnd, int nIndex);
TVX_WIN32_API LONG SetWindowLongW(HWND hWnd, int nIndex, LONG dwNewLong);
// Also GWLP_WNDPROC, GWLP_HINSTANCE and (read only) GWLP_HWNDPARENT.
TVX_WIN32_API LONG_PTR GetWindowLongPtrW(HWND hWnd, int nIndex);
TVX_WIN32_API LONG_PTR SetWindowLongPtrW(HWND hWnd, int nIndex, LONG_PTR dwNewLong);

// Nonzero when the window was disabled before.
TVX_WIN32_API BOOL EnableWindow(HWND hWnd, BOOL bEnable);
TVX_WIN32_API BOOL IsWindowEnabled(HWND hWnd);

// The previous focus window. Null clears the focus.
TVX_WIN32_API HWND SetFocus(HWND hWnd);
TVX_WIN32_API HWND GetActiveWindow();
TVX_WIN32_API HWND SetActiveWindow(HWND hWnd);
TVX_WIN32_API HWND GetFocus();

TVX_WIN32_API LRESULT SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
TVX_WIN32_API LRESULT CallWindowProcW(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
// Text messages, WM_CLOSE (destroys the window) and WM_WINDOWPOSCHANGED
// (sends WM_MOVE and WM_SIZE); anything else answers 0.
TVX_WIN32_API LRESULT DefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

TVX_WIN32_API BOOL SetWindowTextW(HWND hWnd, LPCWSTR lpString);
TVX_WIN32_API int GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount);
TVX_WIN32_API int GetWindowTextLengthW(HWND hWnd);

#endif
