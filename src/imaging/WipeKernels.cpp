#include "imaging/WipeKernels.h"

#include <algorithm>
#include <cstring>

// Built with the loop vectoriser on (see CMakeLists.txt). With GCC on
// x86-64 each kernel also gets an AVX2 clone chosen when the program loads.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__linux__)
#define ZUNO_WIPE_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define ZUNO_WIPE_CLONES
#endif

namespace zuno::wipe {

namespace {

// Each colour channel plus k (0..255), saturating; the fourth byte becomes 0.
// Two channels in 16-bit lanes, only shifts, adds and masks so that it
// vectorises on 32-bit lanes.
inline uint32_t lighten(uint32_t p, uint32_t k) {
    uint32_t rb = (p & 0x00FF00FFu) + (k | (k << 16));
    uint32_t g = ((p >> 8) & 0xFFu) + k;
    const uint32_t crb = (rb >> 8) & 0x00010001u, cg = (g >> 8) & 1u;
    rb |= (crb << 8) - crb;                             // a carry fills its lane
    g |= (cg << 8) - cg;
    return (rb & 0x00FF00FFu) | ((g & 0xFFu) << 8);
}

// max(c - k, 0) per channel, as 255 - min(255 - c + k, 255).
inline uint32_t darken(uint32_t p, uint32_t k) { return lighten(p ^ 0x00FFFFFFu, k) ^ 0x00FFFFFFu; }

inline uint32_t greyStep(uint32_t f, uint32_t s, int32_t v, bool dark) {
    const bool second = v > 255;
    const uint32_t pixel = second ? s : f;
    const uint32_t k = uint32_t(second ? 511 - v : v);
    return dark ? darken(pixel, k) : lighten(pixel, k);
}

template <bool Dark>
inline void greyStepRuleT(uint32_t* __restrict o, const uint32_t* __restrict f, const uint32_t* __restrict s,
                          const uint8_t* __restrict rule, int32_t n, int32_t base) {
    for (int32_t x = 0; x < n; ++x)
        o[x] = greyStep(f[x], s[x], std::clamp(base + int32_t(rule[x]), 0, 511), Dark);
}

} // namespace

ZUNO_WIPE_CLONES
void greyStepRule(uint32_t* o, const uint32_t* f, const uint32_t* s, const uint8_t* rule, int32_t n, int32_t base,
                  bool dark) {
    if (dark)
        greyStepRuleT<true>(o, f, s, rule, n, base);
    else
        greyStepRuleT<false>(o, f, s, rule, n, base);
}

ZUNO_WIPE_CLONES
void greyStepDistance(uint32_t* __restrict o, const uint32_t* __restrict f, const uint32_t* __restrict s,
                      const uint16_t* __restrict distance, int32_t n, int32_t base) {
    for (int32_t x = 0; x < n; ++x)
        o[x] = greyStep(f[x], s[x], std::clamp(base - int32_t(distance[x]), 0, 511), false);
}

ZUNO_WIPE_CLONES
void ruleMaskRow(uint8_t* __restrict m, const uint8_t* __restrict rule, int32_t n, int32_t base) {
    for (int32_t x = 0; x < n; ++x)
        m[x] = uint8_t(std::clamp(base + int32_t(rule[x]), 0, 255));
}

ZUNO_WIPE_CLONES
void sectorMaskRow(uint8_t* __restrict m, const uint16_t* __restrict direction, int32_t n, const int64_t* first,
                   const int64_t* width, int32_t count) {
    // Widths of a whole turn or more take every direction; the others fit
    // 16-bit lanes: (d - first) mod 65536 < width.
    uint32_t f[2] = {0, 0}, w[2] = {0, 0};
    for (int32_t i = 0; i < count && i < 2; ++i) {
        if (width[i] >= 65536) {
            std::fill(m, m + n, uint8_t(255));
            return;
        }
        f[i] = uint32_t(first[i] & 0xFFFF);
        w[i] = uint32_t(std::max<int64_t>(width[i], 0));
    }
    const uint32_t f0 = f[0], w0 = w[0], f1 = f[1], w1 = w[1];
    for (int32_t x = 0; x < n; ++x) {
        const uint32_t d = direction[x];
        const bool in = ((d - f0) & 0xFFFFu) < w0 || ((d - f1) & 0xFFFFu) < w1;
        m[x] = in ? 255 : 0;
    }
}

} // namespace zuno::wipe

namespace zuno::wipe {

ZUNO_WIPE_CLONES
void squeezedColumns(uint8_t* out, int64_t outPitch, int32_t rows, const TSqueezedColumn* columns, int32_t n) {
    constexpr int32_t kMax = 16;
    n = std::clamp(n, 0, kMax);
    // Per column: the address of the next source pixel and the stepping
    // (y - Top) * rows / Length as whole rows plus a remainder, kept in
    // arrays so that the stepping of all columns runs as one vector loop.
    uint64_t address[kMax], whole[kMax], pitch[kMax];
    int32_t rest[kMax], part[kMax], length[kMax];
    int32_t top = rows, bottom = 0, innerTop = 0, innerBottom = rows;
    for (int32_t i = 0; i < kMax; ++i) {
        const bool used = i < n && columns[i].Length > 0;
        const TSqueezedColumn c = used ? columns[i] : TSqueezedColumn{nullptr, 0, 0, 1};
        address[i] = reinterpret_cast<uintptr_t>(c.Source);
        pitch[i] = uint64_t(c.Pitch);
        whole[i] = uint64_t(rows / c.Length) * uint64_t(c.Pitch);
        part[i] = rows % c.Length;
        length[i] = c.Length;
        rest[i] = 0;
        if (i < n) {
            const int32_t b = used ? c.Top + c.Length : 0, t = used ? c.Top : rows;
            top = std::min(top, t);
            bottom = std::max(bottom, b);
            innerTop = std::max(innerTop, t);
            innerBottom = std::min(innerBottom, b);
        }
    }
    auto step = [&] {
        for (int32_t i = 0; i < kMax; ++i) {
            rest[i] += part[i];
            const bool carry = rest[i] >= length[i];
            rest[i] -= carry ? length[i] : 0;
            address[i] += whole[i] + (carry ? pitch[i] : 0);
        }
    };
    for (int32_t y = 0; y < rows; ++y) {
        uint32_t* o = reinterpret_cast<uint32_t*>(out + int64_t(y) * outPitch);
        if (y < top || y >= bottom) {
            std::fill(o, o + n, 0u);
        } else if (y >= innerTop && y < innerBottom) {
            // Every column of the strip is within its rows.
            for (int32_t i = 0; i < n; ++i)
                std::memcpy(o + i, reinterpret_cast<const void*>(address[i]), 4);
            step();
        } else {
            // Some columns are above or below their rows: black there, and
            // their stepping starts only at their own top row.
            for (int32_t i = 0; i < n; ++i) {
                const TSqueezedColumn& c = columns[i];
                if (c.Length <= 0 || y < c.Top || y >= c.Top + c.Length) {
                    o[i] = 0;
                    continue;
                }
                std::memcpy(o + i, reinterpret_cast<const void*>(address[i]), 4);
                rest[i] += part[i];
                const bool carry = rest[i] >= length[i];
                rest[i] -= carry ? length[i] : 0;
                address[i] += whole[i] + (carry ? pitch[i] : 0);
            }
        }
    }
}

} // namespace zuno::wipe
