// The simulated IDE's main menu: the top-level menus of RAD Studio XE with
// their named items, captions, shortcuts and separators, the image list its
// items draw from, the main action list, and the user's menu actions for
// scenarios.
//
// The IDE's own items are owned by the IDE's main form, as in the real IDE;
// items that packages add are owned by the main menu itself, which is how
// the report tells them apart.
#pragma once

#include "host/vcl/ImgList.h"
#include "host/vcl/Menus.h"
#include "sim/IdePart.h"
#include "sim/mainmenu/IdeActions.h"
#include "sim/mainmenu/MenuTree.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tvx::sim {

class SimulatedIde;

class IdeMainMenu final : public IdePart {
public:
    explicit IdeMainMenu(SimulatedIde& ide) : ide_(ide) {}
    ~IdeMainMenu() override;

    void Build() override;
    // Reads the menu for the report while the packages' items are there.
    void BeforeShutdown() override;
    // choose, menu-item, menu, key.
    void RegisterCommands(ScenarioRunner& runner) override;
    void AddToReport(Report& report) const override;

    // What the native services hand out.
    TMainMenu* Menu() const noexcept { return menuInUse_ ? menuInUse_ : menu_; }
    TCustomImageList* Images() const noexcept { return images_; }
    TCustomActionList* ActionList() const noexcept;
    // Benchmarks measure lookups over a menu or an action list of their own
    // shape; the IDE's own stay in place.
    void UseMenu(TMainMenu* menu) noexcept { menuInUse_ = menu; }
    void UseActionList(TCustomActionList* list) noexcept { actionsInUse_ = list; }

    IdeActions& Actions() noexcept { return *actions_; }

    // The item at a path of names separated by "\" (ignoring case, one
    // leading "\" allowed); an empty path is the root item. Null if absent.
    TMenuItem* Find(std::u16string_view path) const;
    // The names of the IDE's own items that ran, oldest first.
    const std::vector<String>& Executed() const noexcept { return executed_; }
    // Keyed by item name.
    IdeCommandHandlers& Commands() noexcept { return commands_; }

    // The whole tree as the report shows it.
    std::vector<MenuItemRecord> Tree() const;

    // The user opens the menus down to the item and clicks it; what
    // happened, one line each. An item the user cannot reach (hidden or
    // disabled, or under such a menu) is not clicked.
    std::vector<std::string> Choose(std::u16string_view path);
    // The item's state, one line.
    std::string Describe(std::u16string_view path) const;
    // The main form's menu takes a dispatched key before the action list
    // does; what its item did, in one line, or empty when the key goes on
    // to the actions.
    std::string HandleShortCut(TShortCut shortCut);

private:
    void IdeCommand(TObject* Sender);
    // Runs a click and adds what the IDE ran and the message boxes shown;
    // how many lines it added.
    template <class Click>
    std::size_t ClickAndDescribe(std::vector<std::string>& lines, Click&& click);
    // Follows the path; where it finds no item, `parent` is the item whose
    // children lack `missing`.
    TMenuItem* Walk(std::u16string_view path, TMenuItem*& parent, std::u16string_view& missing) const;
    // Raises a scenario error naming the component where the path failed.
    TMenuItem* Require(std::u16string_view path) const;

    SimulatedIde& ide_;
    std::unique_ptr<IdeActions> actions_;
    // Stands for the IDE's main form: owns the menu, its images and the
    // IDE's own items.
    TComponent* appBuilder_ = nullptr;
    TMainMenu* menu_ = nullptr;
    TImageList* images_ = nullptr;
    TMainMenu* menuInUse_ = nullptr;
    TCustomActionList* actionsInUse_ = nullptr;
    std::vector<String> executed_;
    IdeCommandHandlers commands_;
    std::vector<MenuItemRecord> atShutdown_;
};

} // namespace tvx::sim
