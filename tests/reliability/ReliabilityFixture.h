// The simulated IDE with the wizard entered in-process, misbehaving packages
// and one well-behaved package (the witness) loaded alongside them. Every
// test ends by checking what no misbehaviour may cost: the witness still
// gets its calls and its menu item, button and message handler still work,
// the IDE's own menus and toolbars are as they were, and no bitmap handle
// leaked or went twice.
#pragma once

#include "host/win32/GdiEmulation.h"
#include "host/win32/Recorder.h"
#include "host/win32/RegistryEmulation.h"
#include "host/win32/Win32.h"
#include "interop/Bstr.h"
#include "interop/Utf.h"
#include "loader/TalvixLoader.h"
#include "services/TalvixBdsServices.h"
#include "sim/Scenario.h"
#include "sim/SimulatedIde.h"
#include "sim/mainmenu/MenuTree.h"
#include "sim/toolbars/ToolbarReport.h"
#include "tests/support/MisbehavingPackage.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tvx::test {

inline constexpr UINT kUserMessage = 0x0400;

class ReliabilityTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        win32::ResetRegistry();
        win32::ResetRecorder();
        liveIcons_ = win32::LiveIconCount();
        ide_.emplace();
        liveBitmaps_ = win32::LiveBitmapCount();
        doubleDeletes_ = win32::DoubleDeleteCount();
        doubleIconDestroys_ = win32::DoubleDestroyIconCount();
        ideMenu_ = IdeMenuText();
        ideToolbars_ = IdeToolbarsText();
        witness_ = AddPackage("Witness", 1000);
        witness_->Doing(PackageMethod::Initialize, [this](IBdsServices* services) { SetUpWitness(services); });
        witness_->Doing(PackageMethod::Finalize, [this](IBdsServices*) { witness_->Held.clear(); });
    }

    void TearDown() override
    {
        CloseIde();
        for (auto& probe : probes_)
            probe->LetGoOfEverything();
    }

    // Shuts down as the IDE does (if the test did not), takes back what the
    // packages hold, checks what no misbehaviour may cost, and closes the IDE.
    void CloseIde()
    {
        if (!ide_)
            return;
        if (started_ && !terminated_)
            Shutdown();
        for (auto& probe : probes_) {
            if (!probe->KeepsServicesAfterFinalize)
                probe->LetGoOfEverything();
            // Actions may hold the probe itself.
            probe->Does.clear();
            probe->StandIn = nullptr;
        }
        EXPECT_EQ(Count("Finalize Witness"), started_ ? 1u : 0u) << "the witness missed its Finalize";
        EXPECT_EQ(IdeMenuText(), ideMenu_) << "the IDE's own menu changed";
        EXPECT_EQ(IdeToolbarsText(), ideToolbars_) << "the IDE's own toolbars changed";
        EXPECT_EQ(win32::LiveBitmapCount(), liveBitmaps_) << "bitmap handles leaked";
        EXPECT_EQ(win32::DoubleDeleteCount(), doubleDeletes_) << "a bitmap handle was deleted twice";
        EXPECT_EQ(win32::DoubleDestroyIconCount(), doubleIconDestroys_) << "an icon was destroyed twice";
        // What the IDE kept of the packages goes before the IDE does.
        registrations_.clear();
        ide_.reset();
        EXPECT_EQ(win32::LiveIconCount(), liveIcons_) << "icons outlived the IDE";
    }

    // A misbehaving package listed with that load order (the witness has 1000).
    std::shared_ptr<MisbehavingProbe> AddPackage(const std::string& name, LONG loadOrder)
    {
        auto probe = std::make_shared<MisbehavingProbe>(name, log);
        registrations_.push_back(
            RegisterMisbehavingPackage(TestClsid(std::uint32_t(probes_.size() + 1)), probe, loadOrder));
        probes_.push_back(probe);
        return probe;
    }

    // The IDE loads the wizard, then its toolbars (which makes the services
    // ready, as the witness has asked for them).
    void Start()
    {
        ASSERT_FALSE(started_);
        started_ = true;
        ASSERT_TRUE(talvix::InitWizard(ide_->ServicesUnknown(), nullptr, &terminate_));
        ide_->Toolbars().Load();
    }
    void Shutdown()
    {
        ASSERT_TRUE(started_);
        ASSERT_FALSE(terminated_);
        terminated_ = true;
        ASSERT_NE(terminate_, nullptr);
        terminate_();
    }

    sim::SimulatedIde& Ide() { return *ide_; }
    IBdsServices* Root()
    {
        talvix::TBdsServices* root = talvix::ServicesRoot();
        return root ? root->Interface() : nullptr;
    }
    MisbehavingProbe& Witness() { return *witness_; }
    HWND AnyWindow() { return ide_->Toolbars().MainWindow()->Handle(); }

    IntfPtr<IBdsMenuBarService> MenuBar(IBdsServices* services)
    {
        IntfPtr<IBdsMenuBarService> bar;
        EXPECT_EQ(services->Get_BdsMenuBarService(bar.put()), S_OK);
        return bar;
    }
    IntfPtr<IBdsToolBarService> ToolBars(IBdsServices* services)
    {
        IntfPtr<IBdsToolBarService> bars;
        EXPECT_EQ(services->Get_BdsToolBarService(bars.put()), S_OK);
        return bars;
    }
    IntfPtr<MisbehavingSink> NewSink(const std::string& name)
    {
        return IntfPtr<MisbehavingSink>(new MisbehavingSink(name, log));
    }
    IntfPtr<MisbehavingHandler> NewHandler(const std::string& name)
    {
        return IntfPtr<MisbehavingHandler>(new MisbehavingHandler(name, log));
    }

    // A package's menu item under Tools, with a sink; null if refused.
    IntfPtr<IBdsMenuItem> AddToolsItem(IBdsServices* services, const std::u16string& name,
                                       IBdsToolBarControlEvents* sink, HBITMAP bitmap = nullptr)
    {
        IntfPtr<IBdsMenuItem> item;
        MenuBar(services)->AddMenuItem(Bstr(u"ToolsMenu").get(), kChildItem, Bstr(name).get(), Bstr(name).get(), bitmap,
                                       item.put());
        if (item && sink) {
            EXPECT_EQ(item->RegisterEvents(sink), S_OK);
        }
        return item;
    }
    // A package's visible toolbar.
    IntfPtr<IBdsToolBar> AddShownToolBar(IBdsServices* services, const std::u16string& name)
    {
        IntfPtr<IBdsToolBar> bar;
        EXPECT_EQ(ToolBars(services)->AddToolBar(Bstr(name).get(), Bstr(name).get(), bar.put()), S_OK);
        if (bar) {
            EXPECT_EQ(bar->Set_Visible(VARIANT_TRUE), S_OK);
        }
        return bar;
    }
    // A named control of that kind on the toolbar, with a sink.
    static IntfPtr<IBdsToolBarControl> AddNamedControl(IBdsToolBar* bar, LONG kind, const std::u16string& name,
                                                       IBdsToolBarControlEvents* sink)
    {
        IntfPtr<IBdsToolBarControl> control;
        EXPECT_EQ(bar->AddControl(kind, control.put()), S_OK);
        if (!control)
            return control;
        EXPECT_EQ(control->Set_Name(Bstr(name).get()), S_OK);
        if (sink) {
            EXPECT_EQ(control->RegisterEvents(sink), S_OK);
        }
        return control;
    }

    // The user's actions; what they produced stays in the call log.
    void Choose(const std::u16string& path) { ide_->MainMenu().Choose(path); }
    // Scenario steps, as the user takes them; each must succeed.
    void Step(const std::string& text)
    {
        sim::ScenarioRunner runner;
        ide_->RegisterCommands(runner);
        for (auto& result : runner.Run(runner.Parse(text)))
            EXPECT_EQ(result.Error, "") << text;
    }
    void ClickButton(const std::u16string& bar, const std::u16string& button)
    {
        ide_->Toolbars().ClickButton(bar, button);
    }
    void Idle() { ide_->Toolbars().Idle(); }
    std::string Post(UINT message = kUserMessage) { return ide_->PostAndDescribe(nullptr, message, 0, 0); }

    // How many log entries equal `entry`.
    std::size_t Count(const std::string& entry) const
    {
        return std::size_t(std::count(log->Entries().begin(), log->Entries().end(), entry));
    }

    // The witness's item, button and handler each work once more.
    void ExpectWitnessWorks()
    {
        SCOPED_TRACE("the witness package");
        const std::size_t clicks = Count("witness-menu OnClick");
        Choose(u"ToolsMenu\\WitnessItem");
        EXPECT_EQ(Count("witness-menu OnClick"), clicks + 1) << "its menu item";
        const std::size_t buttonClicks = Count("witness-button OnClick");
        ClickButton(u"WitnessToolBar", u"WitnessButton");
        EXPECT_EQ(Count("witness-button OnClick"), buttonClicks + 1) << "its toolbar button";
        const std::size_t updates = Count("witness-button OnUpdate");
        Idle();
        EXPECT_EQ(Count("witness-button OnUpdate"), updates + 1) << "its update";
        const std::size_t messages = Count("witness-handler HandleMessage 1025");
        Post(kUserMessage + 1);
        EXPECT_EQ(Count("witness-handler HandleMessage 1025"), messages + 1) << "its message handler";
        EXPECT_EQ(Count("Initialize Witness"), 1u);
        EXPECT_EQ(Count("OnServicesReady Witness"), 1u);
    }

    std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
    // The witness asks for the services to be made ready in its Initialize.
    bool witnessReadies = true;

private:
    void SetUpWitness(IBdsServices* services)
    {
        auto menuSink = NewSink("witness-menu");
        witness_->Hold("menu-sink", menuSink);
        witness_->Hold("menu-item", AddToolsItem(services, u"WitnessItem", menuSink.get(), MagentaBitmap()));
        IntfPtr<IBdsToolBar> bar = AddShownToolBar(services, u"WitnessToolBar");
        witness_->Hold("toolbar", bar);
        auto buttonSink = NewSink("witness-button");
        witness_->Hold("button-sink", buttonSink);
        IntfPtr<IBdsToolBarControl> button = AddNamedControl(bar.get(), kButton, u"WitnessButton", buttonSink.get());
        witness_->Hold("button", button);
        EXPECT_EQ(button.as<IBdsToolBarButton>()->SetImage(MagentaBitmap()), S_OK);
        auto handler = NewHandler("witness-handler");
        witness_->Hold("handler", handler);
        EXPECT_EQ(services->AddMessageHandler(handler.get()), S_OK);
        if (witnessReadies) {
            EXPECT_EQ(services->OnDotNetServicesInitialized(), S_OK);
        }
    }

    // The IDE's own items, one line each, leaving out what packages made.
    std::string IdeMenuText()
    {
        std::vector<sim::MenuItemRecord> tree = ide_->MainMenu().Tree();
        auto strip = [](auto& self, std::vector<sim::MenuItemRecord>& items) -> void {
            std::erase_if(items, [](const sim::MenuItemRecord& r) { return r.PackageMade; });
            for (auto& item : items)
                self(self, item.Items);
        };
        strip(strip, tree);
        return sim::MenuTreeText(tree, 0);
    }
    // The IDE's standard toolbars with their controls.
    std::string IdeToolbarsText()
    {
        std::vector<sim::ToolbarRecord> bars = ide_->Toolbars().Snapshot();
        std::erase_if(bars, [](const sim::ToolbarRecord& r) {
            return r.Name != u"StandardToolBar" && r.Name != u"ViewToolBar" && r.Name != u"DebugToolBar" &&
                   r.Name != u"DesktopToolBar";
        });
        for (auto& bar : bars)
            bar.Width = bar.Height = bar.Left = bar.Top = 0;
        return sim::ToolbarsText(bars, 0);
    }

    std::optional<sim::SimulatedIde> ide_;
    std::vector<std::shared_ptr<MisbehavingProbe>> probes_;
    std::vector<ScopedClassObject> registrations_;
    std::shared_ptr<MisbehavingProbe> witness_;
    TWizardTerminateProc terminate_ = nullptr;
    bool started_ = false;
    bool terminated_ = false;
    std::size_t liveBitmaps_ = 0;
    std::size_t doubleDeletes_ = 0;
    std::size_t liveIcons_ = 0;
    std::size_t doubleIconDestroys_ = 0;
    std::string ideMenu_;
    std::string ideToolbars_;
};

// A misbehaving package, loaded first, that holds a menu item, a shown
// toolbar, a button and an editable combo box of its own.
class BadPackageTest : public ReliabilityTest {
protected:
    void SetUp() override
    {
        ReliabilityTest::SetUp();
        bad = AddPackage("Bad", 1);
        bad->Doing(PackageMethod::Initialize, [this](IBdsServices* services) {
            bad->Hold("item", AddToolsItem(services, u"BadItem", nullptr));
            tvx::IntfPtr<IBdsToolBar> bar = AddShownToolBar(services, u"BadToolBar");
            bad->Hold("toolbar", bar);
            bad->Hold("button", AddNamedControl(bar.get(), kButton, u"BadButton", nullptr));
            bad->Hold("combo", AddNamedControl(bar.get(), kComboBox, u"BadCombo", nullptr));
        });
        Start();
    }
    std::shared_ptr<MisbehavingProbe> bad;
};

} // namespace tvx::test
