// Packages' tool windows in the simulated IDE: the package window hosted
// through re-docking and the IDE freeing the form, a package that lets go
// inside its own callbacks, the answers once the tool window is gone, the
// icon, and the Object Inspector as a standard window.
#include "host/vcl/Forms.h"
#include "host/win32/GdiEmulation.h"
#include "host/win32/Win32.h"
#include "host/win32/WindowEmulation.h"
#include "interop/Bstr.h"
#include "interop/Utf.h"
#include "services/TalvixBdsServices.h"
#include "sim/Scenario.h"
#include "sim/SimulatedIde.h"
#include "tests/support/TestSupport.h"
#include "tests/windows/WindowsFixture.h"
#include "windows/BdsDockableWindow.h"
#include "windows/BdsWindowsService.h"

#include <functional>
#include <string>
#include <vector>

namespace {

using tvx::IntfPtr;

class DockableWindowTest : public tvx::test::WindowsServiceTest {
protected:
    void TearDown() override
    {
        window = nullptr;
        WindowsServiceTest::TearDown();
    }

    IntfPtr<IBdsDockableWindow> Create(const char16_t* name = u"PackageWindow")
    {
        IntfPtr<IBdsDockableWindow> w;
        EXPECT_EQ(service->CreateDockableWindow(tvx::Bstr(name).get(), w.put()), S_OK);
        return w;
    }
    TToolDockWindow* ToolWindow(IBdsDockableWindow* w)
    {
        return static_cast<talvix::TBdsDockableWindow*>(w)->ToolWindow();
    }
    // Hosted: a visible child of the tool window's current window, filling it.
    void ExpectHosted(TToolDockWindow* tool)
    {
        ASSERT_TRUE(tool);
        EXPECT_EQ(GetParent(packageWindow), tool->Handle());
        EXPECT_TRUE(GetWindowLongW(packageWindow, GWL_STYLE) & WS_VISIBLE);
        // A pop-up left one would take the activation from the tool window.
        EXPECT_EQ(GetWindowLongW(packageWindow, GWL_STYLE) & (WS_CHILD | WS_POPUP), WS_CHILD);
        EXPECT_NE(GetActiveWindow(), packageWindow);
        RECT rect{};
        GetClientRect(packageWindow, &rect);
        EXPECT_EQ(rect.right, tool->ClientWidth());
        EXPECT_EQ(rect.bottom, tool->ClientHeight());
    }

    IntfPtr<IBdsDockableWindow> window;
};

// Catches a package window destroyed with a tool window handle that
// re-docking replaced, or left unparented, hidden or unsized afterwards.
TEST_F(DockableWindowTest, TheHostedWindowFollowsTheToolWindowThroughDocking)
{
    window = Create();
    ASSERT_EQ(window->HostControl(controlRef.get()), S_OK);
    TToolDockWindow* tool = ToolWindow(window.get());
    ExpectHosted(tool);
    EXPECT_EQ(window->Set_Visible(VARIANT_TRUE), S_OK);
    EXPECT_TRUE(IsWindowVisible(packageWindow));

    for (const char* step : {"dock PackageWindow LeftDockPanel", "float PackageWindow 100 100 300 200",
                             "dock PackageWindow RightDockPanel", "resize-tool-window PackageWindow 250 400"}) {
        Step(step);
        SCOPED_TRACE(step);
        ExpectHosted(tool);
        EXPECT_TRUE(IsWindowVisible(packageWindow));
    }
}

// Catches the object freed under its own feet when a package lets go of its
// last reference inside OnWindowClose or OnWindowActivate, and a package
// window destroyed with a form the IDE freed.
TEST_F(DockableWindowTest, APackageMayLetGoInsideItsOwnCallbacks)
{
    window = Create();
    window->HostControl(controlRef.get());
    window->RegisterEvents(sink);
    sink->Then = [&](const std::string&) { window = nullptr; };
    window->Activate();
    // Shown, then activated: both reach the sink, the second after the release.
    EXPECT_EQ(sink->Log, (std::vector<std::string>{"activate", "activate"}));
    EXPECT_FALSE(window);
    EXPECT_TRUE(IsWindow(packageWindow)) << "the library freed the package's window";

    sink->Log.clear();
    window = Create(u"Second");
    window->HostControl(controlRef.get());
    window->RegisterEvents(sink);
    sink->Then = [&](const std::string& what) {
        if (what == "close")
            window = nullptr;
    };
    Step("change-desktop");
    EXPECT_EQ(sink->Log, std::vector<std::string>{"close"});
    EXPECT_FALSE(window);
    ASSERT_TRUE(IsWindow(packageWindow));
    EXPECT_EQ(GetParent(packageWindow), nullptr);
    EXPECT_FALSE(GetWindowLongW(packageWindow, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(GetWindowLongW(packageWindow, GWL_STYLE) & (WS_CHILD | WS_POPUP), WS_POPUP);
}

// Catches a wrapper that touches the freed form, or answers otherwise than
// a window without tool window must.
TEST_F(DockableWindowTest, OnceTheIdeFreedTheToolWindowEveryMethodAnswers)
{
    window = Create();
    window->RegisterEvents(sink);
    Step("change-desktop");
    ASSERT_EQ(sink->Log, std::vector<std::string>{"close"});

    // Out values come in as garbage: the call must not read or free it.
    tvx::Bstr stale(u"stale");
    BSTR caption = stale.get();
    VARIANT_BOOL flag = VARIANT_TRUE;
    EXPECT_EQ(window->Get_Caption(&caption), E_FAIL);
    EXPECT_EQ(caption, nullptr);
    EXPECT_EQ(window->Set_Caption(nullptr), E_FAIL);
    EXPECT_EQ(window->Get_Visible(&flag), E_FAIL);
    EXPECT_EQ(window->Set_Visible(VARIANT_TRUE), E_FAIL);
    EXPECT_EQ(window->Get_AutoHides(&flag), E_FAIL);
    EXPECT_EQ(window->Get_IsFloating(&flag), E_FAIL);
    EXPECT_EQ(window->Set_IsFloating(VARIANT_TRUE), E_FAIL);
    EXPECT_EQ(window->Get_IsActive(&flag), E_FAIL);
    EXPECT_EQ(window->Activate(), E_FAIL);
    EXPECT_EQ(window->Close(), E_FAIL);
    EXPECT_EQ(window->HostControl(controlRef.get()), E_FAIL);
    EXPECT_EQ(window->Set_AutoHides(VARIANT_TRUE), S_OK);
    EXPECT_EQ(window->RegisterEvents(nullptr), S_OK);
    EXPECT_EQ(window->HostControl(nullptr), S_OK);
}

// Catches a package answer that moves a window it does not own: nothing,
// a failure, garbage, a dead window, or one of the IDE's own.
TEST_F(DockableWindowTest, ABadHandleHostsNothing)
{
    window = Create();
    HWND dead = CreateWindowExW(0, u"Static", u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(dead);
    HWND main = Ide().Toolbars().MainWindow()->Handle();
    const std::size_t live = tvx::win32::LiveWindowCount();
    struct Answer {
        HWND handle;
        HRESULT result;
    };
    for (Answer answer :
         {Answer{nullptr, S_OK}, Answer{packageWindow, E_FAIL},
          Answer{reinterpret_cast<HWND>(LONG_PTR(0x7EADBEEF)), S_OK}, Answer{dead, S_OK}, Answer{main, S_OK}}) {
        control->Window = answer.handle;
        control->Result = answer.result;
        EXPECT_EQ(window->HostControl(controlRef.get()), S_OK);
        Step("dock PackageWindow LeftDockPanel");
        Step("float PackageWindow 10 10 200 200");
    }
    EXPECT_EQ(GetParent(packageWindow), nullptr);
    EXPECT_EQ(GetParent(main), nullptr);
    // A hidden tool window gets its window again only when needed.
    ToolWindow(window.get())->HandleNeeded();
    EXPECT_EQ(tvx::win32::LiveWindowCount(), live);

    struct NotAWindow final : tvx::Implements<NotAWindow, IBdsWindowEvents> {
        HRESULT STDMETHODCALLTYPE OnWindowClose() override { return S_OK; }
        HRESULT STDMETHODCALLTYPE OnWindowActivate() override { return S_OK; }
        HRESULT STDMETHODCALLTYPE OnGetIconHandle(LONG*) override { return S_OK; }
    };
    IntfPtr<IUnknown> other((new NotAWindow)->Identity());
    control->Window = packageWindow;
    control->Result = S_OK;
    ASSERT_EQ(window->HostControl(controlRef.get()), S_OK);
    EXPECT_EQ(window->HostControl(other.get()), E_FAIL);
    Step("dock PackageWindow LeftDockPanel");
    ExpectHosted(ToolWindow(window.get()));
}

// Catches a terminated library that leaves the IDE holding its forms, its
// parking window or its window class, or that still makes windows.
TEST_F(DockableWindowTest, ShutDownTakesEverythingOfTheLibraryOutOfTheIde)
{
    window = Create();
    window->HostControl(controlRef.get());
    window->RegisterEvents(sink);
    const int forms = Screen->FormCount();
    talvix::TBdsWindowsService* windows = root->BdsWindowsService();
    ASSERT_TRUE(IsWindow(windows->hShadowWindow));

    root->ShutDown();
    EXPECT_EQ(Screen->FormCount(), forms - 1);
    EXPECT_TRUE(sink->Log.empty()) << "a package heard of the IDE after its terminate";
    EXPECT_TRUE(IsWindow(packageWindow));
    EXPECT_EQ(windows->hShadowWindow, nullptr);
    WNDCLASSW unused{};
    EXPECT_FALSE(GetClassInfoW(nullptr, u"TalvixWnd", &unused));
    EXPECT_EQ(window->Activate(), E_FAIL);
    IntfPtr<IBdsDockableWindow> late;
    EXPECT_EQ(service->CreateDockableWindow(tvx::Bstr(u"Late").get(), late.put()), E_UNEXPECTED);
    EXPECT_FALSE(late);
}

// Catches a bitmap deleted twice or never, an icon leaked when replaced, and
// a failure that takes the package's bitmap or says something else.
TEST_F(DockableWindowTest, SetIconConsumesTheBitmapOnlyWhenItSucceeds)
{
    const std::size_t bitmaps = tvx::win32::LiveBitmapCount();
    const std::size_t twice = tvx::win32::DoubleDeleteCount();
    auto picture = [] {
        std::vector<std::uint32_t> pixels(16 * 16, 0x00FF00FF);
        pixels[5 * 16 + 5] = 0x00123456;
        return CreateBitmap(16, 16, 1, 32, pixels.data());
    };
    window = Create();
    for (int i = 0; i < 2; ++i) {
        HBITMAP bitmap = picture();
        ASSERT_EQ(window->SetIcon(LONG(reinterpret_cast<LONG_PTR>(bitmap))), S_OK);
        EXPECT_EQ(GetObjectType(bitmap), 0u) << "the bitmap was not consumed";
    }
    EXPECT_FALSE(ToolWindow(window.get())->Icon()->Empty());
    EXPECT_EQ(tvx::win32::LiveIconCount(), 1u) << "the replaced icon leaked";
    EXPECT_EQ(tvx::win32::LiveBitmapCount(), bitmaps);

    tvx::test::TakeMessageBoxTexts();
    Step("change-desktop");
    EXPECT_EQ(tvx::win32::LiveIconCount(), 0u);
    HBITMAP kept = picture();
    const LONG value = LONG(reinterpret_cast<LONG_PTR>(kept));
    EXPECT_EQ(window->SetIcon(value), E_FAIL);
    EXPECT_NE(GetObjectType(kept), 0u) << "a failed call took the caller's bitmap";
    EXPECT_EQ(tvx::test::TakeMessageBoxTexts(),
              std::vector<std::u16string>{u"TBdsDockableWindow.SetIcon " + tvx::Utf8ToUtf16(std::to_string(value)) +
                                          u" The tool window no longer exists"});
    DeleteObject(kept);
    EXPECT_EQ(tvx::win32::LiveBitmapCount(), bitmaps);
    EXPECT_EQ(tvx::win32::DoubleDeleteCount(), twice);
}

// Catches a standard window made for a misspelt type, and an Object
// Inspector window that does not open the IDE's own.
TEST_F(DockableWindowTest, TheObjectInspectorIsTheOnlyStandardWindow)
{
    IntfPtr<IBdsDockableWindow> inspector;
    EXPECT_EQ(service->GetStandardWindow(tvx::Bstr(u"objectinspector").get(), inspector.put()), S_OK);
    EXPECT_FALSE(inspector);
    EXPECT_EQ(service->GetStandardWindow(tvx::Bstr(u"ObjectInspector").get(), inspector.put()), S_OK);
    ASSERT_TRUE(inspector);
    BSTR caption = nullptr;
    EXPECT_EQ(inspector->Get_Caption(&caption), S_OK);
    EXPECT_EQ(caption, nullptr);

    EXPECT_EQ(inspector->Close(), S_OK);
    VARIANT_BOOL visible = VARIANT_TRUE;
    EXPECT_EQ(inspector->Get_Visible(&visible), S_OK);
    EXPECT_EQ(visible, VARIANT_FALSE);
    EXPECT_EQ(inspector->Activate(), S_OK);
    EXPECT_EQ(inspector->Get_Visible(&visible), S_OK);
    EXPECT_EQ(visible, VARIANT_TRUE);

    Step("change-desktop");
    visible = 7;
    EXPECT_EQ(inspector->Get_Visible(&visible), S_OK);
    EXPECT_EQ(visible, 7) << "with no Object Inspector the answer stays untouched";
}

} // namespace
