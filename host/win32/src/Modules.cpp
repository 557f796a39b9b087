// LoadLibraryW and friends over the dynamic loader.
#include "host/win32/Kernel.h"
#include "host/win32/src/ModuleLoader.h"
#include "interop/Bstr.h"
#include "interop/Utf.h"

#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <cstring>
#include <string>

using tvx::win32::detail::LoadedModule;

namespace {

bool IsMainProgram(const LoadedModule& module) { return module.base == tvx::win32::detail::MainProgram().base; }

std::string BaseName(const std::string& path)
{
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Loaded modules matched by full path or by file name, as GetModuleHandleW does.
struct NameSearch {
    std::string name;
    const void* address = nullptr;
};

int MatchModule(dl_phdr_info* info, size_t, void* data)
{
    auto* search = static_cast<NameSearch*>(data);
    if (!info->dlpi_name || !*info->dlpi_name)
        return 0;
    std::string path = info->dlpi_name;
    if (path != search->name && BaseName(path) != search->name)
        return 0;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        if (info->dlpi_phdr[i].p_type == PT_LOAD) {
            search->address = reinterpret_cast<const void*>(info->dlpi_addr + info->dlpi_phdr[i].p_vaddr);
            return 1;
        }
    }
    return 0;
}

std::optional<LoadedModule> FindModule(LPCWSTR name)
{
    if (!name)
        return tvx::win32::detail::MainProgram();
    NameSearch search{tvx::Utf16ToUtf8(tvx::WideTextView(name))};
    if (search.name.empty())
        return std::nullopt;
    dl_iterate_phdr(MatchModule, &search);
    return tvx::win32::detail::ModuleContaining(search.address);
}

// Takes a further reference on a loaded module, as LoadLibraryW would.
bool AddModuleReference(const LoadedModule& module, bool pin)
{
    if (IsMainProgram(module))
        return true;
    void* again = ::dlopen(module.fileName.c_str(), RTLD_NOW | RTLD_NOLOAD | (pin ? RTLD_NODELETE : 0));
    return again != nullptr;
}

} // namespace

TVX_WIN32_API HMODULE LoadLibraryW(LPCWSTR lpLibFileName)
{
    if (!lpLibFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    DWORD error = ERROR_SUCCESS;
    void* library = tvx::win32::detail::OpenLibrary(tvx::WideTextView(lpLibFileName), &error);
    if (!library) {
        SetLastError(error);
        return nullptr;
    }
    auto module = tvx::win32::detail::ModuleOfLibrary(library);
    if (!module) {
        ::dlclose(library);
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return module->base;
}

TVX_WIN32_API FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName)
{
    auto module = hModule ? tvx::win32::detail::ModuleFromHandle(hModule) : tvx::win32::detail::MainProgram();
    if (!module || !module->base) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    // Exports are found by name only; an ordinal (a value below 64K) names nothing here.
    if (reinterpret_cast<std::uintptr_t>(lpProcName) <= 0xFFFF) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    void* symbol = tvx::win32::detail::OwnExport(module->library, lpProcName);
    if (!symbol) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

TVX_WIN32_API BOOL FreeLibrary(HMODULE hLibModule)
{
    auto module = tvx::win32::detail::ModuleFromHandle(hLibModule);
    if (!module) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return FALSE;
    }
    if (!IsMainProgram(*module))
        ::dlclose(module->library);
    return TRUE;
}

TVX_WIN32_API HMODULE GetModuleHandleW(LPCWSTR lpModuleName)
{
    auto module = FindModule(lpModuleName);
    if (!module) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return module->base;
}

TVX_WIN32_API BOOL GetModuleHandleExW(DWORD dwFlags, LPCWSTR lpModuleName, HMODULE* phModule)
{
    constexpr DWORD known = GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT |
                            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS;
    bool pin = dwFlags & GET_MODULE_HANDLE_EX_FLAG_PIN;
    bool unchanged = dwFlags & GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
    if (!phModule || (dwFlags & ~known) || (pin && unchanged)) {
        if (phModule)
            *phModule = nullptr;
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *phModule = nullptr;
    auto module = (dwFlags & GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS)
                      ? tvx::win32::detail::ModuleContaining(lpModuleName)
                      : FindModule(lpModuleName);
    if (!module || !module->base) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return FALSE;
    }
    if (!unchanged && !AddModuleReference(*module, pin)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return FALSE;
    }
    *phModule = module->base;
    return TRUE;
}

TVX_WIN32_API DWORD GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize)
{
    auto module = hModule ? tvx::win32::detail::ModuleFromHandle(hModule) : tvx::win32::detail::MainProgram();
    if (!module || module->fileName.empty()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (!lpFilename && nSize > 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::u16string path = tvx::Utf8ToUtf16(module->fileName);
    if (path.size() < nSize) {
        std::copy(path.begin(), path.end(), lpFilename);
        lpFilename[path.size()] = u'\0';
        return DWORD(path.size());
    }
    // Too small: truncated to nSize characters including the NUL, and nSize returned.
    if (nSize > 0) {
        std::copy(path.begin(), path.begin() + (nSize - 1), lpFilename);
        lpFilename[nSize - 1] = u'\0';
    }
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
}
