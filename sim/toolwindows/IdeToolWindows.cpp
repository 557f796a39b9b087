#include "sim/toolwindows/IdeToolWindows.h"

#include "host/ide/DeskUtil.h"
#include "host/vcl/TypInfo.h"
#include "interop/Bstr.h"
#include "sim/Report.h"
#include "sim/SimulatedIde.h"

#include <algorithm>
#include <array>

namespace tvx::sim {

// The IDE's own tool windows.
class TProjectManagerForm final : public TDockableForm {
    TVX_CLASS(TProjectManagerForm, TDockableForm)
    using TDockableForm::TDockableForm;
};

class TStructureViewForm final : public TDockableForm {
    TVX_CLASS(TStructureViewForm, TDockableForm)
    using TDockableForm::TDockableForm;
};

class TMessageViewForm final : public TDockableForm {
    TVX_CLASS(TMessageViewForm, TDockableForm)
    using TDockableForm::TDockableForm;
};

class TPropertyInspectorForm final : public TDockableForm {
    TVX_CLASS(TPropertyInspectorForm, TDockableForm)
    using TDockableForm::TDockableForm;
};

// The Object Inspector's grid. Add-ins find the inspector's form from it.
class TPropertyInspector final : public TWinControl {
    TVX_CLASS(TPropertyInspector, TWinControl)
    using TWinControl::TWinControl;
};

TVX_DEFINE_CLASS(TProjectManagerForm)
TVX_DEFINE_CLASS(TStructureViewForm)
TVX_DEFINE_CLASS(TMessageViewForm)
TVX_DEFINE_CLASS(TPropertyInspectorForm)
TVX_DEFINE_CLASS(TPropertyInspector)

namespace {

// The part whose desktop the procedure variables reach; one IDE runs at a time.
IdeToolWindows* desktopOwner = nullptr;

void RecordFieldAddress(const String& Name, void* Address)
{
    if (desktopOwner)
        desktopOwner->Desktop().Register(Name, Address);
}

void ForgetFieldAddress(void* Address)
{
    if (desktopOwner)
        desktopOwner->Desktop().Unregister(Address);
}

// The dock sites sit below the toolbar band (60 pixels high), each against
// one edge of the 1280 x 800 main window.
struct DockSiteTemplate {
    const char16_t* Name;
    int Left, Top, Width, Height;
    TAlign Edge;
};

constexpr DockSiteTemplate kDockSites[] = {
    {u"LeftDockPanel", 0, 60, 200, 540, alLeft},
    {u"RightDockPanel", 1080, 60, 200, 540, alRight},
    {u"BottomDockPanel", 0, 600, 1280, 200, alBottom},
};

template <class Form>
TDockableForm* MakeForm()
{
    return new Form(nullptr);
}

TPanel* MakeClientPanel(TComponent* owner, const char16_t* name, TWinControl* parent)
{
    auto* panel = new TPanel(owner);
    panel->SetName(name);
    panel->SetAlign(alClient);
    panel->SetParent(parent);
    return panel;
}

// As the IDE builds it: Application owns the inspector, which sits three
// parents below the form, and add-ins rely on exactly that to find the form.
// Freeing the form frees the inspector with its parent panel, which takes it
// out of Application's components.
void FurnishObjectInspector(TDockableForm* form)
{
    TPanel* outer = MakeClientPanel(form, u"InspectorPanel", form);
    TPanel* inner = MakeClientPanel(form, u"PropertiesPanel", outer);
    auto* inspector = new TPropertyInspector(Application);
    inspector->SetAlign(alClient);
    inspector->SetParent(inner);
}

struct IdeFormTemplate {
    TDockableForm* (*Make)();
    const char16_t* Name;
    const char16_t* Caption;
    const char16_t* DeskSection;
    // Where it starts docked, in kDockSites.
    std::size_t Site;
    // Builds what the form shows, if anything.
    void (*Furnish)(TDockableForm*) = nullptr;
};

const IdeFormTemplate kIdeForms[] = {
    {&MakeForm<TProjectManagerForm>, u"ProjectManagerForm", u"Project Manager", u"ProjectManager", 1},
    {&MakeForm<TStructureViewForm>, u"StructureViewForm", u"Structure", u"StructureView", 0},
    {&MakeForm<TMessageViewForm>, u"MessageViewForm", u"Messages", u"MessageView", 2},
    {&MakeForm<TPropertyInspectorForm>, u"PropertyInspectorForm", u"Object Inspector", u"PropertyInspector", 0,
     &FurnishObjectInspector},
};

constexpr std::size_t kObjectInspector = 3;
// The View menu's item and the action behind its shortcut.
constexpr const char16_t* kViewObjectInspectorItem = u"ViewObjInspItem";
constexpr const char16_t* kViewObjectInspectorCommand = u"ViewObjInspCommand";

bool IsDestroying(const TComponent* c) noexcept { return c->ComponentState().Contains(csDestroying); }

} // namespace

// The IDE's dock sites and its own tool windows; the forms' variables are
// the ones the IDE registers with the desktop. Whatever someone else frees
// is forgotten here, so the part never frees it twice.
class TIdeDockComponents final : public TComponent {
    TVX_CLASS(TIdeDockComponents, TComponent)
    using TComponent::TComponent;

    std::array<TPanel*, std::size(kDockSites)> Sites{};
    std::array<TCustomForm*, std::size(kIdeForms)> Forms{};

    template <class T>
    void Hold(T*& Slot, T* Component)
    {
        Slot = Component;
        Component->FreeNotification(this);
    }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        if (Operation != opRemove)
            return;
        for (TPanel*& site : Sites)
            if (site == AComponent)
                site = nullptr;
        for (TCustomForm*& form : Forms)
            if (form == AComponent)
                form = nullptr;
    }
};

TVX_DEFINE_CLASS(TIdeDockComponents)

IdeToolWindows::~IdeToolWindows()
{
    if (auto* menu = ide_.Find<IdeMainMenu>()) {
        menu->Commands().Set(kViewObjectInspectorItem, TNotifyEvent());
        menu->Actions().Commands().Set(kViewObjectInspectorCommand, TNotifyEvent());
    }
    if (own_) {
        for (TCustomForm*& form : own_->Forms) {
            desktop_.Unregister(&form);
            FreeAndNil(form);
        }
        // Whatever else is docked goes with its site, as with any VCL control.
        for (TPanel*& site : own_->Sites)
            FreeAndNil(site);
        own_->Free();
    }
    // Last: the forms that went above may still unregister their fields.
    if (desktopOwner == this) {
        desktopOwner = nullptr;
        if (::RegisterFieldAddress == &RecordFieldAddress)
            ::RegisterFieldAddress = nullptr;
        if (::UnregisterFieldAddress == &ForgetFieldAddress)
            ::UnregisterFieldAddress = nullptr;
    }
    ClearDesktopFormClasses();
}

void IdeToolWindows::Build()
{
    desktopOwner = this;
    ::RegisterFieldAddress = &RecordFieldAddress;
    ::UnregisterFieldAddress = &ForgetFieldAddress;
    own_ = new TIdeDockComponents(nullptr);
    BuildDockSites();
    for (std::size_t i = 0; i < std::size(kIdeForms); ++i)
        MakeIdeForm(i);
    const TNotifyEvent view = MakeEvent<&IdeToolWindows::ViewObjectInspector>(this);
    ide_.MainMenu().Commands().Set(kViewObjectInspectorItem, view);
    ide_.MainMenu().Actions().Commands().Set(kViewObjectInspectorCommand, view);
}

void IdeToolWindows::BuildDockSites()
{
    TWinControl* mainWindow = ide_.Toolbars().MainWindow();
    for (std::size_t i = 0; i < std::size(kDockSites); ++i) {
        const DockSiteTemplate& t = kDockSites[i];
        auto* site = new TPanel(mainWindow);
        own_->Hold(own_->Sites[i], site);
        site->SetName(t.Name);
        site->SetBounds(t.Left, t.Top, t.Width, t.Height);
        site->SetParent(mainWindow);
    }
}

TDockableForm* IdeToolWindows::MakeIdeForm(std::size_t Index)
{
    const IdeFormTemplate& t = kIdeForms[Index];
    TDockableForm* form = t.Make();
    own_->Hold(own_->Forms[Index], static_cast<TCustomForm*>(form));
    form->SetName(t.Name);
    form->SetCaption(t.Caption);
    form->SetDeskSection(t.DeskSection);
    form->SetAutoSave(true);
    if (t.Furnish)
        t.Furnish(form);
    // Its site may be gone; then it floats where it was made.
    if (TPanel* site = own_->Sites[t.Site]) {
        form->ManualDock(site);
        form->SetAlign(alClient);
    }
    // Shown where it is docked, without taking the activation: the IDE
    // starts with its main window active.
    form->SetVisible(true);
    RegisterDesktopFormClass(form->ClassType(), t.DeskSection, t.Name);
    if (::RegisterFieldAddress)
        ::RegisterFieldAddress(t.Name, &own_->Forms[Index]);
    return form;
}

TDockableForm* IdeToolWindows::ObjectInspector() const
{
    return own_ ? dynamic_cast<TDockableForm*>(own_->Forms[kObjectInspector]) : nullptr;
}

void IdeToolWindows::ViewObjectInspector(TObject*)
{
    // A desktop change freed it: the IDE makes it anew, as loading the new
    // desktop would.
    TDockableForm* form = ObjectInspector();
    if (!form)
        form = MakeIdeForm(kObjectInspector);
    TComponentAlive alive(form);
    form->ForceShow();
    if (alive)
        FocusWindow(form);
}

void IdeToolWindows::BeforeShutdown()
{
    atShutdown_ = Snapshot();
    freedAtShutdown_ = desktop_.FreeForms();
    ClearDesktopFormClasses();
}

void IdeToolWindows::AddToReport(Report& report) const
{
    report.ToolWindows = atShutdown_;
    report.DesktopFreedAtShutdown = freedAtShutdown_;
}

std::vector<TPanel*> IdeToolWindows::DockSites() const
{
    std::vector<TPanel*> sites;
    for (TPanel* site : own_->Sites)
        if (site)
            sites.push_back(site);
    return sites;
}

TPanel* IdeToolWindows::FindDockSite(const String& Name) const
{
    if (Name.empty())
        return nullptr;
    for (TPanel* site : DockSites())
        if (SameText(site->Name(), Name))
            return site;
    return nullptr;
}

std::vector<TDockableForm*> IdeToolWindows::ToolWindows()
{
    std::vector<TDockableForm*> forms;
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (auto* form = dynamic_cast<TDockableForm*>(Screen->Forms(i)); form && !IsDestroying(form))
            forms.push_back(form);
    return forms;
}

TDockableForm* IdeToolWindows::FindToolWindow(const String& Name)
{
    if (Name.empty())
        return nullptr;
    const std::vector<TDockableForm*> forms = ToolWindows();
    for (TDockableForm* form : forms)
        if (SameText(form->Name(), Name))
            return form;
    for (TDockableForm* form : forms)
        if (SameText(form->DeskSection(), Name))
            return form;
    return nullptr;
}

String IdeToolWindows::PlaceName(const TControl* Form)
{
    const TWinControl* parent = Form->Parent();
    if (!parent)
        return u"";
    return parent->Name().empty() ? parent->ClassName() : parent->Name();
}

WindowRecord IdeToolWindows::DescribeWindow(HWND Window)
{
    WindowRecord record;
    record.Handle = reinterpret_cast<std::uintptr_t>(Window);
    WCHAR name[256] = {};
    const int length = GetClassNameW(Window, name, int(std::size(name)));
    record.ClassName.assign(AsChar16(name), std::size_t(length > 0 ? length : 0));
    record.Foreign = TWinControl::FindControl(Window) == nullptr;
    const int textLength = GetWindowTextLengthW(Window);
    std::vector<WCHAR> text(std::size_t(textLength > 0 ? textLength : 0) + 1);
    const int copied = GetWindowTextW(Window, text.data(), int(text.size()));
    record.Text.assign(AsChar16(text.data()), std::size_t(copied > 0 ? copied : 0));
    record.Visible = IsWindowVisible(Window) != FALSE;
    if (RECT client{}; GetClientRect(Window, &client)) {
        record.ClientWidth = int(client.right - client.left);
        record.ClientHeight = int(client.bottom - client.top);
    }
    for (HWND child = GetWindow(Window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        record.Children.push_back(DescribeWindow(child));
    return record;
}

void IdeToolWindows::ResizeDockSite(TPanel* Site, int Width, int Height)
{
    const auto at = std::find(own_->Sites.begin(), own_->Sites.end(), Site);
    if (!Site || at == own_->Sites.end())
        return;
    // The user drags the splitter: the edge against the main window stays.
    switch (kDockSites[std::size_t(at - own_->Sites.begin())].Edge) {
    case alRight: Site->SetBounds(Site->Left() + Site->Width() - Width, Site->Top(), Width, Height); break;
    case alBottom: Site->SetBounds(Site->Left(), Site->Top() + Site->Height() - Height, Width, Height); break;
    default: Site->SetBounds(Site->Left(), Site->Top(), Width, Height); break;
    }
}

std::vector<ToolWindowRecord> IdeToolWindows::Snapshot() const
{
    std::vector<ToolWindowRecord> records;
    for (TDockableForm* form : ToolWindows()) {
        ToolWindowRecord r;
        r.Name = form->Name();
        r.DeskSection = form->DeskSection();
        r.Caption = form->Caption();
        r.Visible = form->Visible();
        r.Dockable = form->Dockable();
        r.Active = form->Active();
        r.Icon = reinterpret_cast<std::uintptr_t>(form->Icon() ? form->Icon()->Handle() : nullptr);
        r.DockSite = PlaceName(form);
        r.Width = form->Width();
        r.Height = form->Height();
        if (form->HandleAllocated())
            r.Window = DescribeWindow(form->Handle());
        records.push_back(std::move(r));
    }
    return records;
}

} // namespace tvx::sim
