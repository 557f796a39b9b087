// The parts of the simulated IDE that the services root talks to: the main
// action list, form designers and module services, splash screen and About
// box, help, the IDE's own OnMessage handler and the registry keys an
// installed IDE has. Also the user's steps that reach them: key presses,
// components put on forms, help requests.
#pragma once

#include "host/ide/IDEServices.h"
#include "host/vcl/Forms.h"
#include "sim/IdeActions.h"
#include "sim/IdeDesigners.h"
#include "sim/IdeSplashAbout.h"
#include "sim/NativeServices.h"
#include "sim/ServicesReport.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tvx::sim {

class ScenarioRunner;

// The edition an installed RAD Studio XE writes under
// HKEY_LOCAL_MACHINE\SOFTWARE\CodeGear\BDS\8.0.
inline constexpr std::u16string_view kIdeEdition = u"Enterprise";
// Where a full installation puts Document Explorer, the help viewer.
inline constexpr std::u16string_view kHelpViewerPath =
    u"C:\\Program Files\\Common Files\\Microsoft Shared\\Help 9\\dexplore.exe";

class IdeServicesParts {
public:
    // Writes the IDE's registry keys and installs the IDE's own OnMessage
    // handler, before any add-in is loaded.
    IdeServicesParts(TApplication& app, TIDEServices& services, TNativeServices& native);
    ~IdeServicesParts();
    IdeServicesParts(const IdeServicesParts&) = delete;
    IdeServicesParts& operator=(const IdeServicesParts&) = delete;

    IdeActions& Actions() noexcept { return actions_; }
    IdeDesigners& Designers() noexcept { return designers_; }
    IdeSplashAbout& SplashAbout() noexcept { return splashAbout_; }

    // How many messages the IDE's own OnMessage handler has seen.
    std::size_t IdeHandlerMessageCount() const noexcept { return seen_; }

    // Posts one message, runs the application loop until the queue is
    // empty, and says what became of the message.
    std::string PostAndDescribe(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Presses a key with its modifiers ("Ctrl+S", "Shift+F1"): key-down and
    // key-up messages, as Windows sends them; a dispatched key runs the IDE
    // action with that shortcut. One line per message.
    std::vector<std::string> PressKey(TShortCut shortCut, HWND window);

    void RegisterCommands(ScenarioRunner& runner);
    void Collect(ServicesReport& report) const;

private:
    void IdeMessage(MSG& Msg, bool& Handled);

    TApplication& app_;
    TNativeServices& native_;
    IdeActions actions_;
    IdeDesigners designers_;
    IdeSplashAbout splashAbout_;
    std::size_t seen_ = 0;
};

} // namespace tvx::sim
