// TCustomDIBX: the drawing of glyph-like sources: 1-bit pictures reduced by
// super-sampling, and 4- or 8-bit index pictures drawn through colour tables.
#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "imaging/SurfaceDraw.h"

namespace zuno {

namespace {

// Counts the 0 bits of the factor x factor block of a 1-bit picture at
// block (bx, by); bits outside the picture do not count.
int32_t countInk(TLockedSurface& s, int32_t bx, int32_t by, int32_t factor) {
    int32_t x0 = bx * factor, y0 = by * factor;
    int32_t x1 = std::min(x0 + factor, s.width()), y1 = std::min(y0 + factor, s.height());
    int32_t count = 0;
    for (int32_t y = y0; y < y1; ++y) {
        const uint8_t* row = s.row(y);
        for (int32_t x = x0; x < x1; ++x) count += ((row[x >> 3] >> (7 - (x & 7))) & 1) == 0;
    }
    return count;
}

// Visits each destination pixel of a reduced draw with its block position.
template <class Fn>
void forEachReduced(TCustomDIBX& dst, int32_t x, int32_t y, int32_t factor, bool flipV, bool flipH,
                    const TRect& srcRect, TCustomDIBX& source, Fn fn) {
    if (factor <= 0 || source.GetBitCount() != 1) return;
    TRect blocks(0, 0, int32_t((int64_t(source.GetWidth()) + factor - 1) / factor),
                 int32_t((int64_t(source.GetHeight()) + factor - 1) / factor));
    TBlit b;
    if (!clipBlit(x, y, srcRect, blocks, dst.GetDrawableRect(), flipV, flipH, b)) return;
    dst.MakeUnique();
    TLockedSurface d(dst), s(source);
    if (!d.ok() || !s.ok()) return;
    for (int32_t j = 0; j < b.Height; ++j) {
        int32_t by = flipV ? b.Src.Bottom - 1 - j : b.Src.Top + j;
        uint8_t* drow = d.row(b.DestY + j);
        for (int32_t i = 0; i < b.Width; ++i) {
            int32_t bx = flipH ? b.Src.Right - 1 - i : b.Src.Left + i;
            fn(drow, b.DestX + i, countInk(s, bx, by, factor), d.bits());
        }
    }
}

// Visits each destination pixel of an index draw with its source value.
template <class Fn>
void forEachIndexed(TCustomDIBX& dst, int32_t x, int32_t y, bool flipV, bool flipH, const TRect& srcRect,
                    TCustomDIBX& source, Fn fn) {
    if (source.GetBitCount() > 8) return;
    TBlit b;
    if (!clipBlit(x, y, srcRect, TRect(0, 0, source.GetWidth(), source.GetHeight()), dst.GetDrawableRect(), flipV,
                  flipH, b))
        return;
    dst.MakeUnique();
    TLockedSurface d(dst), s(source);
    if (!d.ok() || !s.ok()) return;
    for (int32_t j = 0; j < b.Height; ++j) {
        int32_t sy = flipV ? b.Src.Bottom - 1 - j : b.Src.Top + j;
        const uint8_t* srow = s.row(sy);
        uint8_t* drow = d.row(b.DestY + j);
        for (int32_t i = 0; i < b.Width; ++i) {
            int32_t sx = flipH ? b.Src.Right - 1 - i : b.Src.Left + i;
            fn(drow, b.DestX + i, readPixel(srow, sx, s.bits()));
        }
    }
}

bool isWhite(int32_t bits, uint32_t v) {
    switch (bits) {
    case 16: return v == 0xFFFF;
    case 15: return (v & 0x7FFF) == 0x7FFF;
    default: return (v & 0xFFFFFF) == 0xFFFFFF;
    }
}

uint32_t addWeighted(const TChannels& ch, uint32_t d, uint32_t colour, uint32_t w) {
    return eachChannel(ch, d, colour, [w](uint32_t dc, uint32_t sc, uint32_t mx) {
        return std::min(dc + ((sc * w) >> 8), mx);
    });
}

// The additive index draw of an 8-bit source onto 32-bit pixels without
// mirroring (fire fields): every table colour is scaled once, values at or
// below the threshold get 0, and each pixel then takes a saturating byte add
// (the same result as addWeighted per channel). False when it does not apply.
bool drawIndexedAdd32(TCustomDIBX& dst, int32_t x, int32_t y, const uint32_t* colourTable, uint32_t w,
                      int32_t threshold, bool flipV, bool flipH, const TRect& srcRect, TCustomDIBX& source) {
    if (dst.GetBitCount() != 32 || source.GetBitCount() != 8 || flipV || flipH) return false;
    TBlit b;
    if (!clipBlit(x, y, srcRect, TRect(0, 0, source.GetWidth(), source.GetHeight()), dst.GetDrawableRect(), false,
                  false, b))
        return true;
    dst.MakeUnique();
    TLockedSurface d(dst), s(source);
    if (!d.ok() || !s.ok()) return true;
    alignas(16) uint32_t table[256];
    for (int32_t v = 0; v < 256; ++v) {
        const uint32_t c = colourTable[v];
        uint32_t scaled = 0;
        for (int shift = 0; shift < 32; shift += 8) scaled |= ((c >> shift & 0xFF) * w >> 8) << shift;
        table[v] = v <= threshold ? 0 : scaled;
    }
    for (int32_t j = 0; j < b.Height; ++j) {
        const uint8_t* srow = s.row(b.Src.Top + j) + b.Src.Left;
        uint32_t* drow = reinterpret_cast<uint32_t*>(d.row(b.DestY + j)) + b.DestX;
        int32_t i = 0;
#if defined(__SSE2__)
        for (; i + 4 <= b.Width; i += 4) {
            const uint32_t s0 = srow[i], s1 = srow[i + 1], s2 = srow[i + 2], s3 = srow[i + 3];
            if ((table[s0] | table[s1] | table[s2] | table[s3]) == 0) continue;   // nothing to add
            const __m128i add = _mm_set_epi32(int(table[s3]), int(table[s2]), int(table[s1]), int(table[s0]));
            __m128i* p = reinterpret_cast<__m128i*>(drow + i);
            _mm_storeu_si128(p, _mm_adds_epu8(_mm_loadu_si128(p), add));
        }
#endif
        for (; i < b.Width; ++i) {
            const uint32_t a = table[srow[i]];
            if (a == 0) continue;
            uint32_t out = 0;
            for (int shift = 0; shift < 32; shift += 8)
                out |= std::min<uint32_t>(255, (drow[i] >> shift & 0xFF) + (a >> shift & 0xFF)) << shift;
            drow[i] = out;
        }
    }
    return true;
}

} // namespace

void TCustomDIBX::DrawReduced(int32_t x, int32_t y, int32_t factor, int32_t opacity, bool flipV, bool flipH,
                              uint32_t colour, const TRect& srcRect, TCustomDIBX& source) {
    if (opacity <= 0) return;
    TChannels ch = channelsOf(GetBitCount());
    if (ch.N == 0) return;
    const uint32_t area = uint32_t(factor) * uint32_t(factor);
    const uint32_t a = uint32_t(std::min(opacity, 255));
    forEachReduced(*this, x, y, factor, flipV, flipH, srcRect, source,
                   [&](uint8_t* row, int32_t dx, int32_t count, int32_t bits) {
                       uint32_t w = a < 255 ? (a * uint32_t(count)) >> 8 : uint32_t(count);
                       if (w == 0) return;
                       uint32_t d = readPixel(row, dx, bits);
                       d = eachChannel(ch, d, colour, [w, area](uint32_t dc, uint32_t sc, uint32_t) {
                           return (sc * w + dc * (area - w)) / area;
                       });
                       writePixel(row, dx, bits, d);
                   });
}

void TCustomDIBX::DrawReducedMask(int32_t x, int32_t y, int32_t factor, int32_t opacity, bool flipV, bool flipH,
                                  const TRect& srcRect, TCustomDIBX& source) {
    if (opacity <= 0 || GetBitCount() != 8) return;
    const uint32_t area = uint32_t(factor) * uint32_t(factor);
    const uint32_t a = uint32_t(std::min(opacity, 255));
    forEachReduced(*this, x, y, factor, flipV, flipH, srcRect, source,
                   [&](uint8_t* row, int32_t dx, int32_t count, int32_t) {
                       uint32_t w = a < 255 ? (a * uint32_t(count)) >> 8 : uint32_t(count);
                       row[dx] = uint8_t(std::min<uint32_t>(255, w * 255 / area));
                   });
}

void TCustomDIBX::DrawIndexed(int32_t x, int32_t y, const uint32_t* colourTable, int32_t opacity, bool flipV,
                              bool flipH, const TRect& srcRect, TCustomDIBX& source) {
    if (opacity <= 0 || !colourTable) return;
    int32_t bits = GetBitCount();
    TChannels ch = channelsOf(bits);
    if (ch.N == 0) return;
    const int32_t key = source.TransparentColor;
    forEachIndexed(*this, x, y, flipV, flipH, srcRect, source, [&](uint8_t* row, int32_t dx, uint32_t v) {
        if (int32_t(v) == key) return;
        uint32_t colour = colourTable[v & 15];
        uint32_t d = readPixel(row, dx, bits);
        if (opacity == 255) {
            d = colour;
        } else if (opacity >= 256) {
            if (colour == 0 || isWhite(bits, d)) return;
            d = addWeighted(ch, d, colour, uint32_t(std::min(opacity - 256, 255)));
        } else {
            if (colour == d) return;
            uint32_t a = uint32_t(opacity);
            d = eachChannel(ch, d, colour, [a](uint32_t dc, uint32_t sc, uint32_t) {
                return (dc * (255 - a) + sc * a) >> 8;
            });
        }
        writePixel(row, dx, bits, d);
    });
}

void TCustomDIBX::DrawIndexedAdd(int32_t x, int32_t y, const uint32_t* colourTable, int32_t opacity,
                                 int32_t threshold, bool flipV, bool flipH, const TRect& srcRect,
                                 TCustomDIBX& source) {
    if (opacity <= 0 || !colourTable) return;
    int32_t bits = GetBitCount();
    TChannels ch = channelsOf(bits);
    if (ch.N == 0) return;
    const uint32_t a = uint32_t(std::min(opacity, 255));
    if (drawIndexedAdd32(*this, x, y, colourTable, a, threshold, flipV, flipH, srcRect, source)) return;
    forEachIndexed(*this, x, y, flipV, flipH, srcRect, source, [&](uint8_t* row, int32_t dx, uint32_t v) {
        if (int32_t(v) <= threshold) return;
        writePixel(row, dx, bits, addWeighted(ch, readPixel(row, dx, bits), colourTable[v & 0xFF], a));
    });
}

void TCustomDIBX::StretchDrawIndexed(const TRect& destRect, const uint32_t* colourTable, int32_t opacity,
                                     int32_t threshold, bool flipV, bool flipH, const TRect& srcRect,
                                     TCustomDIBX& source) {
    if (opacity <= 0 || !colourTable || destRect.isEmpty() || srcRect.isEmpty() || source.GetBitCount() > 8) return;
    int32_t bits = GetBitCount();
    TChannels ch = channelsOf(bits);
    if (ch.N == 0) return;
    TRect dr = intersectRect(destRect, GetDrawableRect());
    if (dr.isEmpty()) return;
    TStretchMap cols(srcRect.Left, srcRect.width(), destRect.Left, destRect.width(), dr.Left, dr.width(), flipH,
                     source.GetWidth());
    TStretchMap rows(srcRect.Top, srcRect.height(), destRect.Top, destRect.height(), dr.Top, dr.height(), flipV,
                     source.GetHeight());
    if (cols.Last < cols.First || rows.Last < rows.First) return;
    MakeUnique();
    TLockedSurface d(*this), s(source);
    if (!d.ok() || !s.ok()) return;
    const uint32_t a = uint32_t(std::min(opacity, 255));
    for (int32_t j = rows.First; j <= rows.Last; ++j) {
        if (rows.Index[j] < 0) continue;
        const uint8_t* srow = s.row(rows.Index[j]);
        uint8_t* drow = d.row(dr.Top + j);
        for (int32_t i = cols.First; i <= cols.Last; ++i) {
            uint32_t v = readPixel(srow, cols.Index[i], s.bits());
            if (int32_t(v) <= threshold) continue;
            int32_t dx = dr.Left + i;
            writePixel(drow, dx, bits, addWeighted(ch, readPixel(drow, dx, bits), colourTable[v & 0xFF], a));
        }
    }
}

} // namespace zuno
