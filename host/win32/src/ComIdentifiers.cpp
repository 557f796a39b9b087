// Class and interface identifiers as text, ProgIDs, and the task allocator
// that hands such text to the caller.
#include "host/win32/ComRuntime.h"
#include "host/win32/src/ComRegistry.h"
#include "interop/Bstr.h"
#include "interop/Guid.h"

#include <algorithm>
#include <cstdlib>

namespace {

// CurVer chains are short; a loop in the registry must not hang the caller.
constexpr int kMaxCurVerHops = 8;

HRESULT ClsidOfProgId(std::u16string progId, CLSID* clsid)
{
    for (int hop = 0; hop < kMaxCurVerHops; ++hop) {
        // A backslash would walk into other keys.
        if (progId.empty() || progId.find(u'\\') != std::u16string::npos)
            return CO_E_CLASSSTRING;
        if (auto text = tvx::win32::detail::ReadRegistryText(HKEY_CLASSES_ROOT, progId + u"\\CLSID", nullptr)) {
            auto parsed = tvx::TryParseGuid(text->text);
            if (!parsed)
                return CO_E_CLASSSTRING;
            *clsid = *parsed;
            return S_OK;
        }
        auto current = tvx::win32::detail::ReadRegistryText(HKEY_CLASSES_ROOT, progId + u"\\CurVer", nullptr);
        if (!current)
            return CO_E_CLASSSTRING;
        progId = current->text;
    }
    return CO_E_CLASSSTRING;
}

HRESULT AllocTaskString(std::u16string_view text, LPOLESTR* out)
{
    auto* memory = static_cast<LPOLESTR>(CoTaskMemAlloc((text.size() + 1) * sizeof(OLECHAR)));
    if (!memory)
        return E_OUTOFMEMORY;
    std::copy(text.begin(), text.end(), memory);
    memory[text.size()] = u'\0';
    *out = memory;
    return S_OK;
}

} // namespace

TVX_WIN32_API LPVOID CoTaskMemAlloc(SIZE_T cb) { return std::malloc(cb ? cb : 1); }

TVX_WIN32_API LPVOID CoTaskMemRealloc(LPVOID pv, SIZE_T cb) { return std::realloc(pv, cb ? cb : 1); }

TVX_WIN32_API void CoTaskMemFree(LPVOID pv) { std::free(pv); }

// A braced GUID, or else a ProgID; whatever fails to name a class is a bad
// class string, whether malformed, unbraced or unregistered.
TVX_WIN32_API HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid)
{
    if (!pclsid)
        return E_INVALIDARG;
    *pclsid = CLSID_NULL;
    if (!lpsz)
        return S_OK;
    std::u16string_view text = tvx::WideTextView(lpsz);
    if (!text.empty() && text.front() == u'{') {
        auto parsed = tvx::TryParseGuid(text);
        if (!parsed)
            return CO_E_CLASSSTRING;
        *pclsid = *parsed;
        return S_OK;
    }
    HRESULT hr = CLSIDFromProgID(lpsz, pclsid);
    return SUCCEEDED(hr) ? hr : CO_E_CLASSSTRING;
}

TVX_WIN32_API HRESULT CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID lpclsid)
{
    if (!lpclsid)
        return E_INVALIDARG;
    *lpclsid = CLSID_NULL;
    if (!lpszProgID)
        return E_INVALIDARG;
    try {
        return ClsidOfProgId(std::u16string(tvx::WideTextView(lpszProgID)), lpclsid);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

TVX_WIN32_API HRESULT ProgIDFromCLSID(REFCLSID clsid, LPOLESTR* lplpszProgID)
{
    if (!lplpszProgID)
        return E_INVALIDARG;
    *lplpszProgID = nullptr;
    try {
        auto progId = tvx::win32::detail::ReadRegistryText(HKEY_CLASSES_ROOT,
                                                           u"CLSID\\" + tvx::FormatGuidW(clsid) + u"\\ProgID", nullptr);
        if (!progId || progId->text.empty())
            return REGDB_E_CLASSNOTREG;
        return AllocTaskString(progId->text, lplpszProgID);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

TVX_WIN32_API HRESULT IIDFromString(LPCOLESTR lpsz, LPIID lpiid)
{
    if (!lpiid)
        return E_INVALIDARG;
    *lpiid = GUID_NULL;
    if (!lpsz)
        return S_OK;
    auto parsed = tvx::TryParseGuid(tvx::WideTextView(lpsz));
    if (!parsed)
        return E_INVALIDARG;
    *lpiid = *parsed;
    return S_OK;
}

TVX_WIN32_API HRESULT StringFromCLSID(REFCLSID rclsid, LPOLESTR* lplpsz)
{
    if (!lplpsz)
        return E_INVALIDARG;
    *lplpsz = nullptr;
    try {
        return AllocTaskString(tvx::FormatGuidW(rclsid), lplpsz);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

TVX_WIN32_API int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax)
{
    constexpr int kBracedLength = 38;
    if (!lpsz || cchMax < kBracedLength + 1)
        return 0;
    try {
        std::string text = tvx::FormatGuid(rguid);
        std::copy(text.begin(), text.end(), lpsz);
        lpsz[kBracedLength] = u'\0';
        return kBracedLength + 1;
    } catch (...) {
        return 0;
    }
}
