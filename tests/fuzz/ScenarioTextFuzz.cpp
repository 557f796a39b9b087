// The scenario language on arbitrary text, checked against the simulated
// IDE's real command table: lines split back to what quoting them again
// gives, a parsed scenario written out again parses to the same steps, and
// numbers read exactly as the language writes them. The text is also read
// as a scenario file is, decoded from its bytes.
#include "FuzzCheck.h"

#include "sim/Expectations.h"
#include "sim/Report.h"
#include "sim/Scenario.h"
#include "sim/SimulatedIde.h"

#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using tvx::sim::ScenarioError;
using tvx::sim::ScenarioRunner;
using tvx::sim::ScenarioStep;

// Built once: the commands are what every run sees. Never destroyed, as
// libFuzzer may stop the process at any point.
ScenarioRunner* runner = nullptr;

std::string Quoted(std::string_view part)
{
    std::string out = "\"";
    for (char c : part) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string Joined(const std::string& command, const std::vector<std::string>& args)
{
    std::string line = Quoted(command);
    for (const auto& arg : args)
        line += " " + Quoted(arg);
    return line;
}

// Decimal, or hexadecimal after 0x, optionally signed, nothing else, and
// within the range of long long.
std::optional<long long> NumberValue(std::string_view text)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    unsigned base = 10;
    if (text.size() - i > 2 && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size())
        return std::nullopt;
    unsigned __int128 magnitude = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        unsigned digit = c >= '0' && c <= '9'   ? unsigned(c - '0')
                         : c >= 'a' && c <= 'f' ? unsigned(c - 'a' + 10)
                         : c >= 'A' && c <= 'F' ? unsigned(c - 'A' + 10)
                                                : 99;
        if (digit >= base)
            return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > (unsigned __int128)LLONG_MAX + 1)
            return std::nullopt;
    }
    if (negative)
        return magnitude == (unsigned __int128)LLONG_MAX + 1 ? LLONG_MIN : -(long long)magnitude;
    if (magnitude > (unsigned __int128)LLONG_MAX)
        return std::nullopt;
    return (long long)magnitude;
}

void CheckNumber(const std::string& text)
{
    std::optional<long long> expected = NumberValue(text);
    try {
        long long value = tvx::sim::ScenarioInteger(text);
        FUZZ_CHECK(expected && *expected == value);
    } catch (const ScenarioError&) {
        FUZZ_CHECK(!expected);
    }
}

void CheckLine(std::string_view line)
{
    std::vector<std::string> parts;
    try {
        parts = tvx::sim::SplitScenarioLine(line);
    } catch (const ScenarioError&) {
        FUZZ_CHECK(line.find('"') != std::string_view::npos);
        return;
    }
    for (const auto& part : parts) {
        CheckNumber(part);
        if (line.find('"') == std::string_view::npos)
            FUZZ_CHECK(!part.empty() && part.find_first_of(" \t") == std::string::npos);
    }
    if (parts.empty())
        return;
    std::vector<std::string> args(parts.begin() + 1, parts.end());
    FUZZ_CHECK(tvx::sim::SplitScenarioLine(Joined(parts.front(), args)) == parts);
}

void CheckScenario(std::string_view text)
{
    std::vector<ScenarioStep> steps;
    try {
        steps = runner->Parse(text);
    } catch (const ScenarioError& e) {
        FUZZ_CHECK(std::string_view(e.what()).substr(0, 5) == "line ");
        return;
    }
    std::string again;
    int line = 0;
    for (const ScenarioStep& step : steps) {
        FUZZ_CHECK(step.Line > line);
        auto command = runner->Commands().find(step.Command);
        FUZZ_CHECK(command != runner->Commands().end());
        FUZZ_CHECK(step.Args.size() >= command->second.MinArgs && step.Args.size() <= command->second.MaxArgs);
        // Same line numbers: blank lines where the text had others.
        for (++line; line < step.Line; ++line)
            again += "\n";
        again += Joined(step.Command, step.Args) + "\n";
    }
    std::vector<ScenarioStep> reparsed = runner->Parse(again);
    FUZZ_CHECK(reparsed.size() == steps.size());
    for (std::size_t i = 0; i < steps.size(); ++i) {
        FUZZ_CHECK(reparsed[i].Line == steps[i].Line);
        FUZZ_CHECK(reparsed[i].Command == steps[i].Command);
        FUZZ_CHECK(reparsed[i].Args == steps[i].Args);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static tvx::sim::SimulatedIde* ide = new tvx::sim::SimulatedIde();
    runner = new ScenarioRunner();
    ide->RegisterCommands(*runner);
    tvx::sim::RegisterExpectations(*runner, *ide, *new tvx::sim::Report());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckNumber(std::string(text));
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        CheckLine(text.substr(start, end - start));
        start = end + 1;
    }
    CheckScenario(text);
    CheckScenario(tvx::sim::DecodeScenarioBytes(text));
    return 0;
}
