// talvix-sim: the simulated IDE on the command line.
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
                   "A package library to register as regsvr32 would (calls its DllRegisterServer); repeatable.")
        ->check(CLI::ExistingFile);
    app.add_option("--wizard", options.WizardPath, "The wizard library to load (default: TalvixLoader.so next to "
                                                   "this program).");
    app.add_option("--scenario", options.ScenarioPath,
                   "A scenario file: steps the simulated user performs between start-up and shutdown "
                   "(see --help-scenario).")
        ->check(CLI::ExistingFile);
    app.add_flag("--json", json, "Print the report as JSON.");
    bool scenarioHelp = false;
    app.add_flag("--help-scenario", scenarioHelp, "List the scenario commands and exit.");
    app.set_version_flag("--version", std::string(TVX_VERSION));
    CLI11_PARSE(app, argc, argv);
    if (scenarioHelp) {
        std::cout << tvx::sim::ScenarioReference();
        return 0;
    }

    tvx::sim::Report report = tvx::sim::RunSession(options);
    if (json)
        std::cout << report.ToJson().dump(2) << "\n";
    else
        std::cout << report.ToText();
    return report.Problems.empty() ? 0 : 1;
}
