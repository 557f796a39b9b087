// Bitmap handles that are no bitmaps of the package's: null, -1, one the
// package already deleted, a window handle, a value never handed out. The
// library takes over only live bitmaps; anything else is refused with the
// image message, is never deleted, and costs nothing else.
#include "tests/reliability/ReliabilityFixture.h"

#include "host/vcl/ComCtrls.h"
#include "host/vcl/Graphics.h"

namespace {

using namespace tvx::test;
using tvx::Bstr;
using tvx::IntfPtr;

const OddBitmap kOddBitmaps[] = {OddBitmap::Invalid, OddBitmap::AlreadyDeleted, OddBitmap::WindowHandle,
                                 OddBitmap::NeverIssued};

std::u16string HandleText(HBITMAP handle)
{
    return tvx::Utf8ToUtf16(std::to_string(LONG(reinterpret_cast<std::uintptr_t>(handle))));
}

class BitmapHandlesTest : public ReliabilityTest {
protected:
    // Starts with a package whose services and one toolbar the test uses.
    void StartBad()
    {
        bad = AddPackage("Bad", 1);
        bad->Doing(PackageMethod::Initialize,
                   [this](IBdsServices* services) { bad->Hold("toolbar", AddShownToolBar(services, u"BadToolBar")); });
        Start();
        tvx::win32::TakeMessageBoxes();
    }
    std::shared_ptr<MisbehavingProbe> bad;
};

// Catches an odd handle that is deleted (a double delete, or a delete of
// somebody else's object), an item refused or placed with an image because
// of it, and a failure not shown with the service's message.
TEST_F(BitmapHandlesTest, MenuItemsGivenOddHandlesArePlacedWithoutAnImage)
{
    StartBad();
    IntfPtr<IBdsMenuBarService> bar = MenuBar(bad->Services.get());
    int n = 0;
    for (OddBitmap kind : kOddBitmaps) {
        SCOPED_TRACE(OddBitmapName(kind));
        HBITMAP handle = MakeOddBitmap(kind, AnyWindow());
        const int deletes = tvx::win32::DeleteCount(handle);
        const std::u16string added = u"Added" + tvx::Utf8ToUtf16(std::to_string(n));
        const std::u16string inserted = u"Inserted" + tvx::Utf8ToUtf16(std::to_string(n++));
        IntfPtr<IBdsMenuItem> item;
        EXPECT_EQ(bar->AddMenuItem(Bstr(u"ToolsMenu").get(), kChildItem, Bstr(added).get(), Bstr(added).get(), handle,
                                   item.put()),
                  S_OK);
        EXPECT_NE(item, nullptr);
        IntfPtr<IBdsMenuItem> second;
        EXPECT_EQ(bar->InsertMenuItem(Bstr(u"ToolsMenu").get(), 0, Bstr(inserted).get(), Bstr(inserted).get(), handle,
                                      second.put()),
                  S_OK);
        EXPECT_NE(second, nullptr);
        const std::u16string message =
            u"TBdsMenuBarService.SetImage " + HandleText(handle) + u" " + std::u16string(SInvalidBitmap);
        EXPECT_EQ(TakeMessageBoxTexts(), (std::vector<std::u16string>{message, message}));
        for (const std::u16string& name : {added, inserted}) {
            TMenuItem* placed = Ide().MainMenu().Find(u"ToolsMenu\\" + name);
            ASSERT_NE(placed, nullptr);
            EXPECT_EQ(placed->ImageIndex(), -1);
        }
        EXPECT_EQ(tvx::win32::DeleteCount(handle), deletes) << "an odd handle is never deleted";
        bad->Hold("item" + std::to_string(n) + "a", item);
        bad->Hold("item" + std::to_string(n) + "b", second);
    }
    // A null handle means no image, and nothing is shown.
    IntfPtr<IBdsMenuItem> plain;
    EXPECT_EQ(bar->AddMenuItem(Bstr(u"ToolsMenu").get(), kChildItem, Bstr(u"Plain").get(), Bstr(u"Plain").get(),
                               nullptr, plain.put()),
              S_OK);
    EXPECT_TRUE(TakeMessageBoxTexts().empty());
    bad->Hold("plain", plain);
    ExpectWitnessWorks();
}

// Catches the same for toolbar buttons, live and ended: an ended button
// must never delete a handle that is no live bitmap.
TEST_F(BitmapHandlesTest, ButtonsGivenOddHandlesKeepTheirImage)
{
    StartBad();
    IntfPtr<IBdsToolBar> toolBar = bad->HeldAs<IBdsToolBar>("toolbar");
    IntfPtr<IBdsToolBarControl> live = AddNamedControl(toolBar.get(), kButton, u"LiveButton", nullptr);
    IntfPtr<IBdsToolBarControl> ended = AddNamedControl(toolBar.get(), kButton, u"EndedButton", nullptr);
    ASSERT_EQ(toolBar->RemoveControl(ended.get()), S_OK);
    TToolButton* button = nullptr;
    for (TControl* control : Ide().Toolbars().FindToolBar(u"BadToolBar")->OrderedControls())
        if (control->Name() == u"LiveButton")
            button = dynamic_cast<TToolButton*>(control);
    ASSERT_NE(button, nullptr);
    const int imageIndex = button->ImageIndex();

    for (OddBitmap kind : kOddBitmaps) {
        SCOPED_TRACE(OddBitmapName(kind));
        HBITMAP handle = MakeOddBitmap(kind, AnyWindow());
        const int deletes = tvx::win32::DeleteCount(handle);
        EXPECT_EQ(live.as<IBdsToolBarButton>()->SetImage(handle), E_FAIL);
        EXPECT_EQ(TakeMessageBoxTexts(),
                  (std::vector<std::u16string>{u"TBdsToolBarButton.SetImage " + HandleText(handle) + u" " +
                                               std::u16string(SInvalidBitmap)}));
        EXPECT_EQ(button->ImageIndex(), imageIndex);
        EXPECT_EQ(ended.as<IBdsToolBarButton>()->SetImage(handle), E_UNEXPECTED);
        EXPECT_TRUE(TakeMessageBoxTexts().empty());
        EXPECT_EQ(tvx::win32::DeleteCount(handle), deletes) << "an odd handle is never deleted";
    }
    ExpectWitnessWorks();
}

} // namespace
