#include "toolsapi/BDSModuleServicesWrapper.h"

#include "core/WrapperCall.h"
#include "toolsapi/BDSFileSystemWrapper.h"
#include "toolsapi/BDSModuleCreatorWrapper.h"
#include "toolsapi/BDSModuleWrapper.h"
#include "toolsapi/ToolsApiCalls.h"

#include <utility>

namespace talvix {

namespace {

IBDSModule* WrapModule(tvx::IntfPtr<IOTAModule> module)
{
    return NewWrapper<TBDSModuleWrapper, IBDSModule>(std::move(module));
}

} // namespace

TBDSModuleServicesWrapper::TBDSModuleServicesWrapper(tvx::IntfPtr<IOTAModuleServices70> Services)
    : s(std::move(Services))
{}

HRESULT TBDSModuleServicesWrapper::GetCurrentModule(IBDSModule** pRetVal)
{
    return ReadIfLive(true, pRetVal, [&] { return WrapModule(s->CurrentModule()); });
}

LONG TBDSModuleServicesWrapper::ModuleCount()
{
    return Answer<LONG>([&] { return s->GetModuleCount(); });
}

LongBool TBDSModuleServicesWrapper::NewModule()
{
    return Answer<LongBool>([&] { return ToLongBool(s->NewModule()); });
}

HRESULT TBDSModuleServicesWrapper::CreateModule(IBDSCreator* Creator, IBDSModule** pRetVal)
{
    return ReadIfLive(true, pRetVal, [&]() -> IBDSModule* {
        if (!Creator)
            return nullptr;
        // The host must never see a creator it cannot ask everything of.
        auto creator = PackageAs<IBDSModuleCreator>(Creator);
        if (!creator)
            throw tvx::HResultError(E_NOINTERFACE, u"The creator is no module creator");
        tvx::IntfPtr<IOTAModuleCreator> wrapper(new TBDSModuleCreatorWrapper(creator.get()));
        return WrapModule(s->CreateModule(wrapper.get()));
    });
}

void TBDSModuleServicesWrapper::GetNewModuleAndClassName(PWideChar Prefix, PWideChar* UnitIdent, PWideChar* ClassName,
                                                         PWideChar* FileName)
{
    // What the caller left in them may be anything: cleared, never freed.
    for (PWideChar* out : {UnitIdent, ClassName, FileName})
        if (out)
            *out = nullptr;
    Perform([&] {
        String unit, className, fileName;
        s->GetNewModuleAndClassName(PackageText(Prefix), unit, className, fileName);
        tvx::Bstr texts[] = {tvx::Bstr(unit), tvx::Bstr(className), tvx::Bstr(fileName)};
        PWideChar* outs[] = {UnitIdent, ClassName, FileName};
        for (int i = 0; i < 3; ++i)
            if (outs[i])
                *outs[i] = texts[i].detach();
    });
}

HRESULT TBDSModuleServicesWrapper::FindModule(PWideChar FileName, IBDSModule** pRetVal)
{
    return ReadIfLive(true, pRetVal, [&] { return WrapModule(s->FindModule(PackageText(FileName))); });
}

HRESULT TBDSModuleServicesWrapper::FindFormModule(PWideChar FormName, IBDSModule** pRetVal)
{
    return ReadIfLive(true, pRetVal, [&] { return WrapModule(s->FindFormModule(PackageText(FormName))); });
}

HRESULT TBDSModuleServicesWrapper::GetModule(LONG Index, IBDSModule** pRetVal)
{
    return ReadIfLive(true, pRetVal, [&] { return WrapModule(s->GetModule(Index)); });
}

LongBool TBDSModuleServicesWrapper::SaveAll()
{
    return Answer<LongBool>([&] { return ToLongBool(s->SaveAll()); });
}

LongBool TBDSModuleServicesWrapper::CloseAll()
{
    return Answer<LongBool>([&] { return ToLongBool(s->CloseAll()); });
}

LONG TBDSModuleServicesWrapper::AddFileSystem(IBDSFileSystem* FileSystem)
{
    return AnswerIndex([&] {
        auto fileSystem = PackageAs<IBDSFileSystem>(FileSystem);
        if (!fileSystem)
            throw tvx::HResultError(E_NOINTERFACE, u"The object is no file system");
        tvx::IntfPtr<IOTAFileSystem> wrapper(new TBDSFileSystemWrapper(fileSystem.get()));
        return s->AddFileSystem(wrapper.get());
    });
}

HRESULT TBDSModuleServicesWrapper::FindFileSystem(PWideChar, IBDSFileSystem** pRetVal)
{
    // The IDE's file systems are host objects, which no package may reach.
    return ReadIfLive(true, pRetVal, []() -> IBDSFileSystem* {
        throw tvx::HResultError(E_NOTIMPL, u"File systems cannot be looked up");
    });
}

void TBDSModuleServicesWrapper::RemoveFileSystem(LONG Index)
{
    Perform([&] { s->RemoveFileSystem(Index); });
}

} // namespace talvix
