// The editor services as packages reach them through GetService, and a
// package's notifier of them as the IDE calls it.
#pragma once

#include "host/ide/ToolsAPIServices.h"
#include "interop/InterfacedObject.h"
#include "interop/WrappedToolsAPI.h"

namespace talvix {

class TBDSEditorServicesWrapper final : public tvx::Implements<TBDSEditorServicesWrapper, IBDSEditorServices80> {
public:
    explicit TBDSEditorServicesWrapper(tvx::IntfPtr<IOTAEditorServices> Services);

    LONG STDMETHODCALLTYPE AddNotifier(IBDSEditServicesNotifier* Notifier) override;
    void STDMETHODCALLTYPE RemoveNotifier(LONG Index) override;

private:
    tvx::IntfPtr<IOTAEditorServices> s;
};

// Edit windows, views and dock forms are host objects: the package hears
// of them as null.
class TBDSEditServicesNotifierWrapper final
    : public tvx::Implements<TBDSEditServicesNotifierWrapper, INTAEditServicesNotifier> {
public:
    // Raises unless `Notifier` answers IBDSEditServicesNotifier.
    explicit TBDSEditServicesNotifierWrapper(IUnknown* Notifier);

    void AfterSave() override;
    void BeforeSave() override;
    void Destroyed() override;
    void Modified() override;
    void WindowShow(INTAEditWindow* EditWindow, bool Show, bool LoadedFromDesktop) override;
    void WindowNotification(INTAEditWindow* EditWindow, TOperation Operation) override;
    void WindowActivated(INTAEditWindow* EditWindow) override;
    void WindowCommand(INTAEditWindow* EditWindow, int Command, int Param, bool& Handled) override;
    void EditorViewActivated(INTAEditWindow* EditWindow, IOTAEditView* EditView) override;
    void EditorViewModified(INTAEditWindow* EditWindow, IOTAEditView* EditView) override;
    void DockFormVisibleChanged(INTAEditWindow* EditWindow, TDockableForm* DockForm) override;
    void DockFormUpdated(INTAEditWindow* EditWindow, TDockableForm* DockForm) override;
    void DockFormRefresh(INTAEditWindow* EditWindow, TDockableForm* DockForm) override;

private:
    tvx::IntfPtr<IBDSEditServicesNotifier> s;
};

} // namespace talvix
