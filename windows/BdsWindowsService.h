// The windows service: creates packages' dockable windows, hands out the
// Object Inspector as a standard window, and keeps the registries of
// dockable windows, document windows and editor-window records, with a
// hidden parking window for hosted windows between two frame handles.
#pragma once

#include "host/vcl/Forms.h"
#include "host/vcl/Lists.h"
#include "host/vcl/StringList.h"
#include "interop/InterfacedObject.h"
#include "interop/TalvixBdsInterop.h"

class TTalvixFrame;

namespace talvix {

class TBdsCustomDockableWindow;
class TBdsCustomDocumentWindow;
class TBdsDocumentWindow;
struct TBdsEditWindow;

// What the windows service needs from the services root, which lives in the
// layer above it.
class TWindowsServiceHost {
public:
    // Runs the IDE's main menu item at that path (names joined by '\'),
    // as the user would; nothing when there is none.
    virtual void InvokeIdeMenuItem(const String& Path) = 0;
    virtual void UpdateMessageProcessing() = 0;
    // The user selected a source tab: the loader's tab listener hears of it.
    virtual void EditorTabSelected() = 0;

protected:
    ~TWindowsServiceHost() = default;
};

// The class of the parking window.
inline constexpr std::u16string_view ShadowWindowClass = u"TalvixWnd";

class TBdsWindowsService final : public tvx::Implements<TBdsWindowsService, IBdsWindowsService> {
public:
    // The one instance; it holds a reference on itself and is never destroyed.
    static TBdsWindowsService* Create(TWindowsServiceHost& Host);

    IBdsWindowsService* Interface() noexcept { return this; }

    HRESULT STDMETHODCALLTYPE CreateDockableWindow(BSTR windowName, IBdsDockableWindow** pRetVal) override;
    HRESULT STDMETHODCALLTYPE CreateDocumentWindow(BSTR moduleID, LONG moduleIndex, LONG editorIndex,
                                                   IBdsDocumentWindow** pRetVal) override;
    HRESULT STDMETHODCALLTYPE GetStandardWindow(BSTR windowType, IBdsDockableWindow** pRetVal) override;
    HRESULT STDMETHODCALLTYPE DocumentFrameOnTop(LONG* pRetVal) override;
    HRESULT STDMETHODCALLTYPE DocumentFrameNormal(LONG editorIndex) override;

    void RegisterDockableWindow(TBdsCustomDockableWindow* Window);
    void UnregisterDockableWindow(TBdsCustomDockableWindow* Window);
    int DockableWindowCount() { return DockableWindows.Count(); }
    void RegisterDocumentWindow(TBdsCustomDocumentWindow* Window);
    // Returns the window's tab image to its record's pool first.
    void UnregisterDocumentWindow(TBdsCustomDocumentWindow* Window);
    int DocumentWindowCount() { return DocumentWindows.Count(); }
    // Every document window with an editor window, registered or not: the
    // frame's handlers and the record's end reach them all, so that none
    // keeps a freed record or loses its package window with a frame handle.
    void AttachDocumentWindow(TBdsCustomDocumentWindow* Window, TBdsEditWindow* EditWindow);
    void DetachDocumentWindow(TBdsCustomDocumentWindow* Window);
    void RegisterBdsEditWindow(TBdsEditWindow* Window);
    void UnregisterBdsEditWindow(TBdsEditWindow* Window);
    // The records; an editor index is a position here.
    int BdsEditWindowCount() { return FBdsEditWindows.Count(); }
    TBdsEditWindow* BdsEditWindows(int Index);
    bool IsListed(const TBdsEditWindow* Window);
    // The "Items" of the record's tab set, or null without one.
    static TStrings* TabItems(const TBdsEditWindow& Window);
    // The object of the lowest tab whose caption is the module's whole file
    // name (after the last path separator), or null.
    static TObject* FindModuleTab(TStrings& Items, const String& ModuleID);
    TWindowsServiceHost& Host() noexcept { return FHost; }

    // Shows the record's frame over its editor and hides the IDE's
    // editor-only commands and the status bar panel.
    void ShowFrame(TBdsEditWindow* Window);

    // The editor tab set's takeover. Substitute saves the four handlers
    // and installs the service's, all or none; Restore puts back each event
    // that still holds the service's handler.
    void SubstituteTabSet(TBdsEditWindow& Window);
    void RestoreTabSet(TBdsEditWindow& Window) noexcept;
    // Repaints the tab set.
    void UpdateTabSet(TComponent* TabSet);
    void NewTabSetOnChange(TObject* Sender);
    void NewTabSetOnGetImageIndex(TObject* Sender, int TabIndex, int& ImageIndex);
    void NewTabSetOnGetOverlayImageIndex(TObject* Sender, int TabIndex, int& ImageIndex);
    void NewTabSetOnMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

    // The terminate routine's step, also taken when the library unloads:
    // every taken-over tab set gets its handlers back, the package windows
    // come out of the frames and the parking window, the frames and every
    // package tool window are freed, the parking window goes and its class
    // is unregistered, since its procedure lives in this library. Windows
    // made later fail; existing ones answer as windows whose tool window or
    // editor window the IDE freed.
    void ShutDown();
    bool IsShutDown() const noexcept { return FShutDown; }

    // The hidden parking window, or null after shutdown.
    HWND hShadowWindow = nullptr;

private:
    friend class tvx::LifetimeRegistry;
    explicit TBdsWindowsService(TWindowsServiceHost& Host);
    ~TBdsWindowsService() override;
    void CreateShadowWindow();
    void DestroyShadowWindow() noexcept;

    // The record of the top editor window, or a new one with its frame in
    // EditControlParent.
    TBdsEditWindow* FindEditWindow(TCustomForm* EditWindow);
    TBdsEditWindow* NewEditWindow(TWinControl* EditControlParent, TCustomForm* EditWindow);
    // Unhooks and frees the frame of a record that never made it to the list.
    static void FreeFrame(TTalvixFrame* Frame) noexcept;
    // The record goes: its documents are detached (package windows parked,
    // or taken out at shutdown) and the tab set gets its handlers back.
    void EndEditWindow(TBdsEditWindow* Window, bool TakeOut) noexcept;
    void FrameResize(TObject* Sender);
    void FrameDestroyWindowHandle(TObject* Sender);
    void FrameDestroy(TObject* Sender);
    bool AnyFrameShown();
    // Each document window of the frame's record, held for its call.
    template <class Call>
    void ForEachDocumentOf(const TBdsEditWindow* Window, Call&& call);

    TBdsEditWindow* RecordOfFrame(const TTalvixFrame* Frame);
    // The first (or last) record of that tab set.
    TBdsEditWindow* RecordOfTabSet(const TObject* TabSet, bool Last);
    // The document window whose tab holds TabObject, or null.
    TBdsDocumentWindow* DocumentOfTab(const TObject* TabObject);
    // The object of the tab at TabIndex of the record's tab set, or null.
    static TObject* TabObjectAt(const TBdsEditWindow& Window, int TabIndex);
    // Asks the package for the document's tab image and puts it into the
    // tab set's image list; nothing on any failure, so it is asked again.
    // The caller holds the document.
    void AssignDocImage(TBdsEditWindow& Window, TComponent& TabSet, TBdsDocumentWindow& Document) noexcept;

    TWindowsServiceHost& FHost;
    TThreadList DocumentWindows;
    TThreadList AttachedDocuments;
    TThreadList DockableWindows;
    TThreadList FBdsEditWindows;
    bool FShutDown = false;
};

} // namespace talvix
