// The simulated IDE's toolbar steps as scenarios run them, and the
// toolbars as the report shows them.
#include "tests/toolbars/ToolbarFixture.h"

#include "interop/Utf.h"
#include "sim/Scenario.h"

namespace {

using namespace tvx::test;
using tvx::Bstr;
using tvx::IntfPtr;
using tvx::sim::ScenarioStepResult;

class SimToolbarsTest : public ToolbarFixture {
protected:
    void SetUp() override
    {
        ToolbarFixture::SetUp();
        Ide().RegisterCommands(runner);
        IdeBars().Load();
    }

    std::vector<ScenarioStepResult> Run(const std::string& text) { return runner.Run(runner.Parse(text)); }

    // PackageToolBar, shown, with the combo box PackageCombo holding "one".
    IntfPtr<IBdsToolBarControl> AddPackageCombo()
    {
        IntfPtr<IBdsToolBar> toolBar = AddToolBar(u"PackageToolBar");
        toolBar->Set_Visible(VARIANT_TRUE);
        auto combo = AddControl(toolBar.get(), kComboBox);
        combo->Set_Name(Bstr(u"PackageCombo").get());
        LONG index = 0;
        combo.as<IBdsToolBarComboBox>()->AddItem(Bstr(u"one").get(), &index);
        return combo;
    }

    tvx::sim::ScenarioRunner runner;
};

// Catches clicks the user could not make (hidden, disabled, a separator,
// a missing button) going through, and an index that picks the wrong
// button.
TEST_F(SimToolbarsTest, ClickButtonOnlyClicksWhatTheUserCanReach)
{
    for (const char* step :
         {"click-button DebugToolBar PauseButton", "click-button DebugToolBar DebugDivider1",
          "click-button DebugToolBar NoSuchButton", "click-button NoSuchToolBar 0", "click-button DebugToolBar 99"}) {
        SCOPED_TRACE(step);
        auto results = Run(step);
        ASSERT_EQ(results.size(), 1u);
        EXPECT_FALSE(results[0].Error.empty());
    }
    auto results = Run("click-button DebugToolBar 1\nclick-button standardtoolbar savebutton");
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].Error, "");
    EXPECT_EQ(results[0].Output.back(), "the IDE ran RunWithoutDebuggingButton");
    EXPECT_EQ(results[1].Output.back(), "the IDE ran SaveButton");

    IdeBars().FindToolBar(u"DebugToolBar")->Hide();
    EXPECT_FALSE(Run("click-button DebugToolBar RunButton")[0].Error.empty());
}

// Catches typing and picking that miss the combo box's rules, and package
// events that do not show in the step's output.
TEST_F(SimToolbarsTest, TypeAndPickReachThePackage)
{
    auto combo = AddPackageCombo();
    auto sink = Sink("combo");
    sink->Does = [](const std::string& event) {
        OutputDebugStringW((u"package heard " + tvx::Utf8ToUtf16(event)).c_str());
    };
    combo->RegisterEvents(sink.get());

    auto results = Run("type PackageToolBar PackageCombo \"two words\"\npick PackageToolBar PackageCombo 0\n"
                       "type DesktopToolBar DesktopComboBox \"Debug Layout\"");
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0].Output, (std::vector<std::string>{"typed \"two words\" into PackageToolBar.PackageCombo",
                                                           "debugger: package heard OnChange"}));
    EXPECT_EQ(results[1].Output.size(), 3u);
    EXPECT_EQ(IdeBars().Snapshot()[3].Controls[0].Text, u"Debug Layout");

    EXPECT_FALSE(Run("type DesktopToolBar DesktopComboBox Nightly")[0].Error.empty());
    EXPECT_FALSE(Run("pick PackageToolBar PackageCombo 5")[0].Error.empty());
}

// Catches an index too large for an int wrapping round to a valid one
// (4294967296 picked item 0).
TEST_F(SimToolbarsTest, PickRefusesAnIndexAnIntCannotHold)
{
    AddPackageCombo();

    for (const char* step :
         {"pick PackageToolBar PackageCombo 4294967296", "pick PackageToolBar PackageCombo -0x100000000"}) {
        SCOPED_TRACE(step);
        auto results = Run(step);
        ASSERT_EQ(results.size(), 1u);
        EXPECT_NE(results[0].Error.find("out of range"), std::string::npos) << results[0].Error;
        EXPECT_TRUE(results[0].Output.empty());
    }
}

// Catches a report that leaves out package toolbars or misnames control
// kinds, and idle or reload steps that do nothing.
TEST_F(SimToolbarsTest, ReportShowsEveryToolbarWithItsControls)
{
    IntfPtr<IBdsToolBar> toolBar = AddToolBar(u"PackageToolBar", u"Package");
    auto button = AddControl(toolBar.get(), kButton);
    toolBar->AddSeparator();
    auto list = AddControl(toolBar.get(), kListComboBox);
    button->Set_Caption(Bstr(u"Go").get());
    button->RegisterEvents(Sink("button").get());

    auto records = IdeBars().Snapshot();
    ASSERT_EQ(records.size(), 5u);
    const auto& own = records.back();
    EXPECT_EQ(own.Name, u"PackageToolBar");
    EXPECT_FALSE(own.Visible);
    std::vector<std::string> kinds;
    for (const auto& c : own.Controls)
        kinds.push_back(c.Kind);
    EXPECT_EQ(kinds, (std::vector<std::string>{"button", "divider", "label", "list"}));
    EXPECT_EQ(own.Controls[0].Caption, u"Go");

    auto results = Run("idle\nreload-toolbars");
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].Output, (std::vector<std::string>{"the application went idle"}));
    EXPECT_EQ(log, (std::vector<std::string>{"button OnUpdate"}));
    EXPECT_EQ(results[1].Output[0], "reloaded 4 toolbars");
    EXPECT_EQ(results[1].Output.size(), 5u);
}

} // namespace
