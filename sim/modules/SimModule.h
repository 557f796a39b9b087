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
    // The module of the front window's view, or null.
    virtual TSimModule* Current() = 0;
};

// What a module keeps of one of its files, whichever interfaces its editor
// answers.
class ModuleFile {
public:
    ModuleFile(TSimModule& Module, String FileName) : module_(&Module), fileName_(std::move(FileName)) {}
    virtual ~ModuleFile() = default;
    ModuleFile(const ModuleFile&) = delete;
    ModuleFile& operator=(const ModuleFile&) = delete;

    bool Modified() const noexcept { return module_ && modified_; }
    // The module closed: the editor answers as an empty one from now on.
    void Detach() noexcept { module_ = nullptr; }

protected:
    TSimModule* OpenModule() const noexcept { return module_; }
    String FileNameIfOpen() const { return module_ ? fileName_ : String(); }
    void MarkFileModified();
    void ShowFile();
    tvx::IntfPtr<IOTAModule> ModuleIfOpen() const;

private:
    TSimModule* module_;
    String fileName_;
    bool modified_ = false;
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
    // Editor notifiers join with the module flows.
    int AddNotifier(IOTANotifier*) override { return -1; }
    void RemoveNotifier(int) override {}
};

// A form file (.dfm): a file editor, but no source editor.
class TSimFormEditor final : public TSimFileEditorOf<TSimFormEditor, IOTAEditor> {
public:
    using TSimFileEditorOf::TSimFileEditorOf;
};

class TSimSourceEditor final : public TSimFileEditorOf<TSimSourceEditor, IOTASourceEditor> {
public:
    using TSimFileEditorOf::TSimFileEditorOf;
    int GetEditViewCount() override;
    tvx::IntfPtr<IOTAEditView> GetEditView(int Index) override;
};

class TSimModule final : public tvx::Implements<TSimModule, IOTAModule> {
public:
    // A unit with a form has the form's file editor after its source; the
    // form is the designers' form of that name.
    TSimModule(IdeModules& Owner, String FileName, String FormName);
    ~TSimModule() override;

    String GetFileName() override;
    int GetModuleFileCount() override;
    tvx::IntfPtr<IOTAEditor> GetModuleFileEditor(int Index) override;
    // Closes the module in every editor window and takes it off the list of
    // open modules; false once it is closed (nothing is left to close).
    bool Close() override;
    // Saving, renaming, file systems and notifiers join with the module flows.
    void SetFileName(const String&) override {}
    String GetFileSystem() override { return String(); }
    void SetFileSystem(const String&) override {}
    bool HasCoClasses() override { return false; }
    void AddToInterface() override {}
    int AddNotifier(IOTAModuleNotifier*) override { return -1; }
    void RemoveNotifier(int) override {}
    bool Save(bool, bool) override { return false; }
    bool CloseModule(bool) override { return Close(); }
    tvx::IntfPtr<IOTAEditor> GetCurrentEditor() override { return nullptr; }
    int GetOwnerModuleCount() override { return 0; }
    tvx::IntfPtr<IOTAModule> GetOwnerModule(int) override { return nullptr; }
    void MarkModified() override {}
    void Show() override {}
    void ShowFilename(const String&) override {}

    // The IDE's side. The file name stays readable after the module closed.
    const String& FileName() const noexcept { return fileName_; }
    const String& FormName() const noexcept { return formName_; }
    bool IsOpen() const noexcept { return state_ == State::Open; }
    bool Modified() const noexcept;
    // The IDE closes without asking the windows (they are gone by then):
    // the module answers as a closed one.
    void Detach() noexcept;

    // For the module's editors.
    ModuleViews* Views() const noexcept;
    void FileModified();

private:
    enum class State { Open, Closing, Closed };
    struct File {
        tvx::IntfPtr<IOTAEditor> Editor;
        ModuleFile* Content;
    };

    IdeModules* owner_;
    String fileName_;
    String formName_;
    State state_ = State::Open;
    std::vector<File> files_;
};

} // namespace tvx::sim
