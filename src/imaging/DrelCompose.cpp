#include "imaging/DrelCompose.h"

#include <algorithm>
#include <cstring>

#include "core/StreamFields.h"

namespace zuno {

// The draw of TKsRandom's pool (State := State x 5 + Seed, take the
// element at State mod the pool size, remove it), with the pool kept as a
// Fenwick tree of the elements left, so that large block tables do not cost
// a quadratic number of moves.
std::vector<int32_t> permutationOrder(int32_t idCode, int32_t count) {
    const size_t n = size_t(count > 0 ? count : 0);
    std::vector<int32_t> order(n);
    if (idCode == 0) {
        for (size_t i = 0; i < n; ++i)
            order[i] = int32_t(i);
        return order;
    }
    std::vector<int32_t> tree(n + 1, 0);   // tree[i]: elements left in (i - lowbit(i), i]
    for (size_t i = 1; i <= n; ++i) {
        tree[i] += 1;
        size_t parent = i + (i & (~i + 1));
        if (parent <= n)
            tree[parent] += tree[i];
    }
    size_t top = 1;
    while (top * 2 <= n)
        top *= 2;
    const uint32_t seed = uint32_t(idCode);
    uint32_t state = 0;
    for (size_t k = 0; k < n; ++k) {
        state = state * 5u + seed;
        uint32_t index = state % uint32_t(n - k);   // the index-th element left, from 0
        size_t pos = 0;
        for (size_t step = top; step > 0; step /= 2) {
            if (pos + step <= n && uint32_t(tree[pos + step]) <= index) {
                pos += step;
                index -= uint32_t(tree[pos]);
            }
        }
        order[k] = int32_t(pos);   // element pos (0-based) is at tree position pos + 1
        for (size_t i = pos + 1; i <= n; i += i & (~i + 1))
            tree[i] -= 1;
    }
    return order;
}

namespace {

// Ordered 4 x 4 dither: a pixel takes the layer when level > threshold.
constexpr uint8_t kDither[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

inline uint8_t mix(uint32_t d, uint32_t s, uint32_t a) { return uint8_t((d * (255 - a) + s * a) >> 8); }

inline uint16_t mix16(uint32_t d, uint32_t s, uint32_t a, bool is565) {
    uint32_t gMask = is565 ? 0x3F : 0x1F;
    int rShift = is565 ? 11 : 10;
    uint32_t r = mix((d >> rShift) & 0x1F, (s >> rShift) & 0x1F, a);
    uint32_t g = mix((d >> 5) & gMask, (s >> 5) & gMask, a);
    uint32_t b = mix(d & 0x1F, s & 0x1F, a);
    return uint16_t((r << rShift) | (g << 5) | b);
}

// Blends one row span; weight(x) gives the weight of pixel x (0 .. 255),
// skip(x) whether it is left alone.
template <class Weight>
void blendRow(TDrelBitmap& frame, const TDrelBitmap& layer, int32_t y, Weight weight) {
    const int32_t w = frame.Width();
    uint8_t* d = frame.Row(y);
    const uint8_t* s = layer.Row(y);
    switch (frame.BitCount()) {
    case 24:
    case 32: {
        const int bpp = frame.BitCount() / 8;
        for (int32_t x = 0; x < w; ++x, d += bpp, s += bpp) {
            int a = weight(x);
            if (a < 0)
                continue;
            if (a >= 255) {
                std::memcpy(d, s, size_t(bpp));
                continue;
            }
            for (int c = 0; c < bpp; ++c)
                d[c] = mix(d[c], s[c], uint32_t(a));
        }
        break;
    }
    case 15:
    case 16: {
        const bool is565 = frame.BitCount() == 16;
        for (int32_t x = 0; x < w; ++x) {
            int a = weight(x);
            if (a < 0)
                continue;
            uint16_t sv = getLE16(s + 2 * x);
            putLE16(d + 2 * x, a >= 255 ? sv : mix16(getLE16(d + 2 * x), sv, uint32_t(a), is565));
        }
        break;
    }
    default:
        for (int32_t x = 0; x < w; ++x) {
            int a = weight(x);
            if (a < 0)
                continue;
            if (a >= 255 || (a >> 4) > kDither[y & 3][x & 3])
                frame.SetPixel(x, y, layer.GetPixel(x, y));
        }
        break;
    }
}

} // namespace

void composeCopy(TDrelBitmap& frame, const TDrelBitmap& layer) {
    std::memcpy(frame.Bits(), layer.Bits(), std::min(frame.ByteSize(), layer.ByteSize()));
}

void composeMask(TDrelBitmap& frame, const TDrelBitmap& layer, const TDrelBitmap& mask) {
    for (int32_t y = 0; y < frame.Height(); ++y) {
        const uint8_t* m = mask.Row(y);
        blendRow(frame, layer, y, [m](int32_t x) { return m[x] == 0 ? -1 : int(m[x]); });
    }
}

void composeAlpha(TDrelBitmap& frame, const TDrelBitmap& layer, int32_t opacity, int32_t transparent) {
    if (opacity <= 0)
        return;
    const int a = opacity > 254 ? 255 : opacity;
    if (transparent < 0) {
        for (int32_t y = 0; y < frame.Height(); ++y)
            blendRow(frame, layer, y, [a](int32_t) { return a; });
        return;
    }
    const uint32_t key = uint32_t(transparent) & layer.ColorMask();
    const uint32_t colourMask = layer.ColorMask();
    for (int32_t y = 0; y < frame.Height(); ++y)
        blendRow(frame, layer, y, [&, y](int32_t x) {
            return (layer.GetPixel(x, y) & colourMask) == key ? -1 : a;
        });
}

} // namespace zuno
