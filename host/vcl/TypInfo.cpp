#include "host/vcl/TypInfo.h"

#include <algorithm>

TMetaClass::TMetaClass(std::u16string_view Name, TClass Parent, std::initializer_list<TPropInfo> Props)
    : name_(Name), parent_(Parent), props_(Props)
{}

bool TMetaClass::InheritsFrom(TClass AClass) const noexcept
{
    for (TClass c = this; c; c = c->parent_)
        if (c == AClass)
            return true;
    return false;
}

const TPropInfo* TMetaClass::FindProp(std::u16string_view Name) const noexcept
{
    // A descendant's property of the same name hides the ancestor's.
    for (TClass c = this; c; c = c->parent_)
        for (const TPropInfo& p : c->props_)
            if (SameText(p.Name, Name))
                return &p;
    return nullptr;
}

void RaiseInvalidPropertyValue() { throw EPropertyError(String(SInvalidPropertyValue)); }

const TPropInfo* GetPropInfo(TClass AClass, std::u16string_view PropName) noexcept
{
    return AClass ? AClass->FindProp(PropName) : nullptr;
}

const TPropInfo* GetPropInfo(const TObject* Instance, std::u16string_view PropName) noexcept
{
    return Instance ? GetPropInfo(Instance->ClassType(), PropName) : nullptr;
}

bool IsPublishedProp(const TObject* Instance, std::u16string_view PropName) noexcept
{
    return GetPropInfo(Instance, PropName) != nullptr;
}

std::vector<const TPropInfo*> GetPropList(TClass AClass)
{
    std::vector<TClass> chain;
    for (TClass c = AClass; c; c = c->ClassParent())
        chain.push_back(c);
    std::vector<const TPropInfo*> list;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        for (const TPropInfo& p : (*it)->OwnProps())
            if (GetPropInfo(AClass, p.Name) == &p)
                list.push_back(&p);
    return list;
}

namespace {

String KindName(const TPropInfo& info)
{
    switch (info.Kind) {
    case tkInteger: return u"Integer";
    case tkEnumeration: return u"Enumeration";
    case tkUString: return u"string";
    case tkClass: return String(info.PropClass->ClassName());
    case tkMethod: return u"Method";
    case tkSet: return u"Set";
    }
    return String();
}

const TPropInfo& FindPropInfo(TObject* Instance, std::u16string_view PropName)
{
    const TPropInfo* info = GetPropInfo(Instance, PropName);
    if (!info)
        throw EPropertyError(Format(SUnknownProperty, PropName));
    return *info;
}

// Finds the property and checks that it is of one of the expected kinds.
template <class... Kinds>
const TPropInfo& FindTypedProp(TObject* Instance, std::u16string_view PropName, Kinds... kinds)
{
    const TPropInfo& info = FindPropInfo(Instance, PropName);
    if (!((info.Kind == kinds) || ...))
        throw EPropertyError(Format(SInvalidPropertyType, KindName(info)));
    return info;
}

void WriteProp(TObject* Instance, const TPropInfo& info, const TPropValue& Value)
{
    if (!info.SetProc)
        throw EPropertyError(String(SReadOnlyProperty));
    info.SetProc(Instance, Value);
}

} // namespace

TPropValue GetPropValue(TObject* Instance, std::u16string_view PropName)
{
    return FindPropInfo(Instance, PropName).GetProc(Instance);
}

void SetPropValue(TObject* Instance, std::u16string_view PropName, const TPropValue& Value)
{
    WriteProp(Instance, FindPropInfo(Instance, PropName), Value);
}

int GetOrdProp(TObject* Instance, std::u16string_view PropName)
{
    return std::get<int>(FindTypedProp(Instance, PropName, tkInteger, tkEnumeration, tkSet).GetProc(Instance));
}

void SetOrdProp(TObject* Instance, std::u16string_view PropName, int Value)
{
    WriteProp(Instance, FindTypedProp(Instance, PropName, tkInteger, tkEnumeration, tkSet), Value);
}

String GetStrProp(TObject* Instance, std::u16string_view PropName)
{
    return std::get<String>(FindTypedProp(Instance, PropName, tkUString).GetProc(Instance));
}

void SetStrProp(TObject* Instance, std::u16string_view PropName, const String& Value)
{
    WriteProp(Instance, FindTypedProp(Instance, PropName, tkUString), Value);
}

TObject* GetObjectProp(TObject* Instance, std::u16string_view PropName)
{
    return std::get<TObject*>(FindTypedProp(Instance, PropName, tkClass).GetProc(Instance));
}

void SetObjectProp(TObject* Instance, std::u16string_view PropName, TObject* Value)
{
    WriteProp(Instance, FindTypedProp(Instance, PropName, tkClass), Value);
}

TMethod GetMethodProp(TObject* Instance, std::u16string_view PropName)
{
    return std::get<TMethod>(FindTypedProp(Instance, PropName, tkMethod).GetProc(Instance));
}

void SetMethodProp(TObject* Instance, std::u16string_view PropName, const TMethod& Value)
{
    WriteProp(Instance, FindTypedProp(Instance, PropName, tkMethod), Value);
}

bool IdentToInt(const TPropInfo& Info, std::u16string_view Ident, int& Value) noexcept
{
    for (const TIdentMapEntry& entry : Info.Idents)
        if (SameText(entry.Name, Ident)) {
            Value = entry.Value;
            return true;
        }
    return false;
}

int GetEnumValue(const TPropInfo& Info, std::u16string_view Name) noexcept
{
    if (Info.ElementNames.empty() && Info.Kind == tkEnumeration) {
        // Booleans name their values themselves.
        if (SameText(Name, u"False"))
            return 0;
        if (SameText(Name, u"True"))
            return 1;
    }
    for (std::size_t i = 0; i < Info.ElementNames.size(); ++i)
        if (SameText(Info.ElementNames[i], Name))
            return int(i);
    return -1;
}
