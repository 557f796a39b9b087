// The simulated IDE's open modules and the module services add-ins look up
// by IOTAModuleServices. The IDE starts with the demo project's unit (and
// its form, the designers' Form1) and its project file open.
#pragma once

#include "host/ide/ToolsAPIServices.h"
#include "interop/InterfacedObject.h"
#include "interop/IntfPtr.h"
#include "sim/IdePart.h"
#include "sim/modules/SimModule.h"

#include <string_view>
#include <vector>

namespace tvx::sim {

class IdeModules;
class SimulatedIde;

// Where the demo project lives; a bare file name opens there.
inline constexpr std::u16string_view kProjectFolder = u"C:\\Projects\\Demo\\";

class TSimModuleServices final : public tvx::Implements<TSimModuleServices, IOTAModuleServices> {
public:
    explicit TSimModuleServices(IdeModules& modules) : modules_(&modules) {}
    int GetModuleCount() override;
    tvx::IntfPtr<IOTAModule> GetModule(int Index) override;
    tvx::IntfPtr<IOTAModule> FindModule(const String& FileName) override;
    tvx::IntfPtr<IOTAModule> CurrentModule() override;
    // Making modules, saving, closing and file systems join with the module flows.
    tvx::IntfPtr<IOTAModule> FindFormModule(const String&) override { return nullptr; }
    bool NewModule() override { return false; }
    tvx::IntfPtr<IOTAModule> CreateModule(IOTACreator*) override { return nullptr; }
    void GetNewModuleAndClassName(const String&, String&, String&, String&) override {}
    bool SaveAll() override { return false; }
    bool CloseAll() override { return false; }
    int AddFileSystem(IOTAFileSystem*) override { return -1; }
    void RemoveFileSystem(int) override {}
    // The modules go before the services do when the IDE closes; add-ins
    // may keep the services longer.
    void Detach() noexcept { modules_ = nullptr; }

private:
    IdeModules* modules_;
};

class IdeModules final : public IdePart {
public:
    explicit IdeModules(SimulatedIde& ide) : ide_(ide) {}
    ~IdeModules() override;

    // Offers the module services and opens the demo project's files.
    void Build() override;

    int Count() const noexcept { return int(open_.size()); }
    // Raises EListError outside 0..Count-1.
    TSimModule& Module(int Index) const;
    // The open module of that full file name (ignoring case, either slash),
    // or null.
    TSimModule* Find(std::u16string_view FileName) const noexcept;
    // The module of that file, opened if it is not; a unit with a form
    // names the form.
    TSimModule& Open(const String& FileName, const String& FormName = String());

    // The editor windows, while they exist.
    ModuleViews* Views() const noexcept { return views_; }
    void SetViews(ModuleViews* Views) noexcept { views_ = Views; }
    // A module closed: it leaves the list.
    void Remove(const TSimModule& Module) noexcept;

    // Windows file names: the case and the kind of slash do not matter.
    static bool SameFileName(std::u16string_view A, std::u16string_view B) noexcept;
    // The name after the last path separator, as a tab shows it.
    static String ShortName(std::u16string_view FileName);

private:
    SimulatedIde& ide_;
    tvx::IntfPtr<TSimModuleServices> services_;
    // In the order they opened.
    std::vector<tvx::IntfPtr<TSimModule>> open_;
    ModuleViews* views_ = nullptr;
};

} // namespace tvx::sim
