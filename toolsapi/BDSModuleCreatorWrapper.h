// A package's module creator, and the files it hands over, as the IDE asks
// for them.
#pragma once

#include "host/ide/ToolsAPICreators.h"
#include "interop/InterfacedObject.h"
#include "interop/WrappedToolsAPI.h"

namespace talvix {

class TBDSFileWrapper final : public tvx::Implements<TBDSFileWrapper, IOTAFile> {
public:
    // Raises unless `File` answers IBDSFile.
    explicit TBDSFileWrapper(IUnknown* File);

    String GetSource() override;
    TDateTime GetAge() override;

private:
    tvx::IntfPtr<IBDSFile> s;
};

class TBDSModuleCreatorWrapper final : public tvx::Implements<TBDSModuleCreatorWrapper, IOTAModuleCreator> {
public:
    // Raises unless `Creator` answers IBDSModuleCreator.
    explicit TBDSModuleCreatorWrapper(IUnknown* Creator);

    // IOTACreator
    String GetCreatorType() override;
    bool GetExisting() override;
    String GetFileSystem() override;
    tvx::IntfPtr<IOTAModule> GetOwner() override;
    bool GetUnnamed() override;
    // IOTAModuleCreator
    String GetAncestorName() override;
    String GetImplFileName() override;
    String GetIntfFileName() override;
    String GetFormName() override;
    bool GetMainForm() override;
    bool GetShowForm() override;
    bool GetShowSource() override;
    tvx::IntfPtr<IOTAFile> NewFormFile(const String& FormIdent, const String& AncestorIdent) override;
    tvx::IntfPtr<IOTAFile> NewImplSource(const String& ModuleIdent, const String& FormIdent,
                                         const String& AncestorIdent) override;
    tvx::IntfPtr<IOTAFile> NewIntfSource(const String& ModuleIdent, const String& FormIdent,
                                         const String& AncestorIdent) override;
    void FormCreated(IOTAFormEditor* FormEditor) override;

private:
    tvx::IntfPtr<IBDSModuleCreator> s;
};

} // namespace talvix
