#include "sim/IdeActions.h"

#include "interop/Utf.h"

namespace tvx::sim {

namespace {

struct ActionEntry {
    const char16_t* Name;
    const char16_t* Category;
    const char16_t* Caption;
    const char16_t* ShortCut;  // as the IDE prints it; empty for none
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

} // namespace

IdeActions::IdeActions() : list_(new TActionList(nullptr))
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

IdeActions::~IdeActions()
{
    list_->Free();
}

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
    if (auto* action = dynamic_cast<TComponent*>(Sender))
        executed_.push_back(action->Name());
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

} // namespace tvx::sim
