#include "toolsapi/BDSModuleWrapper.h"

#include "core/WrapperCall.h"
#include "toolsapi/BDSAnyNotifierWrapper.h"
#include "toolsapi/BDSEditorWrapper.h"
#include "toolsapi/ToolsApiCalls.h"

#include <utility>

namespace talvix {

TBDSModuleWrapper::TBDSModuleWrapper(tvx::IntfPtr<IOTAModule> Module) : s(std::move(Module)) {}

IBDSEditor* TBDSModuleWrapper::WrapEditor(tvx::IntfPtr<IOTAEditor> Editor)
{
    if (!Editor)
        return nullptr;
    return tvx::NewInterface<TBDSEditorWrapper, IBDSEditor>(std::move(Editor), tvx::IntfPtr<IBDSModule>(this));
}

PWideChar TBDSModuleWrapper::GetFileName()
{
    return Answer<PWideChar>([&] { return NewText(s->GetFileName()); });
}

void TBDSModuleWrapper::SetFileName(BSTR AFileName)
{
    Perform([&] { s->SetFileName(FromBstr(AFileName)); });
}

PWideChar TBDSModuleWrapper::GetFileSystem()
{
    return Answer<PWideChar>([&] { return NewText(s->GetFileSystem()); });
}

void TBDSModuleWrapper::SetFileSystem(BSTR AFileSystem)
{
    Perform([&] { s->SetFileSystem(FromBstr(AFileSystem)); });
}

LongBool TBDSModuleWrapper::HasCoClasses()
{
    return Answer<LongBool>([&] { return ToLongBool(s->HasCoClasses()); });
}

LONG TBDSModuleWrapper::GetModuleFileCount()
{
    return Answer<LONG>([&] { return s->GetModuleFileCount(); });
}

void TBDSModuleWrapper::GetModuleFileEditor(LONG Index, IBDSEditor** pRetVal)
{
    WriteOut(pRetVal, [&] { return WrapEditor(s->GetModuleFileEditor(Index)); });
}

// Projects are not mirrored: a module owned by one shows no owner.
LONG TBDSModuleWrapper::GetOwnerCount() { return 0; }

void TBDSModuleWrapper::GetOwner(LONG, IBDSProject** pRetVal)
{
    WriteOut(pRetVal, []() -> IBDSProject* { return nullptr; });
}

void TBDSModuleWrapper::AddToInterface()
{
    Perform([&] { s->AddToInterface(); });
}

LONG TBDSModuleWrapper::AddNotifier(IBDSModuleNotifier* ANotifier)
{
    return AnswerIndex([&] {
        auto notifier = TBDSAnyNotifierWrapper::Create(ANotifier);
        return s->AddNotifier(notifier->ModuleNotifier());
    });
}

void TBDSModuleWrapper::RemoveNotifier(LONG Index)
{
    Perform([&] { s->RemoveNotifier(Index); });
}

LongBool TBDSModuleWrapper::Save(LongBool ChangeName, LongBool ForceSave)
{
    return Answer<LongBool>([&] { return ToLongBool(s->Save(FromLongBool(ChangeName), FromLongBool(ForceSave))); });
}

LongBool TBDSModuleWrapper::Close()
{
    return Answer<LongBool>([&] { return ToLongBool(s->Close()); });
}

LongBool TBDSModuleWrapper::CloseModule(LongBool ForceClosed)
{
    return Answer<LongBool>([&] { return ToLongBool(s->CloseModule(FromLongBool(ForceClosed))); });
}

void TBDSModuleWrapper::GetCurrentEditor(IBDSEditor** pRetVal)
{
    WriteOut(pRetVal, [&] { return WrapEditor(s->GetCurrentEditor()); });
}

LONG TBDSModuleWrapper::GetOwnerModuleCount()
{
    return Answer<LONG>([&] { return s->GetOwnerModuleCount(); });
}

void TBDSModuleWrapper::GetOwnerModule(LONG Index, IBDSModule** pRetVal)
{
    WriteOut(pRetVal, [&] { return NewWrapper<TBDSModuleWrapper, IBDSModule>(s->GetOwnerModule(Index)); });
}

void TBDSModuleWrapper::MarkModified()
{
    Perform([&] { s->MarkModified(); });
}

void TBDSModuleWrapper::Show()
{
    Perform([&] { s->Show(); });
}

void TBDSModuleWrapper::ShowFilename(PWideChar FileName)
{
    Perform([&] { s->ShowFilename(PackageText(FileName)); });
}

} // namespace talvix
