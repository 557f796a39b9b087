#include "sim/mainmenu/MenuTree.h"

#include "interop/Utf.h"

namespace tvx::sim {

namespace {

std::string ItemLine(const MenuItemRecord& item)
{
    std::string line = item.Separator ? std::string("----") : Utf16ToUtf8(item.Caption);
    line += "  [" + Utf16ToUtf8(item.Name) + "]";
    if (item.Checked)
        line += "  checked";
    if (!item.Enabled)
        line += "  disabled";
    if (!item.Visible)
        line += "  hidden";
    if (!item.ShortCutText.empty())
        line += "  " + Utf16ToUtf8(item.ShortCutText);
    if (item.ImageIndex >= 0)
        line += "  image " + std::to_string(item.ImageIndex);
    if (item.PackageMade)
        line += "  (package)";
    return line;
}

} // namespace

std::string MenuTreeText(const std::vector<MenuItemRecord>& items, int indent)
{
    std::string out;
    for (const auto& item : items) {
        out += std::string(std::size_t(indent), ' ') + ItemLine(item) + "\n";
        out += MenuTreeText(item.Items, indent + 2);
    }
    return out;
}

nlohmann::json MenuTreeJson(const std::vector<MenuItemRecord>& items)
{
    nlohmann::json list = nlohmann::json::array();
    for (const auto& item : items)
        list.push_back({{"name", Utf16ToUtf8(item.Name)},
                        {"caption", Utf16ToUtf8(item.Caption)},
                        {"checked", item.Checked},
                        {"enabled", item.Enabled},
                        {"visible", item.Visible},
                        {"separator", item.Separator},
                        {"packageMade", item.PackageMade},
                        {"shortCut", item.ShortCut},
                        {"shortCutText", Utf16ToUtf8(item.ShortCutText)},
                        {"imageIndex", item.ImageIndex},
                        {"items", MenuTreeJson(item.Items)}});
    return list;
}

} // namespace tvx::sim
