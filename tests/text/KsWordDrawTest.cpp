// Drawing a laid-out page: characters are prepared once into the page
// pictures and drawn with their reveal alpha, in the text, link or hover
// colour, cut to the visible part of the text; what changed is reported.
#include <gtest/gtest.h>

#include "FakeFontService.h"
#include "imaging/TDIBX.h"
#include "text/TFontPixelManager.h"
#include "text/TKsWord.h"

namespace zuno {
namespace {

using test::solidGlyph;

class KsWordDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        State.Faces = {fallbackFaceName()};
        State.Metrics = TOutlineMetrics{10, 2, 0, 1, -1, 1, 4};
        for (uint16_t c : {'a', 'b', 'c', 'r'})
            State.Glyphs[c] = solidGlyph(8, 10, 1, 10, 10);
        Manager = std::make_unique<TFontPixelManager>(std::make_unique<test::TFakeFontService>(State));
        Word.SetGlyphCache(Manager.get());
        Word.DefaultFontSize = 12;
        Word.DefaultFontColor = 0x0000FF;          // red
        Word.LinkColor = 0xFF0000;                 // blue
        Word.HoverColor = 0x00FF00;
        Word.LayoutWidth = 100;
        Word.PageHeight = 40;
        Word.AntiAliasLevel = 0;
        Target.Fill(0xFFFFFF);
    }
    void layOut(const std::string& text) {
        Word.SetText(text);
        Word.Layout(0, -1, Pages);
        ASSERT_FALSE(Pages.empty());
        Word.PreparePage(*Pages[0]);
    }
    // The colour (0x00RRGGBB) at a point of the target.
    uint32_t at(int32_t x, int32_t y) { return Target.GetPixel(x, y) & 0xFFFFFF; }
    // The colour at a point, each channel rounded to the nearest of 0 and
    // 255 (the blends' 8-bit arithmetic leaves full coverage a step short).
    uint32_t inked(int32_t x, int32_t y) {
        uint32_t c = at(x, y), out = 0;
        for (int shift : {0, 8, 16})
            out |= (((c >> shift) & 0xFF) >= 128 ? 0xFFu : 0u) << shift;
        return out;
    }
    // The centre of item i of row 0 on the target drawn at (x0, y0).
    std::pair<int32_t, int32_t> centre(size_t i, int32_t x0, int32_t y0) {
        const TWdRow& row = *Pages[0]->Rows[0];
        const TWdGlyph& g = *row.Items[i];
        return {x0 + TKsWord::ItemLeft(row, g) + g.Width / 2, y0 + TKsWord::ItemTop(row, g) + g.Height / 2};
    }

    test::TFakeFontState State;
    std::unique_ptr<TFontPixelManager> Manager;
    TKsWord Word;
    std::vector<std::unique_ptr<TWdPage>> Pages;
    TDIBX Target{200, 100, 32};
};

TEST_F(KsWordDrawTest, ShownItemsDrawInTheirColoursAndHiddenOnesNotAtAll) {
    layOut("<WAIT VALUE=0>ab<A HREF=x>c</A></WAIT>");
    TWdPage& page = *Pages[0];
    Word.DrawPage(page, Target, 10, 10, TRect());
    const auto [ax, ay] = centre(0, 10, 10);
    EXPECT_EQ(at(ax, ay), 0xFFFFFFu) << "nothing is shown before the reveal";
    Word.ShowAll(page);
    EXPECT_FALSE(Word.TakeChangedRects().empty());
    Word.DrawPage(page, Target, 10, 10, TRect());
    EXPECT_EQ(inked(ax, ay), 0xFF0000u);                           // the default colour
    const auto [cx, cy] = centre(2, 10, 10);
    EXPECT_EQ(inked(cx, cy), 0x0000FFu);                           // the link colour
    // Hovering the link prepares it again and draws it in the hover colour.
    EXPECT_TRUE(Word.SetHover(page, {page.Rows[0]->Items[2]}));
    EXPECT_FALSE(Word.SetHover(page, {page.Rows[0]->Items[2]}));
    EXPECT_EQ(Word.TakeChangedRects().size(), 1u);
    Word.DrawPage(page, Target, 10, 10, TRect());
    EXPECT_EQ(inked(cx, cy), 0x00FF00u);
}

TEST_F(KsWordDrawTest, DrawingStaysInsideTheClipAndTheTextRectangle) {
    Word.LayoutWidth = 20;                                      // one character per row
    layOut("<WAIT VALUE=0>abc</WAIT>");
    TWdPage& page = *Pages[0];
    Word.ShowAll(page);
    // Clip away the left half of the first character.
    const auto [ax, ay] = centre(0, 10, 10);
    Word.DrawPage(page, Target, 10, 10, TRect(ax, 0, 200, 100));
    EXPECT_EQ(at(ax - 2, ay), 0xFFFFFFu);
    EXPECT_EQ(inked(ax + 1, ay), 0xFF0000u);
    // Nothing below the page height (40) is drawn even when rows exist there.
    for (int32_t y = 50; y < 100; ++y)
        for (int32_t x = 0; x < 200; x += 3)
            ASSERT_EQ(at(x, y), 0xFFFFFFu) << x << "," << y;
}

TEST_F(KsWordDrawTest, RubyIsDrawnAboveItsRunOnce) {
    layOut("<WAIT VALUE=0><RUBY VALUE=r>ab</RUBY></WAIT>");
    TWdPage& page = *Pages[0];
    Word.ShowAll(page);
    Word.DrawPage(page, Target, 0, 0, TRect());
    const TWdRow& row = *page.Rows[0];
    const TWdGlyph& a = *row.Items[0];
    // The ruby band (6 pixels: half the font size) is above the base glyph,
    // whose cell starts below it.
    EXPECT_GT(a.Height, 12);
    EXPECT_EQ(a.Drawn, TRect::bounds(TKsWord::ItemLeft(row, a), TKsWord::ItemTop(row, a), a.Width, a.Height));
    bool rubyInk = false;
    for (int32_t x = 0; x < 40; ++x)
        rubyInk = rubyInk || at(x, TKsWord::ItemTop(row, a) + 2) != 0xFFFFFFu;
    EXPECT_TRUE(rubyInk);
    EXPECT_EQ(State.Opened.empty(), false);
}

TEST_F(KsWordDrawTest, WithoutAGlyphCacheOrAreaNothingIsPrepared) {
    Word.SetGlyphCache(nullptr);
    Word.LayoutWidth = 0;
    Word.PageHeight = 0;
    layOut("ab");
    Word.ShowAll(*Pages[0]);
    Word.DrawPage(*Pages[0], Target, 0, 0, TRect());
    EXPECT_EQ(at(5, 5), 0xFFFFFFu);
}

// Inline images are copied from the picture the metrics give, at their place
// in the row, once revealed; an image without a picture leaves its place empty.
TEST_F(KsWordDrawTest, InlineImagesDrawTheirPicturesWhenShown) {
    struct TPictureMetrics : TWdCellMetrics {
        TWdSize ImageSize(const std::string& source) const override {
            return source == "pic" ? TWdSize{6, 4} : TWdCellMetrics::ImageSize(source);
        }
        TCustomDIBX* Picture(const std::string& source) const override { return source == "pic" ? &Pic : nullptr; }
        mutable TDIBX Pic{6, 4, 32};
    } metrics;
    metrics.Pic.Fill(0x00FF00);
    Word.SetMetrics(&metrics);
    layOut("<WAIT VALUE=0>a<IMG SRC=pic>b<IMG SRC=gone></WAIT>");
    TWdPage& page = *Pages[0];
    const TWdRow& row = *page.Rows[0];
    ASSERT_EQ(row.Items.size(), 4u);
    const TWdGlyph& img = *row.Items[1];
    ASSERT_EQ(img.Width, 6);
    const int32_t left = 10 + TKsWord::ItemLeft(row, img), top = 10 + TKsWord::ItemTop(row, img);
    Word.DrawPage(page, Target, 10, 10, TRect());
    EXPECT_EQ(at(left, top), 0xFFFFFFu) << "nothing is shown before the reveal";
    Word.ShowAll(page);
    Word.DrawPage(page, Target, 10, 10, TRect());
    for (const auto& [dx, dy] : {std::pair{0, 0}, {5, 0}, {0, 3}, {5, 3}})
        EXPECT_EQ(at(left + dx, top + dy), 0x00FF00u) << dx << "," << dy;
    EXPECT_EQ(at(left + 6, top), 0xFFFFFFu) << "the picture stops at the item's width";
    const auto [bx, by] = centre(2, 10, 10);
    EXPECT_EQ(inked(bx, by), 0xFF0000u);                           // the text around it still draws
    const auto [gx, gy] = centre(3, 10, 10);
    EXPECT_EQ(at(gx, gy), 0xFFFFFFu);                              // no picture: nothing drawn
    // Half opacity blends the picture over what is below.
    Target.Fill(0xFFFFFF);
    Word.Alpha = 128;
    Word.DrawPage(page, Target, 10, 10, TRect());
    const uint32_t half = at(left + 2, top + 2);
    EXPECT_GE(half & 0xFF00, 0xF000u);                             // green stays (a step short)
    EXPECT_GT(half & 0xFF, 0x60u);
    EXPECT_LT(half & 0xFF, 0xA0u);
}

} // namespace
} // namespace zuno
