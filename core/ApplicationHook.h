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
#include <vector>

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
    // Makes ours the handler again. A handler found in ours' place becomes
    // the one ours calls next, and the one it replaces is kept behind it:
    // when that handler passes a call back to ours, ours goes on down the
    // chain (Previous with the depth of the pass-back) instead of looping.
    void Reinstall()
    {
        if (!application_)
            return;
        const Event current = (application_->*get_)();
        if (current == ours_)
            return;
        if (current.Assigned()) {
            chain_.push_back(previous_);
            previous_ = current;
        }
        (application_->*set_)(ours_);
    }
    // Puts back the handler that was in place before ours first went in,
    // unless a newer one replaced ours: that one may still call ours.
    void Remove() noexcept
    {
        TApplication* application = std::exchange(application_, nullptr);
        watch_.reset();
        if (application && (application->*get_)() == ours_) {
            (application->*set_)(chain_.empty() ? previous_ : chain_.front());
            previous_ = Event();
            chain_.clear();
        }
    }
    // The handler ours passes calls on to; with a depth, the one that many
    // places further down the chain (empty past its end).
    const Event& Previous() const noexcept { return previous_; }
    // Ours calls a handler found in its place, which may pass calls back.
    bool Chained() const noexcept { return !chain_.empty(); }
    const Event& Previous(std::size_t Depth) const noexcept
    {
        static const Event none;
        if (Depth == 0)
            return previous_;
        return Depth <= chain_.size() ? chain_[chain_.size() - Depth] : none;
    }

private:
    void Freed(TComponent*) { application_ = nullptr; }
    void Unloading(TComponent*) { Remove(); }

    Getter get_;
    Setter set_;
    TApplication* application_ = nullptr;
    Event ours_;
    Event previous_;
    // The handlers previous_ replaced, oldest first.
    std::vector<Event> chain_;
    std::unique_ptr<TFreeWatch> watch_;
};

} // namespace talvix
