#include "windows/BdsDockableWindow.h"

#include "core/WrapperCall.h"
#include "host/vcl/Dialogs.h"
#include "host/vcl/Graphics.h"
#include "host/win32/Win32.h"
#include "interop/Bstr.h"
#include "interop/Guard.h"
#include "interop/VariantBool.h"
#include "windows/BdsIdeUtils.h"
#include "windows/BdsWindowsService.h"
#include "windows/HostedWindow.h"

namespace talvix {

namespace {

constexpr std::u16string_view SetIconFailed = u"TBdsDockableWindow.SetIcon %d %s";
constexpr std::u16string_view ToolWindowGone = u"The tool window no longer exists";

} // namespace

// --- TBdsCustomDockableWindow ----------------------------------------------

TBdsCustomDockableWindow::TBdsCustomDockableWindow(TBdsWindowsService* WindowsService)
    : FBdsWindowsService(WindowsService)
{
    if (FBdsWindowsService)
        FBdsWindowsService->RegisterDockableWindow(this);
}

TBdsCustomDockableWindow::~TBdsCustomDockableWindow()
{
    if (FBdsWindowsService)
        FBdsWindowsService->UnregisterDockableWindow(this);
    FBdsWindowsService = nullptr;
}

HRESULT TBdsCustomDockableWindow::Get_Caption(BSTR* pRetVal) { return tvx::ClearOut(pRetVal); }
HRESULT TBdsCustomDockableWindow::Set_Caption(BSTR) { return S_OK; }
HRESULT TBdsCustomDockableWindow::Get_Visible(VARIANT_BOOL* pRetVal) { return tvx::ClearOut(pRetVal); }
HRESULT TBdsCustomDockableWindow::Set_Visible(VARIANT_BOOL) { return S_OK; }
HRESULT TBdsCustomDockableWindow::Get_AutoHides(VARIANT_BOOL* pRetVal) { return tvx::ClearOut(pRetVal); }
HRESULT TBdsCustomDockableWindow::Set_AutoHides(VARIANT_BOOL) { return S_OK; }
HRESULT TBdsCustomDockableWindow::Get_IsFloating(VARIANT_BOOL* pRetVal) { return tvx::ClearOut(pRetVal); }
HRESULT TBdsCustomDockableWindow::Set_IsFloating(VARIANT_BOOL) { return S_OK; }
HRESULT TBdsCustomDockableWindow::Get_IsActive(VARIANT_BOOL* pRetVal) { return tvx::ClearOut(pRetVal); }
HRESULT TBdsCustomDockableWindow::SetIcon(LONG) { return S_OK; }
HRESULT TBdsCustomDockableWindow::HostControl(IUnknown*) { return S_OK; }
HRESULT TBdsCustomDockableWindow::Activate() { return S_OK; }
HRESULT TBdsCustomDockableWindow::Close() { return S_OK; }

HRESULT TBdsCustomDockableWindow::RegisterEvents(IBdsWindowEvents* bdsWindowEvents)
{
    FEvents = bdsWindowEvents;
    return S_OK;
}

// --- TBdsDockableWindow -----------------------------------------------------

TBdsDockableWindow::TBdsDockableWindow(const String& WindowName, TBdsWindowsService* WindowsService)
    : TBdsCustomDockableWindow(WindowsService)
{
    InitToolWindow(WindowName);
}

TBdsDockableWindow::~TBdsDockableWindow()
{
    Destroying = true;
    FreeToolWindow();
    FHostedControl = nullptr;
}

void TBdsDockableWindow::InitToolWindow(const String& WindowName)
{
    Destroying = false;
    FToolWindow = new TToolDockWindow(nullptr);
    try {
        FToolWindow->UpdateHandleControl();
        FToolWindow->SetOnActivate(MakeEvent<&TBdsDockableWindow::ToolWindowActivate>(this));
        FToolWindow->SetOnShow(MakeEvent<&TBdsDockableWindow::ToolWindowActivate>(this));
        FToolWindow->SetOnClose(MakeEvent<&TBdsDockableWindow::ToolWindowClose>(this));
        FToolWindow->SetOnDestroy(MakeEvent<&TBdsDockableWindow::ToolWindowDestroy>(this));
        FToolWindow->SetOnResize(MakeEvent<&TBdsDockableWindow::ToolWindowResize>(this));
        FToolWindow->SetOnMouseActivate(MakeEvent<&TBdsDockableWindow::ToolWindowMouseActivate>(this));
        FToolWindow->SetOnDestroyWindowHandle(MakeEvent<&TBdsDockableWindow::ToolWindowHandleDestroy>(this));
        FToolWindow->SetDeskSection(WindowName);
        TToolDockWindow::RegisterForm(FToolWindow, WindowName);
    } catch (...) {
        FreeToolWindow();
        throw;
    }
}

void TBdsDockableWindow::Unhook(TToolDockWindow& Window) noexcept
{
    Window.SetOnActivate(nullptr);
    Window.SetOnShow(nullptr);
    Window.SetOnClose(nullptr);
    Window.SetOnDestroy(nullptr);
    Window.SetOnResize(nullptr);
    Window.SetOnMouseActivate(nullptr);
    Window.SetOnDestroyWindowHandle(nullptr);
}

void TBdsDockableWindow::FreeToolWindow() noexcept
{
    if (!FToolWindow)
        return;
    Unhook(*FToolWindow);
    TakeOutHostedWindow();
    TToolDockWindow* window = FToolWindow;
    try {
        TToolDockWindow::UnRegisterForm(FToolWindow);
        FToolWindow = nullptr;
        window->Close();
    } catch (...) {
        // The form goes whatever the desktop said.
    }
    FToolWindow = nullptr;
    window->Free();
}

void TBdsDockableWindow::ShutDown() noexcept { FreeToolWindow(); }

HWND TBdsDockableWindow::HostedHandle() const noexcept { return PackageWindowHandle(FHostedControl.get()); }

void TBdsDockableWindow::TakeOutHostedWindow() noexcept { TakeOutWindow(HostedHandle()); }

void TBdsDockableWindow::HostIntoToolWindow()
{
    HWND handle = HostedHandle();
    if (!handle)
        return;
    if (!FToolWindow)
        throw Exception(String(ToolWindowGone));
    AdoptWindow(handle, FToolWindow->Handle());
    SetWindowPos(handle, HWND_TOP, 0, 0, FToolWindow->ClientWidth(), FToolWindow->ClientHeight(),
                 SWP_SHOWWINDOW | SWP_NOMOVE);
}

template <class Call>
void TBdsDockableWindow::Tell(Call&& call)
{
    if (!FEvents)
        return;
    // Both stay alive through the call, whatever the package releases in it.
    tvx::IntfPtr<IBdsDockableWindow> self(this);
    tvx::IntfPtr<IBdsWindowEvents> events = FEvents;
    try {
        call(events.get());
    } catch (...) {
        // The package's sink answers nothing the IDE waits for.
    }
}

void TBdsDockableWindow::ToolWindowActivate(TObject*)
{
    tvx::IntfPtr<IBdsDockableWindow> self(this);
    if (HWND handle = HostedHandle())
        SendMessageW(handle, WM_SETFOCUS, 0, 0);
    Tell([](IBdsWindowEvents* events) { events->OnWindowActivate(); });
}

void TBdsDockableWindow::ToolWindowMouseActivate(TObject*, TMouseButton, TShiftState, int, int, int, TMouseActivate&)
{
    Tell([](IBdsWindowEvents* events) { events->OnWindowActivate(); });
}

void TBdsDockableWindow::ToolWindowClose(TObject*, TCloseAction&) {}

void TBdsDockableWindow::ToolWindowDestroy(TObject* Sender)
{
    // The IDE frees the form (a desktop change, its shutdown). Its window
    // still exists: the package window comes out before it goes. The
    // desktop may have cleared FToolWindow already, through its field.
    tvx::IntfPtr<IBdsDockableWindow> self(this);
    Unhook(*static_cast<TToolDockWindow*>(Sender));
    TakeOutHostedWindow();
    try {
        TToolDockWindow::UnRegisterForm(FToolWindow);
    } catch (...) {
    }
    FToolWindow = nullptr;
    Tell([](IBdsWindowEvents* events) { events->OnWindowClose(); });
}

void TBdsDockableWindow::ToolWindowResize(TObject*)
{
    tvx::IntfPtr<IBdsDockableWindow> self(this);
    HWND handle = HostedHandle();
    if (!handle || !FToolWindow)
        return;
    if (FToolWindow->IsHandleChanged()) {
        AdoptWindow(handle, FToolWindow->Handle());
        ShowWindow(handle, SW_SHOW);
        FToolWindow->UpdateHandleControl();
    }
    SetWindowPos(handle, nullptr, 0, 0, FToolWindow->ClientWidth(), FToolWindow->ClientHeight(),
                 SWP_NOMOVE | SWP_NOZORDER);
    // Makes the package window work out its frame again.
    SetWindowPos(handle, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

void TBdsDockableWindow::ToolWindowHandleDestroy(TObject*)
{
    if (Destroying)
        return;
    tvx::IntfPtr<IBdsDockableWindow> self(this);
    TakeOutHostedWindow();
}

// Every package call holds a reference: the IDE events it causes may reach
// the package, which may let go of its last one meanwhile.
template <class Body>
HRESULT TBdsDockableWindow::WithToolWindow(Body&& body)
{
    return tvx::Guarded([&]() -> HRESULT {
        tvx::IntfPtr<IBdsDockableWindow> self(this);
        if (!FToolWindow)
            return E_FAIL;
        body(*FToolWindow);
        return S_OK;
    });
}

template <class T, class Body>
HRESULT TBdsDockableWindow::ReadToolWindow(T* pRetVal, Body&& body)
{
    if (tvx::ClearOut(pRetVal) != S_OK)
        return E_POINTER;
    return WithToolWindow([&](TToolDockWindow& window) { body(window, *pRetVal); });
}

HRESULT TBdsDockableWindow::Get_Caption(BSTR* pRetVal)
{
    return ReadToolWindow(pRetVal, [](TToolDockWindow& w, BSTR& out) { tvx::StoreBstr(&out, w.Caption()); });
}

HRESULT TBdsDockableWindow::Set_Caption(BSTR pRetVal)
{
    return WithToolWindow([&](TToolDockWindow& w) { w.SetCaption(FromBstr(pRetVal)); });
}

HRESULT TBdsDockableWindow::Get_Visible(VARIANT_BOOL* pRetVal)
{
    return ReadToolWindow(pRetVal,
                          [](TToolDockWindow& w, VARIANT_BOOL& out) { out = tvx::ToVariantBool(w.Visible()); });
}

HRESULT TBdsDockableWindow::Set_Visible(VARIANT_BOOL pRetVal)
{
    return WithToolWindow([&](TToolDockWindow& w) {
        const bool visible = tvx::FromVariantBool(pRetVal);
        TComponentAlive alive(&w);
        w.SetVisible(visible);
        if (!alive)
            return;
        if (visible)
            w.ForceActivate();
        else
            w.Close();
    });
}

HRESULT TBdsDockableWindow::Get_AutoHides(VARIANT_BOOL* pRetVal)
{
    return ReadToolWindow(pRetVal, [](TToolDockWindow&, VARIANT_BOOL& out) { out = VARIANT_TRUE; });
}

HRESULT TBdsDockableWindow::Set_AutoHides(VARIANT_BOOL) { return S_OK; }

HRESULT TBdsDockableWindow::Get_IsFloating(VARIANT_BOOL* pRetVal)
{
    return ReadToolWindow(pRetVal,
                          [](TToolDockWindow& w, VARIANT_BOOL& out) { out = tvx::ToVariantBool(w.Dockable()); });
}

HRESULT TBdsDockableWindow::Set_IsFloating(VARIANT_BOOL pRetVal)
{
    return WithToolWindow([&](TToolDockWindow& w) { w.SetDockable(tvx::FromVariantBool(pRetVal)); });
}

HRESULT TBdsDockableWindow::Get_IsActive(VARIANT_BOOL* pRetVal)
{
    return ReadToolWindow(pRetVal, [](TToolDockWindow& w, VARIANT_BOOL& out) { out = tvx::ToVariantBool(w.Active()); });
}

HRESULT TBdsDockableWindow::HostControl(IUnknown* control)
{
    return tvx::Guarded([&]() -> HRESULT {
        tvx::IntfPtr<IBdsDockableWindow> self(this);
        if (control) {
            tvx::IntfPtr<IWin32Window> window;
            if (FAILED(control->QueryInterface(tvx::IidOf<IWin32Window>, window.put_void())) || !window)
                return E_FAIL;
            FHostedControl = window;
        } else {
            FHostedControl = nullptr;
        }
        HostIntoToolWindow();
        return S_OK;
    });
}

HRESULT TBdsDockableWindow::Activate()
{
    return WithToolWindow([](TToolDockWindow& w) { w.ForceActivate(); });
}

HRESULT TBdsDockableWindow::Close()
{
    return WithToolWindow([](TToolDockWindow& w) { w.Close(); });
}

HRESULT TBdsDockableWindow::SetIcon(LONG imageHandle)
{
    return tvx::Guarded([&]() -> HRESULT {
        tvx::IntfPtr<IBdsDockableWindow> self(this);
        const auto bitmap = reinterpret_cast<HBITMAP>(static_cast<LONG_PTR>(imageHandle));
        TBitmap source;
        try {
            if (!FToolWindow)
                throw Exception(String(ToolWindowGone));
            source.SetHandle(bitmap);
            std::unique_ptr<TIcon> icon = MakeIconFromBitmap(&source);
            if (!FToolWindow)
                throw Exception(String(ToolWindowGone));
            FToolWindow->Icon()->Assign(icon.get());
        } catch (...) {
            // Until it succeeds the bitmap stays the package's.
            source.ReleaseHandle();
            std::u16string buffer;
            ShowMessage(Format(SetIconFailed, int(imageHandle), tvx::CurrentExceptionText(buffer)));
            return E_FAIL;
        }
        // The call consumes the package's bitmap.
        source.ReleaseHandle();
        DeleteObject(bitmap);
        return S_OK;
    });
}

// --- TBdsObjectInspectorWindow ----------------------------------------------

namespace {

void ShowAndFocus(TWinControl* host)
{
    if (auto* form = dynamic_cast<TCustomForm*>(host)) {
        TComponentAlive alive(form);
        form->Show();
        if (alive)
            form->SetFocus();
        return;
    }
    host->Show();
    if (host->Showing())
        host->SetFocus();
}

} // namespace

HRESULT TBdsObjectInspectorWindow::Get_Visible(VARIANT_BOOL* pRetVal)
{
    return tvx::Guarded([&]() -> HRESULT {
        TWinControl* host = FindObjectInspectorHost();
        if (!host)
            return S_OK;
        if (!pRetVal)
            return E_POINTER;
        *pRetVal = tvx::ToVariantBool(host->Visible());
        return S_OK;
    });
}

HRESULT TBdsObjectInspectorWindow::Set_Visible(VARIANT_BOOL pRetVal)
{
    return tvx::Guarded([&]() -> HRESULT {
        if (TWinControl* host = FindObjectInspectorHost())
            host->SetVisible(tvx::FromVariantBool(pRetVal));
        return S_OK;
    });
}

HRESULT TBdsObjectInspectorWindow::Activate()
{
    return tvx::Guarded([&]() -> HRESULT {
        tvx::IntfPtr<IBdsDockableWindow> self(this);
        if (TBdsWindowsService* service = BdsWindowsService())
            service->Host().InvokeIdeMenuItem(u"ViewsMenu\\ViewObjInspItem");
        if (TWinControl* host = FindObjectInspectorHost())
            ShowAndFocus(host);
        return S_OK;
    });
}

HRESULT TBdsObjectInspectorWindow::Close()
{
    return tvx::Guarded([&]() -> HRESULT {
        if (TWinControl* host = FindObjectInspectorHost())
            host->Hide();
        return S_OK;
    });
}

} // namespace talvix
