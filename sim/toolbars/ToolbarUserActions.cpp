// The user's actions on the IDE's toolbars: clicks, typing and picking in
// combo boxes, idle steps, and their scenario commands.
#include "sim/toolbars/IdeToolbars.h"

#include "interop/Utf.h"
#include "sim/Scenario.h"
#include "sim/SimulatedIde.h"

#include <algorithm>
#include <cctype>
#include <climits>

namespace tvx::sim {

namespace {

std::string U8(const String& s) { return Utf16ToUtf8(s); }

bool IsIndex(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(c) != 0; });
}

} // namespace

TToolBar* IdeToolbars::RequireToolBar(const String& Name) const
{
    TToolBar* bar = FindToolBar(Name);
    if (!bar)
        throw ScenarioError("no toolbar named " + U8(Name));
    if (!bar->Showing())
        throw ScenarioError("the toolbar " + U8(Name) + " is hidden");
    return bar;
}

TComboBox* IdeToolbars::RequireComboBox(TToolBar* ToolBar, const String& Name) const
{
    for (TControl* control : ToolBar->OrderedControls()) {
        auto* combo = dynamic_cast<TComboBox*>(control);
        if (combo && SameText(combo->Name(), Name)) {
            if (!combo->Visible())
                throw ScenarioError("the combo box " + U8(Name) + " is hidden");
            if (!combo->Enabled())
                throw ScenarioError("the combo box " + U8(Name) + " is disabled");
            return combo;
        }
    }
    throw ScenarioError("no combo box named " + U8(Name) + " on " + U8(ToolBar->Name()));
}

std::vector<std::string> IdeToolbars::ClickButton(const String& ToolBar, const String& Button)
{
    TToolBar* bar = RequireToolBar(ToolBar);
    TToolButton* button = nullptr;
    const std::string key = U8(Button);
    if (IsIndex(key)) {
        int index = int(ScenarioInteger(key, 0, INT_MAX));
        if (index >= bar->ButtonCount())
            throw ScenarioError(U8(ToolBar) + " has no button " + key);
        button = bar->Buttons(index);
    } else {
        for (int i = 0; i < bar->ButtonCount() && !button; ++i)
            if (SameText(bar->Buttons(i)->Name(), Button))
                button = bar->Buttons(i);
        if (!button)
            throw ScenarioError("no button named " + key + " on " + U8(ToolBar));
    }
    if (button->Style() == tbsDivider || button->Style() == tbsSeparator)
        throw ScenarioError(key + " is a separator");
    if (!button->Visible())
        throw ScenarioError("the button " + key + " is hidden");
    if (!button->Enabled())
        throw ScenarioError("the button " + key + " is disabled");
    std::vector<std::string> lines{"clicked " + U8(ToolBar) + ": " + ToolbarControlText(Describe(button))};
    std::size_t debugLines = DebuggerLineCount();
    executed_.clear();
    // The button may be gone once its handler has run.
    button->Click();
    for (const String& name : executed_)
        lines.push_back("the IDE ran " + U8(name));
    return WithDebuggerLines(std::move(lines), debugLines);
}

std::vector<std::string> IdeToolbars::Type(const String& ToolBar, const String& ComboBox, const String& Text)
{
    TComboBox* combo = RequireComboBox(RequireToolBar(ToolBar), ComboBox);
    std::size_t debugLines = DebuggerLineCount();
    combo->UserEdit(Text);
    std::vector<std::string> lines{"typed \"" + U8(Text) + "\" into " + U8(ToolBar) + "." + U8(ComboBox)};
    return WithDebuggerLines(std::move(lines), debugLines);
}

std::vector<std::string> IdeToolbars::Pick(const String& ToolBar, const String& ComboBox, int Index)
{
    TComboBox* combo = RequireComboBox(RequireToolBar(ToolBar), ComboBox);
    std::size_t debugLines = DebuggerLineCount();
    String item = combo->Items()->Strings(Index);
    combo->UserSelect(Index);
    std::vector<std::string> lines{"picked \"" + U8(item) + "\" in " + U8(ToolBar) + "." + U8(ComboBox)};
    return WithDebuggerLines(std::move(lines), debugLines);
}

std::vector<std::string> IdeToolbars::Idle()
{
    std::size_t debugLines = DebuggerLineCount();
    ide_.App().Idle();
    return WithDebuggerLines({"the application went idle"}, debugLines);
}

void IdeToolbars::RegisterCommands(ScenarioRunner& runner)
{
    runner.Register({"click-button", "click-button <toolbar> <button name or index>",
                     "Clicks a toolbar button as the user would; the toolbar and the button must be visible and "
                     "the button enabled.",
                     2, 2, [this](const ScenarioStep& step) {
                         return ClickButton(Utf8ToUtf16(step.Args[0]), Utf8ToUtf16(step.Args[1]));
                     }});
    runner.Register({"type", "type <toolbar> <combo name> <text>",
                     "Types text into a toolbar combo box (a list-only one selects the item of that text).", 3, 3,
                     [this](const ScenarioStep& step) {
                         return Type(Utf8ToUtf16(step.Args[0]), Utf8ToUtf16(step.Args[1]), Utf8ToUtf16(step.Args[2]));
                     }});
    runner.Register({"pick", "pick <toolbar> <combo name> <item index>",
                     "Picks an item of a toolbar combo box from its drop-down list.", 3, 3,
                     [this](const ScenarioStep& step) {
                         return Pick(Utf8ToUtf16(step.Args[0]), Utf8ToUtf16(step.Args[1]),
                                     int(ScenarioInteger(step.Args[2], INT_MIN, INT_MAX)));
                     }});
    runner.Register({"idle", "idle", "Lets the application go idle once (toolbar controls get their updates).", 0, 0,
                     [this](const ScenarioStep&) { return Idle(); }});
    runner.Register({"reload-toolbars", "reload-toolbars",
                     "The IDE loads its toolbar layout again and reports each standard toolbar to its stream "
                     "notifiers.",
                     0, 0, [this](const ScenarioStep&) {
                         std::size_t debugLines = DebuggerLineCount();
                         int count = Load();
                         return WithDebuggerLines({"reloaded " + std::to_string(count) + " toolbars"}, debugLines);
                     }});
    runner.Register({"toolbars", "toolbars", "Writes every toolbar with its controls into the report.", 0, 0,
                     [this](const ScenarioStep&) { return TextLines(ToolbarsText(Snapshot(), 0)); }});
}

} // namespace tvx::sim
