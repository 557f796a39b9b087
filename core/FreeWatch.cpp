#include "core/FreeWatch.h"

#include <algorithm>
#include <vector>

namespace talvix {

// The watches still attached, so that the library's unload can detach them.
struct FreeWatchRegistry {
    std::vector<TFreeWatch*> live;
    // A plain flag outlives the registry: watches that go after it (during
    // process exit) find nothing to leave.
    static inline bool unloaded = false;

    void Add(TFreeWatch* watch)
    {
        if (!unloaded)
            live.push_back(watch);
    }
    void Forget(TFreeWatch* watch) noexcept
    {
        if (!unloaded)
            std::erase(live, watch);
    }

    // Runs when the library unloads (or the process ends). One watch at a
    // time: a callback may end other watches, which then leave the list.
    ~FreeWatchRegistry()
    {
        while (!live.empty()) {
            TFreeWatch* watch = live.back();
            TComponent* target = watch->target_;
            TFreeWatchEvent onUnload = watch->onUnload_;
            watch->Detach();
            onUnload(target);
        }
        unloaded = true;
    }
};

namespace {
FreeWatchRegistry registry;
} // namespace

TFreeWatch::TFreeWatch(TComponent* Target, TFreeWatchEvent OnFreed, TFreeWatchEvent OnUnload)
    : target_(Target), onFreed_(OnFreed), onUnload_(OnUnload)
{
    if (!target_)
        return;
    target_->FreeNotification(this);
    registry.Add(this);
}

TFreeWatch::~TFreeWatch() { Detach(); }

void TFreeWatch::Detach() noexcept
{
    if (!target_)
        return;
    target_->RemoveFreeNotification(this);
    target_ = nullptr;
    registry.Forget(this);
}

void TFreeWatch::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove || !target_ || AComponent != target_)
        return;
    target_ = nullptr;
    registry.Forget(this);
    // The handler may free this watch: nothing of it is touched afterwards.
    TFreeWatchEvent onFreed = onFreed_;
    onFreed(AComponent);
}

} // namespace talvix
