#include "toolbars/BdsToolBarService.h"

#include "core/StillListed.h"
#include "core/WrapperCall.h"
#include "host/ide/NTAServices.h"
#include "host/ide/ToolsAPI.h"
#include "host/vcl/Controls.h"
#include "host/vcl/Supports.h"
#include "host/win32/Win32.h"
#include "interop/Bstr.h"
#include "interop/Guard.h"
#include "interop/TalvixBdsConstants.h"
#include "interop/VariantBool.h"
#include "toolbars/BdsToolBarControls.h"

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
    NativeWatch = std::make_unique<TFreeWatch>(ToolBar, MakeEvent<&TBdsToolBar::NativeFreed>(this));
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

void TBdsToolBar::RegisterControl(TBdsToolBarControl* Control) { ToolBarControls.Add(Control); }

void TBdsToolBar::UnregisterControl(TBdsToolBarControl* Control) { ToolBarControls.Remove(Control); }

void TBdsToolBar::UpdateControl()
{
    ForEachStillListed<TBdsToolBarControl>(
        ToolBarControls, [](TBdsToolBarControl* control) { control->Update(); }, ListOrder::LastFirst);
}

bool TBdsToolBar::DeliversEvents() const noexcept { return BdsToolBarService && BdsToolBarService->DeliversEvents(); }

void TBdsToolBar::DropEvents()
{
    ForEachStillListed<TBdsToolBarControl>(ToolBarControls, [](TBdsToolBarControl* control) { control->DropEvents(); });
}

void TBdsToolBar::CutLooseControls(bool VclControlsStay)
{
    // One at a time: letting go of a sink may end other controls.
    while (TBdsToolBarControl* control = LastOf<TBdsToolBarControl>(ToolBarControls)) {
        ToolBarControls.Remove(control);
        control->CutLoose(VclControlsStay);
    }
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
    struct Alive {
        bool Yes = true;
        void Freed(TComponent*) { Yes = false; }
    } alive;
    TFreeWatch watch(native, MakeEvent<&Alive::Freed>(&alive));
    native->Hide();
    CutLooseControls(false);
    while (alive.Yes && native->ButtonCount() > 0)
        native->Buttons(native->ButtonCount() - 1)->Free();
    if (alive.Yes)
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

void TBdsToolBar::NativeFreed(TComponent*)
{
    if (!std::exchange(ToolBar, nullptr))
        return;
    // Held to the end: the service's reference may be the last one.
    tvx::IntfPtr<IBdsToolBar> hold(Interface());
    // Off the list before any package code runs: a sink's last release
    // that removes this toolbar then finds nothing left to release.
    const bool listed = BdsToolBarService && BdsToolBarService->Lists(this);
    LeaveService();
    // The controls' VCL objects go with the toolbar that owns them.
    CutLooseControls(false);
    if (listed)
        Interface()->Release();
}

template <class Body>
HRESULT TBdsToolBar::OnOpen(Body&& body, HRESULT Refused)
{
    return CallIfLive(Open(), body, Refused);
}

template <class T, class Body>
HRESULT TBdsToolBar::Read(T* pRetVal, Body&& body, HRESULT Refused)
{
    return ReadIfLive(Open(), pRetVal, body, Refused);
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
    return Read(pRetVal, [&] { return LONG(ToolBarControls.Count()); });
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
        case tvx::bds::kToolBarButton: control = new TBdsToolBarButton(this); break;
        case tvx::bds::kToolBarEditCombo: control = new TBdsToolBarComboBox(this, true); break;
        case tvx::bds::kToolBarListCombo: control = new TBdsToolBarComboBox(this, false); break;
        case tvx::bds::kToolBarPopUp: control = new TBdsToolBarPopUp(this); break;
        default: return E_FAIL;
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
        while (TBdsToolBarControl* control = LastOf<TBdsToolBarControl>(ToolBarControls)) {
            control->EndControl();
            ToolBarControls.Remove(control);
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

TToolBarNotifier::~TToolBarNotifier() { Unregister(); }

void TToolBarNotifier::Destroyed() { Unregister(); }

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
    OnToolbarLoaded();
}

// --- TBdsToolBarService -------------------------------------------------------------

TBdsToolBarService* TBdsToolBarService::Create() { return tvx::LifetimeRegistry::Create<TBdsToolBarService>(); }

TBdsToolBarService::TBdsToolBarService()
    : ToolBars(std::make_unique<TToolBars>()), IdleHook(&TApplication::OnIdle, &TApplication::SetOnIdle)
{
    tvx::IntfPtr<INTAToolbarStreamNotifier> notifier(new TToolBarNotifier());
    auto* registered = static_cast<TToolBarNotifier*>(notifier.get());
    if (registered->Index() >= 0)
        ToolBarNotifier = registered;
    // The update pass runs when the IDE goes idle, after whatever ran there.
    IdleHook.Install(MakeEvent<&TBdsToolBarService::DoApplicationIdle>(this));
}

TBdsToolBarService::~TBdsToolBarService() { LetGoOfAll(); }

void TBdsToolBarService::SetOnToolbarLoaded(const TToolbarLoadedEvent& Value) noexcept
{
    if (ToolBarNotifier)
        ToolBarNotifier->OnToolbarLoaded = Value;
}

void TBdsToolBarService::DoApplicationIdle(TObject* Sender, bool& Done)
{
    IdleHook.Previous()(Sender, Done);
    if (!FShutDown)
        Update();
}

void TBdsToolBarService::ShutDown()
{
    if (std::exchange(FShutDown, true))
        return;
    IdleHook.Remove();
    if (TToolBarNotifier* notifier = std::exchange(ToolBarNotifier, nullptr))
        notifier->Unregister();
    ForEachStillListed<TBdsToolBar>(*ToolBars, [](TBdsToolBar* toolBar) { toolBar->DropEvents(); });
}

void TBdsToolBarService::RegisterToolBar(TBdsToolBar* BdsToolBar) { ToolBars->Add(BdsToolBar); }

void TBdsToolBarService::UnregisterToolBar(TBdsToolBar* BdsToolBar) { ToolBars->Remove(BdsToolBar); }

bool TBdsToolBarService::Lists(const TBdsToolBar* BdsToolBar)
{
    TThreadList::Locked items(*ToolBars);
    return items->IndexOf(const_cast<TBdsToolBar*>(BdsToolBar)) >= 0;
}

void TBdsToolBarService::Update()
{
    ForEachStillListed<TBdsToolBar>(
        *ToolBars, [](TBdsToolBar* toolBar) { toolBar->UpdateControl(); }, ListOrder::LastFirst);
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
        TThreadList::Locked items(*ToolBars);
        for (void* item : *items) {
            auto* toolBar = static_cast<TBdsToolBar*>(item);
            if (toolBar->NativeToolBar() && toolBar->NativeToolBar()->Name() == name)
                found = toolBar;
        }
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
