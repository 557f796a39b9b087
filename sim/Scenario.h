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
};

struct ScenarioStepResult {
    ScenarioStep Step;
    std::vector<std::string> Output;
    std::string Error; // empty when the step succeeded
};

class ScenarioRunner {
public:
    void Register(ScenarioCommand command);
    const std::map<std::string, ScenarioCommand>& Commands() const noexcept { return commands_; }

    // Splits the text into steps; a malformed line throws ScenarioError
    // naming its line. Unknown commands and wrong argument counts are
    // refused here, before any step runs.
    std::vector<ScenarioStep> Parse(std::string_view text) const;

    // Runs the steps in order; a failing step is reported and the run stops
    // there, so later steps never act on a state nobody expected.
    std::vector<ScenarioStepResult> Run(const std::vector<ScenarioStep>& steps) const;

    // The reference of every registered command, for --help.
    std::string Reference() const;

private:
    std::map<std::string, ScenarioCommand> commands_;
};

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
