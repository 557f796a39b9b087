// Every window message of the IDE passes the root's hook: measured with 0, 1,
// 4 and 16 package handlers against calling the handlers and the previous
// application handler directly.
#include "bench/BenchSupport.h"
#include "bench/NullMessageHandler.h"

#include "interop/IntfPtr.h"
#include "services/TalvixBdsServices.h"
#include "sim/SimulatedIde.h"

#include <vector>

namespace tvx::bench {

namespace {

class PreviousHandler {
public:
    void OnMessage(MSG& Msg, bool& Handled)
    {
        benchmark::DoNotOptimize(Msg.wParam);
        Handled = false;
    }
};

struct HookEnvironment {
    sim::SimulatedIde& ide = BenchIde();
    PreviousHandler previous;
    TMessageEvent previousEvent = MakeEvent<&PreviousHandler::OnMessage>(&previous);
    talvix::TBdsServices* root = nullptr;
    std::vector<tvx::IntfPtr<IMessageHandler>> handlers;

    HookEnvironment()
    {
        Application->SetOnMessage(previousEvent);
        root = talvix::TBdsServices::Create();
    }

    // The root keeps registrations for good, so counts only grow; the cases
    // run in ascending order.
    void EnsureHandlers(std::size_t count)
    {
        while (handlers.size() < count) {
            handlers.emplace_back(NewNullMessageHandler());
            root->AddMessageHandler(handlers.back().get());
        }
    }
};

HookEnvironment& Environment()
{
    static HookEnvironment* environment = new HookEnvironment();
    return *environment;
}

MSG SampleMessage()
{
    MSG msg{};
    msg.message = 0x0100;
    msg.wParam = 0x53;
    return msg;
}

} // namespace

void RegisterMessageHookBenchmarks()
{
    for (std::size_t count : {0, 1, 4, 16}) {
        RegisterPair(
            "MessageHook/handlers:" + std::to_string(count), 1.5,
            [count](benchmark::State& state) {
                HookEnvironment& env = Environment();
                env.EnsureHandlers(count);
                TMessageEvent hook = Application->OnMessage();
                MSG msg = SampleMessage();
                for (auto _ : state) {
                    bool handled = false;
                    hook(msg, handled);
                    benchmark::DoNotOptimize(handled);
                }
            },
            [count](benchmark::State& state) {
                HookEnvironment& env = Environment();
                env.EnsureHandlers(count);
                MSG msg = SampleMessage();
                for (auto _ : state) {
                    VARIANT_BOOL callPrevious = VARIANT_TRUE, handledLocal = VARIANT_FALSE;
                    for (std::size_t i = 0; i < count; ++i)
                        env.handlers[i]->HandleMessage(&msg, &callPrevious, &handledLocal);
                    bool handled = false;
                    env.previousEvent(msg, handled);
                    benchmark::DoNotOptimize(handled);
                }
            });
    }
}

} // namespace tvx::bench
