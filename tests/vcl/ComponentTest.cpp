#include "host/vcl/Classes.h"
#include "host/vcl/Lists.h"
#include "host/vcl/TypInfo.h"
#include "tests/support/TestSupport.h"

#include <utility>
#include <vector>

namespace {

// Counts destructions, to prove an owner frees what it owns exactly once.
class Counted : public TComponent {
public:
    Counted(TComponent* owner, int& destroyed) : TComponent(owner), destroyed_(destroyed) {}
    ~Counted() override { ++destroyed_; }

private:
    int& destroyed_;
};

// What a listener heard, kept outside it so that it outlives the listener.
struct NoticeLog {
    int RemovalsOf(TComponent* c) const
    {
        int n = 0;
        for (const auto& [who, op] : heard)
            n += who == c && op == opRemove;
        return n;
    }
    std::vector<std::pair<TComponent*, TOperation>> heard;
    std::vector<String> classNames;
    std::vector<bool> destroying;
};

// Records every notification, with the class the component had at the time.
class Listener : public TComponent {
public:
    Listener(TComponent* owner, NoticeLog& log) : TComponent(owner), log_(log) {}

protected:
    void Notification(TComponent* c, TOperation op) override
    {
        log_.heard.emplace_back(c, op);
        log_.classNames.push_back(c->ClassName());
        log_.destroying.push_back(c->ComponentState().Contains(csDestroying));
        TComponent::Notification(c, op);
    }

private:
    NoticeLog& log_;
};

// Ignores the inherited Notification, as careless VCL code does.
class CarelessListener : public TComponent {
public:
    using TComponent::TComponent;
    int removals = 0;

protected:
    void Notification(TComponent*, TOperation op) override { removals += op == opRemove; }
};

} // namespace

// A component class of its own, to see the real class during notification.
class TWatchedWidget : public TComponent {
    TVX_CLASS(TWatchedWidget, TComponent)
    using TComponent::TComponent;
};
TVX_DEFINE_CLASS(TWatchedWidget)

// --- Naming -----------------------------------------------------------------

// Catches names that are not identifiers slipping through, or a refused name
// that still changes the component.
TEST(ComponentName, InvalidIdentifierIsRefusedAndNameKept)
{
    TComponent c;
    c.SetName(u"Valid_1");
    for (const String bad : {u"1abc", u"a b", u"a-b", u"\u00e4x", u" ", u"a."}) {
        SCOPED_TRACE(tvx::Utf16ToUtf8(bad));
        try {
            c.SetName(bad);
            FAIL() << "no error";
        } catch (const EComponentError& e) {
            EXPECT_EQ(e.Message(), u"'" + bad + u"' is not a valid component name");
        }
        EXPECT_EQ(c.Name(), u"Valid_1");
    }
}

// Catches an over-strict identifier check.
TEST(ComponentName, LettersDigitsAndUnderscoreAreAccepted)
{
    TComponent c;
    for (const String good : {u"_", u"_x9", u"a1_B", u"Z"}) {
        c.SetName(good);
        EXPECT_EQ(c.Name(), good);
    }
}

// Catches a case-sensitive uniqueness check, or a refused rename that still
// renames.
TEST(ComponentName, DuplicateAmongOwnerComponentsIgnoringCaseIsRefused)
{
    TComponent owner;
    auto* first = new TComponent(&owner);
    auto* second = new TComponent(&owner);
    first->SetName(u"Button1");
    try {
        second->SetName(u"BUTTON1");
        FAIL() << "no error";
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), u"A component named BUTTON1 already exists");
    }
    EXPECT_EQ(second->Name(), u"");
}

// Catches a component colliding with its own name when only the case changes.
TEST(ComponentName, RenameToOwnNameInOtherCaseIsAllowed)
{
    TComponent owner;
    auto* c = new TComponent(&owner);
    c->SetName(u"Button1");
    c->SetName(u"BUTTON1");
    EXPECT_EQ(c->Name(), u"BUTTON1");
    EXPECT_EQ(owner.FindComponent(u"button1"), c);
}

// Catches empty names treated as duplicates, or a name that cannot be cleared.
TEST(ComponentName, EmptyNamesNeverCollide)
{
    TComponent owner;
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    a->SetName(u"A");
    a->SetName(u"");
    b->SetName(u"");
    EXPECT_EQ(a->Name(), u"");
    EXPECT_EQ(owner.FindComponent(u""), nullptr);
}

// Catches uniqueness enforced across owners instead of within one.
TEST(ComponentName, SameNameUnderDifferentOwnersIsAllowed)
{
    TComponent left;
    TComponent right;
    (new TComponent(&left))->SetName(u"Item");
    (new TComponent(&right))->SetName(u"Item");
    TComponent loose;
    loose.SetName(u"Item");
    EXPECT_EQ(loose.Name(), u"Item");
}

// Catches a named component bringing a duplicate into a new owner.
TEST(ComponentName, InsertingADuplicateIsRefusedAndOwnerKept)
{
    TComponent owner;
    TComponent other;
    (new TComponent(&owner))->SetName(u"Item");
    auto* mover = new TComponent(&other);
    mover->SetName(u"ITEM");
    EXPECT_THROW(owner.InsertComponent(mover), EComponentError);
    EXPECT_EQ(mover->Owner(), &other);
    EXPECT_EQ(owner.ComponentCount(), 1);
}

// --- Ownership --------------------------------------------------------------

// Catches leaked or doubly freed owned components, at any depth.
TEST(ComponentOwnership, OwnerFreesWholeTreeOnce)
{
    int destroyed = 0;
    auto* root = new Counted(nullptr, destroyed);
    auto* child = new Counted(root, destroyed);
    new Counted(child, destroyed);
    new Counted(root, destroyed);
    root->Free();
    EXPECT_EQ(destroyed, 4);
}

// Catches a freed component left in its owner's list.
TEST(ComponentOwnership, FreedComponentLeavesItsOwner)
{
    TComponent owner;
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    EXPECT_EQ(b->ComponentIndex(), 1);
    a->Free();
    ASSERT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(owner.Components(0), b);
    EXPECT_EQ(b->ComponentIndex(), 0);
}

// Catches unchecked indexes into Components.
TEST(ComponentOwnership, ComponentsOutsideTheListRaiseListError)
{
    TComponent owner;
    new TComponent(&owner);
    try {
        owner.Components(1);
        FAIL() << "no error";
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), u"List index out of bounds (1)");
    }
    EXPECT_THROW(owner.Components(-1), EListError);
}

// Catches a component owned by two owners after InsertComponent.
TEST(ComponentOwnership, InsertComponentMovesFromPreviousOwner)
{
    TComponent first;
    TComponent second;
    auto* c = new TComponent(&first);
    second.InsertComponent(c);
    EXPECT_EQ(c->Owner(), &second);
    EXPECT_EQ(first.ComponentCount(), 0);
    EXPECT_EQ(second.ComponentCount(), 1);
}

// --- Free notification -------------------------------------------------------

// Catches a missing or repeated notice when a watched component is freed.
TEST(FreeNotification, UnrelatedListenerHearsOnceOnFree)
{
    NoticeLog log;
    Listener listener(nullptr, log);
    auto* watched = new TComponent();
    watched->FreeNotification(&listener);
    watched->FreeNotification(&listener);
    watched->Free();
    EXPECT_EQ(log.RemovalsOf(watched), 1);
}

// Catches notices lost when the owner, not the caller, frees the component.
TEST(FreeNotification, UnrelatedListenerHearsOnceWhenOwnerFrees)
{
    NoticeLog log;
    Listener listener(nullptr, log);
    auto* owner = new TComponent();
    auto* watched = new TComponent(owner);
    watched->FreeNotification(&listener);
    owner->Free();
    EXPECT_EQ(log.RemovalsOf(watched), 1);
}

// Catches a sibling hearing twice (through the owner and by a link), or not
// at all when the owner frees the watched component.
TEST(FreeNotification, SiblingHearsOnceThroughTheOwner)
{
    for (bool ownerFrees : {false, true}) {
        SCOPED_TRACE(ownerFrees ? "owner frees" : "freed directly");
        NoticeLog log;
        auto* owner = new TComponent();
        // The owner frees last first, so the watched one goes before its listener.
        auto* listener = new Listener(owner, log);
        auto* watched = new TComponent(owner);
        watched->FreeNotification(listener);
        if (ownerFrees) {
            owner->Free();
        } else {
            watched->Free();
            owner->Free();
        }
        EXPECT_EQ(log.RemovalsOf(watched), 1);
    }
}

// Catches the owner hearing twice when it asked for notification itself.
TEST(FreeNotification, OwnerAskingForNoticeHearsOnce)
{
    NoticeLog log;
    Listener owner(nullptr, log);
    auto* watched = new TComponent(&owner);
    watched->FreeNotification(&owner);
    watched->Free();
    EXPECT_EQ(log.RemovalsOf(watched), 1);
}

// Catches notices after the listener withdrew.
TEST(FreeNotification, RemovedListenerHearsNothing)
{
    NoticeLog log;
    Listener listener(nullptr, log);
    auto* watched = new TComponent();
    watched->FreeNotification(&listener);
    watched->RemoveFreeNotification(&listener);
    watched->Free();
    EXPECT_EQ(log.RemovalsOf(watched), 0);
}

// Catches a dead listener being called: the link must go both ways.
TEST(FreeNotification, ListenerFreedFirstIsForgotten)
{
    NoticeLog log;
    auto* listener = new Listener(nullptr, log);
    auto* watched = new TComponent();
    watched->FreeNotification(listener);
    listener->Free();
    EXPECT_EQ(log.RemovalsOf(listener), 0);
    watched->Free();
    EXPECT_EQ(log.RemovalsOf(watched), 0);
}

// Catches a stale pointer kept by a listener whose Notification skips the
// inherited one (a use after free under the sanitizer build).
TEST(FreeNotification, CarelessListenerKeepsNoStalePointer)
{
    auto* listener = new CarelessListener();
    auto* watched = new TComponent();
    watched->FreeNotification(listener);
    watched->Free();
    EXPECT_EQ(listener->removals, 1);
    listener->Free();
}

// Catches notices sent from the base destructor, where the listener would see
// a TComponent instead of the real class, or no destroying mark.
TEST(FreeNotification, ListenerSeesTheWholeObjectBeingDestroyed)
{
    NoticeLog log;
    Listener listener(nullptr, log);
    auto* owner = new TComponent();
    auto* watched = new TWatchedWidget(owner);
    watched->FreeNotification(&listener);
    owner->Free();
    ASSERT_EQ(log.classNames.size(), 1u);
    EXPECT_EQ(log.classNames[0], u"TWatchedWidget");
    EXPECT_TRUE(log.destroying[0]);
}
