#include "host/vcl/StringList.h"
#include "tests/support/TestSupport.h"

#include <vector>

namespace {

template <class F>
String StringListErrorOf(F&& f)
{
    try {
        f();
    } catch (const EStringListError& e) {
        return e.Message();
    }
    return u"no error";
}

class Counted : public TObject {
public:
    explicit Counted(int& destroyed) : destroyed_(destroyed) {}
    ~Counted() override { ++destroyed_; }

private:
    int& destroyed_;
};

struct ChangeCounter {
    void Changing(TObject*) { ++changing; }
    void Changed(TObject*) { ++changed; }
    int changing = 0;
    int changed = 0;
};

} // namespace

// Catches unchecked indexes on every accessor, with the VCL's text.
TEST(StringList, IndexesOutsideTheListRaiseWithTheIndex)
{
    TStringList list;
    list.Add(u"a");
    EXPECT_EQ(StringListErrorOf([&] { list.Strings(1); }), u"List index out of bounds (1)");
    EXPECT_EQ(StringListErrorOf([&] { list.Objects(-1); }), u"List index out of bounds (-1)");
    EXPECT_EQ(StringListErrorOf([&] { list.SetStrings(1, u"x"); }), u"List index out of bounds (1)");
    EXPECT_EQ(StringListErrorOf([&] { list.SetObjects(3, nullptr); }), u"List index out of bounds (3)");
    EXPECT_EQ(StringListErrorOf([&] { list.Delete(1); }), u"List index out of bounds (1)");
    EXPECT_EQ(StringListErrorOf([&] { list.Insert(2, u"x"); }), u"List index out of bounds (2)");
    list.Insert(1, u"end");
    EXPECT_EQ(list.Strings(1), u"end");
}

// Catches a case-sensitive default search, or CaseSensitive ignored.
TEST(StringList, IndexOfIgnoresCaseUnlessAsked)
{
    TStringList list;
    list.Add(u"Alpha");
    list.Add(u"beta");
    EXPECT_EQ(list.IndexOf(u"BETA"), 1);
    EXPECT_EQ(list.IndexOf(u"gamma"), -1);
    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf(u"BETA"), -1);
    EXPECT_EQ(list.IndexOf(u"beta"), 1);
}

// Catches objects that lose their string when the list reorders.
TEST(StringList, ObjectsTravelWithTheirStrings)
{
    TStringList list;
    TObject a;
    TObject b;
    list.AddObject(u"b", &b);
    list.AddObject(u"a", &a);
    list.Exchange(0, 1);
    EXPECT_EQ(list.Objects(0), &a);
    list.Exchange(0, 1);
    list.Sort();
    EXPECT_EQ(list.Strings(0), u"a");
    EXPECT_EQ(list.Objects(0), &a);
    EXPECT_EQ(list.IndexOfObject(&b), 1);
}

// Catches a sorted list that loses its order or its duplicate rule.
TEST(StringList, SortedListKeepsOrderAndDuplicateRule)
{
    TStringList list;
    list.SetSorted(true);
    list.Add(u"m");
    list.Add(u"a");
    list.Add(u"z");
    EXPECT_EQ(list.Strings(0), u"a");
    EXPECT_EQ(list.Strings(2), u"z");
    EXPECT_EQ(list.Add(u"M"), 1);
    EXPECT_EQ(list.Count(), 3);
    list.SetDuplicates(dupError);
    EXPECT_EQ(StringListErrorOf([&] { list.Add(u"a"); }), u"String list does not allow duplicates");
    list.SetDuplicates(dupAccept);
    list.Add(u"a");
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(StringListErrorOf([&] { list.Insert(0, u"b"); }), u"Operation not allowed on sorted list");
    int index = -1;
    EXPECT_FALSE(list.Find(u"n", index));
    EXPECT_EQ(index, 3);
}

// Catches an owning list that leaks or double-frees its objects.
TEST(StringList, OwningListFreesObjectsThatLeave)
{
    int destroyed = 0;
    {
        TStringList list(true);
        list.AddObject(u"a", new Counted(destroyed));
        list.AddObject(u"b", new Counted(destroyed));
        list.AddObject(u"c", new Counted(destroyed));
        list.Delete(0);
        EXPECT_EQ(destroyed, 1);
        list.Clear();
        EXPECT_EQ(destroyed, 3);
        list.AddObject(u"d", new Counted(destroyed));
    }
    EXPECT_EQ(destroyed, 4);
}

// Catches change events that fire inside an update block, or more than once
// around it.
TEST(StringList, ChangeEventsWaitForTheLastEndUpdate)
{
    TStringList list;
    ChangeCounter counter;
    list.SetOnChanging(MakeEvent<&ChangeCounter::Changing>(&counter));
    list.SetOnChange(MakeEvent<&ChangeCounter::Changed>(&counter));
    list.Add(u"a");
    EXPECT_EQ(counter.changed, 1);
    list.BeginUpdate();
    list.BeginUpdate();
    list.Add(u"b");
    list.Delete(0);
    list.EndUpdate();
    EXPECT_EQ(counter.changed, 1);
    list.EndUpdate();
    EXPECT_EQ(counter.changed, 2);
    EXPECT_EQ(counter.changing, 2);
}

// Catches Assign that drops objects, or accepts a source it cannot read.
TEST(StringList, AssignCopiesStringsAndObjects)
{
    TStringList source;
    TObject o;
    source.AddObject(u"x", &o);
    TStringList target;
    target.Add(u"old");
    target.Assign(&source);
    ASSERT_EQ(target.Count(), 1);
    EXPECT_EQ(target.Strings(0), u"x");
    EXPECT_EQ(target.Objects(0), &o);

    TComponent component;
    try {
        target.Assign(&component);
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"Cannot assign a TComponent to a TStringList");
    }
}
