#include "sim/modules/IdeModules.h"

#include "host/vcl/Lists.h"
#include "host/vcl/RtlConsts.h"
#include "sim/SimulatedIde.h"

#include <algorithm>

namespace tvx::sim {

int TSimModuleServices::GetModuleCount() { return modules_ ? modules_->Count() : 0; }

tvx::IntfPtr<IOTAModule> TSimModuleServices::GetModule(int Index)
{
    if (!modules_)
        throw EListError(Format(SListIndexError, Index));
    return &modules_->Module(Index);
}

tvx::IntfPtr<IOTAModule> TSimModuleServices::FindModule(const String& FileName)
{
    return modules_ ? modules_->Find(FileName) : nullptr;
}

tvx::IntfPtr<IOTAModule> TSimModuleServices::CurrentModule()
{
    ModuleViews* views = modules_ ? modules_->Views() : nullptr;
    return views ? views->Current() : nullptr;
}

IdeModules::~IdeModules()
{
    ide_.Services().RemoveService(tvx::IidOf<IOTAModuleServices>);
    ide_.Services().RemoveService(tvx::IidOf<IOTAModuleServices70>);
    if (services_)
        services_->Detach();
    // The editor windows went before; add-ins may still hold modules.
    for (const auto& module : open_)
        module->Detach();
    open_.clear();
}

void IdeModules::Build()
{
    services_ = tvx::IntfPtr<TSimModuleServices>(new TSimModuleServices(*this));
    ide_.Services().AddService<IOTAModuleServices>(services_.get());
    ide_.Services().AddService<IOTAModuleServices70>(services_.get());
    Open(String(kProjectFolder) + u"Unit1.pas", u"Form1");
    Open(String(kProjectFolder) + u"Project1.dpr");
}

TSimModule& IdeModules::Module(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError(Format(SListIndexError, Index));
    return *open_[std::size_t(Index)];
}

TSimModule* IdeModules::Find(std::u16string_view FileName) const noexcept
{
    for (const auto& module : open_)
        if (SameFileName(module->FileName(), FileName))
            return module.get();
    return nullptr;
}

TSimModule& IdeModules::Open(const String& FileName, const String& FormName)
{
    if (TSimModule* open = Find(FileName))
        return *open;
    open_.emplace_back(new TSimModule(*this, FileName, FormName));
    return *open_.back();
}

void IdeModules::Remove(const TSimModule& Module) noexcept
{
    std::erase_if(open_, [&](const auto& module) { return module.get() == &Module; });
}

bool IdeModules::SameFileName(std::u16string_view A, std::u16string_view B) noexcept
{
    auto backslashed = [](std::u16string_view name) {
        String copy(name);
        std::replace(copy.begin(), copy.end(), u'/', u'\\');
        return copy;
    };
    return SameText(backslashed(A), backslashed(B));
}

String IdeModules::ShortName(std::u16string_view FileName)
{
    const std::size_t slash = FileName.find_last_of(u"\\/");
    return String(slash == std::u16string_view::npos ? FileName : FileName.substr(slash + 1));
}

} // namespace tvx::sim
