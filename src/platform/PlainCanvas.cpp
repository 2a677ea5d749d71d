#include "platform/PlainCanvas.h"

namespace zuno {

namespace {

uint32_t blend(uint32_t back, uint32_t fore, int level) {     // level 0..3
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        uint32_t b = (back >> shift) & 0xFF;
        uint32_t f = (fore >> shift) & 0xFF;
        out |= ((b * (3 - level) + f * level) / 3) << shift;
    }
    return out;
}

} // namespace

// ---------------------------------------------------------------- TPlainCanvas

void TPlainCanvas::put(int32_t x, int32_t y, uint32_t rgb) {
    if (x >= 0 && y >= 0 && x < FWidth && y < FHeight)
        FPixels[y * FPitch + x] = rgb;
}

uint32_t TPlainCanvas::get(int32_t x, int32_t y) const {
    if (x >= 0 && y >= 0 && x < FWidth && y < FHeight)
        return FPixels[y * FPitch + x];
    return 0;
}

void TPlainCanvas::fill(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t rgb) {
    for (int32_t j = y; j < y + h; ++j)
        for (int32_t i = x; i < x + w; ++i)
            put(i, j, rgb);
}

void TPlainCanvas::hline(int32_t x0, int32_t x1, int32_t y, uint32_t rgb) {
    for (int32_t x = x0; x <= x1; ++x)
        put(x, y, rgb);
}

void TPlainCanvas::vline(int32_t x, int32_t y0, int32_t y1, uint32_t rgb) {
    for (int32_t y = y0; y <= y1; ++y)
        put(x, y, rgb);
}

void TPlainCanvas::bevel(int32_t x, int32_t y, int32_t w, int32_t h, bool sunken) {
    int32_t r = x + w - 1;
    int32_t b = y + h - 1;
    uint32_t lt = sunken ? kDarkColour : kLightColour;
    uint32_t rb = sunken ? kLightColour : kDarkColour;
    hline(x, r, y, lt);
    vline(x, y, b, lt);
    hline(x, r, b, rb);
    vline(r, y, b, rb);
    hline(x + 1, r - 1, sunken ? y + 1 : b - 1, kShadowColour);
    vline(sunken ? x + 1 : r - 1, y + 1, b - 1, kShadowColour);
}

void TPlainCanvas::label(int32_t x, int32_t y, const TLabelBitmap& l, uint32_t rgb) {
    for (int32_t j = 0; j < l.height; ++j)
        for (int32_t i = 0; i < l.width; ++i) {
            char c = l.rows[j * l.width + i];
            int level = c == '#' ? 3 : c == '+' ? 2 : c == '.' ? 1 : 0;
            if (level > 0)
                put(x + i, y + j, blend(get(x + i, y + j), rgb, level));
        }
}

void TPlainCanvas::disabledLabel(int32_t x, int32_t y, const TLabelBitmap& l) {
    label(x + 1, y + 1, l, kLightColour);
    label(x, y, l, kShadowColour);
}

} // namespace zuno
