// Parsing .reg files in the format regedit writes (version 5 and REGEDIT4),
// with a message that names the line and what is wrong with it.
#include "RegFileParse.h"
#include "RegFileText.h"

#include "interop/Utf.h"

namespace tvx::win32::detail {

[[noreturn]] void Fail(int line, std::string message) { throw ParseFailure{line, std::move(message)}; }

std::string Quote(std::u16string_view text)
{
    constexpr std::size_t kMax = 40;
    std::string out = "'" + Utf16ToUtf8(text.substr(0, kMax));
    return out + (text.size() > kMax ? "...'" : "'");
}

namespace {

struct Line {
    std::u16string_view text;
    int number = 0;
};

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string_view TrimLeft(std::u16string_view s)
{
    while (!s.empty() && IsSpace(s.front()))
        s.remove_prefix(1);
    return s;
}

std::u16string_view TrimRight(std::u16string_view s)
{
    while (!s.empty() && IsSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

int HexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

bool StartsWithNoCase(std::u16string_view s, std::u16string_view prefix)
{
    return s.size() >= prefix.size() && Fold(s.substr(0, prefix.size())) == Fold(prefix);
}

std::vector<Line> SplitLines(std::u16string_view text)
{
    std::vector<Line> lines;
    int number = 1;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != u'\r' && text[i] != u'\n')
            continue;
        Line line{text.substr(start, i - start), number++};
        if (line.text.find(u'\0') != std::u16string_view::npos)
            Fail(line.number, "the line contains a NUL character; this is not a text file");
        lines.push_back(line);
        if (i + 1 < text.size() && text[i] == u'\r' && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    return lines;
}

HKEY RootByName(std::u16string_view name)
{
    struct Root {
        std::u16string_view full, shortName;
        HKEY key;
    };
    // regedit writes the full names; the short ones are a convenience for
    // hand-written files.
    static const Root roots[] = {
        {u"HKEY_LOCAL_MACHINE", u"HKLM", HKEY_LOCAL_MACHINE},
        {u"HKEY_CURRENT_USER", u"HKCU", HKEY_CURRENT_USER},
        {u"HKEY_CLASSES_ROOT", u"HKCR", HKEY_CLASSES_ROOT},
        {u"HKEY_USERS", u"HKU", HKEY_USERS},
    };
    std::u16string folded = Fold(name);
    for (auto& root : roots)
        if (folded == root.full || folded == root.shortName)
            return root.key;
    return nullptr;
}

// "..." with regedit's two escapes, \\ and \". pos starts on the opening quote
// and ends after the closing one.
std::u16string ParseQuoted(std::u16string_view s, std::size_t& pos, int line, const char* what)
{
    std::u16string out;
    for (++pos; pos < s.size(); ++pos) {
        char16_t c = s[pos];
        if (c == u'"') {
            ++pos;
            return out;
        }
        if (c == u'\\') {
            if (++pos == s.size())
                break;
            if (s[pos] != u'\\' && s[pos] != u'"')
                Fail(line, std::string("unknown escape ") + Quote(s.substr(pos - 1, 2)) + " in " + what +
                               "; a backslash is written as '\\\\'");
            c = s[pos];
        }
        out += c;
    }
    Fail(line, std::string("the ") + what + " has no closing quote");
}

void ExpectEnd(std::u16string_view rest, int line, const std::string& after)
{
    if (!TrimLeft(rest).empty())
        Fail(line, std::string("unexpected text ") + Quote(TrimLeft(rest)) + " after " + after);
}

class Parser {
public:
    explicit Parser(std::u16string_view text)
    {
        if (!text.empty() && text.front() == u'\xFEFF')
            text.remove_prefix(1);
        lines_ = SplitLines(text);
    }

    std::vector<RegFileOp> Parse()
    {
        std::u16string_view header = TrimRight(lines_.front().text);
        if (header == kHeaderVersion5)
            regedit4_ = false;
        else if (header == kHeaderRegedit4)
            regedit4_ = true;
        else
            Fail(1, "not a registry file: the first line must be 'Windows Registry Editor Version 5.00' or "
                    "'REGEDIT4'");
        for (index_ = 1; index_ < lines_.size(); ++index_) {
            std::u16string_view text = TrimRight(TrimLeft(lines_[index_].text));
            int line = lines_[index_].number;
            if (text.empty() || text.front() == u';')
                continue;
            if (text.front() == u'[')
                ParseKey(text, line);
            else if (text.front() == u'@' || text.front() == u'"')
                ParseValue(text, line);
            else
                Fail(line, "expected a [key], a value or a ';' comment, found " + Quote(text));
        }
        return std::move(ops_);
    }

private:
    void ParseKey(std::u16string_view text, int line)
    {
        std::size_t close = text.rfind(u']');
        if (close == std::u16string_view::npos)
            Fail(line, "the key name has no closing ']'");
        ExpectEnd(text.substr(close + 1), line, "the key name");
        std::u16string_view name = text.substr(1, close - 1);
        RegFileOp op;
        op.line = line;
        op.kind = RegFileOp::OpenKey;
        if (!name.empty() && name.front() == u'-') {
            op.kind = RegFileOp::DeleteKey;
            name.remove_prefix(1);
        }
        std::size_t slash = name.find(u'\\');
        std::u16string_view rootName = name.substr(0, slash);
        op.root = RootByName(rootName);
        if (!op.root)
            Fail(line, "unknown root key " + Quote(rootName) +
                           "; expected HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_CLASSES_ROOT or HKEY_USERS");
        std::vector<std::u16string_view> parts;
        LSTATUS rc = SplitKeyPath(slash == std::u16string_view::npos ? u"" : name.substr(slash + 1), parts);
        if (rc == ERROR_BAD_PATHNAME)
            Fail(line, "the key path " + Quote(name) + " has an empty name between backslashes");
        if (rc != ERROR_SUCCESS)
            Fail(line, "the key path " + Quote(name) +
                           " has a name longer than 255 characters or is nested "
                           "deeper than 512 levels");
        if (op.kind == RegFileOp::DeleteKey && parts.empty())
            Fail(line, "a root key cannot be deleted");
        op.path.assign(parts.begin(), parts.end());
        currentKeyOpen_ = op.kind == RegFileOp::OpenKey;
        ops_.push_back(std::move(op));
    }

    void ParseValue(std::u16string_view text, int line)
    {
        if (!currentKeyOpen_)
            Fail(line, "a value must follow a [key] line");
        RegFileOp op;
        op.line = line;
        std::size_t pos = 0;
        if (text.front() == u'"')
            op.name = ParseQuoted(text, pos, line, "value name");
        else
            pos = 1; // past '@'

        pos = text.size() - TrimLeft(text.substr(pos)).size();
        if (pos == text.size() || text[pos] != u'=')
            Fail(line, "expected '=' after the value name");
        if (op.name.size() > kMaxValueNameChars)
            Fail(line, "the value name is longer than 16383 characters");
        std::u16string_view data = TrimLeft(text.substr(pos + 1));
        if (data == u"-") {
            op.kind = RegFileOp::DeleteValue;
        } else if (!data.empty() && data.front() == u'"') {
            std::size_t end = 0;
            std::u16string value = ParseQuoted(data, end, line, "string");
            ExpectEnd(data.substr(end), line, "the string");
            op.kind = RegFileOp::SetValue;
            op.type = REG_SZ;
            StoreText(value + u'\0', op.data);
        } else if (StartsWithNoCase(data, u"dword:")) {
            op.kind = RegFileOp::SetValue;
            op.type = REG_DWORD;
            DWORD value = ParseHexNumber(data.substr(6), line, "dword");
            for (int i = 0; i < 4; ++i)
                op.data.push_back(BYTE(value >> (8 * i)));
        } else if (StartsWithNoCase(data, u"hex")) {
            op.kind = RegFileOp::SetValue;
            ParseHexValue(data.substr(3), line, op);
        } else {
            Fail(line, "unrecognised value data " + Quote(data) +
                           "; expected \"text\", dword:, hex:, hex(n): or - to delete");
        }
        ops_.push_back(std::move(op));
    }

    static void StoreText(std::u16string_view text, std::vector<BYTE>& out)
    {
        for (char16_t c : text) {
            out.push_back(BYTE(c & 0xFF));
            out.push_back(BYTE(c >> 8));
        }
    }

    // Up to eight hex digits and nothing after them.
    static DWORD ParseHexNumber(std::u16string_view digits, int line, const char* what)
    {
        std::size_t n = 0;
        DWORD value = 0;
        while (n < digits.size() && HexDigit(digits[n]) >= 0) {
            if (n == 8)
                Fail(line, std::string("the ") + what + " value has more than eight hex digits");
            value = (value << 4) | DWORD(HexDigit(digits[n++]));
        }
        if (n == 0)
            Fail(line, std::string("the ") + what + " value has no hex digits");
        ExpectEnd(digits.substr(n), line, std::string("the ") + what + " value");
        return value;
    }

    // After "hex": ":" for REG_BINARY or "(type):" for any other type.
    void ParseHexValue(std::u16string_view rest, int line, RegFileOp& op)
    {
        op.type = REG_BINARY;
        if (!rest.empty() && rest.front() == u'(') {
            std::size_t close = rest.find(u')');
            if (close == std::u16string_view::npos)
                Fail(line, "hex( has no closing ')'");
            op.type = ParseHexNumber(rest.substr(1, close - 1), line, "hex(type)");
            rest.remove_prefix(close + 1);
        }
        if (rest.empty() || rest.front() != u':')
            Fail(line, "expected ':' after hex or hex(type)");
        ParseHexBytes(rest.substr(1), op.data);
        // REGEDIT4 keeps strings in hex as ANSI bytes; the registry holds UTF-16.
        if (regedit4_ && (op.type == REG_SZ || op.type == REG_EXPAND_SZ || op.type == REG_MULTI_SZ)) {
            std::u16string text =
                AnsiToUnicode(std::string_view(reinterpret_cast<const char*>(op.data.data()), op.data.size()));
            op.data.clear();
            StoreText(text, op.data);
        }
    }

    // Comma-separated bytes of one or two hex digits; a backslash at the end
    // of a line continues the list on the next line.
    void ParseHexBytes(std::u16string_view rest, std::vector<BYTE>& out)
    {
        bool needComma = false;
        for (;;) {
            int line = lines_[index_].number;
            bool continued = false;
            std::size_t i = 0;
            while (i < rest.size()) {
                char16_t c = rest[i];
                if (IsSpace(c)) {
                    ++i;
                } else if (c == u'\\') {
                    ExpectEnd(rest.substr(i + 1), line, "the continuation backslash");
                    continued = true;
                    break;
                } else if (c == u',') {
                    if (!needComma)
                        Fail(line, "a byte is missing before ','");
                    needComma = false;
                    ++i;
                } else if (HexDigit(c) >= 0) {
                    if (needComma)
                        Fail(line, "expected ',' between bytes");
                    std::size_t n = 0;
                    int value = 0;
                    while (i + n < rest.size() && HexDigit(rest[i + n]) >= 0 && n < 3)
                        value = value * 16 + HexDigit(rest[i + n++]);
                    if (n > 2)
                        Fail(line, "a byte has more than two hex digits: " + Quote(rest.substr(i, 3)));
                    out.push_back(BYTE(value));
                    needComma = true;
                    i += n;
                } else {
                    Fail(line, "unexpected character " + Quote(rest.substr(i, 1)) + " in hex data");
                }
            }
            if (!continued)
                return;
            if (++index_ == lines_.size())
                Fail(line, "the file ends inside hex data continued with '\\'");
            rest = TrimRight(TrimLeft(lines_[index_].text));
            if (rest.empty())
                Fail(lines_[index_].number, "expected more hex data after the line ending in '\\'");
        }
    }

    std::vector<Line> lines_;
    std::size_t index_ = 0;
    bool regedit4_ = false;
    bool currentKeyOpen_ = false;
    std::vector<RegFileOp> ops_;
};

} // namespace

std::vector<RegFileOp> ParseRegText(std::u16string_view text) { return Parser(text).Parse(); }

} // namespace tvx::win32::detail
