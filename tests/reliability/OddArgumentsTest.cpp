// Arguments a careless package passes: values out of every range, and
// objects of its own (answering QueryInterface oddly)
// where the library expects its own toolbars and controls.
#include "tests/reliability/ReliabilityFixture.h"

#include "host/vcl/ComCtrls.h"

#include <climits>
#include <functional>

namespace {

using namespace tvx::test;
using tvx::Bstr;
using tvx::IntfPtr;

using OddArgumentsTest = BadPackageTest;

// Catches values out of range that reach the VCL unchecked, change some
// other state, or are reported as success.
TEST_F(OddArgumentsTest, OutOfRangeValuesAreRefusedAndChangeNothing)
{
    IBdsServices* s = bad->Services.get();
    IntfPtr<IBdsMenuItem> item = bad->HeldAs<IBdsMenuItem>("item");
    IntfPtr<IBdsToolBar> bar = bad->HeldAs<IBdsToolBar>("toolbar");
    IntfPtr<IBdsToolBarComboBox> combo = bad->HeldAs<IBdsToolBarComboBox>("combo");
    LONG index = -1;
    ASSERT_EQ(combo->AddItem(Bstr(u"only").get(), &index), S_OK);

    for (LONG key : {LONG(-1), LONG(INT_MAX), LONG(INT_MIN), LONG(0x20000 + 0x153), LONG(0x7FFF0000)}) {
        SCOPED_TRACE(key);
        VARIANT_BOOL isShortcut = VARIANT_TRUE;
        EXPECT_EQ(s->IsShortcut(key, &isShortcut), S_OK);
        EXPECT_EQ(isShortcut, VARIANT_FALSE);
        EXPECT_EQ(item->Set_Shortcut(key), E_INVALIDARG);
        LONG shortCut = -1;
        EXPECT_EQ(item->Get_Shortcut(&shortCut), S_OK);
        EXPECT_EQ(shortCut, 0);
    }
    for (LONG i : {LONG(-1), LONG(1), LONG(INT_MAX), LONG(INT_MIN)}) {
        SCOPED_TRACE(i);
        PackageInfo info{};
        EXPECT_EQ(s->GetPackageInfo(i == 1 ? 2 : i, &info), E_INVALIDARG);
        EXPECT_EQ(info.Instance, nullptr);
        IntfPtr<IBdsMenuItem> child;
        EXPECT_EQ(item->ChildMenuItem(i, child.put()), S_OK);
        EXPECT_EQ(child, nullptr);
        Bstr text;
        EXPECT_EQ(combo->GetItem(i, text.put()), E_INVALIDARG);
        EXPECT_EQ(combo->SetItem(i, Bstr(u"x").get()), E_INVALIDARG);
        EXPECT_EQ(combo->RemoveItem(i), E_INVALIDARG);
        IntfPtr<IBdsToolBarControl> control;
        EXPECT_EQ(bar->AddControl(i == 1 ? 5 : i, control.put()), E_FAIL);
        EXPECT_EQ(control, nullptr);
    }
    LONG count = -1;
    EXPECT_EQ(combo->Get_ItemCount(&count), S_OK);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(bar->Get_ControlCount(&count), S_OK);
    EXPECT_EQ(count, 2);
    // Any non-zero VARIANT_BOOL is true.
    EXPECT_EQ(item->Set_Checked(VARIANT_BOOL(0x1234)), S_OK);
    VARIANT_BOOL checked = VARIANT_FALSE;
    EXPECT_EQ(item->Get_Checked(&checked), S_OK);
    EXPECT_EQ(checked, VARIANT_TRUE);
    ExpectWitnessWorks();
}

// Catches the library trusting a package's object it never made: odd
// answers to its private identity query must be refused, not followed.
TEST_F(OddArgumentsTest, ObjectsTheLibraryDidNotMakeAreRefused)
{
    IntfPtr<IBdsToolBarService> toolBars = ToolBars(bad->Services.get());
    IntfPtr<IBdsToolBar> bar = bad->HeldAs<IBdsToolBar>("toolbar");
    for (QueryOddity oddity : {QueryOddity::Normal, QueryOddity::SFalseWithPointer, QueryOddity::SFalseWithoutPointer,
                               QueryOddity::OkWithoutPointer, QueryOddity::FailWithGarbage, QueryOddity::Refuses}) {
        SCOPED_TRACE(OddityName(oddity));
        IntfPtr<IBdsToolBar> foreignBar(new OddToolBar(oddity));
        EXPECT_EQ(toolBars->RemoveToolBar(foreignBar.get()), E_INVALIDARG);
        IntfPtr<IBdsToolBarControl> foreignControl(new OddControl(oddity));
        EXPECT_EQ(bar->RemoveControl(foreignControl.get()), E_INVALIDARG);
        EXPECT_EQ(tvx::test::RefCount(foreignBar.get()), 1u) << "no reference kept or dropped";
        EXPECT_EQ(tvx::test::RefCount(foreignControl.get()), 1u);
    }
    LONG count = -1;
    EXPECT_EQ(bar->Get_ControlCount(&count), S_OK);
    EXPECT_EQ(count, 2);
    EXPECT_NE(Ide().Toolbars().FindToolBar(u"BadToolBar"), nullptr);
    ExpectWitnessWorks();
}

} // namespace
