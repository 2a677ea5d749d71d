// Drawing one glyph into a pair of pictures: a colour picture (15, 16 or 32
// bits; other depths are left unchanged by the colour primitives) and an
// 8-bit alpha picture of the same coordinates. Every primitive places the
// mask's top-left at (x, y) and clips it to the target's bounds; a mask
// value of 0 changes nothing. Colours are pixel values of the colour
// picture's format.
#pragma once

#include <cstdint>

#include "imaging/TRect.h"

namespace zuno {

class TCustomDIBX;
class TFontPixel;
class TFontPixelManager;

void    DrawSolid(TFontPixel& glyph, TCustomDIBX& colour, int32_t x, int32_t y, uint32_t c);
// Full coverage gives the text colour, partial coverage blends it over the
// under colour (not over the pixel).
void    DrawOverColour(TFontPixel& glyph, TCustomDIBX& colour, int32_t x, int32_t y, uint32_t text, uint32_t under);
// Coverage laid over what the pictures hold: the alpha grows, the colour is
// blended in by the share the new coverage has in it.
void    DrawComposite(TFontPixel& glyph, TCustomDIBX& colour, TCustomDIBX& alpha, int32_t x, int32_t y, uint32_t c);
void    MarkAlpha(TFontPixel& glyph, TCustomDIBX& alpha, int32_t x, int32_t y);
void    MaxAlpha(TFontPixel& glyph, TCustomDIBX& alpha, int32_t x, int32_t y);
// The mask composited at every offset of the (2w + 1) square around each of
// its pixels except the centre.
void    DrawBorder(TFontPixel& glyph, TCustomDIBX& colour, TCustomDIBX& alpha, int32_t x, int32_t y, uint32_t c,
                   int32_t w);

struct TDrawCharColours {
    uint32_t            Shadow = 0;
    uint32_t            Border = 0;
    uint32_t            Text = 0;
};

struct TDrawCharRun {
    bool                Last = false;       // last character of a run of equal border and shadow
    bool                First = false;      // first character of such a run
};

// One character into its cell, with shadow offset d and border width w,
// underline and strike-out bands; with `clear` the pictures under the glyph
// are reset first. The manager measures the A/B/C widths that centre a
// narrow glyph. Returns the changed rectangle (empty for an empty mask).
TRect   DrawChar(TFontPixelManager& manager, TFontPixel& glyph, TCustomDIBX& colour, TCustomDIBX& alpha, bool clear,
                 const TDrawCharColours& colours, TDrawCharRun run, int32_t d, int32_t w, const TRect& cell);

// The centring offset of step 2 of DrawChar, for a cell of width cellWidth.
int32_t centringOffset(TFontPixelManager& manager, TFontPixel& glyph, int32_t cellWidth);

} // namespace zuno
