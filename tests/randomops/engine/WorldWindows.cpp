// The random run's document windows: the frame over the front editor
// window, documents made, called and let go of by the package, and the
// user's steps on the editor windows (opening and closing modules and
// windows, selecting, pressing and painting tabs, new window handles).
#include "host/vcl/TypInfo.h"
#include "interop/Bstr.h"
#include "sim/Scenario.h"
#include "tests/randomops/engine/World.h"
#include "windows/BdsDocumentWindow.h"
#include "windows/BdsEditWindow.h"
#include "windows/BdsWindowsService.h"
#include "windows/TalvixFrame.h"

namespace tvx::randomops {

namespace {

// The package's control over one of its windows.
class HarnessControl final : public Implements<HarnessControl, IWin32Window> {
public:
    explicit HarnessControl(HWND window) : window_(window) {}
    HRESULT STDMETHODCALLTYPE Get_Handle(LONG* Handle) override
    {
        *Handle = LONG(reinterpret_cast<LONG_PTR>(window_));
        return S_OK;
    }

private:
    HWND window_;
};

const char* const kModules[] = {"Unit1.pas", "Project1.dpr", "Overview.tvx", "Diagram.tvx"};

talvix::TBdsWindowsService& Service(IBdsWindowsService* windows)
{
    return *static_cast<talvix::TBdsWindowsService*>(windows);
}

bool Answered(HRESULT hr) { return hr == S_OK || hr == E_FAIL; }

} // namespace

HRESULT HarnessDocumentSink::OnGetIconHandle(LONG* Handle)
{
    switch (behaviour_ % 5) {
    case 0: *Handle = 0; break;
    case 1: *Handle = LONG(reinterpret_cast<LONG_PTR>(CreateBitmap(16, 16, 1, 32, nullptr))); break;
    case 2: *Handle = 0x4321; break;
    case 3: throw std::runtime_error("package fault");
    case 4:
        *Handle = LONG(reinterpret_cast<LONG_PTR>(CreateBitmap(16, 16, 1, 32, nullptr)));
        world_.ReleaseDocument(Owner);
        break;
    }
    return S_OK;
}

void World::DocumentFrameOnTop()
{
    LONG index = -2;
    HRESULT hr = windows_->DocumentFrameOnTop(&index);
    TVX_RANDOMOPS_CHECK(hr == S_OK && index >= -1 && index < Service(windows_.get()).BdsEditWindowCount(),
                        "DocumentFrameOnTop", "DocumentFrameOnTop answered " + Hex(hr) + ", " + std::to_string(index));
}

void World::CreateDocumentWindow(const Op& op)
{
    const std::u16string module = u"C:\\Projects\\Demo\\" + Utf8ToUtf16(kModules[op.A % std::size(kModules)]);
    const LONG editor = LONG(op.B % std::uint32_t(Service(windows_.get()).BdsEditWindowCount() + 1));
    IntfPtr<IBdsDocumentWindow> document;
    HRESULT hr = windows_->CreateDocumentWindow(Bstr(module).get(), LONG(op.C % 3), editor, document.put());
    TVX_RANDOMOPS_CHECK(hr == S_OK ? bool(document) : (hr == E_UNEXPECTED && !document), "CreateDocumentWindow",
                        "CreateDocumentWindow answered " + Hex(hr) + (document ? " with" : " without") + " a window");
    if (!document)
        return;
    auto sink = IntfPtr<HarnessDocumentSink>(new HarnessDocumentSink(*this, op.C / 3));
    sink->Owner = document.get();
    document->RegisterEvents(sink.get());
    documentHolds_.push_back(document);
}

void World::CallDocumentWindow(const Op& op)
{
    if (documentHolds_.empty())
        return;
    IntfPtr<IBdsDocumentWindow> document = documentHolds_[op.A % documentHolds_.size()];
    VARIANT_BOOL value = 5;
    const VARIANT_BOOL flag = op.C % 2 ? VARIANT_TRUE : VARIANT_FALSE;
    HRESULT hr = S_OK;
    switch (op.B % 11) {
    case 0: hr = document->Get_Visible(&value); break;
    case 1: hr = document->Set_Visible(flag); break;
    case 2: hr = document->Set_Modified(flag); break;
    case 3: hr = document->Get_StayOnTop(&value); break;
    case 4: hr = document->Set_StayOnTop(flag); break;
    case 5: {
        HWND window =
            CreateWindowExW(0, u"Static", u"package", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
        packageWindows_.push_back(window);
        auto control = IntfPtr<HarnessControl>(new HarnessControl(window));
        hr = document->HostControl(op.C % 4 ? static_cast<IUnknown*>(control->Identity()) : nullptr);
        break;
    }
    case 6: hr = document->ReHostControl(); break;
    case 7: hr = document->Activate(); break;
    case 8: hr = document->Close(); break;
    case 9: hr = document->DoResize(); break;
    case 10: hr = document->RegisterEvents(nullptr); break;
    }
    TVX_RANDOMOPS_CHECK(Answered(hr) && (value == 5 || value == VARIANT_TRUE || value == VARIANT_FALSE),
                        "CallDocumentWindow", "document method " + std::to_string(op.B % 11) + " answered " + Hex(hr));
}

void World::EditorWindowStep(const Op& op)
{
    sim::IdeEditorWindows& editors = ide_->EditorWindows();
    const std::size_t count = editors.Windows().size();
    const std::string window = std::to_string(count ? op.B % count + 1 : 1);
    const std::string module = kModules[op.C % std::size(kModules)];
    const std::string caption = module;
    switch (op.A % 10) {
    case 0: editors.OpenModule(module, count ? &window : nullptr); break;
    case 1: editors.CloseModule(module); break;
    case 2: editors.SelectTab(window, caption); break;
    case 3: editors.PressTab(window, caption, op.C % 2 ? mbLeft : mbRight); break;
    case 4: editors.PaintTabs(nullptr); break;
    case 5:
        if (count < 3)
            editors.NewEditorWindow();
        break;
    case 6: editors.CloseEditorWindow(window); break;
    case 7: editors.ResizeEditorWindow(window, 300 + int(op.C % 500), 200 + int(op.C % 300)); break;
    case 8: editors.RecreateEditorWindow(window); break;
    case 9: editors.ModifyModule(module); break;
    }
}

void World::CheckWindows()
{
    talvix::TBdsWindowsService& service = Service(windows_.get());
    for (const auto& held : documentHolds_) {
        talvix::TBdsEditWindow* record = static_cast<talvix::TBdsDocumentWindow*>(held.get())->BdsEditWindow();
        TVX_RANDOMOPS_CHECK(!record || service.IsListed(record), "DocumentRecord",
                            "a document points at an editor window record that ended");
    }
    for (int i = 0; i < service.BdsEditWindowCount(); ++i) {
        talvix::TBdsEditWindow* record = service.BdsEditWindows(i);
        TVX_RANDOMOPS_CHECK(record->Frame && record->EditWindow.get(), "EditWindowRecord",
                            "a record outlived its editor window or frame");
        if (TComponent* tabSet = record->TabSet.get())
            TVX_RANDOMOPS_CHECK(GetMethodProp(tabSet, u"OnGetImageIndex").Data == &service, "TabSetTakeover",
                                "a taken-over tab set lost the service's handler");
    }
    for (HWND window : packageWindows_)
        TVX_RANDOMOPS_CHECK(IsWindow(window), "PackageWindow", "the IDE destroyed a package's window");
}

namespace {

bool HoldsFrame(const TWinControl& control)
{
    for (int i = 0; i < control.ControlCount(); ++i) {
        TControl* child = control.Controls(i);
        if (dynamic_cast<TTalvixFrame*>(child))
            return true;
        if (auto* windowed = dynamic_cast<TWinControl*>(child); windowed && HoldsFrame(*windowed))
            return true;
    }
    return false;
}

} // namespace

void World::CheckWindowsAfterTerminate()
{
    for (sim::TEditWindow* window : ide_->EditorWindows().Windows()) {
        if (TComponent* tabSet = window->TabSet())
            for (const char16_t* event : {u"OnChange", u"OnGetImageIndex", u"OnGetOverlayImageIndex", u"OnMouseDown"})
                TVX_RANDOMOPS_CHECK(GetMethodProp(tabSet, event).Data != windowsService_, "TabSetAfterTerminate",
                                    "a tab set still calls into the library after terminate");
        TVX_RANDOMOPS_CHECK(!HoldsFrame(*window), "FrameAfterTerminate", "a frame outlived terminate");
    }
    for (HWND window : packageWindows_)
        TVX_RANDOMOPS_CHECK(IsWindow(window), "PackageWindow", "a package's window went with terminate");
}

} // namespace tvx::randomops
