// The toolbar stream notifier: the IDE reports to it each toolbar it loads
// from (and saves to) its desktop settings. Registered through
// INTAServices::AddToolbarStreamNotifier.
#pragma once

#include "host/ide/Notifier.h"

class TWinControl;

TVX_DECLARE_INTERFACE(INTAToolbarStreamNotifier, "{A2D9F2F7-815E-4E5B-BD83-2BD4A57A45E1}")

struct INTAToolbarStreamNotifier : IOTANotifier {
    using Base = IOTANotifier;
    using IOTANotifier::AfterSave;
    using IOTANotifier::BeforeSave;
    virtual void AfterSave(TWinControl* Toolbar) = 0;
    virtual void BeforeSave(TWinControl* Toolbar) = 0;
    virtual void ToolbarLoaded(TWinControl* Toolbar) = 0;
};
