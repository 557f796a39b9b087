// Document windows: a package's document shown in the code editor's place,
// for a module the IDE has open, inside the editor window's document frame
// and with a tab of its own in the editor's tab set.
//
// A document window points at its editor window's record only while that
// record lives: when the IDE destroys the editor window, the service
// detaches every document of it first (parking the package windows), and
// the document's calls then answer E_FAIL.
#pragma once

#include "host/ide/ToolsAPIModules.h"
#include "interop/InterfacedObject.h"
#include "interop/IntfPtr.h"
#include "interop/TalvixBdsInterop.h"

class TObject;

namespace talvix {

class TBdsWindowsService;
struct TBdsEditWindow;

class TBdsCustomDocumentWindow : public tvx::Implements<TBdsCustomDocumentWindow, IBdsDocumentWindow> {
public:
    IBdsDocumentWindow* Interface() noexcept { return this; }

    int DocImageIndex() const noexcept { return FDocImageIndex; }
    void SetDocImageIndex(int Value) noexcept { FDocImageIndex = Value; }
    TBdsEditWindow* BdsEditWindow() const noexcept { return FBdsEditWindow; }
    void SetBdsEditWindow(TBdsEditWindow* Value) noexcept { FBdsEditWindow = Value; }

    // The service's calls around the frame: it was resized (with a new
    // window handle when HostNeeded), its handle is about to go.
    virtual void OnResize(bool HostNeeded) = 0;
    virtual void OnFrameHandleDestroy() = 0;
    // The record goes (its editor window was destroyed, or the library
    // shuts down): the package window is parked, or given back to the
    // package if it sits in the frame or the parking window.
    virtual void DetachEditWindow(bool TakeOut) noexcept = 0;

protected:
    TBdsCustomDocumentWindow() = default;
    ~TBdsCustomDocumentWindow() override = default;

    int FDocImageIndex = -1;
    TBdsEditWindow* FBdsEditWindow = nullptr;
};

class TBdsDocumentWindow final : public TBdsCustomDocumentWindow {
public:
    // Registered with the service only when the module exists.
    TBdsDocumentWindow(TBdsWindowsService* WindowsService, IOTAModule* Module);

    HRESULT STDMETHODCALLTYPE Get_Visible(VARIANT_BOOL* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_Visible(VARIANT_BOOL pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_Modified(VARIANT_BOOL* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_Modified(VARIANT_BOOL pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_StayOnTop(VARIANT_BOOL* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_StayOnTop(VARIANT_BOOL pRetVal) override;
    HRESULT STDMETHODCALLTYPE RegisterEvents(IBdsWindowEvents* bdsWindowEvents) override;
    HRESULT STDMETHODCALLTYPE HostControl(IUnknown* control) override;
    HRESULT STDMETHODCALLTYPE ReHostControl() override;
    HRESULT STDMETHODCALLTYPE Activate() override;
    HRESULT STDMETHODCALLTYPE Close() override;
    HRESULT STDMETHODCALLTYPE DoResize() override;

    void OnResize(bool HostNeeded) override;
    void OnFrameHandleDestroy() override;
    void DetachEditWindow(bool TakeOut) noexcept override;

    bool Modified() const noexcept { return FModified; }
    // The package's tab image: a bitmap handle it hands over, else 0. A
    // throwing sink answers 0.
    LONG GetIconHandle() noexcept;
    // The object of this document's tab in the editor's tab set, or null.
    TObject* IdentifiedObject() const noexcept { return FIdentifiedObject; }
    void SetIdentifiedObject(TObject* Value) noexcept { FIdentifiedObject = Value; }

private:
    ~TBdsDocumentWindow() override;
    // The package window's handle: 0 unless the package answers a live
    // window that is not the IDE's own.
    HWND HostedHandle() const noexcept;
    void HostIntoFrame();
    void GiveBackHostedWindow() noexcept;
    void ShowFrame();
    // Runs Body with the record while one is attached, else answers E_FAIL;
    // the object stays alive through the call whatever the package releases.
    template <class Body>
    HRESULT WithEditWindow(Body&& body);

    tvx::IntfPtr<IWin32Window> FHostedControl;
    bool FModified = false;
    tvx::IntfPtr<IBdsWindowEvents> FEvents;
    TBdsWindowsService* FBdsWindowsService = nullptr;
    TObject* FIdentifiedObject = nullptr;
};

} // namespace talvix
