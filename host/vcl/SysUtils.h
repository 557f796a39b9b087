// The VCL's error classes of SysUtils and ComObj, Format, and the few text
// helpers this system needs. Errors are C++ exceptions; those that know an
// HRESULT also carry it for the interop guard.
#pragma once

#include "host/vcl/IdeApi.h"
#include "host/vcl/RtlConsts.h"
#include "host/vcl/System.h"
#include "interop/ComBase.h"
#include "interop/HResultError.h"

#include <concepts>
#include <cstdint>
#include <exception>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

// Gives an error class its constructors and its VCL class name.
#define TVX_EXCEPTION_CLASS(Class, Parent)                                                                             \
public:                                                                                                                \
    using Parent::Parent;                                                                                              \
    String ClassName() const override { return u"" #Class; }

class TVX_IDE_API Exception : public std::exception, public tvx::MessageCarrier {
public:
    explicit Exception(String Msg);
    ~Exception() override;

    std::u16string_view ErrorMessage() const noexcept override { return message_; }

    virtual String ClassName() const { return u"Exception"; }
    const String& Message() const noexcept { return message_; }
    void SetMessage(String Msg);
    // The message in UTF-8.
    const char* what() const noexcept override { return utf8_.c_str(); }

private:
    String message_;
    std::string utf8_;
};

// The silent error: the application loop swallows it without a word.
class TVX_IDE_API EAbort : public Exception {
    TVX_EXCEPTION_CLASS(EAbort, Exception)
};
[[noreturn]] TVX_IDE_API void Abort();

class TVX_IDE_API EConvertError : public Exception {
    TVX_EXCEPTION_CLASS(EConvertError, Exception)
};
class TVX_IDE_API EIntfCastError : public Exception {
    TVX_EXCEPTION_CLASS(EIntfCastError, Exception)
};
class TVX_IDE_API EInvalidCast : public Exception {
    TVX_EXCEPTION_CLASS(EInvalidCast, Exception)
};
class TVX_IDE_API EOleError : public Exception {
    TVX_EXCEPTION_CLASS(EOleError, Exception)
};

// An OLE call's failure code with its system message.
class TVX_IDE_API EOleSysError : public EOleError, public tvx::HResultCarrier {
public:
    // An empty message takes the system's text for the code.
    EOleSysError(const String& Msg, HRESULT ErrorCode, int HelpContext = 0);
    String ClassName() const override { return u"EOleSysError"; }
    HRESULT ErrorCode() const noexcept override { return errorCode_; }
    int HelpContext() const noexcept { return helpContext_; }

private:
    HRESULT errorCode_;
    int helpContext_;
};

// Raises EOleSysError for a failing code, as the VCL's OleCheck.
TVX_IDE_API void OleCheck(HRESULT Result);

// The system's text for an error code (a Win32 code or an HRESULT), without
// the trailing full stop and line break; empty when the system has none.
TVX_IDE_API String SysErrorMessage(std::uint32_t ErrorCode);

// One argument of Format: an integer or a text.
struct TVX_IDE_API TVarRec {
    enum TKind { vtInteger, vtString };

    template <std::integral T>
    TVarRec(T value) noexcept
        : Kind(vtInteger), Signed(static_cast<long long>(value)),
          Unsigned(static_cast<unsigned long long>(static_cast<std::make_unsigned_t<T>>(value)))
    {}
    TVarRec(std::u16string_view text) : Kind(vtString), Text(text) {}
    TVarRec(const String& text) : Kind(vtString), Text(text) {}
    TVarRec(const char16_t* text) : Kind(vtString), Text(text ? text : u"") {}

    TKind Kind;
    long long Signed = 0;
    // The value's own width: -1 as an Integer shows as FFFFFFFF in hex.
    unsigned long long Unsigned = 0;
    String Text;
};

// The VCL's Format for the directives this system uses: %d %u %x %X %s %%,
// with optional "index:", "-", width and ".precision". A directive that does
// not fit its argument raises EConvertError, as the VCL does.
TVX_IDE_API String FormatArgs(std::u16string_view Fmt, std::initializer_list<TVarRec> Args);

template <class... A>
String Format(std::u16string_view Fmt, const A&... args)
{
    return FormatArgs(Fmt, {TVarRec(args)...});
}

// Identifier and text helpers; case folding is ASCII-only, as the VCL's
// SameText and its component-name comparisons.
TVX_IDE_API String UpperCase(std::u16string_view S);
TVX_IDE_API String LowerCase(std::u16string_view S);
TVX_IDE_API int CompareText(std::u16string_view S1, std::u16string_view S2) noexcept;
TVX_IDE_API bool SameText(std::u16string_view S1, std::u16string_view S2) noexcept;
TVX_IDE_API bool IsValidIdent(std::u16string_view Ident) noexcept;
TVX_IDE_API String IntToStr(long long Value);
