// TCustomDIBX: rotation with zoom about a centre point.
//
// Destination point D shows source point p (in the source rectangle,
// mirrored by the flips) with D = (x, y) + R(θ) S (p - c), c the centre. The
// inverse map is stepped in 16.16 fixed point along rows and columns; the
// sample is the source pixel holding the position (nearest, integer part).
#include <algorithm>
#include <cmath>
#include <numbers>

#include "imaging/SurfaceDraw.h"

namespace zuno {

namespace {

struct TRotation {
    double  Cos = 1, Sin = 0, ScaleX = 1, ScaleY = 1;
    int32_t CentreX = 0, CentreY = 0;     // centre in the mirrored source rectangle

    TRotation(const TRect& srcRect, int32_t centreX, int32_t centreY, bool flipV, bool flipH, int32_t angle,
              int32_t zoomX, int32_t zoomY) {
        double theta = double(angle) * 2.0 * std::numbers::pi / 256.0;
        Cos = std::cos(theta);
        Sin = std::sin(theta);
        ScaleX = zoomX / 256.0;
        ScaleY = zoomY / 256.0;
        CentreX = flipH ? srcRect.width() - 1 - centreX : centreX;
        CentreY = flipV ? srcRect.height() - 1 - centreY : centreY;
    }
};

int64_t floorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}
int64_t ceilDiv(int64_t a, int64_t b) { return -floorDiv(-a, b); }

// Narrows [k0, k1) to the steps k where lo <= (p + k d) >> 16 < hi.
void narrowSteps(int64_t p, int64_t d, int64_t lo, int64_t hi, int64_t& k0, int64_t& k1) {
    int64_t a = lo << 16, b = (hi << 16) - 1;   // a <= p + k d <= b
    if (d == 0) {
        if (p < a || p > b) k1 = k0;
        return;
    }
    int64_t kLo, kHi;
    if (d > 0) {
        kLo = ceilDiv(a - p, d);
        kHi = floorDiv(b - p, d);
    } else {
        kLo = ceilDiv(b - p, d);
        kHi = floorDiv(a - p, d);
    }
    k0 = std::max(k0, kLo);
    k1 = std::min(k1, kHi + 1);
}

// The valid positions u inside a mirrored source rectangle whose pixels
// must also lie inside [0, limit) of the surface.
void validRange(int32_t start, int32_t size, bool flip, int32_t limit, int64_t& lo, int64_t& hi) {
    if (!flip) {
        lo = std::max<int64_t>(0, -int64_t(start));
        hi = std::min<int64_t>(size, int64_t(limit) - start);
    } else {
        int64_t end = int64_t(start) + size;
        lo = std::max<int64_t>(0, end - limit);
        hi = std::min<int64_t>(size, end);
    }
}

void drawRotated(TCustomDIBX& dst, int32_t x, int32_t y, TRunParams p, bool useKey, bool flipV, bool flipH,
                 int32_t angle, int32_t centreX, int32_t centreY, int32_t zoomX, int32_t zoomY, const TRect& srcRect,
                 TCustomDIBX& sourceArg, TCustomDIBX* maskArg) {
    std::unique_ptr<TCustomDIBX> sourceCopy, maskCopy;
    TCustomDIBX& source = separateFrom(dst, sourceArg, sourceCopy);
    TCustomDIBX* mask = maskArg ? &separateFrom(dst, *maskArg, maskCopy) : nullptr;
    if (zoomX <= 0 || zoomY <= 0 || srcRect.isEmpty()) return;
    TRect box = intersectRect(
        TCustomDIBX::GetRotateBounds(x, y, srcRect, centreX, centreY, flipV, flipH, angle, zoomX, zoomY),
        dst.GetDrawableRect());
    if (box.isEmpty()) return;
    int32_t limitW = source.GetWidth(), limitH = source.GetHeight();
    if (mask) {
        if (mask->GetBitCount() != 8) return;
        limitW = std::min(limitW, mask->GetWidth());
        limitH = std::min(limitH, mask->GetHeight());
    }
    int64_t uLo, uHi, vLo, vHi;
    validRange(srcRect.Left, srcRect.width(), flipH, limitW, uLo, uHi);
    validRange(srcRect.Top, srcRect.height(), flipV, limitH, vLo, vHi);
    if (uLo >= uHi || vLo >= vHi) return;

    TRotation rot(srcRect, centreX, centreY, flipV, flipH, angle, zoomX, zoomY);
    const int64_t dudx = int64_t(rot.Cos / rot.ScaleX * 65536.0);
    const int64_t dudy = int64_t(rot.Sin / rot.ScaleX * 65536.0);
    const int64_t dvdx = int64_t(-rot.Sin / rot.ScaleY * 65536.0);
    const int64_t dvdy = int64_t(rot.Cos / rot.ScaleY * 65536.0);

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

    const int32_t n = box.width();
    uint32_t* sbuf = scratchPixels(1, n);
    uint8_t* mbuf = scratchBytes(1, n);
    const int32_t sbits = s.bits();
    const bool raw32 = conv.identity() && sbits == 32;
    const bool straight = raw32 && p.Op == TRunOp::Copy && d.bits() == 32;
    const int32_t sx0 = flipH ? srcRect.Right - 1 : srcRect.Left, sxStep = flipH ? -1 : 1;
    const int32_t sy0 = flipV ? srcRect.Bottom - 1 : srcRect.Top, syStep = flipV ? -1 : 1;
    const uint8_t* s0 = s.row(0);
    const int64_t spitch = s.pitch();
    for (int32_t Y = box.Top; Y < box.Bottom; ++Y) {
        int64_t u = (int64_t(rot.CentreX) << 16) + dudx * (box.Left - x) + dudy * (Y - y);
        int64_t v = (int64_t(rot.CentreY) << 16) + dvdx * (box.Left - x) + dvdy * (Y - y);
        int64_t k0 = 0, k1 = n;
        narrowSteps(u, dudx, uLo, uHi, k0, k1);
        narrowSteps(v, dvdx, vLo, vHi, k0, k1);
        if (k0 >= k1) continue;
        int32_t cnt = int32_t(k1 - k0);
        u += dudx * k0;
        v += dvdx * k0;
        uint8_t* drow = d.row(Y);
        uint32_t* out = straight ? reinterpret_cast<uint32_t*>(drow) + box.Left + k0 : sbuf;
        if (straight && !m) {
            // 32-bit copy: nothing but the sampling in the loop; without a
            // turn the source row is the same along the whole row.
            if (dvdx == 0) {
                const uint8_t* srow = s0 + (sy0 + syStep * int32_t(v >> 16)) * spitch;
                for (int32_t i = 0; i < cnt; ++i, u += dudx)
                    std::memcpy(out + i, srow + 4 * int64_t(sx0 + sxStep * int32_t(u >> 16)), 4);
            } else {
                for (int32_t i = 0; i < cnt; ++i, u += dudx, v += dvdx) {
                    const uint8_t* srow = s0 + (sy0 + syStep * int32_t(v >> 16)) * spitch;
                    std::memcpy(out + i, srow + 4 * int64_t(sx0 + sxStep * int32_t(u >> 16)), 4);
                }
            }
            continue;
        }
        for (int32_t i = 0; i < cnt; ++i, u += dudx, v += dvdx) {
            int32_t sx = sx0 + sxStep * int32_t(u >> 16);
            int32_t sy = sy0 + syStep * int32_t(v >> 16);
            const uint8_t* srow = s0 + sy * spitch;
            if (raw32) {
                uint32_t px;
                std::memcpy(&px, srow + 4 * int64_t(sx), 4);
                out[i] = px;
            } else {
                out[i] = conv.convert(readPixel(srow, sx, sbits));
            }
            if (m) mbuf[i] = m->row(sy)[sx];
        }
        if (!straight) blend.apply(drow, box.Left + int32_t(k0), cnt, sbuf, mbuf);
    }
}

} // namespace

TRect TCustomDIBX::GetRotateBounds(int32_t x, int32_t y, const TRect& srcRect, int32_t centreX, int32_t centreY,
                                   bool flipV, bool flipH, int32_t angle, int32_t zoomX, int32_t zoomY) {
    if (srcRect.isEmpty() || zoomX <= 0 || zoomY <= 0) return TRect();
    TRotation rot(srcRect, centreX, centreY, flipV, flipH, angle, zoomX, zoomY);
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    const double cornersX[2] = {0.0, double(srcRect.width())};
    const double cornersY[2] = {0.0, double(srcRect.height())};
    for (double px : cornersX)
        for (double py : cornersY) {
            double dx = (px - rot.CentreX) * rot.ScaleX, dy = (py - rot.CentreY) * rot.ScaleY;
            double X = x + rot.Cos * dx - rot.Sin * dy;
            double Y = y + rot.Sin * dx + rot.Cos * dy;
            minX = std::min(minX, X);
            maxX = std::max(maxX, X);
            minY = std::min(minY, Y);
            maxY = std::max(maxY, Y);
        }
    auto clampInt = [](double v) { return int32_t(std::clamp(v, -1e9, 1e9)); };
    return TRect(clampInt(std::floor(minX)), clampInt(std::floor(minY)), clampInt(std::floor(maxX)) + 1,
                 clampInt(std::floor(maxY)) + 1);
}

void TCustomDIBX::DrawRotate(int32_t x, int32_t y, int32_t opacity, bool flipV, bool flipH, bool transparent,
                             int32_t angle, int32_t centreX, int32_t centreY, int32_t zoomX, int32_t zoomY,
                             const TRect& srcRect, TCustomDIBX& source) {
    if (opacity <= 0) return;
    TRunParams p{opacity >= 255 ? TRunOp::Copy : TRunOp::Alpha, uint32_t(std::min(opacity, 255))};
    drawRotated(*this, x, y, p, transparent, flipV, flipH, angle, centreX, centreY, zoomX, zoomY, srcRect, source,
                nullptr);
}

void TCustomDIBX::DrawRotateMask(int32_t x, int32_t y, int32_t opacity, TCustomDIBX& mask, bool flipV, bool flipH,
                                 int32_t angle, int32_t centreX, int32_t centreY, int32_t zoomX, int32_t zoomY,
                                 const TRect& srcRect, TCustomDIBX& source) {
    if (opacity <= 0) return;
    TRunParams p{TRunOp::AlphaMask, uint32_t(std::min(opacity, 255))};
    drawRotated(*this, x, y, p, false, flipV, flipH, angle, centreX, centreY, zoomX, zoomY, srcRect, source, &mask);
}

} // namespace zuno
