// Controls and toolbars ended in every order: package release,
// RemoveControl, the toolbar's Clear, RemoveToolBar and the service's Clear.
// Under the sanitizer build a use after free or a leak fails the run; here
// every later call must answer E_UNEXPECTED and no window or bitmap may stay
// behind.
#include "tests/support/InterfaceSlots.h"
#include "tests/toolbars/ToolbarFixture.h"

#include "interop/Utf.h"

namespace {

using namespace tvx::test;
using tvx::Bstr;
using tvx::IntfPtr;

class LifetimeTest : public ToolbarFixture {
protected:
    struct PackageToolbar {
        IntfPtr<IBdsToolBar> toolBar;
        std::vector<IntfPtr<IBdsToolBarControl>> controls;
        IntfPtr<RecordingSink> sink;
    };

    void SetUp() override
    {
        ToolbarFixture::SetUp();
        IdeBars().Load();
        windows = tvx::win32::LiveWindowCount();
        bitmaps = tvx::win32::LiveBitmapCount();
    }

    // A shown toolbar with every kind of control, a separator, an image and
    // one sink for all of them.
    PackageToolbar Make(const std::u16string& name)
    {
        PackageToolbar p;
        p.toolBar = AddToolBar(name);
        p.sink = Sink(tvx::Utf16ToUtf8(name));
        for (LONG type : {kButton, kComboBox, kListComboBox, kPopUp}) {
            p.controls.push_back(AddControl(p.toolBar.get(), type));
            p.controls.back()->RegisterEvents(p.sink.get());
            p.toolBar->AddSeparator();
        }
        p.controls[0]->Set_Name(Bstr(name + u"Button").get());
        p.controls[0].as<IBdsToolBarButton>()->SetImage(MagentaBitmap());
        p.toolBar->Set_Visible(VARIANT_TRUE);
        return p;
    }

    // Every method of an ended control, through each interface it has.
    static void ExpectEnded(IBdsToolBarControl* control)
    {
        ExpectEndedCalls(control);
        if (auto button = IntfPtr<IBdsToolBarControl>(control).try_as<IBdsToolBarButton>())
            ExpectEndedCalls(button.get());
        if (auto combo = IntfPtr<IBdsToolBarControl>(control).try_as<IBdsToolBarComboBox>())
            ExpectEndedCalls(combo.get());
    }

    void ExpectNothingLeft(std::size_t extraWindows = 0)
    {
        EXPECT_EQ(tvx::win32::LiveWindowCount(), windows + extraWindows);
        EXPECT_EQ(tvx::win32::LiveBitmapCount(), bitmaps);
        EXPECT_EQ(tvx::win32::DoubleDeleteCount(), 0u);
    }

    std::size_t windows = 0;
    std::size_t bitmaps = 0;
};

// Catches controls whose release leaves VCL controls or windows behind,
// and a toolbar removal that touches released controls.
TEST_F(LifetimeTest, PackageReleasesControlsThenRemovesTheToolbar)
{
    PackageToolbar p = Make(u"First");
    p.controls.clear();
    EXPECT_EQ(Native(p.toolBar.get())->ButtonCount(), 4);
    EXPECT_EQ(service->RemoveToolBar(p.toolBar.get()), S_OK);
    EXPECT_REF(p.sink.get(), 1);
    p.toolBar = nullptr;
    ExpectNothingLeft();
}

// Catches RemoveControl ending a control twice when the package lets go
// afterwards.
TEST_F(LifetimeTest, RemoveControlThenRelease)
{
    PackageToolbar p = Make(u"First");
    for (auto& control : p.controls)
        EXPECT_EQ(p.toolBar->RemoveControl(control.get()), S_OK);
    EXPECT_REF(p.sink.get(), 1);
    for (auto& control : p.controls)
        ExpectEnded(control.get());
    p.controls.clear();
    EXPECT_EQ(service->RemoveToolBar(p.toolBar.get()), S_OK);
    p.toolBar = nullptr;
    ExpectNothingLeft();
}

// Catches a Clear whose ended controls later free their VCL controls again.
TEST_F(LifetimeTest, ToolbarClearThenCallsAndRelease)
{
    PackageToolbar p = Make(u"First");
    EXPECT_EQ(p.toolBar->Clear(), S_OK);
    for (auto& control : p.controls)
        ExpectEnded(control.get());
    EXPECT_EQ(p.toolBar->RemoveControl(p.controls[0].get()), S_OK);
    p.controls.clear();
    // The toolbar's own window stays until it is removed.
    ExpectNothingLeft(1);
    EXPECT_EQ(service->RemoveToolBar(p.toolBar.get()), S_OK);
    p.toolBar = nullptr;
    ExpectNothingLeft();
}

// Catches controls that reach their freed VCL controls after the toolbar
// was removed under them, in either order of letting go.
TEST_F(LifetimeTest, RemoveToolBarUnderHeldControls)
{
    for (bool toolbarFirst : {true, false}) {
        SCOPED_TRACE(toolbarFirst ? "toolbar released first" : "controls released first");
        PackageToolbar p = Make(u"Held");
        EXPECT_EQ(service->RemoveToolBar(p.toolBar.get()), S_OK);
        EXPECT_REF(p.sink.get(), 1);
        for (auto& control : p.controls)
            ExpectEnded(control.get());
        // A closed toolbar still ends controls, its own or another's.
        EXPECT_EQ(p.toolBar->RemoveControl(p.controls[0].get()), S_OK);
        EXPECT_EQ(p.toolBar->RemoveControl(nullptr), S_OK);
        PackageToolbar other = Make(u"Other");
        EXPECT_EQ(p.toolBar->RemoveControl(other.controls[1].get()), S_OK);
        ExpectEnded(other.controls[1].get());
        EXPECT_EQ(service->RemoveToolBar(other.toolBar.get()), S_OK);
        other = PackageToolbar();
        if (toolbarFirst)
            p.toolBar = nullptr;
        p.controls.clear();
        p.toolBar = nullptr;
        ExpectNothingLeft();
    }
}

// Catches the service's Clear freeing wrappers packages still hold, or
// leaving IDE controls that call into released wrappers.
TEST_F(LifetimeTest, ServiceClearThenCallsClicksAndRelease)
{
    PackageToolbar first = Make(u"First");
    PackageToolbar second = Make(u"Second");
    first.controls.resize(2);
    EXPECT_EQ(service->Clear(), S_OK);
    for (auto* p : {&first, &second})
        for (auto& control : p->controls)
            ExpectEnded(control.get());
    LONG left = 5;
    EXPECT_EQ(second.toolBar->Get_Left(&left), E_UNEXPECTED);
    EXPECT_EQ(left, 0);

    second.controls.clear();
    IdeBars().ClickButton(u"Second", u"SecondButton");
    first.toolBar = nullptr;
    second.toolBar = nullptr;
    first.controls.clear();
    IdeBars().ClickButton(u"First", u"FirstButton");
    for (TControl* control : IdeBars().FindToolBar(u"First")->OrderedControls())
        if (auto* combo = dynamic_cast<TComboBox*>(control); combo && combo->CanEditText())
            combo->UserEdit(u"typed");
    EXPECT_TRUE(log.empty());
    // Both toolbars stay in the IDE with their windows and VCL controls,
    // but for the list box of the first, which its package let go before.
    EXPECT_NE(IdeBars().FindToolBar(u"First"), nullptr);
    EXPECT_EQ(tvx::win32::LiveWindowCount(), windows + 3 + 2);
}

// Catches a toolbar found again after the package let go that no longer
// has the service's reference, or loses it twice.
TEST_F(LifetimeTest, ReleasedToolbarIsFoundAndRemovedOnce)
{
    PackageToolbar p = Make(u"First");
    p.toolBar = nullptr;
    IntfPtr<IBdsToolBar> found;
    ASSERT_EQ(service->FindToolBar(Bstr(u"First").get(), found.put()), S_OK);
    ASSERT_NE(found.get(), nullptr);
    EXPECT_EQ(service->RemoveToolBar(found.get()), S_OK);
    EXPECT_EQ(service->RemoveToolBar(found.get()), S_OK);
    EXPECT_REF(found.get(), 1);
    found = nullptr;
    for (auto& control : p.controls)
        ExpectEnded(control.get());
    p.controls.clear();
    ExpectNothingLeft();
}

// Catches the service's reference dropped twice when a sink's last release
// removes its own toolbar while that toolbar is being removed, freed by the
// IDE or let go of by the service's Clear.
TEST_F(LifetimeTest, ASinkThatRemovesItsToolbarWhileItLeaves)
{
    for (const char* way : {"RemoveToolBar", "freed by the IDE", "Clear"}) {
        SCOPED_TRACE(way);
        IntfPtr<IBdsToolBar> bar = AddToolBar(u"Again");
        IntfPtr<IBdsToolBarControl> button = AddControl(bar.get(), kButton);
        {
            auto sink = Sink("again");
            sink->OnLastRelease = [this, raw = bar.get()] { EXPECT_EQ(service->RemoveToolBar(raw), S_OK); };
            button->RegisterEvents(sink.get());
        }
        if (way == std::string("RemoveToolBar"))
            EXPECT_EQ(service->RemoveToolBar(bar.get()), S_OK);
        else if (way == std::string("Clear"))
            EXPECT_EQ(service->Clear(), S_OK);
        else
            IdeBars().FindToolBar(u"Again")->Free();
        EXPECT_REF(bar.get(), 1);
        LONG left = 7;
        EXPECT_EQ(bar->Get_Left(&left), E_UNEXPECTED);
        button = nullptr;
        bar = nullptr;
    }
}

// Catches a removal that stops half-way, with a range error, when package
// code reached from it frees more buttons: here a second wrapper's control
// whose button goes first lets go of the others, and the toolbar must
// still leave the IDE and the service's list.
TEST_F(LifetimeTest, RemovalFinishesWhenPackageCodeFreesButtonsMeanwhile)
{
    IntfPtr<IBdsToolBar> first = AddToolBar(u"Shared");
    IntfPtr<IBdsToolBar> second = AddToolBar(u"Shared");
    std::vector<IntfPtr<IBdsToolBarControl>> others{AddControl(second.get(), kButton),
                                                    AddControl(second.get(), kButton)};
    IntfPtr<IBdsToolBarControl> last = AddControl(second.get(), kButton);
    {
        auto sink = Sink("last");
        sink->OnLastRelease = [&others] { others.clear(); };
        last->RegisterEvents(sink.get());
    }
    EXPECT_EQ(service->RemoveToolBar(first.get()), S_OK);
    EXPECT_EQ(IdeBars().FindToolBar(u"Shared"), nullptr);
    IntfPtr<IBdsToolBar> found;
    EXPECT_EQ(service->FindToolBar(Bstr(u"Shared").get(), found.put()), S_OK);
    EXPECT_EQ(found, nullptr);
    EXPECT_REF(first.get(), 1);
    last = nullptr;
    ExpectNothingLeft();
}

} // namespace
