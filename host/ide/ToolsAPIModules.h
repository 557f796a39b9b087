// The Open Tools API's modules and their file editors, as the IDE publishes
// them: a module is an open unit, project or form with one editor per file
// (source, form). Host interfaces: host types, errors as host exceptions.
#pragma once

#include "host/vcl/System.h"
#include "interop/ComBase.h"
#include "interop/Guid.h"
#include "interop/IntfPtr.h"

struct IOTAModule;
struct IOTAEditView;

TVX_DECLARE_INTERFACE(IOTAEditor, "{F17A7BD0-E07D-11D1-AB0B-00C04FB16FB3}")
TVX_DECLARE_INTERFACE(IOTASourceEditor, "{5D965803-8147-4D32-B8C5-712F6DDCF98E}")
TVX_DECLARE_INTERFACE(IOTAModule, "{7FF96161-E610-4414-B8B1-D1ECA76FEAFB}")

// One file of a module in the editor.
struct IOTAEditor : IUnknown {
    virtual String GetFileName() = 0;
    virtual bool GetModified() = 0;
    virtual void MarkModified() = 0;
    // Brings the file to the front of its editor window.
    virtual void Show() = 0;
    // The module the file belongs to; null once it closed.
    virtual tvx::IntfPtr<IOTAModule> GetModule() = 0;
};

// A source file's editor, asked for by QueryInterface on a file editor.
struct IOTASourceEditor : IOTAEditor {
    using Base = IOTAEditor;
    // The views of this file: one per editor window that shows it.
    virtual int GetEditViewCount() = 0;
    // Raises for an index outside 0..GetEditViewCount()-1.
    virtual tvx::IntfPtr<IOTAEditView> GetEditView(int Index) = 0;
};

struct IOTAModule : IUnknown {
    virtual String GetFileName() = 0;
    virtual int GetModuleFileCount() = 0;
    // Raises for an index outside 0..GetModuleFileCount()-1.
    virtual tvx::IntfPtr<IOTAEditor> GetModuleFileEditor(int Index) = 0;
    // Closes the module's editors; false when the user kept it open.
    virtual bool Close() = 0;
};
