// The system's message texts (the English ones Windows ships) and FormatMessageW.
#include "host/win32/ComRuntime.h"
#include "host/win32/Kernel.h"
#include "host/win32/User.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

namespace {

struct SystemMessage {
    DWORD id;
    std::u16string_view text;
};

// Every text ends with the line break the message table stores.
constexpr SystemMessage kSystemMessages[] = {
    {ERROR_SUCCESS, u"The operation completed successfully.\r\n"},
    {ERROR_INVALID_FUNCTION, u"Incorrect function.\r\n"},
    {ERROR_FILE_NOT_FOUND, u"The system cannot find the file specified.\r\n"},
    {ERROR_PATH_NOT_FOUND, u"The system cannot find the path specified.\r\n"},
    {ERROR_ACCESS_DENIED, u"Access is denied.\r\n"},
    {ERROR_INVALID_HANDLE, u"The handle is invalid.\r\n"},
    {ERROR_NOT_ENOUGH_MEMORY, u"Not enough memory resources are available to process this command.\r\n"},
    {ERROR_BAD_FORMAT, u"An attempt was made to load a program with an incorrect format.\r\n"},
    {ERROR_INVALID_DATA, u"The data is invalid.\r\n"},
    {ERROR_OUTOFMEMORY, u"Not enough storage is available to complete this operation.\r\n"},
    {ERROR_INVALID_PARAMETER, u"The parameter is incorrect.\r\n"},
    {ERROR_CALL_NOT_IMPLEMENTED, u"This function is not supported on this system.\r\n"},
    {ERROR_INSUFFICIENT_BUFFER, u"The data area passed to a system call is too small.\r\n"},
    {ERROR_MOD_NOT_FOUND, u"The specified module could not be found.\r\n"},
    {ERROR_PROC_NOT_FOUND, u"The specified procedure could not be found.\r\n"},
    {ERROR_BAD_PATHNAME, u"The specified path is invalid.\r\n"},
    {ERROR_ALREADY_EXISTS, u"Cannot create a file when that file already exists.\r\n"},
    {ERROR_BAD_EXE_FORMAT, u"%1 is not a valid Win32 application.\r\n"},
    {ERROR_ENVVAR_NOT_FOUND, u"The system could not find the environment option that was entered.\r\n"},
    {ERROR_MORE_DATA, u"More data is available.\r\n"},
    {ERROR_NO_MORE_ITEMS, u"No more data is available.\r\n"},
    {ERROR_MR_MID_NOT_FOUND,
     u"The system cannot find message text for message number 0x%1 in the message file for %2.\r\n"},
    {ERROR_INVALID_FLAGS, u"Invalid flags.\r\n"},
    {ERROR_KEY_DELETED, u"Illegal operation attempted on a registry key that has been marked for deletion.\r\n"},
    {ERROR_CHILD_MUST_BE_VOLATILE, u"Cannot create a stable subkey under a volatile parent key.\r\n"},
    {ERROR_INVALID_MSGBOX_STYLE, u"Invalid message box style.\r\n"},
    {ERROR_RESOURCE_LANG_NOT_FOUND, u"The specified resource language ID cannot be found in the image file.\r\n"},
    {DWORD(E_NOTIMPL), u"Not implemented\r\n"},
    {DWORD(E_NOINTERFACE), u"No such interface supported\r\n"},
    {DWORD(E_POINTER), u"Invalid pointer\r\n"},
    {DWORD(E_ABORT), u"Operation aborted\r\n"},
    {DWORD(E_FAIL), u"Unspecified error\r\n"},
    {DWORD(E_UNEXPECTED), u"Catastrophic failure\r\n"},
    {DWORD(RPC_E_CHANGED_MODE), u"Cannot change thread mode after it is set.\r\n"},
    {DWORD(DISP_E_EXCEPTION), u"Exception occurred.\r\n"},
    {DWORD(CLASS_E_NOAGGREGATION), u"Class does not support aggregation (or class object is remote)\r\n"},
    {DWORD(CLASS_E_CLASSNOTAVAILABLE), u"ClassFactory cannot supply requested class\r\n"},
    {DWORD(REGDB_E_READREGDB), u"Could not read key from registry\r\n"},
    {DWORD(REGDB_E_WRITEREGDB), u"Could not write key to registry\r\n"},
    {DWORD(REGDB_E_CLASSNOTREG), u"Class not registered\r\n"},
    {DWORD(CO_E_NOTINITIALIZED), u"CoInitialize has not been called.\r\n"},
    {DWORD(CO_E_CLASSSTRING), u"Invalid class string\r\n"},
    {DWORD(CO_E_DLLNOTFOUND), u"DLL for class not found\r\n"},
    {DWORD(CO_E_ERRORINDLL), u"Error in the DLL\r\n"},
    {DWORD(CO_E_OBJNOTREG), u"Object is not registered\r\n"},
};

// An HRESULT of the Win32 facility reads as the Win32 code it wraps.
const std::u16string_view* FindSystemMessage(DWORD id)
{
    if ((id & 0xFFFF0000u) == 0x80070000u)
        id &= 0xFFFFu;
    for (const auto& message : kSystemMessages)
        if (message.id == id)
            return &message.text;
    return nullptr;
}

bool HasInserts(std::u16string_view text)
{
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == u'%' && text[i + 1] >= u'1' && text[i + 1] <= u'9')
            return true;
    return false;
}

// Inserts %1..%99 with their default !s! format: each argument is a wide string.
std::u16string InsertArguments(std::u16string_view text, bool argumentArray, va_list* arguments)
{
    auto argument = [&](int index) -> std::u16string_view {
        const OLECHAR* value = nullptr;
        if (argumentArray) {
            value = reinterpret_cast<const OLECHAR*>(reinterpret_cast<const DWORD_PTR*>(arguments)[index - 1]);
        } else {
            va_list copy;
            va_copy(copy, *arguments);
            for (int i = 1; i <= index; ++i)
                value = va_arg(copy, const OLECHAR*);
            va_end(copy);
        }
        return value ? std::u16string_view(value) : std::u16string_view();
    };
    std::u16string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'%' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        char16_t next = text[i + 1];
        if (next >= u'1' && next <= u'9') {
            int index = next - u'0';
            ++i;
            if (i + 1 < text.size() && text[i + 1] >= u'0' && text[i + 1] <= u'9')
                index = index * 10 + (text[++i] - u'0');
            out += argument(index);
        } else if (next == u'%') {
            out += u'%';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

DWORD Fail(DWORD error)
{
    SetLastError(error);
    return 0;
}

} // namespace

TVX_WIN32_API DWORD FormatMessageW(DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId, DWORD dwLanguageId,
                                   LPWSTR lpBuffer, DWORD nSize, va_list* Arguments)
{
    (void)lpSource;
    bool allocate = dwFlags & FORMAT_MESSAGE_ALLOCATE_BUFFER;
    if (allocate && lpBuffer)
        *reinterpret_cast<LPWSTR*>(lpBuffer) = nullptr;
    // Only the system's own table is here; a caller's string or module table is not.
    if (dwFlags & FORMAT_MESSAGE_FROM_STRING)
        return Fail(ERROR_CALL_NOT_IMPLEMENTED);
    if (!(dwFlags & FORMAT_MESSAGE_FROM_SYSTEM))
        return Fail((dwFlags & FORMAT_MESSAGE_FROM_HMODULE) ? ERROR_CALL_NOT_IMPLEMENTED : ERROR_INVALID_PARAMETER);
    if (!lpBuffer)
        return Fail(ERROR_INVALID_PARAMETER);
    WORD primary = PRIMARYLANGID(dwLanguageId);
    if (dwLanguageId != 0 && primary != LANG_NEUTRAL && primary != LANG_ENGLISH)
        return Fail(ERROR_RESOURCE_LANG_NOT_FOUND);
    const std::u16string_view* found = FindSystemMessage(dwMessageId);
    if (!found)
        return Fail(ERROR_MR_MID_NOT_FOUND);

    std::u16string text;
    try {
        if (!(dwFlags & FORMAT_MESSAGE_IGNORE_INSERTS) && HasInserts(*found)) {
            if (!Arguments)
                return Fail(ERROR_INVALID_PARAMETER);
            text = InsertArguments(*found, dwFlags & FORMAT_MESSAGE_ARGUMENT_ARRAY, Arguments);
        } else {
            text = std::u16string(*found);
        }
    } catch (...) {
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    }

    if (allocate) {
        // nSize is the least the caller wants allocated.
        std::size_t units = std::max<std::size_t>(text.size() + 1, nSize);
        auto* out = static_cast<LPWSTR>(LocalAlloc(LMEM_FIXED, units * sizeof(WCHAR)));
        if (!out)
            return Fail(ERROR_NOT_ENOUGH_MEMORY);
        std::copy(text.begin(), text.end(), out);
        out[text.size()] = u'\0';
        *reinterpret_cast<LPWSTR*>(lpBuffer) = out;
        return DWORD(text.size());
    }
    if (text.size() + 1 > nSize)
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    std::copy(text.begin(), text.end(), lpBuffer);
    lpBuffer[text.size()] = u'\0';
    return DWORD(text.size());
}

namespace tvx::win32 {

std::u16string SystemErrorMessage(HRESULT code)
{
    const std::u16string_view* found = FindSystemMessage(DWORD(code));
    if (!found)
        return {};
    std::u16string_view text = *found;
    while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n' || text.back() == u' '))
        text.remove_suffix(1);
    return std::u16string(text);
}

} // namespace tvx::win32
