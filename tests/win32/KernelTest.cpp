// Last error, debugger output, environment expansion, file attributes and
// local memory.
#include "host/win32/Recorder.h"
#include "host/win32/Win32.h"
#include "tests/fixtures/FixtureSupport.h"

#include <cstdlib>
#include <thread>

namespace {

using namespace tvx::test;

class KernelTest : public ::testing::Test {
protected:
    void SetUp() override { tvx::win32::ResetRecorder(); }
};

// Catches a last error shared between threads.
TEST_F(KernelTest, LastErrorIsPerThread)
{
    SetLastError(ERROR_ACCESS_DENIED);
    std::thread([] {
        EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));
        SetLastError(ERROR_MOD_NOT_FOUND);
    }).join();
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
}

// Catches debugger lines lost, reordered or altered, and a crash on null.
TEST_F(KernelTest, DebuggerOutputIsRecordedInOrder)
{
    OutputDebugStringW(u"first\n");
    OutputDebugStringW(nullptr);
    OutputDebugStringW(u"");
    OutputDebugStringW(u"second \u00e9");
    EXPECT_EQ(tvx::win32::TakeDebugStrings(), (std::vector<std::u16string>{u"first\n", u"", u"second \u00e9"}));
    EXPECT_TRUE(tvx::win32::DebugStrings().empty());
}

// Catches variables left unexpanded, unknown ones dropped, and a return value
// that does not count the terminating NUL.
TEST_F(KernelTest, ExpandEnvironmentStringsReplacesKnownVariablesOnly)
{
    ASSERT_EQ(::setenv("TVX_EXPAND_ONE", "/opt/one", 1), 0);
    ::unsetenv("TVX_EXPAND_MISSING");
    struct Case {
        const char16_t* source;
        const char16_t* expected;
    } const cases[] = {
        {u"%TVX_EXPAND_ONE%/lib.so", u"/opt/one/lib.so"},
        {u"%tvx_expand_one%", u"/opt/one"},
        {u"a%TVX_EXPAND_MISSING%b", u"a%TVX_EXPAND_MISSING%b"},
        {u"%TVX_EXPAND_ONE%%TVX_EXPAND_ONE%", u"/opt/one/opt/one"},
        {u"100%", u"100%"},
        {u"%%", u"%%"},
        {u"50% of %TVX_EXPAND_ONE", u"50% of %TVX_EXPAND_ONE"},
        {u"", u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(tvx::Utf16ToUtf8(c.source));
        WCHAR buffer[128];
        std::u16string expected = c.expected;
        EXPECT_EQ(ExpandEnvironmentStringsW(c.source, buffer, 128), DWORD(expected.size() + 1));
        EXPECT_EQ(std::u16string(buffer), expected);
    }
}

// Catches a short buffer overrun or a size answer that is not the size needed.
TEST_F(KernelTest, ExpandEnvironmentStringsReportsTheSizeItNeeds)
{
    ASSERT_EQ(::setenv("TVX_EXPAND_ONE", "/opt/one", 1), 0);
    WCHAR buffer[4] = {u'#', u'#', u'#', u'#'};
    EXPECT_EQ(ExpandEnvironmentStringsW(u"%TVX_EXPAND_ONE%", buffer, 4), 9u);
    EXPECT_EQ(buffer[0], u'#');
    EXPECT_EQ(ExpandEnvironmentStringsW(u"%TVX_EXPAND_ONE%", nullptr, 0), 9u);
}

// Catches directories taken for files and missing files reported with the wrong error.
TEST_F(KernelTest, FileAttributesTellFilesDirectoriesAndMissingPaths)
{
    ScopedTempDir temp;
    std::u16string file = temp.WriteFile("file.txt", "x");
    std::u16string directory = tvx::Utf8ToUtf16(temp.path().string());
    EXPECT_EQ(GetFileAttributesW(directory.c_str()), DWORD(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(GetFileAttributesW(file.c_str()), DWORD(FILE_ATTRIBUTE_NORMAL));

    struct Case {
        std::u16string path;
        DWORD error;
    } const cases[] = {
        {directory + u"/missing.txt", ERROR_FILE_NOT_FOUND},
        {directory + u"/missing/file.txt", ERROR_PATH_NOT_FOUND},
        {file + u"/below", ERROR_PATH_NOT_FOUND},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(tvx::Utf16ToUtf8(c.path));
        SetLastError(0xdeadbeef);
        EXPECT_EQ(GetFileAttributesW(c.path.c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ(GetLastError(), c.error);
    }
}

} // namespace
