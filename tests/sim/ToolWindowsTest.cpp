// The simulated IDE's tool windows and desktop: docking and floating as the
// VCL does them (a new window each time), the desktop's registered form
// fields freed on a desktop change and at shutdown, and the scenario steps.
#include "host/ide/DeskUtil.h"
#include "interop/Bstr.h"
#include "interop/Utf.h"
#include "sim/Report.h"
#include "sim/Scenario.h"
#include "sim/SimulatedIde.h"
#include "tests/support/StartedIdeFixture.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using tvx::sim::DesktopFieldRecord;
using tvx::sim::ScenarioStepResult;
using Outcome = DesktopFieldRecord::Outcome;

bool IsLiveForm(const TCustomForm* form)
{
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (Screen->Forms(i) == form)
            return true;
    return false;
}

// A library object that keeps a desktop form in a field it registers with
// the desktop, as the library's tool dock windows do. The form's OnDestroy
// runs what the test says.
struct FormHolder {
    explicit FormHolder(const std::u16string& name)
    {
        auto* form = new TDockableForm(nullptr);
        form->SetName(name);
        form->SetOnDestroy(MakeEvent<&FormHolder::Destroyed>(this));
        Field = form;
        RegisterFieldAddress(name, &Field);
    }
    ~FormHolder()
    {
        if (UnregisterFieldAddress)
            UnregisterFieldAddress(&Field);
        if (IsLiveForm(Field))
            Field->SetOnDestroy(TNotifyEvent());
    }
    FormHolder(const FormHolder&) = delete;
    FormHolder& operator=(const FormHolder&) = delete;

    void Destroyed(TObject*)
    {
        ++destroyed;
        if (OnDestroy)
            OnDestroy();
    }

    TCustomForm* Field = nullptr;
    std::function<void()> OnDestroy;
    int destroyed = 0;
};

HWND ForeignChild(HWND parent, const char16_t* windowClass)
{
    return CreateWindowExW(0, tvx::AsOleChar(windowClass), nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent,
                           nullptr, nullptr, nullptr);
}

std::string Hwnd(HWND window) { return tvx::sim::WindowHandleText(reinterpret_cast<std::uintptr_t>(window)); }

// As add-ins find the Object Inspector: the first component of Application
// of that class name.
TWinControl* FirstPropertyInspector()
{
    for (int i = 0; i < Application->ComponentCount(); ++i)
        if (Application->Components(i)->ClassName() == u"TPropertyInspector")
            return dynamic_cast<TWinControl*>(Application->Components(i));
    return nullptr;
}

TWinControl* ThreeParentsUp(TWinControl* control)
{
    for (int i = 0; i < 3 && control; ++i)
        control = control->Parent();
    return control;
}

// The simulated IDE started up, its windows made, with its scenario commands.
class ToolWindowsTest : public tvx::test::StartedIdeTest {
protected:
    tvx::sim::IdeToolWindows& Part() { return Ide().ToolWindows(); }
    TDockableForm* Form(const char16_t* name) { return Part().FindToolWindow(name); }
    TPanel* Site(const char16_t* name) { return Part().FindDockSite(name); }
};

// Catches a re-dock that keeps the old window (Windows cannot move a window
// between the desktop and a dock site), a foreign child window that
// survives its parent's destruction, one taken out beforehand that does
// not, and a form docked under another instead of on top.
TEST_F(ToolWindowsTest, DockAndFloatMakeTheWindowAnewAndForeignChildrenGoWithIt)
{
    TDockableForm* form = Form(u"ProjectManagerForm");
    ASSERT_NE(form, nullptr);
    const HWND docked = form->Handle();
    const HWND lost = ForeignChild(docked, u"Static");
    const HWND kept = ForeignChild(docked, u"Edit");
    auto tree = Part().Snapshot().at(0).Window;
    ASSERT_TRUE(tree.has_value());
    ASSERT_EQ(tree->Children.size(), 2u);
    EXPECT_FALSE(tree->Foreign);
    EXPECT_TRUE(tree->Children[0].Foreign && tree->Children[1].Foreign);

    SetParent(kept, nullptr);
    auto output = Step("dock ProjectManagerForm leftdockpanel");
    const HWND left = form->Handle();
    EXPECT_NE(left, docked);
    EXPECT_FALSE(IsWindow(docked));
    EXPECT_FALSE(IsWindow(lost));
    EXPECT_TRUE(IsWindow(kept));
    ASSERT_EQ(output.size(), 2u);
    EXPECT_EQ(output[0],
              "docked ProjectManagerForm in LeftDockPanel, size 200x540: " + Hwnd(docked) + " -> " + Hwnd(left));
    EXPECT_EQ(output[1], "the foreign window " + Hwnd(lost) + " (Static) was destroyed with it");
    EXPECT_EQ(GetWindow(Site(u"LeftDockPanel")->Handle(), GW_CHILD), left) << "the latest docked is on top";
    TDockableForm* structure = Form(u"StructureViewForm");
    Step("dock StructureViewForm LeftDockPanel");
    EXPECT_EQ(GetWindow(Site(u"LeftDockPanel")->Handle(), GW_CHILD), structure->Handle());

    SetParent(kept, left);
    output = Step("float ProjectManager 300 200 320 480");
    const HWND floating = form->Handle();
    EXPECT_TRUE(form->Floating());
    EXPECT_EQ(GetParent(floating), nullptr);
    EXPECT_FALSE(IsWindow(kept));
    RECT r{};
    GetWindowRect(floating, &r);
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}), (std::vector<LONG>{300, 200, 620, 680}));

    Step("dock projectmanager RightDockPanel");
    EXPECT_NE(form->Handle(), floating);
    EXPECT_EQ(GetParent(form->Handle()), Site(u"RightDockPanel")->Handle());
    EXPECT_EQ(form->Width(), 200);
}

// Catches a resize of a docked window that the site's alignment undoes, or
// that moves the site away from the main window's edge, and a resize of a
// floating one that re-creates its window.
TEST_F(ToolWindowsTest, ResizeMovesADockedWindowsSiteAndSizesAFloatingOne)
{
    TDockableForm* form = Form(u"ProjectManagerForm");
    const HWND window = form->Handle();
    EXPECT_EQ(Step("resize-tool-window ProjectManagerForm 260 400").at(0),
              "resized ProjectManagerForm to 260x400 with its dock site RightDockPanel, now at 1020,60: " +
                  Hwnd(window) + ", unchanged");
    EXPECT_EQ(Site(u"RightDockPanel")->Left() + Site(u"RightDockPanel")->Width(), 1280);

    Step("resize-tool-window MessageView 1280 150");
    EXPECT_EQ(Site(u"BottomDockPanel")->Top() + Site(u"BottomDockPanel")->Height(), 800);
    EXPECT_EQ(Form(u"MessageViewForm")->Height(), 150);

    Step("float ProjectManagerForm 10 10 100 100");
    const HWND floating = form->Handle();
    Step("resize-tool-window ProjectManagerForm 333 222");
    EXPECT_EQ(form->Handle(), floating);
    EXPECT_EQ(form->Width(), 333);
    EXPECT_EQ(form->Height(), 222);
}

// Catches a closed window freed or left visible against its OnClose, and a
// show that leaves its hidden dock site hidden or does not focus it.
TEST_F(ToolWindowsTest, CloseDoesWhatOnCloseSaysAndShowBringsTheSiteBack)
{
    EXPECT_EQ(Step("close-tool-window MessageView").at(0).rfind("closed MessageViewForm: hidden", 0), 0u);
    TDockableForm* messages = Form(u"MessageViewForm");
    ASSERT_NE(messages, nullptr);
    EXPECT_FALSE(messages->Visible());

    Site(u"BottomDockPanel")->Hide();
    Step("show-tool-window MessageViewForm");
    EXPECT_TRUE(Site(u"BottomDockPanel")->Visible());
    EXPECT_TRUE(messages->Showing());
    EXPECT_TRUE(messages->Active());
    EXPECT_TRUE(messages->Focused());

    FormHolder package(u"PackageForm");
    struct FreeOnClose {
        void Closing(TObject*, TCloseAction& action) { action = caFree; }
    } handler;
    package.Field->SetOnClose(MakeEvent<&FreeOnClose::Closing>(&handler));
    package.Field->Show();
    EXPECT_EQ(Step("close-tool-window PackageForm").at(0), "closed PackageForm: freed");
    EXPECT_EQ(package.destroyed, 1);
}

// Catches a desktop change that frees a form twice, touches a field its
// owner unregistered during the walk, leaves a field holding a freed form,
// or frees a form whose field was unregistered before its turn.
TEST_F(ToolWindowsTest, DesktopChangeFreesEveryRegisteredFormOnceAndSetsItsFieldNil)
{
    FormHolder plain(u"PlainForm"), selfUnregistering(u"SelfForm"), freesOther(u"FreesOtherForm"),
        freedByOther(u"FreedByOtherForm"), unregistersLater(u"UnregistersLaterForm");
    auto later = std::make_unique<FormHolder>(u"LaterForm");
    TCustomForm* laterForm = later->Field;

    selfUnregistering.OnDestroy = [&] {
        UnregisterFieldAddress(&selfUnregistering.Field);
        selfUnregistering.Field = nullptr;
    };
    // Frees the other form without telling its holder, whose field then
    // holds a freed form.
    freesOther.OnDestroy = [&] { freedByOther.Field->Free(); };
    // Lets go of a field registered after its own, and of its memory.
    unregistersLater.OnDestroy = [&] {
        UnregisterFieldAddress(&later->Field);
        later.reset();
    };

    auto output = Step("change-desktop");
    ASSERT_EQ(output.size(), 11u);
    EXPECT_EQ(output[0], "changed the desktop: freed 8 form(s) of 10 registered field(s)");
    EXPECT_EQ(output[8], "field FreedByOtherForm: held no live form, set to nil");
    EXPECT_EQ(output[10], "field LaterForm: unregistered meanwhile, not touched");
    for (FormHolder* holder : {&plain, &selfUnregistering, &freesOther, &freedByOther, &unregistersLater}) {
        EXPECT_EQ(holder->Field, nullptr);
        EXPECT_EQ(holder->destroyed, 1);
    }
    EXPECT_EQ(Form(u"ProjectManagerForm"), nullptr);
    EXPECT_EQ(Part().Desktop().Count(), 8u) << "the IDE's four fields and four of the library's stay";
    ASSERT_TRUE(IsLiveForm(laterForm));
    laterForm->Free();

    auto results = Run("show-tool-window ProjectManager");
    EXPECT_EQ(results.at(0).Error, "no tool window named ProjectManager");
    EXPECT_EQ(Step("change-desktop").at(0), "changed the desktop: freed 0 form(s) of 8 registered field(s)");
}

// Catches an inspector owned by its form or at another depth (add-ins would
// miss the form), and a View menu item or F11 that does not bring a closed
// Object Inspector back with the focus.
TEST_F(ToolWindowsTest, ObjectInspectorHasTheShapeAddInsFindAndTheViewMenuShowsIt)
{
    TDockableForm* host = Part().ObjectInspector();
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(Form(u"PropertyInspector"), host);
    TWinControl* inspector = FirstPropertyInspector();
    ASSERT_NE(inspector, nullptr);
    EXPECT_EQ(inspector->Owner(), Application);
    EXPECT_EQ(ThreeParentsUp(inspector), host);
    EXPECT_EQ(host->Caption(), u"Object Inspector");
    EXPECT_EQ(host->Parent(), Site(u"LeftDockPanel"));
    EXPECT_TRUE(host->Visible());
    EXPECT_FALSE(host->Active());

    Step("close-tool-window PropertyInspectorForm");
    EXPECT_FALSE(host->Visible());
    auto output = Step("choose ViewsMenu\\ViewObjInspItem");
    EXPECT_EQ(output,
              (std::vector<std::string>{"chose ViewObjInspItem (&Object Inspector)", "the IDE ran ViewObjInspItem"}));
    EXPECT_TRUE(host->Showing());
    EXPECT_TRUE(host->Active());
    EXPECT_TRUE(host->Focused());
    EXPECT_EQ(GetWindow(Site(u"LeftDockPanel")->Handle(), GW_CHILD), host->Handle()) << "on top in its site";

    Step("close-tool-window PropertyInspector");
    Step("key F11");
    EXPECT_TRUE(host->Showing());
    EXPECT_EQ(Ide().MainMenu().Actions().Executed().back(), u"ViewObjInspCommand");
}

// Catches a desktop change that leaves Application listing the freed
// inspector (a dangling pointer for add-ins, a double free at shutdown) and
// a View menu that cannot bring the Object Inspector back afterwards.
TEST_F(ToolWindowsTest, ObjectInspectorFreedByADesktopChangeLeavesNothingDangling)
{
    const int components = Application->ComponentCount();
    Step("change-desktop");
    EXPECT_EQ(Part().ObjectInspector(), nullptr);
    EXPECT_EQ(FirstPropertyInspector(), nullptr);
    EXPECT_EQ(Application->ComponentCount(), components - 1);

    Step("choose ViewsMenu\\ViewObjInspItem");
    TDockableForm* host = Part().ObjectInspector();
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(ThreeParentsUp(FirstPropertyInspector()), host);
    EXPECT_TRUE(host->Active());
    EXPECT_EQ(Part().Desktop().Count(), 4u) << "its field is registered once";
    EXPECT_EQ(Step("change-desktop").at(4), "field PropertyInspectorForm: freed PropertyInspectorForm");
    EXPECT_EQ(FirstPropertyInspector(), nullptr);
}

// Catches a report that drops a form's icon or prints it in another form
// than the masked one, and foreign windows shown without their text,
// visibility or client size, or not marked foreign.
TEST_F(ToolWindowsTest, ReportShowsIconsAndForeignWindowsWithTheirState)
{
    FormHolder package(u"PackageForm");
    package.Field->Show();
    HBITMAP mask = CreateBitmap(16, 16, 1, 1, nullptr);
    ICONINFO info{TRUE, 0, 0, mask, nullptr};
    package.Field->Icon()->SetHandle(CreateIconIndirect(&info));
    DeleteObject(mask);
    char iconText[32];
    std::snprintf(iconText, sizeof iconText, "icon 0x%lX",
                  static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(package.Field->Icon()->Handle())));
    const std::string icon = iconText;
    const HWND shown = ForeignChild(package.Field->Handle(), u"Static");
    SetWindowTextW(shown, tvx::AsOleChar(u"Package view"));
    const HWND hidden =
        CreateWindowExW(0, tvx::AsOleChar(u"Edit"), nullptr, WS_CHILD, 0, 0, 30, 20, shown, nullptr, nullptr, nullptr);

    auto lines = Step("tool-windows");
    const auto has = [&](const std::string& line) { return std::find(lines.begin(), lines.end(), line); };
    EXPECT_NE(has("[ProjectManagerForm] section ProjectManager \"Project Manager\", visible, docked in "
                  "RightDockPanel, size 200x540, no icon"),
              lines.end());
    const auto header =
        std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.starts_with("[PackageForm]"); });
    ASSERT_NE(header, lines.end());
    EXPECT_TRUE(header->ends_with(", " + icon)) << *header;
    EXPECT_NE(has("        " + Hwnd(shown) + " Static, foreign, \"Package view\", visible, client 10x10"), lines.end());
    EXPECT_NE(has("            " + Hwnd(hidden) + " Edit, foreign, \"\", hidden, client 30x20"), lines.end());

    const auto json = tvx::sim::ToolWindowsJson(Part().Snapshot());
    EXPECT_EQ(json.at(0).at("icon"), nullptr);
    EXPECT_EQ(json.back().at("icon"), icon);
    EXPECT_EQ(json.back().at("window").at("children").at(0).at("text"), "Package view");
    FreeAndNil(package.Field);
}

// Catches a click into a tool window that skips OnMouseActivate, sends it
// another hit test, activates against its answer, or touches a form its
// handler freed.
TEST_F(ToolWindowsTest, ActivateToolWindowAsksOnMouseActivate)
{
    struct Answer {
        void Asked(TObject*, TMouseButton button, TShiftState, int, int, int hitTest, TMouseActivate& answer)
        {
            asked.push_back(button == mbLeft && hitTest == HTCLIENT);
            answer = reply;
            if (free)
                free();
        }
        TMouseActivate reply = maNoActivate;
        std::vector<bool> asked;
        std::function<void()> free;
    } handler;
    TDockableForm* form = Form(u"ProjectManagerForm");
    form->SetOnMouseActivate(MakeEvent<&Answer::Asked>(&handler));
    const std::string before = Application->ActiveForm()
                                   ? "the active form is " + tvx::Utf16ToUtf8(Application->ActiveForm()->Name())
                                   : "no form is active";

    EXPECT_EQ(Step("activate-tool-window ProjectManager").at(0),
              "clicked into ProjectManagerForm: MA_NOACTIVATE, not activated; " + before);
    handler.reply = maDefault;
    EXPECT_EQ(Step("activate-tool-window ProjectManager").at(0),
              "clicked into ProjectManagerForm: MA_ACTIVATE, activated; the active form is ProjectManagerForm");
    EXPECT_EQ(handler.asked, (std::vector<bool>{true, true}));

    FormHolder package(u"PackageForm");
    package.Field->Show();
    package.Field->SetOnMouseActivate(MakeEvent<&Answer::Asked>(&handler));
    handler.free = [&] { package.Field->Free(); };
    EXPECT_EQ(Step("activate-tool-window PackageForm").at(0).rfind("PackageForm was freed while it was activated; ", 0),
              0u);
    EXPECT_EQ(package.destroyed, 1);

    Step("close-tool-window MessageView");
    EXPECT_EQ(Run("activate-tool-window MessageView").at(0).Error,
              "cannot click into MessageViewForm: it is not shown");
}

// Catches steps on forms or sites that do not exist, a form that may not
// dock docked anyway, half a float rectangle taken as a whole one, and
// sizes that would overflow a window's bounds.
TEST_F(ToolWindowsTest, StepsRefuseWhatTheUserCannotDo)
{
    Form(u"StructureViewForm")->SetDockable(false);
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"dock NoSuchForm LeftDockPanel", "no tool window named NoSuchForm"},
        {"dock \"\" LeftDockPanel", "no tool window named "},
        {"dock ProjectManagerForm TopDockPanel",
         "no dock site named TopDockPanel (the sites are LeftDockPanel, RightDockPanel, BottomDockPanel)"},
        {"dock StructureView RightDockPanel", "cannot dock StructureViewForm: it is not dockable"},
        {"float ProjectManagerForm 1 2 3", "give all of left top width height, or none"},
        {"float ProjectManagerForm 0 0 40000 10", "the number 40000 is out of range (0 to 32767)"},
        {"resize-tool-window ProjectManagerForm -1 10", "the number -1 is out of range (0 to 32767)"},
        {"close-tool-window Form1", "no tool window named Form1"},
    };
    const HWND before = Form(u"ProjectManagerForm")->Handle();
    for (const auto& [step, error] : refused) {
        SCOPED_TRACE(step);
        auto results = Run(step);
        ASSERT_EQ(results.size(), 1u);
        EXPECT_EQ(results[0].Error, error);
    }
    EXPECT_EQ(Form(u"ProjectManagerForm")->Handle(), before);
    EXPECT_EQ(Form(u"StructureViewForm")->Parent(), Site(u"LeftDockPanel"));
}

// Catches the IDE freeing its dock sites or tool windows a second time
// after someone else freed them, or still offering a site that is gone.
TEST_F(ToolWindowsTest, SitesAndFormsFreedElsewhereAreForgotten)
{
    Site(u"BottomDockPanel")->Free();
    EXPECT_EQ(Form(u"MessageViewForm"), nullptr) << "a docked form goes with its site";
    EXPECT_EQ(Run("dock ProjectManagerForm BottomDockPanel").at(0).Error,
              "no dock site named BottomDockPanel (the sites are LeftDockPanel, RightDockPanel)");
    Form(u"StructureViewForm")->Free();

    auto output = Step("change-desktop");
    EXPECT_EQ(output, (std::vector<std::string>{"changed the desktop: freed 2 form(s) of 4 registered field(s)",
                                                "field ProjectManagerForm: freed ProjectManagerForm",
                                                "field StructureViewForm: empty", "field MessageViewForm: empty",
                                                "field PropertyInspectorForm: freed PropertyInspectorForm"}));
}

// Catches shutdown freeing the desktop's forms after the packages are gone
// (or not at all), a report snapshot taken after they went, and procedure
// variables or form classes left behind for the next IDE.
TEST(ToolWindowsShutdown, FreesDesktopFormsBeforeThePartGoesAndClearsTheDesktop)
{
    tvx::win32::ResetRecorder();
    const int formsBefore = Screen->FormCount();
    tvx::sim::Report report;
    {
        tvx::sim::SimulatedIde ide;
        ide.AfterWizardEntry();
        FormHolder package(u"PackageForm");
        EXPECT_EQ(DesktopFormClasses().size(), 4u);

        ide.BeforeShutdown();
        EXPECT_EQ(package.destroyed, 1);
        EXPECT_EQ(package.Field, nullptr);
        EXPECT_TRUE(DesktopFormClasses().empty());
        // The library's terminate routine still lets go of its fields.
        ASSERT_NE(UnregisterFieldAddress, nullptr);
        UnregisterFieldAddress(&package.Field);
        ide.AfterWizardTerminate();
        ide.AddToReport(report);
    }
    EXPECT_EQ(RegisterFieldAddress, nullptr);
    EXPECT_EQ(UnregisterFieldAddress, nullptr);
    EXPECT_EQ(Screen->FormCount(), formsBefore);
    ASSERT_EQ(report.ToolWindows.size(), 5u);
    EXPECT_EQ(report.ToolWindows[4].Name, u"PackageForm");
    EXPECT_EQ(report.ToolWindows[0].DockSite, u"RightDockPanel");
    ASSERT_EQ(report.DesktopFreedAtShutdown.size(), 5u);
    for (const DesktopFieldRecord& field : report.DesktopFreedAtShutdown)
        EXPECT_EQ(field.What, Outcome::Freed) << tvx::sim::DesktopFieldText(field);
    EXPECT_NE(report.ToText().find("\nTool windows at shutdown:\n  [ProjectManagerForm] section ProjectManager "
                                   "\"Project Manager\", visible, docked in RightDockPanel, size 200x540, no icon\n"),
              std::string::npos);

    // Without a shutdown, the IDE's own forms go with the part.
    {
        tvx::sim::SimulatedIde ide;
    }
    EXPECT_EQ(Screen->FormCount(), formsBefore);
}

} // namespace
