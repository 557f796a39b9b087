// BSTR allocator with the system's memory layout: a 32-bit byte length just
// before the text, and a 16-bit NUL just after it.
#include "interop/ComBase.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr std::size_t kPrefix = sizeof(std::uint32_t);

BSTR AllocBytes(const void* data, std::size_t bytes)
{
    // The byte length must fit the 32-bit prefix, as on Windows.
    if (bytes > 0xFFFFFFF0u - kPrefix - sizeof(OLECHAR))
        return nullptr;
    auto* block = static_cast<unsigned char*>(std::malloc(kPrefix + bytes + sizeof(OLECHAR)));
    if (!block)
        return nullptr;
    std::uint32_t length = std::uint32_t(bytes);
    std::memcpy(block, &length, kPrefix);
    if (data)
        std::memcpy(block + kPrefix, data, bytes);
    else
        std::memset(block + kPrefix, 0, bytes);
    std::memset(block + kPrefix + bytes, 0, sizeof(OLECHAR));
    return reinterpret_cast<BSTR>(block + kPrefix);
}

std::size_t TextLength(const OLECHAR* p)
{
    std::size_t n = 0;
    while (p[n])
        ++n;
    return n;
}

} // namespace

TVX_WIN32_API BSTR SysAllocString(const OLECHAR* psz)
{
    if (!psz)
        return nullptr;
    return AllocBytes(psz, TextLength(psz) * sizeof(OLECHAR));
}

TVX_WIN32_API BSTR SysAllocStringLen(const OLECHAR* strIn, UINT ui)
{
    return AllocBytes(strIn, std::size_t(ui) * sizeof(OLECHAR));
}

TVX_WIN32_API BSTR SysAllocStringByteLen(const char* psz, UINT len) { return AllocBytes(psz, len); }

TVX_WIN32_API INT SysReAllocStringLen(BSTR* pbstr, const OLECHAR* psz, UINT len)
{
    if (!pbstr)
        return FALSE;
    // psz may point into the old string: copy before freeing.
    BSTR fresh = AllocBytes(psz, std::size_t(len) * sizeof(OLECHAR));
    if (!fresh)
        return FALSE;
    SysFreeString(*pbstr);
    *pbstr = fresh;
    return TRUE;
}

TVX_WIN32_API INT SysReAllocString(BSTR* pbstr, const OLECHAR* psz)
{
    if (!pbstr)
        return FALSE;
    BSTR fresh = SysAllocString(psz);
    if (psz && !fresh)
        return FALSE;
    SysFreeString(*pbstr);
    *pbstr = fresh;
    return TRUE;
}

TVX_WIN32_API void SysFreeString(BSTR bstrString)
{
    if (bstrString)
        std::free(reinterpret_cast<unsigned char*>(bstrString) - kPrefix);
}

TVX_WIN32_API UINT SysStringByteLen(BSTR bstr)
{
    if (!bstr)
        return 0;
    std::uint32_t length;
    std::memcpy(&length, reinterpret_cast<unsigned char*>(bstr) - kPrefix, kPrefix);
    return length;
}

TVX_WIN32_API UINT SysStringLen(BSTR pbstr) { return SysStringByteLen(pbstr) / sizeof(OLECHAR); }
