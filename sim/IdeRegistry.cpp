#include "sim/IdeRegistry.h"

#include "interop/Bstr.h"

namespace tvx::sim {

void WriteRegistryText(HKEY root, const std::u16string& path, const char16_t* name, const std::u16string& value)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, AsOleChar(path.c_str()), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, AsOleChar(name), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   DWORD((value.size() + 1) * sizeof(char16_t)));
    RegCloseKey(key);
}

} // namespace tvx::sim
