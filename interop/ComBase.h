// COM ABI types. On Windows they come from the system headers; elsewhere they
// are declared here with the same sizes and layout, and the OLE functions are
// provided by the win32 stand-in library.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)

#include <objbase.h>
#include <oleauto.h>
#include <olectl.h>
#include <windows.h>

#define TVX_WIN32_API extern "C"
#define TVX_VISIBLE
#define TVX_EXPORT extern "C" __declspec(dllexport)

#else

#define TVX_VISIBLE __attribute__((visibility("default")))
#define TVX_WIN32_API extern "C" TVX_VISIBLE
#define TVX_EXPORT extern "C" TVX_VISIBLE

#define STDMETHODCALLTYPE
#define STDAPICALLTYPE
#define WINAPI
#define CALLBACK

using HRESULT = std::int32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using BYTE = std::uint8_t;
using BOOL = std::int32_t;
using UINT = std::uint32_t;
using INT = std::int32_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using ULONG_PTR = std::uintptr_t;
using DWORD_PTR = std::uintptr_t;
using SIZE_T = std::size_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;
using LPVOID = void*;
using LPCVOID = const void*;

using OLECHAR = char16_t;
using WCHAR = char16_t;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;
using BSTR = OLECHAR*;
using VARIANT_BOOL = std::int16_t;

#define TRUE 1
#define FALSE 0
#define VARIANT_TRUE ((VARIANT_BOOL)-1)
#define VARIANT_FALSE ((VARIANT_BOOL)0)

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;
using LPCLSID = CLSID*;

inline bool operator==(const GUID& a, const GUID& b) noexcept
{
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
        return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i])
            return false;
    return true;
}
inline bool operator!=(const GUID& a, const GUID& b) noexcept { return !(a == b); }

#define MAKE_HRESULT(sev, fac, code)                                                                                   \
    ((HRESULT)(((unsigned long)(sev) << 31) | ((unsigned long)(fac) << 16) | ((unsigned long)(code))))
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)
#define HRESULT_CODE(hr) ((hr)&0xFFFF)
#define HRESULT_FACILITY(hr) (((hr) >> 16) & 0x1fff)
#define FACILITY_WIN32 7
#define HRESULT_FROM_WIN32(x)                                                                                          \
    ((HRESULT)(x) <= 0 ? ((HRESULT)(x)) : ((HRESULT)(((x)&0x0000FFFF) | (FACILITY_WIN32 << 16) | 0x80000000)))

#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)
#define E_NOTIMPL ((HRESULT)0x80004001)
#define E_NOINTERFACE ((HRESULT)0x80004002)
#define E_POINTER ((HRESULT)0x80004003)
#define E_ABORT ((HRESULT)0x80004004)
#define E_FAIL ((HRESULT)0x80004005)
#define E_UNEXPECTED ((HRESULT)0x8000FFFF)
#define E_ACCESSDENIED ((HRESULT)0x80070005)
#define E_HANDLE ((HRESULT)0x80070006)
#define E_OUTOFMEMORY ((HRESULT)0x8007000E)
#define E_INVALIDARG ((HRESULT)0x80070057)
#define CLASS_E_NOAGGREGATION ((HRESULT)0x80040110)
#define CLASS_E_CLASSNOTAVAILABLE ((HRESULT)0x80040111)
#define REGDB_E_CLASSNOTREG ((HRESULT)0x80040154)
#define REGDB_E_READREGDB ((HRESULT)0x80040150)
#define CO_E_CLASSSTRING ((HRESULT)0x800401F3)
#define CO_E_ERRORINDLL ((HRESULT)0x800401F9)
#define CO_E_DLLNOTFOUND ((HRESULT)0x800401F8)
#define SELFREG_E_CLASS ((HRESULT)0x80040201)
#define DISP_E_EXCEPTION ((HRESULT)0x80020009)

struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;
};
using LPUNKNOWN = IUnknown*;

struct IClassFactory : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) = 0;
    virtual HRESULT STDMETHODCALLTYPE LockServer(BOOL fLock) = 0;
};

struct IErrorInfo : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetGUID(GUID* pGUID) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSource(BSTR* pBstrSource) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDescription(BSTR* pBstrDescription) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetHelpFile(BSTR* pBstrHelpFile) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetHelpContext(DWORD* pdwHelpContext) = 0;
};

struct ICreateErrorInfo : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetGUID(REFGUID rguid) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSource(LPOLESTR szSource) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetDescription(LPOLESTR szDescription) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetHelpFile(LPOLESTR szHelpFile) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetHelpContext(DWORD dwHelpContext) = 0;
};

// The standard stream interface only passes through this system (file
// systems and filters hand it to the host unwrapped); its methods are never
// called here, so it is declared without them.
struct IStream : IUnknown {};

// BSTR allocator (oleaut32).
TVX_WIN32_API BSTR SysAllocString(const OLECHAR* psz);
TVX_WIN32_API BSTR SysAllocStringLen(const OLECHAR* strIn, UINT ui);
TVX_WIN32_API BSTR SysAllocStringByteLen(const char* psz, UINT len);
TVX_WIN32_API INT SysReAllocString(BSTR* pbstr, const OLECHAR* psz);
TVX_WIN32_API INT SysReAllocStringLen(BSTR* pbstr, const OLECHAR* psz, UINT len);
TVX_WIN32_API void SysFreeString(BSTR bstrString);
TVX_WIN32_API UINT SysStringLen(BSTR pbstr);
TVX_WIN32_API UINT SysStringByteLen(BSTR bstr);

namespace tvx::win32 {
// Records an object that lives until the process ends (see LifetimeRegistry).
TVX_VISIBLE void KeepForProcessLifetime(const void* object);
} // namespace tvx::win32

// Error info (oleaut32), per thread.
TVX_WIN32_API HRESULT SetErrorInfo(ULONG dwReserved, IErrorInfo* perrinfo);
TVX_WIN32_API HRESULT GetErrorInfo(ULONG dwReserved, IErrorInfo** pperrinfo);
TVX_WIN32_API HRESULT CreateErrorInfo(ICreateErrorInfo** pperrinfo);

#endif
