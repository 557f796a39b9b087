// The user32 subset: message boxes, the foreground window, icons and system
// metrics. Windows and their messages are in Windowing.h.
#pragma once

#include "host/win32/WinTypes.h"

#if !defined(_WIN32)

#ifndef ERROR_INVALID_MSGBOX_STYLE
#define ERROR_INVALID_MSGBOX_STYLE 1158L
#endif

#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_ABORTRETRYIGNORE 0x00000002L
#define MB_YESNOCANCEL 0x00000003L
#define MB_YESNO 0x00000004L
#define MB_RETRYCANCEL 0x00000005L
#define MB_CANCELTRYCONTINUE 0x00000006L
#define MB_TYPEMASK 0x0000000FL

#define MB_ICONHAND 0x00000010L
#define MB_ICONQUESTION 0x00000020L
#define MB_ICONEXCLAMATION 0x00000030L
#define MB_ICONASTERISK 0x00000040L
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_ICONMASK 0x000000F0L

#define MB_DEFBUTTON1 0x00000000L
#define MB_DEFBUTTON2 0x00000100L
#define MB_DEFBUTTON3 0x00000200L
#define MB_DEFBUTTON4 0x00000300L
#define MB_DEFMASK 0x00000F00L

#define MB_APPLMODAL 0x00000000L
#define MB_SYSTEMMODAL 0x00001000L
#define MB_TASKMODAL 0x00002000L
#define MB_HELP 0x00004000L
#define MB_SETFOREGROUND 0x00010000L
#define MB_DEFAULT_DESKTOP_ONLY 0x00020000L
#define MB_TOPMOST 0x00040000L
#define MB_RIGHT 0x00080000L
#define MB_RTLREADING 0x00100000L

#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7
#define IDCLOSE 8
#define IDHELP 9
#define IDTRYAGAIN 10
#define IDCONTINUE 11

#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_NORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOWMAXIMIZED 3
#define SW_MAXIMIZE 3
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_SHOWMINNOACTIVE 7
#define SW_SHOWNA 8
#define SW_RESTORE 9
#define SW_SHOWDEFAULT 10
#define SW_FORCEMINIMIZE 11

// Shows nothing: the box is recorded (tvx::win32::MessageBoxes) and answered
// with the queued answer, else with its default button, as if Enter was pressed.
TVX_WIN32_API int MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType);
TVX_WIN32_API HWND GetForegroundWindow();

#ifndef ERROR_INVALID_CURSOR_HANDLE
#define ERROR_INVALID_CURSOR_HANDLE 1402L
#endif

struct ICONINFO {
    BOOL fIcon;
    DWORD xHotspot;
    DWORD yHotspot;
    HBITMAP hbmMask;
    HBITMAP hbmColor;
};
using PICONINFO = ICONINFO*;

// Icons share the bitmaps' handle series (small, never reused) but are
// destroyed only by DestroyIcon, as on Windows.
// Copies both bitmaps: the caller keeps its own and deletes them. A null or
// dead hbmMask, or a dead hbmColor, fails with ERROR_INVALID_PARAMETER. A
// null hbmColor makes a monochrome icon. An icon's hotspot is its centre.
TVX_WIN32_API HICON CreateIconIndirect(PICONINFO piconinfo);
// Gives new bitmaps, copies of the icon's, that the caller deletes.
TVX_WIN32_API BOOL GetIconInfo(HICON hIcon, PICONINFO piconinfo);
TVX_WIN32_API HICON CopyIcon(HICON hIcon);
// FALSE with ERROR_INVALID_CURSOR_HANDLE for a handle that is no live icon.
TVX_WIN32_API BOOL DestroyIcon(HICON hIcon);

#define SM_CXICON 11
#define SM_CYICON 12
#define SM_CXSMICON 49
#define SM_CYSMICON 50

// The icon sizes of a 96-dpi desktop; 0 for any other index.
TVX_WIN32_API int GetSystemMetrics(int nIndex);

#endif
