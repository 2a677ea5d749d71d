// Layout of items into rows and pages: breakable runs, the characters that
// may not begin or end a row, paging, alignment, indent, image placement.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/Cp932.h"
#include "text/TKsWord.h"
#include "WordTestUtil.h"

namespace {

using namespace zuno;
using zuno::test::pagesText;
using zuno::test::TPagesText;

// Characters 10 x 10; images sized by name ("w x h" in a table).
class TFakeMetrics : public TWdMetrics {
public:
    TWdSize CharCell(uint16_t, const TWdFont& font) const override { return {font.Size, font.Size}; }
    TWdSize ImageSize(const std::string& source) const override {
        auto it = Images.find(source);
        return it != Images.end() ? it->second : TWdSize{};
    }
    std::map<std::string, TWdSize> Images;
};

struct TLayoutCase {
    const char* name;
    std::string markup;
    int32_t width;
    int32_t pageHeight;
    TPagesText expected;
};

std::vector<std::unique_ptr<TWdPage>> layOut(TKsWord& word, const std::string& utf8) {
    word.SetText(sjis(utf8));
    std::vector<std::unique_ptr<TWdPage>> pages;
    word.Layout(0, -1, pages);
    return pages;
}

TEST(KsWordLayout, LineBreaking) {
    const TLayoutCase cases[] = {
        {"words break at spaces, the space stays at the row's end", "abc def ghi", 50, 1000,
         {{"abc ", "def ", "ghi"}}},
        {"an English word is never split", "ab cdefg", 50, 1000, {{"ab ", "cdefg"}}},
        {"a run wider than the row gets a row of its own", "abcdefgh ij", 50, 1000, {{"abcdefgh ", "ij"}}},
        {"Japanese breaks between any two characters", "あいうえおかき", 50, 1000, {{"あいうえお", "かき"}}},
        {"an opening bracket moves on with what follows", "あいう「えお", 40, 1000, {{"あいう", "「えお"}}},
        {"the full stop never starts a row", "あいうえ。", 40, 1000, {{"あいう", "え。"}}},
        {"every closing mark stays with what precedes", "あいう！」", 30, 1000, {{"あい", "う！」"}}},
        {"half-width closing marks too", "ｱｲｳ､ｴ", 30, 1000, {{"ｱｲｳ､ｴ"}}},
        {"no-break items stay together", "あ<NOBR>いうえ</NOBR>お", 30, 1000, {{"あ", "いうえ", "お"}}},
        {"a ruby run stays together", "あ<RUBY VALUE=x>いうえ</RUBY>お", 30, 1000, {{"あ", "いうえ", "お"}}},
        {"a line break ends the row", "ab<BR>c", 100, 1000, {{"ab", "c"}}},
        {"an inserted space before a word does not start a row", "あいうえ abc", 50, 1000, {{"あいうえ ", "abc"}}},
        {"unlimited width keeps one row per line", "あいうえおかきくけこ<BR>さ", 0, 1000,
         {{"あいうえおかきくけこ", "さ"}}},
        {"an image breaks like a character", "あいう<IMG SRC=i10>え", 30, 1000, {{"あいう", "*え"}}},
    };
    for (const TLayoutCase& c : cases) {
        TKsWord word;
        zuno::test::setTenPixelCells(word);
        TFakeMetrics metrics;
        metrics.Images["i10"] = {10, 10};
        word.SetMetrics(&metrics);
        word.LayoutWidth = c.width;
        word.PageHeight = c.pageHeight;
        EXPECT_EQ(pagesText(layOut(word, c.markup)), c.expected) << c.name;
    }
}

TEST(KsWordLayout, Paging) {
    const TLayoutCase cases[] = {
        {"rows fill the page, the next row starts a page", "あいうえおか", 20, 25, {{"あい", "うえ"}, {"おか"}}},
        {"a row exactly at the bottom still fits", "あいうえおか", 20, 30, {{"あい", "うえ", "おか"}}},
        {"a first row taller than the page stays", "<FONT SIZE=40>あ</FONT>い", 20, 25, {{"あ"}, {"い"}}},
        {"BR CLEAR starts a page", "a<BR CLEAR>b", 100, 1000, {{"a"}, {"b"}}},
        {"CLEAR starts a page", "a<CLEAR>b", 100, 1000, {{"a"}, {"b"}}},
        {"a plain BR does not", "a<BR>b", 100, 1000, {{"a", "b"}}},
        {"a final page break leaves no empty page", "a<CLEAR>", 100, 1000, {{"a"}}},
        {"no text, no page", "", 100, 1000, {}},
    };
    for (const TLayoutCase& c : cases) {
        TKsWord word;
        zuno::test::setTenPixelCells(word);
        word.LayoutWidth = c.width;
        word.PageHeight = c.pageHeight;
        EXPECT_EQ(pagesText(layOut(word, c.markup)), c.expected) << c.name;
    }
}

TEST(KsWordLayout, PagingOffKeepsOneScrollingPage) {
    TKsWord word;
    zuno::test::setTenPixelCells(word);
    word.LayoutWidth = 20;
    word.PageHeight = 15;
    word.Paging = false;
    auto pages = layOut(word, "あいうえおか");
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0]->Rows.size(), 3u);
    EXPECT_EQ(pages[0]->Height, 30);
}

TEST(KsWordLayout, RowPositionsAndLineSpacing) {
    TKsWord word;
    zuno::test::setTenPixelCells(word);
    word.LayoutWidth = 30;
    word.PageHeight = 100;
    word.LineSpace = 4;
    auto pages = layOut(word, "あいう<FONT SIZE=20>え</FONT>お");
    ASSERT_EQ(pages.size(), 1u);
    const TWdPage& page = *pages[0];
    ASSERT_EQ(page.Rows.size(), 2u);
    EXPECT_EQ(page.Rows[0]->Y, 0);
    EXPECT_EQ(page.Rows[0]->Height, 10);
    EXPECT_EQ(page.Rows[1]->Y, 14);
    EXPECT_EQ(page.Rows[1]->Height, 20);
    // Text stands on one base line: the small character's bottom meets the big one's.
    const TWdGlyph& big = *page.Rows[1]->Items[0];
    const TWdGlyph& small = *page.Rows[1]->Items[1];
    EXPECT_EQ(big.Y, 0);
    EXPECT_EQ(small.Y, 10);
    EXPECT_EQ(small.X, 20);
    EXPECT_EQ(page.Height, 34);
    EXPECT_EQ(page.Width, 30);
}

TEST(KsWordLayout, Alignment) {
    struct TCase {
        const char* markup;
        std::vector<int32_t> rowX;
    } cases[] = {
        {"ab", {0}},
        {"<DIV ALIGN=RIGHT>ab", {80}},
        {"<DIV ALIGN=CENTER>abc", {35}},
        {"<DIV ALIGN=RIGHT>a<BR></DIV>b", {90, 0}},
        // A switch after a visible item changes the next rows only.
        {"a<DIV ALIGN=RIGHT>b<BR>c", {0, 90}},
        // A switch before any visible item changes the row it is in.
        {"<DIV ALIGN=CENTER><DIV ALIGN=RIGHT>ab", {80}},
    };
    for (const auto& c : cases) {
        TKsWord word;
        zuno::test::setTenPixelCells(word);
        word.LayoutWidth = 100;
        word.PageHeight = 100;
        auto pages = layOut(word, c.markup);
        ASSERT_EQ(pages.size(), 1u) << c.markup;
        std::vector<int32_t> xs;
        for (const auto& row : pages[0]->Rows)
            xs.push_back(row->X);
        EXPECT_EQ(xs, c.rowX) << c.markup;
    }
}

TEST(KsWordLayout, UnlimitedWidthBecomesTheWidestRowAndAlignsInIt) {
    TKsWord word;
    zuno::test::setTenPixelCells(word);
    word.PageHeight = 100;
    auto pages = layOut(word, "abcd<BR><DIV ALIGN=RIGHT>ab");
    EXPECT_EQ(word.LayoutWidth, 40);
    ASSERT_EQ(pages[0]->Rows.size(), 2u);
    EXPECT_EQ(pages[0]->Rows[1]->X, 20);
}

TEST(KsWordLayout, IndentStartsFollowingRowsAtTheCurrentX) {
    TKsWord word;
    zuno::test::setTenPixelCells(word);
    word.LayoutWidth = 50;
    word.PageHeight = 100;
    auto pages = layOut(word, "あい<INDENT>うえおかきくけ<UNDENT>こさしすせそ");
    EXPECT_EQ(pagesText(pages), (TPagesText{{"あいうえお", "|かきく", "|けこさ", "しすせそ"}}));
    const TWdRow& second = *pages[0]->Rows[1];
    EXPECT_EQ(second.Items[0]->Width, 20);
    EXPECT_EQ(second.Items[1]->X, 20);
}

TEST(KsWordLayout, IndentAsWideAsTheBoxStillPlacesEveryRun) {
    TKsWord word;
    zuno::test::setTenPixelCells(word);
    word.LayoutWidth = 30;
    word.PageHeight = 1000;
    auto pages = layOut(word, "あいう<INDENT>えおか");
    EXPECT_EQ(pagesText(pages), (TPagesText{{"あいう", "|え", "|お", "|か"}}));
}

TEST(KsWordLayout, ImagesStandOnTheBaseLineByTheirAlignment) {
    struct TCase {
        const char* align;
        int32_t rowHeight;
        int32_t imageY;
        int32_t charY;
    } cases[] = {
        {"BOTTOM", 20, 0, 10},
        {"TOP", 20, 0, 0},
        {"CENTER", 20, 0, 5},
    };
    for (const auto& c : cases) {
        TKsWord word;
        zuno::test::setTenPixelCells(word);
        TFakeMetrics metrics;
        metrics.Images["big"] = {20, 20};
        word.SetMetrics(&metrics);
        word.LayoutWidth = 100;
        word.PageHeight = 100;
        auto pages = layOut(word, std::string("a<IMG SRC=big ALIGN=") + c.align + ">");
        const TWdRow& row = *pages[0]->Rows[0];
        EXPECT_EQ(row.Height, c.rowHeight) << c.align;
        EXPECT_EQ(row.Items[1]->Y, c.imageY) << c.align;
        EXPECT_EQ(row.Items[0]->Y, c.charY) << c.align;
    }
    // A small centred image sits in the middle of the text band.
    TKsWord word;
    zuno::test::setTenPixelCells(word);
    TFakeMetrics metrics;
    metrics.Images["dot"] = {4, 4};
    word.SetMetrics(&metrics);
    auto pages = layOut(word, "a<IMG SRC=dot ALIGN=CENTER>");
    EXPECT_EQ(pages[0]->Rows[0]->Height, 10);
    EXPECT_EQ(pages[0]->Rows[0]->Items[1]->Y, 3);
}

TEST(KsWordLayout, CharacterCellsFollowSizeStyleRubyBorderAndShadow) {
    struct TCase {
        const char* markup;
        TWdSize cell;
    } cases[] = {
        {"a", {12, 12}},
        {"<I>a", {14, 12}},
        {"<FONT SIZE=24>a", {24, 24}},
        {"<FONT SIZE=24><RUBY VALUE=r>a", {24, 36}},
        {"<FONT SIZE=1><RUBY VALUE=r>a", {1, 2}},
        {"<FONT BORDER=2 SHADOW=3>a", {19, 19}},
        {"<FONT SIZE=0>a", {12, 12}},
    };
    for (const auto& c : cases) {
        TKsWord word;
        word.PageHeight = 100;
        auto pages = layOut(word, c.markup);
        const TWdGlyph& item = *word.Item(0);
        EXPECT_EQ((TWdSize{item.Width, item.Height}), c.cell) << c.markup;
    }
    // The word's own border and shadow count when the item has none.
    TKsWord word;
    word.FontBorderWidth = 1;
    word.FontShadowOffset = 2;
    auto pages = layOut(word, "a<FONT BORDER=0>b");
    EXPECT_EQ(word.Item(0)->Width, 16);
    EXPECT_EQ(word.Item(1)->Width, 14);
}

TEST(KsWordLayout, ARangeOfItems) {
    TKsWord word;
    zuno::test::setTenPixelCells(word);
    word.LayoutWidth = 100;
    word.PageHeight = 100;
    word.SetText(sjis("あいうえお"));
    std::vector<std::unique_ptr<TWdPage>> pages;
    word.Layout(1, 3, pages);
    EXPECT_EQ(pagesText(pages), (TPagesText{{"いうえ"}}));
    pages.clear();
    word.Layout(3, 99, pages);
    EXPECT_EQ(pagesText(pages), (TPagesText{{"えお"}}));
    pages.clear();
    word.Layout(4, 2, pages);
    EXPECT_TRUE(pages.empty());
}

} // namespace
