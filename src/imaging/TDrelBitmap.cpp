#include "imaging/TDrelBitmap.h"

#include <cstring>

#include "core/EZunoError.h"
#include "core/StreamFields.h"

namespace zuno {

namespace {

// Expands a channel of n bits to 8 bits by repeating its high bits.
inline uint32_t expand(uint32_t v, int n) {
    return n == 5 ? (v << 3) | (v >> 2) : (v << 2) | (v >> 4);
}

int32_t rgb(uint32_t r, uint32_t g, uint32_t b) { return int32_t(r | (g << 8) | (b << 16)); }

} // namespace

// ---------------------------------------------------------------- format

bool TDrelBitmap::isValidBitCount(int32_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 15 || bits == 16 || bits == 24 || bits == 32;
}

size_t TDrelBitmap::rowBytesOf(int32_t width, int32_t bits) {
    return ((size_t(width) * size_t(storedBits(bits)) + 31) / 32) * 4;
}

TDrelBitmap::TDrelBitmap(const TDrelBitmap& other)
    : Palette(other.Palette), FWidth(other.FWidth), FHeight(other.FHeight), FBits(other.FBits),
      FRowBytes(other.FRowBytes), FByteSize(other.FByteSize),
      FPixels(other.FByteSize ? new uint8_t[other.FByteSize] : nullptr) {
    if (FByteSize)
        std::memcpy(FPixels.get(), other.FPixels.get(), FByteSize);
}

TDrelBitmap& TDrelBitmap::operator=(const TDrelBitmap& other) {
    if (this != &other) {
        TDrelBitmap copy(other);
        *this = std::move(copy);
    }
    return *this;
}

void TDrelBitmap::SetSize(int32_t width, int32_t height, int32_t bits) {
    SetSizeUncleared(width, height, bits);
    if (FByteSize)
        std::memset(FPixels.get(), 0, FByteSize);
}

void TDrelBitmap::SetSizeUncleared(int32_t width, int32_t height, int32_t bits) {
    if (!isValidBitCount(bits))
        throw EZunoError::fromUtf8("対応していない色数です (" + std::to_string(bits) + " ビット)");
    if (width < 0 || height < 0 || width > kMaxImageSide || height > kMaxImageSide)
        throw EZunoError::fromUtf8("画像の大きさが不正です (" + std::to_string(width) + "x" +
                                   std::to_string(height) + ")");
    FWidth = width;
    FHeight = height;
    FBits = bits;
    FRowBytes = rowBytesOf(width, bits);
    const size_t size = FRowBytes * size_t(height);
    if (size != FByteSize || !FPixels) {
        FPixels.reset(size ? new uint8_t[size] : nullptr);
        FByteSize = size;
    }
}

void TDrelBitmap::SetGrayPalette() {
    int n = PaletteSize();
    for (int i = 0; i < n; ++i) {
        uint8_t v = uint8_t(n > 1 ? i * 255 / (n - 1) : 0);
        Palette[i] = TRGBQuad{v, v, v, 0};
    }
}

// ---------------------------------------------------------------- pixels

uint32_t TDrelBitmap::GetPixel(int32_t x, int32_t y) const {
    const uint8_t* r = Row(y);
    switch (FBits) {
    case 1: return (r[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (r[x >> 1] >> ((x & 1) ? 0 : 4)) & 15;
    case 8: return r[x];
    case 15:
    case 16: return getLE16(r + 2 * x);
    case 24: return uint32_t(r[3 * x]) | (uint32_t(r[3 * x + 1]) << 8) | (uint32_t(r[3 * x + 2]) << 16);
    default: return getLE32(r + 4 * x);
    }
}

void TDrelBitmap::SetPixel(int32_t x, int32_t y, uint32_t v) {
    uint8_t* r = Row(y);
    switch (FBits) {
    case 1: {
        uint8_t bit = uint8_t(0x80 >> (x & 7));
        r[x >> 3] = uint8_t((v & 1) ? r[x >> 3] | bit : r[x >> 3] & ~bit);
        break;
    }
    case 4:
        if (x & 1)
            r[x >> 1] = uint8_t((r[x >> 1] & 0xF0) | (v & 15));
        else
            r[x >> 1] = uint8_t((r[x >> 1] & 0x0F) | ((v & 15) << 4));
        break;
    case 8: r[x] = uint8_t(v); break;
    case 15:
    case 16: putLE16(r + 2 * x, uint16_t(v)); break;
    case 24:
        r[3 * x] = uint8_t(v);
        r[3 * x + 1] = uint8_t(v >> 8);
        r[3 * x + 2] = uint8_t(v >> 16);
        break;
    default: putLE32(r + 4 * x, v); break;
    }
}

void TDrelBitmap::Fill(uint32_t pixel) {
    if (IsEmpty())
        return;
    switch (FBits) {
    case 1: std::memset(FPixels.get(), (pixel & 1) ? 0xFF : 0, FByteSize); return;
    case 4: std::memset(FPixels.get(), int((pixel & 15) * 0x11), FByteSize); return;
    case 8: std::memset(FPixels.get(), int(pixel & 0xFF), FByteSize); return;
    default: break;
    }
    for (int32_t x = 0; x < FWidth; ++x)
        SetPixel(x, 0, pixel);
    for (int32_t y = 1; y < FHeight; ++y)
        std::memcpy(Row(y), Row(0), FRowBytes);
}

// ---------------------------------------------------------------- colours

int32_t TDrelBitmap::PixelToColor(uint32_t p) const {
    switch (FBits) {
    case 1:
    case 4:
    case 8: {
        const TRGBQuad& q = Palette[p & 0xFF];
        return rgb(q.Red, q.Green, q.Blue);
    }
    case 15: return rgb(expand((p >> 10) & 31, 5), expand((p >> 5) & 31, 5), expand(p & 31, 5));
    case 16: return rgb(expand((p >> 11) & 31, 5), expand((p >> 5) & 63, 6), expand(p & 31, 5));
    default: return rgb((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
}

uint32_t TDrelBitmap::ColorToPixel(int32_t c) const {
    uint32_t r = uint32_t(c) & 0xFF, g = (uint32_t(c) >> 8) & 0xFF, b = (uint32_t(c) >> 16) & 0xFF;
    switch (FBits) {
    case 1:
    case 4:
    case 8: {
        int n = PaletteSize(), best = 0;
        int bestDist = 1 << 30;
        for (int i = 0; i < n; ++i) {
            int dr = int(Palette[i].Red) - int(r), dg = int(Palette[i].Green) - int(g),
                db = int(Palette[i].Blue) - int(b);
            int d = dr * dr + dg * dg + db * db;
            if (d < bestDist) {
                bestDist = d;
                best = i;
            }
        }
        return uint32_t(best);
    }
    case 15: return ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
    case 16: return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
    default: return b | (g << 8) | (r << 16);
    }
}

uint32_t TDrelBitmap::ColorMask() const {
    switch (FBits) {
    case 15: return 0x7FFF;
    case 16: return 0xFFFF;
    case 24:
    case 32: return 0xFFFFFF;
    default: return uint32_t(PaletteSize() - 1);
    }
}

TDrelBitmap TDrelBitmap::ConvertedTo(int32_t bits) const {
    TDrelBitmap out(FWidth, FHeight, bits);
    if (bits == FBits) {
        out = *this;
        return out;
    }
    if (bits <= 8) {
        if (IsPalette())
            out.Palette = Palette;
        else
            out.SetGrayPalette();
    }
    // Palette look-ups are cached per 5-5-5 colour.
    std::vector<int32_t> cache(bits <= 8 ? 32768 : 0, -1);
    for (int32_t y = 0; y < FHeight; ++y) {
        for (int32_t x = 0; x < FWidth; ++x) {
            int32_t c = PixelToColor(GetPixel(x, y));
            uint32_t v;
            if (bits <= 8) {
                uint32_t key = ((c & 0xF8) >> 3) | ((c & 0xF800) >> 6) | ((c & 0xF80000) >> 9);
                if (cache[key] < 0)
                    cache[key] = int32_t(out.ColorToPixel(c));
                v = uint32_t(cache[key]);
            } else {
                v = out.ColorToPixel(c);
            }
            out.SetPixel(x, y, v);
        }
    }
    return out;
}

TDrelBitmap TDrelBitmap::Cropped(int32_t x0, int32_t y0, int32_t w, int32_t h) const {
    TDrelBitmap out(w, h, FBits);
    out.Palette = Palette;
    if (FBits >= 8) {
        size_t bpp = size_t(StoredBits() / 8);
        for (int32_t y = 0; y < h; ++y)
            std::memcpy(out.Row(y), Row(y0 + y) + size_t(x0) * bpp, size_t(w) * bpp);
    } else {
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x)
                out.SetPixel(x, y, GetPixel(x0 + x, y0 + y));
    }
    return out;
}

} // namespace zuno
