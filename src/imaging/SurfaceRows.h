// Row machinery shared by the surface operations (not a public interface).
//
// An operation locks its surfaces once (TLockedSurface), works out which
// source pixel lands on which destination pixel (clipping, flips, scaling),
// gathers each destination run's source pixels into a buffer of 32-bit
// values in the destination's format (TPixelConverter), and hands the run to
// a kernel of the format's table (TRunBlender).
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "imaging/BlendKernels.h"
#include "imaging/TCustomDIBX.h"

namespace zuno {

// Pixel value <-> 0x00BBGGRR colour for a bit count (palette formats aside).
uint32_t    colorToPixelBits(int32_t bits, int32_t rgb);
int32_t     pixelToColorBits(int32_t bits, uint32_t pixel);
// The palette entry closest to a colour (squared distance, first wins).
uint8_t     nearestPaletteIndex(const TPalette& palette, int32_t rgb);
inline int32_t quadToColor(const TRGBQuad& q) { return q.Red | (q.Green << 8) | (q.Blue << 16); }

inline uint32_t readPixel(const uint8_t* row, int32_t x, int32_t bits) {
    switch (bits) {
    case 32: { uint32_t v; std::memcpy(&v, row + 4 * x, 4); return v; }
    case 24: return uint32_t(row[3 * x]) | (uint32_t(row[3 * x + 1]) << 8) | (uint32_t(row[3 * x + 2]) << 16);
    case 15:
    case 16: { uint16_t v; std::memcpy(&v, row + 2 * x, 2); return v; }
    case 8: return row[x];
    case 4: return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15;
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    default: return 0;
    }
}

inline void writePixel(uint8_t* row, int32_t x, int32_t bits, uint32_t v) {
    switch (bits) {
    case 32: std::memcpy(row + 4 * x, &v, 4); break;
    case 24: row[3 * x] = uint8_t(v); row[3 * x + 1] = uint8_t(v >> 8); row[3 * x + 2] = uint8_t(v >> 16); break;
    case 15:
    case 16: { uint16_t w = uint16_t(v); std::memcpy(row + 2 * x, &w, 2); break; }
    case 8: row[x] = uint8_t(v); break;
    case 4: {
        int sh = (x & 1) ? 0 : 4;
        row[x >> 1] = uint8_t((row[x >> 1] & ~(15 << sh)) | ((v & 15) << sh));
        break;
    }
    case 1: {
        int sh = 7 - (x & 7);
        row[x >> 3] = uint8_t((row[x >> 3] & ~(1 << sh)) | ((v & 1) << sh));
        break;
    }
    default: break;
    }
}

// A surface locked for the length of one operation; unlocks in every path.
class TLockedSurface {
public:
    explicit    TLockedSurface(TCustomDIBX& s);
                ~TLockedSurface() { if (FBase) FSurface.Unlock(); }
                TLockedSurface(const TLockedSurface&) = delete;
    TLockedSurface& operator=(const TLockedSurface&) = delete;

    bool        ok() const { return FBase != nullptr; }
    uint8_t*    row(int32_t y) const { return FBase + int64_t(y) * FPitch; }
    int64_t     pitch() const { return FPitch; }
    int32_t     bits() const { return FBits; }
    int32_t     width() const { return FWidth; }
    int32_t     height() const { return FHeight; }
    TCustomDIBX& surface() { return FSurface; }

private:
    TCustomDIBX& FSurface;
    uint8_t*    FBase = nullptr;
    int32_t     FPitch = 0;
    int32_t     FBits = 0;
    int32_t     FWidth = 0;
    int32_t     FHeight = 0;
};

// Turns source pixel values into destination pixel values. With a colour
// key, key pixels become kKeySentinel, a value no converted pixel takes, so
// kernels can skip them after conversion.
class TPixelConverter {
public:
    static constexpr uint32_t kKeySentinel = 0xFFFFFFFFu;

                TPixelConverter(TCustomDIBX& source, TCustomDIBX& dest, bool useKey);
    bool        identity() const { return FIdentity; }
    bool        useKey() const { return FUseKey; }
    uint32_t    key() const { return FKey; }            // in destination terms
    uint32_t    convert(uint32_t v) const;

private:
    bool        FIdentity = true;
    bool        FUseKey = false;
    uint32_t    FKey = 0;
    uint32_t    FSourceKey = 0;
    int32_t     FSrcBits = 0;
    int32_t     FDstBits = 0;
    bool        FTable = false;                       // palette source: look-up table
    std::vector<uint32_t> FLookup;
    std::unique_ptr<TPalette> FDstPalette;            // palette destinations only (a small draw
                                                      // should not clear 1 KB it never reads)
};

enum class TRunOp { Copy, CopyKey, Mask, Alpha, AlphaMask, Add, AddMask, ColorMask, ColorMaskAdd, IndexAdd };

struct TRunParams {
    TRunOp      Op = TRunOp::Copy;
    uint32_t    A = 255;            // opacity 0..255
    bool        UseKey = false;
    uint32_t    Key = 0;
    uint32_t    Colour = 0;         // ColorMask
};

// Applies one operation to runs of a destination's rows. Palette
// destinations take copies; 8-bit ones also take the blends on their one
// channel and the index-adding IndexAdd; 1- and 4-bit ones only copies.
class TRunBlender {
public:
                TRunBlender(int32_t destBits, const TRunParams& p);
    bool        supported() const { return FSupported; }
    // n pixels at column x of row; s source values (destination format), m mask bytes.
    void        apply(uint8_t* row, int32_t x, int32_t n, const uint32_t* s, const uint8_t* m);

private:
    void        kernel(uint32_t* d, const uint32_t* s, const uint8_t* m, int32_t n);

    int32_t     FBits;
    TRunParams  FP;
    const TBlendKernels* FK;
    bool        FSupported = true;
    std::vector<uint32_t> FRow;
};

// The channels of a direct pixel format, for per-pixel rules outside the
// kernels (32 bits: four 8-bit channels, as the kernels treat them).
struct TChannels {
    int32_t     N = 0;
    int32_t     Shift[4] = {0, 0, 0, 0};
    uint32_t    Max[4] = {0, 0, 0, 0};
};
TChannels   channelsOf(int32_t bits);       // N = 0 for palette formats

template <class F>
inline uint32_t eachChannel(const TChannels& c, uint32_t d, uint32_t s, F f) {
    uint32_t r = 0;
    for (int32_t i = 0; i < c.N; ++i) {
        uint32_t dc = (d >> c.Shift[i]) & c.Max[i], sc = (s >> c.Shift[i]) & c.Max[i];
        r |= (uint32_t(f(dc, sc, c.Max[i])) & c.Max[i]) << c.Shift[i];
    }
    return r;
}

// The picture to read from when drawing `source` into `dst`: the source
// itself, or, when both are the same surface, a copy held by `holder`, so
// that overlapping areas read the pixels as they were before the call.
TCustomDIBX& separateFrom(TCustomDIBX& dst, TCustomDIBX& source, std::unique_ptr<TCustomDIBX>& holder);

// Scratch buffers reused by the operations of one thread.
uint32_t*   scratchPixels(int slot, int32_t n);
uint8_t*    scratchBytes(int slot, int32_t n);

// Clip of a fixed-size draw: destination (x, y) with the size of srcRect,
// cut to `drawable`; srcRect is first cut to `sourceBounds`. The cuts move
// the source edges as the flips require. Returns false when nothing is left.
struct TBlit {
    int32_t     DestX = 0, DestY = 0, Width = 0, Height = 0;
    TRect       Src;                // the source pixels still drawn
};
bool        clipBlit(int32_t x, int32_t y, TRect srcRect, const TRect& sourceBounds, const TRect& drawable,
                     bool flipV, bool flipH, TBlit& out);

} // namespace zuno
