// An open module as a package sees it.
#pragma once

#include "host/ide/ToolsAPIModules.h"
#include "interop/InterfacedObject.h"
#include "interop/WrappedToolsAPI.h"

namespace talvix {

class TBDSModuleWrapper final : public tvx::Implements<TBDSModuleWrapper, IBDSModule> {
public:
    explicit TBDSModuleWrapper(tvx::IntfPtr<IOTAModule> Module);

    PWideChar STDMETHODCALLTYPE GetFileName() override;
    void STDMETHODCALLTYPE SetFileName(BSTR AFileName) override;
    PWideChar STDMETHODCALLTYPE GetFileSystem() override;
    void STDMETHODCALLTYPE SetFileSystem(BSTR AFileSystem) override;
    LongBool STDMETHODCALLTYPE HasCoClasses() override;
    LONG STDMETHODCALLTYPE GetModuleFileCount() override;
    void STDMETHODCALLTYPE GetModuleFileEditor(LONG Index, IBDSEditor** pRetVal) override;
    LONG STDMETHODCALLTYPE GetOwnerCount() override;
    void STDMETHODCALLTYPE GetOwner(LONG Index, IBDSProject** pRetVal) override;
    void STDMETHODCALLTYPE AddToInterface() override;
    LONG STDMETHODCALLTYPE AddNotifier(IBDSModuleNotifier* ANotifier) override;
    void STDMETHODCALLTYPE RemoveNotifier(LONG Index) override;
    LongBool STDMETHODCALLTYPE Save(LongBool ChangeName, LongBool ForceSave) override;
    LongBool STDMETHODCALLTYPE Close() override;
    LongBool STDMETHODCALLTYPE CloseModule(LongBool ForceClosed) override;
    void STDMETHODCALLTYPE GetCurrentEditor(IBDSEditor** pRetVal) override;
    LONG STDMETHODCALLTYPE GetOwnerModuleCount() override;
    void STDMETHODCALLTYPE GetOwnerModule(LONG Index, IBDSModule** pRetVal) override;
    void STDMETHODCALLTYPE MarkModified() override;
    void STDMETHODCALLTYPE Show() override;
    void STDMETHODCALLTYPE ShowFilename(PWideChar FileName) override;

private:
    IBDSEditor* WrapEditor(tvx::IntfPtr<IOTAEditor> Editor);

    tvx::IntfPtr<IOTAModule> s;
};

} // namespace talvix
