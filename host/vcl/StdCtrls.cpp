#include "host/vcl/StdCtrls.h"

#include "host/vcl/TypInfo.h"

#include <algorithm>
#include <vector>

// The combo box's own item list, which keeps the selection in step.
class TComboBoxStrings final : public TStrings {
    TVX_CLASS(TComboBoxStrings, TStrings)

    explicit TComboBoxStrings(TComboBox* Owner) : owner_(Owner) {}

    void Insert(int Index, const String& S) override
    {
        if (Index < 0 || Index > Count())
            Error(SListIndexError, Index);
        items_.insert(items_.begin() + Index, Item{S, nullptr});
        owner_->ItemsChanged(Index, +1);
    }
    void Delete(int Index) override
    {
        CheckIndex(Index);
        items_.erase(items_.begin() + Index);
        owner_->ItemsChanged(Index, -1);
    }
    void Clear() override
    {
        items_.clear();
        owner_->ItemsChanged(-1, 0);
    }

protected:
    String Get(int Index) const override
    {
        CheckIndex(Index);
        return items_[std::size_t(Index)].Text;
    }
    int GetCount() const override { return int(items_.size()); }
    TObject* GetObject(int Index) const override
    {
        CheckIndex(Index);
        return items_[std::size_t(Index)].Object;
    }
    void Put(int Index, const String& S) override
    {
        CheckIndex(Index);
        items_[std::size_t(Index)].Text = S;
        owner_->ItemsChanged(Index, 0);
    }
    void PutObject(int Index, TObject* AObject) override
    {
        CheckIndex(Index);
        items_[std::size_t(Index)].Object = AObject;
    }

private:
    struct Item {
        String Text;
        TObject* Object;
    };
    void CheckIndex(int Index) const
    {
        if (Index < 0 || Index >= Count())
            Error(SListIndexError, Index);
    }

    TComboBox* owner_;
    std::vector<Item> items_;
};

TVX_DEFINE_CLASS(TComboBoxStrings)
TVX_DEFINE_CLASS(TLabel, Published<&TControl::Caption, &TControl::SetCaption>(u"Caption"),
                 Published<&TLabel::Layout, &TLabel::SetLayout>(u"Layout"),
                 Published<&TLabel::AutoSize, &TLabel::SetAutoSize>(u"AutoSize"))
TVX_DEFINE_CLASS(TComboBox, Published<&TComboBox::Style, &TComboBox::SetStyle>(u"Style"),
                 Published<&TControl::Text, &TComboBox::SetText>(u"Text"),
                 Published<&TComboBox::ItemIndex, &TComboBox::SetItemIndex>(u"ItemIndex"),
                 Published<&TComboBox::OnChange, &TComboBox::SetOnChange>(u"OnChange"),
                 Published<&TControl::OnClick, &TControl::SetOnClick>(u"OnClick"))

// --- TLabel ---------------------------------------------------------------

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 0, TextHeight); }

void TLabel::SetAutoSize(bool Value)
{
    autoSize_ = Value;
    AdjustSize();
}

void TLabel::TextChanged() { AdjustSize(); }

void TLabel::AdjustSize()
{
    if (autoSize_)
        SetBounds(Left(), Top(), int(Caption().size()) * CharWidth, TextHeight);
}

// --- TComboBox ------------------------------------------------------------

TComboBox::TComboBox(TComponent* AOwner) : TWinControl(AOwner), items_(std::make_unique<TComboBoxStrings>(this))
{
    SetBounds(0, 0, 145, 21);
}

TComboBox::~TComboBox() { *alive_ = false; }

void TComboBox::SetStyle(TComboBoxStyle Value)
{
    if (style_ == Value)
        return;
    style_ = Value;
    if (!CanEditText())
        ShowSelection();
    RecreateWnd();
}

void TComboBox::SetItemIndex(int Value)
{
    // The system clears the selection for -1 and for an index it lacks.
    itemIndex_ = Value >= 0 && Value < items_->Count() ? Value : -1;
    ShowSelection();
}

void TComboBox::ShowSelection() { StoreText(itemIndex_ >= 0 ? items_->Strings(itemIndex_) : String()); }

void TComboBox::SetText(const String& Value)
{
    if (!CanEditText()) {
        int index = items_->IndexOf(Value);
        if (index >= 0) {
            itemIndex_ = index;
            ShowSelection();
        }
        return;
    }
    itemIndex_ = -1;
    for (int i = 0; i < items_->Count(); ++i) {
        if (items_->Strings(i) == Value) {
            itemIndex_ = i;
            break;
        }
    }
    StoreText(Value);
}

void TComboBox::Clear()
{
    items_->Clear();
    StoreText(String());
}

void TComboBox::ItemsChanged(int Index, int Delta)
{
    if (Index < 0) {
        itemIndex_ = -1;
        StoreText(String());
        return;
    }
    if (itemIndex_ < 0)
        return;
    if (Delta > 0 && Index <= itemIndex_) {
        ++itemIndex_;
    } else if (Delta < 0 && Index < itemIndex_) {
        --itemIndex_;
    } else if (Delta < 0 && Index == itemIndex_) {
        itemIndex_ = -1;
        if (!CanEditText())
            StoreText(String());
    } else if (Delta == 0 && Index == itemIndex_ && !CanEditText()) {
        ShowSelection();
    }
}

void TComboBox::Change()
{
    TNotifyEvent handler = onChange_;
    handler(this);
}

void TComboBox::UserSelect(int Index)
{
    String text = items_->Strings(Index);
    itemIndex_ = Index;
    StoreText(text);
    // The system reports a pick as a click, then as a change; the click's
    // handler may free the box.
    std::shared_ptr<bool> alive = alive_;
    Click();
    if (*alive)
        Change();
}

void TComboBox::UserEdit(const String& NewText)
{
    if (!CanEditText()) {
        int index = items_->IndexOf(NewText);
        if (index < 0)
            throw EInvalidOperation(Format(SNotInList, NewText));
        UserSelect(index);
        return;
    }
    SetText(NewText);
    Change();
}
