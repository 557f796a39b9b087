// IOTANotifier: the base of every Open Tools API notifier. The IDE calls
// Destroyed when the notified item goes, and a notifier drops its
// registration there.
#pragma once

#include "host/ide/ToolsAPI.h"

TVX_DECLARE_INTERFACE(IOTANotifier, "{F17A7BCF-E07D-11D1-AB0B-00C04FB16FB3}")

struct IOTANotifier : IUnknown {
    virtual void AfterSave() = 0;
    virtual void BeforeSave() = 0;
    virtual void Destroyed() = 0;
    virtual void Modified() = 0;
};
