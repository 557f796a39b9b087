// Module resources: FindResourceW, LoadResource, SizeofResource and
// LockResource over the tables modules register while they are loaded.
#include "host/win32/Win32.h"
#include "tests/fixtures/FixtureSupport.h"

#include <memory>
#include <string_view>

namespace {

using namespace tvx::test;

const char kAlpha[] = "alpha data";
const char kSeven[] = "seven";
const TvxResourceEntry kTable[] = {
    {RT_RCDATA, u"Alpha", kAlpha, sizeof kAlpha},
    {u"Custom", MAKEINTRESOURCEW(7), kSeven, sizeof kSeven},
};

// The registered table for the length of a test.
struct ScopedTable {
    ScopedTable() { EXPECT_TRUE(TvxRegisterModuleResources(kTable, std::size(kTable))); }
    ~ScopedTable() { TvxUnregisterModuleResources(kTable); }
};

std::string_view ResourceBytes(HMODULE module, HRSRC info)
{
    auto* data = static_cast<const char*>(LockResource(LoadResource(module, info)));
    return data ? std::string_view(data, SizeofResource(module, info)) : std::string_view();
}

HMODULE ModuleOfAddress(const void* address)
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<LPCWSTR>(address), &module);
    return module;
}

// Catches names compared with case, integer ids and "#n" texts not treated
// alike, and a load that hands out other bytes or another size.
TEST(Resources, FoundIgnoringCaseAndByIdThenReadBack)
{
    ScopedTable table;
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC alpha = FindResourceW(nullptr, u"ALPHA", RT_RCDATA);
    ASSERT_NE(alpha, nullptr);
    EXPECT_EQ(FindResourceW(self, u"alpha", u"#10"), alpha);
    EXPECT_EQ(ResourceBytes(self, alpha), std::string_view(kAlpha, sizeof kAlpha));
    EXPECT_EQ(LockResource(LoadResource(nullptr, alpha)), static_cast<const void*>(kAlpha));
    EXPECT_FALSE(FreeResource(LoadResource(nullptr, alpha)));

    HRSRC seven = FindResourceW(nullptr, MAKEINTRESOURCEW(7), u"CUSTOM");
    ASSERT_NE(seven, nullptr);
    EXPECT_EQ(FindResourceW(nullptr, u"#7", u"custom"), seven);
    EXPECT_EQ(ResourceBytes(nullptr, seven), std::string_view(kSeven, sizeof kSeven));
}

// Catches failures without the Windows error, and resources that outlive
// their table.
TEST(Resources, MissingOnesSetTheWindowsError)
{
    {
        ScopedTable table;
        struct Case {
            const char* label;
            LPCWSTR name;
            LPCWSTR type;
            DWORD error;
        } const cases[] = {
            {"unknown type", u"Alpha", MAKEINTRESOURCEW(99), ERROR_RESOURCE_TYPE_NOT_FOUND},
            {"unknown name", u"Beta", RT_RCDATA, ERROR_RESOURCE_NAME_NOT_FOUND},
            {"unknown id", MAKEINTRESOURCEW(8), u"Custom", ERROR_RESOURCE_NAME_NOT_FOUND},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.label);
            SetLastError(0);
            EXPECT_EQ(FindResourceW(nullptr, c.name, c.type), nullptr);
            EXPECT_EQ(GetLastError(), c.error);
        }
        SetLastError(0);
        EXPECT_EQ(LoadResource(nullptr, reinterpret_cast<HRSRC>(const_cast<char*>(kAlpha))), nullptr);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    }
    EXPECT_EQ(FindResourceW(nullptr, u"Alpha", RT_RCDATA), nullptr);
}

// Catches a table registered in part, twice, or for data no module holds.
TEST(Resources, RegistrationIsAllOrNothing)
{
    ScopedTable table;
    static const TvxResourceEntry clash[] = {
        {RT_RCDATA, u"Gamma", kSeven, 1},
        {RT_RCDATA, u"ALPHA", kSeven, 1},
    };
    SetLastError(0);
    EXPECT_FALSE(TvxRegisterModuleResources(clash, std::size(clash)));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(FindResourceW(nullptr, u"Gamma", RT_RCDATA), nullptr);
    EXPECT_FALSE(TvxRegisterModuleResources(kTable, std::size(kTable)));

    auto heapData = std::make_unique<char[]>(4);
    const TvxResourceEntry onHeap[] = {{RT_RCDATA, u"Heap", heapData.get(), 4}};
    EXPECT_FALSE(TvxRegisterModuleResources(onHeap, 1));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

// Catches one module's resource answered for another, and a library's
// resources left behind when it unloads. Both tables come from the form
// resource build step.
TEST(Resources, EachModuleAnswersForItsOwn)
{
    HRSRC own = FindResourceW(nullptr, u"TSHAREDFORM", RT_RCDATA);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(ModuleOfAddress(LockResource(LoadResource(nullptr, own))), GetModuleHandleW(nullptr));
    EXPECT_EQ(FindResourceW(nullptr, u"TMODULEONLYFORM", RT_RCDATA), nullptr);

    HMODULE library = LoadLibraryW(FixturePath("TestResourceModule.so").c_str());
    ASSERT_NE(library, nullptr);
    HRSRC theirs = FindResourceW(library, u"TSHAREDFORM", RT_RCDATA);
    ASSERT_NE(theirs, nullptr);
    EXPECT_NE(theirs, own);
    EXPECT_EQ(ModuleOfAddress(LockResource(LoadResource(library, theirs))), library);
    EXPECT_EQ(ResourceBytes(library, theirs), ResourceBytes(nullptr, own));
    EXPECT_NE(FindResourceW(library, u"TModuleOnlyForm", RT_RCDATA), nullptr);
    EXPECT_EQ(LoadResource(nullptr, theirs), nullptr);

    EXPECT_TRUE(FreeLibrary(library));
    ASSERT_FALSE(IsLibraryLoaded(FixturePath("TestResourceModule.so")));
    EXPECT_EQ(FindResourceW(library, u"TSHAREDFORM", RT_RCDATA), nullptr);
    EXPECT_EQ(FindResourceW(nullptr, u"TSHAREDFORM", RT_RCDATA), own);
}

} // namespace
