// Wrappers end in every order of the four ways they can end: the package's
// last release, RemoveMenuItem, the IDE freeing the item, the service's
// destructor. Built to run under AddressSanitizer: a use after free or a
// leaked wrapper fails the run, a leaked or twice-deleted bitmap fails the
// fixture.
#include "tests/menus/MenuFixture.h"

#include <algorithm>
#include <array>
#include <string>

namespace tvx::test {
namespace {

enum class Ending { Release, Remove, IdeFree, Destroy };

const char* EndingName(Ending e)
{
    switch (e) {
    case Ending::Release: return "release";
    case Ending::Remove: return "remove";
    case Ending::IdeFree: return "ide-free";
    case Ending::Destroy: return "destroy";
    }
    return "?";
}

class MenuLifetimeTest : public MenuFixture {
protected:
    // What a package holds: its own submenu with a child and a begin-group
    // separator, and a wrapper of an IDE item; all with click sinks.
    struct Held {
        IntfPtr<IBdsMenuItem> submenu, child, ide, navigated;
        IntfPtr<CountingEvents> sink{new CountingEvents()};
    };

    void Build(Held& held)
    {
        AddIdeItem(Item(u"FileMenu"), u"IdeItem", u"&Ide item");
        held.submenu = Add(u"ToolsMenu", 2, u"PackageMenu", u"&Package", MagentaBitmap());
        held.child = Add(u"ToolsMenu\\PackageMenu", 2, u"PackageChild", u"&Child", MagentaBitmap());
        held.ide = Get(u"FileMenu\\IdeItem");
        ASSERT_TRUE(held.submenu && held.child && held.ide);
        held.submenu->RegisterEvents(held.sink.get());
        held.child->RegisterEvents(held.sink.get());
        held.ide->RegisterEvents(held.sink.get());
        EXPECT_EQ(held.child->Set_BeginGroup(VARIANT_TRUE), S_OK);
        // Navigation gives the service references of its own.
        EXPECT_EQ(held.child->Get_PrevMenuItem(held.navigated.put()), S_OK);
        IntfPtr<IBdsMenuItem> parent;
        held.child->Get_ParentMenuItem(parent.put());
    }

    void Apply(Ending ending, Held& held)
    {
        switch (ending) {
        case Ending::Release:
            held.submenu = nullptr;
            held.child = nullptr;
            held.ide = nullptr;
            held.navigated = nullptr;
            break;
        case Ending::Remove:
            if (!ServiceRunning())
                break;
            for (auto path :
                 {u"ToolsMenu\\PackageMenu\\PackageChild", u"ToolsMenu\\PackageMenu", u"FileMenu\\IdeItem"}) {
                EXPECT_EQ(Bar()->RemoveMenuItem(Bstr(path).get()), S_OK);
            }
            break;
        case Ending::IdeFree:
            for (auto path : {u"ToolsMenu\\PackageMenu", u"FileMenu\\IdeItem"})
                if (TMenuItem* item = Item(path))
                    item->Free();
            break;
        case Ending::Destroy: DestroyService(); break;
        }
    }

    // Every wrapper still held answers without touching freed memory, and
    // clicks on whatever is still in the menu stay safe.
    void Probe(Held& held)
    {
        for (IBdsMenuItem* item : {held.submenu.get(), held.child.get(), held.ide.get(), held.navigated.get()}) {
            if (!item)
                continue;
            Bstr caption;
            HRESULT hr = item->Get_Caption(caption.put());
            EXPECT_TRUE(hr == S_OK || hr == E_UNEXPECTED);
            item->InvokeAction();
            VARIANT_BOOL group = 0;
            item->Get_BeginGroup(&group);
        }
        for (auto path : {u"ToolsMenu\\PackageMenu\\PackageChild", u"FileMenu\\IdeItem"})
            if (TMenuItem* item = Item(path))
                item->Click();
        win32::TakeMessageBoxes();
    }
};

// Catches a use after free, a leaked wrapper, a package item left in the
// menu, or a bitmap leaked or deleted twice, for every order of endings.
TEST_F(MenuLifetimeTest, EveryOrderOfEndingsIsSafe)
{
    std::array<Ending, 4> order{Ending::Release, Ending::Remove, Ending::IdeFree, Ending::Destroy};
    do {
        std::string label;
        for (Ending e : order)
            label += std::string(EndingName(e)) + " ";
        SCOPED_TRACE(label);
        StartService();
        {
            Held held;
            Build(held);
            for (Ending e : order) {
                Apply(e, held);
                Probe(held);
            }
            EXPECT_REF(held.sink.get(), 1);
        }
        EXPECT_EQ(Item(u"ToolsMenu\\PackageMenu"), nullptr);
        EXPECT_EQ(Item(u"FileMenu\\IdeItem"), nullptr);
        EXPECT_EQ(Item(u"ToolsMenu")->Count(), 5);
        EXPECT_EQ(Menu()->ComponentCount(), 0);
    } while (std::next_permutation(order.begin(), order.end()));
}

// Catches children of a package's submenu outliving it in the menu, or
// their wrappers touching them afterwards.
TEST_F(MenuLifetimeTest, ReleasingASubmenuEndsItsChildren)
{
    IntfPtr<IBdsMenuItem> submenu = Add(u"ToolsMenu", 2, u"Sub", u"&Sub");
    IntfPtr<IBdsMenuItem> child = Add(u"ToolsMenu\\Sub", 2, u"SubChild", u"Child", MagentaBitmap());
    submenu = nullptr;
    EXPECT_EQ(Item(u"ToolsMenu\\Sub"), nullptr);
    EXPECT_EQ(Menu()->ComponentCount(), 0);
    Bstr name;
    EXPECT_EQ(child->Get_Name(name.put()), E_UNEXPECTED);
    EXPECT_EQ(win32::TakeMessageBoxes().size(), 1u);
    EXPECT_EQ(Images()->Count(), 1);
}

} // namespace
} // namespace tvx::test
