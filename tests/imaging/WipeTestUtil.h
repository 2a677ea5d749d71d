// Fixtures for the transition tests: two known pictures, a target, and the
// expected pixels computed from the transition rules.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "imaging/TDIBX.h"
#include "imaging/WipeFactory.h"

namespace zuno::test {

// The old picture: red 0x10, green = x, blue = y (sizes up to 256), so a
// pixel tells where it came from.
inline uint32_t oldPixel(int32_t x, int32_t y) { return 0x100000u | (uint32_t(x & 255) << 8) | uint32_t(y & 255); }
// The new picture: red 0xE0, green = y, blue = x.
inline uint32_t newPixel(int32_t x, int32_t y) { return 0xE00000u | (uint32_t(y & 255) << 8) | uint32_t(x & 255); }

// Channel-wise rule over two 32-bit pixels.
template <class F>
uint32_t eachChannel(uint32_t a, uint32_t b, F f) {
    uint32_t r = 0;
    for (int s = 0; s < 24; s += 8)
        r |= (uint32_t(f(int32_t((a >> s) & 255), int32_t((b >> s) & 255))) & 255u) << s;
    return r;
}

// The mask composition: m = 0 old, m = 255 new, hard: any m != 0 new,
// otherwise (old * (255 - m) + new * m) >> 8.
inline uint32_t maskMix(uint32_t f, uint32_t s, int32_t m, bool hard) {
    if (m == 0)
        return f;
    if (m == 255 || hard)
        return s;
    return eachChannel(f, s, [m](int32_t a, int32_t b) { return (a * (255 - m) + b * m) >> 8; });
}

inline uint32_t plusGrey(uint32_t p, int32_t k) {
    return eachChannel(p, 0, [k](int32_t a, int32_t) { return std::min(a + k, 255); });
}
inline uint32_t minusGrey(uint32_t p, int32_t k) {
    return eachChannel(p, 0, [k](int32_t a, int32_t) { return std::max(a - k, 0); });
}

// DrawAlpha's rule for one pixel: equal pixels are left, else (s a + d (255 - a)) >> 8.
inline uint32_t alphaOver(uint32_t d, uint32_t s, int32_t a) {
    if (a <= 0 || s == d)
        return d;
    a = std::min(a, 255);
    return eachChannel(d, s, [a](int32_t dc, int32_t sc) { return (sc * a + dc * (255 - a)) >> 8; });
}

// The integer nearest to x, halves to even.
inline int64_t nearest(double x) { return int64_t(std::nearbyint(x)); }

inline int32_t rampOf(int64_t x, int64_t s) { return x < 0 ? 0 : int32_t(std::min<int64_t>(x * 255 / s, 255)); }

// Target, old and new pictures of one size, and a wipe between them.
struct TWipeRig {
    int32_t             W, H;
    TDIBX               Target, From, To;
    TWipeServices       Services;

    TWipeRig(int32_t w, int32_t h) : W(w), H(h), Target(w, h, 32), From(w, h, 32), To(w, h, 32) {
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                From.SetPixel(x, y, oldPixel(x, y));
                To.SetPixel(x, y, newPixel(x, y));
            }
        Target.Fill(0x777777);
    }

    // The flip's set-up order.
    std::unique_ptr<TCustomWipe> make(int32_t kind, int32_t duration, bool reverse = false,
                                      std::optional<int32_t> p0 = {}, std::optional<int32_t> p1 = {},
                                      const std::string& rule = {}) {
        auto w = CreateWipe(kind, Target, From, To, Services);
        if (!w)
            return w;
        w->Duration = duration;
        w->SetReverse(reverse);
        if (p0)
            w->SetParam(0, *p0);
        if (p1)
            w->SetParam(1, *p1);
        if (!rule.empty())
            w->SetRuleName(rule);
        w->Prepare();
        return w;
    }

    // One step at time t, which must not be the end.
    void step(TCustomWipe& w, int32_t t) {
        w.Elapsed = t;
        EXPECT_FALSE(w.Step()) << "t = " << t;
    }

    // Every pixel against expected(x, y); a negative expected value is not checked.
    template <class F>
    ::testing::AssertionResult picture(F expected) {
        for (int32_t y = 0; y < H; ++y)
            for (int32_t x = 0; x < W; ++x) {
                const int64_t e = expected(x, y);
                if (e < 0)
                    continue;
                const uint32_t got = Target.GetPixel(x, y);
                if (got != uint32_t(e))
                    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << std::hex
                                                         << got << ", expected " << e;
            }
        return ::testing::AssertionSuccess();
    }

    ::testing::AssertionResult showsOld() { return picture([](int32_t x, int32_t y) { return oldPixel(x, y); }); }
    ::testing::AssertionResult showsNew() { return picture([](int32_t x, int32_t y) { return newPixel(x, y); }); }
};

} // namespace zuno::test
