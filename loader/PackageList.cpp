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
    case LoadOrderSource::Value:
        return "LoadOrder value";
    case LoadOrderSource::Absent:
        return "LoadOrder absent, default";
    case LoadOrderSource::WrongType:
        return "LoadOrder not a REG_DWORD, default";
    case LoadOrderSource::WrongSize:
        return "LoadOrder not four bytes, default";
    case LoadOrderSource::KeyNotOpened:
        return "subkey could not be opened";
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

// The whole value, or nothing when it is absent or unreadable.
std::optional<std::vector<BYTE>> QueryValue(HKEY key, const char16_t* name, DWORD& type)
{
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::vector<BYTE> data(size);
    // The value may change between the two calls; take what the second gives.
    LSTATUS status = RegQueryValueExW(key, name, nullptr, &type, data.data(), &size);
    if (status != ERROR_SUCCESS)
        return std::nullopt;
    data.resize(size);
    return data;
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
        LSTATUS status = RegEnumKeyExW(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
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
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, listKey.put()) != ERROR_SUCCESS)
        return std::nullopt;

    PackageList list;
    auto names = EnumerateSubkeys(listKey.get());
    listKey.reset();
    if (!names)
        return std::nullopt;
    list.SubkeyNames = std::move(*names);

    const std::size_t count = list.SubkeyNames.size();
    list.LoadOrders.assign(count, 0);
    list.Sources.assign(count, LoadOrderSource::KeyNotOpened);
    list.DisplayNames.assign(count, std::u16string());
    for (std::size_t x = 0; x < count; ++x) {
        const std::u16string subkeyPath = path + u"\\" + list.SubkeyNames[x];
        tvx::UniqueHKey subkey;
        // A subkey that cannot be opened keeps its place with load order 0
        // and an empty display name, so the lists stay parallel.
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, subkeyPath.c_str(), 0, KEY_READ, subkey.put()) != ERROR_SUCCESS)
            continue;
        DWORD type = REG_NONE;
        if (auto data = QueryValue(subkey.get(), u"LoadOrder", type)) {
            auto [order, source] = DecodeLoadOrder(type, data->data(), DWORD(data->size()));
            list.LoadOrders[x] = order;
            list.Sources[x] = source;
        } else {
            list.LoadOrders[x] = DefaultLoadOrder;
            list.Sources[x] = LoadOrderSource::Absent;
        }
        if (auto data = QueryValue(subkey.get(), nullptr, type))
            list.DisplayNames[x] = DecodeDisplayName(type, data->data(), DWORD(data->size()));
    }

    if (count > 1)
        SortPackageList(list.LoadOrders, int(count) - 1, list.SubkeyNames, list.DisplayNames, list.Sources);
    return list;
}

} // namespace talvix
