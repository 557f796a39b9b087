// A package's own tests, in one process: each test starts the simulated IDE
// with the package and a package list, runs a few steps and reads the
// report as data. Sessions follow one another; each starts on a fresh machine.
#include "sim/Session.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr const char* kPackageList = R"(Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\Software\Talvix\Orvello\RAD Studio XE\Packages\{5B0D6E4A-3C1F-4E8B-9A27-6D2F0C8E1A01}]
@="Example Package"
"LoadOrder"=dword:0000000a
)";

tvx::sim::Report RunWithExample(const std::string& steps)
{
    tvx::sim::SessionOptions options;
    options.RegTexts = {kPackageList};
    options.Servers = {TVX_EXAMPLE_PACKAGE};
    options.WizardPath = TVX_WIZARD_LIBRARY;
    options.ScenarioText = steps;
    options.Timings = false;
    return tvx::sim::RunSession(options);
}

bool Logged(const tvx::sim::Report& report, const std::u16string& line)
{
    return std::find(report.DebugOutput.begin(), report.DebugOutput.end(), line) != report.DebugOutput.end();
}

TEST(ExamplePackage, LoadsAndAnswersItsMenuItem)
{
    tvx::sim::Report report = RunWithExample("choose ToolsMenu\\TalvixExampleMenu\\TalvixExampleHello\n");
    ASSERT_TRUE(report.Problems.empty()) << report.ToText();
    ASSERT_EQ(report.Packages.size(), 1u);
    EXPECT_EQ(report.Packages[0].Outcome, "loaded");
    EXPECT_FALSE(report.PackageFailed());
    EXPECT_TRUE(Logged(report, u"ExamplePackage: Finalize"));
    EXPECT_EQ(report.StepCount("passed"), 1u);
}

TEST(ExamplePackage, ExpectStepsCheckItsToolbarAndOption)
{
    tvx::sim::Report report = RunWithExample("choose ToolsMenu\\TalvixExampleMenu\\TalvixExampleOption\n"
                                             "expect menu-item ToolsMenu\\TalvixExampleMenu\\TalvixExampleOption "
                                             "checked true\n"
                                             "expect toolbar TalvixExampleToolBar exists true\n");
    EXPECT_TRUE(report.Problems.empty()) << report.ToText();
    EXPECT_EQ(report.StepCount("failed"), 0u);
}

// A session after others in the same process starts clean: nothing of the
// earlier sessions' registry or records shows (handles differ: they are
// never reused).
TEST(ExamplePackage, SessionsFollowOneAnotherInOneProcess)
{
    const tvx::sim::Report first = RunWithExample("note \"first\"\n");
    tvx::sim::SessionOptions noList;
    noList.WizardPath = TVX_WIZARD_LIBRARY;
    const tvx::sim::Report second = tvx::sim::RunSession(noList);
    EXPECT_TRUE(second.Packages.empty());
    EXPECT_EQ(second.Registry.PackageListFound, "missing");
    const tvx::sim::Report third = RunWithExample("note \"first\"\n");
    ASSERT_TRUE(third.Problems.empty()) << third.ToText();
    EXPECT_EQ(third.DebugOutput, first.DebugOutput);
    EXPECT_EQ(third.MainMenu.size(), first.MainMenu.size());
}

} // namespace
