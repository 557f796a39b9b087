// The simulated IDE: the application, the root and native services, and the
// IDE's features as parts; the user's actions that tests and scenarios drive.
#pragma once

#include "host/vcl/Forms.h"
#include "interop/IntfPtr.h"
#include "sim/IDEServices.h"
#include "sim/IdePart.h"
#include "sim/NativeServices.h"
#include "sim/designers/IdeDesigners.h"
#include "sim/editors/IdeEditorWindows.h"
#include "sim/help/IdeHelp.h"
#include "sim/mainmenu/IdeMainMenu.h"
#include "sim/modules/IdeModules.h"
#include "sim/splashabout/IdeSplashAbout.h"
#include "sim/toolbars/IdeToolbars.h"
#include "sim/toolwindows/IdeToolWindows.h"

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tvx::sim {

class ScenarioRunner;
struct Report;

// The edition an installed RAD Studio XE writes under
// HKEY_LOCAL_MACHINE\SOFTWARE\CodeGear\BDS\8.0.
inline constexpr std::u16string_view kIdeEdition = u"Enterprise";

class SimulatedIde {
public:
    // Creates Application and BorlandIDEServices, writes the IDE's registry
    // keys and builds the parts; only one IDE exists at a time.
    SimulatedIde();
    ~SimulatedIde();
    SimulatedIde(const SimulatedIde&) = delete;
    SimulatedIde& operator=(const SimulatedIde&) = delete;

    TApplication& App() noexcept { return *application_; }
    TIDEServices& Services() noexcept { return *services_; }
    TNativeServices& NativeServices() noexcept { return *nativeServices_; }
    IUnknown* ServicesUnknown() noexcept { return services_->Identity(); }

    // The part of that type, or null before it is built and once it is gone.
    template <class Part>
    Part* Find() const noexcept
    {
        for (const auto& part : parts_)
            if (auto* found = dynamic_cast<Part*>(part.get()))
                return found;
        return nullptr;
    }
    IdeMainMenu& MainMenu() { return Require<IdeMainMenu>(); }
    IdeToolbars& Toolbars() { return Require<IdeToolbars>(); }
    IdeDesigners& Designers() { return Require<IdeDesigners>(); }
    IdeHelp& Help() { return Require<IdeHelp>(); }
    IdeSplashAbout& SplashAbout() { return Require<IdeSplashAbout>(); }
    IdeToolWindows& ToolWindows() { return Require<IdeToolWindows>(); }
    IdeModules& Modules() { return Require<IdeModules>(); }
    IdeEditorWindows& EditorWindows() { return Require<IdeEditorWindows>(); }

    // A window message posted to the application's queue and handled there,
    // as the IDE's main loop would.
    void PostMessage(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // The same, saying what became of the message.
    std::string PostAndDescribe(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // How many messages the IDE's own OnMessage handler has seen.
    std::size_t IdeHandlerMessageCount() const noexcept { return seen_; }

    // The parts' steps of a session (see sim/IdePart.h).
    void AfterWizardEntry();
    void BeforeShutdown();
    void AfterWizardTerminate();
    void AddToReport(Report& report) const;
    // Adds the user's actions to the scenario language.
    void RegisterCommands(ScenarioRunner& runner);

private:
    template <class Part>
    void Add()
    {
        parts_.push_back(std::make_unique<Part>(*this));
        parts_.back()->Build();
    }
    template <class Part>
    Part& Require() const
    {
        if (Part* part = Find<Part>())
            return *part;
        throw std::logic_error("the simulated IDE lacks a part");
    }
    void Close() noexcept;
    void IdeMessage(MSG& Msg, bool& Handled);

    TApplication* application_ = nullptr;
    TIDEServices* services_ = nullptr;
    tvx::IntfPtr<IBorlandIDEServices> servicesRef_;
    TNativeServices* nativeServices_ = nullptr;
    tvx::IntfPtr<INTAServices> nativeServicesRef_;
    // In build order.
    std::vector<std::unique_ptr<IdePart>> parts_;
    std::size_t seen_ = 0;
};

} // namespace tvx::sim
