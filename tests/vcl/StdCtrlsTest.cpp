// TComboBox and TLabel: items with the VCL's index errors, selection and
// text kept in step, the user's picks and typing and their events.
#include "host/vcl/StdCtrls.h"
#include "tests/support/TestSupport.h"

#include <memory>
#include <string>
#include <vector>

namespace {

class ComboBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        combo = new TComboBox(nullptr);
        for (const char16_t* item : {u"Debug", u"Release", u"Profile"})
            combo->Items()->Add(item);
        combo->SetOnClick(MakeEvent<&ComboBoxTest::Clicked>(this));
        combo->SetOnChange(MakeEvent<&ComboBoxTest::Changed>(this));
    }
    void TearDown() override
    {
        if (combo)
            combo->Free();
    }

    void Clicked(TObject*)
    {
        events.push_back("click");
        if (freeOnClick)
            FreeAndNil(combo);
    }
    void Changed(TObject*) { events.push_back("change " + std::to_string(combo->ItemIndex())); }

    TComboBox* combo = nullptr;
    std::vector<std::string> events;
    bool freeOnClick = false;
};

// Catches indexes outside the items that change something or raise
// anything but the list error.
TEST_F(ComboBoxTest, BadIndexesRaiseTheListErrorAndChangeNothing)
{
    for (int bad : {-1, 3, 100}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(combo->Items()->Strings(bad), EStringListError);
        EXPECT_THROW(combo->Items()->SetStrings(bad, u"x"), EStringListError);
        EXPECT_THROW(combo->Items()->Delete(bad), EStringListError);
        EXPECT_THROW(combo->UserSelect(bad), EStringListError);
    }
    try {
        combo->Items()->Delete(7);
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message(), u"List index out of bounds (7)");
    }
    EXPECT_EQ(combo->Items()->Count(), 3);
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_TRUE(events.empty());
}

// Catches a selection and text that drift apart, as the system's combo
// box never lets them.
TEST_F(ComboBoxTest, SelectionAndTextStayInStep)
{
    combo->SetItemIndex(1);
    EXPECT_EQ(combo->Text(), u"Release");
    combo->SetItemIndex(7);
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->Text(), u"");

    combo->SetText(u"Profile");
    EXPECT_EQ(combo->ItemIndex(), 2);
    combo->SetText(u"Nightly");
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->Text(), u"Nightly");

    combo->SetStyle(csDropDownList);
    EXPECT_EQ(combo->Text(), u"");
    combo->SetText(u"release");
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(combo->Text(), u"Release");
    combo->SetText(u"Nightly");
    EXPECT_EQ(combo->Text(), u"Release");
    EXPECT_TRUE(events.empty());
}

// Catches a selection that points at the wrong item after items come and
// go, and a Clear that leaves text.
TEST_F(ComboBoxTest, SelectionFollowsItemChanges)
{
    combo->SetStyle(csDropDownList);
    combo->SetItemIndex(1);
    combo->Items()->Insert(0, u"First");
    EXPECT_EQ(combo->ItemIndex(), 2);
    combo->Items()->Delete(0);
    EXPECT_EQ(combo->ItemIndex(), 1);
    combo->Items()->SetStrings(1, u"Shipping");
    EXPECT_EQ(combo->Text(), u"Shipping");
    combo->Items()->Delete(1);
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->Text(), u"");

    combo->SetItemIndex(0);
    combo->Clear();
    EXPECT_EQ(combo->Items()->Count(), 0);
    EXPECT_EQ(combo->Text(), u"");
    EXPECT_EQ(combo->ItemIndex(), -1);
}

// Catches user actions without their events, in the wrong order, or fired
// before the selection changed; typing into a list-only box must pick.
TEST_F(ComboBoxTest, UserActionsFireClickAndChange)
{
    combo->UserSelect(2);
    combo->UserEdit(u"Profile");
    combo->UserEdit(u"free text");
    EXPECT_EQ(events, (std::vector<std::string>{"click", "change 2", "change 2", "change -1"}));

    events.clear();
    combo->SetStyle(csDropDownList);
    combo->UserEdit(u"debug");
    EXPECT_EQ(events, (std::vector<std::string>{"click", "change 0"}));
    EXPECT_THROW(combo->UserEdit(u"free text"), EInvalidOperation);
    EXPECT_EQ(combo->Text(), u"Debug");
}

// Catches a pick that reports its change on a box its click handler freed.
TEST_F(ComboBoxTest, ClickHandlerMayFreeTheBox)
{
    freeOnClick = true;
    combo->UserSelect(0);
    EXPECT_EQ(combo, nullptr);
    EXPECT_EQ(events, (std::vector<std::string>{"click"}));
}

// Catches a label whose automatic width ignores its caption.
TEST(LabelTest, AutoSizeFollowsTheCaption)
{
    TLabel label(nullptr);
    EXPECT_EQ(label.Layout(), tlTop);
    label.SetCaption(u"Config ");
    EXPECT_EQ(label.Width(), 7 * TLabel::CharWidth);
    label.SetAutoSize(false);
    label.SetCaption(u"A much longer caption");
    EXPECT_EQ(label.Width(), 7 * TLabel::CharWidth);
}

} // namespace
