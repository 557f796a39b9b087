// The dynamic loader behind LoadLibraryW, the COM runtime and RegisterServer.
#pragma once

#include "host/win32/Kernel.h"

#include <optional>
#include <string>
#include <string_view>

namespace tvx::win32::detail {

// dlopen with the Windows error code on failure (ERROR_MOD_NOT_FOUND,
// ERROR_BAD_EXE_FORMAT, ERROR_PROC_NOT_FOUND for an unresolved import) and the
// loader's text kept for LastLibraryLoadDiagnostic().
void* OpenLibrary(std::u16string_view path, DWORD* error);
void CloseLibrary(void* library) noexcept;

// An export of the library itself, not one found in the libraries it depends
// on, as GetProcAddress reads only the module's own export table.
void* OwnExport(void* library, const char* name) noexcept;

// A loaded module: its image base (the HMODULE), the loader's handle and file name.
struct LoadedModule {
    HMODULE base = nullptr;
    void* library = nullptr;
    std::string fileName;
};

// The module containing `address`, if any.
std::optional<LoadedModule> ModuleContaining(const void* address) noexcept;
std::optional<LoadedModule> ModuleOfLibrary(void* library) noexcept;
// Only an image base names a module, as only the base is an HMODULE on Windows.
std::optional<LoadedModule> ModuleFromHandle(HMODULE module) noexcept;
LoadedModule MainProgram() noexcept;

} // namespace tvx::win32::detail
