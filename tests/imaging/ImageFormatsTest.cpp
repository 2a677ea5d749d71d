// Windows bitmaps and PNG pictures loaded into a frame list.
#include <gtest/gtest.h>

#include <png.h>

#include <cstring>
#include <fstream>

#include "DrelTestUtil.h"
#include "core/EZunoError.h"
#include "imaging/TDrelFrameList.h"
#include "support/TTempFolder.h"

using namespace zuno;
using namespace zuno::test;

namespace {

struct BmpLayout {
    int      bits;
    bool     topDown = false;
    uint32_t compression = 0;
    uint32_t masks[3] = {0, 0, 0};   // with compression 3
    int      headerSize = 40;        // 40 or 12 (core)
};

// A bitmap file around stored rows (given top-down; written in the file's order).
std::vector<uint8_t> bmpFile(const BmpLayout& s, int32_t w, int32_t h, const std::vector<std::vector<uint8_t>>& rows,
                             const TPalette* palette = nullptr, const std::vector<uint8_t>* rle = nullptr) {
    Bytes info;
    const int colours = s.bits <= 8 ? 1 << s.bits : 0;
    if (s.headerSize == 12) {
        info.i32(12).u16(uint16_t(w)).u16(uint16_t(h)).u16(1).u16(uint16_t(s.bits));
    } else {
        info.i32(40).i32(w).i32(s.topDown ? -h : h).u16(1).u16(uint16_t(s.bits)).i32(int32_t(s.compression));
        info.i32(0).i32(0).i32(0).i32(0).i32(0);
        if (s.compression == 3)
            info.i32(int32_t(s.masks[0])).i32(int32_t(s.masks[1])).i32(int32_t(s.masks[2]));
    }
    for (int i = 0; i < colours; ++i) {
        const TRGBQuad& q = (*palette)[size_t(i)];
        info.u8(q.Blue).u8(q.Green).u8(q.Red);
        if (s.headerSize != 12)
            info.u8(0);
    }
    Bytes pixels;
    if (rle) {
        pixels.raw(*rle);
    } else {
        for (int32_t k = 0; k < h; ++k)
            pixels.raw(rows[size_t(s.topDown ? k : h - 1 - k)]);
    }
    Bytes file;
    file.text("BM").i32(int32_t(14 + info.data.size() + pixels.data.size())).i32(0);
    file.i32(int32_t(14 + info.data.size())).raw(info.data).raw(pixels.data);
    return file.data;
}

std::vector<std::vector<uint8_t>> rowsOfBitmap(const TDrelBitmap& b) {
    std::vector<std::vector<uint8_t>> rows;
    for (int32_t y = 0; y < b.Height(); ++y)
        rows.emplace_back(b.Row(y), b.Row(y) + b.RowBytes());
    return rows;
}

std::unique_ptr<TDrelFrameList> loadBmp(const std::vector<uint8_t>& bytes) {
    auto list = std::make_unique<TDrelFrameList>();
    TKsMemoryStream s(bytes);
    list->LoadBmpFromStream(s);
    return list;
}

} // namespace

// ---------------------------------------------------------------- BMP

TEST(Bmp, EveryDepthInBothRowOrders) {
    struct Case {
        BmpLayout layout;
        int32_t frameBits;
    };
    const Case cases[] = {
        {{1}, 1}, {{1, true}, 1}, {{4}, 4}, {{4, true}, 4}, {{8}, 8}, {{8, true}, 8},
        {{16}, 15}, {{16, true}, 15},
        {{16, false, 3, {0xF800, 0x07E0, 0x001F}}, 16}, {{16, true, 3, {0x7C00, 0x03E0, 0x001F}}, 15},
        {{24}, 24}, {{24, true}, 24},
        {{8, false, 0, {}, 12}, 8},
    };
    for (const Case& c : cases) {
        const int32_t w = 11, h = 5;
        TDrelBitmap pic = patternBitmap(w, h, c.frameBits);
        std::vector<uint8_t> file = bmpFile(c.layout, w, h, rowsOfBitmap(pic), &pic.Palette);
        auto list = loadBmp(file);
        ASSERT_EQ(list->Count(), 1);
        const TDrelFrame* f = list->Frames(0);
        EXPECT_TRUE(samePixels(f->Bitmap, pic)) << c.layout.bits << " top-down " << c.layout.topDown;
        EXPECT_FALSE(f->HasMask());
        if (c.frameBits <= 8) {
            for (int i = 0; i < pic.PaletteSize(); ++i)
                EXPECT_EQ(f->Bitmap.Palette[size_t(i)], pic.Palette[size_t(i)]);
        }
    }
}

TEST(Bmp, ThirtyTwoBitsGiveTwentyFourBitsAndAMask) {
    const int32_t w = 3, h = 2;
    for (bool withAlpha : {true, false})
        for (bool topDown : {false, true}) {
            std::vector<std::vector<uint8_t>> rows(h);
            for (int32_t y = 0; y < h; ++y)
                for (int32_t x = 0; x < w; ++x)
                    rows[size_t(y)].insert(rows[size_t(y)].end(),
                                           {uint8_t(x), uint8_t(y), uint8_t(x + y + 100),
                                            uint8_t(withAlpha ? 40 * x + y : 0)});
            auto list = loadBmp(bmpFile(BmpLayout{32, topDown}, w, h, rows));
            const TDrelFrame* f = list->Frames(0);
            ASSERT_EQ(f->Bitmap.BitCount(), 24);
            EXPECT_EQ(f->Bitmap.GetPixel(2, 1), 2u | (1u << 8) | (103u << 16));
            // A fourth byte that is 0 everywhere is no alpha at all.
            ASSERT_EQ(f->HasMask(), withAlpha);
            if (withAlpha) {
                EXPECT_EQ(f->Mask->Row(1)[2], 81);
            }
        }
}

TEST(Bmp, RunLengthCodedPictures) {
    TPalette pal{};
    for (int i = 0; i < 256; ++i)
        pal[size_t(i)] = TRGBQuad{uint8_t(i), 0, 0, 0};
    // RLE8, 6 x 3, bottom row first: a run, an absolute run, end of line;
    // a delta; end of picture.
    const std::vector<uint8_t> rle8 = {3, 7, 0, 3, 1, 2, 3, 0, 0, 0,  // row 2: 7 7 7 1 2 3
                                       0, 2, 2, 1,                    // delta: x 2, up 1 -> row 0, x 2
                                       2, 9, 0, 1};                   // 9 9 at row 0, x 2..3; end
    auto a = loadBmp(bmpFile(BmpLayout{8, false, 1}, 6, 3, {}, &pal, &rle8));
    const TDrelBitmap& p = a->Frames(0)->Bitmap;
    const uint32_t expect8[3][6] = {{0, 0, 9, 9, 0, 0}, {0, 0, 0, 0, 0, 0}, {7, 7, 7, 1, 2, 3}};
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 6; ++x)
            EXPECT_EQ(p.GetPixel(x, y), expect8[y][x]) << x << "," << y;
    // RLE4, 6 x 1: run of 3 alternating nibbles, absolute run of 3 (padded to 16 bits).
    const std::vector<uint8_t> rle4 = {3, 0x12, 0, 3, 0x45, 0x60, 0, 1};
    auto b = loadBmp(bmpFile(BmpLayout{4, false, 2}, 6, 1, {}, &pal, &rle4));
    const uint32_t expect4[6] = {1, 2, 1, 4, 5, 6};
    for (int32_t x = 0; x < 6; ++x)
        EXPECT_EQ(b->Frames(0)->Bitmap.GetPixel(x, 0), expect4[x]);
}

TEST(Bmp, DamagedFilesAreErrors) {
    TDrelBitmap pic = patternBitmap(4, 3, 24);
    std::vector<uint8_t> good = bmpFile(BmpLayout{24}, 4, 3, rowsOfBitmap(pic));
    for (size_t n = 0; n < good.size(); ++n) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + std::ptrdiff_t(n));
        EXPECT_THROW(loadBmp(cut), EZunoError) << n;
    }
    auto patched = [&](size_t at, int32_t v) {
        std::vector<uint8_t> b = good;
        putLE32(b.data() + at, uint32_t(v));
        return b;
    };
    EXPECT_THROW(loadBmp(patched(18, 100000)), EZunoError);       // width
    EXPECT_THROW(loadBmp(patched(22, 20000)), EZunoError);        // height
    EXPECT_THROW(loadBmp(patched(14, 0x7FFFFFFF)), EZunoError);   // header size
    EXPECT_THROW(loadBmp(patched(10, 0x7FFFFFF0)), EZunoError);   // pixel offset
    EXPECT_THROW(loadBmp(patched(28, 7)), EZunoError);            // bit count (and planes)
    EXPECT_THROW(loadBmp(patched(30, 9)), EZunoError);            // compression
    TPalette pal{};
    const std::vector<uint8_t> rle = {2, 1, 0, 1};
    EXPECT_THROW(loadBmp(bmpFile(BmpLayout{8, true, 1}, 2, 2, {}, &pal, &rle)), EZunoError);  // top-down RLE
    const std::vector<uint8_t> shortAbsolute = {0, 9, 1, 2};
    EXPECT_THROW(loadBmp(bmpFile(BmpLayout{8, false, 1}, 9, 1, {}, &pal, &shortAbsolute)), EZunoError);
}

// ---------------------------------------------------------------- PNG

namespace {

std::vector<uint8_t> simplePng(uint32_t format, int32_t w, int32_t h, const void* pixels,
                               const void* colormap = nullptr, int colours = 0) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(w);
    image.height = png_uint_32(h);
    image.format = format;
    image.colormap_entries = png_uint_32(colours);
    png_alloc_size_t size = 0;
    EXPECT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, pixels, 0, colormap));
    std::vector<uint8_t> out(size);
    EXPECT_TRUE(png_image_write_to_memory(&image, out.data(), &size, 0, pixels, 0, colormap));
    out.resize(size);
    return out;
}

std::unique_ptr<TDrelFrameList> loadPng(const std::vector<uint8_t>& bytes) {
    auto list = std::make_unique<TDrelFrameList>();
    TKsMemoryStream s(bytes);
    list->LoadPngFromStream(s);
    return list;
}

} // namespace

TEST(Png, AlphaBecomesTheMask) {
    const int32_t w = 7, h = 3;
    std::vector<uint8_t> rgba;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            rgba.insert(rgba.end(), {uint8_t(x * 30), uint8_t(y * 70), 200, uint8_t(x * 36 + y)});
    auto list = loadPng(writePngRgba(rgba.data(), w, h));
    ASSERT_EQ(list->Count(), 1);
    const TDrelFrame* f = list->Frames(0);
    ASSERT_TRUE(f->HasMask());
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const uint8_t* p = &rgba[size_t(y * w + x) * 4];
            EXPECT_EQ(f->Bitmap.PixelToColor(f->Bitmap.GetPixel(x, y)), int32_t(p[0] | p[1] << 8 | p[2] << 16));
            EXPECT_EQ(f->Mask->Row(y)[x], p[3]);
        }
}

TEST(Png, ColourGreyAndPalettePictures) {
    const int32_t w = 4, h = 2;
    const uint8_t rgb[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24};
    auto c = loadPng(simplePng(PNG_FORMAT_RGB, w, h, rgb));
    EXPECT_EQ(c->Frames(0)->Bitmap.BitCount(), 24);
    EXPECT_EQ(c->Frames(0)->Bitmap.PixelToColor(c->Frames(0)->Bitmap.GetPixel(1, 1)), 0x121110);
    EXPECT_FALSE(c->Frames(0)->HasMask());

    const uint8_t grey[] = {0, 50, 100, 150, 200, 250, 255, 1};
    auto g = loadPng(simplePng(PNG_FORMAT_GRAY, w, h, grey));
    EXPECT_EQ(g->Frames(0)->Bitmap.BitCount(), 8);
    EXPECT_EQ(g->Frames(0)->Bitmap.PixelToColor(g->Frames(0)->Bitmap.GetPixel(1, 1)), 0xFAFAFA);

    // Palette with one fully transparent entry: the transparent value.
    const uint8_t map[] = {10, 20, 30, 255, 0, 0, 0, 0, 90, 80, 70, 255};
    const uint8_t idx[] = {0, 1, 2, 1, 2, 2, 0, 1};
    auto p = loadPng(simplePng(PNG_FORMAT_RGBA_COLORMAP, w, h, idx, map, 3));
    const TDrelFrame* pf = p->Frames(0);
    ASSERT_LE(pf->Bitmap.BitCount(), 8);
    EXPECT_FALSE(pf->HasMask());
    ASSERT_GE(pf->TransparentValue(), 0);
    EXPECT_EQ(pf->Bitmap.GetPixel(1, 0), uint32_t(pf->TransparentValue()));
    EXPECT_EQ(pf->Bitmap.PixelToColor(pf->Bitmap.GetPixel(2, 0)), 90 | 80 << 8 | 70 << 16);

    // Partly transparent entries: a mask.
    const uint8_t map2[] = {10, 20, 30, 255, 1, 2, 3, 128};
    auto q = loadPng(simplePng(PNG_FORMAT_RGBA_COLORMAP, w, h, idx, map2, 2));
    ASSERT_TRUE(q->Frames(0)->HasMask());
    EXPECT_EQ(q->Frames(0)->Mask->Row(0)[1], 128);
    EXPECT_EQ(q->Frames(0)->Mask->Row(0)[0], 255);
}

TEST(Png, DamagedFilesAreErrors) {
    const uint8_t rgba[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    std::vector<uint8_t> good = writePngRgba(rgba, 2, 2);
    // Every cut before the closing IEND chunk (12 bytes), which is not needed.
    for (size_t n = 0; n + 12 < good.size(); ++n) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + std::ptrdiff_t(n));
        EXPECT_THROW(loadPng(cut), EZunoError) << n;
    }
    std::vector<uint8_t> badCrc = good;
    badCrc[30] ^= 1;  // inside IHDR
    EXPECT_THROW(loadPng(badCrc), EZunoError);
}

// ---------------------------------------------------------------- files

TEST(DrelFiles, LoadFromFileChoosesTheReaderByExtension) {
    TTempFolder folder;
    const std::string dir = folder.path();
    TDrelBitmap pic = patternBitmap(3, 2, 24);
    TDrelFrameList out;
    out.AddFrame()->Bitmap = pic;
    out.SaveToFile(dir + "/a.DRL");
    std::vector<uint8_t> bmp = bmpFile(BmpLayout{24}, 3, 2, rowsOfBitmap(pic));
    std::ofstream(dir + "/b.Dib", std::ios::binary).write(reinterpret_cast<const char*>(bmp.data()),
                                                          std::streamsize(bmp.size()));
    std::ofstream(dir + "/c.txt") << "Drel106";
    for (const char* name : {"a.DRL", "b.Dib"}) {
        TDrelFrameList in;
        in.LoadFromFile(dir + "/" + name);
        ASSERT_EQ(in.Count(), 1) << name;
        EXPECT_TRUE(samePixels(in.Frames(0)->Bitmap, pic)) << name;
    }
    TDrelFrameList other;
    other.LoadFromFile(dir + "/c.txt");
    EXPECT_EQ(other.Count(), 0);
    TDrelFrameList missing;
    EXPECT_THROW(missing.LoadFromFile(dir + "/none.png"), EZunoError);
}
