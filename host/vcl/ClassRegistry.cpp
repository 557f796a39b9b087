// The class registry behind RegisterClass and FindClass.
#include "host/vcl/Classes.h"

#include "host/vcl/TypInfo.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

class ClassRegistry {
public:
    void Register(TClass c)
    {
        std::lock_guard guard(lock_);
        TClass known = FindLocked(c->ClassName());
        if (known == c)
            return;
        if (known)
            throw EFilerError(Format(SDuplicateClass, c->ClassName()));
        classes_.push_back(c);
    }

    void Unregister(TClass c)
    {
        std::lock_guard guard(lock_);
        classes_.erase(std::remove(classes_.begin(), classes_.end(), c), classes_.end());
    }

    TClass Find(std::u16string_view name)
    {
        std::lock_guard guard(lock_);
        return FindLocked(name);
    }

private:
    TClass FindLocked(std::u16string_view name) const
    {
        for (TClass c : classes_)
            if (SameText(c->ClassName(), name))
                return c;
        return nullptr;
    }

    std::mutex lock_;
    std::vector<TClass> classes_;
};

ClassRegistry& Registry()
{
    static ClassRegistry registry;
    return registry;
}

} // namespace

void RegisterClass(TPersistentClass AClass)
{
    if (AClass)
        Registry().Register(AClass);
}

void RegisterClasses(std::initializer_list<TPersistentClass> Classes)
{
    for (TPersistentClass c : Classes)
        RegisterClass(c);
}

void UnRegisterClass(TPersistentClass AClass) { Registry().Unregister(AClass); }

TPersistentClass GetClass(const String& AClassName) { return Registry().Find(AClassName); }

TPersistentClass FindClass(const String& ClassName)
{
    TPersistentClass c = GetClass(ClassName);
    if (!c)
        throw EClassNotFound(Format(SClassNotFound, ClassName));
    return c;
}
