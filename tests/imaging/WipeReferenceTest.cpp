// The fast drawing of the whole-screen wipes against the simple per-pixel
// loops they replaced, bit for bit, on random sizes, pictures, levels and
// directions. The simple loops below are the reference: one pixel at a time,
// straight from the rules' arithmetic.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "WipeTestUtil.h"
#include "imaging/TWipeMask.h"
#include "imaging/TWipeShadow.h"
#include "imaging/WipeKernels.h"

namespace zuno {
namespace {

using namespace test;

// The integer nearest to x, halves to even.
int64_t nint(double x) { return int64_t(std::nearbyint(x)); }

uint32_t addGreyRef(uint32_t p, int32_t k) { return plusGrey(p, k); }
uint32_t subGreyRef(uint32_t p, int32_t k) { return minusGrey(p, k); }

// Pictures of random pixels (the fourth byte 0), a rule picture of random
// greys of its own size, and a random duration and time.
struct TRandomRig {
    std::mt19937 Rng;
    int32_t W, H;
    std::unique_ptr<TWipeRig> Rig;
    std::vector<uint32_t> Old, New;
    int32_t RuleW, RuleH;
    std::vector<uint32_t> Rule;

    explicit TRandomRig(uint32_t seed, int32_t maxW = 90, int32_t maxH = 70) : Rng(seed) {
        W = pick(1, maxW);
        H = pick(1, maxH);
        Rig = std::make_unique<TWipeRig>(W, H);
        Old.resize(size_t(W) * H);
        New.resize(size_t(W) * H);
        for (int32_t y = 0; y < H; ++y)
            for (int32_t x = 0; x < W; ++x) {
                Old[size_t(y) * W + x] = Rng() & 0x00FFFFFF;
                New[size_t(y) * W + x] = Rng() & 0x00FFFFFF;
                Rig->From.SetPixel(x, y, Old[size_t(y) * W + x]);
                Rig->To.SetPixel(x, y, New[size_t(y) * W + x]);
            }
        RuleW = pick(1, 40);
        RuleH = pick(1, 40);
        for (int32_t i = 0; i < RuleW * RuleH; ++i)
            Rule.push_back((Rng() & 1) ? (Rng() & 0x00FFFFFF) : (Rng() & 255) * 0x010101u);
        Rig->Services.LoadRule = [this](const std::string&, TDIBX& p) {
            p.SetSize(RuleW, RuleH, 32);
            for (int32_t y = 0; y < RuleH; ++y)
                for (int32_t x = 0; x < RuleW; ++x)
                    p.SetPixel(x, y, Rule[size_t(y) * RuleW + x]);
            return true;
        };
    }
    int32_t pick(int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(Rng); }
    uint32_t from(int32_t x, int32_t y) const { return Old[size_t(y) * W + x]; }
    uint32_t to(int32_t x, int32_t y) const { return New[size_t(y) * W + x]; }
    uint32_t toAt(int64_t x, int64_t y) const { return New[size_t(y) * W + size_t(x)]; }
};

constexpr uint32_t kSeeds = 60;

TEST(WipeReferenceTest, MaskWhiteAndBlackPixelByPixel) {
    for (uint32_t seed = 1; seed <= kSeeds; ++seed) {
        TRandomRig r(seed);
        const bool dark = seed % 2 == 0, reverse = seed % 3 == 0;
        const int32_t T = r.pick(1, 3000), t = r.pick(0, T - 1);
        auto w = r.Rig->make(dark ? WP_MASKBLACK : WP_MASKWHITE, T, reverse, {}, {}, "rule");
        r.Rig->step(*w, t);
        const std::vector<uint8_t> rule = loadRuleMap(r.Rig->Services, "rule", r.W, r.H, reverse);
        const int64_t level = int64_t(t) * 768 / T;
        EXPECT_TRUE(r.Rig->picture([&](int32_t x, int32_t y) {
            const int64_t v = std::clamp<int64_t>(level + rule[size_t(y) * r.W + x] - 256, 0, 511);
            const uint32_t p = v <= 255 ? r.from(x, y) : r.to(x, y);
            const int32_t k = int32_t(v <= 255 ? v : 511 - v);
            return dark ? subGreyRef(p, k) : addGreyRef(p, k);
        })) << "seed " << seed << " " << r.W << " x " << r.H << " t " << t << " of " << T;
    }
}

TEST(WipeReferenceTest, MaskFadeMaskPixelByPixel) {
    for (uint32_t seed = 1; seed <= kSeeds; ++seed) {
        TRandomRig r(seed);
        const bool reverse = seed % 2 == 0;
        const int32_t T = r.pick(1, 3000), t = r.pick(0, T - 1);
        auto w = r.Rig->make(WP_MASKFADE, T, reverse, {}, {}, "rule");
        r.Rig->step(*w, t);
        TDIBX* mask = static_cast<TWipeMask&>(*w).Mask();
        const std::vector<uint8_t> rule = loadRuleMap(r.Rig->Services, "rule", r.W, r.H, reverse);
        const int64_t level = int64_t(t) * 512 / T;
        for (int32_t y = 0; y < r.H; ++y)
            for (int32_t x = 0; x < r.W; ++x)
                ASSERT_EQ(mask->GetPixel(x, y),
                          uint32_t(std::clamp<int64_t>(level + rule[size_t(y) * r.W + x] - 256, 0, 255)))
                    << "seed " << seed << " (" << x << ", " << y << ")";
    }
}

TEST(WipeReferenceTest, SpotPixelByPixel) {
    for (uint32_t seed = 1; seed <= kSeeds; ++seed) {
        TRandomRig r(seed);
        const bool reverse = seed % 2 == 0;
        const int32_t T = r.pick(1, 3000), t = r.pick(0, T - 1);
        auto w = r.Rig->make(WP_SPOT, T, reverse);
        r.Rig->step(*w, t);
        const double cx = r.W / 2.0, cy = r.H / 2.0;
        const int64_t maxDistance = nint(std::sqrt(cx * cx + cy * cy));
        const int64_t b = int64_t(t) * (maxDistance + 512) / T;
        EXPECT_TRUE(r.Rig->picture([&](int32_t x, int32_t y) {
            const int64_t d0 = nint(std::sqrt((x + 0.5 - cx) * (x + 0.5 - cx) + (y + 0.5 - cy) * (y + 0.5 - cy)));
            const int64_t v = b - (reverse ? std::max<int64_t>(maxDistance - d0, 0) : d0);
            if (v < 0)
                return r.from(x, y);
            if (v < 256)
                return addGreyRef(r.from(x, y), int32_t(v));
            if (v < 512)
                return addGreyRef(r.to(x, y), int32_t(511 - v));
            return r.to(x, y);
        })) << "seed " << seed << " " << r.W << " x " << r.H << " t " << t << " of " << T;
    }
}

TEST(WipeReferenceTest, SectorMasksPixelByPixel) {
    constexpr int64_t kTurn = 65536;
    for (int32_t kind : {WP_CLOCKHAND, WP_FAN, WP_WFAN})
        for (uint32_t seed = 1; seed <= kSeeds; ++seed) {
            TRandomRig r(seed * 7 + uint32_t(kind));
            const bool reverse = seed % 2 == 0;
            const int32_t T = r.pick(1, 3000), t = r.pick(0, T - 1), p0 = r.pick(-720, 720);
            auto w = r.Rig->make(kind, T, reverse, p0);
            r.Rig->step(*w, t);
            TDIBX* mask = static_cast<TWipeMask&>(*w).Mask();
            const int64_t level = int64_t(t) * kTurn / T;
            // Mask wipes raise p0 to at least 2.
            const int64_t start = ((int64_t(std::max(p0, 2)) % 360 + 360) % 360) * kTurn / 360;
            int64_t first[2] = {0, 0}, width[2] = {0, 0};
            if (kind == WP_CLOCKHAND) {
                first[0] = reverse ? start - level : start;
                width[0] = level;
            } else if (kind == WP_FAN) {
                first[0] = start - level / 2;
                width[0] = 2 * (level / 2);
            } else {
                first[0] = start - level / 4;
                first[1] = start + kTurn / 2 - level / 4;
                width[0] = width[1] = 2 * (level / 4);
            }
            for (int32_t y = 0; y < r.H; ++y)
                for (int32_t x = 0; x < r.W; ++x) {
                    double a = std::atan2(x + 0.5 - r.W / 2.0, -(y + 0.5 - r.H / 2.0)) / (2 * std::numbers::pi);
                    if (a < 0)
                        a += 1;
                    const int64_t d = int64_t(std::floor(a * kTurn)) & (kTurn - 1);
                    bool in = false;
                    for (int i = 0; i < 2; ++i)
                        in |= uint64_t((d - first[i]) & (kTurn - 1)) < uint64_t(width[i]);
                    ASSERT_EQ(mask->GetPixel(x, y), in ? 255u : 0u)
                        << "kind " << kind << " seed " << seed << " (" << x << ", " << y << ")";
                }
        }
}

TEST(WipeReferenceTest, SectorMaskRowWholeTurnAndNoSector) {
    const uint16_t directions[4] = {0, 1, 32768, 65535};
    uint8_t m[4];
    struct TCase {
        int64_t first, width;
        int32_t count;
        uint8_t expected[4];
    } cases[] = {
        {0, 65536, 1, {255, 255, 255, 255}},              // a whole turn takes every direction
        {5, 0, 1, {0, 0, 0, 0}},                          // no width, nothing
        {0, 65536, 0, {0, 0, 0, 0}},                      // no sector counted
        {-1, 2, 1, {255, 0, 0, 255}},                     // across 12 o'clock: 65535 and 0
        {32768, 1, 1, {0, 0, 255, 0}},
    };
    for (const TCase& c : cases) {
        const int64_t first[2] = {c.first, 0}, width[2] = {c.width, 0};
        wipe::sectorMaskRow(m, directions, 4, first, width, c.count);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(m[i], c.expected[i]) << "first " << c.first << " width " << c.width << " at " << i;
    }
}

TEST(WipeReferenceTest, RipplePixelByPixel) {
    for (uint32_t seed = 1; seed <= kSeeds; ++seed) {
        TRandomRig r(seed, 120, 100);
        const int32_t T = r.pick(1, 3000), t = r.pick(0, T - 1), p0 = r.pick(0, 40);
        auto w = r.Rig->make(WP_RIPPLE, T, false, p0);
        r.Rig->step(*w, t);
        const int32_t W = r.W, H = r.H;
        const int64_t L = std::min(W, H) / 3;
        std::vector<int64_t> profile(size_t(L), 0);
        if (L / 4 > 0)
            for (int64_t i = 0; i < L; ++i)
                profile[size_t(i)] = (i % (L / 4)) * p0 / (L / 4);
        const int64_t front = int64_t(t) * (nint(std::sqrt(W * W / 4.0 + H * H / 4.0)) + L) / T;
        const double hx = W % 2 == 0 ? 0.5 : 0.0, hy = H % 2 == 0 ? 0.5 : 0.0;
        EXPECT_TRUE(r.Rig->picture([&](int32_t x, int32_t y) {
            const int32_t sx = x >= W / 2 ? 1 : -1, sy = y >= H / 2 ? 1 : -1;
            const int32_t i = sx > 0 ? x - W / 2 : (W - 1) / 2 - x, j = sy > 0 ? y - H / 2 : (H - 1) / 2 - y;
            const double ox = i + hx, oy = j + hy, d = std::sqrt(ox * ox + oy * oy);
            const int64_t dist = nint(d);
            const int64_t c = d > 0 ? nint(ox / d * 65536) : 0, s = d > 0 ? nint(oy / d * 65536) : 0;
            if (dist > front)
                return r.from(x, y);
            if (dist + L - 1 < front)
                return r.to(x, y);
            const int64_t shift = profile[size_t(dist + L - 1 - front)];
            const int64_t px = x + sx * ((shift * c + 32768) >> 16), py = y + sy * ((shift * s + 32768) >> 16);
            return px >= 0 && px < W && py >= 0 && py < H ? r.toAt(px, py) : r.to(x, y);
        })) << "seed " << seed << " " << W << " x " << H << " t " << t << " of " << T;
    }
}

TEST(WipeReferenceTest, TwistsPixelByPixel) {
    for (int32_t kind : {WP_TWISTH, WP_TWISTV})
        for (uint32_t seed = 1; seed <= kSeeds; ++seed) {
            TRandomRig r(seed * 3 + uint32_t(kind), 90, 90);
            const bool reverse = seed % 2 == 0, v = kind == WP_TWISTV;
            const int32_t T = r.pick(1, 3000), t = r.pick(0, T - 1);
            auto w = r.Rig->make(kind, T, reverse);
            r.Rig->step(*w, t);
            const int32_t n = v ? r.W : r.H, length = v ? r.H : r.W;
            EXPECT_TRUE(r.Rig->picture([&](int32_t x, int32_t y) -> int64_t {
                const int32_t i = v ? x : y, along = v ? y : x;
                const double pi = std::numbers::pi;
                const int32_t k = reverse ? n - 1 - i : i;
                const double theta = double(t) * 3 * pi / 2 / double(T) - double(k) / double(n) * pi / 2;
                if (theta < 0)
                    return r.from(x, y);
                if (theta >= pi)
                    return r.to(x, y);
                const double c = std::cos(theta);
                const int64_t squeezed = std::min<int64_t>(nint(double(length) * std::fabs(c)), length);
                const int64_t start = (length - squeezed) / 2;
                if (along < start || along >= start + squeezed)
                    return 0;
                const int64_t source = (along - start) * length / squeezed;
                const int32_t sx = v ? x : int32_t(source), sy = v ? int32_t(source) : y;
                return c < 0 ? r.to(sx, sy) : r.from(sx, sy);
            })) << "kind " << kind << " seed " << seed << " " << r.W << " x " << r.H << " t " << t << " of " << T;
        }
}

// A 32-bit picture turned into a 32-bit target takes the plain copy loop; the
// same picture held in 24 bits goes through the general loop with conversion.
// Both must land the same pixels in the same places.
TEST(WipeReferenceTest, RotationCopyLoopMatchesTheGeneralLoop) {
    for (uint32_t seed = 1; seed <= kSeeds; ++seed) {
        TRandomRig r(seed, 60, 60);
        TDIBX picture24(r.W, r.H, 24), fast(70, 70, 32), general(70, 70, 32);
        picture24.Draw(0, 0, false, false, false, TRect(0, 0, r.W, r.H), r.Rig->From);
        fast.Fill(0x123456);
        general.Fill(0x123456);
        const int32_t angle = seed % 3 == 0 ? 0 : r.pick(0, 255), zoom = r.pick(16, 600);
        const int32_t cx = r.pick(0, r.W - 1), cy = r.pick(0, r.H - 1), x = r.pick(0, 69), y = r.pick(0, 69);
        const bool flipV = r.pick(0, 1) != 0, flipH = r.pick(0, 1) != 0;
        fast.DrawRotate(x, y, 255, flipV, flipH, false, angle, cx, cy, zoom, zoom, TRect(0, 0, r.W, r.H), r.Rig->From);
        general.DrawRotate(x, y, 255, flipV, flipH, false, angle, cx, cy, zoom, zoom, TRect(0, 0, r.W, r.H),
                           picture24);
        for (int32_t py = 0; py < 70; ++py)
            for (int32_t px = 0; px < 70; ++px)
                ASSERT_EQ(fast.GetPixel(px, py), general.GetPixel(px, py))
                    << "seed " << seed << " angle " << angle << " zoom " << zoom << " at (" << px << ", " << py << ")";
    }
}

} // namespace
} // namespace zuno
