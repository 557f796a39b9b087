#include "host/vcl/Forms.h"

#include "host/vcl/Controls.h"
#include "host/vcl/TypInfo.h"
#include "interop/Utf.h"

#include <exception>

TVX_DEFINE_CLASS(TApplication)

TApplication* Application = nullptr;

namespace {
// WM_QUIT: ends the loop and is never offered to OnMessage.
constexpr UINT kQuitMessage = 0x0012;
} // namespace

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {}

TApplication::~TApplication() = default;

void TApplication::SetMainForm(TWinControl* Value) { SetNotifiedReference(this, mainForm_, Value); }

HWND TApplication::MainFormHandle() const { return mainForm_ ? mainForm_->Handle() : nullptr; }

void TApplication::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == mainForm_)
        mainForm_ = nullptr;
}

void TApplication::QueueMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    MSG msg{};
    msg.hwnd = Wnd;
    msg.message = Msg;
    msg.wParam = WParam;
    msg.lParam = LParam;
    queue_.push_back(msg);
}

bool TApplication::ProcessMessage()
{
    if (queue_.empty())
        return false;
    MSG msg = queue_.front();
    queue_.pop_front();
    if (msg.message == kQuitMessage) {
        terminated_ = true;
        return true;
    }
    bool handled = false;
    onMessage_(msg, handled);
    if (!handled)
        DispatchQueuedMessage(msg);
    return true;
}

void TApplication::ProcessMessages()
{
    while (ProcessMessage()) {
    }
}

bool TApplication::HandleMessage()
{
    try {
        return ProcessMessage();
    } catch (...) {
        HandleException(this);
        return true;
    }
}

void TApplication::Run()
{
    while (!terminated_ && HandleMessage()) {
    }
}

bool TApplication::Idle()
{
    bool done = true;
    onIdle_(this, done);
    return done;
}

void TApplication::Terminate() { QueueMessage(nullptr, kQuitMessage); }

void TApplication::HandleException(TObject*)
{
    try {
        throw;
    } catch (const EAbort&) {
    } catch (const Exception& e) {
        shownExceptions_.push_back(e.Message());
    } catch (const std::exception& e) {
        shownExceptions_.push_back(tvx::Utf8ToUtf16(e.what()));
    } catch (...) {
        shownExceptions_.push_back(u"Unknown error");
    }
}

bool TApplication::HelpKeyword(const String& Keyword)
{
    helpKeywords_.push_back(Keyword);
    return true;
}

void TApplication::DispatchQueuedMessage(const MSG& Msg)
{
    dispatched_.push_back(Msg);
    if (Msg.hwnd && IsWindow(Msg.hwnd))
        SendMessageW(Msg.hwnd, Msg.message, Msg.wParam, Msg.lParam);
}
