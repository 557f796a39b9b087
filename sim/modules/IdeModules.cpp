#include "sim/modules/IdeModules.h"

#include "host/vcl/Lists.h"
#include "host/vcl/RtlConsts.h"
#include "sim/Report.h"
#include "sim/SimulatedIde.h"

#include <algorithm>

namespace tvx::sim {

namespace {

std::string U8(const String& s) { return Utf16ToUtf8(s); }

std::string Quoted(const String& s) { return "\"" + U8(s) + "\""; }

constexpr int kMaxOverwriteNames = 256;

// Windows compares file names without case, either slash.
String DiskKey(std::u16string_view fileName)
{
    String key(fileName);
    for (char16_t& c : key) {
        if (c == u'/')
            c = u'\\';
        else if (c >= u'a' && c <= u'z')
            c = char16_t(c - u'a' + u'A');
    }
    return key;
}

String Extension(const String& fileName)
{
    const String shortName = IdeModules::ShortName(fileName);
    const std::size_t dot = shortName.find_last_of(u'.');
    return dot == String::npos ? String() : shortName.substr(dot);
}

String Ident(const String& fileName)
{
    const String shortName = IdeModules::ShortName(fileName);
    return shortName.substr(0, shortName.find_last_of(u'.'));
}

// The IDE's own text for a file nobody handed it.
String Template(const String& fileName, const String& formName)
{
    const String ext = DiskKey(Extension(fileName));
    const String ident = Ident(fileName);
    if (ext == u".DPR")
        return u"program " + ident + u";\n\nuses\n  Forms;\n\nbegin\nend.\n";
    if (ext == u".DFM")
        return u"object " + formName + u": T" + formName + u"\nend\n";
    if (ext != u".PAS")
        return String();
    if (formName.empty())
        return u"unit " + ident + u";\n\ninterface\n\nimplementation\n\nend.\n";
    return u"unit " + ident + u";\n\ninterface\n\nuses\n  Forms;\n\ntype\n  T" + formName +
           u" = class(TForm)\n  end;\n\nvar\n  " + formName + u": T" + formName +
           u";\n\nimplementation\n\n{$R *.dfm}\n\nend.\n";
}

} // namespace

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

tvx::IntfPtr<IOTAModule> TSimModuleServices::FindFormModule(const String& FormName)
{
    return modules_ ? modules_->FindForm(FormName) : nullptr;
}

bool TSimModuleServices::NewModule()
{
    if (!modules_)
        return false;
    modules_->NewUnit();
    return true;
}

tvx::IntfPtr<IOTAModule> TSimModuleServices::CreateModule(IOTACreator* Creator)
{
    if (!modules_ || !Creator)
        return nullptr;
    return modules_->Create(*Creator).get();
}

void TSimModuleServices::GetNewModuleAndClassName(const String& Prefix, String& UnitIdent, String& ClassName,
                                                  String& FileName)
{
    if (!modules_)
        return;
    const NewModuleName name = modules_->NewName(Prefix);
    UnitIdent = name.UnitIdent;
    ClassName = name.ClassName;
    FileName = name.FileName;
}

bool TSimModuleServices::SaveAll() { return modules_ && modules_->SaveAll(); }

bool TSimModuleServices::CloseAll() { return modules_ && modules_->CloseAll(); }

int TSimModuleServices::AddFileSystem(IOTAFileSystem* FileSystem)
{
    return modules_ ? modules_->AddFileSystem(FileSystem) : -1;
}

void TSimModuleServices::RemoveFileSystem(int Index)
{
    if (modules_)
        modules_->RemoveFileSystem(Index);
}

IdeModules::~IdeModules()
{
    ide_.Services().RemoveService(tvx::IidOf<IOTAModuleServices>);
    ide_.Services().RemoveService(tvx::IidOf<IOTAModuleServices70>);
    if (services_)
        services_->Detach();
    // The editor windows went before; add-ins may still hold modules.
    for (const auto& module : open_) {
        module->DestroyNotifiers();
        module->Detach();
    }
    open_.clear();
    ReleaseFileSystems();
}

void IdeModules::Build()
{
    services_ = tvx::IntfPtr<TSimModuleServices>(new TSimModuleServices(*this));
    ide_.Services().AddService<IOTAModuleServices>(services_.get());
    ide_.Services().AddService<IOTAModuleServices70>(services_.get());
    const String unit = String(kProjectFolder) + u"Unit1.pas";
    const String project = String(kProjectFolder) + u"Project1.dpr";
    disk_[DiskKey(unit)] = Template(unit, u"Form1");
    disk_[DiskKey(WithExtension(unit, u".dfm"))] = Template(WithExtension(unit, u".dfm"), u"Form1");
    disk_[DiskKey(project)] = Template(project, String());
    Open(unit, u"Form1");
    Open(project);
}

void IdeModules::BeforeShutdown() { atShutdown_ = Snapshot(); }

void IdeModules::AfterWizardTerminate()
{
    // Copies: a notifier's Destroyed may close modules.
    const std::vector<tvx::IntfPtr<TSimModule>> open = open_;
    for (const auto& module : open)
        module->DestroyNotifiers();
    ReleaseFileSystems();
}

void IdeModules::AddToReport(Report& report) const { report.Modules = atShutdown_; }

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

TSimModule* IdeModules::FindForm(std::u16string_view FormName) const noexcept
{
    if (FormName.empty())
        return nullptr;
    for (const auto& module : open_)
        if (SameText(module->FormName(), String(FormName)))
            return module.get();
    return nullptr;
}

TSimModule& IdeModules::Open(const String& FileName, const String& FormName)
{
    if (TSimModule* open = Find(FileName))
        return *open;
    const String formFile = WithExtension(FileName, u".dfm");
    ModuleContent content{
        FileName, DiskText(FileName).value_or(Template(FileName, FormName)),
        {},       {},
        FormName, FormName.empty() ? String() : DiskText(formFile).value_or(Template(formFile, FormName)),
        {},       nullptr,
        false};
    open_.emplace_back(new TSimModule(*this, std::move(content)));
    return *open_.back();
}

void IdeModules::Remove(const TSimModule& Module) noexcept
{
    std::erase_if(open_, [&](const auto& module) { return module.get() == &Module; });
}

bool IdeModules::SameFileName(std::u16string_view A, std::u16string_view B) noexcept
{
    return DiskKey(A) == DiskKey(B);
}

String IdeModules::ShortName(std::u16string_view FileName)
{
    const std::size_t slash = FileName.find_last_of(u"\\/");
    return String(slash == std::u16string_view::npos ? FileName : FileName.substr(slash + 1));
}

bool IdeModules::SaveModule(TSimModule& Module, bool ForceSave)
{
    tvx::IntfPtr<TSimModule> keep(&Module);
    const std::string name = U8(ShortName(Module.FileName()));
    NotifierJournal* journal = &journal_;
    if (!Module.Modified() && !ForceSave) {
        journal_.Add(name + " is not modified: nothing to save");
        return true;
    }
    auto stopped = [&](const std::string& why) {
        journal_.Add("save of " + name + " stopped: " + why + "; nothing written");
        return false;
    };
    // A notifier may close the module at any point.
    auto gone = [&] { return !Module.IsOpen(); };
    NotifierRegistry& notifiers = Module.Notifiers();
    bool answer = true;
    auto untilFalse = [&answer] { return !answer; };
    NotifyOutcome outcome = notifiers.EachUntil<IOTAModuleNotifier80>(
        journal, "AllowSave", [&](IOTAModuleNotifier80* n) { return Answer(answer = n->AllowSave()); }, untilFalse);
    if (outcome == NotifyOutcome::Aborted)
        return stopped("a notifier aborted AllowSave");
    if (outcome == NotifyOutcome::Stopped)
        return stopped("AllowSave answered false");
    std::vector<String> overwrite;
    notifiers.Each<IOTAModuleNotifier80>(journal, "GetOverwriteFileNameCount", [&](IOTAModuleNotifier80* n) {
        const int count = n->GetOverwriteFileNameCount();
        // A count no add-in means would keep the IDE asking for ever.
        if (count > kMaxOverwriteNames)
            journal_.Add("problem: only the first " + std::to_string(kMaxOverwriteNames) + " overwrite names are read");
        for (int i = 0; i < std::min(count, kMaxOverwriteNames); ++i) {
            overwrite.push_back(n->GetOverwriteFileName(i));
            journal_.Add("  overwrite name " + std::to_string(i) + ": " + U8(overwrite.back()));
        }
        return std::to_string(count);
    });
    outcome = notifiers.EachUntil<IOTAModuleNotifier>(
        journal, "CheckOverwrite", [&](IOTAModuleNotifier* n) { return Answer(answer = n->CheckOverwrite()); },
        untilFalse);
    if (outcome == NotifyOutcome::Aborted)
        return stopped("a notifier aborted CheckOverwrite");
    if (outcome == NotifyOutcome::Stopped)
        return stopped("CheckOverwrite answered false");
    if (notifiers.Each<IOTAModuleNotifier80>(journal, "SetSaveFileName", [&](IOTAModuleNotifier80* n) {
            n->SetSaveFileName(Module.FileName());
            return Quoted(Module.FileName());
        }) == NotifyOutcome::Aborted)
        return stopped("a notifier aborted SetSaveFileName");
    // Everyone who hears of the save: the module's, its editors' and the
    // editor services' notifiers.
    auto tellAll = [&](const std::string& what, void (IOTANotifier::*call)()) {
        const auto tell = [call](IOTANotifier* n) {
            (n->*call)();
            return std::string();
        };
        if (notifiers.Each<IOTANotifier>(journal, what, tell) == NotifyOutcome::Aborted)
            return true;
        for (ModuleFile* file : Module.Files())
            if (file->Notifiers().Each<IOTANotifier>(journal, what, tell) == NotifyOutcome::Aborted)
                return true;
        NotifierRegistry* services = views_ ? views_->ServicesNotifiers() : nullptr;
        return services && services->Each<IOTANotifier>(journal, what, tell) == NotifyOutcome::Aborted;
    };
    if (tellAll("BeforeSave", &IOTANotifier::BeforeSave)) {
        journal_.Add("save of " + name + " cancelled silently; nothing written");
        return false;
    }
    if (gone())
        return stopped("the module closed meanwhile");
    for (ModuleFile* file : Module.Files())
        if (!WriteFile(Module.FileSystemId(), file->FileName(), file->Source())) {
            journal_.Add("save of " + name + " failed; the module stays modified");
            return false;
        }
    if (tellAll("AfterSave", &IOTANotifier::AfterSave))
        journal_.Add("AfterSave was aborted after " + name + " was written: the save stands");
    Module.SetSaved();
    journal_.Add("saved " + U8(Module.FileName()));
    return true;
}

bool IdeModules::SaveAll()
{
    bool all = true;
    const std::vector<tvx::IntfPtr<TSimModule>> open = open_;
    for (const auto& module : open)
        if (module->IsOpen() && module->Modified())
            all = SaveModule(*module, false) && all;
    return all;
}

void IdeModules::Rename(TSimModule& Module, const String& NewFileName)
{
    if (NewFileName.empty())
        throw Exception(u"A module needs a file name");
    const String old = Module.FileName();
    if (SameFileName(old, NewFileName) && old == NewFileName)
        return;
    if (TSimModule* other = Find(NewFileName); other && other != &Module)
        throw Exception(u"A module named " + NewFileName + u" is already open");
    tvx::IntfPtr<TSimModule> keep(&Module);
    NotifierRegistry& notifiers = Module.Notifiers();
    if (notifiers.Each<IOTAModuleNotifier90>(&journal_, "BeforeRename", [&](IOTAModuleNotifier90* n) {
            n->BeforeRename(old, NewFileName);
            return Quoted(old) + " " + Quoted(NewFileName);
        }) == NotifyOutcome::Aborted) {
        journal_.Add("rename of " + U8(ShortName(old)) + " cancelled silently");
        return;
    }
    if (!Module.IsOpen())
        return;
    bool first = true;
    for (ModuleFile* file : Module.Files()) {
        const String from = file->FileName();
        const String to = first ? NewFileName : WithExtension(NewFileName, Extension(from));
        first = false;
        if (FileExists(Module.FileSystemId(), from))
            RenameFile(Module.FileSystemId(), from, to);
        file->Rename(to);
    }
    Module.TakeFileName(NewFileName);
    journal_.Add("renamed " + U8(old) + " to " + U8(NewFileName));
    if (views_)
        views_->Renamed(Module);
    notifiers.Each<IOTAModuleNotifier>(&journal_, "ModuleRenamed", [&](IOTAModuleNotifier* n) {
        n->ModuleRenamed(NewFileName);
        return Quoted(NewFileName);
    });
    notifiers.Each<IOTAModuleNotifier90>(&journal_, "AfterRename", [&](IOTAModuleNotifier90* n) {
        n->AfterRename(old, NewFileName);
        return Quoted(old) + " " + Quoted(NewFileName);
    });
}

bool IdeModules::CloseAll()
{
    const std::vector<tvx::IntfPtr<TSimModule>> open = open_;
    for (const auto& module : open)
        module->Close();
    return open_.empty();
}

NewModuleName IdeModules::NewName(const String& Prefix, std::u16string_view Extension) const
{
    const String prefix = Prefix.empty() ? String(u"Unit") : Prefix;
    for (int n = 1;; ++n) {
        const String number = IntToStr(n);
        NewModuleName name{prefix + number, u"Form" + number, u"TForm" + number,
                           String(kProjectFolder) + prefix + number + String(Extension)};
        if (!Find(name.FileName) && !FindForm(name.FormIdent) && !disk_.contains(DiskKey(name.FileName)))
            return name;
    }
}

TSimModule& IdeModules::NewUnit()
{
    const NewModuleName name = NewName(String());
    ModuleContent content;
    content.FileName = name.FileName;
    content.Source = Template(name.FileName, String());
    content.Modified = true;
    open_.emplace_back(new TSimModule(*this, std::move(content)));
    tvx::IntfPtr<TSimModule> module = open_.back();
    journal_.Add("made " + U8(name.FileName));
    if (views_)
        views_->Show(*module);
    return *module;
}

tvx::IntfPtr<TSimModule> IdeModules::Create(IOTACreator& Creator)
{
    auto asked = [this](const std::string& what, const std::string& answer) {
        journal_.Add("creator " + what + " -> " + answer);
    };
    auto source = [&](const std::string& what, tvx::IntfPtr<IOTAFile> file) -> std::optional<String> {
        if (!file) {
            asked(what, "nil");
            return std::nullopt;
        }
        String text = file->GetSource();
        const TDateTime age = file->GetAge();
        asked(what, "a file of " + std::to_string(text.size()) + " character(s), age " + std::to_string(age));
        return text;
    };
    ModuleContent content;
    const String type = Creator.GetCreatorType();
    asked("GetCreatorType", Quoted(type));
    const bool existing = Creator.GetExisting();
    asked("GetExisting", Answer(existing));
    content.FileSystem = Creator.GetFileSystem();
    asked("GetFileSystem", Quoted(content.FileSystem));
    content.OwnerModule = Creator.GetOwner();
    asked("GetOwner", content.OwnerModule ? Quoted(content.OwnerModule->GetFileName()) : "nil");
    const bool unnamed = Creator.GetUnnamed();
    asked("GetUnnamed", Answer(unnamed));
    content.Modified = !existing;
    bool showSource = true;
    tvx::IntfPtr<IOTAFormEditor> formCreated;
    tvx::IntfPtr<IOTAModuleCreator> creator = tvx::IntfPtr<IOTACreator>(&Creator).try_as<IOTAModuleCreator>();
    if (!creator) {
        content.FileName = NewName(u"File", u".txt").FileName;
    } else {
        const String ancestor = creator->GetAncestorName();
        asked("GetAncestorName", Quoted(ancestor));
        content.FileName = creator->GetImplFileName();
        asked("GetImplFileName", Quoted(content.FileName));
        const NewModuleName fresh = NewName(String());
        // An empty name is the IDE's to choose, whatever GetUnnamed said.
        if (content.FileName.empty())
            content.FileName = fresh.FileName;
        content.IntfFileName = creator->GetIntfFileName();
        asked("GetIntfFileName", Quoted(content.IntfFileName));
        content.FormName = creator->GetFormName();
        asked("GetFormName", Quoted(content.FormName));
        if (content.FormName.empty() && SameText(type, u"Form"))
            content.FormName = fresh.FormIdent;
        asked("GetMainForm", Answer(creator->GetMainForm()));
        asked("GetShowForm", Answer(creator->GetShowForm()));
        showSource = creator->GetShowSource();
        asked("GetShowSource", Answer(showSource));
        const String moduleIdent = Ident(content.FileName);
        const String ancestorIdent = ancestor.empty() && !content.FormName.empty() ? String(u"Form") : ancestor;
        if (existing) {
            content.Source = DiskText(content.FileName).value_or(String());
            content.IntfSource = DiskText(content.IntfFileName).value_or(String());
            content.FormSource = DiskText(WithExtension(content.FileName, u".dfm")).value_or(String());
        } else {
            content.Source =
                source("NewImplSource", creator->NewImplSource(moduleIdent, content.FormName, ancestorIdent))
                    .value_or(Template(content.FileName, content.FormName));
            const std::optional<String> intf =
                source("NewIntfSource", creator->NewIntfSource(moduleIdent, content.FormName, ancestorIdent));
            if (intf && content.IntfFileName.empty())
                content.IntfFileName = WithExtension(content.FileName, u".h");
            content.IntfSource = intf.value_or(String());
            if (!content.FormName.empty())
                content.FormSource = source("NewFormFile", creator->NewFormFile(content.FormName, ancestorIdent))
                                         .value_or(Template(u".dfm", content.FormName));
        }
    }
    if (TSimModule* open = Find(content.FileName)) {
        if (!existing)
            throw Exception(u"A module named " + content.FileName + u" is already open");
        journal_.Add(U8(content.FileName) + " is already open");
        return open;
    }
    open_.emplace_back(new TSimModule(*this, std::move(content)));
    tvx::IntfPtr<TSimModule> module = open_.back();
    journal_.Add("created " + U8(module->FileName()));
    if (showSource && views_)
        views_->Show(*module);
    if (creator && module->IsOpen()) {
        creator->FormCreated(module->FormEditor());
        asked("FormCreated", module->FormEditor() ? "the form editor" : "nil");
    }
    return module;
}

std::optional<String> IdeModules::DiskText(const String& FileName) const
{
    if (auto it = disk_.find(DiskKey(FileName)); it != disk_.end())
        return it->second;
    return std::nullopt;
}

IOTAFileSystem* IdeModules::FileSystemFor(const String& Id)
{
    for (const FileSystemEntry& entry : fileSystems_) {
        tvx::IntfPtr<IOTAFileSystem> fs = entry.FileSystem;
        String id;
        GuardedCall(&journal_, "file system " + std::to_string(entry.Index) + " GetIDString",
                    [&] { id = fs->GetIDString(); });
        if (SameText(id, Id))
            return entry.FileSystem.get();
    }
    journal_.Add("problem: no file system " + U8(Id) + " is registered");
    return nullptr;
}

bool IdeModules::WriteFile(const String& FileSystem, const String& FileName, const String& Text)
{
    if (FileSystem.empty()) {
        disk_[DiskKey(FileName)] = Text;
        journal_.Add("wrote " + U8(FileName) + " (" + std::to_string(Text.size()) + " characters) to the disk");
        return true;
    }
    tvx::IntfPtr<IOTAFileSystem> fs(FileSystemFor(FileSystem));
    if (!fs)
        return false;
    const std::string who = "file system " + U8(FileSystem) + " GetFileStream " + Quoted(FileName) + " fmCreate";
    tvx::IntfPtr<IStream> stream;
    if (GuardedCall(&journal_, who, [&] { stream = fs->GetFileStream(FileName, fmCreate); }) || !stream) {
        journal_.Add("problem: " + who + " gave no stream");
        return false;
    }
    journal_.Add(who + " -> a stream; wrote " + U8(FileName));
    return true;
}

bool IdeModules::FileExists(const String& FileSystem, const String& FileName)
{
    if (FileSystem.empty())
        return disk_.contains(DiskKey(FileName));
    tvx::IntfPtr<IOTAFileSystem> fs(FileSystemFor(FileSystem));
    if (!fs)
        return false;
    bool exists = false;
    const std::string who = "file system " + U8(FileSystem) + " FileExists " + Quoted(FileName);
    if (!GuardedCall(&journal_, who, [&] { exists = fs->FileExists(FileName); }))
        journal_.Add(who + " -> " + Answer(exists));
    return exists;
}

bool IdeModules::RenameFile(const String& FileSystem, const String& OldName, const String& NewName)
{
    if (FileSystem.empty()) {
        auto node = disk_.extract(DiskKey(OldName));
        if (node.empty())
            return false;
        node.key() = DiskKey(NewName);
        disk_.insert_or_assign(node.key(), std::move(node.mapped()));
        return true;
    }
    tvx::IntfPtr<IOTAFileSystem> fs(FileSystemFor(FileSystem));
    if (!fs)
        return false;
    bool renamed = false;
    const std::string who = "file system " + U8(FileSystem) + " RenameFile " + Quoted(OldName) + " " + Quoted(NewName);
    if (!GuardedCall(&journal_, who, [&] { renamed = fs->RenameFile(OldName, NewName); }))
        journal_.Add(who + " -> " + Answer(renamed));
    if (!renamed)
        journal_.Add("problem: " + U8(OldName) + " keeps its name in file system " + U8(FileSystem));
    return renamed;
}

int IdeModules::AddFileSystem(IOTAFileSystem* FileSystem)
{
    if (!FileSystem)
        return -1;
    fileSystems_.push_back(FileSystemEntry{nextFileSystem_, FileSystem});
    return nextFileSystem_++;
}

void IdeModules::RemoveFileSystem(int Index) noexcept
{
    auto it = std::find_if(fileSystems_.begin(), fileSystems_.end(),
                           [Index](const FileSystemEntry& e) { return e.Index == Index; });
    if (it == fileSystems_.end())
        return;
    // Off the list before the release: its destructor may call back.
    tvx::IntfPtr<IOTAFileSystem> going = std::move(it->FileSystem);
    fileSystems_.erase(it);
}

void IdeModules::ReleaseFileSystems() noexcept
{
    std::vector<FileSystemEntry> going = std::move(fileSystems_);
    fileSystems_.clear();
}

ModulesRecord IdeModules::Snapshot() const
{
    ModulesRecord record;
    record.Taken = true;
    for (const auto& module : open_) {
        ModuleStateRecord m{
            module->FileName(), module->Modified(), module->FileSystemId(), {}, module->Notifiers().Records()};
        for (const ModuleFile* file : module->Files())
            m.Files.push_back(ModuleFileRecord{file->FileName(), file->Modified(), file->Notifiers().Records()});
        record.Modules.push_back(std::move(m));
    }
    for (const FileSystemEntry& entry : fileSystems_) {
        String id;
        GuardedCall(nullptr, std::string(), [&] { id = entry.FileSystem->GetIDString(); });
        record.FileSystems.push_back(FileSystemRecord{entry.Index, id});
    }
    if (NotifierRegistry* services = views_ ? views_->ServicesNotifiers() : nullptr)
        record.EditorServicesNotifiers = services->Records();
    return record;
}

} // namespace tvx::sim
