#include "sim/mainmenu/IdeActions.h"

#include "interop/Utf.h"
#include "sim/Scenario.h"
#include "sim/SimulatedIde.h"

#include <cstdint>

namespace tvx::sim {

namespace {

struct ActionEntry {
    const char16_t* Name;
    const char16_t* Category;
    const char16_t* Caption;
    const char16_t* ShortCut; // as the IDE prints it; empty for none
    bool Enabled;
};

// The IDE's commands with RAD Studio XE's default key mapping. With no
// program running, the program reset and pause commands are disabled.
constexpr ActionEntry kActions[] = {
    {u"FileNewCommand", u"File", u"&New", u"", true},
    {u"FileOpenCommand", u"File", u"&Open...", u"Ctrl+O", true},
    {u"FileSaveCommand", u"File", u"&Save", u"Ctrl+S", true},
    {u"FileSaveAsCommand", u"File", u"Save &As...", u"", true},
    {u"FileSaveAllCommand", u"File", u"Save A&ll", u"Shift+Ctrl+S", true},
    {u"FileCloseCommand", u"File", u"&Close", u"Ctrl+F4", true},
    {u"FilePrintCommand", u"File", u"&Print...", u"", true},
    {u"EditUndoCommand", u"Edit", u"&Undo", u"Ctrl+Z", true},
    {u"EditRedoCommand", u"Edit", u"&Redo", u"Shift+Ctrl+Z", true},
    {u"EditCutCommand", u"Edit", u"Cu&t", u"Ctrl+X", true},
    {u"EditCopyCommand", u"Edit", u"&Copy", u"Ctrl+C", true},
    {u"EditPasteCommand", u"Edit", u"&Paste", u"Ctrl+V", true},
    {u"EditDeleteCommand", u"Edit", u"&Delete", u"Del", true},
    {u"EditSelectAllCommand", u"Edit", u"Select &All", u"Ctrl+A", true},
    {u"SearchFindCommand", u"Search", u"&Find...", u"Ctrl+F", true},
    {u"SearchReplaceCommand", u"Search", u"&Replace...", u"Ctrl+R", true},
    {u"SearchAgainCommand", u"Search", u"&Search Again", u"F3", true},
    {u"SearchFindInFilesCommand", u"Search", u"Find in F&iles...", u"Shift+Ctrl+F", true},
    {u"SearchGoToLineCommand", u"Search", u"&Go to Line Number...", u"Alt+G", true},
    {u"ViewProjectManagerCommand", u"View", u"&Project Manager", u"Ctrl+Alt+F11", true},
    {u"ViewObjInspCommand", u"View", u"&Object Inspector", u"F11", true},
    {u"ViewToggleFormCommand", u"View", u"Toggle Form/&Unit", u"F12", true},
    {u"ViewUnitsCommand", u"View", u"&Units...", u"Ctrl+F12", true},
    {u"ViewFormsCommand", u"View", u"&Forms...", u"Shift+F12", true},
    {u"ViewNewEditorCommand", u"View", u"New Edit &Window", u"", true},
    {u"ProjectCompileCommand", u"Project", u"&Compile", u"Ctrl+F9", true},
    {u"ProjectBuildCommand", u"Project", u"&Build", u"Shift+F9", true},
    {u"RunRunCommand", u"Run", u"&Run", u"F9", true},
    {u"RunRunNoDebugCommand", u"Run", u"Run &Without Debugging", u"Shift+Ctrl+F9", true},
    {u"RunStepOverCommand", u"Run", u"&Step Over", u"F8", true},
    {u"RunTraceIntoCommand", u"Run", u"&Trace Into", u"F7", true},
    {u"RunToggleBreakpointCommand", u"Run", u"Toggle Breakpoint", u"F5", true},
    {u"RunProgramPauseCommand", u"Run", u"Program &Pause", u"", false},
    {u"RunProgramResetCommand", u"Run", u"Program R&eset", u"Ctrl+F2", false},
};

constexpr UINT kKeyDown = 0x0100;    // WM_KEYDOWN
constexpr UINT kKeyUp = 0x0101;      // WM_KEYUP
constexpr UINT kSysKeyDown = 0x0104; // WM_SYSKEYDOWN: keys pressed with Alt
constexpr UINT kSysKeyUp = 0x0105;   // WM_SYSKEYUP

// lParam of a key message: repeat count 1, the context bit for Alt, and the
// previous-state and transition bits for a release.
LPARAM KeyData(bool alt, bool up)
{
    std::uint32_t data = 1;
    if (alt)
        data |= 1u << 29;
    if (up)
        data |= (1u << 30) | (1u << 31);
    return LPARAM(std::int32_t(data));
}

struct KeyStroke {
    WPARAM Key;
    const char* Name;
};

} // namespace

void IdeCommandHandlers::Set(const String& Name, const TNotifyEvent& Handler)
{
    std::erase_if(entries_, [&](const Entry& e) { return SameText(e.Name, Name); });
    if (Handler)
        entries_.push_back(Entry{Name, Handler});
}

void IdeCommandHandlers::Run(const String& Name, TObject* Sender) const
{
    for (const Entry& e : entries_)
        if (SameText(e.Name, Name)) {
            // A copy: the handler may set another one under this name.
            TNotifyEvent handler = e.Handler;
            handler(Sender);
            return;
        }
}

IdeActions::IdeActions(SimulatedIde& ide) : ide_(ide), list_(new TActionList(nullptr))
{
    list_->SetName(u"ActionList");
    for (const ActionEntry& entry : kActions) {
        // Owned by the list's component, listed in the list.
        auto* action = new TAction(list_);
        action->SetName(entry.Name);
        action->SetCategory(entry.Category);
        action->SetCaption(entry.Caption);
        action->SetShortCut(TextToShortCut(entry.ShortCut));
        action->SetEnabled(entry.Enabled);
        action->SetOnExecute(MakeEvent<&IdeActions::ActionExecute>(this));
        action->SetActionList(list_);
    }
}

IdeActions::~IdeActions() { list_->Free(); }

TCustomAction* IdeActions::Find(const String& name) const noexcept
{
    for (int i = 0; i < list_->ActionCount(); ++i) {
        auto* action = dynamic_cast<TCustomAction*>(list_->Actions(i));
        if (action && SameText(action->Name(), name))
            return action;
    }
    return nullptr;
}

void IdeActions::ActionExecute(TObject* Sender)
{
    auto* action = dynamic_cast<TComponent*>(Sender);
    if (!action)
        return;
    executed_.push_back(action->Name());
    commands_.Run(action->Name(), Sender);
}

bool IdeActions::HasShortCut(TShortCut shortCut) const noexcept
{
    for (int i = 0; i < list_->ActionCount(); ++i) {
        auto* action = dynamic_cast<TCustomAction*>(list_->Actions(i));
        if (action && action->ShortCut() == shortCut)
            return true;
    }
    return false;
}

std::string IdeActions::HandleShortCut(TShortCut shortCut)
{
    const std::size_t before = executed_.size();
    if (list_->IsShortCut(shortCut) && executed_.size() > before)
        return "ran the IDE action " + Utf16ToUtf8(executed_.back());
    for (int i = 0; i < list_->ActionCount(); ++i) {
        auto* action = dynamic_cast<TCustomAction*>(list_->Actions(i));
        if (action && action->ShortCut() == shortCut)
            return "the IDE action " + Utf16ToUtf8(action->Name()) + " is disabled";
    }
    return "no IDE action has this shortcut";
}

std::vector<std::string> IdeActions::PressKey(TShortCut shortCut, HWND window)
{
    const bool alt = shortCut & scAlt;
    std::vector<KeyStroke> modifiers;
    if (shortCut & scShift)
        modifiers.push_back({0x10, "Shift"});
    if (shortCut & scCtrl)
        modifiers.push_back({0x11, "Ctrl"});
    if (alt)
        modifiers.push_back({0x12, "Alt"});
    const std::string keyName = Utf16ToUtf8(ShortCutToText(shortCut & 0xFF));
    const UINT down = alt ? kSysKeyDown : kKeyDown;
    const UINT up = alt ? kSysKeyUp : kKeyUp;

    std::vector<std::string> lines;
    for (const KeyStroke& m : modifiers)
        lines.push_back(std::string(m.Name) +
                        " down: " + ide_.PostAndDescribe(window, down, m.Key, KeyData(alt, false)));
    const std::size_t dispatchedBefore = ide_.App().DispatchedMessages().size();
    std::string keyLine =
        keyName + " down: " + ide_.PostAndDescribe(window, down, shortCut & 0xFF, KeyData(alt, false));
    // The main form's shortcut handling sees only what the application
    // dispatches.
    if (ide_.App().DispatchedMessages().size() > dispatchedBefore) {
        std::string menuLine = ide_.MainMenu().HandleShortCut(shortCut);
        keyLine += "; " + (menuLine.empty() ? HandleShortCut(shortCut) : menuLine);
    }
    lines.push_back(std::move(keyLine));
    lines.push_back(keyName + " up: " + ide_.PostAndDescribe(window, up, shortCut & 0xFF, KeyData(alt, true)));
    for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m)
        lines.push_back(std::string(m->Name) + " up: " + ide_.PostAndDescribe(window, up, m->Key, KeyData(alt, true)));
    return lines;
}

void IdeActions::RegisterCommands(ScenarioRunner& runner)
{
    runner.Register(
        {"key", "key <shortcut> [window]",
         "Presses a key with its modifiers (Ctrl+S, Shift+Ctrl+F9, F1, Del): key-down and key-up messages "
         "through the application loop; a key the application dispatches clicks the main-menu item with that "
         "shortcut, else runs the IDE action with it.",
         1, 2, [this](const ScenarioStep& step) {
             const TShortCut shortCut = TextToShortCut(Utf8ToUtf16(step.Args[0]));
             if (shortCut == scNone)
                 throw ScenarioError("not a key: '" + step.Args[0] + "'");
             HWND window = step.Args.size() > 1 ? reinterpret_cast<HWND>(std::uintptr_t(ScenarioInteger(step.Args[1])))
                                                : HWND(nullptr);
             const std::size_t debugLines = DebuggerLineCount();
             return WithDebuggerLines(PressKey(shortCut, window), debugLines);
         }});
}

} // namespace tvx::sim
