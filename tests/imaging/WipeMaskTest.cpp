// The mask wipes: each rule's mask at the start, in the middle and at the end
// of a transition, composed from two known pictures.
#include <gtest/gtest.h>

#include <array>
#include <numbers>
#include <vector>

#include "WipeTestUtil.h"
#include "core/TKsRandom.h"
#include "imaging/TWipeMask.h"

namespace zuno {
namespace {

using namespace test;

// The expected mask value of pixel (x, y) for a W x H transition at time t of
// T with parameters p0, p1; -1 where the rule leaves it to rounding (a pixel
// on the edge of a geometric shape).
struct TMaskCase {
    const char*         name;
    int32_t             kind;
    int32_t             p0, p1;                 // as given to SetParam (clamped by the wipe)
    bool                reverse;
    bool                hard;
    std::function<int32_t(int32_t x, int32_t y, int64_t t, int64_t T)> mask;
};

constexpr int32_t kW = 40, kH = 30;

int64_t ceilDiv(int64_t a, int64_t b) { return (a + b - 1) / b; }

int32_t blind(int64_t i, int64_t t, int64_t T, int64_t p0, int64_t p1, bool reverse) {
    const int64_t level = (p1 + 2 * p0 - 2) * t / T;
    const int64_t e = reverse ? 2 * (p0 - 1 - i % p0) : 2 * (i % p0);
    return rampOf(level - e, p1);
}

int32_t curtain(int64_t i, int64_t n, int64_t t, int64_t T, int64_t p0, int64_t p1, bool reverse) {
    const int64_t level = ((ceilDiv(n, p0) + p0 - 2) * 16 + p1) * t / T;
    const int64_t k = reverse ? n - 1 - i : i;
    return rampOf(level - 16 * (k / p0 + k % p0), p1);
}

// Grids: order of a cell by column (1), row (2) or rounded distance (0).
int32_t grid(int by, int32_t x, int32_t y, int64_t t, int64_t T, int64_t p0, int64_t p1, bool reverse) {
    const int64_t nc = ceilDiv(kW, p0), nr = ceilDiv(kH, p0);
    int64_t c = x / p0, r = y / p0;
    if (reverse) {
        c = nc - 1 - c;
        r = nr - 1 - r;
    }
    const int64_t order = by == 1 ? c : by == 2 ? r : nearest(std::sqrt(double(r * r + c * c)));
    const int64_t D = 4 * (by == 1 ? nc : by == 2 ? nr : nearest(std::sqrt(double((nr - 1) * (nr - 1) + (nc - 1) * (nc - 1)))));
    const int64_t level = (p1 + D - 4) * t / T;
    const int64_t k = 4 * order;
    if (k > level)
        return 0;
    const int64_t side = std::min(p0, p0 * (level - k) / p1);
    const int64_t left = (x / p0) * p0 + (p0 - side) / 2, top = (y / p0) * p0 + (p0 - side) / 2;
    if (x < left || x >= left + side || y < top || y >= top + side)
        return 0;
    return rampOf(level - k, p1);
}

// Angle of the pixel's centre about the picture's centre, in degrees
// clockwise from 12 o'clock.
double clockAngle(int32_t x, int32_t y) {
    const double a = std::atan2(x + 0.5 - kW / 2.0, -(y + 0.5 - kH / 2.0)) * 180 / std::numbers::pi;
    return a < 0 ? a + 360 : a;
}

// 255 inside the arc [from, from + width) degrees, 0 outside, -1 within
// 1.5 degrees of its edges.
int32_t inArc(double angle, double from, double width) {
    const double d = std::fmod(std::fmod(angle - from, 360) + 360, 360);
    if (width <= 0)
        return 0;
    if (std::fabs(d) < 1.5 || std::fabs(d - 360) < 1.5 || std::fabs(d - width) < 1.5)
        return -1;
    return d < width ? 255 : 0;
}

const double kRadius = std::sqrt(kW * kW / 4.0 + kH * kH / 4.0);

int32_t circle(int32_t x, int32_t y, int64_t r, bool reverse) {
    const double d = std::hypot(x + 0.5 - kW / 2.0, y + 0.5 - kH / 2.0);
    if (std::fabs(d - double(r)) < 0.75)
        return -1;
    const bool inside = d < double(r);
    return inside != reverse ? 255 : 0;
}

// The 64 x 64 dither order drawn with the fixed seed: rank of each position.
const std::array<int32_t, 4096>& ditherRank() {
    static const std::array<int32_t, 4096> rank = [] {
        std::array<int32_t, 4096> r{};
        TKsRandom random(12341);
        random.ResetPool(4096);
        for (int32_t i = 0; i < 4096; ++i)
            r[size_t(random.NextFromPool())] = i;
        return r;
    }();
    return rank;
}

// The spiral of a 4 x 3 grid of 10-pixel blocks, written out.
const std::vector<std::pair<int, int>> kSpiral = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {3, 1}, {3, 2},
                                                  {2, 2}, {1, 2}, {0, 2}, {0, 1}, {1, 1}, {2, 1}};

int32_t coil(int32_t x, int32_t y, int64_t t, int64_t T, bool reverse) {
    const int64_t n = int64_t(kSpiral.size() - 1) * t / T;
    for (int64_t i = 0; i <= n; ++i) {
        const auto [c, r] = kSpiral[size_t(reverse ? int64_t(kSpiral.size()) - 1 - i : i)];
        if (x / 10 == c && y / 10 == r)
            return 255;
    }
    return 0;
}

const TMaskCase kCases[] = {
    {"blindH p1=1", WP_BLINDH, 7, 1, false, true, [](int32_t x, int32_t, int64_t t, int64_t T) { return blind(x, t, T, 7, 1, false); }},
    {"blindH p1=10", WP_BLINDH, 7, 10, false, false, [](int32_t x, int32_t, int64_t t, int64_t T) { return blind(x, t, T, 7, 10, false); }},
    {"blindH reversed", WP_BLINDH, 7, 10, true, false, [](int32_t x, int32_t, int64_t t, int64_t T) { return blind(x, t, T, 7, 10, true); }},
    {"blindH p0=0 p1=0 clamped", WP_BLINDH, 0, 0, false, true, [](int32_t x, int32_t, int64_t t, int64_t T) { return blind(x, t, T, 2, 1, false); }},
    {"blindV", WP_BLINDV, 9, 4, false, false, [](int32_t, int32_t y, int64_t t, int64_t T) { return blind(y, t, T, 9, 4, false); }},
    {"blindV reversed", WP_BLINDV, 9, 4, true, false, [](int32_t, int32_t y, int64_t t, int64_t T) { return blind(y, t, T, 9, 4, true); }},
    {"blindV taller than the screen", WP_BLINDV, 50, 1, false, true, [](int32_t, int32_t y, int64_t t, int64_t T) { return blind(y, t, T, 50, 1, false); }},
    {"curtainH", WP_CURTAINH, 6, 1, false, true, [](int32_t x, int32_t, int64_t t, int64_t T) { return curtain(x, kW, t, T, 6, 1, false); }},
    {"curtainH soft reversed", WP_CURTAINH, 6, 20, true, false, [](int32_t x, int32_t, int64_t t, int64_t T) { return curtain(x, kW, t, T, 6, 20, true); }},
    {"curtainH p0=0 clamped to 1", WP_CURTAINH, 0, 0, false, true, [](int32_t x, int32_t, int64_t t, int64_t T) { return curtain(x, kW, t, T, 1, 1, false); }},
    {"curtainV", WP_CURTAINV, 7, 12, false, false, [](int32_t, int32_t y, int64_t t, int64_t T) { return curtain(y, kH, t, T, 7, 12, false); }},
    {"curtainV reversed", WP_CURTAINV, 7, 1, true, true, [](int32_t, int32_t y, int64_t t, int64_t T) { return curtain(y, kH, t, T, 7, 1, true); }},
    {"grid", WP_GRID, 12, 9, false, false, [](int32_t x, int32_t y, int64_t t, int64_t T) { return grid(0, x, y, t, T, 12, 9, false); }},
    {"grid reversed", WP_GRID, 12, 9, true, false, [](int32_t x, int32_t y, int64_t t, int64_t T) { return grid(0, x, y, t, T, 12, 9, true); }},
    {"gridH", WP_GRIDH, 8, 6, false, false, [](int32_t x, int32_t y, int64_t t, int64_t T) { return grid(1, x, y % 8, t, T, 8, 6, false); }},
    {"gridH hard reversed", WP_GRIDH, 8, 1, true, true, [](int32_t x, int32_t y, int64_t t, int64_t T) { return grid(1, x, y % 8, t, T, 8, 1, true); }},
    {"gridV", WP_GRIDV, 11, 5, false, false, [](int32_t x, int32_t y, int64_t t, int64_t T) { return grid(2, x, y, t, T, 11, 5, false); }},
    {"dither", WP_DITHER, 0, 0, false, true, [](int32_t x, int32_t y, int64_t t, int64_t T) {
         return ditherRank()[size_t((y % 64) * 64 + x % 64)] < t * 4096 / T ? 255 : 0; }},
    {"circle", WP_CIRCLE, 0, 0, false, false, [](int32_t x, int32_t y, int64_t t, int64_t T) {
         return circle(x, y, nearest(kRadius * double(t) / double(T)), false); }},
    {"circle reversed", WP_CIRCLE, 0, 0, true, false, [](int32_t x, int32_t y, int64_t t, int64_t T) {
         return circle(x, y, nearest(kRadius * double(T - t) / double(T)), true); }},
    // The mask wipes raise p0 to 2, so the default start angle is 2 degrees.
    {"clockhand", WP_CLOCKHAND, 0, 0, false, false, [](int32_t x, int32_t y, int64_t t, int64_t T) {
         return inArc(clockAngle(x, y), 2, 360.0 * double(t) / double(T)); }},
    {"clockhand from 90 anticlockwise", WP_CLOCKHAND, 90, 0, true, false, [](int32_t x, int32_t y, int64_t t, int64_t T) {
         const double sweep = 360.0 * double(t) / double(T);
         return inArc(clockAngle(x, y), 90 - sweep, sweep); }},
    {"fan", WP_FAN, 45, 0, false, false, [](int32_t x, int32_t y, int64_t t, int64_t T) {
         const double half = 180.0 * double(t) / double(T);
         return inArc(clockAngle(x, y), 45 - half, 2 * half); }},
    {"wfan", WP_WFAN, 30, 0, false, false, [](int32_t x, int32_t y, int64_t t, int64_t T) {
         const double half = 90.0 * double(t) / double(T);
         const int32_t a = inArc(clockAngle(x, y), 30 - half, 2 * half), b = inArc(clockAngle(x, y), 210 - half, 2 * half);
         return a < 0 || b < 0 ? -1 : std::max(a, b); }},
    {"blockcoil", WP_BLOCKCOIL, 0, 0, false, true, [](int32_t x, int32_t y, int64_t t, int64_t T) { return coil(x, y, t, T, false); }},
    {"blockcoil reversed", WP_BLOCKCOIL, 3, 0, true, true, [](int32_t x, int32_t y, int64_t t, int64_t T) { return coil(x, y, t, T, true); }},
};

TEST(WipeMaskTest, EveryRuleAtStartMiddleAndEnd) {
    constexpr int32_t T = 1000;
    for (const TMaskCase& c : kCases) {
        for (int32_t t : {0, 1, 250, 500, 777, T - 1}) {
            TWipeRig rig(kW, kH);
            auto w = rig.make(c.kind, T, c.reverse, c.p0, c.p1);
            ASSERT_TRUE(w) << c.name;
            rig.step(*w, t);
            EXPECT_EQ(static_cast<TWipeMask&>(*w).Hard, c.hard) << c.name;
            EXPECT_TRUE(rig.picture([&](int32_t x, int32_t y) -> int64_t {
                const int32_t m = c.mask(x, y, t, T);
                return m < 0 ? int64_t(-1) : int64_t(maskMix(oldPixel(x, y), newPixel(x, y), m, c.hard));
            })) << c.name << " at t = " << t;
        }
    }
}

TEST(WipeMaskTest, ParametersAreRaisedPerFamily) {
    struct TCase {
        int32_t kind, p0, p1, expected0, expected1;
    } cases[] = {
        {WP_BLINDH, -5, -5, 2, 1},   {WP_GRID, 1, 0, 2, 1},      {WP_CLOCKHAND, 0, 0, 2, 1},
        {WP_CURTAINH, -5, -5, 1, 1}, {WP_CURTAINV, 0, 0, 1, 1},  {WP_BLOCKCOIL, 7, 9, 7, 9},
    };
    for (const TCase& c : cases) {
        TWipeRig rig(kW, kH);
        auto w = rig.make(c.kind, 100, false, c.p0, c.p1);
        EXPECT_EQ(w->GetParam(0), c.expected0) << c.kind;
        EXPECT_EQ(w->GetParam(1), c.expected1) << c.kind;
    }
}

TEST(WipeMaskTest, MaskIsRebuiltOnlyWhenTheLevelChanges) {
    TWipeRig rig(kW, kH);
    auto w = rig.make(WP_BLINDH, 1000, false, 7, 1);    // level = 13 t / 1000
    auto& mask = static_cast<TWipeMask&>(*w);
    rig.step(*w, 100);
    EXPECT_EQ(mask.LastLevel, 1);
    mask.Mask()->ScanLine(0)[0] = 77;                    // a mark the rebuild would wipe out
    rig.step(*w, 150);                                   // still level 1
    EXPECT_EQ(mask.Mask()->ScanLine(0)[0], 77);
    rig.step(*w, 160);                                   // level 2
    EXPECT_EQ(mask.LastLevel, 2);
    EXPECT_EQ(mask.Mask()->ScanLine(0)[0], 255);
}

TEST(WipeMaskTest, PicturesChangingUnderAnUnchangedMaskAreComposedAgain) {
    TWipeRig rig(kW, kH);
    auto w = rig.make(WP_BLINDH, 1000, false, 7, 1);
    rig.step(*w, 100);
    rig.To.Fill(0x00FF00);
    rig.step(*w, 120);                                   // the same level
    EXPECT_EQ(rig.Target.GetPixel(0, 0), 0x00FF00u);     // column 0 shows the new picture
    EXPECT_EQ(rig.Target.GetPixel(3, 0), oldPixel(3, 0));
}

// Rule pictures: a grey ramp from black on the left to white on the right.
void rampRule(TDIBX& rule, int32_t w, int32_t h) {
    rule.SetSize(w, h, 32);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t g = uint32_t(x * 255 / (w - 1));
            rule.SetPixel(x, y, g * 0x010101u);
        }
}

struct TRuleFiles {
    std::vector<std::string> asked;
    TWipeServices services() {
        TWipeServices s;
        s.LoadRule = [this](const std::string& name, TDIBX& picture) {
            asked.push_back(name);
            if (name == "ramp.bmp") {
                rampRule(picture, kW, kH);
                return true;
            }
            if (name == "small.bmp") {                   // 3 x 2, tiled over the screen
                picture.SetSize(3, 2, 24);
                for (int32_t i = 0; i < 6; ++i)
                    picture.SetPixel(i % 3, i / 3, uint32_t(i * 40) * 0x010101u);
                return true;
            }
            if (name == "broken.drl")
                throw std::runtime_error("damaged");
            return false;
        };
        return s;
    }
};

TEST(WipeMaskTest, MaskFadeFollowsTheRulePicture) {
    constexpr int32_t T = 1000;
    struct TCase {
        const char* rule;
        bool reverse;
        std::function<int32_t(int32_t x, int32_t y)> grey;
    } cases[] = {
        {"ramp.bmp", false, [](int32_t x, int32_t) { return x * 255 / (kW - 1); }},
        {"ramp.bmp", true, [](int32_t x, int32_t) { return 255 - x * 255 / (kW - 1); }},
        {"small.bmp", false, [](int32_t x, int32_t y) { return ((y % 2) * 3 + x % 3) * 40; }},
        {"missing.bmp", false, [](int32_t, int32_t) { return 255; }},
        {"broken.drl", true, [](int32_t, int32_t) { return 255; }},
        {"", false, [](int32_t, int32_t) { return 255; }},
    };
    for (const TCase& c : cases) {
        for (int32_t t : {0, 200, 500, 800, T - 1}) {
            TRuleFiles files;
            TWipeRig rig(kW, kH);
            rig.Services = files.services();
            auto w = rig.make(WP_MASKFADE, T, c.reverse, {}, {}, c.rule);
            rig.step(*w, t);
            const int64_t level = int64_t(t) * 512 / T;
            EXPECT_TRUE(rig.picture([&](int32_t x, int32_t y) -> int64_t {
                const int32_t m = int32_t(std::clamp<int64_t>(level + c.grey(x, y) - 256, 0, 255));
                return maskMix(oldPixel(x, y), newPixel(x, y), m, false);
            })) << c.rule << " reverse " << c.reverse << " t " << t;
        }
    }
    // A gradient from black (left) to white (right) reveals the new picture
    // from right to left; reversed, from left to right.
    TRuleFiles files;
    TWipeRig rig(kW, kH);
    rig.Services = files.services();
    auto w = rig.make(WP_MASKFADE, 1000, false, {}, {}, "ramp.bmp");
    rig.step(*w, 400);
    EXPECT_NE(rig.Target.GetPixel(kW - 1, 5), oldPixel(kW - 1, 5));
    EXPECT_EQ(rig.Target.GetPixel(0, 5), oldPixel(0, 5));
    rig.step(*w, 600);
    EXPECT_EQ(rig.Target.GetPixel(kW - 1, 5), newPixel(kW - 1, 5));
    EXPECT_NE(rig.Target.GetPixel(0, 5), newPixel(0, 5));
    EXPECT_EQ(files.asked, std::vector<std::string>{"ramp.bmp"});  // read once, at Prepare
}

TEST(WipeMaskTest, RandomBlocksFollowTheRandomSource) {
    // A source that always answers n - 1 leaves the row-major order as it is.
    auto run = [](std::function<int32_t(int32_t)> random, int32_t t) {
        auto rig = std::make_unique<TWipeRig>(kW, kH);
        rig->Services.Random = std::move(random);
        auto w = rig->make(WP_BLOCKRANDOM, 1000, false, 10);
        rig->step(*w, t);
        return rig;
    };
    {
        auto rig = run([](int32_t n) { return n - 1; }, 500);   // blocks 0 .. 11 * 500 / 1000 = 5
        EXPECT_TRUE(rig->picture([](int32_t x, int32_t y) {
            const int32_t block = (y / 10) * 4 + x / 10;
            return block <= 5 ? newPixel(x, y) : oldPixel(x, y);
        }));
    }
    // At the last step all blocks but one have switched, whatever the order
    // (blocks 0 .. 11 * 999 / 1000 = 10); the flip's end shows the rest.
    {
        auto rig = run([](int32_t) { return 0; }, 999);
        int32_t switched = 0;
        for (int32_t y = 0; y < kH; y += 10)
            for (int32_t x = 0; x < kW; x += 10)
                switched += rig->Target.GetPixel(x, y) == newPixel(x, y);
        EXPECT_EQ(switched, 11);
    }
    // The shuffle depends on the generator: two seeds, two pictures.
    auto seeded = [](uint32_t seed) {
        return [state = seed](int32_t n) mutable {
            state = state * 134775813u + 1u;
            return int32_t((uint64_t(state) * uint32_t(n)) >> 32);
        };
    };
    auto a = run(seeded(1), 300), b = run(seeded(1), 300), c = run(seeded(2), 300);
    EXPECT_TRUE(a->picture([&](int32_t x, int32_t y) { return b->Target.GetPixel(x, y); }));
    EXPECT_FALSE(a->picture([&](int32_t x, int32_t y) { return c->Target.GetPixel(x, y); }));
}

TEST(WipeMaskTest, DitherIsTheSameOnEveryRun) {
    TWipeRig a(kW, kH), b(kW, kH);
    auto wa = a.make(WP_DITHER, 1000), wb = b.make(WP_DITHER, 1000);
    a.step(*wa, 421);
    b.step(*wb, 421);
    EXPECT_TRUE(a.picture([&](int32_t x, int32_t y) { return b.Target.GetPixel(x, y); }));
}

} // namespace
} // namespace zuno
