// Menus: TMenuItem with its children, and the menu components whose root
// item holds the visible items. Items are components: an owner frees them,
// their names follow the VCL's rules among the owner's components, and an
// item that is freed leaves its parent and frees its own children first.
#pragma once

#include "host/vcl/Classes.h"
#include "host/vcl/IdeApi.h"
#include "host/vcl/ShortCuts.h"

#include <string_view>
#include <vector>

class TCustomImageList;
class TMenu;

inline constexpr std::u16string_view SMenuIndexError = u"Menu index out of range";
inline constexpr std::u16string_view SMenuReinserted = u"Menu inserted twice";
inline constexpr std::u16string_view SMenuNotFound = u"Sub-menu is not in menu";

// The caption that makes an item a separator line.
inline constexpr std::u16string_view cLineCaption = u"-";

class TVX_IDE_API EMenuError : public Exception {
    TVX_EXCEPTION_CLASS(EMenuError, Exception)
};

// The caption without its accelerator marks: "&" goes, "&&" stays one "&".
TVX_IDE_API String StripHotkey(std::u16string_view Text);

class TVX_IDE_API TMenuItem : public TComponent {
    TVX_CLASS(TMenuItem, TComponent)

    explicit TMenuItem(TComponent* AOwner = nullptr);
    // Leaves the parent, then frees the children.
    ~TMenuItem() override;

    const String& Caption() const noexcept { return caption_; }
    void SetCaption(const String& Value) { caption_ = Value; }
    bool Checked() const noexcept { return checked_; }
    void SetChecked(bool Value) noexcept { checked_ = Value; }
    bool AutoCheck() const noexcept { return autoCheck_; }
    void SetAutoCheck(bool Value) noexcept { autoCheck_ = Value; }
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool Value) noexcept { enabled_ = Value; }
    bool Visible() const noexcept { return visible_; }
    void SetVisible(bool Value) noexcept { visible_ = Value; }
    TShortCut ShortCut() const noexcept { return shortCut_; }
    void SetShortCut(TShortCut Value) noexcept { shortCut_ = Value; }
    // -1 for none: an index into the menu's Images.
    int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int Value) noexcept { imageIndex_ = Value; }
    TNotifyEvent OnClick() const noexcept { return onClick_; }
    void SetOnClick(const TNotifyEvent& Value) noexcept { onClick_ = Value; }

    // What choosing the item does: nothing while it is disabled; otherwise
    // toggles an AutoCheck item and fires OnClick.
    virtual void Click();

    int Count() const noexcept { return int(items_.size()); }
    // Raises EMenuError "Menu index out of range" outside 0..Count-1.
    TMenuItem* Items(int Index) const;
    int IndexOf(const TMenuItem* Item) const noexcept;
    TMenuItem* Parent() const noexcept { return parent_; }
    // Position among the parent's children; -1 without a parent.
    int MenuIndex() const noexcept;
    // Moves the item within its parent; an index past the end means last.
    void SetMenuIndex(int Value);

    // An item that already has a parent raises EMenuError "Menu inserted
    // twice"; Insert outside 0..Count raises "Menu index out of range".
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    // Takes child Index out without freeing it.
    void Delete(int Index);
    // An item that is no child raises EMenuError "Sub-menu is not in menu".
    void Remove(TMenuItem* Item);
    // Frees every child.
    void Clear();

    // The first child whose caption matches, ignoring accelerator marks and
    // letter case; null when none does.
    TMenuItem* Find(std::u16string_view ACaption) const;
    bool IsLine() const noexcept { return caption_ == cLineCaption; }
    // The menu whose root this item descends from, or null.
    TMenu* GetParentMenu() const noexcept;

private:
    friend class TMenu;

    String caption_;
    bool checked_ = false;
    bool autoCheck_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    TShortCut shortCut_ = 0;
    int imageIndex_ = -1;
    TNotifyEvent onClick_;
    TMenuItem* parent_ = nullptr;
    std::vector<TMenuItem*> items_;
    // Set on a menu's root item only.
    TMenu* menu_ = nullptr;
};

class TVX_IDE_API TMenu : public TComponent {
    TVX_CLASS(TMenu, TComponent)

    explicit TMenu(TComponent* AOwner = nullptr);
    ~TMenu() override;

    // The root item: its children are the menu's visible items.
    TMenuItem* Items() const noexcept { return items_; }
    // The images the items' ImageIndex refers to; forgotten when freed.
    TCustomImageList* Images() const noexcept { return images_; }
    void SetImages(TCustomImageList* Value);

    // The first item, depth first, whose ShortCut is `ShortCut`, hidden or
    // not; null when none has it.
    TMenuItem* FindItem(TShortCut ShortCut) const;
    // What the form does with a key before its action lists: the item with
    // that shortcut is clicked after each of its parents, top down, unless
    // one of them is disabled; an error a click raises goes to
    // Application's HandleException. True when an item has the shortcut,
    // even one that could not be clicked: the key is used up.
    bool IsShortCut(TShortCut ShortCut);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TMenuItem* items_ = nullptr;
    TCustomImageList* images_ = nullptr;
};

class TVX_IDE_API TMainMenu : public TMenu {
    TVX_CLASS(TMainMenu, TMenu)
    using TMenu::TMenu;
};

// The menu a control shows on a right click.
class TVX_IDE_API TPopupMenu : public TMenu {
    TVX_CLASS(TPopupMenu, TMenu)
    using TMenu::TMenu;

    // Raised as the menu opens, before it shows.
    TNotifyEvent OnPopup() const noexcept { return onPopup_; }
    void SetOnPopup(const TNotifyEvent& Value) noexcept { onPopup_ = Value; }
    void Popup(int X, int Y);
    // Where the last Popup put the menu, in screen coordinates.
    TPoint PopupPoint() const noexcept { return popupPoint_; }

private:
    TNotifyEvent onPopup_;
    TPoint popupPoint_;
};
