// The Open Tools API's side of the editor windows: a window as
// INTAEditWindow, a module's view in one window as IOTAEditView, and the
// editor services that name the view on top. Add-ins may hold any of them
// after the window, the view or the IDE is gone: they then answer null.
#pragma once

#include "host/ide/ToolsAPIServices.h"
#include "interop/InterfacedObject.h"
#include "interop/IntfPtr.h"

namespace tvx::sim {

class IdeEditorWindows;
class TEditWindow;

class TSimEditWindow final : public tvx::Implements<TSimEditWindow, INTAEditWindow> {
public:
    explicit TSimEditWindow(TEditWindow& Window) : window_(&Window) {}
    TCustomForm* GetForm() override;
    TStatusBar* GetStatusBar() override;
    void Detach() noexcept { window_ = nullptr; }

private:
    TEditWindow* window_;
};

// A module as one editor window shows it.
class TSimEditView final : public tvx::Implements<TSimEditView, IOTAEditView> {
public:
    explicit TSimEditView(TEditWindow& Window) : window_(&Window) {}
    tvx::IntfPtr<INTAEditWindow> GetEditWindow() override;
    // The window or the module's tab in it went.
    void Detach() noexcept { window_ = nullptr; }

private:
    TEditWindow* window_;
};

class TSimEditorServices final : public tvx::Implements<TSimEditorServices, IOTAEditorServices> {
public:
    explicit TSimEditorServices(IdeEditorWindows& Windows) : windows_(&Windows) {}
    tvx::IntfPtr<IOTAEditView> GetTopView() override;
    // Once the windows are gone nothing would tell a notifier Destroyed:
    // none is taken.
    int AddNotifier(INTAEditServicesNotifier* Notifier) override;
    void RemoveNotifier(int Index) override;
    void Detach() noexcept { windows_ = nullptr; }

private:
    IdeEditorWindows* windows_;
};

} // namespace tvx::sim
