// The COM runtime (ole32): apartments, class identifiers, class objects and
// in-proc servers registered under HKEY_CLASSES_ROOT\CLSID\{...}\InprocServer32.
#pragma once

#include "host/win32/WinTypes.h"

#if !defined(_WIN32)

#include <string>
#include <string_view>
#include <vector>

#define CLSCTX_INPROC_SERVER 0x1
#define CLSCTX_INPROC_HANDLER 0x2
#define CLSCTX_LOCAL_SERVER 0x4
#define CLSCTX_REMOTE_SERVER 0x10
#define CLSCTX_INPROC (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER)
#define CLSCTX_SERVER (CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER)
#define CLSCTX_ALL (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER)

#define COINIT_MULTITHREADED 0x0
#define COINIT_APARTMENTTHREADED 0x2
#define COINIT_DISABLE_OLE1DDE 0x4
#define COINIT_SPEED_OVER_MEMORY 0x8

#define REGCLS_SINGLEUSE 0
#define REGCLS_MULTIPLEUSE 1
#define REGCLS_MULTI_SEPARATE 2
#define REGCLS_SUSPENDED 4
#define REGCLS_SURROGATE 8

#ifndef RPC_E_CHANGED_MODE
#define RPC_E_CHANGED_MODE ((HRESULT)0x80010106)
#endif
#ifndef REGDB_E_WRITEREGDB
#define REGDB_E_WRITEREGDB ((HRESULT)0x80040151)
#endif
#ifndef CO_E_NOTINITIALIZED
#define CO_E_NOTINITIALIZED ((HRESULT)0x800401F0)
#endif
#ifndef CO_E_OBJNOTREG
#define CO_E_OBJNOTREG ((HRESULT)0x800401FB)
#endif

using LPIID = IID*;

// Only named by CoGetClassObject's signature; in-proc activation ignores it.
struct COSERVERINFO;

inline constexpr GUID GUID_NULL{};
inline constexpr CLSID CLSID_NULL{};

TVX_WIN32_API HRESULT CoInitialize(LPVOID pvReserved);
TVX_WIN32_API HRESULT CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit);
TVX_WIN32_API void CoUninitialize();

TVX_WIN32_API HRESULT CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext, REFIID riid,
                                       LPVOID* ppv);
TVX_WIN32_API HRESULT CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, COSERVERINFO* pServerInfo, REFIID riid,
                                       LPVOID* ppv);
TVX_WIN32_API HRESULT CoRegisterClassObject(REFCLSID rclsid, LPUNKNOWN pUnk, DWORD dwClsContext, DWORD flags,
                                            DWORD* lpdwRegister);
TVX_WIN32_API HRESULT CoRevokeClassObject(DWORD dwRegister);
TVX_WIN32_API void CoFreeUnusedLibraries();

TVX_WIN32_API LPVOID CoTaskMemAlloc(SIZE_T cb);
TVX_WIN32_API LPVOID CoTaskMemRealloc(LPVOID pv, SIZE_T cb);
TVX_WIN32_API void CoTaskMemFree(LPVOID pv);

TVX_WIN32_API HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid);
TVX_WIN32_API HRESULT CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID lpclsid);
TVX_WIN32_API HRESULT ProgIDFromCLSID(REFCLSID clsid, LPOLESTR* lplpszProgID);
TVX_WIN32_API HRESULT IIDFromString(LPCOLESTR lpsz, LPIID lpiid);
TVX_WIN32_API HRESULT StringFromCLSID(REFCLSID rclsid, LPOLESTR* lplpsz);
TVX_WIN32_API int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax);

#endif

#include <string_view>
#include <vector>

namespace tvx::win32 {

// What regsvr32 does: loads the library, calls its DllRegisterServer and
// unloads it again. Load failures come back as HRESULT_FROM_WIN32 of the
// LoadLibraryW error, a missing entry point as ERROR_PROC_NOT_FOUND.
TVX_VISIBLE HRESULT RegisterServer(std::u16string_view path);
// The same for DllUnregisterServer (regsvr32 /u).
TVX_VISIBLE HRESULT UnregisterServer(std::u16string_view path);

#if !defined(_WIN32)

// File names of the in-proc servers the COM runtime holds loaded, in load order.
TVX_VISIBLE std::vector<std::u16string> LoadedComServers();
#endif

} // namespace tvx::win32
