// The root's message hook between the application loop, the packages'
// handlers and the IDE's previous OnMessage handler.
#include "tests/services/ServicesFixture.h"

#include <string>
#include <vector>

namespace {

using namespace tvx::test;

// Stands for the IDE's own OnMessage handler, in place before the root.
struct PreviousHandler {
    void OnMessage(MSG& msg, bool& handled)
    {
        seen.push_back(msg.wParam);
        sawHandled.push_back(handled);
    }
    std::vector<WPARAM> seen;
    std::vector<bool> sawHandled;
};

class MessageHookTest : public ServicesTest {
protected:
    void SetUp() override
    {
        ServicesTest::SetUp();
        Ide().App().SetOnMessage(MakeEvent<&PreviousHandler::OnMessage>(&previous));
        root = &NewRoot();
    }

    RecordingHandler& AddHandler(const std::string& name)
    {
        auto* handler = new RecordingHandler(name, log);
        handlers.emplace_back(static_cast<IMessageHandler*>(handler));
        EXPECT_EQ(root->Interface()->AddMessageHandler(handler), S_OK);
        return *handler;
    }

    // Posts one message; true when the application dispatched it.
    bool Post(WPARAM wParam = 1)
    {
        std::size_t before = Ide().App().DispatchedMessages().size();
        Ide().App().QueueMessage(nullptr, 0x0100, wParam, 0);
        Ide().App().ProcessMessages();
        return Ide().App().DispatchedMessages().size() > before;
    }

    PreviousHandler previous;
    talvix::TBdsServices* root = nullptr;
    std::vector<std::string> log;
    std::vector<tvx::IntfPtr<IMessageHandler>> handlers;
};

// Catches a root that drops the IDE's handler, or blocks messages, when no
// package has registered a handler.
TEST_F(MessageHookTest, WithoutHandlersMessagesReachThePreviousHandler)
{
    EXPECT_TRUE(Post(7));
    EXPECT_EQ(previous.seen, (std::vector<WPARAM>{7}));
}

// Catches a later handler called after Handled, a handled message
// dispatched, or the previous handler skipped because of Handled alone.
TEST_F(MessageHookTest, HandledStopsLaterHandlersAndDispatchButNotThePreviousHandler)
{
    AddHandler("A").OnMessage = [](MSG&, VARIANT_BOOL&, VARIANT_BOOL& handled) { handled = VARIANT_TRUE; };
    AddHandler("B");
    EXPECT_FALSE(Post());
    EXPECT_EQ(log, (std::vector<std::string>{"A"}));
    EXPECT_EQ(previous.sawHandled, (std::vector<bool>{true}));
}

// Catches CallPrevious ignored, or taken as Handled: B still runs, the
// message is dispatched, the previous handler is skipped.
TEST_F(MessageHookTest, CallPreviousFalseSkipsOnlyThePreviousHandler)
{
    AddHandler("A").OnMessage = [](MSG&, VARIANT_BOOL& callPrevious, VARIANT_BOOL&) { callPrevious = VARIANT_FALSE; };
    AddHandler("B");
    EXPECT_TRUE(Post());
    EXPECT_EQ(log, (std::vector<std::string>{"A", "B"}));
    EXPECT_TRUE(previous.seen.empty());
}

// Catches the message copied for each handler: a handler's change reaches
// the next handler, the previous handler and the dispatch.
TEST_F(MessageHookTest, HandlersMayChangeTheMessage)
{
    AddHandler("A").OnMessage = [](MSG& msg, VARIANT_BOOL&, VARIANT_BOOL&) { msg.wParam = 42; };
    AddHandler("B").OnMessage = [](MSG& msg, VARIANT_BOOL&, VARIANT_BOOL&) { EXPECT_EQ(msg.wParam, 42u); };
    EXPECT_TRUE(Post(1));
    EXPECT_EQ(previous.seen, (std::vector<WPARAM>{42}));
    EXPECT_EQ(Ide().App().DispatchedMessages().back().wParam, 42u);
}

// Catches a handler registered during a message being called for it, and
// a registration that takes a reference or keeps a null handler.
TEST_F(MessageHookTest, HandlerAddedDuringAMessageSeesTheNextOne)
{
    RecordingHandler* late = nullptr;
    AddHandler("A").OnMessage = [&](MSG&, VARIANT_BOOL&, VARIANT_BOOL&) {
        if (!late) {
            late = &AddHandler("Late");
            EXPECT_REF(late, 1);
        }
    };
    EXPECT_EQ(root->Interface()->AddMessageHandler(nullptr), S_OK);
    Post();
    Post();
    EXPECT_EQ(log, (std::vector<std::string>{"A", "A", "Late"}));
}

// A handler another add-in installed over the root's, passing messages on
// to the one it found (the root's) when Chains.
struct IntruderHandler : PreviousHandler {
    TMessageEvent Before;
    bool Chains = true;
    void OnMessage(MSG& msg, bool& handled)
    {
        PreviousHandler::OnMessage(msg, handled);
        if (Chains)
            Before(msg, handled);
    }
};

// Catches UpdateMessageProcessing dropping a handler installed over the
// root's, looping when that handler passes the message back to the root,
// and RestoreMessageProcessing not putting the IDE's handler back.
TEST_F(MessageHookTest, ReinstallingKeepsTheHandlerFoundInPlace)
{
    IntruderHandler intruder;
    AddHandler("A");
    intruder.Before = Ide().App().OnMessage();
    Ide().App().SetOnMessage(MakeEvent<&IntruderHandler::OnMessage>(&intruder));
    root->UpdateMessageProcessing();
    root->UpdateMessageProcessing();
    Post(3);
    intruder.Chains = false;
    Post(4);
    EXPECT_EQ(log, (std::vector<std::string>{"A", "A"})) << "the packages see each message once";
    EXPECT_EQ(intruder.seen, (std::vector<WPARAM>{3, 4}));
    EXPECT_EQ(previous.seen, (std::vector<WPARAM>{3}));

    root->RestoreMessageProcessing();
    EXPECT_EQ(Ide().App().OnMessage(), MakeEvent<&PreviousHandler::OnMessage>(&previous));
}

} // namespace
