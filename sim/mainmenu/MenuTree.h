// The main menu as the report shows it: one record per item, children
// nested, read from the IDE's menu objects at one moment.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace tvx::sim {

struct MenuItemRecord {
    std::u16string Name;
    std::u16string Caption; // with its "&" marks
    bool Checked = false;
    bool Enabled = true;
    bool Visible = true;
    bool Separator = false;
    // Made through the menu bar service rather than by the IDE.
    bool PackageMade = false;
    int ShortCut = 0;
    std::u16string ShortCutText;
    int ImageIndex = -1;
    std::vector<MenuItemRecord> Items;
};

// One line per item, indented by depth: caption, [name], then its state.
std::string MenuTreeText(const std::vector<MenuItemRecord>& items, int indent);
nlohmann::json MenuTreeJson(const std::vector<MenuItemRecord>& items);

} // namespace tvx::sim
