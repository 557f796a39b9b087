#include "toolsapi/BDSFileSystemWrapper.h"

#include "toolsapi/ToolsApiCalls.h"

namespace talvix {

// --- TBDSFileFilterWrapper --------------------------------------------------

TBDSFileFilterWrapper::TBDSFileFilterWrapper(IUnknown* Filter) : s(tvx::IntfPtr<IUnknown>(Filter).as<IBDSFileFilter>())
{}

tvx::IntfPtr<IStream> TBDSFileFilterWrapper::GetStream(const String& AFileName, IStream* AStream)
{
    return AskPackage<tvx::IntfPtr<IStream>>([&] {
        tvx::IntfPtr<IStream> stream;
        s->GetStream(tvx::Bstr(AFileName).get(), AStream, stream.put());
        return stream;
    });
}

bool TBDSFileFilterWrapper::HandlesStream(const String& AFileName, IStream* AStream)
{
    return AskPackage<bool>([&] { return FromLowByte(s->HandlesStream(tvx::Bstr(AFileName).get(), AStream)); });
}

String TBDSFileFilterWrapper::GetIDString()
{
    return AskPackage<String>([&] { return PackageText(s->GetIDString()); });
}

String TBDSFileFilterWrapper::GetDisplayName()
{
    return AskPackage<String>([&] { return PackageText(s->GetDisplayName()); });
}

// --- TBDSFileSystemWrapper --------------------------------------------------

TBDSFileSystemWrapper::TBDSFileSystemWrapper(IUnknown* FileSystem)
    : s(tvx::IntfPtr<IUnknown>(FileSystem).as<IBDSFileSystem>())
{}

tvx::IntfPtr<IStream> TBDSFileSystemWrapper::GetFileStream(const String& FileName, int Mode)
{
    return AskPackage<tvx::IntfPtr<IStream>>([&] {
        tvx::IntfPtr<IStream> stream;
        s->GetFileStream(tvx::Bstr(FileName).get(), Mode, stream.put());
        return stream;
    });
}

int TBDSFileSystemWrapper::FileAge(const String& FileName)
{
    // -1, the host's "no such file", when the package fails.
    return AskPackage<int>([&] { return int(s->FileAge(tvx::Bstr(FileName).get())); }, -1);
}

bool TBDSFileSystemWrapper::RenameFile(const String& OldName, const String& NewName)
{
    return AskPackage<bool>(
        [&] { return FromLowByte(s->RenameFile(tvx::Bstr(OldName).get(), tvx::Bstr(NewName).get())); });
}

bool TBDSFileSystemWrapper::IsReadonly(const String& FileName)
{
    return AskPackage<bool>([&] { return FromLowByte(s->IsReadonly(tvx::Bstr(FileName).get())); });
}

bool TBDSFileSystemWrapper::IsFileBased()
{
    return AskPackage<bool>([&] { return FromLowByte(s->IsFileBased()); });
}

bool TBDSFileSystemWrapper::DeleteFile(const String& FileName)
{
    return AskPackage<bool>([&] { return FromLowByte(s->DeleteFile(tvx::Bstr(FileName).get())); });
}

bool TBDSFileSystemWrapper::FileExists(const String& FileName)
{
    return AskPackage<bool>([&] { return FromLowByte(s->FileExists(tvx::Bstr(FileName).get())); });
}

String TBDSFileSystemWrapper::GetTempFileName(const String& FileName)
{
    return AskPackage<String>([&] { return PackageText(s->GetTempFileName(tvx::Bstr(FileName).get())); });
}

String TBDSFileSystemWrapper::GetBackupFileName(const String& FileName)
{
    return AskPackage<String>([&] { return PackageText(s->GetBackupFileName(tvx::Bstr(FileName).get())); });
}

String TBDSFileSystemWrapper::GetIDString()
{
    return AskPackage<String>([&] { return PackageText(s->GetIDString()); });
}

tvx::IntfPtr<IOTAFileFilter> TBDSFileSystemWrapper::GetFilter()
{
    return AskPackage<tvx::IntfPtr<IOTAFileFilter>>([&]() -> tvx::IntfPtr<IOTAFileFilter> {
        tvx::IntfPtr<IBDSFileFilter> filter;
        s->GetFilter(filter.put());
        if (!PackageAs<IBDSFileFilter>(filter.get()))
            return nullptr;
        return tvx::IntfPtr<IOTAFileFilter>(new TBDSFileFilterWrapper(filter.get()));
    });
}

} // namespace talvix
