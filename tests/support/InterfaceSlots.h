// The published method tables of the interop and mirror interfaces, and a
// caller that reaches a method through the raw table by slot number, as a
// package written in C does. The slot numbers are the published ones, written
// here independently of the headers.
#pragma once

#include "host/win32/GdiEmulation.h"
#include "host/win32/Recorder.h"
#include "interop/TalvixBdsInterop.h"
#include "interop/WrappedToolsAPI.h"
#include "tests/support/TestSupport.h"
#include "toolbars/GetSelf.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

// Tables of one entry a line.
// clang-format off

namespace tvx::test {

// An argument the callee writes: a pointer to a value, a pointer or a record,
// but not to text.
template <class A>
constexpr bool kIsOut = [] {
    if constexpr (std::is_pointer_v<A>) {
        using T = std::remove_pointer_t<A>;
        return !std::is_const_v<T> && !std::is_same_v<T, OLECHAR> &&
               (std::is_pointer_v<T> || std::is_arithmetic_v<T> || std::is_same_v<T, PackageInfo>);
    }
    return false;
}();

// The arguments of one call through a slot, and what became of them.
class SlotCall {
public:
    enum class Args {
        Zero,    // every argument zero
        NullOut, // out pointers null, other arguments real
        Real,    // out values filled with garbage, other arguments real
    };
    explicit SlotCall(Args args) : args_(args) {}
    ~SlotCall()
    {
        for (OutValue& out : outs_)
            out.drop(out.bytes.get());
        for (BSTR text : texts_)
            SysFreeString(text);
    }
    SlotCall(const SlotCall&) = delete;
    SlotCall& operator=(const SlotCall&) = delete;

    template <class A>
    A Arg()
    {
        if constexpr (std::is_reference_v<A>) {
            static std::remove_cvref_t<A> zero{};
            return zero;
        } else if constexpr (std::is_same_v<A, HBITMAP>) {
            return args_ == Args::Zero ? nullptr : bitmaps_.emplace_back(MagentaBitmap());
        } else if constexpr (std::is_same_v<A, BSTR>) {
            // Names a menu and a toolbar name alike, so that calls taking a
            // path or a name get as far as real work.
            return args_ == Args::Zero ? nullptr : texts_.emplace_back(SysAllocString(u"ToolsMenu"));
        } else if constexpr (kIsOut<A>) {
            return args_ == Args::Real ? static_cast<A>(AddOut<std::remove_pointer_t<A>>()) : nullptr;
        } else if constexpr (std::is_arithmetic_v<A>) {
            return A(args_ == Args::Zero ? 0 : 1);
        } else {
            return A{};
        }
    }

    // Every out value was written with zero.
    bool OutsCleared() const
    {
        return std::all_of(outs_.begin(), outs_.end(), [](const OutValue& out) {
            return std::all_of(out.bytes.get(), out.bytes.get() + out.size, [](unsigned char b) { return b == 0; });
        });
    }
    const std::vector<HBITMAP>& Bitmaps() const noexcept { return bitmaps_; }

private:
    static constexpr unsigned char kGarbage = 0xA5;
    struct OutValue {
        std::unique_ptr<unsigned char[]> bytes;
        std::size_t size;
        void (*drop)(const unsigned char* bytes);
    };

    template <class T>
    void* AddOut()
    {
        auto bytes = std::make_unique<unsigned char[]>(sizeof(T));
        std::memset(bytes.get(), kGarbage, sizeof(T));
        return outs_.emplace_back(OutValue{std::move(bytes), sizeof(T), &Drop<T>}).bytes.get();
    }
    // Lets go of what a call handed out through an out value.
    template <class T>
    static void Drop(const unsigned char* bytes)
    {
        T value;
        std::memcpy(&value, bytes, sizeof(T));
        if (std::all_of(bytes, bytes + sizeof(T), [](unsigned char b) { return b == 0 || b == kGarbage; }))
            return;
        if constexpr (std::is_same_v<T, BSTR>)
            SysFreeString(value);
        else if constexpr (std::is_pointer_v<T> && std::is_base_of_v<IUnknown, std::remove_pointer_t<T>>)
            value->Release();
    }

    Args args_;
    std::vector<OutValue> outs_;
    std::vector<BSTR> texts_;
    std::vector<HBITMAP> bitmaps_;
};

// Calls slot `slot` of `object`'s method table with the exact C signature of
// method M: the interface pointer first, then M's own arguments.
template <class M>
struct RawSlot;
template <class I, class R, class... A>
struct RawSlot<R (I::*)(A...)> {
    static constexpr bool kTakesOut = (kIsOut<A> || ...);
    static constexpr bool kTakesBitmap = (std::is_same_v<A, HBITMAP> || ...);
    static constexpr bool kAnswersHResult = std::is_same_v<R, HRESULT>;

    static HRESULT Call(void* object, int slot, SlotCall& call)
    {
        using Fn = R(STDMETHODCALLTYPE*)(I*, A...);
        auto fn = reinterpret_cast<Fn>((*static_cast<void***>(object))[slot]);
        if constexpr (std::is_same_v<R, HRESULT>) {
            return fn(static_cast<I*>(object), call.Arg<A>()...);
        } else {
            fn(static_cast<I*>(object), call.Arg<A>()...);
            return S_OK;
        }
    }
};

struct SlotRow {
    int slot;
    const char* method;
    HRESULT (*call)(void* object, int slot, SlotCall& call);
    bool takesOut;
    bool takesBitmap;
    // Without an HRESULT a method can only skip what it cannot write.
    bool answersHResult;
};

template <class M>
SlotRow SlotOf(int slot, const char* method)
{
    return {slot, method, &RawSlot<M>::Call, RawSlot<M>::kTakesOut, RawSlot<M>::kTakesBitmap,
            RawSlot<M>::kAnswersHResult};
}

// An interface's methods after IUnknown's three, at their published slots.
template <class I>
std::vector<SlotRow> SlotTable();

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

#define TVX_SLOT_ROW(n, Result, Method, ...) SlotOf<decltype(&I::Method)>(n, #Method),
#define TVX_SLOT_TABLE(Interface)                          \
    template <>                                            \
    inline std::vector<SlotRow> SlotTable<Interface>()     \
    {                                                      \
        using I [[maybe_unused]] = Interface;              \
        return {TVX_SLOTS_##Interface(TVX_SLOT_ROW)};      \
    }
TVX_BDS_INTEROP_INTERFACES(TVX_SLOT_TABLE)
TVX_WRAPPED_TOOLS_API_INTERFACES(TVX_SLOT_TABLE)
#undef TVX_SLOT_TABLE
#undef TVX_SLOT_ROW

// Every bitmap the call passed was deleted once: the library took it over.
inline void ExpectBitmapsConsumed(const SlotCall& call)
{
    for (HBITMAP bitmap : call.Bitmaps())
        EXPECT_EQ(win32::DeleteCount(bitmap), 1) << "a bitmap handed in is deleted once, whatever the answer";
}

// Calls every method of an ended wrapper: each answers `answer` (or what
// `departures` names), with its out values cleared and its bitmaps consumed.
// Answers the message boxes each method showed, by method.
inline std::map<std::string, std::vector<std::u16string>> ExpectEndedCalls(
    void* object, const std::vector<SlotRow>& slots, const std::map<std::string, HRESULT>& departures = {},
    HRESULT answer = E_UNEXPECTED)
{
    std::map<std::string, std::vector<std::u16string>> shown;
    for (const SlotRow& row : slots) {
        SCOPED_TRACE(row.method);
        SlotCall call(SlotCall::Args::Real);
        auto departure = departures.find(row.method);
        EXPECT_EQ(row.call(object, row.slot, call), departure == departures.end() ? answer : departure->second);
        EXPECT_TRUE(call.OutsCleared()) << "out values of an ended wrapper are cleared";
        ExpectBitmapsConsumed(call);
        if (auto texts = TakeMessageBoxTexts(); !texts.empty())
            shown[row.method] = texts;
    }
    return shown;
}

// What an ended wrapper answers where it departs from E_UNEXPECTED on purpose.
template <class I>
inline const std::map<std::string, HRESULT> kEndedAnswers{};
// Invoking an ended item's action does nothing, and succeeds.
template <>
inline const std::map<std::string, HRESULT> kEndedAnswers<IBdsMenuItem>{{"InvokeAction", S_OK}};
// A closed toolbar still ends controls, and a null one is nothing to end.
template <>
inline const std::map<std::string, HRESULT> kEndedAnswers<IBdsToolBar>{{"RemoveControl", S_OK}};

// Windows whose IDE window is gone answer E_FAIL, as a window the IDE
// closed; a sink and a control (null here) can still be let go of, and
// auto-hiding is not theirs.
template <class I>
inline constexpr HRESULT kEndedAnswer = E_UNEXPECTED;
template <>
inline constexpr HRESULT kEndedAnswer<IBdsDockableWindow> = E_FAIL;
template <>
inline constexpr HRESULT kEndedAnswer<IBdsDocumentWindow> = E_FAIL;
template <>
inline const std::map<std::string, HRESULT> kEndedAnswers<IBdsDockableWindow>{
    {"RegisterEvents", S_OK}, {"Set_AutoHides", S_OK}, {"HostControl", S_OK}};
// The modified mark is the package's own and needs no editor window.
template <>
inline const std::map<std::string, HRESULT> kEndedAnswers<IBdsDocumentWindow>{
    {"RegisterEvents", S_OK}, {"Get_Modified", S_OK}, {"Set_Modified", S_OK}, {"HostControl", S_OK}};

template <class I>
std::map<std::string, std::vector<std::u16string>> ExpectEndedCalls(I* object)
{
    return ExpectEndedCalls(static_cast<void*>(object), SlotTable<I>(), kEndedAnswers<I>, kEndedAnswer<I>);
}

} // namespace tvx::test
// clang-format on
