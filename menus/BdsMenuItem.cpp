#include "menus/BdsMenuItem.h"

#include "core/WrapperCall.h"
#include "host/vcl/Forms.h"
#include "host/win32/Win32.h"
#include "interop/Bstr.h"
#include "interop/Guard.h"
#include "interop/VariantBool.h"
#include "menus/BdsMenuBarService.h"

#include <utility>

namespace talvix {

// Warning texts as literals with their length known when compiled: the
// getters and setters pass one on every call.
using namespace std::string_view_literals;

namespace {

constexpr std::u16string_view kWarningCaption = u"Warning";
constexpr std::u16string_view kSeparatorPrefix = u"SeparatorBefore_";

// The begin-group test: the sibling directly before is a separator line,
// whoever made it.
bool HasSeparatorBefore(const TMenuItem& item)
{
    int index = item.MenuIndex();
    return index > 0 && item.Parent()->Items(index - 1)->Caption() == cLineCaption;
}

} // namespace

TBdsMenuItem::TBdsMenuItem(TBdsMenuBarService* Service, TMenuItem* MenuItem, bool IsTalvixMenu)
    : FMenuItem(MenuItem), FIsTalvixMenu(IsTalvixMenu), FName(MenuItem ? MenuItem->Name() : String()), FService(Service)
{
    if (FMenuItem)
        FWatch = std::make_unique<TFreeWatch>(FMenuItem, MakeEvent<&TBdsMenuItem::ItemFreed>(this),
                                              MakeEvent<&TBdsMenuItem::LibraryUnloading>(this));
}

TBdsMenuItem::~TBdsMenuItem() { End(); }

void TBdsMenuItem::End() noexcept
{
    if (FDestroyed)
        return;
    // Marked first: whatever runs below (other wrappers ending, a package's
    // sink going) sees this wrapper as ended.
    FDestroyed = true;
    TMenuItem* item = std::exchange(FMenuItem, nullptr);
    FWatch.reset();
    if (item) {
        // The item may outlive this wrapper; our handler must not.
        if (item->OnClick().Data() == this)
            item->SetOnClick(TNotifyEvent());
        // Freeing takes the item out of its parent, as the VCL does.
        if (FIsTalvixMenu)
            item->Free();
    }
    if (TBdsMenuBarService* service = std::exchange(FService, nullptr))
        service->RemoveItem(this);
    FEvents = nullptr;
}

void TBdsMenuItem::AddServiceReference() noexcept
{
    AddRef();
    ++FServiceReferences;
}

void TBdsMenuItem::ReleaseServiceReferences() noexcept
{
    // Only the last release can free this wrapper: the service's references
    // are part of the count.
    for (int n = std::exchange(FServiceReferences, 0); n > 0; --n)
        Release();
}

void TBdsMenuItem::Retire() noexcept
{
    End();
    ReleaseServiceReferences();
}

void TBdsMenuItem::Orphan() noexcept
{
    FService = nullptr;
    Retire();
}

void TBdsMenuItem::ItemFreed(TComponent*)
{
    // The IDE is freeing the item: it is neither touched nor freed again.
    FMenuItem = nullptr;
    Retire();
}

void TBdsMenuItem::LibraryUnloading(TComponent*) { Unhook(); }

void TBdsMenuItem::Unhook() noexcept
{
    if (FMenuItem && FMenuItem->OnClick().Data() == this)
        FMenuItem->SetOnClick(TNotifyEvent());
}

void TBdsMenuItem::DropEvents() noexcept
{
    Unhook();
    // Last: letting go of the sink may let go of this wrapper.
    auto events = std::move(FEvents);
}

void TBdsMenuItem::Warn(std::u16string_view text) const
{
    std::u16string message = std::u16string(text) + FName;
    // Modal to the IDE, as its own message boxes are.
    MessageBoxW(Application ? Application->MainFormHandle() : nullptr, tvx::AsOleChar(message.c_str()),
                tvx::AsOleChar(kWarningCaption.data()), MB_OK | MB_ICONWARNING);
}

template <class T, class F>
TVX_ALWAYS_INLINE HRESULT TBdsMenuItem::Read(T* pRetVal, std::u16string_view warning, F&& read)
{
    return ReadIfLive(
        !FDestroyed, pRetVal, [&] { return read(*FMenuItem); }, E_FAIL, [&] { Warn(warning); });
}

template <class F>
TVX_ALWAYS_INLINE HRESULT TBdsMenuItem::Write(std::u16string_view warning, F&& write)
{
    return CallIfLive(
        !FDestroyed, [&] { write(*FMenuItem); }, E_FAIL, [&] { Warn(warning); });
}

template <class F>
TVX_ALWAYS_INLINE HRESULT TBdsMenuItem::Navigate(IBdsMenuItem** pRetVal, std::u16string_view warning, F&& find)
{
    if (tvx::ClearOut(pRetVal) != S_OK)
        return E_POINTER;
    // The previous item is reached without a warning of its own: the IDE's
    // add-ins rely on this, and the parent's ChildMenuItem still warns.
    return CallIfLive(
        !FDestroyed, [&] { return find(*FMenuItem); }, E_FAIL,
        [&] {
            if (!warning.empty())
                Warn(warning);
        });
}

// The begin-group pair shows no warning on an ended wrapper: the IDE's
// add-ins rely on this.
HRESULT TBdsMenuItem::Get_BeginGroup(VARIANT_BOOL* pRetVal)
{
    return ReadIfLive(!FDestroyed, pRetVal, [&] { return tvx::ToVariantBool(HasSeparatorBefore(*FMenuItem)); });
}

HRESULT TBdsMenuItem::Set_BeginGroup(VARIANT_BOOL pRetVal)
{
    return CallIfLive(!FDestroyed, [&]() -> HRESULT {
        bool on = tvx::FromVariantBool(pRetVal);
        if (on == HasSeparatorBefore(*FMenuItem))
            return S_OK;
        if (on) {
            // The separator stays until the group is turned off: its wrapper
            // keeps a reference that only its retirement gives back.
            TBdsMenuItem* separator = FService->InsertMenuItem(FMenuItem, otamlBefore, String(kSeparatorPrefix) + FName,
                                                               String(cLineCaption), nullptr);
            separator->AddServiceReference();
        } else {
            // Its wrapper, if any, hears of the free and retires.
            FMenuItem->Parent()->Items(FMenuItem->MenuIndex() - 1)->Free();
        }
        return S_OK;
    });
}

HRESULT TBdsMenuItem::Get_Caption(BSTR* pRetVal)
{
    return Read(pRetVal, u"GetCaption for "sv, [](TMenuItem& item) { return tvx::AllocBstr(item.Caption()); });
}

HRESULT TBdsMenuItem::Set_Caption(BSTR pRetVal)
{
    return Write(u"SetCaption for "sv, [&](TMenuItem& item) { item.SetCaption(String(tvx::BstrView(pRetVal))); });
}

HRESULT TBdsMenuItem::Get_Checked(VARIANT_BOOL* pRetVal)
{
    return Read(pRetVal, u"GetChecked for "sv, [](TMenuItem& item) { return tvx::ToVariantBool(item.Checked()); });
}

HRESULT TBdsMenuItem::Set_Checked(VARIANT_BOOL pRetVal)
{
    return Write(u"SetChecked for "sv, [&](TMenuItem& item) { item.SetChecked(tvx::FromVariantBool(pRetVal)); });
}

HRESULT TBdsMenuItem::Get_ChildCount(LONG* pRetVal)
{
    return Read(pRetVal, u"GetChildCount for "sv, [](TMenuItem& item) { return LONG(item.Count()); });
}

HRESULT TBdsMenuItem::Get_Enabled(VARIANT_BOOL* pRetVal)
{
    return Read(pRetVal, u"GetEnabled for "sv, [](TMenuItem& item) { return tvx::ToVariantBool(item.Enabled()); });
}

HRESULT TBdsMenuItem::Set_Enabled(VARIANT_BOOL pRetVal)
{
    return Write(u"SetEnabled for "sv, [&](TMenuItem& item) { item.SetEnabled(tvx::FromVariantBool(pRetVal)); });
}

HRESULT TBdsMenuItem::Get_Name(BSTR* pRetVal)
{
    return Read(pRetVal, u"GetName for "sv, [](TMenuItem& item) { return tvx::AllocBstr(item.Name()); });
}

HRESULT TBdsMenuItem::Get_NextMenuItem(IBdsMenuItem** pRetVal)
{
    return Navigate(pRetVal, u"NextMenuItem for "sv, [&](TMenuItem& item) -> HRESULT {
        if (!item.Parent())
            return S_OK;
        return FService->GetBdsMenuItem(item.Parent())->ChildMenuItem(item.MenuIndex() + 1, pRetVal);
    });
}

HRESULT TBdsMenuItem::Get_ParentMenuItem(IBdsMenuItem** pRetVal)
{
    return Navigate(pRetVal, u"GetParentItem for "sv, [&](TMenuItem& item) -> HRESULT {
        if (item.Parent())
            *pRetVal = tvx::IntfPtr<IBdsMenuItem>(FService->GetBdsMenuItem(item.Parent())).detach();
        return S_OK;
    });
}

HRESULT TBdsMenuItem::Get_PrevMenuItem(IBdsMenuItem** pRetVal)
{
    return Navigate(pRetVal, {}, [&](TMenuItem& item) -> HRESULT {
        if (!item.Parent())
            return S_OK;
        return FService->GetBdsMenuItem(item.Parent())->ChildMenuItem(item.MenuIndex() - 1, pRetVal);
    });
}

HRESULT TBdsMenuItem::Get_Shortcut(LONG* pRetVal)
{
    return Read(pRetVal, u"GetShortcut for "sv, [](TMenuItem& item) { return LONG(item.ShortCut()); });
}

HRESULT TBdsMenuItem::Set_Shortcut(LONG pRetVal)
{
    return CallIfLive(
        !FDestroyed,
        [&]() -> HRESULT {
            // A TShortCut is 16 bits: a wider value would change another key.
            if (pRetVal < 0 || pRetVal > 0xFFFF)
                return E_INVALIDARG;
            FMenuItem->SetShortCut(TShortCut(pRetVal));
            return S_OK;
        },
        E_FAIL, [&] { Warn(u"SetShortcut for "sv); });
}

HRESULT TBdsMenuItem::Get_Visible(VARIANT_BOOL* pRetVal)
{
    return Read(pRetVal, u"GetVisible for "sv, [](TMenuItem& item) { return tvx::ToVariantBool(item.Visible()); });
}

HRESULT TBdsMenuItem::Set_Visible(VARIANT_BOOL pRetVal)
{
    return Write(u"SetVisible for "sv, [&](TMenuItem& item) { item.SetVisible(tvx::FromVariantBool(pRetVal)); });
}

HRESULT TBdsMenuItem::RegisterEvents(IBdsToolBarControlEvents* BdsToolBarControlEvents)
{
    return Write(u"RegisterEvents for "sv, [&](TMenuItem& item) {
        FEvents = BdsToolBarControlEvents;
        // The previous handler is overwritten, not kept, also for IDE items.
        item.SetOnClick(FEvents ? MakeEvent<&TBdsMenuItem::DoClick>(this) : TNotifyEvent());
    });
}

HRESULT TBdsMenuItem::ChildMenuItem(LONG index, IBdsMenuItem** pRetVal)
{
    return Navigate(pRetVal, u"ChildMenuItem for "sv, [&](TMenuItem& item) -> HRESULT {
        if (index >= 0 && index < item.Count())
            *pRetVal = tvx::IntfPtr<IBdsMenuItem>(FService->GetBdsMenuItem(item.Items(index))).detach();
        return S_OK;
    });
}

// Firing an item of an ended wrapper does nothing, without a warning: the
// IDE's add-ins rely on this.
HRESULT TBdsMenuItem::InvokeAction()
{
    return tvx::Guarded([&] {
        if (FMenuItem)
            FMenuItem->Click();
    });
}

void TBdsMenuItem::DoClick(TObject*)
{
    if (!FService || !FService->DeliversEvents())
        return;
    // The sink is held for the call: the package may let this wrapper go
    // from inside its OnClick.
    tvx::IntfPtr<IBdsToolBarControlEvents> sink = FEvents;
    if (sink)
        tvx::CallIntoPackage([&] { return sink->OnClick(); });
}

} // namespace talvix
