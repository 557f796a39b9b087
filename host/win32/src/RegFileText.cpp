// Text encodings of .reg files.
#include "RegFileText.h"

#include "host/win32/RegFile.h"
#include "interop/Utf.h"

namespace tvx::win32::detail {

namespace {

// Windows-1252 bytes 0x80..0x9F; the rest of the page equals Latin-1.
constexpr char16_t kAnsiHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Well-formed UTF-8 only: overlong forms, surrogates and code points past
// U+10FFFF are not, and ANSI text can look like them.
bool IsValidUtf8(std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        auto b = static_cast<unsigned char>(bytes[i]);
        std::size_t need = b < 0x80                   ? 1
                           : (b >= 0xC2 && b <= 0xDF) ? 2
                           : (b >= 0xE0 && b <= 0xEF) ? 3
                           : (b >= 0xF0 && b <= 0xF4) ? 4
                                                      : 0;
        if (!need || i + need > bytes.size())
            return false;
        for (std::size_t k = 1; k < need; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80)
                return false;
        if (need > 2) {
            auto second = static_cast<unsigned char>(bytes[i + 1]);
            if ((b == 0xE0 && second < 0xA0) || (b == 0xED && second > 0x9F) || (b == 0xF0 && second < 0x90) ||
                (b == 0xF4 && second > 0x8F))
                return false;
        }
        i += need;
    }
    return true;
}

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian)
{
    std::u16string text;
    text.reserve(bytes.size() / 2 + 1);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        auto a = static_cast<unsigned char>(bytes[i]);
        auto b = static_cast<unsigned char>(bytes[i + 1]);
        text += bigEndian ? char16_t((a << 8) | b) : char16_t((b << 8) | a);
    }
    // A torn last character is shown, not dropped silently.
    if (bytes.size() % 2)
        text += u'\xFFFD';
    return text;
}

} // namespace

char16_t AnsiToUnicode(unsigned char byte) noexcept
{
    return (byte >= 0x80 && byte <= 0x9F) ? kAnsiHigh[byte - 0x80] : char16_t(byte);
}

unsigned char UnicodeToAnsi(char16_t c) noexcept
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<unsigned char>(c);
    for (int i = 0; i < 32; ++i)
        if (kAnsiHigh[i] == c)
            return static_cast<unsigned char>(0x80 + i);
    return '?';
}

std::u16string AnsiToUnicode(std::string_view bytes)
{
    std::u16string text;
    text.reserve(bytes.size());
    for (char b : bytes)
        text += AnsiToUnicode(static_cast<unsigned char>(b));
    return text;
}

std::string UnicodeToAnsi(std::u16string_view text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (char16_t c : text)
        bytes += static_cast<char>(UnicodeToAnsi(c));
    return bytes;
}

std::u16string DecodeRegFileBytes(std::string_view bytes)
{
    if (bytes.substr(0, 2) == "\xFF\xFE")
        return DecodeUtf16(bytes.substr(2), false);
    if (bytes.substr(0, 2) == "\xFE\xFF")
        return DecodeUtf16(bytes.substr(2), true);
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        return Utf8ToUtf16(bytes.substr(3));
    if (bytes.size() >= 2 && bytes[0] != 0 && bytes[1] == 0)
        return DecodeUtf16(bytes, false);
    if (IsValidUtf8(bytes))
        return Utf8ToUtf16(bytes);
    return AnsiToUnicode(bytes);
}

} // namespace tvx::win32::detail

namespace tvx::win32 {

std::u16string DecodeTextFileBytes(std::string_view bytes) { return detail::DecodeRegFileBytes(bytes); }

} // namespace tvx::win32
