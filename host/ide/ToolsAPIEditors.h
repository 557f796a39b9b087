// The Open Tools API's editor views and the native editor window behind
// them: the VCL form of an editor window and its status bar.
#pragma once

#include "host/vcl/System.h"
#include "interop/ComBase.h"
#include "interop/Guid.h"
#include "interop/IntfPtr.h"

class TCustomForm;
class TStatusBar;
struct INTAEditWindow;

TVX_DECLARE_INTERFACE(IOTAEditView, "{9C510462-C7BC-11D2-9AEB-00A02457621F}")
TVX_DECLARE_INTERFACE(INTAEditWindow, "{8CC6430B-E721-11D2-A8CC-00C04FA32F53}")

// A file as one editor window shows it.
struct IOTAEditView : IUnknown {
    // The window showing the view; null once it closed.
    virtual tvx::IntfPtr<INTAEditWindow> GetEditWindow() = 0;
};

struct INTAEditWindow : IUnknown {
    // Null once the window is gone.
    virtual TCustomForm* GetForm() = 0;
    virtual TStatusBar* GetStatusBar() = 0;
};
