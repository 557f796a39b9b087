#include "sim/editors/EditWindow.h"

#include "host/vcl/TypInfo.h"
#include "sim/modules/IdeModules.h"

#include <algorithm>
#include <string_view>

namespace tvx::sim {

namespace {

// The message view as the IDE docks it into an editor window: not the tool
// window of that name, which stays on its own. Add-ins read its PopupMenu
// by name.
class TMessageViewForm final : public TScrollingWinControl {
    TVX_CLASS(TMessageViewForm, TScrollingWinControl)
    using TScrollingWinControl::TScrollingWinControl;
};

TVX_DEFINE_CLASS(TMessageViewForm, Published<&TControl::PopupMenu, &TControl::SetPopupMenu>(u"PopupMenu"))

template <class Control>
Control* MakeControl(TEditWindow* form, const char16_t* name, TWinControl* parent, TAlign align, int height = 0)
{
    auto* control = new Control(form);
    control->SetName(name);
    if (height)
        control->SetHeight(height);
    control->SetAlign(align);
    control->SetParent(parent);
    return control;
}

TMenuItem* MakeItem(TComponent* owner, TPopupMenu* menu, const char16_t* name, const char16_t* caption)
{
    auto* item = new TMenuItem(owner);
    item->SetName(name);
    item->SetCaption(caption);
    menu->Items()->Add(item);
    return item;
}

void FillRect(TBitmap& bitmap, int left, int top, int right, int bottom, TColor color)
{
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            bitmap.SetPixel(x, y, color);
}

// The IDE's tab images, 16 x 16 each, magenta transparent: a source page
// with lines of text, a form with its caption bar, a blank page, and the
// modified mark that is drawn over any of them.
void AddTabImages(TImageList& images)
{
    TBitmap strip(4 * 16, 16);
    strip.Fill(clFuchsia);
    for (int page : {0, 2 * 16}) {
        FillRect(strip, page + 2, 1, page + 14, 15, clGray);
        FillRect(strip, page + 3, 2, page + 13, 14, clWhite);
    }
    for (int line = 4; line < 13; line += 3)
        FillRect(strip, 5, line, 11, line + 1, clNavy);
    FillRect(strip, 16 + 1, 2, 16 + 15, 14, clSilver);
    FillRect(strip, 16 + 1, 2, 16 + 15, 5, clNavy);
    FillRect(strip, 3 * 16 + 0, 9, 3 * 16 + 6, 15, clRed);
    images.AddMasked(&strip, clFuchsia);
}

} // namespace

TVX_DEFINE_CLASS(TEditControl, Published<&TControl::Caption, &TControl::SetCaption>(u"Caption"))
TVX_DEFINE_CLASS(TEditorTab)
TVX_DEFINE_CLASS(TEditWindow)

TEditorTab::TEditorTab(TSimModule& Module, TEditWindow& Window) : module_(&Module), view_(new TSimEditView(Window)) {}

TEditorTab::~TEditorTab() { view_->Detach(); }

TEditWindow::TEditWindow(TComponent* AOwner) : TForm(AOwner), editWindow_(new TSimEditWindow(*this))
{
    SetBounds(200, 60, 880, 540);
    tabSet_ = MakeControl<TIDEGradientTabSet>(this, u"TabSet", this, alTop, 24);
    messageView_ = MakeControl<TMessageViewForm>(this, u"MessageViewForm", this, alBottom, 100);
    editorArea_ = MakeControl<TPanel>(this, u"EditorArea", this, alClient);
    statusBarPanel_ = MakeControl<TPanel>(this, u"StatusBarPanel", editorArea_, alBottom, 20);
    statusBar_ = MakeControl<TStatusBar>(this, u"StatusBar", statusBarPanel_, alBottom);
    editControlPanel_ = MakeControl<TPanel>(this, u"EditControlPanel", editorArea_, alClient);
    editor_ = MakeControl<TEditControl>(this, u"Editor", editControlPanel_, alClient);
    tabImages_ = new TImageList(this);
    tabImages_->SetName(u"TabImages");
    AddTabImages(*tabImages_);

    messageViewMenu_ = new TPopupMenu(this);
    messageViewMenu_->SetName(u"MessageViewPopupMenu");
    MakeItem(this, messageViewMenu_, u"ClearMessagesItem", u"Clear Messages");
    viewEditorItem_ = MakeItem(this, messageViewMenu_, u"ViewEditorItem", u"View Editor");
    MakeItem(this, messageViewMenu_, u"CopyItem", u"Copy");
    messageView_->SetPopupMenu(messageViewMenu_);

    tabSet_->SetImages(tabImages_);
    tabSet_->SetOnChange(MakeEvent<&TEditWindow::TabSetChange>(this));
    tabSet_->SetOnGetImageIndex(MakeEvent<&TEditWindow::TabSetGetImageIndex>(this));
    tabSet_->SetOnGetOverlayImageIndex(MakeEvent<&TEditWindow::TabSetGetOverlayImageIndex>(this));
    tabSet_->SetOnMouseDown(MakeEvent<&TEditWindow::TabSetMouseDown>(this));
}

TEditWindow::~TEditWindow()
{
    editWindow_->Detach();
    current_ = nullptr;
    // The views go with the tabs, before the controls that showed them.
    tabs_.clear();
}

void TEditWindow::Notification(TComponent* AComponent, TOperation Operation)
{
    TForm::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    auto forget = [AComponent](auto*& field) {
        if (field == AComponent)
            field = nullptr;
    };
    forget(tabSet_);
    forget(messageView_);
    forget(editorArea_);
    forget(statusBarPanel_);
    forget(statusBar_);
    forget(editControlPanel_);
    forget(editor_);
    forget(tabImages_);
    forget(messageViewMenu_);
    forget(viewEditorItem_);
}

int TEditWindow::TabCount() const noexcept { return tabSet_ ? tabSet_->Items()->Count() : 0; }

TEditorTab* TEditWindow::Tab(int Index) const noexcept
{
    if (Index < 0 || Index >= TabCount())
        return nullptr;
    TObject* object = tabSet_->Items()->Objects(Index);
    for (const auto& tab : tabs_)
        if (tab.get() == object)
            return tab.get();
    return nullptr;
}

int TEditWindow::IndexOf(const TSimModule& Module) const noexcept
{
    for (int i = 0; i < TabCount(); ++i)
        if (TEditorTab* tab = Tab(i); tab && &tab->Module() == &Module)
            return i;
    return -1;
}

TEditorTab* TEditWindow::OwnTab(const TSimModule& Module) const noexcept
{
    for (const auto& tab : tabs_)
        if (&tab->Module() == &Module)
            return tab.get();
    return nullptr;
}

int TEditWindow::AddTab(TSimModule& Module)
{
    if (const int index = IndexOf(Module); index >= 0)
        return index;
    if (!tabSet_)
        return -1;
    // A tab an add-in took out of the list comes back with its view.
    TEditorTab* tab = OwnTab(Module);
    if (!tab) {
        tabs_.push_back(std::make_unique<TEditorTab>(Module, *this));
        tab = tabs_.back().get();
    }
    return tabSet_->Items()->AddObject(IdeModules::ShortName(Module.FileName()), tab);
}

void TEditWindow::RemoveTab(const TSimModule& Module)
{
    TEditorTab* tab = OwnTab(Module);
    if (!tab)
        return;
    if (current_ == tab)
        ShowTab(nullptr);
    auto forget = [this, tab] { std::erase_if(tabs_, [tab](const auto& own) { return own.get() == tab; }); };
    TIDEGradientTabSet* tabs = tabSet_;
    if (!tabs) {
        forget();
        return;
    }
    TStrings& items = *tabs->Items();
    const int selected = tabs->TabIndex();
    TObject* selectedObject = selected >= 0 ? items.Objects(selected) : nullptr;
    const bool selectedGoes = selectedObject == tab;
    if (selectedGoes)
        tabs->MoveSelection(-1);
    for (int i = items.Count() - 1; i >= 0; --i)
        if (items.Objects(i) == tab)
            items.Delete(i);
    forget();
    if (!selectedGoes) {
        // The same tab stays selected wherever it is now.
        tabs->MoveSelection(selectedObject ? items.IndexOfObject(selectedObject) : -1);
        return;
    }
    // Last: the handlers may free the window.
    if (items.Count() == 0)
        tabs->Change();
    else
        tabs->SetTabIndex(std::min(selected, items.Count() - 1));
}

TEditWindow& TEditWindow::OwnerOf(TObject* Sender) noexcept
{
    if (auto* tabs = dynamic_cast<TIDEGradientTabSet*>(Sender))
        if (auto* window = dynamic_cast<TEditWindow*>(tabs->Owner()); window && window->tabSet_ == tabs)
            return *window;
    return *this;
}

void TEditWindow::ShowTab(TEditorTab* Tab)
{
    const bool changed = current_ != Tab;
    current_ = Tab;
    const String fileName = Tab ? Tab->Module().FileName() : String();
    SetCaption(fileName);
    if (editor_)
        editor_->SetCaption(fileName);
    // Last: the handler reaches add-ins.
    if (changed && Tab)
        onViewShown_(this);
}

void TEditWindow::TabSetChange(TObject* Sender)
{
    TEditWindow& window = OwnerOf(Sender);
    window.ShowTab(window.Tab(window.tabSet_ ? window.tabSet_->TabIndex() : -1));
}

void TEditWindow::TabSetGetImageIndex(TObject* Sender, int TabIndex, int& ImageIndex)
{
    if (TEditorTab* tab = OwnerOf(Sender).Tab(TabIndex))
        ImageIndex = ImageFor(tab->Module().FileName());
}

void TEditWindow::TabSetGetOverlayImageIndex(TObject* Sender, int TabIndex, int& ImageIndex)
{
    if (TEditorTab* tab = OwnerOf(Sender).Tab(TabIndex); tab && tab->Module().Modified())
        ImageIndex = ModifiedOverlay;
}

void TEditWindow::TabSetMouseDown(TObject* Sender, TMouseButton Button, TShiftState, int X, int Y)
{
    TEditWindow& window = OwnerOf(Sender);
    TIDEGradientTabSet* tabs = window.tabSet_;
    window.presses_.push_back(TabPress{Button, X, Y, tabs ? tabs->TabAt(X) : -1, tabs ? tabs->TabIndex() : -1});
}

int TEditWindow::ImageFor(const String& FileName)
{
    const String name = IdeModules::ShortName(FileName);
    const std::size_t dot = name.find_last_of(u'.');
    const String extension = dot == String::npos ? String() : LowerCase(std::u16string_view(name).substr(dot));
    if (extension == u".pas" || extension == u".cpp" || extension == u".dpr")
        return SourceImage;
    if (extension == u".dfm")
        return FormImage;
    return OtherImage;
}

} // namespace tvx::sim
