// GUID parsing and canonical formatting.
#include "tests/support/TestSupport.h"

using namespace tvx;

namespace {
constexpr GUID kSample = ParseGuid("{7E5999AF-8E58-44A7-97A8-115ACD1F1C0A}");
static_assert(kSample.Data1 == 0x7E5999AF && kSample.Data2 == 0x8E58 && kSample.Data3 == 0x44A7);
static_assert(kSample.Data4[0] == 0x97 && kSample.Data4[7] == 0x0A);
} // namespace

// Formatting must give the canonical braced upper-case text identifiers are compared by.
TEST(Guid, FormatsCanonicalBracedUpperCase)
{
    constexpr GUID lower = ParseGuid("{f17a7bcd-e07d-11d1-ab0b-00c04fb16fb3}");
    EXPECT_EQ(FormatGuid(lower), "{F17A7BCD-E07D-11D1-AB0B-00C04FB16FB3}");
    EXPECT_EQ(FormatGuidW(kSample), u"{7E5999AF-8E58-44A7-97A8-115ACD1F1C0A}");
    EXPECT_EQ(FormatGuid(GUID{}), "{00000000-0000-0000-0000-000000000000}");
}

// Malformed text must be refused, never half-parsed.
TEST(Guid, RejectsMalformedText)
{
    const char* bad[] = {
        "",
        "7E5999AF-8E58-44A7-97A8-115ACD1F1C0A",
        "{7E5999AF-8E58-44A7-97A8-115ACD1F1C0A",
        "{7E5999AF-8E58-44A7-97A8-115ACD1F1C0A}x",
        "{7E5999AF-8E58-44A7-97A8115ACD1F1C0A0}",
        "{7E5999AG-8E58-44A7-97A8-115ACD1F1C0A}",
        "{7E5999AF 8E58-44A7-97A8-115ACD1F1C0A}",
        "(7E5999AF-8E58-44A7-97A8-115ACD1F1C0A)",
    };
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(TryParseGuid(std::string_view(text)).has_value());
    }
}

// Runtime parsing of UTF-16 text agrees with the compile-time parse.
TEST(Guid, ParsesUtf16TextAtRunTime)
{
    auto g = TryParseGuid(std::u16string_view(u"{7e5999af-8e58-44a7-97a8-115acd1f1c0a}"));
    ASSERT_TRUE(g.has_value());
    EXPECT_TRUE(IsEqualGuid(*g, kSample));
    EXPECT_TRUE(*g == kSample);
}

// The standard interface identifiers are the system's own.
TEST(Guid, StandardInterfaceIdentifiers)
{
    EXPECT_EQ(FormatGuid(IidOf<IUnknown>), "{00000000-0000-0000-C000-000000000046}");
    EXPECT_EQ(FormatGuid(IidOf<IClassFactory>), "{00000001-0000-0000-C000-000000000046}");
    EXPECT_EQ(FormatGuid(IidOf<IErrorInfo>), "{1CF2B120-547D-101B-8E65-08002B2BD119}");
}
