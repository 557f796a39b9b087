// ShellExecuteW, recorded instead of launched.
#include "host/win32/Recorder.h"
#include "host/win32/Win32.h"
#include "tests/support/TestSupport.h"

namespace {

using tvx::win32::ShellLaunchRecord;

class UserShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tvx::win32::ResetRecorder();
        tvx::win32::SetRecorderObserver({});
    }
};

// Catches an argument lost or swapped, null arguments recorded as empty, or a
// result read as failure (32 or less).
TEST_F(UserShellTest, LaunchesAreRecordedWithAllArguments)
{
    HWND owner = reinterpret_cast<HWND>(std::uintptr_t(0x30));
    HINSTANCE result = ShellExecuteW(owner, u"open", u"https://example.com/help", u"-x", u"/tmp", SW_SHOWNORMAL);
    EXPECT_GT(reinterpret_cast<INT_PTR>(result), 32);
    EXPECT_GT(reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, nullptr, u"readme.txt", nullptr, nullptr, SW_SHOW)), 32);

    auto launches = tvx::win32::TakeShellLaunches();
    ASSERT_EQ(launches.size(), 2u);
    EXPECT_EQ(launches[0].owner, owner);
    EXPECT_EQ(launches[0].operation, u"open");
    EXPECT_EQ(launches[0].file, u"https://example.com/help");
    EXPECT_EQ(launches[0].parameters, u"-x");
    EXPECT_EQ(launches[0].directory, u"/tmp");
    EXPECT_EQ(launches[0].showCommand, SW_SHOWNORMAL);
    EXPECT_EQ(launches[1].operation, std::nullopt);
    EXPECT_EQ(launches[1].parameters, std::nullopt);
    EXPECT_EQ(launches[1].directory, std::nullopt);
    EXPECT_TRUE(tvx::win32::ShellLaunches().empty());
}

// Catches a launch without a file reported as started.
TEST_F(UserShellTest, NothingToLaunchIsFileNotFound)
{
    EXPECT_EQ(reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, u"open", nullptr, nullptr, nullptr, SW_SHOW)),
              SE_ERR_FNF);
    EXPECT_EQ(reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, u"open", u"", nullptr, nullptr, SW_SHOW)), SE_ERR_FNF);
    EXPECT_TRUE(tvx::win32::ShellLaunches().empty());
}

// Catches launches and debugger lines the simulator would not see live.
TEST_F(UserShellTest, ObserverSeesLaunchesAndDebuggerLines)
{
    std::vector<std::u16string> seen;
    tvx::win32::RecorderObserver observer;
    observer.context = &seen;
    observer.shellLaunch = [](void* context, const ShellLaunchRecord& record) {
        static_cast<std::vector<std::u16string>*>(context)->push_back(u"launch " + record.file);
    };
    observer.debugString = [](void* context, std::u16string_view text) {
        static_cast<std::vector<std::u16string>*>(context)->push_back(u"debug " + std::u16string(text));
    };
    tvx::win32::SetRecorderObserver(observer);
    OutputDebugStringW(u"loading");
    ShellExecuteW(nullptr, nullptr, u"help.html", nullptr, nullptr, SW_SHOW);
    EXPECT_EQ(seen, (std::vector<std::u16string>{u"debug loading", u"launch help.html"}));
    tvx::win32::SetRecorderObserver({});
}

} // namespace
