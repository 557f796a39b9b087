// The simulated IDE's main menu: the top-level menus of RAD Studio XE with
// their named items, captions, shortcuts and separators, the image list its
// items draw from, and the user's menu actions for scenarios.
//
// The IDE's own items are owned by the IDE's main form, as in the real IDE;
// items that packages add are owned by the main menu itself, which is how
// the report tells them apart.
#pragma once

#include "host/vcl/ImgList.h"
#include "host/vcl/Menus.h"
#include "sim/MenuTree.h"
#include "sim/NativeServices.h"

#include <string>
#include <string_view>
#include <vector>

namespace tvx::sim {

class ScenarioRunner;

class IdeMainMenu {
public:
    // Builds the menu and hands it, with its images, to the native services.
    explicit IdeMainMenu(TNativeServices& services);
    ~IdeMainMenu();
    IdeMainMenu(const IdeMainMenu&) = delete;
    IdeMainMenu& operator=(const IdeMainMenu&) = delete;

    TMainMenu* Menu() const noexcept { return menu_; }
    TCustomImageList* Images() const noexcept { return images_; }

    // The item at a path of names separated by "\" (ignoring case, one
    // leading "\" allowed); an empty path is the root item. Null if absent.
    TMenuItem* Find(std::u16string_view path) const;
    // The names of the IDE's own items that ran, oldest first.
    const std::vector<String>& Executed() const noexcept { return executed_; }

    // The whole tree as the report shows it.
    std::vector<MenuItemRecord> Tree() const;

    // The user opens the menus down to the item and clicks it; what
    // happened, one line each. An item the user cannot reach (hidden or
    // disabled, or under such a menu) is not clicked.
    std::vector<std::string> Choose(std::u16string_view path);
    // The item's state, one line.
    std::string Describe(std::u16string_view path) const;

    // choose, menu-item, menu.
    void RegisterCommands(ScenarioRunner& runner);

private:
    void IdeCommand(TObject* Sender);
    TMenuItem* Require(std::u16string_view path) const;

    TNativeServices& services_;
    // Stands for the IDE's main form: owns the menu, its images and the
    // IDE's own items.
    TComponent* appBuilder_ = nullptr;
    TMainMenu* menu_ = nullptr;
    TImageList* images_ = nullptr;
    std::vector<String> executed_;
};

} // namespace tvx::sim
