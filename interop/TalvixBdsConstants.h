// The numbers a package passes to the services, by name. The values are the
// IDE's own; only the names are the SDK's.
#pragma once

#include "interop/ComBase.h"

namespace tvx::bds {

// IBdsMenuBarService::AddMenuItem, ItemLocation: where the new item goes,
// seen from the reference item. A child goes last in its submenu.
inline constexpr LONG kMenuItemBefore = 0;
inline constexpr LONG kMenuItemAfter = 1;
inline constexpr LONG kMenuItemChild = 2;

// IBdsToolBar::AddControl, Type_: the kind of control made; query the
// control for its kind's interface.
inline constexpr LONG kToolBarButton = 1;    // IBdsToolBarButton
inline constexpr LONG kToolBarEditCombo = 2; // IBdsToolBarComboBox, text typed in
inline constexpr LONG kToolBarListCombo = 3; // IBdsToolBarComboBox, list only
inline constexpr LONG kToolBarPopUp = 4;     // IBdsToolBarPopUp

// Shortcuts of menu items and toolbar controls (Get_Shortcut/Set_Shortcut):
// a VCL TShortCut, the virtual-key code in the low byte plus these bits.
inline constexpr LONG kShortCutShift = 0x2000;
inline constexpr LONG kShortCutCtrl = 0x4000;
inline constexpr LONG kShortCutAlt = 0x8000;
constexpr LONG ShortCut(LONG virtualKey, LONG modifiers = 0) noexcept { return (virtualKey & 0xFF) | modifiers; }

// IBdsServices::IsShortcut, keyData: the virtual-key code in the low word
// plus these bits (another encoding than the shortcuts above).
inline constexpr LONG kKeyDataShift = 0x10000;
inline constexpr LONG kKeyDataControl = 0x20000;
inline constexpr LONG kKeyDataAlt = 0x40000;
constexpr LONG KeyData(LONG virtualKey, LONG modifiers = 0) noexcept { return (virtualKey & 0xFFFF) | modifiers; }

// The key messages a message handler (IBdsMessageHandler) sees, and the
// virtual-key codes it needs most; letters and digits are their ASCII
// capitals ('A', '0').
inline constexpr UINT kMsgKeyDown = 0x0100;
inline constexpr UINT kMsgKeyUp = 0x0101;
inline constexpr UINT kMsgChar = 0x0102;
inline constexpr UINT kMsgSysKeyDown = 0x0104;
inline constexpr UINT kMsgSysKeyUp = 0x0105;

inline constexpr LONG kVkBack = 0x08;
inline constexpr LONG kVkTab = 0x09;
inline constexpr LONG kVkReturn = 0x0D;
inline constexpr LONG kVkShift = 0x10;
inline constexpr LONG kVkControl = 0x11;
inline constexpr LONG kVkMenu = 0x12; // Alt
inline constexpr LONG kVkEscape = 0x1B;
inline constexpr LONG kVkSpace = 0x20;
inline constexpr LONG kVkPageUp = 0x21;
inline constexpr LONG kVkPageDown = 0x22;
inline constexpr LONG kVkEnd = 0x23;
inline constexpr LONG kVkHome = 0x24;
inline constexpr LONG kVkLeft = 0x25;
inline constexpr LONG kVkUp = 0x26;
inline constexpr LONG kVkRight = 0x27;
inline constexpr LONG kVkDown = 0x28;
inline constexpr LONG kVkInsert = 0x2D;
inline constexpr LONG kVkDelete = 0x2E;
// F1 to F24 follow one another.
inline constexpr LONG kVkF1 = 0x70;
constexpr LONG VkF(int n) noexcept { return kVkF1 + n - 1; }

} // namespace tvx::bds
