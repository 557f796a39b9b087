#include "sim/RegistryReport.h"

#include "host/vcl/SysUtils.h"
#include "host/win32/UniqueHandle.h"
#include "host/win32/Win32.h"
#include "interop/Bstr.h"
#include "interop/Utf.h"

#include <algorithm>
#include <optional>

namespace tvx::sim {

namespace {

std::string U8(const std::u16string& s) { return Utf16ToUtf8(s); }

// Deep enough for the package list's own path and a misspelling beside it.
constexpr int kVendorKeyDepth = 4;

std::vector<std::u16string> Subkeys(HKEY key)
{
    std::vector<std::u16string> names;
    char16_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = DWORD(std::size(name));
        LSTATUS status = RegEnumKeyExW(key, index, AsOleChar(name), &length, nullptr, nullptr, nullptr, nullptr);
        // Key names are at most 255 characters; a name that still does not
        // fit is skipped, any other failure ends the list.
        if (status == ERROR_SUCCESS)
            names.emplace_back(name, length);
        else if (status != ERROR_MORE_DATA)
            break;
    }
    return names;
}

std::optional<std::u16string> DefaultText(HKEY root, const std::u16string& path)
{
    DWORD size = 0;
    if (RegGetValueW(root, AsOleChar(path.c_str()), nullptr, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::u16string text(size / sizeof(char16_t) + 1, u'\0');
    size = DWORD(text.size() * sizeof(char16_t));
    if (RegGetValueW(root, AsOleChar(path.c_str()), nullptr, RRF_RT_REG_SZ, nullptr, text.data(), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    text.resize(std::char_traits<char16_t>::length(text.c_str()));
    return text;
}

void ReadKeysBelow(HKEY key, const std::u16string& prefix, int depth, std::vector<std::u16string>& out)
{
    for (const std::u16string& name : Subkeys(key)) {
        const std::u16string path = prefix.empty() ? name : prefix + u"\\" + name;
        out.push_back(path);
        tvx::UniqueHKey child;
        if (depth > 1 && RegOpenKeyExW(key, AsOleChar(name.c_str()), 0, KEY_READ, child.put()) == ERROR_SUCCESS)
            ReadKeysBelow(child.get(), path, depth - 1, out);
    }
}

bool OneDigitApart(std::u16string_view a, std::u16string_view b)
{
    const String x = UpperCase(a), y = UpperCase(b);
    if (x.size() != y.size())
        return false;
    std::size_t differences = 0;
    for (std::size_t i = 0; i < x.size() && differences < 2; ++i)
        differences += x[i] != y[i];
    return differences == 1;
}

} // namespace

std::vector<RegisteredClassRecord> RegistryRecord::OneDigitOff(const std::u16string& clsid) const
{
    std::vector<RegisteredClassRecord> close;
    for (const RegisteredClassRecord& c : Classes)
        if (OneDigitApart(c.Clsid, clsid))
            close.push_back(c);
    return close;
}

bool RegistryRecord::IsRegistered(const std::u16string& clsid) const
{
    return std::any_of(Classes.begin(), Classes.end(),
                       [&](const RegisteredClassRecord& c) { return SameText(c.Clsid, clsid); });
}

void ReadRegistry(RegistryRecord& record, const std::vector<std::u16string>& listed)
{
    record.Read = true;
    tvx::UniqueHKey classes;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, AsOleChar(u"CLSID"), 0, KEY_READ, classes.put()) == ERROR_SUCCESS)
        for (const std::u16string& clsid : Subkeys(classes.get())) {
#if defined(_WIN32)
            // The system's own registry holds thousands of classes: only the
            // ones the list names or comes close to are of interest.
            if (std::none_of(listed.begin(), listed.end(), [&](const std::u16string& subkey) {
                    return SameText(clsid, subkey) || OneDigitApart(clsid, subkey);
                }))
                continue;
#else
            (void)listed;
#endif
            if (auto library = DefaultText(classes.get(), clsid + u"\\InprocServer32"))
                record.Classes.push_back(RegisteredClassRecord{clsid, *library});
        }
    if (record.PackageListFound == "read")
        return;
    tvx::UniqueHKey vendor;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, AsOleChar(u"Software\\Talvix"), 0, KEY_READ, vendor.put()) == ERROR_SUCCESS)
        ReadKeysBelow(vendor.get(), u"", kVendorKeyDepth, record.VendorKeys);
}

void RegistryRecord::AddJson(nlohmann::json& j) const
{
    nlohmann::json classes = nlohmann::json::array();
    for (const auto& c : Classes)
        classes.push_back({{"clsid", U8(c.Clsid)}, {"library", U8(c.Library)}});
    nlohmann::json vendorKeys = nlohmann::json::array();
    for (const auto& key : VendorKeys)
        vendorKeys.push_back(U8(key));
    j["registry"] = {{"packageListKey", U8(PackageListKey)},
                     {"packageList", PackageListFound},
                     {"vendorKeys", vendorKeys},
                     {"registeredClasses", classes}};
}

void RegistryRecord::AddText(std::ostream& out) const
{
    if (!PackageListKey.empty()) {
        out << "\nPackage list: " << U8(PackageListKey) << " (" << PackageListFound << ")\n";
        if (PackageListFound != "read") {
            out << "  keys under " << U8(kVendorKey) << ":";
            out << (VendorKeys.empty() ? " none\n" : "\n");
            for (const auto& key : VendorKeys)
                out << "    " << U8(key) << "\n";
        }
    }
    if (!Read)
        return;
    out << "\nRegistered classes (" << Classes.size() << ", HKEY_CLASSES_ROOT\\CLSID with InprocServer32):\n";
    for (const auto& c : Classes)
        out << "  " << U8(c.Clsid) << "  " << U8(c.Library) << "\n";
}

} // namespace tvx::sim
