// The wipes that draw their effect directly, the factory, and what every
// wipe's step shares: the end, zero durations, other surface formats.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "WipeTestUtil.h"
#include "core/Cp932.h"
#include "imaging/TWipeCrack.h"

namespace zuno {
namespace {

using namespace test;

constexpr int32_t kW = 40, kH = 30;

TEST(WipeFactoryTest, CatalogueDefaultsAndUnknownNumbers) {
    struct TCase {
        int32_t kind, p0, p1;
    } cases[] = {
        {WP_FADE, 0, 0},      {WP_BLINDH, 20, 1},   {WP_BLINDV, 20, 1},    {WP_CURTAINH, 30, 1},
        {WP_CURTAINV, 30, 1}, {WP_GRID, 80, 30},    {WP_GRIDH, 80, 30},    {WP_GRIDV, 80, 30},
        {WP_DITHER, 2, 1},    {WP_MASKFADE, 2, 1},  {WP_MASKWHITE, 0, 0},  {WP_RIPPLE, 5, 0},
        {WP_CRACK, 64, 3},    {WP_ZOOMIN, 0, 0},    {WP_CLOCKHAND, 2, 1},  {WP_CIRCLE, 2, 1},
        {WP_BLOCKCOIL, 60, 1}, {WP_BLOCKRANDOM, 60, 1}, {WP_TWISTV, 0, 0}, {WP_RUBBERV, 0, 0},
    };
    TWipeRig rig(kW, kH);
    for (const TCase& c : cases) {
        auto w = CreateWipe(c.kind, rig.Target, rig.From, rig.To);
        ASSERT_TRUE(w) << c.kind;
        EXPECT_EQ(w->GetParam(0), c.p0) << c.kind;     // the mask wipes raise theirs to 2 and 1
        EXPECT_EQ(w->GetParam(1), c.p1) << c.kind;
        EXPECT_EQ(w->GetParam(2), 0);
    }
    for (int32_t kind = 1; kind <= 38; ++kind)
        EXPECT_TRUE(CreateWipe(kind, rig.Target, rig.From, rig.To)) << kind;
    for (int32_t kind : {0, 39, 40, 255, -1, 1 << 30})
        EXPECT_FALSE(CreateWipe(kind, rig.Target, rig.From, rig.To)) << kind;

    EXPECT_STREQ(wipeInfo(WP_WHITE)->Identifier, "WP_WHITE");
    EXPECT_EQ(std::string(wipeInfo(WP_BLOCKRANDOM)->Label), utf8ToCp932("ブロック(ランダム)"));
    EXPECT_EQ(std::string(wipeInfo(WP_NONE)->Label), utf8ToCp932("なし"));
    EXPECT_EQ(wipeInfo(39), nullptr);
}

TEST(WipeStepTest, EndZeroDurationsAndTheChangedArea) {
    for (int32_t kind = 1; kind <= 38; ++kind) {
        TWipeRig rig(kW, kH);
        for (int32_t duration : {0, -5}) {
            auto w = rig.make(kind, duration);
            w->Elapsed = 0;
            EXPECT_TRUE(w->Step()) << kind;               // zero durations finish at the first step
        }
        auto w = rig.make(kind, 100);
        w->Elapsed = 100;
        EXPECT_TRUE(w->Step()) << kind;
        EXPECT_TRUE(rig.picture([](int32_t, int32_t) { return 0x777777; })) << kind;   // nothing drawn
        EXPECT_EQ(w->ChangedRect, TRect(0, 0, kW, kH));
        rig.Target.ClipRect = TRect(1, 1, 2, 2);
        w->Elapsed = 99;
        EXPECT_FALSE(w->Step()) << kind;
        EXPECT_EQ(rig.Target.ClipRect.Right, 0) << kind; // widened to the whole surface
        EXPECT_FALSE(rig.picture([](int32_t, int32_t) { return 0x777777; })) << kind;
    }
}

TEST(WipeStepTest, MostWipesStartFromTheOldPicture) {
    // Flash starts white, mosaic coarse, small at zoom 255, and the block
    // wipes switch their first block at once.
    for (int32_t kind = 1; kind <= 38; ++kind) {
        if (kind == WP_FLASH || kind == WP_MOSAIC || kind == WP_SMALL || kind == WP_BLOCKCOIL || kind == WP_BLOCKRANDOM)
            continue;
        for (bool reverse : {false, true}) {
            TWipeRig rig(kW, kH);
            auto w = rig.make(kind, 1000, reverse);
            rig.step(*w, 0);
            EXPECT_TRUE(rig.showsOld()) << kind << " reverse " << reverse;
        }
    }
}

TEST(WipeStepTest, OtherFormatsAndSizesDrawThroughCopies) {
    // A 16-bit target and a smaller new picture: the wipe still runs.
    TDIBX target(kW, kH, 16), from(kW, kH, 32), to(10, 10, 24);
    from.Fill(0xFF0000);
    to.Fill(0x0000FF);
    auto w = CreateWipe(WP_SCROLLH, target, from, to);
    w->Duration = 100;
    w->Elapsed = 50;                                      // a = 20: new picture from x = 20
    EXPECT_FALSE(w->Step());
    EXPECT_EQ(target.PixelToColor(target.GetPixel(5, 5)), 0x0000FF);       // old: red
    EXPECT_EQ(target.PixelToColor(target.GetPixel(25, 5)), 0xFF0000);      // new: blue
    EXPECT_EQ(target.PixelToColor(target.GetPixel(25, 20)), 0);            // beyond the small picture
}

TEST(WipeDirectTest, Fade) {
    constexpr int32_t T = 1000;
    struct TCase {
        int32_t p0, p1, t;
    } cases[] = {{0, 0, 0}, {0, 0, 500}, {0, 0, 999}, {10, 0, 0}, {10, 0, 300}, {7, -5, 600}, {100, 0, 10}};
    for (const TCase& c : cases) {
        TWipeRig rig(kW, kH);
        auto w = rig.make(WP_FADE, T, false, c.p0, c.p1);
        rig.step(*w, c.t);
        const double f = double(T - c.t - 1) / T;
        const int64_t ox = nearest(c.p0 * f), oy = nearest(c.p1 * f), a = int64_t(c.t) * 256 / T;
        EXPECT_TRUE(rig.picture([&](int32_t x, int32_t y) {
            const int64_t sx = x - ox, sy = y - oy;
            if (sx < 0 || sy < 0 || sx >= kW || sy >= kH)
                return oldPixel(x, y);
            return alphaOver(oldPixel(x, y), newPixel(int32_t(sx), int32_t(sy)), int32_t(a));
        })) << c.p0 << "," << c.p1 << " t " << c.t;
    }
}

TEST(WipeDirectTest, Scrolls) {
    constexpr int32_t T = 1000;
    for (int32_t kind : {WP_SCROLLH, WP_SCROLLV})
        for (bool reverse : {false, true})
            for (int32_t t : {0, 1, 333, 999}) {
                TWipeRig rig(kW, kH);
                auto w = rig.make(kind, T, reverse);
                rig.step(*w, t);
                const bool h = kind == WP_SCROLLH;
                const int32_t n = h ? kW : kH, a = int32_t(int64_t(n) * t / T);
                EXPECT_TRUE(rig.picture([&](int32_t x, int32_t y) {
                    const int32_t p = h ? x : y;
                    // Not reversed: old moves towards 0 by a, new follows from n - a.
                    const bool old = reverse ? p >= a : p < n - a;
                    const int32_t q = old ? (reverse ? p - a : p + a) : (reverse ? p - a + n : p - (n - a));
                    return old ? oldPixel(h ? q : x, h ? y : q) : newPixel(h ? q : x, h ? y : q);
                })) << kind << " " << reverse << " " << t;
            }
}

TEST(WipeDirectTest, WhiteBlackAndFlash) {
    constexpr int32_t T = 1000;
    for (int32_t t : {0, 200, 499, 500, 501, 800, 999}) {
        const int32_t a = int32_t(int64_t(t) * 511 / T), b = int32_t(int64_t(t) * 255 / T);
        TWipeRig rig(kW, kH);
        auto white = rig.make(WP_WHITE, T);
        rig.step(*white, t);
        EXPECT_TRUE(rig.picture([&](int32_t x, int32_t y) {
            return a < 256 ? plusGrey(oldPixel(x, y), a) : plusGrey(newPixel(x, y), 511 - a);
        })) << "white " << t;
        if (t == 500) {
            EXPECT_TRUE(rig.picture([](int32_t, int32_t) { return 0xFFFFFF; }));   // pure white at half time
        }
        auto black = rig.make(WP_BLACK, T);
        rig.step(*black, t);
        EXPECT_TRUE(rig.picture([&](int32_t x, int32_t y) {
            return a < 256 ? minusGrey(oldPixel(x, y), a) : minusGrey(newPixel(x, y), 511 - a);
        })) << "black " << t;
        auto flash = rig.make(WP_FLASH, T);
        rig.step(*flash, t);
        EXPECT_TRUE(rig.picture([&](int32_t x, int32_t y) { return plusGrey(newPixel(x, y), 255 - b); }))
            << "flash " << t;
    }
}

TEST(WipeDirectTest, MosaicMixesSolidPicturesByPhase) {
    constexpr int32_t T = 1023;                            // b = t
    const uint32_t A = 0x204060, B = 0xC0A080;
    struct TCase {
        int32_t t;
        uint32_t expected;
    } cases[] = {
        {0, A}, {255, A}, {256, A}, {300, alphaOver(A, B, 44 / 4)}, {511, alphaOver(A, B, 255 / 4)},
        {512, alphaOver(A, B, 128)}, {700, alphaOver(A, B, 444 / 2)}, {767, B} /* opacity 255 copies */, {768, B}, {1022, B},
    };
    for (const TCase& c : cases) {
        TWipeRig rig(kW, kH);
        rig.From.Fill(A);
        rig.To.Fill(B);
        auto w = rig.make(WP_MOSAIC, T);
        rig.step(*w, c.t);
        EXPECT_TRUE(rig.picture([&](int32_t, int32_t) { return c.expected; })) << c.t;
    }
}

TEST(WipeDirectTest, MosaicBlocks) {
    // 64 wide: the small picture is (64 div 4) * 263 >> 8 = 16 wide at the
    // start, so columns come in blocks of 4.
    TWipeRig rig(64, 48);
    auto w = rig.make(WP_MOSAIC, 1000);
    rig.step(*w, 0);
    for (int32_t x = 0; x < 64; ++x) {
        EXPECT_EQ(rig.Target.GetPixel(x, 5), rig.Target.GetPixel(x / 4 * 4, 5)) << x;
        if (x % 4 == 0 && x > 0) {
            EXPECT_NE(rig.Target.GetPixel(x, 5), rig.Target.GetPixel(x - 1, 5)) << x;
        }
    }
}

TEST(WipeDirectTest, SudareAndRubber) {
    constexpr int32_t T = 1000;
    for (int32_t kind : {WP_SUDAREH, WP_SUDAREV, WP_RUBBERH, WP_RUBBERV})
        for (bool reverse : {false, true})
            for (int32_t t : {0, 100, 400, 500, 600, 999}) {
                TWipeRig rig(kW, kH);
                auto w = rig.make(kind, T, reverse);
                rig.step(*w, t);
                const bool h = kind == WP_SUDAREH || kind == WP_RUBBERH;
                const bool rubber = kind == WP_RUBBERH || kind == WP_RUBBERV;
                const int32_t n = h ? kW : kH;
                int64_t k = (2 * int64_t(n) - 1) * t / T;
                const bool showsNew = k >= n;
                if (showsNew)
                    k = 2 * n - k - 1;
                const int64_t g = rubber ? std::max<int64_t>(1, nearest(std::fabs(t - T / 2.0) * (k / 2.0) / (T / 2.0))) : 1;
                // The pulled band and the positions it covers.
                const int64_t bandFirst = reverse ? n - k - 1 : k - g + 1, bandLast = bandFirst + g - 1;
                const int64_t coverFirst = reverse ? n - k - 1 : 0, coverLast = reverse ? n - 1 : k;
                for (int32_t y = 0; y < kH; ++y)
                    for (int32_t x = 0; x < kW; ++x) {
                        const uint32_t got = rig.Target.GetPixel(x, y);
                        const int32_t p = h ? x : y;
                        // Which source position does the pixel show?
                        const uint32_t red = (got >> 16) & 255;
                        ASSERT_EQ(red, showsNew ? 0xE0u : 0x10u) << kind << " t " << t;
                        const int32_t source = showsNew ? (h ? int32_t(got & 255) : int32_t((got >> 8) & 255))
                                                        : (h ? int32_t((got >> 8) & 255) : int32_t(got & 255));
                        if (p < coverFirst || p > coverLast) {
                            ASSERT_EQ(source, p) << kind << " t " << t << " at " << p;
                        } else {
                            ASSERT_GE(source, bandFirst) << kind << " t " << t << " at " << p;
                            ASSERT_LE(source, bandLast) << kind << " t " << t << " at " << p;
                        }
                    }
                // The band runs in order from its first to its last position.
                const int32_t first = int32_t(reverse ? coverFirst : 0), last = int32_t(reverse ? n - 1 : k);
                auto sourceAt = [&](int32_t p) {
                    const uint32_t got = h ? rig.Target.GetPixel(p, 0) : rig.Target.GetPixel(0, p);
                    return showsNew ? (h ? int32_t(got & 255) : int32_t((got >> 8) & 255))
                                    : (h ? int32_t((got >> 8) & 255) : int32_t(got & 255));
                };
                EXPECT_EQ(sourceAt(first), bandFirst) << kind << " t " << t;
                EXPECT_EQ(sourceAt(last), bandLast) << kind << " t " << t;
            }
}

TEST(WipeDirectTest, SpotRing) {
    constexpr int32_t T = 1000;
    const double half = std::sqrt(kW * kW / 4.0 + kH * kH / 4.0);
    const int64_t R = nearest(half) + 512;
    for (bool reverse : {false, true})
        for (int32_t t : {0, 10, 30, 500, 520, 960, 999}) {
            TWipeRig rig(kW, kH);
            auto w = rig.make(WP_SPOT, T, reverse);
            rig.step(*w, t);
            const int64_t b = t * R / T;
            for (int32_t y = 0; y < kH; ++y)
                for (int32_t x = 0; x < kW; ++x) {
                    const double dist = std::hypot(x + 0.5 - kW / 2.0, y + 0.5 - kH / 2.0);
                    const double d = reverse ? nearest(half) - dist : dist;
                    const double v = double(b) - d;
                    if (std::fabs(v) < 1.01 || std::fabs(v - 256) < 1.01 || std::fabs(v - 512) < 1.01)
                        continue;                         // at a boundary: rounding decides
                    const uint32_t got = rig.Target.GetPixel(x, y);
                    if (v < 0) {
                        EXPECT_EQ(got, oldPixel(x, y));
                    } else if (v >= 512) {
                        EXPECT_EQ(got, newPixel(x, y));
                    } else {
                        bool near = false;                // the grey within a rounding of the distance
                        for (int64_t k = int64_t(std::floor(v)) - 1; k <= int64_t(std::ceil(v)) + 1; ++k)
                            near |= v < 256 ? got == plusGrey(oldPixel(x, y), int32_t(k))
                                            : got == plusGrey(newPixel(x, y), int32_t(511 - k));
                        EXPECT_TRUE(near) << "(" << x << ", " << y << ") t " << t << " reverse " << reverse;
                    }
                }
        }
}

TEST(WipeDirectTest, MaskWhiteAndBlack) {
    constexpr int32_t T = 1000;
    TWipeServices ruled;
    ruled.LoadRule = [](const std::string&, TDIBX& p) {
        p.SetSize(kW, 1, 32);                             // one row, tiled downwards
        for (int32_t x = 0; x < kW; ++x)
            p.SetPixel(x, 0, uint32_t(x * 6) * 0x010101u);
        return true;
    };
    for (int32_t kind : {WP_MASKWHITE, WP_MASKBLACK})
        for (bool withRule : {true, false})
            for (bool reverse : {false, true})
                for (int32_t t : {0, 250, 500, 750, 999}) {
                    TWipeRig rig(kW, kH);
                    rig.Services = withRule ? ruled : TWipeServices{};
                    auto w = rig.make(kind, T, reverse, {}, {}, "rule.bmp");
                    rig.step(*w, t);
                    const int64_t level = int64_t(t) * 768 / T;
                    EXPECT_TRUE(rig.picture([&](int32_t x, int32_t y) {
                        const int32_t g = !withRule ? 255 : reverse ? 255 - x * 6 : x * 6;
                        const int32_t v = int32_t(std::clamp<int64_t>(level + g - 256, 0, 511));
                        const uint32_t p = v <= 255 ? oldPixel(x, y) : newPixel(x, y);
                        const int32_t k = v <= 255 ? v : 511 - v;
                        return kind == WP_MASKWHITE ? plusGrey(p, k) : minusGrey(p, k);
                    })) << kind << " rule " << withRule << " reverse " << reverse << " t " << t;
                }
}

// Where an encoded pixel came from: the picture (true: new) and its position.
struct TOrigin {
    bool isNew;
    int32_t x, y;
};
TOrigin originOf(uint32_t p) {
    if (((p >> 16) & 255) == 0xE0)
        return {true, int32_t(p & 255), int32_t((p >> 8) & 255)};
    return {false, int32_t((p >> 8) & 255), int32_t(p & 255)};
}

TEST(WipeDirectTest, SmallAndBigZoomAboutTheCentre) {
    constexpr int32_t T = 1000, W = 80, H = 60;
    struct TCase {
        int32_t kind, t;
        int64_t zoom;                                     // from the rules
        bool zoomedIsNew;
    } cases[] = {
        {WP_SMALL, 499, nearest(255 * (T - 499 - 1) / double(T)), false},
        {WP_SMALL, 200, nearest(255 * (T - 200 - 1) / double(T)), false},
        {WP_BIG, 500, nearest(255 * 500 / double(T)), true},
        {WP_BIG, 800, nearest(255 * 800 / double(T)), true},
    };
    for (const TCase& c : cases) {
        TWipeRig rig(W, H);
        auto w = rig.make(c.kind, T);
        rig.step(*w, c.t);
        const double scale = double(c.zoom) / 256;
        for (int32_t y = 0; y < H; y += 3)
            for (int32_t x = 0; x < W; x += 3) {
                const double sx = W / 2 + (x - W / 2) / scale, sy = H / 2 + (y - H / 2) / scale;
                const bool inside = sx >= 1 && sx < W - 1 && sy >= 1 && sy < H - 1;
                const bool outside = sx < -1 || sx > W + 1 || sy < -1 || sy > H + 1;
                const TOrigin o = originOf(rig.Target.GetPixel(x, y));
                if (inside) {
                    EXPECT_EQ(o.isNew, c.zoomedIsNew) << x << "," << y;
                    EXPECT_NEAR(o.x, sx, 1.5) << c.kind << " t " << c.t << " at " << x << "," << y;
                    EXPECT_NEAR(o.y, sy, 1.5) << c.kind << " t " << c.t << " at " << x << "," << y;
                } else if (outside) {
                    EXPECT_EQ(o.isNew, !c.zoomedIsNew);
                    EXPECT_EQ(o.x, x);
                    EXPECT_EQ(o.y, y);
                }
            }
    }
    // The turn: p0 a quarter turn; reversed the other way. Half-way through
    // Big the angle is nint(64 * 499 / 1000) = 32, an eighth of a turn.
    double turned[2] = {0, 0};
    for (bool reverse : {false, true}) {
        TWipeRig rig(W, H);
        auto w = rig.make(WP_BIG, T, reverse, 64);
        rig.step(*w, 500);
        const TOrigin o = originOf(rig.Target.GetPixel(W / 2 + 10, H / 2));
        ASSERT_TRUE(o.isNew);
        const double dx = o.x - W / 2, dy = o.y - H / 2;
        EXPECT_NEAR(std::hypot(dx, dy), 10 / (128 / 256.0), 2.0);
        EXPECT_NEAR(std::fabs(dy), std::fabs(dx), 2.5);   // 45 degrees away from the row
        turned[reverse] = dy;
    }
    EXPECT_LT(turned[0] * turned[1], 0);                  // reversed, the other way
}

TEST(WipeDirectTest, RippleFront) {
    constexpr int32_t T = 1000, W = 60, H = 40;
    const int32_t L = std::min(W, H) / 3;                  // 2/3 of the smaller half side
    const double half = std::sqrt(W * W / 4.0 + H * H / 4.0);
    for (int32_t p0 : {5, 9})
        for (int32_t t : {0, 300, 600, 999}) {
            TWipeRig rig(W, H);
            auto w = rig.make(WP_RIPPLE, T, false, p0);
            rig.step(*w, t);
            const int64_t F = int64_t(t) * (nearest(half) + L) / T;
            for (int32_t y = 0; y < H; ++y)
                for (int32_t x = 0; x < W; ++x) {
                    const double dx = x + 0.5 - W / 2.0, dy = y + 0.5 - H / 2.0, r = std::hypot(dx, dy);
                    const TOrigin o = originOf(rig.Target.GetPixel(x, y));
                    if (r > double(F) + 1) {
                        EXPECT_FALSE(o.isNew);
                        EXPECT_EQ(o.x, x);
                    } else if (r + L - 1 < double(F) - 1) {
                        EXPECT_TRUE(o.isNew);
                        EXPECT_EQ(o.x, x);
                        EXPECT_EQ(o.y, y);
                    } else if (r < double(F) - 1 && r > double(F - L) + 2) {
                        // Within the wave: the new picture, further out along the same direction.
                        ASSERT_TRUE(o.isNew) << x << "," << y;
                        const double ox = o.x + 0.5 - W / 2.0, oy = o.y + 0.5 - H / 2.0;
                        if (o.x == x && o.y == y)
                            continue;                     // a zero step, or the sample fell outside
                        EXPECT_GE(std::hypot(ox, oy), r - 1.5) << x << "," << y;
                        EXPECT_LE(std::hypot(ox, oy), r + p0 + 1.5) << x << "," << y;
                        EXPECT_GE(ox * dx + oy * dy, 0);
                    }
                }
        }
}

TEST(WipeDirectTest, BlurThroughWhiteAndBlack) {
    constexpr int32_t T = 639;                             // b = t
    const uint32_t A = 0x204060, B = 0x908070;
    struct TCase {
        int32_t t;
        std::function<uint32_t(bool white)> expected;
    } cases[] = {
        {0, [&](bool) { return A; }},
        {255, [&](bool) { return A; }},                    // blurring a plain picture changes nothing
        {260, [&](bool white) { return white ? plusGrey(A, 16) : minusGrey(A, 16); }},
        {319, [&](bool white) { return white ? plusGrey(A, 252) : minusGrey(A, 252); }},
        {320, [&](bool white) { return white ? plusGrey(B, 252) : minusGrey(B, 252); }},
        {383, [&](bool) { return B; }},
        {500, [&](bool) { return B; }},
    };
    for (int32_t kind : {WP_BLURWHITE, WP_BLURBLACK})
        for (const TCase& c : cases) {
            TWipeRig rig(kW, kH);
            rig.From.Fill(A);
            rig.To.Fill(B);
            auto w = rig.make(kind, T);
            rig.step(*w, c.t);
            const uint32_t e = c.expected(kind == WP_BLURWHITE);
            EXPECT_TRUE(rig.picture([&](int32_t, int32_t) { return e; })) << kind << " t " << c.t;
        }
    // A bright dot spreads into its neighbours (radius min(40, 30) / 20 = 1).
    TWipeRig rig(kW, kH);
    rig.From.Fill(0);
    rig.From.FillRect(TRect(20, 15, 22, 17), 0xFFFFFF);
    auto w = rig.make(WP_BLURWHITE, T);
    rig.step(*w, 255);
    EXPECT_NE(rig.Target.GetPixel(19, 15), 0u);
    EXPECT_NE(rig.Target.GetPixel(22, 16), 0u);
    EXPECT_EQ(rig.Target.GetPixel(0, 0), 0u);
    EXPECT_LT(rig.Target.GetPixel(20, 15) & 255, 255u);
}

TEST(WipeDirectTest, TwistsTurnRowsAndColumns) {
    constexpr int32_t T = 1000;
    const double pi = std::numbers::pi;
    for (int32_t kind : {WP_TWISTH, WP_TWISTV})
        for (bool reverse : {false, true})
            for (int32_t t : {0, 150, 400, 700, 999}) {
                TWipeRig rig(kW, kH);
                auto w = rig.make(kind, T, reverse);
                rig.step(*w, t);
                const bool h = kind == WP_TWISTH;
                const int32_t n = h ? kH : kW, length = h ? kW : kH;
                const double phi = t * 3 * pi / 2 / T;
                for (int32_t i = 0; i < n; ++i) {
                    const int32_t k = reverse ? n - 1 - i : i;
                    const double theta = phi - double(k) / n * pi / 2;
                    const int64_t drawn = theta >= 0 && theta < pi ? nearest(length * std::fabs(std::cos(theta))) : length;
                    const int64_t first = (length - drawn) / 2;
                    for (int32_t j = 0; j < length; ++j) {
                        const int32_t x = h ? j : i, y = h ? i : j;
                        const uint32_t got = rig.Target.GetPixel(x, y);
                        if (theta < 0) {
                            ASSERT_EQ(got, oldPixel(x, y)) << kind << " t " << t;
                        } else if (theta >= pi) {
                            ASSERT_EQ(got, newPixel(x, y)) << kind << " t " << t;
                        } else if (j < first || j >= first + drawn) {
                            ASSERT_EQ(got, 0u) << kind << " t " << t << " at " << x << "," << y;   // black
                        } else {
                            // The old row (column) while the slat faces forward, the new one after.
                            const TOrigin o = originOf(got);
                            ASSERT_EQ(o.isNew, std::cos(theta) < 0) << kind << " t " << t;
                            ASSERT_EQ(h ? o.y : o.x, i);
                            if (j == first) {
                                ASSERT_EQ(h ? o.x : o.y, 0);
                            }
                        }
                    }
                }
            }
}

TEST(WipeDirectTest, CrackChipsRiseAndFall) {
    EXPECT_EQ(TWipeCrack::fallTime(48), 330);              // (5u^2 - 1500u) / 1000 first passes 48 at u = 330
    EXPECT_EQ(TWipeCrack::dropY(100), -100);               // rising first
    EXPECT_EQ(TWipeCrack::driftX(250, -100), -250);

    constexpr int32_t T = 1000, W = 64, H = 48;
    // Answering n - 1 keeps the row-major order; the answer 100 to the speed
    // draw (n = 200) gives speed 0, so the chips fall straight down.
    auto make = [&](TWipeRig& rig, int32_t p1) {
        rig.Services.Random = [](int32_t n) { return n == 200 ? 100 : n - 1; };
        return rig.make(WP_CRACK, T, false, 16, p1);
    };
    {
        TWipeRig rig(W, H);
        auto w = make(rig, 3);
        rig.step(*w, 0);
        EXPECT_TRUE(rig.showsOld());
    }
    const int64_t total = 330 + 11 * 3;                    // 12 chips, 3 apart
    for (int32_t t : {10, 30, 900}) {
        TWipeRig rig(W, H);
        auto w = make(rig, 3);
        rig.step(*w, t);
        const int64_t b = int64_t(t) * total / T;
        // Chip 0 (top left) is drawn last, so it shows wherever it is on screen.
        const int64_t py = TWipeCrack::dropY(b);
        int32_t checked = 0;
        for (int32_t y = 0; y < 16; ++y)
            for (int32_t x = 0; x < 16; ++x)
                if (py + y >= 0 && py + y < H) {
                    ASSERT_EQ(rig.Target.GetPixel(x, int32_t(py + y)), oldPixel(x, y)) << "t " << t;
                    ++checked;
                }
        EXPECT_GT(checked, 0) << t;
        // Chips that have not started are in place: chip 11 starts at 33.
        if (b < 33) {
            EXPECT_EQ(rig.Target.GetPixel(60, 40), oldPixel(60, 40));
            // What chip 0 uncovered, and no chip covers, shows the new picture.
            EXPECT_EQ(rig.Target.GetPixel(5, 15), newPixel(5, 15)) << t;
        }
    }
    // The sideways speed: chip 0 drawn with speed 50 at u = 100 sits 50 to the right.
    {
        TWipeRig rig(W, H);
        rig.Services.Random = [](int32_t n) { return n == 200 ? 150 : n - 1; };
        auto w = rig.make(WP_CRACK, 363, false, 16, 3);
        rig.step(*w, 10);                                  // b = 10: drop (500 - 15000) / 1000 = -14
        EXPECT_EQ(rig.Target.GetPixel(5 + 5, 1), oldPixel(5, 15));
    }
    // All chips at once: at the last step (b = 329) the top row of chips has
    // dropped 47 pixels, the lower rows are below the screen.
    TWipeRig rig(W, H);
    auto w = make(rig, 0);
    rig.step(*w, 999);
    EXPECT_TRUE(rig.picture([](int32_t x, int32_t y) { return y < 47 ? newPixel(x, y) : oldPixel(x, y - 47); }));
}

TEST(WipeDirectTest, ZoominClosesOnThePointThenOpens) {
    constexpr int32_t T = 1000;
    struct TCase {
        int32_t p0, p1, t;
        bool isNew;
        TRect view;                                        // the source rectangle by the rules
    } cases[] = {
        {30, 10, 0, false, TRect(0, 0, 40, 30)},
        // d = 0.5: 20 x 15 centred at (nint(5) + 20, nint(-2.5) + 15) = (25, 13)
        {30, 10, 250, false, TRect(15, 6, 35, 21)},
        {30, 10, 750, true, TRect(15, 6, 35, 21)},
        // Kept inside the picture: the point (0, 0) pulls the view to the corner.
        {0, 0, 400, false, TRect(0, 0, 8, 6)},
        {39, 29, 450, false, TRect(35, 27, 39, 30)},
    };
    for (const TCase& c : cases) {
        TWipeRig rig(kW, kH);
        auto w = rig.make(WP_ZOOMIN, T, false, c.p0, c.p1);
        rig.step(*w, c.t);
        const TOrigin first = originOf(rig.Target.GetPixel(0, 0)), last = originOf(rig.Target.GetPixel(kW - 1, kH - 1));
        EXPECT_EQ(first.isNew, c.isNew);
        EXPECT_EQ(first.x, c.view.Left) << c.t;
        EXPECT_EQ(first.y, c.view.Top) << c.t;
        EXPECT_EQ(last.x, c.view.Right - 1) << c.t;
        EXPECT_EQ(last.y, c.view.Bottom - 1) << c.t;
    }
}

} // namespace
} // namespace zuno
