// TCustomDIBX: tiles, zoomed tiles and pattern fills.
#include <algorithm>

#include "imaging/SurfaceDraw.h"

namespace zuno {

namespace {

int64_t floorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

int32_t positiveMod(int64_t v, int32_t m) {
    int64_t r = v % m;
    return int32_t(r < 0 ? r + m : r);
}

// Calls drawAt(x, y) for the tiles that meet the clip, with the surface's
// clip narrowed to destRect for the duration of the call. Tile origins start
// at destRect's top-left moved back by the phase (reduced modulo the tile
// size, so a negative phase counts from the tile's far edge) and advance by
// tile size + spacing, at least one pixel.
template <class Fn>
void forEachTile(TCustomDIBX& self, const TRect& destRect, int32_t spacingX, int32_t spacingY, int32_t phaseX,
                 int32_t phaseY, int32_t tileW, int32_t tileH, Fn drawAt) {
    if (tileW <= 0 || tileH <= 0) return;
    TRect clip = intersectRect(self.GetDrawableRect(), destRect);
    if (clip.isEmpty()) return;
    const TRect saved = self.ClipRect;
    self.ClipRect = clip;
    const int64_t stepX = std::max<int64_t>(1, int64_t(tileW) + spacingX);
    const int64_t stepY = std::max<int64_t>(1, int64_t(tileH) + spacingY);
    const int64_t x0 = int64_t(destRect.Left) - positiveMod(phaseX, tileW);
    const int64_t y0 = int64_t(destRect.Top) - positiveMod(phaseY, tileH);
    // First tiles whose far edge passes the clip's near edge.
    const int64_t kx = std::max<int64_t>(0, floorDiv(clip.Left - tileW - x0, stepX) + 1);
    const int64_t ky = std::max<int64_t>(0, floorDiv(clip.Top - tileH - y0, stepY) + 1);
    for (int64_t ty = y0 + ky * stepY; ty < clip.Bottom; ty += stepY)
        for (int64_t tx = x0 + kx * stepX; tx < clip.Right; tx += stepX) drawAt(int32_t(tx), int32_t(ty));
    self.ClipRect = saved;
}

int32_t zoomedSize(int32_t size, int32_t zoom) { return int32_t(std::max<int64_t>(1, int64_t(size) * zoom / 256)); }

// A pattern repeated over r from the offsets (destination pixels), scaled
// by zoom/256 (16.16 stepping, nearest sample), flipped on request.
void fillPattern(TCustomDIBX& dst, const TRect& r, TCustomDIBX& patternArg, TCustomDIBX* maskArg, int32_t zoomX,
                 int32_t zoomY, int32_t offsetX, int32_t offsetY, bool flipV, bool flipH, TRunParams p,
                 bool useKey) {
    std::unique_ptr<TCustomDIBX> patternCopy, maskCopy;
    TCustomDIBX& pattern = separateFrom(dst, patternArg, patternCopy);
    TCustomDIBX* mask = maskArg ? &separateFrom(dst, *maskArg, maskCopy) : nullptr;
    if (zoomX <= 0 || zoomY <= 0) return;
    TRect dr = intersectRect(r, dst.GetDrawableRect());
    if (dr.isEmpty()) return;
    int32_t pw = pattern.GetWidth(), ph = pattern.GetHeight();
    if (mask) {
        if (mask->GetBitCount() != 8) return;
        pw = std::min(pw, mask->GetWidth());
        ph = std::min(ph, mask->GetHeight());
    }
    if (pw <= 0 || ph <= 0) return;
    dst.MakeUnique();
    TLockedSurface d(dst), s(pattern);
    if (!d.ok() || !s.ok()) return;
    std::unique_ptr<TLockedSurface> m;
    if (mask) {
        m = std::make_unique<TLockedSurface>(*mask);
        if (!m->ok()) return;
    }
    TPixelConverter conv(pattern, dst, useKey);
    if (conv.useKey()) {
        p.UseKey = true;
        p.Key = conv.key();
        if (p.Op == TRunOp::Copy) p.Op = TRunOp::CopyKey;
    }
    TRunBlender blend(d.bits(), p);
    if (!blend.supported()) return;

    const int64_t stepX = (int64_t(256) << 16) / zoomX, stepY = (int64_t(256) << 16) / zoomY;
    const int32_t n = dr.width();
    std::vector<int32_t> cols(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        int64_t pos = int64_t(offsetX) + (dr.Left - r.Left) + i;
        int32_t c = positiveMod(floorDiv(pos * stepX, 65536), pw);
        cols[i] = flipH ? pw - 1 - c : c;
    }
    uint32_t* sbuf = scratchPixels(1, n);
    uint8_t* mbuf = scratchBytes(1, n);
    const int32_t sbits = s.bits();
    for (int32_t Y = dr.Top; Y < dr.Bottom; ++Y) {
        int64_t pos = int64_t(offsetY) + (Y - r.Top);
        int32_t py = positiveMod(floorDiv(pos * stepY, 65536), ph);
        if (flipV) py = ph - 1 - py;
        const uint8_t* srow = s.row(py);
        if (conv.identity() && sbits == 32) {
            const uint32_t* row32 = reinterpret_cast<const uint32_t*>(srow);
            for (int32_t i = 0; i < n; ++i) sbuf[i] = row32[cols[i]];
        } else {
            for (int32_t i = 0; i < n; ++i) sbuf[i] = conv.convert(readPixel(srow, cols[i], sbits));
        }
        if (m) {
            const uint8_t* mrow = m->row(py);
            for (int32_t i = 0; i < n; ++i) mbuf[i] = mrow[cols[i]];
        }
        blend.apply(d.row(Y), dr.Left, n, sbuf, mbuf);
    }
}

} // namespace

// ---------------------------------------------------------------- tiles

void TCustomDIBX::DrawTile(const TRect& destRect, int32_t spacingX, int32_t spacingY, int32_t phaseX,
                           int32_t phaseY, bool transparent, const TRect& srcRect, TCustomDIBX& source) {
    forEachTile(*this, destRect, spacingX, spacingY, phaseX, phaseY, srcRect.width(), srcRect.height(),
                [&](int32_t x, int32_t y) { Draw(x, y, false, false, transparent, srcRect, source); });
}

void TCustomDIBX::DrawTileAlpha(const TRect& destRect, int32_t spacingX, int32_t spacingY, int32_t phaseX,
                                int32_t phaseY, int32_t opacity, bool transparent, const TRect& srcRect,
                                TCustomDIBX& source) {
    if (opacity <= 0) return;
    forEachTile(*this, destRect, spacingX, spacingY, phaseX, phaseY, srcRect.width(), srcRect.height(),
                [&](int32_t x, int32_t y) { DrawAlpha(x, y, opacity, false, false, transparent, srcRect, source); });
}

void TCustomDIBX::DrawTileAdd(const TRect& destRect, int32_t spacingX, int32_t spacingY, int32_t phaseX,
                              int32_t phaseY, int32_t opacity, const TRect& srcRect, TCustomDIBX& source) {
    if (opacity <= 0) return;
    forEachTile(*this, destRect, spacingX, spacingY, phaseX, phaseY, srcRect.width(), srcRect.height(),
                [&](int32_t x, int32_t y) { DrawAdd(x, y, opacity, false, false, srcRect, source); });
}

void TCustomDIBX::DrawTileMask(const TRect& destRect, int32_t spacingX, int32_t spacingY, int32_t phaseX,
                               int32_t phaseY, TCustomDIBX& mask, const TRect& srcRect, TCustomDIBX& source) {
    forEachTile(*this, destRect, spacingX, spacingY, phaseX, phaseY, srcRect.width(), srcRect.height(),
                [&](int32_t x, int32_t y) { DrawMask(x, y, mask, false, false, srcRect, source); });
}

void TCustomDIBX::DrawTileAlphaMask(const TRect& destRect, int32_t spacingX, int32_t spacingY, int32_t phaseX,
                                    int32_t phaseY, int32_t opacity, TCustomDIBX& mask, const TRect& srcRect,
                                    TCustomDIBX& source) {
    if (opacity <= 0) return;
    forEachTile(*this, destRect, spacingX, spacingY, phaseX, phaseY, srcRect.width(), srcRect.height(),
                [&](int32_t x, int32_t y) { DrawAlphaMask(x, y, opacity, mask, false, false, srcRect, source); });
}

void TCustomDIBX::DrawTileAddMask(const TRect& destRect, int32_t spacingX, int32_t spacingY, int32_t phaseX,
                                  int32_t phaseY, int32_t opacity, TCustomDIBX& mask, const TRect& srcRect,
                                  TCustomDIBX& source) {
    if (opacity <= 0) return;
    forEachTile(*this, destRect, spacingX, spacingY, phaseX, phaseY, srcRect.width(), srcRect.height(),
                [&](int32_t x, int32_t y) { DrawAddMask(x, y, opacity, mask, false, false, srcRect, source); });
}

void TCustomDIBX::DrawZoomTile(const TRect& destRect, int32_t spacingX, int32_t spacingY, int32_t phaseX,
                               int32_t phaseY, int32_t zoomX, int32_t zoomY, int32_t opacity, bool transparent,
                               const TRect& srcRect, TCustomDIBX& source) {
    if (opacity <= 0 || zoomX <= 0 || zoomY <= 0 || srcRect.isEmpty()) return;
    int32_t tw = zoomedSize(srcRect.width(), zoomX), th = zoomedSize(srcRect.height(), zoomY);
    int32_t px = int32_t(int64_t(phaseX) * zoomX / 256), py = int32_t(int64_t(phaseY) * zoomY / 256);
    forEachTile(*this, destRect, spacingX, spacingY, px, py, tw, th, [&](int32_t x, int32_t y) {
        TRect tile(x, y, x + tw, y + th);
        if (opacity > 255) StretchDrawAdd(tile, source, opacity - 256, false, false, transparent, srcRect);
        else StretchDrawAlpha(tile, source, opacity, false, false, transparent, srcRect);
    });
}

void TCustomDIBX::DrawZoomTileMask(const TRect& destRect, int32_t spacingX, int32_t spacingY, int32_t phaseX,
                                   int32_t phaseY, int32_t zoomX, int32_t zoomY, int32_t opacity, TCustomDIBX& mask,
                                   const TRect& srcRect, TCustomDIBX& source) {
    if (opacity <= 0 || zoomX <= 0 || zoomY <= 0 || srcRect.isEmpty()) return;
    int32_t tw = zoomedSize(srcRect.width(), zoomX), th = zoomedSize(srcRect.height(), zoomY);
    int32_t px = int32_t(int64_t(phaseX) * zoomX / 256), py = int32_t(int64_t(phaseY) * zoomY / 256);
    forEachTile(*this, destRect, spacingX, spacingY, px, py, tw, th, [&](int32_t x, int32_t y) {
        TRect tile(x, y, x + tw, y + th);
        if (opacity > 255) StretchDrawAddMask(tile, source, opacity - 256, mask, false, false, srcRect);
        else StretchDrawAlphaMask(tile, source, opacity, mask, false, false, srcRect);
    });
}

// ---------------------------------------------------------------- patterns

void TCustomDIBX::FillPattern(const TRect& r, TCustomDIBX& pattern, bool flipV, bool flipH, int32_t offsetX,
                              int32_t offsetY) {
    fillPattern(*this, r, pattern, nullptr, 256, 256, offsetX, offsetY, flipV, flipH, TRunParams{TRunOp::Copy},
                false);
}

void TCustomDIBX::FillZoomPattern(const TRect& r, TCustomDIBX& pattern, int32_t zoomX, int32_t zoomY,
                                  int32_t offsetX, int32_t offsetY, bool flipV, bool flipH, bool transparent,
                                  int32_t opacity) {
    TRunParams p;
    if (opacity <= 0) return;
    if (opacity < 255) p = {TRunOp::Alpha, uint32_t(opacity)};
    else if (opacity == 255) p = {TRunOp::Copy};
    else p = {TRunOp::Add, uint32_t(std::min(opacity - 256, 255))};
    if (p.Op == TRunOp::Add && p.A == 0) return;
    fillPattern(*this, r, pattern, nullptr, zoomX, zoomY, offsetX, offsetY, flipV, flipH, p, transparent);
}

void TCustomDIBX::FillZoomPatternMask(const TRect& r, TCustomDIBX& pattern, TCustomDIBX& mask, int32_t zoomX,
                                      int32_t zoomY, int32_t offsetX, int32_t offsetY, bool flipV, bool flipH,
                                      int32_t opacity) {
    TRunParams p;
    if (opacity <= 0) return;
    if (opacity < 255) p = {TRunOp::AlphaMask, uint32_t(opacity)};
    else if (opacity == 255) p = {TRunOp::Mask};
    else p = {TRunOp::AddMask, uint32_t(std::min(opacity - 256, 255))};
    if (p.Op == TRunOp::AddMask && p.A == 0) return;
    fillPattern(*this, r, pattern, &mask, zoomX, zoomY, offsetX, offsetY, flipV, flipH, p, false);
}

} // namespace zuno
