// Every package call crosses the interop boundary: a property set and read
// through the vtable, against the VCL object driven with the same BSTRs.
// The floor does what the interface forces on any implementation (the
// package's BSTR read in, a new BSTR handed out and freed by the caller), so
// that the ratio measures the library's own overhead.
#include "bench/BenchSupport.h"

#include "host/vcl/Menus.h"
#include "host/vcl/StdCtrls.h"
#include "host/vcl/StringList.h"
#include "interop/Bstr.h"
#include "menus/BdsMenuBarService.h"
#include "sim/SimulatedIde.h"
#include "toolbars/BdsToolBarControls.h"
#include "toolbars/BdsToolBarService.h"

namespace tvx::bench {

namespace {

struct InteropEnvironment {
    sim::SimulatedIde& ide = BenchIde();
    talvix::TBdsMenuBarService* menus = talvix::TBdsMenuBarService::Create();
    tvx::IntfPtr<IBdsMenuItem> item;
    TMenuItem* menuItem = nullptr;

    talvix::TBdsToolBarService* toolbars = talvix::TBdsToolBarService::Create();
    tvx::IntfPtr<IBdsToolBar> toolbar;
    tvx::IntfPtr<IBdsToolBarComboBox> combo;
    TComboBox* comboBox = nullptr;

    InteropEnvironment()
    {
        tvx::Bstr path(u"ToolsMenu");
        menus->GetMenuItem(path.get(), item.put());
        menuItem = menus->FindMenuItem(u"ToolsMenu");

        tvx::Bstr name(u"BenchToolBar"), title(u"Bench");
        toolbars->AddToolBar(name.get(), title.get(), toolbar.put());
        tvx::IntfPtr<IBdsToolBarControl> control;
        toolbar->AddControl(2, control.put());
        combo = control.try_as<IBdsToolBarComboBox>();
        comboBox = static_cast<talvix::TBdsToolBarComboBox*>(talvix::TBdsToolBarControl::FromInterface(control.get()))
                       ->ComboBox();
    }
};

// Both sides empty their list every so often, so that it stays small.
constexpr int kItemsBeforeClear = 4096;

InteropEnvironment& Environment()
{
    static InteropEnvironment* environment = new InteropEnvironment();
    return *environment;
}

} // namespace

void RegisterInteropBenchmarks()
{
    RegisterPair(
        "Interop/IBdsMenuItem.Caption", 1.3,
        [](benchmark::State& state) {
            InteropEnvironment& env = Environment();
            tvx::Bstr caption(u"&Tools");
            for (auto _ : state) {
                env.item->Set_Caption(caption.get());
                BSTR read = nullptr;
                env.item->Get_Caption(&read);
                benchmark::DoNotOptimize(read);
                SysFreeString(read);
            }
        },
        [](benchmark::State& state) {
            InteropEnvironment& env = Environment();
            tvx::Bstr caption(u"&Tools");
            for (auto _ : state) {
                env.menuItem->SetCaption(String(tvx::BstrView(caption.get())));
                BSTR read = tvx::AllocBstr(env.menuItem->Caption());
                benchmark::DoNotOptimize(read);
                SysFreeString(read);
            }
        });
    RegisterPair(
        "Interop/IBdsToolBarComboBox.AddItem+GetItem", 1.3,
        [](benchmark::State& state) {
            InteropEnvironment& env = Environment();
            tvx::Bstr text(u"Release build");
            int added = 0;
            for (auto _ : state) {
                LONG index = 0;
                env.combo->AddItem(text.get(), &index);
                BSTR read = nullptr;
                env.combo->GetItem(index, &read);
                benchmark::DoNotOptimize(read);
                SysFreeString(read);
                if (++added == kItemsBeforeClear) {
                    env.combo->ClearItems();
                    added = 0;
                }
            }
            env.combo->ClearItems();
        },
        [](benchmark::State& state) {
            InteropEnvironment& env = Environment();
            tvx::Bstr text(u"Release build");
            int added = 0;
            for (auto _ : state) {
                int index = env.comboBox->Items()->Add(String(tvx::BstrView(text.get())));
                BSTR read = tvx::AllocBstr(env.comboBox->Items()->Strings(index));
                benchmark::DoNotOptimize(read);
                SysFreeString(read);
                if (++added == kItemsBeforeClear) {
                    env.comboBox->Items()->Clear();
                    added = 0;
                }
            }
            env.comboBox->Items()->Clear();
        });
}

} // namespace tvx::bench
