// The glyph cache over the installed IPA fonts: the Windows face names and
// their aliases, the fallback face, metrics at a few heights, the coverage of
// a rendered mask at every anti-alias level, and requests no font can honour.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "core/Cp932.h"
#include "platform/TFreeTypeFontService.h"
#include "text/FakeFontService.h"
#include "text/TFontPixelManager.h"
#include "text/TWdGlyph.h"

namespace zuno {
namespace {

namespace fs = std::filesystem;

constexpr uint16_t kHiraganaA = 0x82A0;     // あ
constexpr uint16_t kFullBlock = 0x81A1;     // ■

class FreeTypeGlyphTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Service = new TFreeTypeFontService();
    }
    static void TearDownTestSuite() {
        delete Service;
        Service = nullptr;
    }
    static TFreeTypeFontService* Service;

    // A manager of its own over a fresh service.
    static std::unique_ptr<TFontPixelManager> makeManager() {
        return std::make_unique<TFontPixelManager>(std::make_unique<TFreeTypeFontService>());
    }
    static std::string canonicalFile(const std::string& sjisName) {
        std::string file = Service->FaceFile(sjisName);
        return file.empty() ? file : fs::canonical(file).string();
    }
};

TFreeTypeFontService* FreeTypeGlyphTest::Service = nullptr;

TEST_F(FreeTypeGlyphTest, WindowsFaceNamesMapToTheIPAFaces) {
    const struct {
        const char* windows;
        const char* ipa;
    } cases[] = {
        {"ＭＳ ゴシック", "IPAGothic"},
        {"ＭＳ Ｐゴシック", "IPAPGothic"},
        {"ＭＳ 明朝", "IPAMincho"},
        {"ＭＳ Ｐ明朝", "IPAPMincho"},
    };
    std::set<std::string> files;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ipa);
        EXPECT_TRUE(Service->HasFace(sjis(c.windows)));
        EXPECT_TRUE(Service->HasFace(c.ipa));
        EXPECT_EQ(canonicalFile(sjis(c.windows)), canonicalFile(c.ipa));
        EXPECT_EQ(aliasTarget(c.windows), c.ipa);
        files.insert(canonicalFile(c.ipa));
    }
    EXPECT_EQ(files.size(), 4u);
    EXPECT_NE(windowsFaceAliases().find("<alias"), std::string::npos);
}

TEST_F(FreeTypeGlyphTest, OnlyExactNamesOfInstalledFacesCount) {
    for (const char* name : {"ipagothic", "Arial", "存在しない書体", "", "ＭＳ ゴシック2"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(Service->HasFace(sjis(name)));
        EXPECT_EQ(canonicalFile(sjis(name)), canonicalFile("IPAGothic"));
    }
}

TEST_F(FreeTypeGlyphTest, AMissingFaceDrawsLikeTheFallbackFace) {
    auto manager = makeManager();
    TFontPixel& fallback = manager->GetGlyph(kHiraganaA, sjis("ＭＳ ゴシック"), 0, 24);
    std::vector<uint32_t> expected;
    for (int32_t y = 0; y < fallback.GlyphMask.GetHeight(); ++y)
        for (int32_t x = 0; x < fallback.GlyphMask.GetWidth(); ++x) expected.push_back(fallback.GlyphMask.GetPixel(x, y));
    int32_t w = fallback.GlyphMask.GetWidth(), left = fallback.GlyphLeft, top = fallback.GlyphTop;
    TFontPixel& missing = manager->GetGlyph(kHiraganaA, sjis("存在しない書体"), 0, 24);
    ASSERT_EQ(missing.GlyphMask.GetWidth(), w);
    EXPECT_EQ(missing.GlyphLeft, left);
    EXPECT_EQ(missing.GlyphTop, top);
    std::vector<uint32_t> got;
    for (int32_t y = 0; y < missing.GlyphMask.GetHeight(); ++y)
        for (int32_t x = 0; x < missing.GlyphMask.GetWidth(); ++x) got.push_back(missing.GlyphMask.GetPixel(x, y));
    EXPECT_EQ(got, expected);
}

TEST_F(FreeTypeGlyphTest, MetricsOfTheGothicFaceAtSeveralHeights) {
    // The cell of a positive height is the height; full-width characters
    // advance by it, half-width ones by half of it.
    for (int32_t h : {12, 16, 24, 48}) {
        SCOPED_TRACE(h);
        auto font = Service->OpenFont({sjis("ＭＳ ゴシック"), h, 0});
        ASSERT_TRUE(font);
        const TOutlineMetrics& m = font->Metrics();
        EXPECT_EQ(m.Ascent + m.Descent, h);
        EXPECT_EQ(m.Ascent, (h * 1802 + 1024) / 2048);
        EXPECT_GE(m.UnderscoreSize, 1);
        EXPECT_LT(m.UnderscorePosition, 0);
        EXPECT_GT(m.StrikeOutPosition, 0);
        EXPECT_LT(m.StrikeOutPosition, m.Ascent);
        EXPECT_EQ(font->TextWidth(kFullBlock), h);
        EXPECT_EQ(font->TextWidth('A'), h / 2);
        TAbcWidths abc = font->CharAbc(kFullBlock);
        EXPECT_EQ(abc.A + abc.B + abc.C, h);
    }
    auto em = Service->OpenFont({"IPAGothic", -24, 0});
    ASSERT_TRUE(em);
    EXPECT_EQ(em->TextWidth(kFullBlock), 24);
}

TEST_F(FreeTypeGlyphTest, FullWidthGlyphsFillTheirCellAndSitUnderTheAscent) {
    auto manager = makeManager();
    TFontPixel& g = manager->GetGlyph(kFullBlock, sjis("ＭＳ ゴシック"), 0, 24);
    ASSERT_FALSE(g.IsEmpty());
    EXPECT_EQ(g.GlyphLeft + g.GlyphMask.GetWidth() + g.ExtraAdvance, 24);
    EXPECT_LE(g.GlyphTop + g.GlyphMask.GetHeight(), 24);
    EXPECT_EQ(manager->Ascent(), 21);
    // A space has no mask and advances by half the height.
    TFontPixel& space = manager->GetGlyph(' ', sjis("ＭＳ ゴシック"), 0, 24);
    EXPECT_TRUE(space.IsEmpty());
    EXPECT_EQ(space.ExtraAdvance, 12);
}

TEST_F(FreeTypeGlyphTest, RenderedMasksHoldOnlyTheCoverageOfTheirGreyValues) {
    auto manager = makeManager();
    auto font = Service->OpenFont({sjis("ＭＳ 明朝"), 24, 0});
    ASSERT_TRUE(font);
    for (int32_t level = 0; level <= kAntiAliasMax; ++level) {
        SCOPED_TRACE(level);
        TGlyphBitmap b;
        ASSERT_TRUE(font->RenderGlyph(kHiraganaA, level, b));
        manager->AntiAliasLevel = level;
        TFontPixel& g = manager->GetGlyph(kHiraganaA, sjis("ＭＳ 明朝"), 0, 24);
        ASSERT_EQ(g.GlyphMask.GetWidth(), b.BlackBoxWidth);
        ASSERT_EQ(g.GlyphMask.GetHeight(), b.BlackBoxHeight);
        EXPECT_EQ(b.Pitch, level == 0 ? (b.BlackBoxWidth + 31) / 32 * 4 : (b.BlackBoxWidth + 3) / 4 * 4);
        const std::vector<uint8_t>& table = coverageTable(level);
        std::set<uint32_t> seen;
        for (int32_t y = 0; y < b.BlackBoxHeight; ++y)
            for (int32_t x = 0; x < b.BlackBoxWidth; ++x) {
                const uint8_t* row = b.Bits.data() + y * b.Pitch;
                uint32_t grey = level == 0 ? (row[x / 8] >> (7 - x % 8)) & 1 : row[x];
                ASSERT_LE(grey, uint32_t(kGreyLevels[level]));
                ASSERT_EQ(g.GlyphMask.GetPixel(x, y), table[grey]) << x << "," << y;
                seen.insert(grey);
            }
        // Anti-aliased masks use grey values between none and full.
        EXPECT_GT(seen.size(), level == 0 ? 1u : 3u);
    }
}

TEST_F(FreeTypeGlyphTest, BoldIsSynthesisedWiderAndItalicSlanted) {
    auto manager = makeManager();
    int32_t regular = manager->GetGlyph('l', sjis("ＭＳ Ｐゴシック"), 0, 48).GlyphMask.GetWidth();
    int32_t bold = manager->GetGlyph('l', sjis("ＭＳ Ｐゴシック"), FS_BOLD, 48).GlyphMask.GetWidth();
    int32_t italic = manager->GetGlyph('l', sjis("ＭＳ Ｐゴシック"), FS_ITALIC, 48).GlyphMask.GetWidth();
    EXPECT_GT(bold, regular);
    EXPECT_GT(italic, regular);
}

TEST_F(FreeTypeGlyphTest, HeightsNoFontCanHonourAndInvalidCodesAreHarmless) {
    auto manager = makeManager();
    const int32_t heights[] = {0, 1, -1, 100000, -100000, INT32_MIN, INT32_MAX};
    const uint16_t codes[] = {kHiraganaA, 'W', 0x8120, 0xFFFF, 0x80, 0x00, 0xA0, 0xEFFF};
    for (int32_t h : heights)
        for (uint16_t code : codes) {
            SCOPED_TRACE(std::to_string(h) + " " + std::to_string(code));
            TFontPixel& g = manager->GetGlyph(code, sjis("ＭＳ ゴシック"), FS_BOLD | FS_ITALIC, h);
            EXPECT_LE(g.GlyphMask.GetWidth(), 2 * kMaxGlyphHeight);
            EXPECT_LE(g.GlyphMask.GetHeight(), 2 * kMaxGlyphHeight);
            EXPECT_LE(g.GlyphTop, 2 * kMaxGlyphHeight);
        }
}

} // namespace
} // namespace zuno
