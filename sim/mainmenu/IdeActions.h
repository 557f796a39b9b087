// The simulated IDE's main action list: the standard File, Edit, Search,
// View, Project and Run commands with the IDE's default shortcuts, and key
// presses through the application loop that may run them.
#pragma once

#include "host/vcl/ActnList.h"
#include "host/vcl/Forms.h"

#include <string>
#include <vector>

namespace tvx::sim {

class ScenarioRunner;
class SimulatedIde;

// What the IDE does for one of its commands beyond recording that it ran:
// the parts built after the main menu (the tool windows) say it by name.
class IdeCommandHandlers {
public:
    // An empty handler forgets the name.
    void Set(const String& Name, const TNotifyEvent& Handler);
    void Run(const String& Name, TObject* Sender) const;

private:
    struct Entry {
        String Name;
        TNotifyEvent Handler;
    };
    std::vector<Entry> entries_;
};

class IdeActions {
public:
    explicit IdeActions(SimulatedIde& ide);
    ~IdeActions();
    IdeActions(const IdeActions&) = delete;
    IdeActions& operator=(const IdeActions&) = delete;

    TActionList* List() const noexcept { return list_; }
    // The action of that name, or null.
    TCustomAction* Find(const String& name) const noexcept;
    // The names of the actions that ran, oldest first.
    const std::vector<String>& Executed() const noexcept { return executed_; }
    // Keyed by action name.
    IdeCommandHandlers& Commands() noexcept { return commands_; }

    // What the IDE's main form does with a key the application dispatched:
    // the first action with that shortcut handles it. One line for the report.
    std::string HandleShortCut(TShortCut shortCut);
    bool HasShortCut(TShortCut shortCut) const noexcept;
    // Presses a key with its modifiers ("Ctrl+S", "Shift+F1"): key-down and
    // key-up messages, as Windows sends them; a dispatched key clicks the
    // menu item or runs the IDE action with that shortcut. One line per
    // message.
    std::vector<std::string> PressKey(TShortCut shortCut, HWND window);

    // key.
    void RegisterCommands(ScenarioRunner& runner);

private:
    void ActionExecute(TObject* Sender);

    SimulatedIde& ide_;
    TActionList* list_ = nullptr;
    std::vector<String> executed_;
    IdeCommandHandlers commands_;
};

} // namespace tvx::sim
