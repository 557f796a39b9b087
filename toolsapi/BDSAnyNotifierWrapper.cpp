#include "toolsapi/BDSAnyNotifierWrapper.h"

#include "host/vcl/SysUtils.h"
#include "toolsapi/ToolsApiCalls.h"

namespace talvix {

namespace {

bool AnswersAnyMirror(IUnknown* notifier) noexcept
{
    return PackageAs<IBDSNotifier>(notifier) || PackageAs<IBDSModuleNotifier>(notifier) ||
           PackageAs<IBDSModuleNotifier80>(notifier) || PackageAs<IBDSModuleNotifier90>(notifier) ||
           PackageAs<IBDSEditorNotifier>(notifier);
}

} // namespace

TBDSAnyNotifierWrapper::TBDSAnyNotifierWrapper(IUnknown* Notifier) : s(Notifier) {}

tvx::IntfPtr<TBDSAnyNotifierWrapper> TBDSAnyNotifierWrapper::Create(IUnknown* Notifier)
{
    if (!Notifier || !AnswersAnyMirror(Notifier))
        throw tvx::HResultError(E_NOINTERFACE, u"The object is no notifier");
    return tvx::IntfPtr<TBDSAnyNotifierWrapper>(new TBDSAnyNotifierWrapper(Notifier));
}

template <class I, class R, class Call>
R TBDSAnyNotifierWrapper::Ask(R fallback, Call&& call) noexcept
{
    return AskPackage<R>(
        [&]() -> R {
            auto notifier = PackageAs<I>(s.get());
            return notifier ? call(notifier.get()) : fallback;
        },
        fallback);
}

template <class I, class Call>
void TBDSAnyNotifierWrapper::Tell(Call&& call) noexcept
{
    Ask<I>(0, [&](I* notifier) {
        call(notifier);
        return 0;
    });
}

// The silent abort comes after the package's interface is let go of, so
// that unwinding through the IDE holds nothing of the package.
void TBDSAnyNotifierWrapper::AfterSave()
{
    if (!Ask<IBDSNotifier>(true, [](IBDSNotifier* n) { return FromLongBool(n->AfterSave()); }))
        Abort();
}

void TBDSAnyNotifierWrapper::BeforeSave()
{
    if (!Ask<IBDSNotifier>(true, [](IBDSNotifier* n) { return FromLongBool(n->BeforeSave()); }))
        Abort();
}

void TBDSAnyNotifierWrapper::Destroyed()
{
    Tell<IBDSNotifier>([](IBDSNotifier* n) { n->Destroyed(); });
}

void TBDSAnyNotifierWrapper::Modified()
{
    Tell<IBDSNotifier>([](IBDSNotifier* n) { n->Modified(); });
}

bool TBDSAnyNotifierWrapper::CheckOverwrite()
{
    return Ask<IBDSModuleNotifier>(true, [](IBDSModuleNotifier* n) { return FromLongBool(n->CheckOverwrite()); });
}

void TBDSAnyNotifierWrapper::ModuleRenamed(const String& NewName)
{
    Tell<IBDSModuleNotifier>([&](IBDSModuleNotifier* n) { n->ModuleRenamed(tvx::Bstr(NewName).get()); });
}

bool TBDSAnyNotifierWrapper::AllowSave()
{
    return Ask<IBDSModuleNotifier80>(true, [](IBDSModuleNotifier80* n) { return FromLongBool(n->AllowSave()); });
}

int TBDSAnyNotifierWrapper::GetOverwriteFileNameCount()
{
    return Ask<IBDSModuleNotifier80>(0, [](IBDSModuleNotifier80* n) { return int(n->GetOverwriteFileNameCount()); });
}

String TBDSAnyNotifierWrapper::GetOverwriteFileName(int Index)
{
    return Ask<IBDSModuleNotifier80>(
        String(), [&](IBDSModuleNotifier80* n) { return PackageText(n->GetOverwriteFileName(Index)); });
}

void TBDSAnyNotifierWrapper::SetSaveFileName(const String& FileName)
{
    Tell<IBDSModuleNotifier80>([&](IBDSModuleNotifier80* n) { n->SetSaveFileName(tvx::Bstr(FileName).get()); });
}

void TBDSAnyNotifierWrapper::BeforeRename(const String& OldFileName, const String& NewFileName)
{
    Tell<IBDSModuleNotifier90>(
        [&](IBDSModuleNotifier90* n) { n->BeforeRename(tvx::Bstr(OldFileName).get(), tvx::Bstr(NewFileName).get()); });
}

void TBDSAnyNotifierWrapper::AfterRename(const String& OldFileName, const String& NewFileName)
{
    Tell<IBDSModuleNotifier90>(
        [&](IBDSModuleNotifier90* n) { n->AfterRename(tvx::Bstr(OldFileName).get(), tvx::Bstr(NewFileName).get()); });
}

// Views are host objects, which never reach a package.
void TBDSAnyNotifierWrapper::ViewNotification(IOTAEditView*, TOperation Operation)
{
    Tell<IBDSEditorNotifier>(
        [&](IBDSEditorNotifier* n) { n->ViewNotification(nullptr, Operation == opInsert ? 0 : 1); });
}

void TBDSAnyNotifierWrapper::ViewActivated(IOTAEditView*)
{
    Tell<IBDSEditorNotifier>([](IBDSEditorNotifier* n) { n->ViewActivated(nullptr); });
}

} // namespace talvix
