// The interfaced-object base: a reference count that starts at 0 and
// `delete this` when it returns to 0; Implements<> writes QueryInterface once
// from the list of interfaces an object offers.
#pragma once

#include "interop/ComBase.h"
#include "interop/Guid.h"

#include <atomic>
#include <type_traits>
#include <vector>

namespace tvx {

class TInterfacedObject {
public:
    TInterfacedObject() = default;
    TInterfacedObject(const TInterfacedObject&) = delete;
    TInterfacedObject& operator=(const TInterfacedObject&) = delete;
    virtual ~TInterfacedObject() = default;

    ULONG RefCount() const noexcept { return refCount_.load(std::memory_order_relaxed); }

protected:
    ULONG AddRefImpl() noexcept { return refCount_.fetch_add(1, std::memory_order_relaxed) + 1; }
    ULONG ReleaseImpl() noexcept
    {
        ULONG n = refCount_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (n == 0)
            delete this;
        return n;
    }

private:
    std::atomic<ULONG> refCount_{0};
};

namespace detail {
// An interface may name the interface it extends (`using Base = ...;`), so
// that the object answers for every interface of the chain.
template <class I, class = void>
struct BaseOf {
    using type = void;
};
template <class I>
struct BaseOf<I, std::void_t<typename I::Base>> {
    using type = typename I::Base;
};

template <class I>
void* QueryChain(I* p, REFIID riid) noexcept
{
    if (IsEqualGuid(riid, IidOf<I>))
        return p;
    using B = typename BaseOf<I>::type;
    if constexpr (!std::is_void_v<B> && !std::is_same_v<B, IUnknown>)
        return QueryChain<B>(static_cast<B*>(p), riid);
    else
        return nullptr;
}
} // namespace detail

template <class Derived, class First, class... Rest>
class Implements : public TInterfacedObject, public First, public Rest... {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) noexcept override
    {
        if (!ppvObject)
            return E_POINTER;
        *ppvObject = nullptr;
        void* found = nullptr;
        if (IsEqualGuid(riid, IidOf<IUnknown>))
            found = Identity();
        else
            found = Find<First, Rest...>(riid);
        if (!found)
            found = static_cast<Derived*>(this)->QueryExtraInterface(riid);
        if (!found)
            return E_NOINTERFACE;
        static_cast<IUnknown*>(found)->AddRef();
        *ppvObject = found;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return AddRefImpl(); }
    ULONG STDMETHODCALLTYPE Release() noexcept override { return ReleaseImpl(); }

    // The object's one IUnknown: the same pointer for every query.
    IUnknown* Identity() noexcept { return static_cast<IUnknown*>(static_cast<First*>(this)); }

    // Derived classes may hide this to answer further identifiers (for
    // example interfaces that share a method table); null means none.
    void* QueryExtraInterface(REFIID) noexcept { return nullptr; }

private:
    template <class I, class... More>
    void* Find(REFIID riid) noexcept
    {
        if (void* p = detail::QueryChain<I>(static_cast<I*>(this), riid))
            return p;
        if constexpr (sizeof...(More) > 0)
            return Find<More...>(riid);
        else
            return nullptr;
    }
};

// Objects that hold a reference on themselves for the life of the process are
// also recorded here, so that leak checkers see them as reachable. The record
// lives in the win32 stand-in, which outlives any library that unloads.
class LifetimeRegistry {
public:
    static void Keep(const void* object)
    {
#if defined(_WIN32)
        static std::vector<const void*>* kept = new std::vector<const void*>();
        kept->push_back(object);
#else
        win32::KeepForProcessLifetime(object);
#endif
    }

    // Creates an object that holds one reference on itself, so that no
    // release ends it, and keeps it for the life of the process. A class
    // with a private constructor befriends LifetimeRegistry.
    template <class T, class... Args>
    static T* Create(Args&&... args)
    {
        T* object = new T(std::forward<Args>(args)...);
        object->AddRef();
        Keep(object);
        return object;
    }
};

// Creates an object and returns it as one of its interfaces, with one reference.
template <class T, class I, class... Args>
I* NewInterface(Args&&... args)
{
    T* object = new T(std::forward<Args>(args)...);
    I* result = static_cast<I*>(object);
    result->AddRef();
    return result;
}

} // namespace tvx
