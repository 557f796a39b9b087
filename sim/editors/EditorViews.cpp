#include "sim/editors/EditorViews.h"

#include "sim/editors/EditWindow.h"
#include "sim/editors/IdeEditorWindows.h"

namespace tvx::sim {

TCustomForm* TSimEditWindow::GetForm() { return window_; }

TStatusBar* TSimEditWindow::GetStatusBar() { return window_ ? window_->StatusBar() : nullptr; }

tvx::IntfPtr<INTAEditWindow> TSimEditView::GetEditWindow()
{
    return window_ ? &window_->EditWindowInterface() : nullptr;
}

tvx::IntfPtr<IOTAEditView> TSimEditorServices::GetTopView() { return windows_ ? windows_->TopView() : nullptr; }

int TSimEditorServices::AddNotifier(INTAEditServicesNotifier* Notifier)
{
    return windows_ ? windows_->ServicesNotifierList().Add(Notifier) : -1;
}

void TSimEditorServices::RemoveNotifier(int Index)
{
    if (windows_)
        windows_->ServicesNotifierList().Remove(Index);
}

} // namespace tvx::sim
