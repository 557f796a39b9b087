#include "sim/editors/GradientTabSet.h"

#include "host/vcl/TypInfo.h"

namespace tvx::sim {

namespace {

constexpr std::u16string_view SInvalidTabIndex = u"Tab index out of bounds";

} // namespace

// The tab set's Items: it hears every change, whoever makes it.
class TTabList final : public TStringList {
    TVX_CLASS(TTabList, TStringList)

    explicit TTabList(TIDEGradientTabSet& Tabs) : tabs_(&Tabs) {}
    void Detach() noexcept { tabs_ = nullptr; }

protected:
    void Changed() override
    {
        if (tabs_ && UpdateCount() == 0)
            tabs_->ItemsChanged();
        TStringList::Changed();
    }

private:
    TIDEGradientTabSet* tabs_;
};

TVX_DEFINE_CLASS(TTabList)
TVX_DEFINE_CLASS(
    TIDEGradientTabSet, Published<&TIDEGradientTabSet::Items, &TIDEGradientTabSet::SetItems>(u"Items"),
    Published<&TIDEGradientTabSet::TabIndex, &TIDEGradientTabSet::SetTabIndex>(u"TabIndex"),
    Published<&TIDEGradientTabSet::Images, &TIDEGradientTabSet::SetImages>(u"Images"),
    Published<&TIDEGradientTabSet::OnChange, &TIDEGradientTabSet::SetOnChange>(u"OnChange"),
    Published<&TIDEGradientTabSet::OnGetImageIndex, &TIDEGradientTabSet::SetOnGetImageIndex>(u"OnGetImageIndex"),
    Published<&TIDEGradientTabSet::OnGetOverlayImageIndex, &TIDEGradientTabSet::SetOnGetOverlayImageIndex>(
        u"OnGetOverlayImageIndex"),
    Published<&TIDEGradientTabSet::OnMouseDown, &TIDEGradientTabSet::SetOnMouseDown>(u"OnMouseDown"))

TIDEGradientTabSet::TIDEGradientTabSet(TComponent* AOwner)
    : TWinControl(AOwner), items_(std::make_unique<TTabList>(*this))
{}

TIDEGradientTabSet::~TIDEGradientTabSet() { items_->Detach(); }

TStrings* TIDEGradientTabSet::Items() const noexcept { return items_.get(); }

void TIDEGradientTabSet::SetItems(TStrings* Value) { items_->Assign(Value); }

void TIDEGradientTabSet::SetTabIndex(int Value)
{
    if (Value == tabIndex_)
        return;
    if (Value < -1 || Value >= items_->Count())
        throw EInvalidOperation(String(SInvalidTabIndex));
    tabIndex_ = Value;
    Change();
}

void TIDEGradientTabSet::MoveSelection(int Value) noexcept
{
    tabIndex_ = Value >= -1 && Value < items_->Count() ? Value : -1;
}

void TIDEGradientTabSet::Change()
{
    const TNotifyEvent handler = onChange_;
    handler(this);
}

void TIDEGradientTabSet::ItemsChanged() noexcept
{
    if (tabIndex_ >= items_->Count())
        tabIndex_ = items_->Count() - 1;
}

void TIDEGradientTabSet::SetImages(TCustomImageList* Value) { SetNotifiedReference(this, images_, Value); }

void TIDEGradientTabSet::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == images_)
        images_ = nullptr;
}

int TIDEGradientTabSet::TabAt(int X) const noexcept
{
    if (X < 0)
        return -1;
    const int tab = X / TabWidth;
    return tab < items_->Count() ? tab : -1;
}

void TIDEGradientTabSet::Paint()
{
    TComponentAlive alive(this);
    std::vector<PaintedTab> painted;
    // A handler may change the tabs too: the count is read at each step.
    for (int i = 0; i < items_->Count(); ++i) {
        PaintedTab tab;
        tab.Caption = items_->Strings(i);
        tab.Selected = i == tabIndex_;
        const TTabGetImageEvent image = onGetImageIndex_;
        image(this, i, tab.Image);
        if (!alive)
            return;
        const TTabGetImageEvent overlay = onGetOverlayImageIndex_;
        overlay(this, i, tab.Overlay);
        if (!alive)
            return;
        painted.push_back(std::move(tab));
    }
    painted_ = std::move(painted);
}

void TIDEGradientTabSet::Repaint()
{
    TComponentAlive alive(this);
    Paint();
    if (alive)
        TWinControl::Repaint();
}

void TIDEGradientTabSet::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TComponentAlive alive(this);
    const TMouseEvent handler = onMouseDown_;
    handler(this, Button, Shift, X, Y);
    if (!alive || Button != mbLeft)
        return;
    const int tab = TabAt(X);
    if (tab >= 0 && tab != tabIndex_)
        SetTabIndex(tab);
}

} // namespace tvx::sim
