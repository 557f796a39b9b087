// The .reg reader on arbitrary bytes (any encoding, both headers). A refused
// file must leave the registry as it was; an accepted one must survive
// export -> import -> export unchanged, in either format.
#include "FuzzCheck.h"

#include "host/win32/RegFile.h"
#include "host/win32/RegistryEmulation.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace tvx::win32;

// HKEY_CLASSES_ROOT is a key of HKEY_LOCAL_MACHINE, so these hold everything.
const HKEY kRoots[] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_USERS};

// What was there before the file, so a refused file has something to spoil.
constexpr std::u16string_view kBase = u"Windows Registry Editor Version 5.00\r\n"
                                      u"[HKEY_LOCAL_MACHINE\\Software\\Base]\r\n"
                                      u"@=\"kept\"\r\n"
                                      u"\"Order\"=dword:00000007\r\n"
                                      u"[HKEY_CURRENT_USER\\Base]\r\n"
                                      u"\"Bytes\"=hex:01,02\r\n";

std::vector<std::u16string> Snapshot(RegFormat format)
{
    std::vector<std::u16string> texts;
    for (HKEY root : kRoots) {
        RegExportResult exported = ExportRegText(root, u"", format);
        FUZZ_CHECK(exported.ok);
        texts.push_back(std::move(exported.text));
    }
    return texts;
}

void ImportAll(const std::vector<std::u16string>& texts)
{
    ResetRegistry();
    for (const auto& text : texts)
        FUZZ_CHECK(ImportRegText(std::u16string_view(text)).ok);
}

std::string Utf16Bytes(std::u16string_view text, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : text) {
        char low = char(c & 0xFF), high = char(c >> 8);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ResetRegistry();
    FUZZ_CHECK(ImportRegText(kBase).ok);
    const auto before = Snapshot(RegFormat::Version5);

    RegFileResult result = ImportRegText(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!result.ok) {
        FUZZ_CHECK(!result.message.empty());
        FUZZ_CHECK(result.line >= 0);
        FUZZ_CHECK(Snapshot(RegFormat::Version5) == before);
        return 0;
    }
    FUZZ_CHECK(result.line == 0 && result.message.empty());

    // Version 5 text holds everything the registry does.
    const auto written = Snapshot(RegFormat::Version5);
    ImportAll(written);
    FUZZ_CHECK(Snapshot(RegFormat::Version5) == written);

    // The same text as the UTF-16 file regedit writes, in either byte order.
    for (bool bigEndian : {false, true}) {
        ResetRegistry();
        for (const auto& text : written)
            FUZZ_CHECK(ImportRegText(std::string_view(Utf16Bytes(text, bigEndian))).ok);
        FUZZ_CHECK(Snapshot(RegFormat::Version5) == written);
    }

    // REGEDIT4 loses what the ANSI code page cannot hold, once: what one
    // pass leaves must come back unchanged.
    ImportAll(written);
    ImportAll(Snapshot(RegFormat::Regedit4));
    const auto ansi = Snapshot(RegFormat::Regedit4);
    ImportAll(ansi);
    FUZZ_CHECK(Snapshot(RegFormat::Regedit4) == ansi);
    return 0;
}
