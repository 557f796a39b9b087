#include "host/vcl/SysUtils.h"
#include "host/vcl/Supports.h"
#include "interop/Guard.h"
#include "interop/InterfacedObject.h"
#include "tests/support/TestSupport.h"

TVX_DECLARE_INTERFACE(IOffered, "{5B0F8C1A-2D4E-4F60-9A71-0C3B2E1D4F50}")
TVX_DECLARE_INTERFACE(IAbsent, "{5B0F8C1A-2D4E-4F60-9A71-0C3B2E1D4F51}")
struct IOffered : IUnknown {};
struct IAbsent : IUnknown {};

namespace {

class Offerer : public tvx::Implements<Offerer, IOffered> {};

template <class F>
String ConvertErrorOf(F&& f)
{
    try {
        f();
    } catch (const EConvertError& e) {
        return e.Message();
    }
    return u"no error";
}

} // namespace

// Catches integer and text directives formatted unlike the VCL's Format.
TEST(Format, IntegersAndTexts)
{
    EXPECT_EQ(Format(u"%d items, %s", -12, u"done"), u"-12 items, done");
    EXPECT_EQ(Format(u"%x", -1), u"FFFFFFFF");
    EXPECT_EQ(Format(u"%.8X", HRESULT(E_FAIL)), u"80004005");
    EXPECT_EQ(Format(u"%.3d|%5d|%-5d|", 7, 42, 42), u"007|   42|42   |");
    EXPECT_EQ(Format(u"%.2s|%4s", String(u"abc"), u"ab"), u"ab|  ab");
    EXPECT_EQ(Format(u"100%% %1:s %0:s", u"b", u"a"), u"100% a b");
    EXPECT_EQ(Format(u"%u", std::uint32_t(0xFFFFFFFF)), u"4294967295");
}

// Catches a mismatched or missing argument formatted as garbage instead of
// raising EConvertError.
TEST(Format, MismatchAndMissingArgumentRaise)
{
    EXPECT_EQ(ConvertErrorOf([] { Format(u"%d", u"text"); }), u"Format '%d' invalid or incompatible with argument");
    EXPECT_EQ(ConvertErrorOf([] { Format(u"%s", 3); }), u"Format '%s' invalid or incompatible with argument");
    EXPECT_EQ(ConvertErrorOf([] { Format(u"%s %s", u"one"); }), u"No argument for format '%s %s'");
    EXPECT_EQ(ConvertErrorOf([] { Format(u"%q", 1); }), u"Format '%q' invalid or incompatible with argument");
}

// Catches messages that lose non-ASCII text on the way to what().
TEST(Exception, WhatIsTheMessageInUtf8)
{
    Exception e(u"Gr\u00f6\u00dfe \u20ac");
    EXPECT_STREQ(e.what(), "Gr\xc3\xb6\xc3\x9f"
                           "e \xe2\x82\xac");
    e.SetMessage(u"other");
    EXPECT_STREQ(e.what(), "other");
}

// Catches error classes reporting the wrong VCL class name when caught by
// their base.
TEST(Exception, ClassNameIsTheRaisedClass)
{
    try {
        Abort();
    } catch (const Exception& e) {
        EXPECT_EQ(e.ClassName(), u"EAbort");
        EXPECT_EQ(e.Message(), u"Operation aborted");
    }
}

// Catches an OLE error without the system's text or without its code, which
// the interop guard turns back into the method's result.
TEST(Exception, OleSysErrorCarriesCodeAndSystemText)
{
    EOleSysError known(String(), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(known.Message(), u"Class not registered");
    EXPECT_EQ(known.ErrorCode(), REGDB_E_CLASSNOTREG);
    EOleSysError unknown(String(), HRESULT(0x80041234));
    EXPECT_EQ(unknown.Message(), u"OLE error 80041234");
    EOleSysError given(u"Custom", E_FAIL);
    EXPECT_EQ(given.Message(), u"Custom");
    HRESULT hr = tvx::Guarded([] { OleCheck(CLASS_E_CLASSNOTAVAILABLE); });
    EXPECT_EQ(hr, CLASS_E_CLASSNOTAVAILABLE);
}

// Catches Supports raising, or leaving the out value unwritten.
TEST(Supports, AnswersFalseAndNullWhenTheInterfaceIsMissing)
{
    auto offerer = tvx::IntfPtr<IOffered>::Attach(tvx::NewInterface<Offerer, IOffered>());
    tvx::IntfPtr<IAbsent> absent;
    EXPECT_FALSE(Supports(offerer.get(), absent));
    EXPECT_EQ(absent.get(), nullptr);
    void* raw = tvx::test::SentinelPointer<void>();
    EXPECT_FALSE(Supports(nullptr, tvx::IidOf<IAbsent>, &raw));
    EXPECT_EQ(raw, nullptr);
    tvx::IntfPtr<IOffered> again;
    EXPECT_TRUE(Supports(offerer.get(), again));
    EXPECT_EQ(again.get(), offerer.get());
    EXPECT_REF(offerer.get(), 2);
}

// Catches the cast answering null instead of raising the VCL's error, and a
// null instance raising where the VCL casts it to null.
TEST(Supports, CastRaisesIntfCastError)
{
    auto offerer = tvx::IntfPtr<IOffered>::Attach(tvx::NewInterface<Offerer, IOffered>());
    try {
        IntfCast<IAbsent>(offerer.get());
        FAIL() << "no error";
    } catch (const EIntfCastError& e) {
        EXPECT_EQ(e.Message(), u"Interface not supported");
    }
    EXPECT_EQ(IntfCast<IOffered>(offerer.get()).get(), offerer.get());
    EXPECT_EQ(IntfCast<IAbsent>(nullptr).get(), nullptr);
    EXPECT_REF(offerer.get(), 1);
}
