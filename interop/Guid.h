// GUIDs parsed from their braced text at compile time, and formatted back to
// the canonical braced upper-case text.
#pragma once

#include "interop/ComBase.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tvx {

namespace detail {
constexpr int HexDigit(char32_t c) noexcept
{
    if (c >= '0' && c <= '9')
        return int(c - '0');
    if (c >= 'a' && c <= 'f')
        return int(c - 'a' + 10);
    if (c >= 'A' && c <= 'F')
        return int(c - 'A' + 10);
    return -1;
}

// Reads "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (38 characters, braces required).
template <class Char>
constexpr std::optional<GUID> ParseBraced(std::basic_string_view<Char> text) noexcept
{
    if (text.size() != 38 || text[0] != '{' || text[37] != '}')
        return std::nullopt;
    constexpr int dashes[] = {9, 14, 19, 24};
    for (int d : dashes)
        if (text[std::size_t(d)] != '-')
            return std::nullopt;
    auto hex = [&](std::size_t pos, std::size_t count, std::uint64_t& out) {
        out = 0;
        for (std::size_t i = 0; i < count; ++i) {
            int v = HexDigit(char32_t(text[pos + i]));
            if (v < 0)
                return false;
            out = out * 16 + std::uint64_t(v);
        }
        return true;
    };
    GUID g{};
    std::uint64_t v = 0;
    if (!hex(1, 8, v))
        return std::nullopt;
    g.Data1 = std::uint32_t(v);
    if (!hex(10, 4, v))
        return std::nullopt;
    g.Data2 = std::uint16_t(v);
    if (!hex(15, 4, v))
        return std::nullopt;
    g.Data3 = std::uint16_t(v);
    constexpr std::size_t bytePos[] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8; ++i) {
        if (!hex(bytePos[i], 2, v))
            return std::nullopt;
        g.Data4[i] = std::uint8_t(v);
    }
    return g;
}
} // namespace detail

// Compile-time parse; a malformed literal fails the build.
consteval GUID ParseGuid(std::string_view text)
{
    auto g = detail::ParseBraced(text);
    if (!g)
        throw std::invalid_argument("malformed GUID literal");
    return *g;
}

inline std::optional<GUID> TryParseGuid(std::string_view text) noexcept { return detail::ParseBraced(text); }
inline std::optional<GUID> TryParseGuid(std::u16string_view text) noexcept { return detail::ParseBraced(text); }

inline std::string FormatGuid(const GUID& g)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string s(38, '\0');
    std::size_t pos = 0;
    auto put = [&](std::uint64_t value, int count) {
        for (int i = count - 1; i >= 0; --i)
            s[pos++] = digits[(value >> (i * 4)) & 0xF];
    };
    s[pos++] = '{';
    put(g.Data1, 8);
    s[pos++] = '-';
    put(g.Data2, 4);
    s[pos++] = '-';
    put(g.Data3, 4);
    s[pos++] = '-';
    put(g.Data4[0], 2);
    put(g.Data4[1], 2);
    s[pos++] = '-';
    for (int i = 2; i < 8; ++i)
        put(g.Data4[i], 2);
    s[pos++] = '}';
    return s;
}

inline std::u16string FormatGuidW(const GUID& g)
{
    std::string s = FormatGuid(g);
    return std::u16string(s.begin(), s.end());
}

inline bool IsEqualGuid(const GUID& a, const GUID& b) noexcept
{
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 && a.Data4[0] == b.Data4[0] &&
           a.Data4[1] == b.Data4[1] && a.Data4[2] == b.Data4[2] && a.Data4[3] == b.Data4[3] &&
           a.Data4[4] == b.Data4[4] && a.Data4[5] == b.Data4[5] && a.Data4[6] == b.Data4[6] && a.Data4[7] == b.Data4[7];
}

// The one trait that gives an interface's identifier: IidOf<IBdsMenuItem>.
template <class T>
struct InterfaceId;

template <class T>
inline constexpr GUID IidOf = InterfaceId<T>::value;

} // namespace tvx

#define TVX_INTERFACE_ID(Interface, text)                                                                              \
    template <>                                                                                                        \
    struct tvx::InterfaceId<Interface> {                                                                               \
        static constexpr GUID value = tvx::ParseGuid(text);                                                            \
    };

// Declares an interop interface type and its identifier in one place.
#define TVX_DECLARE_INTERFACE(Interface, text)                                                                         \
    struct Interface;                                                                                                  \
    TVX_INTERFACE_ID(Interface, text)

TVX_INTERFACE_ID(IUnknown, "{00000000-0000-0000-C000-000000000046}")
TVX_INTERFACE_ID(IClassFactory, "{00000001-0000-0000-C000-000000000046}")
TVX_INTERFACE_ID(IErrorInfo, "{1CF2B120-547D-101B-8E65-08002B2BD119}")
TVX_INTERFACE_ID(ICreateErrorInfo, "{22F03340-547D-101B-8E65-08002B2BD119}")
TVX_INTERFACE_ID(IStream, "{0000000C-0000-0000-C000-000000000046}")
