// The scene in memory: the picture the display objects are composed into each
// frame, and what the platform presents. 32 bits per pixel, one uint32_t per
// pixel holding 0x00RRGGBB (in memory on a little-endian machine: B, G, R, 0),
// rows top to bottom without padding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zuno {

// A rectangle in scene pixels; right and bottom are exclusive.
struct TPresentRect {
    int32_t             left = 0;
    int32_t             top = 0;
    int32_t             right = 0;
    int32_t             bottom = 0;

    bool                empty() const { return right <= left || bottom <= top; }
    bool                operator==(const TPresentRect&) const = default;
};

class TSceneBuffer {
public:
                        TSceneBuffer() = default;
                        TSceneBuffer(int width, int height);     // black

    void                resize(int width, int height);           // black; negative sizes count as 0
    int                 width() const { return FWidth; }
    int                 height() const { return FHeight; }
    uint32_t*           row(int y) { return FPixels.data() + static_cast<size_t>(y) * FWidth; }
    const uint32_t*     row(int y) const { return FPixels.data() + static_cast<size_t>(y) * FWidth; }
    uint32_t            pixel(int x, int y) const { return row(y)[x]; }
    void                setPixel(int x, int y, uint32_t rgb) { row(y)[x] = rgb; }
    void                fill(uint32_t rgb);
    int                 pitchBytes() const { return FWidth * 4; }
    uint32_t*           data() { return FPixels.data(); }
    const uint32_t*     data() const { return FPixels.data(); }
    TPresentRect        bounds() const { return {0, 0, FWidth, FHeight}; }
    TPresentRect        clip(const TPresentRect& r) const;       // r inside the buffer, maybe empty

private:
    int                 FWidth = 0;
    int                 FHeight = 0;
    std::vector<uint32_t> FPixels;
};

} // namespace zuno
