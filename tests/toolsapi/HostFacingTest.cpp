// The host interfaces over packages' objects: module creators and their
// files, file systems and filters, module/editor notifiers and editor
// services notifiers, as the IDE calls them.
#include "tests/toolsapi/ToolsApiFakes.h"
#include "toolsapi/BDSAnyNotifierWrapper.h"
#include "toolsapi/BDSEditorServicesWrapper.h"
#include "toolsapi/BDSFileSystemWrapper.h"
#include "toolsapi/BDSModuleCreatorWrapper.h"

#include <bit>
#include <stdexcept>

namespace {

using namespace tvx::test;
using tvx::IntfPtr;

// Catches package text freed or cut, booleans read as only -1, the owner
// kept (or leaked), a null file wrapped, and a host object reaching the package.
TEST(ModuleCreatorWrapper, AnswersTheIdeInHostTerms)
{
    IntfPtr<PackageCreator> package(new PackageCreator());
    IntfPtr<IOTAModuleCreator> creator(new talvix::TBDSModuleCreatorWrapper(package.get()));
    EXPECT_EQ(creator->GetCreatorType(), u"Form");
    EXPECT_EQ(std::u16string(package->type), u"Form");
    EXPECT_EQ(creator->GetFileSystem(), u"");
    EXPECT_TRUE(creator->GetExisting());
    EXPECT_FALSE(creator->GetUnnamed());
    EXPECT_TRUE(creator->GetShowSource());
    EXPECT_EQ(creator->GetAncestorName(), u"") << "a throwing package answers the default";
    EXPECT_EQ(creator->GetOwner(), nullptr);
    EXPECT_REF(package->owner_.get(), 1);
    EXPECT_EQ(creator->NewFormFile(u"Form2", u"TForm"), nullptr);
    EXPECT_EQ(creator->NewIntfSource(u"Unit2", u"Form2", u"TForm"), nullptr);
    IntfPtr<IOTAFile> file = creator->NewImplSource(u"Unit2", u"Form2", u"TForm");
    ASSERT_TRUE(file);
    EXPECT_EQ(package->moduleIdent, u"Unit2");
    EXPECT_EQ(file->GetSource(), u"unit;");
    creator->FormCreated(nullptr);
    EXPECT_EQ(package->formEditor, nullptr);
    file = nullptr;
    creator = nullptr;
    EXPECT_REF(package.get(), 1);
    EXPECT_REF(package->file_.get(), 1);
}

// Catches the age converted as a number instead of taken over bit for bit.
TEST(FileWrapper, AgeIsTheIntegersBitPattern)
{
    IntfPtr<PackageFile> package(new PackageFile());
    IntfPtr<IOTAFile> file(new talvix::TBDSFileWrapper(package.get()));
    EXPECT_EQ(std::bit_cast<std::int64_t>(file->GetAge()), 1);
    EXPECT_GT(file->GetAge(), 0.0);
    EXPECT_LT(file->GetAge(), 1e-300);
    package->age = std::bit_cast<std::int64_t>(40000.0);
    EXPECT_EQ(file->GetAge(), 40000.0);
}

// Catches booleans read from more than the low byte, a stream replaced on
// the way, a throwing package unwinding into the IDE, and the package object
// released more or less than once.
TEST(FileSystemWrapper, LowByteBooleansAndPassedThroughStreams)
{
    IntfPtr<PackageFileSystem> package(new PackageFileSystem());
    {
        IntfPtr<talvix::TBDSFileSystemWrapper> fs(new talvix::TBDSFileSystemWrapper(package->Identity()));
        EXPECT_REF(package->Identity(), 2);
        EXPECT_FALSE(fs->IsReadonly(u"a"));
        EXPECT_TRUE(fs->FileExists(u"a"));
        EXPECT_TRUE(fs->RenameFile(u"a", u"b"));
        EXPECT_TRUE(fs->IsFileBased());
        EXPECT_FALSE(fs->DeleteFile(u"a"));
        EXPECT_EQ(fs->FileAge(u"a"), 0x4A21635B);
        EXPECT_EQ(fs->GetIDString(), u"zip");
        EXPECT_EQ(fs->GetTempFileName(u"a"), u"");
        EXPECT_EQ(fs->GetFileStream(u"a", 0).get(), package->stream.get());
        IntfPtr<IOTAFileFilter> filter = fs->GetFilter();
        ASSERT_TRUE(filter);
        EXPECT_FALSE(filter->HandlesStream(u"a", nullptr));
        IntfPtr<Stream> in(new Stream());
        EXPECT_EQ(filter->GetStream(u"a", in.get()).get(), static_cast<IStream*>(in.get()));
        EXPECT_EQ(filter->GetDisplayName(), u"zip");
    }
    EXPECT_REF(package->Identity(), 1);
}

// Catches defaults other than the IDE's for interfaces the package lacks, a
// package reference kept past the call, and views reaching the package.
TEST(AnyNotifierWrapper, AsksThePackageAtEachCallAndDefaultsWithoutIt)
{
    IntfPtr<ModuleOnlyNotifier> package(new ModuleOnlyNotifier());
    auto notifier = talvix::TBDSAnyNotifierWrapper::Create(package->Identity());
    EXPECT_TRUE(notifier->AllowSave());
    EXPECT_EQ(notifier->GetOverwriteFileNameCount(), 0);
    EXPECT_EQ(notifier->GetOverwriteFileName(0), u"");
    EXPECT_FALSE(notifier->CheckOverwrite());
    notifier->ModuleRenamed(u"C:\\Unit3.pas");
    EXPECT_EQ(package->renamed, u"C:\\Unit3.pas");
    EXPECT_NO_THROW(notifier->BeforeSave());
    EXPECT_REF(package.get(), 2);
    for (int i = 0; i < 1000; ++i)
        notifier->CheckOverwrite();
    EXPECT_REF(package.get(), 2);
    notifier = nullptr;
    EXPECT_REF(package.get(), 1);

    IntfPtr<SaveNotifier> saving(new SaveNotifier());
    notifier = talvix::TBDSAnyNotifierWrapper::Create(saving->Identity());
    EXPECT_THROW(notifier->BeforeSave(), EAbort);
    EXPECT_REF(saving->Identity(), 2);
    saving->beforeSave = 2;
    EXPECT_NO_THROW(notifier->BeforeSave());
    EXPECT_NO_THROW(notifier->AfterSave()) << "a throwing package neither unwinds nor aborts";
    EXPECT_NO_THROW(notifier->Destroyed());
    for (int i = 0; i < 1000; ++i)
        notifier->Modified();
    EXPECT_EQ(saving->modified, 1000);
    EXPECT_REF(saving->Identity(), 2);
    notifier->ViewNotification(reinterpret_cast<IOTAEditView*>(kSentinel), opRemove);
    EXPECT_EQ(saving->seen, (std::pair<IUnknown*, LONG>{nullptr, 1}));
    EXPECT_THROW(talvix::TBDSAnyNotifierWrapper::Create(IntfPtr<Unrelated>(new Unrelated())->Identity()),
                 tvx::HResultError);
}

// Catches host objects reaching the package, the command's Handled lost,
// operations other than 0/1, and a zero BeforeSave not cancelling.
TEST(EditServicesNotifierWrapper, TranslatesTheIdesCallsForThePackage)
{
    IntfPtr<EditServicesNotifier> package(new EditServicesNotifier());
    IntfPtr<INTAEditServicesNotifier> notifier(new talvix::TBDSEditServicesNotifierWrapper(package->Identity()));
    auto* window = reinterpret_cast<INTAEditWindow*>(kSentinel);
    notifier->WindowShow(window, true, false);
    notifier->WindowNotification(window, opInsert);
    notifier->WindowNotification(window, opRemove);
    notifier->DockFormVisibleChanged(window, reinterpret_cast<TDockableForm*>(kSentinel));
    EXPECT_EQ(package->windows, std::vector<IUnknown*>(5, nullptr));
    EXPECT_EQ(package->shown, 1);
    EXPECT_EQ(package->ops, (std::vector<LONG>{0, 1}));
    bool handled = false;
    notifier->WindowCommand(window, 1, 2, handled);
    EXPECT_TRUE(handled);
    EXPECT_THROW(notifier->BeforeSave(), EAbort);
    EXPECT_NO_THROW(notifier->AfterSave());
    EXPECT_NO_THROW(notifier->Destroyed());
}

} // namespace
