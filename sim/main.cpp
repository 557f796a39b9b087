// talvix-sim: the simulated IDE on the command line.
#include "host/win32/GdiEmulation.h"
#include "sim/Session.h"

#include <CLI/CLI.hpp>

#include <iostream>

int main(int argc, char** argv)
{
    CLI::App app{"talvix-sim " TVX_VERSION ": a simulated RAD Studio XE that loads the Talvix Products Loader "
                 "and its packages, runs a session and reports what happened."};
    tvx::sim::SessionOptions options;
    bool json = false;
    app.add_option("--reg", options.RegFiles,
                   "A .reg file to import into the registry first (Windows Registry Editor Version 5.00 or "
                   "REGEDIT4); repeatable. The package list lives under HKEY_LOCAL_MACHINE\\Software\\Talvix\\"
                   "Orvello\\RAD Studio XE\\Packages.")
        ->check(CLI::ExistingFile);
    app.add_option("--register", options.Servers,
                   "A package library to register as regsvr32 would (calls its DllRegisterServer); a relative "
                   "path starts at the current folder; repeatable.")
        ->check(CLI::ExistingFile);
    app.add_option("--wizard", options.WizardPath,
                   "The wizard library to load (default: TalvixLoader.so next to "
                   "this program).");
    app.add_option("--scenario", options.ScenarioPath,
                   "A scenario file: steps the simulated user performs between start-up and shutdown "
                   "(see --help-scenario).")
        ->check(CLI::ExistingFile);
    app.add_flag("--json", json, "Print the report as JSON.");
    app.add_flag_callback(
        "--keep-going", [&] { options.AfterStepFailure = tvx::sim::AfterFailure::KeepGoing; },
        "Run the scenario's steps after a failed one too; the report counts the failures.");
    app.add_flag_callback(
        "--no-timings", [&] { options.Timings = false; },
        "Leave every duration out of the report, so that two runs give the same bytes.");
#if !defined(_WIN32)
    // Pictures are drawn with cairo, which the Windows build does not have.
    app.add_option("--picture", options.PicturePath,
                   "Draw the IDE at the end of the session (before shutdown) into a PNG or SVG file: the menus "
                   "that hold package items opened, the toolbars, tool windows and editor tabs.");
    // Only the emulated system keeps the handle account.
    bool checkHandles = false;
    app.add_flag("--check-handles", checkHandles,
                 "Fail the run when a bitmap or icon handle is left alive after shutdown or deleted twice.");
#endif
    bool scenarioHelp = false;
    app.add_flag("--help-scenario", scenarioHelp, "List the scenario commands and exit.");
    app.set_version_flag("--version", std::string(TVX_VERSION));
    app.footer("Exit status: 0 when the session ran clean; 1 when the simulator's own input or a step failed "
               "(a file, a library, a scenario step, --check-handles); 2 when a package failed to load, raised, "
               "or never reached OnServicesReady.");
    CLI11_PARSE(app, argc, argv);
    if (scenarioHelp) {
        std::cout << tvx::sim::ScenarioReference();
        return 0;
    }

#if defined(_WIN32)
    tvx::sim::Report report = tvx::sim::RunSession(options);
#else
    // Counted around the whole session, so that the IDE's own bitmaps and
    // icons have come and gone and only what a package left behind remains.
    const std::size_t bitmapsBefore = tvx::win32::LiveBitmapCount();
    const std::size_t doubleDeletesBefore = tvx::win32::DoubleDeleteCount();
    const std::size_t iconsBefore = tvx::win32::LiveIconCount();
    const std::size_t doubleDestroysBefore = tvx::win32::DoubleDestroyIconCount();
    tvx::sim::Report report = tvx::sim::RunSession(options);
    tvx::sim::HandleAccount& handles = report.Handles;
    handles.Measured = true;
    handles.BitmapsLeftAlive =
        static_cast<long long>(tvx::win32::LiveBitmapCount()) - static_cast<long long>(bitmapsBefore);
    handles.BitmapsDeletedTwice = tvx::win32::DoubleDeleteCount() - doubleDeletesBefore;
    handles.IconsLeftAlive = static_cast<long long>(tvx::win32::LiveIconCount()) - static_cast<long long>(iconsBefore);
    handles.IconsDestroyedTwice = tvx::win32::DoubleDestroyIconCount() - doubleDestroysBefore;
    if (checkHandles && !handles.Clean())
        report.Problems.push_back("handles after shutdown: " + handles.Summary());
#endif
    if (json)
        std::cout << report.ToJson().dump(2) << "\n";
    else
        std::cout << report.ToText();
    return report.ExitStatus();
}
