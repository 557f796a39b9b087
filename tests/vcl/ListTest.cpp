#include "host/vcl/Lists.h"
#include "tests/support/TestSupport.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

void* P(std::uintptr_t n) { return reinterpret_cast<void*>(n); }

template <class F>
String ListErrorOf(F&& f)
{
    try {
        f();
    } catch (const EListError& e) {
        return e.Message();
    }
    return u"no error";
}

} // namespace

// Catches unchecked indexes, and the VCL's text for them.
TEST(List, IndexesOutsideTheListRaiseWithTheIndex)
{
    TList list;
    list.Add(P(1));
    list.Add(P(2));
    EXPECT_EQ(ListErrorOf([&] { list.Items(2); }), u"List index out of bounds (2)");
    EXPECT_EQ(ListErrorOf([&] { list.Items(-1); }), u"List index out of bounds (-1)");
    EXPECT_EQ(ListErrorOf([&] { list.Delete(2); }), u"List index out of bounds (2)");
    EXPECT_EQ(ListErrorOf([&] { list.Insert(3, P(9)); }), u"List index out of bounds (3)");
    EXPECT_EQ(ListErrorOf([&] { list.SetItems(5, P(9)); }), u"List index out of bounds (5)");
    TList empty;
    EXPECT_EQ(ListErrorOf([&] { empty.First(); }), u"List index out of bounds (0)");
}

// Catches off-by-one errors at the ends and in the reordering operations.
TEST(List, InsertMoveExchangeKeepOrder)
{
    TList list;
    list.Insert(0, P(2));
    list.Insert(0, P(1));
    list.Insert(2, P(3));
    list.Move(0, 2);
    EXPECT_EQ(list.Items(0), P(2));
    EXPECT_EQ(list.Items(2), P(1));
    list.Exchange(0, 2);
    EXPECT_EQ(list.First(), P(1));
    EXPECT_EQ(list.Last(), P(2));
}

// Catches Remove taking every occurrence, or answering the wrong index.
TEST(List, RemoveTakesTheFirstOccurrence)
{
    TList list;
    list.Add(P(1));
    list.Add(P(2));
    list.Add(P(1));
    EXPECT_EQ(list.Remove(P(1)), 0);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.IndexOf(P(1)), 1);
    EXPECT_EQ(list.Remove(P(7)), -1);
    EXPECT_EQ(list.Extract(P(7)), nullptr);
    EXPECT_EQ(list.Extract(P(2)), P(2));
}

// Catches duplicates accepted by default, or the other modes ignored.
TEST(ThreadList, DuplicatesFollowTheMode)
{
    TThreadList list;
    list.Add(P(1));
    list.Add(P(1));
    EXPECT_EQ(list.Count(), 1);
    list.SetDuplicates(dupAccept);
    list.Add(P(1));
    EXPECT_EQ(list.Count(), 2);
    list.SetDuplicates(dupError);
    EXPECT_THROW(list.Add(P(1)), EListError);
    list.Remove(P(1));
    EXPECT_EQ(list.Count(), 1);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

// Catches a lock that does not hold another thread off until UnlockList.
TEST(ThreadList, LockListHoldsOffOtherThreads)
{
    TThreadList list;
    std::atomic<bool> added{false};
    TList* locked = list.LockList();
    std::thread other([&] {
        list.Add(P(1));
        added = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(added.load());
    EXPECT_EQ(locked->Count(), 0);
    list.UnlockList();
    other.join();
    EXPECT_TRUE(added.load());
    EXPECT_EQ(list.Count(), 1);
}

// Catches a lock that deadlocks when the holding thread locks it again, as
// code walking a locked list and calling Add does.
TEST(ThreadList, OwningThreadMayLockAgain)
{
    TThreadList list;
    {
        TThreadList::Locked outer(list);
        list.Add(P(1));
        EXPECT_EQ(outer->Count(), 1);
    }
    EXPECT_EQ(list.Count(), 1);
}

// Catches lost updates when several threads add at once.
TEST(ThreadList, ConcurrentAddsAllLand)
{
    TThreadList list;
    list.SetDuplicates(dupAccept);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 500; ++i)
                list.Add(P(std::uintptr_t(i + 1)));
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(list.Count(), 2000);
}
