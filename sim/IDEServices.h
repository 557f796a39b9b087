// The IDE's root services object, which the simulated IDE and tests fill
// with services by interface identifier. A lookup of a service, by
// GetService or by querying the object itself, hands out the registered
// service.
#pragma once

#include "host/ide/ToolsAPI.h"
#include "interop/InterfacedObject.h"

#include <utility>
#include <vector>

class TIDEServices : public tvx::Implements<TIDEServices, IBorlandIDEServices> {
public:
    TIDEServices();
    ~TIDEServices() override;

    // Offers Service under IID, replacing an earlier one. The object is asked
    // for that interface, so lookups hand out the right pointer; an object
    // that lacks it raises EIntfCastError.
    void AddService(REFIID IID, IUnknown* Service);
    template <class I>
    void AddService(I* Service)
    {
        AddService(tvx::IidOf<I>, Service);
    }
    void RemoveService(REFIID IID) noexcept;

    bool SupportsService(const GUID& Service) override;
    tvx::IntfPtr<IUnknown> GetService(const GUID& Service) override;
    bool GetService(const GUID& Service, void** Svc) override;

    void* QueryExtraInterface(REFIID riid) noexcept;

private:
    std::vector<std::pair<GUID, tvx::IntfPtr<IUnknown>>> services_;
};
