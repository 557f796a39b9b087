// The simulated IDE: the IDE's global objects built from the stand-in pieces,
// and the user's actions that tests and scenarios drive.
#pragma once

#include "host/ide/IDEServices.h"
#include "host/vcl/Forms.h"
#include "sim/IdeMainMenu.h"
#include "sim/IdeToolbars.h"
#include "sim/NativeServices.h"
#include "interop/IntfPtr.h"

#include <memory>

namespace tvx::sim {

class ScenarioRunner;
class IdeServicesParts;

class SimulatedIde {
public:
    // Creates Application and BorlandIDEServices; only one IDE exists at a time.
    SimulatedIde();
    ~SimulatedIde();
    SimulatedIde(const SimulatedIde&) = delete;
    SimulatedIde& operator=(const SimulatedIde&) = delete;

    TApplication& App() noexcept { return *application_; }
    TIDEServices& Services() noexcept { return *services_; }
    TNativeServices& NativeServices() noexcept { return *nativeServices_; }
    IdeMainMenu& MainMenu() noexcept { return *mainMenu_; }
    IdeToolbars& Toolbars() noexcept { return *toolbars_; }
    IUnknown* ServicesUnknown() noexcept { return services_->Identity(); }
    // Actions, designers, splash screen, About box and help.
    IdeServicesParts& ServicesParts() noexcept { return *servicesParts_; }

    // A window message posted to the application's queue and handled there,
    // as the IDE's main loop would.
    void PostMessage(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // Adds the user's actions to the scenario language.
    void RegisterCommands(ScenarioRunner& runner);

private:
    TApplication* application_ = nullptr;
    TIDEServices* services_ = nullptr;
    tvx::IntfPtr<IBorlandIDEServices> servicesRef_;
    TNativeServices* nativeServices_ = nullptr;
    tvx::IntfPtr<INTAServices> nativeServicesRef_;
    std::unique_ptr<IdeMainMenu> mainMenu_;
    std::unique_ptr<IdeToolbars> toolbars_;
    std::unique_ptr<IdeServicesParts> servicesParts_;
};

} // namespace tvx::sim
