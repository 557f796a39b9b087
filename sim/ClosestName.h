// For a step that names something that is not there: the names that are,
// and the one the user most likely meant.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tvx::sim {

// The name with the fewest single-letter edits from `wanted`, ignoring
// case; the first of equals. Empty when there are no names.
std::u16string ClosestName(const std::vector<std::u16string>& names, std::u16string_view wanted);

// "; its items: A, B, C; closest: B", or "; it has no items".
std::string NamesThereText(const std::vector<std::u16string>& names, std::u16string_view wanted);

} // namespace tvx::sim
