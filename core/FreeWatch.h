// Watches one IDE component through the VCL's free notification, so that an
// object of the library that points at it hears when the IDE frees it.
//
// Every watch is also detached when the library unloads: the IDE may free
// its objects after that, and must then find no code of ours to call.
#pragma once

#include "host/vcl/Classes.h"
#include "host/vcl/Events.h"

namespace talvix {

// Handlers receive the watched component.
using TFreeWatchEvent = TEvent<TComponent*>;

class TFreeWatch final : public TComponent {
public:
    // OnFreed runs once, while Target is being freed; OnUnload (optional)
    // runs if the library unloads while Target still lives. Either handler
    // may free this watch.
    TFreeWatch(TComponent* Target, TFreeWatchEvent OnFreed, TFreeWatchEvent OnUnload = {});
    ~TFreeWatch() override;

    TComponent* Target() const noexcept { return target_; }
    // Stops watching; the handlers never run afterwards.
    void Detach() noexcept;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend struct FreeWatchRegistry;

    TComponent* target_;
    TFreeWatchEvent onFreed_;
    TFreeWatchEvent onUnload_;
};

} // namespace talvix
