// Calls on the elements of a wrapper list (sinks' owners, toolbars, menu
// items) while package code may run in between: each call may end or add
// elements, so the list is read once, an element that has left it since is
// skipped, and each one is held by a counted reference for its call.
#pragma once

#include "host/vcl/Lists.h"

#include <algorithm>
#include <vector>

namespace talvix {

enum class ListOrder { FirstFirst, LastFirst };

template <class T, class Call>
void ForEachStillListed(TThreadList& list, Call&& call, ListOrder order = ListOrder::FirstFirst)
{
    std::vector<T*> snapshot;
    {
        TThreadList::Locked items(list);
        for (void* item : *items)
            snapshot.push_back(static_cast<T*>(item));
    }
    if (order == ListOrder::LastFirst)
        std::reverse(snapshot.begin(), snapshot.end());
    for (T* item : snapshot) {
        {
            TThreadList::Locked items(list);
            if (items->IndexOf(item) < 0)
                continue;
        }
        item->AddRef();
        struct Release {
            T* item;
            ~Release() { item->Release(); }
        } release{item};
        call(item);
    }
}

} // namespace talvix
