// The C++ error that carries an HRESULT inside the library and its packages.
// The interop guard turns it back into the method's result.
#pragma once

#include "interop/ComBase.h"
#include "interop/Utf.h"

#include <exception>
#include <string>
#include <string_view>

namespace tvx {

// Implemented by every error type that knows its HRESULT, so that the guard
// can read the code whichever library raised it.
class TVX_VISIBLE HResultCarrier {
public:
    virtual ~HResultCarrier() = default;
    virtual HRESULT ErrorCode() const noexcept = 0;
};

// Implemented by every error type that carries its message as UTF-16 (the
// host's errors among them), so that the text is read as it was raised
// rather than back from the UTF-8 of what().
class TVX_VISIBLE MessageCarrier {
public:
    virtual ~MessageCarrier() = default;
    virtual std::u16string_view ErrorMessage() const noexcept = 0;
};

class TVX_VISIBLE HResultError : public std::exception, public HResultCarrier, public MessageCarrier {
public:
    explicit HResultError(HRESULT code, std::u16string message = {})
        : code_(code), message_(std::move(message)), utf8_(Utf16ToUtf8(message_))
    {}
    HRESULT ErrorCode() const noexcept override { return code_; }
    std::u16string_view ErrorMessage() const noexcept override { return message_; }
    const std::u16string& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.c_str(); }

private:
    HRESULT code_;
    std::u16string message_;
    std::string utf8_;
};

// Throws when `hr` is a failure code.
inline void ThrowIfFailed(HRESULT hr)
{
    if (FAILED(hr))
        throw HResultError(hr);
}

} // namespace tvx
