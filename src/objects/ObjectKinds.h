// Object kinds and the constant vocabularies of display-object properties.
// The kind is one byte: what PR_COMPOTYPE reads and what save data stores
// ahead of each object record.
#pragma once

#include <cstdint>
#include <string_view>

#include "text/FontStyleFlags.h"

namespace zuno {

enum TObjectKind : uint8_t {
    LT_NONE       = 0,
    LT_AUDIO      = 1,      // names no class
    LT_BOX        = 2,
    LT_BUTTON     = 3,
    LT_CINEMA     = 4,
    LT_EDIT       = 5,
    LT_FIRE       = 6,
    LT_HTTP       = 7,
    LT_IMAGES     = 8,
    LT_LABEL      = 9,
    LT_MAP        = 10,     // names no class
    LT_MEMO       = 11,
    LT_MENU       = 12,
    LT_MES        = 13,
    LT_PARTICLE   = 14,
    LT_TIMER      = 15,
    LT_VIDEO      = 16,
    LT_SOUND      = 17,
    LT_MAPIMG     = 18,
    LT_WAVE       = 19,
    LT_TILE       = 20,
    LT_SLIDER     = 21,
    LT_SCROLLBAR  = 22,
    LT_GAUGE      = 23,
    LT_CGLABEL    = 24,
    LT_PREVMENU   = 25,
    LT_PROPMOTION = 26,
    LT_CABINET    = 27,
};

constexpr int ObjectKindCount = 28;                     // LT_NONE .. LT_CABINET

// The editor's label of a kind (UTF-8), empty for values that are no kind.
std::string_view kindLabelUtf8(int kind);

// How a control lets mouse presses through (PR_IGNOREMOUSE).
enum TIgnoreMouse : uint8_t {
    IM_NONE   = 0,      // 通常
    IM_ALL    = 1,      // 全て無視
    IM_CLICK  = 2,      // クリックを無視
    IM_LCLICK = 3,      // 左クリックを無視
    IM_RCLICK = 4,      // 右クリックを無視
};

// A set of IM_ values, as hit testing accepts them.
using TIgnoreMouseSet = uint8_t;
constexpr TIgnoreMouseSet imBit(int im) { return im >= 0 && im < 8 ? static_cast<TIgnoreMouseSet>(1u << im) : 0; }

// Font style bits (PR_FONTSTYLE, PR_FONTHOVERSTYLE): FS_BOLD .. FS_STRIKEOUT.

// Alignments and orientation.
constexpr int32_t HA_LEFT = 0, HA_CENTER = 1, HA_RIGHT = 2;
constexpr int32_t VA_TOP = 0, VA_CENTER = 1, VA_BOTTOM = 2;
constexpr int32_t OT_HORIZONTAL = 0, OT_VERTICAL = 1;

} // namespace zuno
