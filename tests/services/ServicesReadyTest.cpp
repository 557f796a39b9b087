// OnServicesReady after both the first toolbar load and the packages' .NET
// services, and the IDE shortcuts that IsShortcut answers from then on.
#include "host/ide/NTAServices.h"
#include "host/vcl/ActnList.h"
#include "tests/services/ServicesFixture.h"

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace tvx::test;
using Names = std::vector<std::string>;

constexpr LONG kShift = 0x10000, kCtrl = 0x20000, kAlt = 0x40000;

class ServicesReadyTest : public ServicesTest {
protected:
    void SetUp() override
    {
        ServicesTest::SetUp();
        actions = std::make_unique<TActionList>(nullptr);
        native = new FakeNativeServices();
        native->ActionList = actions.get();
        Ide().Services().AddService<INTAServices40>(native);
    }
    void TearDown() override
    {
        Ide().Services().RemoveService(tvx::IidOf<INTAServices40>);
        ServicesTest::TearDown();
    }

    TAction* AddAction(const char16_t* name, const char16_t* shortCut, bool enabled = true)
    {
        auto* action = new TAction(actions.get());
        action->SetName(name);
        action->SetShortCut(TextToShortCut(shortCut));
        action->SetEnabled(enabled);
        action->SetActionList(actions.get());
        return action;
    }

    // Both events, in the usual order.
    void MakeReady(talvix::TBdsServices& root)
    {
        ASSERT_EQ(root.Interface()->OnDotNetServicesInitialized(), S_OK);
        root.OnToolBarServiceInitialized();
    }

    bool IsShortcut(talvix::TBdsServices& root, LONG keyData)
    {
        VARIANT_BOOL answer = 7;
        EXPECT_EQ(root.Interface()->IsShortcut(keyData, &answer), S_OK);
        return answer != 0;
    }

    std::unique_ptr<TActionList> actions;
    FakeNativeServices* native = nullptr;
};

// Catches OnServicesReady sent after one event, sent twice, or out of load
// order, whichever event comes last.
TEST_F(ServicesReadyTest, PackagesHearOnceInLoadOrderAfterBothEvents)
{
    for (bool toolbarFirst : {false, true}) {
        SCOPED_TRACE(toolbarFirst ? "toolbar load first" : ".NET services first");
        TestPackageSet set;
        set.Add("P2", TestClsid(2), 20);
        set.Add("P1", TestClsid(1), 10);
        ASSERT_TRUE(Enter());
        talvix::TBdsServices& root = LoaderRoot();
        auto first = [&] {
            if (toolbarFirst)
                root.OnToolBarServiceInitialized();
            else
                root.Interface()->OnDotNetServicesInitialized();
        };
        auto second = [&] {
            if (toolbarFirst)
                root.Interface()->OnDotNetServicesInitialized();
            else
                root.OnToolBarServiceInitialized();
        };
        first();
        first();
        EXPECT_TRUE(set.Log().Of("OnServicesReady").empty());
        second();
        EXPECT_EQ(set.Log().Of("OnServicesReady"), (Names{"OnServicesReady P1", "OnServicesReady P2"}));
        first();
        second();
        EXPECT_EQ(set.Log().Of("OnServicesReady").size(), 2u);
        talvix::TerminateWizard();
    }
}

// Catches one package's failure stopping the others or the shortcut
// collection that follows.
TEST_F(ServicesReadyTest, FailingPackagesDoNotStopTheOthersOrTheShortcuts)
{
    AddAction(u"FileSaveCommand", u"Ctrl+S");
    packages.Add("P1", TestClsid(1), 1)->On(PackageMethod::OnServicesReady, MethodOutcome::Throws());
    packages.Add("P2", TestClsid(2), 2)->On(PackageMethod::OnServicesReady, MethodOutcome::ThrowsForeign());
    packages.Add("P3", TestClsid(3), 3)->On(PackageMethod::OnServicesReady, MethodOutcome::Fails());
    packages.Add("P4", TestClsid(4), 4);
    ASSERT_TRUE(Enter());
    MakeReady(LoaderRoot());
    EXPECT_EQ(packages.Log().Of("OnServicesReady"),
              (Names{"OnServicesReady P1", "OnServicesReady P2", "OnServicesReady P3", "OnServicesReady P4"}));
    EXPECT_TRUE(IsShortcut(LoaderRoot(), kCtrl | 'S'));
}

// Catches shortcuts answered before the root is ready.
TEST_F(ServicesReadyTest, NoShortcutsBeforeBothEvents)
{
    AddAction(u"FileSaveCommand", u"Ctrl+S");
    talvix::TBdsServices& root = NewRoot();
    root.OnToolBarServiceInitialized();
    EXPECT_FALSE(IsShortcut(root, kCtrl | 'S'));
    root.Interface()->OnDotNetServicesInitialized();
    EXPECT_TRUE(IsShortcut(root, kCtrl | 'S'));
}

// Catches the collection or the encoding wrong for any of the IDE's kinds
// of action: modifier bits, disabled actions, names with Edit or Search,
// actions without a printable shortcut, other action classes, key codes
// above one byte.
TEST_F(ServicesReadyTest, IsShortcutAnswersFromTheCollectedActions)
{
    AddAction(u"FileSaveCommand", u"Ctrl+S");
    AddAction(u"RunRunCommand", u"F9");
    AddAction(u"RunRunNoDebugCommand", u"Shift+Ctrl+F9");
    AddAction(u"GoToLineCommand", u"Alt+G");
    AddAction(u"RunProgramResetCommand", u"Ctrl+F2", false);
    AddAction(u"EditCopyCommand", u"Ctrl+C");
    AddAction(u"SearchFindCommand", u"Ctrl+F");
    AddAction(u"ViewEditorCommand", u"Ctrl+E");
    AddAction(u"ProjectCommand", u"")->SetShortCut(scCtrl); // Ctrl with no key: prints as nothing
    auto* basic = new TContainedAction(actions.get());
    basic->SetActionList(actions.get());
    talvix::TBdsServices& root = NewRoot();
    MakeReady(root);

    struct Case {
        const char* what;
        LONG keyData;
        bool expected;
    };
    for (Case c :
         {Case{"Ctrl+S", kCtrl | 'S', true}, Case{"plain S", 'S', false}, Case{"Shift+S", kShift | 'S', false},
          Case{"F9", 0x78, true}, Case{"Shift+Ctrl+F9", kShift | kCtrl | 0x78, true}, Case{"Alt+G", kAlt | 'G', true},
          Case{"disabled Ctrl+F2", kCtrl | 0x71, false}, Case{"EditCopy", kCtrl | 'C', false},
          Case{"SearchFind", kCtrl | 'F', false}, Case{"Edit inside the name", kCtrl | 'E', false},
          Case{"Ctrl without a key", kCtrl, false}, Case{"key code above 255", kCtrl | 0x153, false},
          Case{"key code above 255, Ctrl+S in the low byte", kCtrl | 0x4053, false}}) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(IsShortcut(root, c.keyData), c.expected);
    }
}

// Catches Enabled read at collection time, and a search that stops at the
// first action with the key even when it is disabled.
TEST_F(ServicesReadyTest, EnabledIsReadWhenAskedAndLaterActionsCount)
{
    TAction* save = AddAction(u"FileSaveCommand", u"Ctrl+S");
    TAction* first = AddAction(u"RunFirstCommand", u"F9", false);
    AddAction(u"RunSecondCommand", u"F9");
    talvix::TBdsServices& root = NewRoot();
    MakeReady(root);
    EXPECT_TRUE(IsShortcut(root, 0x78));
    save->SetEnabled(false);
    EXPECT_FALSE(IsShortcut(root, kCtrl | 'S'));
    first->SetEnabled(true);
    EXPECT_TRUE(IsShortcut(root, 0x78));
}

// Catches a root that fails, or answers true, when the IDE has no native
// services or no action list.
TEST_F(ServicesReadyTest, NoActionListMeansNoShortcuts)
{
    AddAction(u"FileSaveCommand", u"Ctrl+S");
    native->ActionList = nullptr;
    talvix::TBdsServices& listless = NewRoot();
    MakeReady(listless);
    EXPECT_FALSE(IsShortcut(listless, kCtrl | 'S'));

    native->ActionList = actions.get();
    Ide().Services().RemoveService(tvx::IidOf<INTAServices40>);
    talvix::TBdsServices& serviceless = NewRoot();
    MakeReady(serviceless);
    EXPECT_FALSE(IsShortcut(serviceless, kCtrl | 'S'));
}

} // namespace
