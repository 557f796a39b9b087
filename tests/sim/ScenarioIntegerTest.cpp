// Numbers in scenario steps: decimal, or hexadecimal after 0x, and nothing
// else.
#include "sim/Scenario.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

using tvx::sim::ScenarioError;
using tvx::sim::ScenarioInteger;

TEST(ScenarioIntegerTest, ReadsDecimalAndHexadecimalWithSign)
{
    EXPECT_EQ(ScenarioInteger("0"), 0);
    EXPECT_EQ(ScenarioInteger("256"), 256);
    EXPECT_EQ(ScenarioInteger("0x100"), 256);
    EXPECT_EQ(ScenarioInteger("0XfF"), 255);
    EXPECT_EQ(ScenarioInteger("-12"), -12);
    EXPECT_EQ(ScenarioInteger("+0x10"), 16);
    EXPECT_EQ(ScenarioInteger("-0x10"), -16);
}

TEST(ScenarioIntegerTest, LeadingZeroIsStillDecimal)
{
    // strtoll's base 0 read these as octal (8) or refused them (08).
    EXPECT_EQ(ScenarioInteger("010"), 10);
    EXPECT_EQ(ScenarioInteger("08"), 8);
    EXPECT_EQ(ScenarioInteger("-007"), -7);
}

TEST(ScenarioIntegerTest, RefusesTextAroundOrInsideTheDigits)
{
    for (const std::string& text : {std::string("5\0"
                                                "9",
                                                3),
                                    std::string(" 5"), std::string("\t5"), std::string("5 "), std::string("0x"),
                                    std::string("-"), std::string("+"), std::string("0x-5"), std::string("--5"),
                                    std::string("12abc"), std::string("1e3"), std::string("0b101"), std::string("")})
        EXPECT_THROW(ScenarioInteger(text), ScenarioError) << "'" << text << "'";
}

TEST(ScenarioIntegerTest, ReadsTheWholeRangeAndRefusesBeyondIt)
{
    EXPECT_EQ(ScenarioInteger("9223372036854775807"), LLONG_MAX);
    EXPECT_EQ(ScenarioInteger("-9223372036854775808"), LLONG_MIN);
    EXPECT_EQ(ScenarioInteger("0x7FFFFFFFFFFFFFFF"), LLONG_MAX);
    EXPECT_EQ(ScenarioInteger("-0x8000000000000000"), LLONG_MIN);
    EXPECT_THROW(ScenarioInteger("9223372036854775808"), ScenarioError);
    EXPECT_THROW(ScenarioInteger("-9223372036854775809"), ScenarioError);
    EXPECT_THROW(ScenarioInteger("0x10000000000000000"), ScenarioError);
    EXPECT_THROW(ScenarioInteger("99999999999999999999999"), ScenarioError);
}

// Catches arguments of narrower types wrapping round: 4294967296 read as an
// int index was 0.
TEST(ScenarioIntegerTest, RangedReadRefusesWhatTheTypeCannotHold)
{
    EXPECT_EQ(ScenarioInteger("2147483647", INT_MIN, INT_MAX), INT_MAX);
    EXPECT_EQ(ScenarioInteger("-2147483648", INT_MIN, INT_MAX), INT_MIN);
    EXPECT_EQ(ScenarioInteger("0xFFFFFFFF", 0, 0xFFFFFFFFll), 0xFFFFFFFFll);
    for (const char* text : {"4294967296", "2147483648", "-2147483649", "-0x100000000"})
        EXPECT_THROW(ScenarioInteger(text, INT_MIN, INT_MAX), ScenarioError) << text;
    EXPECT_THROW(ScenarioInteger("0x100000100", 0, 0xFFFFFFFFll), ScenarioError);
    EXPECT_THROW(ScenarioInteger("-1", 0, 0xFFFFFFFFll), ScenarioError);
}

} // namespace
