#include "host/vcl/ObjectText.h"

#include "host/vcl/FilerFormat.h"
#include "interop/Utf.h"

#include <cstdint>
#include <limits>
#include <optional>

tvx::ObjectTextError::ObjectTextError(int Line, const std::string& Reason)
    : std::runtime_error("Line " + std::to_string(Line) + ": " + Reason), line_(Line), reason_(Reason)
{}

namespace {

using tvx::ObjectTextError;

enum class TokenKind { Identifier, Integer, String, Symbol, EndOfText };

struct Token {
    TokenKind kind = TokenKind::EndOfText;
    int line = 1;
    std::string identifier;
    long long integer = 0;
    std::u16string text;
    char symbol = 0;
};

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool SameIdent(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

class Lexer {
public:
    explicit Lexer(std::string_view text) : text_(text)
    {
        if (text_.starts_with("\xEF\xBB\xBF"))
            pos_ = 3;
    }

    Token Next()
    {
        SkipBlanks();
        Token t;
        t.line = line_;
        if (pos_ >= text_.size())
            return t;
        char c = text_[pos_];
        if (IsIdentStart(c)) {
            t.kind = TokenKind::Identifier;
            std::size_t start = pos_;
            while (pos_ < text_.size() && IsIdentChar(text_[pos_]))
                ++pos_;
            t.identifier = std::string(text_.substr(start, pos_ - start));
        } else if (IsDigit(c) || c == '$' ||
                   ((c == '-' || c == '+') && pos_ + 1 < text_.size() &&
                    (IsDigit(text_[pos_ + 1]) || text_[pos_ + 1] == '$'))) {
            t.kind = TokenKind::Integer;
            t.integer = ReadInteger();
        } else if (c == '\'' || c == '#') {
            t.kind = TokenKind::String;
            t.text = ReadString();
        } else if (static_cast<unsigned char>(c) < 0x80 && c > ' ') {
            t.kind = TokenKind::Symbol;
            t.symbol = c;
            ++pos_;
        } else {
            Fail("Invalid character");
        }
        return t;
    }

    [[noreturn]] void Fail(const std::string& reason) const { throw ObjectTextError(line_, reason); }

private:
    void SkipBlanks()
    {
        while (pos_ < text_.size() &&
               (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\r' || text_[pos_] == '\n')) {
            if (text_[pos_] == '\n')
                ++line_;
            ++pos_;
        }
    }

    long long ReadInteger()
    {
        bool negative = text_[pos_] == '-';
        if (text_[pos_] == '-' || text_[pos_] == '+')
            ++pos_;
        bool hex = text_[pos_] == '$';
        if (hex)
            ++pos_;
        unsigned long long value = 0;
        std::size_t digits = 0;
        for (; pos_ < text_.size(); ++pos_, ++digits) {
            char c = text_[pos_];
            int digit = IsDigit(c) ? c - '0' : -1;
            if (hex && digit < 0 && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
                digit = (c | 0x20) - 'a' + 10;
            if (digit < 0)
                break;
            value = value * (hex ? 16 : 10) + unsigned(digit);
            if (value > 0xFFFFFFFFull)
                Fail("Integer out of range");
        }
        if (digits == 0)
            Fail("Number expected");
        if (pos_ < text_.size() && (text_[pos_] == '.' || text_[pos_] == 'e' || text_[pos_] == 'E'))
            Fail("Floating-point values are not supported");
        if (pos_ < text_.size() && IsIdentChar(text_[pos_]))
            Fail("Invalid number");
        // $FFFFFFFF is how the VCL writes -1 in hex.
        if (hex && !negative)
            return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
        long long signedValue = negative ? -static_cast<long long>(value) : static_cast<long long>(value);
        if (signedValue < std::numeric_limits<std::int32_t>::min() ||
            signedValue > std::numeric_limits<std::int32_t>::max())
            Fail("Integer out of range");
        return signedValue;
    }

    // Quoted pieces and #nnn character codes, written next to each other.
    std::u16string ReadString()
    {
        std::u16string out;
        while (pos_ < text_.size() && (text_[pos_] == '\'' || text_[pos_] == '#')) {
            if (text_[pos_] == '#') {
                ++pos_;
                if (pos_ >= text_.size() || !(IsDigit(text_[pos_]) || text_[pos_] == '$'))
                    Fail("Invalid string constant");
                long long code = ReadInteger();
                if (code < 0 || code > 0xFFFF)
                    Fail("Invalid string constant");
                out += char16_t(code);
                continue;
            }
            std::string piece;
            for (++pos_;; ++pos_) {
                if (pos_ >= text_.size() || text_[pos_] == '\n' || text_[pos_] == '\r')
                    Fail("Unterminated string");
                if (text_[pos_] == '\'') {
                    if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
                        piece += '\'';
                        ++pos_;
                        continue;
                    }
                    ++pos_;
                    break;
                }
                piece += text_[pos_];
            }
            std::u16string decoded = tvx::Utf8ToUtf16(piece);
            // The converter maps bad bytes to U+FFFD; a round trip shows them.
            if (tvx::Utf16ToUtf8(decoded) != piece)
                Fail("Invalid UTF-8 in string");
            out += decoded;
        }
        return out;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

class Converter {
public:
    explicit Converter(std::string_view text) : lexer_(text) { Advance(); }

    std::vector<std::uint8_t> Run()
    {
        out_.assign(FilerSignature.begin(), FilerSignature.end());
        if (!IsObjectKeyword())
            Fail("'object' expected");
        ConvertObject();
        if (token_.kind != TokenKind::EndOfText)
            Fail("Text after the end of the object");
        return std::move(out_);
    }

private:
    void Advance() { token_ = lexer_.Next(); }
    [[noreturn]] void Fail(const std::string& reason) const { throw ObjectTextError(token_.line, reason); }

    bool IsKeyword(std::string_view word) const
    {
        return token_.kind == TokenKind::Identifier && SameIdent(token_.identifier, word);
    }
    bool IsObjectKeyword() const { return IsKeyword("object") || IsKeyword("inherited") || IsKeyword("inline"); }
    bool IsSymbol(char c) const { return token_.kind == TokenKind::Symbol && token_.symbol == c; }

    void ExpectSymbol(char c)
    {
        if (!IsSymbol(c))
            Fail(std::string("'") + c + "' expected");
        Advance();
    }

    std::string TakeIdentifier()
    {
        if (token_.kind != TokenKind::Identifier)
            Fail("Identifier expected");
        std::string name = token_.identifier;
        Advance();
        return name;
    }

    // A.B.C, as property paths and component references are written.
    std::string TakeDottedIdentifier()
    {
        std::string name = TakeIdentifier();
        while (IsSymbol('.')) {
            Advance();
            name += '.' + TakeIdentifier();
        }
        return name;
    }

    void WriteByte(std::uint8_t b) { out_.push_back(b); }

    void WriteShortString(const std::string& s)
    {
        if (s.size() > 255)
            Fail("Identifier longer than 255 characters");
        WriteByte(std::uint8_t(s.size()));
        out_.insert(out_.end(), s.begin(), s.end());
    }

    void WriteLittleEndian(std::uint32_t value, int bytes)
    {
        for (int i = 0; i < bytes; ++i)
            WriteByte(std::uint8_t(value >> (8 * i)));
    }

    void WriteInteger(long long value)
    {
        if (value >= -128 && value <= 127) {
            WriteByte(vaInt8);
            WriteLittleEndian(std::uint32_t(value), 1);
        } else if (value >= -32768 && value <= 32767) {
            WriteByte(vaInt16);
            WriteLittleEndian(std::uint32_t(value), 2);
        } else {
            WriteByte(vaInt32);
            WriteLittleEndian(std::uint32_t(value), 4);
        }
    }

    void WriteString(const std::u16string& s)
    {
        bool shortAscii = s.size() <= 255;
        for (char16_t c : s)
            shortAscii = shortAscii && c < 0x80;
        if (shortAscii) {
            WriteByte(vaString);
            WriteByte(std::uint8_t(s.size()));
            for (char16_t c : s)
                WriteByte(std::uint8_t(c));
            return;
        }
        WriteByte(vaWString);
        WriteLittleEndian(std::uint32_t(s.size()), 4);
        for (char16_t c : s)
            WriteLittleEndian(c, 2);
    }

    void ConvertObject()
    {
        std::uint8_t flags = IsKeyword("inherited") ? ffInherited : IsKeyword("inline") ? ffInline : 0;
        Advance();
        std::string first = TakeIdentifier();
        std::string objectName;
        std::string className = first;
        if (IsSymbol(':')) {
            Advance();
            objectName = first;
            className = TakeIdentifier();
        }
        std::optional<long long> childPos;
        if (IsSymbol('[')) {
            Advance();
            if (token_.kind != TokenKind::Integer)
                Fail("Number expected");
            childPos = token_.integer;
            Advance();
            ExpectSymbol(']');
            flags |= ffChildPos;
        }
        if (flags)
            WriteByte(FilerPrefixMask | flags);
        if (childPos)
            WriteInteger(*childPos);
        WriteShortString(className);
        WriteShortString(objectName);
        while (!IsObjectKeyword() && !IsKeyword("end"))
            ConvertProperty();
        WriteByte(vaNull);
        while (IsObjectKeyword())
            ConvertObject();
        WriteByte(vaNull);
        if (!IsKeyword("end"))
            Fail("'end' expected");
        Advance();
    }

    void ConvertProperty()
    {
        if (token_.kind == TokenKind::EndOfText)
            Fail("'end' expected");
        WriteShortString(TakeDottedIdentifier());
        ExpectSymbol('=');
        ConvertValue();
    }

    void ConvertValue()
    {
        switch (token_.kind) {
        case TokenKind::Integer:
            WriteInteger(token_.integer);
            Advance();
            return;
        case TokenKind::String: {
            std::u16string text = token_.text;
            Advance();
            // Long texts are written as pieces joined by '+'.
            while (IsSymbol('+')) {
                Advance();
                if (token_.kind != TokenKind::String)
                    Fail("String expected");
                text += token_.text;
                Advance();
            }
            WriteString(text);
            return;
        }
        case TokenKind::Identifier: ConvertIdentifierValue(); return;
        case TokenKind::Symbol: break;
        case TokenKind::EndOfText: Fail("Property value expected");
        }
        switch (token_.symbol) {
        case '[': ConvertSet(); return;
        case '(':
            Advance();
            WriteByte(vaList);
            while (!IsSymbol(')')) {
                if (token_.kind == TokenKind::EndOfText)
                    Fail("')' expected");
                ConvertValue();
            }
            Advance();
            WriteByte(vaNull);
            return;
        case '{': Fail("Binary values are not supported");
        case '<': Fail("Collections are not supported");
        default: Fail("Property value expected");
        }
    }

    void ConvertIdentifierValue()
    {
        if (IsKeyword("True") || IsKeyword("False") || IsKeyword("nil")) {
            WriteByte(IsKeyword("True") ? vaTrue : IsKeyword("False") ? vaFalse : vaNil);
            Advance();
            return;
        }
        WriteByte(vaIdent);
        WriteShortString(TakeDottedIdentifier());
    }

    void ConvertSet()
    {
        Advance();
        WriteByte(vaSet);
        if (!IsSymbol(']')) {
            WriteShortString(TakeIdentifier());
            while (IsSymbol(',')) {
                Advance();
                WriteShortString(TakeIdentifier());
            }
        }
        ExpectSymbol(']');
        WriteByte(0);
    }

    Lexer lexer_;
    Token token_;
    std::vector<std::uint8_t> out_;
};

} // namespace

std::vector<std::uint8_t> ObjectTextToBinary(std::string_view Text) { return Converter(Text).Run(); }
