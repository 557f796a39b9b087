// The Open Tools API's module and editor services, as far as this system
// reaches them yet: the identifiers add-ins look them up by. Their operations
// join as the code that calls them is built.
#pragma once

#include "interop/ComBase.h"
#include "interop/Guid.h"

TVX_DECLARE_INTERFACE(IOTAModuleServices70, "{F17A7BCD-E07D-11D1-AB0B-00C04FB16FB3}")
TVX_DECLARE_INTERFACE(IOTAModuleServices, "{55A5E848-27FB-4880-8E7C-7F05A9802482}")
TVX_DECLARE_INTERFACE(IOTAEditorServices, "{BE733055-5ED8-45B4-BAB1-19C46C237408}")

struct IOTAModuleServices70 : IUnknown {
    // How many modules the IDE has open.
    virtual int GetModuleCount() = 0;
};

struct IOTAModuleServices : IOTAModuleServices70 {
    using Base = IOTAModuleServices70;
};

struct IOTAEditorServices : IUnknown {};
