// The interop interfaces between the loader and its product packages, the
// package record and the wizard entry's types. Packages are built against
// these slot orders; a method may never move, change type or disappear.
//
// Every interface derives directly from IUnknown and holds nothing but its
// method table. Strings are BSTR, booleans VARIANT_BOOL, integers LONG,
// interface results come back through `pRetVal` with one counted reference.
// On Windows the SDK's A/W macros rename InsertMenuItem consistently in
// declaration and use; slot numbers do not depend on names.
#pragma once

#include "host/win32/WinTypes.h"
#include "interop/ComBase.h"
#include "interop/Guid.h"

#include <cstddef>
#include <type_traits>

// Event sinks and callbacks that packages implement.

TVX_DECLARE_INTERFACE(IBdsToolBarControlEvents, "{FFF45488-2117-4933-BE66-66CE5C4BC7FF}")
struct IBdsToolBarControlEvents : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE OnClick() = 0;
    virtual HRESULT STDMETHODCALLTYPE OnChange() = 0;
    virtual HRESULT STDMETHODCALLTYPE OnUpdate() = 0;
};

TVX_DECLARE_INTERFACE(IBdsWindowEvents, "{3E187226-54E3-47CE-A085-09DD43744F1A}")
struct IBdsWindowEvents : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE OnWindowClose() = 0;
    virtual HRESULT STDMETHODCALLTYPE OnWindowActivate() = 0;
    // A bitmap handle as a 32-bit integer, 0 or -1 for none; the library
    // takes it over and deletes it.
    virtual HRESULT STDMETHODCALLTYPE OnGetIconHandle(LONG* Handle) = 0;
};

// The package's control reaches the IDE only as its window handle, an HWND
// carried as a 32-bit integer.
TVX_DECLARE_INTERFACE(IWin32Window, "{458AB8A2-A1EA-4D7B-8EBE-DEE5D3D9442C}")
struct IWin32Window : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Get_Handle(LONG* Handle) = 0;
};

// Sees every queued message before the IDE dispatches it; CallPrevious is
// shared by all handlers of one message.
TVX_DECLARE_INTERFACE(IMessageHandler, "{3ACECC0D-0E1D-4933-A18E-3FA306CB87C8}")
struct IMessageHandler : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE HandleMessage(MSG* Msg, VARIANT_BOOL* CallPrevious, VARIANT_BOOL* Handled) = 0;
};

// Helper answers IDragDropHelper, or null when the provider has nothing
// for that component class.
TVX_DECLARE_INTERFACE(IDragDropHelperProvider, "{630B4751-397C-4A08-AC52-255604B8BAC4}")
struct IDragDropHelperProvider : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetDragDropHelper(BSTR ClassName, IUnknown** Helper) = 0;
};

TVX_DECLARE_INTERFACE(IDragDropHelper, "{538A9DED-E13F-4971-8C37-CB3EDA31270B}")
struct IDragDropHelper : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Execute() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Left(LONG* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Top(LONG* pRetVal) = 0;
};

TVX_DECLARE_INTERFACE(IBdsEditorTabListener, "{436A49EE-0938-4653-A421-494FDED3D6E2}")
struct IBdsEditorTabListener : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE OnIdeTabSelected() = 0;
};

// Menus.

TVX_DECLARE_INTERFACE(IBdsMenuItem, "{DBC8B252-9572-49B1-8DCB-456CFC3C1DCD}")
struct IBdsMenuItem : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Get_BeginGroup(VARIANT_BOOL* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Set_BeginGroup(VARIANT_BOOL pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_Caption(BSTR* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Set_Caption(BSTR pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_Checked(VARIANT_BOOL* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Set_Checked(VARIANT_BOOL pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_ChildCount(LONG* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_Enabled(VARIANT_BOOL* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Set_Enabled(VARIANT_BOOL pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_Name(BSTR* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_NextMenuItem(IBdsMenuItem** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_ParentMenuItem(IBdsMenuItem** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_PrevMenuItem(IBdsMenuItem** pRetVal) = 0;
    // A VCL TShortCut widened to 32 bits, passed through unchanged.
    virtual HRESULT STDMETHODCALLTYPE Get_Shortcut(LONG* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Set_Shortcut(LONG pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_Visible(VARIANT_BOOL* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Set_Visible(VARIANT_BOOL pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE RegisterEvents(IBdsToolBarControlEvents* BdsToolBarControlEvents) = 0;
    virtual HRESULT STDMETHODCALLTYPE ChildMenuItem(LONG index, IBdsMenuItem** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE InvokeAction() = 0;
};

// Full names are menu paths; a bitmap handle given here is consumed.
TVX_DECLARE_INTERFACE(IBdsMenuBarService, "{E8CCAFB7-156E-4D11-A71B-814C9F82947A}")
struct IBdsMenuBarService : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE RemoveMenuItem(BSTR FullName) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMenuItem(BSTR FullName, IBdsMenuItem** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddMenuItem(BSTR ReferenceItemFullName, LONG ItemLocation, BSTR NewName,
                                                  BSTR NewText, HBITMAP bitmapHandle, IBdsMenuItem** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE InsertMenuItem(BSTR parentItemFullName, LONG index, BSTR newName, BSTR newText,
                                                     HBITMAP bitmapHandle, IBdsMenuItem** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFirstMenuItem(IBdsMenuItem** pRetVal) = 0;
};

// Toolbars. The control kinds derive from IUnknown, not from one another: a
// package queries the IBdsToolBarControl it gets for its kind.

TVX_DECLARE_INTERFACE(IBdsToolBarControl, "{B4F06B0E-2707-4B91-9CC9-C1AF8CEA12CF}")
struct IBdsToolBarControl : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Get_Caption(BSTR* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Set_Caption(BSTR pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_Enabled(VARIANT_BOOL* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Set_Enabled(VARIANT_BOOL pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_Visible(VARIANT_BOOL* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Set_Visible(VARIANT_BOOL pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_Name(BSTR* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Set_Name(BSTR pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_ToolTip(BSTR* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Set_ToolTip(BSTR pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_ShortCut(LONG* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Set_ShortCut(LONG pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE RegisterEvents(IBdsToolBarControlEvents* bdsToolBarControlEvents) = 0;
};

TVX_DECLARE_INTERFACE(IBdsToolBarButton, "{ECC87463-A2BE-4D60-B747-C83BCE98616B}")
struct IBdsToolBarButton : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Get_Down(VARIANT_BOOL* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Set_Down(VARIANT_BOOL pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetImage(HBITMAP imageHandle) = 0;
};

TVX_DECLARE_INTERFACE(IBdsToolBarComboBox, "{5DAE9182-47EB-486E-99E1-F27E7F780011}")
struct IBdsToolBarComboBox : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Get_CaptionVisible(VARIANT_BOOL* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Set_CaptionVisible(VARIANT_BOOL pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_Text(BSTR* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Set_Text(BSTR pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_Width(LONG* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Set_Width(LONG pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_ItemCount(LONG* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_SelectedItem(LONG* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Set_SelectedItem(LONG pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetItem(LONG index, BSTR* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetItem(LONG index, BSTR newItem) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddItem(BSTR item, LONG* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveItem(LONG index) = 0;
    virtual HRESULT STDMETHODCALLTYPE ClearItems() = 0;
};

// Only marks the kind.
TVX_DECLARE_INTERFACE(IBdsToolBarPopUp, "{C548B814-4A38-4792-8ECB-644304F6F63C}")
struct IBdsToolBarPopUp : IUnknown {};

TVX_DECLARE_INTERFACE(IBdsToolBar, "{C9758D40-3B10-4338-9B52-7822FF353577}")
struct IBdsToolBar : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Get_Name(BSTR* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Set_Name(BSTR pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_Caption(BSTR* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Set_Caption(BSTR pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_Visible(VARIANT_BOOL* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Set_Visible(VARIANT_BOOL pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_Left(LONG* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Set_Left(LONG val) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_Top(LONG* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Set_Top(LONG val) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_Width(LONG* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_Height(LONG* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_Floating(VARIANT_BOOL* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Set_Floating(VARIANT_BOOL val) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_ControlCount(LONG* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddSeparator() = 0;
    virtual HRESULT STDMETHODCALLTYPE AddControl(LONG Type_, IBdsToolBarControl** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveControl(IBdsToolBarControl* bdsToolBarControl) = 0;
    virtual HRESULT STDMETHODCALLTYPE Clear() = 0;
};

TVX_DECLARE_INTERFACE(IBdsToolBarService, "{904F1EFE-D8D6-4C1C-B90F-EAF41EC67133}")
struct IBdsToolBarService : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE FindToolBar(BSTR Name, IBdsToolBar** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddToolBar(BSTR Name, BSTR Title, IBdsToolBar** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveToolBar(IBdsToolBar* bdsToolBar) = 0;
    virtual HRESULT STDMETHODCALLTYPE Clear() = 0;
};

// Help.

TVX_DECLARE_INTERFACE(IBdsHelpService, "{6385956D-6E2B-44AA-8195-4A360494C970}")
struct IBdsHelpService : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE ShowHelpByKeyword(BSTR keyword) = 0;
    virtual HRESULT STDMETHODCALLTYPE ShowHelpByURL(BSTR URL) = 0;
};

// Windows. HostControl takes any object; only one that answers IWin32Window
// is hosted.

// RegisterEvents comes before SetIcon: packages were built against that order.
TVX_DECLARE_INTERFACE(IBdsDockableWindow, "{A0106024-DA57-4041-A27B-0AEC4E5440D9}")
struct IBdsDockableWindow : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Get_Caption(BSTR* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Set_Caption(BSTR pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_Visible(VARIANT_BOOL* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Set_Visible(VARIANT_BOOL pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_AutoHides(VARIANT_BOOL* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Set_AutoHides(VARIANT_BOOL pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_IsFloating(VARIANT_BOOL* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Set_IsFloating(VARIANT_BOOL pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_IsActive(VARIANT_BOOL* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE RegisterEvents(IBdsWindowEvents* bdsWindowEvents) = 0;
    // A bitmap handle as a 32-bit integer; consumed.
    virtual HRESULT STDMETHODCALLTYPE SetIcon(LONG imageHandle) = 0;
    virtual HRESULT STDMETHODCALLTYPE HostControl(IUnknown* control) = 0;
    virtual HRESULT STDMETHODCALLTYPE Activate() = 0;
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
};

TVX_DECLARE_INTERFACE(IBdsDocumentWindow, "{1AF2ED26-43BF-4363-A7F1-7FC0358271B2}")
struct IBdsDocumentWindow : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Get_Visible(VARIANT_BOOL* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Set_Visible(VARIANT_BOOL pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_Modified(VARIANT_BOOL* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Set_Modified(VARIANT_BOOL pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_StayOnTop(VARIANT_BOOL* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Set_StayOnTop(VARIANT_BOOL pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE RegisterEvents(IBdsWindowEvents* bdsWindowEvents) = 0;
    virtual HRESULT STDMETHODCALLTYPE HostControl(IUnknown* control) = 0;
    virtual HRESULT STDMETHODCALLTYPE ReHostControl() = 0;
    virtual HRESULT STDMETHODCALLTYPE Activate() = 0;
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
    virtual HRESULT STDMETHODCALLTYPE DoResize() = 0;
};

// Editor indexes are positions in the service's list of editor windows.
TVX_DECLARE_INTERFACE(IBdsWindowsService, "{BC7160DF-95FA-4297-84A2-F0F4EF27BF85}")
struct IBdsWindowsService : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateDockableWindow(BSTR windowName, IBdsDockableWindow** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateDocumentWindow(BSTR moduleID, LONG moduleIndex, LONG editorIndex,
                                                           IBdsDocumentWindow** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStandardWindow(BSTR windowType, IBdsDockableWindow** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE DocumentFrameOnTop(LONG* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE DocumentFrameNormal(LONG editorIndex) = 0;
};

// The services root and the package record it reports.

TVX_DECLARE_INTERFACE(IBdsPackage, "{7E5999AF-8E58-44A7-97A8-115ACD1F1C0A}")

// Copied byte for byte into a package's buffer by GetPackageInfo, so its
// layout is fixed: no padding, 24 bytes on 32 bits as packages were built
// against. Name points at the loader's own text, valid until it unloads;
// Instance carries one reference, or is null for a package that failed.
struct PackageInfo {
    GUID Id;
    const OLECHAR* Name;
    IBdsPackage* Instance;
};
static_assert(std::is_standard_layout_v<PackageInfo>);
static_assert(offsetof(PackageInfo, Id) == 0);
static_assert(offsetof(PackageInfo, Name) == sizeof(GUID));
static_assert(offsetof(PackageInfo, Instance) == sizeof(GUID) + sizeof(void*));
static_assert(sizeof(PackageInfo) == sizeof(GUID) + 2 * sizeof(void*), "PackageInfo must have no padding");
static_assert(sizeof(void*) != 4 || (sizeof(PackageInfo) == 24 && offsetof(PackageInfo, Name) == 16 &&
                                     offsetof(PackageInfo, Instance) == 20),
              "PackageInfo must keep its 32-bit layout");

TVX_DECLARE_INTERFACE(IBdsServices, "{AB49F930-BA93-49F9-B86C-AF9D7AB4A8E2}")
struct IBdsServices : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE get_BdsVersionMajor(LONG* version) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_BdsVersionMinor(LONG* version) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_BdsEdition(BSTR* edition) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsPersonalityEdition(VARIANT_BOOL* personality) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_BdsWindowsService(IBdsWindowsService** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_BdsToolBarService(IBdsToolBarService** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_BdsHelpService(IBdsHelpService** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_BdsMenuBarService(IBdsMenuBarService** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Get_IsComponentRegistered(BSTR ComponentName, VARIANT_BOOL* pRetVal) = 0;
    // Answers the mirrored Open Tools API services by their host GUIDs.
    virtual HRESULT STDMETHODCALLTYPE GetService(REFGUID Service, IUnknown** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE IsShortcut(LONG keyData, VARIANT_BOOL* pResult) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddSplashInfo(HBITMAP ABitmap, BSTR ACaption, BSTR ALicenseStatus,
                                                    VARIANT_BOOL AIsUnRegistered, BSTR ASKUName) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddAboutBoxInfo(HBITMAP AAboutImage, HBITMAP AProductImage, BSTR ADialogTitle,
                                                      BSTR ACopyright, BSTR ATitle, BSTR ADescription,
                                                      BSTR ALicenseStatus, VARIANT_BOOL AIsUnRegistered,
                                                      BSTR ASKUName) = 0;
    // The root keeps handlers and providers without a reference: a package
    // keeps them alive for as long as it is loaded.
    virtual HRESULT STDMETHODCALLTYPE AddMessageHandler(IMessageHandler* AHandler) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddDragDropHelper(IDragDropHelperProvider* ADragDropHelper) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnDotNetServicesInitialized() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_PackagesCount(LONG* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPackageInfo(LONG index, PackageInfo* pRetVal) = 0;
};

// What every product package implements; whatever it returns is ignored.
struct IBdsPackage : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Initialize(IBdsServices* Services) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnServicesReady() = 0;
    virtual HRESULT STDMETHODCALLTYPE Finalize() = 0;
};

// The wizard entry, exported as INITWIZARD0001. The IDE reads its result as a
// one-byte Boolean and calls the terminate procedure once at shutdown; the
// register procedure is not used.
using TWizardTerminateProc = void(STDMETHODCALLTYPE*)();
using TWizardInitProc = bool(STDMETHODCALLTYPE*)(IUnknown* BorlandIDEServices, void* RegisterProc,
                                                 TWizardTerminateProc* Terminate);
static_assert(sizeof(bool) == 1, "the IDE reads the wizard entry's result as one byte");

namespace tvx {
inline constexpr char WizardEntryName[] = "INITWIZARD0001";
} // namespace tvx
