// The VCL's string lists: TStrings, the abstract list of texts with an object
// each, and TStringList, its ordinary storage. Indexes outside the list raise
// EStringListError "List index out of bounds (%d)".
#pragma once

#include "host/vcl/Classes.h"
#include "host/vcl/IdeApi.h"
#include "host/vcl/Lists.h"

#include <vector>

class TVX_IDE_API EStringListError : public Exception {
    TVX_EXCEPTION_CLASS(EStringListError, Exception)
};

class TVX_IDE_API TStrings : public TPersistent {
    TVX_CLASS(TStrings, TPersistent)

    int Count() const { return GetCount(); }
    String Strings(int Index) const { return Get(Index); }
    void SetStrings(int Index, const String& S) { Put(Index, S); }
    TObject* Objects(int Index) const { return GetObject(Index); }
    void SetObjects(int Index, TObject* AObject) { PutObject(Index, AObject); }

    virtual int Add(const String& S);
    virtual int AddObject(const String& S, TObject* AObject);
    void AddStrings(const TStrings* Strings);
    virtual void Insert(int Index, const String& S) = 0;
    virtual void InsertObject(int Index, const String& S, TObject* AObject);
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;
    virtual void Exchange(int Index1, int Index2);
    virtual void Move(int CurIndex, int NewIndex);
    // The first match, ignoring case unless the list says otherwise; -1.
    virtual int IndexOf(const String& S) const;
    int IndexOfObject(TObject* AObject) const;

    // Change events wait for the last EndUpdate.
    void BeginUpdate();
    void EndUpdate();

    // Takes the texts and objects of another string list.
    void Assign(TPersistent* Source) override;

protected:
    virtual String Get(int Index) const = 0;
    virtual int GetCount() const = 0;
    virtual TObject* GetObject(int Index) const;
    virtual void Put(int Index, const String& S);
    virtual void PutObject(int Index, TObject* AObject);
    virtual void SetUpdateState(bool Updating);
    virtual int CompareStrings(const String& S1, const String& S2) const;
    int UpdateCount() const noexcept { return updateCount_; }
    [[noreturn]] void Error(std::u16string_view Msg, int Data) const;

private:
    int updateCount_ = 0;
};

class TVX_IDE_API TStringList : public TStrings {
    TVX_CLASS(TStringList, TStrings)

    TStringList() = default;
    // An owning list frees its objects when they leave it.
    explicit TStringList(bool OwnsObjects) : ownsObjects_(OwnsObjects) {}
    ~TStringList() override;

    int Add(const String& S) override;
    int AddObject(const String& S, TObject* AObject) override;
    void Insert(int Index, const String& S) override;
    void InsertObject(int Index, const String& S, TObject* AObject) override;
    void Delete(int Index) override;
    void Clear() override;
    void Exchange(int Index1, int Index2) override;
    int IndexOf(const String& S) const override;
    // Binary search of a sorted list: true when found; Index is where S is
    // or would go.
    bool Find(const String& S, int& Index) const;
    void Sort();

    bool Sorted() const noexcept { return sorted_; }
    void SetSorted(bool Value);
    TDuplicates Duplicates() const noexcept { return duplicates_; }
    void SetDuplicates(TDuplicates Value) noexcept { duplicates_ = Value; }
    bool CaseSensitive() const noexcept { return caseSensitive_; }
    void SetCaseSensitive(bool Value);
    bool OwnsObjects() const noexcept { return ownsObjects_; }
    void SetOwnsObjects(bool Value) noexcept { ownsObjects_ = Value; }

    TNotifyEvent OnChange() const noexcept { return onChange_; }
    void SetOnChange(const TNotifyEvent& Value) noexcept { onChange_ = Value; }
    TNotifyEvent OnChanging() const noexcept { return onChanging_; }
    void SetOnChanging(const TNotifyEvent& Value) noexcept { onChanging_ = Value; }

protected:
    String Get(int Index) const override;
    int GetCount() const override { return int(items_.size()); }
    TObject* GetObject(int Index) const override;
    void Put(int Index, const String& S) override;
    void PutObject(int Index, TObject* AObject) override;
    void SetUpdateState(bool Updating) override;
    int CompareStrings(const String& S1, const String& S2) const override;
    virtual void Changed();
    virtual void Changing();

private:
    struct Item {
        String Text;
        TObject* Object;
    };
    void CheckIndex(int Index) const;
    void InsertItem(int Index, const String& S, TObject* AObject);

    std::vector<Item> items_;
    bool sorted_ = false;
    bool caseSensitive_ = false;
    bool ownsObjects_ = false;
    TDuplicates duplicates_ = dupIgnore;
    TNotifyEvent onChange_;
    TNotifyEvent onChanging_;
};
