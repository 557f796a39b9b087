// The simulated IDE's module flows as add-ins reach them through the Open
// Tools API: the order in which notifiers, creators and file systems are
// called, what cancels a save, and that every registered object is told
// Destroyed and released.
#include "host/vcl/SysUtils.h"
#include "sim/SimulatedIde.h"
#include "tests/support/StartedIdeFixture.h"
#include "tests/support/TestSupport.h"

#include <string>
#include <vector>

namespace {

using tvx::IntfPtr;
using tvx::sim::kProjectFolder;
using Log = std::vector<std::string>;

String InProject(const char16_t* name) { return String(kProjectFolder) + name; }

// Records each call as "<name> <method>"; can answer false, abort, throw
// or remove itself at a named method.
struct Behaviour {
    std::string FalseAt = {}, AbortAt = {}, ThrowAt = {}, RemoveSelfAt = {};
};

class ModuleSpy final : public tvx::Implements<ModuleSpy, IOTAModuleNotifier90> {
public:
    ModuleSpy(Log& log, std::string name, Behaviour behaviour = {})
        : log_(log), name_(std::move(name)), b_(std::move(behaviour))
    {}
    IOTAModule* Module = nullptr;
    int Index = -1;

    void AfterSave() override { Hear("AfterSave"); }
    void BeforeSave() override { Hear("BeforeSave"); }
    void Destroyed() override { Hear("Destroyed"); }
    void Modified() override { Hear("Modified"); }
    bool CheckOverwrite() override { return Hear("CheckOverwrite"); }
    void ModuleRenamed(const String& NewName) override { Hear("ModuleRenamed " + tvx::Utf16ToUtf8(NewName)); }
    bool AllowSave() override { return Hear("AllowSave"); }
    int GetOverwriteFileNameCount() override { return Hear("GetOverwriteFileNameCount") ? 1 : 0; }
    String GetOverwriteFileName(int) override { return Hear("GetOverwriteFileName") ? u"C:\\Extra.txt" : u""; }
    void SetSaveFileName(const String& Name) override { Hear("SetSaveFileName " + tvx::Utf16ToUtf8(Name)); }
    void BeforeRename(const String& O, const String& N) override
    {
        Hear("BeforeRename " + tvx::Utf16ToUtf8(O) + " " + tvx::Utf16ToUtf8(N));
    }
    void AfterRename(const String& O, const String& N) override
    {
        Hear("AfterRename " + tvx::Utf16ToUtf8(O) + " " + tvx::Utf16ToUtf8(N));
    }

private:
    bool Hear(const std::string& what)
    {
        log_.push_back(name_ + " " + what);
        const std::string method = what.substr(0, what.find(' '));
        if (method == b_.RemoveSelfAt && Module)
            Module->RemoveNotifier(Index);
        if (method == b_.AbortAt)
            Abort();
        if (method == b_.ThrowAt)
            throw Exception(u"notifier broke");
        return method != b_.FalseAt;
    }
    Log& log_;
    std::string name_;
    Behaviour b_;
};

class EditServicesSpy final : public tvx::Implements<EditServicesSpy, INTAEditServicesNotifier> {
public:
    EditServicesSpy(Log& log, bool handles) : log_(log), handles_(handles) {}
    void AfterSave() override { log_.push_back("services AfterSave"); }
    void BeforeSave() override { log_.push_back("services BeforeSave"); }
    void Destroyed() override { log_.push_back("services Destroyed"); }
    void Modified() override {}
    void WindowShow(INTAEditWindow*, bool Show, bool) override { log_.push_back(Show ? "shown" : "hidden"); }
    void WindowNotification(INTAEditWindow*, TOperation Op) override
    {
        log_.push_back(Op == opInsert ? "opInsert" : "opRemove");
    }
    void WindowActivated(INTAEditWindow*) override { log_.push_back("activated"); }
    void WindowCommand(INTAEditWindow* W, int Command, int, bool& Handled) override
    {
        log_.push_back("command " + std::to_string(Command) + (W ? "" : " without window"));
        Handled = Handled || handles_;
    }
    void EditorViewActivated(INTAEditWindow*, IOTAEditView* V) override
    {
        log_.push_back(V ? "view activated" : "no view");
    }
    void EditorViewModified(INTAEditWindow*, IOTAEditView*) override { log_.push_back("view modified"); }
    void DockFormVisibleChanged(INTAEditWindow*, TDockableForm*) override {}
    void DockFormUpdated(INTAEditWindow*, TDockableForm*) override {}
    void DockFormRefresh(INTAEditWindow*, TDockableForm*) override {}

private:
    Log& log_;
    bool handles_;
};

class TextFile final : public tvx::Implements<TextFile, IOTAFile> {
public:
    explicit TextFile(String text) : text_(std::move(text)) {}
    String GetSource() override { return text_; }
    TDateTime GetAge() override { return -1; }

private:
    String text_;
};

class CreatorSpy final : public tvx::Implements<CreatorSpy, IOTAModuleCreator> {
public:
    explicit CreatorSpy(Log& log) : log_(log) {}
    String GetCreatorType() override { return Say("GetCreatorType", u"Form"); }
    bool GetExisting() override { return Say("GetExisting", false); }
    String GetFileSystem() override { return Say("GetFileSystem", String()); }
    IntfPtr<IOTAModule> GetOwner() override { return Say("GetOwner", IntfPtr<IOTAModule>()); }
    bool GetUnnamed() override { return Say("GetUnnamed", true); }
    String GetAncestorName() override { return Say("GetAncestorName", u"Form"); }
    String GetImplFileName() override { return Say("GetImplFileName", String()); }
    String GetIntfFileName() override { return Say("GetIntfFileName", String()); }
    String GetFormName() override { return Say("GetFormName", String()); }
    bool GetMainForm() override { return Say("GetMainForm", false); }
    bool GetShowForm() override { return Say("GetShowForm", true); }
    bool GetShowSource() override { return Say("GetShowSource", true); }
    IntfPtr<IOTAFile> NewFormFile(const String& Form, const String& Ancestor) override
    {
        return Say("NewFormFile " + U8(Form) + " " + U8(Ancestor), IntfPtr<IOTAFile>());
    }
    IntfPtr<IOTAFile> NewImplSource(const String& Module, const String& Form, const String& Ancestor) override
    {
        return Say("NewImplSource " + U8(Module) + " " + U8(Form) + " " + U8(Ancestor),
                   IntfPtr<IOTAFile>(new TextFile(u"unit " + Module + u"; // made")));
    }
    IntfPtr<IOTAFile> NewIntfSource(const String&, const String&, const String&) override
    {
        return Say("NewIntfSource", IntfPtr<IOTAFile>());
    }
    void FormCreated(IOTAFormEditor* Editor) override { log_.push_back(Editor ? "FormCreated" : "FormCreated nil"); }

private:
    static std::string U8(const String& s) { return tvx::Utf16ToUtf8(s); }
    template <class T>
    T Say(const std::string& what, T answer)
    {
        log_.push_back(what);
        return answer;
    }
    Log& log_;
};

class NullStream final : public tvx::Implements<NullStream, IStream> {};

class FileSystemSpy final : public tvx::Implements<FileSystemSpy, IOTAFileSystem> {
public:
    explicit FileSystemSpy(Log& log) : log_(log) {}
    IntfPtr<IStream> GetFileStream(const String& Name, int Mode) override
    {
        log_.push_back("GetFileStream " + tvx::Utf16ToUtf8(IdeName(Name)) + " " + std::to_string(Mode));
        return IntfPtr<IStream>(new NullStream);
    }
    int FileAge(const String&) override { return -1; }
    bool RenameFile(const String&, const String&) override { return true; }
    bool IsReadonly(const String&) override { return false; }
    bool IsFileBased() override { return false; }
    bool DeleteFile(const String&) override { return false; }
    bool FileExists(const String&) override { return false; }
    String GetTempFileName(const String& Name) override { return Name; }
    String GetBackupFileName(const String& Name) override { return Name; }
    String GetIDString() override { return u"Test.Store"; }

private:
    static String IdeName(const String& name) { return tvx::sim::IdeModules::ShortName(name); }
    Log& log_;
};

class ModulesTest : public tvx::test::StartedIdeTest {
protected:
    tvx::sim::IdeModules& Modules() { return Ide().Modules(); }
    IntfPtr<IOTAModule> Unit1() { return &Modules().Module(0); }
    IntfPtr<ModuleSpy> Watch(IOTAModule* module, const std::string& name, Behaviour b = {})
    {
        IntfPtr<ModuleSpy> spy(new ModuleSpy(log, name, std::move(b)));
        spy->Module = module;
        spy->Index = module->AddNotifier(spy.get());
        return spy;
    }
    IntfPtr<EditServicesSpy> WatchEditors(bool handles = false)
    {
        IntfPtr<EditServicesSpy> spy(new EditServicesSpy(log, handles));
        servicesIndex = Editors()->AddNotifier(spy.get());
        return spy;
    }
    IntfPtr<IOTAEditorServices> Editors()
    {
        return BorlandIDEServices->GetService(tvx::IidOf<IOTAEditorServices>).try_as<IOTAEditorServices>();
    }
    IntfPtr<IOTAModuleServices> Services()
    {
        return BorlandIDEServices->GetService(tvx::IidOf<IOTAModuleServices>).try_as<IOTAModuleServices>();
    }
    Log log;
    int servicesIndex = -1;
};

// Catches a save that asks its notifiers out of order, skips the editor
// services' notifiers or leaves the module marked modified.
TEST_F(ModulesTest, SaveAsksEveryNotifierInTheDocumentedOrder)
{
    IntfPtr<IOTAModule> unit = Unit1();
    auto spy = Watch(unit.get(), "a");
    auto services = WatchEditors();
    unit->MarkModified();
    log.clear();
    EXPECT_TRUE(unit->Save(false, false));
    const std::string name = tvx::Utf16ToUtf8(InProject(u"Unit1.pas"));
    EXPECT_EQ(log, (Log{"a AllowSave", "a GetOverwriteFileNameCount", "a GetOverwriteFileName", "a CheckOverwrite",
                        "a SetSaveFileName " + name, "a BeforeSave", "services BeforeSave", "a AfterSave",
                        "services AfterSave"}));
    EXPECT_FALSE(unit->GetModuleFileEditor(0)->GetModified());
}

// Catches a cancelled save that still writes, still tells AfterSave or
// forgets that the module is modified.
TEST_F(ModulesTest, AllowSaveFalseCheckOverwriteFalseAndTheSilentAbortCancelTheSave)
{
    for (const Behaviour& b : {Behaviour{.FalseAt = "AllowSave"}, Behaviour{.FalseAt = "CheckOverwrite"},
                               Behaviour{.AbortAt = "BeforeSave"}}) {
        SCOPED_TRACE(b.FalseAt + b.AbortAt);
        ASSERT_TRUE(Services()->NewModule());
        IntfPtr<IOTAModule> unit = Services()->CurrentModule();
        auto spy = Watch(unit.get(), "a", b);
        log.clear();
        EXPECT_FALSE(unit->Save(false, true));
        EXPECT_TRUE(unit->GetModuleFileEditor(0)->GetModified());
        EXPECT_FALSE(Modules().DiskText(unit->GetFileName()).has_value());
        EXPECT_EQ(std::count(log.begin(), log.end(), "a AfterSave"), 0);
    }
}

// Catches an exception from one notifier that stops the others, fails the
// save or escapes into the IDE, and a notifier removing itself mid-round.
TEST_F(ModulesTest, ThrowingAndSelfRemovingNotifiersLeaveTheOthersTheirTurn)
{
    IntfPtr<IOTAModule> unit = Unit1();
    auto thrower = Watch(unit.get(), "t", {.ThrowAt = "BeforeSave"});
    auto leaver = Watch(unit.get(), "l", {.RemoveSelfAt = "Modified"});
    auto witness = Watch(unit.get(), "w");
    unit->MarkModified();
    EXPECT_TRUE(unit->Save(false, false));
    EXPECT_EQ(std::count(log.begin(), log.end(), "w Modified"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "w AfterSave"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "l AllowSave"), 0) << "removed itself at Modified";
    EXPECT_REF(leaver.get(), 1);
    const Log journal = Modules().Journal().Take();
    EXPECT_NE(std::find(journal.begin(), journal.end(),
                        "problem: Unit1.pas notifier 0 BeforeSave raised Exception: notifier broke"),
              journal.end());
}

// Catches a rename that skips a notification, passes the wrong names or
// leaves the tab showing the old name.
TEST_F(ModulesTest, RenameTellsBeforeRenameModuleRenamedAfterRenameAndTheTabFollows)
{
    IntfPtr<IOTAModule> unit = Unit1();
    auto spy = Watch(unit.get(), "a");
    const std::string before = tvx::Utf16ToUtf8(InProject(u"Unit1.pas"));
    const std::string after = tvx::Utf16ToUtf8(InProject(u"Main.pas"));
    unit->SetFileName(InProject(u"Main.pas"));
    EXPECT_EQ(log, (Log{"a BeforeRename " + before + " " + after, "a ModuleRenamed " + after,
                        "a AfterRename " + before + " " + after}));
    EXPECT_EQ(unit->GetModuleFileEditor(1)->GetFileName(), InProject(u"Main.dfm"));
    EXPECT_TRUE(Modules().DiskText(InProject(u"Main.pas")).has_value());
    const auto tabs = Step("paint-tabs EditWindow");
    EXPECT_NE(tabs.at(0).find("\"Main.pas\""), std::string::npos) << tabs.at(0);
    EXPECT_THROW(unit->SetFileName(InProject(u"Project1.dpr")), Exception);
}

// Catches notifiers leaked or never told Destroyed when their module,
// editor or the IDE goes.
TEST_F(ModulesTest, ClosingAndShutdownTellDestroyedAndReleaseEveryNotifier)
{
    IntfPtr<IOTAModule> unit = Unit1();
    auto onModule = Watch(unit.get(), "m");
    IntfPtr<ModuleSpy> onEditor(new ModuleSpy(log, "e"));
    unit->GetModuleFileEditor(1)->AddNotifier(onEditor.get());
    auto onProject = Watch(Modules().Find(InProject(u"Project1.dpr")), "p");
    auto services = WatchEditors();
    EXPECT_REF(onModule.get(), 2);
    EXPECT_TRUE(unit->Close());
    // The next tab comes to the editor before the module's notifiers go.
    EXPECT_EQ(log, (Log{"view activated", "e Destroyed", "m Destroyed"}));
    EXPECT_REF(onModule.get(), 1);
    EXPECT_REF(onEditor.get(), 1);
    EXPECT_EQ(unit->AddNotifier(onModule.get()), -1);
    Ide().BeforeShutdown();
    Ide().AfterWizardTerminate();
    EXPECT_EQ(log, (Log{"view activated", "e Destroyed", "m Destroyed", "services Destroyed", "p Destroyed"}));
    EXPECT_REF(onProject.get(), 1);
    EXPECT_REF(services.get(), 1);
}

// Catches a creator asked out of order, a module not built from the
// creator's sources or a name an open module already has.
TEST_F(ModulesTest, CreateModuleDrivesTheCreatorInOrderAndBuildsTheModuleFromItsSources)
{
    IntfPtr<CreatorSpy> creator(new CreatorSpy(log));
    IntfPtr<IOTAModule> module = Services()->CreateModule(creator.get());
    ASSERT_TRUE(module);
    EXPECT_EQ(log,
              (Log{"GetCreatorType", "GetExisting", "GetFileSystem", "GetOwner", "GetUnnamed", "GetAncestorName",
                   "GetImplFileName", "GetIntfFileName", "GetFormName", "GetMainForm", "GetShowForm", "GetShowSource",
                   "NewImplSource Unit2 Form2 Form", "NewIntfSource", "NewFormFile Form2 Form", "FormCreated"}));
    EXPECT_EQ(module->GetFileName(), InProject(u"Unit2.pas"));
    EXPECT_EQ(Services()->FindFormModule(u"FORM2"), module);
    EXPECT_EQ(Services()->CurrentModule(), module);
    EXPECT_TRUE(module->Save(false, true));
    EXPECT_EQ(Modules().DiskText(InProject(u"Unit2.pas")), String(u"unit Unit2; // made"));
    String unit, cls, file;
    Services()->GetNewModuleAndClassName(String(), unit, cls, file);
    EXPECT_EQ(unit + u" " + cls + u" " + file, u"Unit3 TForm3 " + InProject(u"Unit3.pas"));
}

// Catches a save that bypasses the module's file system or a file system
// the IDE keeps after RemoveFileSystem.
TEST_F(ModulesTest, AModuleOnAFileSystemIsSavedThroughIt)
{
    IntfPtr<FileSystemSpy> fs(new FileSystemSpy(log));
    const int index = Services()->AddFileSystem(fs.get());
    IntfPtr<IOTAModule> unit = Unit1();
    unit->SetFileSystem(u"Test.Store");
    EXPECT_TRUE(unit->Save(false, true));
    EXPECT_EQ(log, (Log{"GetFileStream Unit1.pas 65280", "GetFileStream Unit1.dfm 65280"}));
    Services()->RemoveFileSystem(index);
    EXPECT_REF(fs.get(), 1);
    unit->MarkModified();
    EXPECT_FALSE(unit->Save(false, true)) << "its file system is gone";
    EXPECT_TRUE(unit->GetModuleFileEditor(0)->GetModified());
}

// Catches the IDE running a command a notifier handled, and windows or
// views whose events the editor services' notifiers never hear.
TEST_F(ModulesTest, EditorServicesNotifiersHearWindowsViewsAndCommands)
{
    auto passes = WatchEditors(false);
    EXPECT_NE(Step("editor-command EditWindow 7 1").back().find("the IDE ran command 7"), std::string::npos);
    auto handles = WatchEditors(true);
    EXPECT_NE(Step("editor-command 1 7").back().find("a notifier handled command 7"), std::string::npos);
    Editors()->RemoveNotifier(servicesIndex);
    EXPECT_REF(handles.get(), 1);
    log.clear();
    Step("new-editor-window");
    Step("modify-module Unit1.pas");
    Step("close-editor-window EditWindow2");
    EXPECT_EQ(log, (Log{"opInsert", "activated", "shown", "view activated", "view modified", "view modified", "hidden",
                        "opRemove"}));
}

// Catches steps that act on a module or window nobody named, or a rename
// onto a name another open module has.
TEST_F(ModulesTest, StepsRefuseBadArguments)
{
    const std::pair<const char*, const char*> cases[] = {
        {"save-module Nope.pas", "no open module Nope.pas"},
        {"rename-module Unit1.pas Project1.dpr", "is already open"},
        {"rename-module Unit1.pas \"a|b.pas\"", "not a file name"},
        {"editor-command EditWindow9 1", "no editor window named EditWindow9"},
        {"editor-command 1 0x100000000", ""},
    };
    for (const auto& [step, error] : cases) {
        SCOPED_TRACE(step);
        const auto results = Run(step);
        ASSERT_EQ(results.size(), 1u);
        EXPECT_NE(results[0].Error, "");
        EXPECT_NE(results[0].Error.find(error), std::string::npos) << results[0].Error;
    }
    EXPECT_EQ(Modules().Module(0).FileName(), InProject(u"Unit1.pas"));
}

} // namespace
