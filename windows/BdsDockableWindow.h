// Dockable windows: a package's tool window in the IDE, carried by a
// TToolDockWindow that the IDE docks, floats and keeps in its desktop; and
// the IDE's Object Inspector behind the same interface.
//
// A package call can never free the object that makes it: every call into
// the package holds a reference to the dockable window, and the tool
// window's handlers are taken off before the tool window is freed. The
// package's hosted window is never destroyed with a tool window: it is
// hidden and taken out first, as re-docking does.
#pragma once

#include "host/vcl/Forms.h"
#include "interop/InterfacedObject.h"
#include "interop/IntfPtr.h"
#include "interop/TalvixBdsInterop.h"
#include "windows/ToolDockWindow.h"

#include <memory>

class TBitmap;

namespace talvix {

class TBdsWindowsService;

class TBdsCustomDockableWindow : public tvx::Implements<TBdsCustomDockableWindow, IBdsDockableWindow> {
public:
    IBdsDockableWindow* Interface() noexcept { return this; }
    TBdsWindowsService* BdsWindowsService() const noexcept { return FBdsWindowsService; }

    // The base class answers S_OK with empty values and does nothing.
    HRESULT STDMETHODCALLTYPE Get_Caption(BSTR* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_Caption(BSTR pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_Visible(VARIANT_BOOL* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_Visible(VARIANT_BOOL pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_AutoHides(VARIANT_BOOL* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_AutoHides(VARIANT_BOOL pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_IsFloating(VARIANT_BOOL* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_IsFloating(VARIANT_BOOL pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_IsActive(VARIANT_BOOL* pRetVal) override;
    HRESULT STDMETHODCALLTYPE RegisterEvents(IBdsWindowEvents* bdsWindowEvents) override;
    HRESULT STDMETHODCALLTYPE SetIcon(LONG imageHandle) override;
    HRESULT STDMETHODCALLTYPE HostControl(IUnknown* control) override;
    HRESULT STDMETHODCALLTYPE Activate() override;
    HRESULT STDMETHODCALLTYPE Close() override;

    // The service's shutdown: the IDE's objects go, the wrapper stays.
    virtual void ShutDown() noexcept {}

protected:
    // Registers with the service's dockable-window list.
    explicit TBdsCustomDockableWindow(TBdsWindowsService* WindowsService);
    ~TBdsCustomDockableWindow() override;

    tvx::IntfPtr<IBdsWindowEvents> FEvents;

private:
    TBdsWindowsService* FBdsWindowsService;
};

class TBdsDockableWindow final : public TBdsCustomDockableWindow {
public:
    // Makes the tool window, registered with the IDE desktop under the name.
    TBdsDockableWindow(const String& WindowName, TBdsWindowsService* WindowsService);

    HRESULT STDMETHODCALLTYPE Get_Caption(BSTR* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_Caption(BSTR pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_Visible(VARIANT_BOOL* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_Visible(VARIANT_BOOL pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_AutoHides(VARIANT_BOOL* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_AutoHides(VARIANT_BOOL pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_IsFloating(VARIANT_BOOL* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_IsFloating(VARIANT_BOOL pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_IsActive(VARIANT_BOOL* pRetVal) override;
    HRESULT STDMETHODCALLTYPE SetIcon(LONG imageHandle) override;
    HRESULT STDMETHODCALLTYPE HostControl(IUnknown* control) override;
    HRESULT STDMETHODCALLTYPE Activate() override;
    HRESULT STDMETHODCALLTYPE Close() override;

    void ShutDown() noexcept override;
    // The tool window, or null once it is gone.
    TToolDockWindow* ToolWindow() const noexcept { return FToolWindow; }

private:
    ~TBdsDockableWindow() override;
    void InitToolWindow(const String& WindowName);
    // The package window's handle: 0 unless the package answers a live window.
    HWND HostedHandle() const noexcept;
    void HostIntoToolWindow();
    // Hides the package window and takes it out of the tool window.
    void TakeOutHostedWindow() noexcept;
    void Unhook(TToolDockWindow& Window) noexcept;
    // Takes the tool window away from this object (unhooked, the package
    // window out, unregistered from the desktop) and frees it.
    void FreeToolWindow() noexcept;
    // Runs a call of the package's sink while a reference holds this object.
    template <class Call>
    void Tell(Call&& call);
    // E_FAIL once the tool window is gone; a getter's out value is cleared first.
    template <class Body>
    HRESULT WithToolWindow(Body&& body);
    template <class T, class Body>
    HRESULT ReadToolWindow(T* pRetVal, Body&& body);

    void ToolWindowActivate(TObject* Sender);
    void ToolWindowMouseActivate(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y, int HitTest,
                                 TMouseActivate& MouseActivate);
    void ToolWindowClose(TObject* Sender, TCloseAction& Action);
    void ToolWindowDestroy(TObject* Sender);
    void ToolWindowResize(TObject* Sender);
    void ToolWindowHandleDestroy(TObject* Sender);

    TToolDockWindow* FToolWindow = nullptr;
    tvx::IntfPtr<IWin32Window> FHostedControl;
    bool Destroying = false;
};

// The IDE's Object Inspector, found anew on every call.
class TBdsObjectInspectorWindow final : public TBdsCustomDockableWindow {
public:
    explicit TBdsObjectInspectorWindow(TBdsWindowsService* WindowsService) : TBdsCustomDockableWindow(WindowsService) {}

    HRESULT STDMETHODCALLTYPE Get_Visible(VARIANT_BOOL* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_Visible(VARIANT_BOOL pRetVal) override;
    HRESULT STDMETHODCALLTYPE Activate() override;
    HRESULT STDMETHODCALLTYPE Close() override;

private:
    ~TBdsObjectInspectorWindow() override = default;
};

// An icon of the system's icon size drawn from the bitmap, transparent where
// the bitmap has its transparent colour. The caller owns it.
std::unique_ptr<TIcon> MakeIconFromBitmap(TBitmap* Source);

} // namespace talvix
