// The callbacks a package hands the library misbehaving: click sinks of menu
// items and toolbar controls, message handlers, drag-and-drop providers and
// helpers that fail, throw, or give odd out values.
#include "tests/reliability/ReliabilityFixture.h"

#include "host/vcl/SysUtils.h"

namespace {

using namespace tvx::test;
using tvx::Bstr;
using tvx::IntfPtr;

std::vector<std::pair<const char*, MethodOutcome>> BadOutcomes()
{
    return {{"fails", MethodOutcome::Fails(E_UNEXPECTED)},
            {"throws", MethodOutcome::Throws()},
            {"throws a non-std exception", MethodOutcome::ThrowsForeign()}};
}

// Catches a sink's exception escaping through the library into the IDE's
// click handling (or the user's action), and a sink that is dropped or
// silenced after misbehaving once.
TEST_F(ReliabilityTest, ClickAndChangeSinksThatFailOrThrowAreIgnoredAndStillCalledNextTime)
{
    auto bad = AddPackage("Bad", 1);
    std::vector<std::string> cases;
    bad->Doing(PackageMethod::Initialize, [&](IBdsServices* services) {
        IntfPtr<IBdsToolBar> bar = AddShownToolBar(services, u"BadToolBar");
        bad->Hold("toolbar", bar);
        int n = 0;
        for (const auto& [name, outcome] : BadOutcomes()) {
            const std::string suffix = std::to_string(n++);
            auto sink = NewSink(std::string("bad ") + name);
            sink->Outcomes = {{"OnClick", outcome}, {"OnChange", outcome}, {"OnUpdate", outcome}};
            bad->Hold("sink" + suffix, sink);
            bad->Hold("item" + suffix, AddToolsItem(services, tvx::Utf8ToUtf16("BadItem" + suffix), sink.get()));
            bad->Hold("button" + suffix,
                      AddNamedControl(bar.get(), kButton, tvx::Utf8ToUtf16("BadButton" + suffix), sink.get()));
            auto combo = AddNamedControl(bar.get(), kComboBox, tvx::Utf8ToUtf16("BadCombo" + suffix), sink.get());
            LONG index = -1;
            combo.as<IBdsToolBarComboBox>()->AddItem(Bstr(u"first").get(), &index);
            bad->Hold("combo" + suffix, combo);
            cases.push_back(std::string("bad ") + name);
        }
    });
    Start();

    for (int round = 1; round <= 2; ++round) {
        for (std::size_t n = 0; n < cases.size(); ++n) {
            SCOPED_TRACE(cases[n]);
            const std::u16string suffix = tvx::Utf8ToUtf16(std::to_string(n));
            EXPECT_NO_THROW(Choose(u"ToolsMenu\\BadItem" + suffix));
            EXPECT_NO_THROW(ClickButton(u"BadToolBar", u"BadButton" + suffix));
            EXPECT_NO_THROW(Ide().Toolbars().Type(u"BadToolBar", u"BadCombo" + suffix, u"typed"));
            EXPECT_NO_THROW(Ide().Toolbars().Pick(u"BadToolBar", u"BadCombo" + suffix, 0));
            // Clicks: the menu item, the button and the pick; changes: the
            // typing and the pick.
            EXPECT_EQ(Count(cases[n] + " OnClick"), std::size_t(3 * round));
            EXPECT_EQ(Count(cases[n] + " OnChange"), std::size_t(2 * round));
        }
    }
    EXPECT_TRUE(Ide().App().ShownExceptions().empty()) << "a package's failure reached the IDE's error dialog";
    ExpectWitnessWorks();
}

// Catches one control's OnUpdate that throws and so keeps the controls
// updated after it (the witness's among them) from their update, at every
// idle step.
TEST_F(ReliabilityTest, AnUpdateSinkThatThrowsDoesNotStopTheUpdatePass)
{
    auto bad = AddPackage("Bad", 2000); // its toolbar comes after the witness's: updated first
    bad->Doing(PackageMethod::Initialize, [&](IBdsServices* services) {
        IntfPtr<IBdsToolBar> bar = AddShownToolBar(services, u"BadToolBar");
        bad->Hold("toolbar", bar);
        int n = 0;
        for (const auto& [name, outcome] : BadOutcomes()) {
            auto sink = NewSink(std::string("bad ") + name);
            sink->Outcomes = {{"OnUpdate", outcome}};
            bad->Hold("sink" + std::to_string(n), sink);
            bad->Hold("button" + std::to_string(n),
                      AddNamedControl(bar.get(), kButton, tvx::Utf8ToUtf16("B" + std::to_string(n)), sink.get()));
            ++n;
        }
    });
    Start();
    for (int step = 1; step <= 3; ++step) {
        EXPECT_NO_THROW(Idle());
        for (const auto& [name, outcome] : BadOutcomes())
            EXPECT_EQ(Count(std::string("bad ") + name + " OnUpdate"), std::size_t(step)) << name;
        EXPECT_EQ(Count("witness-button OnUpdate"), std::size_t(step));
    }
    ExpectWitnessWorks();
}

// Catches a handler's exception that stops the message for every handler
// after it and for the IDE's own handler, or escapes into the IDE's loop.
TEST_F(ReliabilityTest, AMessageHandlerThatFailsOrThrowsLeavesTheMessageToTheOthers)
{
    auto bad = AddPackage("Bad", 1); // registers before the witness
    bad->Doing(PackageMethod::Initialize, [&](IBdsServices* services) {
        int n = 0;
        for (const auto& [name, outcome] : BadOutcomes()) {
            auto handler = NewHandler(std::string("bad ") + name);
            handler->Outcome = outcome;
            bad->Hold("handler" + std::to_string(n++), handler);
            services->AddMessageHandler(handler.get());
        }
    });
    Start();
    EXPECT_EQ(Post(), "dispatched; the IDE's OnMessage handler saw it");
    for (const auto& [name, outcome] : BadOutcomes())
        EXPECT_EQ(Count(std::string("bad ") + name + " HandleMessage 1024"), 1u) << name;
    EXPECT_EQ(Count("witness-handler HandleMessage 1024"), 1u);
    EXPECT_TRUE(Ide().App().ShownExceptions().empty());
    ExpectWitnessWorks();
}

// Catches flags read as exactly VARIANT_TRUE rather than any non-zero
// value, and a message a handler rewrote that later handlers do not see.
TEST_F(ReliabilityTest, MessageHandlersFlagsReadAsNonZeroAndRewrittenMessagesPassOn)
{
    auto bad = AddPackage("Bad", 1);
    bad->Doing(PackageMethod::Initialize, [&](IBdsServices* services) {
        auto handler = NewHandler("odd");
        handler->Does = [](MSG& msg, VARIANT_BOOL& callPrevious, VARIANT_BOOL& handled) {
            if (msg.message == kUserMessage + 7)
                msg.message = kUserMessage + 8; // the witness sees it rewritten
            if (msg.message == kUserMessage + 2)
                handled = VARIANT_BOOL(0x1234);
            if (msg.message == kUserMessage + 3)
                callPrevious = VARIANT_BOOL(1);
            if (msg.message == kUserMessage + 4)
                callPrevious = VARIANT_FALSE;
        };
        bad->Hold("handler", handler);
        services->AddMessageHandler(handler.get());
    });
    Start();
    EXPECT_EQ(Post(kUserMessage + 2), "handled by OnMessage, not dispatched; the IDE's OnMessage handler saw it");
    EXPECT_EQ(Count("witness-handler HandleMessage 1026"), 0u) << "a handled message stops";
    EXPECT_EQ(Post(kUserMessage + 3), "dispatched; the IDE's OnMessage handler saw it");
    EXPECT_EQ(Post(kUserMessage + 4), "dispatched; the IDE's OnMessage handler did not see it");
    Post(kUserMessage + 7);
    EXPECT_EQ(Count("witness-handler HandleMessage 1032"), 1u);
    ExpectWitnessWorks();
}

class DragDropTest : public ReliabilityTest {
protected:
    // Registers the providers, in order, from a package's Initialize.
    void StartWith(std::vector<IntfPtr<MisbehavingProvider>> providers)
    {
        auto bad = AddPackage("Bad", 1);
        bad->Doing(PackageMethod::Initialize, [&, providers](IBdsServices* services) {
            int n = 0;
            for (auto& provider : providers) {
                bad->Hold("provider" + std::to_string(n++), provider);
                services->AddDragDropHelper(provider.get());
            }
        });
        Start();
    }
    IntfPtr<MisbehavingProvider> Provider(const std::string& name, IUnknown* answer = nullptr)
    {
        IntfPtr<MisbehavingProvider> provider(new MisbehavingProvider(name, log));
        provider->Answer = answer;
        return provider;
    }
    IntfPtr<MisbehavingHelper> Helper(const std::string& name, LONG left = 24, LONG top = 40)
    {
        return IntfPtr<MisbehavingHelper>(new MisbehavingHelper(name, log, left, top));
    }
    // Drops a button on Form1 at (5, 6); the position it ended at.
    std::pair<int, int> Drop(const std::u16string& name)
    {
        auto placed = Ide().Designers().InsertComponent(u"Form1", u"TButton", name, 5, 6);
        return {placed.Left, placed.Top};
    }
};

// Catches a provider whose failure or exception stops the search (or
// escapes to the designer), and an out value the library did not clear
// before asking.
TEST_F(DragDropTest, ProvidersThatFailThrowOrLeaveTheirAnswerUnsetAreSkippedOrHeardByTheirAnswer)
{
    auto helper = Helper("helper");
    auto throws = Provider("throws", helper.get());
    throws->Outcome = MethodOutcome::Throws();
    throws->Out = OutValue::LeftUnset;
    auto foreign = Provider("foreign");
    foreign->Outcome = MethodOutcome::ThrowsForeign();
    auto unset = Provider("unset", helper.get());
    unset->Out = OutValue::LeftUnset;
    // A failing result with an answer: only the answer counts.
    auto failsWithAnswer = Provider("fails", helper.get());
    failsWithAnswer->Outcome = MethodOutcome::Fails();
    StartWith({throws, foreign, unset, failsWithAnswer});

    std::pair<int, int> position;
    ASSERT_NO_THROW(position = Drop(u"Button1"));
    EXPECT_EQ(position, std::make_pair(24, 40));
    EXPECT_EQ(log->Of("throws").size() + log->Of("foreign").size() + log->Of("unset").size() + log->Of("fails").size(),
              4u);
    EXPECT_EQ(Count("helper Execute"), 1u);
    ExpectWitnessWorks();
}

// Catches a helper's exception escaping as such into the IDE, a position
// set although a step failed, and garbage positions that spill from Left
// into Top.
TEST_F(DragDropTest, HelpersThatFailOrThrowLeaveThePositionAsTheIdeGaveIt)
{
    std::vector<IntfPtr<MisbehavingProvider>> providers;
    std::vector<std::string> steps{"Execute", "get_Left", "get_Top"};
    std::vector<IntfPtr<MisbehavingHelper>> helpers;
    for (const std::string& step : steps) {
        for (const auto& [name, outcome] : BadOutcomes()) {
            auto helper = Helper(step + " " + name);
            helper->Outcomes[step] = outcome;
            helpers.push_back(helper);
        }
    }
    // One provider that hands out the helper the test picks next.
    auto provider = Provider("provider");
    StartWith({provider});
    int n = 0;
    for (auto& helper : helpers) {
        SCOPED_TRACE(n);
        provider->Answer = IntfPtr<IUnknown>(static_cast<IDragDropHelper*>(helper.get()));
        const std::u16string name = u"Button" + tvx::Utf8ToUtf16(std::to_string(++n));
        // The designer hears of the failure as an error of the IDE's own
        // kind; the component stays where the user dropped it.
        EXPECT_THROW(Drop(name), EOleSysError);
        TComponent* button = Ide().Designers().Designer(u"Form1").GetRoot()->FindComponent(name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->DesignInfo(), (6 << 16) | 5);
    }
    provider->Answer = nullptr;
    ExpectWitnessWorks();
}

// Catches positions read from out values the helper never wrote (the
// library must clear them) and garbage that spills from Left into Top.
TEST_F(DragDropTest, HelpersThatLeaveOutValuesUnsetOrGarbageGiveDefinedPositions)
{
    auto unset = Helper("unset");
    unset->Out = OutValue::LeftUnset;
    auto garbage = Helper("garbage");
    garbage->Out = OutValue::Garbage;
    auto provider = Provider("provider", unset.get());
    StartWith({provider});
    EXPECT_EQ(Drop(u"Button1"), std::make_pair(0, 0));
    provider->Answer = IntfPtr<IUnknown>(static_cast<IDragDropHelper*>(garbage.get()));
    TComponent* root = Ide().Designers().Designer(u"Form1").GetRoot();
    Drop(u"Button2");
    const auto g = std::uint32_t(MisbehavingHelper::kGarbagePosition);
    EXPECT_EQ(std::uint32_t(root->FindComponent(u"Button2")->DesignInfo()), (g << 16) | (g & 0xFFFFu));
    provider->Answer = nullptr;
    ExpectWitnessWorks();
}

// Catches a helper whose odd QueryInterface answer is used (or released)
// although it carries no usable interface.
TEST_F(DragDropTest, HelpersThatAnswerQueryInterfaceOddlyAreSkippedOrRefused)
{
    auto provider = Provider("provider");
    auto fallback = Helper("fallback", 70, 80);
    auto second = Provider("second", fallback.get());
    StartWith({provider, second});
    struct Case {
        QueryOddity Oddity;
        bool Raises; // the query failed: an error, and nobody else is asked
    };
    int n = 0;
    for (Case c : {Case{QueryOddity::OkWithoutPointer, false}, Case{QueryOddity::SFalseWithoutPointer, false},
                   Case{QueryOddity::Refuses, true}, Case{QueryOddity::FailWithGarbage, true}}) {
        SCOPED_TRACE(OddityName(c.Oddity));
        auto helper = Helper("odd");
        helper->Oddity = c.Oddity;
        provider->Answer = IntfPtr<IUnknown>(static_cast<IDragDropHelper*>(helper.get()));
        const std::u16string name = u"Button" + tvx::Utf8ToUtf16(std::to_string(++n));
        if (c.Raises) {
            EXPECT_THROW(Drop(name), EOleSysError);
        } else {
            EXPECT_EQ(Drop(name), std::make_pair(70, 80)) << "the next provider answers";
        }
        EXPECT_EQ(Count("odd Execute"), 0u);
    }
    provider->Answer = nullptr;
    ExpectWitnessWorks();
}

} // namespace
