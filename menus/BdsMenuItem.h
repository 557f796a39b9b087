// TBdsMenuItem: the IBdsMenuItem a package holds for one item of the IDE's
// main menu, whoever made the item. Only the menu bar service makes them.
//
// A wrapper is live until it ends: its last reference goes, the service
// retires it, or the IDE frees its item (heard through free notification).
// An ended wrapper never touches its former item again; its methods warn
// (where they warn) and answer E_UNEXPECTED.
#pragma once

#include "core/FreeWatch.h"
#include "host/vcl/Menus.h"
#include "interop/InterfacedObject.h"
#include "interop/IntfPtr.h"
#include "interop/TalvixBdsInterop.h"

#include <memory>

namespace talvix {

class TBdsMenuBarService;

class TBdsMenuItem final : public tvx::Implements<TBdsMenuItem, IBdsMenuItem> {
public:
    // IsTalvixMenu: a package made the item, so the wrapper owns it and takes
    // it out of the menu when it ends. Starts with no reference.
    TBdsMenuItem(TBdsMenuBarService* Service, TMenuItem* MenuItem, bool IsTalvixMenu);
    ~TBdsMenuItem() override;

    // IBdsMenuItem
    HRESULT STDMETHODCALLTYPE Get_BeginGroup(VARIANT_BOOL* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_BeginGroup(VARIANT_BOOL pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_Caption(BSTR* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_Caption(BSTR pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_Checked(VARIANT_BOOL* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_Checked(VARIANT_BOOL pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_ChildCount(LONG* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_Enabled(VARIANT_BOOL* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_Enabled(VARIANT_BOOL pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_Name(BSTR* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_NextMenuItem(IBdsMenuItem** pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_ParentMenuItem(IBdsMenuItem** pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_PrevMenuItem(IBdsMenuItem** pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_Shortcut(LONG* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_Shortcut(LONG pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_Visible(VARIANT_BOOL* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_Visible(VARIANT_BOOL pRetVal) override;
    HRESULT STDMETHODCALLTYPE RegisterEvents(IBdsToolBarControlEvents* BdsToolBarControlEvents) override;
    HRESULT STDMETHODCALLTYPE ChildMenuItem(LONG index, IBdsMenuItem** pRetVal) override;
    HRESULT STDMETHODCALLTYPE InvokeAction() override;

    // The wrapped item; null once the wrapper has ended.
    TMenuItem* MenuItem() const noexcept { return FMenuItem; }
    // A package made the item: it lives by the references packages hold.
    bool IsTalvixMenu() const noexcept { return FIsTalvixMenu; }
    // Lets go of the sink and takes the click handler off the item.
    void DropEvents() noexcept;

    // For the service: references it (or a begin-group separator) keeps on
    // this wrapper, given back when the wrapper leaves its care.
    void AddServiceReference() noexcept;
    // Gives them all back; the wrapper may be gone when this returns.
    void ReleaseServiceReferences() noexcept;
    // Ends the wrapper (freeing a package-made item), then gives back the
    // service's references; the wrapper may be gone when this returns.
    void Retire() noexcept;
    // For the service's destructor: ends the wrapper without calling back
    // into the service, then gives back its references.
    void Orphan() noexcept;

private:
    // The steps of ending, once; the wrapper's memory stays valid.
    void End() noexcept;
    // The warning an operation on an ended wrapper shows, followed by FName.
    void Warn(std::u16string_view text) const;
    // The shapes every method takes: a getter, a setter and a navigation,
    // each guarded, with its ended-wrapper warning (none for an empty text).
    template <class T, class F>
    HRESULT Read(T* pRetVal, std::u16string_view warning, F&& read);
    template <class F>
    HRESULT Write(std::u16string_view warning, F&& write);
    template <class F>
    HRESULT Navigate(IBdsMenuItem** pRetVal, std::u16string_view warning, F&& find);
    // The click handler set as the item's OnClick.
    void DoClick(TObject* Sender);
    void ItemFreed(TComponent* Item);
    void LibraryUnloading(TComponent* Item);
    // Takes our click handler off the item, if it is still there.
    void Unhook() noexcept;

    TMenuItem* FMenuItem;
    tvx::IntfPtr<IBdsToolBarControlEvents> FEvents;
    bool FIsTalvixMenu;
    bool FDestroyed = false;
    String FName;
    TBdsMenuBarService* FService;
    std::unique_ptr<TFreeWatch> FWatch;
    int FServiceReferences = 0;
};

} // namespace talvix
