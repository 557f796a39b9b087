#include "sim/help/IdeHelp.h"

#include "interop/Utf.h"
#include "sim/IdeRegistry.h"
#include "sim/Report.h"
#include "sim/Scenario.h"
#include "sim/SimulatedIde.h"

namespace tvx::sim {

void IdeHelp::Build()
{
    WriteRegistryText(HKEY_CLASSES_ROOT, u"CLSID\\{4A79114D-19E4-11d3-B86B-00C04F79F802}\\LocalServer32", nullptr,
                      u"\"" + std::u16string(kHelpViewerPath) + u"\"");
}

void IdeHelp::RegisterCommands(ScenarioRunner& runner)
{
    runner.Register({"help-keyword", "help-keyword <keyword>",
                     "Asks the IDE's help system for a topic by keyword, as F1 on a word does.", 1, 1,
                     [this](const ScenarioStep& step) {
                         ide_.App().HelpKeyword(Utf8ToUtf16(step.Args[0]));
                         return std::vector<std::string>{"help system asked for \"" + step.Args[0] + "\""};
                     }});
}

void IdeHelp::AddToReport(Report& report) const
{
    for (const String& keyword : ide_.App().HelpKeywords())
        report.Services.HelpKeywords.push_back(keyword);
}

} // namespace tvx::sim
