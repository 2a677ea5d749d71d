// Pixel formats, colours, clip bookkeeping, pixel memory and the bitmap writer.
#include <gtest/gtest.h>

#include "SurfaceTestUtil.h"
#include "core/TStream.h"
#include "imaging/ImageCodecs.h"
#include "imaging/SurfaceRows.h"

using namespace zuno;
using namespace zuno::test;

TEST(SurfaceFormat, MasksAndColourConversion) {
    struct Case {
        int32_t  bits;
        uint32_t red, green, blue;
        uint32_t pixelOfColour;    // ColorToPixel(0x00336699): red 0x99, green 0x66, blue 0x33
    };
    const Case cases[] = {
        {15, 0x7C00, 0x03E0, 0x001F, (0x99u >> 3 << 10) | (0x66u >> 3 << 5) | (0x33u >> 3)},
        {16, 0xF800, 0x07E0, 0x001F, (0x99u >> 3 << 11) | (0x66u >> 2 << 5) | (0x33u >> 3)},
        {24, 0xFF0000, 0xFF00, 0xFF, 0x996633},
        {32, 0xFF0000, 0xFF00, 0xFF, 0x996633},
    };
    for (const Case& c : cases) {
        TDIBX s(2, 2, c.bits);
        EXPECT_EQ(s.GetBitCount(), c.bits);
        EXPECT_EQ(s.GetRedMask(), c.red);
        EXPECT_EQ(s.GetGreenMask(), c.green);
        EXPECT_EQ(s.GetBlueMask(), c.blue);
        EXPECT_EQ(s.ColorToPixel(0x00336699), c.pixelOfColour) << c.bits;
        // Pixel -> colour -> pixel gives the pixel back.
        EXPECT_EQ(s.ColorToPixel(s.PixelToColor(c.pixelOfColour)), c.pixelOfColour) << c.bits;
    }
    TDIBX s15(1, 1, 15);
    EXPECT_EQ(s15.GetGreenLayout().Shift, 5);
    EXPECT_EQ(s15.GetGreenLayout().Bits, 5);
    EXPECT_EQ(s15.GetStoredBitCount(), 16);
    // Full channels expand to full 8-bit channels.
    EXPECT_EQ(TDIBX(1, 1, 16).PixelToColor(0xFFFF), 0x00FFFFFF);
}

TEST(SurfaceFormat, SetBitCountConvertsPixels) {
    auto s = surfaceOf(2, 1, 32, {0x00FF0000, 0x000000FF});   // red, blue
    s->SetBitCount(16);
    EXPECT_EQ(s->GetBitCount(), 16);
    EXPECT_EQ(pixelsOf(*s), (std::vector<uint32_t>{0xF800, 0x001F}));
    s->SetBitCount(24);
    EXPECT_EQ(pixelsOf(*s), (std::vector<uint32_t>{0xFF0000, 0x0000FF}));
    // To a palette: the nearest entry of the surface's palette (grey ramp by default).
    auto g = surfaceOf(1, 1, 32, {0x00404040});
    g->SetBitCount(8);
    EXPECT_EQ(g->GetPixel(0, 0), 0x40u);
}

TEST(SurfaceFormat, RowsArePaddedToFourBytes) {
    EXPECT_EQ(TDIBX::RowBytes(3, 24), 12);
    EXPECT_EQ(TDIBX::RowBytes(3, 15), 8);
    EXPECT_EQ(TDIBX::RowBytes(9, 1), 4);
    EXPECT_EQ(TDIBX::RowBytes(9, 4), 8);
    TDIBX s(3, 2, 24);
    EXPECT_EQ(s.GetPitch(), 12);
    EXPECT_EQ(s.ScanLine(1) - s.ScanLine(0), 12);
}

TEST(SurfaceFormat, ClipBookkeeping) {
    TDIBX s(10, 10, 32);
    EXPECT_EQ(s.GetDrawableRect(), TRect(0, 0, 10, 10));
    s.AddClip(TRect(-5, 2, 3, 4));                 // cut to the surface
    EXPECT_EQ(s.ClipRect, TRect(0, 2, 3, 4));
    s.AddClip(TRect(6, 6, 20, 8));                 // union with the existing clip
    EXPECT_EQ(s.ClipRect, TRect(0, 2, 10, 8));
    s.ClearClip();
    EXPECT_EQ(s.GetDrawableRect(), TRect(0, 0, 10, 10));
}

TEST(SurfaceFormat, ClearEmptiesAndCreationIsOnePixel15Bits) {
    TDIBX s;
    EXPECT_EQ(s.GetWidth(), 1);
    EXPECT_EQ(s.GetBitCount(), 15);
    EXPECT_EQ(s.TransparentColor, -1);
    s.SetSize(5, 5, 32);
    s.Clear();
    EXPECT_TRUE(s.IsEmpty());
    s.FillRect(TRect(0, 0, 5, 5), 1);               // nothing to draw into, no crash
}

TEST(SurfaceFormat, SharedPixelsDetachOnDrawing) {
    auto a = filled(4, 4, 32, 1);
    TDIBX b;
    b.ShareFrom(*a);
    EXPECT_EQ(b.ScanLine(0), a->ScanLine(0));
    b.FillRect(TRect(0, 0, 1, 1), 2);
    EXPECT_EQ(a->GetPixel(0, 0), 1u);
    EXPECT_EQ(b.GetPixel(0, 0), 2u);
}

TEST(SurfaceFormat, ForeignBottomUpPixels) {
    // Two rows stored bottom-up: row 0 is the last in memory.
    uint32_t memory[2 * 2] = {3, 4, 1, 2};
    TDIBX s;
    s.SetExternalPixels(reinterpret_cast<uint8_t*>(memory + 2), 2, 2, 32, -8);
    EXPECT_EQ(pixelsOf(s), (std::vector<uint32_t>{1, 2, 3, 4}));
    auto src = surfaceOf(2, 2, 32, {5, 6, 7, 8});
    s.Draw(0, 0, false, false, false, TRect(0, 0, 2, 2), *src);
    EXPECT_EQ((std::vector<uint32_t>(memory, memory + 4)), (std::vector<uint32_t>{7, 8, 5, 6}));
    // Assign between equal surfaces copies the memory block.
    TDIBX t;
    uint32_t other[4] = {};
    t.SetExternalPixels(reinterpret_cast<uint8_t*>(other + 2), 2, 2, 32, -8);
    t.Assign(s);
    EXPECT_EQ(pixelsOf(t), (std::vector<uint32_t>{5, 6, 7, 8}));
}

TEST(SurfaceFormat, BitmapWriterRoundTrip) {
    for (int32_t bits : {8, 16, 24, 32}) {
        auto s = surfaceOf(3, 2, bits, {1, 2, 3, 4, 5, 6});
        TKsMemoryStream m;
        s->SaveToStream(m);
        TDecodedImage img = readBmp(m.Memory(), size_t(m.GetSize()));
        ASSERT_EQ(img.Bitmap.Width(), 3);
        ASSERT_EQ(img.Bitmap.Height(), 2);
        for (int32_t y = 0; y < 2; ++y)
            for (int32_t x = 0; x < 3; ++x) {
                uint32_t want = s->GetPixel(x, y);
                uint32_t got = img.Bitmap.GetPixel(x, y);
                if (img.Bitmap.BitCount() != bits)   // the reader may widen; compare colours
                    EXPECT_EQ(pixelToColorBits(img.Bitmap.BitCount(), got), s->PixelToColor(want)) << bits;
                else
                    EXPECT_EQ(got, want) << bits << " at " << x << "," << y;
            }
    }
}
