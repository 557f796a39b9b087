// The Open Tools API's module and editor services: the open modules, making
// and finding modules, file systems, and the editor windows' view on top and
// their notifiers. Host interfaces under the IDE's identifiers.
#pragma once

#include "host/ide/ToolsAPICreators.h"
#include "host/ide/ToolsAPIEditors.h"
#include "host/ide/ToolsAPIModules.h"

class TDockableForm;

TVX_DECLARE_INTERFACE(IOTAModuleServices70, "{F17A7BCD-E07D-11D1-AB0B-00C04FB16FB3}")
TVX_DECLARE_INTERFACE(IOTAModuleServices, "{55A5E848-27FB-4880-8E7C-7F05A9802482}")
TVX_DECLARE_INTERFACE(IOTAEditorServices80, "{F37E8C46-0A02-4FD4-8D57-E55F9A5783EC}")
TVX_DECLARE_INTERFACE(IOTAEditorServices, "{BE733055-5ED8-45B4-BAB1-19C46C237408}")
TVX_DECLARE_INTERFACE(INTAEditServicesNotifier, "{F954AA40-23E7-412C-BD59-CC3428DE2939}")

struct IOTAModuleServices70 : IUnknown {
    // How many modules the IDE has open.
    virtual int GetModuleCount() = 0;
    // Raises for an index outside 0..GetModuleCount()-1.
    virtual tvx::IntfPtr<IOTAModule> GetModule(int Index) = 0;
    // The open module of that file name (ignoring case), or null.
    virtual tvx::IntfPtr<IOTAModule> FindModule(const String& FileName) = 0;
    // The module of the editor on top, or null.
    virtual tvx::IntfPtr<IOTAModule> CurrentModule() = 0;
    // The module whose form has that name, or null.
    virtual tvx::IntfPtr<IOTAModule> FindFormModule(const String& FormName) = 0;
    // File > New > Unit; false when none was made.
    virtual bool NewModule() = 0;
    // A module built from what the creator says and hands over.
    virtual tvx::IntfPtr<IOTAModule> CreateModule(IOTACreator* Creator) = 0;
    // A unit identifier, class name and file name no open module uses.
    virtual void GetNewModuleAndClassName(const String& Prefix, String& UnitIdent, String& ClassName,
                                          String& FileName) = 0;
    // False when a module's notifier cancelled its save.
    virtual bool SaveAll() = 0;
    virtual bool CloseAll() = 0;
    // The services hold the file system (one reference) until
    // RemoveFileSystem with the answered index.
    virtual int AddFileSystem(IOTAFileSystem* FileSystem) = 0;
    virtual void RemoveFileSystem(int Index) = 0;
};

struct IOTAModuleServices : IOTAModuleServices70 {
    using Base = IOTAModuleServices70;
};

// What the editor windows do, told to a notifier of the editor services.
struct INTAEditServicesNotifier : IOTANotifier {
    using Base = IOTANotifier;
    virtual void WindowShow(INTAEditWindow* EditWindow, bool Show, bool LoadedFromDesktop) = 0;
    virtual void WindowNotification(INTAEditWindow* EditWindow, TOperation Operation) = 0;
    virtual void WindowActivated(INTAEditWindow* EditWindow) = 0;
    // A command of the editor window; Handled true keeps the IDE from it.
    virtual void WindowCommand(INTAEditWindow* EditWindow, int Command, int Param, bool& Handled) = 0;
    virtual void EditorViewActivated(INTAEditWindow* EditWindow, IOTAEditView* EditView) = 0;
    virtual void EditorViewModified(INTAEditWindow* EditWindow, IOTAEditView* EditView) = 0;
    virtual void DockFormVisibleChanged(INTAEditWindow* EditWindow, TDockableForm* DockForm) = 0;
    virtual void DockFormUpdated(INTAEditWindow* EditWindow, TDockableForm* DockForm) = 0;
    virtual void DockFormRefresh(INTAEditWindow* EditWindow, TDockableForm* DockForm) = 0;
};

// The IDE offers its editor services under both identifiers.
struct IOTAEditorServices80 : IUnknown {
    // The view of the front editor window, or null when none is open.
    virtual tvx::IntfPtr<IOTAEditView> GetTopView() = 0;
    // The services hold the notifier (one reference) until RemoveNotifier
    // with the answered index; an index they never gave is ignored.
    virtual int AddNotifier(INTAEditServicesNotifier* Notifier) = 0;
    virtual void RemoveNotifier(int Index) = 0;
};

struct IOTAEditorServices : IOTAEditorServices80 {
    using Base = IOTAEditorServices80;
};
