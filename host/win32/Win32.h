// The Win32 subset this system uses. On Windows these are the system's own
// declarations; elsewhere the win32 stand-in library implements them with the
// same names, arguments and observable behaviour.
#pragma once

#include "interop/ComBase.h"

#if defined(_WIN32)
#include <shellapi.h>
// What the stand-in adds to the system, provided on Windows too.
#include "host/win32/ComRuntime.h"
#include "host/win32/Kernel.h"
#else
#include "host/win32/ComRuntime.h"
#include "host/win32/Gdi.h"
#include "host/win32/Kernel.h"
#include "host/win32/Registry.h"
#include "host/win32/Resources.h"
#include "host/win32/Shell.h"
#include "host/win32/User.h"
#include "host/win32/WinTypes.h"
#include "host/win32/Windowing.h"
#endif
