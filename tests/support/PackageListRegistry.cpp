#include "tests/support/PackageListRegistry.h"

#include "interop/Utf.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tvx::test {

namespace {

std::string Narrow(std::u16string_view text) { return Utf16ToUtf8(text); }

// The key at `path`, made when missing.
LSTATUS CreateKey(HKEY root, std::u16string_view path, HKEY& key)
{
    return RegCreateKeyExW(root, std::u16string(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                           nullptr, &key, nullptr);
}

// Makes the key at `path` under HKEY_LOCAL_MACHINE, and writes a value there
// when given one; a failure is reported to the running test.
void WriteMachineKey(const std::u16string& path, const char16_t* name = nullptr, const RegistryValue* value = nullptr)
{
    HKEY key = nullptr;
    LSTATUS status =
        value ? WriteRegistryValue(HKEY_LOCAL_MACHINE, path, name, *value) : CreateKey(HKEY_LOCAL_MACHINE, path, key);
    if (key)
        RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        ADD_FAILURE() << "cannot write HKLM\\" << Narrow(path) << " " << (name ? Narrow(name) : "(default)")
                      << ": error " << status;
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

LSTATUS WriteRegistryValue(HKEY root, std::u16string_view path, const char16_t* name, const RegistryValue& value)
{
    HKEY key = nullptr;
    LSTATUS status = CreateKey(root, path, key);
    if (status != ERROR_SUCCESS)
        return status;
    status = RegSetValueExW(key, name, 0, value.Type, value.Data.data(), DWORD(value.Data.size()));
    RegCloseKey(key);
    return status;
}

void CreatePackageListKey() { WriteMachineKey(std::u16string(kPackageListKey)); }

void WritePackageListEntry(const PackageListEntry& entry)
{
    const std::u16string path = std::u16string(kPackageListKey) + u"\\" + entry.Subkey;
    WriteMachineKey(path);
    if (entry.DisplayName)
        WriteMachineKey(path, nullptr, &*entry.DisplayName);
    if (entry.LoadOrder)
        WriteMachineKey(path, u"LoadOrder", &*entry.LoadOrder);
}

void ListPackage(std::u16string_view subkey, std::u16string_view displayName, std::optional<LONG> loadOrder)
{
    PackageListEntry entry{std::u16string(subkey), TextValue(displayName), std::nullopt};
    if (loadOrder)
        entry.LoadOrder = DwordValue(std::uint32_t(*loadOrder));
    WritePackageListEntry(entry);
}

} // namespace tvx::test
