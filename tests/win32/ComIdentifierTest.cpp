// Class and interface identifiers read from text, ProgIDs, and identifiers
// written back as text.
#include "host/win32/Win32.h"
#include "tests/support/TestSupport.h"
#if !defined(_WIN32)
#include "tests/fixtures/FixtureSupport.h"
#endif

#include <cstring>
#include <string_view>

namespace {

using namespace tvx::test;

constexpr GUID kSample = tvx::ParseGuid("{350C986C-3857-4D8C-8549-CAC58F679BF5}");
constexpr GUID kOther = tvx::ParseGuid("{CADFA604-599F-4A67-98C2-FF354C8BF281}");

GUID SentinelGuid()
{
    GUID g;
    std::memset(&g, 0xAB, sizeof g);
    return g;
}

#if defined(_WIN32)
// Windows' COM reads the machine's classes key itself, past any override of
// HKEY_CLASSES_ROOT, so the test's classes go there and are removed after.
std::u16string ClassKeyPath(REFCLSID clsid) { return u"CLSID\\" + tvx::FormatGuidW(clsid); }

LSTATUS WriteClassesText(const std::u16string& keyPath, const char16_t* name, const std::u16string& value)
{
    HKEY key = nullptr;
    LSTATUS rc =
        RegCreateKeyExW(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS)
        return rc;
    rc = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        DWORD((value.size() + 1) * sizeof(char16_t)));
    RegCloseKey(key);
    return rc;
}

void RemoveTestClasses()
{
    for (const std::u16string& path :
         {std::u16string(u"Talvix.Sample.1"), std::u16string(u"Talvix.Sample"), std::u16string(u"Talvix.Broken"),
          std::u16string(u"Talvix.Loop"), ClassKeyPath(kSample)})
        RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
}

class ComIdentifierTest : public ::testing::Test {
protected:
    void SetUp() override { RemoveTestClasses(); }
    void TearDown() override { RemoveTestClasses(); }
};
#else
class ComIdentifierTest : public ::testing::Test {
protected:
    void SetUp() override { FreshRegistry(); }
};
#endif

// Catches a parser that is case-sensitive, accepts forms Windows refuses, or
// leaves a stale identifier behind when it fails.
TEST_F(ComIdentifierTest, ClsidFromStringReadsBracedGuidsAndRefusesEveryOtherForm)
{
    struct Case {
        const char16_t* text;
        HRESULT hr;
        GUID clsid;
    } const cases[] = {
        {u"{350C986C-3857-4D8C-8549-CAC58F679BF5}", S_OK, kSample},
        {u"{350c986c-3857-4d8c-8549-cac58f679bf5}", S_OK, kSample},
        {u"{350c986C-3857-4D8c-8549-CAc58F679bF5}", S_OK, kSample},
        {u"350C986C-3857-4D8C-8549-CAC58F679BF5", CO_E_CLASSSTRING, GUID_NULL},
        {u"{350C986C-3857-4D8C-8549-CAC58F679BF5", CO_E_CLASSSTRING, GUID_NULL},
        {u"{350C986C-3857-4D8C-8549-CAC58F679BFG}", CO_E_CLASSSTRING, GUID_NULL},
        {u"{350C986C38574D8C8549CAC58F679BF5}", CO_E_CLASSSTRING, GUID_NULL},
        {u"", CO_E_CLASSSTRING, GUID_NULL},
        {u"garbage", CO_E_CLASSSTRING, GUID_NULL},
        {u"Not.Registered.1", CO_E_CLASSSTRING, GUID_NULL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(tvx::Utf16ToUtf8(c.text));
        GUID clsid = SentinelGuid();
        EXPECT_EQ(CLSIDFromString(c.text, &clsid), c.hr);
#if defined(_WIN32)
        // Windows leaves what it read before a fault in braced text; the
        // stand-in clears the identifier instead.
        if (c.hr != S_OK && c.text[0] == u'{')
            continue;
#endif
        EXPECT_TRUE(tvx::IsEqualGuid(clsid, c.clsid));
    }
}

// Catches a crash or a failure on the null string, which Windows reads as GUID_NULL.
TEST_F(ComIdentifierTest, NullTextIsGuidNullAndNullOutIsRefused)
{
    GUID clsid = SentinelGuid();
    EXPECT_EQ(CLSIDFromString(nullptr, &clsid), S_OK);
    EXPECT_TRUE(tvx::IsEqualGuid(clsid, GUID_NULL));
    EXPECT_EQ(CLSIDFromString(u"{350C986C-3857-4D8C-8549-CAC58F679BF5}", nullptr), E_INVALIDARG);
    EXPECT_EQ(IIDFromString(nullptr, &clsid), S_OK);
    EXPECT_EQ(IIDFromString(u"x", nullptr), E_INVALIDARG);
}

// Catches ProgIDs that are not looked up, CurVer not followed, or a malformed
// registered CLSID taken for a class.
TEST_F(ComIdentifierTest, ProgIdsResolveThroughTheRegistry)
{
    ASSERT_EQ(WriteClassesText(u"Talvix.Sample.1\\CLSID", nullptr, tvx::FormatGuidW(kSample)), ERROR_SUCCESS);
    ASSERT_EQ(WriteClassesText(u"Talvix.Sample\\CurVer", nullptr, u"Talvix.Sample.1"), ERROR_SUCCESS);
    ASSERT_EQ(WriteClassesText(u"Talvix.Broken\\CLSID", nullptr, u"not a guid"), ERROR_SUCCESS);
    ASSERT_EQ(WriteClassesText(u"Talvix.Loop\\CurVer", nullptr, u"Talvix.Loop"), ERROR_SUCCESS);

    struct Case {
        const char16_t* progId;
        HRESULT hr;
        GUID clsid;
    } const cases[] = {
        {u"Talvix.Sample.1", S_OK, kSample},
        {u"talvix.sample.1", S_OK, kSample},
        {u"Talvix.Sample", S_OK, kSample},
        {u"Talvix.Broken", CO_E_CLASSSTRING, GUID_NULL},
        {u"Talvix.Loop", CO_E_CLASSSTRING, GUID_NULL},
        {u"Talvix.Sample.1\\CLSID", CO_E_CLASSSTRING, GUID_NULL},
        {u"Talvix.Missing", CO_E_CLASSSTRING, GUID_NULL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(tvx::Utf16ToUtf8(c.progId));
#if defined(_WIN32)
        // Wine 8 does not follow CurVer from a ProgID without a CLSID key;
        // not yet held against Windows itself.
        if (tvx::test::OnWine() && std::u16string_view(c.progId) == u"Talvix.Sample")
            continue;
#endif
        GUID fromString = SentinelGuid();
        GUID fromProgId = SentinelGuid();
        EXPECT_EQ(CLSIDFromString(c.progId, &fromString), c.hr);
        EXPECT_EQ(CLSIDFromProgID(c.progId, &fromProgId), c.hr);
        EXPECT_TRUE(tvx::IsEqualGuid(fromString, c.clsid));
        EXPECT_TRUE(tvx::IsEqualGuid(fromProgId, c.clsid));
    }
}

// Catches a ProgID handed out without the task allocator or a success for an unknown class.
TEST_F(ComIdentifierTest, ProgIdFromClsidReadsTheClassKey)
{
    ASSERT_EQ(WriteClassesText(ClassKeyPath(kSample) + u"\\ProgID", nullptr, u"Talvix.Sample.1"), ERROR_SUCCESS);
    LPOLESTR progId = SentinelPointer<OLECHAR>();
    ASSERT_EQ(ProgIDFromCLSID(kSample, &progId), S_OK);
    EXPECT_EQ(std::u16string(tvx::AsChar16(progId)), u"Talvix.Sample.1");
    CoTaskMemFree(progId);

    progId = SentinelPointer<OLECHAR>();
    EXPECT_EQ(ProgIDFromCLSID(kOther, &progId), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(progId, nullptr);
}

// Catches lower-case or unbraced output, a wrong length, and writes past a short buffer.
TEST_F(ComIdentifierTest, GuidsFormatAsBracedUpperCaseText)
{
    OLECHAR buffer[40];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(StringFromGUID2(kSample, buffer, 39), 39);
    EXPECT_EQ(std::u16string(tvx::AsChar16(buffer)), u"{350C986C-3857-4D8C-8549-CAC58F679BF5}");
    EXPECT_EQ(buffer[39], u'#');

    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(StringFromGUID2(kSample, buffer, 38), 0);
    EXPECT_EQ(buffer[0], u'#');

    LPOLESTR text = nullptr;
    ASSERT_EQ(StringFromCLSID(kOther, &text), S_OK);
    GUID back = SentinelGuid();
    EXPECT_EQ(CLSIDFromString(text, &back), S_OK);
    EXPECT_TRUE(tvx::IsEqualGuid(back, kOther));
    CoTaskMemFree(text);
}

// Catches IIDFromString taking ProgIDs or unbraced text, which only CLSIDFromString may read.
TEST_F(ComIdentifierTest, IidFromStringReadsOnlyBracedGuids)
{
    ASSERT_EQ(WriteClassesText(u"Talvix.Sample.1\\CLSID", nullptr, tvx::FormatGuidW(kSample)), ERROR_SUCCESS);
    IID iid = SentinelGuid();
    EXPECT_EQ(IIDFromString(u"{350c986c-3857-4d8c-8549-cac58f679bf5}", &iid), S_OK);
    EXPECT_TRUE(tvx::IsEqualGuid(iid, kSample));
    for (const char16_t* text : {u"350C986C-3857-4D8C-8549-CAC58F679BF5", u"Talvix.Sample.1", u""}) {
        SCOPED_TRACE(tvx::Utf16ToUtf8(text));
        iid = SentinelGuid();
        EXPECT_EQ(IIDFromString(text, &iid), E_INVALIDARG);
#if !defined(_WIN32)
        // What Windows leaves in a refused IID is not documented.
        EXPECT_TRUE(tvx::IsEqualGuid(iid, GUID_NULL));
#endif
    }
}

} // namespace
