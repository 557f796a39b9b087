// IntfPtr<T> behaves like an interface variable: copying adds a reference,
// destruction releases it, put() clears before handing out the address.
#pragma once

#include "interop/ComBase.h"
#include "interop/Guid.h"
#include "interop/HResultError.h"

#include <cstddef>
#include <utility>

namespace tvx {

template <class T>
class IntfPtr {
public:
    using Interface = T;

    IntfPtr() noexcept = default;
    IntfPtr(std::nullptr_t) noexcept {}
    // Takes a new reference on `p`.
    IntfPtr(T* p) noexcept : p_(p) { AddRefIf(); }
    IntfPtr(const IntfPtr& other) noexcept : p_(other.p_) { AddRefIf(); }
    IntfPtr(IntfPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ~IntfPtr() { reset(); }

    IntfPtr& operator=(const IntfPtr& other) noexcept
    {
        if (p_ != other.p_) {
            T* old = p_;
            p_ = other.p_;
            AddRefIf();
            if (old)
                old->Release();
        }
        return *this;
    }
    IntfPtr& operator=(IntfPtr&& other) noexcept
    {
        if (this != &other) {
            T* old = std::exchange(p_, std::exchange(other.p_, nullptr));
            if (old)
                old->Release();
        }
        return *this;
    }
    IntfPtr& operator=(std::nullptr_t) noexcept
    {
        reset();
        return *this;
    }

    // Adopts a reference the caller already owns.
    static IntfPtr Attach(T* p) noexcept
    {
        IntfPtr r;
        r.p_ = p;
        return r;
    }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    T& operator*() const noexcept { return *p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    T** put() noexcept
    {
        reset();
        return &p_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    void attach(T* p) noexcept
    {
        reset();
        p_ = p;
    }
    T* detach() noexcept { return std::exchange(p_, nullptr); }

    void reset() noexcept
    {
        if (T* old = std::exchange(p_, nullptr))
            old->Release();
    }

    // Hands one counted reference to an out parameter.
    void copy_to(T** out) const noexcept
    {
        *out = p_;
        if (p_)
            p_->AddRef();
    }

    // QueryInterface; null when the object does not answer (or answers oddly).
    template <class U>
    IntfPtr<U> try_as() const noexcept
    {
        IntfPtr<U> r;
        if (!p_)
            return r;
        void* out = nullptr;
        HRESULT hr = p_->QueryInterface(IidOf<U>, &out);
        // A misbehaving object may report success without a pointer, or
        // S_FALSE with one: only S_OK with a pointer counts.
        if (hr == S_OK && out)
            r.attach(static_cast<U*>(out));
        else if (out && SUCCEEDED(hr))
            static_cast<IUnknown*>(out)->Release();
        return r;
    }

    // QueryInterface that throws: E_POINTER for a null pointer, E_NOINTERFACE
    // when the object does not answer (whatever code it gave).
    template <class U>
    IntfPtr<U> as() const
    {
        if (!p_)
            throw HResultError(E_POINTER);
        IntfPtr<U> r = try_as<U>();
        if (!r)
            throw HResultError(E_NOINTERFACE, u"Interface not supported");
        return r;
    }

    friend bool operator==(const IntfPtr& a, const IntfPtr& b) noexcept { return a.p_ == b.p_; }
    friend bool operator==(const IntfPtr& a, std::nullptr_t) noexcept { return a.p_ == nullptr; }

private:
    void AddRefIf() noexcept
    {
        if (p_)
            p_->AddRef();
    }

    T* p_ = nullptr;
};

// The IUnknown of an object, for identity comparison.
template <class T>
IntfPtr<IUnknown> IdentityOf(T* p) noexcept
{
    IntfPtr<IUnknown> r;
    if (p) {
        void* out = nullptr;
        if (p->QueryInterface(IidOf<IUnknown>, &out) == S_OK && out)
            r.attach(static_cast<IUnknown*>(out));
    }
    return r;
}

} // namespace tvx
