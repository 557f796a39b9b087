// Standard controls: TLabel and TComboBox.
#pragma once

#include "host/vcl/Controls.h"
#include "host/vcl/IdeApi.h"
#include "host/vcl/StringList.h"

#include <memory>

enum TTextLayout { tlTop, tlCenter, tlBottom };

class TVX_IDE_API TLabel : public TGraphicControl {
    TVX_CLASS(TLabel, TGraphicControl)

    // The stand-in measures text at 6 pixels a character, 13 high.
    static constexpr int CharWidth = 6;
    static constexpr int TextHeight = 13;

    explicit TLabel(TComponent* AOwner = nullptr);

    TTextLayout Layout() const noexcept { return layout_; }
    void SetLayout(TTextLayout Value) noexcept { layout_ = Value; }
    // With AutoSize (the default) the label is as wide as its caption.
    bool AutoSize() const noexcept { return autoSize_; }
    void SetAutoSize(bool Value);

protected:
    void TextChanged() override;

private:
    void AdjustSize();
    TTextLayout layout_ = tlTop;
    bool autoSize_ = true;
};

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

inline constexpr std::u16string_view SNotInList = u"'%s' is not in the list";

// The combo box keeps its items, selection and text itself; its window
// carries only the text. Indexes outside the items raise EStringListError
// "List index out of bounds (%d)" and change nothing.
//
// ItemIndex and Text stay in step as the system's combo box keeps them:
// selecting an item shows its text, -1 or an index outside the list clears
// both, and the text of a list-only (csDropDownList) box is always the
// selected item's or empty. Setting Text on a list-only box selects the item
// of that text (ignoring case) and is ignored when there is none; on an
// editable box it selects the item that matches exactly, else none.
// Changes made by code fire no event; what the user does fires OnClick
// (picking an item) and OnChange (picking or editing).
class TVX_IDE_API TComboBox : public TWinControl {
    TVX_CLASS(TComboBox, TWinControl)

    // 145 x 21 pixels, csDropDown, no items.
    explicit TComboBox(TComponent* AOwner = nullptr);
    ~TComboBox() override;

    TComboBoxStyle Style() const noexcept { return style_; }
    // Re-creates the window, as the VCL does.
    void SetStyle(TComboBoxStyle Value);
    bool CanEditText() const noexcept { return style_ == csDropDown || style_ == csSimple; }

    TStrings* Items() const noexcept { return items_.get(); }
    void SetItems(TStrings* Value) { items_->Assign(Value); }
    int ItemIndex() const noexcept { return itemIndex_; }
    void SetItemIndex(int Value);
    void SetText(const String& Value) override;
    // Empties the list and the text.
    void Clear();

    TNotifyEvent OnChange() const noexcept { return onChange_; }
    void SetOnChange(const TNotifyEvent& Value) noexcept { onChange_ = Value; }

    // What the user does. Picking raises EStringListError for an index
    // outside the list; typing into a list-only box selects the item of
    // that text and raises EInvalidOperation "'%s' is not in the list" when
    // there is none. Nothing of the box is touched after its handlers run:
    // they may free it.
    void UserSelect(int Index);
    void UserEdit(const String& NewText);

protected:
    // Fires OnChange.
    virtual void Change();

private:
    friend class TComboBoxStrings;
    // The items changed at Index: inserted (+1), deleted (-1) or replaced (0).
    void ItemsChanged(int Index, int Delta);
    void ShowSelection();

    std::unique_ptr<TStrings> items_;
    // Cleared by the destructor, so a pick knows whether its click handler
    // freed the box before the change is reported.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    TComboBoxStyle style_ = csDropDown;
    int itemIndex_ = -1;
    TNotifyEvent onChange_;
};
