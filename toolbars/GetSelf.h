// In-process only, never offered to packages: takes the toolbar service
// from a package's IBdsToolBar back to its own object. A foreign object
// does not answer it.
#pragma once

#include "interop/ComBase.h"
#include "interop/Guid.h"

TVX_DECLARE_INTERFACE(IGetSelf, "{19D1B51E-B630-43FF-87D9-3827F7F795BE}")
struct IGetSelf : IUnknown {
    virtual void* STDMETHODCALLTYPE GetSelf() = 0;
};
