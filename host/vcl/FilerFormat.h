// The binary form of a component stream as the VCL's filer writes it: the
// signature, the value type before each property value, and the flags an
// object may carry. Standard library only; the build's form-resource tool
// writes this format without the IDE stand-in.
#pragma once

#include <cstdint>
#include <string_view>

inline constexpr std::string_view FilerSignature = "TPF0";

enum TValueType : std::uint8_t {
    vaNull = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,
    vaString = 6,
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,
    vaSet = 11,
    vaLString = 12,
    vaNil = 13,
    vaCollection = 14,
    vaSingle = 15,
    vaCurrency = 16,
    vaDate = 17,
    vaWString = 18,
    vaInt64 = 19,
    vaUTF8String = 20,
    vaDouble = 21,
};

// An object flagged this way starts with one prefix byte, 0xF0 | flags;
// ffChildPos adds an integer value after it.
enum TFilerFlag : std::uint8_t { ffInherited = 1, ffChildPos = 2, ffInline = 4 };
inline constexpr std::uint8_t FilerPrefixMask = 0xF0;
