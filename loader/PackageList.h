// The registry list of product packages and its load order.
#pragma once

#include "host/win32/Win32.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace talvix {

// The name of the host IDE, the middle piece of the package list key.
inline constexpr std::u16string_view HostIdeName = u"RAD Studio XE";
inline constexpr LONG DefaultLoadOrder = 100;

// Software\Talvix\Orvello\RAD Studio XE\Packages under HKEY_LOCAL_MACHINE.
std::u16string PackageListKeyPath();

// How one listed package's load order was found, for reports.
enum class LoadOrderSource { Value, Absent, WrongType, WrongSize, KeyNotOpened };
const char* DescribeLoadOrderSource(LoadOrderSource source) noexcept;

// The package list in load order: parallel sequences, one entry per subkey.
struct PackageList {
    std::vector<std::u16string> SubkeyNames;
    std::vector<std::u16string> DisplayNames;
    std::vector<LONG> LoadOrders;
    std::vector<LoadOrderSource> Sources;
};

// Reads and sorts the list; nothing when the key cannot be opened or read.
std::optional<PackageList> ReadPackageList();

// A default value's data as a display name: only the registry text types
// count, the length is the byte size halved less one terminator, never
// below zero, and REG_EXPAND_SZ text is taken as stored.
std::u16string DecodeDisplayName(DWORD type, const BYTE* data, DWORD size);

// A LoadOrder value's data: a REG_DWORD of exactly four bytes, signed.
std::pair<LONG, LoadOrderSource> DecodeLoadOrder(DWORD type, const BYTE* data, DWORD size);

// Exchange sort, ascending by load order, over `orders[0..high]` and every
// parallel sequence at once. Equal orders are never exchanged directly, but
// the sort is not stable: entries between them can move them.
template <class... Sequences>
void SortPackageList(std::vector<LONG>& orders, int high, Sequences&... sequences)
{
    for (int i = 0; i <= high; ++i) {
        for (int j = i + 1; j <= high; ++j) {
            if (orders[std::size_t(j)] < orders[std::size_t(i)]) {
                std::swap(orders[std::size_t(i)], orders[std::size_t(j)]);
                (std::swap(sequences[std::size_t(i)], sequences[std::size_t(j)]), ...);
            }
        }
    }
}

} // namespace talvix
