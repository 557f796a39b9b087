// Libraries and module handles: LoadLibraryW, GetProcAddress, FreeLibrary,
// GetModuleHandle(Ex)W and GetModuleFileNameW over the dynamic loader.
#include "host/win32/Win32.h"
#include "tests/fixtures/FixtureSupport.h"

namespace {

using namespace tvx::test;

class KernelModuleTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_FALSE(IsLibraryLoaded(TestComServerPath())); }
};

std::u16string ModuleFileName(HMODULE module)
{
    WCHAR buffer[4096];
    DWORD length = GetModuleFileNameW(module, buffer, 4096);
    return std::u16string(buffer, length);
}

// Catches handles that are not the module's, lookups that reach into the
// library's dependencies, and a FreeLibrary that does not unload.
TEST_F(KernelModuleTest, LoadedLibraryExportsItsOwnSymbolsUntilFreed)
{
    HMODULE module = LoadLibraryW(TestComServerPath().c_str());
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(LoadLibraryW(TestComServerPath().c_str()), module);
    EXPECT_EQ(GetModuleHandleW(u"TestComServer.so"), module);
    EXPECT_EQ(GetModuleHandleW(TestComServerPath().c_str()), module);
    EXPECT_NE(GetProcAddress(module, "DllGetClassObject"), nullptr);

    // SysAllocString is the win32 stand-in's, which the server only imports.
    for (const char* name : {"NoSuchExport", "SysAllocString"}) {
        SCOPED_TRACE(name);
        SetLastError(0);
        EXPECT_EQ(GetProcAddress(module, name), nullptr);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND));
    }
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_TRUE(IsLibraryLoaded(TestComServerPath()));
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_FALSE(IsLibraryLoaded(TestComServerPath()));
}

// Catches load failures reported with the wrong error code.
TEST_F(KernelModuleTest, LoadFailuresSetTheWindowsError)
{
    ScopedTempDir temp;
    struct Case {
        const char* label;
        std::u16string path;
        DWORD error;
    } const cases[] = {
        {"missing file", tvx::Utf8ToUtf16((temp.path() / "Missing.so").string()), ERROR_MOD_NOT_FOUND},
        {"not a library", temp.WriteFile("Text.so", "plain text"), ERROR_BAD_EXE_FORMAT},
        {"empty name", u"", ERROR_INVALID_PARAMETER},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        SetLastError(0);
        EXPECT_EQ(LoadLibraryW(c.path.c_str()), nullptr);
        EXPECT_EQ(GetLastError(), c.error);
        EXPECT_FALSE(tvx::win32::LastLibraryLoadDiagnostic().empty());
    }
}

// Catches a package unable to find its own module and path, the way its
// DllRegisterServer must, and a reference taken or not taken against the flags.
TEST_F(KernelModuleTest, ModuleFoundFromAnAddressInsideIt)
{
    HMODULE module = LoadLibraryW(TestComServerPath().c_str());
    ASSERT_NE(module, nullptr);
    auto address = reinterpret_cast<LPCWSTR>(GetProcAddress(module, "DllRegisterServer"));

    HMODULE found = SentinelPointer<HINSTANCE__>();
    ASSERT_TRUE(GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, address, &found));
    EXPECT_EQ(found, module);
    EXPECT_EQ(ModuleFileName(found), TestComServerPath());

    // Without UNCHANGED_REFCOUNT the caller owns one more reference.
    ASSERT_TRUE(GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, address, &found));
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_TRUE(IsLibraryLoaded(TestComServerPath()));
    EXPECT_TRUE(FreeLibrary(found));
}

// Catches the main program's name missing, and a short buffer overrun or left unterminated.
TEST_F(KernelModuleTest, ModuleFileNameTruncatesAsWindowsDoes)
{
    std::u16string program = ModuleFileName(nullptr);
    ASSERT_FALSE(program.empty());
    EXPECT_EQ(program.substr(program.rfind(u'/') + 1), u"tests_win32");
    EXPECT_EQ(ModuleFileName(GetModuleHandleW(nullptr)), program);

    WCHAR small[6] = {u'#', u'#', u'#', u'#', u'#', u'#'};
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameW(nullptr, small, 5), 5u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::u16string(small), program.substr(0, 4));
    EXPECT_EQ(small[5], u'#');
}

// Catches made-up handles accepted, which would crash the loader or free the wrong module.
TEST_F(KernelModuleTest, HandlesThatNameNoModuleAreRefused)
{
    int local = 0;
    HMODULE program = GetModuleHandleW(nullptr);
    const HMODULE bogus[] = {reinterpret_cast<HMODULE>(&local),
                             reinterpret_cast<HMODULE>(reinterpret_cast<char*>(program) + 16)};
    for (HMODULE handle : bogus) {
        WCHAR buffer[64];
        SetLastError(0);
        EXPECT_EQ(GetModuleFileNameW(handle, buffer, 64), 0u);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
        EXPECT_FALSE(FreeLibrary(handle));
        EXPECT_EQ(GetProcAddress(handle, "DllGetClassObject"), nullptr);
    }
    HMODULE found = SentinelPointer<HINSTANCE__>();
    EXPECT_FALSE(GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&local), &found));
    EXPECT_EQ(found, nullptr);
    EXPECT_EQ(GetModuleHandleW(u"NotLoaded.so"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
}

} // namespace
