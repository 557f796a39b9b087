#include "host/vcl/StringList.h"

#include "host/vcl/TypInfo.h"

#include <algorithm>

TVX_DEFINE_CLASS(TStrings)
TVX_DEFINE_CLASS(TStringList)

namespace {
// BeginUpdate for a scope; EndUpdate also when an error leaves it.
class UpdateScope {
public:
    explicit UpdateScope(TStrings& list) : list_(list) { list_.BeginUpdate(); }
    ~UpdateScope() { list_.EndUpdate(); }
    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;

private:
    TStrings& list_;
};
} // namespace

// --- TStrings -------------------------------------------------------------

void TStrings::Error(std::u16string_view Msg, int Data) const { throw EStringListError(Format(Msg, Data)); }

int TStrings::Add(const String& S)
{
    int index = Count();
    Insert(index, S);
    return index;
}

int TStrings::AddObject(const String& S, TObject* AObject)
{
    int index = Add(S);
    PutObject(index, AObject);
    return index;
}

void TStrings::AddStrings(const TStrings* Strings)
{
    UpdateScope update(*this);
    for (int i = 0; i < Strings->Count(); ++i)
        AddObject(Strings->Strings(i), Strings->Objects(i));
}

void TStrings::InsertObject(int Index, const String& S, TObject* AObject)
{
    Insert(Index, S);
    PutObject(Index, AObject);
}

void TStrings::Exchange(int Index1, int Index2)
{
    UpdateScope update(*this);
    String text = Strings(Index1);
    TObject* object = Objects(Index1);
    SetStrings(Index1, Strings(Index2));
    SetObjects(Index1, Objects(Index2));
    SetStrings(Index2, text);
    SetObjects(Index2, object);
}

void TStrings::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    UpdateScope update(*this);
    String text = Get(CurIndex);
    TObject* object = GetObject(CurIndex);
    Delete(CurIndex);
    InsertObject(NewIndex, text, object);
}

int TStrings::IndexOf(const String& S) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (CompareStrings(Get(i), S) == 0)
            return i;
    return -1;
}

int TStrings::IndexOfObject(TObject* AObject) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (GetObject(i) == AObject)
            return i;
    return -1;
}

// The state changes while the count is 0, so that a list's change events
// fire once around the whole update.
void TStrings::BeginUpdate()
{
    if (updateCount_ == 0)
        SetUpdateState(true);
    ++updateCount_;
}

void TStrings::EndUpdate()
{
    if (updateCount_ == 0)
        return;
    if (--updateCount_ == 0)
        SetUpdateState(false);
}

void TStrings::Assign(TPersistent* Source)
{
    auto* source = dynamic_cast<TStrings*>(Source);
    if (!source) {
        TPersistent::Assign(Source);
        return;
    }
    UpdateScope update(*this);
    Clear();
    AddStrings(source);
}

TObject* TStrings::GetObject(int) const { return nullptr; }

void TStrings::Put(int Index, const String& S)
{
    TObject* object = GetObject(Index);
    Delete(Index);
    InsertObject(Index, S, object);
}

void TStrings::PutObject(int, TObject*) {}

void TStrings::SetUpdateState(bool) {}

int TStrings::CompareStrings(const String& S1, const String& S2) const { return CompareText(S1, S2); }

// --- TStringList ----------------------------------------------------------

TStringList::~TStringList()
{
    onChange_ = nullptr;
    onChanging_ = nullptr;
    Clear();
}

void TStringList::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        Error(SListIndexError, Index);
}

String TStringList::Get(int Index) const
{
    CheckIndex(Index);
    return items_[std::size_t(Index)].Text;
}

TObject* TStringList::GetObject(int Index) const
{
    CheckIndex(Index);
    return items_[std::size_t(Index)].Object;
}

int TStringList::Add(const String& S) { return AddObject(S, nullptr); }

int TStringList::AddObject(const String& S, TObject* AObject)
{
    int index = Count();
    if (sorted_ && Find(S, index)) {
        if (duplicates_ == dupIgnore)
            return index;
        if (duplicates_ == dupError)
            throw EStringListError(String(SDuplicateString));
    }
    InsertItem(index, S, AObject);
    return index;
}

void TStringList::Insert(int Index, const String& S) { InsertObject(Index, S, nullptr); }

void TStringList::InsertObject(int Index, const String& S, TObject* AObject)
{
    if (sorted_)
        throw EStringListError(String(SSortedListError));
    if (Index < 0 || Index > Count())
        Error(SListIndexError, Index);
    InsertItem(Index, S, AObject);
}

void TStringList::InsertItem(int Index, const String& S, TObject* AObject)
{
    Changing();
    items_.insert(items_.begin() + Index, Item{S, AObject});
    Changed();
}

void TStringList::Delete(int Index)
{
    CheckIndex(Index);
    Changing();
    TObject* object = items_[std::size_t(Index)].Object;
    items_.erase(items_.begin() + Index);
    if (ownsObjects_)
        FreeAndNil(object);
    Changed();
}

void TStringList::Clear()
{
    if (items_.empty())
        return;
    Changing();
    std::vector<Item> old;
    old.swap(items_);
    if (ownsObjects_)
        for (Item& item : old)
            FreeAndNil(item.Object);
    Changed();
}

void TStringList::Exchange(int Index1, int Index2)
{
    CheckIndex(Index1);
    CheckIndex(Index2);
    Changing();
    std::swap(items_[std::size_t(Index1)], items_[std::size_t(Index2)]);
    Changed();
}

void TStringList::Put(int Index, const String& S)
{
    if (sorted_)
        throw EStringListError(String(SSortedListError));
    CheckIndex(Index);
    Changing();
    items_[std::size_t(Index)].Text = S;
    Changed();
}

void TStringList::PutObject(int Index, TObject* AObject)
{
    CheckIndex(Index);
    Changing();
    items_[std::size_t(Index)].Object = AObject;
    Changed();
}

int TStringList::IndexOf(const String& S) const
{
    if (!sorted_)
        return TStrings::IndexOf(S);
    int index = 0;
    return Find(S, index) ? index : -1;
}

bool TStringList::Find(const String& S, int& Index) const
{
    auto it = std::lower_bound(items_.begin(), items_.end(), S,
                               [this](const Item& item, const String& s) { return CompareStrings(item.Text, s) < 0; });
    Index = int(it - items_.begin());
    return it != items_.end() && CompareStrings(it->Text, S) == 0;
}

void TStringList::Sort()
{
    if (items_.size() < 2)
        return;
    Changing();
    std::stable_sort(items_.begin(), items_.end(),
                     [this](const Item& a, const Item& b) { return CompareStrings(a.Text, b.Text) < 0; });
    Changed();
}

void TStringList::SetSorted(bool Value)
{
    if (Value == sorted_)
        return;
    if (Value)
        Sort();
    sorted_ = Value;
}

void TStringList::SetCaseSensitive(bool Value)
{
    if (Value == caseSensitive_)
        return;
    caseSensitive_ = Value;
    if (sorted_)
        Sort();
}

int TStringList::CompareStrings(const String& S1, const String& S2) const
{
    if (caseSensitive_)
        return S1.compare(S2);
    return CompareText(S1, S2);
}

void TStringList::SetUpdateState(bool Updating)
{
    if (Updating)
        Changing();
    else
        Changed();
}

void TStringList::Changing()
{
    if (UpdateCount() == 0)
        onChanging_(this);
}

void TStringList::Changed()
{
    if (UpdateCount() == 0)
        onChange_(this);
}
