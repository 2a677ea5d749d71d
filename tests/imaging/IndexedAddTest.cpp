// The additive palette draw of 8-bit pictures (fire fields): the direct path
// for 32-bit targets against a worked per-pixel sum and against the general
// path (taken for mirrored draws), with clipping, threshold and strength.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "imaging/TDIBX.h"

namespace zuno {
namespace {

struct TIndexedScene {
    TDIBX Source{37, 13, 8}, Target{40, 20, 32};
    std::vector<uint32_t> Table = std::vector<uint32_t>(256);
    explicit TIndexedScene(uint32_t seed) {
        std::mt19937 rng(seed);
        for (int32_t y = 0; y < Source.GetHeight(); ++y)
            for (int32_t x = 0; x < Source.GetWidth(); ++x)
                Source.ScanLine(y)[x] = uint8_t(rng());
        for (int32_t y = 0; y < Target.GetHeight(); ++y)
            for (int32_t x = 0; x < Target.GetWidth(); ++x)
                Target.SetPixel(x, y, rng() & 0x00FFFFFF);
        for (uint32_t& c : Table)
            c = rng() & 0x00FFFFFF;
    }
};

TEST(IndexedAddTest, DirectPathAddsScaledColoursAboveTheThreshold) {
    struct TCase {
        int32_t x, y, opacity, threshold;
        TRect clip;
    } cases[] = {
        {2, 3, 255, 16, TRect()},
        {-5, -2, 200, 16, TRect()},                   // cut at the top left
        {10, 12, 300, -1, TRect()},                   // cut at the bottom right; strength kept to 255; all values add
        {1, 1, 128, 200, TRect(4, 2, 30, 9)},         // clip rectangle
    };
    for (const TCase& c : cases) {
        TIndexedScene s(7);
        TDIBX before(40, 20, 32);
        before.Assign(s.Target);
        s.Target.ClipRect = c.clip;
        s.Target.DrawIndexedAdd(c.x, c.y, s.Table.data(), c.opacity, c.threshold, false, false, TRect(0, 0, 37, 13),
                                s.Source);
        const TRect area = c.clip.Right == 0 ? TRect(0, 0, 40, 20) : c.clip;
        const uint32_t w = uint32_t(std::min(c.opacity, 255));
        for (int32_t y = 0; y < 20; ++y)
            for (int32_t x = 0; x < 40; ++x) {
                uint32_t expected = before.GetPixel(x, y);
                const int32_t sx = x - c.x, sy = y - c.y;
                if (area.contains(x, y) && sx >= 0 && sx < 37 && sy >= 0 && sy < 13) {
                    const uint32_t v = s.Source.ScanLine(sy)[sx];
                    if (int32_t(v) > c.threshold) {
                        uint32_t sum = 0;
                        for (int shift : {0, 8, 16, 24})
                            sum |= std::min<uint32_t>(255, (expected >> shift & 0xFF) +
                                                               ((s.Table[v] >> shift & 0xFF) * w >> 8)) << shift;
                        expected = sum;
                    }
                }
                ASSERT_EQ(s.Target.GetPixel(x, y), expected) << c.x << "," << c.y << " at " << x << "," << y;
            }
    }
}

TEST(IndexedAddTest, DirectPathMatchesTheGeneralPath) {
    // A mirrored draw of the mirrored picture takes the general path and
    // must land on the same pixels as the direct one.
    TIndexedScene direct(11), general(11);
    TDIBX mirrored(37, 13, 8);
    for (int32_t y = 0; y < 13; ++y)
        for (int32_t x = 0; x < 37; ++x)
            mirrored.ScanLine(y)[36 - x] = direct.Source.ScanLine(y)[x];
    direct.Target.DrawIndexedAdd(3, 4, direct.Table.data(), 255, 16, false, false, TRect(0, 0, 37, 13), direct.Source);
    general.Target.DrawIndexedAdd(3, 4, general.Table.data(), 255, 16, false, true, TRect(0, 0, 37, 13), mirrored);
    for (int32_t y = 0; y < 20; ++y)
        for (int32_t x = 0; x < 40; ++x)
            ASSERT_EQ(direct.Target.GetPixel(x, y), general.Target.GetPixel(x, y)) << x << "," << y;
}

} // namespace
} // namespace zuno
