// Character drawing on small pictures: the compositing arithmetic of each
// primitive at 32, 16 and 15 bits, border stamping, clipping, the centring
// of narrow glyphs, and the shadow, underline and strike-out bands of
// DrawChar with runs of characters.
#include <gtest/gtest.h>

#include "text/DrawChar.h"
#include "text/FakeFontService.h"
#include "text/TFontPixelManager.h"

namespace zuno {
namespace {

using test::TFakeFontState;
using test::TFakeFontService;

// A glyph with the given mask rows (one value per pixel).
void setMask(TFontPixel& g, const std::vector<std::vector<uint8_t>>& rows) {
    g.GlyphMask.SetSize(int32_t(rows[0].size()), int32_t(rows.size()), 8);
    for (size_t y = 0; y < rows.size(); ++y)
        for (size_t x = 0; x < rows[y].size(); ++x) g.GlyphMask.SetPixel(int32_t(x), int32_t(y), rows[y][x]);
}

struct Pictures {
    TDIBX colour;
    TDIBX alpha;
    Pictures(int32_t w, int32_t h, int32_t bits = 32) : colour(w, h, bits), alpha(w, h, 8) {
        colour.Fill(0);
        alpha.Fill(0);
    }
    uint32_t c(int32_t x, int32_t y) { return colour.GetPixel(x, y); }
    uint32_t a(int32_t x, int32_t y) { return alpha.GetPixel(x, y); }
};

TEST(DrawCharPrimitives, CompositeBlendsByTheShareOfTheNewCoverage) {
    struct Case {
        uint8_t m;
        uint8_t alpha0;
        uint32_t pixel0, colour;
        uint8_t alpha;
        uint32_t pixel;
    };
    const Case cases[] = {
        {255, 40, 0x123456, 0x00FF8040, 255, 0x00FF8040},     // full coverage: copied
        {128, 0, 0, 0xFFFFFF, 128, 0xFEFEFE},                 // weight 255, shifted by 8
        {128, 128, 0, 0xFFFFFF, 191, 0xA9A9A9},               // alpha 191, weight 170
        {64, 255, 0x0000FF, 0xFF0000, 255, 0x3F00BE},         // weight 64 over a full pixel
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(int(k.m));
        Pictures p(4, 4);
        p.colour.SetPixel(1, 1, k.pixel0);
        p.alpha.SetPixel(1, 1, k.alpha0);
        TFontPixel g;
        setMask(g, {{k.m}});
        DrawComposite(g, p.colour, p.alpha, 1, 1, k.colour);
        EXPECT_EQ(p.a(1, 1), k.alpha);
        EXPECT_EQ(p.c(1, 1), k.pixel);
    }
}

TEST(DrawCharPrimitives, OverColourBlendsWithTheUnderColourPerChannelMask) {
    struct Case {
        int32_t bits;
        uint8_t m;
        uint32_t text, under, expected;
    };
    const Case cases[] = {
        {32, 255, 0xFFFFFF, 0x000000, 0xFFFFFF},
        {32, 64, 0xFFFFFF, 0x000000, 0x3F3F3F},       // the pixel under it plays no part
        {32, 128, 0x0000FF, 0x00FF00, 0x007E7F},   // 127 x 0xFF00 >> 8 loses the low green bit
        {16, 128, 0xFFFF, 0x0000, 0x7BEF},            // 5-6-5
        {15, 128, 0x7FFF, 0x0000, 0x3DEF},            // 5-5-5
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.bits);
        Pictures p(3, 3, k.bits);
        p.colour.SetPixel(0, 0, 0x1234);
        TFontPixel g;
        setMask(g, {{k.m, 0}});
        DrawOverColour(g, p.colour, 0, 0, k.text, k.under);
        EXPECT_EQ(p.c(0, 0), k.expected);
        EXPECT_EQ(p.c(1, 0), 0u);                     // coverage 0 changes nothing
    }
}

TEST(DrawCharPrimitives, AlphaOnlyPrimitivesAndOtherDepths) {
    Pictures p(4, 1);
    p.alpha.SetPixel(0, 0, 200);
    p.alpha.SetPixel(1, 0, 10);
    TFontPixel g;
    setMask(g, {{100, 100, 0, 1}});
    MaxAlpha(g, p.alpha, 0, 0);
    EXPECT_EQ(p.a(0, 0), 200u);
    EXPECT_EQ(p.a(1, 0), 100u);
    EXPECT_EQ(p.a(2, 0), 0u);
    MarkAlpha(g, p.alpha, 0, 0);
    EXPECT_EQ(p.a(1, 0), 255u);
    EXPECT_EQ(p.a(2, 0), 0u);
    EXPECT_EQ(p.a(3, 0), 255u);

    TDIBX eight(2, 2, 8), alpha(2, 2, 8);
    eight.Fill(7);
    alpha.Fill(0);
    DrawSolid(g, eight, 0, 0, 99);
    DrawComposite(g, eight, alpha, 0, 0, 99);
    EXPECT_EQ(eight.GetPixel(0, 0), 7u);
    EXPECT_EQ(alpha.GetPixel(0, 0), 0u);
}

TEST(DrawCharPrimitives, ClipsTheMaskToThePicture) {
    TFontPixel g;
    setMask(g, {{255, 255, 255}, {255, 255, 255}, {255, 255, 255}});
    const struct {
        int32_t x, y;
        int32_t covered;
    } cases[] = {{-1, -1, 4}, {3, 3, 1}, {-3, 0, 0}, {4, 0, 0}, {1, 1, 9}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.x * 100 + k.y);
        Pictures p(4, 4);
        DrawSolid(g, p.colour, k.x, k.y, 0xABCDEF);
        MarkAlpha(g, p.alpha, k.x, k.y);
        int32_t colours = 0, alphas = 0;
        for (int32_t y = 0; y < 4; ++y)
            for (int32_t x = 0; x < 4; ++x) {
                colours += p.c(x, y) == 0xABCDEF;
                alphas += p.a(x, y) == 255;
            }
        EXPECT_EQ(colours, k.covered);
        EXPECT_EQ(alphas, k.covered);
    }
}

TEST(DrawCharPrimitives, BorderStampsTheSquareAroundEachPixelButItsCentre) {
    TFontPixel g;
    setMask(g, {{255}});
    // Inside the picture and across its corner.
    for (int32_t at : {10, 0}) {
        SCOPED_TRACE(at);
        Pictures p(24, 24);
        DrawBorder(g, p.colour, p.alpha, at, at, 0x00FF00, 2);
        for (int32_t y = 0; y < 24; ++y)
            for (int32_t x = 0; x < 24; ++x) {
                bool ring = std::abs(x - at) <= 2 && std::abs(y - at) <= 2 && !(x == at && y == at);
                EXPECT_EQ(p.a(x, y), ring ? 255u : 0u) << x << "," << y;
                EXPECT_EQ(p.c(x, y), ring ? 0x00FF00u : 0u) << x << "," << y;
            }
    }
    // Partial coverage: a pixel that two stamps reach is composited twice.
    TFontPixel two;
    setMask(two, {{128, 128}});
    Pictures p(8, 8);
    DrawBorder(two, p.colour, p.alpha, 3, 3, 0xFFFFFF, 1);
    EXPECT_EQ(p.a(2, 2), 128u);                       // one stamp
    EXPECT_EQ(p.a(3, 2), 191u);                       // both stamps
    EXPECT_EQ(p.a(3, 3), 128u);                       // the right pixel's stamp only
}

class DrawCharTest : public ::testing::Test {
protected:
    void SetUp() override {
        State.Faces = {"Face", fallbackFaceName()};
        Manager = std::make_unique<TFontPixelManager>(std::make_unique<TFakeFontService>(State));
    }
    // A glyph of the given mask for a font of height `height`.
    TFontPixel& glyph(uint16_t code, int32_t w, int32_t h, uint8_t m = 255, int32_t height = 24) {
        auto g = std::make_unique<TFontPixel>();
        g->CharCode = code;
        g->FontName = "Face";
        g->FontHeight = height;
        setMask(*g, std::vector<std::vector<uint8_t>>(size_t(h), std::vector<uint8_t>(size_t(w), m)));
        g->ExtraAdvance = height;                     // wide enough: no centring
        Glyphs.push_back(std::move(g));
        return *Glyphs.back();
    }
    TFakeFontState State;
    std::unique_ptr<TFontPixelManager> Manager;
    std::vector<std::unique_ptr<TFontPixel>> Glyphs;
    TDrawCharColours Colours{0x000033, 0x0000CC, 0xFFFFFF};
};

TEST_F(DrawCharTest, NarrowGlyphsAreCentredByTheirABCWidths) {
    struct Case {
        int32_t cellWidth, fontHeight, maskWidth, left, extra;
        TAbcWidths abc;
        int32_t s;
    };
    const Case cases[] = {
        {24, 24, 6, 1, 1, {1, 6, 5}, 5},      // round(4 x 18 / 12) = 6, less the glyph's left
        {23, 24, 2, 0, 0, {1, 2, 1}, 10},     // 10.5 rounds to the even 10
        {25, 24, 2, 0, 0, {1, 2, 1}, 11},     // g = min(cell, font height) = 24: 11 exactly
        {24, 24, 4, 0, 0, {0, 4, 0}, 10},     // A + C = 0: half the free width
        {24, 24, 20, 2, 2, {2, 20, 2}, 0},    // left + extra (4) not below the free width (4)
        {24, 24, 4, 12, 0, {1, 4, 1}, 0},     // 10 less the left 12: never below 0
    };
    uint16_t code = 'a';
    for (const Case& k : cases) {
        SCOPED_TRACE(code);
        TFontPixel& g = glyph(code, k.maskWidth, 2, 255, k.fontHeight);
        g.GlyphLeft = k.left;
        g.ExtraAdvance = k.extra;
        test::TFakeGlyph fake;
        fake.Abc = k.abc;
        State.Glyphs[code] = fake;
        EXPECT_EQ(centringOffset(*Manager, g, k.cellWidth), k.s);
        Pictures p(40, 30);
        TRect r = DrawChar(*Manager, g, p.colour, p.alpha, false, Colours, {}, 0, 0, TRect::bounds(3, 2, k.cellWidth, 24));
        EXPECT_EQ(r.Left, 3 + k.left + k.s);
        ++code;
    }
}

TEST_F(DrawCharTest, PlainGlyphsSetTheColourAndRaiseTheAlpha) {
    TFontPixel& g = glyph('p', 2, 1, 100);
    g.GlyphLeft = 1;
    g.GlyphTop = 2;
    Pictures p(10, 10);
    p.alpha.SetPixel(2, 3, 150);
    TRect r = DrawChar(*Manager, g, p.colour, p.alpha, false, Colours, {}, 0, 0, TRect::bounds(1, 1, 8, 8));
    EXPECT_EQ(r, TRect::bounds(2, 3, 2, 1));
    EXPECT_EQ(p.c(2, 3), Colours.Text);
    EXPECT_EQ(p.a(2, 3), 150u);                       // the larger alpha stays
    EXPECT_EQ(p.a(3, 3), 100u);
    // With the clear flag the mask replaces the alpha and the colour fills its box.
    TFontPixel& h = glyph('q', 2, 1);
    setMask(h, {{0, 77}});
    p.alpha.SetPixel(1, 1, 200);
    DrawChar(*Manager, h, p.colour, p.alpha, true, Colours, {}, 0, 0, TRect::bounds(1, 1, 8, 8));
    EXPECT_EQ(p.a(1, 1), 0u);
    EXPECT_EQ(p.a(2, 1), 77u);
    EXPECT_EQ(p.c(1, 1), Colours.Text);
}

TEST_F(DrawCharTest, BorderedGlyphHasTheTextOverTheBorder) {
    TFontPixel& g = glyph('b', 1, 1);
    Pictures p(12, 12);
    TRect r = DrawChar(*Manager, g, p.colour, p.alpha, false, Colours, {}, 0, 2, TRect::bounds(1, 1, 9, 9));
    EXPECT_EQ(r, TRect::bounds(1, 1, 5, 5));
    for (int32_t y = 0; y < 12; ++y)
        for (int32_t x = 0; x < 12; ++x) {
            bool inSquare = x >= 1 && x <= 5 && y >= 1 && y <= 5;
            uint32_t colour = !inSquare ? 0 : (x == 3 && y == 3) ? Colours.Text : Colours.Border;
            EXPECT_EQ(p.c(x, y), colour) << x << "," << y;
            EXPECT_EQ(p.a(x, y), inSquare ? 255u : 0u) << x << "," << y;
        }
}

TEST_F(DrawCharTest, ShadowWithoutBorderCopiesTheMaskRightAndDown) {
    TFontPixel& g = glyph('s', 2, 2);
    Pictures p(10, 10);
    TRect r = DrawChar(*Manager, g, p.colour, p.alpha, false, Colours, {}, 3, 0, TRect::bounds(0, 0, 8, 8));
    EXPECT_EQ(r, TRect::bounds(0, 0, 5, 5));
    for (int32_t y = 0; y < 10; ++y)
        for (int32_t x = 0; x < 10; ++x) {
            bool text = x < 2 && y < 2, shadow = x >= 3 && x < 5 && y >= 3 && y < 5;
            EXPECT_EQ(p.c(x, y), text ? Colours.Text : shadow ? Colours.Shadow : 0u) << x << "," << y;
            EXPECT_EQ(p.a(x, y), text || shadow ? 255u : 0u) << x << "," << y;
        }
}

TEST_F(DrawCharTest, AnUnderlinedRunJoinsIntoOneBarWithItsShadowShifted) {
    // Three cells of 10 x 12, shadow 2, underline 1: the shadow bar (row 11)
    // starts 2 into the first cell, the main bar (row 9) ends 2 before the
    // end of the last.
    Pictures p(40, 16);
    for (int32_t i = 0; i < 3; ++i) {
        TFontPixel& g = glyph(uint16_t('u' + i), 1, 1);
        g.UnderlineSize = 1;
        DrawChar(*Manager, g, p.colour, p.alpha, false, Colours, {i == 2, i == 0}, 2, 0, TRect::bounds(10 * i, 0, 10, 12));
    }
    for (int32_t x = 0; x < 40; ++x) {
        bool shadowBar = x >= 2 && x < 30, mainBar = x < 28;
        EXPECT_EQ(p.c(x, 11), shadowBar ? Colours.Shadow : 0u) << x;
        EXPECT_EQ(p.a(x, 11), shadowBar ? 255u : 0u) << x;
        EXPECT_EQ(p.c(x, 9), mainBar ? Colours.Text : 0u) << x;
        EXPECT_EQ(p.a(x, 10), 0u) << x;
    }
}

TEST_F(DrawCharTest, BandsOfBorderedUnderlineAndStrikeOut) {
    TFontPixel& g = glyph('k', 1, 1);
    g.UnderlineSize = 1;
    g.StrikeOutTop = 5;
    g.StrikeOutSize = 1;
    g.GlyphLeft = 0;
    Pictures p(12, 20);
    // Border 1, no shadow: underline at H - 1 - 1 with border rows above and
    // below; strike-out at 1 + 5 with border rows at 5 and 7.
    TRect r = DrawChar(*Manager, g, p.colour, p.alpha, false, Colours, {true, true}, 0, 1, TRect::bounds(0, 0, 10, 16));
    const struct {
        int32_t y;
        uint32_t colour;
    } rows[] = {{13, Colours.Border}, {14, Colours.Text}, {15, Colours.Border},
                {5, Colours.Border},  {6, Colours.Text},  {7, Colours.Border}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.y);
        for (int32_t x = 0; x < 10; ++x) {
            EXPECT_EQ(p.c(x, row.y), row.colour) << x;
            EXPECT_EQ(p.a(x, row.y), 255u) << x;
        }
        EXPECT_EQ(p.a(10, row.y), 0u);
    }
    EXPECT_EQ(r, TRect(0, 0, 10, 16));
}

TEST_F(DrawCharTest, PlainUnderlineAndStrikeOutChangeOnlyTheAlpha) {
    TFontPixel& g = glyph('l', 1, 1);
    g.UnderlineSize = 2;
    g.StrikeOutTop = 4;
    g.StrikeOutSize = 1;
    Pictures p(10, 10);
    TRect r = DrawChar(*Manager, g, p.colour, p.alpha, false, Colours, {true, true}, 0, 0, TRect::bounds(0, 0, 6, 8));
    EXPECT_EQ(r, TRect(0, 0, 6, 8));
    for (int32_t x = 0; x < 6; ++x)
        for (int32_t y : {4, 6, 7}) {
            EXPECT_EQ(p.a(x, y), 255u);
            EXPECT_EQ(p.c(x, y), x == 0 && y == 0 ? Colours.Text : 0u);
        }
    EXPECT_EQ(p.a(0, 5), 0u);
}

TEST_F(DrawCharTest, AnEmptyMaskDrawsNothing) {
    auto g = std::make_unique<TFontPixel>();
    g->UnderlineSize = 3;
    Pictures p(6, 6);
    TRect r = DrawChar(*Manager, *g, p.colour, p.alpha, true, Colours, {true, true}, 2, 2, TRect::bounds(0, 0, 6, 6));
    EXPECT_TRUE(r.isEmpty());
    for (int32_t y = 0; y < 6; ++y)
        for (int32_t x = 0; x < 6; ++x) EXPECT_EQ(p.a(x, y), 0u);
}

TEST_F(DrawCharTest, DrawingPastThePictureIsClipped) {
    TFontPixel& g = glyph('c', 4, 4);
    g.UnderlineSize = 1;
    g.StrikeOutSize = 1;
    Pictures p(5, 5);
    for (int32_t at : {-30, -3, 3, 30}) {
        for (int32_t w : {0, 2}) {
            DrawChar(*Manager, g, p.colour, p.alpha, true, Colours, {true, true}, 1, w, TRect::bounds(at, at, 8, 8));
        }
    }
    EXPECT_EQ(p.a(4, 4), 255u);
}

} // namespace
} // namespace zuno
