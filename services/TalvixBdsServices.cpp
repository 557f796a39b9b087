#include "services/TalvixBdsServices.h"

#include "host/ide/ToolsAPI.h"
#include "host/vcl/Classes.h"
#include "host/vcl/Registry.h"
#include "interop/Bstr.h"
#include "interop/Guard.h"
#include "interop/VariantBool.h"
#include "loader/TalvixLoader.h"

namespace talvix {

namespace {

std::u16string DecimalText(LONG value)
{
    std::string s = std::to_string(value);
    return std::u16string(s.begin(), s.end());
}

// The IDE's own version key, opened as the VCL registry reader does by
// default (read-write), never created. Null when it is absent or refused.
template <class Read>
void ReadEditionKey(const std::u16string& version, Read&& read) noexcept
{
    try {
        TRegistry registry;
        registry.SetRootKey(HKEY_LOCAL_MACHINE);
        const String key = u"SOFTWARE\\CodeGear\\BDS\\" + version;
        if (registry.KeyExists(key) && registry.OpenKey(key, false)) {
            read(registry);
            registry.CloseKey();
        }
    } catch (...) {
        // Any failure leaves the caller's fallback standing.
    }
}

} // namespace

TBdsServices* TBdsServices::Create()
{
    auto* root = new TBdsServices();
    root->AddRef();
    tvx::LifetimeRegistry::Keep(root);
    return root;
}

TBdsServices::TBdsServices()
{
    OldMessageProcessing = Application ? Application->OnMessage() : TMessageEvent();
    UpdateMessageProcessing();
    FBdsVersionStr = DecimalText(FBdsVersionMajor) + u"." + DecimalText(FBdsVersionMinor);
}

TBdsServices::~TBdsServices()
{
    RestoreMessageProcessing();
    FreeServices();
}

void TBdsServices::UpdateMessageProcessing()
{
    if (Application)
        Application->SetOnMessage(MakeEvent<&TBdsServices::DoApplicationMessage>(this));
}

void TBdsServices::RestoreMessageProcessing()
{
    if (Application)
        Application->SetOnMessage(OldMessageProcessing);
    OldMessageProcessing = TMessageEvent();
}

void TBdsServices::DoApplicationMessage(MSG& Msg, bool& Handled)
{
    VARIANT_BOOL callPrevious = VARIANT_TRUE;
    VARIANT_BOOL handledLocal = VARIANT_FALSE;
    // Handlers registered while a message is handled see the next message.
    const std::size_t count = FMessageHandlers.size();
    for (std::size_t i = 0; i < count; ++i) {
        FMessageHandlers[i]->HandleMessage(&Msg, &callPrevious, &handledLocal);
        Handled = handledLocal != 0;
        if (Handled)
            break;
    }
    if (callPrevious && OldMessageProcessing)
        OldMessageProcessing(Msg, Handled);
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
    NotifyPackagesServicesReady();
}

HRESULT TBdsServices::get_BdsVersionMajor(LONG* version)
{
    return tvx::Guarded([&] {
        tvx::ClearOut(version);
        *version = FBdsVersionMajor;
    });
}

HRESULT TBdsServices::get_BdsVersionMinor(LONG* version)
{
    return tvx::Guarded([&] {
        tvx::ClearOut(version);
        *version = FBdsVersionMinor;
    });
}

HRESULT TBdsServices::get_BdsEdition(BSTR* edition)
{
    return tvx::Guarded([&] {
        tvx::ClearOut(edition);
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
        tvx::ClearOut(personality);
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

// The four services are built with their own subsystems; until then their
// getters answer as for a missing service.
HRESULT TBdsServices::Get_BdsWindowsService(IBdsWindowsService** pRetVal)
{
    return tvx::ClearOut(pRetVal) == S_OK ? E_NOINTERFACE : E_POINTER;
}

HRESULT TBdsServices::Get_BdsToolBarService(IBdsToolBarService** pRetVal)
{
    return tvx::ClearOut(pRetVal) == S_OK ? E_NOINTERFACE : E_POINTER;
}

HRESULT TBdsServices::Get_BdsHelpService(IBdsHelpService** pRetVal)
{
    return tvx::ClearOut(pRetVal) == S_OK ? E_NOINTERFACE : E_POINTER;
}

HRESULT TBdsServices::Get_BdsMenuBarService(IBdsMenuBarService** pRetVal)
{
    return tvx::ClearOut(pRetVal) == S_OK ? E_NOINTERFACE : E_POINTER;
}

HRESULT TBdsServices::Get_IsComponentRegistered(BSTR ComponentName, VARIANT_BOOL* pRetVal)
{
    return tvx::Guarded([&] {
        tvx::ClearOut(pRetVal);
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
        tvx::ClearOut(pRetVal);
        // No mirror of the IDE's services exists yet: every identifier
        // answers null.
        (void)Service;
    });
}

HRESULT TBdsServices::IsShortcut(LONG /*keyData*/, VARIANT_BOOL* pResult)
{
    return tvx::Guarded([&] { tvx::ClearOut(pResult); });
}

HRESULT TBdsServices::AddSplashInfo(HBITMAP, BSTR, BSTR, VARIANT_BOOL, BSTR)
{
    return E_NOTIMPL;
}

HRESULT TBdsServices::AddAboutBoxInfo(HBITMAP, HBITMAP, BSTR, BSTR, BSTR, BSTR, BSTR, VARIANT_BOOL, BSTR)
{
    return E_NOTIMPL;
}

HRESULT TBdsServices::AddMessageHandler(IMessageHandler* AHandler)
{
    // A null registration would crash every later message; it is ignored.
    return tvx::Guarded([&] {
        if (AHandler)
            FMessageHandlers.push_back(AHandler);
    });
}

HRESULT TBdsServices::AddDragDropHelper(IDragDropHelperProvider* ADragDropHelper)
{
    return tvx::Guarded([&] {
        if (ADragDropHelper)
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
        tvx::ClearOut(count);
        *count = PackageInfoCount();
    });
}

HRESULT TBdsServices::GetPackageInfo(LONG index, PackageInfo* pRetVal)
{
    return tvx::Guarded([&] {
        tvx::ClearOut(pRetVal);
        CopyPackageInfo(index, *pRetVal);
    });
}

} // namespace talvix
