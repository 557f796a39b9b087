// Forms and frames. A form is a top-level window until it is docked into
// another control; docking and floating re-create its window.
#include "host/vcl/Forms.h"

#include "host/vcl/FormStreams.h"
#include "host/vcl/Lists.h"
#include "host/vcl/RtlConsts.h"
#include "host/vcl/TypInfo.h"

#include <algorithm>

TVX_DEFINE_CLASS(TScrollingWinControl)
TVX_DEFINE_CLASS(TCustomForm, Published<&TControl::Caption, &TControl::SetCaption>(u"Caption"),
                 Published<&TControl::ClientWidth, &TControl::SetClientWidth>(u"ClientWidth"),
                 Published<&TControl::ClientHeight, &TControl::SetClientHeight>(u"ClientHeight"),
                 Published<&TCustomForm::OldCreateOrder, &TCustomForm::SetOldCreateOrder>(u"OldCreateOrder"),
                 Published<&TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch>(u"PixelsPerInch"),
                 Published<&TCustomForm::TextHeight, &TCustomForm::SetTextHeight>(u"TextHeight"))
TVX_DEFINE_CLASS(TForm)
TVX_DEFINE_CLASS(TCustomFrame)
TVX_DEFINE_CLASS(TFrame)

namespace {

TScreen screen;

// Without an application object (a test of forms alone) the active form is
// kept here.
TCustomForm* noApplicationActiveForm = nullptr;

bool IsDestroying(const TComponent* c) noexcept { return c->ComponentState().Contains(csDestroying); }

} // namespace

TScreen* Screen = &screen;

TCustomForm* TScreen::Forms(int Index) const
{
    if (Index < 0 || Index >= FormCount())
        throw EListError(Format(SListIndexError, Index));
    return forms_[std::size_t(Index)];
}

TCustomForm*& TCustomForm::ActiveFormSlot() noexcept
{
    return Application ? Application->activeForm_ : noApplicationActiveForm;
}

TCustomForm::TCustomForm(TComponent* AOwner) : TScrollingWinControl(AOwner), icon_(std::make_unique<TIcon>())
{
    SetVisible(false);
    screen.forms_.push_back(this);
}

TCustomForm::~TCustomForm()
{
    if (ActiveFormSlot() == this)
        ActiveFormSlot() = nullptr;
    auto& forms = screen.forms_;
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
}

void TCustomForm::BeforeDestruction()
{
    Destroying();
    Hide();
    if (ActiveFormSlot() == this)
        ActiveFormSlot() = nullptr;
    TNotifyEvent handler = onDestroy_;
    handler(this);
    TScrollingWinControl::BeforeDestruction();
}

bool TCustomForm::Active() const noexcept { return ActiveFormSlot() == this; }

void TCustomForm::Show()
{
    TComponentAlive alive(this);
    SetVisible(true);
    if (!alive)
        return;
    BringToFront();
    Activate();
}

void TCustomForm::Activate()
{
    TCustomForm* old = ActiveFormSlot();
    if (old == this || IsDestroying(this))
        return;
    ActiveFormSlot() = this;
    if (old) {
        TNotifyEvent handler = old->onDeactivate_;
        handler(old);
        // Gone or replaced meanwhile: the deactivated form's handler decided.
        if (ActiveFormSlot() != this)
            return;
    }
    TNotifyEvent handler = onActivate_;
    handler(this);
}

void TCustomForm::Deactivate()
{
    if (ActiveFormSlot() != this)
        return;
    ActiveFormSlot() = nullptr;
    TNotifyEvent handler = onDeactivate_;
    handler(this);
}

void TCustomForm::SetFocus()
{
    TComponentAlive alive(this);
    Activate();
    if (alive && Showing())
        TScrollingWinControl::SetFocus();
}

void TCustomForm::Close()
{
    TCloseAction action = caHide;
    TComponentAlive alive(this);
    TCloseEvent handler = onClose_;
    handler(this, action);
    if (!alive || action == caNone)
        return;
    if (Application && Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    // The subset has no minimized state: a minimized form is out of sight.
    if (action == caFree)
        Release();
    else
        Hide();
}

void TCustomForm::Release()
{
    if (Application)
        Application->QueueMessage(Handle(), CM_RELEASE);
    else
        Free();
}

bool TCustomForm::Floating() const noexcept { return Parent() == nullptr; }

void TCustomForm::ManualFloat(const TRect& ScreenPos)
{
    SetParent(nullptr);
    SetBounds(ScreenPos.Left, ScreenPos.Top, ScreenPos.Right - ScreenPos.Left, ScreenPos.Bottom - ScreenPos.Top);
    if (Visible())
        HandleNeeded();
}

void TCustomForm::SetParent(TWinControl* AParent)
{
    if (AParent == Parent())
        return;
    // A top-level window cannot simply become a child: the window is made
    // anew in its new place, as the VCL does.
    if (HandleAllocated())
        DestroyHandle();
    TScrollingWinControl::SetParent(AParent);
    if (!AParent && Visible() && !IsDestroying(this))
        HandleNeeded();
}

void TCustomForm::CreateParams(TCreateParams& Params)
{
    TScrollingWinControl::CreateParams(Params);
    if (Parent())
        return;
    TopLevelParams(Params, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME);
    // Owned by the main window, so it stays above it and goes with it.
    if (Application && Application->MainForm() && Application->MainForm() != this &&
        Application->MainForm()->HandleAllocated())
        Params.WndParent = Application->MainFormHandle();
}

void TCustomForm::VisibleChanged()
{
    TScrollingWinControl::VisibleChanged();
    if (Visible() && !Parent() && !HandleAllocated())
        CreateHandle();
    if (IsDestroying(this))
        return;
    if (Visible()) {
        TNotifyEvent handler = onShow_;
        handler(this);
        return;
    }
    TComponentAlive alive(this);
    Deactivate();
    if (!alive)
        return;
    TNotifyEvent handler = onHide_;
    handler(this);
}

void TCustomForm::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_MOUSEACTIVATE: {
        TMouseActivate answer = maDefault;
        TComponentAlive alive(this);
        TMouseActivateEvent handler = onMouseActivate_;
        handler(this, mbLeft, TShiftState(), 0, 0, int(LOWORD(Message.LParam)), answer);
        if (!alive)
            return;
        Message.Result = answer == maDefault ? MA_ACTIVATE : LRESULT(answer);
        if (Message.Result == MA_ACTIVATE || Message.Result == MA_ACTIVATEANDEAT)
            Activate();
        return;
    }
    case WM_ACTIVATE:
        if (LOWORD(Message.WParam) == WA_INACTIVE)
            Deactivate();
        else
            Activate();
        return;
    case WM_CLOSE: Close(); return;
    case CM_RELEASE: Free(); return;
    default: break;
    }
    TScrollingWinControl::WndProc(Message);
}

void InitInheritedForm(TComponent* Instance, TClass RootAncestor)
{
    if (!InitInheritedComponent(Instance, RootAncestor))
        throw EResNotFound(Format(SResNotFound, Instance->ClassType()->ClassName()));
}
