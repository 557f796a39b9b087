#include "host/vcl/ActnList.h"
#include "host/vcl/Lists.h"
#include "tests/support/TestSupport.h"

#include <memory>
#include <string>
#include <vector>

namespace {

struct Runs {
    void Execute(TObject* sender) { ran.push_back(static_cast<TComponent*>(sender)->Name()); }
    void DisableOnUpdate(TObject* sender) { static_cast<TCustomAction*>(sender)->SetEnabled(false); }
    std::vector<String> ran;
};

TAction* AddAction(TActionList& list, const char16_t* name, TShortCut shortCut, Runs& runs)
{
    auto* action = new TAction(&list);
    action->SetName(name);
    action->SetShortCut(shortCut);
    action->SetOnExecute(MakeEvent<&Runs::Execute>(&runs));
    action->SetActionList(&list);
    return action;
}

// Catches a disabled action run, an OnUpdate that cannot stop the run, or
// a shortcut answered by a later action than the first with the key.
TEST(ActionList, FirstActionWithTheKeyHandlesIt)
{
    TActionList list;
    Runs runs;
    TAction* first = AddAction(list, u"First", 0x4053, runs);
    AddAction(list, u"Second", 0x4053, runs);
    EXPECT_TRUE(list.IsShortCut(0x4053));
    first->SetEnabled(false);
    EXPECT_FALSE(list.IsShortCut(0x4053));
    first->SetEnabled(true);
    first->SetOnUpdate(MakeEvent<&Runs::DisableOnUpdate>(&runs));
    EXPECT_FALSE(list.IsShortCut(0x4053));
    EXPECT_FALSE(list.IsShortCut(scNone));
    EXPECT_EQ(runs.ran, (std::vector<String>{u"First"}));
}

// Catches a freed action left in its list, an action in two lists, or a
// list that leaks (or frees twice) the actions still in it.
TEST(ActionList, ActionsLeaveTheirListWhenMovedOrFreed)
{
    Runs runs;
    auto owner = std::make_unique<TComponent>(nullptr);
    auto* a = new TActionList(owner.get());
    auto* b = new TActionList(owner.get());
    TAction* moved = AddAction(*a, u"Moved", 0, runs);
    TAction* freed = AddAction(*a, u"Freed", 0, runs);
    AddAction(*a, u"Stays", 0, runs);
    moved->SetActionList(b);
    EXPECT_EQ(a->ActionCount(), 2);
    EXPECT_EQ(b->Actions(0), moved);
    EXPECT_EQ(moved->Index(), 0);
    freed->Free();
    ASSERT_EQ(a->ActionCount(), 1);
    EXPECT_EQ(a->Actions(0)->Name(), u"Stays");
    EXPECT_THROW(a->Actions(1), EListError);
    a->Free();
    EXPECT_EQ(owner->ComponentCount(), 1);
}

} // namespace
