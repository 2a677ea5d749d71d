// Plain drawing into a 32-bit pixel block (0x00RRGGBB) for the few pieces the
// platform draws itself: the top strip and the settings dialog. Their fixed
// labels are embedded bitmaps (EmbeddedLabels.inc) until the glyph cache can
// draw them.
#pragma once

#include <cstdint>

namespace zuno {

// A label rendered in advance: height rows of width characters, each ' ' (no
// ink), '.' (1/3), '+' (2/3) or '#' (full ink).
struct TLabelBitmap {
    int32_t             width;
    int32_t             height;
    const char*         rows;
};

namespace labels {
#include "platform/EmbeddedLabels.inc"
} // namespace labels

class TPlainCanvas {
public:
                        TPlainCanvas(uint32_t* pixels, int32_t width, int32_t height, int32_t pitch)
                            : FPixels(pixels), FWidth(width), FHeight(height), FPitch(pitch) {}

    void                put(int32_t x, int32_t y, uint32_t rgb);                                 // clipped
    uint32_t            get(int32_t x, int32_t y) const;                                         // 0 outside
    void                fill(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t rgb);
    void                hline(int32_t x0, int32_t x1, int32_t y, uint32_t rgb);                  // x0..x1 inclusive
    void                vline(int32_t x, int32_t y0, int32_t y1, uint32_t rgb);                  // y0..y1 inclusive
    void                bevel(int32_t x, int32_t y, int32_t w, int32_t h, bool sunken);          // raised or sunken 3-D edge
    void                label(int32_t x, int32_t y, const TLabelBitmap& l, uint32_t rgb);        // blended over what is there
    void                disabledLabel(int32_t x, int32_t y, const TLabelBitmap& l);              // grey with a light shadow

private:
    uint32_t*           FPixels;
    int32_t             FWidth;
    int32_t             FHeight;
    int32_t             FPitch;
};

constexpr uint32_t kFaceColour = 0xD4D0C8;      // the classic dialog face
constexpr uint32_t kLightColour = 0xFFFFFF;
constexpr uint32_t kShadowColour = 0x808080;
constexpr uint32_t kDarkColour = 0x404040;

} // namespace zuno
