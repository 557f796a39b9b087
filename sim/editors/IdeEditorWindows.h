// The simulated IDE's editor windows: the IDE starts with one showing the
// demo project's unit and project file; View > New Edit Window opens more.
// The front window (the one last made, activated or used in a step) is the
// one whose view the editor services name on top and whose module is the
// current one.
//
// Windows are forms owned by Application; whoever frees one, the part
// forgets it. The part frees those left when it goes, after the add-ins.
#pragma once

#include "interop/IntfPtr.h"
#include "sim/IdePart.h"
#include "sim/editors/EditWindow.h"
#include "sim/editors/EditorViews.h"
#include "sim/editors/EditorWindowReport.h"
#include "sim/modules/SimModule.h"

#include <string>
#include <vector>

namespace tvx::sim {

class IdeModules;
class SimulatedIde;
class TEditWindowList;

class IdeEditorWindows final : public IdePart, private ModuleViews {
public:
    explicit IdeEditorWindows(SimulatedIde& ide) : ide_(ide) {}
    ~IdeEditorWindows() override;

    // Offers the editor services, opens the first window on the demo
    // project's files and makes View > New Edit Window open more.
    void Build() override;
    // Reads the windows for the report while the add-ins are still there.
    void BeforeShutdown() override;
    // The editor services' notifiers hear Destroyed and are released.
    void AfterWizardTerminate() override;
    // open-module, close-module, select-tab, press-tab, paint-tabs,
    // modify-module, new-editor-window, close-editor-window,
    // resize-editor-window, recreate-editor-window, editor-windows,
    // editor-command.
    void RegisterCommands(ScenarioRunner& runner) override;
    void AddToReport(Report& report) const override;

    // The open windows, oldest first.
    std::vector<TEditWindow*> Windows() const;
    // The front window, or null when none is open.
    TEditWindow* Front() const noexcept;
    void BringToFront(TEditWindow& Window);
    // A new window, shown (not activated) and in front; named EditWindow,
    // EditWindow2, ... (the first free name).
    TEditWindow& NewWindow();
    // The view of the front window's file, or null.
    tvx::IntfPtr<IOTAEditView> TopView() const;
    // Paints every window's tabs and reads the windows and the modules.
    EditorWindowsRecord Snapshot() const;
    // The editor services' notifiers (INTAEditServicesNotifier). They hear
    // WindowNotification (opInsert) and WindowShow when a window opens,
    // WindowShow and WindowNotification (opRemove) when it goes,
    // WindowActivated, EditorViewActivated when a window's editor comes to
    // show another tab, EditorViewModified for each window showing a
    // modified module, BeforeSave and AfterSave with every save, and
    // WindowCommand.
    NotifierRegistry& ServicesNotifierList() noexcept { return servicesNotifiers_; }
    // A command of an editor window: WindowCommand to every notifier with
    // the same Handled; the IDE runs it itself only when none set it.
    // True when the IDE ran it.
    bool WindowCommand(TEditWindow& Window, int Command, int Param);
    // The window was activated (its OnActivate).
    void WindowActivated(TEditWindow& Window);

    // The user's actions; what happened comes back one line each. A bad
    // argument raises ScenarioError.
    std::vector<std::string> OpenModule(const std::string& File, const std::string* Window);
    std::vector<std::string> CloseModule(const std::string& File);
    std::vector<std::string> SelectTab(const std::string& Window, const std::string& Caption);
    std::vector<std::string> PressTab(const std::string& Window, const std::string& Caption, TMouseButton Button);
    std::vector<std::string> PaintTabs(const std::string* Window);
    std::vector<std::string> ModifyModule(const std::string& File);
    std::vector<std::string> NewEditorWindow();
    std::vector<std::string> CloseEditorWindow(const std::string& Window);
    std::vector<std::string> ResizeEditorWindow(const std::string& Window, int Width, int Height);
    std::vector<std::string> RecreateEditorWindow(const std::string& Window);
    std::vector<std::string> EditorCommand(const std::string& Window, int Command, int Param);

private:
    // ModuleViews: what the modules ask of the windows.
    int ViewCount(const TSimModule& Module) override;
    tvx::IntfPtr<IOTAEditView> View(const TSimModule& Module, int Index) override;
    void Show(TSimModule& Module) override;
    void Modified(TSimModule& Module) override;
    void Closing(TSimModule& Module) override;
    void Renamed(TSimModule& Module) override;
    TSimModule* Current() override;
    NotifierRegistry* ServicesNotifiers() override { return &servicesNotifiers_; }

    NotifierJournal* Journal() const noexcept;
    // The windows' events, told to the editor services' notifiers.
    void WindowDestroying(TObject* Sender);
    void WindowViewShown(TObject* Sender);

    IdeModules& Modules() const;
    // The window is one of the open ones: handlers may have freed it.
    bool IsOpen(const TEditWindow* Window) const noexcept;
    std::vector<TEditWindow*> WindowsShowing(const TSimModule& Module) const;
    // Adds the module's tab if need be and selects it.
    void ShowIn(TEditWindow& Window, TSimModule& Module);
    // View > New Edit Window: a window on the current file, activated.
    void ViewNewEditor(TObject* Sender);
    TEditWindow& RequireWindow(const std::string& Window) const;
    TSimModule& RequireModule(const std::string& File) const;

    SimulatedIde& ide_;
    TEditWindowList* list_ = nullptr;
    tvx::IntfPtr<TSimEditorServices> services_;
    NotifierRegistry servicesNotifiers_{"editor services"};
    EditorWindowsRecord atShutdown_;
};

} // namespace tvx::sim
