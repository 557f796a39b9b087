#include "sim/Session.h"

#include "host/win32/Recorder.h"
#include "host/win32/RegFile.h"
#include "host/win32/RegistryEmulation.h"
#include "host/win32/Win32.h"
#include "interop/Bstr.h"
#include "interop/Utf.h"
#include "sim/Expectations.h"
#include "sim/Scenario.h"
#include "sim/SimulatedIde.h"
#include "sim/WizardHost.h"
#if !defined(_WIN32)
#include "sim/picture/IdePicture.h"
#endif

#include <filesystem>
#include <fstream>
#include <sstream>

namespace tvx::sim {

namespace {

// A .reg file's bytes, imported as the file would be.
win32::RegFileResult ImportRegBytes(const std::string& bytes)
{
#if defined(_WIN32)
    // The system's importer reads files only.
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("talvix-" + std::to_string(GetCurrentProcessId()) + ".reg");
    {
        std::ofstream out(file, std::ios::binary);
        out << bytes;
        if (!out)
            return {false, 0, "cannot write " + file.string()};
    }
    win32::RegFileResult result = win32::ImportRegFile(file);
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
    return result;
#else
    return win32::ImportRegText(std::string_view(bytes));
#endif
}

// Collects the loader's diagnostics into the report.
struct LoaderEvents {
    static void Listed(void* context, const char16_t* subkey, const char16_t* displayName, std::int32_t loadOrder,
                       const char* howRead)
    {
        PackageRecord& p = static_cast<Report*>(context)->PackageFor(subkey);
        p.DisplayName = displayName;
        p.LoadOrder = loadOrder;
        p.HowRead = howRead;
    }
    static void Skipped(void* context, const char16_t* subkey, const char* reason)
    {
        PackageRecord& p = static_cast<Report*>(context)->PackageFor(subkey);
        p.Outcome = "skipped";
        p.Error = Utf8ToUtf16(reason);
    }
    static void Created(void* context, const char16_t* subkey, const char16_t* error, double seconds)
    {
        PackageRecord& p = static_cast<Report*>(context)->PackageFor(subkey);
        p.Outcome = error ? "failed" : "loaded";
        p.Error = error ? error : u"";
        p.CreateSeconds = seconds;
    }
    static void Called(void* context, const char16_t* subkey, const char* method, double seconds, const char* outcome)
    {
        auto* report = static_cast<Report*>(context);
        report->PackageFor(subkey).Calls.push_back(PackageCallRecord{method, seconds, outcome, {}});
        if (std::string_view(method) == "Finalize")
            report->ShutdownOrder.push_back(subkey);
    }
    static void Raised(void* context, const char16_t* subkey, const char* method, const char16_t* text)
    {
        auto& calls = static_cast<Report*>(context)->PackageFor(subkey).Calls;
        if (!calls.empty() && calls.back().Method == method)
            calls.back().Raised = text;
    }
    static void ListLookedUp(void* context, const char16_t* keyPath, const char* found)
    {
        RegistryRecord& registry = static_cast<Report*>(context)->Registry;
        registry.PackageListKey = keyPath;
        registry.PackageListFound = found;
    }
    static void NeverReady(void* context, const char* waitingFor)
    {
        static_cast<Report*>(context)->NeverReadyReason = waitingFor;
    }
};

// regsvr32's failure for a library that loads but lacks the entry says only
// that a procedure is missing; this names it.
std::string RegistrationFailure(const std::string& server, HRESULT hr)
{
    const char* entry = "DllRegisterServer";
    if (hr == HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND)) {
        const std::u16string path = Utf8ToUtf16(server);
        if (HMODULE module = LoadLibraryW(AsOleChar(path.c_str()))) {
            const bool exported = GetProcAddress(module, entry) != nullptr;
            FreeLibrary(module);
            if (!exported)
                return std::string(entry) + " not exported by " + server;
        }
    }
    std::string detail = win32::LastLibraryLoadDiagnostic();
    return "cannot register " + server + ": " + Utf16ToUtf8(win32::SystemErrorMessage(hr)) +
           (detail.empty() ? "" : " (" + detail + ")");
}

void CollectRecords(Report& report)
{
    for (auto& box : win32::TakeMessageBoxes())
        report.MessageBoxes.push_back(
            MessageBoxRecord{reinterpret_cast<std::uintptr_t>(box.owner), box.text, box.caption, box.flags});
    for (auto& line : win32::TakeDebugStrings())
        report.DebugOutput.push_back(line);
    for (auto& launch : win32::TakeShellLaunches())
        report.ShellLaunches.push_back(ShellLaunchRecord{launch.operation.value_or(u""), launch.file,
                                                         launch.parameters.value_or(u""),
                                                         launch.directory.value_or(u""), launch.showCommand});
}

// One record per step, a step that a stop left out as not run; each failed
// step is also a problem of the run.
void AddScenarioRecords(Report& report, const std::string& path, const std::vector<ScenarioStep>& steps,
                        std::vector<ScenarioStepResult> results)
{
    for (std::size_t i = 0; i < steps.size(); ++i) {
        ScenarioRecord& record = report.Scenario.emplace_back();
        record.Line = steps[i].Line;
        record.Command = steps[i].Command;
        record.Args = steps[i].Args;
        if (i >= results.size())
            continue;
        ScenarioStepResult& result = results[i];
        record.Outcome = StepOutcomeText(result.Outcome);
        record.Output = std::move(result.Output);
        record.Error = std::move(result.Error);
        record.DebuggerLines = std::move(result.DebuggerLines);
        record.Seconds = result.Seconds;
        if (result.Outcome == StepOutcome::Failed)
            report.Problems.push_back(path + ":" + std::to_string(record.Line) + ": " + record.Error);
    }
}

} // namespace

std::string DefaultWizardPath()
{
#if defined(_WIN32)
    std::wstring exe(MAX_PATH, L'\0');
    exe.resize(GetModuleFileNameW(nullptr, exe.data(), DWORD(exe.size())));
    return (std::filesystem::path(exe).parent_path() / "TalvixLoader.dll").string();
#else
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return "TalvixLoader.so";
    return (exe.parent_path() / "TalvixLoader.so").string();
#endif
}

std::string ScenarioReference()
{
    SimulatedIde ide;
    ScenarioRunner runner;
    ide.RegisterCommands(runner);
    Report none;
    RegisterExpectations(runner, ide, none);
    return "Scenario files hold one step per line: a command and its arguments, separated by blanks;\n"
           "quote an argument with blanks in double quotes (\\\" and \\\\ escape). '#' starts a comment.\n\n" +
           runner.Reference();
}

Report RunSession(const SessionOptions& options)
{
    win32::StartRecording();
#if !defined(_WIN32)
    if (options.FreshMachine) {
        win32::ResetRegistry();
        win32::ResetRecorder();
    }
#endif
    Report report;
    report.Version = TVX_VERSION;
    report.Timings = options.Timings;
    report.WizardPath = options.WizardPath.empty() ? DefaultWizardPath() : options.WizardPath;

    for (const auto& file : options.RegFiles) {
        win32::RegFileResult result = win32::ImportRegFile(file);
        if (!result.ok)
            report.Problems.push_back(result.message);
    }
    for (std::size_t i = 0; i < options.RegTexts.size(); ++i) {
        win32::RegFileResult result = ImportRegBytes(options.RegTexts[i]);
        if (!result.ok)
            report.Problems.push_back("registry text " + std::to_string(i + 1) + ": " + result.message);
    }
    for (const auto& given : options.Servers) {
        // As regsvr32 does: a relative name is the file in the current
        // folder, not one the loader's search path finds.
        const std::string server = std::filesystem::absolute(given).lexically_normal().string();
        HRESULT hr = win32::RegisterServer(Utf8ToUtf16(server));
        if (FAILED(hr))
            report.Problems.push_back(RegistrationFailure(server, hr));
    }
    if (!report.Problems.empty())
        return report;

    SimulatedIde ide;
    ScenarioRunner runner;
    ide.RegisterCommands(runner);
    RegisterExpectations(runner, ide, report);
    std::vector<ScenarioStep> steps;
    // The file's bytes or the caller's text, decoded and parsed alike.
    std::string bytes = options.ScenarioText;
    const std::string source = options.ScenarioPath.empty() ? "scenario text" : options.ScenarioPath;
    if (!options.ScenarioPath.empty()) {
        std::ifstream file(options.ScenarioPath, std::ios::binary);
        if (!file) {
            report.Problems.push_back("cannot read the scenario " + options.ScenarioPath);
            return report;
        }
        std::stringstream text;
        text << file.rdbuf();
        bytes = text.str();
    }
    try {
        steps = runner.Parse(DecodeScenarioBytes(bytes));
    } catch (const ScenarioError& e) {
        report.Problems.push_back(source + ": " + e.what());
        return report;
    }

    WizardHost wizard(report.WizardPath);
    std::string error;
    if (!wizard.Load(error)) {
        report.Problems.push_back(error);
        return report;
    }
    report.EntryFound = true;
    TalvixLoaderObserver observer{&report,
                                  &LoaderEvents::Listed,
                                  &LoaderEvents::Skipped,
                                  &LoaderEvents::Created,
                                  &LoaderEvents::Called,
                                  &LoaderEvents::Raised,
                                  &LoaderEvents::ListLookedUp,
                                  &LoaderEvents::NeverReady};
    try {
        report.EntryResult = wizard.CallEntry(ide.ServicesUnknown(), &observer);
        report.TerminateReceived = wizard.HasTerminate();
        ide.AfterWizardEntry();
        AddScenarioRecords(report, options.ScenarioPath, steps, runner.Run(steps, options.AfterStepFailure));
#if !defined(_WIN32)
        if (!options.PicturePath.empty())
            if (std::string error = DrawIdePicture(ide, options.PicturePath); !error.empty())
                report.Problems.push_back(error);
#endif
        ide.BeforeShutdown();
        wizard.Terminate();
        ide.AfterWizardTerminate();
    } catch (const std::exception& e) {
        report.Problems.push_back(std::string("the wizard raised an error: ") + e.what());
    }
    wizard.Unload();
    std::vector<std::u16string> listed;
    for (const PackageRecord& package : report.Packages)
        listed.push_back(package.Subkey);
    ReadRegistry(report.Registry, listed);
    CollectRecords(report);
    ide.AddToReport(report);
    return report;
}

} // namespace tvx::sim
