#include "menus/BdsMenuBarService.h"

#include "interop/TalvixBdsConstants.h"

#include "core/PackageBitmap.h"
#include "core/StillListed.h"
#include "host/ide/NTAServices.h"
#include "host/ide/ToolsAPI.h"
#include "host/vcl/Dialogs.h"
#include "host/vcl/Graphics.h"
#include "host/vcl/ImgList.h"
#include "interop/Bstr.h"
#include "interop/Guard.h"

#include <algorithm>
#include <cstdint>

namespace talvix {

namespace {

// The VCL's way to free an item that never reached the menu.
struct FreeMenuItem {
    void operator()(TMenuItem* item) const noexcept { item->Free(); }
};

static_assert(tvx::bds::kMenuItemBefore == otamlBefore && tvx::bds::kMenuItemAfter == otamlAfter &&
              tvx::bds::kMenuItemChild == otamlChild);

TItemLocation LocationOf(LONG value) noexcept
{
    switch (value) {
    case 0: return otamlBefore;
    case 1: return otamlAfter;
    default: return otamlChild;
    }
}

// Packages pass handles as 32-bit integers; messages show them that way.
LONG HandleValue(HBITMAP handle) noexcept { return static_cast<LONG>(reinterpret_cast<std::uintptr_t>(handle)); }

void StoreWrapper(IBdsMenuItem** out, TBdsMenuItem* wrapper) noexcept
{
    *out = wrapper;
    if (wrapper)
        wrapper->AddRef();
}

} // namespace

// --- TMenuItems -----------------------------------------------------------

TBdsMenuItem* TMenuItems::FindByItem(const TMenuItem* Item)
{
    Locked list(*this);
    for (void* p : *list) {
        auto* wrapper = static_cast<TBdsMenuItem*>(p);
        if (wrapper->MenuItem() == Item)
            return wrapper;
    }
    return nullptr;
}

// --- TBdsMenuBarService ---------------------------------------------------

TBdsMenuBarService* TBdsMenuBarService::Create() { return tvx::LifetimeRegistry::Create<TBdsMenuBarService>(); }

TBdsMenuBarService::TBdsMenuBarService() : FMenuItems(std::make_unique<TMenuItems>())
{
    tvx::IntfPtr<INTAServices> services;
    if (BorlandIDEServices && Supports(BorlandIDEServices, services))
        FMainMenu = services->GetMainMenu();
    if (FMainMenu)
        FMainMenuWatch = std::make_unique<TFreeWatch>(FMainMenu, MakeEvent<&TBdsMenuBarService::MainMenuFreed>(this));
}

TBdsMenuBarService::~TBdsMenuBarService()
{
    FDestroying = true;
    FMainMenuWatch.reset();
    // One at a time: ending a package's item frees its children, whose
    // wrappers leave the list on their own as they end.
    for (;;) {
        TBdsMenuItem* wrapper = nullptr;
        {
            TThreadList::Locked list(*FMenuItems);
            if (list->Count() > 0) {
                wrapper = static_cast<TBdsMenuItem*>(list->Items(0));
                list->Delete(0);
            }
        }
        if (!wrapper)
            break;
        wrapper->Orphan();
    }
}

void TBdsMenuBarService::ShutDown()
{
    if (std::exchange(FShutDown, true))
        return;
    ForEachStillListed<TBdsMenuItem>(*FMenuItems, [](TBdsMenuItem* wrapper) { wrapper->DropEvents(); });
}

void TBdsMenuBarService::MainMenuFreed(TComponent*) { FMainMenu = nullptr; }

bool TBdsMenuBarService::HasItems() const noexcept { return FMainMenu && FMainMenu->Items()->Count() > 0; }

std::vector<String> TBdsMenuBarService::SplitFullName(std::u16string_view FullName)
{
    std::vector<String> components;
    for (;;) {
        std::size_t slash = FullName.find(u'\\');
        if (slash == std::u16string_view::npos)
            break;
        components.emplace_back(FullName.substr(0, slash));
        FullName.remove_prefix(slash + 1);
    }
    components.emplace_back(FullName);
    return components;
}

TMenuItem* TBdsMenuBarService::FindChildByName(const TMenuItem* Parent, std::u16string_view Name)
{
    for (int i = 0; i < Parent->Count(); ++i)
        if (SameText(Parent->Items(i)->Name(), Name))
            return Parent->Items(i);
    return nullptr;
}

TMenuItem* TBdsMenuBarService::FindMenuItem(std::u16string_view FullName) const
{
    if (!FMainMenu)
        return nullptr;
    TMenuItem* item = FMainMenu->Items();
    if (FullName.empty())
        return item;
    std::vector<String> components = SplitFullName(FullName);
    // One leading backslash is allowed; a doubled one names an unnamed item.
    std::size_t first = components.front().empty() ? 1 : 0;
    for (std::size_t i = first; i < components.size() && item; ++i)
        item = FindChildByName(item, components[i]);
    return item;
}

TBdsMenuItem* TBdsMenuBarService::GetOrCreateBdsMenuItem(TMenuItem* MenuItem, bool IsTalvixMenu)
{
    if (FDestroying)
        throw tvx::HResultError(E_UNEXPECTED, u"The menu bar service is being destroyed");
    if (TBdsMenuItem* wrapper = FMenuItems->FindByItem(MenuItem))
        return wrapper;
    auto* wrapper = new TBdsMenuItem(this, MenuItem, IsTalvixMenu);
    FMenuItems->Add(wrapper);
    return wrapper;
}

TBdsMenuItem* TBdsMenuBarService::GetBdsMenuItem(TMenuItem* MenuItem)
{
    TBdsMenuItem* wrapper = GetOrCreateBdsMenuItem(MenuItem, false);
    // Only the IDE's items are kept: a package's item leaves the menu when
    // packages let go of it, whichever way they reached it.
    if (!wrapper->IsTalvixMenu())
        wrapper->AddServiceReference();
    return wrapper;
}

void TBdsMenuBarService::RemoveItem(TBdsMenuItem* BdsMenuItem) noexcept { FMenuItems->Remove(BdsMenuItem); }

HRESULT TBdsMenuBarService::SetImage(TMenuItem* MenuItem, HBITMAP bitmapHandle)
{
    if (!bitmapHandle)
        return S_OK;
    PackageBitmap owned(bitmapHandle);
    try {
        TCustomImageList* images = FMainMenu ? FMainMenu->Images() : nullptr;
        if (!images)
            throw EInvalidOperation(u"The main menu has no image list");
        // The bitmap takes the handle over and deletes it when it goes,
        // after the image list has copied the image.
        TBitmap bitmap;
        bitmap.SetHandle(owned.get());
        owned.release();
        MenuItem->SetImageIndex(images->AddMasked(&bitmap, clFuchsia));
        return S_OK;
    } catch (...) {
        std::u16string error;
        ShowMessage(Format(u"TBdsMenuBarService.SetImage %d %s", HandleValue(bitmapHandle),
                           String(tvx::CurrentExceptionText(error))));
    }
    return E_FAIL;
}

TBdsMenuItem* TBdsMenuBarService::InsertMenuItem(TMenuItem* ReferenceMenuItem, TItemLocation Location,
                                                 const String& NewName, const String& NewText, HBITMAP bitmapHandle)
{
    PackageBitmap bitmap(bitmapHandle);
    TMenuItem* parent = Location == otamlChild ? ReferenceMenuItem : ReferenceMenuItem->Parent();
    if (!parent)
        throw tvx::HResultError(E_INVALIDARG, u"The root of the main menu has no siblings");
    // A name is kept once per parent: asking again finds the item already
    // there, whatever caption and bitmap come with it. An unnamed request
    // never takes over some other unnamed item.
    if (!NewName.empty()) {
        if (TMenuItem* existing = FindChildByName(parent, NewName))
            return GetOrCreateBdsMenuItem(existing, false);
    }
    if (!FMainMenu)
        throw tvx::HResultError(E_UNEXPECTED, u"The IDE has no main menu");
    std::unique_ptr<TMenuItem, FreeMenuItem> item(new TMenuItem(FMainMenu));
    try {
        item->SetName(NewName);
    } catch (const EComponentError& e) {
        throw tvx::HResultError(E_INVALIDARG, e.Message());
    }
    item->SetCaption(NewText);
    SetImage(item.get(), bitmap.release());
    int position = parent->Count();
    if (Location == otamlBefore)
        position = ReferenceMenuItem->MenuIndex();
    else if (Location == otamlAfter)
        position = ReferenceMenuItem->MenuIndex() + 1;
    if (position >= parent->Count())
        parent->Add(item.get());
    else
        parent->Insert(position, item.get());
    return GetOrCreateBdsMenuItem(item.release(), true);
}

HRESULT TBdsMenuBarService::RemoveMenuItem(BSTR FullName)
{
    return tvx::Guarded([&] {
        TMenuItem* item = FindMenuItem(tvx::BstrView(FullName));
        if (!item)
            return;
        TBdsMenuItem* wrapper = FMenuItems->FindByItem(item);
        if (!wrapper)
            return;
        // Ended at once: a package's item leaves the menu now, even while a
        // package still holds the wrapper, which then answers as ended.
        FMenuItems->Remove(wrapper);
        tvx::IntfPtr<IBdsMenuItem> hold(wrapper);
        wrapper->Retire();
    });
}

HRESULT TBdsMenuBarService::GetMenuItem(BSTR FullName, IBdsMenuItem** pRetVal)
{
    return tvx::Guarded([&]() -> HRESULT {
        if (tvx::ClearOut(pRetVal) != S_OK)
            return E_POINTER;
        if (TMenuItem* item = FindMenuItem(tvx::BstrView(FullName)))
            StoreWrapper(pRetVal, GetOrCreateBdsMenuItem(item, false));
        return S_OK;
    });
}

HRESULT TBdsMenuBarService::AddMenuItem(BSTR ReferenceItemFullName, LONG ItemLocation, BSTR NewName, BSTR NewText,
                                        HBITMAP bitmapHandle, IBdsMenuItem** pRetVal)
{
    return tvx::Guarded([&]() -> HRESULT {
        // Consumed on every path, so a package never has to guess.
        PackageBitmap bitmap(bitmapHandle);
        if (tvx::ClearOut(pRetVal) != S_OK)
            return E_POINTER;
        TItemLocation location = LocationOf(ItemLocation);
        if (!HasItems())
            return E_FAIL;
        TMenuItem* reference = FindMenuItem(tvx::BstrView(ReferenceItemFullName));
        if (!reference)
            return E_INVALIDARG;
        StoreWrapper(pRetVal, InsertMenuItem(reference, location, String(tvx::BstrView(NewName)),
                                             String(tvx::BstrView(NewText)), bitmap.release()));
        return S_OK;
    });
}

HRESULT TBdsMenuBarService::InsertMenuItem(BSTR parentItemFullName, LONG index, BSTR newName, BSTR newText,
                                           HBITMAP bitmapHandle, IBdsMenuItem** pRetVal)
{
    return tvx::Guarded([&]() -> HRESULT {
        PackageBitmap bitmap(bitmapHandle);
        if (tvx::ClearOut(pRetVal) != S_OK)
            return E_POINTER;
        if (!HasItems() || index < 0)
            return S_OK;
        TMenuItem* parent = FindMenuItem(tvx::BstrView(parentItemFullName));
        if (!parent)
            return S_OK;
        // Index k places the new item after child k, except 0, which makes
        // it the first child; an index past the children appends.
        TMenuItem* reference = parent;
        TItemLocation location = otamlChild;
        if (index < parent->Count()) {
            reference = parent->Items(index);
            location = index == 0 ? otamlBefore : otamlAfter;
        }
        StoreWrapper(pRetVal, InsertMenuItem(reference, location, String(tvx::BstrView(newName)),
                                             String(tvx::BstrView(newText)), bitmap.release()));
        return S_OK;
    });
}

HRESULT TBdsMenuBarService::GetFirstMenuItem(IBdsMenuItem** pRetVal)
{
    return tvx::Guarded([&]() -> HRESULT {
        if (tvx::ClearOut(pRetVal) != S_OK)
            return E_POINTER;
        if (HasItems())
            StoreWrapper(pRetVal, GetOrCreateBdsMenuItem(FMainMenu->Items()->Items(0), false));
        return S_OK;
    });
}

} // namespace talvix
