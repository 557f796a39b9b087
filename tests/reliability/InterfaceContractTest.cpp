// What every interface the library hands to packages keeps, method by method
// from its slot table: a null out pointer answers E_POINTER and changes
// nothing; an ended wrapper answers E_UNEXPECTED with its out values cleared;
// a bitmap handed in is the library's, deleted once whatever the answer. A
// new wrapper joins with one row.
#include "tests/reliability/ReliabilityFixture.h"
#include "tests/support/InterfaceSlots.h"

#include <functional>
#include <set>

namespace {

using namespace tvx::test;
using tvx::Bstr;
using tvx::IntfPtr;

// What a package holds: live, or ended the way a package ends it.
using Make = IntfPtr<IUnknown> (*)(IBdsServices* services, bool ended);

// One interface of one kind of object, and how a package gets it.
struct ContractRow {
    const char* name;
    GUID iid;
    std::vector<SlotRow> slots;
    Make make;
    bool ends;
    const std::map<std::string, HRESULT>* endedAnswers;
    HRESULT endedAnswer;
    // Bitmaps passed on to the IDE, which keeps them for the package.
    std::set<std::string> keepsBitmaps;
};

void PrintTo(const ContractRow& row, std::ostream* os) { *os << row.name; }

template <class I>
ContractRow Row(const char* name, Make make, bool ends, std::set<std::string> keepsBitmaps = {})
{
    return {name, tvx::IidOf<I>,     SlotTable<I>(),  make,
            ends, &kEndedAnswers<I>, kEndedAnswer<I>, std::move(keepsBitmaps)};
}

// A service as a package asks the root for it; services never end.
template <class I, HRESULT (STDMETHODCALLTYPE IBdsServices::*Get)(I**)>
IntfPtr<IUnknown> Service(IBdsServices* services, bool)
{
    IntfPtr<I> service;
    EXPECT_EQ((services->*Get)(service.put()), S_OK);
    return IntfPtr<IUnknown>(service.get());
}
constexpr auto MenuBarOf = &Service<IBdsMenuBarService, &IBdsServices::Get_BdsMenuBarService>;
constexpr auto ToolBarsOf = &Service<IBdsToolBarService, &IBdsServices::Get_BdsToolBarService>;

IntfPtr<IUnknown> MenuItem(IBdsServices* services, bool ended)
{
    auto bar = MenuBarOf(services, false).as<IBdsMenuBarService>();
    IntfPtr<IBdsMenuItem> item;
    EXPECT_EQ(bar->AddMenuItem(Bstr(u"ToolsMenu").get(), kChildItem, Bstr(u"ContractItem").get(),
                               Bstr(u"Contract").get(), nullptr, item.put()),
              S_OK);
    if (ended) {
        EXPECT_EQ(bar->RemoveMenuItem(Bstr(u"ToolsMenu\\ContractItem").get()), S_OK);
    }
    return IntfPtr<IUnknown>(item.get());
}

IntfPtr<IUnknown> ToolBar(IBdsServices* services, bool ended)
{
    auto bars = ToolBarsOf(services, false).as<IBdsToolBarService>();
    IntfPtr<IBdsToolBar> bar;
    EXPECT_EQ(bars->AddToolBar(Bstr(u"ContractBar").get(), Bstr(u"Contract").get(), bar.put()), S_OK);
    if (ended) {
        EXPECT_EQ(bars->RemoveToolBar(bar.get()), S_OK);
    }
    return IntfPtr<IUnknown>(bar.get());
}

template <LONG Kind>
IntfPtr<IUnknown> Control(IBdsServices* services, bool ended)
{
    auto bar = ToolBar(services, false).as<IBdsToolBar>();
    IntfPtr<IBdsToolBarControl> control;
    EXPECT_EQ(bar->AddControl(Kind, control.put()), S_OK);
    if (ended) {
        EXPECT_EQ(bar->RemoveControl(control.get()), S_OK);
    }
    return IntfPtr<IUnknown>(control.get());
}

// The user's steps, for makers that need the IDE to end what they made.
std::function<void(const std::string&)> userStep;

constexpr auto WindowsOf = &Service<IBdsWindowsService, &IBdsServices::Get_BdsWindowsService>;

// Ended: a desktop change freed its tool window.
IntfPtr<IUnknown> DockableWindow(IBdsServices* services, bool ended)
{
    auto windows = WindowsOf(services, false).as<IBdsWindowsService>();
    IntfPtr<IBdsDockableWindow> window;
    EXPECT_EQ(windows->CreateDockableWindow(Bstr(u"ContractWindow").get(), window.put()), S_OK);
    if (ended)
        userStep("change-desktop");
    return IntfPtr<IUnknown>(window.get());
}

// A mirror of the IDE's services, as GetService hands it out.
template <class I>
IntfPtr<IUnknown> Mirror(IBdsServices* services, bool)
{
    IntfPtr<IUnknown> service;
    EXPECT_EQ(services->GetService(tvx::IidOf<I>, service.put()), S_OK);
    EXPECT_TRUE(service);
    return service;
}

// The first open module, Unit1.pas, and its source editor.
IntfPtr<IUnknown> FirstModule(IBdsServices* services, bool)
{
    IntfPtr<IBDSModule> module;
    EXPECT_EQ(Mirror<IBDSModuleServices70>(services, false).as<IBDSModuleServices70>()->GetModule(0, module.put()),
              S_OK);
    return IntfPtr<IUnknown>(module.get());
}

IntfPtr<IUnknown> FirstEditor(IBdsServices* services, bool)
{
    IntfPtr<IBDSEditor> editor;
    FirstModule(services, false).as<IBDSModule>()->GetModuleFileEditor(0, editor.put());
    return IntfPtr<IUnknown>(editor.get());
}

// Over the front editor window; ended: the IDE closed that window.
IntfPtr<IUnknown> DocumentWindow(IBdsServices* services, bool ended)
{
    auto windows = WindowsOf(services, false).as<IBdsWindowsService>();
    LONG editor = -1;
    EXPECT_EQ(windows->DocumentFrameOnTop(&editor), S_OK);
    IntfPtr<IBdsDocumentWindow> window;
    EXPECT_EQ(windows->CreateDocumentWindow(Bstr(u"C:\\Projects\\Demo\\Project1.dpr").get(), 0, editor, window.put()),
              S_OK);
    if (ended)
        userStep("close-editor-window 1");
    return IntfPtr<IUnknown>(window.get());
}

const std::vector<ContractRow> kRows = {
    Row<IBdsServices>("Services", [](IBdsServices* s, bool) { return IntfPtr<IUnknown>(s); }, false,
                      // The splash screen and About box show them later.
                      {"AddSplashInfo", "AddAboutBoxInfo"}),
    Row<IBdsHelpService>("HelpService", Service<IBdsHelpService, &IBdsServices::Get_BdsHelpService>, false),
    Row<IBdsMenuBarService>("MenuBarService", MenuBarOf, false),
    Row<IBdsMenuItem>("MenuItem", MenuItem, true),
    Row<IBdsToolBarService>("ToolBarService", ToolBarsOf, false),
    Row<IBdsToolBar>("ToolBar", ToolBar, true),
    Row<IBdsToolBarControl>("ButtonControl", Control<kButton>, true),
    Row<IBdsToolBarControl>("ComboBoxControl", Control<kComboBox>, true),
    Row<IBdsToolBarControl>("PopUpControl", Control<kPopUp>, true),
    Row<IBdsToolBarButton>("Button", Control<kButton>, true),
    Row<IBdsToolBarComboBox>("ComboBox", Control<kListComboBox>, true),
    Row<IBdsWindowsService>("WindowsService", WindowsOf, false),
    Row<IBdsDockableWindow>("DockableWindow", DockableWindow, true),
    Row<IBdsDocumentWindow>("DocumentWindow", DocumentWindow, true),
    Row<IBDSModuleServices70>("ModuleServices", Mirror<IBDSModuleServices70>, false),
    Row<IBDSModule>("Module", FirstModule, false),
    Row<IBDSEditor>("Editor", FirstEditor, false),
    Row<IBDSEditorServices80>("EditorServices", Mirror<IBDSEditorServices80>, false),
};

class InterfaceContractTest : public ReliabilityTest, public testing::WithParamInterface<ContractRow> {
protected:
    void SetUp() override
    {
        ReliabilityTest::SetUp();
        userStep = [this](const std::string& text) { Step(text); };
        Start();
        tvx::win32::TakeMessageBoxes();
    }
    void TearDown() override
    {
        object_ = nullptr;
        userStep = nullptr;
        ReliabilityTest::TearDown();
    }

    // The row's interface, for calls through its table.
    void* Object(bool ended)
    {
        object_ = GetParam().make(Root(), ended);
        void* object = nullptr;
        EXPECT_EQ(object_->QueryInterface(GetParam().iid, &object), S_OK);
        object_->Release();
        return object;
    }
    bool KeepsBitmaps(const SlotRow& row) const { return GetParam().keepsBitmaps.count(row.method) > 0; }
    // The IDE as the user sees it, packages' items and toolbars included.
    std::string IdeState()
    {
        using namespace tvx::sim;
        return MenuTreeText(Ide().MainMenu().Tree(), 0) + ToolbarsText(Ide().Toolbars().Snapshot(), 0);
    }

private:
    IntfPtr<IUnknown> object_;
};

// Catches a method that writes through a null out pointer, answers anything
// but E_POINTER, or makes what it was asked for all the same.
TEST_P(InterfaceContractTest, NullOutPointerAnswersEPointerAndChangesNothing)
{
    void* object = Object(false);
    for (const SlotRow& row : GetParam().slots) {
        if (!row.takesOut)
            continue;
        SCOPED_TRACE(row.method);
        const std::string before = IdeState();
        SlotCall call(SlotCall::Args::NullOut);
        const HRESULT answer = row.call(object, row.slot, call);
        if (row.answersHResult) {
            EXPECT_EQ(answer, E_POINTER);
        }
        EXPECT_EQ(IdeState(), before);
        EXPECT_EQ(TakeMessageBoxTexts(), std::vector<std::u16string>{});
        if (!KeepsBitmaps(row))
            ExpectBitmapsConsumed(call);
    }
    ExpectWitnessWorks();
}

// Catches a bitmap leaked or deleted twice by a call that succeeds, or one
// that uses an existing item instead.
TEST_P(InterfaceContractTest, BitmapsAreConsumed)
{
    void* object = Object(false);
    for (const SlotRow& row : GetParam().slots) {
        if (!row.takesBitmap || KeepsBitmaps(row))
            continue;
        SCOPED_TRACE(row.method);
        SlotCall call(SlotCall::Args::Real);
        row.call(object, row.slot, call);
        ExpectBitmapsConsumed(call);
        TakeMessageBoxTexts();
    }
}

class EndedWrapperTest : public InterfaceContractTest {};

// Catches an ended wrapper that reaches what it wrapped, answers success,
// leaves an out value unwritten, or keeps a bitmap. A window is ended when
// the IDE freed what carried it.
TEST_P(EndedWrapperTest, EveryMethodAnswersEUnexpected)
{
    ExpectEndedCalls(Object(true), GetParam().slots, *GetParam().endedAnswers, GetParam().endedAnswer);
    ExpectWitnessWorks();
}

std::string RowName(const testing::TestParamInfo<ContractRow>& info) { return info.param.name; }

std::vector<ContractRow> RowsThatEnd()
{
    std::vector<ContractRow> rows;
    std::copy_if(kRows.begin(), kRows.end(), std::back_inserter(rows), [](const ContractRow& r) { return r.ends; });
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Interfaces, InterfaceContractTest, testing::ValuesIn(kRows), RowName);
INSTANTIATE_TEST_SUITE_P(Interfaces, EndedWrapperTest, testing::ValuesIn(RowsThatEnd()), RowName);

} // namespace
