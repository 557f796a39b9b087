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
    auto it =
        std::find_if(listeners.begin(), listeners.end(), [&](const auto& l) { return l.get() == DesignNotification; });
    if (it != listeners.end())
        listeners.erase(it);
}

std::vector<tvx::IntfPtr<IDesignNotification>> DesignNotifications() { return Listeners(); }
