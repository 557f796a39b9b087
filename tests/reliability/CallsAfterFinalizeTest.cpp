// Packages that keep calling into the services during and after Finalize,
// and after the IDE's own objects have gone: the services root and its
// services live until the process ends, so every call answers as defined.
#include "tests/reliability/ReliabilityFixture.h"

#include "host/vcl/Forms.h"

namespace {

using namespace tvx::test;
using tvx::Bstr;
using tvx::IntfPtr;

// Catches the package table still reported (or its records' references
// handed out) once packages are being finalized, and services that stop
// working, or crash, because the loader has forgotten the root.
TEST_F(ReliabilityTest, CallsDuringAndAfterFinalizeAnswerAsDefined)
{
    auto bad = AddPackage("Late", 1);
    bad->KeepsServicesAfterFinalize = true;
    std::optional<LONG> countAtFinalize;
    bad->Doing(PackageMethod::Finalize, [&](IBdsServices* services) {
        LONG count = -1;
        EXPECT_EQ(services->get_PackagesCount(&count), S_OK);
        countAtFinalize = count;
        // A menu item made while finalizing is the package's like any other.
        bad->Hold("late-item", AddToolsItem(services, u"LateItem", nullptr, MagentaBitmap()));
    });
    Start();
    ExpectWitnessWorks();
    Shutdown();
    EXPECT_EQ(countAtFinalize, 0) << "the package table is emptied before the first Finalize";
    ASSERT_NE(bad->Services, nullptr);
    IBdsServices* services = bad->Services.get();
    EXPECT_EQ(Root(), nullptr) << "the loader has forgotten the root";

    LONG count = -1;
    EXPECT_EQ(services->get_PackagesCount(&count), S_OK);
    EXPECT_EQ(count, 0);
    PackageInfo info{};
    info.Instance = SentinelPointer<IBdsPackage>();
    EXPECT_EQ(services->GetPackageInfo(0, &info), E_INVALIDARG);
    EXPECT_EQ(info.Instance, nullptr);
    LONG major = 0;
    EXPECT_EQ(services->get_BdsVersionMajor(&major), S_OK);
    EXPECT_EQ(major, 8);

    // The menu service still serves the IDE's menu, which is still there.
    ASSERT_NE(Ide().MainMenu().Find(u"ToolsMenu\\LateItem"), nullptr);
    bad->Drop("late-item");
    EXPECT_EQ(Ide().MainMenu().Find(u"ToolsMenu\\LateItem"), nullptr);
    IntfPtr<IBdsMenuItem> item = AddToolsItem(services, u"AfterItem", nullptr, MagentaBitmap());
    ASSERT_NE(item, nullptr);
    item = nullptr;
    EXPECT_EQ(Ide().MainMenu().Find(u"ToolsMenu\\AfterItem"), nullptr);

    // The message hook is gone with the terminate routine: a handler added
    // now never hears a message, and the IDE's own handler is back.
    auto handler = NewHandler("late-handler");
    bad->Hold("handler", handler);
    EXPECT_EQ(services->AddMessageHandler(handler.get()), S_OK);
    EXPECT_EQ(Post(), "dispatched; the IDE's OnMessage handler saw it");
    EXPECT_EQ(Count("late-handler HandleMessage 1024"), 0u);

    // Nothing left to make ready.
    EXPECT_EQ(services->OnDotNetServicesInitialized(), S_OK);
    EXPECT_EQ(Count("OnServicesReady Late"), 1u);

    IntfPtr<IBdsToolBar> bar = AddShownToolBar(services, u"LateToolBar");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(ToolBars(services)->RemoveToolBar(bar.get()), S_OK);
    EXPECT_EQ(Ide().Toolbars().FindToolBar(u"LateToolBar"), nullptr);
}

// Catches IDE events that reach a package after its Finalize: a sink on an
// IDE item the service keeps (navigation), a package submenu navigated to,
// clicks, changes and idle updates of controls the package still holds,
// and a message handler and a drag-and-drop provider it let go of (these
// two called freed objects).
TEST_F(ReliabilityTest, NoIdeEventReachesAPackageAfterItsFinalize)
{
    auto bad = AddPackage("Gone", 1);
    bad->Doing(PackageMethod::Initialize, [&](IBdsServices* services) {
        auto sink = NewSink("gone");
        bad->Hold("sink", sink);
        IntfPtr<IBdsMenuItem> tools, options, sub, child, next;
        MenuBar(services)->GetMenuItem(Bstr(u"ToolsMenu").get(), tools.put());
        ASSERT_EQ(tools->ChildMenuItem(0, options.put()), S_OK);
        EXPECT_EQ(options->RegisterEvents(sink.get()), S_OK);
        sub = AddToolsItem(services, u"GoneMenu", nullptr);
        MenuBar(services)->AddMenuItem(Bstr(u"ToolsMenu\\GoneMenu").get(), kChildItem, Bstr(u"GoneChild").get(),
                                       Bstr(u"Child").get(), nullptr, child.put());
        EXPECT_EQ(child->RegisterEvents(sink.get()), S_OK);
        EXPECT_EQ(child->Get_ParentMenuItem(next.put()), S_OK);
        EXPECT_EQ(next, sub);
        bad->Hold("sub", sub);
        bad->Hold("child", child);
        IntfPtr<IBdsToolBar> bar = AddShownToolBar(services, u"GoneToolBar");
        bad->Hold("button", AddNamedControl(bar.get(), kButton, u"GoneButton", sink.get()));
        bad->Hold("combo", AddNamedControl(bar.get(), kComboBox, u"GoneCombo", sink.get()));
        auto handler = NewHandler("gone-handler");
        bad->Hold("handler", handler);
        services->AddMessageHandler(handler.get());
        IntfPtr<MisbehavingProvider> provider(new MisbehavingProvider("gone-provider", log));
        bad->Hold("provider", provider);
        services->AddDragDropHelper(provider.get());
    });
    // It lets go of all but its controls, which a package may hold longer.
    bad->Doing(PackageMethod::Finalize, [&](IBdsServices*) {
        for (const char* key : {"sink", "sub", "child", "handler", "provider"})
            bad->Drop(key);
    });
    Start();
    Idle();
    ASSERT_EQ(Count("gone OnUpdate"), 2u);
    Shutdown();
    const std::size_t before = log->Entries().size();

    Choose(u"ToolsMenu\\ToolsOptionsItem");
    EXPECT_EQ(Ide().MainMenu().Find(u"ToolsMenu\\GoneMenu"), nullptr) << "navigation kept the package's item";
    ClickButton(u"GoneToolBar", u"GoneButton");
    Ide().Toolbars().Type(u"GoneToolBar", u"GoneCombo", u"x");
    Idle();
    Post();
    Ide().Designers().InsertComponent(u"Form1", u"TButton", u"", 5, 6);
    EXPECT_EQ(std::vector<std::string>(log->Entries().begin() + std::ptrdiff_t(before), log->Entries().end()),
              std::vector<std::string>{});
}

// Catches services that reach for IDE objects freed at shutdown: once the
// IDE has gone, every call fails or finds nothing, and none crashes.
TEST_F(ReliabilityTest, CallsAfterTheIdeHasGoneFailOrFindNothing)
{
    auto bad = AddPackage("Lingering", 1);
    bad->KeepsServicesAfterFinalize = true;
    bad->Doing(PackageMethod::Initialize,
               [&](IBdsServices* services) { bad->Hold("item", AddToolsItem(services, u"LingeringItem", nullptr)); });
    Start();
    Shutdown();
    IntfPtr<IBdsMenuItem> kept = bad->HeldAs<IBdsMenuItem>("item");
    IntfPtr<IBdsServices> services = bad->Services;
    CloseIde();

    Bstr caption;
    EXPECT_EQ(kept->Get_Caption(caption.put()), E_UNEXPECTED) << "its item went with the IDE";
    IntfPtr<IBdsMenuBarService> menuBar = MenuBar(services.get());
    IntfPtr<IBdsMenuItem> item;
    HBITMAP bitmap = MagentaBitmap();
    EXPECT_EQ(menuBar->AddMenuItem(Bstr(u"ToolsMenu").get(), kChildItem, Bstr(u"X").get(), Bstr(u"X").get(), bitmap,
                                   item.put()),
              E_FAIL);
    EXPECT_EQ(item, nullptr);
    EXPECT_EQ(tvx::win32::DeleteCount(bitmap), 1) << "the bitmap is taken over all the same";
    EXPECT_EQ(menuBar->GetMenuItem(Bstr(u"ToolsMenu").get(), item.put()), S_OK);
    EXPECT_EQ(item, nullptr);
    EXPECT_EQ(menuBar->GetFirstMenuItem(item.put()), S_OK);
    EXPECT_EQ(item, nullptr);

    IntfPtr<IBdsToolBarService> toolBars = ToolBars(services.get());
    IntfPtr<IBdsToolBar> bar;
    EXPECT_EQ(toolBars->AddToolBar(Bstr(u"T").get(), Bstr(u"T").get(), bar.put()), E_FAIL);
    EXPECT_EQ(bar, nullptr);
    EXPECT_EQ(toolBars->FindToolBar(Bstr(u"WitnessToolBar").get(), bar.put()), S_OK);
    EXPECT_EQ(bar, nullptr);

    IntfPtr<IBdsHelpService> help;
    ASSERT_EQ(services->Get_BdsHelpService(help.put()), S_OK);
    EXPECT_EQ(help->ShowHelpByKeyword(Bstr(u"TForm").get()), E_UNEXPECTED) << "no application";
    EXPECT_EQ(services->AddSplashInfo(nullptr, nullptr, nullptr, VARIANT_FALSE, nullptr), S_OK);
    EXPECT_EQ(services->AddAboutBoxInfo(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, VARIANT_FALSE,
                                        nullptr),
              E_NOINTERFACE);
    IntfPtr<IUnknown> service;
    EXPECT_EQ(services->GetService(tvx::IidOf<IUnknown>, service.put()), S_OK);
    EXPECT_EQ(service, nullptr);
    // The IDE's actions went with it: no key is one of its shortcuts now.
    VARIANT_BOOL isShortcut = VARIANT_TRUE;
    EXPECT_EQ(services->IsShortcut(0x20000 + 'S', &isShortcut), S_OK);
    EXPECT_EQ(isShortcut, VARIANT_FALSE);
}

// Catches IsShortcut reading an action the IDE has freed while it runs (a
// design package unloading its commands): that key is no shortcut any more,
// and the others still are.
TEST_F(ReliabilityTest, AnActionTheIdeFreesIsNoLongerAShortcut)
{
    auto bad = AddPackage("Keys", 1);
    Start();
    IBdsServices* services = bad->Services.get();
    VARIANT_BOOL isShortcut = VARIANT_FALSE;
    ASSERT_EQ(services->IsShortcut(0x20000 + 'S', &isShortcut), S_OK);
    ASSERT_EQ(isShortcut, VARIANT_TRUE) << "Ctrl+S saves";
    Ide().MainMenu().Actions().Find(u"FileSaveCommand")->Free();
    EXPECT_EQ(services->IsShortcut(0x20000 + 'S', &isShortcut), S_OK);
    EXPECT_EQ(isShortcut, VARIANT_FALSE);
    EXPECT_EQ(services->IsShortcut(0x20000 + 'O', &isShortcut), S_OK);
    EXPECT_EQ(isShortcut, VARIANT_TRUE) << "Ctrl+O still opens";
    ExpectWitnessWorks();
}

// Catches the services made ready while the packages are being finalized:
// the notification then walked into packages already finalized and let go
// of, and reached the others after shutdown had begun.
TEST_F(ReliabilityTest, ReadyAskedForDuringFinalizeReachesNobody)
{
    witnessReadies = false;
    auto first = AddPackage("First", 1);
    auto late = AddPackage("Late", 2);
    late->Doing(PackageMethod::Finalize,
                [](IBdsServices* services) { EXPECT_EQ(services->OnDotNetServicesInitialized(), S_OK); });
    Start();
    EXPECT_EQ(log->Of("OnServicesReady").size(), 0u) << "nobody asked yet";
    Shutdown();
    EXPECT_EQ(log->Of("OnServicesReady").size(), 0u);
    EXPECT_EQ(Count("Finalize First"), 1u);
}

} // namespace
