// The menu bar service: paths, placing items, reuse, images, lookups and
// removal, through IBdsMenuBarService as a package calls it.
#include "host/vcl/Dialogs.h"
#include "services/TalvixBdsServices.h"
#include "tests/menus/MenuFixture.h"

namespace tvx::test {
namespace {

using BdsMenuBarServiceTest = MenuFixture;

// Catches paths matched by caption or with letter case, a leading backslash
// not skipped, and the empty path not meaning the root.
TEST_F(BdsMenuBarServiceTest, PathsAreComponentNames)
{
    IntfPtr<IBdsMenuItem> save = Get(u"FileMenu\\FileSaveItem");
    ASSERT_TRUE(save);
    EXPECT_EQ(Get(u"\\FileMenu\\FileSaveItem"), save);
    EXPECT_EQ(Get(u"filemenu\\FILESAVEITEM"), save);
    EXPECT_FALSE(Get(u"&File\\&Save"));
    EXPECT_FALSE(Get(u"\\\\FileMenu\\FileSaveItem"));
    EXPECT_FALSE(Get(u"FileMenu\\Missing"));

    IntfPtr<IBdsMenuItem> root = Get(u"");
    ASSERT_TRUE(root);
    LONG count = 0;
    root->Get_ChildCount(&count);
    EXPECT_EQ(count, 3);

    // A doubled or trailing backslash names the first unnamed child.
    AddIdeItem(Item(u"HelpMenu"), u"", u"Unnamed");
    IntfPtr<IBdsMenuItem> unnamed = Get(u"HelpMenu\\");
    ASSERT_TRUE(unnamed);
    Bstr caption;
    unnamed->Get_Caption(caption.put());
    EXPECT_EQ(caption.str(), u"Unnamed");
}

// Catches a second wrapper for one item, and two items sharing a wrapper
// because they share an (empty) name.
TEST_F(BdsMenuBarServiceTest, OneWrapperPerItem)
{
    IntfPtr<IBdsMenuItem> first = Get(u"ToolsMenu\\Tool2");
    IntfPtr<IBdsMenuItem> viaNavigation;
    Get(u"ToolsMenu")->ChildMenuItem(2, viaNavigation.put());
    EXPECT_EQ(first, Get(u"ToolsMenu\\Tool2"));
    EXPECT_EQ(first, viaNavigation);

    AddIdeItem(Item(u"HelpMenu"), u"", u"One");
    AddIdeItem(Item(u"HelpMenu"), u"", u"Two");
    IntfPtr<IBdsMenuItem> one, two;
    Get(u"HelpMenu")->ChildMenuItem(1, one.put());
    Get(u"HelpMenu")->ChildMenuItem(2, two.put());
    EXPECT_NE(one, two);
    Bstr caption;
    two->Get_Caption(caption.put());
    EXPECT_EQ(caption.str(), u"Two");
}

// Catches the location mapping wrong for before, after, child and any
// other value.
TEST_F(BdsMenuBarServiceTest, AddMenuItemPlacesByLocation)
{
    // Each stays while the package holds its wrapper.
    auto before = Add(u"FileMenu\\FileSaveItem", 0, u"Before", u"Before");
    auto after = Add(u"FileMenu\\FileSaveItem", 1, u"After", u"After");
    auto child = Add(u"FileMenu", 2, u"Child", u"Child");
    auto five = Add(u"FileMenu", 5, u"Five", u"Five");
    EXPECT_EQ(ChildNames(u"FileMenu"), (std::vector<String>{u"FileOpenItem", u"N1", u"Before", u"FileSaveItem",
                                                            u"After", u"FileExitItem", u"Child", u"Five"}));
}

// Catches anything placed for a reference that does not resolve or for
// siblings of the root, which has no parent.
TEST_F(BdsMenuBarServiceTest, AddMenuItemRefusesImpossibleReferences)
{
    EXPECT_FALSE(Add(u"FileMenu\\Nowhere", 2, u"Lost", u"Lost", MagentaBitmap(), E_INVALIDARG));
    EXPECT_FALSE(Add(u"", 0, u"BeforeRoot", u"x", nullptr, E_INVALIDARG));
    EXPECT_FALSE(Add(u"", 1, u"AfterRoot", u"x", nullptr, E_INVALIDARG));
    auto top = Add(u"", 2, u"TopLevel", u"&Top");
    EXPECT_TRUE(top);
    EXPECT_EQ(Menu()->Items()->Count(), 4);
    EXPECT_EQ(Form()->FindComponent(u"Lost"), nullptr);
    EXPECT_EQ(Menu()->FindComponent(u"Lost"), nullptr);
}

// Catches the insert index rules: index k goes after child k, 0 first,
// past the end last, negative nowhere.
TEST_F(BdsMenuBarServiceTest, InsertMenuItemIndexTable)
{
    struct Case {
        LONG index;
        int position; // -1: nothing placed
    } const cases[] = {{0, 0}, {2, 3}, {4, 5}, {5, 5}, {9, 5}, {-1, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "index " << c.index);
        IntfPtr<IBdsMenuItem> item = Insert(u"ToolsMenu", c.index, u"NewTool");
        TMenuItem* placed = Item(u"ToolsMenu\\NewTool");
        if (c.position < 0) {
            EXPECT_FALSE(item);
            EXPECT_EQ(placed, nullptr);
            continue;
        }
        ASSERT_NE(placed, nullptr);
        EXPECT_EQ(placed->MenuIndex(), c.position);
        EXPECT_EQ(Item(u"ToolsMenu")->Count(), 6);
        // The package's only reference: letting it go takes the item out.
        item = nullptr;
        EXPECT_EQ(Item(u"ToolsMenu\\NewTool"), nullptr);
    }
    EXPECT_FALSE(Insert(u"Nowhere", 0, u"Lost"));
}

// Catches a second item made for a name already there in another letter
// case, the existing caption or image changed, the bitmap leaked, or the
// IDE's item later freed as if the package had made it.
TEST_F(BdsMenuBarServiceTest, ExistingNameIsReused)
{
    HBITMAP bitmap = MagentaBitmap();
    IntfPtr<IBdsMenuItem> reused = Add(u"FileMenu\\FileOpenItem", 1, u"FILESAVEITEM", u"Other", bitmap);
    EXPECT_EQ(reused, Get(u"FileMenu\\FileSaveItem"));
    EXPECT_EQ(Item(u"FileMenu")->Count(), 4);
    EXPECT_EQ(Item(u"FileMenu\\FileSaveItem")->Caption(), u"&Save");
    EXPECT_EQ(Item(u"FileMenu\\FileSaveItem")->ImageIndex(), -1);
    EXPECT_EQ(Images()->Count(), 0);
    EXPECT_EQ(win32::DeleteCount(bitmap), 1);

    IntfPtr<IBdsMenuItem> child = Insert(u"ToolsMenu", 9, u"tool3");
    EXPECT_EQ(NameOf(child.get()), u"Tool3");

    IntfPtr<IBdsMenuItem> mine = Add(u"HelpMenu", 2, u"Mine", u"Mine");
    EXPECT_EQ(Add(u"HelpMenu", 2, u"MINE", u"Again"), mine);
    EXPECT_EQ(Item(u"HelpMenu")->Count(), 2);

    reused = nullptr;
    child = nullptr;
    DestroyService();
    EXPECT_NE(Item(u"FileMenu\\FileSaveItem"), nullptr);
    EXPECT_NE(Item(u"ToolsMenu\\Tool3"), nullptr);
}

// Catches names the VCL refuses getting an item, or a half-made one left
// among the main menu's components; the bitmap still goes.
TEST_F(BdsMenuBarServiceTest, RefusedNamesPlaceNothing)
{
    auto taken = Add(u"HelpMenu", 2, u"Taken", u"Taken");
    for (std::u16string name : {u"1st", u"Two Words", u"TAKEN"}) {
        SCOPED_TRACE(tvx::Utf16ToUtf8(name));
        HBITMAP bitmap = MagentaBitmap();
        EXPECT_FALSE(Add(u"ToolsMenu", 2, name, u"x", bitmap, E_INVALIDARG));
        EXPECT_FALSE(Insert(u"ToolsMenu", 0, name, nullptr, E_INVALIDARG));
        EXPECT_EQ(win32::DeleteCount(bitmap), 1);
    }
    EXPECT_EQ(Item(u"ToolsMenu")->Count(), 5);
    EXPECT_EQ(Menu()->ComponentCount(), 1);
    EXPECT_EQ(Images()->Count(), 0);
}

// Catches magenta pixels drawn opaque, a wrong image index, or the
// package's handle kept alive or deleted twice.
TEST_F(BdsMenuBarServiceTest, BitmapGoesIntoTheMenuImagesWithMagentaTransparent)
{
    TBitmap ide(16, 16);
    Images()->AddMasked(&ide, clFuchsia);
    HBITMAP bitmap = MagentaBitmap();
    IntfPtr<IBdsMenuItem> item = Add(u"ToolsMenu", 2, u"Pictured", u"&Pictured", bitmap);
    ASSERT_TRUE(item);
    EXPECT_EQ(Item(u"ToolsMenu\\Pictured")->ImageIndex(), 1);
    EXPECT_TRUE(Images()->IsTransparent(1, 0, 0));
    EXPECT_TRUE(Images()->IsTransparent(1, 15, 15));
    EXPECT_FALSE(Images()->IsTransparent(1, 8, 8));
    EXPECT_EQ(Images()->PixelColor(1, 8, 8), clBlue);
    EXPECT_EQ(win32::DeleteCount(bitmap), 1);
    EXPECT_EQ(GetObjectType(bitmap), 0u);
}

// Catches a bad bitmap stopping the insertion, or the failure not shown in
// the service's own words.
TEST_F(BdsMenuBarServiceTest, BitmapFailureIsShownAndTheItemStillPlaced)
{
    HBITMAP dead = MagentaBitmap();
    DeleteObject(dead);
    LONG value = static_cast<LONG>(reinterpret_cast<std::uintptr_t>(dead));
    IntfPtr<IBdsMenuItem> item = Add(u"ToolsMenu", 2, u"NoImage", u"No image", dead);
    ASSERT_TRUE(item);
    EXPECT_EQ(Item(u"ToolsMenu\\NoImage")->ImageIndex(), -1);
    auto boxes = win32::TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, u"TBdsMenuBarService.SetImage " + tvx::Utf8ToUtf16(std::to_string(value)) +
                                 u" Bitmap image is not valid");
    EXPECT_EQ(boxes[0].flags, UINT(MB_OK));
    // The package's second delete, not ours, is the one on record.
    EXPECT_EQ(win32::DeleteCount(dead), 1);

    Menu()->SetImages(nullptr);
    HBITMAP bitmap = MagentaBitmap();
    EXPECT_TRUE(Add(u"ToolsMenu", 2, u"NoList", u"x", bitmap));
    EXPECT_EQ(win32::TakeMessageBoxes().size(), 1u);
    EXPECT_EQ(win32::DeleteCount(bitmap), 1);
}

// Catches lookups that fail on a menu without items, or that give the
// wrong first item.
TEST_F(BdsMenuBarServiceTest, FirstItemAndAnEmptyMenu)
{
    IntfPtr<IBdsMenuItem> first;
    EXPECT_EQ(Bar()->GetFirstMenuItem(first.put()), S_OK);
    EXPECT_EQ(first, Get(u"FileMenu"));

    Menu()->Items()->Clear();
    IBdsMenuItem* raw = SentinelPointer<IBdsMenuItem>();
    EXPECT_EQ(Bar()->GetFirstMenuItem(&raw), S_OK);
    EXPECT_EQ(raw, nullptr);
    HBITMAP bitmap = MagentaBitmap();
    EXPECT_FALSE(Add(u"", 2, u"Any", u"Any", bitmap, E_FAIL));
    EXPECT_EQ(win32::DeleteCount(bitmap), 1);
    EXPECT_FALSE(Insert(u"", 0, u"Any"));
    EXPECT_EQ(Menu()->Items()->Count(), 0);
}

// Catches RemoveMenuItem leaving a package's item in the menu while the
// package still holds it, releasing a reference twice, or navigation
// pinning a package's item after the package has let go of it.
TEST_F(BdsMenuBarServiceTest, RemoveMenuItemEndsTheWrapperAtOnce)
{
    IntfPtr<IBdsMenuItem> held = Add(u"ToolsMenu", 2, u"Held", u"Held");
    EXPECT_EQ(Bar()->RemoveMenuItem(Bstr(u"ToolsMenu\\Held").get()), S_OK);
    EXPECT_EQ(Item(u"ToolsMenu\\Held"), nullptr);
    Bstr name;
    EXPECT_EQ(held->Get_Name(name.put()), E_UNEXPECTED);
    EXPECT_EQ(win32::TakeMessageBoxes().size(), 1u);
    EXPECT_EQ(Bar()->RemoveMenuItem(Bstr(u"ToolsMenu\\Held").get()), S_OK);
    held = nullptr;

    // Navigation keeps no package item: the last package reference decides.
    {
        IntfPtr<IBdsMenuItem> added = Add(u"ToolsMenu", 2, u"Navigated", u"Navigated");
        IntfPtr<IBdsMenuItem> viaParent;
        Get(u"ToolsMenu")->ChildMenuItem(5, viaParent.put());
        EXPECT_EQ(viaParent, added);
        IntfPtr<IBdsMenuItem> parent;
        EXPECT_EQ(viaParent->Get_ParentMenuItem(parent.put()), S_OK);
    }
    EXPECT_EQ(Item(u"ToolsMenu\\Navigated"), nullptr);

    // An IDE item's wrapper ends too; the item stays and gets a new one.
    IntfPtr<IBdsMenuItem> help = Get(u"HelpMenu");
    EXPECT_EQ(Bar()->RemoveMenuItem(Bstr(u"HelpMenu").get()), S_OK);
    EXPECT_NE(Item(u"HelpMenu"), nullptr);
    EXPECT_NE(Get(u"HelpMenu"), help);
    EXPECT_EQ(Bar()->RemoveMenuItem(Bstr(u"Nowhere").get()), S_OK);
}

// Catches the root not answering the menu bar service, or answering another one.
TEST_F(BdsMenuBarServiceTest, ServicesRootAnswersTheService)
{
    talvix::TBdsServices* root = talvix::TBdsServices::Create();
    IntfPtr<IBdsMenuBarService> bar;
    ASSERT_EQ(root->Get_BdsMenuBarService(bar.put()), S_OK);
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar.get(), root->BdsMenuBarService()->Interface());
    IntfPtr<IBdsMenuItem> tools;
    EXPECT_EQ(bar->GetMenuItem(Bstr(u"ToolsMenu").get(), tools.put()), S_OK);
    EXPECT_TRUE(tools);
}

} // namespace
} // namespace tvx::test
