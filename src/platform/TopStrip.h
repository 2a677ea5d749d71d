// The strip at the top of the window with the buttons "終了" (quit) and
// "画面切替" (switch between window and full screen). It is drawn by the player
// into a small 32-bit picture (0x00RRGGBB) that the window shows above the game.
// The two labels are embedded bitmaps (PlainCanvas.h) until the glyph cache can draw them.
//
// TTopStrip is the strip's behaviour without a window: the button held by the
// left mouse button, and in full screen whether the strip shows. The window
// asks it what a pointer event means and redraws when it says so.
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

class TTopStrip {
public:
    void                setFullScreen(bool on);                 // a new mode: nothing held, hidden in full screen
    bool                shownInFullScreen() const { return FShownInFullScreen; }
    TStripButton        pressed() const { return FPressed; }    // the button held down, none when none is

    // The pointer at window height y. In full screen the strip appears while
    // the pointer touches the top edge and goes when it leaves the strip
    // downwards. True when the strip appeared or went.
    bool                pointerMoved(int32_t y);

    // The left button pressed over `under`: true when the press is the
    // strip's (over a button, which is then held).
    bool                leftDown(TStripButton under);

    // The left button released over `under`: true when it ends a press of
    // the strip; clicked is then the held button when released over it, else none.
    bool                leftUp(TStripButton under, TStripButton& clicked);

private:
    bool                FFullScreen = false;
    bool                FShownInFullScreen = false;
    TStripButton        FPressed = TStripButton::none;
};

} // namespace zuno
