// The published slot of every method of the interop and mirror interfaces,
// written independently of the headers, as macros so that checks outside
// this system's own build (the Windows compile check) can read them too.
#pragma once

// Tables of one entry a line.
// clang-format off

// Each interface's methods after IUnknown's three: X(slot, result, name,
// arguments...), in slot order.
#define TVX_SLOTS_IBdsPackage(X) \
    X(3, HRESULT, Initialize, IBdsServices*) \
    X(4, HRESULT, OnServicesReady) \
    X(5, HRESULT, Finalize)
#define TVX_SLOTS_IBdsEditorTabListener(X) \
    X(3, HRESULT, OnIdeTabSelected)
#define TVX_SLOTS_IBdsServices(X) \
    X(3, HRESULT, get_BdsVersionMajor, LONG*) \
    X(4, HRESULT, get_BdsVersionMinor, LONG*) \
    X(5, HRESULT, get_BdsEdition, BSTR*) \
    X(6, HRESULT, get_IsPersonalityEdition, VARIANT_BOOL*) \
    X(7, HRESULT, Get_BdsWindowsService, IBdsWindowsService**) \
    X(8, HRESULT, Get_BdsToolBarService, IBdsToolBarService**) \
    X(9, HRESULT, Get_BdsHelpService, IBdsHelpService**) \
    X(10, HRESULT, Get_BdsMenuBarService, IBdsMenuBarService**) \
    X(11, HRESULT, Get_IsComponentRegistered, BSTR, VARIANT_BOOL*) \
    X(12, HRESULT, GetService, REFGUID, IUnknown**) \
    X(13, HRESULT, IsShortcut, LONG, VARIANT_BOOL*) \
    X(14, HRESULT, AddSplashInfo, HBITMAP, BSTR, BSTR, VARIANT_BOOL, BSTR) \
    X(15, HRESULT, AddAboutBoxInfo, HBITMAP, HBITMAP, BSTR, BSTR, BSTR, BSTR, BSTR, VARIANT_BOOL, BSTR) \
    X(16, HRESULT, AddMessageHandler, IMessageHandler*) \
    X(17, HRESULT, AddDragDropHelper, IDragDropHelperProvider*) \
    X(18, HRESULT, OnDotNetServicesInitialized) \
    X(19, HRESULT, get_PackagesCount, LONG*) \
    X(20, HRESULT, GetPackageInfo, LONG, PackageInfo*)
#define TVX_SLOTS_IMessageHandler(X) \
    X(3, HRESULT, HandleMessage, MSG*, VARIANT_BOOL*, VARIANT_BOOL*)
#define TVX_SLOTS_IDragDropHelperProvider(X) \
    X(3, HRESULT, GetDragDropHelper, BSTR, IUnknown**)
#define TVX_SLOTS_IDragDropHelper(X) \
    X(3, HRESULT, Execute) \
    X(4, HRESULT, get_Left, LONG*) \
    X(5, HRESULT, get_Top, LONG*)
#define TVX_SLOTS_IBdsHelpService(X) \
    X(3, HRESULT, ShowHelpByKeyword, BSTR) \
    X(4, HRESULT, ShowHelpByURL, BSTR)
#define TVX_SLOTS_IBdsMenuItem(X) \
    X(3, HRESULT, Get_BeginGroup, VARIANT_BOOL*) \
    X(4, HRESULT, Set_BeginGroup, VARIANT_BOOL) \
    X(5, HRESULT, Get_Caption, BSTR*) \
    X(6, HRESULT, Set_Caption, BSTR) \
    X(7, HRESULT, Get_Checked, VARIANT_BOOL*) \
    X(8, HRESULT, Set_Checked, VARIANT_BOOL) \
    X(9, HRESULT, Get_ChildCount, LONG*) \
    X(10, HRESULT, Get_Enabled, VARIANT_BOOL*) \
    X(11, HRESULT, Set_Enabled, VARIANT_BOOL) \
    X(12, HRESULT, Get_Name, BSTR*) \
    X(13, HRESULT, Get_NextMenuItem, IBdsMenuItem**) \
    X(14, HRESULT, Get_ParentMenuItem, IBdsMenuItem**) \
    X(15, HRESULT, Get_PrevMenuItem, IBdsMenuItem**) \
    X(16, HRESULT, Get_Shortcut, LONG*) \
    X(17, HRESULT, Set_Shortcut, LONG) \
    X(18, HRESULT, Get_Visible, VARIANT_BOOL*) \
    X(19, HRESULT, Set_Visible, VARIANT_BOOL) \
    X(20, HRESULT, RegisterEvents, IBdsToolBarControlEvents*) \
    X(21, HRESULT, ChildMenuItem, LONG, IBdsMenuItem**) \
    X(22, HRESULT, InvokeAction)
#define TVX_SLOTS_IBdsToolBarControlEvents(X) \
    X(3, HRESULT, OnClick) \
    X(4, HRESULT, OnChange) \
    X(5, HRESULT, OnUpdate)
#define TVX_SLOTS_IBdsMenuBarService(X) \
    X(3, HRESULT, RemoveMenuItem, BSTR) \
    X(4, HRESULT, GetMenuItem, BSTR, IBdsMenuItem**) \
    X(5, HRESULT, AddMenuItem, BSTR, LONG, BSTR, BSTR, HBITMAP, IBdsMenuItem**) \
    X(6, HRESULT, InsertMenuItem, BSTR, LONG, BSTR, BSTR, HBITMAP, IBdsMenuItem**) \
    X(7, HRESULT, GetFirstMenuItem, IBdsMenuItem**)
#define TVX_SLOTS_IBdsToolBarControl(X) \
    X(3, HRESULT, Get_Caption, BSTR*) \
    X(4, HRESULT, Set_Caption, BSTR) \
    X(5, HRESULT, Get_Enabled, VARIANT_BOOL*) \
    X(6, HRESULT, Set_Enabled, VARIANT_BOOL) \
    X(7, HRESULT, Get_Visible, VARIANT_BOOL*) \
    X(8, HRESULT, Set_Visible, VARIANT_BOOL) \
    X(9, HRESULT, Get_Name, BSTR*) \
    X(10, HRESULT, Set_Name, BSTR) \
    X(11, HRESULT, Get_ToolTip, BSTR*) \
    X(12, HRESULT, Set_ToolTip, BSTR) \
    X(13, HRESULT, Get_ShortCut, LONG*) \
    X(14, HRESULT, Set_ShortCut, LONG) \
    X(15, HRESULT, RegisterEvents, IBdsToolBarControlEvents*)
#define TVX_SLOTS_IBdsToolBarButton(X) \
    X(3, HRESULT, Get_Down, VARIANT_BOOL*) \
    X(4, HRESULT, Set_Down, VARIANT_BOOL) \
    X(5, HRESULT, SetImage, HBITMAP)
#define TVX_SLOTS_IBdsToolBarComboBox(X) \
    X(3, HRESULT, Get_CaptionVisible, VARIANT_BOOL*) \
    X(4, HRESULT, Set_CaptionVisible, VARIANT_BOOL) \
    X(5, HRESULT, Get_Text, BSTR*) \
    X(6, HRESULT, Set_Text, BSTR) \
    X(7, HRESULT, Get_Width, LONG*) \
    X(8, HRESULT, Set_Width, LONG) \
    X(9, HRESULT, Get_ItemCount, LONG*) \
    X(10, HRESULT, Get_SelectedItem, LONG*) \
    X(11, HRESULT, Set_SelectedItem, LONG) \
    X(12, HRESULT, GetItem, LONG, BSTR*) \
    X(13, HRESULT, SetItem, LONG, BSTR) \
    X(14, HRESULT, AddItem, BSTR, LONG*) \
    X(15, HRESULT, RemoveItem, LONG) \
    X(16, HRESULT, ClearItems)
#define TVX_SLOTS_IBdsToolBarPopUp(X)
#define TVX_SLOTS_IGetSelf(X) \
    X(3, void*, GetSelf)
#define TVX_SLOTS_IBdsToolBar(X) \
    X(3, HRESULT, Get_Name, BSTR*) \
    X(4, HRESULT, Set_Name, BSTR) \
    X(5, HRESULT, Get_Caption, BSTR*) \
    X(6, HRESULT, Set_Caption, BSTR) \
    X(7, HRESULT, Get_Visible, VARIANT_BOOL*) \
    X(8, HRESULT, Set_Visible, VARIANT_BOOL) \
    X(9, HRESULT, Get_Left, LONG*) \
    X(10, HRESULT, Set_Left, LONG) \
    X(11, HRESULT, Get_Top, LONG*) \
    X(12, HRESULT, Set_Top, LONG) \
    X(13, HRESULT, Get_Width, LONG*) \
    X(14, HRESULT, Get_Height, LONG*) \
    X(15, HRESULT, Get_Floating, VARIANT_BOOL*) \
    X(16, HRESULT, Set_Floating, VARIANT_BOOL) \
    X(17, HRESULT, Get_ControlCount, LONG*) \
    X(18, HRESULT, AddSeparator) \
    X(19, HRESULT, AddControl, LONG, IBdsToolBarControl**) \
    X(20, HRESULT, RemoveControl, IBdsToolBarControl*) \
    X(21, HRESULT, Clear)
#define TVX_SLOTS_IBdsToolBarService(X) \
    X(3, HRESULT, FindToolBar, BSTR, IBdsToolBar**) \
    X(4, HRESULT, AddToolBar, BSTR, BSTR, IBdsToolBar**) \
    X(5, HRESULT, RemoveToolBar, IBdsToolBar*) \
    X(6, HRESULT, Clear)
#define TVX_SLOTS_IWin32Window(X) \
    X(3, HRESULT, Get_Handle, LONG*)
#define TVX_SLOTS_IBdsWindowEvents(X) \
    X(3, HRESULT, OnWindowClose) \
    X(4, HRESULT, OnWindowActivate) \
    X(5, HRESULT, OnGetIconHandle, LONG*)
#define TVX_SLOTS_IBdsDockableWindow(X) \
    X(3, HRESULT, Get_Caption, BSTR*) \
    X(4, HRESULT, Set_Caption, BSTR) \
    X(5, HRESULT, Get_Visible, VARIANT_BOOL*) \
    X(6, HRESULT, Set_Visible, VARIANT_BOOL) \
    X(7, HRESULT, Get_AutoHides, VARIANT_BOOL*) \
    X(8, HRESULT, Set_AutoHides, VARIANT_BOOL) \
    X(9, HRESULT, Get_IsFloating, VARIANT_BOOL*) \
    X(10, HRESULT, Set_IsFloating, VARIANT_BOOL) \
    X(11, HRESULT, Get_IsActive, VARIANT_BOOL*) \
    X(12, HRESULT, RegisterEvents, IBdsWindowEvents*) \
    X(13, HRESULT, SetIcon, LONG) \
    X(14, HRESULT, HostControl, IUnknown*) \
    X(15, HRESULT, Activate) \
    X(16, HRESULT, Close)
#define TVX_SLOTS_IBdsDocumentWindow(X) \
    X(3, HRESULT, Get_Visible, VARIANT_BOOL*) \
    X(4, HRESULT, Set_Visible, VARIANT_BOOL) \
    X(5, HRESULT, Get_Modified, VARIANT_BOOL*) \
    X(6, HRESULT, Set_Modified, VARIANT_BOOL) \
    X(7, HRESULT, Get_StayOnTop, VARIANT_BOOL*) \
    X(8, HRESULT, Set_StayOnTop, VARIANT_BOOL) \
    X(9, HRESULT, RegisterEvents, IBdsWindowEvents*) \
    X(10, HRESULT, HostControl, IUnknown*) \
    X(11, HRESULT, ReHostControl) \
    X(12, HRESULT, Activate) \
    X(13, HRESULT, Close) \
    X(14, HRESULT, DoResize)
#define TVX_SLOTS_IBdsWindowsService(X) \
    X(3, HRESULT, CreateDockableWindow, BSTR, IBdsDockableWindow**) \
    X(4, HRESULT, CreateDocumentWindow, BSTR, LONG, LONG, IBdsDocumentWindow**) \
    X(5, HRESULT, GetStandardWindow, BSTR, IBdsDockableWindow**) \
    X(6, HRESULT, DocumentFrameOnTop, LONG*) \
    X(7, HRESULT, DocumentFrameNormal, LONG)

#define TVX_SLOTS_IBDSModuleServices70(X) \
    X(3, HRESULT, GetCurrentModule, IBDSModule**) \
    X(4, LONG, ModuleCount) \
    X(5, LongBool, NewModule) \
    X(6, HRESULT, CreateModule, IBDSCreator*, IBDSModule**) \
    X(7, void, GetNewModuleAndClassName, PWideChar, PWideChar*, PWideChar*, PWideChar*) \
    X(8, HRESULT, FindModule, PWideChar, IBDSModule**) \
    X(9, HRESULT, FindFormModule, PWideChar, IBDSModule**) \
    X(10, HRESULT, GetModule, LONG, IBDSModule**) \
    X(11, LongBool, SaveAll) \
    X(12, LongBool, CloseAll) \
    X(13, LONG, AddFileSystem, IBDSFileSystem*) \
    X(14, HRESULT, FindFileSystem, PWideChar, IBDSFileSystem**) \
    X(15, void, RemoveFileSystem, LONG)
#define TVX_SLOTS_IBDSModule(X) \
    X(3, PWideChar, GetFileName) \
    X(4, void, SetFileName, BSTR) \
    X(5, PWideChar, GetFileSystem) \
    X(6, void, SetFileSystem, BSTR) \
    X(7, LongBool, HasCoClasses) \
    X(8, LONG, GetModuleFileCount) \
    X(9, void, GetModuleFileEditor, LONG, IBDSEditor**) \
    X(10, LONG, GetOwnerCount) \
    X(11, void, GetOwner, LONG, IBDSProject**) \
    X(12, void, AddToInterface) \
    X(13, LONG, AddNotifier, IBDSModuleNotifier*) \
    X(14, void, RemoveNotifier, LONG) \
    X(15, LongBool, Save, LongBool, LongBool) \
    X(16, LongBool, Close) \
    X(17, LongBool, CloseModule, LongBool) \
    X(18, void, GetCurrentEditor, IBDSEditor**) \
    X(19, LONG, GetOwnerModuleCount) \
    X(20, void, GetOwnerModule, LONG, IBDSModule**) \
    X(21, void, MarkModified) \
    X(22, void, Show) \
    X(23, void, ShowFilename, PWideChar)
#define TVX_SLOTS_IBDSEditor(X) \
    X(3, void, Dismiss) \
    X(4, PWideChar, GetFileName) \
    X(5, LongBool, GetModified) \
    X(6, HRESULT, GetModule, IBDSModule**) \
    X(7, LongBool, MarkModified) \
    X(8, void, Show) \
    X(9, LONG, AddNotifier, IBDSNotifier*) \
    X(10, void, RemoveNotifier, LONG)
#define TVX_SLOTS_IBDSProject(X)
#define TVX_SLOTS_IBDSCreator(X) \
    X(3, PWideChar, GetCreatorType) \
    X(4, LongBool, GetExisting) \
    X(5, PWideChar, GetFileSystem) \
    X(6, LongBool, GetUnnamed) \
    X(7, HRESULT, GetOwner, IUnknown**)
#define TVX_SLOTS_IBDSModuleCreator(X) \
    X(3, PWideChar, GetCreatorType) \
    X(4, LongBool, GetExisting) \
    X(5, PWideChar, GetFileSystem) \
    X(6, LongBool, GetUnnamed) \
    X(7, HRESULT, GetOwner, IUnknown**) \
    X(8, PWideChar, GetAncestorName) \
    X(9, PWideChar, GetImplFileName) \
    X(10, PWideChar, GetIntfFileName) \
    X(11, PWideChar, GetFormName) \
    X(12, LongBool, GetMainForm) \
    X(13, LongBool, GetShowForm) \
    X(14, LongBool, GetShowSource) \
    X(15, HRESULT, NewFormFile, BSTR, BSTR, IBDSFile**) \
    X(16, HRESULT, NewImplSource, BSTR, BSTR, BSTR, IBDSFile**) \
    X(17, HRESULT, NewIntfSource, BSTR, BSTR, BSTR, IBDSFile**) \
    X(18, HRESULT, FormCreated, IUnknown*)
#define TVX_SLOTS_IBDSFile(X) \
    X(3, PWideChar, GetSource) \
    X(4, std::int64_t, GetAge)
#define TVX_SLOTS_IBDSFileSystem(X) \
    X(3, PWideChar, GetIDString) \
    X(4, HRESULT, GetFilter, IBDSFileFilter**) \
    X(5, LongBool, IsFileBased) \
    X(6, HRESULT, GetFileStream, BSTR, LONG, IStream**) \
    X(7, LONG, FileAge, BSTR) \
    X(8, LongBool, RenameFile, BSTR, BSTR) \
    X(9, LongBool, IsReadonly, BSTR) \
    X(10, LongBool, DeleteFile, BSTR) \
    X(11, LongBool, FileExists, BSTR) \
    X(12, PWideChar, GetTempFileName, BSTR) \
    X(13, PWideChar, GetBackupFileName, BSTR)
#define TVX_SLOTS_IBDSFileFilter(X) \
    X(3, PWideChar, GetDisplayName) \
    X(4, PWideChar, GetIDString) \
    X(5, HRESULT, GetStream, BSTR, IStream*, IStream**) \
    X(6, LongBool, HandlesStream, BSTR, IStream*)
#define TVX_SLOTS_IBDSNotifier(X) \
    X(3, LongBool, AfterSave) \
    X(4, LongBool, BeforeSave) \
    X(5, HRESULT, Destroyed) \
    X(6, HRESULT, Modified)
#define TVX_SLOTS_IBDSModuleNotifier(X) \
    X(3, LongBool, CheckOverwrite) \
    X(4, HRESULT, ModuleRenamed, BSTR)
#define TVX_SLOTS_IBDSModuleNotifier80(X) \
    X(3, LongBool, AllowSave) \
    X(4, LONG, GetOverwriteFileNameCount) \
    X(5, PWideChar, GetOverwriteFileName, LONG) \
    X(6, HRESULT, SetSaveFileName, BSTR)
#define TVX_SLOTS_IBDSModuleNotifier90(X) \
    X(3, HRESULT, BeforeRename, BSTR, BSTR) \
    X(4, HRESULT, AfterRename, BSTR, BSTR)
#define TVX_SLOTS_IBDSEditorNotifier(X) \
    X(3, HRESULT, ViewNotification, IUnknown*, LONG) \
    X(4, HRESULT, ViewActivated, IUnknown*)
#define TVX_SLOTS_IBDSEditServicesNotifier(X) \
    X(3, LongBool, AfterSave) \
    X(4, LongBool, BeforeSave) \
    X(5, HRESULT, Destroyed) \
    X(6, HRESULT, Modified) \
    X(7, HRESULT, WindowShow, IUnknown*, ByteBool, ByteBool) \
    X(8, HRESULT, WindowNotification, IUnknown*, LONG) \
    X(9, HRESULT, WindowActivated, IUnknown*) \
    X(10, HRESULT, WindowCommand, IUnknown*, LONG, LONG, ByteBool*) \
    X(11, HRESULT, EditorViewActivated, IUnknown*, IUnknown*) \
    X(12, HRESULT, EditorViewModified, IUnknown*, IUnknown*) \
    X(13, HRESULT, DockFormVisibleChanged, IUnknown*, IUnknown*) \
    X(14, HRESULT, DockFormUpdated, IUnknown*, IUnknown*) \
    X(15, HRESULT, DockFormRefresh, IUnknown*, IUnknown*)
#define TVX_SLOTS_IBDSEditorServices80(X) \
    X(3, LONG, AddNotifier, IBDSEditServicesNotifier*) \
    X(4, void, RemoveNotifier, LONG)

#define TVX_BDS_INTEROP_INTERFACES(X) \
    X(IBdsPackage) X(IBdsEditorTabListener) X(IBdsServices) X(IMessageHandler) X(IDragDropHelperProvider) \
    X(IDragDropHelper) X(IBdsHelpService) X(IBdsMenuItem) X(IBdsToolBarControlEvents) X(IBdsMenuBarService) \
    X(IBdsToolBarControl) X(IBdsToolBarButton) X(IBdsToolBarComboBox) X(IBdsToolBarPopUp) X(IGetSelf) \
    X(IBdsToolBar) X(IBdsToolBarService) X(IWin32Window) X(IBdsWindowEvents) X(IBdsDockableWindow) \
    X(IBdsDocumentWindow) X(IBdsWindowsService)
#define TVX_WRAPPED_TOOLS_API_INTERFACES(X) \
    X(IBDSModuleServices70) X(IBDSModule) X(IBDSEditor) X(IBDSProject) X(IBDSCreator) X(IBDSModuleCreator) \
    X(IBDSFile) X(IBDSFileSystem) X(IBDSFileFilter) X(IBDSNotifier) X(IBDSModuleNotifier) X(IBDSModuleNotifier80) \
    X(IBDSModuleNotifier90) X(IBDSEditorNotifier) X(IBDSEditServicesNotifier) X(IBDSEditorServices80)

// clang-format on
