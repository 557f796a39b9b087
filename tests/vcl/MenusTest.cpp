// TMenuItem's tree, names and click, the menu's image list, and ShowMessage.
#include "host/vcl/Menus.h"
#include "host/vcl/Dialogs.h"
#include "host/vcl/Forms.h"
#include "host/vcl/ImgList.h"
#include "host/vcl/TypInfo.h"
#include "host/win32/Recorder.h"
#include "host/win32/Win32.h"
#include "tests/support/TestSupport.h"

#include <memory>
#include <vector>

namespace {

// Builds a parent with children named after their captions.
struct Tree {
    TComponent owner{nullptr};
    TMenuItem* root = new TMenuItem(&owner);
    TMenuItem* Add(const String& name, TMenuItem* parent = nullptr)
    {
        auto* item = new TMenuItem(&owner);
        item->SetName(name);
        item->SetCaption(name);
        (parent ? parent : root)->Add(item);
        return item;
    }
    std::vector<String> Names(const TMenuItem* parent = nullptr) const
    {
        std::vector<String> names;
        parent = parent ? parent : root;
        for (int i = 0; i < parent->Count(); ++i)
            names.push_back(parent->Items(i)->Name());
        return names;
    }
};

struct ClickLog {
    void Clicked(TObject* sender) { senders.push_back(sender); }
    std::vector<TObject*> senders;
};

std::u16string ErrorOf(auto&& call)
{
    try {
        call();
    } catch (const Exception& e) {
        return e.Message();
    }
    return u"(no error)";
}

// Catches children in the wrong order, a wrong MenuIndex, and an item put
// into two parents.
TEST(MenuItemTest, ChildrenKeepTheirOrder)
{
    Tree t;
    TMenuItem* a = t.Add(u"A");
    TMenuItem* c = t.Add(u"C");
    auto* b = new TMenuItem(&t.owner);
    b->SetName(u"B");
    t.root->Insert(1, b);
    EXPECT_EQ(t.Names(), (std::vector<String>{u"A", u"B", u"C"}));
    EXPECT_EQ(c->MenuIndex(), 2);
    EXPECT_EQ(b->Parent(), t.root);
    EXPECT_EQ(ErrorOf([&] { t.root->Add(b); }), u"Menu inserted twice");
    EXPECT_EQ(ErrorOf([&] { a->Add(t.root); }), u"Menu inserted twice");
    auto* d = new TMenuItem(&t.owner);
    EXPECT_EQ(ErrorOf([&] { t.root->Insert(4, d); }), u"Menu index out of range");
    EXPECT_EQ(ErrorOf([&] { t.root->Items(3); }), u"Menu index out of range");
    EXPECT_EQ(ErrorOf([&] { t.root->Remove(d); }), u"Sub-menu is not in menu");

    c->SetMenuIndex(0);
    EXPECT_EQ(t.Names(), (std::vector<String>{u"C", u"A", u"B"}));
    t.root->Remove(a);
    EXPECT_EQ(a->Parent(), nullptr);
    EXPECT_EQ(a->MenuIndex(), -1);
    EXPECT_EQ(t.Names(), (std::vector<String>{u"C", u"B"}));
}

// Catches a freed item left in its parent, or children that outlive it.
TEST(MenuItemTest, FreeingLeavesTheParentAndFreesChildren)
{
    Tree t;
    TMenuItem* sub = t.Add(u"Sub");
    t.Add(u"Child", sub);
    t.Add(u"After");
    int before = t.owner.ComponentCount();
    sub->Free();
    EXPECT_EQ(t.Names(), (std::vector<String>{u"After"}));
    EXPECT_EQ(t.owner.ComponentCount(), before - 2);
    EXPECT_EQ(t.owner.FindComponent(u"Child"), nullptr);
}

// Catches names the VCL refuses being accepted: not identifiers, or taken
// by another component of the same owner in any letter case.
TEST(MenuItemTest, NamesFollowTheComponentRules)
{
    Tree t;
    t.Add(u"FileMenu");
    auto* item = new TMenuItem(&t.owner);
    EXPECT_THROW(item->SetName(u"1st"), EComponentError);
    EXPECT_THROW(item->SetName(u"Bad Name"), EComponentError);
    EXPECT_THROW(item->SetName(u"FILEMENU"), EComponentError);
    EXPECT_EQ(item->Name(), u"");
    TComponent otherOwner(nullptr);
    TMenuItem elsewhere(&otherOwner);
    EXPECT_NO_THROW(elsewhere.SetName(u"FileMenu"));
}

// Catches Find comparing the raw caption, or with letter case.
TEST(MenuItemTest, FindIgnoresAcceleratorsAndCase)
{
    Tree t;
    t.Add(u"Save")->SetCaption(u"&Save");
    TMenuItem* andItem = t.Add(u"Both");
    andItem->SetCaption(u"Save && E&xit");
    EXPECT_EQ(t.root->Find(u"save")->Name(), u"Save");
    EXPECT_EQ(t.root->Find(u"&SAVE")->Name(), u"Save");
    EXPECT_EQ(t.root->Find(u"save && exit"), andItem);
    EXPECT_EQ(t.root->Find(u"Save and Exit"), nullptr);
    EXPECT_EQ(StripHotkey(u"&&a&b&"), u"&ab");
}

// Catches a click that reaches the handler while disabled, with the wrong
// sender, or that ignores AutoCheck.
TEST(MenuItemTest, ClickFiresOnClickWhenEnabled)
{
    TMenuItem item(nullptr);
    ClickLog log;
    item.SetOnClick(MakeEvent<&ClickLog::Clicked>(&log));
    item.Click();
    item.SetEnabled(false);
    item.Click();
    item.SetEnabled(true);
    item.SetAutoCheck(true);
    item.Click();
    EXPECT_EQ(log.senders, (std::vector<TObject*>{&item, &item}));
    EXPECT_TRUE(item.Checked());
    // Published, as the IDE's streaming and packages' RTTI code read them.
    EXPECT_EQ(GetMethodProp(&item, u"OnClick"), item.OnClick().Method());
    SetOrdProp(&item, u"ShortCut", scCtrl | 'S');
    EXPECT_EQ(item.ShortCut(), TShortCut(scCtrl | 'S'));
    EXPECT_EQ(GetStrProp(&item, u"Caption"), u"");
}

// Catches a menu that keeps pointing at a freed image list, and items that
// cannot find their menu.
TEST(MainMenuTest, ForgetsAFreedImageListAndOwnsItsRoot)
{
    TComponent form(nullptr);
    auto* menu = new TMainMenu(&form);
    auto* images = new TImageList(&form);
    menu->SetImages(images);
    auto* item = new TMenuItem(menu);
    menu->Items()->Add(item);
    auto* child = new TMenuItem(menu);
    item->Add(child);
    EXPECT_EQ(child->GetParentMenu(), menu);
    EXPECT_EQ(menu->Items()->Parent(), nullptr);
    images->Free();
    EXPECT_EQ(menu->Images(), nullptr);
    TMenuItem loose(nullptr);
    EXPECT_EQ(loose.GetParentMenu(), nullptr);
}

// Catches a shortcut that skips the item's parents, clicks through a
// disabled parent, or passes a key on to the action lists although an item
// (even a disabled one) has it.
TEST(MainMenuTest, IsShortCutClicksParentsFirstAndUsesUpTheKey)
{
    TComponent form(nullptr);
    auto* menu = new TMainMenu(&form);
    ClickLog log;
    auto add = [&](TMenuItem* parent, TShortCut shortCut) {
        auto* item = new TMenuItem(menu);
        item->SetShortCut(shortCut);
        item->SetOnClick(MakeEvent<&ClickLog::Clicked>(&log));
        parent->Add(item);
        return item;
    };
    TMenuItem* tools = add(menu->Items(), scNone);
    TMenuItem* sub = add(tools, scNone);
    TMenuItem* hello = add(sub, TShortCut(scCtrl | scAlt | 'H'));
    EXPECT_EQ(menu->FindItem(TShortCut(scCtrl | scAlt | 'H')), hello);
    EXPECT_TRUE(menu->IsShortCut(TShortCut(scCtrl | scAlt | 'H')));
    EXPECT_EQ(log.senders, (std::vector<TObject*>{tools, sub, hello}));

    log.senders.clear();
    sub->SetEnabled(false);
    EXPECT_TRUE(menu->IsShortCut(TShortCut(scCtrl | scAlt | 'H')));
    EXPECT_EQ(log.senders, (std::vector<TObject*>{tools}));
    EXPECT_FALSE(menu->IsShortCut(TShortCut(scCtrl | 'Q')));
    EXPECT_EQ(menu->FindItem(scNone), nullptr) << "items without a shortcut never match";
}

// Catches a message shown without the application's title or with more
// than the one OK button.
TEST(DialogsTest, ShowMessageShowsAnOkBoxWithTheTitle)
{
    tvx::win32::ResetRecorder();
    TApplication app(nullptr);
    app.SetTitle(u"RAD Studio XE");
    TApplication* saved = std::exchange(Application, &app);
    ShowMessage(u"Hello");
    Application = saved;
    auto boxes = tvx::win32::TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, u"Hello");
    EXPECT_EQ(boxes[0].caption, u"RAD Studio XE");
    EXPECT_EQ(boxes[0].flags, UINT(MB_OK));
}

} // namespace
