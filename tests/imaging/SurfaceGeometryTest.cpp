// Which source pixel lands where: clipping, flips, stretches, rotation,
// tiles, patterns and the row-offset surface.
#include <gtest/gtest.h>

#include "SurfaceTestUtil.h"
#include "imaging/TDIBXWave.h"

using namespace zuno;
using namespace zuno::test;

namespace {

// A 3 x 2 source with pixels 1..6 row by row, drawn into a 5 x 3 surface of 0.
struct ClipCase {
    const char*           name;
    int32_t               x, y;
    bool                  flipV, flipH;
    TRect                 clip;      // Right 0: none
    TRect                 src;
    std::vector<uint32_t> expected;  // 5 x 3
};

const ClipCase kClipCases[] = {
    {"plain", 1, 0, false, false, {}, {0, 0, 3, 2}, {0, 1, 2, 3, 0, 0, 4, 5, 6, 0, 0, 0, 0, 0, 0}},
    {"flip h", 1, 0, false, true, {}, {0, 0, 3, 2}, {0, 3, 2, 1, 0, 0, 6, 5, 4, 0, 0, 0, 0, 0, 0}},
    {"flip v", 1, 1, true, false, {}, {0, 0, 3, 2}, {0, 0, 0, 0, 0, 0, 4, 5, 6, 0, 0, 1, 2, 3, 0}},
    {"both flips", 0, 0, true, true, {}, {0, 0, 3, 2}, {6, 5, 4, 0, 0, 3, 2, 1, 0, 0, 0, 0, 0, 0, 0}},
    // Cut on the left: without flip the source's left column goes...
    {"cut left", -1, 0, false, false, {}, {0, 0, 3, 2}, {2, 3, 0, 0, 0, 5, 6, 0, 0, 0, 0, 0, 0, 0, 0}},
    // ...with the flip its right column goes (the destination's left shows the source's right).
    {"cut left flipped", -1, 0, false, true, {}, {0, 0, 3, 2}, {2, 1, 0, 0, 0, 5, 4, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"cut right", 3, 0, false, false, {}, {0, 0, 3, 2}, {0, 0, 0, 1, 2, 0, 0, 0, 4, 5, 0, 0, 0, 0, 0}},
    {"cut right flipped", 3, 0, false, true, {}, {0, 0, 3, 2}, {0, 0, 0, 3, 2, 0, 0, 0, 6, 5, 0, 0, 0, 0, 0}},
    {"cut top flipped v", 0, -1, true, false, {}, {0, 0, 3, 2}, {1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"cut bottom", 0, 2, false, false, {}, {0, 0, 3, 2}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 0, 0}},
    {"clip rect", 0, 0, false, false, {1, 1, 3, 3}, {0, 0, 3, 2}, {0, 0, 0, 0, 0, 0, 5, 6, 0, 0, 0, 0, 0, 0, 0}},
    {"outside clip", 0, 0, false, false, {4, 2, 5, 3}, {0, 0, 3, 2}, std::vector<uint32_t>(15, 0)},
    {"wholly outside", 6, 0, false, false, {}, {0, 0, 3, 2}, std::vector<uint32_t>(15, 0)},
    {"source part", 0, 0, false, false, {}, {1, 1, 3, 2}, {5, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    // A source rectangle beyond the picture is cut to it.
    {"source beyond picture", 0, 0, false, false, {}, {-1, 0, 4, 1}, {0, 1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"source beyond picture flipped", 0, 0, false, true, {}, {-1, 0, 4, 1},
     {0, 3, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
};

} // namespace

TEST(SurfaceGeometry, DrawClipsAndFlips) {
    for (int32_t bits : {32, 16, 8}) {
        for (const ClipCase& c : kClipCases) {
            auto src = surfaceOf(3, 2, bits, {1, 2, 3, 4, 5, 6});
            TDIBX dst(5, 3, bits);
            dst.ClipRect = c.clip;
            dst.Draw(c.x, c.y, c.flipV, c.flipH, false, c.src, *src);
            EXPECT_EQ(pixelsOf(dst), c.expected) << c.name << " at " << bits << " bits";
        }
    }
}

TEST(SurfaceGeometry, MaskFollowsTheSourceThroughFlips) {
    auto src = surfaceOf(3, 1, 32, {1, 2, 3});
    auto mask = surfaceOf(3, 1, 8, {255, 0, 255});
    TDIBX dst(3, 1, 32);
    dst.DrawMask(0, 0, *mask, false, true, TRect(0, 0, 3, 1), *src);
    EXPECT_EQ(pixelsOf(dst), (std::vector<uint32_t>{3, 0, 1}));
    // A mask smaller than the source limits the draw instead of being overrun.
    auto small = surfaceOf(2, 1, 8, {255, 255});
    TDIBX dst2(3, 1, 32);
    dst2.DrawMask(0, 0, *small, false, false, TRect(0, 0, 3, 1), *src);
    EXPECT_EQ(pixelsOf(dst2), (std::vector<uint32_t>{1, 2, 0}));
}

TEST(SurfaceGeometry, TransparentCopySkipsKeyRuns) {
    // Runs longer than four key pixels, between and around opaque ones.
    auto src = surfaceOf(12, 1, 32, {9, 9, 9, 9, 9, 9, 1, 9, 2, 9, 9, 9});
    src->TransparentColor = 9;
    auto dst = filled(12, 1, 32, 7);
    dst->Draw(0, 0, false, false, true, TRect(0, 0, 12, 1), *src);
    EXPECT_EQ(pixelsOf(*dst), (std::vector<uint32_t>{7, 7, 7, 7, 7, 7, 1, 7, 2, 7, 7, 7}));
}

TEST(SurfaceGeometry, StretchMapsAndClips) {
    struct Case {
        const char*           name;
        TRect                 dest;
        bool                  flipH;
        TRect                 clip;
        std::vector<uint32_t> expected;   // 6 x 1
    };
    const Case cases[] = {
        {"double", {0, 0, 4, 1}, false, {}, {1, 1, 2, 2, 0, 0}},
        {"double flipped", {0, 0, 4, 1}, true, {}, {2, 2, 1, 1, 0, 0}},
        // The step 65536 / 3 is truncated to 21845, so 3 steps stay below 1.0.
        {"triple", {0, 0, 6, 1}, false, {}, {1, 1, 1, 1, 2, 2}},
        // Cutting 2 destination columns advances the source by 2 x 1/3; the
        // fraction carries into the stepping and gives the same pixels.
        {"triple clipped", {0, 0, 6, 1}, false, {2, 0, 6, 1}, {0, 0, 1, 1, 2, 2}},
        {"left of surface", {-3, 0, 3, 1}, false, {}, {2, 2, 2, 0, 0, 0}},
        {"shrink", {0, 0, 1, 1}, false, {}, {1, 0, 0, 0, 0, 0}},
    };
    auto src = surfaceOf(2, 1, 32, {1, 2});
    for (const Case& c : cases) {
        TDIBX dst(6, 1, 32);
        dst.ClipRect = c.clip;
        dst.StretchDrawAlpha(c.dest, *src, 255, false, c.flipH, false, TRect(0, 0, 2, 1));
        EXPECT_EQ(pixelsOf(dst), c.expected) << c.name;
    }
}

TEST(SurfaceGeometry, RotationPlacesTheCentreAndTurnsClockwise) {
    // Source [1 2] with centre (0, 0) put at (2, 2) of a 5 x 5 surface.
    auto src = surfaceOf(2, 1, 32, {1, 2});
    struct Case {
        const char* name;
        int32_t     angle, zoomX;
        bool        flipH;
        std::vector<std::pair<int, int>> at;   // where 1 and 2 land
    };
    const Case cases[] = {
        {"no turn", 0, 256, false, {{2, 2}, {3, 2}}},
        {"quarter turn", 64, 256, false, {{2, 2}, {2, 3}}},
        {"half turn", 128, 256, false, {{2, 2}, {1, 2}}},
        {"three quarters", 192, 256, false, {{2, 2}, {2, 1}}},
        // The centre is mirrored with the picture: the source pixel (0, 0)
        // stays on the point and the picture turns over around it.
        {"flipped", 0, 256, true, {{2, 2}, {1, 2}}},
        {"flipped quarter turn", 64, 256, true, {{2, 2}, {2, 1}}},
    };
    for (const Case& c : cases) {
        TDIBX dst(5, 5, 32);
        dst.DrawRotate(2, 2, 255, false, c.flipH, false, c.angle, 0, 0, c.zoomX, 256, TRect(0, 0, 2, 1), *src);
        std::vector<uint32_t> expected(25, 0);
        expected[size_t(c.at[0].second * 5 + c.at[0].first)] = 1;
        expected[size_t(c.at[1].second * 5 + c.at[1].first)] = 2;
        EXPECT_EQ(pixelsOf(dst), expected) << c.name;
    }
    // Zoom 2 x 1: each pixel covers two columns.
    TDIBX dst(6, 1, 32);
    dst.DrawRotate(1, 0, 255, false, false, false, 0, 0, 0, 512, 256, TRect(0, 0, 2, 1), *src);
    EXPECT_EQ(pixelsOf(dst), (std::vector<uint32_t>{0, 1, 1, 2, 2, 0}));
    EXPECT_EQ(TCustomDIBX::GetRotateBounds(1, 0, TRect(0, 0, 2, 1), 0, 0, false, false, 0, 512, 256),
              TRect(1, 0, 6, 2));
}

TEST(SurfaceGeometry, RotationBlendsBelowFullOpacityAndHonoursTheKey) {
    auto src = surfaceOf(2, 1, 32, {0x00FF0000, 0x00000009});
    src->TransparentColor = 9;
    auto dst = filled(3, 1, 32, 0);
    dst->DrawRotate(0, 0, 128, false, false, true, 0, 0, 0, 256, 256, TRect(0, 0, 2, 1), *src);
    EXPECT_EQ(pixelsOf(*dst), (std::vector<uint32_t>{0x007F0000, 0, 0}));
}

TEST(SurfaceGeometry, TilesStartAtThePhase) {
    struct Case {
        const char*           name;
        int32_t               phase, spacing;
        std::vector<uint32_t> expected;   // 7 x 1, destRect 1..7
    };
    const Case cases[] = {
        {"phase 0", 0, 0, {0, 1, 2, 3, 1, 2, 3}},
        {"phase 1", 1, 0, {0, 2, 3, 1, 2, 3, 1}},
        // Negative phase: starts at tile size - (1 mod 3) = 2.
        {"phase -1", -1, 0, {0, 3, 1, 2, 3, 1, 2}},
        {"phase 4", 4, 0, {0, 2, 3, 1, 2, 3, 1}},
        {"spacing", 0, 1, {0, 1, 2, 3, 0, 1, 2}},
    };
    auto src = surfaceOf(3, 1, 32, {1, 2, 3});
    for (const Case& c : cases) {
        TDIBX dst(7, 1, 32);
        dst.ClipRect = TRect(0, 0, 6, 1);    // the clip survives the call
        dst.DrawTile(TRect(1, 0, 7, 1), c.spacing, 0, c.phase, 0, false, TRect(0, 0, 3, 1), *src);
        auto expected = c.expected;
        expected[6] = 0;                    // outside the clip
        EXPECT_EQ(pixelsOf(dst), expected) << c.name;
        EXPECT_EQ(dst.ClipRect, TRect(0, 0, 6, 1)) << c.name;
    }
    // Zoomed tiles: each tile is the source stretched to twice its width.
    TDIBX dst(6, 1, 32);
    dst.DrawZoomTile(TRect(0, 0, 6, 1), 0, 0, 0, 0, 512, 256, 255, false, TRect(0, 0, 2, 1), *surfaceOf(2, 1, 32, {1, 2}));
    EXPECT_EQ(pixelsOf(dst), (std::vector<uint32_t>{1, 1, 2, 2, 1, 1}));
}

TEST(SurfaceGeometry, PatternsRepeatFromTheOffset) {
    auto pat = surfaceOf(2, 2, 32, {1, 2, 3, 4});
    TDIBX dst(3, 3, 32);
    dst.FillPattern(TRect(0, 0, 3, 3), *pat, false, false, 1, 0);
    EXPECT_EQ(pixelsOf(dst), (std::vector<uint32_t>{2, 1, 2, 4, 3, 4, 2, 1, 2}));
    dst.FillPattern(TRect(0, 0, 3, 3), *pat, true, true, -1, 0);
    EXPECT_EQ(pixelsOf(dst), (std::vector<uint32_t>{3, 4, 3, 1, 2, 1, 3, 4, 3}));
    // Zoom 2: every pattern pixel covers 2 x 2.
    TDIBX big(4, 2, 32);
    big.FillZoomPattern(TRect(0, 0, 4, 2), *pat, 512, 512, 0, 0, false, false, false, 255);
    EXPECT_EQ(pixelsOf(big), (std::vector<uint32_t>{1, 1, 2, 2, 1, 1, 2, 2}));
    // The frame of patterns keeps the pattern continuous around the frame.
    TDIBX framed(4, 4, 32);
    framed.FramePattern(TRect(0, 0, 4, 4), 1, false, false, *pat);
    EXPECT_EQ(pixelsOf(framed), (std::vector<uint32_t>{1, 2, 1, 2, 3, 0, 0, 4, 1, 0, 0, 2, 3, 4, 3, 4}));
}

TEST(SurfaceGeometry, FramesAreFourBands) {
    auto dst = filled(4, 4, 32, 0);
    dst->FrameRectAdd(TRect(0, 0, 4, 4), 1, 0x10);
    EXPECT_EQ(pixelsOf(*dst),
              (std::vector<uint32_t>{0x10, 0x10, 0x10, 0x10, 0x10, 0, 0, 0x10, 0x10, 0, 0, 0x10, 0x10, 0x10, 0x10, 0x10}));
}

TEST(SurfaceGeometry, WaveShiftsRowsAndSkipsRowsOutsideItsTable) {
    TDIBX screen(6, 4, 32);
    TDIBXWave wave;
    wave.SetTarget(&screen);
    wave.SetSize(6, 2, 32);
    wave.FirstRow = 1;
    wave.Offsets = {1, -1};
    auto src = surfaceOf(2, 4, 32, {1, 2, 3, 4, 5, 6, 7, 8});
    wave.Draw(2, 0, false, false, false, TRect(0, 0, 2, 4), *src);
    EXPECT_EQ(pixelsOf(screen), (std::vector<uint32_t>{
                                    0, 0, 0, 0, 0, 0,    // row 0: above the table, not drawn
                                    0, 0, 0, 3, 4, 0,    // row 1: shifted right by 1
                                    0, 5, 6, 0, 0, 0,    // row 2: shifted left by 1
                                    0, 0, 0, 0, 0, 0})); // row 3: below the table
    EXPECT_EQ(screen.ClipRect, TRect());
    wave.FillRect(TRect(0, 0, 2, 4), 9);
    EXPECT_EQ(screen.GetPixel(1, 1), 9u);
    EXPECT_EQ(screen.GetPixel(0, 1), 0u);
    EXPECT_EQ(screen.GetPixel(0, 2), 9u);
    EXPECT_EQ(screen.GetPixel(0, 0), 0u);
}

TEST(SurfaceGeometry, ReducedDrawingCountsInkBits) {
    // 8 x 4 one-bit picture: the left block has 8 zero bits, the right none.
    TDIBX bits(8, 4, 1);
    for (int32_t y = 0; y < 4; ++y) bits.ScanLine(y)[0] = y < 2 ? 0x0F : 0xFF;
    auto dst = filled(2, 1, 32, 0);
    dst->DrawReduced(0, 0, 4, 255, false, false, 0x00FFFFFF, TRect(0, 0, 2, 1), bits);
    // (255 x 8 + 0 x 8) / 16 = 127 in the colour channels.
    EXPECT_EQ(pixelsOf(*dst), (std::vector<uint32_t>{0x007F7F7F, 0}));
    // Opacity 128 weights the count: (128 x 8) >> 8 = 4 -> 255 x 4 / 16 = 63.
    auto dst2 = filled(2, 1, 32, 0);
    dst2->DrawReduced(0, 0, 4, 128, false, true, 0x00FFFFFF, TRect(0, 0, 2, 1), bits);
    EXPECT_EQ(pixelsOf(*dst2), (std::vector<uint32_t>{0, 0x003F3F3F}));
    TDIBX cover(2, 1, 8);
    cover.DrawReducedMask(0, 0, 4, 255, false, false, TRect(0, 0, 2, 1), bits);
    EXPECT_EQ(pixelsOf(cover), (std::vector<uint32_t>{127, 0}));
}

TEST(SurfaceGeometry, IndexedDrawingThroughAColourTable) {
    // Two bytes: nibbles 1 2 | 0 3 (high nibble first); value 0 is the key.
    TDIBX glyph(4, 1, 4);
    glyph.ScanLine(0)[0] = 0x12;
    glyph.ScanLine(0)[1] = 0x03;
    glyph.TransparentColor = 0;
    uint32_t table[16] = {0x00FFFFFF, 0x00100000, 0x00000020, 0x00FFFFFF};
    struct Case {
        const char*           name;
        int32_t               opacity;
        bool                  flipH;
        uint32_t              background;
        std::vector<uint32_t> expected;
    };
    const Case cases[] = {
        {"copy", 255, false, 0x00010101, {0x00100000, 0x00000020, 0x00010101, 0x00FFFFFF}},
        {"copy flipped", 255, true, 0x00010101, {0x00FFFFFF, 0x00010101, 0x00000020, 0x00100000}},
        // (1 x 127 + 0x10 x 128) >> 8 = 8 and (1 x 127) >> 8 = 0.
        {"blend", 128, false, 0x00010101, {0x00080000, 0x00000010, 0x00010101, 0x007F7F7F}},
        // Additive weight 300 - 256 = 44: 0x10 x 44 >> 8 = 2.
        {"additive", 300, false, 0x00010101, {0x00030101, 0x00010106, 0x00010101, 0x002C2C2C}},
        // A white pixel takes nothing more.
        {"additive on white", 300, false, 0x00FFFFFF, {0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF}},
    };
    for (const Case& c : cases) {
        auto dst = filled(4, 1, 32, c.background);
        dst->DrawIndexed(0, 0, table, c.opacity, false, c.flipH, TRect(0, 0, 4, 1), glyph);
        EXPECT_EQ(pixelsOf(*dst), c.expected) << c.name;
    }
}

TEST(SurfaceGeometry, IndexedAddUsesTheThreshold) {
    auto heat = surfaceOf(3, 1, 8, {16, 17, 255});
    uint32_t table[256] = {};
    for (int i = 0; i < 256; ++i) table[i] = 0x00010203u * uint32_t(i > 100 ? 1 : 2);
    auto dst = filled(3, 1, 32, 0x00101010);
    dst->DrawIndexedAdd(0, 0, table, 255, 16, false, false, TRect(0, 0, 3, 1), *heat);
    // (2 x 255) >> 8 = 1, (4 x 255) >> 8 = 3, (6 x 255) >> 8 = 5; (1, 2, 3) -> 0, 1, 2.
    EXPECT_EQ(pixelsOf(*dst), (std::vector<uint32_t>{0x00101010, 0x00111315, 0x00101112}));
    auto big = filled(6, 1, 32, 0);
    big->StretchDrawIndexed(TRect(0, 0, 6, 1), table, 255, 16, false, false, TRect(0, 0, 3, 1), *heat);
    EXPECT_EQ(pixelsOf(*big), (std::vector<uint32_t>{0, 0, 0x00010305, 0x00010305, 0x00000102, 0x00000102}));
}

TEST(SurfaceGeometry, DrawingASurfaceOntoItselfReadsTheOldPixels) {
    // Scrolling down and right by one: every row must come from the old picture.
    auto s = surfaceOf(3, 3, 32, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    s->Draw(1, 1, false, false, false, TRect(0, 0, 3, 3), *s);
    EXPECT_EQ(pixelsOf(*s), (std::vector<uint32_t>{1, 2, 3, 4, 1, 2, 7, 4, 5}));
    auto t = surfaceOf(3, 1, 32, {1, 2, 3});
    t->StretchDrawAlpha(TRect(0, 0, 3, 1), *t, 255, false, true, false, TRect(0, 0, 3, 1));
    EXPECT_EQ(pixelsOf(*t), (std::vector<uint32_t>{3, 2, 1}));
}

TEST(SurfaceGeometry, UnscaledStretchAndUnturnedRotationEqualDraw) {
    // Three routes to the same picture: their clipping and flipping must agree.
    uint32_t seed = 12345;
    auto next = [&seed](int32_t n) {
        seed = seed * 1103515245u + 12345u;
        return int32_t((seed >> 8) % uint32_t(n));
    };
    for (int iter = 0; iter < 400; ++iter) {
        int32_t sw = 1 + next(9), sh = 1 + next(9);
        auto src = std::make_unique<TDIBX>(sw, sh, 32);
        for (int32_t y = 0; y < sh; ++y)
            for (int32_t x = 0; x < sw; ++x) src->SetPixel(x, y, uint32_t(1 + x + 16 * y));
        int32_t l = next(sw), t = next(sh);
        TRect srcRect(l, t, l + 1 + next(sw - l), t + 1 + next(sh - t));
        int32_t x = next(16) - 6, y = next(16) - 6, cx = next(srcRect.width()), cy = next(srcRect.height());
        bool fv = next(2), fh = next(2);
        TRect clip = next(2) ? TRect() : TRect(next(5), next(5), 5 + next(6), 5 + next(6));
        TDIBX viaDraw(10, 10, 32), viaStretch(10, 10, 32), viaRotate(10, 10, 32);
        for (TDIBX* d : {&viaDraw, &viaStretch, &viaRotate}) d->ClipRect = clip;
        viaDraw.Draw(x, y, fv, fh, false, srcRect, *src);
        viaStretch.StretchDrawAlpha(TRect::bounds(x, y, srcRect.width(), srcRect.height()), *src, 255, fv, fh, false,
                                    srcRect);
        // The centre pixel stays put; the flipped picture lies around it.
        int32_t ox = fh ? srcRect.width() - 1 - cx : cx, oy = fv ? srcRect.height() - 1 - cy : cy;
        viaRotate.DrawRotate(x + ox, y + oy, 255, fv, fh, false, 0, cx, cy, 256, 256, srcRect, *src);
        ASSERT_EQ(pixelsOf(viaStretch), pixelsOf(viaDraw)) << "iteration " << iter;
        ASSERT_EQ(pixelsOf(viaRotate), pixelsOf(viaDraw)) << "iteration " << iter;
    }
}
