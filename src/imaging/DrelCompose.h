// Composition of Drel layers into their frame, and the row order of
// protected images. Internal to the Drel reader and writer.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/TDrelBitmap.h"

namespace zuno {

// Image row (or block-table entry) order of a protected image: order[i] is
// the image row that stored row i holds. Seed 0 gives 0, 1, 2, ...
std::vector<int32_t> permutationOrder(int32_t idCode, int32_t count);

// The layer picture and the frame have the same size and format.
void composeCopy(TDrelBitmap& frame, const TDrelBitmap& layer);
// Per pixel: m = 0 unchanged, 255 copy, else d := (d (255 - m) + s m) >> 8.
void composeMask(TDrelBitmap& frame, const TDrelBitmap& layer, const TDrelBitmap& mask);
// Opacity 0 nothing, above 254 copy, else d := (d (255 - a) + s a) >> 8;
// pixels equal to `transparent` (a pixel value, -1 none) are skipped.
// Palette frames apply opacity / 16 through an ordered 4 x 4 dither.
void composeAlpha(TDrelBitmap& frame, const TDrelBitmap& layer, int32_t opacity, int32_t transparent);

} // namespace zuno
