// Class references and published properties. Each class has one metaclass
// with its name, its parent and a small table of its published properties;
// properties are read and written by name through the table, as the VCL's
// TypInfo does with its run-time type information.
#pragma once

#include "host/vcl/Events.h"
#include "host/vcl/IdeApi.h"
#include "host/vcl/SysUtils.h"
#include "host/vcl/System.h"

#include <initializer_list>
#include <span>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

class TVX_IDE_API EPropertyError : public Exception {
    TVX_EXCEPTION_CLASS(EPropertyError, Exception)
};

enum TTypeKind { tkInteger, tkEnumeration, tkUString, tkClass, tkMethod, tkSet };

// A named value of an integer type, as clBtnFace is for TColor.
struct TVX_IDE_API TIdentMapEntry {
    int Value = 0;
    std::u16string_view Name;
};

// A property's value: ordinals (integers, booleans, enumerations) and sets
// (element n at bit n) as int.
using TPropValue = std::variant<int, String, TObject*, TMethod>;

struct TVX_IDE_API TPropInfo {
    std::u16string_view Name;
    TTypeKind Kind = tkInteger;
    // The declared class of a tkClass property.
    TClass PropClass = nullptr;
    TPropValue (*GetProc)(TObject* Instance) = nullptr;
    // Null for a read-only property.
    void (*SetProc)(TObject* Instance, const TPropValue& Value) = nullptr;
    // An enumeration's value names, or a set's element names, by ordinal.
    std::span<const std::u16string_view> ElementNames;
    // The named values of an integer type, for IdentToInt and IntToIdent.
    std::span<const TIdentMapEntry> Idents;
};

class TVX_IDE_API TMetaClass {
public:
    TMetaClass(std::u16string_view Name, TClass Parent, std::initializer_list<TPropInfo> Props);
    TMetaClass(const TMetaClass&) = delete;
    TMetaClass& operator=(const TMetaClass&) = delete;

    std::u16string_view ClassName() const noexcept { return name_; }
    TClass ClassParent() const noexcept { return parent_; }
    bool InheritsFrom(TClass AClass) const noexcept;
    // The properties this class publishes itself, in declaration order.
    const std::vector<TPropInfo>& OwnProps() const noexcept { return props_; }
    // Here or in an ancestor, ignoring case; null when there is none.
    const TPropInfo* FindProp(std::u16string_view Name) const noexcept;

private:
    std::u16string_view name_;
    TClass parent_;
    std::vector<TPropInfo> props_;
};

// Defines the metaclass declared by TVX_CLASS, with the published
// properties, e.g. TVX_DEFINE_CLASS(TTabSet, Published<...>(u"TabIndex"), ...).
#define TVX_DEFINE_CLASS(Class, ...)                                                                                   \
    TClass Class::StaticClass() noexcept                                                                               \
    {                                                                                                                  \
        static const TMetaClass meta(u"" #Class, Class::inherited::StaticClass(), {__VA_ARGS__});                      \
        return &meta;                                                                                                  \
    }

// --- Building a property table -----------------------------------------

[[noreturn]] TVX_IDE_API void RaiseInvalidPropertyValue();

namespace tvx::vcl_detail {

// Getters, setters and fields, each giving its class and value type.
template <class M>
struct PropAccessor;
template <class C, class R>
struct PropAccessor<R (C::*)() const> {
    using Class = C;
    using Value = std::remove_cvref_t<R>;
    template <auto M>
    static Value Read(C& o)
    {
        return (o.*M)();
    }
};
template <class C, class R>
struct PropAccessor<R (C::*)() const noexcept> : PropAccessor<R (C::*)() const> {};
template <class C, class A>
struct PropAccessor<void (C::*)(A)> {
    using Class = C;
    using Value = std::remove_cvref_t<A>;
    template <auto M>
    static void Write(C& o, Value v)
    {
        (o.*M)(std::move(v));
    }
};
template <class C, class A>
struct PropAccessor<void (C::*)(A) noexcept> : PropAccessor<void (C::*)(A)> {};
template <class C, class T>
requires(!std::is_function_v<T>) struct PropAccessor<T C::*> {
    using Class = C;
    using Value = T;
    template <auto M>
    static Value Read(C& o)
    {
        return o.*M;
    }
    template <auto M>
    static void Write(C& o, Value v)
    {
        o.*M = std::move(v);
    }
};

template <class T>
struct IsEvent : std::false_type {};
template <class... A>
struct IsEvent<TEvent<A...>> : std::true_type {};

template <class T>
struct IsSet : std::false_type {};
template <class E>
struct IsSet<TSet<E>> : std::true_type {};

template <class T>
constexpr TTypeKind KindOf()
{
    if constexpr (IsSet<T>::value)
        return tkSet;
    else if constexpr (std::is_same_v<T, bool> || std::is_enum_v<T>)
        return tkEnumeration;
    else if constexpr (std::is_integral_v<T>)
        return tkInteger;
    else if constexpr (std::is_same_v<T, String>)
        return tkUString;
    else if constexpr (IsEvent<T>::value)
        return tkMethod;
    else {
        static_assert(std::is_pointer_v<T> && std::is_base_of_v<TObject, std::remove_pointer_t<T>>,
                      "published properties are ordinals, strings, objects or events");
        return tkClass;
    }
}

template <class T>
TPropValue ToPropValue(const T& v)
{
    if constexpr (KindOf<T>() == tkSet)
        return TPropValue(std::in_place_type<int>, static_cast<int>(v.Bits()));
    else if constexpr (KindOf<T>() == tkInteger || KindOf<T>() == tkEnumeration)
        return TPropValue(std::in_place_type<int>, static_cast<int>(v));
    else if constexpr (KindOf<T>() == tkUString)
        return TPropValue(v);
    else if constexpr (KindOf<T>() == tkMethod)
        return TPropValue(v.Method());
    else
        return TPropValue(static_cast<TObject*>(v));
}

template <class T>
T FromPropValue(const TPropValue& v)
{
    if constexpr (KindOf<T>() == tkSet) {
        if (auto p = std::get_if<int>(&v))
            return T::FromBits(std::uint32_t(*p));
    } else if constexpr (KindOf<T>() == tkInteger || KindOf<T>() == tkEnumeration) {
        if (auto p = std::get_if<int>(&v))
            return static_cast<T>(*p);
    } else if constexpr (KindOf<T>() == tkUString) {
        if (auto p = std::get_if<String>(&v))
            return *p;
    } else if constexpr (KindOf<T>() == tkMethod) {
        if (auto p = std::get_if<TMethod>(&v))
            return T::FromMethod(*p);
    } else {
        if (auto p = std::get_if<TObject*>(&v)) {
            if (!*p)
                return nullptr;
            if (auto typed = dynamic_cast<T>(*p))
                return typed;
        }
    }
    RaiseInvalidPropertyValue();
}

} // namespace tvx::vcl_detail

// One published property from a getter (or field) and an optional setter
// (or field): Published<&TComponent::Tag, &TComponent::SetTag>(u"Tag").
// An enumeration or set names its elements; an integer type may name values.
template <auto Get, auto Set = nullptr>
TPropInfo Published(std::u16string_view Name, std::span<const std::u16string_view> ElementNames = {},
                    std::span<const TIdentMapEntry> Idents = {})
{
    using G = tvx::vcl_detail::PropAccessor<decltype(Get)>;
    using T = typename G::Value;
    TPropInfo info;
    info.Name = Name;
    info.ElementNames = ElementNames;
    info.Idents = Idents;
    info.Kind = tvx::vcl_detail::KindOf<T>();
    if constexpr (tvx::vcl_detail::KindOf<T>() == tkClass)
        info.PropClass = std::remove_pointer_t<T>::StaticClass();
    info.GetProc = [](TObject* o) -> TPropValue {
        return tvx::vcl_detail::ToPropValue<T>(G::template Read<Get>(*static_cast<typename G::Class*>(o)));
    };
    if constexpr (!std::is_null_pointer_v<decltype(Set)>) {
        using S = tvx::vcl_detail::PropAccessor<decltype(Set)>;
        static_assert(std::is_same_v<typename S::Value, T>, "getter and setter disagree on the type");
        info.SetProc = [](TObject* o, const TPropValue& v) {
            S::template Write<Set>(*static_cast<typename S::Class*>(o), tvx::vcl_detail::FromPropValue<T>(v));
        };
    }
    return info;
}

// --- Access by name ----------------------------------------------------
// An unknown name raises EPropertyError "Property %s does not exist"; a
// property of another kind than asked raises "Invalid property type: %s".

TVX_IDE_API const TPropInfo* GetPropInfo(TClass AClass, std::u16string_view PropName) noexcept;
TVX_IDE_API const TPropInfo* GetPropInfo(const TObject* Instance, std::u16string_view PropName) noexcept;
TVX_IDE_API bool IsPublishedProp(const TObject* Instance, std::u16string_view PropName) noexcept;
// Every published property of the class, ancestors' first.
TVX_IDE_API std::vector<const TPropInfo*> GetPropList(TClass AClass);

TVX_IDE_API TPropValue GetPropValue(TObject* Instance, std::u16string_view PropName);
TVX_IDE_API void SetPropValue(TObject* Instance, std::u16string_view PropName, const TPropValue& Value);
TVX_IDE_API int GetOrdProp(TObject* Instance, std::u16string_view PropName);
TVX_IDE_API void SetOrdProp(TObject* Instance, std::u16string_view PropName, int Value);
TVX_IDE_API String GetStrProp(TObject* Instance, std::u16string_view PropName);
TVX_IDE_API void SetStrProp(TObject* Instance, std::u16string_view PropName, const String& Value);
TVX_IDE_API TObject* GetObjectProp(TObject* Instance, std::u16string_view PropName);
TVX_IDE_API void SetObjectProp(TObject* Instance, std::u16string_view PropName, TObject* Value);
TVX_IDE_API TMethod GetMethodProp(TObject* Instance, std::u16string_view PropName);
TVX_IDE_API void SetMethodProp(TObject* Instance, std::u16string_view PropName, const TMethod& Value);

// A named value of the property's type, ignoring case; false when unknown.
TVX_IDE_API bool IdentToInt(const TPropInfo& Info, std::u16string_view Ident, int& Value) noexcept;
// An element's ordinal by its name, ignoring case; -1 when unknown.
TVX_IDE_API int GetEnumValue(const TPropInfo& Info, std::u16string_view Name) noexcept;
