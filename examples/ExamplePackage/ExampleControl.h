// The package's own window as the IDE reads it: a handle.
#pragma once

#include "interop/InterfacedObject.h"
#include "interop/TalvixBdsInterop.h"

namespace example {

class ExampleControl final : public tvx::Implements<ExampleControl, IWin32Window> {
public:
    explicit ExampleControl(HWND window) : window_(window) {}
    HRESULT STDMETHODCALLTYPE Get_Handle(LONG* Handle) override
    {
        if (!Handle)
            return E_POINTER;
        *Handle = LONG(reinterpret_cast<LONG_PTR>(window_));
        return S_OK;
    }

private:
    HWND window_;
};

} // namespace example
