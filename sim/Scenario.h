// The scenario language: one step per line, a command followed by its
// arguments. Arguments are separated by blanks; an argument with blanks or
// quotes is written in double quotes with \" and \\ escapes. '#' starts a
// comment line. Each subsystem of the simulated IDE registers its commands.
#pragma once

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tvx::sim {

// A step's failure; the runner adds the line number.
class ScenarioError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ScenarioStep {
    int Line = 0;
    std::string Command;
    std::vector<std::string> Args;
};

struct ScenarioCommand {
    std::string Name;
    std::string Usage;       // e.g. "choose <menu path>"
    std::string Description; // one line for --help-scenario
    std::size_t MinArgs = 0;
    std::size_t MaxArgs = 0;
    // Runs the step and returns what it did, one line per entry, for the report.
    std::function<std::vector<std::string>(const ScenarioStep&)> Run;
    // Refuses a malformed step before any step runs (throws ScenarioError);
    // for commands whose arguments the counts alone do not check.
    std::function<void(const ScenarioStep&)> Check = {};
};

enum class StepOutcome { Passed, Failed, NotRun };

// "passed", "failed", "not run": as the report writes it.
const char* StepOutcomeText(StepOutcome outcome) noexcept;

struct ScenarioStepResult {
    ScenarioStep Step;
    StepOutcome Outcome = StepOutcome::NotRun;
    std::vector<std::string> Output;
    std::string Error; // empty unless the step failed
    // What the packages and the IDE wrote to the debugger during the step.
    std::vector<std::string> DebuggerLines;
    double Seconds = 0;
};

// After a failed step the run stops, so that later steps never act on a
// state nobody expected, or goes on, so that a test run counts every failure.
enum class AfterFailure { Stop, KeepGoing };

class ScenarioRunner {
public:
    void Register(ScenarioCommand command);
    const std::map<std::string, ScenarioCommand>& Commands() const noexcept { return commands_; }

    // Splits the text into steps; a malformed line throws ScenarioError
    // naming its line. Unknown commands and wrong argument counts are
    // refused here, before any step runs.
    std::vector<ScenarioStep> Parse(std::string_view text) const;

    // Runs the steps in order, each with its result; a stop after a failed
    // step leaves the rest without one.
    std::vector<ScenarioStepResult> Run(const std::vector<ScenarioStep>& steps,
                                        AfterFailure afterFailure = AfterFailure::Stop) const;

    // The reference of every registered command, for --help.
    std::string Reference() const;

private:
    std::map<std::string, ScenarioCommand> commands_;
};

// A scenario file's bytes as UTF-8 text, decoded as .reg files are: a BOM
// says UTF-8 or UTF-16 LE/BE.
std::string DecodeScenarioBytes(std::string_view bytes);

// Splits one line into arguments; throws ScenarioError on an open quote.
std::vector<std::string> SplitScenarioLine(std::string_view line);

// Reads an integer argument (decimal, or hexadecimal with 0x); throws ScenarioError.
long long ScenarioInteger(const std::string& text);
// The same for an argument of a narrower type: a number outside [min, max]
// is refused rather than wrapped around.
long long ScenarioInteger(const std::string& text, long long min, long long max);

// How many debugger lines have been written so far; a step's own follow.
std::size_t DebuggerLineCount();
// The step's lines followed by the debugger lines written since `before`,
// so that the report shows what reached the packages during the step.
std::vector<std::string> WithDebuggerLines(std::vector<std::string> lines, std::size_t before);
// A text of several lines as one entry per line.
std::vector<std::string> TextLines(const std::string& text);

} // namespace tvx::sim
