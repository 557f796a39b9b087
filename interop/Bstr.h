// BSTR helpers: views, allocation and an owning holder. Every allocation and
// free goes through SysAllocString*/SysFreeString so a string made on one
// side of the interop boundary can be freed on the other.
#pragma once

#include "interop/ComBase.h"
#include "interop/Utf.h"

#include <new>
#include <string>
#include <string_view>
#include <utility>

namespace tvx {

// OLECHAR is wchar_t on Windows and char16_t elsewhere; both are UTF-16 units.
inline const char16_t* AsChar16(const OLECHAR* p) noexcept { return reinterpret_cast<const char16_t*>(p); }
inline const OLECHAR* AsOleChar(const char16_t* p) noexcept { return reinterpret_cast<const OLECHAR*>(p); }
inline OLECHAR* AsOleChar(char16_t* p) noexcept { return reinterpret_cast<OLECHAR*>(p); }

// A null BSTR reads as the empty string; the length prefix, not the NUL, ends it.
inline std::u16string_view BstrView(BSTR b) noexcept
{
    return b ? std::u16string_view(AsChar16(b), SysStringLen(b)) : std::u16string_view();
}

// Text read up to the first NUL, for arguments declared as plain wide-text
// pointers; null reads as empty.
inline std::u16string_view WideTextView(const OLECHAR* p) noexcept
{
    return p ? std::u16string_view(AsChar16(p)) : std::u16string_view();
}

// Allocates a new BSTR; throws std::bad_alloc when the allocator refuses.
inline BSTR AllocBstr(std::u16string_view text)
{
    BSTR b = SysAllocStringLen(AsOleChar(text.data()), UINT(text.size()));
    if (!b)
        throw std::bad_alloc();
    return b;
}

inline BSTR AllocBstrUtf8(std::string_view text) { return AllocBstr(Utf8ToUtf16(text)); }

// Owning BSTR holder.
class Bstr {
public:
    Bstr() noexcept = default;
    explicit Bstr(std::u16string_view text) : value_(AllocBstr(text)) {}
    explicit Bstr(const char16_t* text) : Bstr(std::u16string_view(text ? text : u"")) {}
    Bstr(const Bstr& other) : value_(other.value_ ? AllocBstr(other.view()) : nullptr) {}
    Bstr(Bstr&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
    ~Bstr() { SysFreeString(value_); }

    Bstr& operator=(Bstr other) noexcept
    {
        std::swap(value_, other.value_);
        return *this;
    }

    static Bstr Attach(BSTR b) noexcept
    {
        Bstr r;
        r.value_ = b;
        return r;
    }

    BSTR get() const noexcept { return value_; }
    // Frees the current value and hands out the address for an out parameter.
    BSTR* put() noexcept
    {
        reset();
        return &value_;
    }
    BSTR detach() noexcept { return std::exchange(value_, nullptr); }
    void reset() noexcept { SysFreeString(std::exchange(value_, nullptr)); }

    std::u16string_view view() const noexcept { return BstrView(value_); }
    std::u16string str() const { return std::u16string(view()); }
    std::string utf8() const { return Utf16ToUtf8(view()); }
    UINT length() const noexcept { return SysStringLen(value_); }
    bool empty() const noexcept { return length() == 0; }

private:
    BSTR value_ = nullptr;
};

// Writes a freshly allocated copy of `text` to a BSTR out parameter.
inline void StoreBstr(BSTR* out, std::u16string_view text)
{
    *out = nullptr;
    *out = AllocBstr(text);
}

} // namespace tvx
