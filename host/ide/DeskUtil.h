// The desktop utilities: the form classes the desktop can create by name,
// the variables through which it finds, stores and clears a form, and
// focusing a window.
#pragma once

#include "host/vcl/Controls.h"
#include "host/vcl/IdeApi.h"
#include "host/vcl/System.h"

#include <vector>

// The IDE sets these while its desktop is up; they are null otherwise.
// Address is the caller's variable that holds the form.
using TRegisterFieldAddressProc = void (*)(const String& Name, void* Address);
using TUnregisterFieldAddressProc = void (*)(void* Address);
extern TVX_IDE_API TRegisterFieldAddressProc RegisterFieldAddress;
extern TVX_IDE_API TUnregisterFieldAddressProc UnregisterFieldAddress;

struct TVX_IDE_API TDesktopFormClass {
    TClass FormClass = nullptr;
    String Name;
    String InstanceName;
};

// A second registration under a name already known replaces the first.
TVX_IDE_API void RegisterDesktopFormClass(TClass FormClass, const String& Name, const String& InstanceName);
TVX_IDE_API std::vector<TDesktopFormClass> DesktopFormClasses();
// Forgets every registration (the IDE's shutdown).
TVX_IDE_API void ClearDesktopFormClasses();

// Activates the form that holds the window and gives the window the focus,
// when it is showing.
TVX_IDE_API void FocusWindow(TWinControl* Window);
