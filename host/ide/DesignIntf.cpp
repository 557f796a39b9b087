#include "host/ide/DesignIntf.h"

#include <algorithm>

namespace {

// Never destroyed: add-ins do not unregister before their library goes, and
// releasing their listeners at exit would call into unloaded code.
std::vector<tvx::IntfPtr<IDesignNotification>>& Listeners()
{
    static auto* listeners = new std::vector<tvx::IntfPtr<IDesignNotification>>();
    return *listeners;
}

// A copy, so that a listener may register or unregister while it is called.
template <class Call>
void NotifyAll(Call&& call)
{
    for (const auto& listener : DesignNotifications())
        call(*listener);
}

} // namespace

void RegisterDesignNotification(IDesignNotification* DesignNotification)
{
    if (!DesignNotification)
        return;
    auto& listeners = Listeners();
    if (std::none_of(listeners.begin(), listeners.end(), [&](const auto& l) { return l.get() == DesignNotification; }))
        listeners.emplace_back(DesignNotification);
}

// Compares bare pointers: a listener may unregister from its destructor,
// when no new reference may be taken on it.
void UnregisterDesignNotification(IDesignNotification* DesignNotification)
{
    auto& listeners = Listeners();
    auto it = std::find_if(listeners.begin(), listeners.end(),
                           [&](const auto& l) { return l.get() == DesignNotification; });
    if (it != listeners.end())
        listeners.erase(it);
}

std::vector<tvx::IntfPtr<IDesignNotification>> DesignNotifications()
{
    return Listeners();
}

// --- TFormDesigner --------------------------------------------------------

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
