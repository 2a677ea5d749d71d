#include "platform/GameViewport.h"

#include <algorithm>

namespace zuno {

namespace {

// Division rounding toward minus infinity, so positions left of or above the
// game map to negative pixels rather than to pixel 0.
int64_t floorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

int32_t clampToInt32(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

} // namespace

// ---------------------------------------------------------------- fitGameRect

TViewRect fitGameRect(const TViewRect& area, int32_t gameWidth, int32_t gameHeight, TScaleMode mode) {
    if (gameWidth <= 0 || gameHeight <= 0 || area.w <= 0 || area.h <= 0)
        return {area.x, area.y, 0, 0};
    if (mode == TScaleMode::stretch)
        return area;
    int64_t w = 0;
    int64_t h = 0;
    int64_t factor = std::min(area.w / gameWidth, area.h / gameHeight);
    if (mode == TScaleMode::integer && factor >= 1) {
        w = factor * gameWidth;
        h = factor * gameHeight;
    } else if (int64_t(area.w) * gameHeight <= int64_t(area.h) * gameWidth) {
        w = area.w;
        h = std::max<int64_t>(1, int64_t(area.w) * gameHeight / gameWidth);
    } else {
        h = area.h;
        w = std::max<int64_t>(1, int64_t(area.h) * gameWidth / gameHeight);
    }
    return {static_cast<int32_t>(area.x + (area.w - w) / 2), static_cast<int32_t>(area.y + (area.h - h) / 2),
            static_cast<int32_t>(w), static_cast<int32_t>(h)};
}

// ---------------------------------------------------------------- layoutWindow

TWindowLayout layoutWindow(int32_t windowWidth, int32_t windowHeight, int32_t stripHeight, bool fullScreen,
                           bool stripShown, int32_t gameWidth, int32_t gameHeight, TScaleMode mode) {
    TWindowLayout layout;
    int32_t stripH = std::clamp(stripHeight, 0, std::max(windowHeight, 0));
    if (!fullScreen || stripShown)
        layout.strip = {0, 0, std::max(windowWidth, 0), stripH};
    TViewRect area{0, 0, std::max(windowWidth, 0), std::max(windowHeight, 0)};
    if (!fullScreen) {
        area.y = stripH;
        area.h = std::max(windowHeight - stripH, 0);
    }
    layout.game = fitGameRect(area, gameWidth, gameHeight, mode);
    return layout;
}

// ---------------------------------------------------------------- windowToGame / gameToWindow

void windowToGame(const TViewRect& game, int32_t gameWidth, int32_t gameHeight, int32_t wx, int32_t wy,
                  int32_t& gx, int32_t& gy) {
    if (game.w <= 0 || game.h <= 0) {
        gx = wx - game.x;
        gy = wy - game.y;
        return;
    }
    gx = clampToInt32(floorDiv((int64_t(wx) - game.x) * gameWidth, game.w));
    gy = clampToInt32(floorDiv((int64_t(wy) - game.y) * gameHeight, game.h));
}

void gameToWindow(const TViewRect& game, int32_t gameWidth, int32_t gameHeight, int32_t gx, int32_t gy,
                  int32_t& wx, int32_t& wy) {
    if (gameWidth <= 0 || gameHeight <= 0) {
        wx = game.x + gx;
        wy = game.y + gy;
        return;
    }
    // The first whole window position at or after centre - 1/2: inside the
    // pixel whenever the game is shown at 1x or larger.
    wx = clampToInt32(game.x - floorDiv(-((2 * int64_t(gx) + 1) * game.w - gameWidth), 2 * int64_t(gameWidth)));
    wy = clampToInt32(game.y - floorDiv(-((2 * int64_t(gy) + 1) * game.h - gameHeight), 2 * int64_t(gameHeight)));
}

} // namespace zuno
