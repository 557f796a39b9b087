#include "host/vcl/Menus.h"

#include "host/vcl/Forms.h"
#include "host/vcl/ImgList.h"
#include "host/vcl/TypInfo.h"

#include <algorithm>

namespace {
// Published as an ordinal: TShortCut is a 16-bit value.
int ShortCutOf(const TMenuItem& item) noexcept { return item.ShortCut(); }
void SetShortCutOf(TMenuItem& item, int value) noexcept { item.SetShortCut(TShortCut(value)); }
} // namespace

TVX_DEFINE_CLASS(TMenuItem, Published<&TMenuItem::Caption, &TMenuItem::SetCaption>(u"Caption"),
                 Published<&TMenuItem::Checked, &TMenuItem::SetChecked>(u"Checked"),
                 Published<&TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck>(u"AutoCheck"),
                 Published<&TMenuItem::Enabled, &TMenuItem::SetEnabled>(u"Enabled"),
                 Published<&TMenuItem::Visible, &TMenuItem::SetVisible>(u"Visible"),
                 Published<&TMenuItem::ImageIndex, &TMenuItem::SetImageIndex>(u"ImageIndex"),
                 Published<&TMenuItem::OnClick, &TMenuItem::SetOnClick>(u"OnClick"),
                 TPropInfo{u"ShortCut",
                           tkInteger,
                           nullptr,
                           [](TObject* o) { return TPropValue(ShortCutOf(*static_cast<TMenuItem*>(o))); },
                           [](TObject* o, const TPropValue& v) {
                               const int* value = std::get_if<int>(&v);
                               if (!value)
                                   RaiseInvalidPropertyValue();
                               SetShortCutOf(*static_cast<TMenuItem*>(o), *value);
                           },
                           {},
                           {}})
TVX_DEFINE_CLASS(TMenu)
TVX_DEFINE_CLASS(TMainMenu)
TVX_DEFINE_CLASS(TPopupMenu)

void TPopupMenu::Popup(int X, int Y)
{
    popupPoint_ = TPoint{X, Y};
    TNotifyEvent handler = onPopup_;
    handler(this);
}

String StripHotkey(std::u16string_view Text)
{
    String result;
    result.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == u'&') {
            if (i + 1 < Text.size() && Text[i + 1] == u'&') {
                result += u'&';
                ++i;
            }
            continue;
        }
        result += Text[i];
    }
    return result;
}

// --- TMenuItem ------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem()
{
    if (parent_)
        parent_->Remove(this);
    Clear();
}

void TMenuItem::Click()
{
    if (!enabled_)
        return;
    if (autoCheck_)
        checked_ = !checked_;
    onClick_(this);
}

TMenuItem* TMenuItem::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EMenuError(String(SMenuIndexError));
    return items_[std::size_t(Index)];
}

int TMenuItem::IndexOf(const TMenuItem* Item) const noexcept
{
    auto it = std::find(items_.begin(), items_.end(), Item);
    return it == items_.end() ? -1 : int(it - items_.begin());
}

int TMenuItem::MenuIndex() const noexcept { return parent_ ? parent_->IndexOf(this) : -1; }

void TMenuItem::SetMenuIndex(int Value)
{
    if (!parent_)
        return;
    TMenuItem* parent = parent_;
    int count = parent->Count();
    Value = std::clamp(Value, 0, count - 1);
    int current = MenuIndex();
    if (Value == current)
        return;
    parent->items_.erase(parent->items_.begin() + current);
    parent->items_.insert(parent->items_.begin() + Value, this);
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item)
{
    if (!Item)
        return;
    if (Item->parent_)
        throw EMenuError(String(SMenuReinserted));
    if (Index < 0 || Index > Count())
        throw EMenuError(String(SMenuIndexError));
    // An item inside its own subtree would make a cycle.
    for (const TMenuItem* p = this; p; p = p->parent_)
        if (p == Item)
            throw EMenuError(String(SMenuReinserted));
    items_.insert(items_.begin() + Index, Item);
    Item->parent_ = this;
}

void TMenuItem::Delete(int Index)
{
    TMenuItem* item = Items(Index);
    items_.erase(items_.begin() + Index);
    item->parent_ = nullptr;
}

void TMenuItem::Remove(TMenuItem* Item)
{
    int index = IndexOf(Item);
    if (index < 0)
        throw EMenuError(String(SMenuNotFound));
    Delete(index);
}

void TMenuItem::Clear()
{
    // Each child takes itself out of the list as it goes.
    while (!items_.empty())
        items_.back()->Free();
}

TMenuItem* TMenuItem::Find(std::u16string_view ACaption) const
{
    String wanted = StripHotkey(ACaption);
    for (TMenuItem* item : items_)
        if (SameText(StripHotkey(item->caption_), wanted))
            return item;
    return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const noexcept
{
    const TMenuItem* item = this;
    while (item->parent_)
        item = item->parent_;
    return item->menu_;
}

// --- TMenu ----------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), items_(new TMenuItem(nullptr)) { items_->menu_ = this; }

TMenu::~TMenu()
{
    SetImages(nullptr);
    // The tree first: the items it holds leave this menu's components as
    // they go, and the inherited destructor frees what was never placed.
    FreeAndNil(items_);
}

void TMenu::SetImages(TCustomImageList* Value) { SetNotifiedReference(this, images_, Value); }

TMenuItem* TMenu::FindItem(TShortCut ShortCut) const
{
    auto find = [&](auto& self, TMenuItem* parent) -> TMenuItem* {
        for (int i = 0; i < parent->Count(); ++i) {
            TMenuItem* item = parent->Items(i);
            if (item->ShortCut() == ShortCut)
                return item;
            if (TMenuItem* found = self(self, item))
                return found;
        }
        return nullptr;
    };
    return ShortCut == scNone ? nullptr : find(find, items_);
}

bool TMenu::IsShortCut(TShortCut ShortCut)
{
    if (!FindItem(ShortCut))
        return false;
    // Top down: a parent's click may fill, change or free its submenu, so
    // the item is found again after each click, and the clicks stop when
    // its parents are no longer the ones clicked.
    std::vector<TMenuItem*> clicked;
    try {
        while (TMenuItem* item = FindItem(ShortCut)) {
            std::vector<TMenuItem*> chain;
            for (TMenuItem* p = item; p && p != items_; p = p->Parent())
                chain.insert(chain.begin(), p);
            if (clicked.size() >= chain.size() || !std::equal(clicked.begin(), clicked.end(), chain.begin()))
                break;
            TMenuItem* next = chain[clicked.size()];
            if (!next->Enabled())
                break;
            clicked.push_back(next);
            next->Click();
        }
    } catch (...) {
        if (!Application)
            throw;
        Application->HandleException(this);
    }
    return true;
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == images_)
        images_ = nullptr;
}
