// Row machinery shared by the surface operations.
#include "imaging/SurfaceRows.h"

#include <algorithm>

#include "imaging/TDIBX.h"

namespace zuno {

uint32_t colorToPixelBits(int32_t bits, int32_t rgb) {
    uint32_t r = uint32_t(rgb) & 0xFF, g = (uint32_t(rgb) >> 8) & 0xFF, b = (uint32_t(rgb) >> 16) & 0xFF;
    switch (bits) {
    case 15: return ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
    case 16: return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
    case 24:
    case 32: return (r << 16) | (g << 8) | b;
    default: return uint32_t(rgb);
    }
}

int32_t pixelToColorBits(int32_t bits, uint32_t v) {
    uint32_t r, g, b;
    switch (bits) {
    case 15:
        r = (v >> 10) & 31; g = (v >> 5) & 31; b = v & 31;
        r = (r << 3) | (r >> 2); g = (g << 3) | (g >> 2); b = (b << 3) | (b >> 2);
        break;
    case 16:
        r = (v >> 11) & 31; g = (v >> 5) & 63; b = v & 31;
        r = (r << 3) | (r >> 2); g = (g << 2) | (g >> 4); b = (b << 3) | (b >> 2);
        break;
    case 24:
    case 32:
        r = (v >> 16) & 0xFF; g = (v >> 8) & 0xFF; b = v & 0xFF;
        break;
    default:
        return int32_t(v);
    }
    return int32_t(r | (g << 8) | (b << 16));
}

uint8_t nearestPaletteIndex(const TPalette& palette, int32_t rgb) {
    int r = rgb & 0xFF, g = (rgb >> 8) & 0xFF, b = (rgb >> 16) & 0xFF;
    int best = 0, bestDist = 1 << 30;
    for (int i = 0; i < 256; ++i) {
        int dr = palette[i].Red - r, dg = palette[i].Green - g, db = palette[i].Blue - b;
        int dist = dr * dr + dg * dg + db * db;
        if (dist < bestDist) {
            bestDist = dist;
            best = i;
            if (dist == 0) break;
        }
    }
    return uint8_t(best);
}

TLockedSurface::TLockedSurface(TCustomDIBX& s) : FSurface(s) {
    if (s.IsEmpty()) return;
    FBase = s.Lock(0, 0);
    if (!FBase) return;
    FPitch = s.GetPitch();
    FBits = s.GetBitCount();
    FWidth = s.GetWidth();
    FHeight = s.GetHeight();
}

TPixelConverter::TPixelConverter(TCustomDIBX& source, TCustomDIBX& dest, bool useKey) {
    FSrcBits = source.GetBitCount();
    FDstBits = dest.GetBitCount();
    FUseKey = useKey && source.TransparentColor != -1;
    FSourceKey = uint32_t(source.TransparentColor);
    bool srcPal = FSrcBits <= 8, dstPal = FDstBits <= 8;
    FIdentity = FSrcBits == FDstBits || (srcPal && dstPal);
    if (FIdentity) {
        FKey = FSourceKey;
        return;
    }
    FKey = kKeySentinel;
    if (dstPal) {
        FDstPalette = std::make_unique<TPalette>();
        dest.GetPalette(*FDstPalette);
    }
    if (srcPal) {
        TPalette pal;
        source.GetPalette(pal);
        FTable = true;
        FLookup.resize(256);
        for (int i = 0; i < 256; ++i) {
            int32_t c = quadToColor(pal[i]);
            FLookup[i] = colorToPixelBits(FDstBits, c);
        }
    }
}

uint32_t TPixelConverter::convert(uint32_t v) const {
    if (FUseKey && v == FSourceKey) return FIdentity ? v : kKeySentinel;
    if (FIdentity) return v;
    if (FTable) return FLookup[v & 0xFF];
    int32_t c = pixelToColorBits(FSrcBits, v);
    if (FDstBits <= 8) return nearestPaletteIndex(*FDstPalette, c);
    return colorToPixelBits(FDstBits, c);
}

TRunBlender::TRunBlender(int32_t destBits, const TRunParams& p) : FBits(destBits), FP(p) {
    FK = destBits == 32 ? &blendKernels32() : &referenceKernels(destBits);
    bool copy = p.Op == TRunOp::Copy || p.Op == TRunOp::CopyKey;
    if (destBits == 1 || destBits == 4) FSupported = copy;
    else if (destBits != 8 && destBits != 15 && destBits != 16 && destBits != 24 && destBits != 32) FSupported = false;
    if (p.Op == TRunOp::IndexAdd && destBits != 8) FSupported = false;
}

void TRunBlender::kernel(uint32_t* d, const uint32_t* s, const uint8_t* m, int32_t n) {
    switch (FP.Op) {
    case TRunOp::Copy: std::memmove(d, s, size_t(n) * 4); break;
    case TRunOp::CopyKey: FK->copyKey(d, s, n, FP.Key); break;
    case TRunOp::Mask: FK->mask(d, s, m, n); break;
    case TRunOp::Alpha: FK->alpha(d, s, n, FP.A, FP.UseKey, FP.Key); break;
    case TRunOp::AlphaMask: FK->alphaMask(d, s, m, n, FP.A); break;
    case TRunOp::Add: FK->add(d, s, n, FP.A, FP.UseKey, FP.Key); break;
    case TRunOp::AddMask: FK->addMask(d, s, m, n, FP.A); break;
    case TRunOp::ColorMask: FK->colorMask(d, m, n, FP.Colour, FP.A); break;
    case TRunOp::ColorMaskAdd: FK->colorMaskAdd(d, m, n, FP.Colour, FP.A); break;
    case TRunOp::IndexAdd:
        for (int32_t i = 0; i < n; ++i)
            if (!(FP.UseKey && s[i] == FP.Key)) d[i] = std::min<uint32_t>(d[i] + s[i], 255);
        break;
    }
}

void TRunBlender::apply(uint8_t* row, int32_t x, int32_t n, const uint32_t* s, const uint8_t* m) {
    if (n <= 0 || !FSupported) return;
    if (FBits == 32) {
        kernel(reinterpret_cast<uint32_t*>(row + 4 * int64_t(x)), s, m, n);
        return;
    }
    if (FBits == 1 || FBits == 4) {
        for (int32_t i = 0; i < n; ++i)
            if (FP.Op == TRunOp::Copy || s[i] != FP.Key) writePixel(row, x + i, FBits, s[i]);
        return;
    }
    if (FRow.size() < size_t(n)) FRow.resize(n);
    uint32_t* d = FRow.data();
    bool needLoad = FP.Op != TRunOp::Copy;
    if (needLoad)
        for (int32_t i = 0; i < n; ++i) d[i] = readPixel(row, x + i, FBits);
    kernel(d, s, m, n);
    switch (FBits) {
    case 8:
        for (int32_t i = 0; i < n; ++i) row[x + i] = uint8_t(d[i]);
        break;
    case 15:
    case 16: {
        uint8_t* p = row + 2 * int64_t(x);
        for (int32_t i = 0; i < n; ++i) {
            uint16_t v = uint16_t(d[i]);
            std::memcpy(p + 2 * i, &v, 2);
        }
        break;
    }
    default:
        for (int32_t i = 0; i < n; ++i) writePixel(row, x + i, FBits, d[i]);
        break;
    }
}

TChannels channelsOf(int32_t bits) {
    switch (bits) {
    case 32: return {4, {0, 8, 16, 24}, {255, 255, 255, 255}};
    case 24: return {3, {0, 8, 16, 0}, {255, 255, 255, 0}};
    case 16: return {3, {0, 5, 11, 0}, {31, 63, 31, 0}};
    case 15: return {3, {0, 5, 10, 0}, {31, 31, 31, 0}};
    default: return {};
    }
}

TCustomDIBX& separateFrom(TCustomDIBX& dst, TCustomDIBX& source, std::unique_ptr<TCustomDIBX>& holder) {
    if (&dst != &source || source.IsEmpty()) return source;
    auto copy = std::make_unique<TDIBX>(source.GetWidth(), source.GetHeight(), source.GetBitCount());
    TPalette pal;
    source.GetPalette(pal);
    copy->SetPalette(pal);
    copy->TransparentColor = source.TransparentColor;
    TLockedSurface s(source);
    if (s.ok()) {
        size_t n = size_t(TDIBX::RowBytes(s.width(), s.bits()));
        for (int32_t y = 0; y < s.height(); ++y) std::memcpy(copy->ScanLine(y), s.row(y), n);
    }
    holder = std::move(copy);
    return *holder;
}

uint32_t* scratchPixels(int slot, int32_t n) {
    thread_local std::vector<uint32_t> buffers[4];
    auto& b = buffers[slot];
    if (b.size() < size_t(n) + 8) b.resize(size_t(n) + 8);
    return b.data();
}

uint8_t* scratchBytes(int slot, int32_t n) {
    thread_local std::vector<uint8_t> buffers[4];
    auto& b = buffers[slot];
    if (b.size() < size_t(n) + 32) b.resize(size_t(n) + 32);
    return b.data();
}

bool clipBlit(int32_t x, int32_t y, TRect src, const TRect& sourceBounds, const TRect& drawable, bool flipV,
              bool flipH, TBlit& out) {
    // Cut the source rectangle to the source picture first; the destination
    // point follows the edge that stays at the destination's left/top.
    int64_t dx = x, dy = y;
    if (src.Left < sourceBounds.Left) {
        if (!flipH) dx += int64_t(sourceBounds.Left) - src.Left;
        src.Left = sourceBounds.Left;
    }
    if (src.Right > sourceBounds.Right) {
        if (flipH) dx += int64_t(src.Right) - sourceBounds.Right;
        src.Right = sourceBounds.Right;
    }
    if (src.Top < sourceBounds.Top) {
        if (!flipV) dy += int64_t(sourceBounds.Top) - src.Top;
        src.Top = sourceBounds.Top;
    }
    if (src.Bottom > sourceBounds.Bottom) {
        if (flipV) dy += int64_t(src.Bottom) - sourceBounds.Bottom;
        src.Bottom = sourceBounds.Bottom;
    }
    if (src.isEmpty() || drawable.isEmpty()) return false;
    int64_t w = src.width(), h = src.height();
    int64_t cutL = std::max<int64_t>(0, drawable.Left - dx);
    int64_t cutR = std::max<int64_t>(0, dx + w - drawable.Right);
    int64_t cutT = std::max<int64_t>(0, drawable.Top - dy);
    int64_t cutB = std::max<int64_t>(0, dy + h - drawable.Bottom);
    if (cutL + cutR >= w || cutT + cutB >= h) return false;
    if (!flipH) { src.Left += int32_t(cutL); src.Right -= int32_t(cutR); }
    else { src.Right -= int32_t(cutL); src.Left += int32_t(cutR); }
    if (!flipV) { src.Top += int32_t(cutT); src.Bottom -= int32_t(cutB); }
    else { src.Bottom -= int32_t(cutT); src.Top += int32_t(cutB); }
    out.DestX = int32_t(dx + cutL);
    out.DestY = int32_t(dy + cutT);
    out.Width = src.width();
    out.Height = src.height();
    out.Src = src;
    return true;
}

} // namespace zuno
