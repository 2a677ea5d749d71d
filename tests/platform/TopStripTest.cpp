#include <gtest/gtest.h>

#include <vector>

#include "platform/TopStrip.h"

namespace zuno {
namespace {

TEST(TopStrip, ButtonsAndTheirLabels) {
    EXPECT_EQ(stripButtonAt(0, 2), TStripButton::quit);
    EXPECT_EQ(stripButtonAt(66, 19), TStripButton::quit);
    EXPECT_EQ(stripButtonAt(67, 10), TStripButton::toggleFullScreen);
    EXPECT_EQ(stripButtonAt(133, 10), TStripButton::toggleFullScreen);
    EXPECT_EQ(stripButtonAt(134, 10), TStripButton::none);
    EXPECT_EQ(stripButtonAt(10, 1), TStripButton::none);
    EXPECT_EQ(stripButtonAt(10, 20), TStripButton::none);

    // Each button carries label ink inside it, and pressing one changes only its own pixels.
    const int w = 300;
    std::vector<uint32_t> up(w * kStripHeight), pressed(w * kStripHeight);
    drawStrip(up.data(), w, w, TStripButton::none);
    drawStrip(pressed.data(), w, w, TStripButton::quit);
    auto inkIn = [&](const std::vector<uint32_t>& px, int x0, int x1) {
        int n = 0;
        for (int y = 4; y < kStripHeight - 4; ++y)
            for (int x = x0 + 3; x < x1 - 3; ++x)
                n += (px[y * w + x] & 0xFF) < 0x90;     // label ink, not the face
        return n;
    };
    EXPECT_GT(inkIn(up, 0, kStripButtonWidth), 20);
    EXPECT_GT(inkIn(up, kStripButtonWidth, 2 * kStripButtonWidth), 40);
    EXPECT_EQ(inkIn(up, 2 * kStripButtonWidth, w), 0);
    for (int y = 0; y < kStripHeight; ++y)
        for (int x = kStripButtonWidth; x < w; ++x)
            ASSERT_EQ(up[y * w + x], pressed[y * w + x]) << x << "," << y;
    EXPECT_NE(up, pressed);
}

// Press and release of the left button: a press over a button holds it, the
// release clicks it only over the same button; presses elsewhere are not the
// strip's, and neither is a release without a held button.
TEST(TopStrip, PressAndReleaseOfTheButtons) {
    using B = TStripButton;
    struct Step {
        bool down;
        B under;
        bool strips;        // the event is the strip's
        B clicked;          // on a release
        B heldAfter;
    };
    struct Case {
        const char* what;
        std::vector<Step> steps;
    } cases[] = {
        {"click quit", {{true, B::quit, true, B::none, B::quit}, {false, B::quit, true, B::quit, B::none}}},
        {"click switch",
         {{true, B::toggleFullScreen, true, B::none, B::toggleFullScreen},
          {false, B::toggleFullScreen, true, B::toggleFullScreen, B::none}}},
        {"released over the other button",
         {{true, B::quit, true, B::none, B::quit}, {false, B::toggleFullScreen, true, B::none, B::none}}},
        {"released off the strip", {{true, B::toggleFullScreen, true, B::none, B::toggleFullScreen},
                                    {false, B::none, true, B::none, B::none}}},
        {"pressed off the strip", {{true, B::none, false, B::none, B::none}, {false, B::quit, false, B::none, B::none}}},
        {"a second press moves the hold",
         {{true, B::quit, true, B::none, B::quit}, {true, B::toggleFullScreen, true, B::none, B::toggleFullScreen},
          {false, B::toggleFullScreen, true, B::toggleFullScreen, B::none}}},
    };
    for (const Case& c : cases) {
        TTopStrip strip;
        for (size_t i = 0; i < c.steps.size(); ++i) {
            const Step& s = c.steps[i];
            B clicked = B::quit;
            bool strips = s.down ? strip.leftDown(s.under) : strip.leftUp(s.under, clicked);
            EXPECT_EQ(strips, s.strips) << c.what << ", step " << i;
            if (!s.down) {
                EXPECT_EQ(clicked, s.clicked) << c.what << ", step " << i;
            }
            EXPECT_EQ(strip.pressed(), s.heldAfter) << c.what << ", step " << i;
        }
    }
}

// In full screen the strip shows while the pointer touches the top edge and
// stays until the pointer leaves it downwards; in a window it always shows
// and the pointer changes nothing. A change of mode hides it and lets go.
TEST(TopStrip, ShowsInFullScreenAtTheTopEdge) {
    TTopStrip strip;
    EXPECT_FALSE(strip.pointerMoved(0));                // windowed
    EXPECT_FALSE(strip.shownInFullScreen());
    strip.leftDown(TStripButton::quit);
    strip.setFullScreen(true);
    EXPECT_EQ(strip.pressed(), TStripButton::none);
    struct Move {
        int32_t y;
        bool changed;
        bool shown;
    } moves[] = {{5, false, false},  {1, false, false}, {0, true, true},
                 {10, false, true},  {kStripHeight - 1, false, true}, {kStripHeight, true, false},
                 {kStripHeight - 1, false, false}, {0, true, true}};
    for (const Move& m : moves) {
        EXPECT_EQ(strip.pointerMoved(m.y), m.changed) << m.y;
        EXPECT_EQ(strip.shownInFullScreen(), m.shown) << m.y;
    }
    strip.setFullScreen(false);
    EXPECT_FALSE(strip.shownInFullScreen());
    EXPECT_FALSE(strip.pointerMoved(0));
}

} // namespace
} // namespace zuno
