// TCustomDIBX: fixed-size copies and blends, and stretched draws.
#include <algorithm>
#include <cmath>

#include "imaging/SurfaceDraw.h"

namespace zuno {

// ---------------------------------------------------------------- engines

// Pictures up to this height have their destination rows prefetched.
constexpr int32_t kPrefetchRows = 32;

void drawFixed(TCustomDIBX& dst, int32_t x, int32_t y, bool flipV, bool flipH, const TRect& srcRect,
               TCustomDIBX& sourceArg, TCustomDIBX* maskArg, TRunParams p, bool useKey) {
    std::unique_ptr<TCustomDIBX> sourceCopy, maskCopy;
    TCustomDIBX& source = separateFrom(dst, sourceArg, sourceCopy);
    TCustomDIBX* mask = maskArg == &sourceArg ? &source : maskArg ? &separateFrom(dst, *maskArg, maskCopy) : nullptr;
    bool colourOnly = p.Op == TRunOp::ColorMask || p.Op == TRunOp::ColorMaskAdd;
    TRect bounds(0, 0, source.GetWidth(), source.GetHeight());
    if (mask) {
        if (mask->GetBitCount() != 8) return;
        bounds = intersectRect(bounds, TRect(0, 0, mask->GetWidth(), mask->GetHeight()));
    }
    TBlit b;
    if (!clipBlit(x, y, srcRect, bounds, dst.GetDrawableRect(), flipV, flipH, b)) return;
    dst.MakeUnique();
    TLockedSurface d(dst), s(source);
    if (!d.ok() || !s.ok()) return;
    std::unique_ptr<TLockedSurface> m;
    if (mask) m = std::make_unique<TLockedSurface>(*mask);
    if (m && !m->ok()) return;

    TPixelConverter conv(source, dst, useKey);
    if (conv.useKey()) {
        p.UseKey = true;
        p.Key = conv.key();
        if (p.Op == TRunOp::Copy) p.Op = TRunOp::CopyKey;
    }
    TRunBlender blend(d.bits(), p);
    if (!blend.supported()) return;

    int32_t n = b.Width;
    int32_t sbits = s.bits();
    bool direct = !colourOnly && conv.identity() && !flipH && sbits == 32;
    // A small picture's destination rows lie a pitch apart, each in its own
    // cache line: ask for them all before the first is blended, so that
    // their loads overlap instead of waiting one after another.
    if (b.Height <= kPrefetchRows && d.bits() == 32) {
        for (int32_t j = 0; j < b.Height; ++j) {
            const uint8_t* first = d.row(b.DestY + j) + 4 * int64_t(b.DestX);
            __builtin_prefetch(first, 1);
            __builtin_prefetch(first + 4 * int64_t(n) - 1, 1);
        }
    }
    // 32-bit rows read in place and blended by opacity or added: each row
    // goes straight to the kernel the blender would pick (small pictures
    // drawn by the thousand pay for every step of the general path).
    if (direct && !m && d.bits() == 32 && n > 0 && (p.Op == TRunOp::Alpha || p.Op == TRunOp::Add)) {
        const TBlendKernels& k = blendKernels32();
        const auto run = p.Op == TRunOp::Alpha ? k.alpha : k.add;
        for (int32_t j = 0; j < b.Height; ++j) {
            int32_t sy = flipV ? b.Src.Bottom - 1 - j : b.Src.Top + j;
            run(reinterpret_cast<uint32_t*>(d.row(b.DestY + j)) + b.DestX,
                reinterpret_cast<const uint32_t*>(s.row(sy)) + b.Src.Left, n, p.A, p.UseKey, p.Key);
        }
        return;
    }
    uint32_t* sbuf = scratchPixels(1, n);
    uint8_t* mbuf = scratchBytes(1, n);
    for (int32_t j = 0; j < b.Height; ++j) {
        int32_t sy = flipV ? b.Src.Bottom - 1 - j : b.Src.Top + j;
        const uint32_t* sp = sbuf;
        if (colourOnly) {
            sp = nullptr;
        } else if (direct) {
            sp = reinterpret_cast<const uint32_t*>(s.row(sy)) + b.Src.Left;
        } else {
            const uint8_t* srow = s.row(sy);
            if (conv.identity() && sbits == 32) {
                const uint32_t* r = reinterpret_cast<const uint32_t*>(srow);
                for (int32_t i = 0; i < n; ++i) sbuf[i] = r[b.Src.Right - 1 - i];
            } else {
                for (int32_t i = 0; i < n; ++i) {
                    int32_t sx = flipH ? b.Src.Right - 1 - i : b.Src.Left + i;
                    sbuf[i] = conv.convert(readPixel(srow, sx, sbits));
                }
            }
        }
        const uint8_t* mp = nullptr;
        if (m) {
            const uint8_t* mrow = m->row(sy);
            if (!flipH) {
                mp = mrow + b.Src.Left;
            } else {
                for (int32_t i = 0; i < n; ++i) mbuf[i] = mrow[b.Src.Right - 1 - i];
                mp = mbuf;
            }
        }
        blend.apply(d.row(b.DestY + j), b.DestX, n, sp, mp);
    }
}

TStretchMap::TStretchMap(int32_t srcStart, int32_t srcSize, int32_t destStart, int32_t destSize, int32_t cutStart,
                         int32_t count, bool flip, int32_t limit) {
    // Source pixels per destination pixel; the cut-away destination pixels
    // advance the source start, whose fraction carries into 16.16 stepping.
    double scale = double(srcSize) / double(destSize);
    double start = double(cutStart - destStart) * scale;
    double whole = std::floor(start);
    int64_t pos = (int64_t(whole) << 16) + int64_t((start - whole) * 65536.0);
    int64_t step = int64_t(scale * 65536.0);
    Index.resize(size_t(std::max(count, 0)));
    First = count;
    Last = -1;
    for (int32_t i = 0; i < count; ++i, pos += step) {
        int64_t off = pos >> 16;
        int64_t v = flip ? int64_t(srcStart) + srcSize - 1 - off : int64_t(srcStart) + off;
        bool ok = off >= 0 && off < srcSize && v >= 0 && v < limit;
        Index[i] = ok ? int32_t(v) : -1;
        if (ok) {
            First = std::min(First, i);
            Last = i;
        }
    }
}

void drawStretch(TCustomDIBX& dst, const TRect& destRect, bool flipV, bool flipH, const TRect& srcRect,
                 TCustomDIBX& sourceArg, TCustomDIBX* maskArg, TRunParams p, bool useKey) {
    std::unique_ptr<TCustomDIBX> sourceCopy, maskCopy;
    TCustomDIBX& source = separateFrom(dst, sourceArg, sourceCopy);
    TCustomDIBX* mask = maskArg ? &separateFrom(dst, *maskArg, maskCopy) : nullptr;
    if (destRect.isEmpty() || srcRect.isEmpty()) return;
    TRect dr = intersectRect(destRect, dst.GetDrawableRect());
    if (dr.isEmpty()) return;
    int32_t limitW = source.GetWidth(), limitH = source.GetHeight();
    if (mask) {
        if (mask->GetBitCount() != 8) return;
        limitW = std::min(limitW, mask->GetWidth());
        limitH = std::min(limitH, mask->GetHeight());
    }
    TStretchMap cols(srcRect.Left, srcRect.width(), destRect.Left, destRect.width(), dr.Left, dr.width(), flipH,
                     limitW);
    TStretchMap rows(srcRect.Top, srcRect.height(), destRect.Top, destRect.height(), dr.Top, dr.height(), flipV,
                     limitH);
    if (cols.Last < cols.First || rows.Last < rows.First) return;
    dst.MakeUnique();
    TLockedSurface d(dst), s(source);
    if (!d.ok() || !s.ok()) return;
    std::unique_ptr<TLockedSurface> m;
    if (mask) {
        m = std::make_unique<TLockedSurface>(*mask);
        if (!m->ok()) return;
    }
    TPixelConverter conv(source, dst, useKey);
    if (conv.useKey()) {
        p.UseKey = true;
        p.Key = conv.key();
        if (p.Op == TRunOp::Copy) p.Op = TRunOp::CopyKey;
    }
    TRunBlender blend(d.bits(), p);
    if (!blend.supported()) return;

    int32_t first = cols.First, n = cols.Last - cols.First + 1;
    const int32_t* ci = cols.Index.data() + first;
    uint32_t* sbuf = scratchPixels(1, n);
    uint8_t* mbuf = scratchBytes(1, n);
    int32_t sbits = s.bits();
    bool raw32 = conv.identity() && sbits == 32;
    for (int32_t j = rows.First; j <= rows.Last; ++j) {
        int32_t sy = rows.Index[j];
        if (sy < 0) continue;
        const uint8_t* srow = s.row(sy);
        if (raw32) {
            const uint32_t* r = reinterpret_cast<const uint32_t*>(srow);
            for (int32_t i = 0; i < n; ++i) sbuf[i] = r[ci[i]];
        } else {
            for (int32_t i = 0; i < n; ++i) sbuf[i] = conv.convert(readPixel(srow, ci[i], sbits));
        }
        if (m) {
            const uint8_t* mrow = m->row(sy);
            for (int32_t i = 0; i < n; ++i) mbuf[i] = mrow[ci[i]];
        }
        blend.apply(d.row(dr.Top + j), dr.Left + first, n, sbuf, mbuf);
    }
}

// ---------------------------------------------------------------- operations

void TCustomDIBX::Draw(int32_t x, int32_t y, bool flipV, bool flipH, bool transparent, const TRect& srcRect,
                       TCustomDIBX& source) {
    drawFixed(*this, x, y, flipV, flipH, srcRect, source, nullptr, TRunParams{TRunOp::Copy}, transparent);
}

void TCustomDIBX::DrawMask(int32_t x, int32_t y, TCustomDIBX& mask, bool flipV, bool flipH, const TRect& srcRect,
                           TCustomDIBX& source) {
    drawFixed(*this, x, y, flipV, flipH, srcRect, source, &mask, TRunParams{TRunOp::Mask}, false);
}

void TCustomDIBX::DrawAlpha(int32_t x, int32_t y, int32_t opacity, bool flipV, bool flipH, bool transparent,
                            const TRect& srcRect, TCustomDIBX& source) {
    if (opacity <= 0) return;
    TRunParams p{TRunOp::Alpha, uint32_t(std::min(opacity, 255))};
    drawFixed(*this, x, y, flipV, flipH, srcRect, source, nullptr, p, transparent);
}

void TCustomDIBX::DrawAlphaMask(int32_t x, int32_t y, int32_t opacity, TCustomDIBX& mask, bool flipV, bool flipH,
                                const TRect& srcRect, TCustomDIBX& source) {
    if (opacity <= 0) return;
    TRunParams p{TRunOp::AlphaMask, uint32_t(std::min(opacity, 255))};
    drawFixed(*this, x, y, flipV, flipH, srcRect, source, &mask, p, false);
}

void TCustomDIBX::DrawAdd(int32_t x, int32_t y, int32_t opacity, bool flipV, bool flipH, const TRect& srcRect,
                          TCustomDIBX& source) {
    if (GetBitCount() == 8) {
        // Palette surfaces add indices, without weight.
        drawFixed(*this, x, y, flipV, flipH, srcRect, source, nullptr, TRunParams{TRunOp::IndexAdd}, true);
        return;
    }
    if (opacity <= 0) return;
    TRunParams p{TRunOp::Add, uint32_t(std::min(opacity, 255))};
    drawFixed(*this, x, y, flipV, flipH, srcRect, source, nullptr, p, true);
}

void TCustomDIBX::DrawAddMask(int32_t x, int32_t y, int32_t opacity, TCustomDIBX& mask, bool flipV, bool flipH,
                              const TRect& srcRect, TCustomDIBX& source) {
    if (opacity <= 0) return;
    TRunParams p{TRunOp::AddMask, uint32_t(std::min(opacity, 255))};
    drawFixed(*this, x, y, flipV, flipH, srcRect, source, &mask, p, false);
}

void TCustomDIBX::DrawColorMask(int32_t x, int32_t y, int32_t opacity, uint32_t colour, bool flipV, bool flipH,
                                const TRect& srcRect, TCustomDIBX& mask) {
    if (opacity <= 0) return;
    TRunParams p;
    if (opacity < 256) {
        p.Op = TRunOp::ColorMask;
        p.A = uint32_t(std::min(opacity, 255));
    } else {
        p.Op = TRunOp::ColorMaskAdd;
        p.A = uint32_t(std::min(opacity - 256, 255));
        if (p.A == 0) return;
    }
    p.Colour = colour;
    drawFixed(*this, x, y, flipV, flipH, srcRect, mask, &mask, p, false);
}

void TCustomDIBX::StretchDrawAlpha(const TRect& destRect, TCustomDIBX& source, int32_t opacity, bool flipV,
                                   bool flipH, bool transparent, const TRect& srcRect) {
    if (opacity <= 0) return;
    TRunParams p{opacity >= 255 ? TRunOp::Copy : TRunOp::Alpha, uint32_t(std::min(opacity, 255))};
    drawStretch(*this, destRect, flipV, flipH, srcRect, source, nullptr, p, transparent);
}

void TCustomDIBX::StretchDrawAlphaMask(const TRect& destRect, TCustomDIBX& source, int32_t opacity,
                                       TCustomDIBX& mask, bool flipV, bool flipH, const TRect& srcRect) {
    if (opacity <= 0) return;
    TRunParams p{opacity >= 255 ? TRunOp::Mask : TRunOp::AlphaMask, uint32_t(std::min(opacity, 255))};
    drawStretch(*this, destRect, flipV, flipH, srcRect, source, &mask, p, false);
}

void TCustomDIBX::StretchDrawAdd(const TRect& destRect, TCustomDIBX& source, int32_t opacity, bool flipV,
                                 bool flipH, bool transparent, const TRect& srcRect) {
    if (opacity <= 0) return;
    TRunParams p{TRunOp::Add, uint32_t(std::min(opacity, 255))};
    drawStretch(*this, destRect, flipV, flipH, srcRect, source, nullptr, p, transparent);
}

void TCustomDIBX::StretchDrawAddMask(const TRect& destRect, TCustomDIBX& source, int32_t opacity,
                                     TCustomDIBX& mask, bool flipV, bool flipH, const TRect& srcRect) {
    if (opacity <= 0) return;
    TRunParams p{TRunOp::AddMask, uint32_t(std::min(opacity, 255))};
    drawStretch(*this, destRect, flipV, flipH, srcRect, source, &mask, p, false);
}

} // namespace zuno
