#include "sim/Scenario.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace tvx::sim {

void ScenarioRunner::Register(ScenarioCommand command)
{
    std::string name = command.Name;
    commands_[name] = std::move(command);
}

std::vector<std::string> SplitScenarioLine(std::string_view line)
{
    std::vector<std::string> parts;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i >= line.size())
            break;
        std::string part;
        if (line[i] == '"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c == '\\' && i < line.size() && (line[i] == '"' || line[i] == '\\'))
                    c = line[i++];
                part += c;
            }
            if (!closed)
                throw ScenarioError("unterminated quoted argument");
            if (i < line.size() && line[i] != ' ' && line[i] != '\t')
                throw ScenarioError("text directly after a quoted argument");
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t')
                part += line[i++];
        }
        parts.push_back(std::move(part));
    }
    return parts;
}

long long ScenarioInteger(const std::string& text)
{
    if (text.empty())
        throw ScenarioError("expected a number, got nothing");
    errno = 0;
    char* end = nullptr;
    long long value = std::strtoll(text.c_str(), &end, 0);
    if (errno != 0 || !end || *end != '\0')
        throw ScenarioError("expected a number, got '" + text + "'");
    return value;
}

std::vector<ScenarioStep> ScenarioRunner::Parse(std::string_view text) const
{
    std::vector<ScenarioStep> steps;
    int lineNumber = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        ++lineNumber;
        start = end + 1;

        std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos || line[first] == '#')
            continue;
        auto fail = [&](const std::string& message) {
            throw ScenarioError("line " + std::to_string(lineNumber) + ": " + message);
        };
        std::vector<std::string> parts;
        try {
            parts = SplitScenarioLine(line);
        } catch (const ScenarioError& e) {
            fail(e.what());
        }
        ScenarioStep step{lineNumber, parts.front(), {parts.begin() + 1, parts.end()}};
        auto command = commands_.find(step.Command);
        if (command == commands_.end())
            fail("unknown command '" + step.Command + "'");
        const ScenarioCommand& c = command->second;
        if (step.Args.size() < c.MinArgs || step.Args.size() > c.MaxArgs)
            fail("wrong number of arguments; usage: " + c.Usage);
        steps.push_back(std::move(step));
    }
    return steps;
}

std::vector<ScenarioStepResult> ScenarioRunner::Run(const std::vector<ScenarioStep>& steps) const
{
    std::vector<ScenarioStepResult> results;
    for (const ScenarioStep& step : steps) {
        ScenarioStepResult result{step, {}, {}};
        try {
            result.Output = commands_.at(step.Command).Run(step);
        } catch (const std::exception& e) {
            result.Error = e.what();
        }
        bool failed = !result.Error.empty();
        results.push_back(std::move(result));
        if (failed)
            break;
    }
    return results;
}

std::string ScenarioRunner::Reference() const
{
    std::ostringstream out;
    for (const auto& [name, command] : commands_)
        out << "  " << command.Usage << "\n      " << command.Description << "\n";
    return out.str();
}

} // namespace tvx::sim
