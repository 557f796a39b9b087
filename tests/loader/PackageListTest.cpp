// The package list: decoding of the two values, the exchange sort and
// reading the list from the registry, odd entries included.
#include "loader/PackageList.h"
#include "host/win32/RegistryEmulation.h"
#include "tests/support/PackageListRegistry.h"
#include "tests/support/TestSupport.h"

#include <climits>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;
using namespace tvx::test;
using talvix::LoadOrderSource;

struct DisplayNameCase {
    const char* label;
    RegistryValue value;
    std::u16string expected;
};

std::vector<BYTE> Bytes(std::u16string_view text, std::vector<BYTE> extra = {})
{
    std::vector<BYTE> bytes = Utf16Bytes(text);
    bytes.insert(bytes.end(), extra.begin(), extra.end());
    return bytes;
}

// Catches a text type that is refused, a length rule off by one (the
// terminator, odd sizes, missing terminators), expansion of REG_EXPAND_SZ,
// and non-text types read as text.
TEST(DecodeDisplayName, FollowsTheLengthRuleForEveryType)
{
    const DisplayNameCase cases[] = {
        {"REG_SZ", {REG_SZ, Bytes(u"Demo\0"sv)}, u"Demo"},
        {"REG_EXPAND_SZ is not expanded", {REG_EXPAND_SZ, Bytes(u"%SystemRoot%\\Demo\0"sv)}, u"%SystemRoot%\\Demo"},
        {"REG_MULTI_SZ keeps its inner terminators", {REG_MULTI_SZ, Bytes(u"One\0Two\0\0"sv)}, u"One\0Two\0"s},
        {"empty text", {REG_SZ, Bytes(u"\0"sv)}, u""},
        {"no data", {REG_SZ, {}}, u""},
        {"one byte", {REG_SZ, {0x41}}, u""},
        {"odd byte length", {REG_SZ, Bytes(u"Demo\0"sv, {0x00})}, u"Demo"},
        {"odd byte length without terminator", {REG_SZ, Bytes(u"Demo"sv, {0x58})}, u"Dem"},
        {"no terminator: the last character is dropped", {REG_SZ, Bytes(u"Demo"sv)}, u"Dem"},
        {"text outside the BMP", {REG_SZ, Bytes(u"P\U0001F4E6ck\0"sv)}, u"P\U0001F4E6ck"},
        {"REG_BINARY", {REG_BINARY, Bytes(u"Demo\0"sv)}, u""},
        {"REG_DWORD", {REG_DWORD, {1, 0, 0, 0}}, u""},
        {"REG_NONE", {REG_NONE, Bytes(u"Demo\0"sv)}, u""},
        {"REG_LINK", {REG_LINK, Bytes(u"Demo\0"sv)}, u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(talvix::DecodeDisplayName(c.value.Type, c.value.Data.data(), DWORD(c.value.Data.size())), c.expected);
    }
}

struct LoadOrderCase {
    const char* label;
    RegistryValue value;
    LONG expected;
    LoadOrderSource source;
};

// Catches an unsigned read, a default other than 100, and a value of the
// wrong type or size read as an integer anyway.
TEST(DecodeLoadOrder, ReadsOnlyFourByteDwordsAsSignedIntegers)
{
    const LoadOrderCase cases[] = {
        {"a REG_DWORD", DwordValue(10), 10, LoadOrderSource::Value},
        {"zero", DwordValue(0), 0, LoadOrderSource::Value},
        {"negative", DwordValue(0xFFFFFFFFu), -1, LoadOrderSource::Value},
        {"lowest", DwordValue(0x80000000u), INT_MIN, LoadOrderSource::Value},
        {"highest", DwordValue(0x7FFFFFFFu), INT_MAX, LoadOrderSource::Value},
        {"REG_DWORD of two bytes", {REG_DWORD, {5, 0}}, 100, LoadOrderSource::WrongSize},
        {"REG_DWORD of eight bytes", {REG_DWORD, {5, 0, 0, 0, 0, 0, 0, 0}}, 100, LoadOrderSource::WrongSize},
        {"REG_DWORD without data", {REG_DWORD, {}}, 100, LoadOrderSource::WrongSize},
        {"REG_DWORD_BIG_ENDIAN", {REG_DWORD_BIG_ENDIAN, {0, 0, 0, 5}}, 100, LoadOrderSource::WrongType},
        {"REG_QWORD", {REG_QWORD, {5, 0, 0, 0, 0, 0, 0, 0}}, 100, LoadOrderSource::WrongType},
        {"REG_BINARY of four bytes", {REG_BINARY, {5, 0, 0, 0}}, 100, LoadOrderSource::WrongType},
        {"REG_SZ digits", TextValue(u"5"), 100, LoadOrderSource::WrongType},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto [order, source] = talvix::DecodeLoadOrder(c.value.Type, c.value.Data.data(), DWORD(c.value.Data.size()));
        EXPECT_EQ(order, c.expected);
        EXPECT_EQ(source, c.source);
    }
}

struct SortCase {
    const char* label;
    std::vector<LONG> orders;
    int high;
    std::vector<std::string> expectedNames; // the entries were named A, B, C, ... in enumeration order
    std::vector<LONG> expectedOrders;
};

// Catches a stable sort, a sort that exchanges equal orders, an unsigned
// comparison, one parallel sequence left behind, and a sort past `high`.
TEST(SortPackageList, ExchangesExactlyAsTheExchangeSortDoes)
{
    const SortCase cases[] = {
        {"equal orders come out reversed", {10, 10, 5}, 2, {"C", "B", "A"}, {5, 10, 10}},
        {"negative first", {100, 50, -1}, 2, {"C", "B", "A"}, {-1, 50, 100}},
        {"equal orders reversed by an exchange between them", {2, 1, 2, 1}, 3, {"B", "D", "C", "A"}, {1, 1, 2, 2}},
        {"the first entry jumps the others", {5, 5, 5, 1}, 3, {"D", "B", "C", "A"}, {1, 5, 5, 5}},
        {"equal orders kept in place", {3, 3, 1, 2}, 3, {"C", "D", "A", "B"}, {1, 2, 3, 3}},
        {"already sorted", {1, 2, 3}, 2, {"A", "B", "C"}, {1, 2, 3}},
        {"signed extremes", {INT_MAX, INT_MIN, 0}, 2, {"B", "C", "A"}, {INT_MIN, 0, INT_MAX}},
        {"one entry", {7}, 0, {"A"}, {7}},
        {"only up to the highest index", {3, 2, 1}, 1, {"B", "A", "C"}, {2, 3, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<LONG> orders = c.orders;
        std::vector<std::string> names, displayNames;
        for (std::size_t i = 0; i < orders.size(); ++i) {
            names.push_back(std::string(1, char('A' + i)));
            displayNames.push_back("name of " + names.back());
        }
        talvix::SortPackageList(orders, c.high, names, displayNames);
        EXPECT_EQ(names, c.expectedNames);
        EXPECT_EQ(orders, c.expectedOrders);
        for (std::size_t i = 0; i < names.size(); ++i)
            EXPECT_EQ(displayNames[i], "name of " + names[i]) << "display name " << i << " left its subkey";
    }
}

class ReadPackageListTest : public ::testing::Test {
protected:
    void SetUp() override { tvx::win32::ResetRegistry(); }
    void TearDown() override { EXPECT_EQ(tvx::win32::OpenRegistryHandleCount(), 0u) << "a key was left open"; }

    // The list with one entry holding `entry`'s values.
    std::optional<talvix::PackageList> ReadOne(const PackageListEntry& entry)
    {
        tvx::win32::ResetRegistry();
        WritePackageListEntry(entry);
        return talvix::ReadPackageList();
    }
};

// Catches a list made up when the key is missing.
TEST_F(ReadPackageListTest, MissingKeyGivesNothing) { EXPECT_FALSE(talvix::ReadPackageList().has_value()); }

// Catches an empty key read as missing, or as holding something.
TEST_F(ReadPackageListTest, EmptyKeyGivesAnEmptyList)
{
    CreatePackageListKey();
    auto list = talvix::ReadPackageList();
    ASSERT_TRUE(list.has_value());
    EXPECT_TRUE(list->SubkeyNames.empty());
    EXPECT_TRUE(list->DisplayNames.empty());
}

// Catches a LoadOrder read from the registry that ignores its type or size,
// or reads it unsigned.
TEST_F(ReadPackageListTest, LoadOrderFallsBackTo100UnlessAFourByteDword)
{
    const struct {
        const char* label;
        std::optional<RegistryValue> value;
        LONG expected;
    } cases[] = {
        {"absent", std::nullopt, 100},
        {"REG_SZ", TextValue(u"7"), 100},
        {"REG_BINARY", RegistryValue{REG_BINARY, {7, 0, 0, 0}}, 100},
        {"REG_DWORD of two bytes", RegistryValue{REG_DWORD, {7, 0}}, 100},
        {"REG_DWORD of eight bytes", RegistryValue{REG_DWORD, {7, 0, 0, 0, 0, 0, 0, 0}}, 100},
        {"REG_DWORD without data", RegistryValue{REG_DWORD, {}}, 100},
        {"negative", DwordValue(0xFFFFFFF6u), -10},
        {"seven", DwordValue(7), 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto list = ReadOne({u"{A0000000-0000-0000-0000-000000000001}", TextValue(u"Name"), c.value});
        ASSERT_TRUE(list.has_value());
        ASSERT_EQ(list->LoadOrders.size(), 1u);
        EXPECT_EQ(list->LoadOrders[0], c.expected);
        EXPECT_EQ(list->DisplayNames[0], u"Name") << "the display name must not depend on LoadOrder";
    }
}

// Catches a display name read from the registry with the terminator kept, a
// missing terminator crashing or over-reading, expansion, and non-text types
// or a missing value shown as text.
TEST_F(ReadPackageListTest, DisplayNameOfEveryStoredShape)
{
    const struct {
        const char* label;
        std::optional<RegistryValue> value;
        std::u16string expected;
    } cases[] = {
        {"REG_SZ", TextValue(u"Demo"), u"Demo"},
        {"REG_EXPAND_SZ", TextValue(u"%TEMP%\\Demo", REG_EXPAND_SZ), u"%TEMP%\\Demo"},
        {"REG_MULTI_SZ", RegistryValue{REG_MULTI_SZ, Bytes(u"One\0Two\0\0"sv)}, u"One\0Two\0"s},
        {"empty", TextValue(u""), u""},
        {"no data", RegistryValue{REG_SZ, {}}, u""},
        {"odd byte length", RegistryValue{REG_SZ, Bytes(u"Demo\0"sv, {0x00})}, u"Demo"},
        {"no terminator", RegistryValue{REG_SZ, Bytes(u"Demo"sv)}, u"Dem"},
        {"REG_BINARY", RegistryValue{REG_BINARY, Bytes(u"Demo\0"sv)}, u""},
        {"REG_DWORD", DwordValue(5), u""},
        {"absent", std::nullopt, u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto list = ReadOne({u"{A0000000-0000-0000-0000-000000000001}", c.value, DwordValue(3)});
        ASSERT_TRUE(list.has_value());
        ASSERT_EQ(list->DisplayNames.size(), 1u);
        EXPECT_EQ(list->DisplayNames[0], c.expected);
        EXPECT_EQ(list->LoadOrders[0], 3);
    }
}

// Catches a display name cut at, or lost beyond, the size a first read
// takes in one call: long values need the size first.
TEST_F(ReadPackageListTest, DisplayNamesOfAnyLengthAreReadWhole)
{
    for (std::size_t length : {std::size_t(0), std::size_t(62), std::size_t(63), std::size_t(64), std::size_t(65),
                               std::size_t(127), std::size_t(128), std::size_t(5000)}) {
        SCOPED_TRACE(length);
        std::u16string name(length, u'n');
        if (length > 0)
            name.back() = u'z';
        auto list = ReadOne({u"{A0000000-0000-0000-0000-000000000001}", TextValue(name), DwordValue(4)});
        ASSERT_TRUE(list.has_value());
        ASSERT_EQ(list->DisplayNames.size(), 1u);
        EXPECT_EQ(list->DisplayNames[0], name);
        EXPECT_EQ(list->LoadOrders[0], 4);
    }
}

// Catches display names or load orders that stay behind when the sort moves
// their subkeys, and an order other than the registry's before sorting.
TEST_F(ReadPackageListTest, ValuesTravelWithTheirSubkeysThroughTheSort)
{
    ListPackage(u"A", u"first", 10);
    ListPackage(u"b", u"second", 10);
    ListPackage(u"C", u"third", 5);
    ListPackage(u"d", u"fourth", std::nullopt);
    auto list = talvix::ReadPackageList();
    ASSERT_TRUE(list.has_value());
    EXPECT_EQ(list->SubkeyNames, (std::vector<std::u16string>{u"C", u"b", u"A", u"d"}));
    EXPECT_EQ(list->DisplayNames, (std::vector<std::u16string>{u"third", u"second", u"first", u"fourth"}));
    EXPECT_EQ(list->LoadOrders, (std::vector<LONG>{5, 10, 10, 100}));
}

// Catches subkey names cut short by an enumeration buffer sized too small.
TEST_F(ReadPackageListTest, ReadsSubkeyNamesOfTheLongestLength)
{
    const std::u16string longest(255, u'x');
    ListPackage(u"short", u"Short", 2);
    ListPackage(longest, u"Long", 1);
    auto list = talvix::ReadPackageList();
    ASSERT_TRUE(list.has_value());
    EXPECT_EQ(list->SubkeyNames, (std::vector<std::u16string>{longest, u"short"}));
    EXPECT_EQ(list->DisplayNames, (std::vector<std::u16string>{u"Long", u"Short"}));
}

// A subkey that is listed but cannot be opened for reading is not covered:
// the emulated registry can only deny write access, and the loader opens
// subkeys read-only.

} // namespace
