#include "sim/Expectations.h"

#include "host/vcl/Menus.h"
#include "host/vcl/SysUtils.h"
#include "host/win32/Recorder.h"
#include "interop/Utf.h"
#include "sim/Report.h"
#include "sim/Scenario.h"
#include "sim/SimulatedIde.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tvx::sim {

namespace {

enum class ValueKind { Text, Number, Flag };

struct Property {
    std::string Name;
    ValueKind Kind;
};

// One object a subject found: its values by property name, as text.
using Found = std::map<std::string, std::string>;

struct Subject {
    std::string Name;
    std::string Selectors; // as the usage writes them
    std::size_t SelectorCount = 1;
    std::vector<Property> Properties;
    std::function<std::vector<Found>(const std::vector<std::string>& selectors)> Find;
};

const Property kExists{"exists", ValueKind::Flag};
const Property kCount{"count", ValueKind::Number};

std::string Flag(bool value) { return value ? "true" : "false"; }

std::string Shown(const Property& property, const std::string& value)
{
    return property.Kind == ValueKind::Text ? "\"" + value + "\"" : value;
}

bool Matches(const Property& property, const std::string& expected, const std::string& found)
{
    switch (property.Kind) {
    case ValueKind::Text: return MatchesPattern(expected, found);
    case ValueKind::Number: return ScenarioInteger(expected) == ScenarioInteger(found);
    case ValueKind::Flag: break;
    }
    return expected == found;
}

const Property& PropertyOf(const Subject& subject, const std::string& name)
{
    if (name == kExists.Name)
        return kExists;
    if (name == kCount.Name)
        return kCount;
    for (const Property& property : subject.Properties)
        if (property.Name == name)
            return property;
    std::string known = "exists, count";
    for (const Property& property : subject.Properties)
        known += ", " + property.Name;
    throw ScenarioError(subject.Name + " has no property '" + name + "' (it has " + known + ")");
}

// What a step names: its subject and selectors, quoted where they hold blanks.
std::string Target(const ScenarioStep& step, const Subject& subject)
{
    std::string target = subject.Name;
    for (std::size_t i = 1; i <= subject.SelectorCount; ++i) {
        const std::string& selector = step.Args[i];
        const bool quote = selector.empty() || selector.find_first_of(" \t") != std::string::npos;
        target += quote ? " \"" + selector + "\"" : " " + selector;
    }
    return target;
}

// Refuses what the step can never compare, before the IDE starts.
void Check(const Subject& subject, const ScenarioStep& step)
{
    const std::size_t count = step.Args.size() - 1;
    if (count != subject.SelectorCount && count != subject.SelectorCount + 2)
        throw ScenarioError("wrong number of arguments; usage: expect " + subject.Name + " " + subject.Selectors +
                            " [<property> <value>]");
    if (count == subject.SelectorCount)
        return;
    const Property& property = PropertyOf(subject, step.Args[subject.SelectorCount + 1]);
    const std::string& value = step.Args[subject.SelectorCount + 2];
    if (property.Kind == ValueKind::Number)
        ScenarioInteger(value);
    if (property.Kind == ValueKind::Flag && value != "true" && value != "false")
        throw ScenarioError(property.Name + " is true or false, not '" + value + "'");
}

std::vector<std::string> Evaluate(const Subject& subject, const ScenarioStep& step)
{
    // Again, for steps that were made rather than parsed.
    Check(subject, step);
    const std::vector<std::string> selectors(step.Args.begin() + 1,
                                             step.Args.begin() + 1 + std::ptrdiff_t(subject.SelectorCount));
    const std::vector<Found> objects = subject.Find(selectors);
    const std::string target = Target(step, subject);
    if (step.Args.size() == subject.SelectorCount + 1) {
        if (objects.empty())
            throw ScenarioError(target + ": expected to find it, found none");
        return {target + ": found, as expected"};
    }
    const Property& property = PropertyOf(subject, step.Args[subject.SelectorCount + 1]);
    const std::string& expected = step.Args[subject.SelectorCount + 2];
    std::vector<std::string> values;
    if (&property == &kExists)
        values.push_back(Flag(!objects.empty()));
    else if (&property == &kCount)
        values.push_back(std::to_string(objects.size()));
    else
        for (const Found& object : objects)
            values.push_back(object.at(property.Name));
    for (const std::string& value : values)
        if (Matches(property, expected, value))
            return {target + ": " + property.Name + " " + Shown(property, value) + ", as expected"};
    std::string found;
    for (const std::string& value : values)
        found += (found.empty() ? "" : ", ") + Shown(property, value);
    throw ScenarioError(target + ": expected " + property.Name + " " + Shown(property, expected) + ", found " +
                        (found.empty() ? "no " + subject.Name : found));
}

std::vector<Subject> Subjects(SimulatedIde& ide, const Report& report)
{
    std::vector<Subject> subjects;
    subjects.push_back({"menu-item",
                        "<menu path>",
                        1,
                        {{"caption", ValueKind::Text},
                         {"enabled", ValueKind::Flag},
                         {"visible", ValueKind::Flag},
                         {"checked", ValueKind::Flag},
                         {"separator", ValueKind::Flag},
                         {"shortcut", ValueKind::Text},
                         {"image", ValueKind::Number},
                         {"items", ValueKind::Number},
                         {"made-by", ValueKind::Text}},
                        [&ide](const std::vector<std::string>& selectors) {
                            std::vector<Found> found;
                            IdeMainMenu& menu = ide.MainMenu();
                            if (const TMenuItem* item = menu.Find(Utf8ToUtf16(selectors[0])))
                                found.push_back({{"caption", Utf16ToUtf8(item->Caption())},
                                                 {"enabled", Flag(item->Enabled())},
                                                 {"visible", Flag(item->Visible())},
                                                 {"checked", Flag(item->Checked())},
                                                 {"separator", Flag(item->IsLine())},
                                                 {"shortcut", Utf16ToUtf8(ShortCutToText(item->ShortCut()))},
                                                 {"image", std::to_string(item->ImageIndex())},
                                                 {"items", std::to_string(item->Count())},
                                                 {"made-by", item->Owner() == menu.Menu() ? "package" : "ide"}});
                            return found;
                        }});
    subjects.push_back({"toolbar",
                        "<toolbar>",
                        1,
                        {{"caption", ValueKind::Text}, {"visible", ValueKind::Flag}, {"controls", ValueKind::Number}},
                        [&ide](const std::vector<std::string>& selectors) {
                            std::vector<Found> found;
                            for (const ToolbarRecord& bar : ide.Toolbars().Snapshot())
                                if (SameText(bar.Name, Utf8ToUtf16(selectors[0])))
                                    found.push_back({{"caption", Utf16ToUtf8(bar.Caption)},
                                                     {"visible", Flag(bar.Visible)},
                                                     {"controls", std::to_string(bar.Controls.size())}});
                            return found;
                        }});
    subjects.push_back({"toolbar-control",
                        "<toolbar> <control>",
                        2,
                        {{"kind", ValueKind::Text},
                         {"caption", ValueKind::Text},
                         {"hint", ValueKind::Text},
                         {"enabled", ValueKind::Flag},
                         {"visible", ValueKind::Flag},
                         {"down", ValueKind::Flag},
                         {"image", ValueKind::Number},
                         {"text", ValueKind::Text},
                         {"item-index", ValueKind::Number},
                         {"items", ValueKind::Number}},
                        [&ide](const std::vector<std::string>& selectors) {
                            std::vector<Found> found;
                            for (const ToolbarRecord& bar : ide.Toolbars().Snapshot()) {
                                if (!SameText(bar.Name, Utf8ToUtf16(selectors[0])))
                                    continue;
                                for (const ToolbarControlRecord& c : bar.Controls)
                                    if (SameText(c.Name, Utf8ToUtf16(selectors[1])))
                                        found.push_back({{"kind", c.Kind},
                                                         {"caption", Utf16ToUtf8(c.Caption)},
                                                         {"hint", Utf16ToUtf8(c.Hint)},
                                                         {"enabled", Flag(c.Enabled)},
                                                         {"visible", Flag(c.Visible)},
                                                         {"down", Flag(c.Down)},
                                                         {"image", std::to_string(c.ImageIndex)},
                                                         {"text", Utf16ToUtf8(c.Text)},
                                                         {"item-index", std::to_string(c.ItemIndex)},
                                                         {"items", std::to_string(c.Items.size())}});
                            }
                            return found;
                        }});
    subjects.push_back({"debugger", "<line>", 1, {}, [](const std::vector<std::string>& selectors) {
                            std::vector<Found> found;
                            for (const std::u16string& line : win32::DebugStrings())
                                if (std::string text = Utf16ToUtf8(line); MatchesPattern(selectors[0], text))
                                    found.push_back({{"line", text}});
                            return found;
                        }});
    // Texts compare as the report shows them, control characters escaped.
    subjects.push_back(
        {"message-box",
         "<text>",
         1,
         {{"caption", ValueKind::Text}, {"flags", ValueKind::Number}},
         [](const std::vector<std::string>& selectors) {
             std::vector<Found> found;
             for (const win32::MessageBoxRecord& box : win32::MessageBoxes())
                 if (MatchesPattern(selectors[0], Escaped(box.text)))
                     found.push_back({{"caption", Escaped(box.caption)}, {"flags", std::to_string(box.flags)}});
             return found;
         }});
    subjects.push_back({"package",
                        "<subkey or display name>",
                        1,
                        {{"outcome", ValueKind::Text},
                         {"error", ValueKind::Text},
                         {"display-name", ValueKind::Text},
                         {"load-order", ValueKind::Number}},
                        [&report](const std::vector<std::string>& selectors) {
                            std::vector<Found> found;
                            for (const PackageRecord& p : report.Packages)
                                if (MatchesPattern(selectors[0], Utf16ToUtf8(p.Subkey)) ||
                                    MatchesPattern(selectors[0], Utf16ToUtf8(p.DisplayName)))
                                    found.push_back({{"outcome", p.Outcome},
                                                     {"error", Escaped(p.Error)},
                                                     {"display-name", Utf16ToUtf8(p.DisplayName)},
                                                     {"load-order", std::to_string(p.LoadOrder)}});
                            return found;
                        }});
    return subjects;
}

const Subject& SubjectOf(const std::vector<Subject>& subjects, const std::string& name)
{
    std::string known;
    for (const Subject& subject : subjects) {
        if (subject.Name == name)
            return subject;
        known += (known.empty() ? "" : ", ") + subject.Name;
    }
    throw ScenarioError("nothing to expect called '" + name + "' (expect " + known + ")");
}

std::string Description(const std::vector<Subject>& subjects)
{
    std::string text = "Fails the step unless the IDE holds or has shown what it says; without a property, that "
                       "it exists. Every subject has exists (true|false) and count <n>; expected texts may hold * "
                       "for any run of characters. Subjects and their properties:";
    for (const Subject& subject : subjects) {
        text += "\n        " + subject.Name + " " + subject.Selectors;
        for (std::size_t i = 0; i < subject.Properties.size(); ++i)
            text += (i ? ", " : ": ") + subject.Properties[i].Name;
    }
    return text;
}

} // namespace

bool MatchesPattern(std::string_view pattern, std::string_view text) noexcept
{
    // Greedy with one back-up point: the last star takes one more character
    // whenever the rest fails to match.
    std::size_t p = 0, t = 0, star = std::string_view::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++p;
            ++t;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

void RegisterExpectations(ScenarioRunner& runner, SimulatedIde& ide, const Report& report)
{
    auto subjects = std::make_shared<const std::vector<Subject>>(Subjects(ide, report));
    runner.Register(
        {"expect", "expect <subject> <selector...> [<property> <value>]", Description(*subjects), 2, 5,
         [subjects](const ScenarioStep& step) { return Evaluate(SubjectOf(*subjects, step.Args[0]), step); },
         [subjects](const ScenarioStep& step) { Check(SubjectOf(*subjects, step.Args[0]), step); }});
}

} // namespace tvx::sim
