// The IDE around the wizard library, as the IDE sets it up before it loads
// the library: the Application object and BorlandIDEServices. Header only, so
// that only test programs linking the simulator pay for it.
#pragma once

#include "host/ide/NTAServices.h"
#include "host/vcl/Forms.h"
#include "host/win32/Recorder.h"
#include "host/win32/RegistryEmulation.h"
#include "interop/IntfPtr.h"
#include "sim/IDEServices.h"

#include <gtest/gtest.h>

#include <optional>

namespace tvx::test {

// Sets the IDE's globals for its lifetime and clears them afterwards.
class ScopedIdeGlobals {
public:
    ScopedIdeGlobals()
        : application_(new TApplication(nullptr)),
          services_(IntfPtr<IBorlandIDEServices>::Attach(NewInterface<TIDEServices, IBorlandIDEServices>()))
    {
        Application = application_;
        BorlandIDEServices = services_.get();
    }
    ~ScopedIdeGlobals()
    {
        BorlandIDEServices = nullptr;
        Application = nullptr;
        delete application_;
    }
    ScopedIdeGlobals(const ScopedIdeGlobals&) = delete;
    ScopedIdeGlobals& operator=(const ScopedIdeGlobals&) = delete;

    TApplication& App() noexcept { return *application_; }
    TIDEServices& Services() noexcept { return *static_cast<TIDEServices*>(services_.get()); }
    // What the IDE hands to the wizard entry.
    IUnknown* ServicesUnknown() noexcept { return Services().Identity(); }

private:
    TApplication* application_;
    IntfPtr<IBorlandIDEServices> services_;
};

// The IDE's native services with nothing but what the test hands them.
class FakeNativeServices final : public Implements<FakeNativeServices, INTAServices> {
public:
    int AddMasked(void*, unsigned, const String&) override { return -1; }
    TCustomActionList* GetActionList() override { return ActionList; }
    TCustomImageList* GetImageList() override { return ImageList; }
    TMainMenu* GetMainMenu() override { return MainMenu; }
    TToolBar* GetToolBar(const String&) override { return nullptr; }
    TToolBar* NewToolbar(const String&, const String&, const String&, bool) override { return nullptr; }
    int AddToolbarStreamNotifier(INTAToolbarStreamNotifier*) override { return -1; }
    void RemoveToolbarStreamNotifier(int) override {}

    TMainMenu* MainMenu = nullptr;
    TCustomImageList* ImageList = nullptr;
    TCustomActionList* ActionList = nullptr;
};

// A freshly installed machine (empty registry, nothing recorded, no
// foreground window) with an IDE running, for each test. Everything a test
// body holds goes before the IDE does.
template <class IdeType>
class FreshMachineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        win32::ResetRegistry();
        win32::ResetRecorder();
        ide_.emplace();
    }
    void TearDown() override { ide_.reset(); }

    IdeType& Ide() { return *ide_; }

private:
    std::optional<IdeType> ide_;
};

// The IDE's globals only, without the simulated IDE around them.
using HostFixture = FreshMachineTest<ScopedIdeGlobals>;

} // namespace tvx::test
