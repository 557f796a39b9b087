// A module's file editor as a package sees it. It answers the module that
// produced it, so that the package reaches the same wrapper back.
#pragma once

#include "host/ide/ToolsAPIModules.h"
#include "interop/InterfacedObject.h"
#include "interop/WrappedToolsAPI.h"

namespace talvix {

class TBDSEditorWrapper final : public tvx::Implements<TBDSEditorWrapper, IBDSEditor> {
public:
    TBDSEditorWrapper(tvx::IntfPtr<IOTAEditor> Editor, tvx::IntfPtr<IBDSModule> Module);

    void STDMETHODCALLTYPE Dismiss() override;
    PWideChar STDMETHODCALLTYPE GetFileName() override;
    LongBool STDMETHODCALLTYPE GetModified() override;
    HRESULT STDMETHODCALLTYPE GetModule(IBDSModule** pRetVal) override;
    LongBool STDMETHODCALLTYPE MarkModified() override;
    void STDMETHODCALLTYPE Show() override;
    LONG STDMETHODCALLTYPE AddNotifier(IBDSNotifier* ANotifier) override;
    void STDMETHODCALLTYPE RemoveNotifier(LONG Index) override;

private:
    // The host's editor; raises once dismissed.
    IOTAEditor& Editor() const;

    tvx::IntfPtr<IOTAEditor> s;
    tvx::IntfPtr<IBDSModule> m;
};

} // namespace talvix
