// The user's actions on the editor windows and the modules they show:
// opening and closing files, choosing and clicking tabs, painting them,
// editing, and making, closing, resizing and re-docking windows; and their
// scenario commands.
#include "sim/editors/IdeEditorWindows.h"

#include "interop/Utf.h"
#include "sim/Scenario.h"
#include "sim/SimulatedIde.h"
#include "sim/modules/IdeModules.h"
#include "sim/toolwindows/WindowChanges.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <memory>

namespace tvx::sim {

namespace {

std::string U8(const String& s) { return Utf16ToUtf8(s); }

std::string Quoted(const String& s) { return "\"" + U8(s) + "\""; }

// The widest a window can be; anything wider would overflow the
// arithmetic on its bounds.
constexpr long long kMaxSize = 32767;

std::string TabName(const TIDEGradientTabSet& tabs, int index)
{
    return "tab " + std::to_string(index) + " " + Quoted(tabs.Items()->Strings(index));
}

// What the window shows: its selected tab and the editor's file.
std::string SelectionText(TEditWindow& window)
{
    const TIDEGradientTabSet* tabs = window.TabSet();
    const int index = tabs ? tabs->TabIndex() : -1;
    const String shows = window.Editor() ? window.Editor()->Caption() : String();
    return (index >= 0 ? TabName(*tabs, index) + " selected" : "no tab selected") + ", the editor shows " +
           (shows.empty() ? "nothing" : U8(shows));
}

std::string SelectionLine(TEditWindow& window) { return U8(window.Name()) + ": " + SelectionText(window); }

std::string Size(const TControl* control)
{
    return std::to_string(control->Width()) + "x" + std::to_string(control->Height());
}

const char* ButtonName(TMouseButton button)
{
    switch (button) {
    case mbLeft: return "left";
    case mbRight: return "right";
    case mbMiddle: return "middle";
    }
    return "left";
}

TShiftState ButtonState(TMouseButton button)
{
    switch (button) {
    case mbLeft: return TShiftState{ssLeft};
    case mbRight: return TShiftState{ssRight};
    case mbMiddle: return TShiftState{ssMiddle};
    }
    return {};
}

TMouseButton RequireButton(const std::string& name)
{
    for (TMouseButton button : {mbLeft, mbRight, mbMiddle})
        if (name == ButtonName(button))
            return button;
    throw ScenarioError("no mouse button " + name + " (left, right or middle)");
}

TIDEGradientTabSet& RequireTabSet(TEditWindow& window)
{
    if (TIDEGradientTabSet* tabs = window.TabSet())
        return *tabs;
    throw ScenarioError(U8(window.Name()) + " has no tab set any more");
}

int RequireTab(TEditWindow& window, const std::string& caption)
{
    TStrings& items = *RequireTabSet(window).Items();
    std::string known;
    for (int i = 0; i < items.Count(); ++i) {
        if (SameText(items.Strings(i), Utf8ToUtf16(caption)))
            return i;
        known += (known.empty() ? "" : ", ") + U8(items.Strings(i));
    }
    throw ScenarioError(U8(window.Name()) + " has no tab " + caption +
                        (known.empty() ? " (it has no tabs)" : " (its tabs are " + known + ")"));
}

// Selects the tab through TabIndex, as choosing it with the keyboard does.
std::string Select(TEditWindow& window, int index)
{
    TIDEGradientTabSet& tabs = RequireTabSet(window);
    if (tabs.TabIndex() == index)
        return U8(window.Name()) + ": " + TabName(tabs, index) + " was already selected";
    const std::string name = U8(window.Name());
    TComponentAlive alive(&window);
    tabs.SetTabIndex(index);
    return alive ? SelectionLine(window) : name + " was freed while its tab changed";
}

} // namespace

TEditWindow& IdeEditorWindows::RequireWindow(const std::string& Window) const
{
    const std::vector<TEditWindow*> windows = Windows();
    if (!Window.empty() && std::isdigit(static_cast<unsigned char>(Window[0]))) {
        const long long n = ScenarioInteger(Window);
        if (n < 1 || n > static_cast<long long>(windows.size()))
            throw ScenarioError("no editor window " + Window + " (" + std::to_string(windows.size()) + " open)");
        return *windows[std::size_t(n - 1)];
    }
    std::string known;
    for (TEditWindow* window : windows) {
        if (SameText(window->Name(), Utf8ToUtf16(Window)))
            return *window;
        known += (known.empty() ? "" : ", ") + U8(window->Name());
    }
    throw ScenarioError("no editor window named " + Window +
                        (known.empty() ? " (none is open)" : " (the windows are " + known + ")"));
}

TSimModule& IdeEditorWindows::RequireModule(const std::string& File) const { return Modules().Require(File); }

std::vector<std::string> IdeEditorWindows::OpenModule(const std::string& File, const std::string* Window)
{
    const String fileName = IdeModules::ScenarioFileName(File);
    TEditWindow* window = Window ? &RequireWindow(*Window) : Front();
    const std::size_t debugLines = DebuggerLineCount();
    std::vector<std::string> lines;
    IdeModules& modules = Modules();
    TSimModule* module = modules.Find(fileName);
    if (!module) {
        module = &modules.Open(fileName);
        lines.push_back("opened " + U8(module->FileName()));
    }
    tvx::IntfPtr<TSimModule> keep(module);
    if (!window) {
        window = &NewWindow();
        lines.push_back("made " + U8(window->Name()));
    }
    BringToFront(*window);
    TIDEGradientTabSet& tabs = RequireTabSet(*window);
    const bool hadTab = window->IndexOf(*module) >= 0;
    const int index = window->AddTab(*module);
    if (!hadTab)
        lines.push_back(U8(window->Name()) + ": new " + TabName(tabs, index));
    lines.push_back(Select(*window, index));
    return WithDebuggerLines(std::move(lines), debugLines);
}

std::vector<std::string> IdeEditorWindows::CloseModule(const std::string& File)
{
    TSimModule& module = RequireModule(File);
    tvx::IntfPtr<TSimModule> keep(&module);
    const std::size_t debugLines = DebuggerLineCount();
    struct Shown {
        TEditWindow* Window;
        std::string Name;
    };
    std::vector<Shown> shown;
    for (TEditWindow* window : WindowsShowing(module))
        shown.push_back(Shown{window, U8(window->Name())});
    const std::string caption = Quoted(IdeModules::ShortName(module.FileName()));
    Modules().Journal().Take();
    std::vector<std::string> lines{module.Close() ? "closed " + U8(module.FileName())
                                                  : U8(module.FileName()) + " stayed open"};
    for (std::string& line : Modules().Journal().Take())
        lines.push_back(std::move(line));
    for (const Shown& s : shown) {
        if (!IsOpen(s.Window))
            lines.push_back(s.Name + " was freed while the module closed");
        else
            lines.push_back(s.Name + ": tab " + caption + " closed; " + SelectionText(*s.Window));
    }
    return WithDebuggerLines(std::move(lines), debugLines);
}

std::vector<std::string> IdeEditorWindows::SelectTab(const std::string& Window, const std::string& Caption)
{
    TEditWindow& window = RequireWindow(Window);
    const int index = RequireTab(window, Caption);
    const std::size_t debugLines = DebuggerLineCount();
    BringToFront(window);
    return WithDebuggerLines({Select(window, index)}, debugLines);
}

std::vector<std::string> IdeEditorWindows::PressTab(const std::string& Window, const std::string& Caption,
                                                    TMouseButton Button)
{
    TEditWindow& window = RequireWindow(Window);
    const int index = RequireTab(window, Caption);
    TIDEGradientTabSet& tabs = RequireTabSet(window);
    const std::string name = U8(window.Name());
    const std::size_t debugLines = DebuggerLineCount();
    BringToFront(window);
    const int x = index * TIDEGradientTabSet::TabWidth + TIDEGradientTabSet::TabWidth / 2;
    const int y = tabs.Height() / 2;
    std::vector<std::string> lines{name + ": pressed the " + ButtonName(Button) + " button at " + std::to_string(x) +
                                   "," + std::to_string(y) + " over " + TabName(tabs, index)};
    const std::size_t seen = window.Presses().size();
    TComponentAlive alive(&window);
    tabs.MouseDown(Button, ButtonState(Button), x, y);
    if (!alive) {
        lines.push_back(name + " was freed by the press");
        return WithDebuggerLines(std::move(lines), debugLines);
    }
    for (std::size_t i = seen; i < window.Presses().size(); ++i) {
        const TabPress& p = window.Presses()[i];
        lines.push_back("the IDE's OnMouseDown saw the " + std::string(ButtonName(p.Button)) + " button at " +
                        std::to_string(p.X) + "," + std::to_string(p.Y) + " over tab " + std::to_string(p.Tab) +
                        ", tab " + std::to_string(p.Selected) + " selected");
    }
    if (window.Presses().size() == seen)
        lines.push_back("the IDE's OnMouseDown did not hear of it");
    lines.push_back(SelectionLine(window));
    return WithDebuggerLines(std::move(lines), debugLines);
}

std::vector<std::string> IdeEditorWindows::PaintTabs(const std::string* Window)
{
    TEditWindow* window = Window ? &RequireWindow(*Window) : Front();
    if (!window)
        throw ScenarioError("there is no editor window");
    TIDEGradientTabSet& tabs = RequireTabSet(*window);
    const std::string name = U8(window->Name());
    const std::size_t debugLines = DebuggerLineCount();
    TComponentAlive alive(&tabs);
    tabs.Repaint();
    std::vector<std::string> lines;
    if (!alive)
        lines.push_back(name + "'s tab set was freed while it painted");
    else if (tabs.Painted().empty())
        lines.push_back(name + " has no tabs");
    else
        for (std::size_t i = 0; i < tabs.Painted().size(); ++i) {
            const PaintedTab& t = tabs.Painted()[i];
            lines.push_back(name + " " +
                            EditorTabText(EditorTabRecord{t.Caption, t.Image, t.Overlay, t.Selected}, int(i)));
        }
    return WithDebuggerLines(std::move(lines), debugLines);
}

std::vector<std::string> IdeEditorWindows::ModifyModule(const std::string& File)
{
    TSimModule& module = RequireModule(File);
    tvx::IntfPtr<TSimModule> keep(&module);
    const std::size_t debugLines = DebuggerLineCount();
    std::vector<std::string> lines{"marked " + U8(module.FileName()) + " modified"};
    Modules().Journal().Take();
    // As an add-in would: through the source editor.
    module.GetModuleFileEditor(0)->MarkModified();
    for (std::string& line : Modules().Journal().Take())
        lines.push_back(std::move(line));
    for (TEditWindow* window : WindowsShowing(module)) {
        const int index = window->IndexOf(module);
        const TIDEGradientTabSet* tabs = window->TabSet();
        if (!tabs || index >= int(tabs->Painted().size()))
            continue;
        const PaintedTab& t = tabs->Painted()[std::size_t(index)];
        lines.push_back(U8(window->Name()) + " repainted " +
                        EditorTabText(EditorTabRecord{t.Caption, t.Image, t.Overlay, t.Selected}, index));
    }
    return WithDebuggerLines(std::move(lines), debugLines);
}

std::vector<std::string> IdeEditorWindows::NewEditorWindow()
{
    const std::size_t debugLines = DebuggerLineCount();
    const std::vector<TEditWindow*> before = Windows();
    ViewNewEditor(nullptr);
    std::vector<std::string> lines;
    for (TEditWindow* window : Windows()) {
        if (std::find(before.begin(), before.end(), window) != before.end())
            continue;
        lines.push_back("made " + U8(window->Name()) + " at " + std::to_string(window->Left()) + "," +
                        std::to_string(window->Top()) + ", size " + Size(window) + ": " + WindowText(WindowOf(window)) +
                        (window->Active() ? ", active" : ""));
        lines.push_back(SelectionLine(*window));
    }
    if (lines.empty())
        lines.push_back("the new window was freed at once");
    return WithDebuggerLines(std::move(lines), debugLines);
}

std::vector<std::string> IdeEditorWindows::CloseEditorWindow(const std::string& Window)
{
    TEditWindow& window = RequireWindow(Window);
    const std::string name = U8(window.Name());
    const std::size_t debugLines = DebuggerLineCount();
    const HWND handle = WindowOf(&window);
    ForeignWindowWatch foreign(handle);
    window.Free();
    std::vector<std::string> lines{"closed " + name + ": freed, " + WindowText(handle) +
                                   (IsWindow(handle) ? " still there" : " destroyed") + "; " +
                                   std::to_string(Modules().Count()) + " module(s) stay open"};
    foreign.AddLines(lines);
    return WithDebuggerLines(std::move(lines), debugLines);
}

std::vector<std::string> IdeEditorWindows::ResizeEditorWindow(const std::string& Window, int Width, int Height)
{
    TEditWindow& window = RequireWindow(Window);
    const std::string name = U8(window.Name());
    const std::size_t debugLines = DebuggerLineCount();
    const HWND before = WindowOf(&window);
    TComponentAlive alive(&window);
    window.SetBounds(window.Left(), window.Top(), Width, Height);
    std::vector<std::string> lines;
    if (!alive)
        lines.push_back(name + " was freed while it was resized");
    else
        lines.push_back("resized " + name + " to " + Size(&window) +
                        (window.EditorArea() ? ", editor area " + Size(window.EditorArea()) : "") + ": " +
                        WindowChange(before, WindowOf(&window)));
    return WithDebuggerLines(std::move(lines), debugLines);
}

std::vector<std::string> IdeEditorWindows::RecreateEditorWindow(const std::string& Window)
{
    TEditWindow& window = RequireWindow(Window);
    const std::size_t debugLines = DebuggerLineCount();
    // Every windowed control of the window, parents first, as docking
    // re-creates them.
    struct Control {
        TWinControl* Control;
        std::string Name;
        HWND Before;
        std::unique_ptr<TComponentAlive> Alive;
    };
    std::vector<Control> controls;
    auto collect = [&controls](auto& self, TWinControl* control) -> void {
        const String name = control->Name().empty() ? control->ClassName() : control->Name();
        controls.push_back(Control{control, U8(name), WindowOf(control), std::make_unique<TComponentAlive>(control)});
        for (int i = 0; i < control->ControlCount(); ++i)
            if (auto* child = dynamic_cast<TWinControl*>(control->Controls(i)))
                self(self, child);
    };
    collect(collect, &window);
    ForeignWindowWatch foreign(WindowOf(&window));
    window.RecreateWnd();
    std::vector<std::string> lines;
    for (const Control& c : controls)
        lines.push_back(c.Name + ": " + (*c.Alive ? WindowChange(c.Before, WindowOf(c.Control)) : "freed meanwhile"));
    foreign.AddLines(lines);
    return WithDebuggerLines(std::move(lines), debugLines);
}

std::vector<std::string> IdeEditorWindows::EditorCommand(const std::string& Window, int Command, int Param)
{
    TEditWindow& window = RequireWindow(Window);
    const std::string name = U8(window.Name());
    Modules().Journal().Take();
    const std::size_t debugLines = DebuggerLineCount();
    const bool ideRuns = WindowCommand(window, Command, Param);
    std::vector<std::string> lines = Modules().Journal().Take();
    lines.push_back(ideRuns ? "the IDE ran command " + std::to_string(Command) + " of " + name + " itself"
                            : "a notifier handled command " + std::to_string(Command) + ": the IDE left it");
    return WithDebuggerLines(std::move(lines), debugLines);
}

void IdeEditorWindows::RegisterCommands(ScenarioRunner& runner)
{
    auto size = [](const std::string& arg) { return int(ScenarioInteger(arg, 0, kMaxSize)); };
    runner.Register({"open-module", "open-module <file> [window]",
                     "Opens a file (a bare name lies in C:\\Projects\\Demo) or shows the open module in an editor "
                     "window (its number, 1 the oldest, or its name; the front one by default, a new one if none is "
                     "open) and selects its tab.",
                     1, 2, [this](const ScenarioStep& step) {
                         return OpenModule(step.Args[0], step.Args.size() > 1 ? &step.Args[1] : nullptr);
                     }});
    runner.Register({"close-module", "close-module <file>",
                     "Closes an open module (its full file name, or the name its tab shows): its tabs leave every "
                     "editor window, a selected one passing the selection on.",
                     1, 1, [this](const ScenarioStep& step) { return CloseModule(step.Args[0]); }});
    runner.Register({"select-tab", "select-tab <window> <caption>",
                     "Selects an editor window's tab with the keyboard (the tab set's TabIndex, then its OnChange).", 2,
                     2, [this](const ScenarioStep& step) { return SelectTab(step.Args[0], step.Args[1]); }});
    runner.Register({"press-tab", "press-tab <window> <caption> [left|right|middle]",
                     "Presses a mouse button (left by default) over the middle of an editor window's tab: the tab "
                     "set's OnMouseDown hears it first, then a left press selects the tab.",
                     2, 3, [this](const ScenarioStep& step) {
                         return PressTab(step.Args[0], step.Args[1],
                                         step.Args.size() > 2 ? RequireButton(step.Args[2]) : mbLeft);
                     }});
    runner.Register(
        {"paint-tabs", "paint-tabs [window]",
         "Paints an editor window's tab set (the front one by default) and writes every tab: caption, "
         "image, overlay and whether it is selected.",
         0, 1, [this](const ScenarioStep& step) { return PaintTabs(step.Args.empty() ? nullptr : &step.Args[0]); }});
    runner.Register({"modify-module", "modify-module <file>",
                     "Marks an open module's source modified, as typing in it does; its tabs paint again.", 1, 1,
                     [this](const ScenarioStep& step) { return ModifyModule(step.Args[0]); }});
    runner.Register({"new-editor-window", "new-editor-window",
                     "View > New Edit Window: a new editor window on the current file, activated.", 0, 0,
                     [this](const ScenarioStep&) { return NewEditorWindow(); }});
    runner.Register({"close-editor-window", "close-editor-window <window>",
                     "Closes an editor window: the form is freed with everything in it; its modules stay open.", 1, 1,
                     [this](const ScenarioStep& step) { return CloseEditorWindow(step.Args[0]); }});
    runner.Register({"resize-editor-window", "resize-editor-window <window> <width> <height>",
                     "Resizes an editor window; its controls are arranged again.", 3, 3,
                     [this, size](const ScenarioStep& step) {
                         return ResizeEditorWindow(step.Args[0], size(step.Args[1]), size(step.Args[2]));
                     }});
    runner.Register({"recreate-editor-window", "recreate-editor-window <window>",
                     "Makes every window handle of an editor window anew, as docking it does, and writes each "
                     "control's old and new handle and the foreign windows that went.",
                     1, 1, [this](const ScenarioStep& step) { return RecreateEditorWindow(step.Args[0]); }});
    runner.Register({"editor-command", "editor-command <window> <command> [param]",
                     "Gives an editor window a command (numbers): the editor services' notifiers hear WindowCommand "
                     "one after another with the same Handled; the IDE runs the command only when none set it.",
                     2, 3, [this](const ScenarioStep& step) {
                         constexpr long long lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
                         return EditorCommand(step.Args[0], int(ScenarioInteger(step.Args[1], lo, hi)),
                                              step.Args.size() > 2 ? int(ScenarioInteger(step.Args[2], lo, hi)) : 0);
                     }});
    runner.Register({"editor-windows", "editor-windows",
                     "Paints and writes every editor window (tabs, the add-in frame and the foreign windows under "
                     "it, status bar, View Editor item), the New Edit Window action and the open modules.",
                     0, 0, [this](const ScenarioStep&) { return TextLines(EditorWindowsText(Snapshot(), 0)); }});
}

} // namespace tvx::sim
