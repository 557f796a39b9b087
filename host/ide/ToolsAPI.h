// The IDE's Open Tools API: its root services object and the lookup of the
// services it offers. Host interfaces use the IDE's own calling convention
// and host types; their identifiers are the IDE's.
#pragma once

#include "host/vcl/IdeApi.h"
#include "host/vcl/Supports.h"
#include "interop/ComBase.h"
#include "interop/Guid.h"
#include "interop/IntfPtr.h"

TVX_DECLARE_INTERFACE(IBorlandIDEServices70, "{7FD1CE92-E053-11D1-AB0B-00C04FB16FB3}")
TVX_DECLARE_INTERFACE(IBorlandIDEServices, "{C9E8E577-B5D8-43F3-BC84-6A734A015732}")

// Service lookup by interface identifier. An IDE that lacks a service
// answers false and null, never an error.
struct IBorlandIDEServices70 : IUnknown {
    virtual bool SupportsService(const GUID& Service) = 0;
    // The service as an IUnknown with one reference, or null.
    virtual tvx::IntfPtr<IUnknown> GetService(const GUID& Service) = 0;
    // Fills Svc with the service's interface (one reference), or null.
    virtual bool GetService(const GUID& Service, void** Svc) = 0;
};

struct IBorlandIDEServices : IBorlandIDEServices70 {
    using Base = IBorlandIDEServices70;
};

// The IDE's root services object; the simulator (or a test) sets it before
// loading the wizard library.
extern TVX_IDE_API IBorlandIDEServices* BorlandIDEServices;
