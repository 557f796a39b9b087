// The simulated IDE's editor windows and modules as add-ins reach them: by
// component and class names, published properties and saved handlers, and
// through the Open Tools API objects, also after what they stand for went.
#include "host/vcl/TypInfo.h"
#include "interop/Bstr.h"
#include "sim/Report.h"
#include "sim/Scenario.h"
#include "sim/SimulatedIde.h"
#include "tests/support/StartedIdeFixture.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using tvx::sim::kProjectFolder;
using tvx::sim::ScenarioStepResult;
using tvx::sim::TEditWindow;

// An add-in's frame, as the report looks for it: by its class name.
class TTalvixFrame final : public TWinControl {
    TVX_CLASS(TTalvixFrame, TWinControl)
    using TWinControl::TWinControl;
};
TVX_DEFINE_CLASS(TTalvixFrame)

template <class I>
tvx::IntfPtr<I> Service()
{
    return BorlandIDEServices->GetService(tvx::IidOf<I>).template try_as<I>();
}

String InProject(const char16_t* name) { return String(kProjectFolder) + name; }

HWND ForeignChild(TWinControl* parent, const char16_t* text)
{
    HWND window = CreateWindowExW(0, tvx::AsOleChar(u"Static"), tvx::AsOleChar(text), WS_CHILD | WS_VISIBLE, 0, 0, 10,
                                  10, parent->Handle(), nullptr, nullptr, nullptr);
    return window;
}

std::string Hwnd(HWND window) { return tvx::sim::WindowHandleText(reinterpret_cast<std::uintptr_t>(window)); }

// Handlers an add-in puts on a tab set; OnChange passes on to the IDE's.
// After recording, the image and mouse handlers run `then`.
struct TabSpy {
    void Change(TObject* Sender)
    {
        changes.push_back(GetOrdProp(Sender, u"TabIndex"));
        TNotifyEvent::FromMethod(ideChange)(Sender);
    }
    void Image(TObject*, int Tab, int& Image)
    {
        asked.push_back({Tab, Image});
        Image = 10 + Tab;
        if (then)
            then();
    }
    void MouseDown(TObject* Sender, TMouseButton, TShiftState, int, int)
    {
        selectedWhilePressed.push_back(GetOrdProp(Sender, u"TabIndex"));
        if (then)
            then();
    }
    TMethod ideChange;
    std::vector<int> changes;
    std::vector<std::pair<int, int>> asked;
    std::vector<int> selectedWhilePressed;
    std::function<void()> then;
};

class EditorWindowsTest : public tvx::test::StartedIdeTest {
protected:
    // The window's form as add-ins get it: from the top view's edit window.
    TCustomForm* TopForm()
    {
        auto view = Service<IOTAEditorServices>()->GetTopView();
        return view ? view->GetEditWindow()->GetForm() : nullptr;
    }
    TEditWindow* Window(int n) { return Ide().EditorWindows().Windows().at(std::size_t(n - 1)); }
    static TControl* Part(TComponent* form, const char16_t* name)
    {
        return dynamic_cast<TControl*>(form->FindComponent(name));
    }
    tvx::IntfPtr<IOTAModule> Module(const char16_t* name)
    {
        return Service<IOTAModuleServices>()->FindModule(InProject(name));
    }
    tvx::IntfPtr<IOTASourceEditor> Source(const char16_t* name)
    {
        return Module(name)->GetModuleFileEditor(0).try_as<IOTASourceEditor>();
    }
    tvx::IntfPtr<IOTAEditView> TopView() { return Service<IOTAEditorServices>()->GetTopView(); }
};

// Catches a component tree add-ins cannot walk as they walk the IDE's:
// another order, class name, parent or alignment, a message view without
// its pop-up menu, and tab images shared between windows or missing.
TEST_F(EditorWindowsTest, WindowIsBuiltAsTheIdeBuildsIt)
{
    TCustomForm* form = TopForm();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->ClassName(), u"TEditWindow");
    EXPECT_EQ(form->Name(), u"EditWindow");
    EXPECT_EQ(form->Owner(), Application);
    EXPECT_TRUE(form->Showing());
    EXPECT_EQ((std::vector<int>{form->Left(), form->Top(), form->Width(), form->Height()}),
              (std::vector<int>{200, 60, 880, 540}));
    struct Expected {
        const char16_t *Name, *Class, *Parent;
        TAlign Align;
        int Height;
    };
    const Expected tree[] = {
        {u"TabSet", u"TIDEGradientTabSet", u"EditWindow", alTop, 24},
        {u"MessageViewForm", u"TMessageViewForm", u"EditWindow", alBottom, 100},
        {u"EditorArea", u"TPanel", u"EditWindow", alClient, 416},
        {u"StatusBarPanel", u"TPanel", u"EditorArea", alBottom, 20},
        {u"StatusBar", u"TStatusBar", u"StatusBarPanel", alBottom, -1},
        {u"EditControlPanel", u"TPanel", u"EditorArea", alClient, 396},
        {u"Editor", u"TEditControl", u"EditControlPanel", alClient, 396},
    };
    for (int i = 0; i < int(std::size(tree)); ++i) {
        SCOPED_TRACE(i);
        auto* control = dynamic_cast<TControl*>(form->Components(i));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->Name(), tree[i].Name);
        EXPECT_EQ(control->ClassName(), tree[i].Class);
        EXPECT_EQ(control->Parent()->Name(), tree[i].Parent);
        EXPECT_EQ(control->Align(), tree[i].Align);
        if (tree[i].Height >= 0) {
            EXPECT_EQ(control->Height(), tree[i].Height);
        }
    }
    EXPECT_EQ(form->Components(7)->Name(), u"TabImages");
    EXPECT_EQ(Part(form, u"Editor")->Caption(), InProject(u"Unit1.pas"));
    EXPECT_EQ(TopView()->GetEditWindow()->GetStatusBar(), form->FindComponent(u"StatusBar"));

    auto* menu = dynamic_cast<TPopupMenu*>(GetObjectProp(Part(form, u"MessageViewForm"), u"PopupMenu"));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->Name(), u"MessageViewPopupMenu");
    std::vector<String> captions;
    for (int i = 0; i < menu->Items()->Count(); ++i)
        captions.push_back(menu->Items()->Items(i)->Caption());
    EXPECT_EQ(captions, (std::vector<String>{u"Clear Messages", u"View Editor", u"Copy"}));
    EXPECT_EQ(menu->Items()->Items(1), form->FindComponent(u"ViewEditorItem"));

    auto* images = dynamic_cast<TCustomImageList*>(GetObjectProp(Part(form, u"TabSet"), u"Images"));
    ASSERT_EQ(images, form->FindComponent(u"TabImages"));
    ASSERT_EQ(images->Count(), 4);
    EXPECT_TRUE(images->IsTransparent(3, 15, 0)) << "the overlay leaves the image under it visible";
    EXPECT_FALSE(images->IsTransparent(3, 1, 10));
    Step("new-editor-window");
    EXPECT_NE(Window(2)->FindComponent(u"TabImages"), images);
}

// Catches a published property missing or of another kind, a tab without
// its object, and IDE handlers that work only on their own window's state:
// the saved OnChange, called from outside with the tab set as Sender,
// switches the view, and the top view and current module follow it.
TEST_F(EditorWindowsTest, TabSetPublishesItsStateAndItsSavedHandlersWorkFromOutside)
{
    TControl* tabs = Part(TopForm(), u"TabSet");
    const std::pair<const char16_t*, TTypeKind> published[] = {
        {u"Items", tkClass},        {u"TabIndex", tkInteger},       {u"Images", tkClass},
        {u"OnChange", tkMethod},    {u"OnGetImageIndex", tkMethod}, {u"OnGetOverlayImageIndex", tkMethod},
        {u"OnMouseDown", tkMethod},
    };
    for (const auto& [name, kind] : published) {
        const TPropInfo* info = GetPropInfo(tabs, name);
        ASSERT_NE(info, nullptr) << tvx::Utf16ToUtf8(name);
        EXPECT_EQ(info->Kind, kind) << tvx::Utf16ToUtf8(name);
        EXPECT_TRUE(info->SetProc) << tvx::Utf16ToUtf8(name);
    }
    auto* items = dynamic_cast<TStrings*>(GetObjectProp(tabs, u"Items"));
    ASSERT_NE(items, nullptr);
    ASSERT_EQ(items->Count(), 2);
    EXPECT_EQ(items->Strings(0), u"Unit1.pas");
    EXPECT_EQ(items->Strings(1), u"Project1.dpr");
    EXPECT_EQ(items->Objects(1)->ClassName(), u"TEditorTab");

    const TMethod ideChange = GetMethodProp(tabs, u"OnChange");
    SetMethodProp(tabs, u"OnChange", TMethod{});
    SetOrdProp(tabs, u"TabIndex", 1);
    EXPECT_EQ(Part(TopForm(), u"Editor")->Caption(), InProject(u"Unit1.pas")) << "nobody switched the view";
    TNotifyEvent::FromMethod(ideChange)(tabs);
    EXPECT_EQ(Part(TopForm(), u"Editor")->Caption(), InProject(u"Project1.dpr"));
    EXPECT_EQ(TopView().get(), Source(u"Project1.dpr")->GetEditView(0).get());
    EXPECT_EQ(Service<IOTAModuleServices>()->CurrentModule().get(), Module(u"Project1.dpr").get());
    EXPECT_THROW(SetOrdProp(tabs, u"TabIndex", 2), EInvalidOperation);

    int image = -1;
    TTabGetImageEvent::FromMethod(GetMethodProp(tabs, u"OnGetImageIndex"))(tabs, 1, image);
    EXPECT_EQ(image, TEditWindow::SourceImage);
    image = -1;
    TTabGetImageEvent::FromMethod(GetMethodProp(tabs, u"OnGetOverlayImageIndex"))(tabs, 1, image);
    EXPECT_EQ(image, -1) << "an unmodified file has no overlay";
}

// Catches painting that skips a tab, presets an answer other than -1 or
// records something else than the handlers answered, and the IDE's own
// answers: the image by extension, the overlay while modified.
TEST_F(EditorWindowsTest, PaintingAsksTheHandlersAboutEveryTab)
{
    Step("open-module Unit1.dfm");
    Step("open-module notes.txt");
    EXPECT_EQ(Step("paint-tabs"), (std::vector<std::string>{
                                      "EditWindow tab 0 \"Unit1.pas\": image 0, overlay -1",
                                      "EditWindow tab 1 \"Project1.dpr\": image 0, overlay -1",
                                      "EditWindow tab 2 \"Unit1.dfm\": image 1, overlay -1",
                                      "EditWindow tab 3 \"notes.txt\": image 2, overlay -1, selected",
                                  }));
    EXPECT_EQ(Step("modify-module Unit1.pas"),
              (std::vector<std::string>{"marked C:\\Projects\\Demo\\Unit1.pas modified",
                                        "EditWindow repainted tab 0 \"Unit1.pas\": image 0, overlay 3"}));

    TabSpy spy;
    TControl* tabs = Part(TopForm(), u"TabSet");
    SetMethodProp(tabs, u"OnGetImageIndex", MakeEvent<&TabSpy::Image>(&spy).Method());
    SetMethodProp(tabs, u"OnGetOverlayImageIndex", TMethod{});
    tabs->Refresh();
    EXPECT_EQ(spy.asked, (std::vector<std::pair<int, int>>{{0, -1}, {1, -1}, {2, -1}, {3, -1}}));
    const auto& painted = static_cast<tvx::sim::TIDEGradientTabSet*>(tabs)->Painted();
    ASSERT_EQ(painted.size(), 4u);
    EXPECT_EQ(painted[2].Image, 12);
    EXPECT_EQ(painted[0].Overlay, -1);
}

// Catches a press that selects before OnMouseDown has run, a right press
// that selects, a press outside the tabs that selects one, and a press
// whose handler frees the window touching it afterwards.
TEST_F(EditorWindowsTest, OnMouseDownHearsThePressBeforeTheSelectionMoves)
{
    EXPECT_EQ(Step("press-tab 1 Project1.dpr"),
              (std::vector<std::string>{
                  "EditWindow: pressed the left button at 150,12 over tab 1 \"Project1.dpr\"",
                  "the IDE's OnMouseDown saw the left button at 150,12 over tab 1, tab 0 selected",
                  "EditWindow: tab 1 \"Project1.dpr\" selected, the editor shows C:\\Projects\\Demo\\Project1.dpr"}));
    EXPECT_EQ(Step("press-tab 1 Unit1.pas right").back(),
              "EditWindow: tab 1 \"Project1.dpr\" selected, the editor shows C:\\Projects\\Demo\\Project1.dpr");
    auto* tabs = static_cast<tvx::sim::TIDEGradientTabSet*>(Part(TopForm(), u"TabSet"));
    tabs->MouseDown(mbLeft, {ssLeft}, -1, 5);
    tabs->MouseDown(mbLeft, {ssLeft}, 250, 5);
    EXPECT_EQ(tabs->TabIndex(), 1);

    TabSpy spy;
    TCustomForm* form = TopForm();
    SetMethodProp(tabs, u"OnMouseDown", MakeEvent<&TabSpy::MouseDown>(&spy).Method());
    spy.then = [form] { form->Free(); };
    EXPECT_EQ(Step("press-tab 1 Unit1.pas"),
              (std::vector<std::string>{"EditWindow: pressed the left button at 50,12 over tab 0 \"Unit1.pas\"",
                                        "EditWindow was freed by the press"}));
    EXPECT_EQ(spy.selectedWhilePressed, (std::vector<int>{1}));
    EXPECT_TRUE(Ide().EditorWindows().Windows().empty());
    EXPECT_EQ(TopView().get(), nullptr);
}

// Catches the IDE touching a tab set, a window or a tab list that a handler
// freed or changed while the IDE was painting or closing a module.
TEST_F(EditorWindowsTest, HandlersMayFreeOrCloseWhileTheIdeIsInTheMiddle)
{
    Step("open-module Unit2.pas");
    Step("select-tab 1 Unit1.pas");
    struct Closer {
        void Change(TObject* Sender)
        {
            TNotifyEvent::FromMethod(ideChange)(Sender);
            if (module)
                std::exchange(module, nullptr)->Close();
        }
        TMethod ideChange;
        tvx::IntfPtr<IOTAModule> module;
    } closer{{}, Module(u"Unit2.pas")};
    TControl* tabs = Part(TopForm(), u"TabSet");
    closer.ideChange = GetMethodProp(tabs, u"OnChange");
    SetMethodProp(tabs, u"OnChange", MakeEvent<&Closer::Change>(&closer).Method());
    Step("close-module Unit1.pas");
    auto* items = dynamic_cast<TStrings*>(GetObjectProp(tabs, u"Items"));
    ASSERT_EQ(items->Count(), 1);
    EXPECT_EQ(items->Strings(0), u"Project1.dpr");
    EXPECT_EQ(GetOrdProp(tabs, u"TabIndex"), 0);
    EXPECT_EQ(Part(TopForm(), u"Editor")->Caption(), InProject(u"Project1.dpr"));

    TabSpy spy;
    TCustomForm* form = TopForm();
    spy.then = [form] { form->Free(); };
    SetMethodProp(tabs, u"OnGetImageIndex", MakeEvent<&TabSpy::Image>(&spy).Method());
    EXPECT_EQ(Step("paint-tabs"), (std::vector<std::string>{"EditWindow's tab set was freed while it painted"}));
    EXPECT_TRUE(Ide().EditorWindows().Windows().empty());
}

// Catches a tab an add-in took out of Items leaving the selection past the
// end, still counting as a view, or coming back as a new view (add-ins
// compare views by identity).
TEST_F(EditorWindowsTest, TabsTakenOutOfItemsComeBackWithTheirView)
{
    Step("select-tab 1 Project1.dpr");
    auto view = Source(u"Project1.dpr")->GetEditView(0);
    TControl* tabs = Part(TopForm(), u"TabSet");
    dynamic_cast<TStrings*>(GetObjectProp(tabs, u"Items"))->Delete(1);
    EXPECT_EQ(GetOrdProp(tabs, u"TabIndex"), 0);
    EXPECT_EQ(Source(u"Project1.dpr")->GetEditViewCount(), 0);
    EXPECT_EQ(Step("open-module Project1.dpr").at(0), "EditWindow: new tab 1 \"Project1.dpr\"");
    EXPECT_EQ(Source(u"Project1.dpr")->GetEditView(0).get(), view.get());
    EXPECT_EQ(view->GetEditWindow()->GetForm(), TopForm());
}

// Catches View > New Edit Window doing nothing, or opening a window that
// shows no file, is not in front, or shares its name.
TEST_F(EditorWindowsTest, NewEditWindowOpensTheCurrentFileInFront)
{
    Step("select-tab 1 Project1.dpr");
    Step("choose ViewsMenu\\ViewNewEditorItem");
    ASSERT_EQ(Ide().EditorWindows().Windows().size(), 2u);
    EXPECT_EQ(Window(2)->Name(), u"EditWindow2");
    EXPECT_TRUE(Window(2)->Active());
    EXPECT_EQ(TopView().get(), Source(u"Project1.dpr")->GetEditView(1).get());
    EXPECT_EQ(Step("select-tab 1 Unit1.pas").at(0),
              "EditWindow: tab 0 \"Unit1.pas\" selected, the editor shows C:\\Projects\\Demo\\Unit1.pas");
    EXPECT_EQ(TopForm(), Window(1)) << "a window used in a step comes to the front";
}

// Catches module lookups that depend on letter case or slashes, an index
// outside the list answered instead of raised, a form file answering as a
// source editor, a modified form file that leaves its unit unmarked, and
// views counted per module rather than per window.
TEST_F(EditorWindowsTest, ModulesAnswerThroughTheModuleServices)
{
    auto services = Service<IOTAModuleServices>();
    ASSERT_EQ(services->GetModuleCount(), 2);
    EXPECT_EQ(Service<IOTAModuleServices70>().get(), static_cast<IOTAModuleServices70*>(services.get()));
    auto unit = services->GetModule(0);
    EXPECT_EQ(unit->GetFileName(), InProject(u"Unit1.pas"));
    EXPECT_THROW(services->GetModule(2), EListError);
    EXPECT_THROW(services->GetModule(-1), EListError);
    EXPECT_EQ(services->FindModule(u"c:/projects/demo/UNIT1.PAS").get(), unit.get());
    EXPECT_EQ(services->FindModule(u"Unit1.pas").get(), nullptr);

    ASSERT_EQ(unit->GetModuleFileCount(), 2);
    auto form = unit->GetModuleFileEditor(1);
    EXPECT_EQ(form->GetFileName(), InProject(u"Unit1.dfm"));
    EXPECT_EQ(form.try_as<IOTASourceEditor>().get(), nullptr);
    EXPECT_EQ(Module(u"Project1.dpr")->GetModuleFileCount(), 1);
    form->MarkModified();
    EXPECT_TRUE(form->GetModified());
    EXPECT_FALSE(unit->GetModuleFileEditor(0)->GetModified());
    EXPECT_EQ(Step("paint-tabs 1").at(0), "EditWindow tab 0 \"Unit1.pas\": image 0, overlay 3, selected");

    Step("new-editor-window");
    auto source = Source(u"Unit1.pas");
    ASSERT_EQ(source->GetEditViewCount(), 2);
    EXPECT_EQ(source->GetEditView(1)->GetEditWindow()->GetForm(), Window(2));
    EXPECT_THROW(source->GetEditView(2), EListError);
    EXPECT_EQ(Source(u"Project1.dpr")->GetEditViewCount(), 1);
    EXPECT_EQ(TopForm(), Window(2)) << "the new window is in front";

    // Show brings the file up where a window shows it.
    Module(u"Project1.dpr")->GetModuleFileEditor(0)->Show();
    EXPECT_EQ(TopForm(), Window(1));
    EXPECT_EQ(services->CurrentModule().get(), Module(u"Project1.dpr").get());
}

// Catches interface objects that outlive their window reaching freed
// memory, an add-in's control and window in it surviving it, and modules
// closed with the window.
TEST_F(EditorWindowsTest, ClosingAWindowLeavesHeldObjectsAnsweringNull)
{
    auto editors = Service<IOTAEditorServices>();
    auto view = editors->GetTopView();
    auto window = view->GetEditWindow();
    auto* panel = new TPanel(nullptr);
    panel->SetParent(dynamic_cast<TWinControl*>(Part(window->GetForm(), u"EditControlPanel")));
    TComponentAlive alive(panel);
    const HWND foreign = ForeignChild(panel, u"Package view");
    const HWND form = window->GetForm()->Handle();

    EXPECT_EQ(Step("close-editor-window 1"),
              (std::vector<std::string>{"closed EditWindow: freed, " + Hwnd(form) + " destroyed; 2 module(s) stay open",
                                        "the foreign window " + Hwnd(foreign) + " (Static) was destroyed with it"}));
    EXPECT_FALSE(alive);
    EXPECT_EQ(window->GetForm(), nullptr);
    EXPECT_EQ(window->GetStatusBar(), nullptr);
    EXPECT_EQ(view->GetEditWindow().get(), nullptr);
    EXPECT_EQ(editors->GetTopView().get(), nullptr);
    EXPECT_EQ(Service<IOTAModuleServices>()->CurrentModule().get(), nullptr);
    EXPECT_EQ(Service<IOTAModuleServices>()->GetModuleCount(), 2);
    EXPECT_EQ(Source(u"Unit1.pas")->GetEditViewCount(), 0);

    EXPECT_EQ(Step("open-module Unit1.pas").at(0), "made EditWindow");
    EXPECT_EQ(TopView()->GetEditWindow()->GetForm(), Window(1));
}

// Catches a closed module whose selected tab leaves the selection on a tab
// that went, moves it without OnChange (the view stays on the closed
// file), and a held module or editor still reaching the IDE.
TEST_F(EditorWindowsTest, ClosingTheSelectedModuleSelectsTheNextTabThroughOnChange)
{
    Step("open-module Unit2.pas");
    Step("select-tab 1 Project1.dpr");
    TabSpy spy;
    TControl* tabs = Part(TopForm(), u"TabSet");
    spy.ideChange = GetMethodProp(tabs, u"OnChange");
    SetMethodProp(tabs, u"OnChange", MakeEvent<&TabSpy::Change>(&spy).Method());
    auto project = Module(u"Project1.dpr");
    auto editor = project->GetModuleFileEditor(0);
    auto view = Source(u"Project1.dpr")->GetEditView(0);

    EXPECT_EQ(Step("close-module project1.DPR"),
              (std::vector<std::string>{"closed C:\\Projects\\Demo\\Project1.dpr",
                                        "EditWindow: tab \"Project1.dpr\" closed; tab 1 \"Unit2.pas\" selected, "
                                        "the editor shows C:\\Projects\\Demo\\Unit2.pas"}));
    EXPECT_EQ(spy.changes, (std::vector<int>{1}));
    EXPECT_EQ(project->GetFileName(), u"");
    EXPECT_EQ(project->GetModuleFileCount(), 0);
    EXPECT_FALSE(project->Close());
    EXPECT_EQ(editor->GetFileName(), u"");
    EXPECT_EQ(editor->GetModule().get(), nullptr);
    editor->MarkModified();
    EXPECT_FALSE(editor->GetModified());
    EXPECT_EQ(view->GetEditWindow().get(), nullptr);

    Step("close-module Unit2.pas");
    EXPECT_EQ(spy.changes, (std::vector<int>{1, 0}));
    EXPECT_TRUE(Module(u"Unit1.pas")->Close());
    EXPECT_EQ(spy.changes, (std::vector<int>{1, 0, -1}));
    EXPECT_EQ(Part(Window(1), u"Editor")->Caption(), u"");
    EXPECT_EQ(TopView().get(), nullptr);
    EXPECT_EQ(Service<IOTAModuleServices>()->GetModuleCount(), 0);
}

// Catches a re-creation that keeps some control's old window (docking
// makes them all anew) or keeps quiet about the foreign window it took.
TEST_F(EditorWindowsTest, RecreatingAWindowMakesEveryHandleAnew)
{
    auto* panel = dynamic_cast<TWinControl*>(Part(TopForm(), u"EditControlPanel"));
    const HWND before = panel->Handle();
    const HWND foreign = ForeignChild(panel, u"Package view");
    const auto lines = Step("recreate-editor-window EditWindow");
    ASSERT_EQ(lines.size(), 9u);
    for (std::size_t i = 0; i < 8; ++i)
        EXPECT_NE(lines[i].find(" -> hwnd 0x"), std::string::npos) << lines[i];
    EXPECT_EQ(lines[6], "EditControlPanel: " + Hwnd(before) + " -> " + Hwnd(panel->Handle()));
    EXPECT_EQ(lines[8], "the foreign window " + Hwnd(foreign) + " (Static) was destroyed with it");
}

// Catches an add-in frame placed wrongly in the report or its foreign
// windows left out, and hidden states (status bar panel, View Editor item,
// New Edit Window action) reported as shown.
TEST_F(EditorWindowsTest, ReportShowsWhereTheAddInFrameSitsAndWhatIsHidden)
{
    TCustomForm* form = TopForm();
    auto* frame = new TTalvixFrame(nullptr);
    frame->SetAlign(alClient);
    frame->SetParent(dynamic_cast<TWinControl*>(Part(form, u"EditorArea")));
    const HWND package = ForeignChild(frame, u"Package view");
    Part(form, u"StatusBarPanel")->Hide();
    dynamic_cast<TMenuItem*>(form->FindComponent(u"ViewEditorItem"))->SetVisible(false);
    Ide().MainMenu().Actions().Find(u"ViewNewEditorCommand")->SetVisible(false);
    Step("modify-module Project1.dpr");

    Ide().BeforeShutdown();
    tvx::sim::Report report;
    Ide().AddToReport(report);
    EXPECT_NE(report.ToText().find("\nEditor windows at shutdown:\n"
                                   "  [EditWindow] \"C:\\Projects\\Demo\\Unit1.pas\", size 880x540, "
                                   "the editor shows C:\\Projects\\Demo\\Unit1.pas\n"
                                   "      tab 0 \"Unit1.pas\": image 0, overlay -1, selected\n"
                                   "      tab 1 \"Project1.dpr\": image 0, overlay 3\n"
                                   "      add-in frame: on top (in EditorArea)\n"
                                   "          " +
                                   Hwnd(package) +
                                   " Static, foreign, \"Package view\", visible, client 10x10\n"
                                   "      status bar panel: hidden\n"
                                   "      View Editor item: hidden\n"
                                   "  New Edit Window action (ViewNewEditorCommand): hidden\n"
                                   "  Modules (2 open):\n"
                                   "      C:\\Projects\\Demo\\Unit1.pas (form Form1): not modified, shown in "
                                   "EditWindow\n"
                                   "      C:\\Projects\\Demo\\Project1.dpr: modified, shown in EditWindow\n"),
              std::string::npos)
        << report.ToText();
    const auto json = report.ToJson().at("editorWindows");
    EXPECT_EQ(json.at("windows").at(0).at("addInFrame"), "onTop");
    EXPECT_EQ(json.at("windows").at(0).at("frameWindows").at(0).at("text"), "Package view");
    EXPECT_EQ(json.at("newEditWindowVisible"), false);
    EXPECT_EQ(json.at("modules").at(1).at("windows"), nlohmann::json::array({"EditWindow"}));

    frame->SetParent(dynamic_cast<TWinControl*>(Part(form, u"EditControlPanel")));
    const auto lines = Step("editor-windows");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "    add-in frame: normal (in EditControlPanel)"), lines.end());
}

// Catches steps that act on a window, tab, button, module or file name the
// user did not give, or that take a name Windows would refuse.
TEST_F(EditorWindowsTest, StepsRefuseWhatTheUserCannotDo)
{
    Step("open-module C:\\Other\\Unit1.pas");
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"select-tab 3 Unit1.pas", "no editor window 3 (1 open)"},
        {"select-tab 0 Unit1.pas", "no editor window 0 (1 open)"},
        {"select-tab Nowhere Unit1.pas", "no editor window named Nowhere (the windows are EditWindow)"},
        {"select-tab 1 Unit9.pas", "EditWindow has no tab Unit9.pas (its tabs are Unit1.pas, Project1.dpr, Unit1.pas)"},
        {"press-tab 1 Project1.dpr sideways", "no mouse button sideways (left, right or middle)"},
        {"open-module \"a|b.pas\"", "not a file name: a|b.pas"},
        {"open-module Unit:2.pas", "not a file name: Unit:2.pas"},
        {"open-module x:y.pas", "not a full file name: x:y.pas"},
        {"open-module \"\"", "give a file name"},
        {"open-module C:\\Projects\\", "not a file name: C:\\Projects\\ (it names a folder)"},
        {"close-module Unit9.pas", "no open module Unit9.pas"},
        {"close-module Unit1.pas", "Unit1.pas names more than one open module; give its full file name"},
        {"resize-editor-window 1 -5 10", "the number -5 is out of range (0 to 32767)"},
    };
    for (const auto& [step, error] : refused) {
        SCOPED_TRACE(step);
        auto results = Run(step);
        ASSERT_EQ(results.size(), 1u);
        EXPECT_EQ(results[0].Error, error);
    }
    EXPECT_EQ(Service<IOTAModuleServices>()->GetModuleCount(), 3);
    EXPECT_EQ(Ide().EditorWindows().Windows().size(), 1u);
}

// Catches objects an add-in keeps past the IDE's shutdown reaching the
// windows and modules the IDE freed.
TEST(EditorWindowsShutdown, HeldObjectsAnswerEmptyOnceTheIdeIsGone)
{
    tvx::win32::ResetRecorder();
    tvx::IntfPtr<IOTAModuleServices> modules;
    tvx::IntfPtr<IOTAEditorServices> editors;
    tvx::IntfPtr<IOTAModule> unit;
    tvx::IntfPtr<IOTASourceEditor> source;
    tvx::IntfPtr<IOTAEditView> view;
    tvx::IntfPtr<INTAEditWindow> window;
    {
        tvx::sim::SimulatedIde ide;
        modules = Service<IOTAModuleServices>();
        editors = Service<IOTAEditorServices>();
        unit = modules->CurrentModule();
        source = unit->GetModuleFileEditor(0).try_as<IOTASourceEditor>();
        view = editors->GetTopView();
        window = view->GetEditWindow();
    }
    EXPECT_EQ(modules->GetModuleCount(), 0);
    EXPECT_THROW(modules->GetModule(0), EListError);
    EXPECT_EQ(modules->FindModule(InProject(u"Unit1.pas")).get(), nullptr);
    EXPECT_EQ(modules->CurrentModule().get(), nullptr);
    EXPECT_EQ(editors->GetTopView().get(), nullptr);
    EXPECT_EQ(unit->GetFileName(), u"");
    EXPECT_EQ(source->GetEditViewCount(), 0);
    EXPECT_EQ(source->GetModule().get(), nullptr);
    source->Show();
    EXPECT_EQ(view->GetEditWindow().get(), nullptr);
    EXPECT_EQ(window->GetForm(), nullptr);
}

} // namespace
