// The system's message texts, from the system itself.
#include "host/win32/Kernel.h"

namespace tvx::win32 {

std::u16string SystemErrorMessage(HRESULT code)
{
    LPWSTR buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
                       nullptr, DWORD(code), 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    std::u16string text(reinterpret_cast<const char16_t*>(buffer), length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n' || text.back() == u' '))
        text.pop_back();
    return text;
}

// Windows gives only the error code, which the caller shows already.
std::string LastLibraryLoadDiagnostic() { return {}; }

} // namespace tvx::win32
