// The part of the session report that says where things were looked for in
// the registry: the package list's key, the keys under the vendor's key when
// the list is missing or empty, and the COM classes registered as in-proc
// servers, so that a misspelt key or class identifier shows next to the
// ones that exist.
#pragma once

#include <nlohmann/json.hpp>

#include <ostream>
#include <string>
#include <vector>

namespace tvx::sim {

// HKEY_CLASSES_ROOT\CLSID\{...} with an InprocServer32 default value.
struct RegisteredClassRecord {
    std::u16string Clsid;
    std::u16string Library;
};

struct RegistryRecord {
    // Where the loader looked for its package list, and what it found
    // there: read, missing or empty. Empty when the loader never said.
    std::u16string PackageListKey;
    std::string PackageListFound;
    // The keys under HKEY_LOCAL_MACHINE\Software\Talvix, as paths below
    // it, read only when the list is missing or empty.
    std::vector<std::u16string> VendorKeys;
    std::vector<RegisteredClassRecord> Classes;
    // False when the session stopped before the IDE started.
    bool Read = false;

    // The registered classes that differ from `clsid` in one hex digit.
    std::vector<RegisteredClassRecord> OneDigitOff(const std::u16string& clsid) const;
    bool IsRegistered(const std::u16string& clsid) const;

    void AddJson(nlohmann::json& j) const;
    void AddText(std::ostream& out) const;
};

// The vendor's key as the report names it.
inline constexpr char16_t kVendorKey[] = u"HKEY_LOCAL_MACHINE\\Software\\Talvix";

// Reads the classes, and the vendor's keys when the list was not read. On
// Windows only the classes `listed` names or comes one digit close to.
void ReadRegistry(RegistryRecord& record, const std::vector<std::u16string>& listed);

} // namespace tvx::sim
