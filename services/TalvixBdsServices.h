// The services root: the one IBdsServices object every package receives.
#pragma once

#include "core/ApplicationHook.h"
#include "host/vcl/Forms.h"
#include "host/vcl/ShortCuts.h"
#include "interop/InterfacedObject.h"
#include "interop/TalvixBdsInterop.h"
#include "menus/BdsMenuBarService.h"
#include "services/BdsDesignerNotifier.h"
#include "services/BdsHelpService.h"
#include "toolbars/BdsToolBarService.h"
#include "toolsapi/BDSModuleServicesWrapper.h"
#include "windows/BdsWindowsService.h"

#include <memory>
#include <string>
#include <vector>

class TCustomAction;

namespace talvix {

// The loader's package table as the root sees it. The loader implements it,
// so that the root knows nothing of the layer above it.
class TPackageTable {
public:
    virtual LONG Count() const noexcept = 0;
    // Copies record `index` into `out`, adding a reference to Instance; an
    // index outside the table raises a range error carrying E_INVALIDARG.
    virtual void Copy(LONG index, PackageInfo& out) const = 0;
    // Calls OnServicesReady on every kept package in load order.
    virtual void NotifyServicesReady() = 0;
    // The package that listens to the editor's tab changes, or null.
    virtual IBdsEditorTabListener* EditorTabListener() const noexcept = 0;

protected:
    ~TPackageTable() = default;
};

// A package's key data (key code in bits 0..15, Shift 0x10000, Control
// 0x20000, Alt 0x40000) as the VCL shortcut value the IDE's actions carry.
TShortCut KeyDataToShortCut(LONG keyData) noexcept;

// The Open Tools API services that packages reach through mirror interfaces,
// told apart by the identifier asked for.
enum class MirroredService { None, ModuleServices, EditorServices };
MirroredService MirroredServiceOf(REFGUID Service);

class TBdsServices final : public tvx::Implements<TBdsServices, IBdsServices>, private TWindowsServiceHost {
public:
    // Creates the single root; it holds a reference on itself and is never
    // destroyed while the process runs. Without a package table it reports
    // no packages.
    static TBdsServices* Create(TPackageTable* Packages = nullptr);

    IBdsServices* Interface() noexcept { return this; }

    // IBdsServices
    HRESULT STDMETHODCALLTYPE get_BdsVersionMajor(LONG* version) override;
    HRESULT STDMETHODCALLTYPE get_BdsVersionMinor(LONG* version) override;
    HRESULT STDMETHODCALLTYPE get_BdsEdition(BSTR* edition) override;
    HRESULT STDMETHODCALLTYPE get_IsPersonalityEdition(VARIANT_BOOL* personality) override;
    HRESULT STDMETHODCALLTYPE Get_BdsWindowsService(IBdsWindowsService** pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_BdsToolBarService(IBdsToolBarService** pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_BdsHelpService(IBdsHelpService** pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_BdsMenuBarService(IBdsMenuBarService** pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_IsComponentRegistered(BSTR ComponentName, VARIANT_BOOL* pRetVal) override;
    HRESULT STDMETHODCALLTYPE GetService(REFGUID Service, IUnknown** pRetVal) override;
    // Aligned so that where its scan loop falls against the processor's
    // fetch blocks does not change with unrelated code around it.
    [[gnu::aligned(64)]] HRESULT STDMETHODCALLTYPE IsShortcut(LONG keyData, VARIANT_BOOL* pResult) override;
    HRESULT STDMETHODCALLTYPE AddSplashInfo(HBITMAP ABitmap, BSTR ACaption, BSTR ALicenseStatus,
                                            VARIANT_BOOL AIsUnRegistered, BSTR ASKUName) override;
    HRESULT STDMETHODCALLTYPE AddAboutBoxInfo(HBITMAP AAboutImage, HBITMAP AProductImage, BSTR ADialogTitle,
                                              BSTR ACopyright, BSTR ATitle, BSTR ADescription, BSTR ALicenseStatus,
                                              VARIANT_BOOL AIsUnRegistered, BSTR ASKUName) override;
    HRESULT STDMETHODCALLTYPE AddMessageHandler(IMessageHandler* AHandler) override;
    HRESULT STDMETHODCALLTYPE AddDragDropHelper(IDragDropHelperProvider* ADragDropHelper) override;
    HRESULT STDMETHODCALLTYPE OnDotNetServicesInitialized() override;
    HRESULT STDMETHODCALLTYPE get_PackagesCount(LONG* count) override;
    HRESULT STDMETHODCALLTYPE GetPackageInfo(LONG index, PackageInfo* pRetVal) override;

    // For the rest of the library.
    void FreeServices() noexcept {}
    void UpdateMessageProcessing() override;
    // Puts back the handler that was in place before the hook went in,
    // unless a newer one has replaced ours since: that one may still call
    // ours, which then only passes messages on.
    void RestoreMessageProcessing() noexcept;
    // The terminate routine's first step: from here on no IDE event reaches
    // a package (messages, designer drops, menu and toolbar events, idle
    // updates), every registration of a package object is forgotten and
    // the hooks come off. The services go on answering packages' calls.
    void ShutDown();
    void OnToolBarServiceInitialized();
    // The two events OnServicesReady waits for.
    bool ToolBarServiceInitialized() const noexcept { return FToolBarServiceInitialized; }
    bool DotNetServicesInitialized() const noexcept { return FBdsNetServicesInitialized; }
    TBdsToolBarService* BdsToolBarService() const noexcept { return FBdsToolBarService; }
    TBdsHelpService* BdsHelpService() const noexcept { return FBdsHelpService; }
    TBdsMenuBarService* BdsMenuBarService() const noexcept { return FBdsMenuBarService; }
    TBdsWindowsService* BdsWindowsService() const noexcept { return FBdsWindowsService; }
    const std::vector<IDragDropHelperProvider*>& DragDropHelpers() const noexcept { return FDragDropHelpers; }

protected:
    // The application's OnMessage handler before the root installed its own.
    const TMessageEvent& OldMessageProcessing() const noexcept { return FMessageHook.Previous(); }

private:
    friend class tvx::LifetimeRegistry;
    explicit TBdsServices(TPackageTable* Packages);
    ~TBdsServices() override;

    void DoApplicationMessage(MSG& Msg, bool& Handled);
    // The packages' handlers in registration order until one handles the
    // message, then the IDE's unless a handler declined it. Kept out of line
    // so that the common case, no handler, needs no stack frame; aligned as
    // IsShortcut is.
    [[gnu::noinline, gnu::aligned(64)]] void DispatchToHandlers(MSG& Msg, bool& Handled);
    [[gnu::noinline]] void DispatchChained(MSG& Msg, bool& Handled);
    void PassBack(MSG& Msg, bool& Handled);
    // The message the root is handling, and how far down the chain of kept
    // handlers it has been passed back.
    MSG* FMessageInFlight = nullptr;
    std::size_t FPassBackDepth = 0;
    void NotifyServicesReady();
    void CollectShortCuts() noexcept;
    void LibraryUnloading(TComponent* Application);
    void InvokeIdeMenuItem(const String& Path) override;
    void EditorTabSelected() override;

    // The services, created by the constructor and never freed.
    TBdsWindowsService* FBdsWindowsService = nullptr;
    TBdsToolBarService* FBdsToolBarService = nullptr;
    TBdsHelpService* FBdsHelpService = nullptr;
    TBdsMenuBarService* FBdsMenuBarService = nullptr;
    // Not counted through this field; it holds itself.
    TDragDropDesignerNotifier* FBdsUnmanagedDesignerHelper = nullptr;
    // Made at the first request and handed to every later one.
    tvx::IntfPtr<TBDSModuleServicesWrapper> FBdsModuleServices;
    bool FToolBarServiceInitialized = false;
    bool FBdsNetServicesInitialized = false;
    // The IDE's actions whose shortcuts IsShortcut knows; the IDE owns them.
    std::vector<TCustomAction*> FBdsShortCuts;
    // Each collected action is watched, so that one the IDE frees (an
    // unloaded design package, the IDE's own shutdown) leaves the list.
    std::vector<std::unique_ptr<TFreeWatch>> FShortCutWatches;
    void ShortCutFreed(TComponent* Action);
    std::u16string FBdsEdition;
    LONG FIsBdsPersonality = -1;
    LONG FBdsVersionMajor = 8;
    LONG FBdsVersionMinor = 0;
    std::u16string FBdsVersionStr;
    // Registrations hold no reference: a package keeps its own objects alive.
    std::vector<IMessageHandler*> FMessageHandlers;
    std::vector<IDragDropHelperProvider*> FDragDropHelpers;
    bool FShutDown = false;
    TPackageTable* FPackages;
    TApplicationHook<TMessageEvent> FMessageHook;
};

} // namespace talvix
