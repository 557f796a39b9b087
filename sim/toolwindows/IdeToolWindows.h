// The simulated IDE's tool windows and desktop: the dock sites on the main
// window (left, right, bottom, below the toolbar band), the IDE's own
// dockable forms docked in them, the desktop's registry of form fields
// behind RegisterFieldAddress and UnregisterFieldAddress, and the user's
// tool-window actions for scenarios.
//
// While the IDE is up the desktop procedure variables point here. A desktop
// change, and the IDE's shutdown while the packages are still loaded, free
// every form a registered field holds. The IDE's own forms are registered
// the same way, so a desktop change frees them too; what is left of them
// goes with the part.
#pragma once

#include "host/ide/DeskForm.h"
#include "host/vcl/ExtCtrls.h"
#include "sim/IdePart.h"
#include "sim/toolwindows/DesktopFields.h"
#include "sim/toolwindows/ToolWindowReport.h"

#include <optional>
#include <string>
#include <vector>

namespace tvx::sim {

class SimulatedIde;
class TIdeDockComponents;

class IdeToolWindows final : public IdePart {
public:
    explicit IdeToolWindows(SimulatedIde& ide) : ide_(ide) {}
    ~IdeToolWindows() override;

    // Builds the dock sites on the main window and the IDE's tool windows,
    // and sets the desktop procedure variables.
    void Build() override;
    // Reads the tool windows for the report, then frees the desktop's forms
    // and forgets the desktop form classes.
    void BeforeShutdown() override;
    // dock, float, resize-tool-window, close-tool-window, show-tool-window,
    // activate-tool-window, change-desktop, tool-windows.
    void RegisterCommands(ScenarioRunner& runner) override;
    void AddToReport(Report& report) const override;

    DesktopFields& Desktop() noexcept { return desktop_; }
    // LeftDockPanel, RightDockPanel, BottomDockPanel, while they exist.
    std::vector<TPanel*> DockSites() const;
    // The dock site of that name (ignoring case), or null.
    TPanel* FindDockSite(const String& Name) const;
    // Every dockable form of Screen, in the order they were made.
    static std::vector<TDockableForm*> ToolWindows();
    // The dockable form of that component name, else of that desk section
    // (ignoring case), or null.
    static TDockableForm* FindToolWindow(const String& Name);
    std::vector<ToolWindowRecord> Snapshot() const;
    // The Object Inspector's form, or null while a desktop change has it freed.
    TDockableForm* ObjectInspector() const;
    // The name of the control the form is docked in; empty while it floats.
    static String PlaceName(const TControl* Form);
    // The window and every window under it, whoever made them.
    static WindowRecord DescribeWindow(HWND Window);

    // The user's actions. An unknown form or site, or docking a form that is
    // not dockable, raises ScenarioError. What happened comes back one line
    // each, with window handle changes.
    std::vector<std::string> Dock(const String& Form, const String& Site);
    // Floats the form at those screen bounds, or where its window is now.
    std::vector<std::string> Float(const String& Form, std::optional<TRect> Bounds);
    // A docked form is resized with its dock site, which keeps the edge of
    // the main window it sits against.
    std::vector<std::string> Resize(const String& Form, int Width, int Height);
    // As the close button does: OnClose decides whether the form hides,
    // goes or stays.
    std::vector<std::string> CloseToolWindow(const String& Form);
    // ForceShow, then FocusWindow.
    std::vector<std::string> ShowToolWindow(const String& Form);
    // The user clicks into a shown tool window: WM_MOUSEACTIVATE, as Windows
    // sends it, lets the form's OnMouseActivate decide whether it activates.
    std::vector<std::string> ActivateToolWindow(const String& Form);
    std::vector<std::string> ChangeDesktop();

private:
    void BuildDockSites();
    // The IDE's form of kIdeForms at Index, docked where it starts and shown.
    TDockableForm* MakeIdeForm(std::size_t Index);
    // View > Object Inspector and its shortcut: show and focus it.
    void ViewObjectInspector(TObject* Sender);
    TDockableForm* RequireToolWindow(const String& Name) const;
    TPanel* RequireDockSite(const String& Name) const;
    void ResizeDockSite(TPanel* Site, int Width, int Height);

    SimulatedIde& ide_;
    // The dock sites and the IDE's own forms, whose variables the desktop
    // sets to nil when it frees them.
    TIdeDockComponents* own_ = nullptr;
    DesktopFields desktop_;
    std::vector<ToolWindowRecord> atShutdown_;
    std::vector<DesktopFieldRecord> freedAtShutdown_;
};

} // namespace tvx::sim
