// Toolbars and the toolbar service: TBdsToolBar wraps one native IDE
// toolbar for a package; TBdsToolBarService makes, adopts, finds and removes
// them; TToolBarNotifier hears from the IDE when it has loaded a toolbar.
//
// A toolbar wrapper is open while it holds its native toolbar. RemoveToolBar
// closes it (the native toolbar leaves the IDE); the service's Clear lets go
// of it (the native toolbar stays). After either, every call on the wrapper
// and on its controls answers E_UNEXPECTED, and the wrapper's memory stays
// valid for as long as a package still holds a reference.
//
// The update pass (OnUpdate on every control's sink) runs once each time
// the IDE's application goes idle.
#pragma once

#include "core/ApplicationHook.h"
#include "core/FreeWatch.h"
#include "host/ide/ToolbarNotifier.h"
#include "host/vcl/ComCtrls.h"
#include "host/vcl/Forms.h"
#include "host/vcl/Lists.h"
#include "interop/InterfacedObject.h"
#include "interop/IntfPtr.h"
#include "interop/TalvixBdsInterop.h"
#include "toolbars/GetSelf.h"

#include <memory>

namespace talvix {

class TBdsToolBar;
class TBdsToolBarControl;
class TBdsToolBarService;

// Raised for every toolbar the IDE reports loaded.
using TToolbarLoadedEvent = TEvent<>;

// A locked list of control wrappers, as plain pointers without references.
class TToolBarControls : public TThreadList {
public:
    int Count();
    TBdsToolBarControl* Items(int Index);
};

// A locked list of toolbar wrappers, as plain pointers without references.
class TToolBars : public TThreadList {
public:
    int Count();
    TBdsToolBar* Items(int Index);
};

class TBdsToolBar final : public tvx::Implements<TBdsToolBar, IBdsToolBar, IGetSelf> {
public:
    // Adopts the IDE's toolbar of that name unchanged, or has the IDE make a
    // new one, hidden, with Title as its caption; either way it sizes
    // itself to its controls. The wrapper registers with the service.
    TBdsToolBar(const String& Name, const String& Title, TBdsToolBarService* ToolBarService);
    ~TBdsToolBar() override;

    IBdsToolBar* Interface() noexcept { return this; }
    TToolBar* NativeToolBar() const noexcept { return ToolBar; }
    bool Open() const noexcept { return ToolBar != nullptr; }

    // A Left for a new control that puts it after every control already
    // there: the width of the native toolbar's parent.
    int EndPosition() const noexcept;

    void RegisterControl(TBdsToolBarControl* Control);
    void UnregisterControl(TBdsToolBarControl* Control);
    // Raises OnUpdate for each control, the last first.
    void UpdateControl();
    // Whether the IDE's events on this toolbar's controls still go to the
    // packages: listed, and the service not shut down.
    bool DeliversEvents() const noexcept;
    // Every control lets go of its sink.
    void DropEvents();
    // Hides and frees the native toolbar with everything on it.
    void Close();
    // The service lets go: the native toolbar and its controls stay in the
    // IDE, without the wrappers' event handlers.
    void LetGo();

    // IGetSelf
    void* STDMETHODCALLTYPE GetSelf() override { return this; }

    // IBdsToolBar
    HRESULT STDMETHODCALLTYPE Get_Name(BSTR* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_Name(BSTR pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_Caption(BSTR* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_Caption(BSTR pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_Visible(VARIANT_BOOL* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_Visible(VARIANT_BOOL pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_Left(LONG* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_Left(LONG val) override;
    HRESULT STDMETHODCALLTYPE Get_Top(LONG* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_Top(LONG val) override;
    HRESULT STDMETHODCALLTYPE Get_Width(LONG* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_Height(LONG* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_Floating(VARIANT_BOOL* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_Floating(VARIANT_BOOL val) override;
    HRESULT STDMETHODCALLTYPE Get_ControlCount(LONG* pRetVal) override;
    HRESULT STDMETHODCALLTYPE AddSeparator() override;
    HRESULT STDMETHODCALLTYPE AddControl(LONG Type_, IBdsToolBarControl** pRetVal) override;
    HRESULT STDMETHODCALLTYPE RemoveControl(IBdsToolBarControl* bdsToolBarControl) override;
    HRESULT STDMETHODCALLTYPE Clear() override;

private:
    // Every control lets go of the toolbar.
    void CutLooseControls(bool VclControlsStay);
    // The IDE freed the native toolbar: closed as RemoveToolBar closes it,
    // with nothing freed touched.
    void NativeFreed(TComponent* Native);
    void LeaveService();
    // Runs Body on an open toolbar inside the interop guard; a closed one
    // answers E_UNEXPECTED.
    template <class Body>
    HRESULT OnOpen(Body&& body, HRESULT Refused = E_FAIL);
    template <class T, class Body>
    HRESULT Read(T* pRetVal, Body&& body, HRESULT Refused = E_FAIL);

    TBdsToolBarService* BdsToolBarService = nullptr;
    TToolBar* ToolBar = nullptr;
    TToolBarControls ToolBarControls;
    // Another wrapper of the same toolbar, or the IDE, may free it.
    std::unique_ptr<TFreeWatch> NativeWatch;
};

// Registered with the IDE while FIndex >= 0; the IDE's counted reference
// keeps it alive.
class TToolBarNotifier final : public tvx::Implements<TToolBarNotifier, INTAToolbarStreamNotifier> {
public:
    TToolBarNotifier();
    ~TToolBarNotifier() override;

    int Index() const noexcept { return FIndex; }

    // IOTANotifier
    void AfterSave() override {}
    void BeforeSave() override {}
    void Destroyed() override;
    void Modified() override {}
    // INTAToolbarStreamNotifier
    void AfterSave(TWinControl*) override {}
    void BeforeSave(TWinControl*) override {}
    // Writes "ToolbarLoaded : " and the toolbar's name to the debugger and
    // tells the services root that the toolbar service is ready.
    void ToolbarLoaded(TWinControl* Toolbar) override;

    void Unregister() noexcept;

    // The service's listener; the notifier knows nothing above it.
    TToolbarLoadedEvent OnToolbarLoaded;

private:
    int FIndex = -1;
};

class TBdsToolBarService final : public tvx::Implements<TBdsToolBarService, IBdsToolBarService> {
public:
    // The one service: it holds a reference on itself and lives until the
    // process ends. It registers its stream notifier and its idle hook.
    static TBdsToolBarService* Create();
    // The services root hears of each toolbar the IDE loads.
    void SetOnToolbarLoaded(const TToolbarLoadedEvent& Value) noexcept;

    IBdsToolBarService* Interface() noexcept { return this; }
    // The notifier registered at start-up, or null when the IDE had no
    // native services; it lives while the IDE holds it.
    TToolBarNotifier* Notifier() const noexcept { return ToolBarNotifier; }

    void RegisterToolBar(TBdsToolBar* BdsToolBar);
    void UnregisterToolBar(TBdsToolBar* BdsToolBar);
    bool Lists(const TBdsToolBar* BdsToolBar);
    // The update pass: every listed toolbar, the last first.
    void Update();
    // At terminate, before the packages are finalized: the idle hook and
    // the stream notifier come off, every control lets go of its sink, and
    // no IDE event reaches a package from here on. The service itself goes
    // on serving calls.
    void ShutDown();
    bool DeliversEvents() const noexcept { return !FShutDown; }

    // IBdsToolBarService
    HRESULT STDMETHODCALLTYPE FindToolBar(BSTR Name, IBdsToolBar** pRetVal) override;
    HRESULT STDMETHODCALLTYPE AddToolBar(BSTR Name, BSTR Title, IBdsToolBar** pRetVal) override;
    HRESULT STDMETHODCALLTYPE RemoveToolBar(IBdsToolBar* bdsToolBar) override;
    HRESULT STDMETHODCALLTYPE Clear() override;

private:
    friend class tvx::LifetimeRegistry;
    TBdsToolBarService();
    ~TBdsToolBarService() override;

    void DoApplicationIdle(TObject* Sender, bool& Done);
    void LetGoOfAll();

    std::unique_ptr<TToolBars> ToolBars;
    TToolBarNotifier* ToolBarNotifier = nullptr;
    TApplicationHook<TIdleEvent> IdleHook;
    bool FShutDown = false;
};

} // namespace talvix
