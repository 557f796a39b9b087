// One RAII holder for every Win32 handle type, through a small traits struct.
#pragma once

#include "host/win32/Win32.h"

#include <utility>

namespace tvx {

template <class Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Type h) noexcept : h_(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : h_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Type get() const noexcept { return h_; }
    explicit operator bool() const noexcept { return h_ != Traits::Invalid(); }
    // Closes the current handle and hands out the address for an out parameter.
    Type* put() noexcept
    {
        reset();
        return &h_;
    }
    Type release() noexcept { return std::exchange(h_, Traits::Invalid()); }
    void reset(Type h = Traits::Invalid()) noexcept
    {
        Type old = std::exchange(h_, h);
        if (old != Traits::Invalid())
            Traits::Close(old);
    }

private:
    Type h_ = Traits::Invalid();
};

struct RegKeyTraits {
    using Type = HKEY;
    static constexpr HKEY Invalid() noexcept { return nullptr; }
    static void Close(HKEY key) noexcept { RegCloseKey(key); }
};
using UniqueHKey = UniqueHandle<RegKeyTraits>;

} // namespace tvx
