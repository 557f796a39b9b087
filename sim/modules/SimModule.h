// The IDE's open modules as the Open Tools API hands them out: a module
// with one editor per file (a unit's source and its form, or one source
// file), and what the modules need from the editor windows that show them.
//
// Add-ins may keep a module or an editor after it closed: from then on it
// answers empty, 0 or null and never reaches the IDE again.
#pragma once

#include "host/ide/ToolsAPIEditors.h"
#include "host/ide/ToolsAPIModules.h"
#include "interop/InterfacedObject.h"
#include "interop/IntfPtr.h"
#include "sim/modules/NotifierRegistry.h"

#include <vector>

namespace tvx::sim {

class IdeModules;
class TSimModule;

// What the editor windows do for the modules. They are built after the
// modules, so they register themselves (IdeModules::SetViews).
class ModuleViews {
public:
    virtual ~ModuleViews() = default;
    // How many editor windows show the module.
    virtual int ViewCount(const TSimModule& Module) = 0;
    // Its view in the Index-th of those windows, oldest first; raises
    // EListError outside 0..ViewCount-1.
    virtual tvx::IntfPtr<IOTAEditView> View(const TSimModule& Module, int Index) = 0;
    // Brings the module to the front of an editor window, opening a tab or
    // a window for it if need be.
    virtual void Show(TSimModule& Module) = 0;
    // A file of the module was marked modified: its tabs paint again.
    virtual void Modified(TSimModule& Module) = 0;
    // The module is closing: its tabs leave every window.
    virtual void Closing(TSimModule& Module) = 0;
    // The module has a new file name: its tabs show it.
    virtual void Renamed(TSimModule& Module) = 0;
    // The module of the front window's view, or null.
    virtual TSimModule* Current() = 0;
    // The editor services' notifiers, which hear of saves too.
    virtual NotifierRegistry* ServicesNotifiers() = 0;
};

// What a module keeps of one of its files, whichever interfaces its editor
// answers.
class ModuleFile {
public:
    ModuleFile(TSimModule& Module, String FileName, String Source);
    virtual ~ModuleFile() = default;
    ModuleFile(const ModuleFile&) = delete;
    ModuleFile& operator=(const ModuleFile&) = delete;

    bool Modified() const noexcept { return module_ && modified_; }
    // The module closed: the editor answers as an empty one from now on.
    void Detach() noexcept { module_ = nullptr; }

    // The IDE's side: the name and text it saves, without notifications.
    const String& FileName() const noexcept { return fileName_; }
    void Rename(String FileName);
    const String& Source() const noexcept { return source_; }
    void SetModified(bool Modified) noexcept { modified_ = Modified; }
    NotifierRegistry& Notifiers() noexcept { return notifiers_; }
    const NotifierRegistry& Notifiers() const noexcept { return notifiers_; }

protected:
    TSimModule* OpenModule() const noexcept { return module_; }
    String FileNameIfOpen() const { return module_ ? fileName_ : String(); }
    void MarkFileModified();
    void ShowFile();
    tvx::IntfPtr<IOTAModule> ModuleIfOpen() const;

private:
    TSimModule* module_;
    String fileName_;
    String source_;
    bool modified_ = false;
    NotifierRegistry notifiers_;
};

template <class Derived, class Interface>
class TSimFileEditorOf : public tvx::Implements<Derived, Interface>, public ModuleFile {
public:
    using ModuleFile::ModuleFile;
    String GetFileName() override { return FileNameIfOpen(); }
    bool GetModified() override { return Modified(); }
    bool MarkModified() override
    {
        const bool was = Modified();
        MarkFileModified();
        return !was && Modified();
    }
    void Show() override { ShowFile(); }
    tvx::IntfPtr<IOTAModule> GetModule() override { return ModuleIfOpen(); }
    // A closed editor takes no notifier: nothing would ever tell it Destroyed.
    int AddNotifier(IOTANotifier* Notifier) override { return OpenModule() ? Notifiers().Add(Notifier) : -1; }
    void RemoveNotifier(int Index) override { Notifiers().Remove(Index); }
};

// A form file (.dfm): a form editor, but no source editor.
class TSimFormEditor final : public TSimFileEditorOf<TSimFormEditor, IOTAFormEditor> {
public:
    using TSimFileEditorOf::TSimFileEditorOf;
};

class TSimSourceEditor final : public TSimFileEditorOf<TSimSourceEditor, IOTASourceEditor> {
public:
    using TSimFileEditorOf::TSimFileEditorOf;
    int GetEditViewCount() override;
    tvx::IntfPtr<IOTAEditView> GetEditView(int Index) override;
};

// What a module is made of: its unit (or single file), the unit's
// interface file when it has one, its form, and where its files go.
struct ModuleContent {
    String FileName;
    String Source;
    // Empty for a module without one.
    String IntfFileName;
    String IntfSource;
    // The designers' form of that name; its file is the unit's with .dfm.
    String FormName;
    String FormSource;
    // The identifier of a registered file system; empty for the disk.
    String FileSystem;
    // The project that owns the module, or null.
    tvx::IntfPtr<IOTAModule> OwnerModule;
    // Not saved yet.
    bool Modified = false;
};

class TSimModule final : public tvx::Implements<TSimModule, IOTAModule> {
public:
    // Files in this order: the unit, its interface file, its form.
    TSimModule(IdeModules& Owner, ModuleContent Content);
    ~TSimModule() override;

    String GetFileName() override;
    // Renames the module and its files: BeforeRename on each
    // IOTAModuleNotifier90 (the silent abort keeps the old name), the files
    // move on the disk or through the file system, ModuleRenamed on each
    // notifier, AfterRename on each IOTAModuleNotifier90. A name another
    // open module has raises.
    void SetFileName(const String& AFileName) override;
    String GetFileSystem() override { return IsOpen() ? fileSystem_ : String(); }
    void SetFileSystem(const String& AFileSystem) override;
    int GetModuleFileCount() override;
    tvx::IntfPtr<IOTAEditor> GetModuleFileEditor(int Index) override;
    bool HasCoClasses() override { return false; }
    void AddToInterface() override {}
    int AddNotifier(IOTAModuleNotifier* ANotifier) override;
    void RemoveNotifier(int Index) override { notifiers_.Remove(Index); }
    // The save in the order of IdeModules::SaveModule. ChangeName asks the
    // user for a name, which the simulated user never changes; without
    // ForceSave an unmodified module is left as it is.
    bool Save(bool ChangeName, bool ForceSave) override;
    // Closes the module in every editor window, takes it off the list of
    // open modules and tells its notifiers and its editors' notifiers
    // Destroyed, then releases them; false once it is closed (nothing is
    // left to close).
    bool Close() override;
    bool CloseModule(bool) override { return Close(); }
    tvx::IntfPtr<IOTAEditor> GetCurrentEditor() override;
    int GetOwnerModuleCount() override { return IsOpen() && ownerModule_ ? 1 : 0; }
    tvx::IntfPtr<IOTAModule> GetOwnerModule(int Index) override;
    // Marks the unit's source modified, as typing in it does.
    void MarkModified() override;
    void Show() override;
    void ShowFilename(const String& FileName) override;

    // The IDE's side. The file name stays readable after the module closed.
    const String& FileName() const noexcept { return fileName_; }
    const String& FormName() const noexcept { return formName_; }
    const String& FileSystemId() const noexcept { return fileSystem_; }
    bool IsOpen() const noexcept { return state_ == State::Open; }
    bool Modified() const noexcept;
    // Its files in order, and its form's editor (null without a form).
    std::vector<ModuleFile*> Files() const;
    IOTAFormEditor* FormEditor() const noexcept { return formEditor_.get(); }
    NotifierRegistry& Notifiers() noexcept { return notifiers_; }
    const NotifierRegistry& Notifiers() const noexcept { return notifiers_; }
    // Destroyed to every notifier of the module and its editors, which are
    // then released; the module stays open.
    void DestroyNotifiers();
    // The IDE closes without asking the windows (they are gone by then):
    // the module answers as a closed one.
    void Detach() noexcept;
    // The unsaved state after a save.
    void SetSaved() noexcept;
    // The rename itself, once the notifiers agreed.
    void TakeFileName(String FileName);

    // For the module's editors.
    ModuleViews* Views() const noexcept;
    void FileModified(ModuleFile& File);

private:
    enum class State { Open, Closing, Closed };
    struct File {
        tvx::IntfPtr<IOTAEditor> Editor;
        ModuleFile* Content;
    };
    NotifierJournal* Journal() const noexcept;
    void AddFile(tvx::IntfPtr<IOTAEditor> Editor, ModuleFile* Content);

    IdeModules* owner_;
    String fileName_;
    String formName_;
    String fileSystem_;
    tvx::IntfPtr<IOTAModule> ownerModule_;
    tvx::IntfPtr<IOTAFormEditor> formEditor_;
    State state_ = State::Open;
    std::vector<File> files_;
    std::size_t current_ = 0;
    NotifierRegistry notifiers_;
};

// The unit's file name with another extension (".dfm", ".h").
String WithExtension(const String& FileName, std::u16string_view Extension);

} // namespace tvx::sim
