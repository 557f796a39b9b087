// Mirror interfaces of the IDE's Open Tools API. Each carries the GUID of the
// host interface it mirrors but has its own slot order, the COM calling
// convention and COM value types, so a package can use the IDE's module,
// editor and file-system services without the IDE's own runtime. Because the
// GUIDs coincide with the host's, a host object must never reach a package
// unwrapped, nor a package object the host.
//
// On Windows the SDK's A/W macros rename DeleteFile and GetTempFileName
// consistently in declaration and use; slot numbers do not depend on names.
#pragma once

#include "host/win32/WinTypes.h"
#include "interop/ComBase.h"
#include "interop/Guid.h"

#include <cstdint>

// A pointer to NUL-terminated UTF-16 text. A text argument is read during the
// call only (null reads as empty). Who owns a text result depends on the
// direction, see below.
using PWideChar = OLECHAR*;
// 32-bit boolean: any non-zero value is true, true is written as -1.
using LongBool = std::int32_t;
// The host's one-byte boolean, reached through a pointer or passed in a
// 32-bit argument of which only the low byte counts.
using ByteBool = std::uint8_t;

static_assert(sizeof(LongBool) == 4 && sizeof(ByteBool) == 1 && sizeof(OLECHAR) == 2);

// Implemented by packages, called by the loader on behalf of the host.
// A PWideChar result stays the package's: the loader copies it and never
// frees it. HRESULT results here are ignored.

TVX_DECLARE_INTERFACE(IBDSFile, "{6E2AD9B0-F7F0-11D1-AB26-00C04FB16FB3}")
struct IBDSFile : IUnknown {
    virtual PWideChar STDMETHODCALLTYPE GetSource() = 0;
    // The bit pattern of the file's TDateTime double, taken over unconverted.
    virtual std::int64_t STDMETHODCALLTYPE GetAge() = 0;
};

TVX_DECLARE_INTERFACE(IBDSFileFilter, "{14DBB1D5-9802-458E-A8C3-606237708939}")
struct IBDSFileFilter : IUnknown {
    virtual PWideChar STDMETHODCALLTYPE GetDisplayName() = 0;
    virtual PWideChar STDMETHODCALLTYPE GetIDString() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStream(BSTR AFileName, IStream* AStream, IStream** pRetVal) = 0;
    // The host reads only the low byte: answer 1 for true.
    virtual LongBool STDMETHODCALLTYPE HandlesStream(BSTR AFileName, IStream* AStream) = 0;
};

// Boolean results go to the host unchanged and it reads only their low
// byte: answer 1 for true.
TVX_DECLARE_INTERFACE(IBDSFileSystem, "{A9D1389D-F4B0-11D1-AB22-00C04FB16FB3}")
struct IBDSFileSystem : IUnknown {
    virtual PWideChar STDMETHODCALLTYPE GetIDString() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFilter(IBDSFileFilter** pRetVal) = 0;
    virtual LongBool STDMETHODCALLTYPE IsFileBased() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFileStream(BSTR FileName, LONG Mode, IStream** pRetVal) = 0;
    virtual LONG STDMETHODCALLTYPE FileAge(BSTR FileName) = 0;
    virtual LongBool STDMETHODCALLTYPE RenameFile(BSTR OldName, BSTR NewName) = 0;
    virtual LongBool STDMETHODCALLTYPE IsReadonly(BSTR FileName) = 0;
    virtual LongBool STDMETHODCALLTYPE DeleteFile(BSTR FileName) = 0;
    virtual LongBool STDMETHODCALLTYPE FileExists(BSTR FileName) = 0;
    virtual PWideChar STDMETHODCALLTYPE GetTempFileName(BSTR FileName) = 0;
    virtual PWideChar STDMETHODCALLTYPE GetBackupFileName(BSTR FileName) = 0;
};

// Only its GUID is used: CreateModule queries the object for
// IBDSModuleCreator. Its methods are the first five of that interface.
TVX_DECLARE_INTERFACE(IBDSCreator, "{6EDB9B9E-F57A-11D1-AB23-00C04FB16FB3}")
struct IBDSCreator : IUnknown {
    virtual PWideChar STDMETHODCALLTYPE GetCreatorType() = 0;
    virtual LongBool STDMETHODCALLTYPE GetExisting() = 0;
    virtual PWideChar STDMETHODCALLTYPE GetFileSystem() = 0;
    virtual LongBool STDMETHODCALLTYPE GetUnnamed() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetOwner(IUnknown** pRetVal) = 0;
};

// GetUnnamed comes before GetOwner, unlike the host's order: packages were
// built against this one. The owner is released unused; FormEditor is null.
TVX_DECLARE_INTERFACE(IBDSModuleCreator, "{6EDB9B9A-F57A-11D1-AB23-00C04FB16FB3}")
struct IBDSModuleCreator : IUnknown {
    virtual PWideChar STDMETHODCALLTYPE GetCreatorType() = 0;
    virtual LongBool STDMETHODCALLTYPE GetExisting() = 0;
    virtual PWideChar STDMETHODCALLTYPE GetFileSystem() = 0;
    virtual LongBool STDMETHODCALLTYPE GetUnnamed() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetOwner(IUnknown** pRetVal) = 0;
    virtual PWideChar STDMETHODCALLTYPE GetAncestorName() = 0;
    virtual PWideChar STDMETHODCALLTYPE GetImplFileName() = 0;
    virtual PWideChar STDMETHODCALLTYPE GetIntfFileName() = 0;
    virtual PWideChar STDMETHODCALLTYPE GetFormName() = 0;
    virtual LongBool STDMETHODCALLTYPE GetMainForm() = 0;
    virtual LongBool STDMETHODCALLTYPE GetShowForm() = 0;
    virtual LongBool STDMETHODCALLTYPE GetShowSource() = 0;
    virtual HRESULT STDMETHODCALLTYPE NewFormFile(BSTR FormIdent, BSTR AncestorIdent, IBDSFile** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE NewImplSource(BSTR ModuleIdent, BSTR FormIdent, BSTR AncestorIdent,
                                                    IBDSFile** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE NewIntfSource(BSTR ModuleIdent, BSTR FormIdent, BSTR AncestorIdent,
                                                    IBDSFile** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE FormCreated(IUnknown* FormEditor) = 0;
};

// Notifiers. One package object may implement any of the first five; host
// objects (views, edit windows, dock forms) always arrive as null.

// A zero result from AfterSave or BeforeSave aborts the save.
TVX_DECLARE_INTERFACE(IBDSNotifier, "{F17A7BCF-E07D-11D1-AB0B-00C04FB16FB3}")
struct IBDSNotifier : IUnknown {
    virtual LongBool STDMETHODCALLTYPE AfterSave() = 0;
    virtual LongBool STDMETHODCALLTYPE BeforeSave() = 0;
    virtual HRESULT STDMETHODCALLTYPE Destroyed() = 0;
    virtual HRESULT STDMETHODCALLTYPE Modified() = 0;
};

TVX_DECLARE_INTERFACE(IBDSModuleNotifier, "{F17A7BCE-E07D-11D1-AB0B-00C04FB16FB3}")
struct IBDSModuleNotifier : IUnknown {
    virtual LongBool STDMETHODCALLTYPE CheckOverwrite() = 0;
    virtual HRESULT STDMETHODCALLTYPE ModuleRenamed(BSTR NewName) = 0;
};

TVX_DECLARE_INTERFACE(IBDSModuleNotifier80, "{6C4714BB-223A-4CDF-A710-429FE8FA0B91}")
struct IBDSModuleNotifier80 : IUnknown {
    virtual LongBool STDMETHODCALLTYPE AllowSave() = 0;
    virtual LONG STDMETHODCALLTYPE GetOverwriteFileNameCount() = 0;
    virtual PWideChar STDMETHODCALLTYPE GetOverwriteFileName(LONG Index) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSaveFileName(BSTR FileName) = 0;
};

TVX_DECLARE_INTERFACE(IBDSModuleNotifier90, "{53B90D0D-0E70-472A-885E-0566B2711C15}")
struct IBDSModuleNotifier90 : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE BeforeRename(BSTR OldFileName, BSTR NewFileName) = 0;
    virtual HRESULT STDMETHODCALLTYPE AfterRename(BSTR OldFileName, BSTR NewFileName) = 0;
};

// Operation: 0 insert, 1 remove.
TVX_DECLARE_INTERFACE(IBDSEditorNotifier, "{0E3B9D7B-E119-11D1-AB0C-00C04FB16FB3}")
struct IBDSEditorNotifier : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE ViewNotification(IUnknown* View, LONG Operation) = 0;
    virtual HRESULT STDMETHODCALLTYPE ViewActivated(IUnknown* View) = 0;
};

// Called without a prior interface check, so every slot must be there.
TVX_DECLARE_INTERFACE(IBDSEditServicesNotifier, "{F954AA40-23E7-412C-BD59-CC3428DE2939}")
struct IBDSEditServicesNotifier : IUnknown {
    virtual LongBool STDMETHODCALLTYPE AfterSave() = 0;
    virtual LongBool STDMETHODCALLTYPE BeforeSave() = 0;
    virtual HRESULT STDMETHODCALLTYPE Destroyed() = 0;
    virtual HRESULT STDMETHODCALLTYPE Modified() = 0;
    virtual HRESULT STDMETHODCALLTYPE WindowShow(IUnknown* EditWindow, ByteBool Show, ByteBool LoadedFromDesktop) = 0;
    virtual HRESULT STDMETHODCALLTYPE WindowNotification(IUnknown* EditWindow, LONG Operation) = 0;
    virtual HRESULT STDMETHODCALLTYPE WindowActivated(IUnknown* EditWindow) = 0;
    virtual HRESULT STDMETHODCALLTYPE WindowCommand(IUnknown* EditWindow, LONG Command, LONG Param,
                                                    ByteBool* Handled) = 0;
    virtual HRESULT STDMETHODCALLTYPE EditorViewActivated(IUnknown* EditWindow, IUnknown* EditView) = 0;
    virtual HRESULT STDMETHODCALLTYPE EditorViewModified(IUnknown* EditWindow, IUnknown* EditView) = 0;
    virtual HRESULT STDMETHODCALLTYPE DockFormVisibleChanged(IUnknown* EditWindow, IUnknown* DockForm) = 0;
    virtual HRESULT STDMETHODCALLTYPE DockFormUpdated(IUnknown* EditWindow, IUnknown* DockForm) = 0;
    virtual HRESULT STDMETHODCALLTYPE DockFormRefresh(IUnknown* EditWindow, IUnknown* DockForm) = 0;
};

// Implemented by the loader and handed to packages. A PWideChar result is a
// newly allocated BSTR that the package owns and frees with SysFreeString.
// Every interface result is a new wrapper with one reference.

// The result type of IBDSModule.GetOwner only; nothing implements it.
TVX_DECLARE_INTERFACE(IBDSProject, "{D0090018-D879-41FC-8F83-AA4F40098ACF}")
struct IBDSProject : IUnknown {};

TVX_DECLARE_INTERFACE(IBDSModule, "{7FF96161-E610-4414-B8B1-D1ECA76FEAFB}")

TVX_DECLARE_INTERFACE(IBDSEditor, "{F17A7BD0-E07D-11D1-AB0B-00C04FB16FB3}")
struct IBDSEditor : IUnknown {
    // Lets go of the host's editor before the package releases the wrapper.
    virtual void STDMETHODCALLTYPE Dismiss() = 0;
    virtual PWideChar STDMETHODCALLTYPE GetFileName() = 0;
    virtual LongBool STDMETHODCALLTYPE GetModified() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetModule(IBDSModule** pRetVal) = 0;
    virtual LongBool STDMETHODCALLTYPE MarkModified() = 0;
    virtual void STDMETHODCALLTYPE Show() = 0;
    virtual LONG STDMETHODCALLTYPE AddNotifier(IBDSNotifier* ANotifier) = 0;
    virtual void STDMETHODCALLTYPE RemoveNotifier(LONG Index) = 0;
};

struct IBDSModule : IUnknown {
    virtual PWideChar STDMETHODCALLTYPE GetFileName() = 0;
    virtual void STDMETHODCALLTYPE SetFileName(BSTR AFileName) = 0;
    virtual PWideChar STDMETHODCALLTYPE GetFileSystem() = 0;
    virtual void STDMETHODCALLTYPE SetFileSystem(BSTR AFileSystem) = 0;
    virtual LongBool STDMETHODCALLTYPE HasCoClasses() = 0;
    virtual LONG STDMETHODCALLTYPE GetModuleFileCount() = 0;
    virtual void STDMETHODCALLTYPE GetModuleFileEditor(LONG Index, IBDSEditor** pRetVal) = 0;
    virtual LONG STDMETHODCALLTYPE GetOwnerCount() = 0;
    virtual void STDMETHODCALLTYPE GetOwner(LONG Index, IBDSProject** pRetVal) = 0;
    virtual void STDMETHODCALLTYPE AddToInterface() = 0;
    // The notifier object may answer any of the module and editor notifier
    // mirrors; each is called only if it does.
    virtual LONG STDMETHODCALLTYPE AddNotifier(IBDSModuleNotifier* ANotifier) = 0;
    virtual void STDMETHODCALLTYPE RemoveNotifier(LONG Index) = 0;
    virtual LongBool STDMETHODCALLTYPE Save(LongBool ChangeName, LongBool ForceSave) = 0;
    virtual LongBool STDMETHODCALLTYPE Close() = 0;
    virtual LongBool STDMETHODCALLTYPE CloseModule(LongBool ForceClosed) = 0;
    virtual void STDMETHODCALLTYPE GetCurrentEditor(IBDSEditor** pRetVal) = 0;
    virtual LONG STDMETHODCALLTYPE GetOwnerModuleCount() = 0;
    virtual void STDMETHODCALLTYPE GetOwnerModule(LONG Index, IBDSModule** pRetVal) = 0;
    virtual void STDMETHODCALLTYPE MarkModified() = 0;
    virtual void STDMETHODCALLTYPE Show() = 0;
    virtual void STDMETHODCALLTYPE ShowFilename(PWideChar FileName) = 0;
};

// Reached through IBdsServices.GetService with this GUID.
TVX_DECLARE_INTERFACE(IBDSModuleServices70, "{F17A7BCD-E07D-11D1-AB0B-00C04FB16FB3}")
struct IBDSModuleServices70 : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetCurrentModule(IBDSModule** pRetVal) = 0;
    virtual LONG STDMETHODCALLTYPE ModuleCount() = 0;
    virtual LongBool STDMETHODCALLTYPE NewModule() = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateModule(IBDSCreator* Creator, IBDSModule** pRetVal) = 0;
    // Writes a new BSTR into each of the three; their previous values are
    // neither read nor freed.
    virtual void STDMETHODCALLTYPE GetNewModuleAndClassName(PWideChar Prefix, PWideChar* UnitIdent,
                                                            PWideChar* ClassName, PWideChar* FileName) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindModule(PWideChar FileName, IBDSModule** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindFormModule(PWideChar FormName, IBDSModule** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetModule(LONG Index, IBDSModule** pRetVal) = 0;
    virtual LongBool STDMETHODCALLTYPE SaveAll() = 0;
    virtual LongBool STDMETHODCALLTYPE CloseAll() = 0;
    virtual LONG STDMETHODCALLTYPE AddFileSystem(IBDSFileSystem* FileSystem) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindFileSystem(PWideChar Name, IBDSFileSystem** pRetVal) = 0;
    virtual void STDMETHODCALLTYPE RemoveFileSystem(LONG Index) = 0;
};

// Reached through IBdsServices.GetService with this GUID.
TVX_DECLARE_INTERFACE(IBDSEditorServices80, "{F37E8C46-0A02-4FD4-8D57-E55F9A5783EC}")
struct IBDSEditorServices80 : IUnknown {
    virtual LONG STDMETHODCALLTYPE AddNotifier(IBDSEditServicesNotifier* Notifier) = 0;
    virtual void STDMETHODCALLTYPE RemoveNotifier(LONG Index) = 0;
};
