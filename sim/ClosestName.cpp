#include "sim/ClosestName.h"

#include "host/vcl/SysUtils.h"
#include "interop/Utf.h"

#include <algorithm>
#include <numeric>

namespace tvx::sim {

namespace {

std::size_t EditDistance(std::u16string_view a, std::u16string_view b)
{
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

} // namespace

std::u16string ClosestName(const std::vector<std::u16string>& names, std::u16string_view wanted)
{
    std::u16string best;
    std::size_t bestDistance = 0;
    for (const std::u16string& name : names) {
        const std::size_t distance = EditDistance(LowerCase(name), LowerCase(wanted));
        if (best.empty() || distance < bestDistance) {
            best = name;
            bestDistance = distance;
        }
    }
    return best;
}

std::string NamesThereText(const std::vector<std::u16string>& names, std::u16string_view wanted)
{
    if (names.empty())
        return "; it has no items";
    std::string text = "; its items: ";
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i ? ", " : "") + Utf16ToUtf8(names[i]);
    return text + "; closest: " + Utf16ToUtf8(ClosestName(names, wanted));
}

} // namespace tvx::sim
