// Arithmetic and row helpers shared by the wipes (not a public interface).
// Pixels are 32-bit values 0x00RRGGBB; every helper keeps the fourth byte 0
// when its inputs have it 0.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "imaging/SurfaceRows.h"

namespace zuno::wipe {

// The integer nearest to x, halves going to the even integer.
inline int64_t nint(double x) {
    const double f = std::floor(x);
    const double d = x - f;
    int64_t r = int64_t(f);
    if (d > 0.5 || (d == 0.5 && (r & 1) != 0))
        ++r;
    return r;
}

// 0 for x < 0, else min(x * 255 / s, 255) (s >= 1).
inline int32_t ramp(int64_t x, int64_t s) {
    if (x < 0)
        return 0;
    return int32_t(std::min<int64_t>(x * 255 / std::max<int64_t>(s, 1), 255));
}

// a * b / c without overflow for the sizes wipes meet (c >= 1).
inline int64_t mulDiv(int64_t a, int64_t b, int64_t c) {
    c = std::max<int64_t>(c, 1);
#ifdef __SIZEOF_INT128__
    return int64_t(static_cast<__int128>(a) * b / c);
#else
    return int64_t(static_cast<long double>(a) * b / c);
#endif
}

inline uint32_t greyPixel(uint32_t k) { return k * 0x010101u; }

// Each colour channel plus / minus k (0..255), saturating. Two channels at
// a time in 16-bit lanes; the fourth byte stays 0.
inline uint32_t addGrey(uint32_t p, uint32_t k) {
    const uint32_t kk = k * 0x00010001u;
    uint32_t rb = (p & 0x00FF00FFu) + kk;               // red and blue, carries into bits 8 and 24
    uint32_t g = ((p >> 8) & 0xFFu) + k;
    rb |= ((rb & 0x01000100u) >> 8) * 0xFFu;            // a carry saturates its lane
    g |= ((g & 0x100u) >> 8) * 0xFFu;
    return (rb & 0x00FF00FFu) | ((g & 0xFFu) << 8);
}

inline uint32_t subGrey(uint32_t p, uint32_t k) {
    // 255 - (255 - c + k) saturated = max(c - k, 0).
    return addGrey(p ^ 0x00FFFFFFu, k) ^ 0x00FFFFFFu;
}

// (f * (255 - m) + s * m) >> 8 on each of the four bytes.
inline uint32_t blendPixel(uint32_t f, uint32_t s, uint32_t m) {
    const uint32_t a = 255 - m;
    const uint32_t rb = (((f & 0x00FF00FFu) * a + (s & 0x00FF00FFu) * m) >> 8) & 0x00FF00FFu;
    const uint32_t ag = ((((f >> 8) & 0x00FF00FFu) * a + ((s >> 8) & 0x00FF00FFu) * m)) & 0xFF00FF00u;
    return rb | ag;
}

// Grey level of a 0x00BBGGRR colour: integer weights summing to 256, so a
// grey colour keeps its level.
inline uint8_t greyOfColor(int32_t bgr) {
    const uint32_t r = uint32_t(bgr) & 255, g = (uint32_t(bgr) >> 8) & 255, b = (uint32_t(bgr) >> 16) & 255;
    return uint8_t((77 * r + 151 * g + 28 * b + 128) >> 8);
}

inline uint32_t* row32(TLockedSurface& s, int32_t y) { return reinterpret_cast<uint32_t*>(s.row(y)); }

} // namespace zuno::wipe
