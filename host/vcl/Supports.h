// Interface queries in the VCL's two forms: Supports answers false (and null)
// when the object lacks the interface; the `as` cast raises EIntfCastError.
#pragma once

#include "host/vcl/SysUtils.h"
#include "interop/Guid.h"
#include "interop/IntfPtr.h"

// Only S_OK with a pointer counts as support; the out value is always written.
TVX_IDE_API bool Supports(IUnknown* Instance, REFIID IID, void** Intf) noexcept;

template <class I>
bool Supports(IUnknown* Instance, tvx::IntfPtr<I>& Intf) noexcept
{
    return Supports(Instance, tvx::IidOf<I>, Intf.put_void());
}

template <class I>
bool Supports(IUnknown* Instance) noexcept
{
    tvx::IntfPtr<I> ignored;
    return Supports(Instance, ignored);
}

// `Instance as I`. As in the VCL, a null instance casts to null.
template <class I>
tvx::IntfPtr<I> IntfCast(IUnknown* Instance)
{
    tvx::IntfPtr<I> result;
    if (Instance && !Supports(Instance, result))
        throw EIntfCastError(String(SIntfCastError));
    return result;
}
