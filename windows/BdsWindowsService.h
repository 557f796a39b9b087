// The windows service: creates packages' dockable windows, hands out the
// Object Inspector as a standard window, and keeps the registries of
// dockable windows, document windows and editor-window records, with a
// hidden parking window for hosted windows between two frame handles.
#pragma once

#include "host/vcl/Lists.h"
#include "interop/InterfacedObject.h"
#include "interop/TalvixBdsInterop.h"

#include <vector>

namespace talvix {

class TBdsCustomDockableWindow;

// What the windows service needs from the services root, which lives in the
// layer above it.
class TWindowsServiceHost {
public:
    // Runs the IDE's main menu item at that path (names joined by '\'),
    // as the user would; nothing when there is none.
    virtual void InvokeIdeMenuItem(const String& Path) = 0;
    virtual void UpdateMessageProcessing() = 0;

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
    TWindowsServiceHost& Host() noexcept { return FHost; }

    // The terminate routine's step, also taken when the library unloads:
    // the IDE frees every package tool window (the package windows in them
    // are taken out first and survive), the parking window goes and its
    // class is unregistered, since its procedure lives in this library.
    // Windows made later fail; existing ones answer as windows whose tool
    // window the IDE freed.
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

    TWindowsServiceHost& FHost;
    TThreadList DocumentWindows;
    TThreadList DockableWindows;
    TThreadList FBdsEditWindows;
    // Tab images that ended document windows no longer use, for reuse.
    std::vector<int> FreeImageIndexes;
    bool FShutDown = false;
};

} // namespace talvix
