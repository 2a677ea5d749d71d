// PNG pictures through libpng.
//
// Reading yields the picture in the nearest memory-bitmap format: palette
// pictures stay palette pictures (1, 4 or 8 bits; 2-bit ones become 8 bits),
// grey pictures get a grey palette, colour pictures become 24 bits, and
// pictures with an alpha channel become 32 bits with the alpha as the mask.
// A tRNS colour becomes the transparent value; palette alpha other than a
// single fully transparent entry becomes a mask.
//
// libpng leaves errors by longjmp; the functions that run it hold only plain
// data, and failures become EZunoError after libpng has been torn down.
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <cstring>
#include <string>

#include <png.h>

#include "core/EZunoError.h"
#include "imaging/ImageCodecs.h"

namespace zuno {

namespace {

struct PngReadContext {
    const uint8_t*  data;
    size_t          size;
    size_t          pos;
    char            message[200];
    png_structp     png;
    png_infop       info;
    // Header, after the transforms are set up.
    png_uint_32     width, height;
    int             bitDepth, colourType, interlace;
    size_t          rowBytes;
};

void pngError(png_structp png, png_const_charp msg) {
    PngReadContext* c = static_cast<PngReadContext*>(png_get_error_ptr(png));
    std::snprintf(c->message, sizeof c->message, "%s", msg ? msg : "");
    png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp) {}

void pngRead(png_structp png, png_bytep out, size_t n) {
    PngReadContext* c = static_cast<PngReadContext*>(png_get_io_ptr(png));
    if (n > c->size - c->pos)
        png_error(png, "unexpected end of data");
    std::memcpy(out, c->data + c->pos, n);
    c->pos += n;
}

// Reads the header and sets up the transforms. False on failure.
bool pngReadHeader(PngReadContext& c) {
    if (setjmp(png_jmpbuf(c.png)))
        return false;
    png_set_read_fn(c.png, &c, pngRead);
    png_set_user_limits(c.png, kMaxImageSide, kMaxImageSide);
    png_set_chunk_malloc_max(c.png, 8u << 20);
    png_read_info(c.png, c.info);
    png_uint_32 w, h;
    int depth, type, interlace;
    png_get_IHDR(c.png, c.info, &w, &h, &depth, &type, &interlace, nullptr, nullptr);
    if (depth == 16)
        png_set_strip_16(c.png);
    if (type == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(c.png);
    if (type == PNG_COLOR_TYPE_RGB || type == PNG_COLOR_TYPE_RGB_ALPHA || type == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_bgr(c.png);
    if (depth == 2)
        png_set_packing(c.png);
    png_set_interlace_handling(c.png);
    png_read_update_info(c.png, c.info);
    c.width = w;
    c.height = h;
    c.bitDepth = depth;
    c.colourType = type;
    c.interlace = interlace;
    c.rowBytes = png_get_rowbytes(c.png, c.info);
    return true;
}

bool pngReadRows(PngReadContext& c, png_bytepp rows) {
    if (setjmp(png_jmpbuf(c.png)))
        return false;
    png_read_image(c.png, rows);
    return true;
}

struct PngReadGuard {
    PngReadContext& c;
    ~PngReadGuard() { png_destroy_read_struct(&c.png, c.info ? &c.info : nullptr, nullptr); }
};

EZunoError pngFailure(const PngReadContext& c) {
    return EZunoError::fromUtf8(std::string("PNG データが壊れています (") + c.message + ")");
}

} // namespace

bool isPngData(const uint8_t* data, size_t size) { return size >= 8 && png_sig_cmp(data, 0, 8) == 0; }

TDecodedImage readPng(const uint8_t* data, size_t size) {
    if (!isPngData(data, size))
        throw EZunoError::fromUtf8("PNG 画像ではありません");
    PngReadContext c{};
    c.data = data;
    c.size = size;
    c.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &c, pngError, pngWarning);
    if (!c.png)
        throw EZunoError::fromUtf8("libpng を初期化できません");
    c.info = png_create_info_struct(c.png);
    PngReadGuard guard{c};
    if (!c.info)
        throw EZunoError::fromUtf8("libpng を初期化できません");
    if (!pngReadHeader(c))
        throw pngFailure(c);

    const int type = c.colourType;
    const int depth = c.bitDepth == 16 ? 8 : c.bitDepth == 2 ? 8 : c.bitDepth;
    int bits;
    switch (type) {
    case PNG_COLOR_TYPE_PALETTE:
    case PNG_COLOR_TYPE_GRAY: bits = depth; break;
    case PNG_COLOR_TYPE_RGB: bits = 24; break;
    default: bits = 32; break;  // with alpha
    }
    if (uint64_t(TDrelBitmap::rowBytesOf(int32_t(c.width), bits)) * c.height > decodeBudget(size))
        throw EZunoError::fromUtf8("PNG 画像が大きすぎます");

    TDecodedImage img;
    img.Bitmap.SetSize(int32_t(c.width), int32_t(c.height), bits);
    if (c.rowBytes > img.Bitmap.RowBytes())
        throw EZunoError::fromUtf8("PNG 画像の形式が不正です");
    std::vector<png_bytep> rows(c.height);
    for (png_uint_32 y = 0; y < c.height; ++y)
        rows[y] = img.Bitmap.Row(int32_t(y));
    if (!pngReadRows(c, rows.data()))
        throw pngFailure(c);

    TDrelBitmap& bmp = img.Bitmap;
    if (type == PNG_COLOR_TYPE_GRAY) {
        // A grey level of the original depth is its palette index.
        int levels = 1 << c.bitDepth;
        if (c.bitDepth == 16)
            levels = 256;
        for (int i = 0; i < levels && i < 256; ++i) {
            uint8_t v = uint8_t(levels > 1 ? i * 255 / (levels - 1) : 0);
            bmp.Palette[i] = TRGBQuad{v, v, v, 0};
        }
        png_color_16p trans = nullptr;
        if (png_get_tRNS(c.png, c.info, nullptr, nullptr, &trans) && trans)
            img.TransparentValue = c.bitDepth == 16 ? trans->gray >> 8 : trans->gray & (levels - 1);
    } else if (type == PNG_COLOR_TYPE_PALETTE) {
        png_colorp pal = nullptr;
        int n = 0;
        if (png_get_PLTE(c.png, c.info, &pal, &n) && pal)
            for (int i = 0; i < n && i < 256; ++i)
                bmp.Palette[i] = TRGBQuad{pal[i].blue, pal[i].green, pal[i].red, 0};
        png_bytep alpha = nullptr;
        int nAlpha = 0;
        if (png_get_tRNS(c.png, c.info, &alpha, &nAlpha, nullptr) && alpha && nAlpha > 0) {
            int clear = 0, clearIndex = -1, partial = 0;
            for (int i = 0; i < nAlpha; ++i) {
                if (alpha[i] == 0) {
                    ++clear;
                    clearIndex = i;
                } else if (alpha[i] != 255) {
                    ++partial;
                }
            }
            if (clear == 1 && partial == 0) {
                img.TransparentValue = clearIndex;
            } else if (clear + partial > 0) {
                uint8_t table[256];
                std::memset(table, 255, sizeof table);
                std::memcpy(table, alpha, size_t(std::min(nAlpha, 256)));
                img.Mask = std::make_unique<TDrelBitmap>(bmp.Width(), bmp.Height(), 8);
                for (int32_t y = 0; y < bmp.Height(); ++y)
                    for (int32_t x = 0; x < bmp.Width(); ++x)
                        img.Mask->Row(y)[x] = table[bmp.GetPixel(x, y)];
            }
        }
    } else if (type == PNG_COLOR_TYPE_RGB) {
        png_color_16p trans = nullptr;
        if (png_get_tRNS(c.png, c.info, nullptr, nullptr, &trans) && trans) {
            int shift = c.bitDepth == 16 ? 8 : 0;
            uint32_t r = (trans->red >> shift) & 0xFF, g = (trans->green >> shift) & 0xFF,
                     b = (trans->blue >> shift) & 0xFF;
            img.TransparentValue = int32_t(b | (g << 8) | (r << 16));
        }
    } else {
        // Blue, green, red, alpha: the alpha moves to the mask.
        img.Mask = std::make_unique<TDrelBitmap>(bmp.Width(), bmp.Height(), 8);
        for (int32_t y = 0; y < bmp.Height(); ++y) {
            uint8_t* p = bmp.Row(y);
            uint8_t* m = img.Mask->Row(y);
            for (int32_t x = 0; x < bmp.Width(); ++x) {
                m[x] = p[4 * x + 3];
                p[4 * x + 3] = 0;
            }
        }
    }
    return img;
}

// ---------------------------------------------------------------- writing

namespace {

struct PngWriteContext {
    std::vector<uint8_t>* out;
    char                  message[200];
    bool                  outOfMemory;
};

void pngWriteError(png_structp png, png_const_charp msg) {
    PngWriteContext* c = static_cast<PngWriteContext*>(png_get_error_ptr(png));
    std::snprintf(c->message, sizeof c->message, "%s", msg ? msg : "");
    png_longjmp(png, 1);
}

void pngWrite(png_structp png, png_bytep data, size_t n) {
    PngWriteContext* c = static_cast<PngWriteContext*>(png_get_io_ptr(png));
    try {
        c->out->insert(c->out->end(), data, data + n);
    } catch (...) {
        c->outOfMemory = true;
        png_error(png, "out of memory");
    }
}

void pngFlush(png_structp) {}

bool pngWriteRaw(PngWriteContext& c, png_structp png, png_infop info, int32_t w, int32_t h, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, &c, pngWrite, pngFlush);
    png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}

} // namespace

std::vector<uint8_t> writePngRgba(const uint8_t* rgba, int32_t width, int32_t height) {
    if (width <= 0 || height <= 0)
        throw EZunoError::fromUtf8("空の画像は PNG に書き出せません");
    std::vector<uint8_t> out;
    PngWriteContext c{&out, {}, false};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &c, pngWriteError, pngWarning);
    if (!png)
        throw EZunoError::fromUtf8("libpng を初期化できません");
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int32_t y = 0; y < height; ++y)
        rows[size_t(y)] = const_cast<png_bytep>(rgba + size_t(y) * size_t(width) * 4);
    bool ok = info && pngWriteRaw(c, png, info, width, height, rows.data());
    png_destroy_write_struct(&png, info ? &info : nullptr);
    if (!ok)
        throw EZunoError::fromUtf8(std::string("PNG を書き出せません (") + c.message + ")");
    return out;
}

} // namespace zuno
