// The wizard library unloaded while the IDE goes on: nothing of the IDE may
// still point into its code, whether the IDE terminated it first or not.
#include "host/vcl/Forms.h"
#include "interop/Bstr.h"
#include "interop/Utf.h"
#include "sim/SimulatedIde.h"
#include "tests/support/HostFixture.h"
#include "tests/support/MisbehavingPackage.h"
#include "tests/support/WizardLibrary.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace tvx::test;
using tvx::Bstr;
using tvx::IntfPtr;

class UnloadTest : public FreshMachineTest<tvx::sim::SimulatedIde> {
protected:
    // A package that hooks into everything it can and never lets go of what
    // it holds (as a garbage-collected package may not, in time).
    void RunAndUnload(bool terminateFirst)
    {
        auto probe = std::make_shared<MisbehavingProbe>("Kept", log);
        probe->KeepsServicesAfterFinalize = true;
        probe->Doing(PackageMethod::Initialize, [&](IBdsServices* services) { HookEverything(*probe, services); });
        ScopedClassObject registration = RegisterMisbehavingPackage(TestClsid(1), probe, 1);
        {
            WizardLibrary library;
            ASSERT_TRUE(library.IsOpen()) << ::dlerror();
            TWizardTerminateProc terminate = nullptr;
            ASSERT_TRUE(library.Entry()(Ide().ServicesUnknown(), nullptr, &terminate));
            Ide().Toolbars().Load();
            Ide().Toolbars().Idle();
            ASSERT_EQ(std::count(log->Entries().begin(), log->Entries().end(), "kept OnUpdate"), 2);
            if (terminateFirst)
                terminate();
        }
        ASSERT_FALSE(WizardStillMapped());
        // Its references point into unloaded code: never released.
        static auto* abandoned = new std::vector<IntfPtr<IUnknown>>();
        for (auto& held : probe->Held)
            abandoned->push_back(std::move(held.second));
        abandoned->push_back(IntfPtr<IUnknown>::Attach(probe->Services.detach()));
        probe->Held.clear();
        log->Clear();

        Ide().Toolbars().Idle();
        Ide().Toolbars().ClickButton(u"KeptToolBar", u"KeptButton");
        Ide().Toolbars().Type(u"KeptToolBar", u"KeptCombo", u"x");
        Ide().MainMenu().Choose(u"ToolsMenu\\ToolsOptionsItem");
        Ide().MainMenu().Choose(u"ToolsMenu\\KeptItem");
        Ide().PostAndDescribe(nullptr, 0x0400, 0, 0);
        Ide().Designers().InsertComponent(u"Form1", u"TButton", u"", 5, 6);
        Ide().Toolbars().Load();
        Ide().Toolbars().ReleaseNotifiers();
        EXPECT_EQ(log->Entries(), std::vector<std::string>{});
    }

    void HookEverything(MisbehavingProbe& probe, IBdsServices* services)
    {
        IntfPtr<MisbehavingSink> sink(new MisbehavingSink("kept", log));
        IntfPtr<IBdsMenuBarService> menus;
        services->Get_BdsMenuBarService(menus.put());
        IntfPtr<IBdsMenuItem> tools, options, item;
        menus->GetMenuItem(Bstr(u"ToolsMenu").get(), tools.put());
        tools->ChildMenuItem(0, options.put());
        options->RegisterEvents(sink.get());
        menus->AddMenuItem(Bstr(u"ToolsMenu").get(), 2, Bstr(u"KeptItem").get(), Bstr(u"Kept").get(), nullptr,
                           item.put());
        item->RegisterEvents(sink.get());
        probe.Hold("item", item);
        IntfPtr<IBdsToolBarService> bars;
        services->Get_BdsToolBarService(bars.put());
        IntfPtr<IBdsToolBar> bar;
        bars->AddToolBar(Bstr(u"KeptToolBar").get(), Bstr(u"Kept").get(), bar.put());
        bar->Set_Visible(VARIANT_TRUE);
        for (auto [kind, name] : {std::pair{1, u"KeptButton"}, std::pair{2, u"KeptCombo"}}) {
            IntfPtr<IBdsToolBarControl> control;
            bar->AddControl(kind, control.put());
            control->Set_Name(Bstr(name).get());
            control->RegisterEvents(sink.get());
            probe.Hold(tvx::Utf16ToUtf8(name), control);
        }
        IntfPtr<MisbehavingHandler> handler(new MisbehavingHandler("kept-handler", log));
        services->AddMessageHandler(handler.get());
        probe.Hold("handler", handler);
        IntfPtr<MisbehavingProvider> provider(new MisbehavingProvider("kept-provider", log));
        services->AddDragDropHelper(provider.get());
        probe.Hold("provider", provider);
        services->OnDotNetServicesInitialized();
    }

    std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
};

// Catches the idle hook, the message hook, the designer and toolbar
// notifiers, and menu and toolbar handlers left pointing into the unloaded
// library after the IDE has terminated it.
TEST_F(UnloadTest, AfterTerminateNothingPointsIntoTheLibrary) { RunAndUnload(true); }

// Catches the same when the library unloads without being terminated.
TEST_F(UnloadTest, WithoutTerminateNothingPointsIntoTheLibrary) { RunAndUnload(false); }

} // namespace
