// Copies of Drel frames into surfaces: what the image components do with a
// loaded frame (its picture into a surface of the screen's format, its mask
// into an 8-bit surface).
#pragma once

#include "imaging/TCustomDIBX.h"
#include "imaging/TDrelFrameList.h"

namespace zuno {

// Resizes dest to the frame (keeping dest's bit count) and copies the
// picture in, with the frame's two rectangle lists. 24- and 32-bit frames go
// to 32-bit surfaces directly (32-bit frames keep the low 24 bits); every
// other pair of formats is converted through the surface's Draw.
void copyFrameToSurface(const TDrelFrame& frame, TCustomDIBX& dest);
// Resizes dest to the frame as an 8-bit surface and copies the mask in;
// false (dest untouched) when the frame has no mask.
bool copyFrameMaskToSurface(const TDrelFrame& frame, TCustomDIBX& dest);

} // namespace zuno
