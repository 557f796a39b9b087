#include "sim/SimulatedIde.h"

#include <stdexcept>

namespace tvx::sim {

SimulatedIde::SimulatedIde()
{
    if (Application || BorlandIDEServices)
        throw std::logic_error("another simulated IDE is running");
    application_ = new TApplication(nullptr);
    services_ = new TIDEServices();
    servicesRef_ = services_;
    Application = application_;
    BorlandIDEServices = services_;
}

SimulatedIde::~SimulatedIde()
{
    BorlandIDEServices = nullptr;
    Application = nullptr;
    servicesRef_ = nullptr;
    delete application_;
}

void SimulatedIde::PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    application_->QueueMessage(window, message, wParam, lParam);
    application_->ProcessMessages();
}

} // namespace tvx::sim
