#include "host/vcl/Classes.h"

#include "host/vcl/Lists.h"
#include "host/vcl/TypInfo.h"

#include <algorithm>

TVX_DEFINE_CLASS(TPersistent)
TVX_DEFINE_CLASS(TComponentAlive)
TVX_DEFINE_CLASS(TComponent, Published<&TComponent::Name, &TComponent::SetName>(u"Name"),
                 Published<&TComponent::Tag, &TComponent::SetTag>(u"Tag"))

// --- TPersistent ----------------------------------------------------------

void TPersistent::Assign(TPersistent* Source)
{
    if (!Source)
        AssignError(nullptr);
    Source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* Dest) { Dest->AssignError(this); }

void TPersistent::AssignError(TPersistent* Source)
{
    String sourceName = Source ? Source->ClassName() : String(u"nil");
    throw EConvertError(Format(SAssignError, sourceName, ClassName()));
}

// --- TComponent -----------------------------------------------------------

TComponent::TComponent(TComponent* AOwner)
{
    if (AOwner)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent()
{
    // Free has done the first two already; a plain delete has not.
    Destroying();
    RemoveFreeNotifications();
    DestroyComponents();
    if (owner_)
        owner_->RemoveComponent(this);
}

void TComponent::BeforeDestruction()
{
    Destroying();
    RemoveFreeNotifications();
}

TComponent* TComponent::Components(int Index) const
{
    if (Index < 0 || Index >= ComponentCount())
        throw EListError(Format(SListIndexError, Index));
    return components_[std::size_t(Index)];
}

int TComponent::ComponentIndex() const noexcept
{
    if (!owner_)
        return -1;
    const auto& list = owner_->components_;
    return int(std::find(list.begin(), list.end(), this) - list.begin());
}

TComponent* TComponent::FindComponent(const String& AName) const noexcept
{
    if (AName.empty())
        return nullptr;
    for (TComponent* c : components_)
        if (SameText(c->name_, AName))
            return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent)
{
    if (!AComponent || AComponent->owner_ == this)
        return;
    // The VCL checks a name only on rename; a component that arrives with a
    // name must not bring a duplicate either.
    ValidateRename(AComponent, String(), AComponent->name_);
    if (AComponent->owner_)
        AComponent->owner_->RemoveComponent(AComponent);
    components_.push_back(AComponent);
    AComponent->owner_ = this;
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent)
{
    if (!AComponent || AComponent->owner_ != this)
        return;
    Notification(AComponent, opRemove);
    components_.erase(std::find(components_.begin(), components_.end(), AComponent));
    AComponent->owner_ = nullptr;
}

void TComponent::DestroyComponents()
{
    // Last first, as the VCL. Only a component that others watch is removed
    // with notification; the rest leave quietly.
    while (!components_.empty()) {
        TComponent* instance = components_.back();
        if (instance->state_.Contains(csFreeNotification)) {
            RemoveComponent(instance);
        } else {
            components_.pop_back();
            instance->owner_ = nullptr;
        }
        instance->Free();
    }
}

void TComponent::Destroying() noexcept
{
    if (state_.Contains(csDestroying))
        return;
    state_.Include(csDestroying);
    for (TComponent* c : components_)
        c->Destroying();
}

void TComponent::SetName(const String& NewName)
{
    if (name_ == NewName)
        return;
    if (!NewName.empty() && !IsValidIdent(NewName))
        throw EComponentError(Format(SInvalidName, NewName));
    if (owner_)
        owner_->ValidateRename(this, name_, NewName);
    else
        ValidateRename(nullptr, name_, NewName);
    name_ = NewName;
}

void TComponent::ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName)
{
    // A change of case alone keeps the component's own place.
    if (!AComponent || SameText(CurName, NewName))
        return;
    TComponent* holder = FindComponent(NewName);
    if (holder && holder != AComponent)
        throw EComponentError(Format(SDuplicateName, NewName));
}

void TComponent::SetComponentState(TComponentStateItem Item, bool On) noexcept
{
    if (On)
        state_.Include(Item);
    else
        state_.Exclude(Item);
}

void TComponent::FreeNotification(TComponent* AComponent)
{
    if (!AComponent || AComponent == this)
        return;
    // The owner and the owner's other components hear of this component's
    // removal anyway; a second link would notify them twice.
    bool hearsAnyway = AComponent == owner_ || (owner_ && AComponent->owner_ == owner_);
    if (!hearsAnyway && std::find(freeNotifies_.begin(), freeNotifies_.end(), AComponent) == freeNotifies_.end()) {
        freeNotifies_.push_back(AComponent);
        AComponent->FreeNotification(this);
    }
    state_.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent)
{
    if (!AComponent)
        return;
    Unlink(AComponent);
    AComponent->Unlink(this);
}

void TComponent::Unlink(TComponent* AComponent) noexcept
{
    auto it = std::find(freeNotifies_.begin(), freeNotifies_.end(), AComponent);
    if (it != freeNotifies_.end())
        freeNotifies_.erase(it);
}

void TComponent::RemoveFreeNotifications()
{
    while (!freeNotifies_.empty()) {
        TComponent* listener = freeNotifies_.back();
        freeNotifies_.pop_back();
        // Unlinked before the call, so that a listener whose Notification
        // skips the inherited one keeps no pointer to this component.
        listener->Unlink(this);
        listener->Notification(this, opRemove);
    }
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent)
        RemoveFreeNotification(AComponent);
    // A handler may free components: re-clamp the index after each call.
    int i = ComponentCount() - 1;
    while (i >= 0) {
        components_[std::size_t(i)]->Notification(AComponent, Operation);
        --i;
        if (i >= ComponentCount())
            i = ComponentCount() - 1;
    }
}

TComponentAlive::TComponentAlive(TComponent* Watched) : watched_(Watched)
{
    if (watched_)
        watched_->FreeNotification(this);
}

TComponentAlive::~TComponentAlive()
{
    if (watched_)
        watched_->RemoveFreeNotification(this);
}

void TComponentAlive::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == watched_)
        watched_ = nullptr;
}
