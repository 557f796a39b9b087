#include "windows/BdsWindowsService.h"

#include "core/StillListed.h"
#include "core/WrapperCall.h"
#include "host/vcl/ComCtrls.h"
#include "host/vcl/Menus.h"
#include "host/win32/Win32.h"
#include "interop/Guard.h"
#include "windows/BdsDockableWindow.h"
#include "windows/BdsDocumentWindow.h"
#include "windows/BdsEditWindow.h"
#include "windows/BdsIdeUtils.h"
#include "windows/TalvixFrame.h"

#include <memory>

namespace talvix {

namespace {

LRESULT CALLBACK ShadowWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HINSTANCE LibraryInstance() noexcept
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ShadowWndProc), &module);
    return module;
}

LPCWSTR ShadowClassName() noexcept { return tvx::AsOleChar(ShadowWindowClass.data()); }

} // namespace

TBdsWindowsService* TBdsWindowsService::Create(TWindowsServiceHost& Host)
{
    return tvx::LifetimeRegistry::Create<TBdsWindowsService>(Host);
}

TBdsWindowsService::TBdsWindowsService(TWindowsServiceHost& Host) : FHost(Host) { CreateShadowWindow(); }

// Never runs while the process lives: the service holds itself.
TBdsWindowsService::~TBdsWindowsService() { ShutDown(); }

void TBdsWindowsService::CreateShadowWindow()
{
    if (hShadowWindow)
        return;
    HINSTANCE instance = LibraryInstance();
    WNDCLASSW windowClass{};
    if (!GetClassInfoW(instance, ShadowClassName(), &windowClass)) {
        windowClass = WNDCLASSW{};
        windowClass.lpfnWndProc = &ShadowWndProc;
        windowClass.hInstance = instance;
        windowClass.lpszMenuName = tvx::AsOleChar(u"");
        windowClass.lpszClassName = ShadowClassName();
        RegisterClassW(&windowClass);
    }
    hShadowWindow = CreateWindowExW(WS_EX_TOOLWINDOW, ShadowClassName(), tvx::AsOleChar(u""), WS_POPUP, 0, 0, 0, 0,
                                    nullptr, nullptr, instance, nullptr);
}

void TBdsWindowsService::DestroyShadowWindow() noexcept
{
    if (hShadowWindow)
        DestroyWindow(std::exchange(hShadowWindow, nullptr));
    WNDCLASSW windowClass{};
    // Only our own class: another library may have registered the name.
    if (GetClassInfoW(LibraryInstance(), ShadowClassName(), &windowClass) && windowClass.lpfnWndProc == &ShadowWndProc)
        UnregisterClassW(ShadowClassName(), LibraryInstance());
}

void TBdsWindowsService::ShutDown()
{
    if (std::exchange(FShutDown, true))
        return;
    bool framesShown = false;
    while (TBdsEditWindow* record = BdsEditWindowCount() > 0 ? BdsEditWindows(0) : nullptr) {
        framesShown = true;
        try {
            if (TStatusBar* statusBar = record->StatusBar.get(); statusBar && statusBar->Parent())
                statusBar->Parent()->SetVisible(true);
        } catch (...) {
        }
        EndEditWindow(record, true);
        FreeFrame(record->Frame);
        delete record;
    }
    // The documents of editor windows the IDE closed earlier are parked.
    ForEachStillListed<TBdsCustomDocumentWindow>(
        AttachedDocuments, [](TBdsCustomDocumentWindow* window) { window->DetachEditWindow(true); });
    if (framesShown) {
        // The IDE's editor commands come back with the frames gone.
        try {
            SetNewEditorCommandVisible(true);
            SetViewEditorMenuItemVisible(true);
        } catch (...) {
        }
    }
    ForEachStillListed<TBdsCustomDockableWindow>(DockableWindows,
                                                 [](TBdsCustomDockableWindow* window) { window->ShutDown(); });
    DestroyShadowWindow();
}

void TBdsWindowsService::RegisterDockableWindow(TBdsCustomDockableWindow* Window) { DockableWindows.Add(Window); }

void TBdsWindowsService::UnregisterDockableWindow(TBdsCustomDockableWindow* Window) { DockableWindows.Remove(Window); }

HRESULT TBdsWindowsService::CreateDockableWindow(BSTR windowName, IBdsDockableWindow** pRetVal)
{
    return tvx::Guarded([&]() -> HRESULT {
        tvx::ThrowIfFailed(tvx::ClearOut(pRetVal));
        if (FShutDown)
            return E_UNEXPECTED;
        auto* window = new TBdsDockableWindow(FromBstr(windowName), this);
        tvx::IntfPtr<IBdsDockableWindow>(window->Interface()).copy_to(pRetVal);
        return S_OK;
    });
}

HRESULT TBdsWindowsService::GetStandardWindow(BSTR windowType, IBdsDockableWindow** pRetVal)
{
    return tvx::Guarded([&]() -> HRESULT {
        tvx::ThrowIfFailed(tvx::ClearOut(pRetVal));
        if (FShutDown || FromBstr(windowType) != u"ObjectInspector")
            return S_OK;
        auto* window = new TBdsObjectInspectorWindow(this);
        tvx::IntfPtr<IBdsDockableWindow>(window->Interface()).copy_to(pRetVal);
        return S_OK;
    });
}

void TBdsWindowsService::RegisterDocumentWindow(TBdsCustomDocumentWindow* Window) { DocumentWindows.Add(Window); }

void TBdsWindowsService::UnregisterDocumentWindow(TBdsCustomDocumentWindow* Window)
{
    TBdsEditWindow* record = Window->BdsEditWindow();
    if (Window->DocImageIndex() >= 0 && record && IsListed(record) && record->ImageList.get())
        record->FreeImageIndexes.push_back(Window->DocImageIndex());
    DocumentWindows.Remove(Window);
}

void TBdsWindowsService::AttachDocumentWindow(TBdsCustomDocumentWindow* Window, TBdsEditWindow* EditWindow)
{
    Window->SetBdsEditWindow(EditWindow);
    AttachedDocuments.Add(Window);
}

void TBdsWindowsService::DetachDocumentWindow(TBdsCustomDocumentWindow* Window) { AttachedDocuments.Remove(Window); }

void TBdsWindowsService::RegisterBdsEditWindow(TBdsEditWindow* Window) { FBdsEditWindows.Add(Window); }

void TBdsWindowsService::UnregisterBdsEditWindow(TBdsEditWindow* Window) { FBdsEditWindows.Remove(Window); }

TBdsEditWindow* TBdsWindowsService::BdsEditWindows(int Index)
{
    TThreadList::Locked list(FBdsEditWindows);
    return static_cast<TBdsEditWindow*>(list->Items(Index));
}

bool TBdsWindowsService::IsListed(const TBdsEditWindow* Window)
{
    TThreadList::Locked list(FBdsEditWindows);
    return list->IndexOf(const_cast<TBdsEditWindow*>(Window)) >= 0;
}

template <class Call>
void TBdsWindowsService::ForEachDocumentOf(const TBdsEditWindow* Window, Call&& call)
{
    ForEachStillListed<TBdsCustomDocumentWindow>(AttachedDocuments, [&](TBdsCustomDocumentWindow* document) {
        if (Window && document->BdsEditWindow() == Window)
            call(*document);
    });
}

// --- Document frames -------------------------------------------------------

TBdsEditWindow* TBdsWindowsService::FindEditWindow(TCustomForm* EditWindow)
{
    TBdsEditWindow* found = nullptr;
    TThreadList::Locked list(FBdsEditWindows);
    for (int i = 0; i < list->Count(); ++i)
        if (auto* record = static_cast<TBdsEditWindow*>(list->Items(i));
            EditWindow && record->EditWindow.get() == EditWindow)
            found = record;
    return found;
}

void TBdsWindowsService::FreeFrame(TTalvixFrame* Frame) noexcept
{
    if (!Frame)
        return;
    Frame->SetOnResize(nullptr);
    Frame->SetOnDestroyWindowHandle(nullptr);
    Frame->SetOnDestroy(nullptr);
    Frame->Free();
}

TBdsEditWindow* TBdsWindowsService::NewEditWindow(TWinControl* EditControlParent, TCustomForm* EditWindow)
{
    auto record = std::make_unique<TBdsEditWindow>();
    record->EditWindow.reset(EditWindow);
    record->Frame = new TTalvixFrame(nullptr);
    try {
        record->Frame->SetAlign(alClient);
        record->Frame->SetParent(EditControlParent);
        record->Frame->UpdateHandleControl();
        record->Frame->SetOnResize(MakeEvent<&TBdsWindowsService::FrameResize>(this));
        record->Frame->SetOnDestroyWindowHandle(MakeEvent<&TBdsWindowsService::FrameDestroyWindowHandle>(this));
        record->Frame->SetOnDestroy(MakeEvent<&TBdsWindowsService::FrameDestroy>(this));
        record->Frame->SetPopupMenu(new TPopupMenu(record->Frame));
        SubstituteTabSet(*record);
        record->StatusBar.reset(GetEditWindowStatusBar());
    } catch (...) {
        RestoreTabSet(*record);
        FreeFrame(record->Frame);
        throw;
    }
    RegisterBdsEditWindow(record.get());
    return record.release();
}

HRESULT TBdsWindowsService::DocumentFrameOnTop(LONG* pRetVal)
{
    if (!pRetVal)
        return E_POINTER;
    *pRetVal = -1;
    if (FShutDown)
        return S_OK;
    tvx::IntfPtr<IBdsWindowsService> self(this);
    try {
        TWinControl* editControlParent = GetEditControlParent();
        if (!editControlParent)
            throw Exception(u"BDS Talvix: nil EditControl");
        // The editor window owns the edit control; its form identifies the
        // record wherever the frame sits now.
        TCustomForm* editWindow = nullptr;
        for (TWinControl* c = editControlParent; c && !editWindow; c = c->Parent())
            editWindow = dynamic_cast<TCustomForm*>(c);
        TBdsEditWindow* record = FindEditWindow(editWindow);
        if (record) {
            ForEachDocumentOf(record, [](TBdsCustomDocumentWindow& document) { document.Set_Visible(VARIANT_FALSE); });
            if (!IsListed(record))
                return S_OK;
        } else {
            record = NewEditWindow(editControlParent, editWindow);
        }
        // On top: in the parent of the edit control's parent, covering it
        // and its siblings.
        record->Frame->SetParent(editControlParent->Parent());
        if (!IsListed(record))
            return S_OK;
        {
            TThreadList::Locked list(FBdsEditWindows);
            *pRetVal = list->IndexOf(record);
        }
        ShowFrame(record);
    } catch (...) {
        *pRetVal = -1;
    }
    return S_OK;
}

HRESULT TBdsWindowsService::DocumentFrameNormal(LONG editorIndex)
{
    return tvx::Guarded([&]() -> HRESULT {
        if (FShutDown)
            return E_UNEXPECTED;
        if (editorIndex < 0 || editorIndex >= BdsEditWindowCount())
            return E_INVALIDARG;
        TBdsEditWindow* record = BdsEditWindows(editorIndex);
        // Back into the edit control's parent of the record's own editor
        // window, which need not be the one on top.
        TCustomForm* form = record->EditWindow.get();
        TWinControl* editControlParent = form ? EditControlParentOf(*form) : nullptr;
        if (editControlParent)
            record->Frame->SetParent(editControlParent);
        return S_OK;
    });
}

void TBdsWindowsService::ShowFrame(TBdsEditWindow* Window)
{
    if (!Window)
        return;
    SetNewEditorCommandVisible(false);
    SetViewEditorMenuItemVisible(false);
    if (TStatusBar* statusBar = Window->StatusBar.get(); statusBar && statusBar->Parent())
        statusBar->Parent()->SetVisible(false);
    if (!IsListed(Window))
        return;
    TTalvixFrame* frame = Window->Frame;
    if (!IsWindowEnabled(frame->Handle()))
        EnableWindow(frame->Handle(), TRUE);
    FHost.UpdateMessageProcessing();
    frame->Show();
    if (!IsListed(Window))
        return;
    frame->BringToFront();
    ::SetFocus(frame->Handle());
}

HRESULT TBdsWindowsService::CreateDocumentWindow(BSTR moduleID, LONG moduleIndex, LONG editorIndex,
                                                 IBdsDocumentWindow** pRetVal)
{
    if (tvx::ClearOut(pRetVal) != S_OK)
        return E_POINTER;
    tvx::IntfPtr<IBdsWindowsService> self(this);
    tvx::IntfPtr<IBdsDocumentWindow> result;
    TBdsDocumentWindow* window = nullptr;
    TBdsEditWindow* record = nullptr;
    const String id = FromBstr(moduleID);
    HRESULT hr = tvx::Guarded([&]() -> HRESULT {
        if (FShutDown || editorIndex < 0 || editorIndex >= BdsEditWindowCount())
            return E_UNEXPECTED;
        record = BdsEditWindows(editorIndex);
        tvx::IntfPtr<IOTAModule> module = FindDocumentModule(id, moduleIndex);
        if (!IsListed(record))
            return E_UNEXPECTED;
        window = new TBdsDocumentWindow(this, module.get());
        result = window->Interface();
        AttachDocumentWindow(window, record);
        window->SetDocImageIndex(-1);
        return S_OK;
    });
    if (FAILED(hr))
        return E_UNEXPECTED;
    // A failure here leaves the document without a tab of its own; the
    // package still gets its window.
    try {
        if (TStrings* items = TabItems(*record))
            window->SetIdentifiedObject(FindModuleTab(*items, id));
    } catch (...) {
    }
    result.copy_to(pRetVal);
    return S_OK;
}

// --- Frame handlers ----------------------------------------------------------

void TBdsWindowsService::FrameResize(TObject* Sender)
{
    auto* frame = static_cast<TTalvixFrame*>(Sender);
    const bool changed = frame->IsHandleChanged();
    frame->UpdateHandleControl();
    ForEachDocumentOf(RecordOfFrame(frame), [&](TBdsCustomDocumentWindow& document) { document.OnResize(changed); });
}

void TBdsWindowsService::FrameDestroyWindowHandle(TObject* Sender)
{
    ForEachDocumentOf(RecordOfFrame(static_cast<TTalvixFrame*>(Sender)),
                      [](TBdsCustomDocumentWindow& document) { document.OnFrameHandleDestroy(); });
}

void TBdsWindowsService::FrameDestroy(TObject* Sender)
{
    TBdsEditWindow* record = RecordOfFrame(static_cast<TTalvixFrame*>(Sender));
    if (!record)
        return;
    const bool shown = record->Frame->Visible();
    EndEditWindow(record, false);
    delete record;
    // The frame had hidden the IDE's New Edit Window command, which is the
    // whole IDE's: it comes back unless another frame still shows.
    if (shown && !AnyFrameShown()) {
        try {
            SetNewEditorCommandVisible(true);
        } catch (...) {
        }
    }
}

bool TBdsWindowsService::AnyFrameShown()
{
    TThreadList::Locked list(FBdsEditWindows);
    for (void* item : *list)
        if (static_cast<TBdsEditWindow*>(item)->Frame->Visible())
            return true;
    return false;
}

void TBdsWindowsService::EndEditWindow(TBdsEditWindow* Window, bool TakeOut) noexcept
{
    UnregisterBdsEditWindow(Window);
    try {
        ForEachStillListed<TBdsCustomDocumentWindow>(AttachedDocuments, [&](TBdsCustomDocumentWindow* document) {
            if (document->BdsEditWindow() == Window)
                document->DetachEditWindow(TakeOut);
        });
    } catch (...) {
    }
    RestoreTabSet(*Window);
}

} // namespace talvix
