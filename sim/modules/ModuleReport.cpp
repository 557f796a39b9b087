#include "sim/modules/ModuleReport.h"

#include "interop/Utf.h"

namespace tvx::sim {

namespace {

std::string U8(const std::u16string& s) { return Utf16ToUtf8(s); }

nlohmann::json NotifiersJson(const std::vector<NotifierRecord>& notifiers)
{
    nlohmann::json list = nlohmann::json::array();
    for (const NotifierRecord& n : notifiers) {
        nlohmann::json heard = nlohmann::json::array();
        for (const auto& [what, count] : n.Heard)
            heard.push_back({{"notification", what}, {"count", count}});
        list.push_back({{"index", n.Index}, {"kind", n.Kind}, {"heard", heard}});
    }
    return list;
}

void NotifierLines(std::string& out, const std::vector<NotifierRecord>& notifiers, const std::string& pad)
{
    for (const NotifierRecord& n : notifiers)
        out += pad + NotifierText(n) + "\n";
}

} // namespace

std::string NotifierText(const NotifierRecord& notifier)
{
    std::string text = "notifier " + std::to_string(notifier.Index) + " " + notifier.Kind + ": ";
    if (notifier.Heard.empty())
        return text + "heard nothing";
    text += "heard ";
    for (std::size_t i = 0; i < notifier.Heard.size(); ++i)
        text += (i ? ", " : "") + notifier.Heard[i].first + " x" + std::to_string(notifier.Heard[i].second);
    return text;
}

std::string ModulesText(const ModulesRecord& record, int indent)
{
    const std::string pad(std::size_t(indent), ' ');
    std::string out;
    for (const ModuleStateRecord& m : record.Modules) {
        out += pad + U8(m.FileName) + (m.Modified ? ", modified" : ", saved") +
               (m.FileSystem.empty() ? ", on the disk" : ", file system " + U8(m.FileSystem)) + "\n";
        NotifierLines(out, m.Notifiers, pad + "  ");
        for (const ModuleFileRecord& f : m.Files) {
            out += pad + "  file " + U8(f.FileName) + (f.Modified ? ", modified" : "") + "\n";
            NotifierLines(out, f.Notifiers, pad + "    ");
        }
    }
    if (record.Modules.empty())
        out += pad + "no module is open\n";
    for (const FileSystemRecord& fs : record.FileSystems)
        out += pad + "file system " + std::to_string(fs.Index) + " " + U8(fs.Id) + "\n";
    if (record.EditorServicesNotifiers.empty())
        out += pad + "editor services: no notifiers\n";
    else
        out += pad + "editor services:\n";
    NotifierLines(out, record.EditorServicesNotifiers, pad + "  ");
    return out;
}

nlohmann::json ModulesJson(const ModulesRecord& record)
{
    nlohmann::json modules = nlohmann::json::array();
    for (const ModuleStateRecord& m : record.Modules) {
        nlohmann::json files = nlohmann::json::array();
        for (const ModuleFileRecord& f : m.Files)
            files.push_back(
                {{"fileName", U8(f.FileName)}, {"modified", f.Modified}, {"notifiers", NotifiersJson(f.Notifiers)}});
        modules.push_back({{"fileName", U8(m.FileName)},
                           {"modified", m.Modified},
                           {"fileSystem", U8(m.FileSystem)},
                           {"files", files},
                           {"notifiers", NotifiersJson(m.Notifiers)}});
    }
    nlohmann::json fileSystems = nlohmann::json::array();
    for (const FileSystemRecord& fs : record.FileSystems)
        fileSystems.push_back({{"index", fs.Index}, {"id", U8(fs.Id)}});
    return {{"modules", modules},
            {"fileSystems", fileSystems},
            {"editorServicesNotifiers", NotifiersJson(record.EditorServicesNotifiers)}};
}

} // namespace tvx::sim
