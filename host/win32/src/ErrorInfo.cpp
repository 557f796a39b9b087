// Per-thread COM error info, as oleaut32 keeps it.
#include "interop/Bstr.h"
#include "interop/InterfacedObject.h"
#include "interop/IntfPtr.h"

#include <string>

namespace {

class ErrorInfo final : public tvx::Implements<ErrorInfo, IErrorInfo, ICreateErrorInfo> {
public:
    HRESULT STDMETHODCALLTYPE GetGUID(GUID* pGUID) override
    {
        if (!pGUID)
            return E_INVALIDARG;
        *pGUID = guid_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSource(BSTR* out) override { return Copy(source_, out); }
    HRESULT STDMETHODCALLTYPE GetDescription(BSTR* out) override { return Copy(description_, out); }
    HRESULT STDMETHODCALLTYPE GetHelpFile(BSTR* out) override { return Copy(helpFile_, out); }
    HRESULT STDMETHODCALLTYPE GetHelpContext(DWORD* out) override
    {
        if (!out)
            return E_INVALIDARG;
        *out = helpContext_;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE SetGUID(REFGUID rguid) override
    {
        guid_ = rguid;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetSource(LPOLESTR text) override { return Store(source_, text); }
    HRESULT STDMETHODCALLTYPE SetDescription(LPOLESTR text) override { return Store(description_, text); }
    HRESULT STDMETHODCALLTYPE SetHelpFile(LPOLESTR text) override { return Store(helpFile_, text); }
    HRESULT STDMETHODCALLTYPE SetHelpContext(DWORD context) override
    {
        helpContext_ = context;
        return S_OK;
    }

private:
    static HRESULT Copy(const std::u16string& text, BSTR* out)
    {
        if (!out)
            return E_INVALIDARG;
        *out = SysAllocStringLen(tvx::AsOleChar(text.data()), UINT(text.size()));
        return *out ? S_OK : E_OUTOFMEMORY;
    }
    static HRESULT Store(std::u16string& field, LPOLESTR text)
    {
        field = std::u16string(tvx::WideTextView(text));
        return S_OK;
    }

    GUID guid_{};
    std::u16string source_, description_, helpFile_;
    DWORD helpContext_ = 0;
};

thread_local tvx::IntfPtr<IErrorInfo> currentErrorInfo;

} // namespace

TVX_WIN32_API HRESULT CreateErrorInfo(ICreateErrorInfo** pperrinfo)
{
    if (!pperrinfo)
        return E_INVALIDARG;
    *pperrinfo = tvx::NewInterface<ErrorInfo, ICreateErrorInfo>();
    return S_OK;
}

TVX_WIN32_API HRESULT SetErrorInfo(ULONG dwReserved, IErrorInfo* perrinfo)
{
    if (dwReserved != 0)
        return E_INVALIDARG;
    currentErrorInfo = perrinfo;
    return S_OK;
}

// Hands the thread's error info to the caller and clears it.
TVX_WIN32_API HRESULT GetErrorInfo(ULONG dwReserved, IErrorInfo** pperrinfo)
{
    if (!pperrinfo || dwReserved != 0)
        return E_INVALIDARG;
    *pperrinfo = currentErrorInfo.detach();
    return *pperrinfo ? S_OK : S_FALSE;
}
