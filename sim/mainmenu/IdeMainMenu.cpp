#include "sim/mainmenu/IdeMainMenu.h"

#include "host/vcl/Forms.h"
#include "host/vcl/Graphics.h"
#include "host/win32/Recorder.h"
#include "interop/Utf.h"
#include "sim/ClosestName.h"
#include "sim/Report.h"
#include "sim/Scenario.h"

#include <algorithm>
#include <exception>

namespace tvx::sim {

namespace {

struct ItemTemplate {
    const char16_t* Name;
    const char16_t* Caption;
    const char16_t* ShortCut = u"";
    std::vector<ItemTemplate> Items = {};
    bool Checked = false;
    bool Enabled = true;
    int Image = -1;
};

// The images the IDE's own items show; packages' images come after them.
enum IdeImage { kOpenImage, kSaveImage, kRunImage };

// RAD Studio XE's main menu, shortened to the commands a package author
// meets, with the IDE's default key mapping. Separators are named as the
// IDE's form designer names them. With no program running, pausing and
// resetting are disabled.
// clang-format off
std::vector<ItemTemplate> IdeMenus()
{
    return {
        {u"FileMenu", u"&File", u"", {
            {u"FileNewItem", u"&New", u"", {
                {u"FileNewVCLApplicationItem", u"VCL Forms Application - Delphi"},
                {u"FileNewUnitItem", u"Unit - Delphi"},
                {u"FileNewOtherItem", u"&Other..."},
            }},
            {u"FileOpenItem", u"&Open...", u"Ctrl+O", {}, false, true, kOpenImage},
            {u"FileOpenProjectItem", u"Open Project...", u"Ctrl+F11"},
            {u"FileReopenItem", u"&Reopen"},
            {u"N1", u"-"},
            {u"FileSaveItem", u"&Save", u"Ctrl+S", {}, false, true, kSaveImage},
            {u"FileSaveAsItem", u"Save &As..."},
            {u"FileSaveProjectAsItem", u"Save Pro&ject As..."},
            {u"FileSaveAllItem", u"Save A&ll", u"Shift+Ctrl+S"},
            {u"FileCloseItem", u"&Close", u"Ctrl+F4"},
            {u"FileCloseAllItem", u"C&lose All"},
            {u"N2", u"-"},
            {u"FileUseUnitItem", u"&Use Unit...", u"Alt+F11"},
            {u"N3", u"-"},
            {u"FilePrintItem", u"&Print..."},
            {u"N4", u"-"},
            {u"FileExitItem", u"E&xit"},
        }},
        {u"EditMenu", u"&Edit", u"", {
            {u"EditUndoItem", u"&Undo", u"Ctrl+Z"},
            {u"EditRedoItem", u"&Redo", u"Shift+Ctrl+Z"},
            {u"N5", u"-"},
            {u"EditCutItem", u"Cu&t", u"Ctrl+X"},
            {u"EditCopyItem", u"&Copy", u"Ctrl+C"},
            {u"EditPasteItem", u"&Paste", u"Ctrl+V"},
            {u"EditDeleteItem", u"&Delete", u"Del"},
            {u"EditSelectAllItem", u"Select &All", u"Ctrl+A"},
        }},
        {u"SearchMenu", u"&Search", u"", {
            {u"SearchFindItem", u"&Find...", u"Ctrl+F"},
            {u"SearchReplaceItem", u"&Replace...", u"Ctrl+R"},
            {u"SearchAgainItem", u"&Search Again", u"F3"},
            {u"N6", u"-"},
            {u"SearchFindInFilesItem", u"Find in F&iles...", u"Shift+Ctrl+F"},
            {u"SearchGoToLineItem", u"&Go to Line Number...", u"Alt+G"},
        }},
        {u"ViewsMenu", u"&View", u"", {
            {u"ViewPrjMgrItem", u"&Project Manager", u"Ctrl+Alt+F11"},
            {u"ViewObjInspItem", u"&Object Inspector", u"F11"},
            {u"ViewStructureItem", u"Structure", u"Shift+Alt+F11"},
            {u"ViewToolPaletteItem", u"&Tool Palette", u"Ctrl+Alt+P"},
            {u"N7", u"-"},
            {u"ViewToolbarsItem", u"&Toolbars", u"", {
                {u"ViewStandardToolbarItem", u"&Standard", u"", {}, true},
                {u"ViewDebugToolbarItem", u"&Debug", u"", {}, true},
                {u"ViewDesktopToolbarItem", u"D&esktop", u"", {}, true},
                {u"ViewCustomToolbarItem", u"&Custom", u"", {}, false},
            }},
            {u"N8", u"-"},
            {u"ViewToggleFormItem", u"Toggle Form/&Unit", u"F12"},
            {u"ViewUnitsItem", u"&Units...", u"Ctrl+F12"},
            {u"ViewFormsItem", u"&Forms...", u"Shift+F12"},
            {u"ViewNewEditorItem", u"New Edit &Window"},
        }},
        {u"ProjectMenu", u"&Project", u"", {
            {u"ProjectAddItem", u"&Add to Project...", u"Shift+F11"},
            {u"ProjectRemoveItem", u"&Remove from Project..."},
            {u"N9", u"-"},
            {u"ProjectCompileItem", u"&Compile", u"Ctrl+F9"},
            {u"ProjectBuildItem", u"&Build", u"Shift+F9"},
            {u"N10", u"-"},
            {u"ProjectOptionsItem", u"&Options...", u"Shift+Ctrl+F11"},
        }},
        {u"RunMenu", u"&Run", u"", {
            {u"RunRunItem", u"&Run", u"F9", {}, false, true, kRunImage},
            {u"RunRunNoDebugItem", u"Run &Without Debugging", u"Shift+Ctrl+F9"},
            {u"RunParametersItem", u"&Parameters..."},
            {u"N11", u"-"},
            {u"RunStepOverItem", u"&Step Over", u"F8"},
            {u"RunTraceIntoItem", u"&Trace Into", u"F7"},
            {u"RunProgramPauseItem", u"Program &Pause", u"", {}, false, false},
            {u"RunProgramResetItem", u"Program R&eset", u"Ctrl+F2", {}, false, false},
        }},
        {u"ComponentMenu", u"&Component", u"", {
            {u"ComponentNewItem", u"&New VCL Component..."},
            {u"ComponentImportItem", u"&Import Component..."},
            {u"ComponentInstallPackagesItem", u"Install &Packages..."},
        }},
        {u"ToolsMenu", u"&Tools", u"", {
            {u"ToolsOptionsItem", u"&Options..."},
            {u"ToolsTemplateLibrariesItem", u"Template &Libraries..."},
            {u"N12", u"-"},
            {u"ToolsToolsItem", u"&Configure Tools..."},
        }},
        {u"HelpMenu", u"&Help", u"", {
            {u"HelpContentsItem", u"RAD Studio &Help"},
            {u"HelpDocWikiItem", u"RAD Studio &Docwiki"},
            {u"N13", u"-"},
            {u"HelpAboutItem", u"&About..."},
        }},
    };
}
// clang-format on

// 16 x 16 on the magenta that the IDE's image lists make transparent.
void AddIdeImage(TCustomImageList& images, TColor ink, int pattern)
{
    TBitmap bitmap(16, 16);
    bitmap.Fill(clFuchsia);
    for (int y = 2; y < 14; ++y)
        for (int x = 2; x < 14; ++x)
            if (pattern == kRunImage ? x - 2 <= (y < 8 ? (y - 2) * 2 : (13 - y) * 2) : (x + y + pattern) % 3 != 0)
                bitmap.SetPixel(x, y, ink);
    images.AddMasked(&bitmap, clFuchsia);
}

std::string U8(const String& text) { return Utf16ToUtf8(text); }

// Why the user cannot click the item, or empty when the user can.
std::string Unreachable(const TMenuItem& item)
{
    for (const TMenuItem* p = &item; p && p->Parent(); p = p->Parent()) {
        if (!p->Visible())
            return U8(p->Name()) + " is hidden";
        if (!p->Enabled())
            return U8(p->Name()) + " is disabled";
    }
    return {};
}

} // namespace

void IdeMainMenu::Build()
{
    appBuilder_ = new TComponent(nullptr);
    appBuilder_->SetName(u"AppBuilder");
    images_ = new TImageList(appBuilder_);
    images_->SetName(u"ImageList1");
    AddIdeImage(*images_, clNavy, kOpenImage);
    AddIdeImage(*images_, clTeal, kSaveImage);
    AddIdeImage(*images_, clGreen, kRunImage);

    menu_ = new TMainMenu(appBuilder_);
    menu_->SetName(u"MainMenu1");
    menu_->SetImages(images_);
    auto build = [this](auto& self, TMenuItem* parent, const std::vector<ItemTemplate>& templates) -> void {
        for (const ItemTemplate& entry : templates) {
            auto* item = new TMenuItem(appBuilder_);
            item->SetName(entry.Name);
            item->SetCaption(entry.Caption);
            item->SetShortCut(TextToShortCut(entry.ShortCut));
            item->SetChecked(entry.Checked);
            item->SetEnabled(entry.Enabled);
            item->SetImageIndex(entry.Image);
            if (entry.Items.empty() && !item->IsLine())
                item->SetOnClick(MakeEvent<&IdeMainMenu::IdeCommand>(this));
            parent->Add(item);
            self(self, item, entry.Items);
        }
    };
    build(build, menu_->Items(), IdeMenus());
    actions_ = std::make_unique<IdeActions>(ide_);
}

IdeMainMenu::~IdeMainMenu()
{
    actions_.reset();
    delete appBuilder_;
}

TCustomActionList* IdeMainMenu::ActionList() const noexcept
{
    if (actionsInUse_)
        return actionsInUse_;
    return actions_ ? actions_->List() : nullptr;
}

void IdeMainMenu::BeforeShutdown() { atShutdown_ = Tree(); }

void IdeMainMenu::AddToReport(Report& report) const
{
    report.MainMenu = atShutdown_;
    if (actions_)
        for (const String& action : actions_->Executed())
            report.Services.ExecutedActions.push_back(action);
}

void IdeMainMenu::IdeCommand(TObject* Sender)
{
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!item)
        return;
    executed_.push_back(item->Name());
    commands_.Run(item->Name(), Sender);
}

TMenuItem* IdeMainMenu::Walk(std::u16string_view path, TMenuItem*& parent, std::u16string_view& missing) const
{
    TMenuItem* item = menu_->Items();
    if (!path.empty() && path.front() == u'\\')
        path.remove_prefix(1);
    while (item && !path.empty()) {
        std::size_t slash = std::min(path.find(u'\\'), path.size());
        std::u16string_view name = path.substr(0, slash);
        TMenuItem* next = nullptr;
        for (int i = 0; i < item->Count() && !next; ++i)
            if (SameText(item->Items(i)->Name(), name))
                next = item->Items(i);
        parent = item;
        missing = name;
        item = next;
        path.remove_prefix(std::min(slash + 1, path.size()));
    }
    return item;
}

TMenuItem* IdeMainMenu::Find(std::u16string_view path) const
{
    TMenuItem* parent = nullptr;
    std::u16string_view missing;
    return Walk(path, parent, missing);
}

TMenuItem* IdeMainMenu::Require(std::u16string_view path) const
{
    TMenuItem* parent = nullptr;
    std::u16string_view missing;
    if (TMenuItem* item = Walk(path, parent, missing))
        return item;
    std::vector<String> names;
    for (int i = 0; i < parent->Count(); ++i)
        names.push_back(parent->Items(i)->Name());
    const std::string where = parent == menu_->Items() ? "the main menu" : U8(parent->Name());
    throw ScenarioError("no menu item at " + Utf16ToUtf8(path) + ": " + where + " has no item " + Utf16ToUtf8(missing) +
                        NamesThereText(names, missing));
}

std::vector<MenuItemRecord> IdeMainMenu::Tree() const
{
    auto read = [this](auto& self, const TMenuItem& parent) -> std::vector<MenuItemRecord> {
        std::vector<MenuItemRecord> records;
        for (int i = 0; i < parent.Count(); ++i) {
            const TMenuItem& item = *parent.Items(i);
            MenuItemRecord r;
            r.Name = item.Name();
            r.Caption = item.Caption();
            r.Checked = item.Checked();
            r.Enabled = item.Enabled();
            r.Visible = item.Visible();
            r.Separator = item.IsLine();
            r.PackageMade = item.Owner() == menu_;
            r.ShortCut = item.ShortCut();
            r.ShortCutText = ShortCutToText(item.ShortCut());
            r.ImageIndex = item.ImageIndex();
            r.Items = self(self, item);
            records.push_back(std::move(r));
        }
        return records;
    };
    return read(read, *menu_->Items());
}

std::vector<std::string> IdeMainMenu::Choose(std::u16string_view path)
{
    TMenuItem* item = Require(path);
    std::vector<std::string> lines;
    std::string name = U8(item->Name()) + " (" + U8(item->Caption()) + ")";
    if (std::string why = Unreachable(*item); !why.empty()) {
        lines.push_back("not chosen: " + why);
        return lines;
    }
    lines.push_back("chose " + name);
    const std::size_t debug = DebuggerLineCount();
    const std::size_t heard = ClickAndDescribe(lines, [&] { item->Click(); });
    if (heard == 0 && DebuggerLineCount() == debug)
        lines.push_back("nothing handled the click");
    return WithDebuggerLines(std::move(lines), debug);
}

template <class Click>
std::size_t IdeMainMenu::ClickAndDescribe(std::vector<std::string>& lines, Click&& click)
{
    const std::size_t before = lines.size();
    const std::size_t ran = executed_.size();
    const std::size_t boxes = win32::MessageBoxes().size();
    try {
        click();
    } catch (...) {
        // The IDE's message loop shows what a click raises.
        if (Application)
            Application->HandleException(nullptr);
        lines.push_back("the click raised an error, shown by the IDE");
    }
    for (std::size_t i = ran; i < executed_.size(); ++i)
        lines.push_back("the IDE ran " + U8(executed_[i]));
    auto shown = win32::MessageBoxes();
    for (std::size_t i = boxes; i < shown.size(); ++i)
        lines.push_back("message box: " + U8(shown[i].text));
    return lines.size() - before;
}

std::string IdeMainMenu::HandleShortCut(TShortCut shortCut)
{
    TMenuItem* item = Menu()->FindItem(shortCut);
    // The IDE's own items are its actions' clients: the action runs.
    if (!item || (item->Owner() != menu_ && actions_->HasShortCut(shortCut)))
        return {};
    // The VCL clicks hidden items too; a disabled one on the way stops the clicks.
    const TMenuItem* disabled = nullptr;
    for (const TMenuItem* p = item; p && p->Parent(); p = p->Parent())
        if (!p->Enabled())
            disabled = p;
    std::vector<std::string> lines{
        disabled ? "the menu item " + U8(item->Name()) + " took the key but " + U8(disabled->Name()) + " is disabled"
                 : "clicked the menu item " + U8(item->Name()) + " (" + U8(item->Caption()) + ")"};
    ClickAndDescribe(lines, [&] { Menu()->IsShortCut(shortCut); });
    std::string line;
    for (const std::string& part : lines)
        line += (line.empty() ? "" : "; ") + part;
    return line;
}

std::string IdeMainMenu::Describe(std::u16string_view path) const
{
    TMenuItem* item = Require(path);
    std::string line = U8(item->Name()) + ": caption \"" + U8(item->Caption()) + "\"";
    line += item->Enabled() ? ", enabled" : ", disabled";
    line += item->Visible() ? ", visible" : ", hidden";
    line += item->Checked() ? ", checked" : ", not checked";
    String shortCut = ShortCutToText(item->ShortCut());
    line += ", shortcut " + (shortCut.empty() ? std::string("none") : U8(shortCut));
    line += ", image " + std::to_string(item->ImageIndex());
    line += ", " + std::to_string(item->Count()) + " item(s)";
    line += item->Owner() == menu_ ? ", made by a package" : ", made by the IDE";
    return line;
}

void IdeMainMenu::RegisterCommands(ScenarioRunner& runner)
{
    runner.Register({"choose", "choose <menu name path>",
                     "Chooses a main-menu item by its path of component names (e.g. ToolsMenu\\ToolsOptionsItem) "
                     "as the user would, firing its click.",
                     1, 1, [this](const ScenarioStep& step) { return Choose(Utf8ToUtf16(step.Args[0])); }});
    runner.Register(
        {"menu-item", "menu-item <menu name path>",
         "Reads a main-menu item's caption, state, shortcut, image and maker into the report.", 1, 1,
         [this](const ScenarioStep& step) { return std::vector<std::string>{Describe(Utf8ToUtf16(step.Args[0]))}; }});
    runner.Register(
        {"menu", "menu", "Writes the whole main menu tree into the report.", 0, 0, [this](const ScenarioStep&) {
             std::vector<std::string> lines;
             std::string text = MenuTreeText(Tree(), 0);
             std::size_t start = 0;
             while (start < text.size()) {
                 std::size_t end = text.find('\n', start);
                 lines.push_back(text.substr(start, end - start));
                 start = end + 1;
             }
             return lines;
         }});
    actions_->RegisterCommands(runner);
}

} // namespace tvx::sim
