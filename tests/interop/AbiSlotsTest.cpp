// Every interop and mirror interface, called the way a package written in C
// calls it: through the raw method table by slot number. A recorder object
// implements the interface and logs which method each slot reached; the
// slot numbers and GUID texts below are the published ones, not derived
// from the headers.
#include "interop/TalvixBdsInterop.h"
#include "interop/WrappedToolsAPI.h"
#include "tests/support/TestSupport.h"
#include "toolbars/GetSelf.h"

#include <string>
#include <type_traits>
#include <vector>

namespace tvx::test {
namespace {

// Logs the name of each method it is called through.
template <class I>
class Recorder : public I {
public:
    using Interface = I;
    std::string called;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return Hit<HRESULT>(__func__); }
    ULONG STDMETHODCALLTYPE AddRef() override { return Hit<ULONG>(__func__); }
    ULONG STDMETHODCALLTYPE Release() override { return Hit<ULONG>(__func__); }

protected:
    template <class R>
    R Hit(const char* method)
    {
        called = method;
        return R();
    }
};

#define RECORD(Result, Method, ...) \
    Result STDMETHODCALLTYPE Method(__VA_ARGS__) override { return Hit<Result>(__func__); }

// A zero value for every argument type; references bind to a static zero.
template <class A>
A ZeroArg()
{
    if constexpr (std::is_reference_v<A>) {
        static std::remove_cvref_t<A> zero{};
        return zero;
    } else {
        return A{};
    }
}

// Calls slot `slot` of `object`'s method table with the exact C signature of
// method M: the interface pointer first, then M's own arguments.
template <class M>
struct RawSlot;
template <class I, class R, class... A>
struct RawSlot<R (I::*)(A...)> {
    static void Call(void* object, int slot)
    {
        using Fn = R(STDMETHODCALLTYPE*)(I*, A...);
        auto fn = reinterpret_cast<Fn>((*static_cast<void***>(object))[slot]);
        fn(static_cast<I*>(object), ZeroArg<A>()...);
    }
};

struct SlotRow {
    int slot;
    const char* method;
    void (*call)(void* object, int slot);
};

// Inside a recorder: the row for `Method` published at slot `n`.
#define SLOT(n, Method) SlotRow{n, #Method, &RawSlot<decltype(&Interface::Method)>::Call}

template <class R>
void ExpectSlots()
{
    using I = typename R::Interface;
    static_assert(std::is_base_of_v<IUnknown, I>);
    static_assert(sizeof(I) == sizeof(void*), "an interop interface holds nothing but its method table");
    static_assert(!std::has_virtual_destructor_v<I>, "a virtual destructor would take method slots");

    std::vector<SlotRow> rows = {
        SlotRow{0, "QueryInterface", &RawSlot<decltype(&IUnknown::QueryInterface)>::Call},
        SlotRow{1, "AddRef", &RawSlot<decltype(&IUnknown::AddRef)>::Call},
        SlotRow{2, "Release", &RawSlot<decltype(&IUnknown::Release)>::Call},
    };
    for (const SlotRow& row : R::Slots())
        rows.push_back(row);

    R recorder;
    I* object = &recorder;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const SlotRow& row = rows[i];
        SCOPED_TRACE(testing::Message() << "slot " << row.slot << " (" << row.method << ")");
        ASSERT_EQ(row.slot, int(i)) << "slot table has a gap";
        recorder.called.clear();
        row.call(object, row.slot);
        EXPECT_EQ(recorder.called, row.method);
    }
}

// TalvixBdsInterop ------------------------------------------------------------

struct PackageRecorder : Recorder<IBdsPackage> {
    RECORD(HRESULT, Initialize, IBdsServices*)
    RECORD(HRESULT, OnServicesReady)
    RECORD(HRESULT, Finalize)
    static std::vector<SlotRow> Slots()
    {
        return {SLOT(3, Initialize), SLOT(4, OnServicesReady), SLOT(5, Finalize)};
    }
};

struct EditorTabListenerRecorder : Recorder<IBdsEditorTabListener> {
    RECORD(HRESULT, OnIdeTabSelected)
    static std::vector<SlotRow> Slots() { return {SLOT(3, OnIdeTabSelected)}; }
};

struct ServicesRecorder : Recorder<IBdsServices> {
    RECORD(HRESULT, get_BdsVersionMajor, LONG*)
    RECORD(HRESULT, get_BdsVersionMinor, LONG*)
    RECORD(HRESULT, get_BdsEdition, BSTR*)
    RECORD(HRESULT, get_IsPersonalityEdition, VARIANT_BOOL*)
    RECORD(HRESULT, Get_BdsWindowsService, IBdsWindowsService**)
    RECORD(HRESULT, Get_BdsToolBarService, IBdsToolBarService**)
    RECORD(HRESULT, Get_BdsHelpService, IBdsHelpService**)
    RECORD(HRESULT, Get_BdsMenuBarService, IBdsMenuBarService**)
    RECORD(HRESULT, Get_IsComponentRegistered, BSTR, VARIANT_BOOL*)
    RECORD(HRESULT, GetService, REFGUID, IUnknown**)
    RECORD(HRESULT, IsShortcut, LONG, VARIANT_BOOL*)
    RECORD(HRESULT, AddSplashInfo, HBITMAP, BSTR, BSTR, VARIANT_BOOL, BSTR)
    RECORD(HRESULT, AddAboutBoxInfo, HBITMAP, HBITMAP, BSTR, BSTR, BSTR, BSTR, BSTR, VARIANT_BOOL, BSTR)
    RECORD(HRESULT, AddMessageHandler, IMessageHandler*)
    RECORD(HRESULT, AddDragDropHelper, IDragDropHelperProvider*)
    RECORD(HRESULT, OnDotNetServicesInitialized)
    RECORD(HRESULT, get_PackagesCount, LONG*)
    RECORD(HRESULT, GetPackageInfo, LONG, PackageInfo*)
    static std::vector<SlotRow> Slots()
    {
        return {SLOT(3, get_BdsVersionMajor),        SLOT(4, get_BdsVersionMinor),
                SLOT(5, get_BdsEdition),             SLOT(6, get_IsPersonalityEdition),
                SLOT(7, Get_BdsWindowsService),      SLOT(8, Get_BdsToolBarService),
                SLOT(9, Get_BdsHelpService),         SLOT(10, Get_BdsMenuBarService),
                SLOT(11, Get_IsComponentRegistered), SLOT(12, GetService),
                SLOT(13, IsShortcut),                SLOT(14, AddSplashInfo),
                SLOT(15, AddAboutBoxInfo),           SLOT(16, AddMessageHandler),
                SLOT(17, AddDragDropHelper),         SLOT(18, OnDotNetServicesInitialized),
                SLOT(19, get_PackagesCount),         SLOT(20, GetPackageInfo)};
    }
};

struct MessageHandlerRecorder : Recorder<IMessageHandler> {
    RECORD(HRESULT, HandleMessage, MSG*, VARIANT_BOOL*, VARIANT_BOOL*)
    static std::vector<SlotRow> Slots() { return {SLOT(3, HandleMessage)}; }
};

struct DragDropHelperProviderRecorder : Recorder<IDragDropHelperProvider> {
    RECORD(HRESULT, GetDragDropHelper, BSTR, IUnknown**)
    static std::vector<SlotRow> Slots() { return {SLOT(3, GetDragDropHelper)}; }
};

struct DragDropHelperRecorder : Recorder<IDragDropHelper> {
    RECORD(HRESULT, Execute)
    RECORD(HRESULT, get_Left, LONG*)
    RECORD(HRESULT, get_Top, LONG*)
    static std::vector<SlotRow> Slots() { return {SLOT(3, Execute), SLOT(4, get_Left), SLOT(5, get_Top)}; }
};

struct HelpServiceRecorder : Recorder<IBdsHelpService> {
    RECORD(HRESULT, ShowHelpByKeyword, BSTR)
    RECORD(HRESULT, ShowHelpByURL, BSTR)
    static std::vector<SlotRow> Slots() { return {SLOT(3, ShowHelpByKeyword), SLOT(4, ShowHelpByURL)}; }
};

struct MenuItemRecorder : Recorder<IBdsMenuItem> {
    RECORD(HRESULT, Get_BeginGroup, VARIANT_BOOL*)
    RECORD(HRESULT, Set_BeginGroup, VARIANT_BOOL)
    RECORD(HRESULT, Get_Caption, BSTR*)
    RECORD(HRESULT, Set_Caption, BSTR)
    RECORD(HRESULT, Get_Checked, VARIANT_BOOL*)
    RECORD(HRESULT, Set_Checked, VARIANT_BOOL)
    RECORD(HRESULT, Get_ChildCount, LONG*)
    RECORD(HRESULT, Get_Enabled, VARIANT_BOOL*)
    RECORD(HRESULT, Set_Enabled, VARIANT_BOOL)
    RECORD(HRESULT, Get_Name, BSTR*)
    RECORD(HRESULT, Get_NextMenuItem, IBdsMenuItem**)
    RECORD(HRESULT, Get_ParentMenuItem, IBdsMenuItem**)
    RECORD(HRESULT, Get_PrevMenuItem, IBdsMenuItem**)
    RECORD(HRESULT, Get_Shortcut, LONG*)
    RECORD(HRESULT, Set_Shortcut, LONG)
    RECORD(HRESULT, Get_Visible, VARIANT_BOOL*)
    RECORD(HRESULT, Set_Visible, VARIANT_BOOL)
    RECORD(HRESULT, RegisterEvents, IBdsToolBarControlEvents*)
    RECORD(HRESULT, ChildMenuItem, LONG, IBdsMenuItem**)
    RECORD(HRESULT, InvokeAction)
    static std::vector<SlotRow> Slots()
    {
        return {SLOT(3, Get_BeginGroup),     SLOT(4, Set_BeginGroup),     SLOT(5, Get_Caption),
                SLOT(6, Set_Caption),        SLOT(7, Get_Checked),        SLOT(8, Set_Checked),
                SLOT(9, Get_ChildCount),     SLOT(10, Get_Enabled),       SLOT(11, Set_Enabled),
                SLOT(12, Get_Name),          SLOT(13, Get_NextMenuItem),  SLOT(14, Get_ParentMenuItem),
                SLOT(15, Get_PrevMenuItem),  SLOT(16, Get_Shortcut),      SLOT(17, Set_Shortcut),
                SLOT(18, Get_Visible),       SLOT(19, Set_Visible),       SLOT(20, RegisterEvents),
                SLOT(21, ChildMenuItem),     SLOT(22, InvokeAction)};
    }
};

struct ToolBarControlEventsRecorder : Recorder<IBdsToolBarControlEvents> {
    RECORD(HRESULT, OnClick)
    RECORD(HRESULT, OnChange)
    RECORD(HRESULT, OnUpdate)
    static std::vector<SlotRow> Slots() { return {SLOT(3, OnClick), SLOT(4, OnChange), SLOT(5, OnUpdate)}; }
};

struct MenuBarServiceRecorder : Recorder<IBdsMenuBarService> {
    RECORD(HRESULT, RemoveMenuItem, BSTR)
    RECORD(HRESULT, GetMenuItem, BSTR, IBdsMenuItem**)
    RECORD(HRESULT, AddMenuItem, BSTR, LONG, BSTR, BSTR, HBITMAP, IBdsMenuItem**)
    RECORD(HRESULT, InsertMenuItem, BSTR, LONG, BSTR, BSTR, HBITMAP, IBdsMenuItem**)
    RECORD(HRESULT, GetFirstMenuItem, IBdsMenuItem**)
    static std::vector<SlotRow> Slots()
    {
        return {SLOT(3, RemoveMenuItem), SLOT(4, GetMenuItem), SLOT(5, AddMenuItem), SLOT(6, InsertMenuItem),
                SLOT(7, GetFirstMenuItem)};
    }
};

struct ToolBarControlRecorder : Recorder<IBdsToolBarControl> {
    RECORD(HRESULT, Get_Caption, BSTR*)
    RECORD(HRESULT, Set_Caption, BSTR)
    RECORD(HRESULT, Get_Enabled, VARIANT_BOOL*)
    RECORD(HRESULT, Set_Enabled, VARIANT_BOOL)
    RECORD(HRESULT, Get_Visible, VARIANT_BOOL*)
    RECORD(HRESULT, Set_Visible, VARIANT_BOOL)
    RECORD(HRESULT, Get_Name, BSTR*)
    RECORD(HRESULT, Set_Name, BSTR)
    RECORD(HRESULT, Get_ToolTip, BSTR*)
    RECORD(HRESULT, Set_ToolTip, BSTR)
    RECORD(HRESULT, Get_ShortCut, LONG*)
    RECORD(HRESULT, Set_ShortCut, LONG)
    RECORD(HRESULT, RegisterEvents, IBdsToolBarControlEvents*)
    static std::vector<SlotRow> Slots()
    {
        return {SLOT(3, Get_Caption),  SLOT(4, Set_Caption),   SLOT(5, Get_Enabled),   SLOT(6, Set_Enabled),
                SLOT(7, Get_Visible),  SLOT(8, Set_Visible),   SLOT(9, Get_Name),      SLOT(10, Set_Name),
                SLOT(11, Get_ToolTip), SLOT(12, Set_ToolTip),  SLOT(13, Get_ShortCut), SLOT(14, Set_ShortCut),
                SLOT(15, RegisterEvents)};
    }
};

struct ToolBarButtonRecorder : Recorder<IBdsToolBarButton> {
    RECORD(HRESULT, Get_Down, VARIANT_BOOL*)
    RECORD(HRESULT, Set_Down, VARIANT_BOOL)
    RECORD(HRESULT, SetImage, HBITMAP)
    static std::vector<SlotRow> Slots() { return {SLOT(3, Get_Down), SLOT(4, Set_Down), SLOT(5, SetImage)}; }
};

struct ToolBarComboBoxRecorder : Recorder<IBdsToolBarComboBox> {
    RECORD(HRESULT, Get_CaptionVisible, VARIANT_BOOL*)
    RECORD(HRESULT, Set_CaptionVisible, VARIANT_BOOL)
    RECORD(HRESULT, Get_Text, BSTR*)
    RECORD(HRESULT, Set_Text, BSTR)
    RECORD(HRESULT, Get_Width, LONG*)
    RECORD(HRESULT, Set_Width, LONG)
    RECORD(HRESULT, Get_ItemCount, LONG*)
    RECORD(HRESULT, Get_SelectedItem, LONG*)
    RECORD(HRESULT, Set_SelectedItem, LONG)
    RECORD(HRESULT, GetItem, LONG, BSTR*)
    RECORD(HRESULT, SetItem, LONG, BSTR)
    RECORD(HRESULT, AddItem, BSTR, LONG*)
    RECORD(HRESULT, RemoveItem, LONG)
    RECORD(HRESULT, ClearItems)
    static std::vector<SlotRow> Slots()
    {
        return {SLOT(3, Get_CaptionVisible), SLOT(4, Set_CaptionVisible), SLOT(5, Get_Text),
                SLOT(6, Set_Text),           SLOT(7, Get_Width),          SLOT(8, Set_Width),
                SLOT(9, Get_ItemCount),      SLOT(10, Get_SelectedItem),  SLOT(11, Set_SelectedItem),
                SLOT(12, GetItem),           SLOT(13, SetItem),           SLOT(14, AddItem),
                SLOT(15, RemoveItem),        SLOT(16, ClearItems)};
    }
};

struct ToolBarPopUpRecorder : Recorder<IBdsToolBarPopUp> {
    static std::vector<SlotRow> Slots() { return {}; }
};

struct GetSelfRecorder : Recorder<IGetSelf> {
    RECORD(void*, GetSelf)
    static std::vector<SlotRow> Slots() { return {SLOT(3, GetSelf)}; }
};

struct ToolBarRecorder : Recorder<IBdsToolBar> {
    RECORD(HRESULT, Get_Name, BSTR*)
    RECORD(HRESULT, Set_Name, BSTR)
    RECORD(HRESULT, Get_Caption, BSTR*)
    RECORD(HRESULT, Set_Caption, BSTR)
    RECORD(HRESULT, Get_Visible, VARIANT_BOOL*)
    RECORD(HRESULT, Set_Visible, VARIANT_BOOL)
    RECORD(HRESULT, Get_Left, LONG*)
    RECORD(HRESULT, Set_Left, LONG)
    RECORD(HRESULT, Get_Top, LONG*)
    RECORD(HRESULT, Set_Top, LONG)
    RECORD(HRESULT, Get_Width, LONG*)
    RECORD(HRESULT, Get_Height, LONG*)
    RECORD(HRESULT, Get_Floating, VARIANT_BOOL*)
    RECORD(HRESULT, Set_Floating, VARIANT_BOOL)
    RECORD(HRESULT, Get_ControlCount, LONG*)
    RECORD(HRESULT, AddSeparator)
    RECORD(HRESULT, AddControl, LONG, IBdsToolBarControl**)
    RECORD(HRESULT, RemoveControl, IBdsToolBarControl*)
    RECORD(HRESULT, Clear)
    static std::vector<SlotRow> Slots()
    {
        return {SLOT(3, Get_Name),       SLOT(4, Set_Name),          SLOT(5, Get_Caption),   SLOT(6, Set_Caption),
                SLOT(7, Get_Visible),    SLOT(8, Set_Visible),       SLOT(9, Get_Left),      SLOT(10, Set_Left),
                SLOT(11, Get_Top),       SLOT(12, Set_Top),          SLOT(13, Get_Width),    SLOT(14, Get_Height),
                SLOT(15, Get_Floating),  SLOT(16, Set_Floating),     SLOT(17, Get_ControlCount),
                SLOT(18, AddSeparator),  SLOT(19, AddControl),       SLOT(20, RemoveControl), SLOT(21, Clear)};
    }
};

struct ToolBarServiceRecorder : Recorder<IBdsToolBarService> {
    RECORD(HRESULT, FindToolBar, BSTR, IBdsToolBar**)
    RECORD(HRESULT, AddToolBar, BSTR, BSTR, IBdsToolBar**)
    RECORD(HRESULT, RemoveToolBar, IBdsToolBar*)
    RECORD(HRESULT, Clear)
    static std::vector<SlotRow> Slots()
    {
        return {SLOT(3, FindToolBar), SLOT(4, AddToolBar), SLOT(5, RemoveToolBar), SLOT(6, Clear)};
    }
};

struct Win32WindowRecorder : Recorder<IWin32Window> {
    RECORD(HRESULT, Get_Handle, LONG*)
    static std::vector<SlotRow> Slots() { return {SLOT(3, Get_Handle)}; }
};

struct WindowEventsRecorder : Recorder<IBdsWindowEvents> {
    RECORD(HRESULT, OnWindowClose)
    RECORD(HRESULT, OnWindowActivate)
    RECORD(HRESULT, OnGetIconHandle, LONG*)
    static std::vector<SlotRow> Slots()
    {
        return {SLOT(3, OnWindowClose), SLOT(4, OnWindowActivate), SLOT(5, OnGetIconHandle)};
    }
};

struct DockableWindowRecorder : Recorder<IBdsDockableWindow> {
    RECORD(HRESULT, Get_Caption, BSTR*)
    RECORD(HRESULT, Set_Caption, BSTR)
    RECORD(HRESULT, Get_Visible, VARIANT_BOOL*)
    RECORD(HRESULT, Set_Visible, VARIANT_BOOL)
    RECORD(HRESULT, Get_AutoHides, VARIANT_BOOL*)
    RECORD(HRESULT, Set_AutoHides, VARIANT_BOOL)
    RECORD(HRESULT, Get_IsFloating, VARIANT_BOOL*)
    RECORD(HRESULT, Set_IsFloating, VARIANT_BOOL)
    RECORD(HRESULT, Get_IsActive, VARIANT_BOOL*)
    RECORD(HRESULT, RegisterEvents, IBdsWindowEvents*)
    RECORD(HRESULT, SetIcon, LONG)
    RECORD(HRESULT, HostControl, IUnknown*)
    RECORD(HRESULT, Activate)
    RECORD(HRESULT, Close)
    static std::vector<SlotRow> Slots()
    {
        return {SLOT(3, Get_Caption),    SLOT(4, Set_Caption),     SLOT(5, Get_Visible),     SLOT(6, Set_Visible),
                SLOT(7, Get_AutoHides),  SLOT(8, Set_AutoHides),   SLOT(9, Get_IsFloating),  SLOT(10, Set_IsFloating),
                SLOT(11, Get_IsActive),  SLOT(12, RegisterEvents), SLOT(13, SetIcon),        SLOT(14, HostControl),
                SLOT(15, Activate),      SLOT(16, Close)};
    }
};

struct DocumentWindowRecorder : Recorder<IBdsDocumentWindow> {
    RECORD(HRESULT, Get_Visible, VARIANT_BOOL*)
    RECORD(HRESULT, Set_Visible, VARIANT_BOOL)
    RECORD(HRESULT, Get_Modified, VARIANT_BOOL*)
    RECORD(HRESULT, Set_Modified, VARIANT_BOOL)
    RECORD(HRESULT, Get_StayOnTop, VARIANT_BOOL*)
    RECORD(HRESULT, Set_StayOnTop, VARIANT_BOOL)
    RECORD(HRESULT, RegisterEvents, IBdsWindowEvents*)
    RECORD(HRESULT, HostControl, IUnknown*)
    RECORD(HRESULT, ReHostControl)
    RECORD(HRESULT, Activate)
    RECORD(HRESULT, Close)
    RECORD(HRESULT, DoResize)
    static std::vector<SlotRow> Slots()
    {
        return {SLOT(3, Get_Visible),     SLOT(4, Set_Visible),    SLOT(5, Get_Modified),   SLOT(6, Set_Modified),
                SLOT(7, Get_StayOnTop),   SLOT(8, Set_StayOnTop),  SLOT(9, RegisterEvents), SLOT(10, HostControl),
                SLOT(11, ReHostControl),  SLOT(12, Activate),      SLOT(13, Close),         SLOT(14, DoResize)};
    }
};

struct WindowsServiceRecorder : Recorder<IBdsWindowsService> {
    RECORD(HRESULT, CreateDockableWindow, BSTR, IBdsDockableWindow**)
    RECORD(HRESULT, CreateDocumentWindow, BSTR, LONG, LONG, IBdsDocumentWindow**)
    RECORD(HRESULT, GetStandardWindow, BSTR, IBdsDockableWindow**)
    RECORD(HRESULT, DocumentFrameOnTop, LONG*)
    RECORD(HRESULT, DocumentFrameNormal, LONG)
    static std::vector<SlotRow> Slots()
    {
        return {SLOT(3, CreateDockableWindow), SLOT(4, CreateDocumentWindow), SLOT(5, GetStandardWindow),
                SLOT(6, DocumentFrameOnTop), SLOT(7, DocumentFrameNormal)};
    }
};

// WrappedToolsAPI -------------------------------------------------------------

struct ModuleServices70Recorder : Recorder<IBDSModuleServices70> {
    RECORD(HRESULT, GetCurrentModule, IBDSModule**)
    RECORD(LONG, ModuleCount)
    RECORD(LongBool, NewModule)
    RECORD(HRESULT, CreateModule, IBDSCreator*, IBDSModule**)
    RECORD(void, GetNewModuleAndClassName, PWideChar, PWideChar*, PWideChar*, PWideChar*)
    RECORD(HRESULT, FindModule, PWideChar, IBDSModule**)
    RECORD(HRESULT, FindFormModule, PWideChar, IBDSModule**)
    RECORD(HRESULT, GetModule, LONG, IBDSModule**)
    RECORD(LongBool, SaveAll)
    RECORD(LongBool, CloseAll)
    RECORD(LONG, AddFileSystem, IBDSFileSystem*)
    RECORD(HRESULT, FindFileSystem, PWideChar, IBDSFileSystem**)
    RECORD(void, RemoveFileSystem, LONG)
    static std::vector<SlotRow> Slots()
    {
        return {SLOT(3, GetCurrentModule),  SLOT(4, ModuleCount),  SLOT(5, NewModule),
                SLOT(6, CreateModule),      SLOT(7, GetNewModuleAndClassName),
                SLOT(8, FindModule),        SLOT(9, FindFormModule), SLOT(10, GetModule),
                SLOT(11, SaveAll),          SLOT(12, CloseAll),      SLOT(13, AddFileSystem),
                SLOT(14, FindFileSystem),   SLOT(15, RemoveFileSystem)};
    }
};

struct ModuleRecorder : Recorder<IBDSModule> {
    RECORD(PWideChar, GetFileName)
    RECORD(void, SetFileName, BSTR)
    RECORD(PWideChar, GetFileSystem)
    RECORD(void, SetFileSystem, BSTR)
    RECORD(LongBool, HasCoClasses)
    RECORD(LONG, GetModuleFileCount)
    RECORD(void, GetModuleFileEditor, LONG, IBDSEditor**)
    RECORD(LONG, GetOwnerCount)
    RECORD(void, GetOwner, LONG, IBDSProject**)
    RECORD(void, AddToInterface)
    RECORD(LONG, AddNotifier, IBDSModuleNotifier*)
    RECORD(void, RemoveNotifier, LONG)
    RECORD(LongBool, Save, LongBool, LongBool)
    RECORD(LongBool, Close)
    RECORD(LongBool, CloseModule, LongBool)
    RECORD(void, GetCurrentEditor, IBDSEditor**)
    RECORD(LONG, GetOwnerModuleCount)
    RECORD(void, GetOwnerModule, LONG, IBDSModule**)
    RECORD(void, MarkModified)
    RECORD(void, Show)
    RECORD(void, ShowFilename, PWideChar)
    static std::vector<SlotRow> Slots()
    {
        return {SLOT(3, GetFileName),          SLOT(4, SetFileName),       SLOT(5, GetFileSystem),
                SLOT(6, SetFileSystem),        SLOT(7, HasCoClasses),      SLOT(8, GetModuleFileCount),
                SLOT(9, GetModuleFileEditor),  SLOT(10, GetOwnerCount),    SLOT(11, GetOwner),
                SLOT(12, AddToInterface),      SLOT(13, AddNotifier),      SLOT(14, RemoveNotifier),
                SLOT(15, Save),                SLOT(16, Close),            SLOT(17, CloseModule),
                SLOT(18, GetCurrentEditor),    SLOT(19, GetOwnerModuleCount), SLOT(20, GetOwnerModule),
                SLOT(21, MarkModified),        SLOT(22, Show),             SLOT(23, ShowFilename)};
    }
};

struct EditorRecorder : Recorder<IBDSEditor> {
    RECORD(void, Dismiss)
    RECORD(PWideChar, GetFileName)
    RECORD(LongBool, GetModified)
    RECORD(HRESULT, GetModule, IBDSModule**)
    RECORD(LongBool, MarkModified)
    RECORD(void, Show)
    RECORD(LONG, AddNotifier, IBDSNotifier*)
    RECORD(void, RemoveNotifier, LONG)
    static std::vector<SlotRow> Slots()
    {
        return {SLOT(3, Dismiss),      SLOT(4, GetFileName), SLOT(5, GetModified),  SLOT(6, GetModule),
                SLOT(7, MarkModified), SLOT(8, Show),        SLOT(9, AddNotifier),  SLOT(10, RemoveNotifier)};
    }
};

struct ProjectRecorder : Recorder<IBDSProject> {
    static std::vector<SlotRow> Slots() { return {}; }
};

struct CreatorRecorder : Recorder<IBDSCreator> {
    RECORD(PWideChar, GetCreatorType)
    RECORD(LongBool, GetExisting)
    RECORD(PWideChar, GetFileSystem)
    RECORD(LongBool, GetUnnamed)
    RECORD(HRESULT, GetOwner, IUnknown**)
    static std::vector<SlotRow> Slots()
    {
        return {SLOT(3, GetCreatorType), SLOT(4, GetExisting), SLOT(5, GetFileSystem), SLOT(6, GetUnnamed),
                SLOT(7, GetOwner)};
    }
};

struct ModuleCreatorRecorder : Recorder<IBDSModuleCreator> {
    RECORD(PWideChar, GetCreatorType)
    RECORD(LongBool, GetExisting)
    RECORD(PWideChar, GetFileSystem)
    RECORD(LongBool, GetUnnamed)
    RECORD(HRESULT, GetOwner, IUnknown**)
    RECORD(PWideChar, GetAncestorName)
    RECORD(PWideChar, GetImplFileName)
    RECORD(PWideChar, GetIntfFileName)
    RECORD(PWideChar, GetFormName)
    RECORD(LongBool, GetMainForm)
    RECORD(LongBool, GetShowForm)
    RECORD(LongBool, GetShowSource)
    RECORD(HRESULT, NewFormFile, BSTR, BSTR, IBDSFile**)
    RECORD(HRESULT, NewImplSource, BSTR, BSTR, BSTR, IBDSFile**)
    RECORD(HRESULT, NewIntfSource, BSTR, BSTR, BSTR, IBDSFile**)
    RECORD(HRESULT, FormCreated, IUnknown*)
    static std::vector<SlotRow> Slots()
    {
        return {SLOT(3, GetCreatorType),   SLOT(4, GetExisting),      SLOT(5, GetFileSystem),
                SLOT(6, GetUnnamed),       SLOT(7, GetOwner),         SLOT(8, GetAncestorName),
                SLOT(9, GetImplFileName),  SLOT(10, GetIntfFileName), SLOT(11, GetFormName),
                SLOT(12, GetMainForm),     SLOT(13, GetShowForm),     SLOT(14, GetShowSource),
                SLOT(15, NewFormFile),     SLOT(16, NewImplSource),   SLOT(17, NewIntfSource),
                SLOT(18, FormCreated)};
    }
};

struct FileRecorder : Recorder<IBDSFile> {
    RECORD(PWideChar, GetSource)
    RECORD(std::int64_t, GetAge)
    static std::vector<SlotRow> Slots() { return {SLOT(3, GetSource), SLOT(4, GetAge)}; }
};

struct FileSystemRecorder : Recorder<IBDSFileSystem> {
    RECORD(PWideChar, GetIDString)
    RECORD(HRESULT, GetFilter, IBDSFileFilter**)
    RECORD(LongBool, IsFileBased)
    RECORD(HRESULT, GetFileStream, BSTR, LONG, IStream**)
    RECORD(LONG, FileAge, BSTR)
    RECORD(LongBool, RenameFile, BSTR, BSTR)
    RECORD(LongBool, IsReadonly, BSTR)
    RECORD(LongBool, DeleteFile, BSTR)
    RECORD(LongBool, FileExists, BSTR)
    RECORD(PWideChar, GetTempFileName, BSTR)
    RECORD(PWideChar, GetBackupFileName, BSTR)
    static std::vector<SlotRow> Slots()
    {
        return {SLOT(3, GetIDString),     SLOT(4, GetFilter),   SLOT(5, IsFileBased),      SLOT(6, GetFileStream),
                SLOT(7, FileAge),         SLOT(8, RenameFile),  SLOT(9, IsReadonly),       SLOT(10, DeleteFile),
                SLOT(11, FileExists),     SLOT(12, GetTempFileName), SLOT(13, GetBackupFileName)};
    }
};

struct FileFilterRecorder : Recorder<IBDSFileFilter> {
    RECORD(PWideChar, GetDisplayName)
    RECORD(PWideChar, GetIDString)
    RECORD(HRESULT, GetStream, BSTR, IStream*, IStream**)
    RECORD(LongBool, HandlesStream, BSTR, IStream*)
    static std::vector<SlotRow> Slots()
    {
        return {SLOT(3, GetDisplayName), SLOT(4, GetIDString), SLOT(5, GetStream), SLOT(6, HandlesStream)};
    }
};

struct NotifierRecorder : Recorder<IBDSNotifier> {
    RECORD(LongBool, AfterSave)
    RECORD(LongBool, BeforeSave)
    RECORD(HRESULT, Destroyed)
    RECORD(HRESULT, Modified)
    static std::vector<SlotRow> Slots()
    {
        return {SLOT(3, AfterSave), SLOT(4, BeforeSave), SLOT(5, Destroyed), SLOT(6, Modified)};
    }
};

struct ModuleNotifierRecorder : Recorder<IBDSModuleNotifier> {
    RECORD(LongBool, CheckOverwrite)
    RECORD(HRESULT, ModuleRenamed, BSTR)
    static std::vector<SlotRow> Slots() { return {SLOT(3, CheckOverwrite), SLOT(4, ModuleRenamed)}; }
};

struct ModuleNotifier80Recorder : Recorder<IBDSModuleNotifier80> {
    RECORD(LongBool, AllowSave)
    RECORD(LONG, GetOverwriteFileNameCount)
    RECORD(PWideChar, GetOverwriteFileName, LONG)
    RECORD(HRESULT, SetSaveFileName, BSTR)
    static std::vector<SlotRow> Slots()
    {
        return {SLOT(3, AllowSave), SLOT(4, GetOverwriteFileNameCount), SLOT(5, GetOverwriteFileName),
                SLOT(6, SetSaveFileName)};
    }
};

struct ModuleNotifier90Recorder : Recorder<IBDSModuleNotifier90> {
    RECORD(HRESULT, BeforeRename, BSTR, BSTR)
    RECORD(HRESULT, AfterRename, BSTR, BSTR)
    static std::vector<SlotRow> Slots() { return {SLOT(3, BeforeRename), SLOT(4, AfterRename)}; }
};

struct EditorNotifierRecorder : Recorder<IBDSEditorNotifier> {
    RECORD(HRESULT, ViewNotification, IUnknown*, LONG)
    RECORD(HRESULT, ViewActivated, IUnknown*)
    static std::vector<SlotRow> Slots() { return {SLOT(3, ViewNotification), SLOT(4, ViewActivated)}; }
};

struct EditServicesNotifierRecorder : Recorder<IBDSEditServicesNotifier> {
    RECORD(LongBool, AfterSave)
    RECORD(LongBool, BeforeSave)
    RECORD(HRESULT, Destroyed)
    RECORD(HRESULT, Modified)
    RECORD(HRESULT, WindowShow, IUnknown*, ByteBool, ByteBool)
    RECORD(HRESULT, WindowNotification, IUnknown*, LONG)
    RECORD(HRESULT, WindowActivated, IUnknown*)
    RECORD(HRESULT, WindowCommand, IUnknown*, LONG, LONG, ByteBool*)
    RECORD(HRESULT, EditorViewActivated, IUnknown*, IUnknown*)
    RECORD(HRESULT, EditorViewModified, IUnknown*, IUnknown*)
    RECORD(HRESULT, DockFormVisibleChanged, IUnknown*, IUnknown*)
    RECORD(HRESULT, DockFormUpdated, IUnknown*, IUnknown*)
    RECORD(HRESULT, DockFormRefresh, IUnknown*, IUnknown*)
    static std::vector<SlotRow> Slots()
    {
        return {SLOT(3, AfterSave),            SLOT(4, BeforeSave),           SLOT(5, Destroyed),
                SLOT(6, Modified),             SLOT(7, WindowShow),           SLOT(8, WindowNotification),
                SLOT(9, WindowActivated),      SLOT(10, WindowCommand),       SLOT(11, EditorViewActivated),
                SLOT(12, EditorViewModified),  SLOT(13, DockFormVisibleChanged), SLOT(14, DockFormUpdated),
                SLOT(15, DockFormRefresh)};
    }
};

struct EditorServices80Recorder : Recorder<IBDSEditorServices80> {
    RECORD(LONG, AddNotifier, IBDSEditServicesNotifier*)
    RECORD(void, RemoveNotifier, LONG)
    static std::vector<SlotRow> Slots() { return {SLOT(3, AddNotifier), SLOT(4, RemoveNotifier)}; }
};

#undef SLOT
#undef RECORD

// One interface: its published name and GUID text, and its slot check.
struct AbiCase {
    const char* name;
    const char* iidText;
    GUID iid;
    void (*expectSlots)();
};

void PrintTo(const AbiCase& c, std::ostream* os) { *os << c.name; }

template <class R>
AbiCase Case(const char* name, const char* iidText)
{
    return {name, iidText, IidOf<typename R::Interface>, &ExpectSlots<R>};
}

const std::vector<AbiCase> kBdsInterop = {
    Case<PackageRecorder>("IBdsPackage", "{7E5999AF-8E58-44A7-97A8-115ACD1F1C0A}"),
    Case<EditorTabListenerRecorder>("IBdsEditorTabListener", "{436A49EE-0938-4653-A421-494FDED3D6E2}"),
    Case<ServicesRecorder>("IBdsServices", "{AB49F930-BA93-49F9-B86C-AF9D7AB4A8E2}"),
    Case<MessageHandlerRecorder>("IMessageHandler", "{3ACECC0D-0E1D-4933-A18E-3FA306CB87C8}"),
    Case<DragDropHelperProviderRecorder>("IDragDropHelperProvider", "{630B4751-397C-4A08-AC52-255604B8BAC4}"),
    Case<DragDropHelperRecorder>("IDragDropHelper", "{538A9DED-E13F-4971-8C37-CB3EDA31270B}"),
    Case<HelpServiceRecorder>("IBdsHelpService", "{6385956D-6E2B-44AA-8195-4A360494C970}"),
    Case<MenuItemRecorder>("IBdsMenuItem", "{DBC8B252-9572-49B1-8DCB-456CFC3C1DCD}"),
    Case<ToolBarControlEventsRecorder>("IBdsToolBarControlEvents", "{FFF45488-2117-4933-BE66-66CE5C4BC7FF}"),
    Case<MenuBarServiceRecorder>("IBdsMenuBarService", "{E8CCAFB7-156E-4D11-A71B-814C9F82947A}"),
    Case<ToolBarControlRecorder>("IBdsToolBarControl", "{B4F06B0E-2707-4B91-9CC9-C1AF8CEA12CF}"),
    Case<ToolBarButtonRecorder>("IBdsToolBarButton", "{ECC87463-A2BE-4D60-B747-C83BCE98616B}"),
    Case<ToolBarComboBoxRecorder>("IBdsToolBarComboBox", "{5DAE9182-47EB-486E-99E1-F27E7F780011}"),
    Case<ToolBarPopUpRecorder>("IBdsToolBarPopUp", "{C548B814-4A38-4792-8ECB-644304F6F63C}"),
    Case<GetSelfRecorder>("IGetSelf", "{19D1B51E-B630-43FF-87D9-3827F7F795BE}"),
    Case<ToolBarRecorder>("IBdsToolBar", "{C9758D40-3B10-4338-9B52-7822FF353577}"),
    Case<ToolBarServiceRecorder>("IBdsToolBarService", "{904F1EFE-D8D6-4C1C-B90F-EAF41EC67133}"),
    Case<Win32WindowRecorder>("IWin32Window", "{458AB8A2-A1EA-4D7B-8EBE-DEE5D3D9442C}"),
    Case<WindowEventsRecorder>("IBdsWindowEvents", "{3E187226-54E3-47CE-A085-09DD43744F1A}"),
    Case<DockableWindowRecorder>("IBdsDockableWindow", "{A0106024-DA57-4041-A27B-0AEC4E5440D9}"),
    Case<DocumentWindowRecorder>("IBdsDocumentWindow", "{1AF2ED26-43BF-4363-A7F1-7FC0358271B2}"),
    Case<WindowsServiceRecorder>("IBdsWindowsService", "{BC7160DF-95FA-4297-84A2-F0F4EF27BF85}"),
};

const std::vector<AbiCase> kWrappedToolsApi = {
    Case<ModuleServices70Recorder>("IBDSModuleServices70", "{F17A7BCD-E07D-11D1-AB0B-00C04FB16FB3}"),
    Case<ModuleRecorder>("IBDSModule", "{7FF96161-E610-4414-B8B1-D1ECA76FEAFB}"),
    Case<EditorRecorder>("IBDSEditor", "{F17A7BD0-E07D-11D1-AB0B-00C04FB16FB3}"),
    Case<ProjectRecorder>("IBDSProject", "{D0090018-D879-41FC-8F83-AA4F40098ACF}"),
    Case<ModuleCreatorRecorder>("IBDSModuleCreator", "{6EDB9B9A-F57A-11D1-AB23-00C04FB16FB3}"),
    Case<CreatorRecorder>("IBDSCreator", "{6EDB9B9E-F57A-11D1-AB23-00C04FB16FB3}"),
    Case<FileRecorder>("IBDSFile", "{6E2AD9B0-F7F0-11D1-AB26-00C04FB16FB3}"),
    Case<FileSystemRecorder>("IBDSFileSystem", "{A9D1389D-F4B0-11D1-AB22-00C04FB16FB3}"),
    Case<FileFilterRecorder>("IBDSFileFilter", "{14DBB1D5-9802-458E-A8C3-606237708939}"),
    Case<NotifierRecorder>("IBDSNotifier", "{F17A7BCF-E07D-11D1-AB0B-00C04FB16FB3}"),
    Case<ModuleNotifierRecorder>("IBDSModuleNotifier", "{F17A7BCE-E07D-11D1-AB0B-00C04FB16FB3}"),
    Case<ModuleNotifier80Recorder>("IBDSModuleNotifier80", "{6C4714BB-223A-4CDF-A710-429FE8FA0B91}"),
    Case<ModuleNotifier90Recorder>("IBDSModuleNotifier90", "{53B90D0D-0E70-472A-885E-0566B2711C15}"),
    Case<EditorNotifierRecorder>("IBDSEditorNotifier", "{0E3B9D7B-E119-11D1-AB0C-00C04FB16FB3}"),
    Case<EditServicesNotifierRecorder>("IBDSEditServicesNotifier", "{F954AA40-23E7-412C-BD59-CC3428DE2939}"),
    Case<EditorServices80Recorder>("IBDSEditorServices80", "{F37E8C46-0A02-4FD4-8D57-E55F9A5783EC}"),
};

class InterfaceAbi : public testing::TestWithParam<AbiCase> {};

// Catches a method declared out of its published slot (swapped neighbours,
// a missing or extra method, a base other than IUnknown).
TEST_P(InterfaceAbi, EachSlotReachesItsPublishedMethod)
{
    GetParam().expectSlots();
}

// Catches a mistyped GUID, which would make packages' queries fail.
TEST_P(InterfaceAbi, IidMatchesPublishedText)
{
    EXPECT_EQ(FormatGuid(GetParam().iid), GetParam().iidText);
}

std::string CaseName(const testing::TestParamInfo<AbiCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(TalvixBdsInterop, InterfaceAbi, testing::ValuesIn(kBdsInterop), CaseName);
INSTANTIATE_TEST_SUITE_P(WrappedToolsAPI, InterfaceAbi, testing::ValuesIn(kWrappedToolsApi), CaseName);

} // namespace
} // namespace tvx::test
