#include "sim/SimulatedIde.h"

#include "sim/Scenario.h"

#include <stdexcept>

namespace tvx::sim {

SimulatedIde::SimulatedIde()
{
    if (Application || BorlandIDEServices)
        throw std::logic_error("another simulated IDE is running");
    application_ = new TApplication(nullptr);
    services_ = new TIDEServices();
    servicesRef_ = services_;
    nativeServices_ = new TNativeServices();
    nativeServicesRef_ = nativeServices_;
    services_->AddService<INTAServices>(nativeServices_);
    services_->AddService<INTAServices40>(nativeServices_);
    Application = application_;
    BorlandIDEServices = services_;
}

SimulatedIde::~SimulatedIde()
{
    BorlandIDEServices = nullptr;
    Application = nullptr;
    services_->RemoveService(tvx::IidOf<INTAServices>);
    services_->RemoveService(tvx::IidOf<INTAServices40>);
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
    runner.Register({"note", "note <text>", "Writes the text into the report, to mark a place in the session.", 1, 1,
                     [](const ScenarioStep& step) { return std::vector<std::string>{step.Args[0]}; }});
    runner.Register(
        {"post", "post <window> <message> [wParam] [lParam]",
         "Posts a window message to the application's queue and runs the message loop until it is empty.", 2, 4,
         [this](const ScenarioStep& step) {
             auto arg = [&](std::size_t i) { return i < step.Args.size() ? ScenarioInteger(step.Args[i]) : 0; };
             std::size_t before = application_->DispatchedMessages().size();
             PostMessage(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(arg(0))), UINT(arg(1)),
                         WPARAM(arg(2)), LPARAM(arg(3)));
             bool dispatched = application_->DispatchedMessages().size() > before;
             return std::vector<std::string>{dispatched ? "dispatched" : "handled by OnMessage, not dispatched"};
         }});
}

} // namespace tvx::sim
