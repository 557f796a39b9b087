#include "sim/editors/IdeEditorWindows.h"

#include "host/vcl/Lists.h"
#include "host/vcl/RtlConsts.h"
#include "host/vcl/TypInfo.h"
#include "interop/Utf.h"
#include "sim/Report.h"
#include "sim/SimulatedIde.h"
#include "sim/modules/IdeModules.h"
#include "sim/toolwindows/WindowChanges.h"

#include <algorithm>

namespace tvx::sim {

namespace {

// View > New Edit Window: its menu item and its action.
constexpr const char16_t* kViewNewEditorItem = u"ViewNewEditorItem";
constexpr const char16_t* kViewNewEditorCommand = u"ViewNewEditorCommand";
// The class of the frame an add-in puts over or beside the code editor.
constexpr std::u16string_view kAddInFrameClass = u"TTalvixFrame";

TControl* FindByClassName(TWinControl& root, std::u16string_view className)
{
    for (int i = 0; i < root.ControlCount(); ++i) {
        TControl* control = root.Controls(i);
        if (control->ClassName() == className)
            return control;
        if (auto* windowed = dynamic_cast<TWinControl*>(control))
            if (TControl* found = FindByClassName(*windowed, className))
                return found;
    }
    return nullptr;
}

void DescribeFrame(TEditWindow& window, EditorWindowRecord& record)
{
    using Frame = EditorWindowRecord::Frame;
    TControl* frame = FindByClassName(window, kAddInFrameClass);
    if (!frame)
        return;
    TWinControl* parent = frame->Parent();
    if (parent && parent == window.EditorArea())
        record.AddInFrame = Frame::OnTop;
    else if (parent && parent == window.EditControlPanel())
        record.AddInFrame = Frame::Normal;
    else
        record.AddInFrame = Frame::Elsewhere;
    if (parent)
        record.FrameParent = parent->Name().empty() ? parent->ClassName() : parent->Name();
    if (auto* windowed = dynamic_cast<TWinControl*>(frame); windowed && windowed->HandleAllocated())
        record.FrameWindows = ForeignWindowsUnder(IdeToolWindows::DescribeWindow(windowed->Handle()));
}

EditorWindowRecord Describe(TEditWindow& window)
{
    EditorWindowRecord record;
    record.Name = window.Name();
    record.Caption = window.Caption();
    record.Width = window.Width();
    record.Height = window.Height();
    record.Shows = window.Editor() ? window.Editor()->Caption() : String();
    if (TIDEGradientTabSet* tabs = window.TabSet())
        for (const PaintedTab& tab : tabs->Painted())
            record.Tabs.push_back(EditorTabRecord{tab.Caption, tab.Image, tab.Overlay, tab.Selected});
    DescribeFrame(window, record);
    record.StatusBarPanelVisible = window.StatusBarPanel() && window.StatusBarPanel()->Visible();
    if (TMenuItem* item = window.ViewEditorItem())
        record.ViewEditorItemVisible = item->Visible();
    return record;
}

} // namespace

// The open editor windows in the order they were made and in the order
// they came to the front (the last is in front). A window someone frees
// leaves both at once.
class TEditWindowList final : public TComponent {
    TVX_CLASS(TEditWindowList, TComponent)
    using TComponent::TComponent;

    std::vector<TEditWindow*> Windows;
    std::vector<TEditWindow*> FrontOrder;
    IdeEditorWindows* Part = nullptr;

    void Add(TEditWindow* Window)
    {
        Windows.push_back(Window);
        FrontOrder.push_back(Window);
        Window->FreeNotification(this);
    }
    bool Contains(const TEditWindow* Window) const noexcept
    {
        return std::find(Windows.begin(), Windows.end(), Window) != Windows.end();
    }
    void ToFront(TEditWindow* Window)
    {
        if (!Contains(Window))
            return;
        std::erase(FrontOrder, Window);
        FrontOrder.push_back(Window);
    }
    // The windows' OnActivate: an activated window comes to the front.
    void Activated(TObject* Sender)
    {
        auto* window = dynamic_cast<TEditWindow*>(Sender);
        ToFront(window);
        if (Part && Contains(window))
            Part->WindowActivated(*window);
    }
    // The windows' OnClose: a closed editor window goes, unlike a tool window.
    void FreeOnClose(TObject*, TCloseAction& Action) { Action = caFree; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        if (Operation != opRemove)
            return;
        std::erase(Windows, AComponent);
        std::erase(FrontOrder, AComponent);
    }
};

TVX_DEFINE_CLASS(TEditWindowList)

IdeEditorWindows::~IdeEditorWindows()
{
    servicesNotifiers_.DestroyAll(Journal());
    if (auto* menu = ide_.Find<IdeMainMenu>()) {
        menu->Commands().Set(kViewNewEditorItem, TNotifyEvent());
        menu->Actions().Commands().Set(kViewNewEditorCommand, TNotifyEvent());
    }
    ide_.Services().RemoveService(tvx::IidOf<IOTAEditorServices>);
    ide_.Services().RemoveService(tvx::IidOf<IOTAEditorServices80>);
    if (services_)
        services_->Detach();
    if (auto* modules = ide_.Find<IdeModules>(); modules && modules->Views() == this)
        modules->SetViews(nullptr);
    if (!list_)
        return;
    // Everything in a window goes with it, add-ins' controls included.
    while (!list_->Windows.empty()) {
        TEditWindow* window = list_->Windows.back();
        window->Free();
        std::erase(list_->Windows, window);
    }
    list_->Free();
}

void IdeEditorWindows::Build()
{
    list_ = new TEditWindowList(nullptr);
    list_->Part = this;
    services_ = tvx::IntfPtr<TSimEditorServices>(new TSimEditorServices(*this));
    ide_.Services().AddService<IOTAEditorServices>(services_.get());
    ide_.Services().AddService<IOTAEditorServices80>(services_.get());
    IdeModules& modules = Modules();
    modules.SetViews(this);
    TEditWindow& window = NewWindow();
    for (int i = 0; i < modules.Count(); ++i)
        window.AddTab(modules.Module(i));
    if (window.TabCount() > 0)
        window.TabSet()->SetTabIndex(0);
    const TNotifyEvent view = MakeEvent<&IdeEditorWindows::ViewNewEditor>(this);
    ide_.MainMenu().Commands().Set(kViewNewEditorItem, view);
    ide_.MainMenu().Actions().Commands().Set(kViewNewEditorCommand, view);
}

void IdeEditorWindows::BeforeShutdown() { atShutdown_ = Snapshot(); }

void IdeEditorWindows::AfterWizardTerminate() { servicesNotifiers_.DestroyAll(Journal()); }

NotifierJournal* IdeEditorWindows::Journal() const noexcept
{
    auto* modules = ide_.Find<IdeModules>();
    return modules ? &modules->Journal() : nullptr;
}

void IdeEditorWindows::AddToReport(Report& report) const { report.EditorWindows = atShutdown_; }

IdeModules& IdeEditorWindows::Modules() const { return ide_.Modules(); }

bool IdeEditorWindows::IsOpen(const TEditWindow* Window) const noexcept { return list_->Contains(Window); }

std::vector<TEditWindow*> IdeEditorWindows::Windows() const { return list_->Windows; }

TEditWindow* IdeEditorWindows::Front() const noexcept
{
    return list_->FrontOrder.empty() ? nullptr : list_->FrontOrder.back();
}

void IdeEditorWindows::BringToFront(TEditWindow& Window) { list_->ToFront(&Window); }

TEditWindow& IdeEditorWindows::NewWindow()
{
    String name = u"EditWindow";
    for (int n = 2; ide_.App().FindComponent(name); ++n)
        name = u"EditWindow" + IntToStr(n);
    auto* window = new TEditWindow(&ide_.App());
    window->SetName(name);
    list_->Add(window);
    window->SetOnActivate(MakeEvent<&TEditWindowList::Activated>(list_));
    window->SetOnClose(MakeEvent<&TEditWindowList::FreeOnClose>(list_));
    window->SetOnDestroy(MakeEvent<&IdeEditorWindows::WindowDestroying>(this));
    window->SetOnViewShown(MakeEvent<&IdeEditorWindows::WindowViewShown>(this));
    INTAEditWindow* editWindow = &window->EditWindowInterface();
    servicesNotifiers_.Each<INTAEditServicesNotifier>(Journal(), "WindowNotification",
                                                      [editWindow, &name](INTAEditServicesNotifier* n) {
                                                          n->WindowNotification(editWindow, opInsert);
                                                          return Utf16ToUtf8(name) + " opInsert";
                                                      });
    // Showing a form activates it, as on Windows.
    window->SetVisible(true);
    servicesNotifiers_.Each<INTAEditServicesNotifier>(Journal(), "WindowShow",
                                                      [editWindow, &name](INTAEditServicesNotifier* n) {
                                                          n->WindowShow(editWindow, true, false);
                                                          return Utf16ToUtf8(name) + " shown";
                                                      });
    return *window;
}

tvx::IntfPtr<IOTAEditView> IdeEditorWindows::TopView() const
{
    TEditWindow* front = Front();
    TEditorTab* tab = front ? front->CurrentTab() : nullptr;
    return tab ? &tab->View() : nullptr;
}

std::vector<TEditWindow*> IdeEditorWindows::WindowsShowing(const TSimModule& Module) const
{
    std::vector<TEditWindow*> showing;
    for (TEditWindow* window : list_->Windows)
        if (window->IndexOf(Module) >= 0)
            showing.push_back(window);
    return showing;
}

void IdeEditorWindows::ShowIn(TEditWindow& Window, TSimModule& Module)
{
    if (!Module.IsOpen())
        return;
    const int index = Window.AddTab(Module);
    if (index >= 0 && Window.TabSet())
        Window.TabSet()->SetTabIndex(index);
}

int IdeEditorWindows::ViewCount(const TSimModule& Module) { return int(WindowsShowing(Module).size()); }

tvx::IntfPtr<IOTAEditView> IdeEditorWindows::View(const TSimModule& Module, int Index)
{
    const std::vector<TEditWindow*> showing = WindowsShowing(Module);
    if (Index < 0 || Index >= int(showing.size()))
        throw EListError(Format(SListIndexError, Index));
    TEditWindow* window = showing[std::size_t(Index)];
    return &window->Tab(window->IndexOf(Module))->View();
}

void IdeEditorWindows::Show(TSimModule& Module)
{
    if (!Module.IsOpen())
        return;
    TEditWindow* window = Front();
    if (!window || window->IndexOf(Module) < 0) {
        const std::vector<TEditWindow*> showing = WindowsShowing(Module);
        if (!showing.empty())
            window = showing.front();
    }
    if (!window)
        window = &NewWindow();
    BringToFront(*window);
    ShowIn(*window, Module);
}

void IdeEditorWindows::Modified(TSimModule& Module)
{
    // Painting reaches add-ins, which may free windows.
    for (TEditWindow* window : WindowsShowing(Module))
        if (IsOpen(window) && window->TabSet())
            window->TabSet()->Repaint();
    for (TEditWindow* window : WindowsShowing(Module)) {
        if (!IsOpen(window) || window->IndexOf(Module) < 0)
            continue;
        tvx::IntfPtr<INTAEditWindow> editWindow(&window->EditWindowInterface());
        tvx::IntfPtr<IOTAEditView> view(&window->Tab(window->IndexOf(Module))->View());
        const std::string name = Utf16ToUtf8(window->Name());
        servicesNotifiers_.Each<INTAEditServicesNotifier>(Journal(), "EditorViewModified",
                                                          [&](INTAEditServicesNotifier* n) {
                                                              n->EditorViewModified(editWindow.get(), view.get());
                                                              return name;
                                                          });
    }
}

void IdeEditorWindows::Renamed(TSimModule& Module)
{
    const String caption = IdeModules::ShortName(Module.FileName());
    for (TEditWindow* window : WindowsShowing(Module)) {
        if (window->TabSet())
            window->TabSet()->Items()->SetStrings(window->IndexOf(Module), caption);
        if (TEditorTab* tab = window->CurrentTab(); tab && &tab->Module() == &Module) {
            window->SetCaption(Module.FileName());
            if (window->Editor())
                window->Editor()->SetCaption(Module.FileName());
        }
    }
}

void IdeEditorWindows::WindowDestroying(TObject* Sender)
{
    auto* window = dynamic_cast<TEditWindow*>(Sender);
    if (!window)
        return;
    tvx::IntfPtr<INTAEditWindow> editWindow(&window->EditWindowInterface());
    const std::string name = Utf16ToUtf8(window->Name());
    servicesNotifiers_.Each<INTAEditServicesNotifier>(Journal(), "WindowShow", [&](INTAEditServicesNotifier* n) {
        n->WindowShow(editWindow.get(), false, false);
        return name + " hidden";
    });
    servicesNotifiers_.Each<INTAEditServicesNotifier>(Journal(), "WindowNotification",
                                                      [&](INTAEditServicesNotifier* n) {
                                                          n->WindowNotification(editWindow.get(), opRemove);
                                                          return name + " opRemove";
                                                      });
}

void IdeEditorWindows::WindowViewShown(TObject* Sender)
{
    auto* window = dynamic_cast<TEditWindow*>(Sender);
    TEditorTab* tab = window ? window->CurrentTab() : nullptr;
    if (!tab)
        return;
    tvx::IntfPtr<INTAEditWindow> editWindow(&window->EditWindowInterface());
    tvx::IntfPtr<IOTAEditView> view(&tab->View());
    const std::string what = Utf16ToUtf8(window->Name()) + " " + Utf16ToUtf8(tab->Module().FileName());
    tvx::IntfPtr<TSimModule> module(&tab->Module());
    // The view is the unit's source: its editor's notifiers hear of it.
    if (module->IsOpen())
        module->Files().front()->Notifiers().Each<IOTAEditorNotifier>(Journal(), "ViewActivated",
                                                                      [&](IOTAEditorNotifier* n) {
                                                                          n->ViewActivated(view.get());
                                                                          return what;
                                                                      });
    servicesNotifiers_.Each<INTAEditServicesNotifier>(Journal(), "EditorViewActivated",
                                                      [&](INTAEditServicesNotifier* n) {
                                                          n->EditorViewActivated(editWindow.get(), view.get());
                                                          return what;
                                                      });
}

void IdeEditorWindows::WindowActivated(TEditWindow& Window)
{
    tvx::IntfPtr<INTAEditWindow> editWindow(&Window.EditWindowInterface());
    const std::string name = Utf16ToUtf8(Window.Name());
    servicesNotifiers_.Each<INTAEditServicesNotifier>(Journal(), "WindowActivated", [&](INTAEditServicesNotifier* n) {
        n->WindowActivated(editWindow.get());
        return name;
    });
}

bool IdeEditorWindows::WindowCommand(TEditWindow& Window, int Command, int Param)
{
    tvx::IntfPtr<INTAEditWindow> editWindow(&Window.EditWindowInterface());
    const std::string what = Utf16ToUtf8(Window.Name()) + " " + std::to_string(Command) + " " + std::to_string(Param);
    bool handled = false;
    servicesNotifiers_.Each<INTAEditServicesNotifier>(Journal(), "WindowCommand", [&](INTAEditServicesNotifier* n) {
        n->WindowCommand(editWindow.get(), Command, Param, handled);
        return what + ", Handled " + Answer(handled);
    });
    return !handled;
}

void IdeEditorWindows::Closing(TSimModule& Module)
{
    for (TEditWindow* window : WindowsShowing(Module))
        if (IsOpen(window))
            window->RemoveTab(Module);
}

TSimModule* IdeEditorWindows::Current()
{
    TEditWindow* front = Front();
    TEditorTab* tab = front ? front->CurrentTab() : nullptr;
    return tab ? &tab->Module() : nullptr;
}

void IdeEditorWindows::ViewNewEditor(TObject*)
{
    tvx::IntfPtr<TSimModule> current(Current());
    TEditWindow& window = NewWindow();
    TComponentAlive alive(&window);
    if (current)
        ShowIn(window, *current);
    if (alive)
        window.Show();
}

EditorWindowsRecord IdeEditorWindows::Snapshot() const
{
    EditorWindowsRecord record;
    record.Taken = true;
    for (TEditWindow* window : Windows()) {
        if (IsOpen(window) && window->TabSet())
            window->TabSet()->Paint();
        if (IsOpen(window))
            record.Windows.push_back(Describe(*window));
    }
    if (TCustomAction* action = ide_.MainMenu().Actions().Find(kViewNewEditorCommand))
        record.NewEditWindowVisible = action->Visible();
    const IdeModules& modules = Modules();
    for (int i = 0; i < modules.Count(); ++i) {
        const TSimModule& module = modules.Module(i);
        ModuleRecord m{module.FileName(), module.FormName(), module.Modified(), {}};
        for (TEditWindow* window : WindowsShowing(module))
            m.Windows.push_back(window->Name());
        record.Modules.push_back(std::move(m));
    }
    return record;
}

} // namespace tvx::sim
