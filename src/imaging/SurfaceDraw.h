// Drawing engines shared by the surface operations (not a public interface).
#pragma once

#include <memory>
#include <vector>

#include "imaging/SurfaceRows.h"

namespace zuno {

// A copy or blend of srcRect at (x, y), clipped, with flips; mask (8 bits,
// same coordinates as the source) for the mask operations; useKey skips the
// source's TransparentColor.
void drawFixed(TCustomDIBX& dst, int32_t x, int32_t y, bool flipV, bool flipH, const TRect& srcRect,
               TCustomDIBX& source, TCustomDIBX* mask, TRunParams p, bool useKey);

// srcRect scaled over destRect, nearest sample, 16.16 stepping.
void drawStretch(TCustomDIBX& dst, const TRect& destRect, bool flipV, bool flipH, const TRect& srcRect,
                 TCustomDIBX& source, TCustomDIBX* mask, TRunParams p, bool useKey);

// The source index of each destination pixel along one axis of a stretch:
// destination [destStart, destStart + destSize) shows source [srcStart,
// srcStart + srcSize); only `count` pixels from cutStart are mapped. Indices
// outside the source or beyond `limit` are -1; First..Last spans the valid ones.
struct TStretchMap {
    std::vector<int32_t> Index;
    int32_t First = 0;
    int32_t Last = -1;
    TStretchMap(int32_t srcStart, int32_t srcSize, int32_t destStart, int32_t destSize, int32_t cutStart,
                int32_t count, bool flip, int32_t limit);
};

} // namespace zuno
