#include "host/vcl/Lists.h"

#include "host/vcl/TypInfo.h"

#include <algorithm>

TVX_DEFINE_CLASS(TList)
TVX_DEFINE_CLASS(TThreadList)

void TList::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError(Format(SListIndexError, Index));
}

void* TList::Items(int Index) const
{
    CheckIndex(Index);
    return items_[std::size_t(Index)];
}

void TList::SetItems(int Index, void* Item)
{
    CheckIndex(Index);
    items_[std::size_t(Index)] = Item;
}

int TList::Add(void* Item)
{
    items_.push_back(Item);
    return Count() - 1;
}

void TList::Insert(int Index, void* Item)
{
    if (Index < 0 || Index > Count())
        throw EListError(Format(SListIndexError, Index));
    items_.insert(items_.begin() + Index, Item);
}

void TList::Delete(int Index)
{
    CheckIndex(Index);
    items_.erase(items_.begin() + Index);
}

int TList::Remove(void* Item)
{
    int index = IndexOf(Item);
    if (index >= 0)
        Delete(index);
    return index;
}

void* TList::Extract(void* Item) { return Remove(Item) >= 0 ? Item : nullptr; }

int TList::IndexOf(void* Item) const noexcept
{
    auto it = std::find(items_.begin(), items_.end(), Item);
    return it == items_.end() ? -1 : int(it - items_.begin());
}

void TList::Exchange(int Index1, int Index2)
{
    CheckIndex(Index1);
    CheckIndex(Index2);
    std::swap(items_[std::size_t(Index1)], items_[std::size_t(Index2)]);
}

void TList::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    CheckIndex(NewIndex);
    void* item = Items(CurIndex);
    items_.erase(items_.begin() + CurIndex);
    items_.insert(items_.begin() + NewIndex, item);
}

TThreadList::~TThreadList()
{
    // Waits for a thread that still holds the list.
    std::lock_guard guard(lock_);
}

void TThreadList::Add(void* Item)
{
    Locked list(*this);
    if (duplicates_ == dupAccept || list->IndexOf(Item) < 0)
        list->Add(Item);
    else if (duplicates_ == dupError)
        throw EListError(Format(SDuplicateItem, reinterpret_cast<std::uintptr_t>(Item)));
}

void TThreadList::Remove(void* Item)
{
    Locked list(*this);
    list->Remove(Item);
}

void TThreadList::Clear()
{
    Locked list(*this);
    list->Clear();
}

int TThreadList::Count()
{
    Locked list(*this);
    return list->Count();
}

TList* TThreadList::LockList()
{
    lock_.lock();
    return &list_;
}

void TThreadList::UnlockList() noexcept { lock_.unlock(); }
