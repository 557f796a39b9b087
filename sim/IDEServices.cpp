#include "sim/IDEServices.h"

#include <algorithm>

TIDEServices::TIDEServices() = default;

TIDEServices::~TIDEServices() = default;

void TIDEServices::AddService(REFIID IID, IUnknown* Service)
{
    void* typed = nullptr;
    if (!Supports(Service, IID, &typed))
        throw EIntfCastError(String(SIntfCastError));
    auto held = tvx::IntfPtr<IUnknown>::Attach(static_cast<IUnknown*>(typed));
    RemoveService(IID);
    services_.emplace_back(IID, std::move(held));
}

void TIDEServices::RemoveService(REFIID IID) noexcept
{
    std::erase_if(services_, [&](const auto& entry) { return tvx::IsEqualGuid(entry.first, IID); });
}

void* TIDEServices::QueryExtraInterface(REFIID riid) noexcept
{
    for (const auto& [iid, service] : services_)
        if (tvx::IsEqualGuid(iid, riid))
            return service.get();
    return nullptr;
}

bool TIDEServices::SupportsService(const GUID& Service) { return GetService(Service).get() != nullptr; }

tvx::IntfPtr<IUnknown> TIDEServices::GetService(const GUID& Service)
{
    void* found = nullptr;
    GetService(Service, &found);
    return tvx::IntfPtr<IUnknown>::Attach(static_cast<IUnknown*>(found));
}

bool TIDEServices::GetService(const GUID& Service, void** Svc) { return Supports(this->Identity(), Service, Svc); }
