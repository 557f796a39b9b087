#include "host/vcl/SysUtils.h"

#include "host/vcl/Supports.h"
#include "host/win32/Kernel.h"
#include "interop/Utf.h"

#include <algorithm>

Exception::Exception(String Msg) : message_(std::move(Msg)), utf8_(tvx::Utf16ToUtf8(message_)) {}

Exception::~Exception() = default;

void Exception::SetMessage(String Msg)
{
    utf8_ = tvx::Utf16ToUtf8(Msg);
    message_ = std::move(Msg);
}

void Abort() { throw EAbort(String(SOperationAborted)); }

namespace {

String OleSysErrorText(const String& msg, HRESULT code)
{
    if (!msg.empty())
        return msg;
    String text = SysErrorMessage(std::uint32_t(code));
    return text.empty() ? Format(SOleError, code) : text;
}

} // namespace

EOleSysError::EOleSysError(const String& Msg, HRESULT ErrorCode, int HelpContext)
    : EOleError(OleSysErrorText(Msg, ErrorCode)), errorCode_(ErrorCode), helpContext_(HelpContext)
{}

void OleCheck(HRESULT Result)
{
    if (FAILED(Result))
        throw EOleSysError(String(), Result);
}

String SysErrorMessage(std::uint32_t ErrorCode)
{
    // The VCL trims trailing blanks, control characters and full stops.
    String text = tvx::win32::SystemErrorMessage(HRESULT(ErrorCode));
    while (!text.empty() && (text.back() <= u' ' || text.back() == u'.'))
        text.pop_back();
    return text;
}

bool Supports(IUnknown* Instance, REFIID IID, void** Intf) noexcept
{
    if (!Intf)
        return false;
    *Intf = nullptr;
    if (!Instance)
        return false;
    void* out = nullptr;
    HRESULT hr = Instance->QueryInterface(IID, &out);
    if (hr == S_OK && out) {
        *Intf = out;
        return true;
    }
    // An object that claims success oddly still handed out a reference.
    if (out && SUCCEEDED(hr))
        static_cast<IUnknown*>(out)->Release();
    return false;
}

// --- Format ---------------------------------------------------------------

namespace {

// One "%[index:][-][width][.precision]type" directive.
struct Directive {
    int index = -1;
    bool leftAlign = false;
    int width = -1;
    int precision = -1;
    char16_t type = 0;
};

[[noreturn]] void FormatError(std::u16string_view text, std::u16string_view fmt)
{
    String message(text);
    message.replace(message.find(u"%s"), 2, fmt);
    throw EConvertError(message);
}

// Reads an unsigned decimal at `i`; -1 when there is none.
int ReadNumber(std::u16string_view fmt, std::size_t& i)
{
    int value = -1;
    while (i < fmt.size() && fmt[i] >= u'0' && fmt[i] <= u'9') {
        value = (value < 0 ? 0 : value) * 10 + int(fmt[i] - u'0');
        ++i;
    }
    return value;
}

// Reads the directive after a '%' at `i`, leaving `i` after its type letter.
Directive ReadDirective(std::u16string_view fmt, std::size_t& i)
{
    Directive d;
    std::size_t start = i;
    int number = ReadNumber(fmt, i);
    if (number >= 0 && i < fmt.size() && fmt[i] == u':') {
        d.index = number;
        ++i;
    } else {
        i = start;
    }
    if (i < fmt.size() && fmt[i] == u'-') {
        d.leftAlign = true;
        ++i;
    }
    d.width = ReadNumber(fmt, i);
    if (i < fmt.size() && fmt[i] == u'.') {
        ++i;
        d.precision = std::max(ReadNumber(fmt, i), 0);
    }
    if (i >= fmt.size())
        FormatError(SInvalidFormat, fmt);
    d.type = fmt[i++];
    if (d.type >= u'A' && d.type <= u'Z')
        d.type = char16_t(d.type - u'A' + u'a');
    return d;
}

String Digits(unsigned long long value, unsigned base)
{
    static constexpr char16_t digits[] = u"0123456789ABCDEF";
    String s;
    do {
        s += digits[value % base];
        value /= base;
    } while (value);
    std::reverse(s.begin(), s.end());
    return s;
}

String FormatInteger(const Directive& d, const TVarRec& arg)
{
    bool negative = d.type == u'd' && arg.Signed < 0;
    String body;
    if (d.type == u'd')
        body = Digits(negative ? 0ull - static_cast<unsigned long long>(arg.Signed) : arg.Signed, 10);
    else
        body = Digits(arg.Unsigned, d.type == u'u' ? 10 : 16);
    // The precision is the least number of digits, padded with zeros.
    if (d.precision > int(body.size()))
        body.insert(0, std::size_t(d.precision) - body.size(), u'0');
    return negative ? u"-" + body : body;
}

// The argument's text before padding; false when the type does not fit.
bool FormatPiece(const Directive& d, const TVarRec& arg, String& piece)
{
    if (d.type == u'd' || d.type == u'u' || d.type == u'x') {
        if (arg.Kind != TVarRec::vtInteger)
            return false;
        piece = FormatInteger(d, arg);
        return true;
    }
    if (d.type != u's' || arg.Kind != TVarRec::vtString)
        return false;
    piece = arg.Text;
    if (d.precision >= 0 && std::size_t(d.precision) < piece.size())
        piece.resize(std::size_t(d.precision));
    return true;
}

} // namespace

String FormatArgs(std::u16string_view Fmt, std::initializer_list<TVarRec> Args)
{
    String out;
    std::size_t next = 0;
    std::size_t i = 0;
    while (i < Fmt.size()) {
        char16_t c = Fmt[i++];
        if (c != u'%') {
            out += c;
            continue;
        }
        if (i < Fmt.size() && Fmt[i] == u'%') {
            out += u'%';
            ++i;
            continue;
        }
        Directive d = ReadDirective(Fmt, i);
        if (d.index >= 0)
            next = std::size_t(d.index);
        if (next >= Args.size())
            FormatError(SArgumentMissing, Fmt);
        String piece;
        if (!FormatPiece(d, Args.begin()[next++], piece))
            FormatError(SInvalidFormat, Fmt);
        if (d.width > int(piece.size())) {
            String pad(std::size_t(d.width) - piece.size(), u' ');
            piece = d.leftAlign ? piece + pad : pad + piece;
        }
        out += piece;
    }
    return out;
}

// --- Text helpers ---------------------------------------------------------

namespace {
constexpr char16_t AsciiUpper(char16_t c) noexcept { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; }
constexpr char16_t AsciiLower(char16_t c) noexcept { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; }
constexpr bool IsAsciiLetter(char16_t c) noexcept { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
constexpr bool IsDigit(char16_t c) noexcept { return c >= u'0' && c <= u'9'; }
} // namespace

String UpperCase(std::u16string_view S)
{
    String r(S);
    std::transform(r.begin(), r.end(), r.begin(), AsciiUpper);
    return r;
}

String LowerCase(std::u16string_view S)
{
    String r(S);
    std::transform(r.begin(), r.end(), r.begin(), AsciiLower);
    return r;
}

int CompareText(std::u16string_view S1, std::u16string_view S2) noexcept
{
    std::size_t n = std::min(S1.size(), S2.size());
    for (std::size_t i = 0; i < n; ++i) {
        int a = AsciiUpper(S1[i]);
        int b = AsciiUpper(S2[i]);
        if (a != b)
            return a - b;
    }
    return int(S1.size()) - int(S2.size());
}

bool SameText(std::u16string_view S1, std::u16string_view S2) noexcept
{
    return S1.size() == S2.size() && CompareText(S1, S2) == 0;
}

bool IsValidIdent(std::u16string_view Ident) noexcept
{
    if (Ident.empty() || !(IsAsciiLetter(Ident[0]) || Ident[0] == u'_'))
        return false;
    return std::all_of(Ident.begin() + 1, Ident.end(),
                       [](char16_t c) { return IsAsciiLetter(c) || IsDigit(c) || c == u'_'; });
}

String IntToStr(long long Value) { return Format(u"%d", Value); }
