#include "host/vcl/Forms.h"
#include "tests/support/TestSupport.h"

#include <vector>

namespace {

HWND Wnd(std::uintptr_t n) { return reinterpret_cast<HWND>(n); }

// A message hook that records what it sees and handles chosen messages.
struct Hook {
    void OnMessage(MSG& msg, bool& handled)
    {
        seen.push_back(msg.message);
        handled = msg.message == handle;
        if (msg.message == raiseOn)
            throw Exception(u"hook failed");
        if (msg.message == abortOn)
            Abort();
        if (app && msg.message == repostOn)
            app->QueueMessage(nullptr, repostOn + 1);
    }
    std::vector<UINT> seen;
    UINT handle = 0;
    UINT raiseOn = 0;
    UINT abortOn = 0;
    UINT repostOn = 0;
    TApplication* app = nullptr;
};

std::vector<UINT> Dispatched(const TApplication& app)
{
    std::vector<UINT> ids;
    for (const MSG& m : app.DispatchedMessages())
        ids.push_back(m.message);
    return ids;
}

} // namespace

// Catches messages dispatched before the hook sees them, handled messages
// dispatched anyway, or a message lost or reordered.
TEST(ApplicationLoop, HookSeesEveryMessageAndHandledOnesStop)
{
    TApplication app;
    Hook hook;
    hook.handle = 0x401;
    app.SetOnMessage(MakeEvent<&Hook::OnMessage>(&hook));
    app.QueueMessage(Wnd(1), 0x400, 7, 8);
    app.QueueMessage(Wnd(1), 0x401);
    app.QueueMessage(Wnd(2), 0x402);
    app.ProcessMessages();
    EXPECT_EQ(hook.seen, (std::vector<UINT>{0x400, 0x401, 0x402}));
    EXPECT_EQ(Dispatched(app), (std::vector<UINT>{0x400, 0x402}));
    EXPECT_EQ(app.DispatchedMessages()[0].hwnd, Wnd(1));
    EXPECT_EQ(app.DispatchedMessages()[0].wParam, 7u);
    EXPECT_EQ(app.DispatchedMessages()[0].lParam, 8);
    EXPECT_EQ(app.QueuedMessageCount(), 0);
}

// Catches a message the hook changes being dispatched in its old form.
TEST(ApplicationLoop, HookMayChangeTheMessage)
{
    struct Rewriter {
        void OnMessage(MSG& msg, bool&) { msg.wParam = 99; }
    } rewriter;
    TApplication app;
    app.SetOnMessage(MakeEvent<&Rewriter::OnMessage>(&rewriter));
    app.QueueMessage(nullptr, 0x400, 1);
    app.ProcessMessages();
    ASSERT_EQ(app.DispatchedMessages().size(), 1u);
    EXPECT_EQ(app.DispatchedMessages()[0].wParam, 99u);
}

// Catches messages posted while the queue is worked being left behind.
TEST(ApplicationLoop, MessagesPostedMeanwhileAreProcessed)
{
    TApplication app;
    Hook hook;
    hook.app = &app;
    hook.repostOn = 0x500;
    app.SetOnMessage(MakeEvent<&Hook::OnMessage>(&hook));
    app.QueueMessage(nullptr, 0x500);
    app.ProcessMessages();
    EXPECT_EQ(hook.seen, (std::vector<UINT>{0x500, 0x501}));
}

// Catches a loop that dispatches without a hook, or runs past Terminate.
TEST(ApplicationLoop, RunStopsAtTerminateWithoutOfferingTheQuit)
{
    TApplication app;
    Hook hook;
    app.QueueMessage(nullptr, 0x400);
    app.ProcessMessages();
    EXPECT_EQ(Dispatched(app), (std::vector<UINT>{0x400}));
    app.SetOnMessage(MakeEvent<&Hook::OnMessage>(&hook));
    app.QueueMessage(nullptr, 0x401);
    app.Terminate();
    app.QueueMessage(nullptr, 0x402);
    app.Run();
    EXPECT_TRUE(app.Terminated());
    EXPECT_EQ(hook.seen, (std::vector<UINT>{0x401}));
    EXPECT_EQ(app.QueuedMessageCount(), 1);
}

// Catches errors from the hook swallowed by ProcessMessages, or shown for
// EAbort by the main loop.
TEST(ApplicationLoop, ErrorsPropagateOrAreShownExceptAbort)
{
    TApplication app;
    Hook hook;
    hook.raiseOn = 0x400;
    hook.abortOn = 0x401;
    app.SetOnMessage(MakeEvent<&Hook::OnMessage>(&hook));
    app.QueueMessage(nullptr, 0x400);
    EXPECT_THROW(app.ProcessMessages(), Exception);
    app.QueueMessage(nullptr, 0x400);
    app.QueueMessage(nullptr, 0x401);
    app.QueueMessage(nullptr, 0x402);
    app.Run();
    EXPECT_EQ(app.ShownExceptions(), (std::vector<String>{u"hook failed"}));
    EXPECT_EQ(Dispatched(app), (std::vector<UINT>{0x402}));
}

// Catches a hook chain that loses the IDE's handler when a hook saves it,
// calls it, and puts it back.
TEST(ApplicationLoop, SavedHandlerIsCalledAndRestored)
{
    struct Chain {
        void OnMessage(MSG& msg, bool& handled)
        {
            ++calls;
            previous(msg, handled);
        }
        TMessageEvent previous;
        int calls = 0;
    } chain;
    TApplication app;
    Hook ide;
    ide.handle = 0x400;
    TMessageEvent original = MakeEvent<&Hook::OnMessage>(&ide);
    app.SetOnMessage(original);
    chain.previous = app.OnMessage();
    app.SetOnMessage(MakeEvent<&Chain::OnMessage>(&chain));
    app.QueueMessage(nullptr, 0x400);
    app.ProcessMessages();
    EXPECT_EQ(chain.calls, 1);
    EXPECT_EQ(ide.seen.size(), 1u);
    EXPECT_TRUE(app.DispatchedMessages().empty());
    app.SetOnMessage(chain.previous);
    EXPECT_TRUE(app.OnMessage() == original);
}
