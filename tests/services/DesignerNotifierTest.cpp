// The designer notifier: the providers asked for each component put on a
// form designer, in order, the first helper's position, and its failures.
#include "host/ide/ToolsAPIServices.h"
#include "host/vcl/ActnList.h"
#include "services/BdsDesignerNotifier.h"
#include "sim/designers/FormDesigner.h"
#include "tests/services/ServicesFixture.h"
#include "tests/support/HostServiceStubs.h"

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace tvx::test;
using Names = std::vector<std::string>;

class ModuleServices final : public EmptyModuleServices {
public:
    int GetModuleCount() override { return 1; }
};

// The IDE's drop point for every insertion: left 8, top 16.
constexpr int kDropped = (16 << 16) | 8;

class DesignerNotifierTest : public ServicesTest {
protected:
    void SetUp() override
    {
        ServicesTest::SetUp();
        form = std::make_unique<TComponent>(nullptr);
        designer = tvx::IntfPtr<TFormDesigner>(new TFormDesigner(form.get()));
        root = &NewRoot();
    }

    RecordingProvider& AddProvider(const std::string& name)
    {
        auto* provider = new RecordingProvider(name, log);
        providers.emplace_back(static_cast<IDragDropHelperProvider*>(provider));
        EXPECT_EQ(root->Interface()->AddDragDropHelper(provider), S_OK);
        return *provider;
    }
    tvx::IntfPtr<IUnknown> Helper(LONG left, LONG top, FixedHelper** out = nullptr)
    {
        auto* helper = new FixedHelper(left, top, log);
        if (out)
            *out = helper;
        return tvx::IntfPtr<IUnknown>(static_cast<IDragDropHelper*>(helper));
    }
    // An action dropped on the form; its class name is what providers see.
    TAction* Drop()
    {
        auto* item = new TAction(form.get());
        designer->InsertComponent(item, 8, 16);
        return item;
    }

    std::unique_ptr<TComponent> form;
    tvx::IntfPtr<TFormDesigner> designer;
    talvix::TBdsServices* root = nullptr;
    std::vector<std::string> log;
    std::vector<tvx::IntfPtr<IDragDropHelperProvider>> providers;
};

// Catches a notifier that moves components nobody asked to move.
TEST_F(DesignerNotifierTest, WithoutProvidersTheIdePositionStays) { EXPECT_EQ(Drop()->DesignInfo(), kDropped); }

// Catches providers asked out of order, the wrong class name, or the
// position words swapped: A has nothing, B's helper gives left 24, top 40.
TEST_F(DesignerNotifierTest, FirstHelperFoundSetsTheDesignPosition)
{
    AddProvider("A");
    AddProvider("B").Answer = Helper(24, 40);
    TAction* item = Drop();
    EXPECT_EQ(item->DesignInfo(), 40 * 65536 + 24);
    EXPECT_EQ(log, (Names{"A TAction", "B TAction", "Execute", "get_Left", "get_Top"}));
}

// Catches later providers asked once a helper was found.
TEST_F(DesignerNotifierTest, OnlyTheFirstHelperIsUsed)
{
    AddProvider("A").Answer = Helper(1, 2);
    AddProvider("B").Answer = Helper(3, 4);
    EXPECT_EQ(Drop()->DesignInfo(), (2 << 16) | 1);
    EXPECT_EQ(log, (Names{"A TAction", "Execute", "get_Left", "get_Top"}));
}

// Catches an item that is not a component reaching the providers.
TEST_F(DesignerNotifierTest, NonComponentItemsAreIgnored)
{
    AddProvider("A").Answer = Helper(1, 2);
    TPersistent item;
    designer->InsertItem(&item);
    EXPECT_TRUE(log.empty());
}

// Catches a failing provider result taken as "nothing", an answer that is
// no helper taken as one, or an error swallowed: the query's failure
// leaves the notification with the system's code, and B is not asked.
TEST_F(DesignerNotifierTest, AnswerWithoutTheHelperInterfaceRaises)
{
    RecordingProvider& a = AddProvider("A");
    a.Answer = tvx::IntfPtr<IUnknown>(static_cast<IDragDropHelperProvider*>(new RecordingProvider("X", log)));
    a.Result = E_FAIL;
    AddProvider("B").Answer = Helper(3, 4);
    auto* item = new TAction(form.get());
    try {
        designer->InsertComponent(item, 8, 16);
        ADD_FAILURE() << "no error";
    } catch (const EOleSysError& e) {
        EXPECT_EQ(e.ErrorCode(), E_NOINTERFACE);
    }
    EXPECT_EQ(item->DesignInfo(), kDropped);
    EXPECT_EQ(log, (Names{"A TAction"}));
}

// Catches a helper step's failure ignored, or later steps still called.
TEST_F(DesignerNotifierTest, FailingHelperStepRaisesAndLeavesThePosition)
{
    RecordingProvider& a = AddProvider("A");
    for (const char* step : {"Execute", "get_Left", "get_Top"}) {
        SCOPED_TRACE(step);
        log.clear();
        FixedHelper* helper = nullptr;
        a.Answer = Helper(5, 6, &helper);
        helper->FailAt = step;
        helper->Failure = E_ACCESSDENIED;
        auto* item = new TAction(form.get());
        try {
            designer->InsertComponent(item, 8, 16);
            ADD_FAILURE() << "no error";
        } catch (const EOleSysError& e) {
            EXPECT_EQ(e.ErrorCode(), E_ACCESSDENIED);
        }
        EXPECT_EQ(item->DesignInfo(), kDropped);
        EXPECT_EQ(log.back(), step);
    }
}

// Catches a negative left spilling into Top (it is cut to its word), and
// large tops wrapping differently from the IDE's 16-bit word.
TEST(DesignInfoOf, LeftStaysInItsWord)
{
    EXPECT_EQ(talvix::DesignInfoOf(24, 40), 40 * 65536 + 24);
    EXPECT_EQ(talvix::DesignInfoOf(-8, 40), int((40u << 16) | 0xFFF8u));
    EXPECT_EQ(talvix::DesignInfoOf(0x12345, 1), int((1u << 16) | 0x2345u));
    EXPECT_EQ(talvix::DesignInfoOf(0, -1), int(0xFFFF0000u));
}

// Catches a notifier registered twice, not at all, or one that reacts to
// the IDE's other design events; it keeps the host's module services.
TEST_F(DesignerNotifierTest, RegisteredOnceAndDeafToOtherEvents)
{
    ASSERT_EQ(DesignNotifications().size(), 1u);
    EXPECT_EQ(static_cast<talvix::TDragDropDesignerNotifier*>(DesignNotifications()[0].get())->ModuleServices(),
              nullptr);
    AddProvider("A").Answer = Helper(1, 2);
    auto* item = new TAction(form.get());
    designer->Open();
    designer->Modified();
    designer->DeleteComponent(item);
    designer->Close();
    EXPECT_TRUE(log.empty());

    Ide().Services().AddService<IOTAModuleServices>(new ModuleServices());
    talvix::TBdsServices& withModules = NewRoot();
    (void)withModules;
    auto listeners = DesignNotifications();
    ASSERT_EQ(listeners.size(), 2u);
    EXPECT_NE(static_cast<talvix::TDragDropDesignerNotifier*>(listeners[1].get())->ModuleServices(), nullptr);
}

} // namespace
