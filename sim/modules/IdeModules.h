// The simulated IDE's open modules and the module services add-ins look up
// by IOTAModuleServices. The IDE starts with the demo project's unit (and
// its form, the designers' Form1) and its project file open.
#pragma once

#include "host/ide/ToolsAPIServices.h"
#include "interop/InterfacedObject.h"
#include "interop/IntfPtr.h"
#include "sim/IdePart.h"
#include "sim/modules/ModuleReport.h"
#include "sim/modules/NotifierRegistry.h"
#include "sim/modules/SimModule.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tvx::sim {

class IdeModules;
class SimulatedIde;

// Where the demo project lives; a bare file name opens there.
inline constexpr std::u16string_view kProjectFolder = u"C:\\Projects\\Demo\\";

class TSimModuleServices final : public tvx::Implements<TSimModuleServices, IOTAModuleServices> {
public:
    explicit TSimModuleServices(IdeModules& modules) : modules_(&modules) {}
    int GetModuleCount() override;
    tvx::IntfPtr<IOTAModule> GetModule(int Index) override;
    tvx::IntfPtr<IOTAModule> FindModule(const String& FileName) override;
    tvx::IntfPtr<IOTAModule> CurrentModule() override;
    tvx::IntfPtr<IOTAModule> FindFormModule(const String& FormName) override;
    bool NewModule() override;
    tvx::IntfPtr<IOTAModule> CreateModule(IOTACreator* Creator) override;
    void GetNewModuleAndClassName(const String& Prefix, String& UnitIdent, String& ClassName,
                                  String& FileName) override;
    bool SaveAll() override;
    bool CloseAll() override;
    int AddFileSystem(IOTAFileSystem* FileSystem) override;
    void RemoveFileSystem(int Index) override;
    // The modules go before the services do when the IDE closes; add-ins
    // may keep the services longer.
    void Detach() noexcept { modules_ = nullptr; }

private:
    IdeModules* modules_;
};

// VCL file stream modes, as a file system's GetFileStream takes them.
inline constexpr int fmOpenRead = 0x0000;
inline constexpr int fmCreate = 0xFF00;

// What a new module is called: "Unit2", "TForm2", "C:\Projects\Demo\Unit2.pas".
struct NewModuleName {
    String UnitIdent;
    String FormIdent;
    String ClassName;
    String FileName;
};

class IdeModules final : public IdePart {
public:
    explicit IdeModules(SimulatedIde& ide) : ide_(ide) {}
    ~IdeModules() override;

    // Offers the module services and opens the demo project's files, which
    // lie on the simulator's disk.
    void Build() override;
    // Reads the modules, their notifiers and the file systems for the report.
    void BeforeShutdown() override;
    // Tells every notifier still registered Destroyed and releases it, and
    // releases the file systems, while the add-ins' libraries are loaded.
    void AfterWizardTerminate() override;
    // save-module, save-all, rename-module, close-all, new-module, modules.
    void RegisterCommands(ScenarioRunner& runner) override;
    void AddToReport(Report& report) const override;

    int Count() const noexcept { return int(open_.size()); }
    // Raises EListError outside 0..Count-1.
    TSimModule& Module(int Index) const;
    // The open module of that full file name (ignoring case, either slash),
    // or null.
    TSimModule* Find(std::u16string_view FileName) const noexcept;
    // The module of that file, opened if it is not; a unit with a form
    // names the form. Its text comes from the disk, else the IDE's template.
    TSimModule& Open(const String& FileName, const String& FormName = String());
    // The module whose form has that name (ignoring case), or null.
    TSimModule* FindForm(std::u16string_view FormName) const noexcept;

    // The flows behind the Open Tools API; every call into an add-in lands
    // in the journal.
    //
    // Saving, in this order: AllowSave on each IOTAModuleNotifier80 (false
    // stops); the overwrite names of each IOTAModuleNotifier80
    // (GetOverwriteFileNameCount, GetOverwriteFileName); CheckOverwrite on
    // each notifier (false stops); SetSaveFileName on each
    // IOTAModuleNotifier80; BeforeSave on the module's notifiers, its
    // editors' and the editor services'; the files are written; AfterSave
    // on the same notifiers; the module is saved. The silent abort from
    // BeforeSave (or anything before it) stops the save with nothing
    // written; from AfterSave it is reported and the save stands. False
    // when the save stopped or a file could not be written.
    bool SaveModule(TSimModule& Module, bool ForceSave);
    // Saves every modified module; false when one did not save.
    bool SaveAll();
    // See TSimModule::SetFileName.
    void Rename(TSimModule& Module, const String& NewFileName);
    // Closes every module; false when one stayed open.
    bool CloseAll();
    // Asks the creator in this order: GetCreatorType, GetExisting,
    // GetFileSystem, GetOwner, GetUnnamed; a module creator then
    // GetAncestorName, GetImplFileName, GetIntfFileName, GetFormName,
    // GetMainForm, GetShowForm, GetShowSource, NewImplSource, NewIntfSource,
    // NewFormFile (each file's GetSource, GetAge); builds and opens the
    // module (in the front editor window when GetShowSource), then
    // FormCreated. An existing module's files are read instead of asking
    // for new sources. A plain creator makes an empty text file.
    tvx::IntfPtr<TSimModule> Create(IOTACreator& Creator);
    // File > New > Unit.
    TSimModule& NewUnit();
    // The first number n with Prefix<n> (Unit by default), Form<n> and the
    // file name free among the open modules and on the disk.
    NewModuleName NewName(const String& Prefix, std::u16string_view Extension = u".pas") const;

    // Files: on the simulator's disk, or through the registered file
    // system of that identifier. The file system's stream is the add-in's
    // own; the IDE only asks for it. False (with a problem line) when the
    // operation failed.
    bool WriteFile(const String& FileSystem, const String& FileName, const String& Text);
    bool FileExists(const String& FileSystem, const String& FileName);
    bool RenameFile(const String& FileSystem, const String& OldName, const String& NewName);
    // The text on the disk, or nothing (also for a file system's file).
    std::optional<String> DiskText(const String& FileName) const;
    int AddFileSystem(IOTAFileSystem* FileSystem);
    void RemoveFileSystem(int Index) noexcept;

    NotifierJournal& Journal() noexcept { return journal_; }
    ModulesRecord Snapshot() const;

    // The editor windows, while they exist.
    ModuleViews* Views() const noexcept { return views_; }
    void SetViews(ModuleViews* Views) noexcept { views_ = Views; }
    // A module closed: it leaves the list.
    void Remove(const TSimModule& Module) noexcept;

    // Windows file names: the case and the kind of slash do not matter.
    static bool SameFileName(std::u16string_view A, std::u16string_view B) noexcept;
    // The name after the last path separator, as a tab shows it.
    static String ShortName(std::u16string_view FileName);

    // The open module of that full file name or tab caption; raises
    // ScenarioError for none or several.
    TSimModule& Require(const std::string& File) const;
    // A file name of a step as the IDE takes it: a bare or relative name
    // lies in the project's folder; names Windows would refuse raise
    // ScenarioError.
    static String ScenarioFileName(const std::string& File);

    // The scenario steps; what happened, one line each.
    std::vector<std::string> SaveModuleStep(const std::string& File);
    std::vector<std::string> SaveAllStep();
    std::vector<std::string> RenameModuleStep(const std::string& File, const std::string& NewFile);
    std::vector<std::string> CloseAllStep();
    std::vector<std::string> NewModuleStep();

private:
    struct FileSystemEntry {
        int Index;
        tvx::IntfPtr<IOTAFileSystem> FileSystem;
    };
    // The registered file system of that identifier, or null (a problem line).
    IOTAFileSystem* FileSystemFor(const String& Id);
    void ReleaseFileSystems() noexcept;

    SimulatedIde& ide_;
    tvx::IntfPtr<TSimModuleServices> services_;
    // In the order they opened.
    std::vector<tvx::IntfPtr<TSimModule>> open_;
    ModuleViews* views_ = nullptr;
    NotifierJournal journal_;
    // File names in upper case, as Windows compares them.
    std::map<String, String> disk_;
    std::vector<FileSystemEntry> fileSystems_;
    int nextFileSystem_ = 0;
    ModulesRecord atShutdown_;
};

} // namespace tvx::sim
