#include <gtest/gtest.h>

#include "platform/GameViewport.h"

namespace zuno {
namespace {

TEST(GameViewport, FitIntegerAndStretch) {
    struct Case {
        TViewRect area;
        TScaleMode mode;
        TViewRect expected;
    } cases[] = {
        {{0, 22, 640, 480}, TScaleMode::fit, {0, 22, 640, 480}},           // exact
        {{0, 0, 1920, 1080}, TScaleMode::fit, {240, 0, 1440, 1080}},        // pillar-box
        {{0, 0, 1280, 1024}, TScaleMode::fit, {0, 32, 1280, 960}},          // letter-box
        {{0, 0, 1920, 1080}, TScaleMode::integer, {320, 60, 1280, 960}},    // 2x
        {{10, 0, 1000, 700}, TScaleMode::integer, {190, 110, 640, 480}},    // 1x centred
        {{0, 0, 320, 200}, TScaleMode::integer, {27, 0, 266, 200}},          // too small: fit
        {{0, 0, 1920, 1080}, TScaleMode::stretch, {0, 0, 1920, 1080}},
        {{5, 5, 0, 100}, TScaleMode::fit, {5, 5, 0, 0}},                    // no room
    };
    for (const Case& c : cases) {
        TViewRect r = fitGameRect(c.area, 640, 480, c.mode);
        EXPECT_EQ(r, c.expected) << c.area.w << "x" << c.area.h << " mode " << int(c.mode) << " got " << r.x << ","
                                 << r.y << " " << r.w << "x" << r.h;
    }
}

TEST(GameViewport, WindowLayoutPutsTheStripAboveOrOverTheGame) {
    TWindowLayout w = layoutWindow(640, 502, 22, false, false, 640, 480, TScaleMode::fit);
    EXPECT_EQ(w.strip, (TViewRect{0, 0, 640, 22}));
    EXPECT_EQ(w.game, (TViewRect{0, 22, 640, 480}));

    TWindowLayout hidden = layoutWindow(1920, 1080, 22, true, false, 640, 480, TScaleMode::fit);
    EXPECT_EQ(hidden.strip.w, 0);
    EXPECT_EQ(hidden.game, (TViewRect{240, 0, 1440, 1080}));

    TWindowLayout shown = layoutWindow(1920, 1080, 22, true, true, 640, 480, TScaleMode::fit);
    EXPECT_EQ(shown.strip, (TViewRect{0, 0, 1920, 22}));
    EXPECT_EQ(shown.game, hidden.game);     // the strip lies over the game, which does not move
}

TEST(GameViewport, MousePositionsMapBackToGamePixels) {
    TViewRect game{240, 0, 1440, 1080};     // 640x480 at 2.25x
    struct Case {
        int wx, wy, gx, gy;
    } cases[] = {
        {240, 0, 0, 0},       {242, 2, 0, 0},     {243, 3, 1, 1},       {1679, 1079, 639, 479},
        {1680, 1080, 640, 480}, {239, 0, -1, 0}, {0, -1, -107, -1},
    };
    for (const Case& c : cases) {
        int32_t gx = 0, gy = 0;
        windowToGame(game, 640, 480, c.wx, c.wy, gx, gy);
        EXPECT_EQ(gx, c.gx) << c.wx;
        EXPECT_EQ(gy, c.gy) << c.wy;
    }
    // Every game pixel's window centre maps back to that pixel.
    for (TViewRect g : {TViewRect{240, 0, 1440, 1080}, TViewRect{0, 22, 640, 480}, TViewRect{3, 7, 853, 480}}) {
        for (int x = 0; x < 640; x += 7) {
            int32_t wx = 0, wy = 0, gx = 0, gy = 0;
            gameToWindow(g, 640, 480, x, x * 3 / 4, wx, wy);
            windowToGame(g, 640, 480, wx, wy, gx, gy);
            EXPECT_EQ(gx, x);
            EXPECT_EQ(gy, x * 3 / 4);
        }
    }
}

} // namespace
} // namespace zuno
