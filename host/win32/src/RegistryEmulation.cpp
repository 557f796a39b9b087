// Set-up and checks of the emulated registry, for tests and the simulator.
#include "RegistryStore.h"

#include "host/win32/RegistryEmulation.h"

using namespace tvx::win32::detail;

namespace tvx::win32 {

void ResetRegistry()
{
    auto& store = RegistryStore::Instance();
    auto lock = store.Lock();
    store.Reset();
}

bool SetRegistryWriteDenied(HKEY root, std::u16string_view subKey, bool denied)
{
    auto& store = RegistryStore::Instance();
    auto lock = store.Lock();
    auto base = store.Root(root);
    std::vector<std::u16string_view> parts;
    if (!base || SplitKeyPath(subKey, parts) != ERROR_SUCCESS)
        return false;
    store.SetWriteDenied(*base, parts, denied);
    return true;
}

std::size_t OpenRegistryHandleCount()
{
    auto& store = RegistryStore::Instance();
    auto lock = store.Lock();
    return store.HandleCount();
}

} // namespace tvx::win32
