#include "host/vcl/Registry.h"
#include "host/vcl/StringList.h"
#include "host/win32/RegistryEmulation.h"
#include "tests/support/TestSupport.h"

#include <cstring>
#include <vector>

namespace {

constexpr char16_t kBase[] = u"Software\\Talvix\\Test";

// Writes a value through the Win32 functions, creating the key.
void Put(std::u16string_view key, std::u16string_view name, DWORD type, const void* data, DWORD size)
{
    HKEY h = nullptr;
    String k(key);
    String n(name);
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, k.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, &h, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(h, n.c_str(), 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(h);
}

void PutText(std::u16string_view key, std::u16string_view name, std::u16string_view text, DWORD type = REG_SZ)
{
    String t(text);
    Put(key, name, type, t.c_str(), DWORD((t.size() + 1) * sizeof(char16_t)));
}

void PutDword(std::u16string_view key, std::u16string_view name, std::int32_t value)
{
    Put(key, name, REG_DWORD, &value, sizeof(value));
}

template <class F>
String RegistryErrorOf(F&& f)
{
    try {
        f();
    } catch (const ERegistryException& e) {
        return e.Message();
    }
    return u"no error";
}

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tvx::win32::ResetRegistry();
        handlesBefore_ = tvx::win32::OpenRegistryHandleCount();
        reg = new TRegistry();
        reg->SetRootKey(HKEY_LOCAL_MACHINE);
    }
    void TearDown() override
    {
        FreeAndNil(reg);
        EXPECT_EQ(tvx::win32::OpenRegistryHandleCount(), handlesBefore_) << "registry handles left open";
    }
    TRegistry* reg = nullptr;

private:
    std::size_t handlesBefore_ = 0;
};

} // namespace

// Catches expanded or truncated text, and the default value missed.
TEST_F(RegistryTest, ReadsStringAndUnexpandedExpandString)
{
    PutText(kBase, u"", u"Demo package");
    PutText(kBase, u"Path", u"%ProgramFiles%\\Talvix", REG_EXPAND_SZ);
    ASSERT_TRUE(reg->OpenKeyReadOnly(kBase));
    EXPECT_EQ(reg->ReadString(u""), u"Demo package");
    EXPECT_EQ(reg->ReadString(u"Path"), u"%ProgramFiles%\\Talvix");
    EXPECT_EQ(reg->GetDataType(u"Path"), rdExpandString);
}

// Catches text read past its NUL, or lost when stored without one.
TEST_F(RegistryTest, StringEndsAtItsFirstNulOrItsSize)
{
    const char16_t embedded[] = u"first\0second";
    Put(kBase, u"Embedded", REG_SZ, embedded, sizeof(embedded));
    Put(kBase, u"Unterminated", REG_SZ, u"abc", 6);
    ASSERT_TRUE(reg->OpenKeyReadOnly(kBase));
    EXPECT_EQ(reg->ReadString(u"Embedded"), u"first");
    EXPECT_EQ(reg->ReadString(u"Unterminated"), u"abc");
}

// Catches a missing value raising, or another type read as text.
TEST_F(RegistryTest, StringOfOtherTypeRaisesAndMissingReadsEmpty)
{
    PutDword(kBase, u"Count", 3);
    const char16_t multi[] = u"a\0b\0";
    Put(kBase, u"List", REG_MULTI_SZ, multi, sizeof(multi));
    ASSERT_TRUE(reg->OpenKeyReadOnly(kBase));
    EXPECT_EQ(reg->ReadString(u"Missing"), u"");
    EXPECT_EQ(RegistryErrorOf([&] { reg->ReadString(u"Count"); }), u"Invalid data type for 'Count'");
    EXPECT_EQ(RegistryErrorOf([&] { reg->ReadString(u"List"); }), u"Invalid data type for 'List'");
}

// Catches integers read from the wrong type or size, or a missing value
// read as zero.
TEST_F(RegistryTest, IntegerNeedsAFourByteDword)
{
    PutDword(kBase, u"LoadOrder", -5);
    PutText(kBase, u"Text", u"12");
    std::int32_t four = 4;
    Put(kBase, u"Binary", REG_BINARY, &four, 4);
    Put(kBase, u"Short", REG_DWORD, &four, 2);
    ASSERT_TRUE(reg->OpenKeyReadOnly(kBase));
    EXPECT_EQ(reg->ReadInteger(u"LoadOrder"), -5);
    EXPECT_EQ(RegistryErrorOf([&] { reg->ReadInteger(u"Missing"); }), u"Failed to get data for 'Missing'");
    EXPECT_EQ(RegistryErrorOf([&] { reg->ReadInteger(u"Text"); }), u"Invalid data type for 'Text'");
    EXPECT_EQ(RegistryErrorOf([&] { reg->ReadInteger(u"Binary"); }), u"Invalid data type for 'Binary'");
    EXPECT_EQ(RegistryErrorOf([&] { reg->ReadInteger(u"Short"); }), u"Invalid data type for 'Short'");
}

// Catches value queries that disagree with what is stored.
TEST_F(RegistryTest, ValueInfoReflectsTheStoredValue)
{
    PutDword(kBase, u"LoadOrder", 1);
    ASSERT_TRUE(reg->OpenKeyReadOnly(kBase));
    EXPECT_TRUE(reg->ValueExists(u"loadorder"));
    EXPECT_FALSE(reg->ValueExists(u"Missing"));
    EXPECT_EQ(reg->GetDataType(u"LoadOrder"), rdInteger);
    EXPECT_EQ(reg->GetDataSize(u"LoadOrder"), 4);
    EXPECT_EQ(reg->GetDataSize(u"Missing"), -1);
    EXPECT_EQ(reg->GetDataType(u"Missing"), rdUnknown);
}

// Catches a failed open that still changes the current key, or a create
// that does not create.
TEST_F(RegistryTest, OpenKeyCreatesOnlyWhenAsked)
{
    EXPECT_FALSE(reg->OpenKey(u"Software\\Missing", false));
    EXPECT_EQ(reg->CurrentKey(), nullptr);
    EXPECT_FALSE(reg->KeyExists(u"Software\\Missing"));
    EXPECT_TRUE(reg->OpenKey(u"Software\\Missing", true));
    EXPECT_NE(reg->CurrentKey(), nullptr);
    reg->CloseKey();
    EXPECT_TRUE(reg->KeyExists(u"Software\\Missing"));
}

// Catches paths resolved against the wrong base: relative to the open key,
// absolute with a leading backslash.
TEST_F(RegistryTest, RelativeAndAbsolutePaths)
{
    PutText(u"Software\\Talvix\\Test\\Inner", u"Where", u"inner");
    PutText(u"Software\\Other", u"Where", u"other");
    ASSERT_TRUE(reg->OpenKey(u"Software\\Talvix", false));
    ASSERT_TRUE(reg->OpenKey(u"Test\\Inner", false));
    EXPECT_EQ(reg->CurrentPath(), u"Software\\Talvix\\Test\\Inner");
    EXPECT_EQ(reg->ReadString(u"Where"), u"inner");
    EXPECT_TRUE(reg->KeyExists(u"\\Software\\Other"));
    EXPECT_FALSE(reg->KeyExists(u"Software\\Other"));
    ASSERT_TRUE(reg->OpenKey(u"\\Software\\Other", false));
    EXPECT_EQ(reg->CurrentPath(), u"Software\\Other");
    EXPECT_EQ(reg->ReadString(u"Where"), u"other");
}

// Catches a read-only open that asks for write rights, or a default open
// that succeeds where writing is denied.
TEST_F(RegistryTest, WriteDeniedKeyOpensOnlyReadOnly)
{
    PutText(kBase, u"Edition", u"Enterprise");
    ASSERT_TRUE(tvx::win32::SetRegistryWriteDenied(HKEY_LOCAL_MACHINE, kBase));
    EXPECT_TRUE(reg->KeyExists(kBase));
    EXPECT_FALSE(reg->OpenKey(kBase, false));
    EXPECT_EQ(reg->Access(), REGSAM(KEY_ALL_ACCESS));
    ASSERT_TRUE(reg->OpenKeyReadOnly(kBase));
    EXPECT_EQ(reg->Access(), REGSAM(KEY_READ));
    EXPECT_EQ(reg->ReadString(u"Edition"), u"Enterprise");
}

// Catches subkeys missed or a list that keeps its old contents.
TEST_F(RegistryTest, KeyNamesListTheSubkeys)
{
    PutText(u"Software\\Talvix\\Test\\{A}", u"", u"a");
    PutText(u"Software\\Talvix\\Test\\{B}", u"", u"b");
    ASSERT_TRUE(reg->OpenKeyReadOnly(kBase));
    TStringList names;
    names.Add(u"stale");
    reg->GetKeyNames(&names);
    ASSERT_EQ(names.Count(), 2);
    EXPECT_GE(names.IndexOf(u"{A}"), 0);
    EXPECT_GE(names.IndexOf(u"{B}"), 0);
}

// Catches a key left open when the root changes or the reader closes it.
TEST_F(RegistryTest, ChangingRootOrClosingReleasesTheKey)
{
    PutText(kBase, u"", u"x");
    ASSERT_TRUE(reg->OpenKeyReadOnly(kBase));
    reg->SetRootKey(HKEY_CURRENT_USER);
    EXPECT_EQ(reg->CurrentKey(), nullptr);
    EXPECT_EQ(reg->CurrentPath(), u"");
    reg->SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg->OpenKeyReadOnly(kBase));
    reg->CloseKey();
    EXPECT_EQ(reg->CurrentKey(), nullptr);
}
