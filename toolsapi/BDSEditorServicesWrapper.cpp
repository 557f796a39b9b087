#include "toolsapi/BDSEditorServicesWrapper.h"

#include "host/vcl/SysUtils.h"
#include "toolsapi/ToolsApiCalls.h"

#include <utility>

namespace talvix {

// --- TBDSEditorServicesWrapper ----------------------------------------------

TBDSEditorServicesWrapper::TBDSEditorServicesWrapper(tvx::IntfPtr<IOTAEditorServices> Services) : s(std::move(Services))
{}

LONG TBDSEditorServicesWrapper::AddNotifier(IBDSEditServicesNotifier* Notifier)
{
    return AnswerIndex([&] {
        if (!PackageAs<IBDSEditServicesNotifier>(Notifier))
            throw tvx::HResultError(E_NOINTERFACE, u"The object is no editor services notifier");
        tvx::IntfPtr<INTAEditServicesNotifier> wrapper(new TBDSEditServicesNotifierWrapper(Notifier));
        return s->AddNotifier(wrapper.get());
    });
}

void TBDSEditorServicesWrapper::RemoveNotifier(LONG Index)
{
    Perform([&] { s->RemoveNotifier(Index); });
}

// --- TBDSEditServicesNotifierWrapper ----------------------------------------

namespace {

constexpr ByteBool AsByteBool(bool value) noexcept { return value ? 1 : 0; }

} // namespace

TBDSEditServicesNotifierWrapper::TBDSEditServicesNotifierWrapper(IUnknown* Notifier)
    : s(tvx::IntfPtr<IUnknown>(Notifier).as<IBDSEditServicesNotifier>())
{}

void TBDSEditServicesNotifierWrapper::AfterSave()
{
    if (!AskPackage<bool>([&] { return FromLongBool(s->AfterSave()); }, true))
        Abort();
}

void TBDSEditServicesNotifierWrapper::BeforeSave()
{
    if (!AskPackage<bool>([&] { return FromLongBool(s->BeforeSave()); }, true))
        Abort();
}

void TBDSEditServicesNotifierWrapper::Destroyed()
{
    tvx::CallIntoPackage([&] { return s->Destroyed(); });
}

void TBDSEditServicesNotifierWrapper::Modified()
{
    tvx::CallIntoPackage([&] { return s->Modified(); });
}

void TBDSEditServicesNotifierWrapper::WindowShow(INTAEditWindow*, bool Show, bool LoadedFromDesktop)
{
    tvx::CallIntoPackage([&] { return s->WindowShow(nullptr, AsByteBool(Show), AsByteBool(LoadedFromDesktop)); });
}

void TBDSEditServicesNotifierWrapper::WindowNotification(INTAEditWindow*, TOperation Operation)
{
    tvx::CallIntoPackage([&] { return s->WindowNotification(nullptr, Operation == opInsert ? 0 : 1); });
}

void TBDSEditServicesNotifierWrapper::WindowActivated(INTAEditWindow*)
{
    tvx::CallIntoPackage([&] { return s->WindowActivated(nullptr); });
}

void TBDSEditServicesNotifierWrapper::WindowCommand(INTAEditWindow*, int Command, int Param, bool& Handled)
{
    ByteBool handled = AsByteBool(Handled);
    // A package that throws has decided nothing.
    const bool answered = AskPackage<bool>(
        [&] {
            s->WindowCommand(nullptr, Command, Param, &handled);
            return true;
        },
        false);
    if (answered)
        Handled = handled != 0;
}

void TBDSEditServicesNotifierWrapper::EditorViewActivated(INTAEditWindow*, IOTAEditView*)
{
    tvx::CallIntoPackage([&] { return s->EditorViewActivated(nullptr, nullptr); });
}

void TBDSEditServicesNotifierWrapper::EditorViewModified(INTAEditWindow*, IOTAEditView*)
{
    tvx::CallIntoPackage([&] { return s->EditorViewModified(nullptr, nullptr); });
}

void TBDSEditServicesNotifierWrapper::DockFormVisibleChanged(INTAEditWindow*, TDockableForm*)
{
    tvx::CallIntoPackage([&] { return s->DockFormVisibleChanged(nullptr, nullptr); });
}

void TBDSEditServicesNotifierWrapper::DockFormUpdated(INTAEditWindow*, TDockableForm*)
{
    tvx::CallIntoPackage([&] { return s->DockFormUpdated(nullptr, nullptr); });
}

void TBDSEditServicesNotifierWrapper::DockFormRefresh(INTAEditWindow*, TDockableForm*)
{
    tvx::CallIntoPackage([&] { return s->DockFormRefresh(nullptr, nullptr); });
}

} // namespace talvix
