// What a random run acts on: the simulated IDE with the wizard loaded and one
// package's view of the services, the references that package holds, and
// the checks that run after every step.
#pragma once

#include "host/vcl/Classes.h"
#include "interop/IntfPtr.h"
#include "interop/TalvixBdsInterop.h"
#include "interop/WrappedToolsAPI.h"
#include "sim/SimulatedIde.h"
#include "tests/randomops/engine/RandomOps.h"
#include "tests/support/TestPackages.h"

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

class TMenuItem;
class TToolBar;

namespace talvix {
class TBdsToolBar;
class TBdsToolBarControl;
class TBdsMenuItem;
} // namespace talvix

namespace tvx::randomops {

// An HRESULT as the checks print it: 0x80004005.
std::string Hex(HRESULT hr);

// A check that did not hold; the run stops at it.
class CheckFailed : public std::runtime_error {
public:
    CheckFailed(std::string check, const std::string& message) : std::runtime_error(message), Check(std::move(check)) {}
    std::string Check;
};

// The message is built only when the check fails: checks run after every step.
#define TVX_RANDOMOPS_CHECK(condition, check, message)                                                                 \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            throw ::tvx::randomops::CheckFailed(check, message);                                                       \
    } while (false)

class World;

// Hears when watched IDE components are freed.
class FreeSpy final : public TComponent {
public:
    explicit FreeSpy(World& world) : TComponent(nullptr), world_(world) {}
    void Watch(TComponent* component) { component->FreeNotification(this); }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    World& world_;
};

// A package's event sink; what it does when an event comes is its
// behaviour, chosen by the step that registered it.
class HarnessSink final : public Implements<HarnessSink, IBdsToolBarControlEvents> {
public:
    HarnessSink(World& world, std::uint32_t behaviour) : world_(world), behaviour_(behaviour) {}
    HRESULT STDMETHODCALLTYPE OnClick() override;
    HRESULT STDMETHODCALLTYPE OnChange() override;
    HRESULT STDMETHODCALLTYPE OnUpdate() override;

    // The object the sink was registered on, without a reference: events
    // come only from that object while it lives.
    IBdsMenuItem* MenuOwner = nullptr;
    IBdsToolBarControl* ControlOwner = nullptr;

private:
    HRESULT Event(bool update);
    World& world_;
    std::uint32_t behaviour_;
};

// A package's message handler: passes, handles, or stops the IDE's own,
// and may register another handler while it handles a message.
class HarnessHandler final : public Implements<HarnessHandler, IMessageHandler> {
public:
    explicit HarnessHandler(World& world) : world_(world) {}
    HRESULT STDMETHODCALLTYPE HandleMessage(MSG* Msg, VARIANT_BOOL* CallPrevious, VARIANT_BOOL* Handled) override;
    bool Handles() const noexcept { return Behaviour & 1; }
    bool StopsPrevious() const noexcept { return Behaviour & 2; }
    bool Registers() const noexcept { return Behaviour & 4; }
    std::uint32_t Behaviour = 0;
    int Calls = 0;

private:
    World& world_;
};

// A package's sink on a document window: answers the tab image as its
// behaviour says, and may let go of the document while it answers.
class HarnessDocumentSink final : public Implements<HarnessDocumentSink, IBdsWindowEvents> {
public:
    HarnessDocumentSink(World& world, std::uint32_t behaviour) : world_(world), behaviour_(behaviour) {}
    HRESULT STDMETHODCALLTYPE OnWindowClose() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnWindowActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnGetIconHandle(LONG* Handle) override;
    // The document the sink was registered on, without a reference.
    IBdsDocumentWindow* Owner = nullptr;

private:
    World& world_;
    std::uint32_t behaviour_;
};

// A package's module notifier: answers every notifier mirror; its
// behaviour decides whether it cancels saves, throws, or takes itself off
// while it is told something.
class HarnessModuleNotifier final : public Implements<HarnessModuleNotifier, IBDSNotifier, IBDSModuleNotifier,
                                                      IBDSModuleNotifier80, IBDSModuleNotifier90, IBDSEditorNotifier> {
public:
    HarnessModuleNotifier(World& world, std::uint32_t behaviour) : world_(world), behaviour_(behaviour) {}
    LongBool STDMETHODCALLTYPE AfterSave() override { return Event(); }
    LongBool STDMETHODCALLTYPE BeforeSave() override { return Event() && behaviour_ % 4 != 1; }
    HRESULT STDMETHODCALLTYPE Destroyed() override { return Event(), S_OK; }
    HRESULT STDMETHODCALLTYPE Modified() override { return Event(), S_OK; }
    LongBool STDMETHODCALLTYPE CheckOverwrite() override { return Event(); }
    HRESULT STDMETHODCALLTYPE ModuleRenamed(BSTR) override { return Event(), S_OK; }
    LongBool STDMETHODCALLTYPE AllowSave() override { return Event() && behaviour_ % 5 != 2; }
    LONG STDMETHODCALLTYPE GetOverwriteFileNameCount() override { return Event() ? LONG(behaviour_ % 3) : 0; }
    PWideChar STDMETHODCALLTYPE GetOverwriteFileName(LONG) override;
    HRESULT STDMETHODCALLTYPE SetSaveFileName(BSTR) override { return Event(), S_OK; }
    HRESULT STDMETHODCALLTYPE BeforeRename(BSTR, BSTR) override { return Event(), S_OK; }
    HRESULT STDMETHODCALLTYPE AfterRename(BSTR, BSTR) override { return Event(), S_OK; }
    HRESULT STDMETHODCALLTYPE ViewNotification(IUnknown*, LONG) override { return Event(), S_OK; }
    HRESULT STDMETHODCALLTYPE ViewActivated(IUnknown*) override { return Event(), S_OK; }

private:
    // Whatever the behaviour does from inside the notification; true to go on.
    LongBool Event();
    World& world_;
    std::uint32_t behaviour_;
};

class World {
public:
    World();
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    void Apply(const Op& op);
    // Every invariant; raises CheckFailed.
    void Check();
    // Lets everything go and shuts the IDE down, then checks the handles.
    void Finish();

    // For sinks and the spy.
    void SinkEvent(HarnessSink& sink, std::uint32_t behaviour);
    void RegisterHandlerFromInside();
    void NoteFreed(TComponent* component);
    void ReleaseDocument(IBdsDocumentWindow* document) { Release(documentHolds_, document); }
    // A notifier takes itself off the module it is registered on.
    void RemoveNotifierFromInside(HarnessModuleNotifier* notifier);
    std::string SinkFailure;

private:
    // Services and messages.
    void AddMessageHandler(const Op& op);
    void PostMessage(const Op& op);
    // Menus.
    void GetMenuItem(const Op& op);
    void AddMenuItem(const Op& op, bool insert);
    void RemoveMenuItem(const Op& op);
    void SetMenuItemProperty(const Op& op);
    void NavigateMenuItem(const Op& op);
    void IdeFreesMenuItem(const Op& op);
    // Toolbars.
    void AddToolBar(const Op& op);
    void FindToolBar(const Op& op);
    void RemoveToolBar(const Op& op);
    void SetToolBarProperty(const Op& op);
    void AddControl(const Op& op);
    void RemoveControl(const Op& op);
    void ClearToolBar(const Op& op);
    void SetControlProperty(const Op& op);
    void SetButtonImage(const Op& op);
    void ComboOperation(const Op& op);
    void RegisterControlEvents(const Op& op);
    void ClickButton(const Op& op);
    void UseCombo(const Op& op, bool type);
    void IdeFreesToolBar(const Op& op);
    // Document windows and the editor windows they sit in.
    void DocumentFrameOnTop();
    void CreateDocumentWindow(const Op& op);
    void CallDocumentWindow(const Op& op);
    void EditorWindowStep(const Op& op);
    void CheckWindows();
    // After terminate: no tab set of the IDE calls into the library.
    void CheckWindowsAfterTerminate();
    // Modules, editors and notifiers through the Tools API mirrors.
    void AddModuleNotifier(const Op& op);
    void ModuleStep(const Op& op);
    void CallModuleEditor(const Op& op);
    // Once the IDE is gone, no notifier is held by anyone but the package.
    void CheckNotifiersReleased();

    // The items the package can name by path (every ancestor named), root first.
    std::vector<std::pair<TMenuItem*, std::u16string>> MenuPaths();
    std::u16string PathChoice(std::uint32_t choice, TMenuItem** item);
    void CheckMenus();
    void CheckToolBars();
    void CheckHandles();

    // Drops every hold of the object; taken out first and let go
    // afterwards, since the release may reach back here.
    template <class I>
    static void Release(std::vector<IntfPtr<I>>& holds, IUnknown* object)
    {
        std::vector<IntfPtr<I>> doomed;
        for (auto it = holds.begin(); it != holds.end();) {
            if (static_cast<IUnknown*>(it->get()) == object) {
                doomed.push_back(std::move(*it));
                it = holds.erase(it);
            } else {
                ++it;
            }
        }
    }
    template <class I>
    static std::size_t Holds(const std::vector<IntfPtr<I>>& holds, const void* object)
    {
        std::size_t count = 0;
        for (const auto& held : holds)
            count += held.get() == object ? 1 : 0;
        return count;
    }

    mutable std::optional<sim::SimulatedIde> ide_;
    test::TestPackageSet packages_;
    TWizardTerminateProc terminate_ = nullptr;
    IntfPtr<IBdsServices> root_;
    IntfPtr<IBdsMenuBarService> menus_;
    IntfPtr<IBdsToolBarService> toolBars_;
    IntfPtr<IBdsHelpService> help_;
    IntfPtr<IBdsWindowsService> windows_;
    IntfPtr<IBDSModuleServices70> modules_;
    // The service object, which outlives the package's reference.
    const void* windowsService_ = nullptr;

    // What the package holds; the same object may be held more than once.
    std::vector<IntfPtr<IBdsMenuItem>> menuHolds_;
    std::vector<IntfPtr<IBdsToolBar>> toolBarHolds_;
    std::vector<IntfPtr<IBdsToolBarControl>> controlHolds_;
    std::vector<IntfPtr<IBdsDocumentWindow>> documentHolds_;
    struct NotifierRegistration {
        IntfPtr<IBDSModule> Module;
        LONG Index;
        HarnessModuleNotifier* Notifier;
    };
    std::vector<NotifierRegistration> registrations_;
    // Every notifier made, held by the package until the end.
    std::vector<IntfPtr<HarnessModuleNotifier>> notifiers_;
    std::vector<IntfPtr<IBDSEditor>> editorHolds_;
    // The package's own windows, which the IDE must never destroy.
    std::vector<HWND> packageWindows_;
    // Registered handlers stay alive: the root keeps them without a reference.
    std::vector<IntfPtr<HarnessHandler>> handlers_;

    // The IDE's own menu items and their parents, as built, while they live.
    std::map<TMenuItem*, TMenuItem*> ideItems_;
    std::set<TComponent*> freed_;
    std::set<TComponent*> mayFree_;
    std::optional<FreeSpy> spy_;
    std::size_t bitmapsBeforeIde_ = 0;
    std::size_t bitmapsAtStart_ = 0;
    std::size_t doubleDeletesAtStart_ = 0;
};

} // namespace tvx::randomops
