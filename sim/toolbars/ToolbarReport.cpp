#include "sim/toolbars/ToolbarReport.h"

#include "interop/Utf.h"

#include <sstream>

namespace tvx::sim {

namespace {

std::string U8(const std::u16string& s) { return Utf16ToUtf8(s); }

std::string Quoted(const std::u16string& s) { return "\"" + U8(s) + "\""; }

} // namespace

std::string ToolbarControlText(const ToolbarControlRecord& c)
{
    std::ostringstream out;
    out << c.Kind << " [" << U8(c.Name) << "]";
    if (!c.Caption.empty())
        out << " " << Quoted(c.Caption);
    if (!c.Hint.empty())
        out << " hint " << Quoted(c.Hint);
    if (!c.Visible)
        out << ", hidden";
    if (!c.Enabled)
        out << ", disabled";
    if (c.Down)
        out << ", down";
    if (c.ImageIndex >= 0)
        out << ", image " << c.ImageIndex;
    if (c.Kind == "combo" || c.Kind == "list") {
        out << ", text " << Quoted(c.Text) << ", item " << c.ItemIndex << ", items (";
        for (std::size_t i = 0; i < c.Items.size(); ++i)
            out << (i ? ", " : "") << Quoted(c.Items[i]);
        out << ")";
    }
    return out.str();
}

std::string ToolbarsText(const std::vector<ToolbarRecord>& toolbars, int indent)
{
    std::ostringstream out;
    const std::string pad(std::size_t(indent), ' ');
    for (const auto& t : toolbars) {
        out << pad << "[" << U8(t.Name) << "] " << Quoted(t.Caption) << (t.Visible ? "" : ", hidden")
            << (t.Floating ? ", floating" : "") << ", at " << t.Left << "," << t.Top << " size " << t.Width << "x"
            << t.Height << "\n";
        for (const auto& c : t.Controls)
            out << pad << "    " << ToolbarControlText(c) << "\n";
    }
    return out.str();
}

nlohmann::json ToolbarsJson(const std::vector<ToolbarRecord>& toolbars)
{
    nlohmann::json list = nlohmann::json::array();
    for (const auto& t : toolbars) {
        nlohmann::json controls = nlohmann::json::array();
        for (const auto& c : t.Controls) {
            nlohmann::json control = {{"kind", c.Kind},     {"name", U8(c.Name)},        {"caption", U8(c.Caption)},
                                      {"hint", U8(c.Hint)}, {"enabled", c.Enabled},      {"visible", c.Visible},
                                      {"down", c.Down},     {"imageIndex", c.ImageIndex}};
            if (c.Kind == "combo" || c.Kind == "list") {
                nlohmann::json items = nlohmann::json::array();
                for (const auto& item : c.Items)
                    items.push_back(U8(item));
                control["items"] = items;
                control["text"] = U8(c.Text);
                control["itemIndex"] = c.ItemIndex;
            }
            controls.push_back(control);
        }
        list.push_back({{"name", U8(t.Name)},
                        {"caption", U8(t.Caption)},
                        {"visible", t.Visible},
                        {"floating", t.Floating},
                        {"left", t.Left},
                        {"top", t.Top},
                        {"width", t.Width},
                        {"height", t.Height},
                        {"controls", controls}});
    }
    return list;
}

} // namespace tvx::sim
