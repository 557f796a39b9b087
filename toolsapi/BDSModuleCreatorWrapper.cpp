#include "toolsapi/BDSModuleCreatorWrapper.h"

#include "toolsapi/ToolsApiCalls.h"

#include <bit>
#include <cstdint>

namespace talvix {

namespace {

// A file the package made, for the host; null (or an object that is no
// file) lets the IDE write the file itself.
template <class Call>
tvx::IntfPtr<IOTAFile> FileFromPackage(Call&& call)
{
    return AskPackage<tvx::IntfPtr<IOTAFile>>([&]() -> tvx::IntfPtr<IOTAFile> {
        tvx::IntfPtr<IBDSFile> file;
        call(file.put());
        if (!PackageAs<IBDSFile>(file.get()))
            return nullptr;
        return tvx::IntfPtr<IOTAFile>(new TBDSFileWrapper(file.get()));
    });
}

} // namespace

// --- TBDSFileWrapper --------------------------------------------------------

TBDSFileWrapper::TBDSFileWrapper(IUnknown* File) : s(tvx::IntfPtr<IUnknown>(File).as<IBDSFile>()) {}

String TBDSFileWrapper::GetSource()
{
    return AskPackage<String>([&] { return PackageText(s->GetSource()); });
}

// The package hands over the double's bits in an integer register.
TDateTime TBDSFileWrapper::GetAge()
{
    return AskPackage<TDateTime>([&] { return std::bit_cast<TDateTime>(s->GetAge()); });
}

// --- TBDSModuleCreatorWrapper -----------------------------------------------

TBDSModuleCreatorWrapper::TBDSModuleCreatorWrapper(IUnknown* Creator)
    : s(tvx::IntfPtr<IUnknown>(Creator).as<IBDSModuleCreator>())
{}

String TBDSModuleCreatorWrapper::GetCreatorType()
{
    return AskPackage<String>([&] { return PackageText(s->GetCreatorType()); });
}

bool TBDSModuleCreatorWrapper::GetExisting()
{
    return AskPackage<bool>([&] { return FromLongBool(s->GetExisting()); });
}

String TBDSModuleCreatorWrapper::GetFileSystem()
{
    return AskPackage<String>([&] { return PackageText(s->GetFileSystem()); });
}

// Projects are not mirrored, so no package object can name one: whatever
// the package answers is let go of.
tvx::IntfPtr<IOTAModule> TBDSModuleCreatorWrapper::GetOwner()
{
    tvx::CallIntoPackage([&] {
        tvx::IntfPtr<IUnknown> owner;
        return s->GetOwner(owner.put());
    });
    return nullptr;
}

bool TBDSModuleCreatorWrapper::GetUnnamed()
{
    return AskPackage<bool>([&] { return FromLongBool(s->GetUnnamed()); });
}

String TBDSModuleCreatorWrapper::GetAncestorName()
{
    return AskPackage<String>([&] { return PackageText(s->GetAncestorName()); });
}

String TBDSModuleCreatorWrapper::GetImplFileName()
{
    return AskPackage<String>([&] { return PackageText(s->GetImplFileName()); });
}

String TBDSModuleCreatorWrapper::GetIntfFileName()
{
    return AskPackage<String>([&] { return PackageText(s->GetIntfFileName()); });
}

String TBDSModuleCreatorWrapper::GetFormName()
{
    return AskPackage<String>([&] { return PackageText(s->GetFormName()); });
}

bool TBDSModuleCreatorWrapper::GetMainForm()
{
    return AskPackage<bool>([&] { return FromLongBool(s->GetMainForm()); });
}

bool TBDSModuleCreatorWrapper::GetShowForm()
{
    return AskPackage<bool>([&] { return FromLongBool(s->GetShowForm()); });
}

bool TBDSModuleCreatorWrapper::GetShowSource()
{
    return AskPackage<bool>([&] { return FromLongBool(s->GetShowSource()); });
}

tvx::IntfPtr<IOTAFile> TBDSModuleCreatorWrapper::NewFormFile(const String& FormIdent, const String& AncestorIdent)
{
    return FileFromPackage(
        [&](IBDSFile** file) { s->NewFormFile(tvx::Bstr(FormIdent).get(), tvx::Bstr(AncestorIdent).get(), file); });
}

tvx::IntfPtr<IOTAFile> TBDSModuleCreatorWrapper::NewImplSource(const String& ModuleIdent, const String& FormIdent,
                                                               const String& AncestorIdent)
{
    return FileFromPackage([&](IBDSFile** file) {
        s->NewImplSource(tvx::Bstr(ModuleIdent).get(), tvx::Bstr(FormIdent).get(), tvx::Bstr(AncestorIdent).get(),
                         file);
    });
}

tvx::IntfPtr<IOTAFile> TBDSModuleCreatorWrapper::NewIntfSource(const String& ModuleIdent, const String& FormIdent,
                                                               const String& AncestorIdent)
{
    return FileFromPackage([&](IBDSFile** file) {
        s->NewIntfSource(tvx::Bstr(ModuleIdent).get(), tvx::Bstr(FormIdent).get(), tvx::Bstr(AncestorIdent).get(),
                         file);
    });
}

// The form's designer is a host object, which never reaches a package.
void TBDSModuleCreatorWrapper::FormCreated(IOTAFormEditor*)
{
    tvx::CallIntoPackage([&] { return s->FormCreated(nullptr); });
}

} // namespace talvix
