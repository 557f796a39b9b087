// The simulated IDE's toolbars: the IDE's main window with its toolbar dock,
// the standard toolbars of RAD Studio XE (Standard, View, Debug, Desktop)
// with their buttons, the toolbar stream notifiers, and the user's toolbar
// actions for scenarios.
//
// The toolbars exist from start-up on, owned by the main window, as the
// IDE's form makes them. After the wizard entry has returned, the IDE loads
// their layout from its desktop settings: the main window gets its windows
// and every registered stream notifier hears of each standard toolbar in
// turn. Reloading reports them again and rebuilds nothing.
#pragma once

#include "host/ide/ToolbarNotifier.h"
#include "host/vcl/ComCtrls.h"
#include "host/vcl/Forms.h"
#include "host/vcl/ImgList.h"
#include "host/vcl/StdCtrls.h"
#include "interop/IntfPtr.h"
#include "sim/IdePart.h"
#include "sim/toolbars/ToolbarReport.h"

#include <string>
#include <utility>
#include <vector>

namespace tvx::sim {

class SimulatedIde;

class IdeToolbars final : public IdePart {
public:
    explicit IdeToolbars(SimulatedIde& ide) : ide_(ide) {}
    ~IdeToolbars() override;

    // Builds the main window, its dock and the standard toolbars, which draw
    // their images from the IDE's image list when there is one.
    void Build() override;
    // Loads the toolbar layout.
    void AfterWizardEntry() override { Load(); }
    // Reads the toolbars for the report while the packages' ones are there.
    void BeforeShutdown() override { atShutdown_ = Snapshot(); }
    void AfterWizardTerminate() override { ReleaseNotifiers(); }
    // click-button, type, pick, idle, reload-toolbars, toolbars.
    void RegisterCommands(ScenarioRunner& runner) override;
    void AddToReport(Report& report) const override;

    TWinControl* MainWindow() const noexcept { return mainWindow_; }
    TWinControl* Dock() const noexcept { return dock_; }

    // INTAServices: the IDE's toolbar of that name (ignoring case, as the
    // IDE's form finds its components), or null.
    TToolBar* FindToolBar(const String& Name) const;
    // A new toolbar on the dock, after ReferenceToolBar (or before it) when
    // one is named, else in a new row. An invalid or taken name raises
    // EComponentError and nothing is made.
    TToolBar* NewToolbar(const String& Name, const String& Caption, const String& ReferenceToolBar,
                         bool InsertBeforeReference);
    int AddNotifier(INTAToolbarStreamNotifier* Notifier);
    void RemoveNotifier(int Index);
    std::size_t NotifierCount() const noexcept { return notifiers_.size(); }

    // Lays out the IDE's windows and reports each standard toolbar to every
    // registered notifier; answers how many toolbars were reported.
    int Load();
    bool Loaded() const noexcept { return loaded_; }
    // The IDE shuts down: each notifier hears Destroyed and is released,
    // before the libraries that made them go.
    void ReleaseNotifiers();

    // Every toolbar of the IDE, in the order the main window owns them.
    std::vector<TToolBar*> ToolBars() const;
    std::vector<ToolbarRecord> Snapshot() const;
    static ToolbarControlRecord Describe(TControl* Control);

    // The user's actions. A control the user cannot reach (hidden,
    // disabled, or on a hidden toolbar) raises ScenarioError. What happened
    // comes back one line each.
    std::vector<std::string> ClickButton(const String& ToolBar, const String& Button);
    std::vector<std::string> Type(const String& ToolBar, const String& ComboBox, const String& Text);
    std::vector<std::string> Pick(const String& ToolBar, const String& ComboBox, int Index);
    // One idle step of the application.
    std::vector<std::string> Idle();

    // The names of the IDE's own buttons that ran during the last click.
    const std::vector<String>& Executed() const noexcept { return executed_; }
    // The images the toolbars' buttons show.
    TCustomImageList* Images() const;

private:
    void IdeCommand(TObject* Sender);
    TToolBar* RequireToolBar(const String& Name) const;
    TComboBox* RequireComboBox(TToolBar* ToolBar, const String& Name) const;
    void BuildStandardToolBars();
    // Places a toolbar that joins the dock: after the last one of the last
    // row, or in a new row when the row is full.
    void PlaceOnDock(TToolBar* ToolBar);

    SimulatedIde& ide_;
    TWinControl* mainWindow_ = nullptr;
    TWinControl* dock_ = nullptr;
    TImageList* ownImages_ = nullptr;
    std::vector<String> standardNames_;
    std::vector<String> executed_;
    std::vector<std::pair<int, tvx::IntfPtr<INTAToolbarStreamNotifier>>> notifiers_;
    int nextIndex_ = 0;
    bool loaded_ = false;
    std::vector<ToolbarRecord> atShutdown_;
};

} // namespace tvx::sim
