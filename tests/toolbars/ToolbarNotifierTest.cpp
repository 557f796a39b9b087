// The toolbar stream notifier: its registration, the "ToolbarLoaded : "
// lines, and the services-ready sequence from the wizard entry to the IDE's
// first toolbar load.
#include "tests/toolbars/ToolbarFixture.h"

#include "interop/Utf.h"
#include "loader/TalvixLoader.h"
#include "services/TalvixBdsServices.h"
#include "tests/support/HostFixture.h"
#include "tests/support/PackageListRegistry.h"
#include "tests/support/TestPackages.h"

namespace {

using namespace tvx::test;
using tvx::Bstr;
using tvx::IntfPtr;

std::vector<std::u16string> LoadedLines()
{
    std::vector<std::u16string> lines;
    for (auto& line : tvx::win32::DebugStrings())
        if (line.rfind(u"ToolbarLoaded : ", 0) == 0)
            lines.push_back(line);
    return lines;
}

using ToolbarNotifierTest = ToolbarFixture;

// Catches a notifier that is not registered, or reports a toolbar twice,
// misses one, or names it wrongly; a reload reports every toolbar again.
TEST_F(ToolbarNotifierTest, WritesOneLinePerLoadedToolbar)
{
    ASSERT_NE(serviceObject->Notifier(), nullptr);
    EXPECT_GE(serviceObject->Notifier()->Index(), 0);
    EXPECT_EQ(IdeBars().NotifierCount(), 1u);
    IntfPtr<IBdsToolBar> own = AddToolBar(u"PackageToolBar");
    EXPECT_TRUE(LoadedLines().empty());

    EXPECT_EQ(IdeBars().Load(), 4);
    const std::vector<std::u16string> once{u"ToolbarLoaded : StandardToolBar", u"ToolbarLoaded : ViewToolBar",
                                           u"ToolbarLoaded : DebugToolBar", u"ToolbarLoaded : DesktopToolBar"};
    EXPECT_EQ(LoadedLines(), once);

    IdeBars().Load();
    EXPECT_EQ(LoadedLines().size(), 8u);
}

// Catches a notifier that stays registered after the IDE's Destroyed, or
// that the IDE keeps calling.
TEST_F(ToolbarNotifierTest, DestroyedUnregisters)
{
    talvix::TToolBarNotifier* notifier = serviceObject->Notifier();
    IntfPtr<INTAToolbarStreamNotifier> held(notifier);
    IdeBars().ReleaseNotifiers();
    EXPECT_EQ(IdeBars().NotifierCount(), 0u);
    EXPECT_EQ(notifier->Index(), -1);
    EXPECT_REF(notifier, 1);
    IdeBars().Load();
    EXPECT_TRUE(LoadedLines().empty());
}

// Catches a service that cannot start in an IDE without native services
// (the loader's own tests run there), and toolbars made there anyway.
TEST(ToolbarServiceWithoutNativeServices, StartsWithoutItsNotifier)
{
    tvx::win32::ResetRegistry();
    ScopedIdeGlobals ide;
    talvix::TBdsToolBarService* service = talvix::TBdsToolBarService::Create();
    EXPECT_EQ(service->Notifier(), nullptr);
    IntfPtr<IBdsToolBar> toolBar;
    EXPECT_EQ(service->AddToolBar(Bstr(u"T").get(), Bstr(u"T").get(), toolBar.put()), E_FAIL);
    EXPECT_EQ(toolBar.get(), nullptr);
}

// A package that reports its .NET services ready in Initialize, as most
// product packages do, and logs its calls in order.
class EagerPackage final : public tvx::Implements<EagerPackage, IBdsPackage> {
public:
    explicit EagerPackage(std::vector<std::string>& log) : log_(log) {}
    HRESULT STDMETHODCALLTYPE Initialize(IBdsServices* Services) override
    {
        log_.push_back("Initialize");
        return Services->OnDotNetServicesInitialized();
    }
    HRESULT STDMETHODCALLTYPE OnServicesReady() override
    {
        log_.push_back("OnServicesReady after " + std::to_string(LoadedLines().size()) + " load(s)");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Finalize() override
    {
        log_.push_back("Finalize");
        return S_OK;
    }

private:
    std::vector<std::string>& log_;
};

class EagerFactory final : public tvx::Implements<EagerFactory, IClassFactory> {
public:
    explicit EagerFactory(std::vector<std::string>& log) : log_(log) {}
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID riid, void** ppvObject) override
    {
        IntfPtr<IBdsPackage> package(new EagerPackage(log_));
        return package->QueryInterface(riid, ppvObject);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    std::vector<std::string>& log_;
};

using ServicesReadySequenceTest = SimulatedIdeFixture;

// Catches OnServicesReady sent at the entry, sent before the IDE's first
// toolbar load, sent again for later loads, or never sent.
TEST_F(ServicesReadySequenceTest, PackageHearsOnServicesReadyOnceAtTheFirstToolbarLoad)
{
    std::vector<std::string> log;
    const GUID clsid = TestClsid(0x6001);
    ScopedClassObject registration(clsid, IntfPtr<IClassFactory>(new EagerFactory(log)).get());
    ListPackage(tvx::FormatGuidW(clsid), u"Eager", 10);

    TWizardTerminateProc terminate = nullptr;
    ASSERT_TRUE(talvix::InitWizard(Ide().ServicesUnknown(), nullptr, &terminate));
    EXPECT_EQ(log, (std::vector<std::string>{"Initialize"}));

    IntfPtr<IBdsToolBarService> service;
    ASSERT_EQ(talvix::ServicesRoot()->Interface()->Get_BdsToolBarService(service.put()), S_OK);
    ASSERT_NE(service.get(), nullptr);

    IdeBars().Load();
    EXPECT_EQ(log, (std::vector<std::string>{"Initialize", "OnServicesReady after 1 load(s)"}));
    IdeBars().Load();
    EXPECT_EQ(LoadedLines().size(), 8u);
    EXPECT_EQ(log.size(), 2u);

    service = nullptr;
    ASSERT_NE(terminate, nullptr);
    terminate();
    EXPECT_EQ(log.back(), "Finalize");
}

} // namespace
