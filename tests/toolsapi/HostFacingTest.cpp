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

class Stream final : public tvx::Implements<Stream, IStream> {};

class PackageFileSystem final : public tvx::Implements<PackageFileSystem, IBDSFileSystem, IBDSFileFilter> {
public:
    PWideChar STDMETHODCALLTYPE GetIDString() override { return id; }
    HRESULT STDMETHODCALLTYPE GetFilter(IBDSFileFilter** filter) override { return *filter = this, AddRef(), S_OK; }
    LongBool STDMETHODCALLTYPE IsFileBased() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetFileStream(BSTR, LONG, IStream** out) override { return stream.copy_to(out), S_OK; }
    LONG STDMETHODCALLTYPE FileAge(BSTR) override { return 0x4A21635B; }
    LongBool STDMETHODCALLTYPE RenameFile(BSTR, BSTR) override { return -1; }
    LongBool STDMETHODCALLTYPE IsReadonly(BSTR) override { return 256; }
    LongBool STDMETHODCALLTYPE DeleteFile(BSTR) override { throw std::runtime_error("package bug"); }
    LongBool STDMETHODCALLTYPE FileExists(BSTR) override { return 0x101; }
    PWideChar STDMETHODCALLTYPE GetTempFileName(BSTR) override { return nullptr; }
    PWideChar STDMETHODCALLTYPE GetBackupFileName(BSTR) override { return id; }
    PWideChar STDMETHODCALLTYPE GetDisplayName() override { return id; }
    HRESULT STDMETHODCALLTYPE GetStream(BSTR, IStream* in, IStream** out) override
    {
        return *out = in, in->AddRef(), S_OK;
    }
    LongBool STDMETHODCALLTYPE HandlesStream(BSTR, IStream*) override { return 0x200; }

    OLECHAR id[4] = u"zip";
    IntfPtr<IStream> stream{new Stream()};
};

// Answers only the module notifier mirror.
class ModuleOnlyNotifier final : public tvx::Implements<ModuleOnlyNotifier, IBDSModuleNotifier> {
public:
    LongBool STDMETHODCALLTYPE CheckOverwrite() override { return 0; }
    HRESULT STDMETHODCALLTYPE ModuleRenamed(BSTR name) override { return renamed = tvx::BstrView(name), S_OK; }
    std::u16string renamed;
};

class SaveNotifier final : public tvx::Implements<SaveNotifier, IBDSNotifier, IBDSEditorNotifier> {
public:
    LongBool STDMETHODCALLTYPE AfterSave() override { throw std::runtime_error("package bug"); }
    LongBool STDMETHODCALLTYPE BeforeSave() override { return beforeSave; }
    HRESULT STDMETHODCALLTYPE Destroyed() override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE Modified() override { return ++modified, S_OK; }
    HRESULT STDMETHODCALLTYPE ViewNotification(IUnknown* view, LONG op) override { return seen = {view, op}, S_OK; }
    HRESULT STDMETHODCALLTYPE ViewActivated(IUnknown*) override { return S_OK; }
    LongBool beforeSave = 0;
    int modified = 0;
    std::pair<IUnknown*, LONG> seen{SentinelPointer<IUnknown>(), -1};
};

class EditServicesNotifier final : public tvx::Implements<EditServicesNotifier, IBDSEditServicesNotifier> {
public:
    LongBool STDMETHODCALLTYPE AfterSave() override { return 1; }
    LongBool STDMETHODCALLTYPE BeforeSave() override { return 0; }
    HRESULT STDMETHODCALLTYPE Destroyed() override { throw std::runtime_error("package bug"); }
    HRESULT STDMETHODCALLTYPE Modified() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE WindowShow(IUnknown* w, ByteBool show, ByteBool) override
    {
        return windows.push_back(w), shown = show, S_OK;
    }
    HRESULT STDMETHODCALLTYPE WindowNotification(IUnknown* w, LONG op) override
    {
        return windows.push_back(w), ops.push_back(op), S_OK;
    }
    HRESULT STDMETHODCALLTYPE WindowActivated(IUnknown*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE WindowCommand(IUnknown*, LONG, LONG, ByteBool* handled) override
    {
        return *handled = 1, S_OK;
    }
    HRESULT STDMETHODCALLTYPE EditorViewActivated(IUnknown*, IUnknown*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EditorViewModified(IUnknown*, IUnknown*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DockFormVisibleChanged(IUnknown* w, IUnknown* f) override
    {
        return windows.push_back(w), windows.push_back(f), S_OK;
    }
    HRESULT STDMETHODCALLTYPE DockFormUpdated(IUnknown*, IUnknown*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DockFormRefresh(IUnknown*, IUnknown*) override { return S_OK; }
    std::vector<IUnknown*> windows;
    std::vector<LONG> ops;
    ByteBool shown = 7;
};

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
