#include "sim/modules/SimModule.h"

#include "host/vcl/Lists.h"
#include "host/vcl/RtlConsts.h"
#include "sim/modules/IdeModules.h"

namespace tvx::sim {

namespace {

[[noreturn]] void RaiseIndexError(int Index) { throw EListError(Format(SListIndexError, Index)); }

std::string EditorLabel(const String& fileName) { return Utf16ToUtf8(IdeModules::ShortName(fileName)) + " editor"; }

} // namespace

String WithExtension(const String& FileName, std::u16string_view Extension)
{
    const std::size_t dot = FileName.find_last_of(u'.');
    const std::size_t slash = FileName.find_last_of(u"\\/");
    const bool hasExtension = dot != String::npos && (slash == String::npos || dot > slash);
    return (hasExtension ? FileName.substr(0, dot) : FileName) + String(Extension);
}

ModuleFile::ModuleFile(TSimModule& Module, String FileName, String Source)
    : module_(&Module), fileName_(std::move(FileName)), source_(std::move(Source)), notifiers_(EditorLabel(fileName_))
{}

void ModuleFile::Rename(String FileName)
{
    fileName_ = std::move(FileName);
    notifiers_.SetOwner(EditorLabel(fileName_));
}

void ModuleFile::MarkFileModified()
{
    if (!module_)
        return;
    modified_ = true;
    // The windows' painting and the notifiers reach add-ins, which may
    // close the module.
    tvx::IntfPtr<TSimModule> module(module_);
    module->FileModified(*this);
}

void ModuleFile::ShowFile()
{
    tvx::IntfPtr<TSimModule> module(module_);
    if (module && module->Views())
        module->Views()->Show(*module);
}

tvx::IntfPtr<IOTAModule> ModuleFile::ModuleIfOpen() const { return module_; }

int TSimSourceEditor::GetEditViewCount()
{
    TSimModule* module = OpenModule();
    return module && module->Views() ? module->Views()->ViewCount(*module) : 0;
}

tvx::IntfPtr<IOTAEditView> TSimSourceEditor::GetEditView(int Index)
{
    TSimModule* module = OpenModule();
    if (!module || !module->Views())
        RaiseIndexError(Index);
    return module->Views()->View(*module, Index);
}

TSimModule::TSimModule(IdeModules& Owner, ModuleContent Content)
    : owner_(&Owner), fileName_(std::move(Content.FileName)), formName_(std::move(Content.FormName)),
      fileSystem_(std::move(Content.FileSystem)), ownerModule_(std::move(Content.OwnerModule)),
      notifiers_(Utf16ToUtf8(IdeModules::ShortName(fileName_)))
{
    auto* source = new TSimSourceEditor(*this, fileName_, std::move(Content.Source));
    AddFile(source, source);
    if (!Content.IntfFileName.empty()) {
        auto* intf = new TSimSourceEditor(*this, std::move(Content.IntfFileName), std::move(Content.IntfSource));
        AddFile(intf, intf);
    }
    if (!formName_.empty()) {
        auto* form = new TSimFormEditor(*this, WithExtension(fileName_, u".dfm"), std::move(Content.FormSource));
        formEditor_ = form;
        AddFile(form, form);
    }
    if (Content.Modified)
        for (File& file : files_)
            file.Content->SetModified(true);
}

TSimModule::~TSimModule() { Detach(); }

void TSimModule::AddFile(tvx::IntfPtr<IOTAEditor> Editor, ModuleFile* Content)
{
    files_.push_back(File{std::move(Editor), Content});
}

String TSimModule::GetFileName() { return state_ == State::Closed ? String() : fileName_; }

void TSimModule::SetFileName(const String& AFileName)
{
    if (IsOpen() && owner_)
        owner_->Rename(*this, AFileName);
}

void TSimModule::SetFileSystem(const String& AFileSystem)
{
    if (IsOpen())
        fileSystem_ = AFileSystem;
}

int TSimModule::GetModuleFileCount() { return state_ == State::Closed ? 0 : int(files_.size()); }

tvx::IntfPtr<IOTAEditor> TSimModule::GetModuleFileEditor(int Index)
{
    if (Index < 0 || Index >= GetModuleFileCount())
        RaiseIndexError(Index);
    return files_[std::size_t(Index)].Editor;
}

int TSimModule::AddNotifier(IOTAModuleNotifier* ANotifier)
{
    // A closed module would never tell it Destroyed.
    return IsOpen() ? notifiers_.Add(ANotifier) : -1;
}

bool TSimModule::Save(bool, bool ForceSave)
{
    if (!IsOpen() || !owner_)
        return false;
    return owner_->SaveModule(*this, ForceSave);
}

bool TSimModule::Close()
{
    if (state_ != State::Open)
        return false;
    // The windows' handlers may let go of the last reference meanwhile.
    tvx::IntfPtr<TSimModule> self(this);
    state_ = State::Closing;
    if (ModuleViews* views = Views())
        views->Closing(*this);
    NotifierJournal* journal = Journal();
    if (owner_)
        owner_->Remove(*this);
    for (File& file : files_)
        file.Content->Notifiers().DestroyAll(journal);
    notifiers_.DestroyAll(journal);
    Detach();
    return true;
}

tvx::IntfPtr<IOTAEditor> TSimModule::GetCurrentEditor()
{
    return IsOpen() && current_ < files_.size() ? files_[current_].Editor : nullptr;
}

tvx::IntfPtr<IOTAModule> TSimModule::GetOwnerModule(int Index)
{
    if (Index < 0 || Index >= GetOwnerModuleCount())
        RaiseIndexError(Index);
    return ownerModule_;
}

void TSimModule::MarkModified()
{
    if (IsOpen())
        files_.front().Editor->MarkModified();
}

void TSimModule::Show()
{
    tvx::IntfPtr<TSimModule> self(this);
    if (IsOpen() && Views())
        Views()->Show(*this);
}

void TSimModule::ShowFilename(const String& FileName)
{
    for (std::size_t i = 0; i < files_.size(); ++i)
        if (IdeModules::SameFileName(files_[i].Content->FileName(), FileName))
            current_ = i;
    Show();
}

bool TSimModule::Modified() const noexcept
{
    for (const File& file : files_)
        if (file.Content->Modified())
            return true;
    return false;
}

std::vector<ModuleFile*> TSimModule::Files() const
{
    std::vector<ModuleFile*> files;
    for (const File& file : files_)
        files.push_back(file.Content);
    return files;
}

void TSimModule::DestroyNotifiers()
{
    NotifierJournal* journal = Journal();
    for (File& file : files_)
        file.Content->Notifiers().DestroyAll(journal);
    notifiers_.DestroyAll(journal);
}

void TSimModule::Detach() noexcept
{
    state_ = State::Closed;
    owner_ = nullptr;
    ownerModule_ = nullptr;
    // The editors stay with the module: an add-in may be inside one of them.
    for (File& file : files_)
        file.Content->Detach();
}

void TSimModule::SetSaved() noexcept
{
    for (File& file : files_)
        file.Content->SetModified(false);
}

void TSimModule::TakeFileName(String FileName)
{
    fileName_ = std::move(FileName);
    notifiers_.SetOwner(Utf16ToUtf8(IdeModules::ShortName(fileName_)));
}

ModuleViews* TSimModule::Views() const noexcept { return owner_ ? owner_->Views() : nullptr; }

NotifierJournal* TSimModule::Journal() const noexcept { return owner_ ? &owner_->Journal() : nullptr; }

void TSimModule::FileModified(ModuleFile& File)
{
    NotifierJournal* journal = Journal();
    const auto modified = [](IOTANotifier* n) {
        n->Modified();
        return std::string();
    };
    notifiers_.Each<IOTANotifier>(journal, "Modified", modified);
    if (IsOpen())
        File.Notifiers().Each<IOTANotifier>(journal, "Modified", modified);
    if (ModuleViews* views = Views())
        views->Modified(*this);
}

} // namespace tvx::sim
