// Reading form streams onto components, and form resources found by class.
#include "host/vcl/FormStreams.h"
#include "host/vcl/ObjectText.h"
#include "host/vcl/TypInfo.h"
#include "tests/support/TestSupport.h"

#include <memory>
#include <string>
#include <tuple>
#include <vector>

using namespace std::string_literals;

enum class TStreamedFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TStreamedFontStyles = TSet<TStreamedFontStyle>;
using enum TStreamedFontStyle;
enum class TStreamedBorderStyle { bsNone, bsSingle, bsSizeable };
using enum TStreamedBorderStyle;

constexpr std::u16string_view kFontStyleNames[] = {u"fsBold", u"fsItalic", u"fsUnderline", u"fsStrikeOut"};
constexpr std::u16string_view kBorderStyleNames[] = {u"bsNone", u"bsSingle", u"bsSizeable"};
constexpr int kBtnFace = int(0xFF00000F), kWindowText = int(0xFF000008);
constexpr TIdentMapEntry kColorIdents[] = {{kBtnFace, u"clBtnFace"}, {kWindowText, u"clWindowText"}};
constexpr TIdentMapEntry kCharsetIdents[] = {{1, u"DEFAULT_CHARSET"}, {204, u"RUSSIAN_CHARSET"}};

// A font as the VCL's: a persistent object behind a read-only property.
class TStreamedFont : public TPersistent {
    TVX_CLASS(TStreamedFont, TPersistent)
    int FCharset = 0, FColor = 0, FHeight = 0;
    String FName;
    TStreamedFontStyles FStyle;
};
TVX_DEFINE_CLASS(TStreamedFont,
                 Published<&TStreamedFont::FCharset, &TStreamedFont::FCharset>(u"Charset", {}, kCharsetIdents),
                 Published<&TStreamedFont::FColor, &TStreamedFont::FColor>(u"Color", {}, kColorIdents),
                 Published<&TStreamedFont::FHeight, &TStreamedFont::FHeight>(u"Height"),
                 Published<&TStreamedFont::FName, &TStreamedFont::FName>(u"Name"),
                 Published<&TStreamedFont::FStyle, &TStreamedFont::FStyle>(u"Style", kFontStyleNames))

// Every property the product's two form resources set.
class TStreamedForm : public TComponent {
    TVX_CLASS(TStreamedForm, TComponent)
    using TComponent::TComponent;
    TStreamedFont* Font() const noexcept { return font_.get(); }

    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0, FColor = 0, FTabOrder = -1, FPixelsPerInch = 0, FTextHeight = 0;
    bool FParentFont = true, FOldCreateOrder = true;
    String FCaption;
    TStreamedBorderStyle FBorderStyle = bsNone;

private:
    std::unique_ptr<TStreamedFont> font_ = std::make_unique<TStreamedFont>();
};
#define TVX_FIELD(Name) Published<&TStreamedForm::F##Name, &TStreamedForm::F##Name>(u"" #Name)
TVX_DEFINE_CLASS(TStreamedForm, TVX_FIELD(Left), TVX_FIELD(Top), TVX_FIELD(Width), TVX_FIELD(Height),
                 TVX_FIELD(TabOrder), TVX_FIELD(PixelsPerInch), TVX_FIELD(TextHeight), TVX_FIELD(ParentFont),
                 TVX_FIELD(OldCreateOrder), TVX_FIELD(Caption),
                 Published<&TStreamedForm::FColor, &TStreamedForm::FColor>(u"Color", {}, kColorIdents),
                 Published<&TStreamedForm::FBorderStyle, &TStreamedForm::FBorderStyle>(u"BorderStyle",
                                                                                       kBorderStyleNames),
                 Published<&TStreamedForm::Font>(u"Font"))
#undef TVX_FIELD

// Its resource is "inherited" from TStreamedForm's.
class TStreamedDerivedForm : public TStreamedForm {
    TVX_CLASS(TStreamedDerivedForm, TStreamedForm)
    using TStreamedForm::TStreamedForm;
};
TVX_DEFINE_CLASS(TStreamedDerivedForm)

class TUnstreamedForm : public TComponent {
    TVX_CLASS(TUnstreamedForm, TComponent)
};
TVX_DEFINE_CLASS(TUnstreamedForm)

namespace {

void ReadText(const std::string& text, TComponent* root) { ReadRootComponent(ObjectTextToBinary(text), root); }

template <class F>
String ReadErrorOf(F&& f)
{
    try {
        f();
    } catch (const EReadError& e) {
        return e.Message();
    }
    return u"no error";
}

// Catches any value of the product's two form resources lost between the
// text and the component: idents, negative numbers, sets, Font's members.
TEST(ReadRootComponent, ProductFormsApplyEveryValue)
{
    TStreamedForm frame;
    frame.Font()->FStyle = {fsBold};
    ReadText(tvx::test::ReadSourceFile("windows/TalvixFrame.dfm"), &frame);
    EXPECT_EQ(frame.Name(), u"TalvixFrame");
    EXPECT_EQ(std::tuple(frame.FLeft, frame.FTop, frame.FWidth, frame.FHeight, frame.FParentFont, frame.FTabOrder),
              std::tuple(0, 0, 320, 240, false, 0));
    const TStreamedFont& f = *frame.Font();
    EXPECT_EQ(std::tuple(f.FCharset, f.FColor, f.FHeight, f.FName), std::tuple(1, kWindowText, -11, u"Tahoma"s));
    EXPECT_TRUE(f.FStyle.Empty());

    TStreamedForm dock;
    ReadText(tvx::test::ReadSourceFile("windows/ToolDockWindow.dfm"), &dock);
    EXPECT_EQ(dock.Name(), u"ToolDockWindow");
    EXPECT_EQ(std::tuple(dock.FLeft, dock.FTop, dock.FWidth, dock.FHeight, dock.FCaption, dock.FColor),
              std::tuple(10, 10, 434, 320, u"Tool dock window"s, kBtnFace));
    EXPECT_EQ(std::tuple(dock.FOldCreateOrder, dock.FPixelsPerInch, dock.FTextHeight), std::tuple(false, 96, 13));
    const TStreamedFont& g = *dock.Font();
    EXPECT_EQ(std::tuple(g.FCharset, g.FColor, g.FHeight, g.FName),
              std::tuple(204, kWindowText, -11, u"MS Sans Serif"s));
}

// Catches enumerations, set elements or wide strings mapped wrongly.
TEST(ReadRootComponent, EnumerationsSetsAndWideStrings)
{
    TStreamedForm form;
    ReadText("object F: TStreamedForm\n  BorderStyle = bssizeable\n  Font.Style = [fsBold, fsStrikeOut]\n"
             "  Caption = '\xD0\x9F'#$263A\n  Color = $FF\nend",
             &form);
    EXPECT_EQ(form.FBorderStyle, bsSizeable);
    EXPECT_EQ(form.Font()->FStyle, TStreamedFontStyles({fsBold, fsStrikeOut}));
    EXPECT_EQ(form.FCaption, u"\u041F\u263A");
    EXPECT_EQ(form.FColor, 255);
}

// Catches property faults without the VCL's "Error reading" wrapping, or
// values of the wrong kind set anyway.
TEST(ReadRootComponent, PropertyFaultsNameRootAndPath)
{
    const struct {
        const char* line;
        std::u16string message;
    } cases[] = {
        {"Bogus = 1", u"Error reading F.Bogus: Property Bogus does not exist"},
        {"Font.Bogus = 1", u"Error reading F.Font.Bogus: Property Bogus does not exist"},
        {"Left.X = 1", u"Error reading F.Left.X: Invalid property path"},
        {"Left = 'x'", u"Error reading F.Left: Invalid property value"},
        {"Caption = 5", u"Error reading F.Caption: Invalid property value"},
        {"Color = clNoSuchColor", u"Error reading F.Color: Invalid property value"},
        {"BorderStyle = True", u"Error reading F.BorderStyle: Invalid property value"},
        {"ParentFont = 1", u"Error reading F.ParentFont: Invalid property value"},
        {"Font.Style = [fsNope]", u"Error reading F.Font.Style: Invalid property value"},
        {"Font = nil", u"Error reading F.Font: Property is read-only"},
    };
    for (const auto& c : cases) {
        TStreamedForm form;
        std::string text = "object F: TStreamedForm\n  " + std::string(c.line) + "\n  Left = 5\nend";
        EXPECT_EQ(ReadErrorOf([&] { ReadText(text, &form); }), c.message) << c.line;
        EXPECT_EQ(form.FLeft, 0) << c.line;
    }
}

// Catches reads past the end, a wrong signature or an unknown value type
// taken for data, and lengths trusted beyond the stream.
TEST(ReadRootComponent, MalformedStreamsAreInvalidFormat)
{
    auto valid = ObjectTextToBinary(tvx::test::ReadSourceFile("windows/TalvixFrame.dfm"));
    std::vector<std::vector<std::uint8_t>> streams;
    for (std::size_t size = 0; size < valid.size(); ++size)
        streams.emplace_back(valid.begin(), valid.begin() + std::ptrdiff_t(size));
    auto badSignature = valid;
    badSignature[3] = '1';
    const std::string head = "TPF0\x02TA\x01"
                             "A\x01X";
    std::vector<std::uint8_t> unknownType(head.begin(), head.end()), hugeString = unknownType;
    unknownType.insert(unknownType.end(), {5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    hugeString.insert(hugeString.end(), {18, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0});
    streams.insert(streams.end(), {badSignature, unknownType, hugeString});
    for (const auto& stream : streams) {
        TStreamedForm form;
        EXPECT_EQ(ReadErrorOf([&] { ReadRootComponent(stream, &form); }), u"Invalid stream format") << stream.size();
    }
}

// Catches child objects skipped without a word.
TEST(ReadRootComponent, ChildObjectsAreRefused)
{
    TStreamedForm form;
    EXPECT_EQ(ReadErrorOf([&] { ReadText("object F: TStreamedForm\n  object B: TButton\n  end\nend", &form); }),
              u"Error reading F: child component B: TButton cannot be created");
}

// Catches a second form of one owner refused for the first one's name.
TEST(ReadRootComponent, SecondInstanceOfAnOwnerGetsItsOwnName)
{
    TComponent owner;
    std::vector<String> names;
    for (int i = 0; i < 3; ++i) {
        auto* form = new TStreamedForm(&owner);
        ReadText("object Dock: TStreamedForm\nend", form);
        names.push_back(form->Name());
    }
    EXPECT_EQ(names, (std::vector<String>{u"Dock", u"Dock_1", u"Dock_2"}));
    ReadText("object Dock: TStreamedForm\nend", owner.Components(0));
    EXPECT_EQ(owner.Components(0)->Name(), u"Dock");
}

// Catches resources read in the wrong order, past RootAncestor, from the
// wrong module, or "found" when there is none. The resources come from
// tests/vcl/*.dfm through tvx_form_resources.
TEST(InitInheritedComponent, ReadsEachClassResourceAncestorsFirst)
{
    EXPECT_EQ(FindClassHInstance(TStreamedForm::StaticClass()), GetModuleHandleW(nullptr));
    EXPECT_NE(FindClassHInstance(TComponent::StaticClass()), GetModuleHandleW(nullptr));

    TStreamedDerivedForm form;
    ASSERT_TRUE(InitInheritedComponent(&form, TComponent::StaticClass()));
    EXPECT_EQ(form.Name(), u"StreamedDerivedForm");
    EXPECT_EQ(std::tuple(form.FLeft, form.FWidth, form.FCaption), std::tuple(3, 200, u"Derived"s));
    EXPECT_EQ(form.Font()->FStyle, TStreamedFontStyles({fsItalic}));

    TStreamedDerivedForm own;
    ASSERT_TRUE(InitInheritedComponent(&own, TStreamedForm::StaticClass()));
    EXPECT_EQ(std::tuple(own.FLeft, own.FWidth), std::tuple(0, 200));

    TUnstreamedForm none;
    EXPECT_FALSE(InitInheritedComponent(&none, TComponent::StaticClass()));
    EXPECT_EQ(none.Name(), u"");
}

} // namespace
