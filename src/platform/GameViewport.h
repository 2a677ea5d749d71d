// Where the game picture goes in the window, and the way back from a window
// position to a game pixel. Pure arithmetic, shared by presentation and input.
#pragma once

#include <cstdint>

#include "platform/TPlatform.h"

namespace zuno {

struct TViewRect {
    int32_t             x = 0;
    int32_t             y = 0;
    int32_t             w = 0;
    int32_t             h = 0;

    bool                contains(int32_t px, int32_t py) const { return px >= x && py >= y && px < x + w && py < y + h; }
    bool                operator==(const TViewRect&) const = default;
};

// The window split into the top strip and the area the game scales into.
struct TWindowLayout {
    TViewRect           strip;          // w = 0 when the strip is hidden
    TViewRect           game;           // where the game picture is drawn
};

// The rectangle the game picture fills inside area, by the scale mode. A game
// or area without pixels gives an empty rectangle at the area's corner.
TViewRect               fitGameRect(const TViewRect& area, int32_t gameWidth, int32_t gameHeight, TScaleMode mode);

// Windowed: the strip on top, the game below it. Full screen: the game uses the
// whole window and the strip, when shown, lies over its top.
TWindowLayout           layoutWindow(int32_t windowWidth, int32_t windowHeight, int32_t stripHeight, bool fullScreen,
                                     bool stripShown, int32_t gameWidth, int32_t gameHeight, TScaleMode mode);

// The game pixel under a window position (rounded down; may lie outside the game).
void                    windowToGame(const TViewRect& game, int32_t gameWidth, int32_t gameHeight,
                                     int32_t wx, int32_t wy, int32_t& gx, int32_t& gy);

// A window position inside a game pixel, as near its centre as whole positions allow.
void                    gameToWindow(const TViewRect& game, int32_t gameWidth, int32_t gameHeight,
                                     int32_t gx, int32_t gy, int32_t& wx, int32_t& wy);

} // namespace zuno
