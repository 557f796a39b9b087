// The IDE tells a package's notifier of every save, change and view switch
// through the notifier wrapper, which asks the package object for the
// mirror each time: measured for a change (IBDSNotifier) and for a question
// with a default (AllowSave, which the package does not answer), against
// calling the package's method directly.
#include "bench/BenchSupport.h"
#include "bench/NullNotifier.h"

#include "interop/IntfPtr.h"
#include "toolsapi/BDSAnyNotifierWrapper.h"

namespace tvx::bench {

namespace {

struct NotifierEnvironment {
    tvx::IntfPtr<IBDSNotifier> package = tvx::IntfPtr<IBDSNotifier>::Attach(NewNullNotifier());
    tvx::IntfPtr<talvix::TBDSAnyNotifierWrapper> wrapper = talvix::TBDSAnyNotifierWrapper::Create(package.get());
    IOTAModuleNotifier90* host = static_cast<IOTAModuleNotifier90*>(wrapper->ModuleNotifier());
};

NotifierEnvironment& Environment()
{
    static NotifierEnvironment* environment = new NotifierEnvironment();
    return *environment;
}

} // namespace

void RegisterNotifierBenchmarks()
{
    RegisterPair(
        "Notifier/Modified", 2.0,
        [](benchmark::State& state) {
            IOTANotifier* host = Environment().host;
            for (auto _ : state)
                host->Modified();
        },
        [](benchmark::State& state) {
            IBDSNotifier* package = Environment().package.get();
            for (auto _ : state)
                benchmark::DoNotOptimize(package->Modified());
        });
    RegisterPair(
        "Notifier/AllowSave-default", 2.0,
        [](benchmark::State& state) {
            IOTAModuleNotifier90* host = Environment().host;
            for (auto _ : state)
                benchmark::DoNotOptimize(host->AllowSave());
        },
        [](benchmark::State& state) {
            // Without the interface, the least any caller does is ask for it.
            IBDSNotifier* package = Environment().package.get();
            for (auto _ : state) {
                void* answer = nullptr;
                benchmark::DoNotOptimize(package->QueryInterface(tvx::IidOf<IBDSModuleNotifier80>, &answer));
            }
        });
}

} // namespace tvx::bench
