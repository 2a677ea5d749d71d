// Hostile and broken text: deep nesting, huge sizes, empty boxes, megabytes
// of text, invalid Shift-JIS, huge variable values. Every case must end with
// a sound result inside the caps, never a crash, a hang or a blow-up.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/Cp932.h"
#include "expr/TParamCollection.h"
#include "expr/TSysFuncMan.h"
#include "text/TKsWord.h"
#include "WordTestUtil.h"

namespace {

using namespace zuno;

std::string repeat(const std::string& s, size_t n) {
    std::string out;
    out.reserve(s.size() * n);
    for (size_t i = 0; i < n; ++i)
        out += s;
    return out;
}

std::vector<std::unique_ptr<TWdPage>> layOutAll(TKsWord& word) {
    std::vector<std::unique_ptr<TWdPage>> pages;
    word.Layout(0, -1, pages);
    return pages;
}

// The last three items as text.
std::string describeTail(const TKsWord& word) {
    std::string out;
    for (int32_t i = std::max(0, word.ItemCount() - 3); i < word.ItemCount(); ++i)
        if (word.Item(i)->IsChar())
            out += static_cast<const TWdChar*>(word.Item(i))->Text();
    return out;
}

// Every item of the range sits on exactly one row of the pages.
size_t itemsOnPages(const std::vector<std::unique_ptr<TWdPage>>& pages) {
    size_t n = 0;
    for (const auto& page : pages)
        for (const auto& row : page->Rows)
            for (const TWdGlyph* item : row->Items)
                n += item->Kind() == TWdKind::Space ? 0 : 1;
    return n;
}

TEST(KsWordLimits, TagsNestedThousandsDeep) {
    const size_t depth = 20000;
    TKsWord word;
    word.LayoutWidth = 640;
    word.PageHeight = 480;
    word.SetText(repeat("<FONT SIZE=20 NAME=\"" + std::string(200, 'n') + "\"><B><WAIT VALUE=1><RUBY VALUE=r>", depth) +
                 "a" + repeat("</RUBY></WAIT></B></FONT>", depth) + "b");
    ASSERT_EQ(word.ItemCount(), 2);
    const auto& a = *static_cast<const TWdReal*>(word.Item(0))->Style;
    const auto& b = *static_cast<const TWdReal*>(word.Item(1))->Style;
    EXPECT_EQ(a.FontSize, 20);
    EXPECT_EQ(a.Wait, 1);
    EXPECT_EQ(b.FontSize, 0);
    EXPECT_EQ(b.StyleFlags, 0);
    EXPECT_EQ(b.Wait, 50);
    EXPECT_EQ(itemsOnPages(layOutAll(word)), 2u);
}

TEST(KsWordLimits, DeepDivisionsCommentsAndBrackets) {
    TKsWord word;
    word.SetText(repeat("<DIV ALIGN=RIGHT>", 5000) + "x" + repeat("</DIV>", 6000));
    EXPECT_EQ(word.ItemCount(), 5000 + 1 + 6000);
    EXPECT_EQ(static_cast<const TWdOpeAlign*>(word.Item(word.ItemCount() - 1))->Align, WA_LEFT);

    word.SetText("a" + repeat("<!--", 100000) + "b");
    EXPECT_EQ(word.ItemCount(), 1);
    word.SetText("a" + repeat("<", 100000) + repeat(">", 99999) + "b");
    EXPECT_EQ(word.ItemCount(), 1);
    word.SetText(repeat("\"", 100001) + "<B>");
    EXPECT_GT(word.ItemCount(), 0);
}

TEST(KsWordLimits, FontSizesAtTheEdges) {
    struct TCase {
        const char* markup;
        int32_t defaultSize;
        int32_t cell;
    } cases[] = {
        {"<FONT SIZE=100000>a", 12, kMaxFontSize},
        {"<FONT SIZE=99999999999999>a", 12, kMaxFontSize},
        {"<FONT SIZE=-5>a", 12, 0},
        {"<FONT SIZE=0>a", 0, 0},
        {"a", 100000, kMaxFontSize},
        {"<FONT BORDER=100000 SHADOW=100000>a", 12, 12 + 3 * kMaxBorderWidth},
    };
    for (const auto& c : cases) {
        TKsWord word;
        word.DefaultFontSize = c.defaultSize;
        word.LayoutWidth = 640;
        word.PageHeight = 480;
        word.SetText(c.markup);
        auto pages = layOutAll(word);
        EXPECT_EQ(word.Item(0)->Width, c.cell) << c.markup;
        EXPECT_EQ(itemsOnPages(pages), 1u) << c.markup;
    }
}

TEST(KsWordLimits, HugeCharactersGetAPageEach) {
    TKsWord word;
    word.LayoutWidth = 640;
    word.PageHeight = 480;
    word.SetText(sjis(repeat("<FONT SIZE=100000>あ</FONT>", 1000)));
    auto pages = layOutAll(word);
    ASSERT_EQ(pages.size(), 1000u);
    EXPECT_EQ(pages[999]->Rows[0]->Y, 0);
}

TEST(KsWordLimits, ZeroSizedCharactersAllShareOneRow) {
    TKsWord word;
    word.DefaultFontSize = 0;
    word.LayoutWidth = 640;
    word.PageHeight = 480;
    word.SetText(repeat("ab ", 1000));
    auto pages = layOutAll(word);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0]->Rows.size(), 1u);
    TKsWord::TRevealResult r = word.Reveal(*pages[0], 16);
    EXPECT_EQ(r.NewText, "a");
}

TEST(KsWordLimits, BoxesWithoutRoom) {
    struct TCase {
        int32_t width;
        int32_t pageHeight;
        size_t pages;
        size_t rowsOnFirstPage;
    } cases[] = {
        {0, 480, 1, 2},         // unlimited width: one row per line
        {-10, 480, 1, 2},       // a negative width is no limit either
        {1, 480, 1, 6},         // every run alone on a row: あ い う え お(and the break) ab
        {1, 0, 6, 1},           // no height: one row per page
        {1, -100, 6, 1},
    };
    for (const auto& c : cases) {
        TKsWord word;
        word.LayoutWidth = c.width;
        word.PageHeight = c.pageHeight;
        word.SetText(sjis("あいうえお<BR>ab"));
        auto pages = layOutAll(word);
        ASSERT_EQ(pages.size(), c.pages) << c.width << " x " << c.pageHeight;
        EXPECT_EQ(pages[0]->Rows.size(), c.rowsOnFirstPage) << c.width << " x " << c.pageHeight;
        EXPECT_EQ(itemsOnPages(pages), 8u);
        // The reveal of a page in a box without height still ends.
        TKsWord::TRevealResult r;
        for (int frame = 0; frame < 100 && !r.Complete; ++frame)
            r = word.Reveal(*pages[0], 1000);
        EXPECT_TRUE(r.Complete) << c.width << " x " << c.pageHeight;
    }
}

TEST(KsWordLimits, IndentsWiderThanTheBox) {
    TKsWord word;
    word.DefaultFontSize = 10;
    word.LayoutWidth = 30;
    word.PageHeight = 25;
    word.SetText(sjis("あいうえお<INDENT>" + repeat("か", 200) + "<INDENT>" + repeat("き", 200)));
    auto pages = layOutAll(word);
    EXPECT_EQ(itemsOnPages(pages), 5 + 1 + 200 + 1 + 200u);
    for (const auto& page : pages)
        EXPECT_LE(page->Rows.size(), 3u);
}

TEST(KsWordLimits, MegabytesOfTextStopAtTheItemCap) {
    TKsWord word;
    word.LayoutWidth = 640;
    word.PageHeight = 480;
    word.SetText(sjis(repeat("あいう abc ", 400000)));      // about 4 MB
    EXPECT_EQ(word.ItemCount(), kMaxItems);
    auto pages = layOutAll(word);
    EXPECT_EQ(itemsOnPages(pages), static_cast<size_t>(kMaxItems));
    // One English word of a megabyte is one run on one row.
    word.SetText(std::string(1 << 20, 'x'));
    pages = layOutAll(word);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0]->Rows.size(), 1u);
}

TEST(KsWordLimits, InvalidShiftJisNeverSplitsACharacter) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    all += '\x81';      // a lead byte without its trail
    TKsWord word;
    word.LayoutWidth = 100;
    word.PageHeight = 100;
    word.SetText(all);
    auto pages = layOutAll(word);
    EXPECT_EQ(itemsOnPages(pages), static_cast<size_t>(word.ItemCount()));
    // The final lone lead byte is a character of its own.
    const auto& last = *static_cast<const TWdChar*>(word.Item(word.ItemCount() - 1));
    EXPECT_EQ(last.Code, 0x81);
    // A lead byte takes the byte after it, even a bracket.
    word.SetText("\x81<B>x");
    ASSERT_GE(word.ItemCount(), 1);
    EXPECT_EQ(static_cast<const TWdChar*>(word.Item(0))->Code, 0x813C);
    EXPECT_EQ(static_cast<const TWdReal*>(word.Item(word.ItemCount() - 1))->Style->StyleFlags, 0);
}

TEST(KsWordLimits, HugeVariableValuesStopAtTheCapAndKeepTheText) {
    TParamCollection params;
    TSysFuncMan funcs{params};
    params.CreateVariable("big", PT_STR, vsGlobal)->Value()->SetString(std::string(1 << 20, 'v'));
    TKsWord word;
    word.SetFunctions(&funcs);
    word.SetText(repeat("<VAR NAME=big>", 8) + "end");
    word.RefreshVars();
    EXPECT_EQ(word.ItemCount(), kMaxItems);
    EXPECT_EQ(describeTail(word), "end");
    word.RefreshVars();      // again: the old insertions go first
    EXPECT_EQ(word.ItemCount(), kMaxItems);
    word.CaptureVars();
    size_t snapshotBytes = 0;
    for (const std::string& line : word.VarSnapshot)
        snapshotBytes += line.size();
    EXPECT_LE(snapshotBytes, static_cast<size_t>(kMaxItems) + 64);
}

TEST(KsWordLimits, ExtremeWaitsAndTimes) {
    TKsWord word;
    word.TextDelayRate = 0x7FFFFFFF;
    word.FadeTime = 0x7FFFFFFF;
    word.SetText("<WAIT VALUE=2147483647>ab<WAIT VALUE=-2147483648>c");
    std::vector<std::unique_ptr<TWdPage>> pages;
    word.Layout(0, -1, pages);
    EXPECT_EQ(word.Reveal(*pages[0], 0x7FFFFFFF).NewText, "a");
    EXPECT_EQ(word.Reveal(*pages[0], 0x7FFFFFFF).NewText, "");
    EXPECT_EQ(word.Reveal(*pages[0], -5).NewText, "");
    EXPECT_GT(word.Item(0)->Alpha, 0);
}

} // namespace
