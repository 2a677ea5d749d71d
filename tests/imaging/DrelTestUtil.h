// Fixtures for the Drel and picture-format tests: pictures with distinct
// pixels, and a byte builder for Drel records of any version (for what the
// version-106 writer cannot produce: old versions, block coding).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/StreamFields.h"
#include "core/TStream.h"
#include "core/ZlibCodec.h"
#include "imaging/ImageCodecs.h"
#include "imaging/TDrelBitmap.h"

namespace zuno::test {

// A picture whose pixels differ from their neighbours: value from (x, y, seed).
inline TDrelBitmap patternBitmap(int32_t w, int32_t h, int32_t bits, uint32_t seed = 1) {
    TDrelBitmap b(w, h, bits);
    if (bits <= 8)
        for (int i = 0; i < b.PaletteSize(); ++i)
            b.Palette[size_t(i)] = TRGBQuad{uint8_t(i * 7), uint8_t(255 - i), uint8_t(i * 3 + 1), 0};
    const uint32_t mask = bits <= 8 ? uint32_t(b.PaletteSize() - 1) : bits == 15 ? 0x7FFF
                        : bits == 16 ? 0xFFFF : 0xFFFFFF;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            b.SetPixel(x, y, ((uint32_t(x) * 2654435761u) ^ (uint32_t(y) * 40503u) ^ (seed * 977u)) & mask);
    return b;
}

inline TDrelBitmap patternMask(int32_t w, int32_t h, uint32_t seed = 3) {
    TDrelBitmap m(w, h, 8);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            m.Row(y)[x] = uint8_t((x * 37 + y * 91 + seed * 13) & 0xFF);
    return m;
}

// Pixel-by-pixel equality of size, format and pixels (padding ignored).
inline bool samePixels(const TDrelBitmap& a, const TDrelBitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.BitCount() != b.BitCount())
        return false;
    for (int32_t y = 0; y < a.Height(); ++y)
        for (int32_t x = 0; x < a.Width(); ++x)
            if (a.GetPixel(x, y) != b.GetPixel(x, y))
                return false;
    return true;
}

// Little-endian byte builder.
class Bytes {
public:
    std::vector<uint8_t> data;

    Bytes& raw(const void* p, size_t n) {
        auto b = static_cast<const uint8_t*>(p);
        data.insert(data.end(), b, b + n);
        return *this;
    }
    Bytes& raw(const std::vector<uint8_t>& v) { return raw(v.data(), v.size()); }
    Bytes& text(const std::string& s) { return raw(s.data(), s.size()); }
    Bytes& i32(int32_t v) {
        uint8_t b[4];
        putLE32(b, uint32_t(v));
        return raw(b, 4);
    }
    Bytes& u16(uint16_t v) {
        uint8_t b[2];
        putLE16(b, v);
        return raw(b, 2);
    }
    Bytes& u8(uint8_t v) { return raw(&v, 1); }
    Bytes& str(const std::string& s) { return i32(int32_t(s.size())).text(s); }
    Bytes& sized(const std::vector<uint8_t>& v) { return i32(int32_t(v.size())).raw(v); }
};

inline std::vector<uint8_t> rowsOf(const TDrelBitmap& b) { return std::vector<uint8_t>(b.Bits(), b.Bits() + b.ByteSize()); }
inline std::vector<uint8_t> zlibOf(const std::vector<uint8_t>& v) { return deflateZlib(v.data(), v.size(), 6); }

// Drel header of a given version (>= 103: the 40-byte block).
struct DrelHeader {
    int32_t version = 106;
    int32_t frames = 1;
    uint8_t protectedFlag = 0;
    uint8_t kind = 0;
    int32_t backdrop = 0;
    int32_t blockWidth = 0;
    int32_t blockHeight = 0;
    uint8_t firstLayerOpaque = 0;
};

inline void drelHeader(Bytes& b, const DrelHeader& h) {
    if (h.version > 0)
        b.text("Drel" + std::string(h.version < 100 ? "0" : "") + std::to_string(h.version));
    if (h.version >= 103) {
        b.i32(40).i32(h.version).i32(0).i32(0).i32(0).i32(h.frames);
        b.u8(1).u8(h.protectedFlag).u8(h.kind).u8(0).i32(h.backdrop).i32(h.blockWidth).i32(h.blockHeight);
        b.u8(h.firstLayerOpaque).u8(70).u8(0).u8(0);
    } else {
        b.i32(h.frames).u8(0);
        if (h.version >= 102)
            b.i32(h.backdrop);
    }
}

// Frame record up to (not including) its layers.
inline void drelFrameStart(Bytes& b, const std::string& name, int32_t transparent, int32_t layers,
                           const TDrelBitmap& like) {
    b.str(name).i32(transparent).i32(100).u8(0).i32(0).i32(layers);
    b.i32(like.Width()).i32(like.Height()).i32(like.BitCount());
    for (int i = 0; i < like.PaletteSize(); ++i)
        b.u8(like.Palette[size_t(i)].Blue).u8(like.Palette[size_t(i)].Green).u8(like.Palette[size_t(i)].Red).u8(0);
}

struct LayerRecord {
    bool                 visible = true;
    int32_t              transparent = -1;
    int32_t              opacity = 255;
    bool                 maskEnabled = false;
    std::string          name = "L";
    std::vector<uint8_t> colour;        // stored bytes
    std::vector<uint8_t> mask;          // stored bytes, empty = none
};

inline void drelLayer(Bytes& b, int32_t version, const LayerRecord& l) {
    b.i32(0).i32(0).u8(l.visible).i32(l.transparent).i32(l.opacity);
    if (version > 100)
        b.u8(l.maskEnabled);
    b.str(l.name).sized(l.colour);
    if (version > 99)
        b.sized(l.mask);
}

inline void drelRects(Bytes& b, int32_t version) {
    if (version >= 104)
        b.i32(0).i32(0);
}

} // namespace zuno::test
