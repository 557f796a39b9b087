// The application object: the IDE's message loop, its OnMessage hook and its
// help entry. A later stage hands dispatched messages to real windows; until
// then the application records them.
#pragma once

#include "host/vcl/Classes.h"
#include "host/vcl/IdeApi.h"
#include "host/win32/WinTypes.h"

#include <deque>
#include <vector>

class TWinControl;

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

    // The messages that passed OnMessage unhandled, oldest first.
    const std::vector<MSG>& DispatchedMessages() const noexcept { return dispatched_; }

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
};

// The IDE's application object. The simulator (or a test) creates it before
// loading the wizard library.
extern TVX_IDE_API TApplication* Application;
