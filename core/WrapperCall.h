// The one shape of every wrapper method a package calls: the interop guard,
// and E_UNEXPECTED with the out value cleared once the wrapper has ended
// (lost the IDE object it wrapped). A wrapper that must tell the user first
// (the menu items' warning boxes) passes what to do then as OnEnded.
#pragma once

#include "host/vcl/System.h"
#include "interop/Bstr.h"
#include "interop/Guard.h"

#include <type_traits>

namespace talvix {

// A package's text as a host string; null reads as empty.
inline String FromBstr(BSTR value) { return String(tvx::BstrView(value)); }

struct SayNothing {
    void operator()() const noexcept {}
};

// Runs Body on a live wrapper; Body returns nothing (S_OK) or its result.
// Refused is the answer for an error the host raised.
template <class Body, class OnEnded = SayNothing>
TVX_ALWAYS_INLINE HRESULT CallIfLive(bool live, Body&& body, HRESULT Refused = E_FAIL, OnEnded&& onEnded = {})
{
    return tvx::Guarded(
        [&]() -> HRESULT {
            if (!live) {
                onEnded();
                return E_UNEXPECTED;
            }
            if constexpr (std::is_void_v<std::invoke_result_t<Body>>) {
                body();
                return S_OK;
            } else {
                return body();
            }
        },
        Refused);
}

// The same for a getter: the out value is cleared first and receives what
// Body answers.
template <class T, class Body, class OnEnded = SayNothing>
TVX_ALWAYS_INLINE HRESULT ReadIfLive(bool live, T* pRetVal, Body&& body, HRESULT Refused = E_FAIL,
                                     OnEnded&& onEnded = {})
{
    if (tvx::ClearOut(pRetVal) != S_OK)
        return E_POINTER;
    return CallIfLive(
        live, [&] { *pRetVal = body(); }, Refused, onEnded);
}

} // namespace talvix
