// Module resources over the tables that modules register while loaded.
#include "host/win32/Resources.h"
#include "host/win32/Kernel.h"
#include "host/win32/src/ModuleLoader.h"
#include "host/win32/src/RegistryStore.h"

#include <dlfcn.h>

#include <algorithm>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using tvx::win32::detail::LoadedModule;

// A resource type or name: an integer id, or a text folded to upper case.
struct ResourceId {
    WORD number = 0;
    std::u16string text;
    bool operator==(const ResourceId&) const = default;
};

ResourceId ToId(LPCWSTR value)
{
    if (IS_INTRESOURCE(value))
        return ResourceId{WORD(ULONG_PTR(value)), {}};
    std::u16string_view text(value);
    // "#123" names the integer id 123.
    if (text.size() > 1 && text.size() <= 6 && text[0] == u'#' &&
        std::all_of(text.begin() + 1, text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; })) {
        unsigned number = 0;
        for (char16_t c : text.substr(1))
            number = number * 10 + unsigned(c - u'0');
        if (number > 0 && number <= 0xFFFF)
            return ResourceId{WORD(number), {}};
    }
    return ResourceId{0, tvx::win32::detail::Fold(text)};
}

// Copied out of the module's table at registration, so that a table whose
// module went without unregistering is never read again.
struct Resource {
    const TvxResourceEntry* table;
    const TvxResourceEntry* entry; // the HRSRC
    HMODULE module;
    ResourceId type;
    ResourceId name;
    const void* data;
    DWORD size;
};

class ResourceTables {
public:
    DWORD Register(const TvxResourceEntry* table, std::size_t count)
    {
        std::vector<Resource> added;
        for (std::size_t i = 0; i < count; ++i) {
            const TvxResourceEntry& e = table[i];
            if (!e.Type || !e.Name || !e.Data)
                return ERROR_INVALID_PARAMETER;
            auto module = tvx::win32::detail::ModuleContaining(e.Data);
            if (!module || !module->base)
                return ERROR_INVALID_PARAMETER;
            added.push_back(Resource{table, &e, module->base, ToId(e.Type), ToId(e.Name), e.Data, e.Size});
        }
        std::lock_guard guard(lock_);
        for (auto it = added.begin(); it != added.end(); ++it)
            if (std::find_if(added.begin(), it, [&](const Resource& r) { return SameResource(r, *it); }) != it ||
                std::any_of(resources_.begin(), resources_.end(),
                            [&](const Resource& r) { return r.table == table || SameResource(r, *it); }))
                return ERROR_ALREADY_EXISTS;
        resources_.insert(resources_.end(), added.begin(), added.end());
        return ERROR_SUCCESS;
    }

    void Unregister(const TvxResourceEntry* table)
    {
        std::lock_guard guard(lock_);
        std::erase_if(resources_, [&](const Resource& r) { return r.table == table; });
    }

    // The resource's entry, or the error FindResourceW sets.
    const TvxResourceEntry* Find(HMODULE module, const ResourceId& type, const ResourceId& name, DWORD* error)
    {
        std::lock_guard guard(lock_);
        DropUnloaded(module);
        bool anyOfModule = false;
        bool anyOfType = false;
        for (const Resource& r : resources_) {
            if (r.module != module)
                continue;
            anyOfModule = true;
            if (r.type != type)
                continue;
            anyOfType = true;
            if (r.name == name)
                return r.entry;
        }
        *error = anyOfType ? ERROR_RESOURCE_NAME_NOT_FOUND
                           : (anyOfModule ? ERROR_RESOURCE_TYPE_NOT_FOUND : ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }

    std::optional<Resource> FromHandle(HMODULE module, HRSRC handle)
    {
        std::lock_guard guard(lock_);
        DropUnloaded(module);
        for (const Resource& r : resources_)
            if (r.module == module && reinterpret_cast<HRSRC>(const_cast<TvxResourceEntry*>(r.entry)) == handle)
                return r;
        return std::nullopt;
    }

private:
    static bool SameResource(const Resource& a, const Resource& b)
    {
        return a.module == b.module && a.type == b.type && a.name == b.name;
    }

    // A module that unloaded without unregistering left data behind that no
    // longer lies in it; forget its whole table.
    void DropUnloaded(HMODULE module) noexcept
    {
        for (;;) {
            auto stale = std::find_if(resources_.begin(), resources_.end(), [&](const Resource& r) {
                Dl_info info{};
                return r.module == module && (!::dladdr(r.data, &info) || info.dli_fbase != module);
            });
            if (stale == resources_.end())
                return;
            std::erase_if(resources_, [table = stale->table](const Resource& r) { return r.table == table; });
        }
    }

    std::mutex lock_;
    std::vector<Resource> resources_;
};

ResourceTables& Tables()
{
    // Never destroyed: modules unregister from their static destructors,
    // which may run after this library's own.
    static auto* tables = new ResourceTables;
    return *tables;
}

// The loaded module a handle names; null is the main program.
std::optional<HMODULE> ResolveModule(HMODULE handle)
{
    if (!handle)
        return tvx::win32::detail::MainProgram().base;
    if (auto module = tvx::win32::detail::ModuleFromHandle(handle))
        return module->base;
    return std::nullopt;
}

std::optional<Resource> ResourceOf(HMODULE hModule, HRSRC hResInfo)
{
    auto module = ResolveModule(hModule);
    auto resource = module && hResInfo ? Tables().FromHandle(*module, hResInfo) : std::nullopt;
    if (!resource)
        SetLastError(module ? ERROR_INVALID_HANDLE : ERROR_MOD_NOT_FOUND);
    return resource;
}

} // namespace

TVX_WIN32_API HRSRC FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType)
{
    auto module = ResolveModule(hModule);
    if (!module) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    DWORD error = ERROR_SUCCESS;
    const TvxResourceEntry* entry = Tables().Find(*module, ToId(lpType), ToId(lpName), &error);
    if (!entry) {
        SetLastError(error);
        return nullptr;
    }
    return reinterpret_cast<HRSRC>(const_cast<TvxResourceEntry*>(entry));
}

TVX_WIN32_API HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo)
{
    auto resource = ResourceOf(hModule, hResInfo);
    return resource ? const_cast<void*>(resource->data) : nullptr;
}

TVX_WIN32_API DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo)
{
    auto resource = ResourceOf(hModule, hResInfo);
    return resource ? resource->size : 0;
}

TVX_WIN32_API LPVOID LockResource(HGLOBAL hResData) { return hResData; }

TVX_WIN32_API BOOL FreeResource(HGLOBAL) { return FALSE; }

TVX_WIN32_API BOOL TvxRegisterModuleResources(const TvxResourceEntry* table, size_t count)
{
    if (!table || count == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD error = ERROR_NOT_ENOUGH_MEMORY;
    try {
        error = Tables().Register(table, count);
    } catch (...) {
    }
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}

TVX_WIN32_API void TvxUnregisterModuleResources(const TvxResourceEntry* table) { Tables().Unregister(table); }
