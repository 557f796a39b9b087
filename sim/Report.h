// What a simulated IDE session saw, as a package author wants to read it.
#pragma once

#include "sim/RegistryReport.h"
#include "sim/ServicesReport.h"
#include "sim/editors/EditorWindowReport.h"
#include "sim/mainmenu/MenuTree.h"
#include "sim/modules/ModuleReport.h"
#include "sim/toolbars/ToolbarReport.h"
#include "sim/toolwindows/ToolWindowReport.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tvx::sim {

struct PackageCallRecord {
    std::string Method; // Initialize, OnServicesReady, Finalize
    double Seconds = 0;
    std::string Outcome;   // ok, failed (a failing HRESULT), raised
    std::u16string Raised; // the text of what it raised
};

struct PackageRecord {
    std::u16string Subkey;
    std::u16string DisplayName;
    std::int32_t LoadOrder = 0;
    std::string HowRead;
    std::string Outcome = "listed"; // loaded, failed, skipped
    std::u16string Error;
    double CreateSeconds = 0;
    std::vector<PackageCallRecord> Calls;

    // Loaded, yet OnServicesReady never reached it.
    bool NeverReady() const;
};

struct MessageBoxRecord {
    std::uintptr_t Owner = 0;
    std::u16string Text;
    std::u16string Caption;
    std::uint32_t Flags = 0;
};

struct ShellLaunchRecord {
    std::u16string Operation, File, Parameters, Directory;
    int ShowCommand = 0;
};

struct ScenarioRecord {
    int Line = 0;
    std::string Command;
    std::vector<std::string> Args;
    std::string Outcome = "not run"; // passed, failed
    std::vector<std::string> Output;
    std::string Error;
    std::vector<std::string> DebuggerLines;
    double Seconds = 0;
};

// Bitmap and icon handles over the whole session: the ones still alive once
// the IDE has shut down, and deletes (DestroyIcon calls) of a handle that was
// already gone.
struct HandleAccount {
    bool Measured = false;
    long long BitmapsLeftAlive = 0;
    std::size_t BitmapsDeletedTwice = 0;
    long long IconsLeftAlive = 0;
    std::size_t IconsDestroyedTwice = 0;

    bool Clean() const noexcept
    {
        return BitmapsLeftAlive == 0 && BitmapsDeletedTwice == 0 && IconsLeftAlive == 0 && IconsDestroyedTwice == 0;
    }
    // "N bitmap(s) left alive, N deleted twice; N icon(s) left alive, N destroyed twice"
    std::string Summary() const;
};

// talvix-sim's exit status: a problem of the simulator's own (its input, a
// scenario step, --check-handles) comes before a package's failure.
inline constexpr int kExitProblems = 1;
inline constexpr int kExitPackageFailures = 2;

struct Report {
    std::string Version;
    std::string WizardPath;
    bool EntryFound = false;
    bool EntryResult = false;
    bool TerminateReceived = false;
    std::vector<PackageRecord> Packages;
    RegistryRecord Registry;
    // What the services still waited for when packages never heard
    // OnServicesReady; empty when nothing waited.
    std::string NeverReadyReason;
    std::vector<MessageBoxRecord> MessageBoxes;
    std::vector<std::u16string> DebugOutput;
    std::vector<ShellLaunchRecord> ShellLaunches;
    ServicesReport Services;
    std::vector<ScenarioRecord> Scenario;
    // The main menu just before shutdown, while the packages are still loaded.
    std::vector<MenuItemRecord> MainMenu;
    // The toolbars at the same moment.
    std::vector<ToolbarRecord> Toolbars;
    // The tool windows at the same moment, and what the desktop's shutdown
    // then did with the forms its registered fields held.
    std::vector<ToolWindowRecord> ToolWindows;
    std::vector<DesktopFieldRecord> DesktopFreedAtShutdown;
    // The editor windows and the open modules at the same moment.
    EditorWindowsRecord EditorWindows;
    // The modules, their notifiers and the file systems at the same moment.
    ModulesRecord Modules;
    std::vector<std::u16string> ShutdownOrder;
    HandleAccount Handles;
    std::vector<std::string> Problems; // the simulator's own errors (bad files, missing libraries)
    // Off, the report leaves out every duration, so that two runs of one
    // session give the same bytes.
    bool Timings = true;

    // Scenario steps with that outcome.
    std::size_t StepCount(std::string_view outcome) const;

    PackageRecord& PackageFor(const std::u16string& subkey);
    // A package that failed to load, raised, or never heard OnServicesReady.
    bool PackageFailed() const;
    int ExitStatus() const;
    nlohmann::json ToJson() const;
    std::string ToText() const;

private:
    // Under a package whose class nobody registered: the registered classes
    // one hex digit off, and where the list named it.
    std::string ClassNotRegisteredText(const std::u16string& subkey) const;
};

// A message text with its control characters escaped, so LF CR shows as it is.
std::string Escaped(const std::u16string& text);

} // namespace tvx::sim
