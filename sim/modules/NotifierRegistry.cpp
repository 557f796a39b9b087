#include "sim/modules/NotifierRegistry.h"

#include "host/ide/ToolsAPIServices.h"

#include <algorithm>

namespace tvx::sim {

int NotifierRegistry::Add(IOTANotifier* Notifier)
{
    if (!Notifier)
        return -1;
    entries_.push_back(Entry{next_, Notifier, Describe(Notifier), {}});
    return next_++;
}

void NotifierRegistry::Remove(int Index) noexcept
{
    auto it = std::find_if(entries_.begin(), entries_.end(), [Index](const Entry& e) { return e.Index == Index; });
    if (it == entries_.end())
        return;
    // Off the list before the release: the notifier's destructor may call back.
    tvx::IntfPtr<IOTANotifier> going = std::move(it->Notifier);
    entries_.erase(it);
}

std::vector<NotifierRecord> NotifierRegistry::Records() const
{
    std::vector<NotifierRecord> records;
    for (const Entry& e : entries_)
        records.push_back(NotifierRecord{e.Index, e.Kind, e.Heard});
    return records;
}

void NotifierRegistry::DestroyAll(NotifierJournal* Journal)
{
    while (!entries_.empty()) {
        Entry entry = std::move(entries_.front());
        entries_.erase(entries_.begin());
        const std::string who = owner_ + " notifier " + std::to_string(entry.Index) + " Destroyed";
        if (!GuardedCall(Journal, who, [&] { entry.Notifier->Destroyed(); }) && Journal)
            Journal->Add(who);
    }
}

std::string NotifierRegistry::Describe(IOTANotifier* Notifier)
{
    tvx::IntfPtr<IOTANotifier> n(Notifier);
    std::vector<std::string> kinds;
    if (n.try_as<IOTAModuleNotifier90>())
        kinds.push_back("IOTAModuleNotifier90");
    else if (n.try_as<IOTAModuleNotifier80>())
        kinds.push_back("IOTAModuleNotifier80");
    else if (n.try_as<IOTAModuleNotifier>())
        kinds.push_back("IOTAModuleNotifier");
    if (n.try_as<IOTAEditorNotifier>())
        kinds.push_back("IOTAEditorNotifier");
    if (n.try_as<INTAEditServicesNotifier>())
        kinds.push_back("INTAEditServicesNotifier");
    if (kinds.empty())
        return "IOTANotifier";
    std::string text;
    for (const std::string& kind : kinds)
        text += (text.empty() ? "" : "+") + kind;
    return text;
}

std::vector<int> NotifierRegistry::Indices() const
{
    std::vector<int> indices;
    for (const Entry& e : entries_)
        indices.push_back(e.Index);
    return indices;
}

NotifierRegistry::Entry* NotifierRegistry::Find(int Index) noexcept
{
    for (Entry& e : entries_)
        if (e.Index == Index)
            return &e;
    return nullptr;
}

void NotifierRegistry::Count(Entry& Entry, const std::string& What)
{
    for (auto& heard : Entry.Heard)
        if (heard.first == What) {
            ++heard.second;
            return;
        }
    Entry.Heard.emplace_back(What, 1);
}

} // namespace tvx::sim
