// The glyph cache over a fake font service: grey values into coverage at
// every level, placement of the mask in the cell, the cache's keys, its
// most-recently-used order and eviction, font selection and its fallbacks.
#include <gtest/gtest.h>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "text/FakeFontService.h"
#include "text/TFontPixelManager.h"
#include "text/TWdGlyph.h"

namespace zuno {
namespace {

using test::TFakeFontState;
using test::TFakeFontService;
using test::solidGlyph;

class FontPixelManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        State.Faces = {"Face", fallbackFaceName()};
        Manager = std::make_unique<TFontPixelManager>(std::make_unique<TFakeFontService>(State));
    }
    TFakeFontState State;
    std::unique_ptr<TFontPixelManager> Manager;
};

// A one-row glyph whose pixel x has grey value x (0..64 at level 3).
test::TFakeGlyph rampGlyph() {
    test::TFakeGlyph g = solidGlyph(65, 1);
    for (int32_t x = 0; x < 65; ++x) g.Grey[size_t(x)] = uint8_t(x);
    return g;
}

TEST_F(FontPixelManagerTest, GreyValuesBecomeTheCoverageOfTheirLevel) {
    State.Glyphs['A'] = rampGlyph();
    // The fake gives pixel x the grey value x * N / 64 at a level of N greys;
    // sample the pixels where each grey value first appears.
    struct Case {
        int32_t level;
        std::vector<uint8_t> coverage;      // of grey values 0, 1, 2, ...
    };
    const Case cases[] = {
        {1, {0, 79, 127, 207, 255}},
        {2, {0, 43, 55, 67, 79, 91, 103, 115, 159, 171, 183, 195, 207, 219, 231, 243, 255}},
        {3, {0,   18,  21,  24,  27,  30,  33,  36,  55,  58,  61,  64,  67,  70,  73,  76,  79,
             82,  85,  88,  91,  94,  97,  100, 119, 122, 125, 128, 131, 134, 137, 140, 143, 146,
             149, 152, 155, 158, 161, 164, 183, 186, 189, 192, 195, 198, 201, 204, 207, 210, 213,
             216, 219, 222, 225, 228, 231, 234, 237, 240, 243, 246, 249, 252, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        Manager->AntiAliasLevel = c.level;
        TFontPixel& g = Manager->GetGlyph('A', "Face", 0, 16);
        ASSERT_EQ(g.GlyphMask.GetWidth(), 65);
        ASSERT_EQ(g.GlyphMask.GetBitCount(), 8);
        int32_t greys = int32_t(c.coverage.size()) - 1;
        for (int32_t grey = 0; grey <= greys; ++grey)
            EXPECT_EQ(g.GlyphMask.GetPixel(grey * 64 / greys, 0), c.coverage[size_t(grey)]) << "grey " << grey;
    }
    // Level 0: the 1-bit format, each set bit full coverage.
    Manager->AntiAliasLevel = 0;
    TFontPixel& mono = Manager->GetGlyph('A', "Face", 0, 16);
    EXPECT_EQ(mono.GlyphMask.GetPixel(31, 0), 0u);
    EXPECT_EQ(mono.GlyphMask.GetPixel(32, 0), 255u);
    EXPECT_EQ(mono.GlyphMask.GetPixel(64, 0), 255u);
}

TEST_F(FontPixelManagerTest, PlacesTheMaskInTheCell) {
    struct Case {
        int32_t originX, originY, cellInc;
        int32_t left, top, extra;
    };
    // Ascent 10, glyph 4 wide.
    const Case cases[] = {
        {1, 8, 7, 1, 2, 2},      // inside the cell
        {-2, 8, 7, 0, 2, 3},     // ink left of the pen: the mask starts at the cell's edge
        {0, 12, 4, 0, 0, 0},     // ink above the ascent: at the top; no room right of it
        {3, 10, 5, 3, 0, 0},     // advance short of the ink: no extra advance
    };
    uint16_t code = 'a';
    for (const Case& c : cases) {
        SCOPED_TRACE(code);
        State.Glyphs[code] = solidGlyph(4, 3, c.originX, c.originY, c.cellInc);
        TFontPixel& g = Manager->GetGlyph(code, "Face", 0, 16);
        EXPECT_EQ(g.GlyphLeft, c.left);
        EXPECT_EQ(g.GlyphTop, c.top);
        EXPECT_EQ(g.ExtraAdvance, c.extra);
        ++code;
    }
}

TEST_F(FontPixelManagerTest, UnderlineAndStrikeOutComeFromTheFontMetricsWhenStyled) {
    State.Metrics = TOutlineMetrics{20, 4, 0, 2, -3, 3, 7};
    State.Glyphs['x'] = solidGlyph(5, 5);
    struct Case {
        uint8_t style;
        int32_t underline, strikeTop, strikeSize;
    };
    const Case cases[] = {
        {0, 0, 0, 0},
        {FS_UNDERLINE, 2, 0, 0},
        {FS_STRIKEOUT, 0, 13, 3},
        {FS_UNDERLINE | FS_STRIKEOUT | FS_BOLD, 2, 13, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.style));
        TFontPixel& g = Manager->GetGlyph('x', "Face", c.style, 24);
        EXPECT_EQ(g.UnderlineSize, c.underline);
        EXPECT_EQ(g.StrikeOutTop, c.strikeTop);
        EXPECT_EQ(g.StrikeOutSize, c.strikeSize);
    }
    EXPECT_EQ(Manager->Ascent(), 20);
}

TEST_F(FontPixelManagerTest, ABlankHasNoMaskAndAdvancesByItsTextWidth) {
    test::TFakeGlyph space;
    space.TextWidth = 8;
    State.Glyphs[' '] = space;
    TFontPixel& g = Manager->GetGlyph(' ', "Face", 0, 16);
    EXPECT_TRUE(g.IsEmpty());
    EXPECT_EQ(g.ExtraAdvance, 8);
}

TEST_F(FontPixelManagerTest, EachKeyMakesItsOwnGlyphAndAHitRendersNothing) {
    State.Glyphs['k'] = solidGlyph(3, 3);
    Manager->GetGlyph('k', "Face", 0, 16);
    EXPECT_EQ(State.Renders, 1);
    Manager->GetGlyph('k', "Face", 0, 16);
    EXPECT_EQ(State.Renders, 1);
    Manager->GetGlyph('k', "Face", 0, 17);
    Manager->GetGlyph('k', "Face", FS_BOLD, 16);
    Manager->GetGlyph('k', "face", 0, 16);              // names match exactly
    Manager->AntiAliasLevel = 1;
    Manager->GetGlyph('k', "Face", 0, 16);
    Manager->GetGlyph('k' + 0x100, "Face", 0, 16);      // same bucket, other code
    EXPECT_EQ(State.Renders, 6);
    EXPECT_EQ(Manager->CachedCount(), 6u);
    EXPECT_NE(Manager->FindGlyph('k', "Face", 3, 0, 16), nullptr);
    EXPECT_EQ(Manager->FindGlyph('k', "Face", 2, 0, 16), nullptr);
}

TEST_F(FontPixelManagerTest, The257thGlyphEvictsTheLeastRecentlyUsed) {
    for (uint16_t c = 0; c < 256; ++c) State.Glyphs[c] = solidGlyph(1, 1);
    State.Glyphs[0x8140] = solidGlyph(1, 1);
    for (uint16_t c = 0; c < 256; ++c) Manager->GetGlyph(c, "Face", 0, 16);
    ASSERT_EQ(Manager->CachedCount(), 256u);
    Manager->GetGlyph(0, "Face", 0, 16);                // a hit moves glyph 0 to the front
    EXPECT_EQ(Manager->MostRecent(0)->CharCode, 0);
    EXPECT_EQ(Manager->MostRecent(255)->CharCode, 1);
    Manager->GetGlyph(0x8140, "Face", 0, 16);
    EXPECT_EQ(Manager->CachedCount(), 256u);
    EXPECT_EQ(Manager->FindGlyph(1, "Face", 3, 0, 16), nullptr);
    EXPECT_NE(Manager->FindGlyph(0, "Face", 3, 0, 16), nullptr);
    EXPECT_NE(Manager->FindGlyph(2, "Face", 3, 0, 16), nullptr);
    EXPECT_EQ(Manager->MostRecent(0)->CharCode, 0x8140);
}

TEST_F(FontPixelManagerTest, TheFontIsOpenedAgainOnlyWhenNameHeightOrStyleChange) {
    for (char c : std::string("abcd")) State.Glyphs[uint8_t(c)] = solidGlyph(2, 2);
    Manager->GetGlyph('a', "Face", 0, 16);
    Manager->GetGlyph('b', "Face", 0, 16);
    EXPECT_EQ(State.Opened.size(), 1u);
    Manager->GetGlyph('c', "Face", FS_ITALIC, 16);
    Manager->GetGlyph('d', "Face", FS_ITALIC, 20);
    EXPECT_EQ(State.Opened.size(), 3u);
    Manager->GetGlyph('a', "Face", 0, 16);              // cached: no font needed
    EXPECT_EQ(State.Opened.size(), 3u);
    EXPECT_EQ(State.Opened.back(), (TFontRequest{"Face", 20, FS_ITALIC}));
}

TEST_F(FontPixelManagerTest, AFaceThatIsNotInstalledFallsBackButKeepsItsNameAsKey) {
    State.Glyphs['m'] = solidGlyph(2, 2);
    std::string missing = sjis("存在しない書体");
    TFontPixel& g = Manager->GetGlyph('m', missing, 0, 16);
    EXPECT_EQ(State.Opened.back().Name, fallbackFaceName());
    EXPECT_EQ(g.FontName, missing);
    EXPECT_EQ(&g, Manager->FindGlyph('m', missing, 3, 0, 16));
}

TEST_F(FontPixelManagerTest, HeightsAreCappedForTheFontService) {
    State.Glyphs['h'] = solidGlyph(2, 2);
    const int32_t cases[][2] = {{100000, kMaxGlyphHeight}, {-100000, -kMaxGlyphHeight}, {0, 0}, {24, 24}};
    for (const auto& c : cases) {
        Manager->GetGlyph('h', "Face", 0, c[0]);
        EXPECT_EQ(State.Opened.back().Height, c[1]);
        EXPECT_EQ(Manager->MostRecent(0)->FontHeight, c[0]);
    }
}

TEST_F(FontPixelManagerTest, ARefusedGreyRequestDropsToOneBitForGood) {
    State.Glyphs['r'] = rampGlyph();
    State.RefuseGrey = true;
    TFontPixel& g = Manager->GetGlyph('r', "Face", 0, 16);
    EXPECT_EQ(g.AntiAliasLevel, 3);                     // the key it was asked under
    EXPECT_EQ(g.GlyphMask.GetPixel(10, 0), 0u);
    EXPECT_EQ(g.GlyphMask.GetPixel(40, 0), 255u);
    EXPECT_EQ(Manager->AntiAliasLevel, 0);
    State.RefuseGrey = false;
    Manager->GetGlyph('r', "Face", 0, 17);
    EXPECT_EQ(Manager->MostRecent(0)->AntiAliasLevel, 0);
}

TEST_F(FontPixelManagerTest, AGlyphRefusedAtEveryLevelIsEmpty) {
    State.Glyphs['z'] = solidGlyph(3, 3);
    State.RefuseAll = true;
    TFontPixel& g = Manager->GetGlyph('z', "Face", 0, 16);
    EXPECT_TRUE(g.IsEmpty());
    EXPECT_EQ(g.ExtraAdvance, 0);
}

TEST_F(FontPixelManagerTest, NoFontAtAllIsAnError) {
    State.Glyphs['n'] = solidGlyph(3, 3);
    State.NoFont = true;
    try {
        Manager->GetGlyph('n', "Face", 0, 16);
        FAIL() << "no error";
    } catch (const EZunoError& e) {
        EXPECT_EQ(e.message(), "Error:GetOutlineTextMetrics");
    }
}

} // namespace
} // namespace zuno
