// TControl and TWinControl: windows made on demand, destroyed and made
// again as the VCL does, child controls, and the window following the
// control's bounds, visibility, enabled state and text.
#include "host/vcl/Controls.h"
#include "host/vcl/TypInfo.h"
#include "host/win32/Win32.h"
#include "host/win32/WindowEmulation.h"
#include "tests/support/TestSupport.h"

#include <memory>

// A top-level control, as a form is.
class TTestForm : public TWinControl {
    TVX_CLASS(TTestForm, TWinControl)
    using TWinControl::TWinControl;

protected:
    void CreateParams(TCreateParams& Params) override
    {
        TWinControl::CreateParams(Params);
        TopLevelParams(Params, 0);
    }
};
TVX_DEFINE_CLASS(TTestForm)

namespace {

class WinControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        baseline = tvx::win32::LiveWindowCount();
        form = std::make_unique<TTestForm>(nullptr);
        form->SetBounds(100, 100, 400, 300);
    }
    void TearDown() override
    {
        form.reset();
        EXPECT_EQ(tvx::win32::LiveWindowCount(), baseline) << "windows left behind";
    }

    TWinControl* Child(TWinControl* parent, int left = 10)
    {
        auto* child = new TWinControl(form.get());
        child->SetBounds(left, 20, 50, 30);
        child->SetParent(parent);
        return child;
    }

    std::size_t baseline = 0;
    std::unique_ptr<TTestForm> form;
};

// Catches windows made before anyone needs them, visible children left
// without one, and a child window made without its parent's.
TEST_F(WinControlTest, WindowsAreMadeOnDemand)
{
    TWinControl* shown = Child(form.get());
    TWinControl* hidden = Child(form.get());
    hidden->SetVisible(false);
    EXPECT_FALSE(form->HandleAllocated());
    EXPECT_FALSE(shown->HandleAllocated());

    HWND handle = form->Handle();
    EXPECT_TRUE(IsWindow(handle));
    EXPECT_TRUE(shown->HandleAllocated());
    EXPECT_FALSE(hidden->HandleAllocated());
    EXPECT_EQ(GetParent(shown->Handle()), handle);
    EXPECT_EQ(TWinControl::FindControl(shown->Handle()), shown);

    hidden->SetVisible(true);
    EXPECT_TRUE(hidden->HandleAllocated());

    TWinControl orphan(nullptr);
    EXPECT_THROW(orphan.Handle(), EInvalidOperation);
    EXPECT_FALSE(orphan.HandleAllocated());
}

// Catches a control that keeps its window when it leaves its parent, or
// does not get a new one when it joins another.
TEST_F(WinControlTest, ReparentingDestroysAndRemakesTheWindow)
{
    TWinControl* panel = Child(form.get());
    TWinControl* child = Child(panel);
    form->HandleNeeded();
    HWND old = child->Handle();
    HWND oldPanel = panel->Handle();

    child->SetParent(nullptr);
    EXPECT_FALSE(child->HandleAllocated());
    EXPECT_FALSE(IsWindow(old));
    child->SetParent(form.get());
    ASSERT_TRUE(child->HandleAllocated());
    EXPECT_NE(child->Handle(), old);
    EXPECT_EQ(GetParent(child->Handle()), form->Handle());

    panel->RecreateWnd();
    EXPECT_NE(panel->Handle(), oldPanel);
    EXPECT_FALSE(IsWindow(oldPanel));
}

// Catches a control left holding a handle after Windows destroyed its
// window (with its parent's), and foreign windows that outlive the
// control's window.
TEST_F(WinControlTest, WindowsDestroyedBehindTheControlAreForgotten)
{
    TWinControl* child = Child(form.get());
    form->HandleNeeded();
    HWND foreign =
        CreateWindowExW(0, u"Edit", u"package", WS_CHILD, 0, 0, 5, 5, child->Handle(), nullptr, nullptr, nullptr);
    ASSERT_TRUE(IsWindow(foreign));

    DestroyWindow(form->Handle());
    EXPECT_FALSE(form->HandleAllocated());
    EXPECT_FALSE(child->HandleAllocated());
    EXPECT_FALSE(IsWindow(foreign));

    form->HandleNeeded();
    EXPECT_TRUE(child->HandleAllocated());
}

// Catches children that outlive their parent control, and a freed child
// left in its parent's list.
TEST_F(WinControlTest, FreeingAParentFreesItsChildrenWhoeverOwnsThem)
{
    auto* panel = new TWinControl(nullptr);
    panel->SetParent(form.get());
    auto* unowned = new TGraphicControl(nullptr);
    unowned->SetParent(panel);
    auto* owned = new TWinControl(form.get());
    owned->SetParent(panel);
    form->HandleNeeded();
    const int owners = form->ComponentCount();

    delete panel;
    EXPECT_EQ(form->ControlCount(), 0);
    EXPECT_EQ(form->ComponentCount(), owners - 1);

    auto* child = Child(form.get());
    child->Free();
    EXPECT_EQ(form->ControlCount(), 0);
}

// Catches properties that do not reach the window, and a window moved from
// outside that the control does not follow.
TEST_F(WinControlTest, TheWindowFollowsTheControlAndBack)
{
    TWinControl* child = Child(form.get());
    HWND handle = child->Handle();
    child->SetBounds(5, 6, 70, 40);
    RECT rect{};
    GetWindowRect(handle, &rect);
    EXPECT_EQ(rect.left, 105);
    EXPECT_EQ(rect.right - rect.left, 70);

    child->SetVisible(false);
    EXPECT_FALSE(GetWindowLongW(handle, GWL_STYLE) & WS_VISIBLE);
    child->SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(handle));
    child->SetCaption(u"Caption");
    char16_t text[16]{};
    GetWindowTextW(handle, text, 16);
    EXPECT_EQ(std::u16string(text), u"Caption");

    MoveWindow(handle, 1, 2, 30, 10, TRUE);
    EXPECT_EQ(child->Left(), 1);
    EXPECT_EQ(child->Top(), 2);
    EXPECT_EQ(child->Width(), 30);
    EXPECT_EQ(child->Height(), 10);
}

// Catches a control made the parent of itself or of one of its parents.
TEST_F(WinControlTest, ParentCyclesAreRefused)
{
    TWinControl* panel = Child(form.get());
    TWinControl* inner = Child(panel);
    EXPECT_THROW(panel->SetParent(panel), EInvalidOperation);
    EXPECT_THROW(panel->SetParent(inner), EInvalidOperation);
    EXPECT_EQ(panel->Parent(), form.get());
}

// Catches floating that leaves the control where it was, or a float host
// (with its window) that stays after docking or freeing.
TEST_F(WinControlTest, FloatingMovesTheControlToAHostOfItsOwn)
{
    TWinControl* bar = Child(form.get());
    form->HandleNeeded();
    const std::size_t windows = tvx::win32::LiveWindowCount();
    bar->ManualFloat(TRect{300, 300, 400, 340});
    EXPECT_TRUE(bar->Floating());
    EXPECT_NE(bar->Parent(), form.get());
    EXPECT_TRUE(bar->HandleAllocated());
    EXPECT_EQ(tvx::win32::LiveWindowCount(), windows + 1);

    bar->ManualDock(form.get());
    EXPECT_FALSE(bar->Floating());
    EXPECT_EQ(bar->Parent(), form.get());
    EXPECT_EQ(tvx::win32::LiveWindowCount(), windows);

    bar->ManualFloat(TRect{0, 0, 10, 10});
    bar->Free();
    EXPECT_EQ(tvx::win32::LiveWindowCount(), windows - 1);
}

// Catches a click handler that cannot free its own control.
TEST_F(WinControlTest, ClickHandlerMayFreeTheControl)
{
    struct Handler {
        void OnClick(TObject* Sender) { static_cast<TControl*>(Sender)->Free(); }
    } handler;
    auto* control = new TGraphicControl(form.get());
    control->SetOnClick(MakeEvent<&Handler::OnClick>(&handler));
    const int count = form->ComponentCount();
    control->Click();
    EXPECT_EQ(form->ComponentCount(), count - 1);
}

// Catches published properties that cannot be read or written by name.
TEST_F(WinControlTest, BoundsAndStateArePublished)
{
    TWinControl* child = Child(form.get());
    SetOrdProp(child, u"Left", 33);
    EXPECT_EQ(child->Left(), 33);
    SetOrdProp(child, u"Visible", 0);
    EXPECT_FALSE(child->Visible());
    SetStrProp(child, u"Hint", u"tip");
    EXPECT_EQ(GetStrProp(child, u"hint"), u"tip");
    EXPECT_THROW(GetOrdProp(child, u"Colour"), EPropertyError);
}

} // namespace
