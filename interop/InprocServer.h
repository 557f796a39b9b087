// Helpers for writing a package as an in-proc COM server: a class factory and
// the registration that regsvr32 performs through DllRegisterServer.
#pragma once

#include "host/win32/Win32.h"
#include "interop/Guard.h"
#include "interop/Guid.h"
#include "interop/InterfacedObject.h"

#include <atomic>
#include <string>

namespace tvx {

// Counts the server locks taken through LockServer, for DllCanUnloadNow.
inline std::atomic<long>& ServerLockCount()
{
    static std::atomic<long> count{0};
    return count;
}

// A class factory that makes `Object`, which must derive from Implements<>.
template <class Object>
class ClassFactory final : public Implements<ClassFactory<Object>, IClassFactory> {
public:
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) override
    {
        if (!ppvObject)
            return E_POINTER;
        *ppvObject = nullptr;
        if (pUnkOuter)
            return CLASS_E_NOAGGREGATION;
        return Guarded([&] {
            auto* object = new Object();
            IUnknown* unknown = object->Identity();
            unknown->AddRef();
            HRESULT hr = unknown->QueryInterface(riid, ppvObject);
            unknown->Release();
            return hr;
        });
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL fLock) override
    {
        ServerLockCount() += fLock ? 1 : -1;
        return S_OK;
    }
};

// DllGetClassObject for a server with one class.
template <class Object>
HRESULT GetClassObject(REFCLSID rclsid, REFCLSID served, REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualGuid(rclsid, served))
        return CLASS_E_CLASSNOTAVAILABLE;
    return Guarded([&] {
        auto* factory = new ClassFactory<Object>();
        IUnknown* unknown = factory->Identity();
        unknown->AddRef();
        HRESULT hr = unknown->QueryInterface(riid, ppv);
        unknown->Release();
        return hr;
    });
}

// The file this code was loaded from: any address inside the module names it.
inline std::u16string ModulePathOf(const void* addressInModule)
{
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(addressInModule), &module))
        return {};
    char16_t path[4096];
    DWORD length = GetModuleFileNameW(module, AsOleChar(path), DWORD(std::size(path)));
    return std::u16string(path, length);
}

// HKEY_CLASSES_ROOT\CLSID\{clsid}\InprocServer32 = path, as regsvr32 leaves it.
inline HRESULT RegisterInprocServer(REFCLSID clsid, std::u16string_view description, std::u16string_view path)
{
    const std::u16string key = u"CLSID\\" + FormatGuidW(clsid);
    auto setText = [](HKEY k, const char16_t* name, std::u16string_view text) {
        return RegSetValueExW(k, AsOleChar(name), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(std::u16string(text).c_str()),
                              DWORD((text.size() + 1) * sizeof(char16_t)));
    };
    HKEY classKey = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, AsOleChar(key.c_str()), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &classKey,
                        nullptr) != ERROR_SUCCESS)
        return SELFREG_E_CLASS;
    LSTATUS status = setText(classKey, nullptr, description);
    HKEY serverKey = nullptr;
    if (status == ERROR_SUCCESS)
        status = RegCreateKeyExW(classKey, AsOleChar(u"InprocServer32"), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                 &serverKey, nullptr);
    if (status == ERROR_SUCCESS) {
        status = setText(serverKey, nullptr, path);
        if (status == ERROR_SUCCESS)
            status = setText(serverKey, u"ThreadingModel", u"Apartment");
        RegCloseKey(serverKey);
    }
    RegCloseKey(classKey);
    return status == ERROR_SUCCESS ? S_OK : SELFREG_E_CLASS;
}

inline HRESULT UnregisterInprocServer(REFCLSID clsid)
{
    const std::u16string key = u"CLSID\\" + FormatGuidW(clsid);
    LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, AsOleChar(key.c_str()));
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK : SELFREG_E_CLASS;
}

} // namespace tvx
