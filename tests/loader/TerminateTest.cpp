// The terminate routine: shutdown order, an empty table while packages
// finalize, failures swallowed, everything released, the hooks taken off.
#include "tests/support/WizardFixture.h"

#include <string>
#include <vector>

namespace {

using namespace tvx::test;
using Names = std::vector<std::string>;

// Stands for the IDE's own application handlers, or another add-in's
// that chains to whatever was installed before it.
struct AppHandler {
    TMessageEvent Before;
    int Messages = 0;
    void OnMessage(MSG& Msg, bool& Handled)
    {
        ++Messages;
        Before(Msg, Handled);
    }
    void OnIdle(TObject*, bool&) {}
};

// Catches finalizing in load order, a table still filled during Finalize,
// and a package released late (or kept alive by the listener reference).
TEST_F(WizardTest, FinalizesInReverseLoadOrderWithAnEmptyTable)
{
    auto p1 = packages.Add("P1", TestClsid(1), 1);
    p1->AnswersTabListener = true;
    auto p2 = packages.Add("P2", TestClsid(2), 2);
    auto p3 = packages.Add("P3", TestClsid(3), 3);
    ASSERT_TRUE(Enter());
    packages.Log().Clear();

    Terminate();

    EXPECT_EQ(packages.Log().Entries(),
              (Names{"Finalize P3", "Destroy P3", "Finalize P2", "Destroy P2", "Finalize P1", "Destroy P1"}));
    for (const auto& probe : {p1, p2, p3}) {
        SCOPED_TRACE(probe->Name);
        EXPECT_EQ(probe->CountAtFinalize, 0);
        EXPECT_EQ(probe->Alive, 0);
    }
}

// Catches a loader that is not back to its empty state after terminating.
TEST_F(WizardTest, TerminateEmptiesEveryTable)
{
    packages.Add("P1", TestClsid(1), 1)->AnswersTabListener = true;
    packages.AddUnregistered("Missing", TestClsid(2), 2);
    ASSERT_TRUE(Enter());
    ASSERT_NE(talvix::ServicesRoot(), nullptr);

    Terminate();

    EXPECT_EQ(talvix::PackageInfoCount(), 0);
    EXPECT_EQ(talvix::LoadedPackageCount(), 0u);
    EXPECT_EQ(talvix::EditorTabListener(), nullptr);
    EXPECT_EQ(talvix::ServicesRoot(), nullptr);
}

// Catches a Finalize failure that escapes the routine or stops the packages
// before it from being finalized and released.
TEST_F(WizardTest, FinalizeFailuresAreSwallowed)
{
    auto p1 = packages.Add("P1", TestClsid(1), 1);
    p1->On(PackageMethod::Finalize, MethodOutcome::Throws());
    auto p2 = packages.Add("P2", TestClsid(2), 2);
    p2->On(PackageMethod::Finalize, MethodOutcome::ThrowsForeign());
    auto p3 = packages.Add("P3", TestClsid(3), 3);
    p3->On(PackageMethod::Finalize, MethodOutcome::Fails());
    ASSERT_TRUE(Enter());

    Terminate();

    EXPECT_EQ(packages.Log().Of("Finalize"), (Names{"Finalize P3", "Finalize P2", "Finalize P1"}));
    EXPECT_EQ(packages.Log().Of("Destroy"), (Names{"Destroy P3", "Destroy P2", "Destroy P1"}));
    EXPECT_TRUE(tvx::win32::MessageBoxes().empty());
}

// Catches the IDE's handlers lost at terminate (the message loop then ran
// without the IDE's own handler), or cleared when no package was loaded.
TEST_F(WizardTest, TerminatePutsBackTheHandlersItReplaced)
{
    AppHandler ide;
    const TMessageEvent ideMessage = MakeEvent<&AppHandler::OnMessage>(&ide);
    const TIdleEvent ideIdle = MakeEvent<&AppHandler::OnIdle>(&ide);
    Ide().App().SetOnMessage(ideMessage);
    Ide().App().SetOnIdle(ideIdle);
    ASSERT_TRUE(Enter());
    Terminate();
    EXPECT_EQ(Ide().App().OnMessage(), ideMessage) << "without packages";

    packages.Add("P1", TestClsid(1), 1);
    ASSERT_TRUE(Enter());
    EXPECT_NE(Ide().App().OnMessage(), ideMessage) << "the services root hooks the message loop";
    EXPECT_NE(Ide().App().OnIdle(), ideIdle) << "the toolbar service hooks the idle step";
    Terminate();
    EXPECT_EQ(Ide().App().OnMessage(), ideMessage);
    EXPECT_EQ(Ide().App().OnIdle(), ideIdle);
}

// Catches a newer add-in's handler, installed over the root's, taken away
// at terminate, or cut off from the IDE's handler behind the root's.
TEST_F(WizardTest, TerminateLeavesANewerHandlerAlone)
{
    AppHandler ide, addIn;
    Ide().App().SetOnMessage(MakeEvent<&AppHandler::OnMessage>(&ide));
    packages.Add("P1", TestClsid(1), 1);
    ASSERT_TRUE(Enter());
    addIn.Before = Ide().App().OnMessage();
    const TMessageEvent addInMessage = MakeEvent<&AppHandler::OnMessage>(&addIn);
    Ide().App().SetOnMessage(addInMessage);

    Terminate();

    EXPECT_EQ(Ide().App().OnMessage(), addInMessage);
    Ide().App().QueueMessage(nullptr, 0x0400);
    Ide().App().ProcessMessages();
    EXPECT_EQ(addIn.Messages, 1);
    EXPECT_EQ(ide.Messages, 1) << "the root's handler passes messages on";
}

// Catches a second entry call that creates and initializes the packages
// again, or loses the first call's packages.
TEST_F(WizardTest, ASecondEntryBeforeTerminateLoadsNothing)
{
    packages.Add("P1", TestClsid(1), 1);
    ASSERT_TRUE(Enter());
    IBdsServices* root = Root();
    terminate = nullptr;
    ASSERT_TRUE(Enter());
    EXPECT_EQ(Root(), root);
    Terminate();
    EXPECT_EQ(packages.Log().Entries(), (Names{"Create P1", "Initialize P1", "Finalize P1", "Destroy P1"}));
}

// Catches the services root freed at shutdown: a package may still hold it.
TEST_F(WizardTest, ServicesRootOutlivesTerminate)
{
    auto p1 = packages.Add("P1", TestClsid(1), 1);
    ASSERT_TRUE(Enter());
    ASSERT_EQ(p1->InitializeServices.size(), 1u);
    IBdsServices* root = p1->InitializeServices[0];

    Terminate();

    LONG count = -1;
    EXPECT_EQ(root->get_PackagesCount(&count), S_OK);
    EXPECT_EQ(count, 0);
}

} // namespace
