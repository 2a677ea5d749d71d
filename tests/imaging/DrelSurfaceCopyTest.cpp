// Frames copied into surfaces, and pictures loaded into surfaces.
#include <gtest/gtest.h>

#include "DrelTestUtil.h"
#include "imaging/TDIBX.h"
#include "imaging/TDrelFrameCopy.h"
#include "imaging/TDrelFrameList.h"

using namespace zuno;
using namespace zuno::test;

TEST(DrelSurfaceCopy, FramesOfEveryFormatKeepTheirColours) {
    for (int32_t bits : {4, 8, 15, 16, 24, 32}) {
        TDrelFrameList list;
        TDrelFrame* f = list.AddFrame();
        f->Bitmap = patternBitmap(9, 4, bits);
        if (bits == 32)
            for (int32_t y = 0; y < 4; ++y)
                for (int32_t x = 0; x < 9; ++x)
                    f->Bitmap.Row(y)[4 * x + 3] = 0xAB;   // not colour: dropped
        f->DrawRects = {TRect(1, 1, 2, 2)};
        f->SecondRects = {TRect(0, 0, 3, 3)};
        TDIBX dest(2, 2, 32);
        dest.ClipRect = TRect(0, 0, 1, 1);   // a copy is not limited by the clip rectangle
        copyFrameToSurface(*f, dest);
        ASSERT_EQ(dest.GetWidth(), 9);
        ASSERT_EQ(dest.GetHeight(), 4);
        ASSERT_EQ(dest.GetBitCount(), 32);
        for (int32_t y = 0; y < 4; ++y)
            for (int32_t x = 0; x < 9; ++x) {
                int32_t c = f->Bitmap.PixelToColor(f->Bitmap.GetPixel(x, y));
                uint32_t expect = uint32_t((c >> 16) & 0xFF) | uint32_t(c & 0xFF00) | (uint32_t(c & 0xFF) << 16);
                ASSERT_EQ(dest.GetPixel(x, y) & 0xFFFFFF, expect) << bits << " at " << x << "," << y;
                if (bits == 24 || bits == 32) {
                    ASSERT_EQ(dest.GetPixel(x, y) >> 24, 0u);
                }
            }
        EXPECT_EQ(dest.DrawRects, f->DrawRects);
        EXPECT_EQ(dest.SecondRects, f->SecondRects);
    }
}

TEST(DrelSurfaceCopy, MaskGoesToAnEightBitSurface) {
    TDrelFrameList list;
    TDrelFrame* f = list.AddFrame();
    f->Bitmap.SetSize(5, 3, 24);
    TDIBX mask;
    EXPECT_FALSE(copyFrameMaskToSurface(*f, mask));
    f->Mask = std::make_unique<TDrelBitmap>(patternMask(5, 3));
    ASSERT_TRUE(copyFrameMaskToSurface(*f, mask));
    ASSERT_EQ(mask.GetBitCount(), 8);
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 5; ++x)
            EXPECT_EQ(mask.GetPixel(x, y), f->Mask->Row(y)[x]);
}

TEST(DrelSurfaceCopy, SurfacesLoadPicturesByTheirFirstBytes) {
    TDrelBitmap pic = patternBitmap(6, 3, 24);
    TDrelFrameList out(77);   // protected: the surface loads it with the same code
    out.AddFrame()->Bitmap = pic;
    out.AddFrame()->Bitmap = patternBitmap(2, 2, 24);
    TKsMemoryStream drel;
    out.SaveToStream(drel);
    const std::vector<uint8_t> rgba = {1, 2, 3, 255, 4, 5, 6, 255};
    std::vector<uint8_t> png = writePngRgba(rgba.data(), 2, 1);

    TDIBX s(1, 1, 16);
    drel.SetPosition(0);
    s.LoadFromStream(drel, 77);
    ASSERT_EQ(s.GetWidth(), 6);
    EXPECT_EQ(s.GetBitCount(), 16);   // keeps its own format
    EXPECT_EQ(s.GetPixel(4, 2), s.ColorToPixel(pic.PixelToColor(pic.GetPixel(4, 2))));

    TKsMemoryStream pngStream(png);
    s.LoadFromStream(pngStream, 0);
    EXPECT_EQ(s.GetWidth(), 2);
    EXPECT_EQ(s.GetPixel(1, 0), s.ColorToPixel(0x060504));

    TKsMemoryStream junk(std::vector<uint8_t>{'G', 'I', 'F', '8', '9'});
    s.LoadFromStream(junk, 0);
    EXPECT_EQ(s.GetWidth(), 2);   // unchanged
}
