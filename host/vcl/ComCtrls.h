// Toolbars: TToolBar and its TToolButton.
//
// A toolbar keeps its controls in one row, in its own order, and lays them
// out left to right (a hidden control takes no room and sits where the next
// control starts). Where a control goes
// follows its Left, as in the VCL: a control that joins the toolbar, or
// whose Left is set, is placed before the first control whose Left is at or
// beyond its own. A new button (Left 0) therefore lands first, and setting
// Left to the width of the toolbar's parent moves it after every control.
#pragma once

#include "host/vcl/Controls.h"
#include "host/vcl/IdeApi.h"

#include <vector>

class TCustomImageList;
class TToolBar;

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider, tbsTextButton };

class TVX_IDE_API TToolButton : public TGraphicControl {
    TVX_CLASS(TToolButton, TGraphicControl)

    // A new button is 23 x 22 pixels, the VCL's default.
    static constexpr int DefaultWidth = 23;
    static constexpr int DefaultHeight = 22;

    explicit TToolButton(TComponent* AOwner = nullptr);
    ~TToolButton() override;

    TToolButtonStyle Style() const noexcept { return style_; }
    void SetStyle(TToolButtonStyle Value);
    // A check button toggles it when clicked.
    bool Down() const noexcept { return down_; }
    void SetDown(bool Value) noexcept { down_ = Value; }
    // -1: no image.
    int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int Value) noexcept { imageIndex_ = Value; }
    // The position among its toolbar's buttons; -1 when on no toolbar.
    int Index() const noexcept;
    TToolBar* ToolBar() const noexcept { return toolBar_; }

    // A check button toggles Down, then OnClick fires.
    void Click() override;

private:
    friend class TToolBar;
    TToolBar* toolBar_ = nullptr;
    TToolButtonStyle style_ = tbsButton;
    bool down_ = false;
    int imageIndex_ = -1;
};

class TVX_IDE_API TToolBar : public TWinControl {
    TVX_CLASS(TToolBar, TWinControl)

    explicit TToolBar(TComponent* AOwner = nullptr);
    // Frees its controls while it is still a toolbar.
    ~TToolBar() override;

    // The toolbar's buttons in toolbar order; other controls are not buttons.
    int ButtonCount() const noexcept { return int(buttons_.size()); }
    // Raises EListError outside 0..ButtonCount-1.
    TToolButton* Buttons(int Index) const;
    int IndexOfButton(const TToolButton* Button) const noexcept;
    // Every control of the toolbar in toolbar order.
    std::vector<TControl*> OrderedControls() const;

    TCustomImageList* Images() const noexcept { return images_; }
    // The list is watched: when it is freed the toolbar forgets it.
    void SetImages(TCustomImageList* Value);

    // A button, check or drop-down button takes this size on the toolbar;
    // separators, dividers and other controls keep their own width.
    int ButtonWidth() const noexcept { return buttonWidth_; }
    void SetButtonWidth(int Value);
    int ButtonHeight() const noexcept { return buttonHeight_; }
    void SetButtonHeight(int Value);
    int Indent() const noexcept { return indent_; }
    void SetIndent(int Value);

    // With AutoSize the toolbar is as wide as its visible controls and as
    // high as the tallest of them (at least ButtonHeight).
    bool AutoSize() const noexcept { return autoSize_; }
    void SetAutoSize(bool Value);

protected:
    void AlignControls(TControl* AControl) override;
    void ControlInserted(TControl* AControl) override;
    void ControlRemoved(TControl* AControl) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    struct Slot {
        TControl* Control;
        // Where the last layout put it; a different Left means it was moved.
        int LaidOutLeft;
    };
    // Where a control with this Left goes among the others.
    std::size_t PlaceFor(int left) const noexcept;
    void Layout();
    void RebuildButtons();

    std::vector<Slot> slots_;
    std::vector<TToolButton*> buttons_;
    TCustomImageList* images_ = nullptr;
    int buttonWidth_ = TToolButton::DefaultWidth;
    int buttonHeight_ = TToolButton::DefaultHeight;
    int indent_ = 0;
    bool autoSize_ = false;
    bool aligning_ = false;
};

// The status bar at the foot of a window: one simple text, aligned to the
// bottom edge of its parent.
class TVX_IDE_API TStatusBar : public TWinControl {
    TVX_CLASS(TStatusBar, TWinControl)

    explicit TStatusBar(TComponent* AOwner = nullptr);

    const String& SimpleText() const noexcept { return simpleText_; }
    void SetSimpleText(const String& Value) { simpleText_ = Value; }

private:
    String simpleText_;
};
