#include "toolbars/BdsToolBarService.h"

#include "host/ide/NTAServices.h"
#include "host/ide/ToolsAPI.h"
#include "host/vcl/Controls.h"
#include "host/vcl/Supports.h"
#include "host/win32/Win32.h"
#include "interop/Bstr.h"
#include "interop/Guard.h"
#include "interop/VariantBool.h"
#include "loader/TalvixLoader.h"
#include "services/TalvixBdsServices.h"
#include "toolbars/BdsToolBarControls.h"
#include "toolbars/WrapperCalls.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace talvix {

namespace {

// The IDE's native services; an IDE without them raises the cast error.
tvx::IntfPtr<INTAServices> NTAServices()
{
    if (!BorlandIDEServices)
        throw EIntfCastError(String(SIntfCastError));
    return IntfCast<INTAServices>(BorlandIDEServices);
}

// The last item of a locked list, or null when it is empty.
template <class T>
T* LastOf(TThreadList& list)
{
    TThreadList::Locked items(list);
    return items->Count() > 0 ? static_cast<T*>(items->Last()) : nullptr;
}

template <class T>
std::vector<T*> SnapshotOf(TThreadList& list)
{
    TThreadList::Locked items(list);
    std::vector<T*> result;
    for (void* item : *items)
        result.push_back(static_cast<T*>(item));
    return result;
}

bool ListHolds(TThreadList& list, const void* item)
{
    TThreadList::Locked items(list);
    return items->IndexOf(const_cast<void*>(item)) >= 0;
}

} // namespace

// --- Locked lists -------------------------------------------------------------

int TToolBarControls::Count()
{
    Locked items(*this);
    return items->Count();
}

TBdsToolBarControl* TToolBarControls::Items(int Index)
{
    Locked items(*this);
    return static_cast<TBdsToolBarControl*>(items->Items(Index));
}

int TToolBars::Count()
{
    Locked items(*this);
    return items->Count();
}

TBdsToolBar* TToolBars::Items(int Index)
{
    Locked items(*this);
    return static_cast<TBdsToolBar*>(items->Items(Index));
}

// --- TBdsToolBar ----------------------------------------------------------------

TBdsToolBar::TBdsToolBar(const String& Name, const String& Title, TBdsToolBarService* ToolBarService)
    : ToolBarControls(std::make_unique<TToolBarControls>())
{
    tvx::IntfPtr<INTAServices> services = NTAServices();
    ToolBar = services->GetToolBar(Name);
    if (!ToolBar) {
        ToolBar = services->NewToolbar(Name, Title, String(), false);
        if (!ToolBar)
            throw Exception(u"The IDE made no toolbar named " + Name);
        // The package shows it when it is filled.
        ToolBar->SetVisible(false);
    }
    ToolBar->SetAutoSize(true);
    NativeWatch = std::make_unique<TFreeWatch>(ToolBar, this, &TBdsToolBar::NativeFreed);
    BdsToolBarService = ToolBarService;
    BdsToolBarService->RegisterToolBar(this);
}

TBdsToolBar::~TBdsToolBar()
{
    // Only a wrapper that somebody over-released goes while open; its
    // native toolbar stays with the IDE. Off the list first: a sink let go
    // of must not find this wrapper to remove.
    LeaveService();
    if (ToolBar) {
        ToolBar = nullptr;
        CutLooseControls(true);
    }
}

int TBdsToolBar::EndPosition() const noexcept
{
    if (!ToolBar)
        return 0;
    return ToolBar->Parent() ? ToolBar->Parent()->Width() : ToolBar->Width();
}

void TBdsToolBar::RegisterControl(TBdsToolBarControl* Control)
{
    if (ToolBarControls)
        ToolBarControls->Add(Control);
}

void TBdsToolBar::UnregisterControl(TBdsToolBarControl* Control)
{
    if (ToolBarControls)
        ToolBarControls->Remove(Control);
}

void TBdsToolBar::UpdateControl()
{
    if (!ToolBarControls)
        return;
    std::vector<TBdsToolBarControl*> controls = SnapshotOf<TBdsToolBarControl>(*ToolBarControls);
    for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
        // A sink may end or add controls, or close the toolbar, meanwhile.
        if (!ToolBarControls || !ListHolds(*ToolBarControls, *it))
            continue;
        tvx::IntfPtr<IBdsToolBarControl> hold((*it)->Interface());
        (*it)->Update();
    }
}

bool TBdsToolBar::DeliversEvents() const noexcept
{
    return BdsToolBarService && BdsToolBarService->DeliversEvents();
}

void TBdsToolBar::DropEvents()
{
    if (!ToolBarControls)
        return;
    for (TBdsToolBarControl* control : SnapshotOf<TBdsToolBarControl>(*ToolBarControls)) {
        // A sink let go of may end other controls, or close this toolbar.
        if (!ToolBarControls || !ListHolds(*ToolBarControls, control))
            continue;
        tvx::IntfPtr<IBdsToolBarControl> hold(control->Interface());
        control->DropEvents();
    }
}

void TBdsToolBar::CutLooseControls(bool VclControlsStay)
{
    if (!ToolBarControls)
        return;
    // One at a time: letting go of a sink may end other controls.
    while (TBdsToolBarControl* control = LastOf<TBdsToolBarControl>(*ToolBarControls)) {
        ToolBarControls->Remove(control);
        control->CutLoose(VclControlsStay);
    }
    ToolBarControls.reset();
}

void TBdsToolBar::LeaveService()
{
    if (TBdsToolBarService* service = std::exchange(BdsToolBarService, nullptr))
        service->UnregisterToolBar(this);
}

void TBdsToolBar::Close()
{
    // Closed and off the service's list from the first step on, so that
    // package code reached from here (a sink let go of, another wrapper of
    // this toolbar ending its controls) finds a toolbar that is no longer
    // open, nor the service's to remove again.
    TToolBar* native = std::exchange(ToolBar, nullptr);
    if (!native)
        return;
    NativeWatch.reset();
    LeaveService();
    // That package code may also free buttons, or the toolbar itself.
    bool freed = false;
    TFreeWatch watch(native, &freed, [](void* flag) { *static_cast<bool*>(flag) = true; });
    native->Hide();
    CutLooseControls(false);
    while (!freed && native->ButtonCount() > 0)
        native->Buttons(native->ButtonCount() - 1)->Free();
    if (!freed)
        native->Free();
}

void TBdsToolBar::LetGo()
{
    if (!std::exchange(ToolBar, nullptr))
        return;
    NativeWatch.reset();
    LeaveService();
    CutLooseControls(true);
}

void TBdsToolBar::NativeFreed(void* Self)
{
    auto* self = static_cast<TBdsToolBar*>(Self);
    if (!std::exchange(self->ToolBar, nullptr))
        return;
    // Held to the end: the service's reference may be the last one.
    tvx::IntfPtr<IBdsToolBar> hold(self->Interface());
    // Off the list before any package code runs: a sink's last release
    // that removes this toolbar then finds nothing left to release.
    TBdsToolBarService* service = self->BdsToolBarService;
    const bool listed = service && service->Lists(self);
    self->LeaveService();
    // The controls' VCL objects go with the toolbar that owns them.
    self->CutLooseControls(false);
    if (listed)
        self->Interface()->Release();
}

template <class Body>
HRESULT TBdsToolBar::OnOpen(Body&& body, HRESULT Refused)
{
    return CallIfUsable(Open(), body, Refused);
}

template <class T, class Body>
HRESULT TBdsToolBar::Read(T* pRetVal, Body&& body, HRESULT Refused)
{
    return ReadIfUsable(Open(), pRetVal, body, Refused);
}

HRESULT TBdsToolBar::Get_Name(BSTR* pRetVal)
{
    return Read(pRetVal, [&] { return tvx::AllocBstr(ToolBar->Name()); });
}

HRESULT TBdsToolBar::Set_Name(BSTR pRetVal)
{
    // The VCL refuses a name that is no identifier or already taken.
    return OnOpen([&] { ToolBar->SetName(FromBstr(pRetVal)); }, E_INVALIDARG);
}

HRESULT TBdsToolBar::Get_Caption(BSTR* pRetVal)
{
    return Read(pRetVal, [&] { return tvx::AllocBstr(ToolBar->Caption()); });
}

HRESULT TBdsToolBar::Set_Caption(BSTR pRetVal)
{
    return OnOpen([&] { ToolBar->SetCaption(FromBstr(pRetVal)); });
}

HRESULT TBdsToolBar::Get_Visible(VARIANT_BOOL* pRetVal)
{
    return Read(pRetVal, [&] { return tvx::ToVariantBool(ToolBar->Visible()); });
}

HRESULT TBdsToolBar::Set_Visible(VARIANT_BOOL pRetVal)
{
    return OnOpen([&] { ToolBar->SetVisible(tvx::FromVariantBool(pRetVal)); });
}

HRESULT TBdsToolBar::Get_Left(LONG* pRetVal)
{
    return Read(pRetVal, [&] { return LONG(ToolBar->Left()); });
}

HRESULT TBdsToolBar::Set_Left(LONG val)
{
    return OnOpen([&] { ToolBar->SetLeft(val); });
}

HRESULT TBdsToolBar::Get_Top(LONG* pRetVal)
{
    return Read(pRetVal, [&] { return LONG(ToolBar->Top()); });
}

HRESULT TBdsToolBar::Set_Top(LONG val)
{
    return OnOpen([&] { ToolBar->SetTop(val); });
}

HRESULT TBdsToolBar::Get_Width(LONG* pRetVal)
{
    return Read(pRetVal, [&] { return LONG(ToolBar->Width()); });
}

HRESULT TBdsToolBar::Get_Height(LONG* pRetVal)
{
    return Read(pRetVal, [&] { return LONG(ToolBar->Height()); });
}

HRESULT TBdsToolBar::Get_Floating(VARIANT_BOOL* pRetVal)
{
    return Read(pRetVal, [&] { return tvx::ToVariantBool(ToolBar->Floating()); });
}

HRESULT TBdsToolBar::Set_Floating(VARIANT_BOOL)
{
    // Docking and floating stay the user's.
    return tvx::Guarded([&] { return Open() ? E_NOTIMPL : E_UNEXPECTED; });
}

HRESULT TBdsToolBar::Get_ControlCount(LONG* pRetVal)
{
    return Read(pRetVal, [&] { return LONG(ToolBarControls->Count()); });
}

HRESULT TBdsToolBar::AddSeparator()
{
    return OnOpen([&] {
        auto* separator = new TToolButton(ToolBar);
        try {
            separator->SetStyle(tbsDivider);
            separator->SetWidth(separator->Width() / 4);
            separator->SetParent(ToolBar);
            separator->SetLeft(EndPosition());
        } catch (...) {
            separator->Free();
            throw;
        }
    });
}

HRESULT TBdsToolBar::AddControl(LONG Type_, IBdsToolBarControl** pRetVal)
{
    if (tvx::ClearOut(pRetVal) != S_OK)
        return E_POINTER;
    return tvx::Guarded([&]() -> HRESULT {
        if (!Open())
            return E_UNEXPECTED;
        TBdsToolBarControl* control = nullptr;
        switch (Type_) {
        case 1:
            control = new TBdsToolBarButton(this);
            break;
        case 2:
            control = new TBdsToolBarComboBox(this, true);
            break;
        case 3:
            control = new TBdsToolBarComboBox(this, false);
            break;
        case 4:
            control = new TBdsToolBarPopUp(this);
            break;
        default:
            return E_FAIL;
        }
        // The package's reference is the only one.
        *pRetVal = control->Interface();
        (*pRetVal)->AddRef();
        return S_OK;
    });
}

HRESULT TBdsToolBar::RemoveControl(IBdsToolBarControl* bdsToolBarControl)
{
    return tvx::Guarded([&]() -> HRESULT {
        // A closed toolbar still ends a control of another one: the
        // control's own toolbar does not matter here.
        if (!bdsToolBarControl)
            return S_OK;
        TBdsToolBarControl* control = TBdsToolBarControl::FromInterface(bdsToolBarControl);
        if (!control)
            return E_INVALIDARG;
        // Held while it ends: letting go of its sink may drop the rest.
        tvx::IntfPtr<IBdsToolBarControl> hold(control->Interface());
        control->EndControl();
        return S_OK;
    });
}

HRESULT TBdsToolBar::Clear()
{
    return OnOpen([&] {
        while (ToolBarControls) {
            TBdsToolBarControl* control = LastOf<TBdsToolBarControl>(*ToolBarControls);
            if (!control)
                break;
            control->EndControl();
            if (ToolBarControls)
                ToolBarControls->Remove(control);
        }
        // A sink may have closed the toolbar meanwhile.
        if (ToolBar)
            ToolBar->DestroyComponents();
    });
}

// --- TToolBarNotifier -------------------------------------------------------------

TToolBarNotifier::TToolBarNotifier()
{
    // An IDE without native services never reports toolbars; the service
    // works on without the notifier then.
    try {
        FIndex = NTAServices()->AddToolbarStreamNotifier(this);
    } catch (...) {
        FIndex = -1;
    }
}

TToolBarNotifier::~TToolBarNotifier()
{
    Unregister();
}

void TToolBarNotifier::Destroyed()
{
    Unregister();
}

void TToolBarNotifier::Unregister() noexcept
{
    int index = std::exchange(FIndex, -1);
    if (index < 0)
        return;
    try {
        NTAServices()->RemoveToolbarStreamNotifier(index);
    } catch (...) {
        // The IDE is going; there is nothing left to unregister from.
    }
}

void TToolBarNotifier::ToolbarLoaded(TWinControl* Toolbar)
{
    String line = u"ToolbarLoaded : " + (Toolbar ? Toolbar->Name() : String());
    OutputDebugStringW(tvx::AsOleChar(line.c_str()));
    if (TBdsServices* root = ServicesRoot())
        root->OnToolBarServiceInitialized();
}

// --- TBdsToolBarService -------------------------------------------------------------

TBdsToolBarService* TBdsToolBarService::Create()
{
    auto* service = new TBdsToolBarService();
    service->AddRef();
    tvx::LifetimeRegistry::Keep(service);
    return service;
}

TBdsToolBarService::TBdsToolBarService() : ToolBars(std::make_unique<TToolBars>())
{
    tvx::IntfPtr<INTAToolbarStreamNotifier> notifier(new TToolBarNotifier());
    auto* registered = static_cast<TToolBarNotifier*>(notifier.get());
    if (registered->Index() >= 0)
        ToolBarNotifier = registered;
    // The update pass runs when the IDE goes idle, after whatever ran there.
    if (Application) {
        OldIdleProcessing = Application->OnIdle();
        Application->SetOnIdle(MakeEvent<&TBdsToolBarService::DoApplicationIdle>(this));
        HookedApplication = Application;
        ApplicationWatch = std::make_unique<TFreeWatch>(Application, this, &TBdsToolBarService::ApplicationFreed,
                                                        &TBdsToolBarService::LibraryUnloading);
    }
}

TBdsToolBarService::~TBdsToolBarService()
{
    LetGoOfAll();
    ReleaseIdleHook();
}

void TBdsToolBarService::DoApplicationIdle(TObject* Sender, bool& Done)
{
    OldIdleProcessing(Sender, Done);
    if (!FShutDown)
        Update();
}

void TBdsToolBarService::ReleaseIdleHook() noexcept
{
    TApplication* application = std::exchange(HookedApplication, nullptr);
    ApplicationWatch.reset();
    if (application && application->OnIdle() == MakeEvent<&TBdsToolBarService::DoApplicationIdle>(this)) {
        application->SetOnIdle(OldIdleProcessing);
        OldIdleProcessing = TIdleEvent();
    }
}

void TBdsToolBarService::ApplicationFreed(void* Self)
{
    static_cast<TBdsToolBarService*>(Self)->HookedApplication = nullptr;
}

void TBdsToolBarService::LibraryUnloading(void* Self)
{
    static_cast<TBdsToolBarService*>(Self)->ReleaseIdleHook();
}

void TBdsToolBarService::ShutDown()
{
    if (std::exchange(FShutDown, true))
        return;
    ReleaseIdleHook();
    if (TToolBarNotifier* notifier = std::exchange(ToolBarNotifier, nullptr))
        notifier->Unregister();
    for (TBdsToolBar* toolBar : SnapshotOf<TBdsToolBar>(*ToolBars)) {
        if (!Lists(toolBar))
            continue;
        tvx::IntfPtr<IBdsToolBar> hold(toolBar->Interface());
        toolBar->DropEvents();
    }
}

void TBdsToolBarService::RegisterToolBar(TBdsToolBar* BdsToolBar)
{
    ToolBars->Add(BdsToolBar);
}

void TBdsToolBarService::UnregisterToolBar(TBdsToolBar* BdsToolBar)
{
    ToolBars->Remove(BdsToolBar);
}

bool TBdsToolBarService::Lists(const TBdsToolBar* BdsToolBar)
{
    return ListHolds(*ToolBars, BdsToolBar);
}

void TBdsToolBarService::Update()
{
    std::vector<TBdsToolBar*> toolBars = SnapshotOf<TBdsToolBar>(*ToolBars);
    for (auto it = toolBars.rbegin(); it != toolBars.rend(); ++it) {
        if (!Lists(*it))
            continue;
        tvx::IntfPtr<IBdsToolBar> hold((*it)->Interface());
        (*it)->UpdateControl();
    }
}

void TBdsToolBarService::LetGoOfAll()
{
    while (TBdsToolBar* toolBar = LastOf<TBdsToolBar>(*ToolBars)) {
        ToolBars->Remove(toolBar);
        toolBar->LetGo();
        // The reference AddToolBar kept; the package's own ones stay valid.
        toolBar->Interface()->Release();
    }
}

HRESULT TBdsToolBarService::FindToolBar(BSTR Name, IBdsToolBar** pRetVal)
{
    if (tvx::ClearOut(pRetVal) != S_OK)
        return E_POINTER;
    return tvx::Guarded([&] {
        const std::u16string_view name = tvx::BstrView(Name);
        TBdsToolBar* found = nullptr;
        for (TBdsToolBar* toolBar : SnapshotOf<TBdsToolBar>(*ToolBars))
            if (toolBar->NativeToolBar() && toolBar->NativeToolBar()->Name() == name)
                found = toolBar;
        if (found) {
            *pRetVal = found->Interface();
            (*pRetVal)->AddRef();
        }
    });
}

HRESULT TBdsToolBarService::AddToolBar(BSTR Name, BSTR Title, IBdsToolBar** pRetVal)
{
    if (tvx::ClearOut(pRetVal) != S_OK)
        return E_POINTER;
    return tvx::Guarded([&]() -> HRESULT {
        try {
            tvx::IntfPtr<IBdsToolBar> toolBar((new TBdsToolBar(FromBstr(Name), FromBstr(Title), this))->Interface());
            // The service's own reference, until RemoveToolBar.
            toolBar->AddRef();
            *pRetVal = toolBar.detach();
            return S_OK;
        } catch (const EComponentError& e) {
            tvx::SetErrorMessage(e.Message());
            return E_INVALIDARG;
        }
    });
}

HRESULT TBdsToolBarService::RemoveToolBar(IBdsToolBar* bdsToolBar)
{
    return tvx::Guarded([&]() -> HRESULT {
        auto self = tvx::IntfPtr<IBdsToolBar>(bdsToolBar).try_as<IGetSelf>();
        void* object = self ? self->GetSelf() : nullptr;
        if (!object)
            return E_INVALIDARG;
        // Only a listed wrapper is used. One removed before, or let go by
        // Clear, has no reference of the service's left to drop.
        auto* toolBar = static_cast<TBdsToolBar*>(object);
        if (!Lists(toolBar))
            return S_OK;
        tvx::IntfPtr<IBdsToolBar> hold(toolBar->Interface());
        toolBar->Close();
        toolBar->Interface()->Release();
        return S_OK;
    });
}

HRESULT TBdsToolBarService::Clear()
{
    return tvx::Guarded([&] { LetGoOfAll(); });
}

} // namespace talvix
