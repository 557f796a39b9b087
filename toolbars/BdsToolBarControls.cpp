#include "toolbars/BdsToolBarControls.h"

#include "core/PackageBitmap.h"
#include "core/WrapperCall.h"
#include "host/vcl/Dialogs.h"
#include "host/vcl/Graphics.h"
#include "host/vcl/ImgList.h"
#include "host/win32/Win32.h"
#include "interop/Bstr.h"
#include "interop/Guard.h"
#include "interop/VariantBool.h"
#include "toolbars/BdsToolBarService.h"

#include <exception>
#include <utility>

namespace talvix {

namespace {

// The kind's own interface of a control, or null for another identifier.
template <class I, class T>
void* KindInterface(T* control, REFIID riid) noexcept
{
    return tvx::IsEqualGuid(riid, tvx::IidOf<I>) ? static_cast<I*>(control) : nullptr;
}

} // namespace

// --- TBdsToolBarControl ----------------------------------------------------

TBdsToolBarControl::TBdsToolBarControl(TBdsToolBar* ABdsToolBar) : BdsToolBar(ABdsToolBar)
{
    BdsToolBar->RegisterControl(this);
}

TBdsToolBarControl::~TBdsToolBarControl()
{
    // A kind that failed half-way through its constructor is still listed.
    if (TBdsToolBar* toolBar = std::exchange(BdsToolBar, nullptr))
        toolBar->UnregisterControl(this);
}

TBdsToolBarControl* TBdsToolBarControl::FromInterface(IBdsToolBarControl* Control) noexcept
{
    auto self = tvx::IntfPtr<IBdsToolBarControl>(Control).try_as<IToolBarControlSelf>();
    return self ? self->Control() : nullptr;
}

void TBdsToolBarControl::EndControl()
{
    if (!Live())
        return;
    UnwatchVcl();
    FreeVclControls();
    std::exchange(BdsToolBar, nullptr)->UnregisterControl(this);
    // Last: letting go of the sink may let go of this control too.
    auto events = std::move(FEvents);
}

void TBdsToolBarControl::CutLoose(bool VclControlsStay)
{
    if (!Live())
        return;
    UnwatchVcl();
    ForgetVclControls(VclControlsStay);
    BdsToolBar = nullptr;
    auto events = std::move(FEvents);
}

void TBdsToolBarControl::WatchVcl(TComponent* Component)
{
    VclWatches.push_back(std::make_unique<TFreeWatch>(Component, MakeEvent<&TBdsToolBarControl::VclFreed>(this),
                                                      MakeEvent<&TBdsToolBarControl::LibraryUnloading>(this)));
}

void TBdsToolBarControl::UnwatchVcl() noexcept { VclWatches.clear(); }

void TBdsToolBarControl::VclFreed(TComponent* Freed)
{
    if (!Live())
        return;
    // Held to the end: letting go of the sink may drop the last reference.
    tvx::IntfPtr<IBdsToolBarControl> hold(Interface());
    UnwatchVcl();
    ForgetVclControl(Freed);
    EndControl();
}

void TBdsToolBarControl::LibraryUnloading(TComponent*) { UnhookVclControls(); }

bool TBdsToolBarControl::DeliversEvents() const noexcept { return Live() && BdsToolBar->DeliversEvents(); }

void TBdsToolBarControl::Update()
{
    if (!DeliversEvents())
        return;
    if (auto sink = FEvents)
        tvx::CallIntoPackage([&] { return sink->OnUpdate(); });
}

void TBdsToolBarControl::DropEvents() noexcept { auto events = std::move(FEvents); }

void TBdsToolBarControl::FireClick()
{
    // The sink may let go of this control, or end it, while it runs.
    tvx::IntfPtr<IBdsToolBarControl> self(this);
    if (!DeliversEvents())
        return;
    if (auto sink = FEvents)
        tvx::CallIntoPackage([&] { return sink->OnClick(); });
}

void TBdsToolBarControl::FireChange()
{
    tvx::IntfPtr<IBdsToolBarControl> self(this);
    if (!DeliversEvents())
        return;
    if (auto sink = FEvents)
        tvx::CallIntoPackage([&] { return sink->OnChange(); });
}

template <class Body>
HRESULT TBdsToolBarControl::OnLive(Body&& body, HRESULT Refused)
{
    return CallIfLive(Live(), body, Refused);
}

template <class T, class Body>
HRESULT TBdsToolBarControl::Read(T* pRetVal, Body&& body, HRESULT Refused)
{
    return ReadIfLive(Live(), pRetVal, body, Refused);
}

HRESULT TBdsToolBarControl::Get_Caption(BSTR* pRetVal)
{
    return Read(pRetVal, [&] { return tvx::AllocBstr(Caption()); });
}

HRESULT TBdsToolBarControl::Set_Caption(BSTR pRetVal)
{
    return OnLive([&] { SetCaption(FromBstr(pRetVal)); });
}

HRESULT TBdsToolBarControl::Get_Enabled(VARIANT_BOOL* pRetVal)
{
    return Read(pRetVal, [&] { return tvx::ToVariantBool(Enabled()); });
}

HRESULT TBdsToolBarControl::Set_Enabled(VARIANT_BOOL pRetVal)
{
    return OnLive([&] { SetEnabled(tvx::FromVariantBool(pRetVal)); });
}

HRESULT TBdsToolBarControl::Get_Visible(VARIANT_BOOL* pRetVal)
{
    return Read(pRetVal, [&] { return tvx::ToVariantBool(Visible()); });
}

HRESULT TBdsToolBarControl::Set_Visible(VARIANT_BOOL pRetVal)
{
    return OnLive([&] { SetVisible(tvx::FromVariantBool(pRetVal)); });
}

HRESULT TBdsToolBarControl::Get_Name(BSTR* pRetVal)
{
    return Read(pRetVal, [&] { return tvx::AllocBstr(Name()); });
}

HRESULT TBdsToolBarControl::Set_Name(BSTR pRetVal)
{
    // The VCL refuses a name that is no identifier or already taken.
    return OnLive([&] { SetName(FromBstr(pRetVal)); }, E_INVALIDARG);
}

HRESULT TBdsToolBarControl::Get_ToolTip(BSTR* pRetVal)
{
    return Read(pRetVal, [&] { return tvx::AllocBstr(ToolTip()); });
}

HRESULT TBdsToolBarControl::Set_ToolTip(BSTR pRetVal)
{
    return OnLive([&] { SetToolTip(FromBstr(pRetVal)); });
}

HRESULT TBdsToolBarControl::Get_ShortCut(LONG* pRetVal)
{
    return Read(pRetVal, [&] { return ShortCut(); });
}

HRESULT TBdsToolBarControl::Set_ShortCut(LONG pRetVal)
{
    return OnLive([&] { SetShortCut(pRetVal); });
}

HRESULT TBdsToolBarControl::RegisterEvents(IBdsToolBarControlEvents* bdsToolBarControlEvents)
{
    return OnLive([&] {
        // The old sink goes last: it may hold the last reference to this.
        tvx::IntfPtr<IBdsToolBarControlEvents> old = std::exchange(FEvents, bdsToolBarControlEvents);
    });
}

// --- TBdsToolBarButton -------------------------------------------------------

TBdsToolBarButton::TBdsToolBarButton(TBdsToolBar* ABdsToolBar) : TBdsToolBarControl(ABdsToolBar)
{
    TToolBar* native = ABdsToolBar->NativeToolBar();
    try {
        FToolButton = new TToolButton(native);
        FToolButton->SetStyle(tbsButton);
        FToolButton->SetParent(native);
        FToolButton->SetOnClick(MakeEvent<&TBdsToolBarButton::DoClick>(this));
        FToolButton->SetLeft(ABdsToolBar->EndPosition());
        WatchVcl(FToolButton);
    } catch (...) {
        UnwatchVcl();
        FreeVclControls();
        throw;
    }
}

TBdsToolBarButton::~TBdsToolBarButton() { EndControl(); }

void* TBdsToolBarButton::QueryKind(REFIID riid) noexcept { return KindInterface<IBdsToolBarButton>(this, riid); }

void TBdsToolBarButton::FreeVclControls() { FreeAndNil(FToolButton); }

void TBdsToolBarButton::ForgetVclControls(bool VclControlsStay)
{
    if (VclControlsStay)
        UnhookVclControls();
    FToolButton = nullptr;
}

void TBdsToolBarButton::ForgetVclControl(TComponent* Freed)
{
    if (Freed == FToolButton)
        FToolButton = nullptr;
}

void TBdsToolBarButton::UnhookVclControls() noexcept
{
    if (FToolButton && FToolButton->OnClick().Data() == this)
        FToolButton->SetOnClick(nullptr);
}

void TBdsToolBarButton::DoClick(TObject*) { FireClick(); }

String TBdsToolBarButton::Caption() { return FToolButton->Caption(); }
void TBdsToolBarButton::SetCaption(const String& Value) { FToolButton->SetCaption(Value); }
bool TBdsToolBarButton::Enabled() { return FToolButton->Enabled(); }
void TBdsToolBarButton::SetEnabled(bool Value) { FToolButton->SetEnabled(Value); }
bool TBdsToolBarButton::Visible() { return FToolButton->Visible(); }
String TBdsToolBarButton::Name() { return FToolButton->Name(); }
void TBdsToolBarButton::SetName(const String& Value) { FToolButton->SetName(Value); }
String TBdsToolBarButton::ToolTip() { return FToolButton->Hint(); }
void TBdsToolBarButton::SetToolTip(const String& Value) { FToolButton->SetHint(Value); }

void TBdsToolBarButton::SetVisible(bool Value)
{
    if (Value == FToolButton->Visible())
        return;
    // A divider added just before the button is shown and hidden with it.
    int index = FToolButton->Index();
    if (index > 0) {
        TToolButton* before = FToolButton->ToolBar()->Buttons(index - 1);
        if (before->Style() == tbsDivider)
            before->SetVisible(Value);
    }
    FToolButton->SetVisible(Value);
    if (auto* toolBar = dynamic_cast<TToolBar*>(FToolButton->Owner()))
        toolBar->Update();
}

HRESULT TBdsToolBarButton::Get_Down(VARIANT_BOOL* pRetVal)
{
    return Read(pRetVal, [&] { return tvx::ToVariantBool(FToolButton->Down()); });
}

HRESULT TBdsToolBarButton::Set_Down(VARIANT_BOOL pRetVal)
{
    return OnLive([&] { FToolButton->SetDown(tvx::FromVariantBool(pRetVal)); });
}

HRESULT TBdsToolBarButton::SetImage(HBITMAP imageHandle)
{
    return tvx::Guarded([&]() -> HRESULT {
        if (!Live()) {
            // Ours whatever happens; nothing else is touched.
            PackageBitmap consumed(imageHandle);
            return E_UNEXPECTED;
        }
        try {
            // The bitmap takes the handle over and deletes it once when it
            // goes, after the image list has copied the image.
            TBitmap bitmap;
            bitmap.SetHandle(imageHandle);
            TCustomImageList* images = FToolButton->ToolBar() ? FToolButton->ToolBar()->Images() : nullptr;
            if (!images)
                throw Exception(u"The toolbar has no image list");
            FToolButton->SetImageIndex(images->AddMasked(&bitmap, clFuchsia));
            return S_OK;
        } catch (...) {
            const LONG handleValue = LONG(reinterpret_cast<std::uintptr_t>(imageHandle));
            std::u16string error;
            ShowMessage(
                Format(u"TBdsToolBarButton.SetImage %d %s", handleValue, String(tvx::CurrentExceptionText(error))));
            return E_FAIL;
        }
    });
}

// --- TBdsToolBarComboBox -----------------------------------------------------

TBdsToolBarComboBox::TBdsToolBarComboBox(TBdsToolBar* ABdsToolBar, bool canEditText) : TBdsToolBarControl(ABdsToolBar)
{
    TToolBar* native = ABdsToolBar->NativeToolBar();
    try {
        FLabel = new TLabel(native);
        FComboBox = new TComboBox(native);
        FComboBox->SetStyle(canEditText ? csDropDown : csDropDownList);
        FLabel->SetLayout(tlCenter);
        // The label sits just before the combo box on the toolbar, hidden
        // until the package shows the caption.
        FLabel->SetVisible(false);
        FLabel->SetParent(native);
        FComboBox->SetParent(native);
        FComboBox->SetOnChange(MakeEvent<&TBdsToolBarComboBox::DoChange>(this));
        FComboBox->SetOnClick(MakeEvent<&TBdsToolBarComboBox::DoClick>(this));
        FLabel->SetLeft(ABdsToolBar->EndPosition());
        FComboBox->SetLeft(ABdsToolBar->EndPosition());
        WatchVcl(FLabel);
        WatchVcl(FComboBox);
    } catch (...) {
        UnwatchVcl();
        FreeVclControls();
        throw;
    }
}

TBdsToolBarComboBox::~TBdsToolBarComboBox() { EndControl(); }

void* TBdsToolBarComboBox::QueryKind(REFIID riid) noexcept { return KindInterface<IBdsToolBarComboBox>(this, riid); }

void TBdsToolBarComboBox::FreeVclControls()
{
    FreeAndNil(FLabel);
    FreeAndNil(FComboBox);
}

void TBdsToolBarComboBox::ForgetVclControls(bool VclControlsStay)
{
    if (VclControlsStay)
        UnhookVclControls();
    FLabel = nullptr;
    FComboBox = nullptr;
}

void TBdsToolBarComboBox::ForgetVclControl(TComponent* Freed)
{
    if (Freed == FLabel)
        FLabel = nullptr;
    if (Freed == FComboBox)
        FComboBox = nullptr;
}

void TBdsToolBarComboBox::UnhookVclControls() noexcept
{
    if (!FComboBox)
        return;
    if (FComboBox->OnChange().Data() == this)
        FComboBox->SetOnChange(nullptr);
    if (FComboBox->OnClick().Data() == this)
        FComboBox->SetOnClick(nullptr);
}

void TBdsToolBarComboBox::DoClick(TObject*) { FireClick(); }

void TBdsToolBarComboBox::DoChange(TObject*) { FireChange(); }

String TBdsToolBarComboBox::Caption() { return FLabel->Caption(); }
// The label reads one space apart from the combo box.
void TBdsToolBarComboBox::SetCaption(const String& Value) { FLabel->SetCaption(Value + u" "); }
bool TBdsToolBarComboBox::Enabled() { return FComboBox->Enabled(); }
void TBdsToolBarComboBox::SetEnabled(bool Value) { FComboBox->SetEnabled(Value); }
bool TBdsToolBarComboBox::Visible() { return FComboBox->Visible(); }
void TBdsToolBarComboBox::SetVisible(bool Value) { FComboBox->SetVisible(Value); }
String TBdsToolBarComboBox::Name() { return FComboBox->Name(); }
void TBdsToolBarComboBox::SetName(const String& Value) { FComboBox->SetName(Value); }
String TBdsToolBarComboBox::ToolTip() { return FComboBox->Hint(); }

void TBdsToolBarComboBox::SetToolTip(const String& Value)
{
    FComboBox->SetHint(Value);
    FLabel->SetHint(Value);
}

HRESULT TBdsToolBarComboBox::Get_CaptionVisible(VARIANT_BOOL* pRetVal)
{
    return Read(pRetVal, [&] { return tvx::ToVariantBool(FLabel->Visible()); });
}

HRESULT TBdsToolBarComboBox::Set_CaptionVisible(VARIANT_BOOL pRetVal)
{
    return OnLive([&] { FLabel->SetVisible(tvx::FromVariantBool(pRetVal)); });
}

HRESULT TBdsToolBarComboBox::Get_Text(BSTR* pRetVal)
{
    return Read(pRetVal, [&] { return tvx::AllocBstr(FComboBox->Text()); });
}

HRESULT TBdsToolBarComboBox::Set_Text(BSTR pRetVal)
{
    return OnLive([&] { FComboBox->SetText(FromBstr(pRetVal)); });
}

HRESULT TBdsToolBarComboBox::Get_Width(LONG* pRetVal)
{
    return Read(pRetVal, [&] { return LONG(FComboBox->Width()); });
}

HRESULT TBdsToolBarComboBox::Set_Width(LONG pRetVal)
{
    return OnLive([&] { FComboBox->SetWidth(pRetVal); });
}

HRESULT TBdsToolBarComboBox::Get_ItemCount(LONG* pRetVal)
{
    return Read(pRetVal, [&]() -> LONG {
        try {
            return FComboBox->Items()->Count();
        } catch (...) {
            return 0;
        }
    });
}

HRESULT TBdsToolBarComboBox::Get_SelectedItem(LONG* pRetVal)
{
    return Read(pRetVal, [&] { return LONG(FComboBox->ItemIndex()); });
}

HRESULT TBdsToolBarComboBox::Set_SelectedItem(LONG pRetVal)
{
    return OnLive([&] { FComboBox->SetItemIndex(pRetVal); });
}

HRESULT TBdsToolBarComboBox::GetItem(LONG index, BSTR* pRetVal)
{
    return Read(
        pRetVal, [&] { return tvx::AllocBstr(FComboBox->Items()->Strings(index)); }, E_INVALIDARG);
}

HRESULT TBdsToolBarComboBox::SetItem(LONG index, BSTR newItem)
{
    return OnLive([&] { FComboBox->Items()->SetStrings(index, FromBstr(newItem)); }, E_INVALIDARG);
}

HRESULT TBdsToolBarComboBox::AddItem(BSTR item, LONG* pRetVal)
{
    return Read(pRetVal, [&] { return LONG(FComboBox->Items()->Add(FromBstr(item))); });
}

HRESULT TBdsToolBarComboBox::RemoveItem(LONG index)
{
    return OnLive([&] { FComboBox->Items()->Delete(index); }, E_INVALIDARG);
}

HRESULT TBdsToolBarComboBox::ClearItems()
{
    return OnLive([&] { FComboBox->Clear(); });
}

// --- TBdsToolBarPopUp --------------------------------------------------------

TBdsToolBarPopUp::TBdsToolBarPopUp(TBdsToolBar* ABdsToolBar) : TBdsToolBarControl(ABdsToolBar) {}

TBdsToolBarPopUp::~TBdsToolBarPopUp() { EndControl(); }

void* TBdsToolBarPopUp::QueryKind(REFIID riid) noexcept { return KindInterface<IBdsToolBarPopUp>(this, riid); }

} // namespace talvix
