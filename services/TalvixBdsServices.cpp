#include "services/TalvixBdsServices.h"

#include "host/ide/NTAServices.h"
#include "host/ide/SplashAboutServices.h"
#include "host/ide/ToolsAPI.h"
#include "host/ide/ToolsAPIServices.h"
#include "host/vcl/ActnList.h"
#include "host/vcl/Classes.h"
#include "host/vcl/Registry.h"
#include "interop/Bstr.h"
#include "interop/Guard.h"
#include "interop/TalvixBdsConstants.h"
#include "interop/VariantBool.h"
#include "interop/WrappedToolsAPI.h"
#include "toolsapi/BDSEditorServicesWrapper.h"

namespace talvix {

namespace {

std::u16string DecimalText(LONG value)
{
    std::string s = std::to_string(value);
    return std::u16string(s.begin(), s.end());
}

// The IDE's own version key, read only (most users may not write under
// HKEY_LOCAL_MACHINE), never created. Nothing is read when it is absent.
template <class Read>
void ReadEditionKey(const std::u16string& version, Read&& read) noexcept
{
    try {
        TRegistry registry;
        registry.SetRootKey(HKEY_LOCAL_MACHINE);
        const String key = u"SOFTWARE\\CodeGear\\BDS\\" + version;
        if (registry.OpenKeyReadOnly(key)) {
            read(registry);
            registry.CloseKey();
        }
    } catch (...) {
        // Any failure leaves the caller's fallback standing.
    }
}

// Clears an out parameter; a null one fails the call with E_POINTER.
template <class T>
void ClearResult(T* out)
{
    tvx::ThrowIfFailed(tvx::ClearOut(out));
}

// Hands a service's interface out with one reference, or E_NOINTERFACE
// while the service does not exist.
template <class Service, class I>
HRESULT GetServiceInterface(Service* service, I** pRetVal)
{
    return tvx::Guarded([&]() -> HRESULT {
        ClearResult(pRetVal);
        if (!service)
            return E_NOINTERFACE;
        tvx::IntfPtr<I>(service->Interface()).copy_to(pRetVal);
        return S_OK;
    });
}

String BstrText(BSTR text) { return String(tvx::BstrView(text)); }

} // namespace

MirroredService MirroredServiceOf(REFGUID Service)
{
    // A mirror carries the identifier of the IDE interface it mirrors.
    if (tvx::IsEqualGuid(Service, tvx::IidOf<IBDSModuleServices70>))
        return MirroredService::ModuleServices;
    if (tvx::IsEqualGuid(Service, tvx::IidOf<IBDSEditorServices80>))
        return MirroredService::EditorServices;
    return MirroredService::None;
}

TBdsServices* TBdsServices::Create(TPackageTable* Packages)
{
    return tvx::LifetimeRegistry::Create<TBdsServices>(Packages);
}

TBdsServices::TBdsServices(TPackageTable* Packages)
    : FPackages(Packages), FMessageHook(&TApplication::OnMessage, &TApplication::SetOnMessage)
{
    // The services, in this order; later ones may rely on earlier ones.
    FBdsWindowsService = TBdsWindowsService::Create(*this);
    FBdsToolBarService = TBdsToolBarService::Create();
    FBdsToolBarService->SetOnToolbarLoaded(MakeEvent<&TBdsServices::OnToolBarServiceInitialized>(this));
    FBdsHelpService = TBdsHelpService::Create();
    FBdsMenuBarService = TBdsMenuBarService::Create();
    // The designer notifier registers itself with the IDE's designers.
    FBdsUnmanagedDesignerHelper = TDragDropDesignerNotifier::Create(*this);
    // An IDE that unloads the library without terminating it first must
    // still find no hook, notifier or handler of ours afterwards.
    FMessageHook.Install(MakeEvent<&TBdsServices::DoApplicationMessage>(this),
                         MakeEvent<&TBdsServices::LibraryUnloading>(this));
    FBdsVersionStr = DecimalText(FBdsVersionMajor) + u"." + DecimalText(FBdsVersionMinor);
}

// Never runs while the process lives: the root holds itself.
TBdsServices::~TBdsServices()
{
    // The notifier stays registered and alive; only the pointer goes.
    FBdsUnmanagedDesignerHelper = nullptr;
    RestoreMessageProcessing();
    FreeServices();
    FBdsShortCuts.clear();
}

void TBdsServices::UpdateMessageProcessing()
{
    if (!FShutDown)
        FMessageHook.Reinstall();
}

void TBdsServices::EditorTabSelected()
{
    if (FShutDown || !FPackages)
        return;
    // Held for the call: the package may let go of itself in it.
    tvx::IntfPtr<IBdsEditorTabListener> listener(FPackages->EditorTabListener());
    if (listener)
        tvx::CallIntoPackage([&] { return listener->OnIdeTabSelected(); });
}

void TBdsServices::RestoreMessageProcessing() noexcept { FMessageHook.Remove(); }

void TBdsServices::LibraryUnloading(TComponent*) { ShutDown(); }

void TBdsServices::ShutDown()
{
    if (std::exchange(FShutDown, true))
        return;
    // The packages' objects are about to go; their registrations must not
    // outlive them.
    FMessageHandlers.clear();
    FDragDropHelpers.clear();
    if (FBdsUnmanagedDesignerHelper)
        FBdsUnmanagedDesignerHelper->Unregister();
    RestoreMessageProcessing();
    FBdsMenuBarService->ShutDown();
    FBdsToolBarService->ShutDown();
    FBdsWindowsService->ShutDown();
}

void TBdsServices::InvokeIdeMenuItem(const String& Path)
{
    tvx::IntfPtr<IBdsMenuItem> item;
    tvx::Bstr path(Path);
    if (SUCCEEDED(FBdsMenuBarService->GetMenuItem(path.get(), item.put())) && item)
        item->InvokeAction();
}

// Every window message of the IDE passes here, so it allocates nothing and
// goes straight to the IDE's handler while no package has registered one.
void TBdsServices::DoApplicationMessage(MSG& Msg, bool& Handled)
{
    if (FMessageHook.Chained()) [[unlikely]] {
        DispatchChained(Msg, Handled);
        return;
    }
    if (FMessageHandlers.empty())
        OldMessageProcessing()(Msg, Handled); // an empty event does nothing
    else
        DispatchToHandlers(Msg, Handled);
}

// The root calls a handler it found in its place, which may give the message
// back to it; a nested message loop (a package's modal window) brings new
// messages meanwhile.
void TBdsServices::DispatchChained(MSG& Msg, bool& Handled)
{
    if (&Msg == FMessageInFlight) {
        PassBack(Msg, Handled);
        return;
    }
    struct InFlight {
        TBdsServices& root;
        MSG* outer;
        std::size_t depth;
        ~InFlight()
        {
            root.FMessageInFlight = outer;
            root.FPassBackDepth = depth;
        }
    } inFlight{*this, std::exchange(FMessageInFlight, &Msg), std::exchange(FPassBackDepth, 0)};
    if (FMessageHandlers.empty())
        OldMessageProcessing()(Msg, Handled);
    else
        DispatchToHandlers(Msg, Handled);
}

// A handler the root chained to gave the message back to it: the packages
// have seen it; it goes on to the handler that one replaced.
void TBdsServices::PassBack(MSG& Msg, bool& Handled)
{
    const TMessageEvent& next = FMessageHook.Previous(++FPassBackDepth);
    next(Msg, Handled);
}

void TBdsServices::DispatchToHandlers(MSG& Msg, bool& Handled)
{
    // Handlers registered while a message is handled see the next message;
    // indexing, not iterators, stays valid when a registration reallocates.
    const std::size_t count = FMessageHandlers.size();
    VARIANT_BOOL callPrevious = VARIANT_TRUE;
    VARIANT_BOOL handledLocal = VARIANT_FALSE;
    std::size_t i = 0;
    // A handler that throws has handled nothing beyond what it set: its
    // exception must not cost the others, or the IDE, the message.
    do {
        IMessageHandler* handler = FMessageHandlers[i];
        tvx::CallIntoPackage([&] { return handler->HandleMessage(&Msg, &callPrevious, &handledLocal); });
    } while (!handledLocal && ++i < count);
    Handled = handledLocal != 0;
    if (callPrevious)
        OldMessageProcessing()(Msg, Handled);
}

void TBdsServices::OnToolBarServiceInitialized()
{
    if (FToolBarServiceInitialized)
        return;
    FToolBarServiceInitialized = true;
    NotifyServicesReady();
}

void TBdsServices::NotifyServicesReady()
{
    if (!FToolBarServiceInitialized || !FBdsNetServicesInitialized)
        return;
    if (FPackages)
        FPackages->NotifyServicesReady();
    CollectShortCuts();
}

// The IDE's own editing and search keys are left out: packages ask only
// whether a key would run one of the IDE's other commands.
void TBdsServices::CollectShortCuts() noexcept
{
    try {
        if (!BorlandIDEServices)
            return;
        tvx::IntfPtr<INTAServices40> native;
        if (!BorlandIDEServices->GetService(tvx::IidOf<INTAServices40>, native.put_void()) || !native)
            return;
        TCustomActionList* actions = native->GetActionList();
        if (!actions)
            return;
        for (int i = 0; i < actions->ActionCount(); ++i) {
            auto* action = dynamic_cast<TCustomAction*>(actions->Actions(i));
            if (!action)
                continue;
            const String& name = action->Name();
            if (name.find(u"Edit") != String::npos || name.find(u"Search") != String::npos)
                continue;
            if (ShortCutToText(action->ShortCut()).empty())
                continue;
            // Watched before it is listed: a listed action is always watched.
            FShortCutWatches.push_back(
                std::make_unique<TFreeWatch>(action, MakeEvent<&TBdsServices::ShortCutFreed>(this)));
            FBdsShortCuts.push_back(action);
        }
    } catch (...) {
        // Whatever was collected before the failure stays.
    }
}

void TBdsServices::ShortCutFreed(TComponent* Action)
{
    std::erase(FBdsShortCuts, Action);
    // Last: this frees the watch that is calling, which allows it.
    std::erase_if(FShortCutWatches, [&](const auto& watch) { return watch->Target() == nullptr; });
}

HRESULT TBdsServices::get_BdsVersionMajor(LONG* version)
{
    return tvx::Guarded([&] {
        ClearResult(version);
        *version = FBdsVersionMajor;
    });
}

HRESULT TBdsServices::get_BdsVersionMinor(LONG* version)
{
    return tvx::Guarded([&] {
        ClearResult(version);
        *version = FBdsVersionMinor;
    });
}

HRESULT TBdsServices::get_BdsEdition(BSTR* edition)
{
    return tvx::Guarded([&] {
        ClearResult(edition);
        if (FBdsEdition.empty()) {
            FBdsEdition = u"unknown";
            ReadEditionKey(FBdsVersionStr, [&](TRegistry& registry) {
                if (registry.ValueExists(u"Edition"))
                    FBdsEdition = registry.ReadString(u"Edition");
            });
        }
        *edition = tvx::AllocBstr(FBdsEdition);
    });
}

HRESULT TBdsServices::get_IsPersonalityEdition(VARIANT_BOOL* personality)
{
    return tvx::Guarded([&] {
        ClearResult(personality);
        if (FIsBdsPersonality < 0) {
            FIsBdsPersonality = 1;
            ReadEditionKey(FBdsVersionStr, [&](TRegistry& registry) {
                if (registry.ValueExists(u"RegMergeTimeStamp"))
                    FIsBdsPersonality = 0;
            });
        }
        *personality = tvx::ToVariantBool(FIsBdsPersonality == 1);
    });
}

// A service not built yet answers as a missing one.
HRESULT TBdsServices::Get_BdsWindowsService(IBdsWindowsService** pRetVal)
{
    return GetServiceInterface(FBdsWindowsService, pRetVal);
}

HRESULT TBdsServices::Get_BdsToolBarService(IBdsToolBarService** pRetVal)
{
    return GetServiceInterface(FBdsToolBarService, pRetVal);
}

HRESULT TBdsServices::Get_BdsHelpService(IBdsHelpService** pRetVal)
{
    return GetServiceInterface(FBdsHelpService, pRetVal);
}

HRESULT TBdsServices::Get_BdsMenuBarService(IBdsMenuBarService** pRetVal)
{
    return GetServiceInterface(FBdsMenuBarService, pRetVal);
}

HRESULT TBdsServices::Get_IsComponentRegistered(BSTR ComponentName, VARIANT_BOOL* pRetVal)
{
    return tvx::Guarded([&] {
        ClearResult(pRetVal);
        bool found = false;
        try {
            found = FindClass(String(tvx::BstrView(ComponentName))) != nullptr;
        } catch (...) {
            found = false;
        }
        *pRetVal = tvx::ToVariantBool(found);
    });
}

HRESULT TBdsServices::GetService(REFGUID Service, IUnknown** pRetVal)
{
    return tvx::Guarded([&] {
        ClearResult(pRetVal);
        if (!BorlandIDEServices)
            return;
        tvx::IntfPtr<IUnknown> hostService = BorlandIDEServices->GetService(Service);
        if (!hostService)
            return;
        // A host service without the interface the mirror wraps fails the
        // call with E_NOINTERFACE; identifiers without a mirror answer null.
        switch (MirroredServiceOf(Service)) {
        case MirroredService::ModuleServices: {
            auto services = hostService.as<IOTAModuleServices70>();
            if (!FBdsModuleServices)
                FBdsModuleServices = new TBDSModuleServicesWrapper(services);
            tvx::IntfPtr<IUnknown>(FBdsModuleServices->Identity()).copy_to(pRetVal);
            break;
        }
        case MirroredService::EditorServices:
            tvx::IntfPtr<IUnknown>(new TBDSEditorServicesWrapper(hostService.as<IOTAEditorServices>()))
                .copy_to(pRetVal);
            break;
        case MirroredService::None: break;
        }
    });
}

static_assert(tvx::bds::kShortCutShift == scShift && tvx::bds::kShortCutCtrl == scCtrl &&
              tvx::bds::kShortCutAlt == scAlt);

TShortCut KeyDataToShortCut(LONG keyData) noexcept
{
    TShiftState shift;
    if (keyData & tvx::bds::kKeyDataShift)
        shift.Include(ssShift);
    if (keyData & tvx::bds::kKeyDataControl)
        shift.Include(ssCtrl);
    if (keyData & tvx::bds::kKeyDataAlt)
        shift.Include(ssAlt);
    return ShortCut(std::uint16_t(keyData & 0xFFFF), shift);
}

HRESULT TBdsServices::IsShortcut(LONG keyData, VARIANT_BOOL* pResult)
{
    return tvx::Guarded([&] {
        ClearResult(pResult);
        const TShortCut wanted = KeyDataToShortCut(keyData);
        for (TCustomAction* action : FBdsShortCuts) {
            if (action->ShortCut() == wanted && action->Enabled()) {
                *pResult = VARIANT_TRUE;
                return;
            }
        }
    });
}

HRESULT TBdsServices::AddSplashInfo(HBITMAP ABitmap, BSTR ACaption, BSTR ALicenseStatus, VARIANT_BOOL AIsUnRegistered,
                                    BSTR ASKUName)
{
    return tvx::Guarded([&] {
        // An IDE started without its splash screen has nowhere to show the line.
        if (!SplashScreenServices)
            return;
        SplashScreenServices->AddPluginBitmap(BstrText(ACaption), ABitmap, tvx::FromVariantBool(AIsUnRegistered),
                                              BstrText(ALicenseStatus), BstrText(ASKUName));
    });
}

HRESULT TBdsServices::AddAboutBoxInfo(HBITMAP AAboutImage, HBITMAP AProductImage, BSTR ADialogTitle, BSTR ACopyright,
                                      BSTR ATitle, BSTR ADescription, BSTR ALicenseStatus, VARIANT_BOOL AIsUnRegistered,
                                      BSTR ASKUName)
{
    return tvx::Guarded([&] {
        tvx::IntfPtr<IOTAAboutBoxServices> aboutBox;
        if (!BorlandIDEServices || !Supports(BorlandIDEServices, aboutBox))
            throw tvx::HResultError(E_NOINTERFACE, u"The IDE has no About box service");
        // The IDE's answer (the entry's index) is of no use to packages.
        aboutBox->AddProductInfo(BstrText(ADialogTitle), BstrText(ACopyright), BstrText(ATitle), BstrText(ADescription),
                                 AAboutImage, AProductImage, tvx::FromVariantBool(AIsUnRegistered),
                                 BstrText(ALicenseStatus), BstrText(ASKUName), 0, 0);
    });
}

HRESULT TBdsServices::AddMessageHandler(IMessageHandler* AHandler)
{
    // A null registration would crash every later message; it is ignored,
    // and so is one after shutdown, which nothing would call.
    return tvx::Guarded([&] {
        if (AHandler && !FShutDown)
            FMessageHandlers.push_back(AHandler);
    });
}

HRESULT TBdsServices::AddDragDropHelper(IDragDropHelperProvider* ADragDropHelper)
{
    return tvx::Guarded([&] {
        if (ADragDropHelper && !FShutDown)
            FDragDropHelpers.push_back(ADragDropHelper);
    });
}

HRESULT TBdsServices::OnDotNetServicesInitialized()
{
    return tvx::Guarded([&] {
        if (FBdsNetServicesInitialized)
            return;
        FBdsNetServicesInitialized = true;
        NotifyServicesReady();
    });
}

HRESULT TBdsServices::get_PackagesCount(LONG* count)
{
    return tvx::Guarded([&] {
        ClearResult(count);
        *count = FPackages ? FPackages->Count() : 0;
    });
}

HRESULT TBdsServices::GetPackageInfo(LONG index, PackageInfo* pRetVal)
{
    return tvx::Guarded([&] {
        ClearResult(pRetVal);
        // A bad index raises a range error carrying E_INVALIDARG, with the
        // record left cleared.
        if (!FPackages)
            throw tvx::HResultError(E_INVALIDARG, u"Range check error");
        FPackages->Copy(index, *pRetVal);
    });
}

} // namespace talvix
