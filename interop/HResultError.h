// The C++ error that carries an HRESULT inside the library and its packages.
// The interop guard turns it back into the method's result.
#pragma once

#include "interop/ComBase.h"
#include "interop/Utf.h"

#include <exception>
#include <string>

namespace tvx {

// Implemented by every error type that knows its HRESULT, so that the guard
// can read the code whichever library raised it.
class TVX_VISIBLE HResultCarrier {
public:
    virtual ~HResultCarrier() = default;
    virtual HRESULT ErrorCode() const noexcept = 0;
};

class TVX_VISIBLE HResultError : public std::exception, public HResultCarrier {
public:
    explicit HResultError(HRESULT code, std::u16string message = {})
        : code_(code), message_(std::move(message)), utf8_(Utf16ToUtf8(message_))
    {
    }
    HRESULT ErrorCode() const noexcept override { return code_; }
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
