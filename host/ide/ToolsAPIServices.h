// The Open Tools API's module and editor services: the open modules and
// the editor view on top. Host interfaces under the IDE's identifiers.
#pragma once

#include "host/ide/ToolsAPIEditors.h"
#include "host/ide/ToolsAPIModules.h"

TVX_DECLARE_INTERFACE(IOTAModuleServices70, "{F17A7BCD-E07D-11D1-AB0B-00C04FB16FB3}")
TVX_DECLARE_INTERFACE(IOTAModuleServices, "{55A5E848-27FB-4880-8E7C-7F05A9802482}")
TVX_DECLARE_INTERFACE(IOTAEditorServices, "{BE733055-5ED8-45B4-BAB1-19C46C237408}")

struct IOTAModuleServices70 : IUnknown {
    // How many modules the IDE has open.
    virtual int GetModuleCount() = 0;
    // Raises for an index outside 0..GetModuleCount()-1.
    virtual tvx::IntfPtr<IOTAModule> GetModule(int Index) = 0;
    // The open module of that file name (ignoring case), or null.
    virtual tvx::IntfPtr<IOTAModule> FindModule(const String& FileName) = 0;
    // The module of the editor on top, or null.
    virtual tvx::IntfPtr<IOTAModule> CurrentModule() = 0;
};

struct IOTAModuleServices : IOTAModuleServices70 {
    using Base = IOTAModuleServices70;
};

struct IOTAEditorServices : IUnknown {
    // The view of the front editor window, or null when none is open.
    virtual tvx::IntfPtr<IOTAEditView> GetTopView() = 0;
};
