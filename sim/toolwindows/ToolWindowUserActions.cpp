// The user's actions on the IDE's tool windows: docking, floating, resizing,
// closing, showing and clicking into them, changing the desktop, and their
// scenario commands.
#include "sim/toolwindows/IdeToolWindows.h"

#include "host/ide/DeskUtil.h"
#include "interop/Utf.h"
#include "sim/Scenario.h"
#include "sim/SimulatedIde.h"
#include "sim/toolwindows/WindowChanges.h"

namespace tvx::sim {

namespace {

std::string U8(const String& s) { return Utf16ToUtf8(s); }

// Screen coordinates and sizes a window can have; anything wider would
// overflow the arithmetic on its bounds.
constexpr long long kMinPosition = -32768, kMaxPosition = 32767, kMaxSize = 32767;

std::string Size(const TControl* control)
{
    return std::to_string(control->Width()) + "x" + std::to_string(control->Height());
}

std::string Placement(const TControl* form)
{
    String place = IdeToolWindows::PlaceName(form);
    return place.empty() ? "floating" : "docked in " + U8(place);
}

// The window at the top of Window's chain of parents, as GetAncestor(GA_ROOT)
// finds it.
HWND TopLevelWindow(HWND window)
{
    while ((GetWindowLongW(window, GWL_STYLE) & WS_CHILD) && GetParent(window))
        window = GetParent(window);
    return window;
}

std::string MouseActivateAnswer(LRESULT answer)
{
    switch (answer) {
    case MA_ACTIVATE: return "MA_ACTIVATE";
    case MA_ACTIVATEANDEAT: return "MA_ACTIVATEANDEAT";
    case MA_NOACTIVATE: return "MA_NOACTIVATE";
    case MA_NOACTIVATEANDEAT: return "MA_NOACTIVATEANDEAT";
    default: return std::to_string(answer);
    }
}

std::string ActiveFormText()
{
    const TCustomForm* active = Application ? Application->ActiveForm() : nullptr;
    return active ? "the active form is " + U8(active->Name()) : "no form is active";
}

} // namespace

TDockableForm* IdeToolWindows::RequireToolWindow(const String& Name) const
{
    if (TDockableForm* form = FindToolWindow(Name))
        return form;
    throw ScenarioError("no tool window named " + U8(Name));
}

TPanel* IdeToolWindows::RequireDockSite(const String& Name) const
{
    if (TPanel* site = FindDockSite(Name))
        return site;
    std::string known;
    for (TPanel* site : DockSites())
        known += (known.empty() ? "" : ", ") + U8(site->Name());
    throw ScenarioError("no dock site named " + U8(Name) + " (the sites are " + known + ")");
}

std::vector<std::string> IdeToolWindows::Dock(const String& Form, const String& Site)
{
    TDockableForm* form = RequireToolWindow(Form);
    TPanel* site = RequireDockSite(Site);
    const std::string name = U8(form->Name());
    if (!form->Dockable())
        throw ScenarioError("cannot dock " + name + ": it is not dockable");
    const std::size_t debugLines = DebuggerLineCount();
    const HWND before = WindowOf(form);
    ForeignWindowWatch foreign(before);
    TComponentAlive alive(form);
    form->ManualDock(site);
    if (alive)
        form->SetAlign(alClient);
    // The latest form docked into a site is the one on top.
    if (alive)
        form->BringToFront();
    std::vector<std::string> lines;
    if (alive)
        lines.push_back("docked " + name + " in " + U8(site->Name()) + ", size " + Size(form) + ": " +
                        WindowChange(before, WindowOf(form)));
    else
        lines.push_back(name + " was freed while it docked");
    foreign.AddLines(lines);
    return WithDebuggerLines(std::move(lines), debugLines);
}

std::vector<std::string> IdeToolWindows::Float(const String& Form, std::optional<TRect> Bounds)
{
    TDockableForm* form = RequireToolWindow(Form);
    const std::string name = U8(form->Name());
    const std::size_t debugLines = DebuggerLineCount();
    const HWND before = WindowOf(form);
    TRect bounds = form->BoundsRect();
    if (Bounds) {
        bounds = *Bounds;
    } else if (RECT r{}; before && GetWindowRect(before, &r)) {
        bounds = TRect{int(r.left), int(r.top), int(r.right), int(r.bottom)};
    }
    ForeignWindowWatch foreign(before);
    TComponentAlive alive(form);
    form->ManualFloat(bounds);
    // A floating form is not aligned in anything.
    if (alive)
        form->SetAlign(alNone);
    std::vector<std::string> lines;
    if (alive)
        lines.push_back("floated " + name + " at " + std::to_string(form->Left()) + "," + std::to_string(form->Top()) +
                        ", size " + Size(form) + ": " + WindowChange(before, WindowOf(form)));
    else
        lines.push_back(name + " was freed while it floated");
    foreign.AddLines(lines);
    return WithDebuggerLines(std::move(lines), debugLines);
}

std::vector<std::string> IdeToolWindows::Resize(const String& Form, int Width, int Height)
{
    TDockableForm* form = RequireToolWindow(Form);
    const std::string name = U8(form->Name());
    const std::size_t debugLines = DebuggerLineCount();
    const HWND before = WindowOf(form);
    TPanel* site = FindDockSite(PlaceName(form));
    const bool withSite = site && form->Parent() == site && form->Align() == alClient;
    TComponentAlive alive(form);
    if (withSite)
        ResizeDockSite(site, Width, Height);
    else
        form->SetBounds(form->Left(), form->Top(), Width, Height);
    std::vector<std::string> lines;
    if (!alive) {
        lines.push_back(name + " was freed while it was resized");
    } else {
        std::string line = "resized " + name + " to " + Size(form);
        if (withSite)
            line += " with its dock site " + U8(site->Name()) + ", now at " + std::to_string(site->Left()) + "," +
                    std::to_string(site->Top());
        lines.push_back(line + ": " + WindowChange(before, WindowOf(form)));
    }
    return WithDebuggerLines(std::move(lines), debugLines);
}

std::vector<std::string> IdeToolWindows::CloseToolWindow(const String& Form)
{
    TDockableForm* form = RequireToolWindow(Form);
    const std::string name = U8(form->Name());
    const std::size_t debugLines = DebuggerLineCount();
    const HWND before = WindowOf(form);
    TComponentAlive alive(form);
    form->Close();
    // A form closed with caFree goes when the loop takes the message
    // Release posted.
    ide_.App().ProcessMessages();
    std::vector<std::string> lines;
    if (!alive)
        lines.push_back("closed " + name + ": freed");
    else if (form->Visible())
        lines.push_back("closed " + name +
                        ": still shown, its OnClose kept it open: " + WindowChange(before, WindowOf(form)));
    else
        lines.push_back("closed " + name + ": hidden, " + Placement(form) + ": " +
                        WindowChange(before, WindowOf(form)));
    return WithDebuggerLines(std::move(lines), debugLines);
}

std::vector<std::string> IdeToolWindows::ShowToolWindow(const String& Form)
{
    TDockableForm* form = RequireToolWindow(Form);
    const std::string name = U8(form->Name());
    const std::size_t debugLines = DebuggerLineCount();
    const HWND before = WindowOf(form);
    TComponentAlive alive(form);
    form->ForceShow();
    if (alive)
        FocusWindow(form);
    std::vector<std::string> lines;
    if (alive)
        lines.push_back("showed " + name + ": " + (form->Visible() ? "visible" : "hidden") +
                        (form->Active() ? ", active" : ", not active") + ", " + Placement(form) + ": " +
                        WindowChange(before, WindowOf(form)));
    else
        lines.push_back(name + " was freed while it was shown");
    return WithDebuggerLines(std::move(lines), debugLines);
}

std::vector<std::string> IdeToolWindows::ActivateToolWindow(const String& Form)
{
    TDockableForm* form = RequireToolWindow(Form);
    const std::string name = U8(form->Name());
    if (!form->Showing())
        throw ScenarioError("cannot click into " + name + ": it is not shown");
    const std::size_t debugLines = DebuggerLineCount();
    const HWND window = form->Handle();
    TComponentAlive alive(form);
    const LRESULT answer =
        SendMessageW(window, WM_MOUSEACTIVATE, WPARAM(TopLevelWindow(window)), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    std::vector<std::string> lines;
    if (!alive) {
        lines.push_back(name + " was freed while it was activated; " + ActiveFormText());
    } else {
        const bool activates = answer == MA_ACTIVATE || answer == MA_ACTIVATEANDEAT;
        lines.push_back("clicked into " + name + ": " + MouseActivateAnswer(answer) +
                        (activates ? ", activated" : ", not activated") + "; " + ActiveFormText());
    }
    return WithDebuggerLines(std::move(lines), debugLines);
}

std::vector<std::string> IdeToolWindows::ChangeDesktop()
{
    const std::size_t debugLines = DebuggerLineCount();
    const std::vector<DesktopFieldRecord> fields = desktop_.FreeForms();
    std::size_t freed = 0;
    for (const DesktopFieldRecord& field : fields)
        freed += field.What == DesktopFieldRecord::Outcome::Freed ? 1 : 0;
    std::vector<std::string> lines{"changed the desktop: freed " + std::to_string(freed) + " form(s) of " +
                                   std::to_string(fields.size()) + " registered field(s)"};
    for (const DesktopFieldRecord& field : fields)
        lines.push_back(DesktopFieldText(field));
    return WithDebuggerLines(std::move(lines), debugLines);
}

void IdeToolWindows::RegisterCommands(ScenarioRunner& runner)
{
    auto text = [](const std::string& arg) { return Utf8ToUtf16(arg); };
    runner.Register({"dock", "dock <form> <site>",
                     "Docks a tool window (named by its form name or desk section) into a dock site of the main "
                     "window: LeftDockPanel, RightDockPanel or BottomDockPanel; its window is made anew there.",
                     2, 2,
                     [this, text](const ScenarioStep& step) { return Dock(text(step.Args[0]), text(step.Args[1])); }});
    runner.Register({"float", "float <form> [left top width height]",
                     "Floats a tool window in a window of its own, at those screen bounds or where it is now.", 1, 5,
                     [this, text](const ScenarioStep& step) {
                         if (step.Args.size() == 1)
                             return Float(text(step.Args[0]), std::nullopt);
                         if (step.Args.size() != 5)
                             throw ScenarioError("give all of left top width height, or none");
                         const int left = int(ScenarioInteger(step.Args[1], kMinPosition, kMaxPosition));
                         const int top = int(ScenarioInteger(step.Args[2], kMinPosition, kMaxPosition));
                         const int width = int(ScenarioInteger(step.Args[3], 0, kMaxSize));
                         const int height = int(ScenarioInteger(step.Args[4], 0, kMaxSize));
                         return Float(text(step.Args[0]), TRect{left, top, left + width, top + height});
                     }});
    runner.Register({"resize-tool-window", "resize-tool-window <form> <width> <height>",
                     "Resizes a tool window; a docked one is resized with its dock site.", 3, 3,
                     [this, text](const ScenarioStep& step) {
                         return Resize(text(step.Args[0]), int(ScenarioInteger(step.Args[1], 0, kMaxSize)),
                                       int(ScenarioInteger(step.Args[2], 0, kMaxSize)));
                     }});
    runner.Register({"close-tool-window", "close-tool-window <form>",
                     "Closes a tool window as its close button does; its OnClose decides whether it hides, goes or "
                     "stays.",
                     1, 1, [this, text](const ScenarioStep& step) { return CloseToolWindow(text(step.Args[0])); }});
    runner.Register({"show-tool-window", "show-tool-window <form>",
                     "Shows a tool window where it is, with the dock sites around it, and gives it the focus.", 1, 1,
                     [this, text](const ScenarioStep& step) { return ShowToolWindow(text(step.Args[0])); }});
    runner.Register({"activate-tool-window", "activate-tool-window <form>",
                     "Clicks into a shown tool window: WM_MOUSEACTIVATE goes to its window, its OnMouseActivate "
                     "answers, and the form activates unless the answer says not to.",
                     1, 1, [this, text](const ScenarioStep& step) { return ActivateToolWindow(text(step.Args[0])); }});
    runner.Register({"change-desktop", "change-desktop",
                     "The desktop changes: every form held by a registered desktop field (the IDE's own tool "
                     "windows too) is freed and the field set to nil.",
                     0, 0, [this](const ScenarioStep&) { return ChangeDesktop(); }});
    runner.Register({"tool-windows", "tool-windows",
                     "Writes every tool window into the report: where it sits, its state and icon, and the window "
                     "handles under it with the foreign windows' text, visibility and client size.",
                     0, 0, [this](const ScenarioStep&) { return TextLines(ToolWindowsText(Snapshot(), 0)); }});
}

} // namespace tvx::sim
