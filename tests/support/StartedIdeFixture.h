// A fresh simulated IDE past its start-up (windows made, toolbars loaded),
// with the user's scenario steps and the expect steps, which read packages
// from `report`.
#pragma once

#include "sim/Expectations.h"
#include "sim/Report.h"
#include "sim/Scenario.h"
#include "sim/SimulatedIde.h"
#include "tests/support/HostFixture.h"

#include <string>
#include <vector>

namespace tvx::test {

class StartedIdeTest : public FreshMachineTest<sim::SimulatedIde> {
protected:
    void SetUp() override
    {
        FreshMachineTest::SetUp();
        Ide().RegisterCommands(runner);
        sim::RegisterExpectations(runner, Ide(), report);
        Ide().AfterWizardEntry();
    }

    std::vector<sim::ScenarioStepResult> Run(const std::string& text) { return runner.Run(runner.Parse(text)); }
    // A step that must succeed; what it printed.
    std::vector<std::string> Step(const std::string& text)
    {
        auto results = Run(text);
        EXPECT_EQ(results.size(), 1u);
        EXPECT_EQ(results.at(0).Error, "") << text;
        return results.at(0).Output;
    }

    sim::Report report;
    sim::ScenarioRunner runner;
};

} // namespace tvx::test
