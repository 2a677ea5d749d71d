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

} // namespace
} // namespace zuno
