// The menu item wrapper: its properties, navigation, begin-group separator,
// click sink, ending, and the warnings of an ended wrapper.
#include "interop/VariantBool.h"
#include "tests/menus/MenuFixture.h"
#include "tests/support/InterfaceSlots.h"

namespace tvx::test {
namespace {

using BdsMenuItemTest = MenuFixture;

// Catches "&" marks lost, booleans not written as -1 or not read as any
// non-zero value, and setters that miss the VCL item.
TEST_F(BdsMenuItemTest, PropertiesReachTheItem)
{
    IntfPtr<IBdsMenuItem> save = Get(u"FileMenu\\FileSaveItem");
    TMenuItem* item = Item(u"FileMenu\\FileSaveItem");
    EXPECT_EQ(save->Set_Caption(Bstr(u"Save && &Close").get()), S_OK);
    EXPECT_EQ(item->Caption(), u"Save && &Close");
    Bstr caption;
    save->Get_Caption(caption.put());
    EXPECT_EQ(caption.str(), u"Save && &Close");

    VARIANT_BOOL value = 7;
    EXPECT_EQ(save->Set_Checked(1), S_OK);
    save->Get_Checked(&value);
    EXPECT_EQ(value, VARIANT_TRUE);
    save->Set_Enabled(VARIANT_FALSE);
    save->Get_Enabled(&value);
    EXPECT_EQ(value, VARIANT_FALSE);
    EXPECT_FALSE(item->Enabled());
    save->Set_Visible(VARIANT_FALSE);
    EXPECT_FALSE(item->Visible());

    LONG count = -1;
    Get(u"ToolsMenu")->Get_ChildCount(&count);
    EXPECT_EQ(count, 5);
}

// Catches shortcuts converted on the way, or values beyond 16 bits that
// would silently become another key.
TEST_F(BdsMenuItemTest, ShortcutPassesThroughWithin16Bits)
{
    IntfPtr<IBdsMenuItem> save = Get(u"FileMenu\\FileSaveItem");
    EXPECT_EQ(save->Set_Shortcut(scCtrl | 'S'), S_OK);
    LONG shortcut = 0;
    save->Get_Shortcut(&shortcut);
    EXPECT_EQ(shortcut, LONG(scCtrl | 'S'));
    EXPECT_EQ(save->Set_Shortcut(0xFFFF), S_OK);
    EXPECT_EQ(save->Set_Shortcut(0x10000), E_INVALIDARG);
    EXPECT_EQ(save->Set_Shortcut(-1), E_INVALIDARG);
    EXPECT_EQ(Item(u"FileMenu\\FileSaveItem")->ShortCut(), 0xFFFF);
}

// Catches navigation that walks past the ends, skips the root, or hands out
// wrappers of the wrong items.
TEST_F(BdsMenuItemTest, NavigationEndsWithNull)
{
    IntfPtr<IBdsMenuItem> open = Get(u"FileMenu\\FileOpenItem");
    IntfPtr<IBdsMenuItem> result;
    IBdsMenuItem* raw = SentinelPointer<IBdsMenuItem>();
    EXPECT_EQ(open->Get_PrevMenuItem(&raw), S_OK);
    EXPECT_EQ(raw, nullptr);
    EXPECT_EQ(open->Get_NextMenuItem(result.put()), S_OK);
    EXPECT_EQ(NameOf(result.get()), u"N1");

    IntfPtr<IBdsMenuItem> exit = Get(u"FileMenu\\FileExitItem");
    raw = SentinelPointer<IBdsMenuItem>();
    EXPECT_EQ(exit->Get_NextMenuItem(&raw), S_OK);
    EXPECT_EQ(raw, nullptr);
    EXPECT_EQ(exit->Get_PrevMenuItem(result.put()), S_OK);
    EXPECT_EQ(NameOf(result.get()), u"FileSaveItem");

    IntfPtr<IBdsMenuItem> parent;
    Get(u"FileMenu")->Get_ParentMenuItem(parent.put());
    EXPECT_EQ(parent, Get(u""));
    raw = SentinelPointer<IBdsMenuItem>();
    EXPECT_EQ(parent->Get_ParentMenuItem(&raw), S_OK);
    EXPECT_EQ(raw, nullptr);
    raw = SentinelPointer<IBdsMenuItem>();
    EXPECT_EQ(parent->Get_NextMenuItem(&raw), S_OK);
    EXPECT_EQ(raw, nullptr);

    for (LONG index : {-1, 3, 100}) {
        raw = SentinelPointer<IBdsMenuItem>();
        EXPECT_EQ(parent->ChildMenuItem(index, &raw), S_OK);
        EXPECT_EQ(raw, nullptr);
    }
}

// Catches a second separator for one group, a separator in the wrong place
// or under the wrong name, and a separator left behind when the group ends.
TEST_F(BdsMenuItemTest, BeginGroupAddsAndRemovesOneSeparator)
{
    IntfPtr<IBdsMenuItem> exit = Get(u"FileMenu\\FileExitItem");
    VARIANT_BOOL on = VARIANT_TRUE;
    exit->Get_BeginGroup(&on);
    EXPECT_EQ(on, VARIANT_FALSE);
    EXPECT_EQ(exit->Set_BeginGroup(VARIANT_TRUE), S_OK);
    EXPECT_EQ(exit->Set_BeginGroup(1), S_OK);
    EXPECT_EQ(ChildNames(u"FileMenu"), (std::vector<String>{u"FileOpenItem", u"N1", u"FileSaveItem",
                                                            u"SeparatorBefore_FileExitItem", u"FileExitItem"}));
    EXPECT_EQ(Item(u"FileMenu\\SeparatorBefore_FileExitItem")->Caption(), u"-");
    exit->Get_BeginGroup(&on);
    EXPECT_EQ(on, VARIANT_TRUE);

    EXPECT_EQ(exit->Set_BeginGroup(VARIANT_FALSE), S_OK);
    EXPECT_EQ(Item(u"FileMenu")->Count(), 4);
    exit->Get_BeginGroup(&on);
    EXPECT_EQ(on, VARIANT_FALSE);
    // Its wrapper retired with it: nothing answers the name any more.
    EXPECT_FALSE(Get(u"FileMenu\\SeparatorBefore_FileExitItem"));
    // And on again makes a fresh one.
    EXPECT_EQ(exit->Set_BeginGroup(VARIANT_TRUE), S_OK);
    EXPECT_EQ(Item(u"FileMenu")->Count(), 5);
}

// Catches a separator the IDE made being kept when the package turns the
// group off, or its wrapper touching the freed item afterwards.
TEST_F(BdsMenuItemTest, BeginGroupOffFreesTheIdesSeparator)
{
    IntfPtr<IBdsMenuItem> separator = Get(u"FileMenu\\N1");
    IntfPtr<IBdsMenuItem> save = Get(u"FileMenu\\FileSaveItem");
    VARIANT_BOOL on = VARIANT_FALSE;
    save->Get_BeginGroup(&on);
    EXPECT_EQ(on, VARIANT_TRUE);
    EXPECT_EQ(save->Set_BeginGroup(VARIANT_FALSE), S_OK);
    EXPECT_EQ(ChildNames(u"FileMenu"), (std::vector<String>{u"FileOpenItem", u"FileSaveItem", u"FileExitItem"}));
    Bstr caption;
    EXPECT_EQ(separator->Get_Caption(caption.put()), E_UNEXPECTED);
    auto boxes = win32::TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, u"GetCaption for N1");
}

// Catches a click that misses the sink or reaches it twice, and a sink
// registration that keeps the IDE's handler or leaves ours behind.
TEST_F(BdsMenuItemTest, ClicksReachTheRegisteredSink)
{
    TMenuItem* item = Item(u"FileMenu\\FileSaveItem");
    struct Ide {
        void Clicked(TObject*) { ++clicks; }
        int clicks = 0;
    } ide;
    item->SetOnClick(MakeEvent<&Ide::Clicked>(&ide));
    IntfPtr<IBdsMenuItem> save = Get(u"FileMenu\\FileSaveItem");
    IntfPtr<CountingEvents> sink(new CountingEvents());
    EXPECT_EQ(save->RegisterEvents(sink.get()), S_OK);
    EXPECT_EQ(save->InvokeAction(), S_OK);
    EXPECT_EQ(sink->Clicks, 1);
    item->Click();
    EXPECT_EQ(sink->Clicks, 2);
    EXPECT_EQ(ide.clicks, 0);

    EXPECT_EQ(save->RegisterEvents(nullptr), S_OK);
    EXPECT_FALSE(item->OnClick().Assigned());
    save->InvokeAction();
    EXPECT_EQ(sink->Clicks, 2);
    EXPECT_REF(sink.get(), 1);

    // A wrapper that goes leaves no handler of its own on the IDE's item.
    save->RegisterEvents(sink.get());
    save = nullptr;
    DestroyService();
    EXPECT_FALSE(item->OnClick().Assigned());
    item->Click();
    EXPECT_EQ(sink->Clicks, 2);
    EXPECT_REF(sink.get(), 1);
}

// Catches the wrapper touching itself after a package let it go from
// inside its own click.
TEST_F(BdsMenuItemTest, PackageMayReleaseTheItemWhileHandlingItsClick)
{
    IntfPtr<IBdsMenuItem> item = Add(u"ToolsMenu", 2, u"OneShot", u"One shot");
    IntfPtr<CountingEvents> sink(new CountingEvents());
    item->RegisterEvents(sink.get());
    sink->OnClickDoes = [&] { item = nullptr; };
    Item(u"ToolsMenu\\OneShot")->Click();
    EXPECT_EQ(sink->Clicks, 1);
    EXPECT_EQ(Item(u"ToolsMenu\\OneShot"), nullptr);
}

// Catches a package's item left in the menu when its last reference goes,
// or an IDE item taken out although the package never made it.
TEST_F(BdsMenuItemTest, LastReferenceRemovesOnlyPackageItems)
{
    IntfPtr<IBdsMenuItem> mine = Add(u"HelpMenu\\HelpAboutItem", 0, u"Mine", u"&Mine");
    EXPECT_EQ(ChildNames(u"HelpMenu"), (std::vector<String>{u"Mine", u"HelpAboutItem"}));
    mine = nullptr;
    EXPECT_EQ(ChildNames(u"HelpMenu"), (std::vector<String>{u"HelpAboutItem"}));
    EXPECT_EQ(Menu()->ComponentCount(), 0);

    IntfPtr<IBdsMenuItem> ides = Get(u"HelpMenu\\HelpAboutItem");
    ides = nullptr;
    EXPECT_EQ(ChildNames(u"HelpMenu"), (std::vector<String>{u"HelpAboutItem"}));
}

// Catches an ended wrapper that touches its freed item, keeps a sink, or
// warns in other words than the IDE's, or where the IDE stays silent.
TEST_F(BdsMenuItemTest, EndedWrapperWarnsAndRefuses)
{
    IntfPtr<IBdsMenuItem> item = Add(u"ToolsMenu", 2, u"Gone", u"Gone");
    DestroyService();
    EXPECT_EQ(Item(u"ToolsMenu\\Gone"), nullptr);
    win32::TakeMessageBoxes();
    IntfPtr<CountingEvents> sink(new CountingEvents());
    EXPECT_EQ(item->RegisterEvents(sink.get()), E_UNEXPECTED);
    EXPECT_REF(sink.get(), 1);
    auto boxes = win32::TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, u"Warning");
    EXPECT_EQ(boxes[0].flags, UINT(MB_OK | MB_ICONWARNING));

    std::map<std::string, std::vector<std::u16string>> warnings;
    for (auto [method, text] : {std::pair{"ChildMenuItem", u"ChildMenuItem"},
                                {"Get_Caption", u"GetCaption"},
                                {"Get_Checked", u"GetChecked"},
                                {"Get_ChildCount", u"GetChildCount"},
                                {"Get_Enabled", u"GetEnabled"},
                                {"Get_Name", u"GetName"},
                                {"Get_ParentMenuItem", u"GetParentItem"},
                                {"Get_Shortcut", u"GetShortcut"},
                                {"Get_Visible", u"GetVisible"},
                                {"Get_NextMenuItem", u"NextMenuItem"},
                                {"RegisterEvents", u"RegisterEvents"},
                                {"Set_Caption", u"SetCaption"},
                                {"Set_Checked", u"SetChecked"},
                                {"Set_Enabled", u"SetEnabled"},
                                {"Set_Shortcut", u"SetShortcut"},
                                {"Set_Visible", u"SetVisible"}})
        warnings[method] = {std::u16string(text) + u" for Gone"};
    EXPECT_EQ(ExpectEndedCalls(item.get()), warnings);
}

// Catches a wrapper that keeps using an item the IDE freed under it.
TEST_F(BdsMenuItemTest, ItemFreedByTheIdeEndsItsWrapper)
{
    IntfPtr<IBdsMenuItem> about = Get(u"HelpMenu\\HelpAboutItem");
    IntfPtr<CountingEvents> sink(new CountingEvents());
    about->RegisterEvents(sink.get());
    Item(u"HelpMenu\\HelpAboutItem")->Free();
    EXPECT_REF(sink.get(), 1);
    Bstr name;
    EXPECT_EQ(about->Get_Name(name.put()), E_UNEXPECTED);
    EXPECT_EQ(about->InvokeAction(), S_OK);
    auto boxes = win32::TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, u"GetName for HelpAboutItem");
    // The path no longer resolves, and the list holds nothing stale.
    EXPECT_FALSE(Get(u"HelpMenu\\HelpAboutItem"));
    EXPECT_EQ(Bar()->RemoveMenuItem(Bstr(u"HelpMenu\\HelpAboutItem").get()), S_OK);
}

} // namespace
} // namespace tvx::test
