// The services root inside the simulated IDE: the IDE's own message
// handler, action list, designers, splash screen, About box and edition key
// as the root meets them, and the scenario steps that drive them.
#include "host/win32/Recorder.h"
#include "host/win32/RegistryEmulation.h"
#include "sim/Report.h"
#include "sim/Scenario.h"
#include "sim/SimulatedIde.h"
#include "tests/services/ServicesFixture.h"
#include "tests/support/HostFixture.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace tvx::test;
using Lines = std::vector<std::string>;

class SimulatedIdeServicesTest : public FreshMachineTest<tvx::sim::SimulatedIde> {
protected:
    void SetUp() override
    {
        FreshMachineTest::SetUp();
        root = talvix::TBdsServices::Create();
    }

    RecordingHandler& AddHandler(const std::string& name)
    {
        auto* handler = new RecordingHandler(name, log);
        handlers.emplace_back(static_cast<IMessageHandler*>(handler));
        root->Interface()->AddMessageHandler(handler);
        return *handler;
    }
    void MakeReady()
    {
        root->Interface()->OnDotNetServicesInitialized();
        root->OnToolBarServiceInitialized();
    }
    Lines Run(const std::string& scenario)
    {
        tvx::sim::ScenarioRunner runner;
        Ide().RegisterCommands(runner);
        Lines out;
        for (auto& result : runner.Run(runner.Parse(scenario))) {
            EXPECT_EQ(result.Error, "") << result.Step.Command;
            out.insert(out.end(), result.Output.begin(), result.Output.end());
        }
        return out;
    }

    talvix::TBdsServices* root = nullptr;
    std::vector<std::string> log;
    std::vector<tvx::IntfPtr<IMessageHandler>> handlers;
};

// Catches the IDE's own handler lost when the root hooks in, and a handled
// message dispatched anyway.
TEST_F(SimulatedIdeServicesTest, PostedMessageReachesTheIdesHandlerUnlessAHandlerStopsIt)
{
    EXPECT_EQ(Ide().PostAndDescribe(nullptr, 0x0400, 0, 0), "dispatched; the IDE's OnMessage handler saw it");

    VARIANT_BOOL handle = VARIANT_TRUE, callPrevious = VARIANT_TRUE;
    AddHandler("A").OnMessage = [&](MSG&, VARIANT_BOOL& previous, VARIANT_BOOL& handled) {
        handled = handle;
        previous = callPrevious;
    };
    EXPECT_EQ(Ide().PostAndDescribe(nullptr, 0x0400, 0, 0),
              "handled by OnMessage, not dispatched; the IDE's OnMessage handler saw it");
    handle = VARIANT_FALSE;
    callPrevious = VARIANT_FALSE;
    EXPECT_EQ(Ide().PostAndDescribe(nullptr, 0x0400, 0, 0), "dispatched; the IDE's OnMessage handler did not see it");
}

// Catches the IDE's action list not reaching the root, or its editing,
// search and disabled commands counted as shortcuts.
TEST_F(SimulatedIdeServicesTest, IdeActionsAreTheShortcuts)
{
    MakeReady();
    struct Case {
        const char* key;
        LONG keyData;
        bool expected;
    };
    for (Case c :
         {Case{"Ctrl+S", 0x20000 | 'S', true}, Case{"F11", 0x7A, true}, Case{"Shift+Ctrl+F9", 0x30078, true},
          Case{"Ctrl+C (EditCopyCommand)", 0x20000 | 'C', false},
          Case{"Ctrl+F (SearchFindCommand)", 0x20000 | 'F', false}, Case{"Ctrl+F2 (disabled reset)", 0x20071, false}}) {
        SCOPED_TRACE(c.key);
        VARIANT_BOOL answer = 7;
        EXPECT_EQ(root->Interface()->IsShortcut(c.keyData, &answer), S_OK);
        EXPECT_EQ(answer != 0, c.expected);
    }
}

// Catches a key that runs the IDE's action although a package handled it,
// or the key's messages sent in the wrong order.
TEST_F(SimulatedIdeServicesTest, KeyRunsTheIdeActionOnlyWhenDispatched)
{
    EXPECT_EQ(Run("key Ctrl+S"), (Lines{"Ctrl down: dispatched; the IDE's OnMessage handler saw it",
                                        "S down: dispatched; the IDE's OnMessage handler saw it; ran the IDE "
                                        "action FileSaveCommand",
                                        "S up: dispatched; the IDE's OnMessage handler saw it",
                                        "Ctrl up: dispatched; the IDE's OnMessage handler saw it"}));
    AddHandler("A").OnMessage = [](MSG& msg, VARIANT_BOOL&, VARIANT_BOOL& handled) {
        handled = msg.message == 0x0104 && msg.wParam == 'G' ? VARIANT_TRUE : VARIANT_FALSE;
    };
    Lines altG = Run("key Alt+G");
    ASSERT_EQ(altG.size(), 4u);
    EXPECT_EQ(altG[1], "G down: handled by OnMessage, not dispatched; the IDE's OnMessage handler saw it");
    EXPECT_EQ(Run("key Ctrl+F2")[1],
              "F2 down: dispatched; the IDE's OnMessage handler saw it; the IDE action RunProgramResetCommand is "
              "disabled");
    EXPECT_EQ(Ide().MainMenu().Actions().Executed(), (std::vector<String>{u"FileSaveCommand"}));
}

// Catches a component put on a designer without passing the root's
// notifier, or the helper's position not reported.
TEST_F(SimulatedIdeServicesTest, InsertedComponentsPassTheProviders)
{
    auto* provider = new RecordingProvider("A", log);
    tvx::IntfPtr<IDragDropHelperProvider> keep(provider);
    provider->Answer = tvx::IntfPtr<IUnknown>(static_cast<IDragDropHelper*>(new FixedHelper(24, 40, log)));
    root->Interface()->AddDragDropHelper(provider);
    EXPECT_EQ(Run("insert-component Form1 TButton\ninsert-component Form2 TTimer Clock 100 -4"),
              (Lines{"Button1: TButton on Form1 at left 24, top 40 (dropped at 8, 8, moved by a drag-and-drop "
                     "helper)",
                     "Clock: TTimer on Form2 at left 24, top 40 (dropped at 100, -4, moved by a drag-and-drop "
                     "helper)"}));
    EXPECT_EQ(log,
              (Lines{"A TButton", "Execute", "get_Left", "get_Top", "A TTimer", "Execute", "get_Left", "get_Top"}));
}

// Catches a listener's error stopping the session instead of being shown
// by the IDE, with the component kept.
TEST_F(SimulatedIdeServicesTest, DesignerShowsAHelpersError)
{
    auto* provider = new RecordingProvider("A", log);
    tvx::IntfPtr<IDragDropHelperProvider> keep(provider);
    provider->Answer = tvx::IntfPtr<IUnknown>(static_cast<IDragDropHelperProvider*>(new RecordingProvider("X", log)));
    root->Interface()->AddDragDropHelper(provider);
    Lines out = Run("insert-component Form1 TLabel");
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].rfind("the designer showed an error: ", 0), 0u) << out[0];
    EXPECT_EQ(Ide().App().ShownExceptions().size(), 1u);
}

// Catches the IDE's edition key, splash screen or About box not where the
// root looks for them.
TEST_F(SimulatedIdeServicesTest, EditionSplashAndAboutComeFromTheIde)
{
    IBdsServices* services = root->Interface();
    tvx::Bstr edition;
    ASSERT_EQ(services->get_BdsEdition(edition.put()), S_OK);
    EXPECT_EQ(edition.view(), tvx::sim::kIdeEdition);

    tvx::Bstr caption(u"Product 1.0"), title(u"Product");
    EXPECT_EQ(services->AddSplashInfo(nullptr, caption.get(), nullptr, VARIANT_FALSE, nullptr), S_OK);
    EXPECT_EQ(services->AddAboutBoxInfo(nullptr, nullptr, nullptr, nullptr, title.get(), nullptr, nullptr,
                                        VARIANT_FALSE, nullptr),
              S_OK);
    tvx::sim::Report report;
    Ide().AddToReport(report);
    ASSERT_EQ(report.Services.Splash.size(), 1u);
    EXPECT_EQ(report.Services.Splash[0].Caption, u"Product 1.0");
    ASSERT_EQ(report.Services.About.size(), 1u);
    EXPECT_EQ(report.Services.About[0].Title, u"Product");
    EXPECT_TRUE(report.Services.About[0].IsProduct);
}

} // namespace
