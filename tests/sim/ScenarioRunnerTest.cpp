// The scenario runner: what a failing step leaves in the results, and the
// expect steps against a started IDE.
#include "host/win32/Kernel.h"
#include "host/win32/User.h"
#include "interop/Bstr.h"
#include "sim/Expectations.h"
#include "sim/Scenario.h"
#include "tests/support/StartedIdeFixture.h"

#include <gtest/gtest.h>

namespace {

using tvx::sim::AfterFailure;
using tvx::sim::MatchesPattern;
using tvx::sim::ScenarioError;
using tvx::sim::ScenarioRunner;
using tvx::sim::ScenarioStep;
using tvx::sim::StepOutcome;

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

// Catches a run that stops after a failure when told to keep going, a
// failure without a message taken for a pass, and a step given another
// step's debugger lines.
TEST(ScenarioRunnerTest, KeepGoingRunsEveryStepWithItsOwnOutcomeAndDebuggerLines)
{
    tvx::win32::StartRecording();
    ScenarioRunner runner;
    runner.Register({"log", "log", "", 0, 0, [](const ScenarioStep&) {
                         OutputDebugStringW(tvx::AsOleChar(u"step line"));
                         return std::vector<std::string>{};
                     }});
    runner.Register(
        {"fail", "fail", "", 0, 0, [](const ScenarioStep&) -> std::vector<std::string> { throw ScenarioError(""); }});

    auto results = runner.Run(runner.Parse("fail\nlog\nfail"), AfterFailure::KeepGoing);
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0].Outcome, StepOutcome::Failed);
    EXPECT_NE(results[0].Error, "");
    EXPECT_EQ(results[1].Outcome, StepOutcome::Passed);
    EXPECT_EQ(results[1].DebuggerLines, std::vector<std::string>{"step line"});
    EXPECT_EQ(results[2].Outcome, StepOutcome::Failed);
    EXPECT_TRUE(results[2].DebuggerLines.empty());
}

// Catches a scenario file read other than as .reg files are: a BOM names
// UTF-8 or UTF-16 of either byte order.
TEST(ScenarioRunnerTest, ScenarioFilesInEveryEncodingGiveTheSameText)
{
    using tvx::sim::DecodeScenarioBytes;
    EXPECT_EQ(DecodeScenarioBytes("\xEF\xBB\xBFnote \xC3\xA9"), "note \xC3\xA9");
    EXPECT_EQ(DecodeScenarioBytes(std::string("\xFF\xFEn\0\xE9\0", 6)), "n\xC3\xA9");
    EXPECT_EQ(DecodeScenarioBytes(std::string("\xFE\xFF\0n\0\xE9", 6)), "n\xC3\xA9");
}

// Catches a star that cannot match nothing or a run, or a pattern that
// matches only a prefix of the text.
TEST(ScenarioRunnerTest, PatternsMatchWholeTextsWithStarsForAnyRun)
{
    EXPECT_FALSE(MatchesPattern("Say", "Say &Hello"));
    EXPECT_TRUE(MatchesPattern("*Finalize*", "ExamplePackage: Finalize"));
    EXPECT_TRUE(MatchesPattern("*ab", "aab"));
    EXPECT_TRUE(MatchesPattern("a*b*c", "aXbYbc"));
    EXPECT_FALSE(MatchesPattern("a*b*c", "aXbYcb"));
}

class ExpectStepTest : public tvx::test::StartedIdeTest {
protected:
    // The failure message of a step that must fail.
    std::string Failure(const std::string& text)
    {
        auto results = Run(text);
        EXPECT_EQ(results.size(), 1u);
        EXPECT_EQ(results.at(0).Outcome, StepOutcome::Failed) << text;
        return results.at(0).Error;
    }
    // The parse error of a step refused before the run.
    std::string Refusal(const std::string& text)
    {
        try {
            runner.Parse(text);
        } catch (const ScenarioError& e) {
            return e.what();
        }
        ADD_FAILURE() << "not refused: " << text;
        return {};
    }
};

// Catches an expectation on the menu or a toolbar that passes on a wrong
// value, or fails without saying what it expected and found.
TEST_F(ExpectStepTest, MenuAndToolbarValuesPassOrSayWhatWasFound)
{
    Step("expect menu-item FileMenu\\FileSaveItem shortcut Ctrl+S");
    Step("expect menu-item FileMenu\\FileSaveItem made-by ide");
    Step("expect menu-item FileMenu\\N1 separator true");
    Step("expect menu-item FileMenu\\NoSuchItem exists false");
    Step("expect toolbar-control StandardToolBar SaveButton enabled true");
    EXPECT_EQ(Failure("expect menu-item FileMenu\\FileSaveItem caption Save"),
              "menu-item FileMenu\\FileSaveItem: expected caption \"Save\", found \"&Save\"");
    EXPECT_EQ(Failure("expect menu-item FileMenu\\NoSuchItem enabled true"),
              "menu-item FileMenu\\NoSuchItem: expected enabled true, found no menu-item");
    EXPECT_EQ(Failure("expect toolbar NoSuchToolBar"), "toolbar NoSuchToolBar: expected to find it, found none");
}

// Catches debugger lines, message boxes or package outcomes read from the
// wrong record, or message texts compared other than as the report shows them.
TEST_F(ExpectStepTest, DebuggerLinesMessageBoxesAndPackagesAreCountedAndCompared)
{
    OutputDebugStringW(tvx::AsOleChar(u"pkg: hello"));
    MessageBoxW(nullptr, tvx::AsOleChar(u"first\n\rsecond"), tvx::AsOleChar(u"Pkg"), MB_OK);
    report.PackageFor(u"{X}").Outcome = "failed";
    Step("expect debugger \"pkg: *\"");
    Step("expect message-box \"first\\n\\rsecond\" caption Pkg");
    EXPECT_EQ(Failure("expect debugger \"pkg: *\" count 2"), "debugger \"pkg: *\": expected count 2, found 1");
    EXPECT_EQ(Failure("expect package {X} outcome loaded"),
              "package {X}: expected outcome \"loaded\", found \"failed\"");
}

// Catches a malformed expectation that waits for the run to fail, or is
// refused without its line.
TEST_F(ExpectStepTest, MalformedExpectationsAreRefusedBeforeTheRun)
{
    EXPECT_EQ(Refusal("note x\nexpect window Main"),
              "line 2: nothing to expect called 'window' (expect menu-item, toolbar, toolbar-control, debugger, "
              "message-box, package)");
    EXPECT_EQ(Refusal("expect toolbar StandardToolBar colour red").rfind("line 1: toolbar has no property 'colour'", 0),
              0u);
    EXPECT_EQ(Refusal("expect toolbar StandardToolBar visible yes"), "line 1: visible is true or false, not 'yes'");
    EXPECT_EQ(Refusal("expect debugger x count"),
              "line 1: wrong number of arguments; usage: expect debugger <line> [<property> <value>]");
}

} // namespace
