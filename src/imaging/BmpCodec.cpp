// Windows bitmaps: files with the "BM" header and bare DIBs.
//
// 1-, 4- and 8-bit pictures stay palette pictures (also when stored with
// RLE8 or RLE4), 16-bit ones become 15 (5-5-5) or 16 (5-6-5) bits, 24-bit
// ones stay as they are, and 32-bit ones become 24 bits with the fourth byte
// as the mask. Bit-field layouts other than those are converted to 24 bits.
#include <cstdint>
#include <cstring>
#include <string>

#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "imaging/ImageCodecs.h"

namespace zuno {

namespace {

EZunoError bmpError(const char* what) {
    return EZunoError::fromUtf8(std::string("ビットマップが壊れています (") + what + ")");
}

// Scales a channel extracted with a bit mask to 0..255.
struct Channel {
    int      shift = 0;
    int      bits = 0;
    uint32_t mask = 0;

    explicit Channel(uint32_t m = 0) : mask(m) {
        if (!m)
            return;
        while (!((m >> shift) & 1))
            ++shift;
        while (bits < 32 - shift && ((m >> (shift + bits)) & 1))
            ++bits;
    }
    uint32_t get(uint32_t v) const {
        if (!bits)
            return 0;
        uint32_t c = (v & mask) >> shift;
        if (bits >= 8)
            return c >> (bits - 8);
        uint32_t max = (1u << bits) - 1;
        return (c * 255 + max / 2) / max;
    }
};

// RLE8 (bits 8) and RLE4 (bits 4) into a bottom-up palette picture. Pixels
// that would fall outside the picture are dropped; a stream that ends early
// leaves the rest at index 0, like the platform's decoder.
void decodeRle(const uint8_t* p, size_t n, int bits, TDrelBitmap& bmp) {
    int32_t x = 0, y = bmp.Height() - 1;
    size_t i = 0;
    auto put = [&](uint32_t v) {
        if (x < bmp.Width() && y >= 0)
            bmp.SetPixel(x, y, v);
        ++x;
    };
    while (i + 1 < n && y >= 0) {
        uint8_t count = p[i], value = p[i + 1];
        i += 2;
        if (count > 0) {
            for (int k = 0; k < count && x < bmp.Width(); ++k)
                put(bits == 8 ? value : (k & 1) ? value & 15 : value >> 4);
            continue;
        }
        if (value == 0) {           // end of line
            x = 0;
            --y;
        } else if (value == 1) {    // end of picture
            break;
        } else if (value == 2) {    // delta
            if (i + 1 >= n)
                break;
            x += p[i];
            y -= p[i + 1];
            i += 2;
        } else {                    // absolute run of `value` pixels, padded to 16 bits
            size_t bytes = bits == 8 ? value : (size_t(value) + 1) / 2;
            if (bytes > n - i)
                throw bmpError("RLE");
            for (int k = 0; k < value; ++k)
                put(bits == 8 ? p[i + size_t(k)] : (k & 1) ? p[i + size_t(k / 2)] & 15 : p[i + size_t(k / 2)] >> 4);
            i += (bytes + 1) & ~size_t(1);
        }
    }
}

} // namespace

bool isBmpData(const uint8_t* data, size_t size) { return size >= 2 && data[0] == 'B' && data[1] == 'M'; }

TDecodedImage readBmp(const uint8_t* data, size_t size) {
    size_t info = 0, pixelOffset = 0;
    bool fileHeader = isBmpData(data, size);
    if (fileHeader) {
        if (size < 14 + 12)
            throw bmpError("header");
        pixelOffset = getLE32(data + 10);
        info = 14;
    }
    if (size - info < 4)
        throw bmpError("header");
    const uint8_t* h = data + info;
    uint32_t headerSize = getLE32(h);
    if (headerSize < 12 || headerSize > size - info)
        throw bmpError("header size");
    int32_t width, height;
    int bits;
    uint32_t compression = 0, colours = 0;
    uint32_t masks[4] = {0, 0, 0, 0};
    size_t paletteEntrySize = 4;
    if (headerSize < 40) {   // OS/2 core header
        if (headerSize != 12)
            throw bmpError("header size");
        width = getLE16(h + 4);
        height = getLE16(h + 6);
        bits = getLE16(h + 10);
        paletteEntrySize = 3;
    } else {
        width = int32_t(getLE32(h + 4));
        height = int32_t(getLE32(h + 8));
        bits = getLE16(h + 14);
        compression = getLE32(h + 16);
        colours = getLE32(h + 32);
        if (headerSize >= 52)
            for (int k = 0; k < 3; ++k)
                masks[k] = getLE32(h + 40 + 4 * k);
        if (headerSize >= 56)
            masks[3] = getLE32(h + 52);
    }
    size_t after = info + headerSize;
    if (headerSize == 40 && (compression == 3 || compression == 6)) {
        size_t n = compression == 6 ? 4 : 3;
        if (size - after < n * 4)
            throw bmpError("bit fields");
        for (size_t k = 0; k < n; ++k)
            masks[k] = getLE32(data + after + 4 * k);
        after += n * 4;
    }
    bool topDown = height < 0;
    if (topDown)
        height = height == INT32_MIN ? INT32_MAX : -height;
    if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide)
        throw bmpError("size");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        throw bmpError("bit count");
    bool rle = compression == 1 || compression == 2;
    if (rle && (topDown || bits != (compression == 1 ? 8 : 4)))
        throw bmpError("RLE");
    bool fields = compression == 3 || compression == 6;
    if (!rle && !fields && compression != 0)
        throw bmpError("compression");
    if (fields && bits != 16 && bits != 32)
        throw bmpError("bit fields");

    TDecodedImage img;
    TRGBQuad palette[256] = {};
    if (bits <= 8) {
        uint32_t n = colours == 0 || colours > (1u << bits) ? 1u << bits : colours;
        if (size - after < n * paletteEntrySize)
            throw bmpError("palette");
        for (uint32_t k = 0; k < n; ++k) {
            const uint8_t* q = data + after + k * paletteEntrySize;
            palette[k] = TRGBQuad{q[0], q[1], q[2], 0};
        }
        after += n * paletteEntrySize;
    } else if (colours > 0 && colours <= 256 && size - after >= size_t(colours) * 4) {
        after += size_t(colours) * 4;   // an optional palette of a deep picture
    }
    if (!fileHeader)
        pixelOffset = after;
    if (pixelOffset > size)
        throw bmpError("pixel offset");
    const uint8_t* pixels = data + pixelOffset;
    size_t available = size - pixelOffset;

    size_t rowBytes = TDrelBitmap::rowBytesOf(width, bits);
    if (rle) {
        if (uint64_t(rowBytes) * uint64_t(height) > decodeBudget(size))
            throw bmpError("size");
    } else if (uint64_t(rowBytes) * uint64_t(height) > available) {
        throw bmpError("pixel data");
    }
    auto srcRow = [&](int32_t y) { return pixels + size_t(topDown ? y : height - 1 - y) * rowBytes; };

    if (bits <= 8) {
        img.Bitmap.SetSize(width, height, bits);
        std::memcpy(img.Bitmap.Palette.data(), palette, sizeof palette);
        if (rle)
            decodeRle(pixels, available, bits, img.Bitmap);
        else
            for (int32_t y = 0; y < height; ++y)
                std::memcpy(img.Bitmap.Row(y), srcRow(y), rowBytes);
        return img;
    }

    if (!fields) {
        if (bits == 16) {
            masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
        } else if (bits == 32) {
            masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
            masks[3] = 0xFF000000;
        }
    }
    if (bits == 16 && masks[3] == 0 && masks[1] == 0x03E0 && masks[0] == 0x7C00 && masks[2] == 0x1F) {
        img.Bitmap.SetSize(width, height, 15);
    } else if (bits == 16 && masks[3] == 0 && masks[1] == 0x07E0 && masks[0] == 0xF800 && masks[2] == 0x1F) {
        img.Bitmap.SetSize(width, height, 16);
    } else if (bits == 24) {
        img.Bitmap.SetSize(width, height, 24);
    } else {
        // Generic bit fields (and every 32-bit picture) -> 24 bits, alpha -> mask.
        img.Bitmap.SetSize(width, height, 24);
        Channel r(masks[0]), g(masks[1]), b(masks[2]), a(masks[3]);
        bool anyAlpha = false;
        if (a.bits) {
            img.Mask = std::make_unique<TDrelBitmap>(width, height, 8);
        }
        for (int32_t y = 0; y < height; ++y) {
            const uint8_t* s = srcRow(y);
            uint8_t* d = img.Bitmap.Row(y);
            uint8_t* m = img.Mask ? img.Mask->Row(y) : nullptr;
            for (int32_t x = 0; x < width; ++x) {
                uint32_t v = bits == 16 ? getLE16(s + 2 * x) : getLE32(s + 4 * x);
                d[3 * x] = uint8_t(b.get(v));
                d[3 * x + 1] = uint8_t(g.get(v));
                d[3 * x + 2] = uint8_t(r.get(v));
                if (m) {
                    m[x] = uint8_t(a.get(v));
                    anyAlpha |= m[x] != 0;
                }
            }
        }
        // Many writers leave the fourth byte at 0 for opaque pictures; an
        // alpha channel that is 0 everywhere is taken as no alpha at all.
        if (!anyAlpha)
            img.Mask.reset();
        return img;
    }
    for (int32_t y = 0; y < height; ++y)
        std::memcpy(img.Bitmap.Row(y), srcRow(y), rowBytes);
    return img;
}

} // namespace zuno
