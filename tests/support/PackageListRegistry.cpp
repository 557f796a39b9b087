#include "tests/support/PackageListRegistry.h"

#include "interop/Utf.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tvx::test {

namespace {

std::string Narrow(std::u16string_view text) { return Utf16ToUtf8(text); }

// The key at `path` under HKEY_LOCAL_MACHINE, created when missing; null on failure.
HKEY CreateMachineKey(const std::u16string& path)
{
    HKEY key = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) {
        ADD_FAILURE() << "cannot create HKLM\\" << Narrow(path) << ": error " << status;
        return nullptr;
    }
    return key;
}

void WriteValue(HKEY key, const char16_t* name, const RegistryValue& value)
{
    LSTATUS status = RegSetValueExW(key, name, 0, value.Type, value.Data.data(), DWORD(value.Data.size()));
    if (status != ERROR_SUCCESS)
        ADD_FAILURE() << "cannot write value " << (name ? Narrow(name) : "(default)") << ": error " << status;
}

} // namespace

std::vector<BYTE> Utf16Bytes(std::u16string_view text)
{
    std::vector<BYTE> bytes(text.size() * sizeof(char16_t));
    if (!bytes.empty())
        std::memcpy(bytes.data(), text.data(), bytes.size());
    return bytes;
}

RegistryValue TextValue(std::u16string_view text, DWORD type)
{
    std::u16string terminated(text);
    terminated.push_back(u'\0');
    return {type, Utf16Bytes(terminated)};
}

RegistryValue DwordValue(std::uint32_t value)
{
    std::vector<BYTE> bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    return {REG_DWORD, bytes};
}

RegistryValue RawValue(DWORD type, std::vector<BYTE> data) { return {type, std::move(data)}; }

void CreatePackageListKey()
{
    if (HKEY key = CreateMachineKey(std::u16string(kPackageListKey)))
        RegCloseKey(key);
}

void WritePackageListEntry(const PackageListEntry& entry)
{
    HKEY key = CreateMachineKey(std::u16string(kPackageListKey) + u"\\" + entry.Subkey);
    if (!key)
        return;
    if (entry.DisplayName)
        WriteValue(key, nullptr, *entry.DisplayName);
    if (entry.LoadOrder)
        WriteValue(key, u"LoadOrder", *entry.LoadOrder);
    RegCloseKey(key);
}

void ListPackage(std::u16string_view subkey, std::u16string_view displayName, std::optional<LONG> loadOrder)
{
    PackageListEntry entry{std::u16string(subkey), TextValue(displayName), std::nullopt};
    if (loadOrder)
        entry.LoadOrder = DwordValue(std::uint32_t(*loadOrder));
    WritePackageListEntry(entry);
}

} // namespace tvx::test
