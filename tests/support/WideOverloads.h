// Windows only: the tests pass UTF-16 text as char16_t (u"..."), which the
// stand-in takes directly; the system's W functions take wchar_t, the same
// UTF-16 units. These overloads let the same test text call both.
#pragma once

#if defined(_WIN32)

#include <type_traits>
#include <utility>

namespace tvx::test::wide {

template <class T>
decltype(auto) Arg(T&& value)
{
    using Plain = std::remove_cvref_t<std::decay_t<T>>;
    if constexpr (std::is_same_v<Plain, const char16_t*>)
        return reinterpret_cast<const wchar_t*>(value);
    else if constexpr (std::is_same_v<Plain, char16_t*>)
        return reinterpret_cast<wchar_t*>(value);
    else if constexpr (std::is_same_v<Plain, char16_t**>)
        return reinterpret_cast<wchar_t**>(value);
    else
        return std::forward<T>(value);
}

template <class T>
inline constexpr bool kIsChar16Text = std::is_same_v<std::remove_cvref_t<std::decay_t<T>>, const char16_t*> ||
                                      std::is_same_v<std::remove_cvref_t<std::decay_t<T>>, char16_t*> ||
                                      std::is_same_v<std::remove_cvref_t<std::decay_t<T>>, char16_t**>;

template <class... A>
inline constexpr bool kAnyChar16 = (kIsChar16Text<A> || ...);

} // namespace tvx::test::wide

// Chosen only when a char16_t text is among the arguments; otherwise the
// system's own declaration is the better match.
#define TVX_WIDE_OVERLOAD(fn)                                                                                          \
    template <class... A>                                                                                              \
    requires tvx::test::wide::kAnyChar16<A...>                                                                         \
    inline auto fn(A&&... args) { return ::fn(tvx::test::wide::Arg(std::forward<A>(args))...); }

TVX_WIDE_OVERLOAD(CreateWindowExW)
TVX_WIDE_OVERLOAD(GetClassInfoW)
TVX_WIDE_OVERLOAD(UnregisterClassW)
TVX_WIDE_OVERLOAD(GetClassNameW)
TVX_WIDE_OVERLOAD(SetWindowTextW)
TVX_WIDE_OVERLOAD(GetWindowTextW)
TVX_WIDE_OVERLOAD(FindWindowW)
TVX_WIDE_OVERLOAD(RegCreateKeyExW)
TVX_WIDE_OVERLOAD(RegOpenKeyExW)
TVX_WIDE_OVERLOAD(RegQueryValueExW)
TVX_WIDE_OVERLOAD(RegSetValueExW)
TVX_WIDE_OVERLOAD(RegEnumKeyExW)
TVX_WIDE_OVERLOAD(RegEnumValueW)
TVX_WIDE_OVERLOAD(RegQueryInfoKeyW)
TVX_WIDE_OVERLOAD(RegGetValueW)
TVX_WIDE_OVERLOAD(RegDeleteValueW)
TVX_WIDE_OVERLOAD(RegDeleteKeyW)
TVX_WIDE_OVERLOAD(RegDeleteTreeW)
TVX_WIDE_OVERLOAD(CLSIDFromString)
TVX_WIDE_OVERLOAD(CLSIDFromProgID)
TVX_WIDE_OVERLOAD(IIDFromString)
TVX_WIDE_OVERLOAD(StringFromGUID2)
TVX_WIDE_OVERLOAD(SysAllocString)
TVX_WIDE_OVERLOAD(SysAllocStringLen)
TVX_WIDE_OVERLOAD(SysReAllocString)
TVX_WIDE_OVERLOAD(SysReAllocStringLen)
TVX_WIDE_OVERLOAD(FormatMessageW)
TVX_WIDE_OVERLOAD(LoadLibraryW)
TVX_WIDE_OVERLOAD(GetModuleHandleW)
TVX_WIDE_OVERLOAD(GetModuleFileNameW)
TVX_WIDE_OVERLOAD(ExpandEnvironmentStringsW)
TVX_WIDE_OVERLOAD(GetFileAttributesW)
TVX_WIDE_OVERLOAD(OutputDebugStringW)
TVX_WIDE_OVERLOAD(MessageBoxW)
TVX_WIDE_OVERLOAD(ShellExecuteW)

#undef TVX_WIDE_OVERLOAD

#endif
