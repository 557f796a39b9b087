// The mirrors a package calls: module services, modules, editors and the
// editor services over recording host objects.
#include "tests/support/InterfaceSlots.h"
#include "tests/toolsapi/ToolsApiFakes.h"
#include "toolsapi/BDSEditorServicesWrapper.h"
#include "toolsapi/BDSModuleServicesWrapper.h"

#include <set>

namespace {

using namespace tvx::test;
using tvx::IntfPtr;

class PackageFacingTest : public testing::Test {
protected:
    IntfPtr<HostModuleServices> host{new HostModuleServices()};
    IntfPtr<IBDSModuleServices70> services{new talvix::TBDSModuleServicesWrapper(host.get())};

    IntfPtr<IBDSModule> Module()
    {
        IntfPtr<IBDSModule> module;
        EXPECT_EQ(services->GetCurrentModule(module.put()), S_OK);
        return module;
    }
    IntfPtr<IBDSEditor> Editor(IBDSModule* module)
    {
        IntfPtr<IBDSEditor> editor;
        module->GetModuleFileEditor(0, editor.put());
        return editor;
    }
};

// Catches interface results shared between calls, or a wrapper that holds
// anything but its one host reference.
TEST_F(PackageFacingTest, EachModuleResultIsANewWrapperOverTheSameHostModule)
{
    IntfPtr<IBDSModule> first, second;
    ASSERT_EQ(services->GetModule(0, first.put()), S_OK);
    ASSERT_EQ(services->GetModule(0, second.put()), S_OK);
    ASSERT_TRUE(first && second);
    EXPECT_NE(first.get(), second.get());
    EXPECT_REF(host->module.get(), 3);
    tvx::Bstr name = tvx::Bstr::Attach(second->GetFileName());
    EXPECT_EQ(name.view(), u"C:\\Unit1.pas");
    IntfPtr<IBDSModule> none;
    EXPECT_EQ(services->FindFormModule(nullptr, none.put()), S_OK);
    EXPECT_EQ(none, nullptr);
}

// Catches a host object (or nothing at all) handed out where a package asks
// for a file system, and a wrong creator reaching the host.
TEST_F(PackageFacingTest, LookupsAndCreatorsThatMustNotReachTheHost)
{
    IBDSFileSystem* fileSystem = SentinelPointer<IBDSFileSystem>();
    EXPECT_EQ(services->FindFileSystem(nullptr, &fileSystem), E_NOTIMPL);
    EXPECT_EQ(fileSystem, nullptr);
    EXPECT_FALSE(TakeErrorDescription().empty());
    IBDSModule* module = SentinelPointer<IBDSModule>();
    EXPECT_EQ(services->CreateModule(nullptr, &module), S_OK);
    EXPECT_EQ(module, nullptr);
    IntfPtr<Unrelated> wrong(new Unrelated());
    EXPECT_EQ(services->CreateModule(Posing<IBDSCreator>(wrong.get()), &module), E_NOINTERFACE);
    EXPECT_EQ(module, nullptr);
    EXPECT_FALSE(TakeErrorDescription().empty());
    EXPECT_TRUE(host->calls.empty());
    EXPECT_REF(wrong.get(), 1);
}

// Catches the package's creator handed to the host unwrapped, or the host's
// module handed back unwrapped.
TEST_F(PackageFacingTest, CreateModuleWrapsTheCreatorAndItsModule)
{
    IntfPtr<PackageCreator> creator(new PackageCreator());
    IntfPtr<IBDSModule> module;
    ASSERT_EQ(services->CreateModule(Posing<IBDSCreator>(creator.get()), module.put()), S_OK);
    ASSERT_TRUE(host->creator && module);
    EXPECT_NE(static_cast<void*>(host->creator.get()), static_cast<void*>(creator.get()));
    EXPECT_EQ(host->creator.as<IOTAModuleCreator>()->GetCreatorType(), u"Form");
    EXPECT_NE(static_cast<void*>(module.get()), static_cast<void*>(host->module.get()));
    host->creator = nullptr;
    EXPECT_REF(creator.get(), 1);
}

// Catches a file system refused as index 0 (another's), or a wrong object
// reaching the host; the host's index comes back unchanged.
TEST_F(PackageFacingTest, AddFileSystemRefusesWhatIsNoFileSystem)
{
    IntfPtr<Unrelated> wrong(new Unrelated());
    EXPECT_EQ(services->AddFileSystem(nullptr), -1);
    EXPECT_EQ(services->AddFileSystem(Posing<IBDSFileSystem>(wrong.get())), -1);
    EXPECT_TRUE(host->calls.empty());
    IntfPtr<PackageFileSystem> fileSystem(new PackageFileSystem());
    EXPECT_EQ(services->AddFileSystem(fileSystem.get()), 3);
    ASSERT_TRUE(host->fileSystem);
    EXPECT_NE(static_cast<void*>(host->fileSystem.get()), static_cast<void*>(fileSystem.get()));
    EXPECT_TRUE(host->fileSystem.try_as<IOTAFileSystem>());
}

// Catches the caller's old values being freed, one string shared between the
// three results, or a null prefix read as anything but empty.
TEST_F(PackageFacingTest, GetNewModuleAndClassNameWritesThreeNewStrings)
{
    PWideChar unit = reinterpret_cast<PWideChar>(kSentinel), cls = unit, file = unit;
    services->GetNewModuleAndClassName(nullptr, &unit, &cls, &file);
    tvx::Bstr u = tvx::Bstr::Attach(unit), c = tvx::Bstr::Attach(cls), f = tvx::Bstr::Attach(file);
    EXPECT_EQ(u.view(), u"Unit2");
    EXPECT_EQ(c.view(), u"TForm2");
    EXPECT_EQ(f.view(), u"C:\\Unit2.pas");
    EXPECT_EQ(std::set<void*>({unit, cls, file}).size(), 3u);
}

// Catches booleans written as 1 or read as only -1.
TEST_F(PackageFacingTest, LongBoolsAreMinusOneAndAnyNonzeroIsTrue)
{
    EXPECT_EQ(services->NewModule(), -1);
    EXPECT_EQ(services->SaveAll(), 0);
    IntfPtr<IBDSModule> module = Module();
    EXPECT_EQ(module->Save(2, 0), -1);
    EXPECT_EQ(host->module->saved, (std::vector<bool>{true, false}));
}

// Catches a text argument cut at an embedded NUL, owners asked of the host,
// or a notifier index the host never gave being swallowed.
TEST_F(PackageFacingTest, ModuleArgumentsAndOwners)
{
    IntfPtr<IBDSModule> module = Module();
    tvx::Bstr name = tvx::Bstr::Attach(SysAllocStringLen(u"a\0b.pas", 7));
    module->SetFileName(name.get());
    EXPECT_EQ(host->module->name, std::u16string(u"a\0b.pas", 7));
    host->module->calls.clear();
    EXPECT_EQ(module->GetOwnerCount(), 0);
    IBDSProject* owner = SentinelPointer<IBDSProject>();
    module->GetOwner(0, &owner);
    EXPECT_EQ(owner, nullptr);
    EXPECT_TRUE(host->module->calls.empty());
    module->RemoveNotifier(42);
    EXPECT_EQ(host->module->removed, 42);
}

// Catches notifiers of the wrong kind reaching the host, and failures
// answered as index 0.
TEST_F(PackageFacingTest, AddNotifierRefusesNullAndWrongObjects)
{
    IntfPtr<IBDSModule> module = Module();
    IntfPtr<IBDSEditor> editor = Editor(module.get());
    IntfPtr<Unrelated> wrong(new Unrelated());
    IntfPtr<SaveNotifier> notifier(new SaveNotifier());
    IntfPtr<EditServicesNotifier> editNotifier(new EditServicesNotifier());
    EXPECT_EQ(module->AddNotifier(nullptr), -1);
    EXPECT_EQ(module->AddNotifier(Posing<IBDSModuleNotifier>(wrong.get())), -1);
    EXPECT_EQ(editor->AddNotifier(Posing<IBDSNotifier>(wrong.get())), -1);
    EXPECT_TRUE(host->module->notifiers.empty() && host->module->editor->notifiers.empty());
    EXPECT_EQ(module->AddNotifier(Posing<IBDSModuleNotifier>(notifier.get())), 5);
    EXPECT_EQ(editor->AddNotifier(notifier.get()), 7);
    ASSERT_EQ(host->module->notifiers.size(), 1u);
    EXPECT_TRUE(host->module->notifiers[0].try_as<IOTAModuleNotifier90>());

    IntfPtr<HostEditorServices> hostEditors(new HostEditorServices());
    IntfPtr<IBDSEditorServices80> editors(new talvix::TBDSEditorServicesWrapper(hostEditors.get()));
    EXPECT_EQ(editors->AddNotifier(Posing<IBDSEditServicesNotifier>(wrong.get())), -1);
    EXPECT_EQ(editors->AddNotifier(nullptr), -1);
    EXPECT_TRUE(hostEditors->calls.empty());
    EXPECT_EQ(editors->AddNotifier(editNotifier.get()), 9);
    editors->RemoveNotifier(99);
    EXPECT_EQ(hostEditors->removed, 99);
}

// Catches an editor that asks the host for its module (null once the module
// closed), or loses the one that made it.
TEST_F(PackageFacingTest, EditorAnswersItsOwnModuleAfterEveryOtherReferenceIsGone)
{
    IntfPtr<IBDSModule> module = Module();
    IntfPtr<IBDSEditor> editor = Editor(module.get());
    IBDSModule* const made = module.get();
    module = nullptr;
    ASSERT_EQ(editor->GetModule(module.put()), S_OK);
    EXPECT_EQ(module.get(), made);
    EXPECT_EQ(tvx::Bstr::Attach(module->GetFileName()).view(), u"C:\\Unit1.pas");
    EXPECT_EQ(editor->GetModule(nullptr), E_POINTER);
    EXPECT_FALSE(host->module->editor->calls.size());
}

// Catches a dismissed editor still reaching the host, or failing twice.
TEST_F(PackageFacingTest, DismissedEditorAnswersEmptyWithoutTheHost)
{
    IntfPtr<IBDSModule> module = Module();
    IntfPtr<IBDSEditor> editor = Editor(module.get());
    EXPECT_REF(host->module->editor.get(), 2);
    editor->Dismiss();
    editor->Dismiss();
    EXPECT_REF(host->module->editor.get(), 1);
    IntfPtr<SaveNotifier> notifier(new SaveNotifier());
    EXPECT_EQ(editor->GetFileName(), nullptr);
    EXPECT_EQ(editor->GetModified(), 0);
    EXPECT_EQ(editor->MarkModified(), 0);
    EXPECT_EQ(editor->AddNotifier(notifier.get()), -1);
    editor->Show();
    editor->RemoveNotifier(0);
    EXPECT_TRUE(host->module->editor->calls.empty());
    IntfPtr<IBDSModule> back;
    EXPECT_EQ(editor->GetModule(back.put()), S_OK);
    EXPECT_EQ(back, module);
}

// Every slot of every package-facing mirror over a host that raises: no
// exception reaches the package, out values end cleared, and a null out
// pointer of an HRESULT method answers E_POINTER.
TEST_F(PackageFacingTest, NoHostErrorReachesThePackage)
{
    IntfPtr<IBDSModule> module = Module();
    IntfPtr<IBDSEditor> editor = Editor(module.get());
    IntfPtr<HostEditorServices> hostEditors(new HostEditorServices());
    IntfPtr<IBDSEditorServices80> editors(new talvix::TBDSEditorServicesWrapper(hostEditors.get()));
    for (HostCalls* h : std::initializer_list<HostCalls*>{host.get(), host->module.get(), host->module->editor.get(),
                                                          hostEditors.get()})
        h->raise = true;
    struct Case {
        void* object;
        std::vector<SlotRow> slots;
        std::set<std::string> hresultOuts;
    };
    const Case cases[] = {
        {services.get(),
         SlotTable<IBDSModuleServices70>(),
         {"GetCurrentModule", "CreateModule", "FindModule", "FindFormModule", "GetModule", "FindFileSystem"}},
        {module.get(), SlotTable<IBDSModule>(), {}},
        {editor.get(), SlotTable<IBDSEditor>(), {"GetModule"}},
        {editors.get(), SlotTable<IBDSEditorServices80>(), {}},
    };
    for (const Case& c : cases) {
        for (const SlotRow& row : c.slots) {
            SCOPED_TRACE(row.method);
            if (std::string(row.method) == "Dismiss")
                continue;
            SlotCall real(SlotCall::Args::Real);
            const HRESULT hr = row.call(c.object, row.slot, real);
            if (std::string(row.method) != "GetModule" || c.object != editor.get()) {
                EXPECT_TRUE(real.OutsCleared());
            }
            if (FAILED(hr)) {
                EXPECT_FALSE(TakeErrorDescription().empty());
            }
            SlotCall nullOut(SlotCall::Args::NullOut);
            const HRESULT nullHr = row.call(c.object, row.slot, nullOut);
            if (c.hresultOuts.count(row.method)) {
                EXPECT_EQ(nullHr, E_POINTER);
            }
        }
    }
}

} // namespace
