// TToolBar and TToolButton: where buttons go, the layout and automatic
// size, the buttons list, image list notification and check buttons.
#include "host/vcl/ComCtrls.h"
#include "host/vcl/ImgList.h"
#include "host/vcl/StdCtrls.h"
#include "tests/support/TestSupport.h"

#include <memory>

namespace {

class VclToolBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dock = std::make_unique<TWinControl>(nullptr);
        dock->SetBounds(0, 0, 800, 60);
        bar = new TToolBar(dock.get());
        bar->SetParent(dock.get());
    }

    TToolButton* AddButton(int left, TToolButtonStyle style = tbsButton)
    {
        auto* button = new TToolButton(bar);
        button->SetStyle(style);
        button->SetParent(bar);
        button->SetLeft(left);
        return button;
    }

    std::unique_ptr<TWinControl> dock;
    TToolBar* bar = nullptr;
};

// Catches buttons placed by arrival rather than by Left: a new button with
// Left 0 goes first, one whose Left is past the others goes last.
TEST_F(VclToolBarTest, PositionFollowsLeft)
{
    TToolButton* a = AddButton(0);
    TToolButton* b = AddButton(0);
    EXPECT_EQ(bar->Buttons(0), b);
    EXPECT_EQ(bar->Buttons(1), a);
    TToolButton* c = AddButton(dock->Width());
    EXPECT_EQ(c->Index(), 2);
    b->SetLeft(dock->Width());
    EXPECT_EQ(b->Index(), 2);
    EXPECT_EQ(a->Index(), 0);
    EXPECT_EQ(a->Left(), 0);
    EXPECT_EQ(c->Left(), bar->ButtonWidth());
    EXPECT_EQ(b->Left(), 2 * bar->ButtonWidth());
}

// Catches a layout where hidden controls take room, dividers take a
// button's width, or the automatic size ignores either.
TEST_F(VclToolBarTest, LayoutAndAutoSize)
{
    bar->SetAutoSize(true);
    TToolButton* a = AddButton(1000);
    TToolButton* divider = AddButton(1000, tbsDivider);
    divider->SetWidth(5);
    TToolButton* b = AddButton(1000);
    auto* combo = new TComboBox(bar);
    combo->SetParent(bar);
    combo->SetLeft(1000);
    EXPECT_EQ(bar->Width(), 23 + 5 + 23 + 145);
    EXPECT_EQ(bar->Height(), 22);
    EXPECT_EQ(combo->Left(), 51);

    b->SetVisible(false);
    EXPECT_EQ(bar->Width(), 23 + 5 + 145);
    EXPECT_EQ(combo->Left(), 28);
    EXPECT_EQ(b->Left(), 28);
    EXPECT_EQ(a->Index(), 0);
    EXPECT_EQ(bar->ButtonCount(), 3);
    EXPECT_EQ(bar->ControlCount(), 4);
}

// Catches a buttons list that keeps freed buttons or counts other controls.
TEST_F(VclToolBarTest, ButtonsListHoldsOnlyLiveButtons)
{
    TToolButton* a = AddButton(1000);
    auto* label = new TLabel(bar);
    label->SetParent(bar);
    TToolButton* b = AddButton(1000);
    EXPECT_EQ(bar->ButtonCount(), 2);
    a->Free();
    EXPECT_EQ(bar->ButtonCount(), 1);
    EXPECT_EQ(b->Index(), 0);
    b->SetParent(nullptr);
    EXPECT_EQ(b->Index(), -1);
    EXPECT_EQ(b->ToolBar(), nullptr);
    EXPECT_THROW(bar->Buttons(0), EListError);
    b->Free();
}

// Catches a toolbar that keeps pointing at an image list freed elsewhere.
TEST_F(VclToolBarTest, ForgetsAFreedImageList)
{
    auto* images = new TImageList(nullptr);
    bar->SetImages(images);
    EXPECT_EQ(bar->Images(), images);
    delete images;
    EXPECT_EQ(bar->Images(), nullptr);
}

// Catches a check button that does not toggle, a plain one that does, and
// a click handler that cannot free its button.
TEST_F(VclToolBarTest, CheckButtonsToggleDown)
{
    TToolButton* check = AddButton(1000, tbsCheck);
    TToolButton* plain = AddButton(1000);
    check->Click();
    plain->Click();
    EXPECT_TRUE(check->Down());
    EXPECT_FALSE(plain->Down());
    check->Click();
    EXPECT_FALSE(check->Down());

    struct Handler {
        void OnClick(TObject* Sender) { static_cast<TToolButton*>(Sender)->Free(); }
    } handler;
    plain->SetOnClick(MakeEvent<&Handler::OnClick>(&handler));
    plain->Click();
    EXPECT_EQ(bar->ButtonCount(), 1);
}

// Catches a toolbar whose destruction uses buttons it already freed.
TEST_F(VclToolBarTest, FreeingTheToolbarFreesItsButtons)
{
    for (int i = 0; i < 3; ++i)
        AddButton(1000);
    const int components = dock->ComponentCount();
    bar->Free();
    EXPECT_EQ(dock->ControlCount(), 0);
    EXPECT_EQ(dock->ComponentCount(), components - 1);
}

} // namespace
