// Package documents in the code editor: the frame over an editor window, the
// takeover of its tab set and what the IDE does around them (closing the
// editor window, re-creating its handles, painting and clicking the tabs,
// the library's terminate), with packages that let go inside callbacks.
#include "host/vcl/Tabs.h"
#include "host/vcl/TypInfo.h"
#include "host/win32/GdiEmulation.h"
#include "interop/Bstr.h"
#include "sim/editors/IdeEditorWindows.h"
#include "sim/modules/IdeModules.h"
#include "tests/windows/WindowsFixture.h"
#include "windows/BdsDocumentWindow.h"
#include "windows/BdsEditWindow.h"
#include "windows/BdsWindowsService.h"
#include "windows/TalvixFrame.h"

// A tab set of the class the library looks for that lacks OnMouseDown.
namespace lacking {
class TIDEGradientTabSet final : public TWinControl {
    TVX_CLASS(TIDEGradientTabSet, TWinControl)
    using TWinControl::TWinControl;
    TNotifyEvent OnChange() const noexcept { return onChange_; }
    void SetOnChange(const TNotifyEvent& Value) noexcept { onChange_ = Value; }
    TTabGetImageEvent OnGetImageIndex() const noexcept { return onImage_; }
    void SetOnGetImageIndex(const TTabGetImageEvent& Value) noexcept { onImage_ = Value; }
    TTabGetImageEvent OnGetOverlayImageIndex() const noexcept { return onOverlay_; }
    void SetOnGetOverlayImageIndex(const TTabGetImageEvent& Value) noexcept { onOverlay_ = Value; }

private:
    TNotifyEvent onChange_;
    TTabGetImageEvent onImage_, onOverlay_;
};
TVX_DEFINE_CLASS(
    TIDEGradientTabSet, Published<&TIDEGradientTabSet::OnChange, &TIDEGradientTabSet::SetOnChange>(u"OnChange"),
    Published<&TIDEGradientTabSet::OnGetImageIndex, &TIDEGradientTabSet::SetOnGetImageIndex>(u"OnGetImageIndex"),
    Published<&TIDEGradientTabSet::OnGetOverlayImageIndex, &TIDEGradientTabSet::SetOnGetOverlayImageIndex>(
        u"OnGetOverlayImageIndex"))
} // namespace lacking

namespace {

using tvx::IntfPtr;
using tvx::sim::TEditWindow;

constexpr const char16_t* kOverview = u"C:\\Projects\\Demo\\Overview.tvx";

class DocumentWindowTest : public tvx::test::WindowsServiceTest {
protected:
    void SetUp() override
    {
        WindowsServiceTest::SetUp();
        Step("open-module C:\\Projects\\Demo\\Overview.tvx");
        Step("select-tab 1 Unit1.pas");
    }
    tvx::sim::IdeEditorWindows& Editors() { return *Ide().Find<tvx::sim::IdeEditorWindows>(); }
    TEditWindow& Window(int n = 0) { return *Editors().Windows().at(std::size_t(n)); }
    talvix::TBdsWindowsService& Service() { return *root->BdsWindowsService(); }

    LONG OnTop()
    {
        LONG index = -2;
        EXPECT_EQ(service->DocumentFrameOnTop(&index), S_OK);
        return index;
    }
    // Index 0 is another module: the file name finds the right one.
    IntfPtr<IBdsDocumentWindow> Create(LONG editor, const char16_t* module = kOverview, LONG index = 0)
    {
        IntfPtr<IBdsDocumentWindow> document;
        EXPECT_EQ(service->CreateDocumentWindow(tvx::Bstr(module).get(), index, editor, document.put()), S_OK);
        return document;
    }
    // A document on the Overview tab of the front window, hosting the
    // package window, with the sink registered.
    IntfPtr<IBdsDocumentWindow> Shown()
    {
        IntfPtr<IBdsDocumentWindow> document = Create(OnTop());
        EXPECT_EQ(document->RegisterEvents(static_cast<IBdsWindowEvents*>(sink)), S_OK);
        EXPECT_EQ(document->HostControl(controlRef.get()), S_OK);
        return document;
    }
    int TabOf(const TEditWindow& w, std::u16string_view caption)
    {
        TStrings* items = w.TabSet()->Items();
        for (int i = 0; i < items->Count(); ++i)
            if (items->Strings(i) == caption)
                return i;
        return -1;
    }
    std::pair<int, int> Painted(TEditWindow& w, std::u16string_view caption)
    {
        w.TabSet()->Paint();
        const auto& tab = w.TabSet()->Painted().at(std::size_t(TabOf(w, caption)));
        return {tab.Image, tab.Overlay};
    }
    static LONG NewBitmap() { return LONG(reinterpret_cast<LONG_PTR>(CreateBitmap(16, 16, 1, 32, nullptr))); }
    TTalvixFrame* FrameIn(TWinControl* parent)
    {
        for (int i = 0; i < parent->ControlCount(); ++i)
            if (auto* frame = dynamic_cast<TTalvixFrame*>(parent->Controls(i)))
                return frame;
        return nullptr;
    }
};

// Catches a second call making a second record and frame, or saving the
// service's own handlers so that painting loops through them.
TEST_F(DocumentWindowTest, ASecondFrameOnTopFindsItsRecordAndTheHandlersNeverCallThemselves)
{
    IntfPtr<IBdsDocumentWindow> document = Shown();
    EXPECT_EQ(OnTop(), 0);
    EXPECT_EQ(Service().BdsEditWindowCount(), 1);
    EXPECT_EQ(FrameIn(Window().EditorArea()), Service().BdsEditWindows(0)->Frame);
    EXPECT_FALSE(FrameIn(Window().EditControlPanel()));
    EXPECT_EQ(GetMethodProp(Window().TabSet(), u"OnGetImageIndex").Data, static_cast<void*>(&Service()));
    EXPECT_EQ(Painted(Window(), u"Unit1.pas"), std::make_pair(int(TEditWindow::SourceImage), -1));
    EXPECT_EQ(Painted(Window(), u"Overview.tvx").second, -1);

    EXPECT_EQ(service->DocumentFrameNormal(0), S_OK);
    EXPECT_EQ(FrameIn(Window().EditControlPanel()), Service().BdsEditWindows(0)->Frame);
    EXPECT_EQ(service->DocumentFrameNormal(1), E_INVALIDARG);
    EXPECT_EQ(service->DocumentFrameNormal(-1), E_INVALIDARG);
    EXPECT_EQ(FrameIn(Window().EditControlPanel()), Service().BdsEditWindows(0)->Frame);
    EXPECT_EQ(OnTop(), 0);
    EXPECT_EQ(FrameIn(Window().EditorArea()), Service().BdsEditWindows(0)->Frame);
}

// Catches a document reaching its freed record after the IDE closed its
// editor window, its package window destroyed with the frame, or a later
// record keeping its old index.
TEST_F(DocumentWindowTest, ClosingTheEditorWindowDetachesItsDocuments)
{
    IntfPtr<IBdsDocumentWindow> first = Shown();
    Step("new-editor-window\nopen-module C:\\Projects\\Demo\\Overview.tvx 2");
    ASSERT_EQ(OnTop(), 1);
    IntfPtr<IBdsDocumentWindow> second = Create(1);

    Step("close-editor-window 1");
    EXPECT_EQ(Service().BdsEditWindowCount(), 1);
    EXPECT_EQ(Service().BdsEditWindows(0)->EditWindow.get(), &Window(0));
    EXPECT_TRUE(IsWindow(packageWindow)) << "the package window is parked, not destroyed";
    EXPECT_EQ(GetParent(packageWindow), Service().hShadowWindow);

    VARIANT_BOOL value = VARIANT_TRUE;
    EXPECT_EQ(first->Get_Visible(&value), E_FAIL);
    EXPECT_EQ(value, VARIANT_FALSE);
    EXPECT_EQ(first->Set_Visible(VARIANT_TRUE), E_FAIL);
    EXPECT_EQ(first->Get_StayOnTop(&value), E_FAIL);
    EXPECT_EQ(first->Set_StayOnTop(VARIANT_TRUE), E_FAIL);
    EXPECT_EQ(first->HostControl(controlRef.get()), E_FAIL);
    EXPECT_EQ(first->ReHostControl(), E_FAIL);
    EXPECT_EQ(first->Activate(), E_FAIL);
    EXPECT_EQ(first->Close(), E_FAIL);
    EXPECT_EQ(first->DoResize(), E_FAIL);
    EXPECT_EQ(first->Set_Modified(VARIANT_TRUE), S_OK);
    EXPECT_EQ(second->Activate(), S_OK) << "the later record moved down to index 0";
    first = nullptr;
    EXPECT_FALSE(IsWindowVisible(packageWindow));
    EXPECT_EQ(GetParent(packageWindow), nullptr) << "released from the parking window with its document";
}

// Catches a frame handle re-creation that destroys the hosted window, or
// leaves it outside the new handle or unsized.
TEST_F(DocumentWindowTest, TheHostedWindowFollowsTheFrameThroughNewHandles)
{
    IntfPtr<IBdsDocumentWindow> document = Shown();
    VARIANT_BOOL visible = VARIANT_FALSE;
    TTalvixFrame* frame = Service().BdsEditWindows(0)->Frame;
    for (const char* step : {"recreate-editor-window 1", "resize-editor-window 1 700 400"}) {
        SCOPED_TRACE(step);
        Step(step);
        ASSERT_TRUE(IsWindow(packageWindow));
        EXPECT_EQ(GetParent(packageWindow), frame->Handle());
        RECT rect{};
        GetClientRect(packageWindow, &rect);
        EXPECT_EQ(std::make_pair(int(rect.right), int(rect.bottom)), std::make_pair(frame->Width(), frame->Height()));
    }
    EXPECT_EQ(document->Get_Visible(&visible), S_OK);
    EXPECT_EQ(visible, VARIANT_TRUE);
    EXPECT_EQ(document->Set_Visible(VARIANT_FALSE), S_OK);
    EXPECT_EQ(document->Get_Visible(&visible), S_OK);
    EXPECT_EQ(visible, VARIANT_FALSE);
    EXPECT_FALSE(frame->Visible());
}

// Catches documents of one frame hiding each other's windows, the one shown
// last not on top, and the topmost style reported rather than read.
TEST_F(DocumentWindowTest, DocumentsShareTheFrameAndTheLastShownLiesOnTop)
{
    IntfPtr<IBdsDocumentWindow> first = Shown();
    HWND secondWindow = NewPackageWindow();
    auto* secondControl = new tvx::test::PackageControl;
    secondControl->Window = secondWindow;
    IntfPtr<IUnknown> secondRef = secondControl->Identity();
    Step("open-module C:\\Projects\\Demo\\Diagram.tvx");
    IntfPtr<IBdsDocumentWindow> second = Create(OnTop(), u"C:\\Projects\\Demo\\Diagram.tvx");
    ASSERT_EQ(second->HostControl(secondRef.get()), S_OK);
    HWND frame = Service().BdsEditWindows(0)->Frame->Handle();
    EXPECT_EQ(GetParent(secondWindow), frame);
    EXPECT_EQ(GetWindow(frame, GW_CHILD), secondWindow);
    EXPECT_EQ(first->Activate(), S_OK);
    EXPECT_EQ(GetWindow(frame, GW_CHILD), packageWindow);
    EXPECT_TRUE(IsWindowVisible(secondWindow)) << "the other document stays beneath";

    VARIANT_BOOL onTop = VARIANT_TRUE;
    EXPECT_EQ(first->Get_StayOnTop(&onTop), S_OK);
    EXPECT_EQ(onTop, VARIANT_FALSE);
    EXPECT_EQ(first->Set_StayOnTop(VARIANT_TRUE), S_OK);
    EXPECT_EQ(second->Get_StayOnTop(&onTop), S_OK);
    EXPECT_EQ(onTop, (GetWindowLongW(frame, GWL_EXSTYLE) & WS_EX_TOPMOST) ? VARIANT_TRUE : VARIANT_FALSE)
        << "what the system gave the frame's window, a child window";
    second = nullptr;
    EXPECT_EQ(GetParent(secondWindow), nullptr) << "given back with its document";
    DestroyWindow(secondWindow);
}

// Catches the image fetched more than once, a bitmap leaked or deleted
// twice, an index handed to another window's list, and a modified document
// keeping its overlay from the IDE.
TEST_F(DocumentWindowTest, TabImagesArePooledPerImageListAndTheOverlayFollowsTheMark)
{
    std::vector<HBITMAP> given;
    sink->Icon = [&] {
        LONG handle = NewBitmap();
        given.push_back(reinterpret_cast<HBITMAP>(static_cast<LONG_PTR>(handle)));
        return handle;
    };
    IntfPtr<IBdsDocumentWindow> document = Shown();
    const int base = Window().TabImages()->Count();
    EXPECT_EQ(Painted(Window(), u"Overview.tvx"), std::make_pair(base, -1));
    EXPECT_EQ(Painted(Window(), u"Overview.tvx").first, base);
    ASSERT_EQ(given.size(), 1u) << "asked once";

    Step("modify-module C:\\Projects\\Demo\\Overview.tvx");
    EXPECT_EQ(Painted(Window(), u"Overview.tvx").second, -1) << "an unmodified document has no overlay";
    EXPECT_EQ(document->Set_Modified(VARIANT_TRUE), S_OK);
    EXPECT_EQ(Window().TabSet()->Painted().at(std::size_t(TabOf(Window(), u"Overview.tvx"))).Overlay,
              TEditWindow::ModifiedOverlay)
        << "repainted, and the IDE's own handler decides the overlay of a modified document";

    document = nullptr;
    Step("new-editor-window\nopen-module C:\\Projects\\Demo\\Overview.tvx 2");
    IntfPtr<IBdsDocumentWindow> elsewhere = Create(OnTop());
    elsewhere->RegisterEvents(static_cast<IBdsWindowEvents*>(sink));
    const int painted = Painted(Window(1), u"Overview.tvx").first;
    EXPECT_EQ(painted, Window(1).TabImages()->Count() - 1)
        << "appended to its own list, not given the index freed in the first window's";
    IntfPtr<IBdsDocumentWindow> again = Create(0);
    again->RegisterEvents(static_cast<IBdsWindowEvents*>(sink));
    EXPECT_EQ(Painted(Window(0), u"Overview.tvx").first, base) << "the freed index reused in its own list";
    ASSERT_EQ(given.size(), 3u);
    for (HBITMAP bitmap : given)
        EXPECT_EQ(tvx::win32::DeleteCount(bitmap), 1);
}

// Catches a throwing sink, a handle that is no bitmap, or a package that
// lets go of its document inside OnGetIconHandle breaking the painting.
TEST_F(DocumentWindowTest, BadTabImagesGiveNoImageAndAreAskedForAgain)
{
    IntfPtr<IBdsDocumentWindow> document = Shown();
    const int images = Window().TabImages()->Count();
    for (auto answer : std::vector<std::function<LONG()>>{
             [] { return LONG(0); }, [] { return LONG(-1); }, [] { return LONG(0x1234); },
             []() -> LONG { throw std::runtime_error("package fault"); }}) {
        sink->Icon = answer;
        EXPECT_EQ(Painted(Window(), u"Overview.tvx").first, -1);
    }
    EXPECT_EQ(std::count(sink->Log.begin(), sink->Log.end(), "icon"), 3) << "the throwing call logs nothing";
    EXPECT_EQ(Window().TabImages()->Count(), images);

    HBITMAP given = nullptr;
    sink->Icon = [&] {
        LONG handle = NewBitmap();
        given = reinterpret_cast<HBITMAP>(static_cast<LONG_PTR>(handle));
        return handle;
    };
    sink->Then = [&](const std::string&) { document = nullptr; };
    Window().TabSet()->Paint();
    EXPECT_EQ(tvx::win32::DeleteCount(given), 1);
    EXPECT_EQ(Service().DocumentWindowCount(), 0);
    EXPECT_EQ(Painted(Window(), u"Overview.tvx").first, TEditWindow::OtherImage) << "a source tab again";
}

// Catches a tab set taken over in part, which leaves the IDE's handlers
// half replaced.
TEST_F(DocumentWindowTest, ATabSetLackingAnEventIsNotTakenOver)
{
    Window().TabSet()->Free();
    auto* tabSet = new lacking::TIDEGradientTabSet(&Window());
    const TNotifyEvent ideChange = MakeEvent<&TEditWindow::TabSetChange>(&Window());
    tabSet->SetOnChange(ideChange);
    EXPECT_EQ(OnTop(), 0);
    EXPECT_FALSE(Service().BdsEditWindows(0)->TabSet.get());
    EXPECT_EQ(tabSet->OnChange(), ideChange);
    EXPECT_FALSE(tabSet->OnGetImageIndex());
}

// Catches the takeover hiding or showing the wrong things, the listener
// told of document tabs, and a press on a document tab reaching the IDE.
TEST_F(DocumentWindowTest, SourceTabsGiveTheIdeBackWhatTheFrameTook)
{
    IntfPtr<IBdsDocumentWindow> document = Shown();
    EXPECT_FALSE(Window().StatusBarPanel()->Visible());
    EXPECT_FALSE(Window().ViewEditorItem()->Visible());
    const std::size_t presses = Window().Presses().size();
    Step("select-tab 1 Overview.tvx\npress-tab 1 Unit1.pas");
    EXPECT_EQ(Window().Presses().size(), presses) << "the press while the document tab was selected";
    EXPECT_TRUE(Window().StatusBarPanel()->Visible());
    EXPECT_TRUE(Window().ViewEditorItem()->Visible());
    EXPECT_TRUE(Window().Editor()->Caption().ends_with(u"Unit1.pas")) << "the IDE's handler switched";
    Step("press-tab 1 Project1.dpr");
    EXPECT_EQ(Window().Presses().size(), presses + 1);
}

// Catches a caption that only ends the module's file name claiming its tab.
TEST_F(DocumentWindowTest, TheDocumentTabIsTheWholeFileName)
{
    Step("open-module C:\\Projects\\Demo\\MyUnit1.pas");
    ASSERT_EQ(OnTop(), 0);
    IntfPtr<IBdsDocumentWindow> document = Create(0, u"C:\\Projects\\Demo\\MyUnit1.pas");
    auto* window = static_cast<talvix::TBdsDocumentWindow*>(document.get());
    TStrings* items = Window().TabSet()->Items();
    EXPECT_EQ(window->IdentifiedObject(), items->Objects(TabOf(Window(), u"MyUnit1.pas")));
    IntfPtr<IBdsDocumentWindow> unknown = Create(0, u"C:\\Elsewhere\\Nothing.pas");
    EXPECT_EQ(static_cast<talvix::TBdsDocumentWindow*>(unknown.get())->IdentifiedObject(), nullptr);
    EXPECT_EQ(Service().DocumentWindowCount(), 1) << "a module the IDE lacks is not registered";
    IntfPtr<IBdsDocumentWindow> none;
    EXPECT_EQ(service->CreateDocumentWindow(tvx::Bstr(kOverview).get(), -1, 5, none.put()), E_UNEXPECTED);
    EXPECT_FALSE(none);
}

// Catches anything of the IDE left pointing into the library after its
// terminate: the tab set's handlers, the frames, the parking window.
TEST_F(DocumentWindowTest, TerminateGivesTheTabSetsBackAndRemovesTheFrames)
{
    const char16_t* const events[] = {u"OnChange", u"OnGetImageIndex", u"OnGetOverlayImageIndex", u"OnMouseDown"};
    std::vector<TMethod> ide;
    for (const char16_t* event : events)
        ide.push_back(GetMethodProp(Window().TabSet(), event));
    IntfPtr<IBdsDocumentWindow> document = Shown();
    Step("new-editor-window");
    ASSERT_EQ(OnTop(), 1);
    root->ShutDown();

    for (std::size_t i = 0; i < ide.size(); ++i)
        EXPECT_EQ(GetMethodProp(Window().TabSet(), events[i]), ide[i]) << i;
    EXPECT_FALSE(FrameIn(Window().EditorArea()));
    EXPECT_TRUE(Window().StatusBarPanel()->Visible());
    EXPECT_TRUE(IsWindow(packageWindow));
    EXPECT_EQ(GetParent(packageWindow), nullptr);
    Step("paint-tabs\nselect-tab 1 Overview.tvx\npress-tab 1 Unit1.pas\nclose-editor-window 2");
    EXPECT_EQ(Painted(Window(), u"Overview.tvx").first, TEditWindow::OtherImage);
    EXPECT_EQ(document->Activate(), E_FAIL);
    LONG index = 0;
    EXPECT_EQ(service->DocumentFrameOnTop(&index), S_OK);
    EXPECT_EQ(index, -1);
}

} // namespace
