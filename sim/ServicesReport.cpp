#include "sim/ServicesReport.h"

#include "interop/Utf.h"
#include "sim/Report.h"

namespace tvx::sim {

namespace {

std::string U8(const std::u16string& s) { return Utf16ToUtf8(s); }

std::string Quoted(const std::u16string& s) { return "\"" + Escaped(s) + "\""; }

// The licence details both kinds of entry carry, as one line.
std::string LicenceLine(bool unregistered, const std::u16string& status, const std::u16string& sku)
{
    std::string line = unregistered ? "unregistered" : "registered";
    if (!status.empty())
        line += ", licence " + Quoted(status);
    if (!sku.empty())
        line += ", SKU " + Quoted(sku);
    return line;
}

} // namespace

void ServicesReport::AddJson(nlohmann::json& j) const
{
    auto& splash = j["splashScreen"] = nlohmann::json::array();
    for (const auto& s : Splash)
        splash.push_back({{"caption", U8(s.Caption)},
                          {"bitmap", s.HasBitmap},
                          {"unregistered", s.IsUnRegistered},
                          {"licenseStatus", U8(s.LicenseStatus)},
                          {"skuName", U8(s.SKUName)}});
    auto& about = j["aboutBox"] = nlohmann::json::array();
    for (const auto& a : About)
        about.push_back({{"kind", a.IsProduct ? "product" : "plugin"},
                         {"dialogTitle", U8(a.DialogTitle)},
                         {"copyright", U8(a.Copyright)},
                         {"title", U8(a.Title)},
                         {"description", U8(a.Description)},
                         {"aboutImage", a.HasAboutImage},
                         {"productImage", a.HasProductImage},
                         {"unregistered", a.IsUnRegistered},
                         {"licenseStatus", U8(a.LicenseStatus)},
                         {"skuName", U8(a.SKUName)}});
    auto& help = j["helpKeywords"] = nlohmann::json::array();
    for (const auto& k : HelpKeywords)
        help.push_back(U8(k));
    auto& actions = j["executedActions"] = nlohmann::json::array();
    for (const auto& a : ExecutedActions)
        actions.push_back(U8(a));
}

void ServicesReport::AddText(std::ostream& out) const
{
    out << "\nSplash screen plug-in lines (" << Splash.size() << "):\n";
    for (const auto& s : Splash) {
        out << "  " << Quoted(s.Caption) << (s.HasBitmap ? " with bitmap" : " without bitmap") << "\n";
        out << "      " << LicenceLine(s.IsUnRegistered, s.LicenseStatus, s.SKUName) << "\n";
    }

    out << "\nAbout box entries (" << About.size() << "):\n";
    for (const auto& a : About) {
        out << "  " << (a.IsProduct ? "product " : "plug-in ") << Quoted(a.Title);
        if (!a.DialogTitle.empty())
            out << " in dialog " << Quoted(a.DialogTitle);
        out << "\n";
        if (!a.Copyright.empty())
            out << "      " << Quoted(a.Copyright) << "\n";
        if (!a.Description.empty())
            out << "      " << Quoted(a.Description) << "\n";
        out << "      " << LicenceLine(a.IsUnRegistered, a.LicenseStatus, a.SKUName)
            << (a.HasAboutImage ? ", about image" : "") << (a.HasProductImage ? ", product image" : "") << "\n";
    }

    if (!HelpKeywords.empty()) {
        out << "\nHelp keywords asked for:\n";
        for (const auto& k : HelpKeywords)
            out << "  " << Quoted(k) << "\n";
    }
    if (!ExecutedActions.empty()) {
        out << "\nIDE actions run by keys:\n";
        for (const auto& a : ExecutedActions)
            out << "  " << U8(a) << "\n";
    }
}

} // namespace tvx::sim
