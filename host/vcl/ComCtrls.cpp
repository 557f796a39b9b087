#include "host/vcl/ComCtrls.h"

#include "host/vcl/ImgList.h"
#include "host/vcl/Lists.h"
#include "host/vcl/TypInfo.h"

#include <algorithm>

TVX_DEFINE_CLASS(TToolButton, Published<&TControl::Caption, &TControl::SetCaption>(u"Caption"),
                 Published<&TToolButton::Style, &TToolButton::SetStyle>(u"Style"),
                 Published<&TToolButton::Down, &TToolButton::SetDown>(u"Down"),
                 Published<&TToolButton::ImageIndex, &TToolButton::SetImageIndex>(u"ImageIndex"),
                 Published<&TControl::OnClick, &TControl::SetOnClick>(u"OnClick"))
TVX_DEFINE_CLASS(TToolBar, Published<&TControl::Caption, &TControl::SetCaption>(u"Caption"),
                 Published<&TToolBar::AutoSize, &TToolBar::SetAutoSize>(u"AutoSize"),
                 Published<&TToolBar::ButtonWidth, &TToolBar::SetButtonWidth>(u"ButtonWidth"),
                 Published<&TToolBar::ButtonHeight, &TToolBar::SetButtonHeight>(u"ButtonHeight"),
                 Published<&TToolBar::Images, &TToolBar::SetImages>(u"Images"))
TVX_DEFINE_CLASS(TStatusBar, Published<&TStatusBar::SimpleText, &TStatusBar::SetSimpleText>(u"SimpleText"))

TStatusBar::TStatusBar(TComponent* AOwner) : TWinControl(AOwner)
{
    SetBounds(0, 0, 0, 19);
    SetAlign(alBottom);
}

namespace {

bool TakesButtonSize(const TControl* control) noexcept
{
    const auto* button = dynamic_cast<const TToolButton*>(control);
    return button && button->Style() != tbsSeparator && button->Style() != tbsDivider;
}

} // namespace

// --- TToolButton ----------------------------------------------------------

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, DefaultWidth, DefaultHeight); }

TToolButton::~TToolButton()
{
    // Leaves while still a button, so the toolbar drops it from its buttons.
    SetParent(nullptr);
}

void TToolButton::SetStyle(TToolButtonStyle Value)
{
    if (style_ == Value)
        return;
    style_ = Value;
    if (Parent())
        Parent()->Realign();
}

int TToolButton::Index() const noexcept { return toolBar_ ? toolBar_->IndexOfButton(this) : -1; }

void TToolButton::Click()
{
    if (style_ == tbsCheck)
        down_ = !down_;
    TControl::Click();
}

// --- TToolBar -------------------------------------------------------------

TToolBar::TToolBar(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 150, buttonHeight_ + 7); }

TToolBar::~TToolBar()
{
    Destroying();
    SetImages(nullptr);
    while (ControlCount() > 0)
        Controls(ControlCount() - 1)->Free();
}

TToolButton* TToolBar::Buttons(int Index) const
{
    if (Index < 0 || Index >= ButtonCount())
        throw EListError(Format(SListIndexError, Index));
    return buttons_[std::size_t(Index)];
}

int TToolBar::IndexOfButton(const TToolButton* Button) const noexcept
{
    auto it = std::find(buttons_.begin(), buttons_.end(), Button);
    return it == buttons_.end() ? -1 : int(it - buttons_.begin());
}

std::vector<TControl*> TToolBar::OrderedControls() const
{
    std::vector<TControl*> result;
    for (const Slot& slot : slots_)
        result.push_back(slot.Control);
    return result;
}

void TToolBar::SetImages(TCustomImageList* Value) { SetNotifiedReference(this, images_, Value); }

void TToolBar::SetButtonWidth(int Value)
{
    buttonWidth_ = std::max(Value, 0);
    Realign();
}

void TToolBar::SetButtonHeight(int Value)
{
    buttonHeight_ = std::max(Value, 0);
    Realign();
}

void TToolBar::SetIndent(int Value)
{
    indent_ = std::max(Value, 0);
    Realign();
}

void TToolBar::SetAutoSize(bool Value)
{
    autoSize_ = Value;
    Realign();
}

std::size_t TToolBar::PlaceFor(int left) const noexcept
{
    for (std::size_t i = 0; i < slots_.size(); ++i)
        if (slots_[i].Control->Left() >= left)
            return i;
    return slots_.size();
}

void TToolBar::ControlInserted(TControl* AControl)
{
    slots_.insert(slots_.begin() + std::ptrdiff_t(PlaceFor(AControl->Left())), Slot{AControl, AControl->Left()});
    if (auto* button = dynamic_cast<TToolButton*>(AControl))
        button->toolBar_ = this;
    RebuildButtons();
}

void TToolBar::ControlRemoved(TControl* AControl)
{
    std::erase_if(slots_, [&](const Slot& s) { return s.Control == AControl; });
    for (TToolButton* button : buttons_)
        if (button == AControl)
            button->toolBar_ = nullptr;
    RebuildButtons();
}

void TToolBar::RebuildButtons()
{
    buttons_.clear();
    for (const Slot& slot : slots_)
        if (auto* button = dynamic_cast<TToolButton*>(slot.Control))
            buttons_.push_back(button);
}

void TToolBar::AlignControls(TControl* AControl)
{
    if (aligning_)
        return;
    auto moved = std::find_if(slots_.begin(), slots_.end(), [&](const Slot& s) { return s.Control == AControl; });
    if (moved != slots_.end() && AControl->Left() != moved->LaidOutLeft) {
        slots_.erase(moved);
        slots_.insert(slots_.begin() + std::ptrdiff_t(PlaceFor(AControl->Left())), Slot{AControl, AControl->Left()});
        RebuildButtons();
    }
    Layout();
}

void TToolBar::Layout()
{
    aligning_ = true;
    int x = indent_;
    int height = buttonHeight_;
    for (Slot& slot : slots_) {
        TControl* control = slot.Control;
        if (control->Visible()) {
            bool buttonSized = TakesButtonSize(control);
            int w = buttonSized ? buttonWidth_ : control->Width();
            int h = buttonSized ? buttonHeight_ : control->Height();
            control->SetBounds(x, 0, w, h);
            x += w;
            height = std::max(height, h);
        } else {
            // A hidden control takes no room but keeps its place in the row.
            control->SetBounds(x, 0, control->Width(), control->Height());
        }
        slot.LaidOutLeft = control->Left();
    }
    if (autoSize_)
        SetBounds(Left(), Top(), x, height);
    aligning_ = false;
}

void TToolBar::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent && AComponent == images_)
        images_ = nullptr;
}
