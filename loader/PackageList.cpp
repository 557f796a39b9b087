#include "loader/PackageList.h"

#include "host/win32/UniqueHandle.h"
#include "interop/Bstr.h"

#include <cstring>

namespace talvix {

std::u16string PackageListKeyPath()
{
    return u"Software\\Talvix\\Orvello\\" + std::u16string(HostIdeName) + u"\\Packages";
}

const char* DescribeLoadOrderSource(LoadOrderSource source) noexcept
{
    switch (source) {
    case LoadOrderSource::Value: return "LoadOrder value";
    case LoadOrderSource::Absent: return "LoadOrder absent, default";
    case LoadOrderSource::WrongType: return "LoadOrder not a REG_DWORD, default";
    case LoadOrderSource::WrongSize: return "LoadOrder not four bytes, default";
    case LoadOrderSource::KeyNotOpened: return "subkey could not be opened";
    }
    return "";
}

std::u16string DecodeDisplayName(DWORD type, const BYTE* data, DWORD size)
{
    if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ)
        return {};
    std::size_t chars = size / 2;
    chars = chars > 0 ? chars - 1 : 0;
    std::u16string text(chars, u'\0');
    if (chars)
        std::memcpy(text.data(), data, chars * sizeof(char16_t));
    return text;
}

std::pair<LONG, LoadOrderSource> DecodeLoadOrder(DWORD type, const BYTE* data, DWORD size)
{
    if (type != REG_DWORD)
        return {DefaultLoadOrder, LoadOrderSource::WrongType};
    if (size != sizeof(LONG))
        return {DefaultLoadOrder, LoadOrderSource::WrongSize};
    LONG value;
    std::memcpy(&value, data, sizeof value);
    return {value, LoadOrderSource::Value};
}

namespace {

// Reads a whole value into `buffer`, which callers keep between values:
// most fit what it already holds and take one registry call. The value's
// size, or nothing when it is absent or unreadable.
std::optional<DWORD> QueryValue(HKEY key, const char16_t* name, DWORD& type, std::vector<BYTE>& buffer)
{
    constexpr std::size_t kFirstRead = 128;
    if (buffer.size() < kFirstRead)
        buffer.resize(kFirstRead);
    DWORD size = DWORD(buffer.size());
    LSTATUS status = RegQueryValueExW(key, tvx::AsOleChar(name), nullptr, &type, buffer.data(), &size);
    if (status == ERROR_MORE_DATA) {
        buffer.resize(size);
        // The value may change between the two calls; take what the second gives.
        status = RegQueryValueExW(key, tvx::AsOleChar(name), nullptr, &type, buffer.data(), &size);
    }
    if (status != ERROR_SUCCESS)
        return std::nullopt;
    return size;
}

// The texts in sorted order: entry x is the one that was at from[x].
std::vector<std::u16string> Permuted(std::vector<std::u16string> texts, const std::vector<std::size_t>& from)
{
    std::vector<std::u16string> sorted(texts.size());
    for (std::size_t x = 0; x < texts.size(); ++x)
        sorted[x] = std::move(texts[from[x]]);
    return sorted;
}

std::optional<std::vector<std::u16string>> EnumerateSubkeys(HKEY key)
{
    std::vector<std::u16string> names;
    DWORD count = 0, maxLength = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &count, &maxLength, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    std::vector<char16_t> buffer(std::size_t(maxLength) + 1);
    for (DWORD index = 0;; ++index) {
        DWORD length = DWORD(buffer.size());
        LSTATUS status =
            RegEnumKeyExW(key, index, tvx::AsOleChar(buffer.data()), &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status == ERROR_MORE_DATA) {
            buffer.resize(buffer.size() * 2);
            --index;
            continue;
        }
        if (status != ERROR_SUCCESS)
            return std::nullopt;
        names.emplace_back(buffer.data(), length);
    }
    return names;
}

} // namespace

std::optional<PackageList> ReadPackageList()
{
    const std::u16string path = PackageListKeyPath();
    tvx::UniqueHKey listKey;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, tvx::AsOleChar(path.c_str()), 0, KEY_READ, listKey.put()) != ERROR_SUCCESS)
        return std::nullopt;

    PackageList list;
    auto names = EnumerateSubkeys(listKey.get());
    if (!names)
        return std::nullopt;
    list.SubkeyNames = std::move(*names);

    const std::size_t count = list.SubkeyNames.size();
    list.LoadOrders.assign(count, 0);
    list.Sources.assign(count, LoadOrderSource::KeyNotOpened);
    list.DisplayNames.assign(count, std::u16string());
    std::vector<BYTE> buffer;
    for (std::size_t x = 0; x < count; ++x) {
        tvx::UniqueHKey subkey;
        // A subkey that cannot be opened keeps its place with load order 0
        // and an empty display name, so the lists stay parallel. Opened
        // from the list key: the path is not walked again for each one.
        if (RegOpenKeyExW(listKey.get(), tvx::AsOleChar(list.SubkeyNames[x].c_str()), 0, KEY_READ, subkey.put()) !=
            ERROR_SUCCESS)
            continue;
        DWORD type = REG_NONE;
        if (auto size = QueryValue(subkey.get(), u"LoadOrder", type, buffer)) {
            auto [order, source] = DecodeLoadOrder(type, buffer.data(), *size);
            list.LoadOrders[x] = order;
            list.Sources[x] = source;
        } else {
            list.LoadOrders[x] = DefaultLoadOrder;
            list.Sources[x] = LoadOrderSource::Absent;
        }
        if (auto size = QueryValue(subkey.get(), nullptr, type, buffer))
            list.DisplayNames[x] = DecodeDisplayName(type, buffer.data(), *size);
    }

    if (count > 1) {
        // The exchanges run on positions; each text then moves once.
        std::vector<std::size_t> from(count);
        for (std::size_t x = 0; x < count; ++x)
            from[x] = x;
        SortPackageList(list.LoadOrders, int(count) - 1, from, list.Sources);
        list.SubkeyNames = Permuted(std::move(list.SubkeyNames), from);
        list.DisplayNames = Permuted(std::move(list.DisplayNames), from);
    }
    return list;
}

} // namespace talvix
