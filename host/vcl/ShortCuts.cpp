#include "host/vcl/ShortCuts.h"

#include "host/vcl/SysUtils.h"

#include <string_view>

namespace {

// Names the VCL prints itself, before it asks the keyboard layout.
std::u16string_view FixedKeyName(unsigned key)
{
    switch (key) {
    case 0x08: return u"BkSp";
    case 0x09: return u"Tab";
    case 0x0D: return u"Enter";
    case 0x1B: return u"Esc";
    case 0x20: return u"Space";
    case 0x21: return u"PgUp";
    case 0x22: return u"PgDn";
    case 0x23: return u"End";
    case 0x24: return u"Home";
    case 0x25: return u"Left";
    case 0x26: return u"Up";
    case 0x27: return u"Right";
    case 0x28: return u"Down";
    case 0x2D: return u"Ins";
    case 0x2E: return u"Del";
    default: return {};
    }
}

// What the keyboard layout (US English) calls the remaining keys; a code
// without a key on the keyboard has no name.
std::u16string_view LayoutKeyName(unsigned key)
{
    switch (key) {
    case 0x10: return u"Shift";
    case 0x11: return u"Ctrl";
    case 0x12: return u"Alt";
    case 0x13: return u"Pause";
    case 0x14: return u"Caps Lock";
    case 0x6A: return u"Num *";
    case 0x6B: return u"Num +";
    case 0x6D: return u"Num -";
    case 0x6E: return u"Num Del";
    case 0x90: return u"Num Lock";
    case 0x91: return u"Scroll Lock";
    case 0xBA: return u";";
    case 0xBB: return u"=";
    case 0xBC: return u",";
    case 0xBD: return u"-";
    case 0xBE: return u".";
    case 0xBF: return u"/";
    case 0xC0: return u"`";
    case 0xDB: return u"[";
    case 0xDC: return u"\\";
    case 0xDD: return u"]";
    case 0xDE: return u"'";
    default: return {};
    }
}

String KeyName(unsigned key)
{
    if (std::u16string_view fixed = FixedKeyName(key); !fixed.empty())
        return String(fixed);
    if (key >= 0x30 && key <= 0x39)
        return String(1, char16_t(u'0' + (key - 0x30)));
    if (key >= 0x41 && key <= 0x5A)
        return String(1, char16_t(u'A' + (key - 0x41)));
    // The numeric keypad's digits print as the digits themselves.
    if (key >= 0x60 && key <= 0x69)
        return String(1, char16_t(u'0' + (key - 0x60)));
    if (key >= 0x70 && key <= 0x87)
        return u"F" + IntToStr(key - 0x6F);
    return String(LayoutKeyName(key));
}

// Removes `front` from the start of `text`, ignoring case; false if absent.
bool TakeFront(std::u16string_view& text, std::u16string_view front)
{
    if (text.size() < front.size() || !SameText(text.substr(0, front.size()), front))
        return false;
    text.remove_prefix(front.size());
    return true;
}

} // namespace

TShortCut ShortCut(std::uint16_t Key, TShiftState Shift) noexcept
{
    if (Key & 0xFF00)
        return scNone;
    TShortCut result = Key;
    if (Shift.Contains(ssShift))
        result += scShift;
    if (Shift.Contains(ssCtrl))
        result += scCtrl;
    if (Shift.Contains(ssAlt))
        result += scAlt;
    return result;
}

void ShortCutToKey(TShortCut ShortCut, std::uint16_t& Key, TShiftState& Shift) noexcept
{
    Key = ShortCut & 0xFF;
    Shift = {};
    if (ShortCut & scShift)
        Shift.Include(ssShift);
    if (ShortCut & scCtrl)
        Shift.Include(ssCtrl);
    if (ShortCut & scAlt)
        Shift.Include(ssAlt);
}

String ShortCutToText(TShortCut ShortCut)
{
    String name = KeyName(ShortCut & 0xFF);
    if (name.empty())
        return String();
    String result;
    if (ShortCut & scShift)
        result += u"Shift+";
    if (ShortCut & scCtrl)
        result += u"Ctrl+";
    if (ShortCut & scAlt)
        result += u"Alt+";
    return result + name;
}

TShortCut TextToShortCut(const String& Text)
{
    std::u16string_view rest = Text;
    TShortCut shift = 0;
    for (;;) {
        if (TakeFront(rest, u"Shift+"))
            shift |= scShift;
        else if (TakeFront(rest, u"^") || TakeFront(rest, u"Ctrl+"))
            shift |= scCtrl;
        else if (TakeFront(rest, u"Alt+"))
            shift |= scAlt;
        else
            break;
    }
    if (rest.empty())
        return scNone;
    // The first code that prints as the rest wins, as in the VCL: "5" is the
    // main keyboard's 5, not the keypad's.
    for (unsigned key = 0x08; key <= 0xFF; ++key)
        if (SameText(rest, KeyName(key)))
            return TShortCut(key | shift);
    return scNone;
}
