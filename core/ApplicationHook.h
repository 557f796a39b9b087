// One event of the IDE's application object that the library hooks (the
// message loop's OnMessage, the idle step's OnIdle). The handler that was in
// place is kept, so that ours passes each call on to it, and is put back when
// the hook comes off: at terminate, or when the library unloads first. A
// newer handler that replaced ours since is left alone: it may still call
// ours, which then only passes calls on.
#pragma once

#include "core/FreeWatch.h"
#include "host/vcl/Forms.h"

#include <memory>
#include <utility>

namespace talvix {

template <class Event>
class TApplicationHook {
public:
    using Getter = Event (TApplication::*)() const noexcept;
    using Setter = void (TApplication::*)(const Event&) noexcept;

    TApplicationHook(Getter get, Setter set) noexcept : get_(get), set_(set) {}
    ~TApplicationHook() { Remove(); }
    TApplicationHook(const TApplicationHook&) = delete;
    TApplicationHook& operator=(const TApplicationHook&) = delete;

    // Installs Ours over the application's current handler, which is kept.
    // OnUnload runs if the library unloads while the hook is on; without
    // one, the hook just comes off.
    void Install(const Event& Ours, TFreeWatchEvent OnUnload = {})
    {
        if (!Application || application_)
            return;
        application_ = Application;
        ours_ = Ours;
        previous_ = (application_->*get_)();
        (application_->*set_)(ours_);
        watch_ = std::make_unique<TFreeWatch>(application_, MakeEvent<&TApplicationHook::Freed>(this),
                                              OnUnload ? OnUnload : MakeEvent<&TApplicationHook::Unloading>(this));
    }
    // Makes ours the handler again, without keeping what is in place now.
    void Reinstall() noexcept
    {
        if (application_)
            (application_->*set_)(ours_);
    }
    void Remove() noexcept
    {
        TApplication* application = std::exchange(application_, nullptr);
        watch_.reset();
        if (application && (application->*get_)() == ours_) {
            (application->*set_)(previous_);
            previous_ = Event();
        }
    }

    // The handler ours passes calls on to.
    const Event& Previous() const noexcept { return previous_; }

private:
    void Freed(TComponent*) { application_ = nullptr; }
    void Unloading(TComponent*) { Remove(); }

    Getter get_;
    Setter set_;
    TApplication* application_ = nullptr;
    Event ours_;
    Event previous_;
    std::unique_ptr<TFreeWatch> watch_;
};

} // namespace talvix
