// The help service: keywords to the IDE's help system, addresses to the
// registered help viewer or to the fallback, always with "/helpcol ".
#include "host/win32/RegistryEmulation.h"
#include "services/BdsHelpService.h"
#include "tests/services/ServicesFixture.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace tvx::test;

const std::u16string kServerKey = u"CLSID\\{4A79114D-19E4-11d3-B86B-00C04F79F802}\\LocalServer32";

class HelpServiceTest : public ServicesTest {
protected:
    void SetUp() override
    {
        ServicesTest::SetUp();
        viewerDir = std::filesystem::temp_directory_path() /
                    ("tvx-help-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(viewerDir);
        viewer = viewerDir / "dexplore viewer.exe";
        std::ofstream(viewer) << "viewer";
        help = tvx::IntfPtr<IBdsHelpService>(talvix::TBdsHelpService::Create()->Interface());
    }
    void TearDown() override
    {
        std::filesystem::remove_all(viewerDir);
        ServicesTest::TearDown();
    }

    std::u16string ViewerPath() const { return tvx::Utf8ToUtf16(viewer.string()); }
    void RegisterViewer(const std::u16string& command) { WriteText(HKEY_CLASSES_ROOT, kServerKey, nullptr, command); }

    // The one launch ShowHelpByURL made.
    tvx::win32::ShellLaunchRecord Launch(const char16_t* url)
    {
        tvx::win32::TakeShellLaunches();
        tvx::Bstr address(url);
        EXPECT_EQ(help->ShowHelpByURL(url ? address.get() : nullptr), S_OK);
        auto launches = tvx::win32::TakeShellLaunches();
        EXPECT_EQ(launches.size(), 1u);
        return launches.empty() ? tvx::win32::ShellLaunchRecord{} : launches[0];
    }

    std::filesystem::path viewerDir, viewer;
    tvx::IntfPtr<IBdsHelpService> help;
};

// Catches the quotes stripped from the launched command, an extra space or
// argument, a verb, directory or show mode other than the shell's defaults
// and SW_SHOW, and a registration passed over because the user may only
// read it (the usual case).
TEST_F(HelpServiceTest, QuotedRegisteredViewerIsLaunchedAsRegistered)
{
    const std::u16string command = u"\"" + ViewerPath() + u"\"";
    RegisterViewer(command);
    ASSERT_TRUE(tvx::win32::SetRegistryWriteDenied(HKEY_CLASSES_ROOT, kServerKey));
    auto launch = Launch(u"ms-help://Talvix/index.htm");
    EXPECT_EQ(launch.owner, nullptr);
    EXPECT_EQ(launch.operation, std::optional<std::u16string>(u""));
    EXPECT_EQ(launch.file, command);
    EXPECT_EQ(launch.parameters, std::optional<std::u16string>(u"/helpcol ms-help://Talvix/index.htm"));
    EXPECT_EQ(launch.directory, std::optional<std::u16string>(u""));
    EXPECT_EQ(launch.showCommand, SW_SHOW);
}

// Catches the prefix's trailing space trimmed when the address is empty
// (or null).
TEST_F(HelpServiceTest, EmptyAddressKeepsTheTrailingSpace)
{
    RegisterViewer(u"\"" + ViewerPath() + u"\"");
    EXPECT_EQ(Launch(u"").parameters, std::optional<std::u16string>(u"/helpcol "));
    EXPECT_EQ(Launch(nullptr).parameters, std::optional<std::u16string>(u"/helpcol "));
}

// Catches a viewer launched that the path test should have refused, or a
// failure reported instead of the fallback: each case launches
// "dexplore.exe" with the same parameters.
TEST_F(HelpServiceTest, UnusableRegistrationsFallBackToDexplore)
{
    struct Case {
        const char* what;
        std::u16string command; // empty: no registration
    };
    const Case cases[] = {
        {"nothing registered", u""},
        {"unquoted path to an existing file", ViewerPath()},
        {"quoted path to a missing file", u"\"" + ViewerPath() + u".missing\""},
        {"quoted path to a directory", u"\"" + tvx::Utf8ToUtf16(viewerDir.string()) + u"\""},
        {"one character", u"\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        tvx::win32::ResetRegistry();
        if (!c.command.empty())
            RegisterViewer(c.command);
        auto launch = Launch(u"ms-help://x");
        EXPECT_EQ(launch.file, u"dexplore.exe");
        EXPECT_EQ(launch.parameters, std::optional<std::u16string>(u"/helpcol ms-help://x"));
        EXPECT_EQ(launch.showCommand, SW_SHOW);
    }
}

// Catches the registry key left open after the lookup.
TEST_F(HelpServiceTest, LookupClosesTheKeysItOpens)
{
    RegisterViewer(u"\"" + ViewerPath() + u"\"");
    const std::size_t before = tvx::win32::OpenRegistryHandleCount();
    Launch(u"a");
    EXPECT_EQ(tvx::win32::OpenRegistryHandleCount(), before);
}

// Catches a keyword lost or changed on its way to the IDE's help system,
// or a missing application raised into the package.
TEST_F(HelpServiceTest, KeywordGoesToTheApplicationsHelpSystem)
{
    tvx::Bstr keyword(u"TForm.Caption");
    EXPECT_EQ(help->ShowHelpByKeyword(keyword.get()), S_OK);
    EXPECT_EQ(help->ShowHelpByKeyword(nullptr), S_OK);
    EXPECT_EQ(Ide().App().HelpKeywords(), (std::vector<String>{u"TForm.Caption", u""}));

    TApplication* app = Application;
    Application = nullptr;
    EXPECT_EQ(help->ShowHelpByKeyword(keyword.get()), E_UNEXPECTED);
    Application = app;
}

} // namespace
