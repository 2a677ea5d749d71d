#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "core/TExtended.h"

using namespace zuno;

namespace {
uint64_t bitsOf(double v) {
    uint64_t b;
    std::memcpy(&b, &v, 8);
    return b;
}
double fromBits(uint64_t b) {
    double v;
    std::memcpy(&v, &b, 8);
    return v;
}
TExtended ext(uint16_t se, uint64_t m) {
    TExtended x;
    x.signExponent = se;
    x.mantissa = m;
    return x;
}
} // namespace

TEST(TExtended, KnownEncodings) {
    struct Case { double v; uint16_t se; uint64_t m; };
    const Case cases[] = {
        {1.0, 0x3FFF, 0x8000000000000000ull},
        {-2.0, 0xC000, 0x8000000000000000ull},
        {0.5, 0x3FFE, 0x8000000000000000ull},
        {3.0, 0x4000, 0xC000000000000000ull},
        {0.0, 0x0000, 0},
        {-0.0, 0x8000, 0},
        {std::numeric_limits<double>::infinity(), 0x7FFF, 0x8000000000000000ull},
        {std::numeric_limits<double>::denorm_min(), 16383 - 1074, 0x8000000000000000ull},
    };
    for (const Case& c : cases) {
        TExtended x = TExtended::fromDouble(c.v);
        EXPECT_EQ(x.signExponent, c.se) << c.v;
        EXPECT_EQ(x.mantissa, c.m) << c.v;
        EXPECT_EQ(bitsOf(x.toDouble()), bitsOf(c.v)) << c.v;
    }
}

TEST(TExtended, EveryDoubleRoundTripsBitForBit) {
    std::mt19937_64 rng(42);
    const uint64_t special[] = {
        0, 1ull << 63, 1, 0x000FFFFFFFFFFFFFull, 0x0010000000000000ull, 0x7FEFFFFFFFFFFFFFull,
        0x7FF0000000000000ull, 0xFFF0000000000000ull, 0x7FF8000000000000ull, 0x7FF0000000000001ull,
        0xFFF4000000000123ull, 0x8000000000000001ull,
    };
    for (uint64_t b : special)
        EXPECT_EQ(bitsOf(TExtended::fromDouble(fromBits(b)).toDouble()), b) << std::hex << b;
    for (int i = 0; i < 200000; ++i) {
        uint64_t b = rng();
        uint8_t raw[10];
        TExtended::fromDouble(fromBits(b)).toBytes(raw);
        ASSERT_EQ(bitsOf(TExtended::fromBytes(raw).toDouble()), b) << std::hex << b;
    }
}

TEST(TExtended, RawPatternsRoundTripThroughBytes) {
    std::mt19937_64 rng(7);
    for (int i = 0; i < 10000; ++i) {
        uint8_t in[10], out[10];
        for (uint8_t& b : in)
            b = static_cast<uint8_t>(rng());
        TExtended::fromBytes(in).toBytes(out);
        ASSERT_EQ(0, std::memcmp(in, out, 10));
    }
}

TEST(TExtended, NarrowingRoundsToNearestEven) {
    struct Case { const char* name; TExtended x; double expected; };
    const uint64_t one = 0x8000000000000000ull;
    const Case cases[] = {
        {"below half", ext(0x3FFF, one | 0x3FF), 1.0},
        {"exact half, even stays", ext(0x3FFF, one | 0x400), 1.0},
        {"exact half, odd rounds up", ext(0x3FFF, one | 0xC00), 1.0 + 2 * DBL_EPSILON},
        {"above half", ext(0x3FFF, one | 0x401), 1.0 + DBL_EPSILON},
        {"carry into exponent", ext(0x3FFF, ~0ull), 2.0},
        {"overflow to infinity", ext(0x7FFE, one), std::numeric_limits<double>::infinity()},
        {"negative overflow", ext(0xFFFE, one), -std::numeric_limits<double>::infinity()},
        {"largest double rounding up overflows", ext(0x43FE, ~0ull), std::numeric_limits<double>::infinity()},
        {"underflow to zero", ext(0x0001, one), 0.0},
        {"extended denormal is zero", ext(0x0000, 1), 0.0},
        {"half the smallest denormal ties to zero", ext(16383 - 1075, one), 0.0},
        {"just above half rounds up", ext(16383 - 1075, one | 1), std::numeric_limits<double>::denorm_min()},
        {"unnormal keeps its value", ext(0x3FFF + 1, one >> 1), 1.0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(bitsOf(c.x.toDouble()), bitsOf(c.expected)) << c.name;
    EXPECT_TRUE(std::isnan(ext(0x7FFF, one | 1).toDouble()));     // payload only in the low bits
    EXPECT_TRUE(std::isinf(ext(0x7FFF, 0).toDouble()));           // pseudo-infinity
}

#if defined(__x86_64__) && LDBL_MANT_DIG == 64
// On x86-64 the compiler's long double is this very format: its narrowing is
// the reference for random patterns.
TEST(TExtended, AgreesWithTheX87Narrowing) {
    std::mt19937_64 rng(99);
    for (int i = 0; i < 200000; ++i) {
        uint64_t m = rng() | (1ull << 63);       // normal numbers only: x87 rejects unnormals
        // Exponents around the double range, where the rounding cases lie.
        uint16_t se = static_cast<uint16_t>(16383 - 1100 + rng() % 2200) | ((rng() & 1) ? 0x8000 : 0);
        uint8_t raw[16] = {};
        ext(se, m).toBytes(raw);
        long double ld;
        std::memcpy(&ld, raw, sizeof raw < sizeof ld ? sizeof raw : sizeof ld);
        ASSERT_EQ(bitsOf(static_cast<double>(ld)), bitsOf(ext(se, m).toDouble())) << std::hex << se << " " << m;
    }
}
#endif
