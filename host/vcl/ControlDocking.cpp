// Floating and docking of controls: the floating host a control sits in
// while it floats, and moving a control between hosts and dock sites.
#include "host/vcl/ControlDocking.h"

#include "host/vcl/Controls.h"
#include "host/vcl/TypInfo.h"

namespace {

// The window a floating control sits in, as the VCL's tool dock form.
class TFloatHost final : public TWinControl {
    TVX_CLASS(TFloatHost, TWinControl)
    using TWinControl::TWinControl;

protected:
    void CreateParams(TCreateParams& Params) override
    {
        TWinControl::CreateParams(Params);
        TopLevelParams(Params, WS_POPUP | WS_CAPTION);
        Params.ExStyle |= WS_EX_TOOLWINDOW;
    }
};

TFloatHost* FloatHostOf(TWinControl* parent) noexcept { return dynamic_cast<TFloatHost*>(parent); }

} // namespace

TVX_DEFINE_CLASS(TFloatHost)

void FreeFloatHost(TWinControl* formerParent)
{
    if (TFloatHost* host = FloatHostOf(formerParent))
        host->Free();
}

bool TControl::Floating() const noexcept { return FloatHostOf(parent_) != nullptr; }

void TControl::ManualFloat(const TRect& ScreenPos)
{
    TFloatHost* host = FloatHostOf(parent_);
    if (!host) {
        auto* windowed = dynamic_cast<TWinControl*>(this);
        bool hadWindow = windowed && windowed->HandleAllocated();
        host = new TFloatHost(nullptr);
        host->SetBounds(ScreenPos.Left, ScreenPos.Top, ScreenPos.Right - ScreenPos.Left,
                        ScreenPos.Bottom - ScreenPos.Top);
        TWinControl* old = parent_;
        SetParent(host);
        SetBounds(0, 0, width_, height_);
        if (hadWindow)
            host->HandleNeeded();
        FreeFloatHost(old);
        return;
    }
    host->SetBounds(ScreenPos.Left, ScreenPos.Top, ScreenPos.Right - ScreenPos.Left, ScreenPos.Bottom - ScreenPos.Top);
}

void TControl::ManualDock(TWinControl* NewDockSite)
{
    TWinControl* old = parent_;
    SetParent(NewDockSite);
    FreeFloatHost(old);
}
