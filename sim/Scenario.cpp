#include "sim/Scenario.h"

#include "host/win32/Recorder.h"
#include "host/win32/RegFile.h"
#include "interop/Guard.h"
#include "interop/Utf.h"

#include <chrono>
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
    // Read by hand rather than with strtoll, which takes a leading zero for
    // octal, skips leading blanks and stops at an embedded NUL.
    if (text.empty())
        throw ScenarioError("expected a number, got nothing");
    auto notANumber = [&] { return ScenarioError("expected a number, got '" + text + "'"); };
    std::size_t i = 0;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-')
        negative = text[i++] == '-';
    unsigned base = 10;
    if (text.size() - i > 2 && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size())
        throw notANumber();
    const unsigned long long limit = negative ? 0x8000000000000000ull : 0x7FFFFFFFFFFFFFFFull;
    unsigned long long magnitude = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        const unsigned digit = (c >= '0' && c <= '9')   ? unsigned(c - '0')
                               : (c >= 'a' && c <= 'f') ? unsigned(c - 'a' + 10)
                               : (c >= 'A' && c <= 'F') ? unsigned(c - 'A' + 10)
                                                        : base;
        if (digit >= base || magnitude > (limit - digit) / base)
            throw notANumber();
        magnitude = magnitude * base + digit;
    }
    return negative ? static_cast<long long>(0ull - magnitude) : static_cast<long long>(magnitude);
}

long long ScenarioInteger(const std::string& text, long long min, long long max)
{
    const long long value = ScenarioInteger(text);
    if (value < min || value > max)
        throw ScenarioError("the number " + text + " is out of range (" + std::to_string(min) + " to " +
                            std::to_string(max) + ")");
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
        if (c.Check) {
            try {
                c.Check(step);
            } catch (const ScenarioError& e) {
                fail(e.what());
            }
        }
        steps.push_back(std::move(step));
    }
    return steps;
}

const char* StepOutcomeText(StepOutcome outcome) noexcept
{
    switch (outcome) {
    case StepOutcome::Passed: return "passed";
    case StepOutcome::Failed: return "failed";
    case StepOutcome::NotRun: break;
    }
    return "not run";
}

std::vector<ScenarioStepResult> ScenarioRunner::Run(const std::vector<ScenarioStep>& steps,
                                                    AfterFailure afterFailure) const
{
    std::vector<ScenarioStepResult> results;
    for (const ScenarioStep& step : steps) {
        ScenarioStepResult result;
        result.Step = step;
        const std::size_t debugLines = DebuggerLineCount();
        const auto start = std::chrono::steady_clock::now();
        try {
            result.Output = commands_.at(step.Command).Run(step);
            result.Outcome = StepOutcome::Passed;
        } catch (...) {
            // Steps reach code of the library and its packages, which may raise anything.
            std::u16string buffer;
            result.Error = Utf16ToUtf8(tvx::CurrentExceptionText(buffer));
            if (result.Error.empty())
                result.Error = "the step raised an error without a message";
            result.Outcome = StepOutcome::Failed;
        }
        result.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::vector<std::u16string> all = win32::DebugStrings();
        for (std::size_t i = debugLines; i < all.size(); ++i)
            result.DebuggerLines.push_back(Utf16ToUtf8(all[i]));
        const bool stop = result.Outcome == StepOutcome::Failed && afterFailure == AfterFailure::Stop;
        results.push_back(std::move(result));
        if (stop)
            break;
    }
    return results;
}

std::string DecodeScenarioBytes(std::string_view bytes) { return Utf16ToUtf8(win32::DecodeTextFileBytes(bytes)); }

std::size_t DebuggerLineCount() { return win32::DebugStrings().size(); }

std::vector<std::string> WithDebuggerLines(std::vector<std::string> lines, std::size_t before)
{
    std::vector<std::u16string> all = win32::DebugStrings();
    for (std::size_t i = before; i < all.size(); ++i)
        lines.push_back("debugger: " + Utf16ToUtf8(all[i]));
    return lines;
}

std::vector<std::string> TextLines(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string ScenarioRunner::Reference() const
{
    std::ostringstream out;
    for (const auto& [name, command] : commands_)
        out << "  " << command.Usage << "\n      " << command.Description << "\n";
    return out.str();
}

} // namespace tvx::sim
