// The VCL's pointer list and its locked variant. Indexes outside the list
// raise EListError "List index out of bounds (%d)".
#pragma once

#include "host/vcl/IdeApi.h"
#include "host/vcl/SysUtils.h"
#include "host/vcl/System.h"

#include <mutex>
#include <vector>

class TVX_IDE_API EListError : public Exception {
    TVX_EXCEPTION_CLASS(EListError, Exception)
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TVX_IDE_API TList : public TObject {
    TVX_CLASS(TList, TObject)

    int Count() const noexcept { return int(items_.size()); }
    void* Items(int Index) const;
    void SetItems(int Index, void* Item);
    void* First() const { return Items(0); }
    void* Last() const { return Items(Count() - 1); }

    int Add(void* Item);
    void Insert(int Index, void* Item);
    void Delete(int Index);
    // The index the item had, or -1; only its first occurrence goes.
    int Remove(void* Item);
    // Takes the item out without raising; null when absent.
    void* Extract(void* Item);
    int IndexOf(void* Item) const noexcept;
    void Exchange(int Index1, int Index2);
    void Move(int CurIndex, int NewIndex);
    void Clear() noexcept { items_.clear(); }

    auto begin() const noexcept { return items_.begin(); }
    auto end() const noexcept { return items_.end(); }

private:
    void CheckIndex(int Index) const;
    std::vector<void*> items_;
};

// A TList behind a critical section. The section is re-entrant, as Windows
// critical sections are: the owning thread may lock it again.
class TVX_IDE_API TThreadList : public TObject {
    TVX_CLASS(TThreadList, TObject)

    TThreadList() = default;
    ~TThreadList() override;

    // Duplicates are ignored unless Duplicates says otherwise.
    void Add(void* Item);
    void Remove(void* Item);
    void Clear();
    int Count();

    TList* LockList();
    void UnlockList() noexcept;

    TDuplicates Duplicates() const noexcept { return duplicates_; }
    void SetDuplicates(TDuplicates Value) noexcept { duplicates_ = Value; }

    // Holds the lock for a scope, the C++ form of LockList/try/finally.
    class Locked {
    public:
        explicit Locked(TThreadList& list) : owner_(list), list_(list.LockList()) {}
        ~Locked() { owner_.UnlockList(); }
        Locked(const Locked&) = delete;
        Locked& operator=(const Locked&) = delete;
        TList* operator->() const noexcept { return list_; }
        TList& operator*() const noexcept { return *list_; }

    private:
        TThreadList& owner_;
        TList* list_;
    };

private:
    std::recursive_mutex lock_;
    TList list_;
    TDuplicates duplicates_ = dupIgnore;
};
