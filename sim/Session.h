// One run of the simulated IDE: registry set-up, start-up with the wizard
// library, the session itself and shutdown.
#pragma once

#include "sim/Report.h"
#include "sim/Scenario.h"

#include <string>
#include <vector>

namespace tvx::sim {

struct SessionOptions {
    // Each session starts on a fresh machine: the emulated registry is
    // emptied and the records of earlier sessions are dropped. On Windows
    // the registry is the machine's and stays.
    bool FreshMachine = true;
    std::vector<std::string> RegFiles;
    // .reg texts imported after the files, as a file's bytes are.
    std::vector<std::string> RegTexts;
    // Package libraries to register first, as regsvr32 would.
    std::vector<std::string> Servers;
    std::string WizardPath;
    // Steps run between start-up and shutdown (see sim/Scenario.h).
    std::string ScenarioPath;
    // Steps as text, for callers in the same process; used when there is
    // no ScenarioPath.
    std::string ScenarioText;
    // A picture of the IDE at the end of the session, just before shutdown
    // (.png or .svg); none when empty. Not on Windows.
    std::string PicturePath;
    AfterFailure AfterStepFailure = AfterFailure::Stop;
    // Off, the report leaves out durations (see Report::Timings).
    bool Timings = true;
};

// Runs a whole session; what went wrong with the inputs is in Report::Problems.
// Sessions may follow one another in one process (one at a time): a test of
// a package runs as many as it likes.
Report RunSession(const SessionOptions& options);

// The scenario language's commands, as a reference text.
std::string ScenarioReference();

// The wizard library built next to the running program.
std::string DefaultWizardPath();

} // namespace tvx::sim
