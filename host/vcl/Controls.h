// Controls: TControl with its parent, bounds, visibility, enabled state,
// caption, hint and click event; TGraphicControl, drawn by its parent; and
// TWinControl, which owns a window of the win32 stand-in.
//
// A windowed control creates its window on demand: when someone asks for
// Handle, or when it is visible and its parent has a window. As in the VCL,
// taking a windowed control off its parent destroys its window (re-docking
// re-creates it), destroying a window destroys the windows of its child
// controls first, and a window that Windows destroys behind the control's
// back (its parent window went) leaves the control without a handle.
#pragma once

#include "host/vcl/Classes.h"
#include "host/vcl/Graphics.h"
#include "host/vcl/IdeApi.h"
#include "host/win32/Windowing.h"

#include <memory>
#include <vector>

class TWinControl;
class TPopupMenu;

// Where a control sits in its parent: against an edge, filling what the
// edge-aligned controls leave (alClient), or where its bounds say.
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };

inline constexpr std::u16string_view SParentRequired = u"Control '%s' has no parent window";
inline constexpr std::u16string_view SWindowClass = u"Error creating window class";
inline constexpr std::u16string_view SWindowCreate = u"Error creating window";
inline constexpr std::u16string_view SControlParentSetToSelf = u"A control cannot have itself as its parent";

// A window message as a control's WndProc sees it.
struct TVX_IDE_API TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

class TVX_IDE_API TControl : public TComponent {
    TVX_CLASS(TControl, TComponent)

    explicit TControl(TComponent* AOwner = nullptr);
    // Leaves the parent first.
    ~TControl() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    TWinControl* Parent() const noexcept { return parent_; }
    // Leaves the old parent and joins the new one (null: none). A control
    // cannot be its own parent or the parent of one of its parents.
    virtual void SetParent(TWinControl* AParent);

    int Left() const noexcept { return left_; }
    int Top() const noexcept { return top_; }
    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    void SetLeft(int Value) { SetBounds(Value, top_, width_, height_); }
    void SetTop(int Value) { SetBounds(left_, Value, width_, height_); }
    void SetWidth(int Value) { SetBounds(left_, top_, Value, height_); }
    void SetHeight(int Value) { SetBounds(left_, top_, width_, Value); }
    // Tells the parent, which may arrange its controls again, then raises
    // OnResize. Nothing of the control is touched after the handler.
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const noexcept { return TRect{left_, top_, left_ + width_, top_ + height_}; }
    // The emulated windows have no frames: the client area is the whole control.
    int ClientWidth() const noexcept { return width_; }
    int ClientHeight() const noexcept { return height_; }
    void SetClientWidth(int Value) { SetWidth(Value); }
    void SetClientHeight(int Value) { SetHeight(Value); }

    TAlign Align() const noexcept { return align_; }
    void SetAlign(TAlign Value);

    // Raised after every change of the bounds, whoever made it, and when a
    // windowed control gets a new window.
    TNotifyEvent OnResize() const noexcept { return onResize_; }
    void SetOnResize(const TNotifyEvent& Value) noexcept { onResize_ = Value; }

    TColor Color() const noexcept { return color_; }
    void SetColor(TColor Value) noexcept { color_ = Value; }
    TFont* Font() const noexcept { return font_.get(); }
    void SetFont(TFont* Value) { font_->Assign(Value); }
    // The control's font follows its parent's; setting a font value of its
    // own turns this off, as the VCL does.
    bool ParentFont() const noexcept { return parentFont_; }
    void SetParentFont(bool Value);

    TPopupMenu* PopupMenu() const noexcept { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* Value);

    // Moves the control above its siblings.
    void BringToFront();
    // Repaints at once.
    void Refresh() { Repaint(); }
    virtual void Repaint();

    bool Visible() const noexcept { return visible_; }
    void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and every parent up to a top-level control visible too.
    bool Showing() const noexcept;

    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool Value);

    // Caption and Text are one value, as in the VCL.
    const String& Caption() const noexcept { return text_; }
    void SetCaption(const String& Value) { SetText(Value); }
    const String& Text() const noexcept { return text_; }
    // A control may refuse or adjust a text, as a list-only combo box does.
    virtual void SetText(const String& Value);

    const String& Hint() const noexcept { return hint_; }
    void SetHint(const String& Value) { hint_ = Value; }
    bool ShowHint() const noexcept { return showHint_; }
    void SetShowHint(bool Value) noexcept { showHint_ = Value; }

    TNotifyEvent OnClick() const noexcept { return onClick_; }
    void SetOnClick(const TNotifyEvent& Value) noexcept { onClick_ = Value; }
    // Fires OnClick. Nothing of the control is touched after the handler,
    // which may free the control.
    virtual void Click();

    // Floating: the control sits in a floating dock host of its own, made
    // by ManualFloat and freed by ManualDock. A form floats as a window of
    // its own instead.
    virtual bool Floating() const noexcept;
    virtual void ManualFloat(const TRect& ScreenPos);
    void ManualDock(TWinControl* NewDockSite);

protected:
    // Raises OnResize.
    virtual void Resize();
    // The font changed; the control no longer follows its parent's.
    virtual void FontChanged();
    virtual void VisibleChanged() {}
    virtual void EnabledChanged() {}
    virtual void TextChanged() {}
    virtual void BoundsChanged() {}
    // Stores a text as it is, with the usual follow-ups.
    void StoreText(const String& Value);
    // The parent calls this while it joins or leaves.
    void SetParentField(TWinControl* AParent) noexcept { parent_ = AParent; }

private:
    friend class TWinControl;
    void FontChange(TObject*);
    // Takes the parent's font while ParentFont is on.
    void TakeParentFont();

    TWinControl* parent_ = nullptr;
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    bool showHint_ = false;
    bool parentFont_ = true;
    TAlign align_ = alNone;
    TColor color_ = clBtnFace;
    String text_;
    String hint_;
    TNotifyEvent onClick_;
    TNotifyEvent onResize_;
    std::unique_ptr<TFont> font_;
    TPopupMenu* popupMenu_ = nullptr;
};

// A control without a window of its own; its parent shows it.
class TVX_IDE_API TGraphicControl : public TControl {
    TVX_CLASS(TGraphicControl, TControl)
    using TControl::TControl;
};

// What CreateWnd passes to CreateWindowExW.
struct TVX_IDE_API TCreateParams {
    String Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    HWND WndParent = nullptr;
    String WinClassName;
};

class TVX_IDE_API TWinControl : public TControl {
    TVX_CLASS(TWinControl, TControl)

    explicit TWinControl(TComponent* AOwner = nullptr);
    // Leaves the parent, frees every child control (owned or not, as the
    // VCL does) and destroys the window.
    ~TWinControl() override;

    int ControlCount() const noexcept { return int(controls_.size()); }
    // Raises EListError outside 0..ControlCount-1.
    TControl* Controls(int Index) const;
    bool ContainsControl(const TControl* Control) const noexcept;
    // One of this control's own children (not a grandchild).
    bool IsChild(const TControl* Control) const noexcept;
    // SetParent calls these; they keep the list and the windows in step.
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);

    // The window, created first if there is none. A child control whose
    // parent chain ends without a window host raises EInvalidOperation
    // "Control '%s' has no parent window".
    HWND Handle();
    bool HandleAllocated() const noexcept { return handle_ != nullptr; }
    void HandleNeeded() { (void)Handle(); }
    // Destroys the window and makes a new one, if there was one.
    void RecreateWnd();

    int TabOrder() const noexcept { return tabOrder_; }
    void SetTabOrder(int Value) noexcept { tabOrder_ = Value; }
    // Repaints at once. The stand-in draws nothing; it arranges the
    // children again, which painting would show.
    void Update();
    void Repaint() override { Update(); }
    void Realign() { AlignControls(nullptr); }

    void SetFocus();
    bool Focused() const;

    // The control that owns a window, or null.
    static TWinControl* FindControl(HWND Handle) noexcept;

protected:
    virtual void CreateParams(TCreateParams& Params);
    // Makes the parameters those of a top-level window with that style, as
    // forms and floating hosts have.
    static void TopLevelParams(TCreateParams& Params, DWORD Style) noexcept;
    virtual void CreateWnd();
    virtual void DestroyWnd();
    // The step that destroys the window itself, while it still exists: a
    // class hooks it to take foreign child windows out first. A class that
    // overrides it destroys its handle in its own destructor, or the
    // override is not reached for the last window.
    virtual void DestroyWindowHandle();
    void CreateHandle();
    // The children's windows go first, then this one.
    void DestroyHandle();
    virtual void WndProc(TMessage& Message);
    void DefaultHandler(TMessage& Message);
    // Arranges the child controls by their Align, edges first (top,
    // bottom, left, right), then alClient in what is left. AControl is the
    // one that changed (moved, resized, shown, hidden, joined or left), or
    // null for all.
    virtual void AlignControls(TControl* AControl);
    // A control joins or leaves this one; the list is already updated.
    virtual void ControlInserted(TControl*) {}
    virtual void ControlRemoved(TControl*) {}

    void VisibleChanged() override;
    void EnabledChanged() override;
    void TextChanged() override;
    void BoundsChanged() override;
    void FontChanged() override;

private:
    friend class TControl;
    friend LRESULT CALLBACK VclWindowProc(HWND, UINT, WPARAM, LPARAM);
    // A visible child of a control with a window gets its window too.
    void UpdateShowing();

    std::vector<TControl*> controls_;
    HWND handle_ = nullptr;
    int tabOrder_ = -1;
    bool creating_ = false;
    bool aligning_ = false;
};
