// The one shape of every toolbar and control method: the interop guard, and
// E_UNEXPECTED (out value cleared) once the wrapper has lost its IDE objects.
#pragma once

#include "host/vcl/System.h"
#include "interop/Bstr.h"
#include "interop/Guard.h"

namespace talvix {

// A package's text as a host string; null reads as empty.
inline String FromBstr(BSTR value) { return String(tvx::BstrView(value)); }

// Runs body when the wrapper is usable, else answers E_UNEXPECTED. Refused
// is the answer for an error the host raised.
template <class Body>
HRESULT CallIfUsable(bool usable, Body&& body, HRESULT Refused = E_FAIL)
{
    return tvx::Guarded(
        [&]() -> HRESULT {
            if (!usable)
                return E_UNEXPECTED;
            body();
            return S_OK;
        },
        Refused);
}

// The same for a getter: the out value is cleared first and receives what
// body answers.
template <class T, class Body>
HRESULT ReadIfUsable(bool usable, T* pRetVal, Body&& body, HRESULT Refused = E_FAIL)
{
    if (tvx::ClearOut(pRetVal) != S_OK)
        return E_POINTER;
    return CallIfUsable(usable, [&] { *pRetVal = body(); }, Refused);
}

} // namespace talvix
