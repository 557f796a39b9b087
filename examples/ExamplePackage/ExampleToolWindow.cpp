#include "ExampleToolWindow.h"

#include "ExampleBitmaps.h"
#include "ExampleControl.h"

#include "host/win32/Win32.h"
#include "interop/Bstr.h"
#include "interop/Guard.h"
#include "interop/InterfacedObject.h"
#include "interop/IntfPtr.h"

#include <string>

namespace {

void Log(const std::u16string& line)
{
    std::u16string text = u"ExampleToolWindow: " + line;
    OutputDebugStringW(tvx::AsOleChar(text.c_str()));
}

class ExampleWindowEvents final : public tvx::Implements<ExampleWindowEvents, IBdsWindowEvents> {
public:
    HRESULT STDMETHODCALLTYPE OnWindowClose() override
    {
        Log(u"OnWindowClose: the IDE closed the tool window");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnWindowActivate() override
    {
        Log(u"OnWindowActivate");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnGetIconHandle(LONG* Handle) override
    {
        if (Handle)
            *Handle = 0;
        return S_OK;
    }
};

struct State {
    tvx::IntfPtr<IBdsDockableWindow> window;
    HWND own = nullptr;
};

State& Current()
{
    static State state;
    return state;
}

} // namespace

void AddExampleToolWindow(IBdsServices* services)
{
    tvx::Guarded([&] {
        tvx::IntfPtr<IBdsWindowsService> windows;
        if (!services || FAILED(services->Get_BdsWindowsService(windows.put())) || !windows) {
            Log(u"no windows service");
            return;
        }
        State& state = Current();
        if (FAILED(windows->CreateDockableWindow(tvx::Bstr(u"ExampleToolWindow").get(), state.window.put())) ||
            !state.window) {
            Log(u"CreateDockableWindow failed");
            return;
        }
        state.window->Set_Caption(tvx::Bstr(u"Example tool window").get());
        // A diamond on magenta; the call takes the bitmap over.
        HBITMAP picture = example::MakeIconBitmap(0x002060C0, [](int x, int y) {
            const int dx = x < 8 ? 7 - x : x - 8, dy = y < 8 ? 7 - y : y - 8;
            return dx + dy < 8;
        });
        if (FAILED(state.window->SetIcon(LONG(reinterpret_cast<LONG_PTR>(picture)))))
            DeleteObject(picture);
        state.window->RegisterEvents(
            tvx::IntfPtr<IBdsWindowEvents>::Attach(tvx::NewInterface<ExampleWindowEvents, IBdsWindowEvents>()).get());
        state.own = CreateWindowExW(0, tvx::AsOleChar(u"Static"), tvx::AsOleChar(u"Example tool window contents"),
                                    WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
        auto control =
            tvx::IntfPtr<IWin32Window>::Attach(tvx::NewInterface<example::ExampleControl, IWin32Window>(state.own));
        state.window->HostControl(control.get());
        state.window->Set_Visible(VARIANT_TRUE);
        Log(u"shown");
    });
}

void RemoveExampleToolWindow()
{
    State& state = Current();
    state.window = nullptr;
    if (state.own && IsWindow(state.own))
        DestroyWindow(state.own);
    state.own = nullptr;
}
