// Handle and record types of the Win32 subset. On Windows they come from the
// system headers.
#pragma once

#include "interop/ComBase.h"

#if !defined(_WIN32)

#define TVX_DECLARE_HANDLE(name)                                                                                       \
    struct name##__;                                                                                                   \
    using name = name##__*

TVX_DECLARE_HANDLE(HKEY);
TVX_DECLARE_HANDLE(HWND);
TVX_DECLARE_HANDLE(HINSTANCE);
TVX_DECLARE_HANDLE(HBITMAP);
TVX_DECLARE_HANDLE(HICON);
TVX_DECLARE_HANDLE(HMENU);
TVX_DECLARE_HANDLE(HDC);
TVX_DECLARE_HANDLE(HBRUSH);
TVX_DECLARE_HANDLE(HCURSOR);
TVX_DECLARE_HANDLE(HGDIOBJ__TAG);
using HMODULE = HINSTANCE;
using HGDIOBJ = void*;
using HANDLE = void*;
using PHKEY = HKEY*;
using REGSAM = DWORD;
using LSTATUS = LONG;
using ATOM = WORD;
using COLORREF = DWORD;
using FARPROC = INT_PTR (*)();

struct POINT {
    LONG x;
    LONG y;
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
using LPMSG = MSG*;

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

#endif
