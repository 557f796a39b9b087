#include "windows/BdsDocumentWindow.h"

#include "core/WrapperCall.h"
#include "host/win32/Win32.h"
#include "interop/Guard.h"
#include "interop/VariantBool.h"
#include "windows/BdsEditWindow.h"
#include "windows/BdsWindowsService.h"
#include "windows/HostedWindow.h"
#include "windows/TalvixFrame.h"

namespace talvix {

TBdsDocumentWindow::TBdsDocumentWindow(TBdsWindowsService* WindowsService, IOTAModule* Module)
    : FBdsWindowsService(WindowsService)
{
    if (Module && FBdsWindowsService)
        FBdsWindowsService->RegisterDocumentWindow(this);
    FIdentifiedObject = nullptr;
}

TBdsDocumentWindow::~TBdsDocumentWindow()
{
    if (FBdsWindowsService) {
        FBdsWindowsService->UnregisterDocumentWindow(this);
        FBdsWindowsService->DetachDocumentWindow(this);
    }
    GiveBackHostedWindow();
    FBdsWindowsService = nullptr;
    FEvents = nullptr;
    FHostedControl = nullptr;
    FIdentifiedObject = nullptr;
}

// The package keeps its window when the document lets go of it (a new
// control, none, the document's end): the frame or the parking window would
// otherwise destroy it with theirs.
void TBdsDocumentWindow::GiveBackHostedWindow() noexcept
{
    HWND handle = HostedHandle();
    if (!handle)
        return;
    TTalvixFrame* frame = FBdsEditWindow ? FBdsEditWindow->Frame : nullptr;
    HWND parent = GetParent(handle);
    if (parent && ((frame && frame->HandleAllocated() && parent == frame->Handle()) ||
                   (FBdsWindowsService && parent == FBdsWindowsService->hShadowWindow)))
        TakeOutWindow(handle);
}

HWND TBdsDocumentWindow::HostedHandle() const noexcept { return PackageWindowHandle(FHostedControl.get()); }

template <class Body>
HRESULT TBdsDocumentWindow::WithEditWindow(Body&& body)
{
    return tvx::Guarded([&]() -> HRESULT {
        tvx::IntfPtr<IBdsDocumentWindow> self(this);
        if (!FBdsEditWindow || !FBdsEditWindow->Frame)
            return E_FAIL;
        return body(*FBdsEditWindow->Frame);
    });
}

void TBdsDocumentWindow::ShowFrame()
{
    if (FBdsWindowsService)
        FBdsWindowsService->ShowFrame(FBdsEditWindow);
}

HRESULT TBdsDocumentWindow::Get_Visible(VARIANT_BOOL* pRetVal)
{
    if (tvx::ClearOut(pRetVal) != S_OK)
        return E_POINTER;
    return WithEditWindow([&](TTalvixFrame& frame) -> HRESULT {
        HWND handle = HostedHandle();
        if (!FHostedControl)
            return E_FAIL;
        *pRetVal = tvx::ToVariantBool(frame.Visible() && handle && IsWindowVisible(handle));
        return S_OK;
    });
}

HRESULT TBdsDocumentWindow::Set_Visible(VARIANT_BOOL pRetVal)
{
    return WithEditWindow([&](TTalvixFrame& frame) -> HRESULT {
        const bool visible = tvx::FromVariantBool(pRetVal);
        if (visible)
            ShowFrame();
        else
            frame.SetVisible(false);
        // Showing the frame reaches IDE code, which may have closed the
        // editor window meanwhile.
        if (!FBdsEditWindow)
            return E_FAIL;
        if (HWND handle = HostedHandle()) {
            TTalvixFrame& current = *FBdsEditWindow->Frame;
            if (visible)
                SetWindowPos(handle, HWND_TOP, 0, 0, current.ClientWidth(), current.ClientHeight(), SWP_SHOWWINDOW);
            else
                ShowWindow(handle, SW_HIDE);
        }
        return S_OK;
    });
}

HRESULT TBdsDocumentWindow::Get_Modified(VARIANT_BOOL* pRetVal)
{
    if (tvx::ClearOut(pRetVal) != S_OK)
        return E_POINTER;
    *pRetVal = tvx::ToVariantBool(FModified);
    return S_OK;
}

HRESULT TBdsDocumentWindow::Set_Modified(VARIANT_BOOL pRetVal)
{
    return tvx::Guarded([&]() -> HRESULT {
        tvx::IntfPtr<IBdsDocumentWindow> self(this);
        FModified = tvx::FromVariantBool(pRetVal);
        // The tab's overlay follows the mark.
        if (FBdsEditWindow && FBdsWindowsService)
            if (TComponent* tabSet = FBdsEditWindow->TabSet.get())
                FBdsWindowsService->UpdateTabSet(tabSet);
        return S_OK;
    });
}

HRESULT TBdsDocumentWindow::Get_StayOnTop(VARIANT_BOOL* pRetVal)
{
    if (tvx::ClearOut(pRetVal) != S_OK)
        return E_POINTER;
    return WithEditWindow([&](TTalvixFrame& frame) -> HRESULT {
        *pRetVal = tvx::ToVariantBool((GetWindowLongW(frame.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
        return S_OK;
    });
}

HRESULT TBdsDocumentWindow::Set_StayOnTop(VARIANT_BOOL pRetVal)
{
    return WithEditWindow([&](TTalvixFrame& frame) -> HRESULT {
        SetWindowPos(frame.Handle(), tvx::FromVariantBool(pRetVal) ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
        return S_OK;
    });
}

HRESULT TBdsDocumentWindow::RegisterEvents(IBdsWindowEvents* bdsWindowEvents)
{
    // Dropping the old sink may free the package's object, which may
    // release this window.
    tvx::IntfPtr<IBdsDocumentWindow> self(this);
    tvx::IntfPtr<IBdsWindowEvents> previous = std::exchange(FEvents, tvx::IntfPtr<IBdsWindowEvents>(bdsWindowEvents));
    return S_OK;
}

void TBdsDocumentWindow::HostIntoFrame()
{
    HWND handle = HostedHandle();
    if (!handle || !FBdsEditWindow)
        return;
    TTalvixFrame& frame = *FBdsEditWindow->Frame;
    AdoptWindow(handle, frame.Handle());
    SetWindowPos(handle, HWND_TOP, 0, 0, frame.ClientWidth(), frame.ClientHeight(), SWP_SHOWWINDOW);
}

HRESULT TBdsDocumentWindow::HostControl(IUnknown* control)
{
    // Letting go of the control needs no editor window.
    if (!control && !FBdsEditWindow) {
        tvx::IntfPtr<IBdsDocumentWindow> self(this);
        GiveBackHostedWindow();
        FHostedControl = nullptr;
        return S_OK;
    }
    return WithEditWindow([&](TTalvixFrame&) -> HRESULT {
        tvx::IntfPtr<IWin32Window> window;
        if (control && (FAILED(control->QueryInterface(tvx::IidOf<IWin32Window>, window.put_void())) || !window))
            return E_FAIL;
        if (window.get() != FHostedControl.get())
            GiveBackHostedWindow();
        FHostedControl = window;
        HostIntoFrame();
        ShowFrame();
        return S_OK;
    });
}

HRESULT TBdsDocumentWindow::ReHostControl()
{
    return WithEditWindow([&](TTalvixFrame&) -> HRESULT {
        OnResize(true);
        return S_OK;
    });
}

HRESULT TBdsDocumentWindow::DoResize() { return ReHostControl(); }

HRESULT TBdsDocumentWindow::Activate()
{
    return WithEditWindow([&](TTalvixFrame&) -> HRESULT {
        HRESULT hr = Set_Visible(VARIANT_TRUE);
        if (FAILED(hr))
            return hr;
        if (HWND handle = HostedHandle())
            SendMessageW(handle, WM_SETFOCUS, 0, 0);
        return S_OK;
    });
}

HRESULT TBdsDocumentWindow::Close()
{
    return WithEditWindow([&](TTalvixFrame& frame) -> HRESULT {
        frame.SetVisible(false);
        return S_OK;
    });
}

void TBdsDocumentWindow::OnResize(bool HostNeeded)
{
    HWND handle = HostedHandle();
    if (!handle || !FBdsEditWindow)
        return;
    TTalvixFrame& frame = *FBdsEditWindow->Frame;
    if (HostNeeded)
        AdoptWindow(handle, frame.Handle());
    SetWindowPos(handle, nullptr, 0, 0, frame.Width(), frame.Height(), SWP_NOZORDER);
}

void TBdsDocumentWindow::OnFrameHandleDestroy()
{
    if (HWND handle = HostedHandle(); handle && FBdsWindowsService)
        AdoptWindow(handle, FBdsWindowsService->hShadowWindow);
}

void TBdsDocumentWindow::DetachEditWindow(bool TakeOut) noexcept
{
    if (TakeOut)
        GiveBackHostedWindow();
    else if (FBdsEditWindow)
        OnFrameHandleDestroy();
    FBdsEditWindow = nullptr;
}

LONG TBdsDocumentWindow::GetIconHandle() noexcept
{
    if (!FEvents)
        return 0;
    tvx::IntfPtr<IBdsDocumentWindow> self(this);
    tvx::IntfPtr<IBdsWindowEvents> events = FEvents;
    LONG handle = 0;
    try {
        events->OnGetIconHandle(&handle);
    } catch (...) {
        return 0;
    }
    return handle;
}

} // namespace talvix
