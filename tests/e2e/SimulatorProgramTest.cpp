// The talvix-sim program run as a package author runs it: the example
// package list and the example package from disk, the report read as JSON.
#include "sim/Report.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/TestSupport.h"

#include <nlohmann/json.hpp>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using nlohmann::json;
using namespace tvx::test;

const std::string kExampleSubkey = "{5B0D6E4A-3C1F-4E8B-9A27-6D2F0C8E1A01}";
const std::string kMissingSubkey = "{0D1E2F30-4152-6374-8596-A7B8C9DAEBFC}";
const std::string kUnnamedSubkey = "{1A2B3C4D-5E6F-4071-8293-A4B5C6D7E8F9}";

ProgramResult RunSimulator(const std::vector<std::string>& arguments, const std::string& workingDirectory = {})
{
    std::vector<std::string> command{BinaryDir() + "/talvix-sim"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return RunProgram(command, workingDirectory);
}

// The report of a session on the example package list with the example
// package registered, as the README's main command runs it.
class ExampleSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        run = RunSimulator({"--reg", SourceDir() + "/examples/packages.reg", "--register",
                            BinaryDir() + "/TalvixExamplePackage.so", "--json", "--check-handles"});
        // The example list names two classes nobody registered.
        ASSERT_EQ(run.ExitCode, tvx::sim::kExitPackageFailures) << run.Err << run.Out;
        report = json::parse(run.Out, nullptr, false);
        ASSERT_FALSE(report.is_discarded()) << "not JSON:\n" << run.Out;
    }

    const json& Package(const std::string& subkey) const
    {
        for (const json& package : report.at("packages"))
            if (package.at("subkey") == subkey)
                return package;
        static const json none;
        ADD_FAILURE() << subkey << " is not in the report";
        return none;
    }

    ProgramResult run;
    json report;
};

// Catches a session that fails, or loses the wizard entry or its terminate
// routine, on a healthy set-up.
TEST_F(ExampleSession, RunsWithoutProblems)
{
    EXPECT_TRUE(report.at("problems").empty()) << report.at("problems").dump();
    EXPECT_EQ(report.at("wizard").at("entryFound"), true);
    EXPECT_EQ(report.at("wizard").at("entryResult"), true);
    EXPECT_EQ(report.at("wizard").at("terminateReceived"), true);
}

// Catches the example package not loaded from disk, initialized or
// finalized twice or never, or finalized before it was initialized.
TEST_F(ExampleSession, ExamplePackageIsInitializedReadiedThenFinalizedOnce)
{
    const json& example = Package(kExampleSubkey);
    EXPECT_EQ(example.value("outcome", ""), "loaded");
    EXPECT_EQ(example.value("displayName", ""), "Example Package");
    std::vector<std::string> calls;
    for (const json& call : example.value("calls", json::array())) {
        calls.push_back(call.at("method").get<std::string>());
        EXPECT_EQ(call.at("outcome"), "ok") << call.dump();
    }
    // The example asks for services-ready in Initialize; the IDE's first
    // toolbar load completes it.
    EXPECT_EQ(calls, (std::vector<std::string>{"Initialize", "OnServicesReady", "Finalize"}));
    EXPECT_EQ(report.at("shutdownOrder"), json::array({kExampleSubkey}));

    // The package's own log: it saw the whole table while initializing.
    const auto debug = report.at("debugOutput").get<std::vector<std::string>>();
    ASSERT_FALSE(debug.empty());
    EXPECT_EQ(debug.front(), "ExamplePackage: Initialize: IDE version 8.0");
    EXPECT_NE(std::find(debug.begin(), debug.end(), "ExamplePackage: Initialize: 3 listed package(s)"), debug.end());
    EXPECT_EQ(debug.back(), "ExamplePackage: Finalize");
    EXPECT_EQ(std::count(debug.begin(), debug.end(), "ExamplePackage: Finalize"), 1);
}

// Catches failure messages with the wrong text, line breaks, caption or
// flags, one too many or too few, or out of load order.
TEST_F(ExampleSession, FailureMessagesAreShownExactly)
{
    const json& boxes = report.at("messageBoxes");
    ASSERT_EQ(boxes.size(), 2u) << boxes.dump(2);
    EXPECT_EQ(boxes[0].at("text"), "Failed to load package 'Missing Product'.\n\r"
                                   "Package ID: " +
                                       kMissingSubkey +
                                       "\n\r"
                                       "Error: Class not registered");
    EXPECT_EQ(boxes[1].at("text"), "Failed to load package.\n\r"
                                   "Package ID: " +
                                       kUnnamedSubkey +
                                       "\n\r"
                                       "Error: Class not registered");
    for (const json& box : boxes) {
        EXPECT_EQ(box.at("caption"), "Talvix Products Loader");
        EXPECT_EQ(box.at("flags"), 16);
    }
    EXPECT_EQ(Package(kMissingSubkey).value("outcome", ""), "failed");
    EXPECT_EQ(Package(kUnnamedSubkey).value("outcome", ""), "failed");
}

// Catches a subkey that is no class identifier reported as a failure, shown
// in a message box, or left out of the report.
TEST_F(ExampleSession, SubkeyThatIsNoClassIdentifierIsReportedSkipped)
{
    const json& stray = Package("Not a package");
    EXPECT_EQ(stray.value("outcome", ""), "skipped");
    EXPECT_TRUE(stray.value("calls", json::array()).empty());
    for (const json& box : report.at("messageBoxes"))
        EXPECT_EQ(box.at("text").get<std::string>().find("Not a package"), std::string::npos);
}

// Catches the load order of the report differing from the loader's: the
// registry's order, then the exchange sort by LoadOrder.
TEST_F(ExampleSession, ReportListsPackagesInLoadOrder)
{
    std::vector<std::string> subkeys;
    for (const json& package : report.at("packages"))
        subkeys.push_back(package.at("subkey").get<std::string>());
    EXPECT_EQ(subkeys, (std::vector<std::string>{"Not a package", kMissingSubkey, kUnnamedSubkey, kExampleSubkey}));
}

// Catches a bitmap handle the example package gave the library (its menu
// item's and its toolbar button's images) left alive after shutdown, or
// deleted twice, and icons missing from the account.
TEST_F(ExampleSession, NoBitmapHandleOutlivesTheSessionOrGoesTwice)
{
    ASSERT_TRUE(report.contains("handles")) << "the report has no handle account";
    EXPECT_EQ(report.at("handles").at("bitmapsLeftAlive"), 0);
    EXPECT_EQ(report.at("handles").at("bitmapsDeletedTwice"), 0);
    EXPECT_EQ(report.at("handles").at("iconsLeftAlive"), 0);
    EXPECT_EQ(report.at("handles").at("iconsDestroyedTwice"), 0);
}

// The example sessions: the example packages and each example scenario,
// with every handle accounted for at exit.
class ExampleScenario : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        ProgramResult run = RunSimulator({"--reg", SourceDir() + "/examples/packages.reg", "--register",
                                          BinaryDir() + "/TalvixExamplePackage.so", "--scenario",
                                          SourceDir() + "/examples/" + GetParam(), "--json", "--check-handles"});
        ASSERT_EQ(run.ExitCode, tvx::sim::kExitPackageFailures) << run.Err << run.Out;
        report = json::parse(run.Out, nullptr, false);
        ASSERT_FALSE(report.is_discarded()) << run.Out;
    }

    json report;
};

TEST_P(ExampleScenario, RunsCleanWithEveryHandleAccountedFor)
{
    EXPECT_TRUE(report.at("problems").empty()) << report.at("problems").dump();
    EXPECT_EQ(report.at("handles").at("bitmapsLeftAlive"), 0);
    EXPECT_EQ(report.at("handles").at("bitmapsDeletedTwice"), 0);
    EXPECT_EQ(report.at("handles").at("iconsLeftAlive"), 0);
    EXPECT_EQ(report.at("handles").at("iconsDestroyedTwice"), 0);
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleScenario,
                         ::testing::Values("demo.scenario", "toolwindows.scenario", "documents.scenario",
                                           "modules.scenario", "package-modules.scenario", "expectations.scenario"));

using ToolWindowsScenario = ExampleScenario;

// Catches a dock or float that keeps the window it had, a report that lacks
// the tool windows or their handles, and desktop forms left alive at shutdown.
TEST_P(ToolWindowsScenario, ShowsEachMoveMakingANewWindow)
{
    std::vector<std::string> moves;
    for (const json& step : report.at("scenario")) {
        const std::string command = step.at("command");
        if (command != "dock" && command != "float")
            continue;
        const std::string line = step.at("output").at(0);
        static const std::regex change(": (hwnd 0x[0-9A-F]+) -> (hwnd 0x[0-9A-F]+)$");
        std::smatch handles;
        ASSERT_TRUE(std::regex_search(line, handles, change)) << line;
        EXPECT_NE(handles[1], handles[2]) << line;
        moves.push_back(command);
    }
    EXPECT_EQ(moves, (std::vector<std::string>{"dock", "float", "dock"}));

    const json& windows = report.at("toolWindows");
    // The IDE's four and the example package's.
    ASSERT_EQ(windows.size(), 5u) << windows.dump(2);
    EXPECT_EQ(windows[0].at("name"), "ProjectManagerForm");
    EXPECT_EQ(windows[0].at("dockSite"), "RightDockPanel");
    EXPECT_EQ(windows[0].at("width"), 260);
    EXPECT_EQ(windows[0].at("window").at("class"), "TProjectManagerForm");
    for (const json& field : report.at("desktopFreedAtShutdown"))
        EXPECT_EQ(field.at("outcome"), "freed") << field.dump();
}

INSTANTIATE_TEST_SUITE_P(Examples, ToolWindowsScenario, ::testing::Values("toolwindows.scenario"));

using DocumentsScenario = ExampleScenario;

// Catches the package's document not taking its tab, the IDE's commands not
// coming back on a source tab, a press on the document's tab reaching the
// IDE, and the package window lost with its editor window.
TEST_P(DocumentsScenario, ShowsTheDocumentTabAndGivesTheIdeItsCommandsBack)
{
    std::vector<std::string> seen;
    for (const json& step : report.at("scenario"))
        for (const json& line : step.at("output"))
            seen.push_back(line.get<std::string>());
    auto has = [&](const std::string& text) {
        return std::any_of(seen.begin(), seen.end(),
                           [&](const std::string& line) { return line.find(text) != std::string::npos; });
    };
    EXPECT_TRUE(has("tab 2 \"Overview.tvx\": image 4, overlay -1, selected")) << "the package's image";
    EXPECT_TRUE(has("add-in frame: on top (in EditorArea)"));
    EXPECT_TRUE(has("status bar panel: hidden"));
    EXPECT_TRUE(has("the IDE's OnMouseDown did not hear of it"));
    EXPECT_TRUE(has("image 4, overlay 3")) << "the IDE's overlay once its module is modified";
    EXPECT_TRUE(has("ExamplePackage: OnIdeTabSelected"));
    const json& windows = report.at("editorWindows").at("windows");
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows[0].at("addInFrame"), "none");
    EXPECT_EQ(report.at("editorWindows").at("newEditWindowVisible"), true);
}

INSTANTIATE_TEST_SUITE_P(Examples, DocumentsScenario, ::testing::Values("documents.scenario"));

using PackageModulesScenario = ExampleScenario;

// Catches a package's notifier, creator or editor-windows notifier that the
// IDE never reaches through the mirrors, or one it keeps after the module
// closed.
TEST_P(PackageModulesScenario, ThePackageHearsItsModuleAndMakesItsUnit)
{
    std::vector<std::string> heard;
    for (const json& line : report.at("debugOutput"))
        if (std::string text = line.get<std::string>(); text.rfind("ExampleModules: ", 0) == 0)
            heard.push_back(text.substr(16));
    auto has = [&](const std::string& text) { return std::find(heard.begin(), heard.end(), text) != heard.end(); };
    EXPECT_TRUE(has("module notifier: BeforeSave"));
    EXPECT_TRUE(has("module notifier: BeforeRename C:\\Projects\\Demo\\Unit1.pas -> C:\\Projects\\Demo\\Main.pas"));
    EXPECT_TRUE(has("made C:\\Projects\\Demo\\ExampleNotes.pas"));
    EXPECT_TRUE(has("editor windows: WindowCommand 101 0"));
    EXPECT_TRUE(has("module notifier: Destroyed"));
}

INSTANTIATE_TEST_SUITE_P(Examples, PackageModulesScenario, ::testing::Values("package-modules.scenario"));

// A .reg file of its own, removed with the test.
class MalformedRegFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = std::filesystem::temp_directory_path() / ("tvx-e2e-" + std::to_string(::getpid()) + "-malformed.reg");
        std::ofstream(path, std::ios::binary)
            << "Windows Registry Editor Version 5.00\r\n"
               "\r\n"
               "[HKEY_LOCAL_MACHINE\\Software\\Talvix\\Orvello\\RAD Studio XE\\Packages\\"
            << kExampleSubkey << "]\r\n"
            << "\"LoadOrder\"=dword:zz\r\n";
        run = RunSimulator({"--reg", path.string(), "--json", "--check-handles"});
    }
    void TearDown() override { std::filesystem::remove(path); }

    std::filesystem::path path;
    ProgramResult run;
};

// Catches a malformed file imported in part, or refused without saying
// where, or a run that still reports success.
TEST_F(MalformedRegFile, ExitsWithFailureNamingFileAndLine)
{
    EXPECT_NE(run.ExitCode, 0);
    EXPECT_NE(run.ExitCode, -1) << "the program crashed: " << run.Err;
    json report = json::parse(run.Out, nullptr, false);
    ASSERT_FALSE(report.is_discarded()) << run.Out;
    ASSERT_EQ(report.at("problems").size(), 1u);
    EXPECT_EQ(report.at("problems")[0].get<std::string>().rfind(path.string() + ":4: ", 0), 0u)
        << report.at("problems")[0];
    EXPECT_EQ(report.at("wizard").at("entryFound"), false) << "the IDE must not start on a refused file";
    EXPECT_TRUE(report.at("packages").empty());
}

// Catches the file and line written twice into the problem line.
TEST_F(MalformedRegFile, NamesFileAndLineOnce)
{
    json report = json::parse(run.Out, nullptr, false);
    ASSERT_FALSE(report.is_discarded()) << run.Out;
    ASSERT_EQ(report.at("problems").size(), 1u);
    const std::string problem = report.at("problems")[0].get<std::string>();
    EXPECT_EQ(problem.find(path.string() + ":4:", 1), std::string::npos) << problem;
}

// A session on files the test writes, its text report read as a package
// author reads it.
class AuthorSession : public ::testing::Test {
protected:
    static constexpr const char* kListKey = "Software\\Talvix\\Orvello\\RAD Studio XE\\Packages";

    void SetUp() override
    {
        dir =
            std::filesystem::temp_directory_path() / ("tvx-e2e-" + std::to_string(::getpid()) + "-" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string Write(const std::string& name, const std::string& text) const
    {
        std::ofstream(dir / name, std::ios::binary) << text;
        return (dir / name).string();
    }
    // A package list naming each class under `key` below HKEY_LOCAL_MACHINE.
    std::string ListFile(const std::vector<std::string>& classes, const std::string& key = kListKey) const
    {
        std::string text = "Windows Registry Editor Version 5.00\r\n";
        for (const std::string& clsid : classes)
            text += "\r\n[HKEY_LOCAL_MACHINE\\" + key + "\\" + clsid + "]\r\n\"LoadOrder\"=dword:0000000a\r\n";
        return Write("list.reg", text);
    }
    std::string Library(const std::string& name) const
    {
        return std::filesystem::canonical(BinaryDir() + "/" + name).string();
    }
    bool Shows(const std::string& text) const { return run.Out.find(text) != std::string::npos; }

    std::filesystem::path dir;
    ProgramResult run;
};

// Catches an input error followed by a claim that the wizard library lacks
// its entry, which sends the author looking in the wrong place.
TEST_F(AuthorSession, RefusedRegFileMakesNoClaimAboutTheWizardEntry)
{
    run = RunSimulator({"--reg", Write("bad.reg", "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\"
                                                  "Software\\Talvix]\r\n\"LoadOrder\"=dword:zz\r\n")});
    EXPECT_EQ(run.ExitCode, tvx::sim::kExitProblems);
    EXPECT_FALSE(Shows("INITWIZARD0001 not found")) << run.Out;
    EXPECT_TRUE(Shows("INITWIZARD0001 not called: the session stopped at the problems below")) << run.Out;
}

// Catches a library without DllRegisterServer reported as a missing module
// or an unnamed procedure.
TEST_F(AuthorSession, RegisteringALibraryWithoutTheEntryNamesIt)
{
    run = RunSimulator({"--register", Library("TestNoEntry.so")});
    EXPECT_EQ(run.ExitCode, tvx::sim::kExitProblems);
    EXPECT_TRUE(Shows("DllRegisterServer not exported by " + Library("TestNoEntry.so"))) << run.Out;
}

// Catches --register looking a bare file name up on the loader's search path
// instead of in the current folder, and a clean run that does not exit 0.
TEST_F(AuthorSession, RelativeRegisterIsTheFileInTheCurrentFolder)
{
    run = RunSimulator({"--reg", ListFile({kExampleSubkey}), "--register", "TalvixExamplePackage.so"}, BinaryDir());
    EXPECT_EQ(run.ExitCode, 0) << run.Out;
    EXPECT_TRUE(Shows("Registered classes (1, HKEY_CLASSES_ROOT\\CLSID with InprocServer32):\n  " + kExampleSubkey +
                      "  " + Library("TalvixExamplePackage.so") + "\n"))
        << run.Out;
}

// Catches a mistyped class identifier reported without the registered one
// it was meant to be or without the key that listed it.
TEST_F(AuthorSession, UnregisteredClassNamesTheOnesOneDigitOff)
{
    run = RunSimulator({"--reg", ListFile({"{5B0D6E4A-3C1F-4E8B-9A27-6D2F0C8E1A0F}"}), "--register",
                        Library("TalvixExamplePackage.so")});
    EXPECT_EQ(run.ExitCode, tvx::sim::kExitPackageFailures);
    EXPECT_TRUE(Shows("one hex digit off: " + kExampleSubkey + " (" + Library("TalvixExamplePackage.so") + ")"))
        << run.Out;
    EXPECT_TRUE(Shows("listed in the package list at HKEY_LOCAL_MACHINE\\" + std::string(kListKey) + "\n"));
}

// Catches a misplaced package list reported as an empty session, without
// the keys that do exist beside it.
TEST_F(AuthorSession, MissingPackageListShowsTheVendorKeys)
{
    run = RunSimulator({"--reg", ListFile({kExampleSubkey}, "Software\\Talvix\\Orvello\\RAD Studio XE\\Package")});
    EXPECT_TRUE(Shows("Package list: HKEY_LOCAL_MACHINE\\" + std::string(kListKey) + " (missing)\n" +
                      "  keys under HKEY_LOCAL_MACHINE\\Software\\Talvix:\n    Orvello\n"))
        << run.Out;
    EXPECT_TRUE(Shows("    Orvello\\RAD Studio XE\\Package\\" + kExampleSubkey + "\n"));
}

// Catches a raising Initialize reported without its text, a package left
// waiting for OnServicesReady without the reason, and either exiting 0.
TEST_F(AuthorSession, UnreadyPackagesSayWhatRaisedAndWhatWasAwaited)
{
    run = RunSimulator({"--reg",
                        ListFile({"{7E1F0C2A-5D34-4B6E-8A90-1C2D3E4F5A01}", "{7E1F0C2A-5D34-4B6E-8A90-1C2D3E4F5A02}"}),
                        "--register", Library("TestUnreadyPackages.so")});
    EXPECT_EQ(run.ExitCode, tvx::sim::kExitPackageFailures);
    EXPECT_TRUE(Shows("      Initialize: raised, ")) << run.Out;
    EXPECT_TRUE(Shows("          raised: licence file not found\n"));
    const std::regex neverReady("OnServicesReady never came: no package called OnDotNetServicesInitialized\n");
    EXPECT_EQ(std::distance(std::sregex_iterator(run.Out.begin(), run.Out.end(), neverReady), std::sregex_iterator()),
              2);
}

// Catches a menu step on a misspelt path that does not say where it went
// wrong, and a key that never reaches the package's item with its shortcut
// or whose step hides what the package wrote.
TEST_F(AuthorSession, MenuStepsSayWhereAPathFailsAndKeysClickPackageItems)
{
    run = RunSimulator({"--reg", ListFile({kExampleSubkey}), "--register", Library("TalvixExamplePackage.so"),
                        "--scenario", Write("menu.scenario", "key Ctrl+Alt+H\nchoose ToolsMenu\\ToolsOptionItem\n")});
    EXPECT_EQ(run.ExitCode, tvx::sim::kExitProblems);
    EXPECT_TRUE(Shows("; clicked the menu item TalvixExampleHello (Say &Hello)\n")) << run.Out;
    EXPECT_TRUE(Shows("      debugger: ExamplePackage: clicked 'Say &Hello'"));
    EXPECT_TRUE(Shows("ToolsMenu has no item ToolsOptionItem; its items: TalvixExampleMenu, ToolsOptionsItem,"));
    EXPECT_TRUE(Shows("; closest: ToolsOptionsItem\n"));
}

// Catches a picture that is not written, is not the image format its name
// says, or whose bad name passes silently.
TEST_F(AuthorSession, PicturesAreDrawnAtTheEndAndAtPictureSteps)
{
    const std::string png = (dir / "end.png").string(), svg = (dir / "step.svg").string();
    run = RunSimulator({"--reg", ListFile({kExampleSubkey}), "--register", Library("TalvixExamplePackage.so"),
                        "--picture", png, "--scenario", Write("picture.scenario", "picture \"" + svg + "\"\n")});
    EXPECT_EQ(run.ExitCode, 0) << run.Out;
    std::ifstream pngFile(png, std::ios::binary);
    std::string header(24, '\0');
    pngFile.read(header.data(), 24);
    EXPECT_EQ(header.substr(0, 8), "\x89PNG\r\n\x1a\n");
    // IHDR: 1100 x 760, big-endian.
    EXPECT_EQ(header.substr(16, 8), std::string("\0\0\x04\x4c\0\0\x02\xf8", 8));
    std::stringstream svgText;
    svgText << std::ifstream(svg).rdbuf();
    EXPECT_NE(svgText.str().find("<svg"), std::string::npos);

    run = RunSimulator({"--reg", ListFile({kExampleSubkey}), "--picture", (dir / "end.bmp").string()});
    EXPECT_EQ(run.ExitCode, tvx::sim::kExitProblems);
    EXPECT_TRUE(Shows("a picture is a .png or .svg file: ")) << run.Out;
}

// A scenario of its own, in UTF-16 LE with a BOM as Notepad saves it: a
// failing expectation between passing steps. Removed with the test.
class FailingScenario : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = std::filesystem::temp_directory_path() / ("tvx-e2e-" + std::to_string(::getpid()) + "-failing.scenario");
        std::ofstream out(path, std::ios::binary);
        out << "\xFF\xFE";
        for (char16_t c : std::u16string(u"note first\r\nexpect menu-item FileMenu\\FileSaveItem caption Save\r\n"
                                         u"expect package \"Example Package\" outcome loaded\r\n"))
            out << char(c & 0xFF) << char(c >> 8);
    }
    void TearDown() override { std::filesystem::remove(path); }

    ProgramResult Run(std::vector<std::string> options)
    {
        options.insert(options.end(), {"--reg", SourceDir() + "/examples/packages.reg", "--register",
                                       BinaryDir() + "/TalvixExamplePackage.so", "--scenario", path.string()});
        ProgramResult run = RunSimulator(options);
        EXPECT_EQ(run.ExitCode, 1) << "a failed step must fail the run: " << run.Err;
        return run;
    }

    std::filesystem::path path;
};

// Catches a failed step that stops a --keep-going run, goes uncounted, or
// lacks its own object with its line, outcome and what was found.
TEST_F(FailingScenario, KeepGoingRunsOnAndCountsTheFailure)
{
    json report = json::parse(Run({"--json", "--keep-going"}).Out, nullptr, false);
    ASSERT_FALSE(report.is_discarded());
    EXPECT_EQ(report.at("scenarioSteps"), json({{"passed", 2}, {"failed", 1}, {"notRun", 0}}));
    const json& failed = report.at("scenario").at(1);
    EXPECT_EQ(failed.at("line"), 2);
    EXPECT_EQ(failed.at("outcome"), "failed");
    EXPECT_EQ(failed.at("error"), "menu-item FileMenu\\FileSaveItem: expected caption \"Save\", found \"&Save\"");
    EXPECT_EQ(report.at("scenario").at(2).at("outcome"), "passed");
    EXPECT_EQ(json::parse(Run({"--json"}).Out).at("scenario").at(2).at("outcome"), "not run");
}

// Catches a duration (or anything else that changes between runs) left in
// a --no-timings report, as text or JSON.
TEST_F(FailingScenario, NoTimingsGivesTheSameReportTwice)
{
    const std::string text = Run({"--no-timings"}).Out;
    ASSERT_NE(text.find("Scenario (3 steps: 1 passed, 1 failed, 1 not run)"), std::string::npos) << text;
    EXPECT_EQ(Run({"--no-timings"}).Out, text);
    EXPECT_EQ(text.find(" ms"), std::string::npos) << text;
    const std::string json = Run({"--no-timings", "--json"}).Out;
    EXPECT_EQ(Run({"--no-timings", "--json"}).Out, json);
    EXPECT_EQ(json.find("econds\""), std::string::npos);
}

} // namespace
