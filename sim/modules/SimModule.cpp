#include "sim/modules/SimModule.h"

#include "host/vcl/Lists.h"
#include "host/vcl/RtlConsts.h"
#include "sim/modules/IdeModules.h"

namespace tvx::sim {

namespace {

[[noreturn]] void RaiseIndexError(int Index) { throw EListError(Format(SListIndexError, Index)); }

// The unit's file name with the form's extension.
String FormFileName(const String& unitFileName)
{
    const std::size_t dot = unitFileName.find_last_of(u'.');
    const std::size_t slash = unitFileName.find_last_of(u"\\/");
    const bool hasExtension = dot != String::npos && (slash == String::npos || dot > slash);
    return (hasExtension ? unitFileName.substr(0, dot) : unitFileName) + u".dfm";
}

} // namespace

void ModuleFile::MarkFileModified()
{
    if (!module_)
        return;
    modified_ = true;
    // The windows' painting reaches add-ins, which may close the module.
    tvx::IntfPtr<TSimModule> module(module_);
    module->FileModified();
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

TSimModule::TSimModule(IdeModules& Owner, String FileName, String FormName)
    : owner_(&Owner), fileName_(std::move(FileName)), formName_(std::move(FormName))
{
    auto* source = new TSimSourceEditor(*this, fileName_);
    files_.push_back(File{source, source});
    if (!formName_.empty()) {
        auto* form = new TSimFormEditor(*this, FormFileName(fileName_));
        files_.push_back(File{form, form});
    }
}

TSimModule::~TSimModule() { Detach(); }

String TSimModule::GetFileName() { return state_ == State::Closed ? String() : fileName_; }

int TSimModule::GetModuleFileCount() { return state_ == State::Closed ? 0 : int(files_.size()); }

tvx::IntfPtr<IOTAEditor> TSimModule::GetModuleFileEditor(int Index)
{
    if (Index < 0 || Index >= GetModuleFileCount())
        RaiseIndexError(Index);
    return files_[std::size_t(Index)].Editor;
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
    if (owner_)
        owner_->Remove(*this);
    Detach();
    return true;
}

bool TSimModule::Modified() const noexcept
{
    for (const File& file : files_)
        if (file.Content->Modified())
            return true;
    return false;
}

void TSimModule::Detach() noexcept
{
    state_ = State::Closed;
    owner_ = nullptr;
    // The editors stay with the module: an add-in may be inside one of them.
    for (File& file : files_)
        file.Content->Detach();
}

ModuleViews* TSimModule::Views() const noexcept { return owner_ ? owner_->Views() : nullptr; }

void TSimModule::FileModified()
{
    if (ModuleViews* views = Views())
        views->Modified(*this);
}

} // namespace tvx::sim
