// The strip at the top of the window with the buttons "終了" (quit) and
// "画面切替" (switch between window and full screen). It is drawn by the player
// into a small 32-bit picture (0x00RRGGBB) that the window shows above the game.
// The two labels are embedded bitmaps (PlainCanvas.h) until the glyph cache can draw them.
#pragma once

#include <cstdint>

namespace zuno {

constexpr int32_t kStripButtonWidth = 67;
constexpr int32_t kStripButtonHeight = 18;
constexpr int32_t kStripHeight = kStripButtonHeight + 4;

enum class TStripButton { none, quit, toggleFullScreen };

// The button under a position in strip coordinates.
TStripButton            stripButtonAt(int32_t x, int32_t y);

// Draws the strip into width × kStripHeight pixels (pitch in pixels), the
// pressed button sunken.
void                    drawStrip(uint32_t* pixels, int32_t width, int32_t pitch, TStripButton pressed);

} // namespace zuno
