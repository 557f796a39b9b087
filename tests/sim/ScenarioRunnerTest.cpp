// The scenario runner: what a failing step leaves in the results.
#include "sim/Scenario.h"

#include <gtest/gtest.h>

namespace {

using tvx::sim::ScenarioRunner;
using tvx::sim::ScenarioStep;

// Catches a step that raises something other than a std::exception (as
// code reached from the library may) escaping the runner and ending the
// program instead of failing that step.
TEST(ScenarioRunnerTest, StepRaisingAnythingFailsAndStopsTheRun)
{
    ScenarioRunner runner;
    std::vector<std::string> ran;
    runner.Register({"raise", "raise", "", 0, 0, [&](const ScenarioStep&) -> std::vector<std::string> {
                         ran.push_back("raise");
                         throw 42;
                     }});
    runner.Register({"mark", "mark", "", 0, 0, [&](const ScenarioStep&) {
                         ran.push_back("mark");
                         return std::vector<std::string>{};
                     }});

    auto results = runner.Run(runner.Parse("mark\nraise\nmark"));
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].Error, "");
    EXPECT_EQ(results[1].Error, "Unknown error");
    EXPECT_EQ(ran, (std::vector<std::string>{"mark", "raise"}));
}

} // namespace
