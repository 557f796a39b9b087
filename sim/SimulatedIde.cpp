#include "sim/SimulatedIde.h"

#include "sim/IdeRegistry.h"
#include "sim/Scenario.h"
#if !defined(_WIN32)
#include "sim/picture/IdePicture.h"
#endif

#include <cstdint>
#include <limits>

namespace tvx::sim {

namespace {

void WriteIdeRegistration()
{
    const std::u16string ideKey = u"SOFTWARE\\CodeGear\\BDS\\8.0";
    WriteRegistryText(HKEY_LOCAL_MACHINE, ideKey, u"Edition", std::u16string(kIdeEdition));
    WriteRegistryText(HKEY_LOCAL_MACHINE, ideKey, u"RootDir", u"C:\\Program Files\\Embarcadero\\RAD Studio\\8.0\\");
}

} // namespace

SimulatedIde::SimulatedIde()
{
    if (Application || BorlandIDEServices)
        throw std::logic_error("another simulated IDE is running");
    application_ = new TApplication(nullptr);
    application_->SetTitle(u"RAD Studio XE");
    services_ = new TIDEServices();
    servicesRef_ = services_;
    nativeServices_ = new TNativeServices(*this);
    nativeServicesRef_ = nativeServices_;
    services_->AddService<INTAServices>(nativeServices_);
    services_->AddService<INTAServices40>(nativeServices_);
    Application = application_;
    BorlandIDEServices = services_;
    WriteIdeRegistration();
    try {
        // A part may use the parts above it.
        Add<IdeMainMenu>();
        Add<IdeToolbars>();
        Add<IdeDesigners>();
        Add<IdeModules>();
        Add<IdeHelp>();
        Add<IdeSplashAbout>();
        Add<IdeToolWindows>();
        Add<IdeEditorWindows>();
    } catch (...) {
        Close();
        throw;
    }
    application_->SetOnMessage(MakeEvent<&SimulatedIde::IdeMessage>(this));
}

SimulatedIde::~SimulatedIde() { Close(); }

void SimulatedIde::Close() noexcept
{
    if (application_->OnMessage() == MakeEvent<&SimulatedIde::IdeMessage>(this))
        application_->SetOnMessage(TMessageEvent());
    // Out of the list first, so that nothing finds a part while it goes.
    while (!parts_.empty()) {
        std::unique_ptr<IdePart> part = std::move(parts_.back());
        parts_.pop_back();
        part.reset();
    }
    BorlandIDEServices = nullptr;
    Application = nullptr;
    services_->RemoveService(tvx::IidOf<INTAServices>);
    services_->RemoveService(tvx::IidOf<INTAServices40>);
    nativeServices_->Detach();
    nativeServicesRef_ = nullptr;
    servicesRef_ = nullptr;
    delete application_;
}

void SimulatedIde::IdeMessage(MSG&, bool&) { ++seen_; }

void SimulatedIde::PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    application_->QueueMessage(window, message, wParam, lParam);
    application_->ProcessMessages();
}

std::string SimulatedIde::PostAndDescribe(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const std::size_t dispatchedBefore = application_->DispatchedMessages().size();
    const std::size_t seenBefore = seen_;
    PostMessage(window, message, wParam, lParam);
    std::string outcome = application_->DispatchedMessages().size() > dispatchedBefore
                              ? "dispatched"
                              : "handled by OnMessage, not dispatched";
    outcome +=
        seen_ > seenBefore ? "; the IDE's OnMessage handler saw it" : "; the IDE's OnMessage handler did not see it";
    return outcome;
}

void SimulatedIde::AfterWizardEntry()
{
    for (const auto& part : parts_)
        part->AfterWizardEntry();
}

void SimulatedIde::BeforeShutdown()
{
    for (auto part = parts_.rbegin(); part != parts_.rend(); ++part)
        (*part)->BeforeShutdown();
}

void SimulatedIde::AfterWizardTerminate()
{
    for (auto part = parts_.rbegin(); part != parts_.rend(); ++part)
        (*part)->AfterWizardTerminate();
}

void SimulatedIde::AddToReport(Report& report) const
{
    for (const auto& part : parts_)
        part->AddToReport(report);
}

void SimulatedIde::RegisterCommands(ScenarioRunner& runner)
{
    runner.Register({"note", "note <text>", "Writes the text into the report, to mark a place in the session.", 1, 1,
                     [](const ScenarioStep& step) { return std::vector<std::string>{step.Args[0]}; }});
#if !defined(_WIN32)
    runner.Register({"picture", "picture <file.png|file.svg>",
                     "Draws the IDE as it is now into a PNG or SVG file (a relative name starts at the current "
                     "folder).",
                     1, 1, [this](const ScenarioStep& step) {
                         if (std::string error = DrawIdePicture(*this, step.Args[0]); !error.empty())
                             throw ScenarioError(error);
                         return std::vector<std::string>{"drew " + step.Args[0]};
                     }});
#endif
    runner.Register({"post", "post <window> <message> [wParam] [lParam]",
                     "Posts a window message to the application's queue and runs the message loop until it is empty.",
                     2, 4, [this](const ScenarioStep& step) {
                         auto arg = [&](std::size_t i) {
                             return i < step.Args.size() ? ScenarioInteger(step.Args[i]) : 0;
                         };
                         return std::vector<std::string>{
                             PostAndDescribe(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(arg(0))),
                                             UINT(ScenarioInteger(step.Args[1], 0, std::numeric_limits<UINT>::max())),
                                             WPARAM(arg(2)), LPARAM(arg(3)))};
                     }});
    for (const auto& part : parts_)
        part->RegisterCommands(runner);
}

} // namespace tvx::sim
