// Setting up and shutting down a random run, the services steps, the
// package's sinks and handlers, and the dispatch of every step.
#include "tests/randomops/engine/World.h"
#include "windows/BdsWindowsService.h"

#include "host/vcl/ShortCuts.h"
#include "host/win32/GdiEmulation.h"
#include "host/win32/Recorder.h"
#include "host/win32/RegistryEmulation.h"
#include "interop/Bstr.h"
#include "loader/TalvixLoader.h"
#include "menus/BdsMenuItem.h"
#include "services/TalvixBdsServices.h"
#include "sim/Scenario.h"
#include "toolbars/BdsToolBarControls.h"
#include "toolbars/BdsToolBarService.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace tvx::randomops {

std::string Hex(HRESULT hr)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", unsigned(hr));
    return text;
}

// --- Sinks, handlers, the spy ---------------------------------------------

HRESULT HarnessSink::OnClick() { return Event(false); }
HRESULT HarnessSink::OnChange() { return Event(false); }
HRESULT HarnessSink::OnUpdate() { return Event(true); }

HRESULT HarnessSink::Event(bool update)
{
    // Updates come on every idle step: only some sinks act on them.
    if (update && (behaviour_ >> 8) % 4 != 0)
        return S_OK;
    // Whatever goes wrong stays on this side of the interface.
    try {
        world_.SinkEvent(*this, behaviour_);
    } catch (const std::exception& e) {
        if (world_.SinkFailure.empty())
            world_.SinkFailure = e.what();
    }
    return S_OK;
}

HRESULT HarnessHandler::HandleMessage(MSG*, VARIANT_BOOL* CallPrevious, VARIANT_BOOL* Handled)
{
    ++Calls;
    if (Registers())
        world_.RegisterHandlerFromInside();
    if (StopsPrevious())
        *CallPrevious = VARIANT_FALSE;
    if (Handles())
        *Handled = VARIANT_TRUE;
    return S_OK;
}

void FreeSpy::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove)
        world_.NoteFreed(AComponent);
}

// --- Set-up and shutdown ------------------------------------------------------

World::World()
{
    win32::ResetRegistry();
    win32::ResetRecorder();
    bitmapsBeforeIde_ = win32::LiveBitmapCount();
    doubleDeletesAtStart_ = win32::DoubleDeleteCount();
    ide_.emplace();
    auto probe = packages_.Add("RandomPackage", test::TestClsid(1), 1);
    if (!talvix::InitWizard(ide_->ServicesUnknown(), nullptr, &terminate_) || probe->InitializeServices.empty())
        throw CheckFailed("Setup", "the wizard did not hand the package its services");
    root_ = probe->InitializeServices.front();
    root_->OnDotNetServicesInitialized();
    ide_->Toolbars().Load();
    TVX_RANDOMOPS_CHECK(root_->Get_BdsMenuBarService(menus_.put()) == S_OK && menus_, "Setup", "no menu bar service");
    TVX_RANDOMOPS_CHECK(root_->Get_BdsToolBarService(toolBars_.put()) == S_OK && toolBars_, "Setup",
                        "no toolbar service");
    TVX_RANDOMOPS_CHECK(root_->Get_BdsHelpService(help_.put()) == S_OK && help_, "Setup", "no help service");
    TVX_RANDOMOPS_CHECK(root_->Get_BdsWindowsService(windows_.put()) == S_OK && windows_, "Setup",
                        "no windows service");
    windowsService_ = static_cast<talvix::TBdsWindowsService*>(windows_.get());
    {
        IntfPtr<IUnknown> modules;
        root_->GetService(tvx::IidOf<IBDSModuleServices70>, modules.put());
        modules_ = modules.try_as<IBDSModuleServices70>();
        TVX_RANDOMOPS_CHECK(modules_, "Setup", "no module services");
    }

    spy_.emplace(*this);
    for (const auto& [item, path] : MenuPaths()) {
        (void)path;
        if (item->Parent()) {
            ideItems_[item] = item->Parent();
            spy_->Watch(item);
        }
    }
    bitmapsAtStart_ = win32::LiveBitmapCount();
}

World::~World() = default;

void World::Finish()
{
    // A package lets go of everything, the IDE shuts down.
    controlHolds_.clear();
    toolBarHolds_.clear();
    menuHolds_.clear();
    windows_ = nullptr;
    menus_ = nullptr;
    toolBars_ = nullptr;
    help_ = nullptr;
    root_ = nullptr;
    CheckHandles();
    if (terminate_)
        std::exchange(terminate_, nullptr)();
    CheckHandles();
    CheckWindowsAfterTerminate();
    // Held through terminate, as a package's Finalize lets go of them.
    documentHolds_.clear();
    registrations_.clear();
    editorHolds_.clear();
    modules_ = nullptr;
    CheckHandles();
    ide_->Toolbars().ReleaseNotifiers();
    spy_.reset();
    ideItems_.clear();
    ide_.reset();
    CheckNotifiersReleased();
    notifiers_.clear();
    for (HWND window : std::exchange(packageWindows_, {}))
        DestroyWindow(window);
    TVX_RANDOMOPS_CHECK(win32::LiveBitmapCount() == bitmapsBeforeIde_, "BitmapsAfterShutdown",
                        std::to_string(win32::LiveBitmapCount() - bitmapsBeforeIde_) +
                            " bitmap(s) left alive at shutdown");
    TVX_RANDOMOPS_CHECK(win32::DoubleDeleteCount() == doubleDeletesAtStart_, "BitmapDeletedTwice",
                        "a bitmap handle was deleted twice during shutdown");
}

void World::NoteFreed(TComponent* component) { freed_.insert(component); }

void World::SinkEvent(HarnessSink& sink, std::uint32_t behaviour)
{
    // Each behaviour is something a package does from inside its own event.
    const std::uint32_t what = behaviour % 8;
    if (what == 0)
        return;
    if (what == 1) {
        // Lets go of every reference it held on the object that called.
        if (sink.MenuOwner)
            Release(menuHolds_, sink.MenuOwner);
        if (sink.ControlOwner)
            Release(controlHolds_, sink.ControlOwner);
        return;
    }
    if (what == 2) {
        // Unregisters itself.
        if (sink.MenuOwner)
            sink.MenuOwner->RegisterEvents(nullptr);
        if (sink.ControlOwner)
            sink.ControlOwner->RegisterEvents(nullptr);
        return;
    }
    if (sink.MenuOwner) {
        IntfPtr<IBdsMenuItem> self(sink.MenuOwner);
        TMenuItem* item = static_cast<talvix::TBdsMenuItem*>(sink.MenuOwner)->MenuItem();
        if (!item)
            return;
        std::u16string path;
        for (const auto& [candidate, candidatePath] : MenuPaths())
            if (candidate == item)
                path = candidatePath;
        switch (what) {
        case 3:
        case 4:
            menus_->RemoveMenuItem(Bstr(path).get());
            if (what == 4)
                Release(menuHolds_, sink.MenuOwner);
            break;
        case 5: {
            // Toggles the group before itself.
            VARIANT_BOOL group = VARIANT_FALSE;
            self->Get_BeginGroup(&group);
            if (group && item->MenuIndex() > 0)
                mayFree_.insert(item->Parent()->Items(item->MenuIndex() - 1));
            self->Set_BeginGroup(group ? VARIANT_FALSE : VARIANT_TRUE);
            break;
        }
        case 6: {
            // Adds a child under itself and keeps it.
            IntfPtr<IBdsMenuItem> child;
            if (!path.empty() &&
                menus_->AddMenuItem(Bstr(path).get(), 2, Bstr(u"PkgItem3").get(), Bstr(u"Child").get(), nullptr,
                                    child.put()) == S_OK &&
                child)
                menuHolds_.push_back(child);
            break;
        }
        case 7:
            // Removes its parent's wrapper and lets go of its own.
            if (std::size_t slash = path.rfind(u'\\'); slash != std::u16string::npos)
                menus_->RemoveMenuItem(Bstr(path.substr(0, slash)).get());
            Release(menuHolds_, sink.MenuOwner);
            break;
        }
        return;
    }
    if (!sink.ControlOwner)
        return;
    talvix::TBdsToolBarControl* control = talvix::TBdsToolBarControl::FromInterface(sink.ControlOwner);
    talvix::TBdsToolBar* toolBar = control ? control->ToolBar() : nullptr;
    if (!toolBar)
        return;
    IntfPtr<IBdsToolBar> hold(toolBar->Interface());
    switch (what) {
    case 3: hold->RemoveControl(sink.ControlOwner); break;
    case 4: toolBars_->RemoveToolBar(hold.get()); break;
    case 5: hold->Clear(); break;
    case 6: toolBars_->Clear(); break;
    case 7:
        // Lets go of every reference it held on its toolbar and on itself.
        Release(toolBarHolds_, hold.get());
        Release(controlHolds_, sink.ControlOwner);
        break;
    }
}

// --- Dispatch -----------------------------------------------------------------

void World::Apply(const Op& op)
{
    mayFree_.clear();
    freed_.clear();
    try {
        switch (op.Kind) {
        case OpKind::AddMessageHandler: AddMessageHandler(op); break;
        case OpKind::SetHandlerBehaviour:
            if (!handlers_.empty())
                handlers_[op.A % handlers_.size()]->Behaviour = op.B % 8;
            break;
        case OpKind::PostMessage: PostMessage(op); break;
        case OpKind::PressKey: {
            static const char16_t* const keys[] = {u"Ctrl+S", u"F9", u"Alt+G", u"Ctrl+C", u"Shift+Ctrl+F9", u"F1"};
            ide_->MainMenu().Actions().PressKey(TextToShortCut(keys[op.A % std::size(keys)]), nullptr);
            break;
        }
        case OpKind::IsShortcut: {
            static const LONG keys[] = {0x20000 | 'S', 0x78, 0x20000 | 'C', 0x30078, 0x41, 0x7FFFFFFF};
            VARIANT_BOOL answer = 5;
            HRESULT hr = root_->IsShortcut(keys[op.A % std::size(keys)], &answer);
            TVX_RANDOMOPS_CHECK(hr == S_OK && (answer == VARIANT_TRUE || answer == VARIANT_FALSE), "IsShortcut",
                                "IsShortcut answered " + Hex(hr) + " with " + std::to_string(answer));
            break;
        }
        case OpKind::ShowHelp: {
            Bstr text(op.B % 2 ? u"TForm" : u"http://help.example/topic");
            HRESULT hr = op.A % 2 ? help_->ShowHelpByKeyword(text.get()) : help_->ShowHelpByURL(text.get());
            TVX_RANDOMOPS_CHECK(hr == S_OK, "ShowHelp", "help answered " + Hex(hr));
            break;
        }
        case OpKind::GetMenuItem: GetMenuItem(op); break;
        case OpKind::AddMenuItem: AddMenuItem(op, false); break;
        case OpKind::InsertMenuItem: AddMenuItem(op, true); break;
        case OpKind::RemoveMenuItem: RemoveMenuItem(op); break;
        case OpKind::GetFirstMenuItem: {
            IntfPtr<IBdsMenuItem> first;
            HRESULT hr = menus_->GetFirstMenuItem(first.put());
            TMenuItem* menu = ide_->MainMenu().Menu()->Items();
            TMenuItem* expected = menu->Count() > 0 ? menu->Items(0) : nullptr;
            TVX_RANDOMOPS_CHECK(hr == S_OK && (first ? static_cast<talvix::TBdsMenuItem*>(first.get())->MenuItem()
                                                     : nullptr) == expected,
                                "GetFirstMenuItem", "GetFirstMenuItem answered " + Hex(hr) + " without the first menu");
            if (first && op.A % 2)
                menuHolds_.push_back(first);
            break;
        }
        case OpKind::CopyMenuItem:
            if (!menuHolds_.empty())
                menuHolds_.push_back(menuHolds_[op.A % menuHolds_.size()]);
            break;
        case OpKind::ReleaseMenuItem:
            if (!menuHolds_.empty()) {
                IntfPtr<IBdsMenuItem> doomed = std::move(menuHolds_[op.A % menuHolds_.size()]);
                menuHolds_.erase(menuHolds_.begin() + std::ptrdiff_t(op.A % menuHolds_.size()));
            }
            break;
        case OpKind::SetMenuItemProperty: SetMenuItemProperty(op); break;
        case OpKind::NavigateMenuItem: NavigateMenuItem(op); break;
        case OpKind::RegisterMenuEvents:
            if (!menuHolds_.empty()) {
                IntfPtr<IBdsMenuItem> item = menuHolds_[op.A % menuHolds_.size()];
                IntfPtr<HarnessSink> sink;
                if (op.C % 5 != 0) {
                    sink = IntfPtr<HarnessSink>(new HarnessSink(*this, op.B));
                    sink->MenuOwner = item.get();
                }
                HRESULT hr = item->RegisterEvents(sink.get());
                TVX_RANDOMOPS_CHECK(hr == S_OK || hr == E_UNEXPECTED, "RegisterMenuEvents",
                                    "RegisterEvents answered " + Hex(hr));
            }
            break;
        case OpKind::InvokeMenuAction:
            if (!menuHolds_.empty()) {
                IntfPtr<IBdsMenuItem> item = menuHolds_[op.A % menuHolds_.size()];
                HRESULT hr = item->InvokeAction();
                TVX_RANDOMOPS_CHECK(hr == S_OK, "InvokeMenuAction", "InvokeAction answered " + Hex(hr));
            }
            break;
        case OpKind::ChooseMenuItem: {
            std::u16string path = PathChoice(op.A, nullptr);
            if (!path.empty())
                ide_->MainMenu().Choose(path);
            break;
        }
        case OpKind::IdeFreesMenuItem: IdeFreesMenuItem(op); break;
        case OpKind::AddToolBar: AddToolBar(op); break;
        case OpKind::FindToolBar: FindToolBar(op); break;
        case OpKind::RemoveToolBar: RemoveToolBar(op); break;
        case OpKind::ClearToolBarService: {
            HRESULT hr = toolBars_->Clear();
            TVX_RANDOMOPS_CHECK(hr == S_OK, "ClearToolBarService", "Clear answered " + Hex(hr));
            auto* service = talvix::ServicesRoot()->BdsToolBarService();
            for (const auto& held : toolBarHolds_)
                TVX_RANDOMOPS_CHECK(!service->Lists(static_cast<talvix::TBdsToolBar*>(held.get())),
                                    "ClearToolBarService", "a toolbar is still listed after Clear");
            break;
        }
        case OpKind::CopyToolBar:
            if (!toolBarHolds_.empty())
                toolBarHolds_.push_back(toolBarHolds_[op.A % toolBarHolds_.size()]);
            break;
        case OpKind::ReleaseToolBar:
            if (!toolBarHolds_.empty()) {
                IntfPtr<IBdsToolBar> doomed = std::move(toolBarHolds_[op.A % toolBarHolds_.size()]);
                toolBarHolds_.erase(toolBarHolds_.begin() + std::ptrdiff_t(op.A % toolBarHolds_.size()));
            }
            break;
        case OpKind::SetToolBarProperty: SetToolBarProperty(op); break;
        case OpKind::AddSeparator:
            if (!toolBarHolds_.empty()) {
                IntfPtr<IBdsToolBar> toolBar = toolBarHolds_[op.A % toolBarHolds_.size()];
                bool open = static_cast<talvix::TBdsToolBar*>(toolBar.get())->Open();
                HRESULT hr = toolBar->AddSeparator();
                TVX_RANDOMOPS_CHECK(hr == (open ? S_OK : E_UNEXPECTED), "AddSeparator",
                                    "AddSeparator answered " + Hex(hr));
            }
            break;
        case OpKind::AddControl: AddControl(op); break;
        case OpKind::RemoveControl: RemoveControl(op); break;
        case OpKind::ClearToolBar: ClearToolBar(op); break;
        case OpKind::CopyControl:
            if (!controlHolds_.empty())
                controlHolds_.push_back(controlHolds_[op.A % controlHolds_.size()]);
            break;
        case OpKind::ReleaseControl:
            if (!controlHolds_.empty()) {
                IntfPtr<IBdsToolBarControl> doomed = std::move(controlHolds_[op.A % controlHolds_.size()]);
                controlHolds_.erase(controlHolds_.begin() + std::ptrdiff_t(op.A % controlHolds_.size()));
            }
            break;
        case OpKind::SetControlProperty: SetControlProperty(op); break;
        case OpKind::SetButtonImage: SetButtonImage(op); break;
        case OpKind::ComboOperation: ComboOperation(op); break;
        case OpKind::RegisterControlEvents: RegisterControlEvents(op); break;
        case OpKind::ClickButton: ClickButton(op); break;
        case OpKind::TypeInCombo: UseCombo(op, true); break;
        case OpKind::PickInCombo: UseCombo(op, false); break;
        case OpKind::Idle: ide_->Toolbars().Idle(); break;
        case OpKind::ReloadToolBars: ide_->Toolbars().Load(); break;
        case OpKind::IdeFreesToolBar: IdeFreesToolBar(op); break;
        case OpKind::DocumentFrameOnTop: DocumentFrameOnTop(); break;
        case OpKind::DocumentFrameNormal: {
            HRESULT hr = windows_->DocumentFrameNormal(LONG(op.A % 4) - 1);
            TVX_RANDOMOPS_CHECK(hr == S_OK || hr == E_INVALIDARG, "DocumentFrameNormal",
                                "DocumentFrameNormal answered " + Hex(hr));
            break;
        }
        case OpKind::CreateDocumentWindow: CreateDocumentWindow(op); break;
        case OpKind::CallDocumentWindow: CallDocumentWindow(op); break;
        case OpKind::ReleaseDocumentWindow:
            if (!documentHolds_.empty()) {
                IntfPtr<IBdsDocumentWindow> doomed = std::move(documentHolds_[op.A % documentHolds_.size()]);
                documentHolds_.erase(documentHolds_.begin() + std::ptrdiff_t(op.A % documentHolds_.size()));
            }
            break;
        case OpKind::EditorWindowStep: EditorWindowStep(op); break;
        case OpKind::AddModuleNotifier: AddModuleNotifier(op); break;
        case OpKind::RemoveModuleNotifier:
            if (!registrations_.empty()) {
                NotifierRegistration registration = registrations_[op.A % registrations_.size()];
                registrations_.erase(registrations_.begin() + std::ptrdiff_t(op.A % registrations_.size()));
                registration.Module->RemoveNotifier(registration.Index);
            }
            break;
        case OpKind::ModuleStep: ModuleStep(op); break;
        case OpKind::GetModuleEditor: {
            IntfPtr<IBDSModule> module;
            if (modules_->ModuleCount() > 0 &&
                modules_->GetModule(LONG(op.A % std::uint32_t(modules_->ModuleCount())), module.put()) == S_OK &&
                module) {
                IntfPtr<IBDSEditor> editor;
                module->GetModuleFileEditor(LONG(op.B % 2), editor.put());
                if (editor)
                    editorHolds_.push_back(editor);
            }
            break;
        }
        case OpKind::CallModuleEditor: CallModuleEditor(op); break;
        }
    } catch (const sim::ScenarioError&) {
        // The user could not reach the control: nothing happened.
    } catch (const CheckFailed&) {
        throw;
    } catch (const std::exception& e) {
        throw CheckFailed("Raised", std::string("the step raised: ") + e.what());
    }
    if (!SinkFailure.empty())
        throw CheckFailed("Sink", "inside a package's event: " + SinkFailure);
    // The recorder would otherwise grow with every warning over a long run.
    win32::TakeMessageBoxes();
    win32::TakeDebugStrings();
    win32::TakeShellLaunches();
}

void World::Check()
{
    CheckHandles();
    CheckMenus();
    CheckToolBars();
    CheckWindows();
}

void World::CheckHandles()
{
    const std::size_t live = win32::LiveBitmapCount();
    TVX_RANDOMOPS_CHECK(live == bitmapsAtStart_, "Bitmaps",
                        std::to_string(long(live) - long(bitmapsAtStart_)) + " package bitmap(s) more than at start");
    TVX_RANDOMOPS_CHECK(win32::DoubleDeleteCount() == doubleDeletesAtStart_, "BitmapDeletedTwice",
                        "a bitmap handle was deleted twice");
}

// --- Services -------------------------------------------------------------------

void World::AddMessageHandler(const Op& op)
{
    IntfPtr<HarnessHandler> handler(new HarnessHandler(*this));
    handler->Behaviour = op.A % 8;
    HRESULT hr = root_->AddMessageHandler(op.B % 8 == 0 ? nullptr : handler.get());
    TVX_RANDOMOPS_CHECK(hr == S_OK, "AddMessageHandler", "AddMessageHandler answered " + Hex(hr));
    if (op.B % 8 != 0)
        handlers_.push_back(handler);
}

void World::RegisterHandlerFromInside()
{
    // Bounded: a handler that registers on every message would otherwise
    // make the list grow with the run.
    if (handlers_.size() >= 48)
        return;
    IntfPtr<HarnessHandler> handler(new HarnessHandler(*this));
    if (root_->AddMessageHandler(handler.get()) == S_OK)
        handlers_.push_back(handler);
}

void World::PostMessage(const Op& op)
{
    // Every handler in order until one handles it; the IDE's own handler
    // runs unless one of those called asked it not to.
    std::vector<int> before;
    for (const auto& handler : handlers_)
        before.push_back(handler->Calls);
    const std::size_t ideSeen = ide_->IdeHandlerMessageCount();
    static const UINT messages[] = {0x0400, 0x0100, 0x0101, 0x0200, 0x0113};
    ide_->PostMessage(nullptr, messages[op.A % std::size(messages)], op.B % 256, 0);
    bool callPrevious = true;
    bool stopped = false;
    for (std::size_t i = 0; i < handlers_.size(); ++i) {
        // Handlers registered during the message see the next one.
        int expected = i >= before.size() ? 0 : before[i] + (stopped ? 0 : 1);
        TVX_RANDOMOPS_CHECK(handlers_[i]->Calls == expected, "MessageHandlers",
                            "handler " + std::to_string(i) + " was called " +
                                std::to_string(handlers_[i]->Calls - before[i]) + " time(s)");
        if (!stopped && i < before.size()) {
            callPrevious = callPrevious && !handlers_[i]->StopsPrevious();
            stopped = handlers_[i]->Handles();
        }
    }
    TVX_RANDOMOPS_CHECK(ide_->IdeHandlerMessageCount() == ideSeen + (callPrevious ? 1 : 0), "MessageHandlers",
                        callPrevious ? "the IDE's own handler did not see the message"
                                     : "the IDE's own handler saw the message");
}

// --- One run ----------------------------------------------------------------------

RunResult Run(const std::vector<Op>& ops)
{
    RunResult result;
    std::size_t step = 0;
    std::unique_ptr<World> world;
    try {
        world = std::make_unique<World>();
        world->Check();
        for (; step < ops.size(); ++step) {
            world->Apply(ops[step]);
            world->Check();
            result.StepsRun = step + 1;
        }
        world->Finish();
    } catch (const CheckFailed& e) {
        result.Ok = false;
        result.FailedStep = step;
        result.Check = e.Check;
        result.Message = e.what();
        // A world that failed a check may hold dangling state: shutting it
        // down could crash and hide the report, so it is left as it is.
        (void)world.release();
    }
    return result;
}

} // namespace tvx::randomops
