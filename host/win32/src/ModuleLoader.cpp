// HMODULE values are image bases, as on Windows; the loader's own handle for a
// module is found again through dladdr, which also proves the module is loaded.
#include "host/win32/src/ModuleLoader.h"
#include "interop/Utf.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

namespace tvx::win32 {
namespace {

thread_local std::string loadDiagnostic;

DWORD ClassifyLoadFailure(const std::string& path, const std::string& message)
{
    struct stat info {};
    bool exists = ::stat(path.c_str(), &info) == 0;
    if (message.find("undefined symbol") != std::string::npos)
        return ERROR_PROC_NOT_FOUND;
    if (exists && (message.find("invalid ELF header") != std::string::npos ||
                   message.find("file too short") != std::string::npos ||
                   message.find("wrong ELF class") != std::string::npos || S_ISDIR(info.st_mode)))
        return ERROR_BAD_EXE_FORMAT;
    return ERROR_MOD_NOT_FOUND;
}

// dladdr reports the main program under the name it was started with.
std::string ExecutablePath()
{
    char buffer[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, std::size_t(n)) : std::string();
}

std::string AbsolutePath(const char* name)
{
    if (!name || !*name)
        return {};
    if (name[0] == '/')
        return name;
    char buffer[PATH_MAX];
    return ::realpath(name, buffer) ? std::string(buffer) : std::string(name);
}

} // namespace

std::string LastLibraryLoadDiagnostic() { return loadDiagnostic; }

namespace detail {

void* OpenLibrary(std::u16string_view path, DWORD* error)
{
    *error = ERROR_SUCCESS;
    std::string file = Utf16ToUtf8(path);
    // An empty name would hand back the main program.
    if (file.empty() || file.find('\0') != std::string::npos) {
        loadDiagnostic = "empty or malformed library name";
        *error = ERROR_INVALID_PARAMETER;
        return nullptr;
    }
    if (void* library = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL)) {
        loadDiagnostic.clear();
        return library;
    }
    const char* message = ::dlerror();
    loadDiagnostic = message ? message : "unknown loader error";
    *error = ClassifyLoadFailure(file, loadDiagnostic);
    return nullptr;
}

void CloseLibrary(void* library) noexcept
{
    if (library)
        ::dlclose(library);
}

void* OwnExport(void* library, const char* name) noexcept
{
    if (!library || !name)
        return nullptr;
    void* symbol = ::dlsym(library, name);
    if (!symbol)
        return nullptr;
    auto owner = ModuleContaining(symbol);
    auto self = ModuleOfLibrary(library);
    if (!owner || !self || owner->base != self->base)
        return nullptr;
    return symbol;
}

std::optional<LoadedModule> ModuleContaining(const void* address) noexcept
{
    Dl_info info{};
    link_map* map = nullptr;
    if (!address || !::dladdr1(address, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) || !map)
        return std::nullopt;
    try {
        LoadedModule module;
        module.base = static_cast<HMODULE>(info.dli_fbase);
        // glibc's dlopen handle is the module's link map.
        module.library = map;
        bool isMain = map->l_name == nullptr || map->l_name[0] == '\0';
        module.fileName = isMain ? ExecutablePath() : AbsolutePath(map->l_name);
        return module;
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<LoadedModule> ModuleOfLibrary(void* library) noexcept
{
    link_map* map = nullptr;
    if (!library || ::dlinfo(library, RTLD_DI_LINKMAP, &map) != 0 || !map)
        return std::nullopt;
    return ModuleContaining(map->l_ld);
}

std::optional<LoadedModule> ModuleFromHandle(HMODULE module) noexcept
{
    auto found = ModuleContaining(module);
    if (!found || found->base != module)
        return std::nullopt;
    return found;
}

LoadedModule MainProgram() noexcept
{
    void* self = ::dlopen(nullptr, RTLD_NOW);
    auto module = ModuleOfLibrary(self);
    ::dlclose(self);
    return module ? *module : LoadedModule{};
}

} // namespace detail
} // namespace tvx::win32
