// Packages whose own methods misbehave: Initialize, OnServicesReady and
// Finalize failing or throwing, and package objects that answer
// QueryInterface oddly while the loader creates them.
#include "tests/reliability/ReliabilityFixture.h"

#include "interop/Guid.h"

namespace {

using namespace tvx::test;
using Names = std::vector<std::string>;

struct MethodCase {
    const char* Name;
    PackageMethod Method;
    MethodOutcome Outcome;
};

std::vector<MethodCase> MethodCases()
{
    std::vector<MethodCase> cases;
    for (PackageMethod method : {PackageMethod::Initialize, PackageMethod::OnServicesReady, PackageMethod::Finalize}) {
        cases.push_back({"fails", method, MethodOutcome::Fails(E_UNEXPECTED)});
        cases.push_back({"fails with a code of its own", method, MethodOutcome::Fails(HRESULT(0xA0041234))});
        cases.push_back({"throws", method, MethodOutcome::Throws()});
        cases.push_back({"throws a non-std exception", method, MethodOutcome::ThrowsForeign()});
    }
    return cases;
}

// Catches a failing or throwing package method that escapes into the IDE,
// unloads the package, or costs a package loaded after it (or before it)
// any of its calls.
TEST_F(ReliabilityTest, FailingOrThrowingPackageMethodsCostNobodyAnything)
{
    std::vector<std::shared_ptr<MisbehavingProbe>> bad;
    for (const MethodCase& c : MethodCases()) {
        auto probe = AddPackage(std::string(MethodName(c.Method)) + " " + c.Name, LONG(bad.size()));
        probe->On(c.Method, c.Outcome);
        bad.push_back(probe);
    }
    Start();
    ExpectWitnessWorks();

    LONG count = -1;
    ASSERT_EQ(Root()->get_PackagesCount(&count), S_OK);
    EXPECT_EQ(count, LONG(bad.size() + 1)) << "every package stays loaded";
    for (LONG i = 0; i < count; ++i) {
        PackageInfo info{};
        ASSERT_EQ(Root()->GetPackageInfo(i, &info), S_OK);
        EXPECT_NE(info.Instance, nullptr) << tvx::Utf16ToUtf8(tvx::WideTextView(info.Name));
        if (info.Instance)
            info.Instance->Release();
    }
    for (auto& probe : bad) {
        EXPECT_EQ(Count("Initialize " + probe->Name), 1u) << probe->Name;
        EXPECT_EQ(Count("OnServicesReady " + probe->Name), 1u) << probe->Name;
    }
    EXPECT_TRUE(tvx::win32::MessageBoxes().empty()) << "nothing is shown for a package's own failure";

    Shutdown();
    // Reverse load order, every package once, each released after its call.
    Names expected{"Finalize Witness", "Destroy Witness"};
    for (auto it = bad.rbegin(); it != bad.rend(); ++it) {
        expected.push_back("Finalize " + (*it)->Name);
        expected.push_back("Destroy " + (*it)->Name);
    }
    Names finalizing;
    for (const std::string& entry : log->Entries())
        if (entry.starts_with("Finalize ") || entry.starts_with("Destroy "))
            finalizing.push_back(entry);
    EXPECT_EQ(finalizing, expected);
}

struct CreationCase {
    QueryOddity Oddity;
    bool AsUnknown; // the oddity is in the answer for IUnknown, else for IBdsPackage
    bool Loads;
    const char* Error; // the failure message's error line when it does not load
};

// Catches a package object with an odd QueryInterface that crashes the
// loader, leaks (the object is never destroyed), is kept although it never
// answered IBdsPackage properly, or fails without the loader's message.
TEST_F(ReliabilityTest, PackageObjectsThatAnswerQueryInterfaceOddlyAreRefusedWithTheLoadersMessage)
{
    const std::vector<CreationCase> cases{
        {QueryOddity::Refuses, true, false, "No such interface supported"},
        // COM creation turns a success without an object into E_UNEXPECTED.
        {QueryOddity::OkWithoutPointer, true, false, "Catastrophic failure"},
        {QueryOddity::FailWithGarbage, true, false, "No such interface supported"},
        {QueryOddity::SFalseWithoutPointer, true, false, "Catastrophic failure"},
        // S_FALSE is a success code: the object is there and answers IBdsPackage.
        {QueryOddity::SFalseWithPointer, true, true, ""},
        {QueryOddity::Refuses, false, false, "Interface not supported"},
        {QueryOddity::OkWithoutPointer, false, false, "Interface not supported"},
        {QueryOddity::FailWithGarbage, false, false, "Interface not supported"},
        {QueryOddity::SFalseWithoutPointer, false, false, "Interface not supported"},
        {QueryOddity::SFalseWithPointer, false, false, "Interface not supported"},
    };
    std::vector<std::shared_ptr<MisbehavingProbe>> probes;
    for (const CreationCase& c : cases) {
        std::string name = std::string(c.AsUnknown ? "IUnknown " : "IBdsPackage ") + OddityName(c.Oddity);
        auto probe = AddPackage(name, LONG(probes.size()));
        probe->OddInterface = c.AsUnknown ? tvx::IidOf<IUnknown> : tvx::IidOf<IBdsPackage>;
        probe->Oddity = c.Oddity;
        probes.push_back(probe);
    }
    Start();
    ExpectWitnessWorks();

    std::vector<std::u16string> errors;
    for (const auto& box : tvx::win32::MessageBoxes())
        errors.push_back(box.text.substr(box.text.rfind(u"Error: ") + 7));
    std::vector<std::u16string> expectedErrors;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(probes[i]->Name);
        EXPECT_EQ(Count("Initialize " + probes[i]->Name), cases[i].Loads ? 1u : 0u);
        if (!cases[i].Loads) {
            expectedErrors.push_back(tvx::Utf8ToUtf16(cases[i].Error));
            EXPECT_EQ(probes[i]->Alive, 0) << "a refused package object is released";
        }
    }
    EXPECT_EQ(errors, expectedErrors);
    LONG count = -1;
    Root()->get_PackagesCount(&count);
    EXPECT_EQ(count, LONG(cases.size() + 1)) << "refused packages keep their records";

    Shutdown();
    for (auto& probe : probes)
        EXPECT_EQ(probe->Alive, 0) << probe->Name;
}

// Catches a loader that trusts the pointer a package answers for
// IBdsPackage: a package may answer with another object, which then gets
// the calls, and both objects go at shutdown.
TEST_F(ReliabilityTest, APackageThatAnswersWithAnotherObjectHasThatObjectCalledAndReleased)
{
    auto standIn = std::make_shared<MisbehavingProbe>("StandIn", log);
    auto probe = AddPackage("Impostor", 1);
    probe->OddInterface = tvx::IidOf<IBdsPackage>;
    probe->Oddity = QueryOddity::WrongObject;
    probe->StandIn = tvx::IntfPtr<IUnknown>(static_cast<IBdsPackage*>(new MisbehavingPackage(standIn)));
    Start();
    ExpectWitnessWorks();
    EXPECT_EQ(Count("Initialize StandIn"), 1u);
    EXPECT_EQ(Count("Initialize Impostor"), 0u);
    EXPECT_EQ(probe->Alive, 0) << "the object that only pointed elsewhere is released at once";
    Shutdown();
    EXPECT_EQ(Count("Finalize StandIn"), 1u);
    probe->StandIn = nullptr;
    EXPECT_EQ(standIn->Alive, 0);
}

} // namespace
