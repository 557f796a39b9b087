// A native toolbar, or a control on it, freed by someone other than the
// wrapper that holds it: another wrapper of the same toolbar, or the IDE.
// The wrapper closes (or the control ends) and never touches what went.
#include "tests/support/InterfaceSlots.h"
#include "tests/toolbars/ToolbarFixture.h"

namespace {

using namespace tvx::test;
using tvx::Bstr;
using tvx::IntfPtr;

class FreedElsewhereTest : public ToolbarFixture {
protected:
    void SetUp() override
    {
        ToolbarFixture::SetUp();
        IdeBars().Load();
    }
};

// Catches the second wrapper of a name left pointing at the native toolbar
// that RemoveToolBar on the first one freed, and the service still holding
// its reference on it.
TEST_F(FreedElsewhereTest, RemovingOneWrapperClosesTheOtherOfTheSameToolbar)
{
    IntfPtr<IBdsToolBar> first = AddToolBar(u"SharedBar");
    IntfPtr<IBdsToolBar> second = AddToolBar(u"SharedBar");
    IntfPtr<IBdsToolBarControl> button = AddControl(second.get(), kButton);
    auto sink = Sink("button");
    button->RegisterEvents(sink.get());

    EXPECT_EQ(service->RemoveToolBar(first.get()), S_OK);

    EXPECT_EQ(IdeBars().FindToolBar(u"SharedBar"), nullptr);
    ExpectEndedCalls(second.get());
    EXPECT_REF(second.get(), 1) << "the service's reference stayed on a closed toolbar";
    IntfPtr<IBdsToolBar> found;
    EXPECT_EQ(service->FindToolBar(Bstr(u"SharedBar").get(), found.put()), S_OK);
    EXPECT_EQ(found, nullptr);
    EXPECT_EQ(button->Set_Caption(Bstr(u"Go").get()), E_UNEXPECTED);
    EXPECT_REF(sink.get(), 1) << "the closed toolbar's control kept its sink";
    EXPECT_EQ(service->RemoveToolBar(second.get()), S_OK);
    EXPECT_REF(second.get(), 1);
}

// Catches a control whose VCL objects another wrapper's Clear freed staying
// live and pointing at them.
TEST_F(FreedElsewhereTest, ClearThroughOneWrapperEndsTheOthersControls)
{
    IntfPtr<IBdsToolBar> first = AddToolBar(u"SharedBar");
    IntfPtr<IBdsToolBar> second = AddToolBar(u"SharedBar");
    IntfPtr<IBdsToolBarControl> button = AddControl(second.get(), kButton);
    IntfPtr<IBdsToolBarControl> combo = AddControl(second.get(), kComboBox);

    EXPECT_EQ(first->Clear(), S_OK);

    EXPECT_EQ(button->Set_Caption(Bstr(u"Go").get()), E_UNEXPECTED);
    LONG count = 7;
    EXPECT_EQ(combo.as<IBdsToolBarComboBox>()->Get_ItemCount(&count), E_UNEXPECTED);
    EXPECT_EQ(second->Get_ControlCount(&count), S_OK);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(second->RemoveControl(button.get()), S_OK);
    EXPECT_TRUE(Native(second.get())->OrderedControls().empty());
}

// Catches a package's wrapper of one of the IDE's toolbars, and its
// controls, left pointing at the toolbar after the IDE freed it.
TEST_F(FreedElsewhereTest, IdeFreeingAnAdoptedToolbarClosesItsWrapper)
{
    IntfPtr<IBdsToolBar> adopted = AddToolBar(u"DebugToolBar");
    IntfPtr<IBdsToolBarControl> button = AddControl(adopted.get(), kButton);

    IdeBars().FindToolBar(u"DebugToolBar")->Free();

    ExpectEndedCalls(adopted.get());
    EXPECT_REF(adopted.get(), 1);
    EXPECT_EQ(button->Set_Caption(Bstr(u"Go").get()), E_UNEXPECTED);
    EXPECT_EQ(service->RemoveToolBar(adopted.get()), S_OK);
    Ide().Toolbars().Idle();
}

// Catches a combo box whose caption label (or box) the IDE frees leaving
// the other half on the toolbar, bound to a wrapper that may go.
TEST_F(FreedElsewhereTest, FreeingHalfAComboBoxEndsTheWholeControl)
{
    for (bool labelFreed : {true, false}) {
        SCOPED_TRACE(labelFreed ? "label freed" : "combo box freed");
        IntfPtr<IBdsToolBar> bar = AddToolBar(u"HalfBar");
        IntfPtr<IBdsToolBarControl> combo = AddControl(bar.get(), kComboBox);
        auto sink = Sink("half");
        combo->RegisterEvents(sink.get());
        auto* object =
            static_cast<talvix::TBdsToolBarComboBox*>(talvix::TBdsToolBarControl::FromInterface(combo.get()));
        TControl* half = labelFreed ? static_cast<TControl*>(object->CaptionLabel()) : object->ComboBox();

        half->Free();

        EXPECT_TRUE(Native(bar.get())->OrderedControls().empty()) << "the other half stayed";
        EXPECT_REF(sink.get(), 1);
        EXPECT_EQ(combo->Set_Caption(Bstr(u"Go").get()), E_UNEXPECTED);
        combo = nullptr;
        EXPECT_EQ(service->RemoveToolBar(bar.get()), S_OK);
    }
}

} // namespace
