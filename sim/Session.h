// One run of the simulated IDE: registry set-up, start-up with the wizard
// library, the session itself and shutdown.
#pragma once

#include "sim/Report.h"
#include "sim/Scenario.h"

#include <string>
#include <vector>

namespace tvx::sim {

struct SessionOptions {
    std::vector<std::string> RegFiles;
    // Package libraries to register first, as regsvr32 would.
    std::vector<std::string> Servers;
    std::string WizardPath;
    // Steps run between start-up and shutdown (see sim/Scenario.h).
    std::string ScenarioPath;
    AfterFailure AfterStepFailure = AfterFailure::Stop;
    // Off, the report leaves out durations (see Report::Timings).
    bool Timings = true;
};

// Runs a whole session; what went wrong with the inputs is in Report::Problems.
Report RunSession(const SessionOptions& options);

// The scenario language's commands, as a reference text.
std::string ScenarioReference();

// The wizard library built next to the running program.
std::string DefaultWizardPath();

} // namespace tvx::sim
