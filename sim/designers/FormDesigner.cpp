#include "sim/designers/FormDesigner.h"

#include <cstdint>

namespace {

// A copy, so that a listener may register or unregister while it is called.
template <class Call>
void NotifyAll(Call&& call)
{
    for (const auto& listener : DesignNotifications())
        call(*listener);
}

} // namespace

TFormDesigner::TFormDesigner(TComponent* Root) : root_(Root) {}

TFormDesigner::~TFormDesigner() = default;

void TFormDesigner::Modified()
{
    ++modified_;
    NotifyAll([&](IDesignNotification& n) { n.ItemsModified(this); });
}

void TFormDesigner::InsertComponent(TComponent* Item, int X, int Y)
{
    if (!Item)
        return;
    if (Item->Owner() != root_)
        root_->InsertComponent(Item);
    Item->SetDesignInfo(int((std::uint32_t(Y) << 16) | (std::uint32_t(X) & 0xFFFF)));
    InsertItem(Item);
}

void TFormDesigner::InsertItem(TPersistent* Item)
{
    NotifyAll([&](IDesignNotification& n) { n.ItemInserted(this, Item); });
    Modified();
}

void TFormDesigner::DeleteComponent(TComponent* Item)
{
    if (!Item)
        return;
    NotifyAll([&](IDesignNotification& n) { n.ItemDeleted(this, Item); });
    Item->Free();
    Modified();
}

void TFormDesigner::Open(bool Resurrecting)
{
    NotifyAll([&](IDesignNotification& n) { n.DesignerOpened(this, Resurrecting); });
}

void TFormDesigner::Close(bool GoingDormant)
{
    NotifyAll([&](IDesignNotification& n) { n.DesignerClosed(this, GoingDormant); });
}
