// The IDE's toolbars as the report shows them: one record per toolbar with
// its controls in toolbar order, read from the IDE's objects at one moment.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace tvx::sim {

struct ToolbarControlRecord {
    // button, check, dropdown, separator, divider, textbutton, combo (editable),
    // list (combo limited to its items), label, or the control's class name.
    std::string Kind;
    std::u16string Name;
    std::u16string Caption;
    std::u16string Hint;
    bool Enabled = true;
    bool Visible = true;
    bool Down = false;
    int ImageIndex = -1;
    // Combo boxes only.
    std::vector<std::u16string> Items;
    std::u16string Text;
    int ItemIndex = -1;
};

struct ToolbarRecord {
    std::u16string Name;
    std::u16string Caption;
    bool Visible = true;
    bool Floating = false;
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    std::vector<ToolbarControlRecord> Controls;
};

// One line per toolbar and one per control under it.
std::string ToolbarsText(const std::vector<ToolbarRecord>& toolbars, int indent);
// One line for one control, as scenario steps also print it.
std::string ToolbarControlText(const ToolbarControlRecord& control);
nlohmann::json ToolbarsJson(const std::vector<ToolbarRecord>& toolbars);

} // namespace tvx::sim
