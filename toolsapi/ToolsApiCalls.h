// What every Tools API wrapper shares: the value conventions on each side of
// the mirror interfaces, and the two call shapes. Package-facing methods run
// inside the interop guard; calls into a package from the host's side catch
// whatever the package throws, so that nothing unwinds through the IDE.
#pragma once

#include "host/vcl/System.h"
#include "interop/Bstr.h"
#include "interop/Guard.h"
#include "interop/IntfPtr.h"
#include "interop/WrappedToolsAPI.h"

#include <utility>

namespace talvix {

constexpr LongBool ToLongBool(bool value) noexcept { return value ? -1 : 0; }
constexpr bool FromLongBool(LongBool value) noexcept { return value != 0; }
// Where the IDE takes a package's 32-bit boolean as its own one-byte one.
constexpr bool FromLowByte(LongBool value) noexcept { return ByteBool(value) != 0; }

// A text result for a package: a new BSTR that the package frees.
inline PWideChar NewText(const String& text) { return tvx::AllocBstr(text); }
// A package's text, copied; its buffer stays the package's.
inline String PackageText(const OLECHAR* text) { return String(tvx::WideTextView(text)); }

// A package-facing method without an HRESULT: an error answers the type's
// zero value, its message kept as the thread's error info.
template <class R, class Body>
R Answer(Body&& body) noexcept
{
    return tvx::GuardedValue<R>(std::forward<Body>(body));
}

// A method that answers an index the host gave (a notifier's, a file
// system's): a failure answers -1, since 0 names another registration, which
// the package would later remove.
template <class Body>
LONG AnswerIndex(Body&& body) noexcept
{
    LONG index = -1;
    tvx::Guarded([&] { index = body(); });
    return index;
}

template <class Body>
void Perform(Body&& body) noexcept
{
    tvx::Guarded(std::forward<Body>(body));
}

// A package-facing method that writes an interface without an HRESULT to
// report with: a null out pointer skips the call.
template <class T, class Body>
void WriteOut(T** pRetVal, Body&& body) noexcept
{
    if (!pRetVal)
        return;
    *pRetVal = nullptr;
    Perform([&] { *pRetVal = body(); });
}

// A call into a package from the host's side; whatever it throws answers
// `fallback`.
template <class R, class Call>
R AskPackage(Call&& call, R fallback = R{}) noexcept
{
    try {
        return call();
    } catch (...) {
        return fallback;
    }
}

// The package's object as one of its mirror interfaces, or null; a package
// whose QueryInterface throws answers null.
template <class I>
tvx::IntfPtr<I> PackageAs(IUnknown* object) noexcept
{
    // Straight through the object's QueryInterface: the caller holds it, and
    // this runs for every notification.
    return AskPackage<tvx::IntfPtr<I>>([&] {
        void* answer = nullptr;
        if (!object || FAILED(object->QueryInterface(tvx::IidOf<I>, &answer)))
            return tvx::IntfPtr<I>();
        return tvx::IntfPtr<I>::Attach(static_cast<I*>(answer));
    });
}

// Makes a wrapper over `wrapped` and hands it out with one reference; null
// stays null.
template <class Wrapper, class I, class T>
I* NewWrapper(tvx::IntfPtr<T> wrapped)
{
    if (!wrapped)
        return nullptr;
    return tvx::NewInterface<Wrapper, I>(std::move(wrapped));
}

} // namespace talvix
