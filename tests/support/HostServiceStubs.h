// The IDE's module services with nothing open, for tests that need the
// service to exist (or to answer a count) and nothing more.
#pragma once

#include "host/ide/ToolsAPIServices.h"
#include "interop/InterfacedObject.h"

namespace tvx::test {

class EmptyModuleServices : public tvx::Implements<EmptyModuleServices, IOTAModuleServices> {
public:
    int GetModuleCount() override { return 0; }
    tvx::IntfPtr<IOTAModule> GetModule(int) override { return nullptr; }
    tvx::IntfPtr<IOTAModule> FindModule(const String&) override { return nullptr; }
    tvx::IntfPtr<IOTAModule> CurrentModule() override { return nullptr; }
    tvx::IntfPtr<IOTAModule> FindFormModule(const String&) override { return nullptr; }
    bool NewModule() override { return false; }
    tvx::IntfPtr<IOTAModule> CreateModule(IOTACreator*) override { return nullptr; }
    void GetNewModuleAndClassName(const String&, String&, String&, String&) override {}
    bool SaveAll() override { return true; }
    bool CloseAll() override { return true; }
    int AddFileSystem(IOTAFileSystem*) override { return -1; }
    void RemoveFileSystem(int) override {}
};

} // namespace tvx::test
