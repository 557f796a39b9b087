// The user's actions on the modules: saving, renaming, closing all and
// File > New > Unit; and their scenario commands. Each step writes what
// reached the add-ins' notifiers and file systems, one line per call, with
// what they answered.
#include "sim/modules/IdeModules.h"

#include "interop/Utf.h"
#include "sim/Scenario.h"

#include <cctype>

namespace tvx::sim {

namespace {

std::string U8(const String& s) { return Utf16ToUtf8(s); }

// A step's lines: the calls it made of add-ins' notifiers and file systems,
// the line `act` answers with, then what packages wrote to the debugger.
template <class Act>
std::vector<std::string> JournaledStep(NotifierJournal& journal, Act&& act)
{
    journal.Take();
    const std::size_t debugLines = DebuggerLineCount();
    std::string outcome = act();
    std::vector<std::string> lines = journal.Take();
    lines.push_back(std::move(outcome));
    return WithDebuggerLines(std::move(lines), debugLines);
}

} // namespace

TSimModule& IdeModules::Require(const std::string& File) const
{
    const String name = Utf8ToUtf16(File);
    if (TSimModule* module = Find(name))
        return *module;
    // The name a tab shows will do while only one module has it.
    std::vector<TSimModule*> matches;
    for (const auto& module : open_)
        if (SameText(ShortName(module->FileName()), name))
            matches.push_back(module.get());
    if (matches.size() == 1)
        return *matches.front();
    if (matches.size() > 1)
        throw ScenarioError(File + " names more than one open module; give its full file name");
    throw ScenarioError("no open module " + File);
}

String IdeModules::ScenarioFileName(const std::string& File)
{
    const String name = Utf8ToUtf16(File);
    if (name.empty())
        throw ScenarioError("give a file name");
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char16_t c = name[i];
        const bool drive = c == u':' && i == 1 && std::isalpha(static_cast<unsigned char>(name[0]));
        if (c < 0x20 || (c == u':' && !drive) || String(u"<>\"|?*").find(c) != String::npos)
            throw ScenarioError("not a file name: " + File);
    }
    const String shortName = ShortName(name);
    if (shortName.empty() || shortName == u"." || shortName == u"..")
        throw ScenarioError("not a file name: " + File + " (it names a folder)");
    const bool drive = name.size() > 1 && name[1] == u':';
    // "X:name" means the drive's current folder, which the IDE has none of.
    if (drive && (name.size() < 3 || (name[2] != u'\\' && name[2] != u'/')))
        throw ScenarioError("not a full file name: " + File);
    const bool rooted = drive || name[0] == u'\\' || name[0] == u'/';
    return rooted ? name : String(kProjectFolder) + name;
}

std::vector<std::string> IdeModules::SaveModuleStep(const std::string& File)
{
    tvx::IntfPtr<TSimModule> module(&Require(File));
    return JournaledStep(journal_, [&] {
        // As an add-in would: through the module's interface, forced.
        const bool saved = module->Save(false, true);
        return U8(module->FileName()) + (saved ? ": Save answered true" : ": Save answered false, not saved");
    });
}

std::vector<std::string> IdeModules::SaveAllStep()
{
    return JournaledStep(journal_, [&] {
        return std::string(SaveAll() ? "SaveAll answered true" : "SaveAll answered false: a module was not saved");
    });
}

std::vector<std::string> IdeModules::RenameModuleStep(const std::string& File, const std::string& NewFile)
{
    tvx::IntfPtr<TSimModule> module(&Require(File));
    const String newName = ScenarioFileName(NewFile);
    return JournaledStep(journal_, [&] {
        try {
            module->SetFileName(newName);
        } catch (const Exception& e) {
            throw ScenarioError(e.what());
        }
        return "the module is now " + U8(module->GetFileName());
    });
}

std::vector<std::string> IdeModules::CloseAllStep()
{
    return JournaledStep(journal_, [&] {
        return CloseAll() ? std::string("every module closed") : std::to_string(Count()) + " module(s) stayed open";
    });
}

std::vector<std::string> IdeModules::NewModuleStep()
{
    // Kept alive until the step's lines are written.
    tvx::IntfPtr<TSimModule> module;
    return JournaledStep(journal_, [&] {
        module = tvx::IntfPtr<TSimModule>(&NewUnit());
        return U8(module->FileName()) + " is open, " + (module->Modified() ? "modified" : "saved");
    });
}

void IdeModules::RegisterCommands(ScenarioRunner& runner)
{
    runner.Register({"save-module", "save-module <file>",
                     "Saves an open module (its full file name or tab caption) as File > Save does, through its "
                     "notifiers' checks; writes each notifier's answer and each file written.",
                     1, 1, [this](const ScenarioStep& step) { return SaveModuleStep(step.Args[0]); }});
    runner.Register({"save-all", "save-all", "File > Save All: saves every modified module.", 0, 0,
                     [this](const ScenarioStep&) { return SaveAllStep(); }});
    runner.Register({"rename-module", "rename-module <file> <new file>",
                     "Renames an open module (a bare new name lies in C:\\Projects\\Demo): BeforeRename, the files "
                     "move, ModuleRenamed, AfterRename; its tabs follow.",
                     2, 2, [this](const ScenarioStep& step) { return RenameModuleStep(step.Args[0], step.Args[1]); }});
    runner.Register({"close-all", "close-all",
                     "File > Close All: closes every module; their notifiers hear Destroyed and are released.", 0, 0,
                     [this](const ScenarioStep&) { return CloseAllStep(); }});
    runner.Register({"new-module", "new-module",
                     "File > New > Unit: a unit named as no open module is (Unit2.pas, ...), unsaved, shown in the "
                     "front editor window.",
                     0, 0, [this](const ScenarioStep&) { return NewModuleStep(); }});
    runner.Register({"modules", "modules",
                     "Writes every open module with its files, file system and notifiers (with what each heard), "
                     "the registered file systems and the editor services' notifiers.",
                     0, 0, [this](const ScenarioStep&) { return TextLines(ModulesText(Snapshot(), 0)); }});
}

} // namespace tvx::sim
