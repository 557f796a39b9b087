// The C package, built against the header generated from the IDL, run in
// talvix-sim with its own package list and scenario: every call between it
// and the library crosses a method table laid out by the IDL on one side and
// by the C++ headers on the other.
#include "sim/Report.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/TestSupport.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using nlohmann::json;
using namespace tvx::test;

ProgramResult RunCPackage(const std::string& format)
{
    std::vector<std::string> command{BinaryDir() + "/talvix-sim",
                                     "--reg",
                                     SourceDir() + "/examples/CPackage/packages.reg",
                                     "--register",
                                     BinaryDir() + "/TalvixCPackage.so",
                                     "--scenario",
                                     SourceDir() + "/examples/CPackage/cpackage.scenario",
                                     "--check-handles",
                                     "--no-timings"};
    if (!format.empty())
        command.push_back(format);
    return RunProgram(command);
}

// Catches a slot or argument the IDL places differently from the C++
// headers: the package would fail to load, its menu item or click would go
// missing, or an expect step of its scenario would fail.
TEST(CPackageProgram, PassesEveryStepOfItsScenario)
{
    ProgramResult run = RunCPackage("--json");
    ASSERT_EQ(run.ExitCode, 0) << run.Err << run.Out;
    json report = json::parse(run.Out, nullptr, false);
    ASSERT_FALSE(report.is_discarded()) << run.Out;
    EXPECT_EQ(report.at("scenarioSteps").at("failed"), 0);
    EXPECT_EQ(report.at("scenarioSteps").at("notRun"), 0);
    EXPECT_EQ(report.at("scenarioSteps").at("passed"), 10);
    ASSERT_EQ(report.at("packages").size(), 1u);
    const json& package = report.at("packages").at(0);
    EXPECT_EQ(package.at("outcome"), "loaded");
    std::vector<std::string> calls;
    for (const json& call : package.at("calls")) {
        calls.push_back(call.at("method").get<std::string>());
        EXPECT_EQ(call.at("outcome"), "ok") << call.dump();
    }
    EXPECT_EQ(calls, (std::vector<std::string>{"Initialize", "OnServicesReady", "Finalize"}));
}

// Catches a Finalize that leaves its menu item in the IDE (RemoveMenuItem
// reached through a wrong slot answers a failure or is never called) or a
// handle left behind.
TEST(CPackageProgram, FinalizeTakesItsMenuItemOut)
{
    ProgramResult run = RunCPackage("");
    ASSERT_EQ(run.ExitCode, 0) << run.Err << run.Out;
    EXPECT_NE(run.Out.find("  CPackage: Finalize, its menu item removed\n"), std::string::npos) << run.Out;
    EXPECT_NE(run.Out.find("Handles: 0 bitmap(s) left alive, 0 deleted twice"), std::string::npos) << run.Out;
}

} // namespace
