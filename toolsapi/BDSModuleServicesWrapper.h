// The module services as packages reach them through GetService.
#pragma once

#include "host/ide/ToolsAPIServices.h"
#include "interop/InterfacedObject.h"
#include "interop/WrappedToolsAPI.h"

namespace talvix {

class TBDSModuleServicesWrapper final : public tvx::Implements<TBDSModuleServicesWrapper, IBDSModuleServices70> {
public:
    explicit TBDSModuleServicesWrapper(tvx::IntfPtr<IOTAModuleServices70> Services);

    HRESULT STDMETHODCALLTYPE GetCurrentModule(IBDSModule** pRetVal) override;
    LONG STDMETHODCALLTYPE ModuleCount() override;
    LongBool STDMETHODCALLTYPE NewModule() override;
    HRESULT STDMETHODCALLTYPE CreateModule(IBDSCreator* Creator, IBDSModule** pRetVal) override;
    void STDMETHODCALLTYPE GetNewModuleAndClassName(PWideChar Prefix, PWideChar* UnitIdent, PWideChar* ClassName,
                                                    PWideChar* FileName) override;
    HRESULT STDMETHODCALLTYPE FindModule(PWideChar FileName, IBDSModule** pRetVal) override;
    HRESULT STDMETHODCALLTYPE FindFormModule(PWideChar FormName, IBDSModule** pRetVal) override;
    HRESULT STDMETHODCALLTYPE GetModule(LONG Index, IBDSModule** pRetVal) override;
    LongBool STDMETHODCALLTYPE SaveAll() override;
    LongBool STDMETHODCALLTYPE CloseAll() override;
    LONG STDMETHODCALLTYPE AddFileSystem(IBDSFileSystem* FileSystem) override;
    HRESULT STDMETHODCALLTYPE FindFileSystem(PWideChar Name, IBDSFileSystem** pRetVal) override;
    void STDMETHODCALLTYPE RemoveFileSystem(LONG Index) override;

private:
    tvx::IntfPtr<IOTAModuleServices70> s;
};

} // namespace talvix
