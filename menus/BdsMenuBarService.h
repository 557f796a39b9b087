// The menu bar service: finds main-menu items by their path of component
// names, adds items before, after or under a reference item, and hands out
// the one IBdsMenuItem wrapper of each item.
#pragma once

#include "core/FreeWatch.h"
#include "host/vcl/Lists.h"
#include "host/vcl/Menus.h"
#include "interop/InterfacedObject.h"
#include "interop/TalvixBdsInterop.h"
#include "menus/BdsMenuItem.h"

#include <memory>
#include <string_view>
#include <vector>

namespace talvix {

enum TItemLocation { otamlBefore = 0, otamlAfter = 1, otamlChild = 2 };

// The wrappers the service made, without references: one per item, found
// by the item itself. A name would not do: unnamed items, and items of
// different owners, may share one.
class TMenuItems : public TThreadList {
public:
    // The wrapper of that item, or null.
    TBdsMenuItem* FindByItem(const TMenuItem* Item);
};

class TBdsMenuBarService final : public tvx::Implements<TBdsMenuBarService, IBdsMenuBarService> {
public:
    // The single service: it holds a reference on itself and is never
    // destroyed while the process runs. The main menu is the IDE's, taken
    // from INTAServices; a host without it gets a service with no menu.
    static TBdsMenuBarService* Create();
    // Nothing in the system runs it (tests do): ends every wrapper not yet
    // ended, whatever references remain, and frees the list.
    ~TBdsMenuBarService() override;

    IBdsMenuBarService* Interface() noexcept { return this; }

    // IBdsMenuBarService
    HRESULT STDMETHODCALLTYPE RemoveMenuItem(BSTR FullName) override;
    HRESULT STDMETHODCALLTYPE GetMenuItem(BSTR FullName, IBdsMenuItem** pRetVal) override;
    HRESULT STDMETHODCALLTYPE AddMenuItem(BSTR ReferenceItemFullName, LONG ItemLocation, BSTR NewName, BSTR NewText,
                                          HBITMAP bitmapHandle, IBdsMenuItem** pRetVal) override;
    HRESULT STDMETHODCALLTYPE InsertMenuItem(BSTR parentItemFullName, LONG index, BSTR newName, BSTR newText,
                                             HBITMAP bitmapHandle, IBdsMenuItem** pRetVal) override;
    HRESULT STDMETHODCALLTYPE GetFirstMenuItem(IBdsMenuItem** pRetVal) override;

    TMainMenu* MainMenu() const noexcept { return FMainMenu; }
    TMenuItems& MenuItems() noexcept { return *FMenuItems; }

    // Places a new item relative to the reference, or finds the reference's
    // sibling (child for otamlChild) that already bears the name. Consumes
    // bitmapHandle whatever happens. No reference is added to the result.
    // Raises HResultError E_INVALIDARG for a name the VCL refuses, or for
    // otamlBefore/otamlAfter of an item without parent; nothing is placed.
    TBdsMenuItem* InsertMenuItem(TMenuItem* ReferenceMenuItem, TItemLocation Location, const String& NewName,
                                 const String& NewText, HBITMAP bitmapHandle);
    // The wrapper of the item, with one reference the service keeps.
    TBdsMenuItem* GetBdsMenuItem(TMenuItem* MenuItem);
    // The wrapper of the item, made if there is none; no reference added.
    TBdsMenuItem* GetOrCreateBdsMenuItem(TMenuItem* MenuItem, bool IsTalvixMenu);
    // A wrapper that ends leaves the service's care.
    void RemoveItem(TBdsMenuItem* BdsMenuItem) noexcept;
    // At terminate, before the packages are finalized: every wrapper lets
    // go of its sink and no menu event reaches a package from here on. The
    // service itself goes on serving calls.
    void ShutDown();
    bool DeliversEvents() const noexcept { return !FShutDown; }

    // The item at the path, or null: an empty path is the root item.
    TMenuItem* FindMenuItem(std::u16string_view FullName) const;
    // The first child whose Name equals Name ignoring ASCII case.
    static TMenuItem* FindChildByName(const TMenuItem* Parent, std::u16string_view Name);
    static std::vector<String> SplitFullName(std::u16string_view FullName);
    // Adds the bitmap to the main menu's images with magenta transparent and
    // sets the item's ImageIndex; the handle is deleted exactly once. A
    // failure is shown to the user and answers E_FAIL.
    HRESULT SetImage(TMenuItem* MenuItem, HBITMAP bitmapHandle);

private:
    friend class tvx::LifetimeRegistry;
    TBdsMenuBarService();
    bool HasItems() const noexcept;
    void MainMenuFreed(TComponent* MainMenu);

    TMainMenu* FMainMenu = nullptr;
    std::unique_ptr<TMenuItems> FMenuItems;
    bool FDestroying = false;
    bool FShutDown = false;
    std::unique_ptr<TFreeWatch> FMainMenuWatch;
};

} // namespace talvix
