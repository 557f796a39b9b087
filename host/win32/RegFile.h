// .reg files as regedit reads and writes them, over the emulated registry.
// Not part of Win32: the simulator and tests set the machine up with them.
#pragma once

#include "host/win32/Registry.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace tvx::win32 {

struct RegFileResult {
    bool ok = false;
    int line = 0;        // 1-based line at fault; 0 when the fault is not on a line
    std::string message; // empty on success
};

// Reads a whole file first and changes the registry only when all of it is
// well formed; a refused file changes nothing. Accepts UTF-16 LE/BE with a
// BOM, UTF-8 with or without one, and ANSI text. Write-deny marks do not
// apply: importing stands for setting the machine up. On Windows the system's
// own importer does it.
TVX_VISIBLE RegFileResult ImportRegFile(const std::filesystem::path& path);

// A text file's bytes as ImportRegFile reads them: the BOM decides (UTF-16
// LE/BE, UTF-8); without one, UTF-16 LE is recognised by its zero bytes,
// then valid UTF-8 is taken as UTF-8 and anything else as ANSI. For the
// simulator's other text files, which its users write with the same editors.
TVX_VISIBLE std::u16string DecodeTextFileBytes(std::string_view bytes);

#if !defined(_WIN32)

enum class RegFormat {
    // "Windows Registry Editor Version 5.00": UTF-16 LE files with a BOM;
    // hex(2)/hex(7) data are UTF-16 bytes.
    Version5,
    // "REGEDIT4": ANSI (Windows-1252) files; hex(1)/hex(2)/hex(7) data are
    // ANSI bytes, so text outside that code page does not survive.
    Regedit4,
};

struct RegExportResult {
    bool ok = false;
    std::string message;
    std::u16string text; // CRLF line ends, no byte-order mark
};

// The raw bytes of a file, decoded as ImportRegFile does.
TVX_VISIBLE RegFileResult ImportRegText(std::string_view bytes);
// Already decoded text.
TVX_VISIBLE RegFileResult ImportRegText(std::u16string_view text);

// root\subKey and everything below it, keys in enumeration order, values in
// creation order, hex data wrapped at 80 columns as regedit does. root is a
// predefined key.
TVX_VISIBLE RegExportResult ExportRegText(HKEY root, std::u16string_view subKey,
                                          RegFormat format = RegFormat::Version5);
// Writes the export with the encoding regedit uses for the format.
TVX_VISIBLE RegFileResult ExportRegFile(const std::filesystem::path& path, HKEY root, std::u16string_view subKey,
                                        RegFormat format = RegFormat::Version5);

#endif

} // namespace tvx::win32
