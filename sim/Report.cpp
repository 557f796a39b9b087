#include "sim/Report.h"

#include "interop/Utf.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace tvx::sim {

namespace {

std::string U8(const std::u16string& s) { return Utf16ToUtf8(s); }

std::string Milliseconds(double seconds)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.3f ms", seconds * 1000.0);
    return buffer;
}

std::string Hex(std::uint64_t value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "0x%llX", static_cast<unsigned long long>(value));
    return buffer;
}

} // namespace

std::string Escaped(const std::u16string& text)
{
    std::string out;
    for (char c : U8(text)) {
        switch (c) {
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\\': out += "\\\\"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\x%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
                out += buffer;
            } else {
                out += c;
            }
        }
    }
    return out;
}

PackageRecord& Report::PackageFor(const std::u16string& subkey)
{
    for (auto& p : Packages)
        if (p.Subkey == subkey)
            return p;
    Packages.push_back(PackageRecord{});
    Packages.back().Subkey = subkey;
    return Packages.back();
}

bool PackageRecord::NeverReady() const
{
    return Outcome == "loaded" && std::none_of(Calls.begin(), Calls.end(), [](const PackageCallRecord& c) {
               return c.Method == "OnServicesReady";
           });
}

bool Report::PackageFailed() const
{
    return std::any_of(Packages.begin(), Packages.end(), [](const PackageRecord& p) {
        return p.Outcome == "failed" || p.NeverReady() ||
               std::any_of(p.Calls.begin(), p.Calls.end(),
                           [](const PackageCallRecord& c) { return c.Outcome == "raised"; });
    });
}

int Report::ExitStatus() const
{
    if (!Problems.empty())
        return kExitProblems;
    return PackageFailed() ? kExitPackageFailures : 0;
}

std::size_t Report::StepCount(std::string_view outcome) const
{
    std::size_t count = 0;
    for (const auto& step : Scenario)
        count += step.Outcome == outcome;
    return count;
}

std::string HandleAccount::Summary() const
{
    return std::to_string(BitmapsLeftAlive) + " bitmap(s) left alive, " + std::to_string(BitmapsDeletedTwice) +
           " deleted twice; " + std::to_string(IconsLeftAlive) + " icon(s) left alive, " +
           std::to_string(IconsDestroyedTwice) + " destroyed twice";
}

nlohmann::json Report::ToJson() const
{
    nlohmann::json j;
    j["version"] = Version;
    j["wizard"] = {{"path", WizardPath},
                   {"entryFound", EntryFound},
                   {"entryResult", EntryResult},
                   {"terminateReceived", TerminateReceived}};
    auto& packages = j["packages"] = nlohmann::json::array();
    for (const auto& p : Packages) {
        nlohmann::json calls = nlohmann::json::array();
        for (const auto& c : p.Calls) {
            calls.push_back({{"method", c.Method}, {"outcome", c.Outcome}});
            if (Timings)
                calls.back()["seconds"] = c.Seconds;
            if (c.Outcome == "raised")
                calls.back()["raised"] = U8(c.Raised);
        }
        nlohmann::json oneDigitOff = nlohmann::json::array();
        if (p.Outcome == "failed" && !Registry.IsRegistered(p.Subkey))
            for (const auto& c : Registry.OneDigitOff(p.Subkey))
                oneDigitOff.push_back({{"clsid", U8(c.Clsid)}, {"library", U8(c.Library)}});
        packages.push_back({{"subkey", U8(p.Subkey)},
                            {"displayName", U8(p.DisplayName)},
                            {"loadOrder", p.LoadOrder},
                            {"howRead", p.HowRead},
                            {"outcome", p.Outcome},
                            {"error", U8(p.Error)},
                            {"calls", calls},
                            {"classesOneDigitOff", oneDigitOff},
                            {"neverReady", p.NeverReady() ? NeverReadyReason : ""}});
        if (Timings)
            packages.back()["createSeconds"] = p.CreateSeconds;
    }
    Registry.AddJson(j);
    auto& boxes = j["messageBoxes"] = nlohmann::json::array();
    for (const auto& m : MessageBoxes)
        boxes.push_back({{"owner", m.Owner}, {"caption", U8(m.Caption)}, {"text", U8(m.Text)}, {"flags", m.Flags}});
    auto& debug = j["debugOutput"] = nlohmann::json::array();
    for (const auto& line : DebugOutput)
        debug.push_back(U8(line));
    auto& launches = j["shellLaunches"] = nlohmann::json::array();
    for (const auto& l : ShellLaunches)
        launches.push_back({{"operation", U8(l.Operation)},
                            {"file", U8(l.File)},
                            {"parameters", U8(l.Parameters)},
                            {"directory", U8(l.Directory)},
                            {"show", l.ShowCommand}});
    Services.AddJson(j);
    auto& scenario = j["scenario"] = nlohmann::json::array();
    for (const auto& step : Scenario) {
        scenario.push_back({{"line", step.Line},
                            {"command", step.Command},
                            {"args", step.Args},
                            {"outcome", step.Outcome},
                            {"output", step.Output},
                            {"error", step.Error},
                            {"debuggerLines", step.DebuggerLines}});
        if (Timings)
            scenario.back()["seconds"] = step.Seconds;
    }
    j["scenarioSteps"] = {
        {"passed", StepCount("passed")}, {"failed", StepCount("failed")}, {"notRun", StepCount("not run")}};
    auto& shutdown = j["shutdownOrder"] = nlohmann::json::array();
    for (const auto& s : ShutdownOrder)
        shutdown.push_back(U8(s));
    j["mainMenu"] = MenuTreeJson(MainMenu);
    j["toolbars"] = ToolbarsJson(Toolbars);
    j["toolWindows"] = ToolWindowsJson(ToolWindows);
    j["desktopFreedAtShutdown"] = DesktopFieldsJson(DesktopFreedAtShutdown);
    if (EditorWindows.Taken)
        j["editorWindows"] = EditorWindowsJson(EditorWindows);
    if (Modules.Taken)
        j["modules"] = ModulesJson(Modules);
    if (Handles.Measured)
        j["handles"] = {{"bitmapsLeftAlive", Handles.BitmapsLeftAlive},
                        {"bitmapsDeletedTwice", Handles.BitmapsDeletedTwice},
                        {"iconsLeftAlive", Handles.IconsLeftAlive},
                        {"iconsDestroyedTwice", Handles.IconsDestroyedTwice}};
    j["problems"] = Problems;
    return j;
}

std::string Report::ClassNotRegisteredText(const std::u16string& subkey) const
{
    std::string text = "      its class is not registered (see Registered classes); ";
    const auto close = Registry.OneDigitOff(subkey);
    if (close.empty())
        text += "no registered class is one hex digit off\n";
    for (std::size_t i = 0; i < close.size(); ++i)
        text += (i ? ", " : "one hex digit off: ") + U8(close[i].Clsid) + " (" + U8(close[i].Library) + ")" +
                (i + 1 == close.size() ? "\n" : "");
    if (!Registry.PackageListKey.empty())
        text += "      listed in the package list at " + U8(Registry.PackageListKey) + "\n";
    return text;
}

std::string Report::ToText() const
{
    std::ostringstream out;
    out << "Talvix Products Loader simulator " << Version << "\n";
    out << "Wizard library: " << WizardPath << "\n";
    if (!EntryFound)
        out << "  INITWIZARD0001 not called: the session stopped at the problems below\n";
    else
        out << "  INITWIZARD0001 returned " << (EntryResult ? "true" : "false")
            << (TerminateReceived ? ", terminate routine received" : ", no terminate routine") << "\n";

    Registry.AddText(out);

    out << "\nLoad order (" << Packages.size() << " listed):\n";
    int n = 0;
    for (const auto& p : Packages) {
        out << "  " << ++n << ". " << U8(p.Subkey) << "  '" << U8(p.DisplayName) << "'  LoadOrder " << p.LoadOrder
            << " (" << p.HowRead << ")\n";
    }

    out << "\nPackages:\n";
    for (const auto& p : Packages) {
        out << "  " << U8(p.Subkey) << "  " << p.Outcome;
        if (Timings && (p.Outcome == "loaded" || p.Outcome == "failed"))
            out << ", created in " << Milliseconds(p.CreateSeconds);
        out << "\n";
        if (!p.Error.empty())
            out << "      error: " << U8(p.Error) << "\n";
        if (p.Outcome == "failed" && !Registry.IsRegistered(p.Subkey))
            out << ClassNotRegisteredText(p.Subkey);
        for (const auto& c : p.Calls) {
            out << "      " << c.Method << ": " << c.Outcome << (Timings ? ", " + Milliseconds(c.Seconds) : "") << "\n";
            if (c.Outcome == "raised")
                out << "          raised: " << Escaped(c.Raised) << "\n";
        }
        if (p.NeverReady())
            out << "      OnServicesReady never came: "
                << (NeverReadyReason.empty() ? std::string("the services never became ready") : NeverReadyReason)
                << "\n";
    }

    out << "\nMessage boxes (" << MessageBoxes.size() << "):\n";
    for (const auto& m : MessageBoxes) {
        out << "  [" << U8(m.Caption) << "] flags " << Hex(m.Flags) << ", owner " << Hex(m.Owner) << "\n";
        out << "      \"" << Escaped(m.Text) << "\"\n";
    }

    if (!ShellLaunches.empty()) {
        out << "\nShell launches:\n";
        for (const auto& l : ShellLaunches)
            out << "  " << U8(l.File) << " " << U8(l.Parameters) << "\n";
    }
    Services.AddText(out);

    if (!Scenario.empty()) {
        out << "\nScenario (" << Scenario.size() << " steps: " << StepCount("passed") << " passed, "
            << StepCount("failed") << " failed, " << StepCount("not run") << " not run):\n";
        for (const auto& step : Scenario) {
            out << "  " << step.Line << ": " << step.Command;
            for (const auto& arg : step.Args)
                out << " " << arg;
            out << "\n";
            for (const auto& line : step.Output)
                out << "      " << line << "\n";
            if (step.Outcome == "failed")
                out << "      FAILED: " << step.Error << "\n";
            else if (step.Outcome == "not run")
                out << "      not run\n";
        }
    }

    if (!MainMenu.empty())
        out << "\nMain menu at shutdown:\n" << MenuTreeText(MainMenu, 2);
    if (!Toolbars.empty())
        out << "\nToolbars at shutdown:\n" << ToolbarsText(Toolbars, 2);
    if (!ToolWindows.empty())
        out << "\nTool windows at shutdown:\n" << ToolWindowsText(ToolWindows, 2);
    if (EditorWindows.Taken)
        out << "\nEditor windows at shutdown:\n" << EditorWindowsText(EditorWindows, 2);
    if (Modules.Taken)
        out << "\nModules at shutdown:\n" << ModulesText(Modules, 2);
    if (!DesktopFreedAtShutdown.empty()) {
        out << "\nDesktop forms freed at shutdown:\n";
        for (const auto& field : DesktopFreedAtShutdown)
            out << "  " << DesktopFieldText(field) << "\n";
    }

    out << "\nDebugger output (" << DebugOutput.size() << " lines):\n";
    for (const auto& line : DebugOutput)
        out << "  " << U8(line) << "\n";

    out << "\nShutdown (Finalize order):\n";
    for (const auto& s : ShutdownOrder)
        out << "  " << U8(s) << "\n";

    if (Handles.Measured)
        out << "\nHandles: " << Handles.Summary() << "\n";

    if (!Problems.empty()) {
        out << "\nProblems:\n";
        for (const auto& p : Problems)
            out << "  " << p << "\n";
    }
    return out.str();
}

} // namespace tvx::sim
