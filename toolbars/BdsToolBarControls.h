// Toolbar controls: the wrappers behind IBdsToolBarControl and the kind
// interfaces (a push button, a combo box with its caption label, and a
// pop-up placeholder). Each wrapper owns its VCL controls, which live on its
// toolbar's native IDE toolbar; the package's reference is its handle on
// them.
//
// A control is live while it belongs to an open toolbar. It ends when its
// last reference goes, or when its toolbar ends it (RemoveControl, Clear):
// its VCL controls are freed. It is cut loose when its toolbar closes or the
// service lets go of the toolbar: it forgets VCL controls that are no longer
// its own. Either way every later call answers E_UNEXPECTED with its out
// value cleared, and nothing freed is touched.
#pragma once

#include "core/FreeWatch.h"
#include "host/vcl/ComCtrls.h"
#include "host/vcl/StdCtrls.h"
#include "interop/InterfacedObject.h"
#include "interop/IntfPtr.h"
#include "interop/TalvixBdsInterop.h"

#include <memory>
#include <vector>

namespace talvix {
class TBdsToolBar;
class TBdsToolBarControl;
} // namespace talvix

// Answered only by this system's control wrappers, never offered to
// packages: the way back from an interface a package hands in to the
// wrapper behind it.
TVX_DECLARE_INTERFACE(IToolBarControlSelf, "{56A7A7F0-7E11-4BA5-AC0E-6651F22A6E38}")
struct IToolBarControlSelf : IUnknown {
    virtual talvix::TBdsToolBarControl* STDMETHODCALLTYPE Control() = 0;
};

namespace talvix {

class TBdsToolBarControl : public tvx::Implements<TBdsToolBarControl, IBdsToolBarControl, IToolBarControlSelf> {
public:
    ~TBdsToolBarControl() override;

    // The wrapper behind an interface (of any kind) that this system made,
    // or null for anyone else's object. Ended controls are still found.
    static TBdsToolBarControl* FromInterface(IBdsToolBarControl* Control) noexcept;

    // IToolBarControlSelf
    TBdsToolBarControl* STDMETHODCALLTYPE Control() override { return this; }

    IBdsToolBarControl* Interface() noexcept { return this; }
    bool Live() const noexcept { return BdsToolBar != nullptr; }
    TBdsToolBar* ToolBar() const noexcept { return BdsToolBar; }

    // Frees the VCL controls, leaves the toolbar's list and drops the sink.
    // Nothing happens when the control is no longer live.
    void EndControl();
    // The toolbar lets go of the control without ending it. When the VCL
    // controls stay in the IDE (VclControlsStay) their events are unhooked,
    // else they are about to be freed with the native toolbar.
    void CutLoose(bool VclControlsStay);
    // Raises OnUpdate on the sink, if there is one.
    void Update();
    // Lets go of the sink: the IDE's events stop reaching the package.
    void DropEvents() noexcept;

    // IBdsToolBarControl
    HRESULT STDMETHODCALLTYPE Get_Caption(BSTR* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_Caption(BSTR pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_Enabled(VARIANT_BOOL* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_Enabled(VARIANT_BOOL pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_Visible(VARIANT_BOOL* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_Visible(VARIANT_BOOL pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_Name(BSTR* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_Name(BSTR pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_ToolTip(BSTR* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_ToolTip(BSTR pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_ShortCut(LONG* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_ShortCut(LONG pRetVal) override;
    HRESULT STDMETHODCALLTYPE RegisterEvents(IBdsToolBarControlEvents* bdsToolBarControlEvents) override;

    // Answers the kind's own interface.
    void* QueryExtraInterface(REFIID riid) noexcept { return QueryKind(riid); }

protected:
    // Registers the control with its toolbar.
    explicit TBdsToolBarControl(TBdsToolBar* ABdsToolBar);

    // The twelve operations of each kind, on live controls only.
    virtual String Caption() = 0;
    virtual void SetCaption(const String& Value) = 0;
    virtual bool Enabled() = 0;
    virtual void SetEnabled(bool Value) = 0;
    virtual bool Visible() = 0;
    virtual void SetVisible(bool Value) = 0;
    virtual String Name() = 0;
    virtual void SetName(const String& Value) = 0;
    virtual String ToolTip() = 0;
    virtual void SetToolTip(const String& Value) = 0;
    virtual LONG ShortCut() { return 0; }
    virtual void SetShortCut(LONG) {}

    virtual void* QueryKind(REFIID riid) noexcept = 0;
    virtual void FreeVclControls() = 0;
    virtual void ForgetVclControls(bool VclControlsStay) = 0;
    // Forgets one VCL control that someone else is freeing; the others
    // stay this wrapper's, to free.
    virtual void ForgetVclControl(TComponent* Freed) = 0;
    // Takes this wrapper's handlers off the VCL controls, which stay.
    virtual void UnhookVclControls() noexcept = 0;

    // Runs Body on a live control inside the interop guard; a control that
    // is not live answers E_UNEXPECTED. Refused is the answer for an error
    // that the host raised.
    template <class Body>
    HRESULT OnLive(Body&& body, HRESULT Refused = E_FAIL);
    template <class T, class Body>
    HRESULT Read(T* pRetVal, Body&& body, HRESULT Refused = E_FAIL);

    // VCL event handlers pass these on to the sink.
    void FireClick();
    void FireChange();

    // A VCL control of this wrapper that someone else frees (another
    // wrapper's Clear of the same toolbar, the IDE) ends the wrapper: the
    // freed control is not touched again and the others are freed, so that
    // none is left with a handler bound to this wrapper. When the library
    // unloads, the handlers come off the controls that are still there.
    void WatchVcl(TComponent* Component);
    void UnwatchVcl() noexcept;

    TBdsToolBar* BdsToolBar = nullptr;
    tvx::IntfPtr<IBdsToolBarControlEvents> FEvents;

private:
    void VclFreed(TComponent* Freed);
    void LibraryUnloading(TComponent* Watched);
    // Live, and the IDE's events still go to packages.
    bool DeliversEvents() const noexcept;
    std::vector<std::unique_ptr<TFreeWatch>> VclWatches;
};

// The kind interfaces share the object's one reference count.
#define TVX_FORWARD_IUNKNOWN(Base)                                                                                     \
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) noexcept override                          \
    {                                                                                                                  \
        return Base::QueryInterface(riid, ppvObject);                                                                  \
    }                                                                                                                  \
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return Base::AddRef(); }                                      \
    ULONG STDMETHODCALLTYPE Release() noexcept override { return Base::Release(); }

class TBdsToolBarButton final : public TBdsToolBarControl, public IBdsToolBarButton {
public:
    explicit TBdsToolBarButton(TBdsToolBar* ABdsToolBar);
    ~TBdsToolBarButton() override;

    TVX_FORWARD_IUNKNOWN(TBdsToolBarControl)

    // IBdsToolBarButton
    HRESULT STDMETHODCALLTYPE Get_Down(VARIANT_BOOL* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_Down(VARIANT_BOOL pRetVal) override;
    HRESULT STDMETHODCALLTYPE SetImage(HBITMAP imageHandle) override;

    TToolButton* ToolButton() const noexcept { return FToolButton; }

protected:
    String Caption() override;
    void SetCaption(const String& Value) override;
    bool Enabled() override;
    void SetEnabled(bool Value) override;
    bool Visible() override;
    void SetVisible(bool Value) override;
    String Name() override;
    void SetName(const String& Value) override;
    String ToolTip() override;
    void SetToolTip(const String& Value) override;
    void* QueryKind(REFIID riid) noexcept override;
    void FreeVclControls() override;
    void ForgetVclControls(bool VclControlsStay) override;
    void ForgetVclControl(TComponent* Freed) override;
    void UnhookVclControls() noexcept override;

private:
    void DoClick(TObject* Sender);
    TToolButton* FToolButton = nullptr;
};

// The caption label sits on the toolbar just before the combo box and is
// shown while CaptionVisible is true.
class TBdsToolBarComboBox final : public TBdsToolBarControl, public IBdsToolBarComboBox {
public:
    TBdsToolBarComboBox(TBdsToolBar* ABdsToolBar, bool canEditText);
    ~TBdsToolBarComboBox() override;

    TVX_FORWARD_IUNKNOWN(TBdsToolBarControl)

    // IBdsToolBarComboBox
    HRESULT STDMETHODCALLTYPE Get_CaptionVisible(VARIANT_BOOL* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_CaptionVisible(VARIANT_BOOL pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_Text(BSTR* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_Text(BSTR pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_Width(LONG* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_Width(LONG pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_ItemCount(LONG* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Get_SelectedItem(LONG* pRetVal) override;
    HRESULT STDMETHODCALLTYPE Set_SelectedItem(LONG pRetVal) override;
    HRESULT STDMETHODCALLTYPE GetItem(LONG index, BSTR* pRetVal) override;
    HRESULT STDMETHODCALLTYPE SetItem(LONG index, BSTR newItem) override;
    HRESULT STDMETHODCALLTYPE AddItem(BSTR item, LONG* pRetVal) override;
    HRESULT STDMETHODCALLTYPE RemoveItem(LONG index) override;
    HRESULT STDMETHODCALLTYPE ClearItems() override;

    TLabel* CaptionLabel() const noexcept { return FLabel; }
    TComboBox* ComboBox() const noexcept { return FComboBox; }

protected:
    String Caption() override;
    void SetCaption(const String& Value) override;
    bool Enabled() override;
    void SetEnabled(bool Value) override;
    bool Visible() override;
    void SetVisible(bool Value) override;
    String Name() override;
    void SetName(const String& Value) override;
    String ToolTip() override;
    void SetToolTip(const String& Value) override;
    void* QueryKind(REFIID riid) noexcept override;
    void FreeVclControls() override;
    void ForgetVclControls(bool VclControlsStay) override;
    void ForgetVclControl(TComponent* Freed) override;
    void UnhookVclControls() noexcept override;

private:
    void DoClick(TObject* Sender);
    void DoChange(TObject* Sender);
    TLabel* FLabel = nullptr;
    TComboBox* FComboBox = nullptr;
};

// A placeholder without VCL controls: enabled, invisible, nameless.
class TBdsToolBarPopUp final : public TBdsToolBarControl, public IBdsToolBarPopUp {
public:
    explicit TBdsToolBarPopUp(TBdsToolBar* ABdsToolBar);
    ~TBdsToolBarPopUp() override;

    TVX_FORWARD_IUNKNOWN(TBdsToolBarControl)

protected:
    String Caption() override { return String(); }
    void SetCaption(const String&) override {}
    bool Enabled() override { return true; }
    void SetEnabled(bool) override {}
    bool Visible() override { return false; }
    void SetVisible(bool) override {}
    String Name() override { return String(); }
    void SetName(const String&) override {}
    String ToolTip() override { return String(); }
    void SetToolTip(const String&) override {}
    void* QueryKind(REFIID riid) noexcept override;
    void FreeVclControls() override {}
    void ForgetVclControls(bool) override {}
    void ForgetVclControl(TComponent*) override {}
    void UnhookVclControls() noexcept override {}
};

} // namespace talvix
