// Apartments, class objects registered in-process and in-proc servers loaded
// from their InprocServer32 registration, kept loaded until
// CoFreeUnusedLibraries finds them unused.
#include "host/win32/ComRuntime.h"
#include "host/win32/Kernel.h"
#include "host/win32/src/ComRegistry.h"
#include "host/win32/src/ModuleLoader.h"
#include "interop/Bstr.h"
#include "interop/Guard.h"
#include "interop/Guid.h"
#include "interop/Utf.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

using DllGetClassObjectProc = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, LPVOID*);
using DllCanUnloadNowProc = HRESULT(STDAPICALLTYPE*)();
using DllRegistrationProc = HRESULT(STDAPICALLTYPE*)();

struct ServerModule {
    void* library = nullptr;
    std::u16string path;
    DllGetClassObjectProc getClassObject = nullptr;
    DllCanUnloadNowProc canUnloadNow = nullptr;
};

struct ClassRegistration {
    DWORD cookie = 0;
    CLSID clsid{};
    IUnknown* object = nullptr;
    DWORD context = 0;
};

struct ComState {
    std::mutex lock;
    std::vector<ServerModule> modules;
    std::vector<ClassRegistration> classes;
    DWORD nextCookie = 1;
};

// Never destroyed: servers stay loaded to the end of the process, as they do
// under ole32, and their static destructors may still call in.
ComState& State()
{
    static ComState* state = new ComState();
    return *state;
}

struct Apartment {
    int initCount = 0;
    DWORD model = 0;
};
thread_local Apartment apartment;

// Out values of a call into a package, settled before they reach our caller:
// a failure never hands out a pointer, and a success without one is broken.
HRESULT SettleOut(HRESULT hr, void** out)
{
    if (FAILED(hr)) {
        *out = nullptr;
        return hr;
    }
    return *out ? hr : E_UNEXPECTED;
}

HRESULT QueryRegisteredClass(REFCLSID clsid, DWORD context, REFIID riid, void** out, bool* found)
{
    IUnknown* object = nullptr;
    {
        ComState& state = State();
        std::lock_guard guard(state.lock);
        // The latest registration wins, so a test can stand in for a registered server.
        for (auto it = state.classes.rbegin(); it != state.classes.rend(); ++it) {
            if (tvx::IsEqualGuid(it->clsid, clsid) && (it->context & context)) {
                object = it->object;
                object->AddRef();
                break;
            }
        }
    }
    *found = object != nullptr;
    if (!object)
        return REGDB_E_CLASSNOTREG;
    HRESULT hr = tvx::Guarded([&] { return object->QueryInterface(riid, out); }, E_UNEXPECTED);
    object->Release();
    return SettleOut(hr, out);
}

// The in-proc server's file, REG_EXPAND_SZ paths expanded.
HRESULT InprocServerPath(REFCLSID clsid, std::u16string& path)
{
    auto value = tvx::win32::detail::ReadRegistryText(
        HKEY_CLASSES_ROOT, u"CLSID\\" + tvx::FormatGuidW(clsid) + u"\\InprocServer32", nullptr);
    if (!value || value->text.empty())
        return REGDB_E_CLASSNOTREG;
    path = value->text;
    if (value->type == REG_EXPAND_SZ) {
        DWORD needed = ExpandEnvironmentStringsW(path.c_str(), nullptr, 0);
        std::u16string expanded(needed, u'\0');
        if (needed == 0 || ExpandEnvironmentStringsW(path.c_str(), expanded.data(), needed) != needed)
            return REGDB_E_CLASSNOTREG;
        expanded.resize(needed - 1);
        path = std::move(expanded);
    }
    return S_OK;
}

std::optional<ServerModule> FindServer(const std::u16string& path)
{
    ComState& state = State();
    std::lock_guard guard(state.lock);
    for (const auto& module : state.modules)
        if (module.path == path)
            return module;
    return std::nullopt;
}

// Loads the server once; later activations reuse the loaded module.
HRESULT LoadServer(const std::u16string& path, ServerModule& server)
{
    if (auto known = FindServer(path)) {
        server = *known;
        return S_OK;
    }
    DWORD error = ERROR_SUCCESS;
    void* library = tvx::win32::detail::OpenLibrary(path, &error);
    if (!library)
        return HRESULT_FROM_WIN32(error);
    auto getClassObject =
        reinterpret_cast<DllGetClassObjectProc>(tvx::win32::detail::OwnExport(library, "DllGetClassObject"));
    // ole32 reports a library that is no in-proc server as an error in the DLL.
    if (!getClassObject) {
        tvx::win32::detail::CloseLibrary(library);
        return CO_E_ERRORINDLL;
    }
    ServerModule loaded{
        library, path, getClassObject,
        reinterpret_cast<DllCanUnloadNowProc>(tvx::win32::detail::OwnExport(library, "DllCanUnloadNow"))};
    bool duplicate = false;
    {
        ComState& state = State();
        std::lock_guard guard(state.lock);
        // The same file under another name, or another thread was quicker.
        auto same = std::find_if(state.modules.begin(), state.modules.end(),
                                 [&](const ServerModule& m) { return m.library == library; });
        duplicate = same != state.modules.end();
        if (duplicate)
            server = *same;
        else
            state.modules.push_back(loaded);
    }
    if (duplicate)
        tvx::win32::detail::CloseLibrary(library);
    else
        server = loaded;
    return S_OK;
}

HRESULT GetInprocClassObject(REFCLSID clsid, REFIID riid, void** out)
{
    std::u16string path;
    HRESULT hr = InprocServerPath(clsid, path);
    if (FAILED(hr))
        return hr;
    ServerModule server;
    hr = LoadServer(path, server);
    if (FAILED(hr))
        return hr;
    hr = tvx::Guarded([&] { return server.getClassObject(clsid, riid, out); }, CO_E_ERRORINDLL);
    return SettleOut(hr, out);
}

HRESULT CallRegistrationEntry(std::u16string_view path, const char* entry)
{
    DWORD error = ERROR_SUCCESS;
    void* library = tvx::win32::detail::OpenLibrary(path, &error);
    if (!library)
        return HRESULT_FROM_WIN32(error);
    auto proc = reinterpret_cast<DllRegistrationProc>(tvx::win32::detail::OwnExport(library, entry));
    HRESULT hr = proc ? tvx::Guarded([&] { return proc(); }, E_UNEXPECTED) : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    tvx::win32::detail::CloseLibrary(library);
    return hr;
}

} // namespace

TVX_WIN32_API HRESULT CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit)
{
    if (pvReserved)
        return E_INVALIDARG;
    DWORD model = dwCoInit & COINIT_APARTMENTTHREADED;
    if (apartment.initCount > 0 && apartment.model != model)
        return RPC_E_CHANGED_MODE;
    apartment.model = model;
    return ++apartment.initCount == 1 ? S_OK : S_FALSE;
}

TVX_WIN32_API HRESULT CoInitialize(LPVOID pvReserved) { return CoInitializeEx(pvReserved, COINIT_APARTMENTTHREADED); }

TVX_WIN32_API void CoUninitialize()
{
    if (apartment.initCount > 0)
        --apartment.initCount;
}

TVX_WIN32_API HRESULT CoRegisterClassObject(REFCLSID rclsid, LPUNKNOWN pUnk, DWORD dwClsContext, DWORD flags,
                                            DWORD* lpdwRegister)
{
    if (!lpdwRegister)
        return E_INVALIDARG;
    *lpdwRegister = 0;
    if (!pUnk)
        return E_INVALIDARG;
    DWORD context = dwClsContext;
    // A multiple-use local server also serves its own process in-proc.
    if ((flags & REGCLS_MULTIPLEUSE) && (dwClsContext & CLSCTX_LOCAL_SERVER))
        context |= CLSCTX_INPROC_SERVER;
    try {
        ComState& state = State();
        std::lock_guard guard(state.lock);
        DWORD cookie = state.nextCookie++;
        state.classes.push_back({cookie, rclsid, pUnk, context});
        pUnk->AddRef();
        *lpdwRegister = cookie;
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

TVX_WIN32_API HRESULT CoRevokeClassObject(DWORD dwRegister)
{
    IUnknown* object = nullptr;
    {
        ComState& state = State();
        std::lock_guard guard(state.lock);
        auto it = std::find_if(state.classes.begin(), state.classes.end(),
                               [&](const ClassRegistration& c) { return c.cookie == dwRegister; });
        if (it == state.classes.end())
            return CO_E_OBJNOTREG;
        object = it->object;
        state.classes.erase(it);
    }
    object->Release();
    return S_OK;
}

TVX_WIN32_API HRESULT CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, COSERVERINFO* pServerInfo, REFIID riid,
                                       LPVOID* ppv)
{
    (void)pServerInfo;
    if (!ppv)
        return E_INVALIDARG;
    *ppv = nullptr;
    try {
        bool registered = false;
        HRESULT hr = QueryRegisteredClass(rclsid, dwClsContext, riid, ppv, &registered);
        if (registered)
            return hr;
        if (!(dwClsContext & CLSCTX_INPROC_SERVER))
            return REGDB_E_CLASSNOTREG;
        return GetInprocClassObject(rclsid, riid, ppv);
    } catch (...) {
        *ppv = nullptr;
        return E_OUTOFMEMORY;
    }
}

TVX_WIN32_API HRESULT CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext, REFIID riid,
                                       LPVOID* ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    IClassFactory* factory = nullptr;
    HRESULT hr =
        CoGetClassObject(rclsid, dwClsContext, nullptr, tvx::IidOf<IClassFactory>, reinterpret_cast<void**>(&factory));
    if (FAILED(hr))
        return hr;
    hr = tvx::Guarded([&] { return factory->CreateInstance(pUnkOuter, riid, ppv); }, E_UNEXPECTED);
    factory->Release();
    return SettleOut(hr, ppv);
}

TVX_WIN32_API void CoFreeUnusedLibraries()
{
    std::vector<ServerModule> candidates;
    {
        ComState& state = State();
        std::lock_guard guard(state.lock);
        candidates = state.modules;
    }
    for (const auto& module : candidates) {
        // A server that cannot say it is unused stays loaded, as under ole32.
        if (!module.canUnloadNow)
            continue;
        HRESULT answer = tvx::Guarded([&] { return module.canUnloadNow(); }, S_FALSE);
        if (answer != S_OK)
            continue;
        bool removed = false;
        {
            ComState& state = State();
            std::lock_guard guard(state.lock);
            auto it = std::find_if(state.modules.begin(), state.modules.end(),
                                   [&](const ServerModule& m) { return m.library == module.library; });
            removed = it != state.modules.end();
            if (removed)
                state.modules.erase(it);
        }
        if (removed)
            tvx::win32::detail::CloseLibrary(module.library);
    }
}

namespace tvx::win32 {

HRESULT RegisterServer(std::u16string_view path) { return CallRegistrationEntry(path, "DllRegisterServer"); }

HRESULT UnregisterServer(std::u16string_view path) { return CallRegistrationEntry(path, "DllUnregisterServer"); }

std::vector<std::u16string> LoadedComServers()
{
    ComState& state = State();
    std::lock_guard guard(state.lock);
    std::vector<std::u16string> paths;
    for (const auto& module : state.modules)
        paths.push_back(module.path);
    return paths;
}

} // namespace tvx::win32
