// The two containers that carry package windows: the frame over the code
// editor and the tool dock window. Both must tell their owner before their
// window handle goes, while it still exists, so that a package window can be
// taken out; and remember their handle, so it can be put back in.
#include "host/ide/DeskUtil.h"
#include "host/vcl/ExtCtrls.h"
#include "host/vcl/FormStreams.h"
#include "host/win32/Win32.h"
#include "host/win32/WindowEmulation.h"
#include "tests/support/TestSupport.h"
#include "windows/TalvixFrame.h"
#include "windows/ToolDockWindow.h"

#include <memory>
#include <vector>

namespace {

// Records what a container raised and, like the library's owners, can take
// a package window out before the container's handle goes.
struct Owner {
    std::vector<std::string> heard;
    HWND packageWindow = nullptr;
    HWND handleAtEvent = nullptr;
    bool handleAliveAtEvent = false;

    void WindowHandleGoes(TObject* Sender)
    {
        heard.push_back("destroy-window-handle");
        handleAtEvent = static_cast<TWinControl*>(Sender)->Handle();
        handleAliveAtEvent = IsWindow(handleAtEvent) != FALSE;
        if (packageWindow) {
            ShowWindow(packageWindow, SW_HIDE);
            SetParent(packageWindow, nullptr);
        }
    }
    void Destroyed(TObject* Sender)
    {
        heard.push_back("destroy");
        auto* control = static_cast<TWinControl*>(Sender);
        handleAliveAtEvent = control->HandleAllocated() && IsWindow(control->Handle());
        if (auto* frame = dynamic_cast<TTalvixFrame*>(Sender))
            heard.push_back(frame->Destroying ? "destroying" : "not destroying");
    }
};

HWND PackageWindow(HWND parent)
{
    return CreateWindowExW(0, u"Static", u"package", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, parent, nullptr, nullptr,
                           nullptr);
}

class HostingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        baseline = tvx::win32::LiveWindowCount();
        host = std::make_unique<TForm>(nullptr);
        host->SetBounds(0, 0, 800, 600);
        for (auto*& site : sites) {
            site = new TPanel(host.get());
            site->SetParent(host.get());
        }
        host->Show();
    }
    void TearDown() override
    {
        host.reset();
        RegisterFieldAddress = nullptr;
        UnregisterFieldAddress = nullptr;
        EXPECT_EQ(tvx::win32::LiveWindowCount(), baseline) << "windows left behind";
    }

    TTalvixFrame* NewFrame(TWinControl* parent)
    {
        auto* frame = new TTalvixFrame(nullptr);
        frame->SetParent(parent);
        frame->SetOnDestroyWindowHandle(MakeEvent<&Owner::WindowHandleGoes>(&owner));
        frame->SetOnDestroy(MakeEvent<&Owner::Destroyed>(&owner));
        frame->UpdateHandleControl();
        return frame;
    }

    std::size_t baseline = 0;
    std::unique_ptr<TForm> host;
    TPanel* sites[2] = {};
    Owner owner;
};

// Catches a stream value not applied, or applied to the wrong property.
TEST_F(HostingTest, TheFormStreamsSetEveryValue)
{
    auto* frame = NewFrame(sites[0]);
    EXPECT_EQ(frame->Name(), u"TalvixFrame");
    EXPECT_EQ(frame->Width(), 320);
    EXPECT_EQ(frame->Height(), 240);
    EXPECT_EQ(frame->Font()->Name(), u"Tahoma");
    EXPECT_EQ(frame->Font()->Height(), -11);
    EXPECT_EQ(frame->Font()->Charset(), DEFAULT_CHARSET);
    EXPECT_EQ(frame->Font()->Color(), clWindowText);
    EXPECT_FALSE(frame->ParentFont());
    EXPECT_EQ(frame->TabOrder(), 0);
    EXPECT_FALSE(frame->Destroying);
    frame->Free();

    auto* window = new TToolDockWindow(nullptr);
    EXPECT_EQ(window->Name(), u"ToolDockWindow");
    EXPECT_EQ(window->Caption(), u"Tool dock window");
    EXPECT_EQ(window->BoundsRect().Left, 10);
    EXPECT_EQ(window->BoundsRect().Top, 10);
    EXPECT_EQ(window->Width(), 434);
    EXPECT_EQ(window->Height(), 320);
    EXPECT_EQ(window->Color(), clBtnFace);
    EXPECT_EQ(window->Font()->Charset(), RUSSIAN_CHARSET);
    EXPECT_EQ(window->Font()->Name(), u"MS Sans Serif");
    EXPECT_TRUE(window->Font()->Style().Empty());
    EXPECT_EQ(window->PixelsPerInch(), 96);
    EXPECT_EQ(window->TextHeight(), 13);
    EXPECT_EQ(window->DeskSection(), u"ToolDockWindow");
    EXPECT_TRUE(window->AutoSave());
    EXPECT_TRUE(window->SaveStateNecessary());
    EXPECT_FALSE(window->Visible());
    window->Free();
}

// Catches a frame that raises OnDestroyWindowHandle while it is freed (its
// owner would touch a dying object), raises OnDestroy twice or too late.
TEST_F(HostingTest, FreeingAFrameRaisesOnDestroyOnlyAndWhileItsWindowExists)
{
    auto* frame = NewFrame(sites[0]);
    HWND handle = frame->Handle();
    frame->Free();
    EXPECT_EQ(owner.heard, (std::vector<std::string>{"destroy", "not destroying"}));
    EXPECT_TRUE(owner.handleAliveAtEvent);
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(sites[0]->ControlCount(), 0);
}

// Catches the event raised after the handle is gone (the package window
// would go down with it), and a handle change forgotten before the owner
// records the new handle.
TEST_F(HostingTest, ReparentingAFrameLetsTheOwnerRescueThePackageWindow)
{
    auto* frame = NewFrame(sites[0]);
    HWND old = frame->Handle();
    owner.packageWindow = PackageWindow(old);
    EXPECT_FALSE(frame->IsHandleChanged());

    frame->SetParent(sites[1]);
    EXPECT_EQ(owner.heard, std::vector<std::string>{"destroy-window-handle"});
    EXPECT_EQ(owner.handleAtEvent, old);
    EXPECT_TRUE(owner.handleAliveAtEvent);
    ASSERT_TRUE(IsWindow(owner.packageWindow)) << "the package window went down with the frame's handle";
    EXPECT_FALSE(IsWindow(old));
    EXPECT_TRUE(frame->IsHandleChanged());
    EXPECT_TRUE(frame->IsHandleChanged()) << "asking must not record the handle";
    frame->UpdateHandleControl();
    EXPECT_FALSE(frame->IsHandleChanged());

    // Without an owner that takes it out, Windows destroys it with its parent.
    SetParent(owner.packageWindow, frame->Handle());
    owner.packageWindow = nullptr;
    HWND child = GetWindow(frame->Handle(), GW_CHILD);
    frame->SetParent(sites[0]);
    EXPECT_FALSE(IsWindow(child));
}

// Catches IsHandleChanged that answers from a destroyed handle instead of
// making the window.
TEST_F(HostingTest, IsHandleChangedMakesAMissingWindow)
{
    auto* frame = NewFrame(sites[0]);
    frame->SetVisible(false);
    frame->SetParent(sites[1]);
    ASSERT_FALSE(frame->HandleAllocated());
    EXPECT_TRUE(frame->IsHandleChanged());
    EXPECT_TRUE(frame->HandleAllocated());
}

// Catches a tool dock window that stays silent while it is freed or docked
// (it has no destroying guard: its owner guards itself), and OnDestroy
// raised after the window went.
TEST_F(HostingTest, TheToolDockWindowTellsItsOwnerEveryTime)
{
    auto* window = new TToolDockWindow(nullptr);
    window->SetOnDestroyWindowHandle(MakeEvent<&Owner::WindowHandleGoes>(&owner));
    window->UpdateHandleControl();
    HWND floating = window->Handle();
    owner.packageWindow = PackageWindow(floating);

    window->ManualDock(sites[0]);
    EXPECT_EQ(owner.heard, std::vector<std::string>{"destroy-window-handle"});
    EXPECT_EQ(owner.handleAtEvent, floating);
    EXPECT_TRUE(IsWindow(owner.packageWindow));
    EXPECT_FALSE(window->Floating());
    EXPECT_TRUE(window->IsHandleChanged());
    window->UpdateHandleControl();

    window->ManualFloat(TRect{100, 100, 500, 400});
    EXPECT_EQ(owner.heard.size(), 2u);
    EXPECT_TRUE(window->Floating());
    EXPECT_TRUE(window->IsHandleChanged());

    owner.heard.clear();
    window->SetOnDestroy(MakeEvent<&Owner::Destroyed>(&owner));
    window->Free();
    EXPECT_EQ(owner.heard, (std::vector<std::string>{"destroy", "destroy-window-handle"}));
    DestroyWindow(owner.packageWindow);
}

// Catches RegisterForm that skips the class when the desktop's variables
// are unassigned, and UnRegisterForm that does anything then.
TEST_F(HostingTest, RegisteringWorksWithAndWithoutTheDesktopVariables)
{
    TToolDockWindow* field = nullptr;
    TToolDockWindow::RegisterForm(field, u"PackageWindow");
    TToolDockWindow::UnRegisterForm(field);
    bool known = false;
    for (const TDesktopFormClass& c : DesktopFormClasses())
        known = known || (c.Name == u"PackageWindow" && c.InstanceName == u"PackageWindow" &&
                          c.FormClass == ClassOf<TToolDockWindow>());
    EXPECT_TRUE(known);

    static std::vector<std::pair<String, void*>> registered;
    static std::vector<void*> unregistered;
    RegisterFieldAddress = [](const String& Name, void* Address) { registered.emplace_back(Name, Address); };
    UnregisterFieldAddress = [](void* Address) { unregistered.push_back(Address); };
    TToolDockWindow::RegisterForm(field, u"Other");
    TToolDockWindow::UnRegisterForm(field);
    ASSERT_EQ(registered.size(), 1u);
    EXPECT_EQ(registered[0].first, u"Other");
    EXPECT_EQ(registered[0].second, &field);
    EXPECT_EQ(unregistered, std::vector<void*>{&field});
}

// Catches ForceActivate that leaves a docked window inside a hidden dock
// host, or a floating one unshown.
TEST_F(HostingTest, ForceActivateBringsTheWindowForward)
{
    auto* window = new TToolDockWindow(nullptr);
    window->ForceActivate();
    EXPECT_TRUE(window->Visible());
    EXPECT_TRUE(window->Active());

    window->ManualDock(sites[0]);
    sites[0]->Hide();
    host->Activate();
    window->ForceActivate();
    EXPECT_TRUE(sites[0]->Visible());
    EXPECT_TRUE(window->Active());
    EXPECT_TRUE(window->Focused());
    window->Free();
}

// A frame class without a form resource of its own.
class TUnstreamedFrame : public TFrame {
    TVX_CLASS(TUnstreamedFrame, TFrame)
    explicit TUnstreamedFrame(TComponent* AOwner) : TFrame(AOwner) { InitInheritedForm(this, ClassOf<TFrame>()); }
};
TVX_DEFINE_CLASS(TUnstreamedFrame)

// Catches a half-built frame left in its owner when its resource is missing.
TEST_F(HostingTest, AMissingResourceLeavesNothingBehind)
{
    const int components = host->ComponentCount();
    EXPECT_THROW(new TUnstreamedFrame(host.get()), EResNotFound);
    EXPECT_EQ(host->ComponentCount(), components);
}

} // namespace
