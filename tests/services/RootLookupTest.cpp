// IBdsServices lookups: version, edition and personality with their caching,
// the help service getter, component classes, GetService and the package
// table, each with its failure answers.
#include "host/ide/ToolsAPIServices.h"
#include "host/vcl/ActnList.h"
#include "host/win32/RegistryEmulation.h"
#include "tests/services/ServicesFixture.h"
#include "tests/support/HostServiceStubs.h"

#include <cstring>

// A host service registered under the editor-services mirror's identifier.
TVX_DECLARE_INTERFACE(IEditorServicesLike, "{F37E8C46-0A02-4FD4-8D57-E55F9A5783EC}")
struct IEditorServicesLike : IUnknown {};

namespace {

using namespace tvx::test;

// Not the host's editor services, though offered under that identifier.
class EditorServicesLike final : public tvx::Implements<EditorServicesLike, IEditorServicesLike> {};
class HostEditorServices final : public tvx::Implements<HostEditorServices, IEditorServicesLike, IOTAEditorServices> {
public:
    tvx::IntfPtr<IOTAEditView> GetTopView() override { return nullptr; }
    int AddNotifier(INTAEditServicesNotifier*) override { return -1; }
    void RemoveNotifier(int) override {}
};
using HostModuleServices = EmptyModuleServices;

std::u16string Edition(IBdsServices* root)
{
    tvx::Bstr edition;
    EXPECT_EQ(root->get_BdsEdition(edition.put()), S_OK);
    return edition.str();
}

bool Personality(IBdsServices* root)
{
    VARIANT_BOOL answer = 7;
    EXPECT_EQ(root->get_IsPersonalityEdition(&answer), S_OK);
    EXPECT_TRUE(answer == VARIANT_TRUE || answer == VARIANT_FALSE);
    return answer != 0;
}

using RootLookupTest = ServicesTest;

// Catches a version that depends on the host, or an edition read from
// another key than the one named after 8.0.
TEST_F(RootLookupTest, VersionIs8Point0AndTheEditionKeyIsNamedAfterIt)
{
    WriteText(HKEY_LOCAL_MACHINE, u"SOFTWARE\\CodeGear\\BDS\\8", u"Edition", u"Wrong key");
    IBdsServices* root = NewRoot().Interface();
    LONG major = -1, minor = -1;
    EXPECT_EQ(root->get_BdsVersionMajor(&major), S_OK);
    EXPECT_EQ(root->get_BdsVersionMinor(&minor), S_OK);
    EXPECT_EQ(major, 8);
    EXPECT_EQ(minor, 0);
    EXPECT_EQ(Edition(root), u"unknown");

    WriteText(HKEY_LOCAL_MACHINE, kIdeKey, u"Edition", u"Enterprise");
    EXPECT_EQ(Edition(NewRoot().Interface()), u"Enterprise");
}

// Catches an edition looked up on every call instead of once.
TEST_F(RootLookupTest, EditionIsReadOnceThenCached)
{
    WriteText(HKEY_LOCAL_MACHINE, kIdeKey, u"Edition", u"Enterprise");
    IBdsServices* root = NewRoot().Interface();
    EXPECT_EQ(Edition(root), u"Enterprise");
    WriteText(HKEY_LOCAL_MACHINE, kIdeKey, u"Edition", u"Professional");
    EXPECT_EQ(Edition(root), u"Enterprise");
}

// Catches "unknown" cached forever, or an empty edition cached, when the
// value is present but empty: the next call must look again.
TEST_F(RootLookupTest, EmptyEditionIsLookedUpAgain)
{
    WriteText(HKEY_LOCAL_MACHINE, kIdeKey, u"Edition", u"");
    IBdsServices* root = NewRoot().Interface();
    EXPECT_EQ(Edition(root), u"");
    WriteText(HKEY_LOCAL_MACHINE, kIdeKey, u"Edition", u"Architect");
    EXPECT_EQ(Edition(root), u"Architect");
}

// Catches a lookup failure that escapes or leaves no answer (a value of
// another type gives "unknown"), and the key opened for writing: most users
// may only read it, and must still see their edition and personality.
TEST_F(RootLookupTest, EditionIsReadFromAKeyTheUserMayOnlyRead)
{
    ASSERT_EQ(WriteRegistryValue(HKEY_LOCAL_MACHINE, kIdeKey, u"Edition", DwordValue(5)), ERROR_SUCCESS);
    EXPECT_EQ(Edition(NewRoot().Interface()), u"unknown");

    WriteText(HKEY_LOCAL_MACHINE, kIdeKey, u"Edition", u"Enterprise");
    WriteText(HKEY_LOCAL_MACHINE, kIdeKey, u"RegMergeTimeStamp", u"2010-08-30");
    ASSERT_TRUE(tvx::win32::SetRegistryWriteDenied(HKEY_LOCAL_MACHINE, kIdeKey));
    EXPECT_EQ(Edition(NewRoot().Interface()), u"Enterprise");
    EXPECT_FALSE(Personality(NewRoot().Interface()));
}

// Catches the personality test inverted, or answering from the wrong value
// or key, in each of its three situations, and a second lookup.
TEST_F(RootLookupTest, PersonalityIsFalseOnlyWithRegMergeTimeStamp)
{
    EXPECT_TRUE(Personality(NewRoot().Interface())) << "no key";

    WriteText(HKEY_LOCAL_MACHINE, kIdeKey, u"Edition", u"Enterprise");
    IBdsServices* cached = NewRoot().Interface();
    EXPECT_TRUE(Personality(cached)) << "key without the value";

    WriteText(HKEY_LOCAL_MACHINE, kIdeKey, u"RegMergeTimeStamp", u"2010-08-30");
    EXPECT_FALSE(Personality(NewRoot().Interface())) << "value present";
    EXPECT_TRUE(Personality(cached)) << "answer cached by the first root";
}

// Catches a help service made per call, handed out without a reference, or
// one that the packages' releases can end.
TEST_F(RootLookupTest, HelpServiceIsOneObjectThatOutlivesItsUsers)
{
    talvix::TBdsServices& root = NewRoot();
    EXPECT_REF(root.Interface(), 1);
    IBdsHelpService* first = tvx::test::SentinelPointer<IBdsHelpService>();
    IBdsHelpService* second = nullptr;
    ASSERT_EQ(root.Interface()->Get_BdsHelpService(&first), S_OK);
    ASSERT_EQ(root.Interface()->Get_BdsHelpService(&second), S_OK);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_REF(first, 3);
    first->Release();
    second->Release();
    EXPECT_REF(root.BdsHelpService()->Interface(), 1);
}

// Catches the class lookup raising into the package, or answering true for
// a name nobody registered.
TEST_F(RootLookupTest, ComponentRegisteredFollowsTheClassRegistry)
{
    RegisterClass(TAction::StaticClass());
    IBdsServices* root = NewRoot().Interface();
    struct Case {
        const char16_t* name;
        bool expected;
    };
    for (Case c : {Case{u"TAction", true}, Case{u"taction", true}, Case{u"TNoSuchThing", false}, Case{u"", false}}) {
        SCOPED_TRACE(tvx::Utf16ToUtf8(c.name));
        tvx::Bstr name(c.name);
        VARIANT_BOOL answer = 7;
        EXPECT_EQ(root->Get_IsComponentRegistered(name.get(), &answer), S_OK);
        EXPECT_EQ(answer, c.expected ? VARIANT_TRUE : VARIANT_FALSE);
    }
}

// Catches identifiers told apart by anything but their value: the mirror
// identifiers match whatever case they were written in, and a near miss
// matches nothing.
TEST(MirroredServiceOf, AnswersByIdentifierWhateverItsLetterCase)
{
    using talvix::MirroredService;
    EXPECT_EQ(talvix::MirroredServiceOf(*tvx::TryParseGuid("{f17a7bcd-e07d-11d1-ab0b-00c04fb16fb3}")),
              MirroredService::ModuleServices);
    EXPECT_EQ(talvix::MirroredServiceOf(*tvx::TryParseGuid("{F37E8C46-0A02-4FD4-8D57-E55F9A5783EC}")),
              MirroredService::EditorServices);
    EXPECT_EQ(talvix::MirroredServiceOf(*tvx::TryParseGuid("{F17A7BCD-E07D-11D1-AB0B-00C04FB16FB4}")),
              MirroredService::None);
    EXPECT_EQ(talvix::MirroredServiceOf(tvx::IidOf<IOTAModuleServices>), MirroredService::None);
}

// Catches GetService answering something for an identifier without a
// mirror, or failing when the host lacks the service.
TEST_F(RootLookupTest, GetServiceAnswersNullForServicesWithoutAMirror)
{
    Ide().Services().AddService<IOTAModuleServices>(new HostModuleServices());
    IBdsServices* root = NewRoot().Interface();
    for (const GUID& id : {tvx::IidOf<IOTAModuleServices>, tvx::IidOf<IBdsServices>, tvx::IidOf<IOTAEditorServices>}) {
        SCOPED_TRACE(tvx::FormatGuid(id));
        IUnknown* answer = SentinelPointer<IUnknown>();
        EXPECT_EQ(root->GetService(id, &answer), S_OK);
        EXPECT_EQ(answer, nullptr);
    }
}

// Catches a mirror identifier answering the host's own object, the module
// services mirror made anew at each request, or the editor services mirror
// shared between requests.
TEST_F(RootLookupTest, MirrorIdentifiersAnswerTheirWrappers)
{
    IBdsServices* root = NewRoot().Interface();
    tvx::IntfPtr<HostModuleServices> hostModules(new HostModuleServices());
    tvx::IntfPtr<HostEditorServices> hostEditors(new HostEditorServices());
    Ide().Services().AddService<IOTAModuleServices70>(hostModules.get());
    Ide().Services().AddService<IEditorServicesLike>(static_cast<IEditorServicesLike*>(hostEditors.get()));
    tvx::IntfPtr<IUnknown> modules1, modules2, editors1, editors2;
    ASSERT_EQ(root->GetService(tvx::IidOf<IOTAModuleServices70>, modules1.put()), S_OK);
    ASSERT_EQ(root->GetService(tvx::IidOf<IOTAModuleServices70>, modules2.put()), S_OK);
    ASSERT_TRUE(modules1);
    EXPECT_EQ(modules1, modules2);
    EXPECT_EQ(modules1, tvx::IdentityOf(modules1.try_as<IBDSModuleServices70>().get()));
    EXPECT_NE(modules1, tvx::IdentityOf(hostModules.get()));
    EXPECT_EQ(modules1.as<IBDSModuleServices70>()->ModuleCount(), 0);
    ASSERT_EQ(root->GetService(tvx::IidOf<IEditorServicesLike>, editors1.put()), S_OK);
    ASSERT_EQ(root->GetService(tvx::IidOf<IEditorServicesLike>, editors2.put()), S_OK);
    ASSERT_TRUE(editors1 && editors2);
    EXPECT_NE(editors1, editors2);
    EXPECT_NE(editors1, tvx::IdentityOf(static_cast<IEditorServicesLike*>(hostEditors.get())));
    EXPECT_EQ(editors1.as<IBDSEditorServices80>()->AddNotifier(nullptr), -1);
}

// Catches a host service that is not the IDE's editor services being
// accepted, or its cast failure raised into the package.
TEST_F(RootLookupTest, GetServiceRefusesAHostServiceOfTheWrongKind)
{
    IBdsServices* root = NewRoot().Interface();
    Ide().Services().AddService<IEditorServicesLike>(new EditorServicesLike());
    IUnknown* answer = SentinelPointer<IUnknown>();
    EXPECT_EQ(root->GetService(tvx::IidOf<IEditorServicesLike>, &answer), E_NOINTERFACE);
    EXPECT_EQ(answer, nullptr);
    EXPECT_FALSE(TakeErrorDescription().empty());
}

// Catches a bad index raised into the package, reported as success, or
// leaving the caller's record as it was.
TEST_F(RootLookupTest, PackageInfoOutsideTheTableIsInvalidArgWithAClearedRecord)
{
    packages.Add("P1", TestClsid(1), 1);
    ASSERT_TRUE(Enter());
    IBdsServices* root = LoaderRoot().Interface();
    LONG count = -1;
    ASSERT_EQ(root->get_PackagesCount(&count), S_OK);
    ASSERT_EQ(count, 1);
    for (LONG index : {LONG(-1), LONG(1), LONG(0x7FFFFFFF)}) {
        SCOPED_TRACE(index);
        PackageInfo info;
        std::memset(&info, 0xAB, sizeof info);
        EXPECT_EQ(root->GetPackageInfo(index, &info), E_INVALIDARG);
        EXPECT_EQ(info.Name, nullptr);
        EXPECT_EQ(info.Instance, nullptr);
        EXPECT_EQ(info.Id, GUID{});
    }
}

} // namespace
