// The IDE dockable form that carries one package tool window. Like the
// frame, it never touches the package window: it tells its owner before its
// window handle goes (also while it is being freed) and remembers the
// handle it last had. It registers with the IDE desktop under the tool
// window's name.
#pragma once

#include "host/ide/DeskForm.h"

class TToolDockWindow : public TDockableForm {
    TVX_CLASS(TToolDockWindow, TDockableForm)

    // Reads the form's resource; the desktop section is the form's name
    // until the owner names it.
    explicit TToolDockWindow(TComponent* AOwner);
    ~TToolDockWindow() override;

    TNotifyEvent OnDestroyWindowHandle() const noexcept { return onDestroyWindowHandle_; }
    void SetOnDestroyWindowHandle(const TNotifyEvent& Value) noexcept { onDestroyWindowHandle_ = Value; }

    // Shows a floating form; brings a docked one forward through its dock
    // hosts and focuses it.
    void ForceActivate();
    // RegInstance is the caller's variable that holds the form: the desktop
    // finds, stores and clears the form through it.
    static void RegisterForm(TToolDockWindow*& RegInstance, const String& WindowName);
    static void UnRegisterForm(TToolDockWindow*& RegInstance);

    void UpdateHandleControl();
    bool IsHandleChanged();

protected:
    void DestroyWindowHandle() override;

private:
    HWND previousHandle_ = nullptr;
    TNotifyEvent onDestroyWindowHandle_;
};
