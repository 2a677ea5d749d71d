// Windows virtual-key codes: the key codes the game sees, whatever the machine.
// The SDL key codes are mapped onto them by one table (sdl/SdlKeyMap.h).
#pragma once

#include <cstdint>
#include <string_view>

namespace zuno::vk {

constexpr int32_t Back = 0x08;
constexpr int32_t Tab = 0x09;
constexpr int32_t Clear = 0x0C;
constexpr int32_t Return = 0x0D;
constexpr int32_t Shift = 0x10;
constexpr int32_t Control = 0x11;
constexpr int32_t Menu = 0x12;          // Alt
constexpr int32_t Pause = 0x13;
constexpr int32_t Capital = 0x14;
constexpr int32_t Escape = 0x1B;
constexpr int32_t Space = 0x20;
constexpr int32_t Prior = 0x21;         // Page Up
constexpr int32_t Next = 0x22;          // Page Down
constexpr int32_t End = 0x23;
constexpr int32_t Home = 0x24;
constexpr int32_t Left = 0x25;
constexpr int32_t Up = 0x26;
constexpr int32_t Right = 0x27;
constexpr int32_t Down = 0x28;
constexpr int32_t Snapshot = 0x2C;
constexpr int32_t Insert = 0x2D;
constexpr int32_t Delete = 0x2E;
constexpr int32_t Key0 = 0x30;          // '0'..'9' are 0x30..0x39
constexpr int32_t KeyA = 0x41;          // 'A'..'Z' are 0x41..0x5A
constexpr int32_t LWin = 0x5B;
constexpr int32_t RWin = 0x5C;
constexpr int32_t Apps = 0x5D;
constexpr int32_t Numpad0 = 0x60;       // numpad digits 0x60..0x69
constexpr int32_t Multiply = 0x6A;
constexpr int32_t Add = 0x6B;
constexpr int32_t Subtract = 0x6D;
constexpr int32_t Decimal = 0x6E;
constexpr int32_t Divide = 0x6F;
constexpr int32_t F1 = 0x70;            // F1..F24 are 0x70..0x87
constexpr int32_t F11 = 0x7A;
constexpr int32_t NumLock = 0x90;
constexpr int32_t Scroll = 0x91;
constexpr int32_t Oem1 = 0xBA;          // ; :  (US layout names)
constexpr int32_t OemPlus = 0xBB;
constexpr int32_t OemComma = 0xBC;
constexpr int32_t OemMinus = 0xBD;
constexpr int32_t OemPeriod = 0xBE;
constexpr int32_t Oem2 = 0xBF;          // / ?
constexpr int32_t Oem3 = 0xC0;          // ` ~
constexpr int32_t Oem4 = 0xDB;          // [ {
constexpr int32_t Oem5 = 0xDC;          // \ |
constexpr int32_t Oem6 = 0xDD;          // ] }
constexpr int32_t Oem7 = 0xDE;          // ' "

// The key code of a name of the input file: RETURN ESCAPE SPACE LEFT UP RIGHT
// DOWN SHIFT CONTROL TAB BACK (any case), a single letter or digit, or a
// decimal code 1..255. 0 when the name means no key.
int32_t                 fromName(std::string_view name);

} // namespace zuno::vk
