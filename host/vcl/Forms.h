// The Forms unit: the application object (the IDE's message loop, its
// OnMessage hook, its help entry and its active form), forms and frames.
#pragma once

#include "host/vcl/Classes.h"
#include "host/vcl/Controls.h"
#include "host/vcl/Graphics.h"
#include "host/vcl/IdeApi.h"
#include "host/vcl/ShortCuts.h"
#include "host/win32/WinTypes.h"

#include <deque>
#include <memory>
#include <vector>

class TCustomForm;

// A window that scrolls its client area; the subset never scrolls.
class TVX_IDE_API TScrollingWinControl : public TWinControl {
    TVX_CLASS(TScrollingWinControl, TWinControl)
    using TWinControl::TWinControl;
};

// What Close does once OnClose has had its say.
enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = TEvent<TObject*, TCloseAction&>;

enum TMouseButton { mbLeft, mbRight, mbMiddle };
// Sender, Button, Shift, X, Y.
using TMouseEvent = TEvent<TObject*, TMouseButton, TShiftState, int, int>;
enum TMouseActivate { maDefault, maActivate, maActivateAndEat, maNoActivate, maNoActivateAndEat };
// Sender, Button, Shift, X, Y, HitTest, and the answer to WM_MOUSEACTIVATE.
using TMouseActivateEvent = TEvent<TObject*, TMouseButton, TShiftState, int, int, int, TMouseActivate&>;

// A form: a top-level window of its own while it has no parent, a child
// window while it is docked into another control. Docking and floating
// re-create its window, as the VCL does. A new form is hidden.
class TVX_IDE_API TCustomForm : public TScrollingWinControl {
    TVX_CLASS(TCustomForm, TScrollingWinControl)

    explicit TCustomForm(TComponent* AOwner = nullptr);
    // Stops being the active form.
    ~TCustomForm() override;
    // Hides the form, then raises OnDestroy while the form and its window
    // are whole.
    void BeforeDestruction() override;

    // Makes the form visible, brings it to the front and activates it.
    void Show();
    void Hide() { SetVisible(false); }
    // Asks OnClose what to do (caHide unless it says otherwise) and does it.
    // Closing the application's main form terminates the application.
    void Close();
    // Frees the form once the message loop takes the message that Release
    // posts, so a handler of the form can call it.
    void Release();

    // The application's active form is this one.
    bool Active() const noexcept;
    // Makes this the application's active form: the form active so far hears
    // OnDeactivate, then this one OnActivate.
    void Activate();
    // Gives the form the focus, activating it.
    void SetFocus();

    TIcon* Icon() const noexcept { return icon_.get(); }
    // A form floats while it is a window of its own, undocked.
    bool Floating() const noexcept override;
    // Undocks the form into a window of its own at that screen position.
    void ManualFloat(const TRect& ScreenPos) override;
    void SetParent(TWinControl* AParent) override;

    bool OldCreateOrder() const noexcept { return oldCreateOrder_; }
    void SetOldCreateOrder(bool Value) noexcept { oldCreateOrder_ = Value; }
    int PixelsPerInch() const noexcept { return pixelsPerInch_; }
    void SetPixelsPerInch(int Value) noexcept { pixelsPerInch_ = Value; }
    int TextHeight() const noexcept { return textHeight_; }
    void SetTextHeight(int Value) noexcept { textHeight_ = Value; }

    TNotifyEvent OnShow() const noexcept { return onShow_; }
    void SetOnShow(const TNotifyEvent& Value) noexcept { onShow_ = Value; }
    TNotifyEvent OnHide() const noexcept { return onHide_; }
    void SetOnHide(const TNotifyEvent& Value) noexcept { onHide_ = Value; }
    TCloseEvent OnClose() const noexcept { return onClose_; }
    void SetOnClose(const TCloseEvent& Value) noexcept { onClose_ = Value; }
    TNotifyEvent OnActivate() const noexcept { return onActivate_; }
    void SetOnActivate(const TNotifyEvent& Value) noexcept { onActivate_ = Value; }
    TNotifyEvent OnDeactivate() const noexcept { return onDeactivate_; }
    void SetOnDeactivate(const TNotifyEvent& Value) noexcept { onDeactivate_ = Value; }
    TNotifyEvent OnDestroy() const noexcept { return onDestroy_; }
    void SetOnDestroy(const TNotifyEvent& Value) noexcept { onDestroy_ = Value; }
    TMouseActivateEvent OnMouseActivate() const noexcept { return onMouseActivate_; }
    void SetOnMouseActivate(const TMouseActivateEvent& Value) noexcept { onMouseActivate_ = Value; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& Message) override;
    void VisibleChanged() override;

private:
    // The application's active form, or the one kept without an application.
    static TCustomForm*& ActiveFormSlot() noexcept;
    void Deactivate();

    std::unique_ptr<TIcon> icon_;
    bool oldCreateOrder_ = false;
    int pixelsPerInch_ = 96;
    int textHeight_ = 13;
    TNotifyEvent onShow_;
    TNotifyEvent onHide_;
    TCloseEvent onClose_;
    TNotifyEvent onActivate_;
    TNotifyEvent onDeactivate_;
    TNotifyEvent onDestroy_;
    TMouseActivateEvent onMouseActivate_;
};

class TVX_IDE_API TForm : public TCustomForm {
    TVX_CLASS(TForm, TCustomForm)
    using TCustomForm::TCustomForm;
};

// A frame: a reusable group of controls that sits inside another control.
class TVX_IDE_API TCustomFrame : public TScrollingWinControl {
    TVX_CLASS(TCustomFrame, TScrollingWinControl)
    using TScrollingWinControl::TScrollingWinControl;
};

class TVX_IDE_API TFrame : public TCustomFrame {
    TVX_CLASS(TFrame, TCustomFrame)
    using TCustomFrame::TCustomFrame;
};

// Reads the form resources of Instance's class and of its ancestors below
// RootAncestor, as a form or frame class's constructor does; raises
// EResNotFound "Resource %s not found" when there is none. A constructor
// that raises leaves nothing behind: C++ unwinds what it built.
TVX_IDE_API void InitInheritedForm(TComponent* Instance, TClass RootAncestor);

// Every form that exists, in the order they were made.
class TVX_IDE_API TScreen {
public:
    int FormCount() const noexcept { return int(forms_.size()); }
    // Raises EListError outside 0..FormCount-1.
    TCustomForm* Forms(int Index) const;

private:
    friend class TCustomForm;
    std::vector<TCustomForm*> forms_;
};

extern TVX_IDE_API TScreen* Screen;

// The message Release posts to its form.
inline constexpr UINT CM_RELEASE = 0xB000 + 33;

using TMessageEvent = TEvent<MSG&, bool&>;
// Sender, and Done: true (the default) when the handler has nothing more to do.
using TIdleEvent = TEvent<TObject*, bool&>;

class TVX_IDE_API TApplication : public TComponent {
    TVX_CLASS(TApplication, TComponent)

    explicit TApplication(TComponent* AOwner = nullptr);
    ~TApplication() override;

    // Sees every message taken from the queue before it is dispatched; a
    // message it marks handled is not dispatched.
    TMessageEvent OnMessage() const noexcept { return onMessage_; }
    void SetOnMessage(const TMessageEvent& Value) noexcept { onMessage_ = Value; }

    // Runs when the message queue has run dry, once per idle step; the
    // simulator takes one step with Idle. Answers the handler's Done.
    TIdleEvent OnIdle() const noexcept { return onIdle_; }
    void SetOnIdle(const TIdleEvent& Value) noexcept { onIdle_ = Value; }
    bool Idle();

    // Puts a message at the end of the application's queue.
    void QueueMessage(HWND Wnd, UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
    int QueuedMessageCount() const noexcept { return int(queue_.size()); }
    // Handles messages until the queue is empty, including those posted
    // meanwhile. Errors propagate to the caller, as in the VCL.
    void ProcessMessages();
    // Handles one message; an error goes to HandleException, as in the
    // application's main loop. False when the queue was empty.
    bool HandleMessage();
    // The main loop: handles messages until the queue is empty or the
    // application is terminated.
    void Run();
    // Queues the quit message; Terminated turns true when the loop takes it.
    void Terminate();
    bool Terminated() const noexcept { return terminated_; }

    // Shows the error in flight as the IDE would, except EAbort, which stays
    // silent. Call it from inside a catch block.
    void HandleException(TObject* Sender);
    // The messages shown by HandleException, oldest first.
    const std::vector<String>& ShownExceptions() const noexcept { return shownExceptions_; }

    // The caption of the message dialogs the application shows.
    const String& Title() const noexcept { return title_; }
    void SetTitle(const String& Value) { title_ = Value; }

    // Opens help on a keyword. Without a help system it only records it.
    bool HelpKeyword(const String& Keyword);
    const std::vector<String>& HelpKeywords() const noexcept { return helpKeywords_; }

    // The messages that passed OnMessage unhandled, oldest first. Those for
    // a live window went on to its window procedure.
    const std::vector<MSG>& DispatchedMessages() const noexcept { return dispatched_; }

    // The form that was activated last and is still shown, or null.
    TCustomForm* ActiveForm() const noexcept { return activeForm_; }

    // The IDE's main window, which owns the dialogs that are modal to the
    // IDE; null while there is none. The IDE names it as it starts.
    TWinControl* MainForm() const noexcept { return mainForm_; }
    void SetMainForm(TWinControl* Value);
    HWND MainFormHandle() const;

protected:
    // Delivers a message nobody handled.
    virtual void DispatchQueuedMessage(const MSG& Msg);
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    bool ProcessMessage();

    TMessageEvent onMessage_;
    TIdleEvent onIdle_;
    std::deque<MSG> queue_;
    std::vector<MSG> dispatched_;
    std::vector<String> helpKeywords_;
    std::vector<String> shownExceptions_;
    bool terminated_ = false;
    String title_;
    TWinControl* mainForm_ = nullptr;
    friend class TCustomForm;
    TCustomForm* activeForm_ = nullptr;
};

// The IDE's application object. The simulator (or a test) creates it before
// loading the wizard library.
extern TVX_IDE_API TApplication* Application;
