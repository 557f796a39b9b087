// GetMenuItem by a three-component path in a main menu of 2,000 items, and
// how it scales with the number of listed wrappers (report only).
#include "bench/BenchSupport.h"

#include "host/vcl/Menus.h"
#include "host/vcl/SysUtils.h"
#include "interop/Bstr.h"
#include "menus/BdsMenuBarService.h"
#include "sim/SimulatedIde.h"

#include <map>
#include <memory>
#include <vector>

namespace tvx::bench {

namespace {

struct MenuShape {
    int tops, subs, items;
};
// 2,010 items for the measured case; 6,210 so that 5,000 wrappers fit.
constexpr MenuShape kMeasured{10, 10, 19};
constexpr MenuShape kScaling{10, 20, 30};

TMainMenu* BuildMenu(int tops, int subs, int items)
{
    auto* menu = new TMainMenu(nullptr);
    for (int t = 0; t < tops; ++t) {
        auto* top = new TMenuItem(menu);
        top->SetName(u"Top" + IntToStr(t));
        menu->Items()->Add(top);
        for (int s = 0; s < subs; ++s) {
            auto* sub = new TMenuItem(menu);
            sub->SetName(u"Top" + IntToStr(t) + u"Sub" + IntToStr(s));
            top->Add(sub);
            for (int i = 0; i < items; ++i) {
                auto* item = new TMenuItem(menu);
                item->SetName(u"Top" + IntToStr(t) + u"Sub" + IntToStr(s) + u"Item" + IntToStr(i));
                sub->Add(item);
            }
        }
    }
    return menu;
}

String PathOf(int t, int s, int i)
{
    return u"Top" + IntToStr(t) + u"\\Top" + IntToStr(t) + u"Sub" + IntToStr(s) + u"\\Top" + IntToStr(t) + u"Sub" +
           IntToStr(s) + u"Item" + IntToStr(i);
}

struct LookupEnvironment {
    sim::SimulatedIde& ide = BenchIde();
    std::map<std::pair<int, int>, talvix::TBdsMenuBarService*> services;
    std::vector<tvx::IntfPtr<IBdsMenuItem>> held;

    // A service over a menu of `shape` with `wrappers` listed wrappers.
    talvix::TBdsMenuBarService* ServiceWith(const MenuShape& shape, int wrappers)
    {
        auto key = std::make_pair(shape.subs, wrappers);
        auto found = services.find(key);
        if (found != services.end())
            return found->second;
        ide.MainMenu().UseMenu(BuildMenu(shape.tops, shape.subs, shape.items));
        auto* service = talvix::TBdsMenuBarService::Create();
        for (int n = 0; n < wrappers; ++n) {
            tvx::Bstr path(
                PathOf(n % shape.tops, (n / shape.tops) % shape.subs, (n / (shape.tops * shape.subs)) % shape.items));
            tvx::IntfPtr<IBdsMenuItem> item;
            service->GetMenuItem(path.get(), item.put());
            held.push_back(std::move(item));
        }
        services[key] = service;
        return service;
    }
};

LookupEnvironment& Environment()
{
    static LookupEnvironment* environment = new LookupEnvironment();
    return *environment;
}

void Lookup(benchmark::State& state, const MenuShape& shape, int wrappers)
{
    talvix::TBdsMenuBarService* service = Environment().ServiceWith(shape, wrappers);
    tvx::Bstr path(PathOf(shape.tops - 1, shape.subs - 1, shape.items - 1));
    for (auto _ : state) {
        IBdsMenuItem* item = nullptr;
        service->GetMenuItem(path.get(), &item);
        benchmark::DoNotOptimize(item);
        if (item)
            item->Release();
    }
}

} // namespace

void RegisterMenuLookupBenchmarks()
{
    RegisterSingle("Scaling/MenuLookup/items:2010/wrappers:500",
                   [](benchmark::State& state) { Lookup(state, kMeasured, 500); });
    for (int wrappers : {100, 500, 1000, 5000})
        RegisterSingle("Scaling/MenuLookup/items:6210/wrappers:" + std::to_string(wrappers),
                       [wrappers](benchmark::State& state) { Lookup(state, kScaling, wrappers); });
}

} // namespace tvx::bench
