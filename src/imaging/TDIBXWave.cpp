// TDIBXWave: forwards drawing to its target with rows shifted sideways.
#include "imaging/TDIBXWave.h"

#include <algorithm>

namespace zuno {

int32_t TDIBXWave::GetWidth() { return FTarget ? FTarget->GetWidth() : 0; }
int32_t TDIBXWave::GetHeight() { return FTarget ? FTarget->GetHeight() : 0; }
int32_t TDIBXWave::GetBitCount() { return FTarget ? FTarget->GetBitCount() : 0; }
int32_t TDIBXWave::GetStoredBitCount() { return FTarget ? FTarget->GetStoredBitCount() : 0; }
uint32_t TDIBXWave::GetRedMask() { return FTarget ? FTarget->GetRedMask() : 0; }
uint32_t TDIBXWave::GetGreenMask() { return FTarget ? FTarget->GetGreenMask() : 0; }
uint32_t TDIBXWave::GetBlueMask() { return FTarget ? FTarget->GetBlueMask() : 0; }
uint32_t TDIBXWave::ColorToPixel(int32_t rgb) { return FTarget ? FTarget->ColorToPixel(rgb) : uint32_t(rgb); }

uint32_t TDIBXWave::GetPixel(int32_t x, int32_t y) {
    int64_t i = int64_t(y) - FirstRow;
    if (!FTarget || i < 0 || i >= int64_t(Offsets.size())) return 0;
    return FTarget->GetPixel(x + Offsets[size_t(i)], y);
}

void TDIBXWave::SetPixel(int32_t x, int32_t y, uint32_t v) {
    int64_t i = int64_t(y) - FirstRow;
    if (!FTarget || i < 0 || i >= int64_t(Offsets.size())) return;
    FTarget->SetPixel(x + Offsets[size_t(i)], y, v);
}

void TDIBXWave::SetSize(int32_t width, int32_t height, int32_t) {
    FWidth = std::max(width, 0);
    FHeight = std::max(height, 0);
    Offsets.assign(size_t(FHeight), 0);
}

void TDIBXWave::Clear() {
    FWidth = 0;
    FHeight = 0;
    Offsets.clear();
}

void TDIBXWave::forEachBand(const TRect& area, const std::function<void(int32_t)>& op) {
    if (!FTarget || Offsets.empty()) return;
    TRect clip = GetDrawableRect();
    int64_t tableEnd = int64_t(FirstRow) + int64_t(Offsets.size());
    int32_t top = std::max({area.Top, clip.Top, FirstRow});
    int32_t bottom = int32_t(std::min<int64_t>({area.Bottom, clip.Bottom, tableEnd}));
    if (top >= bottom) return;
    FSavedClip = FTarget->ClipRect;
    TRect targetClip = FTarget->GetDrawableRect();
    for (int32_t r = top; r < bottom;) {
        int32_t off = Offsets[size_t(r - FirstRow)];
        int32_t r1 = r + 1;
        while (r1 < bottom && Offsets[size_t(r1 - FirstRow)] == off) ++r1;
        TRect band = intersectRect(TRect(clip.Left, r, clip.Right, r1), targetClip);
        if (!band.isEmpty()) {
            FTarget->ClipRect = band;
            op(off);
        }
        r = r1;
    }
    FTarget->ClipRect = FSavedClip;
}

namespace {

TRect rowsAt(int32_t y, const TRect& srcRect) { return TRect(0, y, 0, y + std::max(srcRect.height(), 0)); }

} // namespace

void TDIBXWave::Fill(uint32_t colour) { FillRect(TRect(0, 0, GetWidth(), GetHeight()), colour); }

void TDIBXWave::FillRect(const TRect& r, uint32_t colour) {
    forEachBand(r, [&](int32_t off) { FTarget->FillRect(r.offset(off, 0), colour); });
}

void TDIBXWave::FillRectAlpha(const TRect& r, uint32_t colour, int32_t opacity) {
    forEachBand(r, [&](int32_t off) { FTarget->FillRectAlpha(r.offset(off, 0), colour, opacity); });
}

void TDIBXWave::FillRectAdd(const TRect& r, uint32_t colour) {
    forEachBand(r, [&](int32_t off) { FTarget->FillRectAdd(r.offset(off, 0), colour); });
}

void TDIBXWave::FillRectSub(const TRect& r, uint32_t colour) {
    forEachBand(r, [&](int32_t off) { FTarget->FillRectSub(r.offset(off, 0), colour); });
}

void TDIBXWave::Assign(TCustomDIBX& source) {
    Draw(0, 0, false, false, false, TRect(0, 0, source.GetWidth(), source.GetHeight()), source);
}

void TDIBXWave::Draw(int32_t x, int32_t y, bool flipV, bool flipH, bool transparent, const TRect& srcRect,
                     TCustomDIBX& source) {
    forEachBand(rowsAt(y, srcRect),
                [&](int32_t off) { FTarget->Draw(x + off, y, flipV, flipH, transparent, srcRect, source); });
}

void TDIBXWave::DrawMask(int32_t x, int32_t y, TCustomDIBX& mask, bool flipV, bool flipH, const TRect& srcRect,
                         TCustomDIBX& source) {
    forEachBand(rowsAt(y, srcRect),
                [&](int32_t off) { FTarget->DrawMask(x + off, y, mask, flipV, flipH, srcRect, source); });
}

void TDIBXWave::DrawAlpha(int32_t x, int32_t y, int32_t opacity, bool flipV, bool flipH, bool transparent,
                          const TRect& srcRect, TCustomDIBX& source) {
    forEachBand(rowsAt(y, srcRect), [&](int32_t off) {
        FTarget->DrawAlpha(x + off, y, opacity, flipV, flipH, transparent, srcRect, source);
    });
}

void TDIBXWave::DrawAlphaMask(int32_t x, int32_t y, int32_t opacity, TCustomDIBX& mask, bool flipV, bool flipH,
                              const TRect& srcRect, TCustomDIBX& source) {
    forEachBand(rowsAt(y, srcRect), [&](int32_t off) {
        FTarget->DrawAlphaMask(x + off, y, opacity, mask, flipV, flipH, srcRect, source);
    });
}

void TDIBXWave::DrawAdd(int32_t x, int32_t y, int32_t opacity, bool flipV, bool flipH, const TRect& srcRect,
                        TCustomDIBX& source) {
    forEachBand(rowsAt(y, srcRect),
                [&](int32_t off) { FTarget->DrawAdd(x + off, y, opacity, flipV, flipH, srcRect, source); });
}

void TDIBXWave::DrawAddMask(int32_t x, int32_t y, int32_t opacity, TCustomDIBX& mask, bool flipV, bool flipH,
                            const TRect& srcRect, TCustomDIBX& source) {
    forEachBand(rowsAt(y, srcRect), [&](int32_t off) {
        FTarget->DrawAddMask(x + off, y, opacity, mask, flipV, flipH, srcRect, source);
    });
}

void TDIBXWave::DrawColorMask(int32_t x, int32_t y, int32_t opacity, uint32_t colour, bool flipV, bool flipH,
                              const TRect& srcRect, TCustomDIBX& mask) {
    forEachBand(rowsAt(y, srcRect), [&](int32_t off) {
        FTarget->DrawColorMask(x + off, y, opacity, colour, flipV, flipH, srcRect, mask);
    });
}

void TDIBXWave::DrawRotate(int32_t x, int32_t y, int32_t opacity, bool flipV, bool flipH, bool transparent,
                           int32_t angle, int32_t centreX, int32_t centreY, int32_t zoomX, int32_t zoomY,
                           const TRect& srcRect, TCustomDIBX& source) {
    TRect area = GetRotateBounds(x, y, srcRect, centreX, centreY, flipV, flipH, angle, zoomX, zoomY);
    forEachBand(area, [&](int32_t off) {
        FTarget->DrawRotate(x + off, y, opacity, flipV, flipH, transparent, angle, centreX, centreY, zoomX, zoomY,
                            srcRect, source);
    });
}

void TDIBXWave::DrawRotateMask(int32_t x, int32_t y, int32_t opacity, TCustomDIBX& mask, bool flipV, bool flipH,
                               int32_t angle, int32_t centreX, int32_t centreY, int32_t zoomX, int32_t zoomY,
                               const TRect& srcRect, TCustomDIBX& source) {
    TRect area = GetRotateBounds(x, y, srcRect, centreX, centreY, flipV, flipH, angle, zoomX, zoomY);
    forEachBand(area, [&](int32_t off) {
        FTarget->DrawRotateMask(x + off, y, opacity, mask, flipV, flipH, angle, centreX, centreY, zoomX, zoomY,
                                srcRect, source);
    });
}

void TDIBXWave::StretchDrawAlpha(const TRect& destRect, TCustomDIBX& source, int32_t opacity, bool flipV,
                                 bool flipH, bool transparent, const TRect& srcRect) {
    forEachBand(destRect, [&](int32_t off) {
        FTarget->StretchDrawAlpha(destRect.offset(off, 0), source, opacity, flipV, flipH, transparent, srcRect);
    });
}

void TDIBXWave::StretchDrawAlphaMask(const TRect& destRect, TCustomDIBX& source, int32_t opacity, TCustomDIBX& mask,
                                     bool flipV, bool flipH, const TRect& srcRect) {
    forEachBand(destRect, [&](int32_t off) {
        FTarget->StretchDrawAlphaMask(destRect.offset(off, 0), source, opacity, mask, flipV, flipH, srcRect);
    });
}

void TDIBXWave::StretchDrawAdd(const TRect& destRect, TCustomDIBX& source, int32_t opacity, bool flipV, bool flipH,
                               bool transparent, const TRect& srcRect) {
    forEachBand(destRect, [&](int32_t off) {
        FTarget->StretchDrawAdd(destRect.offset(off, 0), source, opacity, flipV, flipH, transparent, srcRect);
    });
}

void TDIBXWave::StretchDrawAddMask(const TRect& destRect, TCustomDIBX& source, int32_t opacity, TCustomDIBX& mask,
                                   bool flipV, bool flipH, const TRect& srcRect) {
    forEachBand(destRect, [&](int32_t off) {
        FTarget->StretchDrawAddMask(destRect.offset(off, 0), source, opacity, mask, flipV, flipH, srcRect);
    });
}

void TDIBXWave::DrawReduced(int32_t x, int32_t y, int32_t factor, int32_t opacity, bool flipV, bool flipH,
                            uint32_t colour, const TRect& srcRect, TCustomDIBX& source) {
    forEachBand(rowsAt(y, srcRect), [&](int32_t off) {
        FTarget->DrawReduced(x + off, y, factor, opacity, flipV, flipH, colour, srcRect, source);
    });
}

void TDIBXWave::DrawIndexed(int32_t x, int32_t y, const uint32_t* colourTable, int32_t opacity, bool flipV,
                            bool flipH, const TRect& srcRect, TCustomDIBX& source) {
    forEachBand(rowsAt(y, srcRect), [&](int32_t off) {
        FTarget->DrawIndexed(x + off, y, colourTable, opacity, flipV, flipH, srcRect, source);
    });
}

void TDIBXWave::DrawIndexedAdd(int32_t x, int32_t y, const uint32_t* colourTable, int32_t opacity,
                               int32_t threshold, bool flipV, bool flipH, const TRect& srcRect,
                               TCustomDIBX& source) {
    forEachBand(rowsAt(y, srcRect), [&](int32_t off) {
        FTarget->DrawIndexedAdd(x + off, y, colourTable, opacity, threshold, flipV, flipH, srcRect, source);
    });
}

void TDIBXWave::StretchDrawIndexed(const TRect& destRect, const uint32_t* colourTable, int32_t opacity,
                                   int32_t threshold, bool flipV, bool flipH, const TRect& srcRect,
                                   TCustomDIBX& source) {
    forEachBand(destRect, [&](int32_t off) {
        FTarget->StretchDrawIndexed(destRect.offset(off, 0), colourTable, opacity, threshold, flipV, flipH, srcRect,
                                    source);
    });
}

void TDIBXWave::FillPattern(const TRect& r, TCustomDIBX& pattern, bool flipV, bool flipH, int32_t offsetX,
                            int32_t offsetY) {
    forEachBand(r, [&](int32_t off) { FTarget->FillPattern(r.offset(off, 0), pattern, flipV, flipH, offsetX, offsetY); });
}

void TDIBXWave::FillZoomPattern(const TRect& r, TCustomDIBX& pattern, int32_t zoomX, int32_t zoomY, int32_t offsetX,
                                int32_t offsetY, bool flipV, bool flipH, bool transparent, int32_t opacity) {
    forEachBand(r, [&](int32_t off) {
        FTarget->FillZoomPattern(r.offset(off, 0), pattern, zoomX, zoomY, offsetX, offsetY, flipV, flipH, transparent,
                                 opacity);
    });
}

void TDIBXWave::FillZoomPatternMask(const TRect& r, TCustomDIBX& pattern, TCustomDIBX& mask, int32_t zoomX,
                                    int32_t zoomY, int32_t offsetX, int32_t offsetY, bool flipV, bool flipH,
                                    int32_t opacity) {
    forEachBand(r, [&](int32_t off) {
        FTarget->FillZoomPatternMask(r.offset(off, 0), pattern, mask, zoomX, zoomY, offsetX, offsetY, flipV, flipH,
                                     opacity);
    });
}

} // namespace zuno
