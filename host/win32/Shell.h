// The shell32 subset: launching documents and programs.
#pragma once

#include "host/win32/User.h"
#include "host/win32/WinTypes.h"

#if !defined(_WIN32)

// Results of ShellExecuteW at or below 32 are errors.
#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_OOM 8
#define SE_ERR_NOASSOC 31

// Launches nothing: the request is recorded (tvx::win32::ShellLaunches) and
// reported as started.
TVX_WIN32_API HINSTANCE ShellExecuteW(HWND hwnd, LPCWSTR lpOperation, LPCWSTR lpFile, LPCWSTR lpParameters,
                                      LPCWSTR lpDirectory, INT nShowCmd);

#endif
