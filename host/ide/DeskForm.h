// The IDE's desktop forms: a form the IDE saves with its desktop layout
// under a section name, and the dockable form its tool windows derive from.
#pragma once

#include "host/vcl/Forms.h"
#include "host/vcl/IdeApi.h"

class TVX_IDE_API TDesktopForm : public TForm {
    TVX_CLASS(TDesktopForm, TForm)
    using TForm::TForm;

    // The section of the desktop file that holds the form's layout.
    const String& DeskSection() const noexcept { return deskSection_; }
    void SetDeskSection(const String& Value) { deskSection_ = Value; }
    // The desktop saves the form's layout with the desktop.
    bool AutoSave() const noexcept { return autoSave_; }
    void SetAutoSave(bool Value) noexcept { autoSave_ = Value; }
    // The layout changed since the desktop last saved it.
    bool SaveStateNecessary() const noexcept { return saveStateNecessary_; }
    void SetSaveStateNecessary(bool Value) noexcept { saveStateNecessary_ = Value; }

private:
    String deskSection_;
    bool autoSave_ = false;
    bool saveStateNecessary_ = false;
};

class TVX_IDE_API TDockableForm : public TDesktopForm {
    TVX_CLASS(TDockableForm, TDesktopForm)
    using TDesktopForm::TDesktopForm;

    // Whether the form may dock into the IDE's dock sites; it floats while
    // it may not.
    bool Dockable() const noexcept { return dockable_; }
    void SetDockable(bool Value) noexcept { dockable_ = Value; }
    // Shows the form where it is: the dock hosts around a docked form are
    // shown with it.
    void ForceShow();

private:
    bool dockable_ = true;
};
