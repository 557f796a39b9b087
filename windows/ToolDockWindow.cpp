#include "windows/ToolDockWindow.h"

#include "host/ide/DeskUtil.h"
#include "host/vcl/TypInfo.h"

TVX_DEFINE_CLASS(TToolDockWindow)

TToolDockWindow::TToolDockWindow(TComponent* AOwner) : TDockableForm(AOwner)
{
    InitInheritedForm(this, ClassOf<TDockableForm>());
    SetDeskSection(Name());
    SetAutoSave(true);
    SetSaveStateNecessary(true);
}

TToolDockWindow::~TToolDockWindow()
{
    SetSaveStateNecessary(true);
    // Here, not in the base destructor, so that the override below still runs.
    DestroyHandle();
}

void TToolDockWindow::DestroyWindowHandle()
{
    TNotifyEvent handler = onDestroyWindowHandle_;
    handler(this);
    TDockableForm::DestroyWindowHandle();
}

void TToolDockWindow::ForceActivate()
{
    if (Floating()) {
        Show();
        return;
    }
    TComponentAlive alive(this);
    ForceShow();
    if (alive)
        FocusWindow(this);
}

void TToolDockWindow::RegisterForm(TToolDockWindow*& RegInstance, const String& WindowName)
{
    if (RegisterFieldAddress)
        RegisterFieldAddress(WindowName, &RegInstance);
    RegisterDesktopFormClass(ClassOf<TToolDockWindow>(), WindowName, WindowName);
}

void TToolDockWindow::UnRegisterForm(TToolDockWindow*& RegInstance)
{
    if (UnregisterFieldAddress)
        UnregisterFieldAddress(&RegInstance);
}

void TToolDockWindow::UpdateHandleControl() { previousHandle_ = Handle(); }

bool TToolDockWindow::IsHandleChanged() { return Handle() != previousHandle_; }
