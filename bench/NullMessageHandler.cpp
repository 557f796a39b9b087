#include "bench/NullMessageHandler.h"

#include "interop/InterfacedObject.h"

#include <benchmark/benchmark.h>

namespace tvx::bench {

namespace {

class NullHandler final : public tvx::Implements<NullHandler, IMessageHandler> {
public:
    HRESULT STDMETHODCALLTYPE HandleMessage(MSG* Msg, VARIANT_BOOL*, VARIANT_BOOL*) override
    {
        benchmark::DoNotOptimize(Msg->message);
        return S_OK;
    }
};

} // namespace

IMessageHandler* NewNullMessageHandler() { return new NullHandler(); }

} // namespace tvx::bench
