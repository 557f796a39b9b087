// An editor window of the IDE: a form whose components add-ins find by
// class and component name, in this order: the tab set (TabSet), the
// message view docked at the bottom (MessageViewForm), the editor area
// (EditorArea) holding the status bar panel (StatusBarPanel, StatusBar) and
// the edit control's panel (EditControlPanel, Editor), and the window's own
// tab images (TabImages). Each tab's object in the tab set's Items is a
// TEditorTab of the window.
//
// The IDE's tab-set handlers are methods of the window. Add-ins save them
// and call them back later with the tab set as Sender, so each one works
// on the window that owns its Sender.
#pragma once

#include "host/vcl/ComCtrls.h"
#include "host/vcl/ExtCtrls.h"
#include "host/vcl/Forms.h"
#include "host/vcl/ImgList.h"
#include "host/vcl/Menus.h"
#include "interop/IntfPtr.h"
#include "sim/editors/EditorViews.h"
#include "sim/editors/GradientTabSet.h"
#include "sim/modules/SimModule.h"

#include <memory>
#include <vector>

namespace tvx::sim {

// The code editor; its Caption is the file it shows.
class TEditControl final : public TWinControl {
    TVX_CLASS(TEditControl, TWinControl)
    using TWinControl::TWinControl;
};

// A tab of one window: the module it shows there and the module's view in
// that window.
class TEditorTab final : public TObject {
    TVX_CLASS(TEditorTab, TObject)

    TEditorTab(TSimModule& Module, TEditWindow& Window);
    // The view answers null from here on.
    ~TEditorTab() override;

    TSimModule& Module() const noexcept { return *module_; }
    TSimEditView& View() const noexcept { return *view_; }

private:
    tvx::IntfPtr<TSimModule> module_;
    tvx::IntfPtr<TSimEditView> view_;
};

// A mouse press the IDE's OnMouseDown handler saw.
struct TabPress {
    TMouseButton Button = mbLeft;
    int X = 0;
    int Y = 0;
    // The tab under the mouse, and the one selected while the handler ran.
    int Tab = -1;
    int Selected = -1;
};

class TEditWindow final : public TForm {
    TVX_CLASS(TEditWindow, TForm)

    // The IDE's tab images.
    static constexpr int SourceImage = 0, FormImage = 1, OtherImage = 2, ModifiedOverlay = 3;

    // Builds the component tree and puts the IDE's handlers on the tab set;
    // the window shows nothing yet.
    explicit TEditWindow(TComponent* AOwner);
    ~TEditWindow() override;

    // The components, each null once someone freed it.
    TIDEGradientTabSet* TabSet() const noexcept { return tabSet_; }
    TWinControl* MessageView() const noexcept { return messageView_; }
    TPanel* EditorArea() const noexcept { return editorArea_; }
    TPanel* StatusBarPanel() const noexcept { return statusBarPanel_; }
    TStatusBar* StatusBar() const noexcept { return statusBar_; }
    TPanel* EditControlPanel() const noexcept { return editControlPanel_; }
    TEditControl* Editor() const noexcept { return editor_; }
    TImageList* TabImages() const noexcept { return tabImages_; }
    TMenuItem* ViewEditorItem() const noexcept { return viewEditorItem_; }
    TSimEditWindow& EditWindowInterface() const noexcept { return *editWindow_; }

    int TabCount() const noexcept;
    // The window's tab at that index of the tab set, or null (no such index,
    // or an object someone else put there).
    TEditorTab* Tab(int Index) const noexcept;
    // The index of the module's tab, or -1.
    int IndexOf(const TSimModule& Module) const noexcept;
    // The tab the editor shows, or null.
    TEditorTab* CurrentTab() const noexcept { return current_; }
    // The module's tab, added at the end if the window has none; its index.
    int AddTab(TSimModule& Module);
    // Takes the module's tab away. A selected tab passes the selection to
    // the tab after it (or before it, at the end), through the tab set's
    // TabIndex and OnChange, as the IDE does; with no tab left the
    // selection is -1 and OnChange runs too. The handlers may free the
    // window.
    void RemoveTab(const TSimModule& Module);

    // What the IDE's OnMouseDown handler saw, oldest first.
    const std::vector<TabPress>& Presses() const noexcept { return presses_; }
    // The editor came to show a tab's file (Sender is the window).
    void SetOnViewShown(const TNotifyEvent& Value) noexcept { onViewShown_ = Value; }

    // The IDE's handlers on the tab set.
    void TabSetChange(TObject* Sender);
    void TabSetGetImageIndex(TObject* Sender, int TabIndex, int& ImageIndex);
    void TabSetGetOverlayImageIndex(TObject* Sender, int TabIndex, int& ImageIndex);
    void TabSetMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

    // The IDE's image for a file: by its extension.
    static int ImageFor(const String& FileName);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // The window whose tab set Sender is; this one if it is none.
    TEditWindow& OwnerOf(TObject* Sender) noexcept;
    TEditorTab* OwnTab(const TSimModule& Module) const noexcept;
    // The editor shows the tab's file, or nothing.
    void ShowTab(TEditorTab* Tab);

    TIDEGradientTabSet* tabSet_ = nullptr;
    TWinControl* messageView_ = nullptr;
    TPanel* editorArea_ = nullptr;
    TPanel* statusBarPanel_ = nullptr;
    TStatusBar* statusBar_ = nullptr;
    TPanel* editControlPanel_ = nullptr;
    TEditControl* editor_ = nullptr;
    TImageList* tabImages_ = nullptr;
    TPopupMenu* messageViewMenu_ = nullptr;
    TMenuItem* viewEditorItem_ = nullptr;
    tvx::IntfPtr<TSimEditWindow> editWindow_;
    // Every tab the window made, also one an add-in took out of Items.
    std::vector<std::unique_ptr<TEditorTab>> tabs_;
    TEditorTab* current_ = nullptr;
    std::vector<TabPress> presses_;
    TNotifyEvent onViewShown_;
};

} // namespace tvx::sim
