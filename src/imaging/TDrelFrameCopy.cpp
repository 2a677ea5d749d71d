#include "imaging/TDrelFrameCopy.h"

#include <cstring>

#include "core/StreamFields.h"
#include "imaging/TDIBX.h"

namespace zuno {

namespace {

// A surface over the bitmap's own pixels (read only use).
void wrap(TDIBX& view, const TDrelBitmap& bmp) {
    view.SetExternalPixels(const_cast<uint8_t*>(bmp.Bits()), bmp.Width(), bmp.Height(), bmp.BitCount(),
                           int32_t(bmp.RowBytes()));
    if (bmp.IsPalette())
        view.SetPalette(bmp.Palette);
}

// Draw of the whole source at (0, 0) regardless of dest's clip rectangle.
void drawWhole(TCustomDIBX& dest, TCustomDIBX& source) {
    const TRect clip = dest.ClipRect;
    dest.ClearClip();
    dest.Draw(0, 0, false, false, false, TRect(0, 0, source.GetWidth(), source.GetHeight()), source);
    dest.ClipRect = clip;
}

} // namespace

void copyFrameToSurface(const TDrelFrame& frame, TCustomDIBX& dest) {
    const TDrelBitmap& bmp = frame.Bitmap;
    if (dest.GetWidth() != bmp.Width() || dest.GetHeight() != bmp.Height())
        dest.SetSize(bmp.Width(), bmp.Height(), dest.GetBitCount());
    dest.DrawRects = frame.DrawRects;
    dest.SecondRects = frame.SecondRects;
    if (bmp.IsEmpty())
        return;
    if (dest.GetBitCount() == 32 && (bmp.BitCount() == 24 || bmp.BitCount() == 32)) {
        for (int32_t y = 0; y < bmp.Height(); ++y) {
            uint8_t* d = dest.Lock(0, y);
            if (!d)
                break;
            const uint8_t* s = bmp.Row(y);
            if (bmp.BitCount() == 32) {
                for (int32_t x = 0; x < bmp.Width(); ++x)
                    putLE32(d + 4 * x, getLE32(s + 4 * x) & 0xFFFFFF);
            } else {
                for (int32_t x = 0; x < bmp.Width(); ++x, s += 3)
                    putLE32(d + 4 * x, uint32_t(s[0]) | (uint32_t(s[1]) << 8) | (uint32_t(s[2]) << 16));
            }
        }
        dest.Unlock();
        return;
    }
    TDIBX view;
    wrap(view, bmp);
    if (dest.GetBitCount() <= 8 && bmp.IsPalette())
        dest.SetPalette(bmp.Palette);
    drawWhole(dest, view);
}

bool copyFrameMaskToSurface(const TDrelFrame& frame, TCustomDIBX& dest) {
    if (!frame.Mask)
        return false;
    const TDrelBitmap& m = *frame.Mask;
    if (dest.GetWidth() != m.Width() || dest.GetHeight() != m.Height() || dest.GetBitCount() != 8)
        dest.SetSize(m.Width(), m.Height(), 8);
    for (int32_t y = 0; y < m.Height(); ++y) {
        uint8_t* d = dest.Lock(0, y);
        if (!d)
            break;
        std::memcpy(d, m.Row(y), size_t(m.Width()));
    }
    dest.Unlock();
    return true;
}

} // namespace zuno
