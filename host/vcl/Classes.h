// TPersistent and TComponent with the VCL's ownership, naming and free
// notification rules, the notify event, and the class registry.
#pragma once

#include "host/vcl/Events.h"
#include "host/vcl/IdeApi.h"
#include "host/vcl/SysUtils.h"
#include "host/vcl/System.h"

#include <vector>

using TNotifyEvent = TEvent<TObject*>;

class TVX_IDE_API EComponentError : public Exception {
    TVX_EXCEPTION_CLASS(EComponentError, Exception)
};
class TVX_IDE_API EStreamError : public Exception {
    TVX_EXCEPTION_CLASS(EStreamError, Exception)
};
class TVX_IDE_API EFilerError : public EStreamError {
    TVX_EXCEPTION_CLASS(EFilerError, EStreamError)
};
class TVX_IDE_API EClassNotFound : public EFilerError {
    TVX_EXCEPTION_CLASS(EClassNotFound, EFilerError)
};
// A component stream that cannot be read or applied (host/vcl/FormStreams.h).
class TVX_IDE_API EReadError : public EFilerError {
    TVX_EXCEPTION_CLASS(EReadError, EFilerError)
};
// A form class without its form resource: "Resource %s not found".
class TVX_IDE_API EResNotFound : public Exception {
    TVX_EXCEPTION_CLASS(EResNotFound, Exception)
};
// Raised by controls, image lists and menus for an operation their state refuses.
class TVX_IDE_API EInvalidOperation : public Exception {
    TVX_EXCEPTION_CLASS(EInvalidOperation, Exception)
};

class TVX_IDE_API TPersistent : public TObject {
    TVX_CLASS(TPersistent, TObject)

    // Copies Source into this object; a class that cannot raises
    // EConvertError "Cannot assign a %s to a %s".
    virtual void Assign(TPersistent* Source);

protected:
    // The other direction, tried when Assign does not know the source.
    virtual void AssignTo(TPersistent* Dest);
    [[noreturn]] void AssignError(TPersistent* Source);
};

enum TOperation { opInsert, opRemove };

enum TComponentStateItem {
    csLoading,
    csReading,
    csWriting,
    csDestroying,
    csDesigning,
    csAncestor,
    csUpdating,
    csFixups,
    csFreeNotification,
    csInline,
    csDesignInstance
};
using TComponentState = TSet<TComponentStateItem>;

class TVX_IDE_API TComponent : public TPersistent {
    TVX_CLASS(TComponent, TPersistent)

    // The owner, if any, takes the new component into its Components.
    explicit TComponent(TComponent* AOwner = nullptr);
    // Frees the owned components and leaves the owner.
    ~TComponent() override;
    void BeforeDestruction() override;

    TComponent* Owner() const noexcept { return owner_; }
    int ComponentCount() const noexcept { return int(components_.size()); }
    // Raises EListError for an index outside Components.
    TComponent* Components(int Index) const;
    int ComponentIndex() const noexcept;
    // The owned component of that name, ignoring case; null if none.
    TComponent* FindComponent(const String& AName) const noexcept;
    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    void DestroyComponents();
    // Marks this component and everything it owns as being destroyed.
    void Destroying() noexcept;

    const String& Name() const noexcept { return name_; }
    // A name is empty or a valid identifier, and unique among the owner's
    // components ignoring case; otherwise EComponentError and no change.
    virtual void SetName(const String& NewName);
    int Tag() const noexcept { return tag_; }
    void SetTag(int Value) noexcept { tag_ = Value; }
    int DesignInfo() const noexcept { return designInfo_; }
    void SetDesignInfo(int Value) noexcept { designInfo_ = Value; }
    TComponentState ComponentState() const noexcept { return state_; }

    // AComponent's Notification(this, opRemove) runs when this component
    // goes. Components of one owner already hear of each other through it.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

protected:
    // Hears of components inserted into and removed from the owner, and of
    // components that asked for free notification; passes them on to the
    // owned components, as the VCL does.
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    virtual void ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName);
    void SetComponentState(TComponentStateItem Item, bool On) noexcept;

private:
    void RemoveFreeNotifications();
    void Unlink(TComponent* AComponent) noexcept;

    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
    String name_;
    int tag_ = 0;
    int designInfo_ = 0;
    TComponentState state_;
};

// Tells whether a component was freed while code that may free it ran:
//   TComponentAlive alive(form); handler(form); if (!alive) return;
class TVX_IDE_API TComponentAlive final : public TComponent {
    TVX_CLASS(TComponentAlive, TComponent)

    explicit TComponentAlive(TComponent* Watched);
    ~TComponentAlive() override;
    explicit operator bool() const noexcept { return watched_ != nullptr; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TComponent* watched_;
};

// Points `Field` of `Self` at `Value`, moving the free notification that lets
// Self forget the referenced component when it goes.
template <class T>
void SetNotifiedReference(TComponent* Self, T*& Field, T* Value)
{
    if (Field == Value)
        return;
    if (Field)
        Field->RemoveFreeNotification(Self);
    Field = Value;
    if (Field)
        Field->FreeNotification(Self);
}

struct TVX_IDE_API TPoint {
    int X = 0;
    int Y = 0;
};

using TComponentClass = TClass;
using TPersistentClass = TClass;

// The class registry that streaming and FindClass read. Registering the same
// class again does nothing; another class of the same name raises
// EFilerError "A class named %s already exists".
TVX_IDE_API void RegisterClass(TPersistentClass AClass);
TVX_IDE_API void RegisterClasses(std::initializer_list<TPersistentClass> Classes);
TVX_IDE_API void UnRegisterClass(TPersistentClass AClass);
// By name, ignoring case: GetClass answers null, FindClass raises
// EClassNotFound "Class %s not found".
TVX_IDE_API TPersistentClass GetClass(const String& AClassName);
TVX_IDE_API TPersistentClass FindClass(const String& ClassName);
