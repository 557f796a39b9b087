// Watches one IDE component through the VCL's free notification, so that an
// object of the library that points at it hears when the IDE frees it.
//
// Every watch is also detached when the library unloads: the IDE may free
// its objects after that, and must then find no code of ours to call.
#pragma once

#include "host/vcl/Classes.h"

namespace talvix {

class TFreeWatch final : public TComponent {
public:
    using Callback = void (*)(void* Context);

    // OnFreed runs once, while Target is being freed; OnUnload (optional) runs
    // if the library unloads while Target still lives.
    TFreeWatch(TComponent* Target, void* Context, Callback OnFreed, Callback OnUnload = nullptr);
    ~TFreeWatch() override;

    TComponent* Target() const noexcept { return target_; }
    // Stops watching; the callbacks never run afterwards.
    void Detach() noexcept;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend struct FreeWatchRegistry;

    TComponent* target_;
    void* context_;
    Callback onFreed_;
    Callback onUnload_;
};

} // namespace talvix
