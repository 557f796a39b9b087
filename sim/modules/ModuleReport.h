// The modules as the report shows them at shutdown: each module's files,
// file system and notifiers with what each heard, the registered file
// systems, and the editor services' notifiers.
#pragma once

#include "sim/modules/NotifierRegistry.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace tvx::sim {

struct ModuleFileRecord {
    std::u16string FileName;
    bool Modified = false;
    // The editor's own notifiers.
    std::vector<NotifierRecord> Notifiers;
};

struct ModuleStateRecord {
    std::u16string FileName;
    bool Modified = false;
    // Empty for the disk.
    std::u16string FileSystem;
    std::vector<ModuleFileRecord> Files;
    std::vector<NotifierRecord> Notifiers;
};

struct FileSystemRecord {
    int Index = -1;
    std::u16string Id;
};

struct ModulesRecord {
    bool Taken = false;
    std::vector<ModuleStateRecord> Modules;
    std::vector<FileSystemRecord> FileSystems;
    std::vector<NotifierRecord> EditorServicesNotifiers;
};

// "notifier 0 IOTAModuleNotifier90: heard BeforeSave x2, AfterSave x1"
std::string NotifierText(const NotifierRecord& notifier);
std::string ModulesText(const ModulesRecord& record, int indent);
nlohmann::json ModulesJson(const ModulesRecord& record);

} // namespace tvx::sim
