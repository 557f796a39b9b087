// The part of the session report about what packages did through the
// services root: splash and About entries, help requests, and the IDE
// actions that keys ran.
#pragma once

#include <nlohmann/json.hpp>

#include <ostream>
#include <string>
#include <vector>

namespace tvx::sim {

struct SplashLineRecord {
    std::u16string Caption;
    bool HasBitmap = false;
    bool IsUnRegistered = false;
    std::u16string LicenseStatus, SKUName;
};

struct AboutEntryRecord {
    bool IsProduct = false;
    std::u16string DialogTitle, Copyright, Title, Description;
    bool HasAboutImage = false, HasProductImage = false;
    bool IsUnRegistered = false;
    std::u16string LicenseStatus, SKUName;
};

struct ServicesReport {
    std::vector<SplashLineRecord> Splash;
    std::vector<AboutEntryRecord> About;
    std::vector<std::u16string> HelpKeywords;
    std::vector<std::u16string> ExecutedActions;

    void AddJson(nlohmann::json& j) const;
    void AddText(std::ostream& out) const;
};

} // namespace tvx::sim
