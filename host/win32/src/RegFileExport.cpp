// Writing .reg files in the layout regedit produces.
#include "RegFileText.h"
#include "RegistryStore.h"

#include "host/win32/RegFile.h"
#include "interop/Utf.h"

#include <fstream>
#include <new>

namespace tvx::win32 {

using namespace detail;

namespace {

struct ExportFailure {
    std::string message;
};

// regedit breaks hex data once a line reaches this many characters, which
// keeps every line, its trailing backslash included, within 80 columns.
constexpr std::size_t kHexBreakColumn = 77;

std::u16string Escaped(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size() + 2);
    for (char16_t c : text) {
        if (c == u'\\' || c == u'"')
            out += u'\\';
        out += c;
    }
    return out;
}

void RefuseLineBreaks(std::u16string_view name, const char* what)
{
    // The format has no escape for them; writing them would split the line.
    if (name.find_first_of(u"\r\n") != std::u16string_view::npos)
        throw ExportFailure{std::string("the ") + what + " '" + Utf16ToUtf8(name) +
                            "' contains a line break, which a .reg file cannot hold"};
}

// A REG_SZ that "..." reproduces byte for byte: whole characters, a single
// NUL at the very end, no line breaks. Anything else is written as hex(1)
// so that it survives a round trip.
bool AsQuotedString(const std::vector<BYTE>& data, std::u16string& text)
{
    if (data.size() < 2 || data.size() % 2)
        return false;
    text.assign(data.size() / 2 - 1, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = char16_t(data[2 * i] | (data[2 * i + 1] << 8));
    bool terminated = data[data.size() - 2] == 0 && data.back() == 0;
    return terminated && text.find_first_of(std::u16string_view(u"\0\r\n", 3)) == std::u16string::npos;
}

class Writer {
public:
    explicit Writer(RegFormat format) : regedit4_(format == RegFormat::Regedit4)
    {
        Line(regedit4_ ? kHeaderRegedit4 : kHeaderVersion5);
        Line({});
    }

    void Key(const RegKey& key, const std::u16string& path)
    {
        RefuseLineBreaks(path, "key");
        Line(u"[" + path + u"]");
        for (const RegValue& value : key.values)
            Value(value);
        Line({});
        for (const auto& sub : key.subkeys)
            Key(*sub, path + u'\\' + sub->name);
    }

    std::u16string Take() { return std::move(out_); }

private:
    void Line(std::u16string_view text)
    {
        out_ += text;
        out_ += u"\r\n";
    }

    void Value(const RegValue& value)
    {
        RefuseLineBreaks(value.name, "value name");
        std::u16string line = value.name.empty() ? u"@=" : u"\"" + Escaped(value.name) + u"\"=";
        std::u16string text;
        if (value.type == REG_SZ && AsQuotedString(value.data, text)) {
            Line(line + u"\"" + Escaped(text) + u"\"");
        } else if (value.type == REG_DWORD && value.data.size() == 4) {
            DWORD v = DWORD(value.data[0]) | DWORD(value.data[1]) << 8 | DWORD(value.data[2]) << 16 |
                      DWORD(value.data[3]) << 24;
            Line(line + u"dword:" + HexDigits(v, 8));
        } else {
            line += value.type == REG_BINARY ? u"hex:" : u"hex(" + HexDigits(value.type, 1) + u"):";
            HexBytes(line, HexData(value));
        }
    }

    // REGEDIT4 writes string types as ANSI bytes; what the code page lacks
    // becomes '?', as Windows converts.
    std::vector<BYTE> HexData(const RegValue& value) const
    {
        bool text = value.type == REG_SZ || value.type == REG_EXPAND_SZ || value.type == REG_MULTI_SZ;
        if (!regedit4_ || !text)
            return value.data;
        std::vector<BYTE> bytes;
        for (std::size_t i = 0; i + 1 < value.data.size(); i += 2)
            bytes.push_back(UnicodeToAnsi(char16_t(value.data[i] | (value.data[i + 1] << 8))));
        return bytes;
    }

    void HexBytes(std::u16string line, const std::vector<BYTE>& bytes)
    {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            line += HexDigits(bytes[i], 2);
            if (i + 1 == bytes.size())
                break;
            line += u',';
            if (line.size() >= kHexBreakColumn) {
                Line(line + u"\\");
                line = u"  ";
            }
        }
        Line(line);
    }

    static std::u16string HexDigits(DWORD value, int minDigits)
    {
        static constexpr char16_t kDigits[] = u"0123456789abcdef";
        std::u16string out;
        for (int shift = 28; shift >= 0; shift -= 4)
            if ((value >> shift) || shift < 4 * minDigits || !out.empty())
                out += kDigits[(value >> shift) & 0xF];
        return out;
    }

    bool regedit4_;
    std::u16string out_;
};

} // namespace

RegExportResult ExportRegText(HKEY root, std::u16string_view subKey, RegFormat format)
{
    try {
        auto& store = RegistryStore::Instance();
        auto lock = store.Lock();
        std::shared_ptr<RegKey> key = store.Root(root);
        if (!key)
            return RegExportResult{false, "only a predefined root key can be exported", {}};
        std::vector<std::u16string_view> parts;
        if (SplitKeyPath(subKey, parts) != ERROR_SUCCESS)
            return RegExportResult{false, "malformed key path '" + Utf16ToUtf8(subKey) + "'", {}};
        // The header spells each key as stored, whatever case the caller used.
        std::u16string path = RegistryStore::RootName(root);
        for (auto part : parts) {
            key = key->SubkeyPtr(Fold(part));
            if (!key)
                return RegExportResult{false, "key not found: '" + Utf16ToUtf8(subKey) + "'", {}};
            path += u'\\' + key->name;
        }
        Writer writer(format);
        writer.Key(*key, path);
        return RegExportResult{true, {}, writer.Take()};
    } catch (const ExportFailure& failure) {
        return RegExportResult{false, failure.message, {}};
    } catch (const std::bad_alloc&) {
        return RegExportResult{false, "out of memory", {}};
    }
}

RegFileResult ExportRegFile(const std::filesystem::path& path, HKEY root, std::u16string_view subKey, RegFormat format)
{
    RegExportResult exported = ExportRegText(root, subKey, format);
    if (!exported.ok)
        return RegFileResult{false, 0, exported.message};
    try {
        // regedit writes version 5 as UTF-16 LE with a BOM, REGEDIT4 as ANSI.
        std::string bytes;
        if (format == RegFormat::Version5) {
            bytes = "\xFF\xFE";
            for (char16_t c : exported.text) {
                bytes += char(c & 0xFF);
                bytes += char(c >> 8);
            }
        } else {
            bytes = UnicodeToAnsi(exported.text);
        }
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), std::streamsize(bytes.size()));
        out.close();
        if (!out)
            return RegFileResult{false, 0, "cannot write " + path.string()};
        return RegFileResult{true, 0, {}};
    } catch (const std::bad_alloc&) {
        return RegFileResult{false, 0, "out of memory"};
    }
}

} // namespace tvx::win32
