// IBdsToolBar: controls and separators, their count and order, removal,
// Clear, and the update pass when the IDE goes idle.
#include "tests/toolbars/ToolbarFixture.h"

namespace {

using namespace tvx::test;
using tvx::Bstr;
using tvx::IntfPtr;

class ToolBarTest : public ToolbarFixture {
protected:
    void SetUp() override
    {
        ToolbarFixture::SetUp();
        toolBar = AddToolBar(u"PackageToolBar");
        native = Native(toolBar.get());
    }
    void TearDown() override
    {
        toolBar = nullptr;
        ToolbarFixture::TearDown();
    }

    LONG ControlCount()
    {
        LONG count = -1;
        EXPECT_EQ(toolBar->Get_ControlCount(&count), S_OK);
        return count;
    }

    IntfPtr<IBdsToolBar> toolBar;
    TToolBar* native = nullptr;
};

// Catches unsupported types that make something, or report success.
TEST_F(ToolBarTest, AddControlRefusesUnknownTypes)
{
    for (LONG type : {0, 5, -1, 100}) {
        SCOPED_TRACE(type);
        IBdsToolBarControl* control = SentinelPointer<IBdsToolBarControl>();
        EXPECT_EQ(toolBar->AddControl(type, &control), E_FAIL);
        EXPECT_EQ(control, nullptr);
    }
    EXPECT_EQ(ControlCount(), 0);
    EXPECT_EQ(native->ControlCount(), 0);
    EXPECT_EQ(native->ComponentCount(), 0);
}

// Catches a type mapped to the wrong kind, or a kind that answers another
// kind's interface.
TEST_F(ToolBarTest, EachTypeMakesItsKind)
{
    IntfPtr<IBdsToolBarControl> button = AddControl(toolBar.get(), kButton);
    IntfPtr<IBdsToolBarControl> editable = AddControl(toolBar.get(), kComboBox);
    IntfPtr<IBdsToolBarControl> list = AddControl(toolBar.get(), kListComboBox);
    IntfPtr<IBdsToolBarControl> popUp = AddControl(toolBar.get(), kPopUp);
    EXPECT_TRUE(button.try_as<IBdsToolBarButton>());
    EXPECT_FALSE(button.try_as<IBdsToolBarComboBox>());
    EXPECT_TRUE(editable.try_as<IBdsToolBarComboBox>());
    EXPECT_EQ(Combo(editable.get())->Style(), csDropDown);
    EXPECT_EQ(Combo(list.get())->Style(), csDropDownList);
    EXPECT_TRUE(popUp.try_as<IBdsToolBarPopUp>());
    EXPECT_FALSE(popUp.try_as<IBdsToolBarButton>());
    EXPECT_EQ(tvx::IdentityOf(button.try_as<IBdsToolBarButton>().get()).get(), tvx::IdentityOf(button.get()).get());
    EXPECT_REF(button.get(), 1);
    EXPECT_EQ(ControlCount(), 4);
}

// Catches a count that includes separators, or keeps ended controls.
TEST_F(ToolBarTest, ControlCountCountsLiveControlsOnly)
{
    IntfPtr<IBdsToolBarControl> first = AddControl(toolBar.get(), kButton);
    EXPECT_EQ(toolBar->AddSeparator(), S_OK);
    IntfPtr<IBdsToolBarControl> second = AddControl(toolBar.get(), kPopUp);
    EXPECT_EQ(toolBar->AddSeparator(), S_OK);
    EXPECT_EQ(ControlCount(), 2);
    EXPECT_EQ(native->ButtonCount(), 3);
    first = nullptr;
    EXPECT_EQ(ControlCount(), 1);
    EXPECT_EQ(native->ButtonCount(), 2);
}

// Catches a separator of the wrong style or width, or one placed before
// the buttons already there.
TEST_F(ToolBarTest, SeparatorIsAQuarterButtonDividerAfterTheButtons)
{
    IntfPtr<IBdsToolBarControl> button = AddControl(toolBar.get(), kButton);
    ASSERT_EQ(toolBar->AddSeparator(), S_OK);
    ASSERT_EQ(native->ButtonCount(), 2);
    TToolButton* separator = native->Buttons(1);
    EXPECT_EQ(separator->Style(), tbsDivider);
    EXPECT_EQ(separator->Width(), TToolButton::DefaultWidth / 4);
    EXPECT_EQ(separator->Width(), 5);
    EXPECT_EQ(separator->Owner(), native);
    EXPECT_EQ(native->Buttons(0), Button(button.get()));
    EXPECT_EQ(native->Width(), native->ButtonWidth() + 5);
}

// Catches new buttons that land before older ones (the VCL puts a button
// whose Left is 0 first).
TEST_F(ToolBarTest, NewControlsGoAfterEveryControlThere)
{
    IntfPtr<IBdsToolBarControl> a = AddControl(toolBar.get(), kButton);
    IntfPtr<IBdsToolBarControl> combo = AddControl(toolBar.get(), kComboBox);
    IntfPtr<IBdsToolBarControl> b = AddControl(toolBar.get(), kButton);
    std::vector<TControl*> order = native->OrderedControls();
    ASSERT_EQ(order.size(), 4u);
    EXPECT_EQ(order[0], Button(a.get()));
    EXPECT_EQ(order[1], Label(combo.get()));
    EXPECT_EQ(order[2], Combo(combo.get()));
    EXPECT_EQ(order[3], Button(b.get()));
    EXPECT_EQ(Button(b.get())->Index(), 1);
    EXPECT_LT(Button(a.get())->Left(), Combo(combo.get())->Left());
    EXPECT_LT(Combo(combo.get())->Left(), Button(b.get())->Left());
}

// Catches three buttons and two separators surviving Clear, Clear closing
// the toolbar, or controls that still reach freed VCL objects afterwards.
TEST_F(ToolBarTest, ClearEmptiesTheNativeToolbarAndEndsTheControls)
{
    std::vector<IntfPtr<IBdsToolBarControl>> buttons;
    for (int i = 0; i < 3; ++i) {
        buttons.push_back(AddControl(toolBar.get(), kButton));
        if (i < 2)
            toolBar->AddSeparator();
    }
    ASSERT_EQ(native->ButtonCount(), 5);

    EXPECT_EQ(toolBar->Clear(), S_OK);
    EXPECT_EQ(native->ButtonCount(), 0);
    EXPECT_EQ(native->ControlCount(), 0);
    EXPECT_EQ(native->ComponentCount(), 0);
    EXPECT_EQ(ControlCount(), 0);
    EXPECT_EQ(NameOf(toolBar.get()), u"PackageToolBar");
    for (auto& button : buttons) {
        BSTR caption = SentinelPointer<OLECHAR>();
        EXPECT_EQ(button->Get_Caption(&caption), E_UNEXPECTED);
        EXPECT_EQ(caption, nullptr);
    }
    IntfPtr<IBdsToolBarControl> again = AddControl(toolBar.get(), kButton);
    EXPECT_EQ(ControlCount(), 1);
}

// Catches a RemoveControl that trusts any interface, leaves the VCL
// control on the toolbar, or refuses a control of another toolbar or one
// passed through its kind interface.
TEST_F(ToolBarTest, RemoveControlEndsOwnControlsAndRefusesOthers)
{
    IntfPtr<IBdsToolBarControl> button = AddControl(toolBar.get(), kButton);
    IntfPtr<IBdsToolBarControl> foreign(new ForeignControl());
    EXPECT_EQ(toolBar->RemoveControl(foreign.get()), E_INVALIDARG);
    EXPECT_EQ(toolBar->RemoveControl(nullptr), S_OK);
    EXPECT_EQ(ControlCount(), 1);

    EXPECT_EQ(toolBar->RemoveControl(button.get()), S_OK);
    EXPECT_EQ(ControlCount(), 0);
    EXPECT_EQ(native->ButtonCount(), 0);
    EXPECT_EQ(button->Set_Caption(Bstr(u"x").get()), E_UNEXPECTED);
    EXPECT_EQ(toolBar->RemoveControl(button.get()), S_OK);

    IntfPtr<IBdsToolBar> other = AddToolBar(u"OtherToolBar");
    auto combo = Add<IBdsToolBarComboBox>(other.get(), kComboBox);
    EXPECT_EQ(toolBar->RemoveControl(reinterpret_cast<IBdsToolBarControl*>(combo.get())), S_OK);
    EXPECT_EQ(Native(other.get())->ControlCount(), 0);
    LONG count = -1;
    EXPECT_EQ(other->Get_ControlCount(&count), S_OK);
    EXPECT_EQ(count, 0);
}

// Catches an update pass that does not run on idle, runs more than once
// a step, or goes first to last.
TEST_F(ToolBarTest, IdleRunsOneUpdatePassLastControlFirst)
{
    IntfPtr<IBdsToolBarControl> a = AddControl(toolBar.get(), kButton);
    IntfPtr<IBdsToolBarControl> b = AddControl(toolBar.get(), kPopUp);
    IntfPtr<IBdsToolBarControl> c = AddControl(toolBar.get(), kComboBox);
    a->RegisterEvents(Sink("a").get());
    c->RegisterEvents(Sink("c").get());
    IntfPtr<IBdsToolBar> second = AddToolBar(u"SecondToolBar");
    IntfPtr<IBdsToolBarControl> d = AddControl(second.get(), kButton);
    d->RegisterEvents(Sink("d").get());
    EXPECT_TRUE(log.empty());

    Ide().App().Idle();
    EXPECT_EQ(log, (std::vector<std::string>{"d OnUpdate", "c OnUpdate", "a OnUpdate"}));
    log.clear();
    Ide().App().Idle();
    EXPECT_EQ(log.size(), 3u);
}

// Catches an update pass that walks on after a sink removed a control, a
// toolbar or itself.
TEST_F(ToolBarTest, UpdatePassSurvivesSinksThatRemoveThings)
{
    IntfPtr<IBdsToolBarControl> a = AddControl(toolBar.get(), kButton);
    IntfPtr<IBdsToolBarControl> b = AddControl(toolBar.get(), kButton);
    IntfPtr<IBdsToolBar> second = AddToolBar(u"SecondToolBar");
    IntfPtr<IBdsToolBarControl> c = AddControl(second.get(), kButton);
    auto sinkB = Sink("b");
    auto sinkC = Sink("c");
    a->RegisterEvents(Sink("a").get());
    b->RegisterEvents(sinkB.get());
    c->RegisterEvents(sinkC.get());
    // c takes toolBar away with everything on it; b would have been next.
    sinkC->Does = [&](const std::string&) { service->RemoveToolBar(toolBar.get()); };
    Ide().App().Idle();
    EXPECT_EQ(log, (std::vector<std::string>{"c OnUpdate"}));

    log.clear();
    sinkC->Does = [&](const std::string&) { c = nullptr; };
    Ide().App().Idle();
    EXPECT_EQ(log, (std::vector<std::string>{"c OnUpdate"}));
    EXPECT_EQ(Native(second.get())->ButtonCount(), 0);
}

// Catches a toolbar that stays fixed in size as controls come and go.
TEST_F(ToolBarTest, ToolbarSizesItselfToItsControls)
{
    IntfPtr<IBdsToolBarControl> a = AddControl(toolBar.get(), kButton);
    IntfPtr<IBdsToolBarControl> b = AddControl(toolBar.get(), kButton);
    LONG width = 0, height = 0;
    EXPECT_EQ(toolBar->Get_Width(&width), S_OK);
    EXPECT_EQ(toolBar->Get_Height(&height), S_OK);
    EXPECT_EQ(width, 2 * native->ButtonWidth());
    EXPECT_EQ(height, native->ButtonHeight());
    b->Set_Visible(VARIANT_FALSE);
    EXPECT_EQ(toolBar->Get_Width(&width), S_OK);
    EXPECT_EQ(width, native->ButtonWidth());

    EXPECT_EQ(toolBar->Set_Left(40), S_OK);
    EXPECT_EQ(toolBar->Set_Top(30), S_OK);
    LONG left = 0, top = 0;
    toolBar->Get_Left(&left);
    toolBar->Get_Top(&top);
    EXPECT_EQ(left, 40);
    EXPECT_EQ(top, 30);
}

} // namespace
