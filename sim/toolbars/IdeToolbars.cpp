#include "sim/toolbars/IdeToolbars.h"

#include "host/vcl/TypInfo.h"
#include "interop/Utf.h"
#include "sim/Report.h"
#include "sim/SimulatedIde.h"

#include <algorithm>

namespace tvx::sim {

// The IDE's main form: a top-level window.
class TAppBuilder final : public TWinControl {
    TVX_CLASS(TAppBuilder, TWinControl)
    using TWinControl::TWinControl;

protected:
    void CreateParams(TCreateParams& Params) override
    {
        TWinControl::CreateParams(Params);
        TopLevelParams(Params, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN);
    }
};

// The band under the main menu where the toolbars sit.
class TControlBar final : public TWinControl {
    TVX_CLASS(TControlBar, TWinControl)
    using TWinControl::TWinControl;
};

TVX_DEFINE_CLASS(TAppBuilder)
TVX_DEFINE_CLASS(TControlBar)

namespace {

std::string U8(const String& s) { return Utf16ToUtf8(s); }

struct ButtonTemplate {
    const char16_t* Name;
    const char16_t* Hint;
    TToolButtonStyle Style = tbsButton;
    bool Enabled = true;
};

struct ToolBarTemplate {
    const char16_t* Name;
    const char16_t* Caption;
    std::vector<ButtonTemplate> Buttons;
};

// RAD Studio XE's standard toolbars with the commands a package author
// meets. With no program running, pausing and resetting are disabled.
// clang-format off
std::vector<ToolBarTemplate> StandardToolBars()
{
    return {
        {u"StandardToolBar", u"Standard", {
            {u"NewItemsButton", u"New Items"},
            {u"OpenButton", u"Open (Ctrl+O)"},
            {u"SaveButton", u"Save (Ctrl+S)"},
            {u"SaveAllButton", u"Save All (Shift+Ctrl+S)"},
            {u"StandardDivider1", u"", tbsDivider},
            {u"OpenProjectButton", u"Open Project (Ctrl+F11)"},
            {u"AddFileButton", u"Add file to project (Shift+F11)"},
            {u"RemoveFileButton", u"Remove file from project"},
        }},
        {u"ViewToolBar", u"View", {
            {u"ViewUnitButton", u"View Unit (Ctrl+F12)"},
            {u"ViewFormButton", u"View Form (Shift+F12)"},
            {u"ToggleFormUnitButton", u"Toggle Form/Unit (F12)"},
            {u"NewFormButton", u"New Form"},
        }},
        {u"DebugToolBar", u"Debug", {
            {u"RunButton", u"Run (F9)"},
            {u"RunWithoutDebuggingButton", u"Run Without Debugging (Shift+Ctrl+F9)"},
            {u"PauseButton", u"Program Pause", tbsButton, false},
            {u"ResetButton", u"Program Reset (Ctrl+F2)", tbsButton, false},
            {u"DebugDivider1", u"", tbsDivider},
            {u"TraceIntoButton", u"Trace Into (F7)"},
            {u"StepOverButton", u"Step Over (F8)"},
        }},
        {u"DesktopToolBar", u"Desktop", {
            {u"SaveDesktopButton", u"Save current desktop"},
            {u"SetDebugDesktopButton", u"Set debug desktop"},
        }},
    };
}
// clang-format on

const char* StyleKind(TToolButtonStyle style)
{
    switch (style) {
    case tbsButton: return "button";
    case tbsCheck: return "check";
    case tbsDropDown: return "dropdown";
    case tbsSeparator: return "separator";
    case tbsDivider: return "divider";
    case tbsTextButton: return "textbutton";
    }
    return "button";
}

} // namespace

void IdeToolbars::Build()
{
    mainWindow_ = new TAppBuilder(nullptr);
    mainWindow_->SetName(u"AppBuilder");
    mainWindow_->SetCaption(u"RAD Studio XE");
    mainWindow_->SetBounds(0, 0, 1280, 800);
    dock_ = new TControlBar(mainWindow_);
    dock_->SetName(u"ControlBar1");
    dock_->SetBounds(0, 0, 1280, 60);
    dock_->SetParent(mainWindow_);
    // The IDE's dialogs are modal to its main window.
    ide_.App().SetMainForm(mainWindow_);
    ownImages_ = new TImageList(nullptr);
    BuildStandardToolBars();
}

IdeToolbars::~IdeToolbars()
{
    ReleaseNotifiers();
    delete mainWindow_;
    delete ownImages_;
}

TCustomImageList* IdeToolbars::Images() const
{
    TCustomImageList* images = ide_.NativeServices().GetImageList();
    return images ? images : ownImages_;
}

void IdeToolbars::BuildStandardToolBars()
{
    for (const ToolBarTemplate& entry : StandardToolBars()) {
        auto* bar = new TToolBar(mainWindow_);
        bar->SetName(entry.Name);
        bar->SetCaption(entry.Caption);
        bar->SetImages(Images());
        bar->SetAutoSize(true);
        for (const ButtonTemplate& b : entry.Buttons) {
            // The IDE's form owns its buttons, as its designer made them.
            auto* button = new TToolButton(mainWindow_);
            button->SetName(b.Name);
            button->SetHint(b.Hint);
            button->SetStyle(b.Style);
            button->SetEnabled(b.Enabled);
            if (b.Style == tbsDivider)
                button->SetWidth(8);
            button->SetParent(bar);
            button->SetLeft(bar->Width() + 1000);
            button->SetOnClick(MakeEvent<&IdeToolbars::IdeCommand>(this));
        }
        if (String(entry.Name) == u"DesktopToolBar") {
            auto* combo = new TComboBox(mainWindow_);
            combo->SetName(u"DesktopComboBox");
            combo->SetHint(u"Desktop layouts");
            combo->SetStyle(csDropDownList);
            combo->SetParent(bar);
            for (const char16_t* layout : {u"Default Layout", u"Debug Layout", u"Classic Undocked"})
                combo->Items()->Add(layout);
            combo->SetItemIndex(0);
            combo->SetLeft(0);
        }
        bar->SetParent(dock_);
        PlaceOnDock(bar);
        standardNames_.push_back(entry.Name);
    }
}

void IdeToolbars::IdeCommand(TObject* Sender)
{
    if (auto* component = dynamic_cast<TComponent*>(Sender))
        executed_.push_back(component->Name());
}

void IdeToolbars::PlaceOnDock(TToolBar* ToolBar)
{
    int rowTop = 0;
    int rowHeight = 0;
    int right = 0;
    for (int i = 0; i < dock_->ControlCount(); ++i) {
        TControl* c = dock_->Controls(i);
        if (c == ToolBar)
            continue;
        if (c->Top() > rowTop) {
            rowTop = c->Top();
            rowHeight = 0;
            right = 0;
        }
        if (c->Top() == rowTop) {
            rowHeight = std::max(rowHeight, c->Height());
            right = std::max(right, c->Left() + c->Width());
        }
    }
    if (right > 0 && right + ToolBar->Width() > dock_->Width())
        ToolBar->SetBounds(0, rowTop + rowHeight, ToolBar->Width(), ToolBar->Height());
    else
        ToolBar->SetBounds(right, rowTop, ToolBar->Width(), ToolBar->Height());
}

TToolBar* IdeToolbars::FindToolBar(const String& Name) const
{
    if (Name.empty())
        return nullptr;
    return dynamic_cast<TToolBar*>(mainWindow_->FindComponent(Name));
}

TToolBar* IdeToolbars::NewToolbar(const String& Name, const String& Caption, const String& ReferenceToolBar,
                                  bool InsertBeforeReference)
{
    auto* bar = new TToolBar(mainWindow_);
    try {
        bar->SetName(Name);
    } catch (...) {
        bar->Free();
        throw;
    }
    bar->SetCaption(Caption);
    bar->SetImages(Images());
    TToolBar* reference = FindToolBar(ReferenceToolBar);
    bar->SetParent(dock_);
    if (reference && reference->Parent() == dock_) {
        int left = InsertBeforeReference ? reference->Left() - bar->Width() : reference->Left() + reference->Width();
        bar->SetBounds(std::max(left, 0), reference->Top(), bar->Width(), bar->Height());
    } else {
        PlaceOnDock(bar);
    }
    return bar;
}

int IdeToolbars::AddNotifier(INTAToolbarStreamNotifier* Notifier)
{
    if (!Notifier)
        return -1;
    int index = nextIndex_++;
    notifiers_.emplace_back(index, Notifier);
    return index;
}

void IdeToolbars::RemoveNotifier(int Index)
{
    std::erase_if(notifiers_, [&](const auto& entry) { return entry.first == Index; });
}

int IdeToolbars::Load()
{
    loaded_ = true;
    mainWindow_->HandleNeeded();
    int reported = 0;
    for (const String& name : standardNames_) {
        if (!FindToolBar(name))
            continue;
        ++reported;
        auto notifiers = notifiers_;
        for (auto& [index, notifier] : notifiers) {
            // A notifier may remove itself, or a package the toolbar, meanwhile.
            // (A named copy: clang does not let lambdas capture structured bindings.)
            const auto key = index;
            bool registered = std::any_of(notifiers_.begin(), notifiers_.end(),
                                          [&](const auto& entry) { return entry.first == key; });
            TToolBar* bar = FindToolBar(name);
            if (!registered || !bar)
                continue;
            try {
                notifier->ToolbarLoaded(bar);
            } catch (...) {
                // The IDE ignores what a notifier raises.
            }
        }
    }
    return reported;
}

void IdeToolbars::ReleaseNotifiers()
{
    auto notifiers = std::move(notifiers_);
    notifiers_.clear();
    for (auto& [index, notifier] : notifiers) {
        try {
            notifier->Destroyed();
        } catch (...) {
        }
    }
}

std::vector<TToolBar*> IdeToolbars::ToolBars() const
{
    std::vector<TToolBar*> bars;
    for (int i = 0; i < mainWindow_->ComponentCount(); ++i)
        if (auto* bar = dynamic_cast<TToolBar*>(mainWindow_->Components(i)))
            bars.push_back(bar);
    return bars;
}

ToolbarControlRecord IdeToolbars::Describe(TControl* Control)
{
    ToolbarControlRecord r;
    r.Name = Control->Name();
    r.Hint = Control->Hint();
    r.Enabled = Control->Enabled();
    r.Visible = Control->Visible();
    if (auto* button = dynamic_cast<TToolButton*>(Control)) {
        r.Kind = StyleKind(button->Style());
        r.Caption = button->Caption();
        r.Down = button->Down();
        r.ImageIndex = button->ImageIndex();
    } else if (auto* combo = dynamic_cast<TComboBox*>(Control)) {
        r.Kind = combo->CanEditText() ? "combo" : "list";
        for (int i = 0; i < combo->Items()->Count(); ++i)
            r.Items.push_back(combo->Items()->Strings(i));
        r.Text = combo->Text();
        r.ItemIndex = combo->ItemIndex();
    } else if (dynamic_cast<TLabel*>(Control)) {
        r.Kind = "label";
        r.Caption = Control->Caption();
    } else {
        r.Kind = U8(Control->ClassName());
        r.Caption = Control->Caption();
    }
    return r;
}

std::vector<ToolbarRecord> IdeToolbars::Snapshot() const
{
    std::vector<ToolbarRecord> records;
    for (TToolBar* bar : ToolBars()) {
        ToolbarRecord t;
        t.Name = bar->Name();
        t.Caption = bar->Caption();
        t.Visible = bar->Visible();
        t.Floating = bar->Floating();
        t.Left = bar->Left();
        t.Top = bar->Top();
        t.Width = bar->Width();
        t.Height = bar->Height();
        for (TControl* control : bar->OrderedControls())
            t.Controls.push_back(Describe(control));
        records.push_back(std::move(t));
    }
    return records;
}

void IdeToolbars::AddToReport(Report& report) const { report.Toolbars = atShutdown_; }

} // namespace tvx::sim
