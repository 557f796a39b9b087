// Keyboard shortcuts as the VCL encodes and prints them: the shift state of a
// key event, TShortCut (a virtual-key code in the low byte, the modifiers in
// the high bits) and the conversions to and from text that menus and actions
// show ("Ctrl+S", "Shift+Ctrl+F9", "Del").
#pragma once

#include "host/vcl/IdeApi.h"
#include "host/vcl/System.h"

#include <cstdint>

enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

using TShortCut = std::uint16_t;

inline constexpr TShortCut scNone = 0;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;

// The key plus the modifier bits; 0 when the key does not fit in one byte.
TVX_IDE_API TShortCut ShortCut(std::uint16_t Key, TShiftState Shift) noexcept;
TVX_IDE_API void ShortCutToKey(TShortCut ShortCut, std::uint16_t& Key, TShiftState& Shift) noexcept;

// "Shift+", "Ctrl+", "Alt+" in that order before the key's name; empty when
// the key has no name (0, a bare modifier key, an unassigned code).
TVX_IDE_API String ShortCutToText(TShortCut ShortCut);
// The inverse, ignoring case and modifier order; 0 for text no key prints as.
TVX_IDE_API TShortCut TextToShortCut(const String& Text);
