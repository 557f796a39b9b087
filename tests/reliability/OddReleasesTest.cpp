// Packages that let go of their own objects at odd moments: from inside the
// event the object is raising, from inside a message handler, and during
// Finalize in whatever order.
#include "tests/reliability/ReliabilityFixture.h"

#include "host/vcl/ComCtrls.h"

namespace {

using namespace tvx::test;
using tvx::Bstr;
using tvx::IntfPtr;

class OddReleasesTest : public ReliabilityTest {
protected:
    // A package with a menu item, a toolbar with a button, an editable combo
    // box and a second button, all sharing one sink that runs `onEvent`.
    std::shared_ptr<MisbehavingProbe> StartWithControls(std::function<void(const std::string&)> onEvent)
    {
        auto bad = AddPackage("Bad", 1);
        bad->Doing(PackageMethod::Initialize, [this, bad = bad.get(), onEvent](IBdsServices* services) {
            auto sink = NewSink("bad");
            sink->Does = onEvent;
            bad->Hold("sink", sink);
            bad->Hold("item", AddToolsItem(services, u"BadItem", sink.get()));
            IntfPtr<IBdsToolBar> bar = AddShownToolBar(services, u"BadToolBar");
            bad->Hold("toolbar", bar);
            bad->Hold("button", AddNamedControl(bar.get(), kButton, u"BadButton", sink.get()));
            auto combo = AddNamedControl(bar.get(), kComboBox, u"BadCombo", sink.get());
            LONG index = -1;
            combo.as<IBdsToolBarComboBox>()->AddItem(Bstr(u"first").get(), &index);
            bad->Hold("combo", combo);
            bad->Hold("other", AddNamedControl(bar.get(), kButton, u"OtherButton", sink.get()));
        });
        Start();
        return bad;
    }
    TToolBar* BadToolBar() { return Ide().Toolbars().FindToolBar(u"BadToolBar"); }
    bool HasControl(const std::u16string& name)
    {
        TToolBar* bar = BadToolBar();
        if (!bar)
            return false;
        for (TControl* control : bar->OrderedControls())
            if (control->Name() == name)
                return true;
        return false;
    }
};

// Catches the item freed while the IDE is still inside its click, or left
// in the menu after the package let go of it.
TEST_F(OddReleasesTest, AMenuItemReleasedInsideItsOwnClickLeavesTheMenu)
{
    std::shared_ptr<MisbehavingProbe> bad;
    bad = StartWithControls([&](const std::string& event) {
        if (event == "OnClick")
            bad->Drop("item");
    });
    Choose(u"ToolsMenu\\BadItem");
    EXPECT_EQ(Count("bad OnClick"), 1u);
    EXPECT_EQ(Ide().MainMenu().Find(u"ToolsMenu\\BadItem"), nullptr);
    ExpectWitnessWorks();
}

// Catches InvokeAction touching its wrapper or item after the click, when
// the package's sink let go of both while the call was still running.
TEST_F(OddReleasesTest, AMenuItemReleasedInsideAClickItsOwnInvokeActionRaised)
{
    std::shared_ptr<MisbehavingProbe> bad;
    bad = StartWithControls([&](const std::string& event) {
        if (event == "OnClick")
            bad->Drop("item");
    });
    // The package calls through its pointer, as it would, without a
    // reference of its own for the call.
    IBdsMenuItem* item = bad->HeldAs<IBdsMenuItem>("item").get();
    EXPECT_EQ(item->InvokeAction(), S_OK);
    EXPECT_EQ(Count("bad OnClick"), 1u);
    EXPECT_EQ(Ide().MainMenu().Find(u"ToolsMenu\\BadItem"), nullptr);
    ExpectWitnessWorks();
}

// Catches a child item's click running on after the package let go of the
// parent it made, which frees the child with it; and the ended wrapper's
// warning shown without the IDE's main window as its owner.
TEST_F(OddReleasesTest, AParentMenuItemReleasedInsideItsChildsClickTakesTheChildAlong)
{
    std::shared_ptr<MisbehavingProbe> bad;
    bad = StartWithControls([&](const std::string& event) {
        if (event == "OnClick")
            bad->Drop("item");
    });
    IntfPtr<IBdsMenuItem> child;
    ASSERT_EQ(MenuBar(bad->Services.get())
                  ->AddMenuItem(Bstr(u"ToolsMenu\\BadItem").get(), kChildItem, Bstr(u"BadChild").get(),
                                Bstr(u"Child").get(), MagentaBitmap(), child.put()),
              S_OK);
    ASSERT_EQ(child->RegisterEvents(bad->HeldAs<IBdsToolBarControlEvents>("sink").get()), S_OK);
    bad->Hold("child", child);
    child = nullptr;
    Choose(u"ToolsMenu\\BadItem\\BadChild");
    EXPECT_EQ(Count("bad OnClick"), 1u);
    EXPECT_EQ(Ide().MainMenu().Find(u"ToolsMenu\\BadItem"), nullptr);
    // The package still holds the child's wrapper, which has ended.
    tvx::win32::TakeMessageBoxes();
    Bstr caption;
    EXPECT_EQ(bad->HeldAs<IBdsMenuItem>("child")->Get_Caption(caption.put()), E_UNEXPECTED);
    auto boxes = tvx::win32::TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, u"GetCaption for BadChild");
    EXPECT_EQ(boxes[0].owner, AnyWindow()) << "the warning is modal to the IDE's main window";
    bad->Drop("child");
    ExpectWitnessWorks();
}

// Catches RemoveMenuItem from inside the click freeing the wrapper under
// the package's feet, or leaving the item in the menu while the package
// holds it: the item goes at once, and the package's reference answers as
// an ended wrapper until it lets go.
TEST_F(OddReleasesTest, AMenuItemRemovedInsideItsOwnClickLeavesAtOnce)
{
    std::shared_ptr<MisbehavingProbe> bad;
    bad = StartWithControls([&](const std::string& event) {
        if (event == "OnClick") {
            IntfPtr<IBdsMenuBarService> bar = MenuBar(bad->Services.get());
            EXPECT_EQ(bar->RemoveMenuItem(Bstr(u"ToolsMenu\\BadItem").get()), S_OK);
        }
    });
    Choose(u"ToolsMenu\\BadItem");
    EXPECT_EQ(Ide().MainMenu().Find(u"ToolsMenu\\BadItem"), nullptr);
    tvx::win32::TakeMessageBoxes();
    Bstr caption;
    EXPECT_EQ(bad->HeldAs<IBdsMenuItem>("item")->Get_Caption(caption.put()), E_UNEXPECTED);
    EXPECT_EQ(tvx::win32::TakeMessageBoxes().size(), 1u);
    bad->Drop("item");
    ExpectWitnessWorks();
}

struct ControlRelease {
    const char* Name;
    const char* Event;   // the event in which the package lets go
    const char* Control; // what the user uses
    void (*LetGo)(MisbehavingProbe&);
    bool ToolBarGoes; // the whole toolbar leaves the IDE
    bool SinkGoes;    // only the sink goes; the control stays
};

void RemoveControl(MisbehavingProbe& p, const char* key)
{
    EXPECT_EQ(p.HeldAs<IBdsToolBar>("toolbar")->RemoveControl(p.HeldAs<IBdsToolBarControl>(key).get()), S_OK);
}

const ControlRelease kControlReleases[] = {
    {"ButtonReleasedInItsClick", "OnClick", "BadButton", [](MisbehavingProbe& p) { p.Drop("button"); }, false, false},
    {"ButtonRemovedInItsClick", "OnClick", "BadButton", [](MisbehavingProbe& p) { RemoveControl(p, "button"); }, false,
     false},
    {"ComboReleasedInItsClick", "OnClick", "BadCombo", [](MisbehavingProbe& p) { p.Drop("combo"); }, false, false},
    {"ComboRemovedInItsChange", "OnChange", "BadCombo", [](MisbehavingProbe& p) { RemoveControl(p, "combo"); }, false,
     false},
    {"ToolbarClearedInAClick", "OnClick", "BadButton",
     [](MisbehavingProbe& p) { EXPECT_EQ(p.HeldAs<IBdsToolBar>("toolbar")->Clear(), S_OK); }, false, false},
    {"ToolbarRemovedInAClick", "OnClick", "BadButton",
     [](MisbehavingProbe& p) {
         IntfPtr<IBdsToolBarService> service;
         p.Services->Get_BdsToolBarService(service.put());
         EXPECT_EQ(service->RemoveToolBar(p.HeldAs<IBdsToolBar>("toolbar").get()), S_OK);
     },
     true, false},
    {"SinkUnregisteredInItsClick", "OnClick", "BadButton",
     [](MisbehavingProbe& p) {
         p.Drop("sink");
         EXPECT_EQ(p.HeldAs<IBdsToolBarControl>("button")->RegisterEvents(nullptr), S_OK);
     },
     false, true},
};

void PrintTo(const ControlRelease& c, std::ostream* os) { *os << c.Name; }

class ControlReleaseTest : public OddReleasesTest, public ::testing::WithParamInterface<ControlRelease> {};

// Catches controls (and toolbars) freed while the VCL is still inside the
// event that reached the package, events raised on a freed control, and
// controls left on the toolbar after the package let go of them.
TEST_P(ControlReleaseTest, ControlsLetGoOfInsideTheirOwnEventsLeaveTheToolbar)
{
    const ControlRelease& c = GetParam();
    std::shared_ptr<MisbehavingProbe> bad;
    bool done = false;
    bad = StartWithControls([&](const std::string& event) {
        if (event == c.Event && !done) {
            done = true;
            c.LetGo(*bad);
        }
    });
    const std::u16string control = tvx::Utf8ToUtf16(c.Control);
    if (control == u"BadButton")
        EXPECT_NO_THROW(ClickButton(u"BadToolBar", control));
    else if (std::string(c.Event) == "OnClick")
        EXPECT_NO_THROW(Ide().Toolbars().Pick(u"BadToolBar", control, 0));
    else
        EXPECT_NO_THROW(Ide().Toolbars().Type(u"BadToolBar", control, u"typed"));
    EXPECT_TRUE(done);
    if (c.ToolBarGoes) {
        EXPECT_EQ(BadToolBar(), nullptr);
    } else if (c.SinkGoes) {
        ClickButton(u"BadToolBar", control);
        EXPECT_EQ(Count("bad OnClick"), 1u) << "no sink, no event";
    } else {
        EXPECT_FALSE(HasControl(control)) << "the control left the toolbar";
        EXPECT_EQ(Count("bad OnChange"), std::string(c.Event) == "OnChange" ? 1u : 0u)
            << "no change raised on a control that is gone";
    }
    Idle();
    ExpectWitnessWorks();
}

INSTANTIATE_TEST_SUITE_P(Cases, ControlReleaseTest, ::testing::ValuesIn(kControlReleases),
                         [](const ::testing::TestParamInfo<ControlRelease>& info) { return info.param.Name; });

// Catches the update pass walking into controls a sink let go of (its own
// and those the pass has not reached yet) or into a toolbar it removed, and
// a pass that stops there instead of going on to the other packages.
TEST_F(OddReleasesTest, ControlsAndToolbarsLetGoOfDuringTheUpdatePass)
{
    std::shared_ptr<MisbehavingProbe> bad;
    int updates = 0;
    bad = StartWithControls([&](const std::string& event) {
        if (event != "OnUpdate" || ++updates > 1)
            return;
        // The pass runs the last control first: OtherButton. It lets go of
        // itself and of the two controls the pass would reach next, then
        // removes their toolbar, which the pass would also reach later.
        bad->Drop("other");
        bad->Drop("combo");
        EXPECT_EQ(bad->HeldAs<IBdsToolBar>("toolbar")->RemoveControl(bad->HeldAs<IBdsToolBarControl>("button").get()),
                  S_OK);
        IntfPtr<IBdsToolBarService> service;
        bad->Services->Get_BdsToolBarService(service.put());
        EXPECT_EQ(service->RemoveToolBar(bad->HeldAs<IBdsToolBar>("toolbar").get()), S_OK);
    });
    // The bad package's toolbar was added before the witness's, so the
    // pass reaches it after the witness's.
    Idle();
    EXPECT_EQ(Count("bad OnUpdate"), 1u);
    EXPECT_EQ(BadToolBar(), nullptr);
    EXPECT_EQ(Count("witness-button OnUpdate"), 1u);
    Idle();
    EXPECT_EQ(Count("bad OnUpdate"), 1u);
    ExpectWitnessWorks();
}

// Catches a handler that lets go of its package's items and registers
// another handler while the message is being handled: the items leave, the
// new handler sees the next message only, and the others see this one.
TEST_F(OddReleasesTest, AMessageHandlerThatLetsGoOfItsItemsAndRegistersAnother)
{
    std::shared_ptr<MisbehavingProbe> bad;
    bad = StartWithControls([](const std::string&) {});
    auto late = NewHandler("late");
    bad->Hold("late", late);
    auto handler = NewHandler("bad");
    handler->Does = [&](MSG&, VARIANT_BOOL&, VARIANT_BOOL&) {
        if (!bad->Held.count("item"))
            return;
        bad->Drop("item");
        bad->Drop("button");
        IntfPtr<IBdsToolBarService> service;
        bad->Services->Get_BdsToolBarService(service.put());
        EXPECT_EQ(service->RemoveToolBar(bad->HeldAs<IBdsToolBar>("toolbar").get()), S_OK);
        bad->Drop("toolbar");
        EXPECT_EQ(bad->Services->AddMessageHandler(late.get()), S_OK);
    };
    bad->Hold("handler", handler);
    Root()->AddMessageHandler(handler.get());
    EXPECT_EQ(Post(), "dispatched; the IDE's OnMessage handler saw it");
    EXPECT_EQ(Count("late HandleMessage 1024"), 0u);
    EXPECT_EQ(Count("witness-handler HandleMessage 1024"), 1u);
    EXPECT_EQ(Ide().MainMenu().Find(u"ToolsMenu\\BadItem"), nullptr);
    EXPECT_EQ(BadToolBar(), nullptr);
    Post(kUserMessage + 9);
    EXPECT_EQ(Count("late HandleMessage 1033"), 1u);
    ExpectWitnessWorks();
}

// Catches Finalize orders that touch what is already gone: services let go
// of before the objects made through them, a toolbar removed twice, its
// controls used after it went, and a begin-group separator left behind.
TEST_F(OddReleasesTest, FinalizeLettingGoInOddOrders)
{
    std::shared_ptr<MisbehavingProbe> bad;
    bad = StartWithControls([](const std::string&) {});
    EXPECT_EQ(bad->HeldAs<IBdsMenuItem>("item")->Set_BeginGroup(VARIANT_TRUE), S_OK);
    ASSERT_NE(Ide().MainMenu().Find(u"ToolsMenu\\SeparatorBefore_BadItem"), nullptr);
    bad->Doing(PackageMethod::Finalize, [&](IBdsServices*) {
        IntfPtr<IBdsToolBarService> service;
        bad->Services->Get_BdsToolBarService(service.put());
        IntfPtr<IBdsToolBar> bar = bad->HeldAs<IBdsToolBar>("toolbar");
        IntfPtr<IBdsToolBarControl> button = bad->HeldAs<IBdsToolBarControl>("button");
        bad->Services = nullptr;
        EXPECT_EQ(service->RemoveToolBar(bar.get()), S_OK);
        EXPECT_EQ(service->RemoveToolBar(bar.get()), S_OK);
        Bstr caption;
        EXPECT_EQ(button->Get_Caption(caption.put()), E_UNEXPECTED);
        EXPECT_EQ(bar->AddControl(kButton, IntfPtr<IBdsToolBarControl>().put()), E_UNEXPECTED);
        EXPECT_EQ(bad->HeldAs<IBdsMenuItem>("item")->Set_BeginGroup(VARIANT_FALSE), S_OK);
        bad->Held.clear();
    });
    Shutdown();
    EXPECT_EQ(Count("Finalize Bad"), 1u);
    EXPECT_EQ(Ide().MainMenu().Find(u"ToolsMenu\\BadItem"), nullptr);
    EXPECT_EQ(Ide().MainMenu().Find(u"ToolsMenu\\SeparatorBefore_BadItem"), nullptr);
    EXPECT_EQ(BadToolBar(), nullptr);
}

} // namespace
