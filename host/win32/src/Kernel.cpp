// Last error, debugger output, environment expansion, file attributes and
// local memory.
#include "host/win32/Kernel.h"
#include "host/win32/src/RecorderState.h"
#include "interop/Bstr.h"
#include "interop/Utf.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

extern char** environ;

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

// Windows names variables without regard to case; the exact spelling wins here.
std::optional<std::string> EnvironmentVariable(const std::string& name)
{
    if (const char* value = std::getenv(name.c_str()))
        return std::string(value);
    for (char** entry = environ; entry && *entry; ++entry) {
        std::string_view text(*entry);
        auto equals = text.find('=');
        if (equals != std::string_view::npos && EqualIgnoringAsciiCase(text.substr(0, equals), name))
            return std::string(text.substr(equals + 1));
    }
    return std::nullopt;
}

std::u16string ExpandEnvironment(std::u16string_view source)
{
    std::u16string out;
    std::size_t pos = 0;
    while (pos < source.size()) {
        std::size_t open = source.find(u'%', pos);
        std::size_t close = open == std::u16string_view::npos ? open : source.find(u'%', open + 1);
        if (close == std::u16string_view::npos) {
            out.append(source.substr(pos));
            break;
        }
        out.append(source.substr(pos, open - pos));
        std::u16string_view name = source.substr(open + 1, close - open - 1);
        std::optional<std::string> value;
        if (!name.empty())
            value = EnvironmentVariable(tvx::Utf16ToUtf8(name));
        // Unknown variables stay as written, percent signs included.
        out.append(value ? tvx::Utf8ToUtf16(*value) : std::u16string(source.substr(open, close - open + 1)));
        pos = close + 1;
    }
    return out;
}

DWORD MissingFileError(const std::string& path)
{
    auto slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0)
        return ERROR_FILE_NOT_FOUND;
    struct stat parent {};
    bool parentIsDirectory = ::stat(path.substr(0, slash).c_str(), &parent) == 0 && S_ISDIR(parent.st_mode);
    return parentIsDirectory ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

} // namespace

TVX_WIN32_API DWORD GetLastError() { return lastError; }
TVX_WIN32_API void SetLastError(DWORD dwErrCode) { lastError = dwErrCode; }

TVX_WIN32_API void OutputDebugStringW(LPCWSTR lpOutputString)
{
    if (!lpOutputString)
        return;
    try {
        tvx::win32::detail::RecordDebugString(std::u16string(tvx::WideTextView(lpOutputString)));
    } catch (...) {
        // Debugger output is best effort, as it is when no debugger listens.
    }
}

TVX_WIN32_API DWORD ExpandEnvironmentStringsW(LPCWSTR lpSrc, LPWSTR lpDst, DWORD nSize)
{
    if (!lpSrc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::u16string expanded;
    try {
        expanded = ExpandEnvironment(tvx::WideTextView(lpSrc));
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    // The result counts the terminating NUL; a short buffer gets nothing and
    // learns the size it needs.
    DWORD needed = DWORD(expanded.size() + 1);
    if (lpDst && nSize >= needed) {
        std::copy(expanded.begin(), expanded.end(), lpDst);
        lpDst[expanded.size()] = u'\0';
    }
    return needed;
}

TVX_WIN32_API DWORD GetFileAttributesW(LPCWSTR lpFileName)
{
    if (!lpFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_FILE_ATTRIBUTES;
    }
    std::string path = tvx::Utf16ToUtf8(tvx::WideTextView(lpFileName));
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) {
        int error = errno;
        SetLastError(path.empty()       ? ERROR_PATH_NOT_FOUND
                     : error == EACCES  ? ERROR_ACCESS_DENIED
                     : error == ENOTDIR ? ERROR_PATH_NOT_FOUND
                                        : MissingFileError(path));
        return INVALID_FILE_ATTRIBUTES;
    }
    DWORD attributes = 0;
    if (S_ISDIR(info.st_mode))
        attributes |= FILE_ATTRIBUTE_DIRECTORY;
    if (!(info.st_mode & S_IWUSR))
        attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

TVX_WIN32_API HLOCAL LocalAlloc(UINT uFlags, SIZE_T uBytes)
{
    // Movable memory needs LocalLock, which nothing here uses.
    if (uFlags & ~UINT(LMEM_ZEROINIT)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::size_t size = uBytes ? uBytes : 1;
    void* memory = (uFlags & LMEM_ZEROINIT) ? std::calloc(1, size) : std::malloc(size);
    if (!memory)
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return memory;
}

TVX_WIN32_API HLOCAL LocalFree(HLOCAL hMem)
{
    std::free(hMem);
    return nullptr;
}
