// The memory bitmap beneath Drel frames and layers: a device-independent
// picture in one of the Windows pixel formats, rows top-down, each row padded
// to a multiple of 4 bytes (the row layout the Drel format stores).
//
// Bit counts: 1, 4, 8 (palette indices, 1 and 4 packed most significant
// first), 15 (16-bit words 5-5-5), 16 (5-6-5), 24 (blue, green, red) and 32
// (blue, green, red, unused). Pixel values are those of TCustomDIBX.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/TCustomDIBX.h"

namespace zuno {

// Largest width or height of a picture read from data; larger pictures are
// refused before anything is allocated.
constexpr int32_t kMaxImageSide = 16384;

class TDrelBitmap {
public:
                        TDrelBitmap() = default;
                        TDrelBitmap(int32_t width, int32_t height, int32_t bits) { SetSize(width, height, bits); }
                        TDrelBitmap(const TDrelBitmap& other);
                        TDrelBitmap(TDrelBitmap&& other) noexcept = default;
    TDrelBitmap&        operator=(const TDrelBitmap& other);
    TDrelBitmap&        operator=(TDrelBitmap&& other) noexcept = default;

    static bool         isValidBitCount(int32_t bits);
    static int32_t      storedBits(int32_t bits) { return bits == 15 ? 16 : bits; }
    static size_t       rowBytesOf(int32_t width, int32_t bits);       // padded to 4 bytes

    void                SetSize(int32_t width, int32_t height, int32_t bits);  // zero-filled; checks the format
    // The same without clearing the pixels, for decoders that write every byte.
    void                SetSizeUncleared(int32_t width, int32_t height, int32_t bits);
    bool                IsEmpty() const { return FWidth <= 0 || FHeight <= 0; }
    int32_t             Width() const { return FWidth; }
    int32_t             Height() const { return FHeight; }
    int32_t             BitCount() const { return FBits; }
    int32_t             StoredBits() const { return storedBits(FBits); }
    bool                IsPalette() const { return FBits <= 8; }
    size_t              RowBytes() const { return FRowBytes; }
    size_t              ByteSize() const { return FByteSize; }
    uint8_t*            Row(int32_t y) { return FPixels.get() + size_t(y) * FRowBytes; }
    const uint8_t*      Row(int32_t y) const { return FPixels.get() + size_t(y) * FRowBytes; }
    uint8_t*            Bits() { return FPixels.get(); }
    const uint8_t*      Bits() const { return FPixels.get(); }

    TPalette            Palette{};                                      // used for 1, 4 and 8 bits
    int32_t             PaletteSize() const { return FBits <= 8 ? 1 << FBits : 0; }
    void                SetGrayPalette();                               // entry i = (i, i, i) scaled to the depth

    uint32_t            GetPixel(int32_t x, int32_t y) const;          // x, y inside the picture
    void                SetPixel(int32_t x, int32_t y, uint32_t v);
    void                Fill(uint32_t pixel);

    int32_t             PixelToColor(uint32_t pixel) const;            // -> 0x00BBGGRR
    uint32_t            ColorToPixel(int32_t rgb) const;               // nearest palette entry for <= 8 bits
    uint32_t            ColorMask() const;                             // pixel bits that carry colour

    // The picture converted to another bit count (colours through
    // PixelToColor/ColorToPixel; palette targets get this bitmap's palette
    // when it has one, else nearest entries of the given one).
    TDrelBitmap         ConvertedTo(int32_t bits) const;
    // Copies the rectangle (x, y, w, h), which must lie inside the picture.
    TDrelBitmap         Cropped(int32_t x, int32_t y, int32_t w, int32_t h) const;

private:
    int32_t             FWidth = 0;
    int32_t             FHeight = 0;
    int32_t             FBits = 8;
    size_t              FRowBytes = 0;
    size_t              FByteSize = 0;
    std::unique_ptr<uint8_t[]> FPixels;         // FByteSize bytes
};

} // namespace zuno
