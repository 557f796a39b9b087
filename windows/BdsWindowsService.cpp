#include "windows/BdsWindowsService.h"

#include "core/StillListed.h"
#include "core/WrapperCall.h"
#include "host/win32/Win32.h"
#include "interop/Guard.h"
#include "windows/BdsDockableWindow.h"

namespace talvix {

namespace {

LRESULT CALLBACK ShadowWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HINSTANCE LibraryInstance() noexcept
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ShadowWndProc), &module);
    return module;
}

LPCWSTR ShadowClassName() noexcept { return tvx::AsOleChar(ShadowWindowClass.data()); }

} // namespace

TBdsWindowsService* TBdsWindowsService::Create(TWindowsServiceHost& Host)
{
    return tvx::LifetimeRegistry::Create<TBdsWindowsService>(Host);
}

TBdsWindowsService::TBdsWindowsService(TWindowsServiceHost& Host) : FHost(Host) { CreateShadowWindow(); }

// Never runs while the process lives: the service holds itself.
TBdsWindowsService::~TBdsWindowsService() { ShutDown(); }

void TBdsWindowsService::CreateShadowWindow()
{
    if (hShadowWindow)
        return;
    HINSTANCE instance = LibraryInstance();
    WNDCLASSW windowClass{};
    if (!GetClassInfoW(instance, ShadowClassName(), &windowClass)) {
        windowClass = WNDCLASSW{};
        windowClass.lpfnWndProc = &ShadowWndProc;
        windowClass.hInstance = instance;
        windowClass.lpszMenuName = tvx::AsOleChar(u"");
        windowClass.lpszClassName = ShadowClassName();
        RegisterClassW(&windowClass);
    }
    hShadowWindow = CreateWindowExW(WS_EX_TOOLWINDOW, ShadowClassName(), tvx::AsOleChar(u""), WS_POPUP, 0, 0, 0, 0,
                                    nullptr, nullptr, instance, nullptr);
}

void TBdsWindowsService::DestroyShadowWindow() noexcept
{
    if (hShadowWindow)
        DestroyWindow(std::exchange(hShadowWindow, nullptr));
    WNDCLASSW windowClass{};
    // Only our own class: another library may have registered the name.
    if (GetClassInfoW(LibraryInstance(), ShadowClassName(), &windowClass) && windowClass.lpfnWndProc == &ShadowWndProc)
        UnregisterClassW(ShadowClassName(), LibraryInstance());
}

void TBdsWindowsService::ShutDown()
{
    if (std::exchange(FShutDown, true))
        return;
    ForEachStillListed<TBdsCustomDockableWindow>(DockableWindows,
                                                 [](TBdsCustomDockableWindow* window) { window->ShutDown(); });
    DestroyShadowWindow();
}

void TBdsWindowsService::RegisterDockableWindow(TBdsCustomDockableWindow* Window) { DockableWindows.Add(Window); }

void TBdsWindowsService::UnregisterDockableWindow(TBdsCustomDockableWindow* Window) { DockableWindows.Remove(Window); }

HRESULT TBdsWindowsService::CreateDockableWindow(BSTR windowName, IBdsDockableWindow** pRetVal)
{
    return tvx::Guarded([&]() -> HRESULT {
        tvx::ThrowIfFailed(tvx::ClearOut(pRetVal));
        if (FShutDown)
            return E_UNEXPECTED;
        auto* window = new TBdsDockableWindow(FromBstr(windowName), this);
        tvx::IntfPtr<IBdsDockableWindow>(window->Interface()).copy_to(pRetVal);
        return S_OK;
    });
}

HRESULT TBdsWindowsService::GetStandardWindow(BSTR windowType, IBdsDockableWindow** pRetVal)
{
    return tvx::Guarded([&]() -> HRESULT {
        tvx::ThrowIfFailed(tvx::ClearOut(pRetVal));
        if (FShutDown || FromBstr(windowType) != u"ObjectInspector")
            return S_OK;
        auto* window = new TBdsObjectInspectorWindow(this);
        tvx::IntfPtr<IBdsDockableWindow>(window->Interface()).copy_to(pRetVal);
        return S_OK;
    });
}

// Document windows and editor frames are not offered yet: the answers are
// the ones for an IDE without an editor window.
HRESULT TBdsWindowsService::CreateDocumentWindow(BSTR, LONG, LONG, IBdsDocumentWindow** pRetVal)
{
    return tvx::ClearOut(pRetVal) == S_OK ? E_UNEXPECTED : E_POINTER;
}

HRESULT TBdsWindowsService::DocumentFrameOnTop(LONG* pRetVal)
{
    if (!pRetVal)
        return E_POINTER;
    *pRetVal = -1;
    return S_OK;
}

HRESULT TBdsWindowsService::DocumentFrameNormal(LONG) { return S_OK; }

} // namespace talvix
