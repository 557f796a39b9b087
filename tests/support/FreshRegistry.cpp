#include "tests/support/TestSupport.h"

#if defined(_WIN32)

#include <cstdlib>
#include <string>

namespace tvx::test {

namespace {

// Below the real HKEY_CURRENT_USER, one folder per test process, so that
// tests running side by side never see each other's keys.
std::wstring ScratchPath() { return L"Software\\TalvixTests\\" + std::to_wstring(GetCurrentProcessId()); }

void RestorePredefinedKeys()
{
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT})
        RegOverridePredefKey(root, nullptr);
}

void RemoveScratchKeys()
{
    RestorePredefinedKeys();
    RegDeleteTreeW(HKEY_CURRENT_USER, ScratchPath().c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\TalvixTests");
}

HKEY CreateScratchKey(const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        ADD_FAILURE() << "cannot create the scratch registry key";
    return key;
}

} // namespace

void FreshRegistry()
{
    static const bool cleanupRegistered = (std::atexit(RemoveScratchKeys), true);
    (void)cleanupRegistered;
    RemoveScratchKeys();
    const std::wstring base = ScratchPath();
    HKEY user = CreateScratchKey(base + L"\\User");
    HKEY machine = CreateScratchKey(base + L"\\Machine");
    HKEY classes = CreateScratchKey(base + L"\\Machine\\SOFTWARE\\Classes");
    RegCloseKey(CreateScratchKey(base + L"\\Machine\\SYSTEM"));
    // The system keeps its own reference to an override's key.
    for (auto [root, key] : {std::pair{HKEY_CURRENT_USER, user}, std::pair{HKEY_LOCAL_MACHINE, machine},
                             std::pair{HKEY_CLASSES_ROOT, classes}}) {
        EXPECT_EQ(RegOverridePredefKey(root, key), ERROR_SUCCESS);
        RegCloseKey(key);
    }
}

} // namespace tvx::test

#else

#include "host/win32/RegistryEmulation.h"

namespace tvx::test {

void FreshRegistry() { win32::ResetRegistry(); }

} // namespace tvx::test

#endif
