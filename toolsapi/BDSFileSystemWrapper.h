// A package's file system, and its stream filter, as the IDE uses them.
// Their booleans count by the low byte only, as the IDE reads them.
#pragma once

#include "host/ide/ToolsAPICreators.h"
#include "interop/InterfacedObject.h"
#include "interop/WrappedToolsAPI.h"

namespace talvix {

class TBDSFileFilterWrapper final : public tvx::Implements<TBDSFileFilterWrapper, IOTAFileFilter> {
public:
    // Raises unless `Filter` answers IBDSFileFilter.
    explicit TBDSFileFilterWrapper(IUnknown* Filter);

    tvx::IntfPtr<IStream> GetStream(const String& AFileName, IStream* AStream) override;
    bool HandlesStream(const String& AFileName, IStream* AStream) override;
    String GetIDString() override;
    String GetDisplayName() override;

private:
    tvx::IntfPtr<IBDSFileFilter> s;
};

class TBDSFileSystemWrapper final : public tvx::Implements<TBDSFileSystemWrapper, IOTAFileSystem> {
public:
    // Raises unless `FileSystem` answers IBDSFileSystem.
    explicit TBDSFileSystemWrapper(IUnknown* FileSystem);

    tvx::IntfPtr<IStream> GetFileStream(const String& FileName, int Mode) override;
    int FileAge(const String& FileName) override;
    bool RenameFile(const String& OldName, const String& NewName) override;
    bool IsReadonly(const String& FileName) override;
    bool IsFileBased() override;
    bool DeleteFile(const String& FileName) override;
    bool FileExists(const String& FileName) override;
    String GetTempFileName(const String& FileName) override;
    String GetBackupFileName(const String& FileName) override;
    String GetIDString() override;

    // The package's stream filter, or null when it has none.
    tvx::IntfPtr<IOTAFileFilter> GetFilter();

private:
    tvx::IntfPtr<IBDSFileSystem> s;
};

} // namespace talvix
