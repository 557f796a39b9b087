// The notifiers the IDE holds for a module, a file editor or the editor
// services, and the journal where every call into them lands, one line
// each, for the step that caused it.
//
// A notifier is called with a reference of its own for the length of the
// call, so it may remove itself (or others) meanwhile; each call looks the
// next notifier up again by its index. The silent abort (EAbort) stops the
// round and is the caller's to honour; any other exception is a problem
// line and the round goes on, so no add-in takes the IDE down.
#pragma once

#include "host/ide/Notifier.h"
#include "host/vcl/SysUtils.h"
#include "interop/IntfPtr.h"
#include "interop/Utf.h"

#include <string>
#include <utility>
#include <vector>

namespace tvx::sim {

class NotifierJournal {
public:
    void Add(std::string Line) { lines_.push_back(std::move(Line)); }
    // The lines since the last take.
    std::vector<std::string> Take() { return std::exchange(lines_, {}); }

private:
    std::vector<std::string> lines_;
};

// What one notifier is and what it heard, as the report shows it.
struct NotifierRecord {
    int Index = -1;
    // The notifier interfaces it answers, most derived of each family.
    std::string Kind;
    // Each notification with how often, in the order first heard.
    std::vector<std::pair<std::string, int>> Heard;
};

enum class NotifyOutcome {
    Done,
    // A notifier raised the silent abort.
    Aborted,
    // The caller's condition stopped the round.
    Stopped,
};

// Runs one call into an add-in; an exception other than EAbort becomes a
// problem line. True when the call ended with the silent abort.
template <class F>
bool GuardedCall(NotifierJournal* Journal, const std::string& Who, F&& Call)
{
    try {
        Call();
        return false;
    } catch (const EAbort&) {
        if (Journal)
            Journal->Add(Who + ": silent abort");
        return true;
    } catch (const Exception& e) {
        if (Journal)
            Journal->Add("problem: " + Who + " raised " + Utf16ToUtf8(e.ClassName()) + ": " + e.what());
    } catch (const std::exception& e) {
        if (Journal)
            Journal->Add("problem: " + Who + " raised " + e.what());
    } catch (...) {
        if (Journal)
            Journal->Add("problem: " + Who + " raised an unknown exception");
    }
    return false;
}

class NotifierRegistry {
public:
    // Owner names what the notifiers are registered on ("Unit1.pas",
    // "Unit1.dfm editor", "editor services").
    explicit NotifierRegistry(std::string Owner) : owner_(std::move(Owner)) {}
    NotifierRegistry(const NotifierRegistry&) = delete;
    NotifierRegistry& operator=(const NotifierRegistry&) = delete;

    void SetOwner(std::string Owner) { owner_ = std::move(Owner); }
    // Holds one reference; the index stays the notifier's. Null gives -1.
    int Add(IOTANotifier* Notifier);
    // Releases it; an index never given (or already removed) is ignored.
    void Remove(int Index) noexcept;
    bool Empty() const noexcept { return entries_.empty(); }
    std::vector<NotifierRecord> Records() const;

    // Calls each notifier that answers I, oldest first; Call(I*) answers
    // what the notifier said ("" for nothing). Stops at the silent abort.
    template <class I, class F>
    NotifyOutcome Each(NotifierJournal* Journal, const std::string& What, F&& Call)
    {
        return EachUntil<I>(Journal, What, std::forward<F>(Call), [] { return false; });
    }
    // The same, stopping after the call for which Stop() is true.
    template <class I, class F, class S>
    NotifyOutcome EachUntil(NotifierJournal* Journal, const std::string& What, F&& Call, S&& Stop)
    {
        for (int index : Indices()) {
            Entry* entry = Find(index);
            if (!entry)
                continue;
            tvx::IntfPtr<I> notifier = Query<I>(entry->Notifier);
            if (!notifier)
                continue;
            Count(*entry, What);
            const std::string who = owner_ + " notifier " + std::to_string(index) + " " + What;
            std::string answer;
            if (GuardedCall(Journal, who, [&] { answer = Call(notifier.get()); }))
                return NotifyOutcome::Aborted;
            if (Journal)
                Journal->Add(who + (answer.empty() ? "" : " -> " + answer));
            if (Stop())
                return NotifyOutcome::Stopped;
        }
        return NotifyOutcome::Done;
    }
    // Destroyed to every notifier, each taken off the list first, then
    // released; the silent abort changes nothing here.
    void DestroyAll(NotifierJournal* Journal);

    // "IOTAModuleNotifier90", "IOTAEditorNotifier", "IOTANotifier", ...
    static std::string Describe(IOTANotifier* Notifier);

private:
    struct Entry {
        int Index;
        tvx::IntfPtr<IOTANotifier> Notifier;
        std::string Kind;
        std::vector<std::pair<std::string, int>> Heard;
    };
    template <class I>
    static tvx::IntfPtr<I> Query(const tvx::IntfPtr<IOTANotifier>& Notifier)
    {
        if constexpr (std::is_same_v<I, IOTANotifier>)
            return Notifier;
        else
            return Notifier.try_as<I>();
    }
    std::vector<int> Indices() const;
    Entry* Find(int Index) noexcept;
    static void Count(Entry& Entry, const std::string& What);

    std::string owner_;
    std::vector<Entry> entries_;
    int next_ = 0;
};

inline std::string Answer(bool Value) { return Value ? "true" : "false"; }

} // namespace tvx::sim
