// The VCL's message texts for the errors this subset raises, under the VCL's
// resource-string names, so that a message reads as the IDE would show it.
#pragma once

#include <string_view>

inline constexpr std::u16string_view SOperationAborted = u"Operation aborted";
inline constexpr std::u16string_view SIntfCastError = u"Interface not supported";
inline constexpr std::u16string_view SInvalidCast = u"Invalid class typecast";
inline constexpr std::u16string_view SInvalidFormat = u"Format '%s' invalid or incompatible with argument";
inline constexpr std::u16string_view SArgumentMissing = u"No argument for format '%s'";
inline constexpr std::u16string_view SOleError = u"OLE error %.8X";
inline constexpr std::u16string_view SAssignError = u"Cannot assign a %s to a %s";

inline constexpr std::u16string_view SListIndexError = u"List index out of bounds (%d)";
inline constexpr std::u16string_view SDuplicateItem = u"List does not allow duplicates ($0%x)";
inline constexpr std::u16string_view SDuplicateString = u"String list does not allow duplicates";
inline constexpr std::u16string_view SSortedListError = u"Operation not allowed on sorted list";

inline constexpr std::u16string_view SInvalidName = u"'%s' is not a valid component name";
inline constexpr std::u16string_view SDuplicateName = u"A component named %s already exists";
inline constexpr std::u16string_view SClassNotFound = u"Class %s not found";
inline constexpr std::u16string_view SDuplicateClass = u"A class named %s already exists";

inline constexpr std::u16string_view SUnknownProperty = u"Property %s does not exist";
inline constexpr std::u16string_view SInvalidPropertyType = u"Invalid property type: %s";
inline constexpr std::u16string_view SInvalidPropertyValue = u"Invalid property value";
inline constexpr std::u16string_view SReadOnlyProperty = u"Property is read-only";
inline constexpr std::u16string_view SInvalidPropertyPath = u"Invalid property path";

inline constexpr std::u16string_view SInvalidImage = u"Invalid stream format";
inline constexpr std::u16string_view SResNotFound = u"Resource %s not found";
inline constexpr std::u16string_view SPropertyException = u"Error reading %s%s%s: %s";

inline constexpr std::u16string_view SInvalidRegType = u"Invalid data type for '%s'";
inline constexpr std::u16string_view SRegGetDataFailed = u"Failed to get data for '%s'";
