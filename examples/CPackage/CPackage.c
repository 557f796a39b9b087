/* A package written in C11 against the header widl generates from
 * interop/TalvixBds.idl: every call goes through a raw method table
 * (lpVtbl), so the package working in the IDE shows that the IDL, the C++
 * headers and the ABI agree. It adds one item under Tools whose click writes
 * a debugger line, and takes it out again at Finalize. */
#define INITGUID
#define CONST_VTABLE
#include "TalvixBds.h"
#ifdef _WIN32
#include <olectl.h>
#endif

#include <stdatomic.h>
#include <stdlib.h>
#include <string.h>

#ifdef _WIN32
#define CPACKAGE_EXPORT __declspec(dllexport)
#else
#define CPACKAGE_EXPORT __attribute__((visibility("default")))
#endif

/* {9C3E51A7-2B84-4F06-8D1E-7A5C0B93E2D4} */
static const CLSID CLSID_CPackage = {0x9c3e51a7, 0x2b84, 0x4f06, {0x8d, 0x1e, 0x7a, 0x5c, 0x0b, 0x93, 0xe2, 0xd4}};
static const IID kIidUnknown = {0x00000000, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
static const IID kIidClassFactory = {0x00000001, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

#define CPACKAGE_CLSID_KEY u"CLSID\\{9C3E51A7-2B84-4F06-8D1E-7A5C0B93E2D4}"
#define CPACKAGE_ITEM_PATH u"ToolsMenu\\TalvixCPackageItem"
/* Before the Options item, as interop/TalvixBdsConstants.h names it. */
#define MENU_ITEM_BEFORE 0

/* Objects and server locks alive, for DllCanUnloadNow. */
static atomic_long g_live;

static int SameGuid(REFGUID a, REFGUID b) { return memcmp(a, b, sizeof(GUID)) == 0; }

static void Log(const WCHAR* text) { OutputDebugStringW(text); }

/* A call with text arguments: the library reads them during the call only. */
static BSTR Text(const WCHAR* text) { return SysAllocString(text); }

/* The click sink. */

typedef struct ClickSink {
    IBdsToolBarControlEvents iface;
    atomic_long refs;
} ClickSink;

static HRESULT STDMETHODCALLTYPE Sink_QueryInterface(IBdsToolBarControlEvents* This, REFIID riid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = NULL;
    if (!SameGuid(riid, &kIidUnknown) && !SameGuid(riid, &IID_IBdsToolBarControlEvents))
        return E_NOINTERFACE;
    This->lpVtbl->AddRef(This);
    *out = This;
    return S_OK;
}

static ULONG STDMETHODCALLTYPE Sink_AddRef(IBdsToolBarControlEvents* This)
{
    return (ULONG)atomic_fetch_add(&((ClickSink*)This)->refs, 1) + 1;
}

static ULONG STDMETHODCALLTYPE Sink_Release(IBdsToolBarControlEvents* This)
{
    long left = atomic_fetch_sub(&((ClickSink*)This)->refs, 1) - 1;
    if (left == 0) {
        free(This);
        atomic_fetch_sub(&g_live, 1);
    }
    return (ULONG)left;
}

static HRESULT STDMETHODCALLTYPE Sink_OnClick(IBdsToolBarControlEvents* This)
{
    (void)This;
    Log(u"CPackage: clicked");
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE Sink_Nothing(IBdsToolBarControlEvents* This)
{
    (void)This;
    return S_OK;
}

static const IBdsToolBarControlEventsVtbl kSinkVtbl = {
    Sink_QueryInterface, Sink_AddRef, Sink_Release, Sink_OnClick, Sink_Nothing, Sink_Nothing,
};

static IBdsToolBarControlEvents* NewClickSink(void)
{
    ClickSink* sink = calloc(1, sizeof *sink);
    if (!sink)
        return NULL;
    sink->iface.lpVtbl = &kSinkVtbl;
    atomic_init(&sink->refs, 1);
    atomic_fetch_add(&g_live, 1);
    return &sink->iface;
}

/* The package. */

typedef struct Package {
    IBdsPackage iface;
    atomic_long refs;
    IBdsServices* services;
    IBdsMenuBarService* menuBar;
    IBdsMenuItem* item;
} Package;

static HRESULT STDMETHODCALLTYPE Package_QueryInterface(IBdsPackage* This, REFIID riid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = NULL;
    if (!SameGuid(riid, &kIidUnknown) && !SameGuid(riid, &IID_IBdsPackage))
        return E_NOINTERFACE;
    This->lpVtbl->AddRef(This);
    *out = This;
    return S_OK;
}

static ULONG STDMETHODCALLTYPE Package_AddRef(IBdsPackage* This)
{
    return (ULONG)atomic_fetch_add(&((Package*)This)->refs, 1) + 1;
}

static void ReleaseHeld(Package* package)
{
    if (package->item)
        package->item->lpVtbl->Release(package->item);
    if (package->menuBar)
        package->menuBar->lpVtbl->Release(package->menuBar);
    if (package->services)
        package->services->lpVtbl->Release(package->services);
    package->item = NULL;
    package->menuBar = NULL;
    package->services = NULL;
}

static ULONG STDMETHODCALLTYPE Package_Release(IBdsPackage* This)
{
    Package* package = (Package*)This;
    long left = atomic_fetch_sub(&package->refs, 1) - 1;
    if (left == 0) {
        /* Released without Finalize (the IDE never got that far). */
        ReleaseHeld(package);
        free(package);
        atomic_fetch_sub(&g_live, 1);
    }
    return (ULONG)left;
}

static HRESULT STDMETHODCALLTYPE Package_Initialize(IBdsPackage* This, IBdsServices* services)
{
    Package* package = (Package*)This;
    if (services && !package->services) {
        services->lpVtbl->AddRef(services);
        package->services = services;
    }
    if (!services) {
        Log(u"CPackage: Initialize without services");
        return E_POINTER;
    }
    Log(u"CPackage: Initialize");
    /* No managed side: its services are up at once, and OnServicesReady
     * follows when every package has said so. */
    services->lpVtbl->OnDotNetServicesInitialized(services);
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE Package_OnServicesReady(IBdsPackage* This)
{
    Package* package = (Package*)This;
    if (!package->services || package->item)
        return S_OK;
    IBdsServices* services = package->services;
    if (FAILED(services->lpVtbl->Get_BdsMenuBarService(services, &package->menuBar)) || !package->menuBar) {
        package->menuBar = NULL;
        Log(u"CPackage: no menu bar service");
        return E_FAIL;
    }
    BSTR reference = Text(u"ToolsMenu\\ToolsOptionsItem");
    BSTR name = Text(u"TalvixCPackageItem");
    BSTR caption = Text(u"C Package &Hello");
    IBdsMenuBarService* bar = package->menuBar;
    HRESULT hr = bar->lpVtbl->AddMenuItem(bar, reference, MENU_ITEM_BEFORE, name, caption, 0, &package->item);
    SysFreeString(reference);
    SysFreeString(name);
    SysFreeString(caption);
    if (FAILED(hr) || !package->item) {
        package->item = NULL;
        Log(u"CPackage: could not add its menu item");
        return FAILED(hr) ? hr : E_FAIL;
    }
    IBdsToolBarControlEvents* sink = NewClickSink();
    if (!sink)
        return E_OUTOFMEMORY;
    /* The item holds its own reference to the sink. */
    hr = package->item->lpVtbl->RegisterEvents(package->item, sink);
    sink->lpVtbl->Release(sink);
    Log(SUCCEEDED(hr) ? u"CPackage: menu item added" : u"CPackage: click sink refused");
    return hr;
}

static HRESULT STDMETHODCALLTYPE Package_Finalize(IBdsPackage* This)
{
    Package* package = (Package*)This;
    HRESULT removed = S_FALSE;
    if (package->menuBar && package->item) {
        BSTR path = Text(CPACKAGE_ITEM_PATH);
        removed = package->menuBar->lpVtbl->RemoveMenuItem(package->menuBar, path);
        SysFreeString(path);
    }
    ReleaseHeld(package);
    if (removed == S_OK)
        Log(u"CPackage: Finalize, its menu item removed");
    else
        Log(FAILED(removed) ? u"CPackage: Finalize, its menu item not removed" : u"CPackage: Finalize");
    return S_OK;
}

static const IBdsPackageVtbl kPackageVtbl = {
    Package_QueryInterface, Package_AddRef,          Package_Release,
    Package_Initialize,     Package_OnServicesReady, Package_Finalize,
};

/* The class factory: one object for the process, counted through LockServer. */

static HRESULT STDMETHODCALLTYPE Factory_QueryInterface(IClassFactory* This, REFIID riid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = NULL;
    if (!SameGuid(riid, &kIidUnknown) && !SameGuid(riid, &kIidClassFactory))
        return E_NOINTERFACE;
    This->lpVtbl->AddRef(This);
    *out = This;
    return S_OK;
}

static ULONG STDMETHODCALLTYPE Factory_AddRef(IClassFactory* This)
{
    (void)This;
    return 2;
}

static ULONG STDMETHODCALLTYPE Factory_Release(IClassFactory* This)
{
    (void)This;
    return 1;
}

static HRESULT STDMETHODCALLTYPE Factory_CreateInstance(IClassFactory* This, IUnknown* outer, REFIID riid, void** out)
{
    (void)This;
    if (!out)
        return E_POINTER;
    *out = NULL;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    Package* package = calloc(1, sizeof *package);
    if (!package)
        return E_OUTOFMEMORY;
    package->iface.lpVtbl = &kPackageVtbl;
    atomic_init(&package->refs, 1);
    atomic_fetch_add(&g_live, 1);
    HRESULT hr = package->iface.lpVtbl->QueryInterface(&package->iface, riid, out);
    package->iface.lpVtbl->Release(&package->iface);
    return hr;
}

static HRESULT STDMETHODCALLTYPE Factory_LockServer(IClassFactory* This, BOOL lock)
{
    (void)This;
    atomic_fetch_add(&g_live, lock ? 1 : -1);
    return S_OK;
}

static const IClassFactoryVtbl kFactoryVtbl = {
    Factory_QueryInterface, Factory_AddRef, Factory_Release, Factory_CreateInstance, Factory_LockServer,
};
static IClassFactory g_factory = {&kFactoryVtbl};

/* The in-proc server entries. */

CPACKAGE_EXPORT HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = NULL;
    if (!SameGuid(rclsid, &CLSID_CPackage))
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.lpVtbl->QueryInterface(&g_factory, riid, out);
}

CPACKAGE_EXPORT HRESULT STDAPICALLTYPE DllCanUnloadNow(void) { return atomic_load(&g_live) == 0 ? S_OK : S_FALSE; }

static LSTATUS SetText(HKEY key, const WCHAR* name, const WCHAR* text)
{
    size_t length = 0;
    while (text[length])
        ++length;
    return RegSetValueExW(key, name, 0, REG_SZ, (const BYTE*)text, (DWORD)((length + 1) * sizeof(WCHAR)));
}

/* HKEY_CLASSES_ROOT\CLSID\{clsid}\InprocServer32 = this library, as regsvr32 leaves it. */
CPACKAGE_EXPORT HRESULT STDAPICALLTYPE DllRegisterServer(void)
{
    HMODULE module = NULL;
    WCHAR path[4096];
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            (LPCWSTR)(const void*)&g_factory, &module))
        return SELFREG_E_CLASS;
    DWORD length = GetModuleFileNameW(module, path, sizeof path / sizeof path[0]);
    if (length == 0 || length >= sizeof path / sizeof path[0])
        return SELFREG_E_CLASS;
    path[length] = 0;
    HKEY classKey = NULL;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, CPACKAGE_CLSID_KEY, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &classKey, NULL) !=
        ERROR_SUCCESS)
        return SELFREG_E_CLASS;
    LSTATUS status = SetText(classKey, NULL, u"Talvix C package");
    HKEY serverKey = NULL;
    if (status == ERROR_SUCCESS)
        status = RegCreateKeyExW(classKey, u"InprocServer32", 0, NULL, 0, KEY_ALL_ACCESS, NULL, &serverKey, NULL);
    if (status == ERROR_SUCCESS) {
        status = SetText(serverKey, NULL, path);
        if (status == ERROR_SUCCESS)
            status = SetText(serverKey, u"ThreadingModel", u"Apartment");
        RegCloseKey(serverKey);
    }
    RegCloseKey(classKey);
    return status == ERROR_SUCCESS ? S_OK : SELFREG_E_CLASS;
}

CPACKAGE_EXPORT HRESULT STDAPICALLTYPE DllUnregisterServer(void)
{
    LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, CPACKAGE_CLSID_KEY);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK : SELFREG_E_CLASS;
}
