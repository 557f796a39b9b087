// Writes registry values byte by byte: the package list the loader reads, so
// a test can list exactly the odd entries a machine may hold, and any other key.
#pragma once

#include "host/win32/Win32.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tvx::test {

// Spelled out here rather than taken from the loader, so a wrong path there
// shows up as an empty list.
inline constexpr std::u16string_view kPackageListKey = u"Software\\Talvix\\Orvello\\RAD Studio XE\\Packages";

// A registry value as stored: its type and its bytes.
struct RegistryValue {
    DWORD Type = REG_NONE;
    std::vector<BYTE> Data;
};

// The UTF-16 bytes of `text`, without a terminator.
std::vector<BYTE> Utf16Bytes(std::u16string_view text);
// Text as regedit stores it: UTF-16 with one terminating NUL.
RegistryValue TextValue(std::u16string_view text, DWORD type = REG_SZ);
RegistryValue DwordValue(std::uint32_t value);
RegistryValue RawValue(DWORD type, std::vector<BYTE> data);

// Writes one value (a null name is the default value), making the key as needed.
LSTATUS WriteRegistryValue(HKEY root, std::u16string_view path, const char16_t* name, const RegistryValue& value);

// One subkey of the package list; an absent value is not written at all.
struct PackageListEntry {
    std::u16string Subkey;
    std::optional<RegistryValue> DisplayName;
    std::optional<RegistryValue> LoadOrder;
};

// Creates the package list key, empty until entries are written. Failures
// are reported to the running test.
void CreatePackageListKey();
void WritePackageListEntry(const PackageListEntry& entry);
// The usual entry: a REG_SZ display name and a REG_DWORD load order, absent when null.
void ListPackage(std::u16string_view subkey, std::u16string_view displayName, std::optional<LONG> loadOrder);

} // namespace tvx::test
