// BSTR layout and allocator behaviour, as packages compiled for Windows see it.
#include "interop/VariantBool.h"
#include "tests/support/TestSupport.h"

#include <cstring>

using namespace tvx;
using tvx::test::Text;

namespace {

std::uint32_t PrefixOf(BSTR b)
{
    std::uint32_t prefix;
    std::memcpy(&prefix, reinterpret_cast<const char*>(b) - 4, 4);
    return prefix;
}

} // namespace

// A wrong prefix or a missing terminator breaks every package reading our strings.
TEST(Bstr, LayoutHasByteLengthPrefixAndNulTerminator)
{
    BSTR b = SysAllocString(u"Tools");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(PrefixOf(b), 10u);
    EXPECT_EQ(b[5], u'\0');
    EXPECT_EQ(SysStringLen(b), 5u);
    EXPECT_EQ(SysStringByteLen(b), 10u);
    SysFreeString(b);
}

// Embedded NULs must survive: the length prefix ends the string, not the NUL.
TEST(Bstr, EmbeddedNulsAreKeptByLength)
{
    const char16_t text[] = {u'a', u'\0', u'b'};
    Bstr b = Bstr::Attach(SysAllocStringLen(text, 3));
    EXPECT_EQ(b.length(), 3u);
    EXPECT_EQ(b.view(), std::u16string_view(text, 3));
    EXPECT_EQ(b.get()[3], u'\0');
}

// Byte-length strings keep odd lengths and are still terminated.
TEST(Bstr, ByteLengthStringsKeepOddLengths)
{
    BSTR b = SysAllocStringByteLen("abc", 3);
    EXPECT_EQ(SysStringByteLen(b), 3u);
    EXPECT_EQ(SysStringLen(b), 1u);
    EXPECT_EQ(std::memcmp(b, "abc\0\0", 5), 0);
    SysFreeString(b);

    BSTR zeroed = SysAllocStringByteLen(nullptr, 4);
    EXPECT_EQ(std::memcmp(zeroed, "\0\0\0\0\0\0", 6), 0);
    SysFreeString(zeroed);
}

// A null BSTR is the empty string everywhere.
TEST(Bstr, NullReadsAsEmpty)
{
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(SysStringByteLen(nullptr), 0u);
    EXPECT_TRUE(BstrView(nullptr).empty());
    SysFreeString(nullptr);
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    Bstr empty;
    EXPECT_TRUE(empty.empty());
    EXPECT_EQ(empty.str(), u"");
}

// Reallocation from a pointer into the old string must copy before freeing.
TEST(Bstr, ReallocFromItsOwnTextIsSafe)
{
    BSTR b = SysAllocString(u"Hello, world");
    ASSERT_TRUE(SysReAllocString(&b, b + 7));
    EXPECT_EQ(Text(b), u"world");
    ASSERT_TRUE(SysReAllocStringLen(&b, b, 3));
    EXPECT_EQ(Text(b), u"wor");
    EXPECT_FALSE(SysReAllocString(nullptr, u"x"));
    SysFreeString(b);
}

// The holder frees exactly once, and put() releases the previous value first.
TEST(Bstr, HolderOwnsItsValue)
{
    Bstr a(u"one");
    Bstr copy = a;
    EXPECT_NE(copy.get(), a.get());
    EXPECT_EQ(copy.str(), u"one");
    *a.put() = SysAllocString(u"two");
    EXPECT_EQ(a.str(), u"two");
    Bstr moved = std::move(a);
    EXPECT_EQ(a.get(), nullptr);
    EXPECT_EQ(moved.utf8(), "two");
    BSTR raw = moved.detach();
    EXPECT_EQ(moved.get(), nullptr);
    SysFreeString(raw);
}

// UTF-16 and UTF-8 conversions, including text a package may send in error.
TEST(Utf, ConvertsBothWaysAndReplacesBrokenUnits)
{
    struct Case {
        std::u16string utf16;
        std::string utf8;
    } cases[] = {
        {u"Tools", "Tools"},
        {u"\u00e9\u20ac", "\xc3\xa9\xe2\x82\xac"},
        {u"\U0001F600", "\xf0\x9f\x98\x80"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8);
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16);
    }
    const char16_t lone[] = {u'a', char16_t(0xD800), u'b'};
    EXPECT_EQ(Utf16ToUtf8(std::u16string_view(lone, 3)), "a\xef\xbf\xbd"
                                                         "b");
    EXPECT_EQ(Utf8ToUtf16("\xff\xc0\x80"), u"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xe2\x82"), u"\uFFFD\uFFFD");
}

// VARIANT_BOOL: -1 written for true, any non-zero read as true.
TEST(VariantBool, WritesMinusOneReadsNonZero)
{
    EXPECT_EQ(ToVariantBool(true), VARIANT_BOOL(-1));
    EXPECT_EQ(ToVariantBool(false), VARIANT_BOOL(0));
    EXPECT_TRUE(FromVariantBool(1));
    EXPECT_TRUE(FromVariantBool(VARIANT_BOOL(0x8000)));
    EXPECT_FALSE(FromVariantBool(0));
}
