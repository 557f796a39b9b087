// The wizard entry: its result and terminate routine, the load order, the
// package table, the editor tab listener and the failure messages.
#include "host/vcl/SysUtils.h"
#include "tests/fixtures/FixtureSupport.h"
#include "tests/support/WizardFixture.h"

#include <string>
#include <vector>

namespace {

using namespace tvx::test;
using Names = std::vector<std::string>;

Names InstanceNames(const std::vector<PackageRecord>& records)
{
    Names names;
    for (const auto& record : records)
        names.push_back(record.InstanceName);
    return names;
}

// Catches an entry that runs, or hands out its terminate routine, without
// the IDE's services.
TEST_F(WizardTest, NullServicesReturnsFalseAndLeavesTerminateUntouched)
{
    auto p1 = packages.Add("P1", TestClsid(1), 1);
    const auto sentinel = reinterpret_cast<TWizardTerminateProc>(kSentinel);
    TWizardTerminateProc out = sentinel;
    EXPECT_FALSE(talvix::InitWizard(nullptr, nullptr, &out));
    EXPECT_EQ(out, sentinel);
    EXPECT_EQ(p1->Created, 0);
    EXPECT_EQ(talvix::PackageInfoCount(), 0);
    EXPECT_EQ(talvix::ServicesRoot(), nullptr);
    EXPECT_TRUE(tvx::win32::MessageBoxes().empty());
}

// Catches an entry that reports failure, shows a message or creates the
// services root when the package list key is missing.
TEST_F(WizardTest, MissingPackageListKeyStillSucceedsWithTerminate)
{
    EXPECT_TRUE(Enter());
    EXPECT_EQ(terminate, &talvix::TerminateWizard);
    EXPECT_EQ(talvix::ServicesRoot(), nullptr);
    EXPECT_EQ(talvix::PackageInfoCount(), 0);
    EXPECT_EQ(talvix::LoadedPackageCount(), 0u);
    EXPECT_TRUE(tvx::win32::MessageBoxes().empty());
    Terminate();
}

// Catches a root created, or a record made, when nothing listed is a package.
TEST_F(WizardTest, ListWithoutClassIdentifiersLoadsNothing)
{
    ListPackage(u"Not a package", u"Stray", 1);
    ListPackage(u"5B0D6E4A-3C1F-4E8B-9A27-6D2F0C8E1A01", u"Unbraced", 2);
    EXPECT_TRUE(Enter());
    EXPECT_EQ(terminate, &talvix::TerminateWizard);
    EXPECT_EQ(talvix::ServicesRoot(), nullptr);
    EXPECT_EQ(talvix::PackageInfoCount(), 0);
    EXPECT_TRUE(tvx::win32::MessageBoxes().empty());
}

// Catches a stable sort, or loading in enumeration order: equal load orders
// 10, 10 after a 5 come out reversed.
TEST_F(WizardTest, EqualLoadOrdersComeOutReversed)
{
    packages.Add("A", TestClsid(0xA), 10);
    packages.Add("B", TestClsid(0xB), 10);
    packages.Add("C", TestClsid(0xC), 5);
    EXPECT_TRUE(Enter());
    EXPECT_EQ(packages.Log().Of("Create"), (Names{"Create C", "Create B", "Create A"}));
    EXPECT_EQ(packages.Log().Of("Initialize"), (Names{"Initialize C", "Initialize B", "Initialize A"}));
    EXPECT_EQ(InstanceNames(PackageRecords()), (Names{"C", "B", "A"}));
}

// Catches an unsigned comparison, or an absent LoadOrder not read as 100.
TEST_F(WizardTest, NegativeLoadOrderFirstAndAbsentOneLast)
{
    packages.Add("A", TestClsid(0xA), std::nullopt);
    packages.Add("B", TestClsid(0xB), 50);
    packages.Add("C", TestClsid(0xC), -1);
    EXPECT_TRUE(Enter());
    EXPECT_EQ(packages.Log().Of("Initialize"), (Names{"Initialize C", "Initialize B", "Initialize A"}));
}

// Catches a failed package that stops the loading, loses its record, takes
// a kept package's slot, or shows its message late; and packages given
// different roots or initialized before all were created.
TEST_F(WizardTest, UnregisteredClassBetweenTwoGoodOnes)
{
    auto p1 = packages.Add("P1", TestClsid(1), 1);
    packages.AddUnregistered("Missing", TestClsid(2), 2);
    auto p3 = packages.Add("P3", TestClsid(3), 3);
    ScopedMessageBoxLog boxLog(packages.SharedLog());

    EXPECT_TRUE(Enter());

    EXPECT_EQ(packages.Log().Entries(), (Names{"Create P1", "MessageBox Failed to load package 'Missing'.", "Create P3",
                                               "Initialize P1", "Initialize P3"}));
    const auto records = PackageRecords();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(InstanceNames(records), (Names{"P1", "", "P3"}));
    EXPECT_EQ(records[1].Instance, nullptr);
    EXPECT_TRUE(tvx::IsEqualGuid(records[1].Id, TestClsid(2)));
    EXPECT_EQ(records[1].Name, u"Missing");
    EXPECT_EQ(talvix::LoadedPackageCount(), 2u);

    ASSERT_NE(Root(), nullptr);
    EXPECT_EQ(p1->InitializeServices, std::vector<IBdsServices*>{Root()});
    EXPECT_EQ(p3->InitializeServices, std::vector<IBdsServices*>{Root()});
    EXPECT_EQ(p1->CountAtInitialize, 3);

    EXPECT_EQ(TakeMessageBoxTexts(),
              std::vector<std::u16string>{u"Failed to load package 'Missing'.\n\r"
                                          u"Package ID: {00000002-5E7A-4B1C-8D2E-3F4A5B6C7D8E}\n\r"
                                          u"Error: Class not registered"});
}

// Catches a message box with the wrong owner, caption or icon.
TEST_F(WizardTest, FailureMessageIsAStopBoxOwnedByTheForegroundWindow)
{
    packages.AddUnregistered("Missing", TestClsid(2), 2);
    EXPECT_TRUE(Enter());
    const auto boxes = tvx::win32::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, kForegroundWindow);
    EXPECT_EQ(boxes[0].caption, kLoaderCaption);
    EXPECT_EQ(boxes[0].flags, kStopIconFlags);
}

// Catches a skipped subkey that shows a message, takes a record, or shifts
// the records so that one carries another package's instance.
TEST_F(WizardTest, SubkeyThatIsNoClassIdentifierIsSkippedSilently)
{
    packages.Add("P1", TestClsid(1), 1);
    ListPackage(u"Not a package", u"Stray", 2);
    packages.Add("P3", TestClsid(3), 3);

    EXPECT_TRUE(Enter());

    EXPECT_TRUE(tvx::win32::MessageBoxes().empty());
    const auto records = PackageRecords();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(InstanceNames(records), (Names{"P1", "P3"}));
    EXPECT_TRUE(tvx::IsEqualGuid(records[0].Id, TestClsid(1)));
    EXPECT_TRUE(tvx::IsEqualGuid(records[1].Id, TestClsid(3)));
    EXPECT_EQ(records[1].Name, u"P3");
    EXPECT_EQ(packages.Log().Of("Initialize"), (Names{"Initialize P1", "Initialize P3"}));
}

// Catches a subkey parser stricter or looser than the platform's: letter
// case is free and a registered ProgID names a class, braces are required.
TEST_F(WizardTest, SubkeysAreReadAsThePlatformReadsClassIdentifiers)
{
    auto lower = MakeProbe("Lower", packages.SharedLog());
    auto progId = MakeProbe("ProgId", packages.SharedLog());
    auto unbraced = MakeProbe("Unbraced", packages.SharedLog());
    ScopedClassObject r1 = RegisterTestPackage(TestClsid(0xABC1), lower);
    ScopedClassObject r2 = RegisterTestPackage(TestClsid(0xABC2), progId);
    ScopedClassObject r3 = RegisterTestPackage(TestClsid(0xABC3), unbraced);
    ASSERT_EQ(WriteClassesText(u"Talvix.TestPackage.2\\CLSID", nullptr, tvx::FormatGuidW(TestClsid(0xABC2))),
              ERROR_SUCCESS);
    ListPackage(u"{0000abc1-5e7a-4b1c-8d2e-3f4a5b6c7d8e}", u"Lower", 1);
    ListPackage(u"Talvix.TestPackage.2", u"ProgId", 2);
    ListPackage(u"0000ABC3-5E7A-4B1C-8D2E-3F4A5B6C7D8E", u"Unbraced", 3);

    EXPECT_TRUE(Enter());

    EXPECT_EQ(packages.Log().Of("Initialize"), (Names{"Initialize Lower", "Initialize ProgId"}));
    EXPECT_EQ(unbraced->Created, 0);
    const auto records = PackageRecords();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_TRUE(tvx::IsEqualGuid(records[0].Id, TestClsid(0xABC1)));
    EXPECT_TRUE(tvx::IsEqualGuid(records[1].Id, TestClsid(0xABC2)));
    EXPECT_TRUE(tvx::win32::MessageBoxes().empty());
}

// Catches a Package ID line that shows the parsed class identifier instead
// of the subkey as the registry gave it.
TEST_F(WizardTest, PackageIdIsTheSubkeyAsStored)
{
    ListPackage(u"{0000abcd-5e7a-4b1c-8d2e-3f4a5b6c7d8e}", u"Lower", 1);
    EXPECT_TRUE(Enter());
    EXPECT_EQ(TakeMessageBoxTexts(),
              std::vector<std::u16string>{u"Failed to load package 'Lower'.\n\r"
                                          u"Package ID: {0000abcd-5e7a-4b1c-8d2e-3f4a5b6c7d8e}\n\r"
                                          u"Error: Class not registered"});
}

// Catches quotes or a space around an empty name, an expanded REG_EXPAND_SZ
// name, and names of the wrong type shown as text.
TEST_F(WizardTest, FailureMessageShowsTheDisplayNameAsStored)
{
    const struct {
        const char* label;
        std::optional<RegistryValue> displayName;
        std::u16string firstLine;
    } cases[] = {
        {"empty", TextValue(u""), u"Failed to load package."},
        {"absent", std::nullopt, u"Failed to load package."},
        {"REG_BINARY", RegistryValue{REG_BINARY, Utf16Bytes(u"Binary")}, u"Failed to load package."},
        {"REG_EXPAND_SZ", TextValue(u"%PATH% Tools", REG_EXPAND_SZ), u"Failed to load package '%PATH% Tools'."},
        {"no terminator", RegistryValue{REG_SZ, Utf16Bytes(u"Demo")}, u"Failed to load package 'Dem'."},
    };
    std::vector<std::u16string> expected;
    std::uint32_t n = 0;
    for (const auto& c : cases) {
        const std::u16string subkey = tvx::FormatGuidW(TestClsid(++n));
        WritePackageListEntry({subkey, c.displayName, DwordValue(n)});
        expected.push_back(c.firstLine + u"\n\rPackage ID: " + subkey + u"\n\rError: Class not registered");
    }

    EXPECT_TRUE(Enter());

    const auto texts = TakeMessageBoxTexts();
    ASSERT_EQ(texts.size(), std::size(cases));
    for (std::size_t i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(cases[i].label);
        EXPECT_EQ(texts[i], expected[i]);
    }
}

// Lists one package for each way creation fails, between two good ones.
struct CreationFailures {
    std::shared_ptr<PackageProbe> first, last, notPackage;
    std::vector<ScopedClassObject> classes;
};

CreationFailures ListCreationFailures(TestPackageSet& packages)
{
    CreationFailures f;
    f.first = packages.Add("First", TestClsid(0x100), 0);
    f.last = packages.Add("Last", TestClsid(0x1FF), 99);

    packages.AddUnregistered("Unregistered", TestClsid(0x101), 1);

    EXPECT_EQ(RegisterInprocServer(TestClsid(0x102), u"/nonexistent/NoSuchPackage.so"), ERROR_SUCCESS);
    ListPackage(tvx::FormatGuidW(TestClsid(0x102)), u"Missing file", 2);

    EXPECT_EQ(RegisterInprocServer(TestClsid(0x103), TestNoEntryPath()), ERROR_SUCCESS);
    ListPackage(tvx::FormatGuidW(TestClsid(0x103)), u"No entry", 3);

    f.classes.push_back(RegisterFailingFactory(TestClsid(0x104), E_ACCESSDENIED));
    ListPackage(tvx::FormatGuidW(TestClsid(0x104)), u"Refusing factory", 4);

    f.notPackage = MakeProbe("NotPackage", packages.SharedLog());
    f.notPackage->AnswersPackage = false;
    f.notPackage->AnswersTabListener = true;
    f.classes.push_back(RegisterTestPackage(TestClsid(0x105), f.notPackage));
    ListPackage(tvx::FormatGuidW(TestClsid(0x105)), u"Not a package", 5);

    // A real server from disk whose object answers only its own interface.
    EXPECT_EQ(RegisterInprocServer(kTestCounterClsid, TestComServerPath()), ERROR_SUCCESS);
    ListPackage(tvx::FormatGuidW(kTestCounterClsid), u"Counter", 6);
    return f;
}

// Catches a creation failure reported with the wrong error text, a failed
// package that stops the ones after it, and objects kept after the cast
// failed.
TEST_F(WizardTest, EachCreationFailureShowsItsErrorAndLoadingGoesOn)
{
    CreationFailures f = ListCreationFailures(packages);
    const struct {
        const char* label;
        std::u16string name;
        std::u16string error;
    } cases[] = {
        {"class not registered", u"Unregistered", SysErrorMessage(REGDB_E_CLASSNOTREG)},
        {"library does not exist", u"Missing file", SysErrorMessage(HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND))},
        {"library without DllGetClassObject", u"No entry", SysErrorMessage(CO_E_ERRORINDLL)},
        {"class factory fails", u"Refusing factory", SysErrorMessage(E_ACCESSDENIED)},
        {"object without IBdsPackage", u"Not a package", u"Interface not supported"},
        {"server object without IBdsPackage", u"Counter", u"Interface not supported"},
    };

    EXPECT_TRUE(Enter());

    const auto boxes = tvx::win32::MessageBoxes();
    ASSERT_EQ(boxes.size(), std::size(cases));
    const auto records = PackageRecords();
    ASSERT_EQ(records.size(), std::size(cases) + 2);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].label);
        ASSERT_FALSE(cases[i].error.empty());
        EXPECT_EQ(boxes[i].text, LoadFailureText(cases[i].name, tvx::FormatGuidW(records[i + 1].Id), cases[i].error));
        EXPECT_EQ(records[i + 1].Name, cases[i].name);
        EXPECT_EQ(records[i + 1].Instance, nullptr);
    }
    EXPECT_EQ(packages.Log().Of("Initialize"), (Names{"Initialize First", "Initialize Last"}));
    EXPECT_EQ(talvix::LoadedPackageCount(), 2u);
    EXPECT_EQ(f.first->InitializeServices, f.last->InitializeServices);
    EXPECT_EQ(f.notPackage->Alive, 0) << "an object without IBdsPackage must be released at once";
    EXPECT_EQ(talvix::EditorTabListener(), nullptr) << "a package that failed to load cannot be the listener";
}

// Catches system messages shown with their final full stop: the error text
// is the VCL's, and SysErrorMessage drops trailing full stops and blanks.
TEST_F(WizardTest, SystemMessagesAreShownAsTheVclGivesThem)
{
    CreationFailures f = ListCreationFailures(packages);
    EXPECT_TRUE(Enter());
    const auto texts = TakeMessageBoxTexts();
    ASSERT_EQ(texts.size(), 6u);
    EXPECT_EQ(texts[1], LoadFailureText(u"Missing file", tvx::FormatGuidW(TestClsid(0x102)),
                                        u"The specified module could not be found"));
    EXPECT_EQ(texts[3], LoadFailureText(u"Refusing factory", tvx::FormatGuidW(TestClsid(0x104)), u"Access is denied"));
}

// Catches a services root created, or Initialize called, when every package
// failed.
TEST_F(WizardTest, NoRootWhenNoPackageWasKept)
{
    packages.AddUnregistered("Missing", TestClsid(1), 1);
    EXPECT_TRUE(Enter());
    EXPECT_EQ(talvix::ServicesRoot(), nullptr);
    EXPECT_EQ(talvix::PackageInfoCount(), 1);
    EXPECT_EQ(talvix::LoadedPackageCount(), 0u);
    Terminate();
}

// Catches a later listener replacing the first, or a package that is no
// listener taken as one.
TEST_F(WizardTest, FirstListenerInLoadOrderIsKept)
{
    packages.Add("NotListening", TestClsid(1), 1);
    packages.Add("P2", TestClsid(2), 2)->AnswersTabListener = true;
    packages.Add("P3", TestClsid(3), 3)->AnswersTabListener = true;
    EXPECT_TRUE(Enter());
    ASSERT_NE(talvix::EditorTabListener(), nullptr);
    talvix::EditorTabListener()->OnIdeTabSelected();
    EXPECT_EQ(packages.Log().Of("OnIdeTabSelected"), Names{"OnIdeTabSelected P2"});
}

// Catches a listener made up when no package answers for it.
TEST_F(WizardTest, NoListenerWhenNoPackageAnswers)
{
    packages.Add("P1", TestClsid(1), 1);
    EXPECT_TRUE(Enter());
    EXPECT_EQ(talvix::EditorTabListener(), nullptr);
}

// Catches an Initialize failure that escapes the entry, stops the packages
// after it, unloads the package or shows a message.
TEST_F(WizardTest, InitializeFailuresAreSwallowed)
{
    packages.Add("Fails", TestClsid(1), 1)->On(PackageMethod::Initialize, MethodOutcome::Fails(E_UNEXPECTED));
    packages.Add("Throws", TestClsid(2), 2)->On(PackageMethod::Initialize, MethodOutcome::Throws());
    packages.Add("ThrowsForeign", TestClsid(3), 3)->On(PackageMethod::Initialize, MethodOutcome::ThrowsForeign());
    packages.Add("Fine", TestClsid(4), 4);

    EXPECT_TRUE(Enter());

    EXPECT_EQ(packages.Log().Of("Initialize"),
              (Names{"Initialize Fails", "Initialize Throws", "Initialize ThrowsForeign", "Initialize Fine"}));
    EXPECT_EQ(InstanceNames(PackageRecords()), (Names{"Fails", "Throws", "ThrowsForeign", "Fine"}));
    EXPECT_EQ(talvix::LoadedPackageCount(), 4u);
    EXPECT_TRUE(tvx::win32::MessageBoxes().empty());
    Terminate();
    EXPECT_EQ(packages.Log().Of("Finalize"),
              (Names{"Finalize Fine", "Finalize ThrowsForeign", "Finalize Throws", "Finalize Fails"}));
}

// Catches PackageInfo.Name pointing anywhere but the display name, and the
// names freed by the terminate routine or by a second entry call: a package
// may keep a copied record until the library unloads.
TEST_F(WizardTest, RecordNamesStayValidUntilUnload)
{
    packages.Add("Kept", TestClsid(1), 1);
    packages.AddUnregistered("Failed", TestClsid(2), 2);
    EXPECT_TRUE(Enter());
    const auto records = PackageRecords();
    ASSERT_EQ(records.size(), 2u);
    Terminate();
    EXPECT_TRUE(Enter());
    Terminate();
    EXPECT_EQ(std::u16string(tvx::WideTextView(records[0].NamePointer)), u"Kept");
    EXPECT_EQ(std::u16string(tvx::WideTextView(records[1].NamePointer)), u"Failed");
}

} // namespace
