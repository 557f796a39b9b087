// The interop guard: every package-facing method body runs inside it, so that
// no C++ exception crosses into a package. An escaping exception becomes the
// method's failing HRESULT and its message is recorded as COM error info.
#pragma once

#include "interop/Bstr.h"
#include "interop/ComBase.h"
#include "interop/HResultError.h"
#include "interop/IntfPtr.h"
#include "interop/Utf.h"

#include <exception>
#include <new>
#include <string_view>
#include <type_traits>

// The guard wraps every interop method body: a call of its own would cost
// each method more than the guard's work.
#if defined(__GNUC__)
#define TVX_ALWAYS_INLINE [[gnu::always_inline]] inline
#else
#define TVX_ALWAYS_INLINE inline
#endif

namespace tvx {

// Records `message` as the calling thread's error info, if it can.
inline void SetErrorMessage(std::u16string_view message) noexcept
{
    ICreateErrorInfo* create = nullptr;
    if (FAILED(CreateErrorInfo(&create)) || !create)
        return;
    try {
        std::u16string text(message);
        create->SetDescription(const_cast<LPOLESTR>(AsOleChar(text.c_str())));
    } catch (...) {
        // Out of memory: the error info goes without its text.
    }
    create->SetSource(const_cast<LPOLESTR>(AsOleChar(u"Talvix Products Loader")));
    IErrorInfo* info = nullptr;
    if (SUCCEEDED(create->QueryInterface(IidOf<IErrorInfo>, reinterpret_cast<void**>(&info))) && info) {
        SetErrorInfo(0, info);
        info->Release();
    }
    create->Release();
}

// The message of the exception in flight, whoever raised it. It is copied
// into `buffer`; when even that cannot be had (out of memory) the answer is
// a fixed text, so that no caller on a noexcept path ends in
// std::terminate. Call it from inside a catch block.
inline std::u16string_view CurrentExceptionText(std::u16string& buffer) noexcept
{
    try {
        try {
            throw;
        } catch (const std::bad_alloc&) {
            return u"Out of memory";
        } catch (const MessageCarrier& e) {
            buffer = e.ErrorMessage();
        } catch (const std::exception& e) {
            buffer = Utf8ToUtf16(e.what());
        } catch (...) {
            return u"Unknown error";
        }
        return buffer;
    } catch (...) {
        return u"Out of memory";
    }
}

// Classifies the exception in flight: the code it carries, or `failure`.
inline HRESULT HResultFromCurrentException(HRESULT failure) noexcept
{
    std::u16string buffer;
    SetErrorMessage(CurrentExceptionText(buffer));
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const HResultCarrier& carrier) {
        const HRESULT code = carrier.ErrorCode();
        return FAILED(code) ? code : failure;
    } catch (...) {
        return failure;
    }
}

// Runs `body`, which returns an HRESULT (or nothing, meaning S_OK). Any
// exception yields `failure` (or the code the error carries).
template <class F>
TVX_ALWAYS_INLINE HRESULT Guarded(F&& body, HRESULT failure = E_FAIL) noexcept
{
    try {
        if constexpr (std::is_void_v<std::invoke_result_t<F>>) {
            body();
            return S_OK;
        } else {
            return body();
        }
    } catch (...) {
        return HResultFromCurrentException(failure);
    }
}

// For methods without an HRESULT: an exception yields the type's zero value.
template <class R, class F>
R GuardedValue(F&& body) noexcept
{
    try {
        return body();
    } catch (...) {
        HResultFromCurrentException(E_FAIL);
        return R{};
    }
}

// The reverse direction: a call into a package's object. Whatever the package
// throws counts as `failure`, so that no package's exception unwinds through
// the library, or the IDE around it, and costs the other packages their calls.
template <class F>
HRESULT CallIntoPackage(F&& call, HRESULT failure = E_FAIL) noexcept
{
    try {
        return call();
    } catch (...) {
        return failure;
    }
}

// Clears an out parameter on entry, as every interop method does.
template <class T>
inline HRESULT ClearOut(T* out) noexcept
{
    if (!out)
        return E_POINTER;
    *out = T{};
    return S_OK;
}

} // namespace tvx
