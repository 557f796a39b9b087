#include "host/vcl/System.h"

#include "host/vcl/SysUtils.h"
#include "host/vcl/TypInfo.h"

TObject::~TObject() = default;

TClass TObject::StaticClass() noexcept
{
    static const TMetaClass meta(u"TObject", nullptr, {});
    return &meta;
}

TClass TObject::ClassType() const noexcept { return StaticClass(); }

String TObject::ClassName() const { return String(ClassType()->ClassName()); }

bool TObject::ClassNameIs(const String& Name) const { return SameText(ClassType()->ClassName(), Name); }

bool TObject::InheritsFrom(TClass AClass) const noexcept { return ClassType()->InheritsFrom(AClass); }

void TObject::Free()
{
    BeforeDestruction();
    delete this;
}
