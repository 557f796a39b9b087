// Text encodings of .reg files, shared by the reader and the writer.
#pragma once

#include <string>
#include <string_view>

namespace tvx::win32::detail {

inline constexpr std::u16string_view kHeaderVersion5 = u"Windows Registry Editor Version 5.00";
inline constexpr std::u16string_view kHeaderRegedit4 = u"REGEDIT4";

// Windows-1252, the ANSI code page REGEDIT4 files are written in. Its five
// unassigned bytes map to the same code points, as Windows maps them.
char16_t AnsiToUnicode(unsigned char byte) noexcept;
// The byte for c, or '?' when the code page has none, as Windows substitutes.
unsigned char UnicodeToAnsi(char16_t c) noexcept;

std::u16string AnsiToUnicode(std::string_view bytes);
std::string UnicodeToAnsi(std::u16string_view text);

// A file's bytes as text: the BOM decides (UTF-16 LE/BE, UTF-8); without
// one, UTF-16 LE is recognised by its zero bytes, then valid UTF-8 is taken
// as UTF-8 and anything else as ANSI.
std::u16string DecodeRegFileBytes(std::string_view bytes);

} // namespace tvx::win32::detail
