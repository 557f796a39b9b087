// The control kinds: button, combo box and pop-up placeholder, their
// properties as the package reads them back, their events and SetImage.
#include "tests/toolbars/ToolbarFixture.h"

#include "host/vcl/ImgList.h"

namespace {

using namespace tvx::test;
using tvx::Bstr;
using tvx::IntfPtr;

class ControlsTest : public ToolbarFixture {
protected:
    void SetUp() override
    {
        ToolbarFixture::SetUp();
        toolBar = AddToolBar(u"PackageToolBar");
        toolBar->Set_Visible(VARIANT_TRUE);
        native = Native(toolBar.get());
    }
    void TearDown() override
    {
        toolBar = nullptr;
        ToolbarFixture::TearDown();
    }

    template <class I>
    static std::u16string Text(I* object, HRESULT (STDMETHODCALLTYPE I::*get)(BSTR*))
    {
        Bstr text;
        EXPECT_EQ((object->*get)(text.put()), S_OK);
        return text.str();
    }
    template <class I>
    static bool Flag(I* object, HRESULT (STDMETHODCALLTYPE I::*get)(VARIANT_BOOL*))
    {
        VARIANT_BOOL value = 7;
        EXPECT_EQ((object->*get)(&value), S_OK);
        EXPECT_TRUE(value == VARIANT_TRUE || value == VARIANT_FALSE) << value;
        return value != 0;
    }
    template <class I>
    static LONG Number(I* object, HRESULT (STDMETHODCALLTYPE I::*get)(LONG*))
    {
        LONG value = -77;
        EXPECT_EQ((object->*get)(&value), S_OK);
        return value;
    }

    IntfPtr<IBdsToolBar> toolBar;
    TToolBar* native = nullptr;
};

// Catches a caption without its trailing space, a label shown from the
// start, or a label that is not placed before its combo box.
TEST_F(ControlsTest, ComboCaptionIsALabelBeforeTheComboShownOnRequest)
{
    auto control = AddControl(toolBar.get(), kComboBox);
    auto combo = control.as<IBdsToolBarComboBox>();
    EXPECT_FALSE(Flag(combo.get(), &IBdsToolBarComboBox::Get_CaptionVisible));
    EXPECT_EQ(control->Set_Caption(Bstr(u"Config").get()), S_OK);
    EXPECT_EQ(Text(control.get(), &IBdsToolBarControl::Get_Caption), u"Config ");
    EXPECT_FALSE(Label(control.get())->Visible());

    EXPECT_EQ(combo->Set_CaptionVisible(VARIANT_TRUE), S_OK);
    EXPECT_TRUE(Flag(combo.get(), &IBdsToolBarComboBox::Get_CaptionVisible));
    TLabel* label = Label(control.get());
    EXPECT_TRUE(label->Visible());
    EXPECT_EQ(label->Parent(), native);
    EXPECT_EQ(label->Layout(), tlCenter);
    EXPECT_EQ(label->Left() + label->Width(), Combo(control.get())->Left());

    EXPECT_EQ(control->Set_ToolTip(Bstr(u"Pick one").get()), S_OK);
    EXPECT_EQ(label->Hint(), u"Pick one");
    EXPECT_EQ(Text(control.get(), &IBdsToolBarControl::Get_ToolTip), u"Pick one");

    // Hiding the combo box leaves the label as it was.
    EXPECT_EQ(control->Set_Visible(VARIANT_FALSE), S_OK);
    EXPECT_FALSE(Flag(control.get(), &IBdsToolBarControl::Get_Visible));
    EXPECT_TRUE(label->Visible());
}

// Catches a list-only combo box that takes free text, and an editable one
// that refuses it.
TEST_F(ControlsTest, ListOnlyComboAcceptsOnlyItsItems)
{
    auto list = Add<IBdsToolBarComboBox>(toolBar.get(), kListComboBox);
    auto editable = Add<IBdsToolBarComboBox>(toolBar.get(), kComboBox);
    LONG index = -1;
    for (auto* combo : {list.get(), editable.get()})
        for (const char16_t* item : {u"Debug", u"Release"})
            combo->AddItem(Bstr(item).get(), &index);

    EXPECT_EQ(list->Set_Text(Bstr(u"Nightly").get()), S_OK);
    EXPECT_EQ(Text(list.get(), &IBdsToolBarComboBox::Get_Text), u"");
    EXPECT_EQ(list->Set_Text(Bstr(u"Release").get()), S_OK);
    EXPECT_EQ(Text(list.get(), &IBdsToolBarComboBox::Get_Text), u"Release");
    EXPECT_EQ(Number(list.get(), &IBdsToolBarComboBox::Get_SelectedItem), 1);

    EXPECT_EQ(editable->Set_Text(Bstr(u"Nightly").get()), S_OK);
    EXPECT_EQ(Text(editable.get(), &IBdsToolBarComboBox::Get_Text), u"Nightly");
    EXPECT_EQ(Number(editable.get(), &IBdsToolBarComboBox::Get_SelectedItem), -1);
}

// Catches wrong item indexes, refused indexes reported as success or
// changing the list, and a ClearItems that keeps the text.
TEST_F(ControlsTest, ComboItemsFollowTheListRules)
{
    auto combo = Add<IBdsToolBarComboBox>(toolBar.get(), kComboBox);
    EXPECT_EQ(Number(combo.get(), &IBdsToolBarComboBox::Get_ItemCount), 0);
    LONG index = -1;
    EXPECT_EQ(combo->AddItem(Bstr(u"one").get(), &index), S_OK);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(combo->AddItem(Bstr(u"two").get(), &index), S_OK);
    EXPECT_EQ(index, 1);

    for (LONG bad : {-1, 2, 99}) {
        SCOPED_TRACE(bad);
        BSTR item = SentinelPointer<OLECHAR>();
        EXPECT_EQ(combo->GetItem(bad, &item), E_INVALIDARG);
        EXPECT_EQ(item, nullptr);
        EXPECT_EQ(combo->SetItem(bad, Bstr(u"x").get()), E_INVALIDARG);
        EXPECT_EQ(combo->RemoveItem(bad), E_INVALIDARG);
        EXPECT_EQ(Number(combo.get(), &IBdsToolBarComboBox::Get_ItemCount), 2);
    }
    EXPECT_NE(TakeErrorDescription().find(u"List index out of bounds"), std::u16string::npos);

    EXPECT_EQ(combo->SetItem(1, Bstr(u"deux").get()), S_OK);
    Bstr item;
    EXPECT_EQ(combo->GetItem(1, item.put()), S_OK);
    EXPECT_EQ(item.str(), u"deux");
    EXPECT_EQ(combo->Set_SelectedItem(1), S_OK);
    EXPECT_EQ(Text(combo.get(), &IBdsToolBarComboBox::Get_Text), u"deux");
    EXPECT_EQ(combo->RemoveItem(0), S_OK);
    EXPECT_EQ(Number(combo.get(), &IBdsToolBarComboBox::Get_SelectedItem), 0);

    EXPECT_EQ(combo->ClearItems(), S_OK);
    EXPECT_EQ(Number(combo.get(), &IBdsToolBarComboBox::Get_ItemCount), 0);
    EXPECT_EQ(Text(combo.get(), &IBdsToolBarComboBox::Get_Text), u"");
    EXPECT_EQ(Number(combo.get(), &IBdsToolBarComboBox::Get_SelectedItem), -1);

    EXPECT_EQ(combo->Set_Width(200), S_OK);
    EXPECT_EQ(Number(combo.get(), &IBdsToolBarComboBox::Get_Width), 200);
}

// Catches a shortcut that any kind stores, and a pop-up that reaches for
// VCL controls it does not have.
TEST_F(ControlsTest, ShortCutsAreIgnoredAndThePopUpIsAPlaceholder)
{
    std::vector<IntfPtr<IBdsToolBarControl>> all;
    for (LONG type : {kButton, kComboBox, kListComboBox, kPopUp})
        all.push_back(AddControl(toolBar.get(), type));
    for (auto& control : all) {
        EXPECT_EQ(control->Set_ShortCut(0x4053), S_OK);
        EXPECT_EQ(Number(control.get(), &IBdsToolBarControl::Get_ShortCut), 0);
    }

    IBdsToolBarControl* popUp = all.back().get();
    for (auto set : {&IBdsToolBarControl::Set_Caption, &IBdsToolBarControl::Set_Name, &IBdsToolBarControl::Set_ToolTip})
        EXPECT_EQ((popUp->*set)(Bstr(u"Something").get()), S_OK);
    EXPECT_EQ(popUp->Set_Enabled(VARIANT_FALSE), S_OK);
    EXPECT_EQ(popUp->Set_Visible(VARIANT_TRUE), S_OK);
    EXPECT_EQ(Text(popUp, &IBdsToolBarControl::Get_Caption), u"");
    EXPECT_EQ(Text(popUp, &IBdsToolBarControl::Get_Name), u"");
    EXPECT_EQ(Text(popUp, &IBdsToolBarControl::Get_ToolTip), u"");
    EXPECT_TRUE(Flag(popUp, &IBdsToolBarControl::Get_Enabled));
    EXPECT_FALSE(Flag(popUp, &IBdsToolBarControl::Get_Visible));
}

// Catches a divider left behind when its button hides or shows, one that
// follows a button it does not precede, and a repeated setting that
// toggles anything.
TEST_F(ControlsTest, DividerBeforeAButtonHidesAndShowsWithIt)
{
    auto first = AddControl(toolBar.get(), kButton);
    toolBar->AddSeparator();
    auto second = AddControl(toolBar.get(), kButton);
    TToolButton* divider = native->Buttons(1);
    ASSERT_EQ(divider->Style(), tbsDivider);

    EXPECT_EQ(second->Set_Visible(VARIANT_FALSE), S_OK);
    EXPECT_FALSE(divider->Visible());
    EXPECT_FALSE(Button(second.get())->Visible());
    // Set back by hand: the same setting again must not touch it.
    divider->SetVisible(true);
    EXPECT_EQ(second->Set_Visible(VARIANT_FALSE), S_OK);
    EXPECT_TRUE(divider->Visible());
    divider->SetVisible(false);

    EXPECT_EQ(second->Set_Visible(VARIANT_TRUE), S_OK);
    EXPECT_TRUE(divider->Visible());
    EXPECT_TRUE(Button(second.get())->Visible());

    EXPECT_EQ(first->Set_Visible(VARIANT_FALSE), S_OK);
    EXPECT_TRUE(divider->Visible());
}

// Catches button properties that do not reach the VCL button, and a name
// the VCL refuses being applied or reported as success.
TEST_F(ControlsTest, ButtonPropertiesReachTheToolButton)
{
    auto control = AddControl(toolBar.get(), kButton);
    auto other = AddControl(toolBar.get(), kButton);
    auto button = control.as<IBdsToolBarButton>();
    TToolButton* vcl = Button(control.get());
    EXPECT_EQ(vcl->Style(), tbsButton);
    EXPECT_EQ(vcl->Owner(), native);

    control->Set_Caption(Bstr(u"&Run").get());
    control->Set_ToolTip(Bstr(u"Run it").get());
    control->Set_Enabled(VARIANT_FALSE);
    button->Set_Down(VARIANT_TRUE);
    EXPECT_EQ(vcl->Caption(), u"&Run");
    EXPECT_EQ(vcl->Hint(), u"Run it");
    EXPECT_FALSE(vcl->Enabled());
    EXPECT_TRUE(vcl->Down());
    EXPECT_TRUE(Flag(button.get(), &IBdsToolBarButton::Get_Down));
    EXPECT_FALSE(Flag(control.get(), &IBdsToolBarControl::Get_Enabled));

    EXPECT_EQ(control->Set_Name(Bstr(u"RunButton").get()), S_OK);
    EXPECT_EQ(other->Set_Name(Bstr(u"runbutton").get()), E_INVALIDARG);
    EXPECT_EQ(other->Set_Name(Bstr(u"2fast").get()), E_INVALIDARG);
    EXPECT_EQ(Text(other.get(), &IBdsToolBarControl::Get_Name), u"");
    EXPECT_EQ(Text(control.get(), &IBdsToolBarControl::Get_Name), u"RunButton");
}

// Catches clicks, picks and typing that do not reach the sink, in the
// VCL's order, and a sink that keeps hearing after RegisterEvents(null).
TEST_F(ControlsTest, UserActionsReachTheSinkUntilItIsUnregistered)
{
    IdeBars().Load();
    auto button = AddControl(toolBar.get(), kButton);
    auto combo = AddControl(toolBar.get(), kComboBox);
    button->Set_Name(Bstr(u"PackageButton").get());
    combo->Set_Name(Bstr(u"PackageCombo").get());
    LONG index = 0;
    combo.as<IBdsToolBarComboBox>()->AddItem(Bstr(u"one").get(), &index);
    button->RegisterEvents(Sink("button").get());
    combo->RegisterEvents(Sink("combo").get());

    IdeBars().ClickButton(u"PackageToolBar", u"PackageButton");
    IdeBars().Pick(u"PackageToolBar", u"PackageCombo", 0);
    IdeBars().Type(u"PackageToolBar", u"PackageCombo", u"typed");
    EXPECT_EQ(log, (std::vector<std::string>{"button OnClick", "combo OnClick", "combo OnChange", "combo OnChange"}));

    // Changes the package makes itself raise nothing.
    log.clear();
    combo.as<IBdsToolBarComboBox>()->Set_Text(Bstr(u"code").get());
    combo.as<IBdsToolBarComboBox>()->Set_SelectedItem(0);
    EXPECT_TRUE(log.empty());

    EXPECT_EQ(button->RegisterEvents(nullptr), S_OK);
    EXPECT_EQ(combo->RegisterEvents(nullptr), S_OK);
    IdeBars().ClickButton(u"PackageToolBar", u"PackageButton");
    IdeBars().Pick(u"PackageToolBar", u"PackageCombo", 0);
    IdeBars().Type(u"PackageToolBar", u"PackageCombo", u"again");
    Ide().App().Idle();
    EXPECT_TRUE(log.empty());
}

// Catches a sink that lets go of its own control (or removes it) during a
// click, and the VCL button or the wrapper being used after that.
TEST_F(ControlsTest, SinkMayEndItsControlWhileItIsClicked)
{
    IdeBars().Load();
    for (bool remove : {false, true}) {
        SCOPED_TRACE(remove ? "RemoveControl" : "release");
        auto button = AddControl(toolBar.get(), kButton);
        button->Set_Name(Bstr(u"PackageButton").get());
        auto sink = Sink("button");
        sink->Does = [&](const std::string&) {
            if (remove)
                toolBar->RemoveControl(button.get());
            button = nullptr;
        };
        button->RegisterEvents(sink.get());
        IdeBars().ClickButton(u"PackageToolBar", u"PackageButton");
        EXPECT_EQ(native->ButtonCount(), 0);
    }
    EXPECT_EQ(log.size(), 2u);
}

// Catches an image added without its magenta made transparent, a handle
// deleted twice or never, and a failure without its message.
TEST_F(ControlsTest, SetImageAddsAMaskedImageAndConsumesTheHandle)
{
    auto control = AddControl(toolBar.get(), kButton);
    auto button = control.as<IBdsToolBarButton>();
    TCustomImageList* images = native->Images();
    ASSERT_NE(images, nullptr);
    const int before = images->Count();
    const std::size_t bitmaps = tvx::win32::LiveBitmapCount();

    HBITMAP bitmap = MagentaBitmap();
    EXPECT_EQ(button->SetImage(bitmap), S_OK);
    EXPECT_EQ(Button(control.get())->ImageIndex(), before);
    EXPECT_EQ(images->Count(), before + 1);
    EXPECT_TRUE(images->IsTransparent(before, 0, 0));
    EXPECT_FALSE(images->IsTransparent(before, 8, 8));
    EXPECT_EQ(tvx::win32::DeleteCount(bitmap), 1);
    EXPECT_EQ(tvx::win32::LiveBitmapCount(), bitmaps);

    EXPECT_EQ(button->SetImage(nullptr), E_FAIL);
    auto boxes = tvx::win32::TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text.rfind(u"TBdsToolBarButton.SetImage 0 ", 0), 0u) << tvx::Utf16ToUtf8(boxes[0].text);
    EXPECT_EQ(Button(control.get())->ImageIndex(), before);
    EXPECT_EQ(tvx::win32::DoubleDeleteCount(), 0u);
}

} // namespace
