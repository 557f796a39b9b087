// The Open Tools API's ways for an add-in to take part in creating modules
// and in file handling: creators that name a new module and hand over its
// sources, the files that carry them, file systems the IDE reads and writes
// a module's files through, and stream filters.
#pragma once

#include "host/ide/ToolsAPIModules.h"
#include "host/vcl/SysUtils.h"

TVX_DECLARE_INTERFACE(IOTAFile, "{6E2AD9B0-F7F0-11D1-AB26-00C04FB16FB3}")
TVX_DECLARE_INTERFACE(IOTACreator, "{6EDB9B9E-F57A-11D1-AB23-00C04FB16FB3}")
TVX_DECLARE_INTERFACE(IOTAModuleCreator, "{6EDB9B9A-F57A-11D1-AB23-00C04FB16FB3}")
TVX_DECLARE_INTERFACE(IOTAFileFilter, "{14DBB1D5-9802-458E-A8C3-606237708939}")
TVX_DECLARE_INTERFACE(IOTAFileSystem, "{A9D1389D-F4B0-11D1-AB22-00C04FB16FB3}")

// A file's text as the IDE takes it from an add-in.
struct IOTAFile : IUnknown {
    virtual String GetSource() = 0;
    virtual TDateTime GetAge() = 0;
};

struct IOTACreator : IUnknown {
    // "Unit", "Form", "Text", ...
    virtual String GetCreatorType() = 0;
    // True: the module names files that exist.
    virtual bool GetExisting() = 0;
    virtual String GetFileSystem() = 0;
    virtual tvx::IntfPtr<IOTAModule> GetOwner() = 0;
    // True: the IDE chooses the file name.
    virtual bool GetUnnamed() = 0;
};

// The IDE asks it in its own order, then builds the module from the files
// it hands over and tells it when the form exists.
struct IOTAModuleCreator : IOTACreator {
    using Base = IOTACreator;
    virtual String GetAncestorName() = 0;
    virtual String GetImplFileName() = 0;
    virtual String GetIntfFileName() = 0;
    virtual String GetFormName() = 0;
    virtual bool GetMainForm() = 0;
    virtual bool GetShowForm() = 0;
    virtual bool GetShowSource() = 0;
    // Null: the IDE writes the file itself.
    virtual tvx::IntfPtr<IOTAFile> NewFormFile(const String& FormIdent, const String& AncestorIdent) = 0;
    virtual tvx::IntfPtr<IOTAFile> NewImplSource(const String& ModuleIdent, const String& FormIdent,
                                                 const String& AncestorIdent) = 0;
    virtual tvx::IntfPtr<IOTAFile> NewIntfSource(const String& ModuleIdent, const String& FormIdent,
                                                 const String& AncestorIdent) = 0;
    virtual void FormCreated(IOTAFormEditor* FormEditor) = 0;
};

struct IOTAFileFilter : IUnknown {
    // The stream to read the file through: the filter's own, or AStream.
    virtual tvx::IntfPtr<IStream> GetStream(const String& AFileName, IStream* AStream) = 0;
    virtual bool HandlesStream(const String& AFileName, IStream* AStream) = 0;
    virtual String GetIDString() = 0;
    virtual String GetDisplayName() = 0;
};

// The IDE reads and writes the files of a module whose file system names
// this one through it instead of the disk.
struct IOTAFileSystem : IUnknown {
    // Mode as the VCL's file streams take it (fmCreate, fmOpenRead, ...).
    virtual tvx::IntfPtr<IStream> GetFileStream(const String& FileName, int Mode) = 0;
    // The file's age as a DOS date and time, -1 when it does not exist.
    virtual int FileAge(const String& FileName) = 0;
    virtual bool RenameFile(const String& OldName, const String& NewName) = 0;
    virtual bool IsReadonly(const String& FileName) = 0;
    virtual bool IsFileBased() = 0;
    virtual bool DeleteFile(const String& FileName) = 0;
    virtual bool FileExists(const String& FileName) = 0;
    virtual String GetTempFileName(const String& FileName) = 0;
    virtual String GetBackupFileName(const String& FileName) = 0;
    // How modules name it (IOTAModule::GetFileSystem).
    virtual String GetIDString() = 0;
};
