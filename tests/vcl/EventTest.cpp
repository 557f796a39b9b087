#include "host/vcl/Classes.h"
#include "tests/support/TestSupport.h"

namespace {

using TCountEvent = TEvent<int, int&>;

class Handler {
public:
    explicit Handler(int factor) : factor_(factor) {}
    void Multiply(int value, int& result) { result = value * factor_; }
    void Add(int value, int& result) { result = value + factor_; }
    void Peek(int value, int& result) const { result = value - factor_; }

private:
    int factor_;
};

int Call(const TCountEvent& e, int value)
{
    int result = -1;
    e(value, result);
    return result;
}

} // namespace

// Catches an empty event that claims to be assigned or crashes when called.
TEST(Event, EmptyEventIsUnassignedAndCallsNothing)
{
    TCountEvent empty;
    EXPECT_FALSE(empty.Assigned());
    EXPECT_TRUE(empty == nullptr);
    EXPECT_EQ(Call(empty, 3), -1);
    EXPECT_FALSE(MakeEvent<&Handler::Multiply>(nullptr).Assigned());
}

// Catches handlers called on the wrong object or without their arguments,
// including the reference arguments that carry results back.
TEST(Event, CallsTheHandlerOfItsObject)
{
    Handler twice(2);
    Handler thrice(3);
    EXPECT_EQ(Call(MakeEvent<&Handler::Multiply>(&twice), 5), 10);
    EXPECT_EQ(Call(MakeEvent<&Handler::Multiply>(&thrice), 5), 15);
    EXPECT_EQ(Call(MakeEvent<&Handler::Peek>(&thrice), 5), 2);
}

// Catches identity that ignores either half of the method pointer.
TEST(Event, SameHandlerAndObjectCompareEqualOnly)
{
    Handler a(1);
    Handler b(1);
    EXPECT_TRUE(MakeEvent<&Handler::Multiply>(&a) == MakeEvent<&Handler::Multiply>(&a));
    EXPECT_FALSE(MakeEvent<&Handler::Multiply>(&a) == MakeEvent<&Handler::Multiply>(&b));
    EXPECT_FALSE(MakeEvent<&Handler::Multiply>(&a) == MakeEvent<&Handler::Add>(&a));
    EXPECT_EQ(MakeEvent<&Handler::Multiply>(&a).Data(), &a);
}

// Catches a saved handler that no longer works or no longer compares equal
// once put back, the way a hook saves and restores the IDE's handler.
TEST(Event, SavedHandlerCanBePutBack)
{
    Handler ide(2);
    Handler hook(100);
    TCountEvent slot = MakeEvent<&Handler::Multiply>(&ide);
    TCountEvent saved = slot;
    slot = MakeEvent<&Handler::Add>(&hook);
    EXPECT_EQ(Call(slot, 1), 101);
    slot = saved;
    EXPECT_TRUE(slot == MakeEvent<&Handler::Multiply>(&ide));
    EXPECT_EQ(Call(slot, 4), 8);
}

// Catches a raw method pair that loses the handler on its way through
// published-property access.
TEST(Event, RawMethodRoundTripKeepsTheHandler)
{
    Handler h(7);
    TCountEvent e = MakeEvent<&Handler::Add>(&h);
    TMethod raw = e.Method();
    EXPECT_EQ(raw.Data, &h);
    TCountEvent back = TCountEvent::FromMethod(raw);
    EXPECT_TRUE(back == e);
    EXPECT_EQ(Call(back, 1), 8);
}
