// The Open Tools API's modules, their file editors and their notifiers, as
// the IDE publishes them: a module is an open unit, project or form with one
// editor per file (source, form). Host interfaces: host types, errors as
// host exceptions, the silent abort (EAbort) from a notifier cancels what
// it was told of.
#pragma once

#include "host/ide/Notifier.h"
#include "host/vcl/Classes.h"
#include "host/vcl/System.h"
#include "interop/ComBase.h"
#include "interop/Guid.h"
#include "interop/IntfPtr.h"

struct IOTAModule;
struct IOTAEditView;

TVX_DECLARE_INTERFACE(IOTAEditor, "{F17A7BD0-E07D-11D1-AB0B-00C04FB16FB3}")
TVX_DECLARE_INTERFACE(IOTASourceEditor, "{5D965803-8147-4D32-B8C5-712F6DDCF98E}")
TVX_DECLARE_INTERFACE(IOTAFormEditor, "{F17A7BD2-E07D-11D1-AB0B-00C04FB16FB3}")
TVX_DECLARE_INTERFACE(IOTAModule, "{7FF96161-E610-4414-B8B1-D1ECA76FEAFB}")
TVX_DECLARE_INTERFACE(IOTAModuleNotifier, "{F17A7BCE-E07D-11D1-AB0B-00C04FB16FB3}")
TVX_DECLARE_INTERFACE(IOTAModuleNotifier80, "{6C4714BB-223A-4CDF-A710-429FE8FA0B91}")
TVX_DECLARE_INTERFACE(IOTAModuleNotifier90, "{53B90D0D-0E70-472A-885E-0566B2711C15}")
TVX_DECLARE_INTERFACE(IOTAEditorNotifier, "{0E3B9D7B-E119-11D1-AB0C-00C04FB16FB3}")

// What a module hears: saving (BeforeSave and AfterSave may cancel with the
// silent abort), overwriting, renaming.
struct IOTAModuleNotifier : IOTANotifier {
    using Base = IOTANotifier;
    // False keeps the file on disk from being overwritten: the save stops.
    virtual bool CheckOverwrite() = 0;
    virtual void ModuleRenamed(const String& NewName) = 0;
};

struct IOTAModuleNotifier80 : IOTAModuleNotifier {
    using Base = IOTAModuleNotifier;
    // False keeps the module from being saved.
    virtual bool AllowSave() = 0;
    // Files the save will also overwrite, which the IDE checks first.
    virtual int GetOverwriteFileNameCount() = 0;
    virtual String GetOverwriteFileName(int Index) = 0;
    // The name the module is about to be saved under.
    virtual void SetSaveFileName(const String& FileName) = 0;
};

struct IOTAModuleNotifier90 : IOTAModuleNotifier80 {
    using Base = IOTAModuleNotifier80;
    virtual void BeforeRename(const String& OldFileName, const String& NewFileName) = 0;
    virtual void AfterRename(const String& OldFileName, const String& NewFileName) = 0;
};

// What a file editor hears of its views.
struct IOTAEditorNotifier : IOTANotifier {
    using Base = IOTANotifier;
    // opInsert when a view opens, opRemove when it closes.
    virtual void ViewNotification(IOTAEditView* View, TOperation Operation) = 0;
    virtual void ViewActivated(IOTAEditView* View) = 0;
};

// One file of a module in the editor.
struct IOTAEditor : IUnknown {
    virtual String GetFileName() = 0;
    virtual bool GetModified() = 0;
    // Marks the file changed; true when it was not marked before.
    virtual bool MarkModified() = 0;
    // Brings the file to the front of its editor window.
    virtual void Show() = 0;
    // The module the file belongs to; null once it closed.
    virtual tvx::IntfPtr<IOTAModule> GetModule() = 0;
    // The editor holds the notifier (one reference) until RemoveNotifier
    // with the answered index, or until it closes (after Destroyed).
    virtual int AddNotifier(IOTANotifier* Notifier) = 0;
    // An index it never gave is ignored.
    virtual void RemoveNotifier(int Index) = 0;
};

// A source file's editor, asked for by QueryInterface on a file editor.
struct IOTASourceEditor : IOTAEditor {
    using Base = IOTAEditor;
    // The views of this file: one per editor window that shows it.
    virtual int GetEditViewCount() = 0;
    // Raises for an index outside 0..GetEditViewCount()-1.
    virtual tvx::IntfPtr<IOTAEditView> GetEditView(int Index) = 0;
};

// A form's designer as a file editor; add-ins get nothing more of it here.
struct IOTAFormEditor : IOTAEditor {
    using Base = IOTAEditor;
};

struct IOTAModule : IUnknown {
    virtual String GetFileName() = 0;
    // Renames the module: BeforeRename, ModuleRenamed, AfterRename.
    virtual void SetFileName(const String& AFileName) = 0;
    // The identifier of the file system its files go through; empty for the disk.
    virtual String GetFileSystem() = 0;
    virtual void SetFileSystem(const String& AFileSystem) = 0;
    virtual bool HasCoClasses() = 0;
    virtual int GetModuleFileCount() = 0;
    // Raises for an index outside 0..GetModuleFileCount()-1.
    virtual tvx::IntfPtr<IOTAEditor> GetModuleFileEditor(int Index) = 0;
    virtual void AddToInterface() = 0;
    // The module holds the notifier (one reference) until RemoveNotifier
    // with the answered index, or until it closes (after Destroyed).
    virtual int AddNotifier(IOTAModuleNotifier* ANotifier) = 0;
    virtual void RemoveNotifier(int Index) = 0;
    // Saves through the notifiers' checks; false when one cancelled.
    virtual bool Save(bool ChangeName, bool ForceSave) = 0;
    // Closes the module's editors; false when the user kept it open.
    virtual bool Close() = 0;
    virtual bool CloseModule(bool ForceClosed) = 0;
    // The file editor in front, or null.
    virtual tvx::IntfPtr<IOTAEditor> GetCurrentEditor() = 0;
    // The modules that own this one (a project owns its units).
    virtual int GetOwnerModuleCount() = 0;
    virtual tvx::IntfPtr<IOTAModule> GetOwnerModule(int Index) = 0;
    virtual void MarkModified() = 0;
    virtual void Show() = 0;
    // Shows the module's file of that name.
    virtual void ShowFilename(const String& FileName) = 0;
};
