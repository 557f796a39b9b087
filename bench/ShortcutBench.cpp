// IsShortcut with 300 collected actions, hit and miss, against a plain loop
// over an array of (shortcut, enabled) pairs.
#include "bench/BenchSupport.h"

#include "host/vcl/ActnList.h"
#include "host/vcl/ShortCuts.h"
#include "services/TalvixBdsServices.h"
#include "sim/SimulatedIde.h"

#include <utility>
#include <vector>

namespace tvx::bench {

namespace {

constexpr int kActions = 300;

struct ShortcutEnvironment {
    sim::SimulatedIde& ide = BenchIde();
    TActionList* actions = new TActionList(nullptr);
    talvix::TBdsServices* root = nullptr;
    std::vector<std::pair<TShortCut, bool>> plain;

    ShortcutEnvironment()
    {
        for (int i = 0; i < kActions; ++i) {
            auto* action = new TAction(actions);
            action->SetName(u"Command" + std::u16string(u"") + char16_t(u'A' + i % 26) + IntToStr(i));
            action->SetActionList(actions);
            TShiftState shift;
            shift.Include(i % 2 ? ssCtrl : ssAlt);
            if (i % 3 == 0)
                shift.Include(ssShift);
            action->SetShortCut(ShortCut(std::uint16_t(0x30 + i % 43), shift));
            plain.emplace_back(action->ShortCut(), action->Enabled());
        }
        ide.MainMenu().UseActionList(actions);
        root = talvix::TBdsServices::Create();
        root->OnToolBarServiceInitialized();
        root->OnDotNetServicesInitialized();
    }
};

ShortcutEnvironment& Environment()
{
    static ShortcutEnvironment* environment = new ShortcutEnvironment();
    return *environment;
}

// The key data of the last action (a hit found at the end) or of no action.
LONG KeyDataFor(bool hit)
{
    ShortcutEnvironment& env = Environment();
    if (!hit)
        return 0x20000 | 0x7B; // Ctrl+F12: not among the actions
    std::uint16_t key = 0;
    TShiftState shift;
    ShortCutToKey(env.plain.back().first, key, shift);
    LONG data = key;
    if (shift.Contains(ssShift))
        data |= 0x10000;
    if (shift.Contains(ssCtrl))
        data |= 0x20000;
    if (shift.Contains(ssAlt))
        data |= 0x40000;
    return data;
}

} // namespace

void RegisterShortcutBenchmarks()
{
    for (bool hit : {true, false}) {
        RegisterPair(
            std::string("IsShortcut/") + (hit ? "hit" : "miss"), 1.0,
            [hit](benchmark::State& state) {
                ShortcutEnvironment& env = Environment();
                LONG keyData = KeyDataFor(hit);
                for (auto _ : state) {
                    VARIANT_BOOL result = 0;
                    env.root->IsShortcut(keyData, &result);
                    benchmark::DoNotOptimize(result);
                }
            },
            [hit](benchmark::State& state) {
                ShortcutEnvironment& env = Environment();
                LONG keyData = KeyDataFor(hit);
                for (auto _ : state) {
                    TShortCut wanted = talvix::KeyDataToShortCut(keyData);
                    bool found = false;
                    for (const auto& [shortCut, enabled] : env.plain)
                        if (shortCut == wanted && enabled) {
                            found = true;
                            break;
                        }
                    benchmark::DoNotOptimize(found);
                }
            });
    }
}

} // namespace tvx::bench
