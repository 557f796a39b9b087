// The root of the VCL subset: the host string type, TObject with its class
// reference, small sets, and the Free discipline.
#pragma once

#include "host/vcl/IdeApi.h"

#include <cstdint>
#include <initializer_list>
#include <string>

// Host strings are UTF-16, as the IDE's own.
using String = std::u16string;
// Days since 30 December 1899; the fraction is the time of day.
using TDateTime = double;

class TMetaClass;
// A class reference ("class of TObject"): one metaclass object per class.
using TClass = const TMetaClass*;

// Declares a class's metaclass. Put it first in the class body; it leaves the
// access at public. TVX_DEFINE_CLASS (host/vcl/TypInfo.h) defines it in the
// class's source file, with the class's published properties.
#define TVX_CLASS(Class, Parent)                                                                                       \
public:                                                                                                                \
    using inherited = Parent;                                                                                          \
    static TClass StaticClass() noexcept;                                                                              \
    TClass ClassType() const noexcept override { return StaticClass(); }

class TVX_IDE_API TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject();

    static TClass StaticClass() noexcept;
    virtual TClass ClassType() const noexcept;

    String ClassName() const;
    // Case-insensitive, as class names are identifiers.
    bool ClassNameIs(const String& Name) const;
    bool InheritsFrom(TClass AClass) const noexcept;

    // Runs while the object is still whole, before any destructor: the VCL
    // sends its free notifications from here, so listeners see the real class.
    virtual void BeforeDestruction() {}

    // The VCL way to destroy an object: BeforeDestruction, then delete.
    void Free();
};

// Clears the variable before the object goes, so that code reached from the
// destructor never sees a dangling reference.
template <class T>
void FreeAndNil(T*& Obj)
{
    T* doomed = Obj;
    Obj = nullptr;
    if (doomed)
        doomed->Free();
}

template <class T>
TClass ClassOf() noexcept
{
    return T::StaticClass();
}

// A Pascal set over a small enumeration (values 0..63).
template <class E>
class TVX_IDE_API TSet {
public:
    constexpr TSet() noexcept = default;
    constexpr TSet(std::initializer_list<E> items) noexcept
    {
        for (E e : items)
            Include(e);
    }
    constexpr bool Contains(E e) const noexcept { return (bits_ & Bit(e)) != 0; }
    constexpr TSet& Include(E e) noexcept
    {
        bits_ |= Bit(e);
        return *this;
    }
    constexpr TSet& Exclude(E e) noexcept
    {
        bits_ &= ~Bit(e);
        return *this;
    }
    constexpr bool Empty() const noexcept { return bits_ == 0; }
    // The elements as bits, element n at bit n, as form streams and the
    // run-time type information carry a set.
    constexpr std::uint64_t Bits() const noexcept { return bits_; }
    static constexpr TSet FromBits(std::uint64_t Bits) noexcept
    {
        TSet s;
        s.bits_ = Bits;
        return s;
    }
    friend constexpr bool operator==(TSet a, TSet b) noexcept { return a.bits_ == b.bits_; }

private:
    static constexpr std::uint64_t Bit(E e) noexcept { return std::uint64_t(1) << unsigned(e); }
    std::uint64_t bits_ = 0;
};
