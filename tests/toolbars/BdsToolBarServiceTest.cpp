// IBdsToolBarService: making and adopting toolbars, finding them, removing
// them, and the service's Clear.
#include "tests/toolbars/ToolbarFixture.h"

#include "interop/Utf.h"

namespace {

using namespace tvx::test;
using tvx::Bstr;
using tvx::IntfPtr;

using ToolBarServiceTest = ToolbarFixture;

// Catches an adopted IDE toolbar that gets hidden or replaced, and a new
// toolbar that shows before the package fills it.
TEST_F(ToolBarServiceTest, AdoptsTheIdeToolbarAsItIsAndMakesNewOnesHidden)
{
    TToolBar* standard = IdeBars().FindToolBar(u"StandardToolBar");
    ASSERT_NE(standard, nullptr);
    const int buttons = standard->ButtonCount();

    IntfPtr<IBdsToolBar> adopted = AddToolBar(u"StandardToolBar");
    EXPECT_EQ(Native(adopted.get()), standard);
    EXPECT_TRUE(standard->Visible());
    EXPECT_TRUE(standard->AutoSize());
    EXPECT_EQ(standard->ButtonCount(), buttons);

    IntfPtr<IBdsToolBar> made = AddToolBar(u"PackageToolBar", u"Package Tools");
    TToolBar* native = IdeBars().FindToolBar(u"PackageToolBar");
    ASSERT_NE(native, nullptr);
    EXPECT_EQ(Native(made.get()), native);
    EXPECT_FALSE(native->Visible());
    EXPECT_TRUE(native->AutoSize());
    EXPECT_EQ(native->Caption(), u"Package Tools");
    EXPECT_EQ(native->Parent(), IdeBars().Dock());
}

// Catches a case-insensitive find, a first-match find, and a find that
// fails instead of answering null.
TEST_F(ToolBarServiceTest, FindsByExactNameAndTheLastWrapperWins)
{
    IntfPtr<IBdsToolBar> first = AddToolBar(u"PackageToolBar");
    IntfPtr<IBdsToolBar> second = AddToolBar(u"PackageToolBar");
    ASSERT_NE(first.get(), second.get());
    EXPECT_EQ(Native(first.get()), Native(second.get()));

    IntfPtr<IBdsToolBar> found;
    EXPECT_EQ(service->FindToolBar(Bstr(u"PackageToolBar").get(), found.put()), S_OK);
    EXPECT_EQ(found.get(), second.get());

    for (const char16_t* other : {u"packagetoolbar", u"PACKAGETOOLBAR", u"Missing", u""}) {
        SCOPED_TRACE(tvx::Utf16ToUtf8(other));
        IntfPtr<IBdsToolBar> none;
        EXPECT_EQ(service->FindToolBar(Bstr(other).get(), none.put()), S_OK);
        EXPECT_EQ(none.get(), nullptr);
    }
}

// Catches a service that does not keep its own reference: the package's
// release would then take the toolbar out of the IDE.
TEST_F(ToolBarServiceTest, KeepsAToolbarAfterThePackageLetsGo)
{
    IntfPtr<IBdsToolBar> toolBar = AddToolBar(u"PackageToolBar");
    EXPECT_REF(toolBar.get(), 2);
    toolBar = nullptr;

    IntfPtr<IBdsToolBar> found;
    ASSERT_EQ(service->FindToolBar(Bstr(u"PackageToolBar").get(), found.put()), S_OK);
    ASSERT_NE(found.get(), nullptr);
    EXPECT_EQ(NameOf(found.get()), u"PackageToolBar");
}

// Catches a removed toolbar left in the IDE, or controls that survive it
// with their windows.
TEST_F(ToolBarServiceTest, RemovedToolbarLeavesTheIdeWithItsControls)
{
    IdeBars().Load();
    const std::size_t windowsBefore = tvx::win32::LiveWindowCount();
    IntfPtr<IBdsToolBar> toolBar = AddToolBar(u"PackageToolBar");
    IntfPtr<IBdsToolBarControl> button = AddControl(toolBar.get(), kButton);
    IntfPtr<IBdsToolBarControl> combo = AddControl(toolBar.get(), kComboBox);
    toolBar->Set_Visible(VARIANT_TRUE);
    // The toolbar's window and the combo box's.
    ASSERT_EQ(tvx::win32::LiveWindowCount(), windowsBefore + 2);

    ASSERT_EQ(service->RemoveToolBar(toolBar.get()), S_OK);
    EXPECT_EQ(IdeBars().FindToolBar(u"PackageToolBar"), nullptr);
    EXPECT_REF(toolBar.get(), 1);

    // Its controls were cut loose with it, their windows gone.
    EXPECT_EQ(button->Set_Caption(Bstr(u"x").get()), E_UNEXPECTED);
    EXPECT_EQ(combo->Set_Caption(Bstr(u"x").get()), E_UNEXPECTED);
    EXPECT_EQ(tvx::win32::LiveWindowCount(), windowsBefore);
    button = nullptr;
    combo = nullptr;
    toolBar = nullptr;
}

// Catches an adopted IDE toolbar that survives its removal.
TEST_F(ToolBarServiceTest, RemovingAnAdoptedToolbarDestroysTheIdeToolbar)
{
    IntfPtr<IBdsToolBar> adopted = AddToolBar(u"ViewToolBar");
    ASSERT_NE(IdeBars().FindToolBar(u"ViewToolBar"), nullptr);
    EXPECT_EQ(service->RemoveToolBar(adopted.get()), S_OK);
    EXPECT_EQ(IdeBars().FindToolBar(u"ViewToolBar"), nullptr);
    for (TToolBar* bar : IdeBars().ToolBars())
        EXPECT_NE(bar->Name(), u"ViewToolBar");
}

// Catches a removal that trusts any interface, or that drops a second
// reference (the package's own) when a toolbar is removed twice.
TEST_F(ToolBarServiceTest, RefusesForeignToolbarsAndRemovesOnlyOnce)
{
    IntfPtr<IBdsToolBar> toolBar = AddToolBar(u"PackageToolBar");
    IntfPtr<IBdsToolBar> foreign(new ForeignToolBar());
    EXPECT_EQ(service->RemoveToolBar(foreign.get()), E_INVALIDARG);
    EXPECT_EQ(service->RemoveToolBar(nullptr), E_INVALIDARG);
    EXPECT_NE(IdeBars().FindToolBar(u"PackageToolBar"), nullptr);
    EXPECT_REF(toolBar.get(), 2);

    EXPECT_EQ(service->RemoveToolBar(toolBar.get()), S_OK);
    EXPECT_REF(toolBar.get(), 1);
    EXPECT_EQ(service->RemoveToolBar(toolBar.get()), S_OK);
    EXPECT_REF(toolBar.get(), 1);
}

// Catches a Clear that frees wrappers packages still hold, or that takes
// the toolbars out of the IDE, or that leaves the IDE's buttons calling
// into ended controls.
TEST_F(ToolBarServiceTest, ClearLetsGoOfToolbarsThatStayInTheIde)
{
    IntfPtr<IBdsToolBar> toolBar = AddToolBar(u"PackageToolBar");
    IntfPtr<IBdsToolBarControl> button = AddControl(toolBar.get(), kButton);
    button->Set_Name(Bstr(u"PackageButton").get());
    button->RegisterEvents(Sink("button").get());
    toolBar->Set_Visible(VARIANT_TRUE);
    EXPECT_REF(toolBar.get(), 2);

    EXPECT_EQ(service->Clear(), S_OK);
    EXPECT_REF(toolBar.get(), 1);
    TToolBar* native = IdeBars().FindToolBar(u"PackageToolBar");
    ASSERT_NE(native, nullptr);
    EXPECT_EQ(native->ButtonCount(), 1);

    IntfPtr<IBdsToolBar> found;
    EXPECT_EQ(service->FindToolBar(Bstr(u"PackageToolBar").get(), found.put()), S_OK);
    EXPECT_EQ(found.get(), nullptr);
    LONG left = 9;
    EXPECT_EQ(toolBar->Get_Left(&left), E_UNEXPECTED);
    EXPECT_EQ(left, 0);
    EXPECT_EQ(button->Set_Caption(Bstr(u"x").get()), E_UNEXPECTED);

    IdeBars().ClickButton(u"PackageToolBar", u"PackageButton");
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(service->RemoveToolBar(toolBar.get()), S_OK);
    EXPECT_NE(IdeBars().FindToolBar(u"PackageToolBar"), nullptr);
}

// Catches names the VCL refuses being applied, or reported as success.
TEST_F(ToolBarServiceTest, RefusedNamesChangeNothing)
{
    IntfPtr<IBdsToolBar> toolBar = AddToolBar(u"PackageToolBar");
    EXPECT_EQ(toolBar->Set_Name(Bstr(u"Not A Name").get()), E_INVALIDARG);
    EXPECT_EQ(toolBar->Set_Name(Bstr(u"DebugToolBar").get()), E_INVALIDARG);
    EXPECT_EQ(NameOf(toolBar.get()), u"PackageToolBar");
    EXPECT_EQ(toolBar->Set_Name(Bstr(u"RenamedToolBar").get()), S_OK);
    EXPECT_EQ(IdeBars().FindToolBar(u"RenamedToolBar"), Native(toolBar.get()));

    IntfPtr<IBdsToolBar> refused;
    EXPECT_EQ(service->AddToolBar(Bstr(u"1st").get(), Bstr(u"t").get(), refused.put()), E_INVALIDARG);
    EXPECT_EQ(refused.get(), nullptr);
}

// Catches floating that is reported wrongly or seemingly switched.
TEST_F(ToolBarServiceTest, ReportsFloatingAndRefusesToSwitchIt)
{
    IntfPtr<IBdsToolBar> toolBar = AddToolBar(u"PackageToolBar");
    VARIANT_BOOL floating = 7;
    EXPECT_EQ(toolBar->Get_Floating(&floating), S_OK);
    EXPECT_EQ(floating, VARIANT_FALSE);
    EXPECT_EQ(toolBar->Set_Floating(VARIANT_TRUE), E_NOTIMPL);
    Native(toolBar.get())->ManualFloat(TRect{100, 100, 300, 140});
    EXPECT_EQ(toolBar->Get_Floating(&floating), S_OK);
    EXPECT_EQ(floating, VARIANT_TRUE);
    Native(toolBar.get())->ManualDock(IdeBars().Dock());
    EXPECT_EQ(toolBar->Get_Floating(&floating), S_OK);
    EXPECT_EQ(floating, VARIANT_FALSE);
}

} // namespace
