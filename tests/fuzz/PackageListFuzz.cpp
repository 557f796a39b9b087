// The loader's read of the package list over values of any type and byte
// length: the display name (the default value) and LoadOrder of each
// listed subkey are set from the input, then the list is read back and
// checked against what the registry holds.
#include "FuzzCheck.h"

#include "loader/PackageList.h"

#include "host/win32/RegistryEmulation.h"
#include "host/win32/UniqueHandle.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

struct StoredValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

struct StoredPackage {
    std::u16string name; // as first created: the registry keeps that spelling
    std::optional<StoredValue> displayName;
    std::optional<StoredValue> loadOrder;
};

// Key and value names compare without case; the names made here are ASCII.
std::u16string Folded(std::u16string text)
{
    for (auto& c : text)
        if (c >= u'a' && c <= u'z')
            c = char16_t(c - 0x20);
    return text;
}

std::u16string SubkeyName(FuzzedDataProvider& in)
{
    std::string raw = in.ConsumeRandomLengthString(12);
    std::u16string name;
    for (char c : raw)
        if (c > ' ' && c < 0x7F && c != '\\')
            name += char16_t(c);
    return name.empty() ? u"P" : name;
}

DWORD ValueType(FuzzedDataProvider& in)
{
    // Mostly the types that exist, sometimes any number at all.
    return in.ConsumeBool() ? in.ConsumeIntegralInRange<DWORD>(REG_NONE, REG_QWORD) : in.ConsumeIntegral<DWORD>();
}

// What the read must give for a display name: text types only, the byte
// size halved less one terminator, little-endian code units.
std::u16string ExpectedDisplayName(const std::optional<StoredValue>& value)
{
    if (!value || (value->type != REG_SZ && value->type != REG_EXPAND_SZ && value->type != REG_MULTI_SZ))
        return {};
    std::size_t chars = value->data.size() / 2;
    chars = chars ? chars - 1 : 0;
    std::u16string text;
    for (std::size_t i = 0; i < chars; ++i)
        text += char16_t(value->data[2 * i] | (value->data[2 * i + 1] << 8));
    return text;
}

std::pair<LONG, talvix::LoadOrderSource> ExpectedLoadOrder(const std::optional<StoredValue>& value)
{
    using talvix::LoadOrderSource;
    if (!value)
        return {talvix::DefaultLoadOrder, LoadOrderSource::Absent};
    if (value->type != REG_DWORD)
        return {talvix::DefaultLoadOrder, LoadOrderSource::WrongType};
    if (value->data.size() != 4)
        return {talvix::DefaultLoadOrder, LoadOrderSource::WrongSize};
    std::uint32_t bits = std::uint32_t(value->data[0]) | std::uint32_t(value->data[1]) << 8 |
                         std::uint32_t(value->data[2]) << 16 | std::uint32_t(value->data[3]) << 24;
    return {LONG(std::int32_t(bits)), LoadOrderSource::Value};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    tvx::win32::ResetRegistry();
    const std::u16string listPath = talvix::PackageListKeyPath();
    tvx::UniqueHKey list;
    FUZZ_CHECK(RegCreateKeyExW(HKEY_LOCAL_MACHINE, listPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, list.put(),
                               nullptr) == ERROR_SUCCESS);

    std::map<std::u16string, StoredPackage> stored;
    const int writes = in.ConsumeIntegralInRange(0, 12);
    for (int w = 0; w < writes && in.remaining_bytes(); ++w) {
        const std::u16string name = SubkeyName(in);
        tvx::UniqueHKey key;
        FUZZ_CHECK(RegCreateKeyExW(list.get(), name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                                   nullptr) == ERROR_SUCCESS);
        auto& package = stored.try_emplace(Folded(name), StoredPackage{name, {}, {}}).first->second;
        const int values = in.ConsumeIntegralInRange(0, 3);
        for (int v = 0; v < values; ++v) {
            static const char16_t* const kNames[] = {nullptr, u"", u"LoadOrder", u"LOADORDER", u"Other"};
            const char16_t* valueName = kNames[in.ConsumeIntegralInRange<std::size_t>(0, 4)];
            // Past 128 bytes the reader needs a second, larger read.
            const std::size_t length = in.ConsumeIntegralInRange<std::size_t>(0, 400);
            StoredValue value{ValueType(in), in.ConsumeBytes<BYTE>(length)};
            FUZZ_CHECK(RegSetValueExW(key.get(), valueName, 0, value.type, value.data.data(),
                                      DWORD(value.data.size())) == ERROR_SUCCESS);
            if (!valueName || !*valueName)
                package.displayName = value;
            else if (Folded(valueName) == u"LOADORDER")
                package.loadOrder = value;
        }
    }
    list.reset();

    auto read = talvix::ReadPackageList();
    FUZZ_CHECK(read.has_value());
    const std::size_t count = read->SubkeyNames.size();
    FUZZ_CHECK(count == stored.size());
    FUZZ_CHECK(read->DisplayNames.size() == count && read->LoadOrders.size() == count && read->Sources.size() == count);
    FUZZ_CHECK(std::is_sorted(read->LoadOrders.begin(), read->LoadOrders.end()));
    std::map<std::u16string, int> seen;
    for (std::size_t k = 0; k < count; ++k) {
        auto found = stored.find(Folded(read->SubkeyNames[k]));
        FUZZ_CHECK(found != stored.end());
        FUZZ_CHECK(++seen[found->first] == 1);
        const StoredPackage& package = found->second;
        FUZZ_CHECK(read->SubkeyNames[k] == package.name);
        FUZZ_CHECK(read->DisplayNames[k] == ExpectedDisplayName(package.displayName));
        auto [order, source] = ExpectedLoadOrder(package.loadOrder);
        FUZZ_CHECK(read->LoadOrders[k] == order);
        FUZZ_CHECK(read->Sources[k] == source);
    }
    FUZZ_CHECK(tvx::win32::OpenRegistryHandleCount() == 0);
    return 0;
}
