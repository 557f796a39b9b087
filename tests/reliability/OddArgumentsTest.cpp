// Arguments a careless package passes: null out pointers, values out of
// every range, and objects of its own (answering QueryInterface oddly)
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

// Catches a getter that writes through a null out pointer, or reports
// success without writing anything.
TEST_F(OddArgumentsTest, NullOutPointersAnswerEPointer)
{
    IBdsServices* s = bad->Services.get();
    IntfPtr<IBdsMenuBarService> menuBar = MenuBar(s);
    IntfPtr<IBdsToolBarService> toolBars = ToolBars(s);
    IntfPtr<IBdsMenuItem> item = bad->HeldAs<IBdsMenuItem>("item");
    IntfPtr<IBdsToolBar> bar = bad->HeldAs<IBdsToolBar>("toolbar");
    IntfPtr<IBdsToolBarControl> button = bad->HeldAs<IBdsToolBarControl>("button");
    IntfPtr<IBdsToolBarComboBox> combo = bad->HeldAs<IBdsToolBarComboBox>("combo");
    const Bstr tools(u"ToolsMenu");
    const std::vector<std::pair<const char*, std::function<HRESULT()>>> calls{
        {"get_BdsVersionMajor", [&] { return s->get_BdsVersionMajor(nullptr); }},
        {"get_BdsEdition", [&] { return s->get_BdsEdition(nullptr); }},
        {"get_IsPersonalityEdition", [&] { return s->get_IsPersonalityEdition(nullptr); }},
        {"Get_BdsWindowsService", [&] { return s->Get_BdsWindowsService(nullptr); }},
        {"Get_BdsToolBarService", [&] { return s->Get_BdsToolBarService(nullptr); }},
        {"Get_BdsHelpService", [&] { return s->Get_BdsHelpService(nullptr); }},
        {"Get_BdsMenuBarService", [&] { return s->Get_BdsMenuBarService(nullptr); }},
        {"Get_IsComponentRegistered", [&] { return s->Get_IsComponentRegistered(tools.get(), nullptr); }},
        {"GetService", [&] { return s->GetService(tvx::IidOf<IUnknown>, nullptr); }},
        {"IsShortcut", [&] { return s->IsShortcut(0x20000 + 'S', nullptr); }},
        {"get_PackagesCount", [&] { return s->get_PackagesCount(nullptr); }},
        {"GetPackageInfo", [&] { return s->GetPackageInfo(0, nullptr); }},
        {"GetMenuItem", [&] { return menuBar->GetMenuItem(tools.get(), nullptr); }},
        {"AddMenuItem", [&] {
             return menuBar->AddMenuItem(tools.get(), kChildItem, Bstr(u"N1x").get(), nullptr, nullptr, nullptr);
         }},
        {"InsertMenuItem", [&] {
             return menuBar->InsertMenuItem(tools.get(), 0, Bstr(u"N2x").get(), nullptr, nullptr, nullptr);
         }},
        {"GetFirstMenuItem", [&] { return menuBar->GetFirstMenuItem(nullptr); }},
        {"Get_Caption (menu)", [&] { return item->Get_Caption(nullptr); }},
        {"Get_BeginGroup", [&] { return item->Get_BeginGroup(nullptr); }},
        {"Get_NextMenuItem", [&] { return item->Get_NextMenuItem(nullptr); }},
        {"Get_ParentMenuItem", [&] { return item->Get_ParentMenuItem(nullptr); }},
        {"Get_PrevMenuItem", [&] { return item->Get_PrevMenuItem(nullptr); }},
        {"ChildMenuItem", [&] { return item->ChildMenuItem(0, nullptr); }},
        {"FindToolBar", [&] { return toolBars->FindToolBar(Bstr(u"BadToolBar").get(), nullptr); }},
        {"AddToolBar", [&] { return toolBars->AddToolBar(Bstr(u"NullBar").get(), nullptr, nullptr); }},
        {"Get_Left", [&] { return bar->Get_Left(nullptr); }},
        {"Get_ControlCount", [&] { return bar->Get_ControlCount(nullptr); }},
        {"AddControl", [&] { return bar->AddControl(kButton, nullptr); }},
        {"Get_Caption (button)", [&] { return button->Get_Caption(nullptr); }},
        {"Get_ShortCut", [&] { return button->Get_ShortCut(nullptr); }},
        {"Get_Text", [&] { return combo->Get_Text(nullptr); }},
        {"GetItem", [&] { return combo->GetItem(0, nullptr); }},
        {"AddItem", [&] { return combo->AddItem(Bstr(u"x").get(), nullptr); }},
        {"Get_ItemCount", [&] { return combo->Get_ItemCount(nullptr); }},
    };
    const std::size_t toolbars = Ide().Toolbars().ToolBars().size();
    for (const auto& [name, call] : calls) {
        SCOPED_TRACE(name);
        EXPECT_EQ(call(), E_POINTER);
    }
    EXPECT_EQ(Ide().MainMenu().Find(u"ToolsMenu\\N1x"), nullptr) << "nothing made for a caller who cannot hold it";
    EXPECT_EQ(Ide().MainMenu().Find(u"ToolsMenu\\N2x"), nullptr);
    EXPECT_EQ(Ide().Toolbars().ToolBars().size(), toolbars);
    LONG controls = -1;
    bar->Get_ControlCount(&controls);
    EXPECT_EQ(controls, 2);
    ExpectWitnessWorks();
}

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
