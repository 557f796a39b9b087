#include "host/vcl/ShortCuts.h"
#include "interop/Utf.h"
#include "tests/support/TestSupport.h"

namespace {

// Catches modifier bits swapped, added twice, or a key wider than a byte
// kept (the VCL answers 0 for it).
TEST(ShortCut, EncodesKeyAndModifiersAsTheVcl)
{
    EXPECT_EQ(ShortCut('S', {ssCtrl}), 0x4053);
    EXPECT_EQ(ShortCut(0x78, {ssShift, ssCtrl}), 0x6078);
    EXPECT_EQ(ShortCut('G', {ssAlt}), 0x8047);
    EXPECT_EQ(ShortCut(0x2E, {}), 0x002E);
    EXPECT_EQ(ShortCut('S', {ssCtrl, ssLeft, ssDouble}), 0x4053);
    EXPECT_EQ(ShortCut(0x153, {ssCtrl}), 0);
    EXPECT_EQ(ShortCut(0xFF00, {}), 0);

    std::uint16_t key = 0;
    TShiftState shift;
    ShortCutToKey(0xE078, key, shift);
    EXPECT_EQ(key, 0x78);
    EXPECT_EQ(shift, (TShiftState{ssShift, ssCtrl, ssAlt}));
}

// Catches names or the modifier order that differ from what the IDE's menus
// show, and unnamed keys that print anything.
TEST(ShortCutToText, PrintsAsTheIdesMenus)
{
    struct Case {
        TShortCut shortCut;
        const char16_t* text;
    };
    for (Case c : {Case{0x4053, u"Ctrl+S"},     Case{0x6078, u"Shift+Ctrl+F9"},
                   Case{0x0078, u"F9"},         Case{0x002E, u"Del"},
                   Case{0x8047, u"Alt+G"},      Case{0xE070, u"Shift+Ctrl+Alt+F1"},
                   Case{0x0087, u"F24"},        Case{0x0008, u"BkSp"},
                   Case{0x000D, u"Enter"},      Case{0x001B, u"Esc"},
                   Case{0x0020, u"Space"},      Case{0x0021, u"PgUp"},
                   Case{0x0028, u"Down"},       Case{0x002D, u"Ins"},
                   Case{0x0030, u"0"},          Case{0x0065, u"5"},
                   Case{0x406B, u"Ctrl+Num +"}, Case{0x00BD, u"-"},
                   Case{0x0000, u""},           Case{0x4000, u""},
                   Case{0x0007, u""},           Case{0x00FF, u""}}) {
        SCOPED_TRACE(c.shortCut);
        EXPECT_EQ(ShortCutToText(c.shortCut), c.text);
    }
}

// Catches text and shortcuts that do not round-trip: every printable
// shortcut reads back as itself, except the keypad digits, which read as
// the main keyboard's.
TEST(TextToShortCut, ReadsBackEveryPrintedShortCut)
{
    for (unsigned modifiers : {0u, 0x2000u, 0x4000u, 0x8000u, 0xE000u}) {
        for (unsigned key = 0; key <= 0xFF; ++key) {
            const TShortCut shortCut = TShortCut(modifiers | key);
            const String text = ShortCutToText(shortCut);
            if (text.empty())
                continue;
            SCOPED_TRACE(tvx::Utf16ToUtf8(text));
            const bool keypadDigit = key >= 0x60 && key <= 0x69;
            EXPECT_EQ(TextToShortCut(text), keypadDigit ? TShortCut(modifiers | (key - 0x30)) : shortCut);
        }
    }
}

// Catches case, modifier order or the "^" form refused, and text that is
// no key accepted.
TEST(TextToShortCut, AcceptsWhatTheVclAccepts)
{
    EXPECT_EQ(TextToShortCut(u"ctrl+s"), 0x4053);
    EXPECT_EQ(TextToShortCut(u"Ctrl+Shift+F9"), 0x6078);
    EXPECT_EQ(TextToShortCut(u"^S"), 0x4053);
    EXPECT_EQ(TextToShortCut(u"del"), 0x002E);
    EXPECT_EQ(TextToShortCut(u""), 0);
    EXPECT_EQ(TextToShortCut(u"Ctrl+"), 0);
    EXPECT_EQ(TextToShortCut(u"Ctrl+Nothing"), 0);
    EXPECT_EQ(TextToShortCut(u"Ctrl S"), 0);
}

} // namespace
