// Events are method pointers, as in the VCL: the object and the code of one
// handler. An empty event has neither. Two events are the same handler when
// both halves are equal, so a saved handler can be recognised and put back.
#pragma once

#include "host/vcl/IdeApi.h"

#include <cstddef>
#include <utility>

// The raw pair, as published-property access reads and writes it.
struct TVX_IDE_API TMethod {
    void* Code = nullptr;
    void* Data = nullptr;

    bool Assigned() const noexcept { return Code != nullptr; }
    friend bool operator==(const TMethod&, const TMethod&) = default;
};

// A typed event with the handler's argument list. Handlers return nothing;
// results travel through reference arguments, as in `var Handled`.
template <class... Args>
class TVX_IDE_API TEvent {
public:
    using Thunk = void (*)(void*, Args...);

    TEvent() noexcept = default;
    TEvent(std::nullptr_t) noexcept {}

    // Re-types a raw pair read from a published property. The pair must have
    // come from an event of the same argument list.
    static TEvent FromMethod(const TMethod& m) noexcept
    {
        TEvent e;
        e.method_ = m;
        return e;
    }

    const TMethod& Method() const noexcept { return method_; }
    void* Data() const noexcept { return method_.Data; }
    bool Assigned() const noexcept { return method_.Assigned(); }
    explicit operator bool() const noexcept { return Assigned(); }

    // Calling an empty event does nothing; the VCL's callers test Assigned
    // first, and a no-op keeps a forgotten test from crashing the IDE.
    void operator()(Args... args) const
    {
        if (method_.Code)
            reinterpret_cast<Thunk>(method_.Code)(method_.Data, std::forward<Args>(args)...);
    }

    friend bool operator==(const TEvent& a, const TEvent& b) noexcept { return a.method_ == b.method_; }
    friend bool operator==(const TEvent& a, std::nullptr_t) noexcept { return !a.Assigned(); }

    template <class C, class... A>
    friend struct EventMember;

private:
    TMethod method_;
};

template <class C, class... Args>
struct TVX_IDE_API EventMember {
    using Class = C;
    using Event = TEvent<Args...>;

    // One thunk per member function: its address is the event's code half.
    // Exported, so that libraries making the same handler agree on it.
    template <auto Member>
    TVX_IDE_API static void Call(void* self, Args... args)
    {
        (static_cast<C*>(self)->*Member)(std::forward<Args>(args)...);
    }

    template <auto Member>
    static Event Make(C* object) noexcept
    {
        Event e;
        if (object) {
            e.method_.Code = reinterpret_cast<void*>(&Call<Member>);
            e.method_.Data = const_cast<void*>(static_cast<const void*>(object));
        }
        return e;
    }
};

namespace tvx::vcl_detail {
template <class M>
struct EventMemberOf;
template <class C, class... A>
struct EventMemberOf<void (C::*)(A...)> {
    using type = EventMember<C, A...>;
};
template <class C, class... A>
struct EventMemberOf<void (C::*)(A...) const> {
    using type = EventMember<const C, A...>;
};
} // namespace tvx::vcl_detail

// MakeEvent<&TMyForm::AppMessage>(this): the event for that handler of that
// object; a null object gives the empty event.
template <auto Member>
auto MakeEvent(typename tvx::vcl_detail::EventMemberOf<decltype(Member)>::type::Class* object) noexcept
{
    return tvx::vcl_detail::EventMemberOf<decltype(Member)>::type::template Make<Member>(object);
}
