#include "sim/SimulatedIde.h"

#include "sim/IdeServicesParts.h"
#include "sim/Scenario.h"

#include <limits>
#include <stdexcept>

namespace tvx::sim {

SimulatedIde::SimulatedIde()
{
    if (Application || BorlandIDEServices)
        throw std::logic_error("another simulated IDE is running");
    application_ = new TApplication(nullptr);
    application_->SetTitle(u"RAD Studio XE");
    services_ = new TIDEServices();
    servicesRef_ = services_;
    nativeServices_ = new TNativeServices();
    nativeServicesRef_ = nativeServices_;
    services_->AddService<INTAServices>(nativeServices_);
    services_->AddService<INTAServices40>(nativeServices_);
    mainMenu_ = std::make_unique<IdeMainMenu>(*nativeServices_);
    toolbars_ = std::make_unique<IdeToolbars>(*application_, *nativeServices_);
    Application = application_;
    BorlandIDEServices = services_;
    servicesParts_ = std::make_unique<IdeServicesParts>(*application_, *services_, *nativeServices_);
}

SimulatedIde::~SimulatedIde()
{
    toolbars_.reset();
    servicesParts_.reset();
    BorlandIDEServices = nullptr;
    Application = nullptr;
    services_->RemoveService(tvx::IidOf<INTAServices>);
    services_->RemoveService(tvx::IidOf<INTAServices40>);
    mainMenu_.reset();
    nativeServicesRef_ = nullptr;
    servicesRef_ = nullptr;
    delete application_;
}

void SimulatedIde::PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    application_->QueueMessage(window, message, wParam, lParam);
    application_->ProcessMessages();
}

} // namespace tvx::sim

namespace tvx::sim {

void SimulatedIde::RegisterCommands(ScenarioRunner& runner)
{
    mainMenu_->RegisterCommands(runner);
    toolbars_->RegisterCommands(runner);
    runner.Register({"note", "note <text>", "Writes the text into the report, to mark a place in the session.", 1, 1,
                     [](const ScenarioStep& step) { return std::vector<std::string>{step.Args[0]}; }});
    runner.Register(
        {"post", "post <window> <message> [wParam] [lParam]",
         "Posts a window message to the application's queue and runs the message loop until it is empty.", 2, 4,
         [this](const ScenarioStep& step) {
             auto arg = [&](std::size_t i) { return i < step.Args.size() ? ScenarioInteger(step.Args[i]) : 0; };
             return std::vector<std::string>{servicesParts_->PostAndDescribe(
                 reinterpret_cast<HWND>(static_cast<std::uintptr_t>(arg(0))),
                 UINT(ScenarioInteger(step.Args[1], 0, std::numeric_limits<UINT>::max())), WPARAM(arg(2)),
                 LPARAM(arg(3)))};
         }});
    servicesParts_->RegisterCommands(runner);
}

} // namespace tvx::sim
