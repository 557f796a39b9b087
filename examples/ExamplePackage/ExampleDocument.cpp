#include "ExampleDocument.h"

#include "ExampleBitmaps.h"
#include "ExampleControl.h"

#include "host/win32/Win32.h"
#include "interop/Bstr.h"
#include "interop/Guard.h"
#include "interop/InterfacedObject.h"
#include "interop/IntfPtr.h"

#include <string>

namespace {

constexpr const char16_t* kModule = u"C:\\Projects\\Demo\\Overview.tvx";

void Log(const std::u16string& line)
{
    std::u16string text = u"ExampleDocument: " + line;
    OutputDebugStringW(tvx::AsOleChar(text.c_str()));
}

class DocumentEvents final : public tvx::Implements<DocumentEvents, IBdsWindowEvents> {
public:
    HRESULT STDMETHODCALLTYPE OnWindowClose() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnWindowActivate() override { return S_OK; }
    // Asked the first time the tab is drawn; the IDE takes the bitmap over.
    HRESULT STDMETHODCALLTYPE OnGetIconHandle(LONG* Handle) override
    {
        if (!Handle)
            return E_POINTER;
        HBITMAP picture =
            example::MakeIconBitmap(0x0030A030, [](int x, int y) { return x > 2 && x < 13 && y > 2 && y < 13; });
        *Handle = LONG(reinterpret_cast<LONG_PTR>(picture));
        Log(u"OnGetIconHandle: the tab image handed over");
        return S_OK;
    }
};

struct State {
    tvx::IntfPtr<IBdsWindowsService> windows;
    tvx::IntfPtr<IBdsDocumentWindow> document;
    HWND own = nullptr;
    bool modified = false;
};

State& Current()
{
    static State state;
    return state;
}

} // namespace

void StartExampleDocument(IBdsServices* services)
{
    if (services)
        services->Get_BdsWindowsService(Current().windows.put());
}

void ShowExampleDocument()
{
    tvx::Guarded([&] {
        State& state = Current();
        if (!state.windows)
            return;
        LONG editor = -1;
        state.windows->DocumentFrameOnTop(&editor);
        if (editor < 0) {
            Log(u"no editor window to show the document in");
            return;
        }
        if (state.document) {
            state.document->Activate();
            Log(u"activated again");
            return;
        }
        if (FAILED(state.windows->CreateDocumentWindow(tvx::Bstr(kModule).get(), 0, editor, state.document.put())) ||
            !state.document) {
            Log(u"CreateDocumentWindow failed");
            return;
        }
        state.document->RegisterEvents(
            tvx::IntfPtr<IBdsWindowEvents>::Attach(tvx::NewInterface<DocumentEvents, IBdsWindowEvents>()).get());
        state.own = CreateWindowExW(0, tvx::AsOleChar(u"Static"), tvx::AsOleChar(u"Overview of the demo project"),
                                    WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
        auto control =
            tvx::IntfPtr<IWin32Window>::Attach(tvx::NewInterface<example::ExampleControl, IWin32Window>(state.own));
        state.document->HostControl(control.get());
        state.document->Activate();
        Log(u"shown in editor window " + std::u16string(1, char16_t(u'0' + editor % 10)));
    });
}

void ToggleExampleDocumentModified()
{
    State& state = Current();
    if (!state.document)
        return;
    state.modified = !state.modified;
    const HRESULT hr = state.document->Set_Modified(state.modified ? VARIANT_TRUE : VARIANT_FALSE);
    Log(std::u16string(u"modified ") + (state.modified ? u"on" : u"off") + (SUCCEEDED(hr) ? u"" : u" (failed)"));
}

void StopExampleDocument()
{
    State& state = Current();
    state.document = nullptr;
    state.windows = nullptr;
    if (state.own && IsWindow(state.own))
        DestroyWindow(state.own);
    state.own = nullptr;
}
