#include "host/vcl/Controls.h"

#include "host/vcl/ControlDocking.h"
#include "host/vcl/Graphics.h"
#include "host/vcl/Lists.h"
#include "host/vcl/Menus.h"
#include "host/vcl/TypInfo.h"
#include "host/win32/Kernel.h"
#include "interop/Bstr.h"

#include <algorithm>

namespace {
constexpr std::u16string_view kAlignNames[] = {u"alNone",  u"alTop",    u"alBottom", u"alLeft",
                                               u"alRight", u"alClient", u"alCustom"};
} // namespace

TVX_DEFINE_CLASS(TControl, Published<&TControl::Left, &TControl::SetLeft>(u"Left"),
                 Published<&TControl::Top, &TControl::SetTop>(u"Top"),
                 Published<&TControl::Width, &TControl::SetWidth>(u"Width"),
                 Published<&TControl::Height, &TControl::SetHeight>(u"Height"),
                 Published<&TControl::Visible, &TControl::SetVisible>(u"Visible"),
                 Published<&TControl::Enabled, &TControl::SetEnabled>(u"Enabled"),
                 Published<&TControl::Hint, &TControl::SetHint>(u"Hint"),
                 Published<&TControl::Align, &TControl::SetAlign>(u"Align", kAlignNames),
                 Published<&TControl::Color, &TControl::SetColor>(u"Color", {}, ColorIdents()),
                 Published<&TControl::Font, &TControl::SetFont>(u"Font"),
                 Published<&TControl::ParentFont, &TControl::SetParentFont>(u"ParentFont"),
                 Published<&TControl::PopupMenu, &TControl::SetPopupMenu>(u"PopupMenu"),
                 Published<&TControl::OnResize, &TControl::SetOnResize>(u"OnResize"))
TVX_DEFINE_CLASS(TGraphicControl)
TVX_DEFINE_CLASS(TWinControl, Published<&TWinControl::TabOrder, &TWinControl::SetTabOrder>(u"TabOrder"))

namespace {

bool IsDestroying(const TComponent* c) noexcept { return c->ComponentState().Contains(csDestroying); }

} // namespace

// Every control window runs through here to its control's WndProc. The
// control rides in the window's user data, set while WM_NCCREATE passes.
LRESULT CALLBACK VclWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TWinControl* control = nullptr;
    if (msg == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        control = static_cast<TWinControl*>(create->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
        if (control)
            control->handle_ = hwnd;
    } else {
        control = reinterpret_cast<TWinControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!control)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    TMessage message{msg, wParam, lParam, 0};
    control->WndProc(message);
    return message.Result;
}

// --- TControl -------------------------------------------------------------

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), font_(std::make_unique<TFont>())
{
    font_->SetOnChange(MakeEvent<&TControl::FontChange>(this));
}

TControl::~TControl()
{
    Destroying();
    if (TWinControl* parent = parent_) {
        parent->RemoveControl(this);
        FreeFloatHost(parent);
    }
}

void TControl::SetParent(TWinControl* AParent)
{
    if (parent_ == AParent)
        return;
    for (TWinControl* p = AParent; p; p = p->Parent())
        if (p == this)
            throw EInvalidOperation(String(SControlParentSetToSelf));
    if (parent_)
        parent_->RemoveControl(this);
    if (AParent)
        AParent->InsertControl(this);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == popupMenu_)
        popupMenu_ = nullptr;
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    if (ALeft == left_ && ATop == top_ && AWidth == width_ && AHeight == height_)
        return;
    const bool resized = AWidth != width_ || AHeight != height_;
    left_ = ALeft;
    top_ = ATop;
    width_ = AWidth;
    height_ = AHeight;
    BoundsChanged();
    if (auto* self = dynamic_cast<TWinControl*>(this); self && resized)
        self->Realign();
    if (parent_ && !IsDestroying(parent_))
        parent_->AlignControls(this);
    Resize();
}

void TControl::Resize()
{
    // Copied first: the handler may free this control.
    TNotifyEvent handler = onResize_;
    handler(this);
}

void TControl::SetAlign(TAlign Value)
{
    if (align_ == Value)
        return;
    align_ = Value;
    if (parent_ && !IsDestroying(parent_))
        parent_->AlignControls(this);
}

void TControl::SetParentFont(bool Value)
{
    parentFont_ = Value;
    if (Value)
        TakeParentFont();
}

void TControl::TakeParentFont()
{
    if (!parentFont_ || !parent_)
        return;
    font_->Assign(parent_->Font());
    // Assigning raised FontChanged, which turned the flag off.
    parentFont_ = true;
}

void TControl::FontChange(TObject*) { FontChanged(); }

void TControl::FontChanged() { parentFont_ = false; }

void TControl::SetPopupMenu(TPopupMenu* Value) { SetNotifiedReference(this, popupMenu_, Value); }

void TControl::BringToFront()
{
    if (parent_) {
        auto& siblings = parent_->controls_;
        siblings.erase(std::find(siblings.begin(), siblings.end(), this));
        siblings.push_back(this);
    }
    if (auto* self = dynamic_cast<TWinControl*>(this); self && self->handle_)
        SetWindowPos(self->handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TControl::Repaint()
{
    if (parent_)
        parent_->Update();
}

void TControl::SetVisible(bool Value)
{
    if (visible_ == Value)
        return;
    visible_ = Value;
    VisibleChanged();
    if (parent_ && !IsDestroying(parent_))
        parent_->AlignControls(this);
}

bool TControl::Showing() const noexcept
{
    for (const TControl* c = this; c; c = c->parent_)
        if (!c->visible_)
            return false;
    return true;
}

void TControl::SetEnabled(bool Value)
{
    if (enabled_ == Value)
        return;
    enabled_ = Value;
    EnabledChanged();
}

void TControl::SetText(const String& Value) { StoreText(Value); }

void TControl::StoreText(const String& Value)
{
    if (text_ == Value)
        return;
    text_ = Value;
    TextChanged();
    if (parent_ && !IsDestroying(parent_))
        parent_->AlignControls(this);
}

void TControl::Click()
{
    // Copied first: the handler may free this control.
    TNotifyEvent handler = onClick_;
    handler(this);
}

// --- TWinControl ----------------------------------------------------------

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl()
{
    Destroying();
    if (TWinControl* parent = Parent()) {
        parent->RemoveControl(this);
        FreeFloatHost(parent);
    }
    while (!controls_.empty()) {
        TControl* child = controls_.back();
        controls_.pop_back();
        child->parent_ = nullptr;
        child->Free();
    }
    DestroyHandle();
}

TControl* TWinControl::Controls(int Index) const
{
    if (Index < 0 || Index >= ControlCount())
        throw EListError(Format(SListIndexError, Index));
    return controls_[std::size_t(Index)];
}

bool TWinControl::IsChild(const TControl* Control) const noexcept
{
    return std::find(controls_.begin(), controls_.end(), Control) != controls_.end();
}

bool TWinControl::ContainsControl(const TControl* Control) const noexcept
{
    for (const TControl* c = Control; c; c = c->Parent())
        if (c == this)
            return true;
    return false;
}

void TWinControl::InsertControl(TControl* AControl)
{
    if (!AControl || AControl->parent_ == this)
        return;
    controls_.push_back(AControl);
    AControl->parent_ = this;
    AControl->TakeParentFont();
    ControlInserted(AControl);
    if (auto* windowed = dynamic_cast<TWinControl*>(AControl)) {
        if (windowed->handle_ && handle_)
            ::SetParent(windowed->handle_, handle_);
        else if (handle_ && windowed->Visible())
            windowed->CreateHandle();
    }
    AlignControls(AControl);
}

void TWinControl::RemoveControl(TControl* AControl)
{
    auto it = std::find(controls_.begin(), controls_.end(), AControl);
    if (it == controls_.end())
        return;
    // The VCL destroys a windowed control's window when it leaves its parent.
    if (auto* windowed = dynamic_cast<TWinControl*>(AControl))
        windowed->DestroyHandle();
    it = std::find(controls_.begin(), controls_.end(), AControl);
    if (it != controls_.end())
        controls_.erase(it);
    AControl->parent_ = nullptr;
    ControlRemoved(AControl);
    if (!IsDestroying(this))
        AlignControls(nullptr);
}

HWND TWinControl::Handle()
{
    if (!handle_)
        CreateHandle();
    return handle_;
}

void TWinControl::RecreateWnd()
{
    if (!handle_)
        return;
    DestroyHandle();
    CreateHandle();
}

void TWinControl::Update() { Realign(); }

void TWinControl::SetFocus() { ::SetFocus(Handle()); }

bool TWinControl::Focused() const { return handle_ && ::GetFocus() == handle_; }

TWinControl* TWinControl::FindControl(HWND Handle) noexcept
{
    if (!Handle || GetWindowLongPtrW(Handle, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&VclWindowProc))
        return nullptr;
    return reinterpret_cast<TWinControl*>(GetWindowLongPtrW(Handle, GWLP_USERDATA));
}

void TWinControl::CreateParams(TCreateParams& Params)
{
    Params.Caption = Text();
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (Visible())
        Params.Style |= WS_VISIBLE;
    if (!Enabled())
        Params.Style |= WS_DISABLED;
    Params.X = Left();
    Params.Y = Top();
    Params.Width = Width();
    Params.Height = Height();
    Params.WndParent = Parent() ? Parent()->Handle() : nullptr;
    Params.WinClassName = String(ClassType()->ClassName());
}

void TWinControl::TopLevelParams(TCreateParams& Params, DWORD Style) noexcept
{
    Params.Style = (Params.Style & ~DWORD(WS_CHILD)) | Style;
    Params.WndParent = nullptr;
}

void TWinControl::CreateWnd()
{
    TCreateParams params;
    CreateParams(params);
    if ((params.Style & WS_CHILD) && !params.WndParent)
        throw EInvalidOperation(Format(SParentRequired, Name()));
    WNDCLASSW existing{};
    if (!GetClassInfoW(GetModuleHandleW(nullptr), tvx::AsOleChar(params.WinClassName.c_str()), &existing)) {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &VclWindowProc;
        windowClass.lpszClassName = tvx::AsOleChar(params.WinClassName.c_str());
        if (!RegisterClassW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            throw EOutOfResources(String(SWindowClass));
    }
    HWND created = CreateWindowExW(params.ExStyle, tvx::AsOleChar(params.WinClassName.c_str()),
                                   tvx::AsOleChar(params.Caption.c_str()), params.Style, params.X, params.Y,
                                   params.Width, params.Height, params.WndParent, nullptr, nullptr, this);
    if (!created)
        throw EOutOfResources(String(SWindowCreate));
    handle_ = created;
}

void TWinControl::DestroyWnd() { DestroyWindowHandle(); }

void TWinControl::DestroyWindowHandle()
{
    if (handle_)
        DestroyWindow(handle_);
    handle_ = nullptr;
}

void TWinControl::CreateHandle()
{
    if (handle_ || creating_)
        return;
    creating_ = true;
    try {
        CreateWnd();
    } catch (...) {
        creating_ = false;
        throw;
    }
    creating_ = false;
    UpdateShowing();
    // A new window is sized as it comes up (WM_SIZE), which the VCL raises
    // as OnResize: an owner learns here that its control has a new handle.
    if (!IsDestroying(this))
        Resize();
}

void TWinControl::UpdateShowing()
{
    for (std::size_t i = 0; i < controls_.size() && handle_; ++i)
        if (auto* windowed = dynamic_cast<TWinControl*>(controls_[i]))
            if (windowed->Visible() && !windowed->handle_)
                windowed->CreateHandle();
}

void TWinControl::DestroyHandle()
{
    if (!handle_)
        return;
    for (TControl* child : std::vector<TControl*>(controls_))
        if (auto* windowed = dynamic_cast<TWinControl*>(child); windowed && ContainsControl(windowed))
            windowed->DestroyHandle();
    DestroyWnd();
}

void TWinControl::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_WINDOWPOSCHANGED:
        // Someone moved the window itself: the control follows it.
        if (const auto* pos = reinterpret_cast<const WINDOWPOS*>(Message.LParam)) {
            int left = (pos->flags & SWP_NOMOVE) ? Left() : pos->x;
            int top = (pos->flags & SWP_NOMOVE) ? Top() : pos->y;
            int width = (pos->flags & SWP_NOSIZE) ? Width() : pos->cx;
            int height = (pos->flags & SWP_NOSIZE) ? Height() : pos->cy;
            if (left != Left() || top != Top() || width != Width() || height != Height()) {
                const bool resized = width != Width() || height != Height();
                left_ = left;
                top_ = top;
                width_ = width;
                height_ = height;
                if (resized)
                    Realign();
                if (Parent() && !IsDestroying(Parent()))
                    Parent()->AlignControls(this);
                DefaultHandler(Message);
                // Last: the handler may free the control.
                Resize();
                return;
            }
        }
        break;
    case WM_NCDESTROY: {
        HWND handle = handle_;
        DefaultHandler(Message);
        SetWindowLongPtrW(handle, GWLP_USERDATA, 0);
        handle_ = nullptr;
        return;
    }
    default: break;
    }
    DefaultHandler(Message);
}

void TWinControl::DefaultHandler(TMessage& Message)
{
    Message.Result = DefWindowProcW(handle_, Message.Msg, Message.WParam, Message.LParam);
}

void TWinControl::AlignControls(TControl*)
{
    if (aligning_ || IsDestroying(this))
        return;
    aligning_ = true;
    TRect rest{0, 0, ClientWidth(), ClientHeight()};
    // Children may resize their own children meanwhile; a snapshot keeps the walk sound.
    const std::vector<TControl*> children = controls_;
    for (TAlign edge : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TControl* c : children) {
            if (!IsChild(c) || c->Align() != edge || !c->Visible())
                continue;
            const int width = std::max(rest.Right - rest.Left, 0);
            const int height = std::max(rest.Bottom - rest.Top, 0);
            switch (edge) {
            case alTop:
                c->SetBounds(rest.Left, rest.Top, width, c->Height());
                rest.Top += c->Height();
                break;
            case alBottom:
                c->SetBounds(rest.Left, rest.Bottom - c->Height(), width, c->Height());
                rest.Bottom -= c->Height();
                break;
            case alLeft:
                c->SetBounds(rest.Left, rest.Top, c->Width(), height);
                rest.Left += c->Width();
                break;
            case alRight:
                c->SetBounds(rest.Right - c->Width(), rest.Top, c->Width(), height);
                rest.Right -= c->Width();
                break;
            default: c->SetBounds(rest.Left, rest.Top, width, height); break;
            }
        }
    }
    aligning_ = false;
}

void TWinControl::FontChanged()
{
    TControl::FontChanged();
    for (TControl* c : std::vector<TControl*>(controls_))
        if (IsChild(c))
            c->TakeParentFont();
}

void TWinControl::VisibleChanged()
{
    if (handle_)
        ShowWindow(handle_, Visible() ? SW_SHOW : SW_HIDE);
    else if (Visible() && Parent() && Parent()->handle_)
        CreateHandle();
}

void TWinControl::EnabledChanged()
{
    if (handle_)
        EnableWindow(handle_, Enabled() ? TRUE : FALSE);
}

void TWinControl::TextChanged()
{
    if (handle_)
        SetWindowTextW(handle_, tvx::AsOleChar(Text().c_str()));
}

void TWinControl::BoundsChanged()
{
    if (handle_)
        SetWindowPos(handle_, nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}
