// The image caption: characters mapped to cells of a glyph sheet, the size
// rules, alignment, the alpha rule, frame animation, the save record, and
// sheets and maps that do not fit the text.
#include <gtest/gtest.h>

#include "ImageTestKit.h"
#include "core/Cp932.h"
#include "objects/TZunoCGLabel.h"

namespace zuno {
namespace {

using namespace test;

// A sheet of 5 x 2 cells of 2 x 2 pixels; cell c is coloured 0x00101000 + c.
constexpr int32_t kCell = 2;
uint32_t cellPixel(int c) { return 0x00101000u + uint32_t(c); }

TFramePlan sheetFrame(int32_t columns, int32_t rows, uint32_t tint = 0, int32_t delay = 100) {
    TFramePlan f;
    f.Width = columns * kCell;
    f.Height = rows * kCell;
    f.Delay = delay;
    for (int32_t y = 0; y < f.Height; ++y)
        for (int32_t x = 0; x < f.Width; ++x)
            f.Pixels.push_back(cellPixel(y / kCell * columns + x / kCell) + tint);
    return f;
}

class ImageCaptionTest : public ImageSceneTest {
protected:
    ImageCaptionTest() { addFile("digits.drl", drelBytes({sheetFrame(5, 2)})); }

    TZunoCGLabel* addCaption(const std::string& text, int32_t left, int32_t top,
                             const std::string& source = "digits.drl") {
        TZunoCGLabel* c = Reg.Create<TZunoCGLabel>();
        c->SetParent(Reg.GetScreen(0));
        c->SetLeft(left);
        c->SetTop(top);
        setProp(*c, PR_SOURCE, *strValue(source));
        setProp(*c, PR_MAPTEXT, *strValue("0123456789"));
        setProp(*c, PR_GLYPHWIDTH, *intValue(kCell));
        setProp(*c, PR_GLYPHHEIGHT, *intValue(kCell));
        setProp(*c, PR_TEXT, *strValue(text));
        return c;
    }
    // The cell drawn at (x, y): -1 for the background, else the cell number.
    int cellAt(int32_t x, int32_t y) {
        const uint32_t p = pixel(x, y);
        return p == kBackground ? -1 : int(p - 0x00101000u);
    }
    std::vector<int> rowOfCells(int32_t left, int32_t y, int count) {
        std::vector<int> cells;
        for (int i = 0; i < count; ++i)
            cells.push_back(cellAt(left + i * kCell, y));
        return cells;
    }
};

TEST_F(ImageCaptionTest, SizeFollowsTextCellsAndSpacing) {
    struct Case {
        const char* text;
        int32_t glyphW, glyphH, lineSpace;
        int32_t width, height;
    } cases[] = {
        {"12\r\n345", 4, 16, 2, 12, 34},
        {"12\r345", 4, 16, 2, 12, 34},
        {"1990", 3, 5, 7, 12, 5},               // one line: no line spacing
        {"", 3, 5, 7, 0, 0},
        {"1\n\n1", 1, 1, 0, 1, 3},              // empty lines count
        {"1", 0, -3, 0, 1, 1},                  // cells are at least 1 x 1
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TZunoCGLabel* cap = addCaption(c.text, 0, 0);
        setProp(*cap, PR_GLYPHWIDTH, *intValue(c.glyphW));
        setProp(*cap, PR_GLYPHHEIGHT, *intValue(c.glyphH));
        setProp(*cap, PR_LINESPACE, *intValue(c.lineSpace));
        EXPECT_EQ(cap->Width(), c.width);
        EXPECT_EQ(cap->Height(), c.height);
    }
    TZunoCGLabel* cap = addCaption("1", 0, 0);
    setProp(*cap, PR_GLYPHWIDTH, *intValue(0));
    EXPECT_EQ(getInt(*cap, PR_GLYPHWIDTH), 1);
}

TEST_F(ImageCaptionTest, CharactersMapToCells) {
    // Cell 9 is in the second row, fifth column; "x" is not mapped and
    // leaves a gap of one cell.
    addCaption("1990x3", 4, 6);
    compose();
    EXPECT_EQ(rowOfCells(4, 6, 7), (std::vector<int>{1, 9, 9, 0, -1, 3, -1}));
    EXPECT_EQ(rowOfCells(4, 7, 7), (std::vector<int>{1, 9, 9, 0, -1, 3, -1}));
    EXPECT_EQ(cellAt(3, 6), -1);
    EXPECT_EQ(cellAt(4, 8), -1);
}

TEST_F(ImageCaptionTest, DoubleByteCharactersMapAsOneCell) {
    TZunoCGLabel* cap = addCaption("", 0, 0);
    setProp(*cap, PR_MAPTEXT, *strValue(sjis("０１２３")));
    setProp(*cap, PR_TEXT, *strValue(sjis("３２x１")));
    ASSERT_EQ(cap->CellLines().size(), 1u);
    EXPECT_EQ(cap->CellLines()[0], (std::vector<int32_t>{3, 2, -1, 1}));
    EXPECT_EQ(cap->Width(), 4 * kCell);
}

TEST_F(ImageCaptionTest, AlignmentOffsetsShorterLines) {
    for (auto [align, shift] : {std::pair{HA_LEFT, 0}, {HA_CENTER, 1}, {HA_RIGHT, 2}}) {
        Reg.Reset();
        Reg.SetSize(kSceneW, kSceneH);
        Reg.GetScreen(0)->SetColor(0x806040);
        // "12" under "345": the short line moves by (3 - 2) x 2 div 2 cells' pixels.
        TZunoCGLabel* cap = addCaption("345\r\n12", 10, 0);
        setProp(*cap, PR_HALIGN, *intValue(align));
        compose();
        EXPECT_EQ(rowOfCells(10, 0, 3), (std::vector<int>{3, 4, 5})) << align;
        EXPECT_EQ(cellAt(10 + shift, kCell), 1) << align;
        EXPECT_EQ(cellAt(10 + shift + kCell, kCell), 2) << align;
        EXPECT_EQ(cellAt(10 + shift - 1, kCell), -1) << align;
    }
}

TEST_F(ImageCaptionTest, AlphaRule) {
    // Reference: the sheet's cell 1 drawn by the same primitive with the
    // strength the rule gives.
    TDIBX sheet(10, 4, 32);
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 10; ++x)
            sheet.SetPixel(x, y, cellPixel(y / kCell * 5 + x / kCell));
    struct Case {
        int32_t alpha;
        int mode;           // 0 nothing, 1 blend, 2 add
        int32_t strength;
    } cases[] = {{0, 0, 0}, {-5, 0, 0}, {512, 0, 0}, {600, 0, 0}, {128, 1, 128}, {300, 2, 44}, {511, 2, 255}};
    for (const Case& c : cases) {
        Reg.Reset();
        Reg.SetSize(kSceneW, kSceneH);
        Reg.GetScreen(0)->SetColor(0x806040);
        TZunoCGLabel* cap = addCaption("1", 0, 0);
        setProp(*cap, PR_ALPHA, *intValue(c.alpha));
        compose();
        TDIBX want(1, 1, 32);
        want.SetPixel(0, 0, kBackground);
        if (c.mode == 1)
            want.DrawAlpha(0, 0, c.strength, false, false, false, TRect(2, 0, 3, 1), sheet);
        else if (c.mode == 2)
            want.DrawAdd(0, 0, c.strength, false, false, TRect(2, 0, 3, 1), sheet);
        EXPECT_EQ(pixel(0, 0), want.GetPixel(0, 0)) << "alpha " << c.alpha;
    }
}

TEST_F(ImageCaptionTest, SheetsAndMapsThatDoNotFit) {
    // A sheet narrower than one cell draws nothing; a map longer than the
    // sheet has cells beyond it that draw nothing but keep their place.
    addFile("tiny.drl", drelBytes({solidFrame(1, 1, 0x00FF0000)}));
    TZunoCGLabel* tiny = addCaption("123", 0, 0, "tiny.drl");
    addControl(Reg, tiny, 0, 0, 4, 4)->SetColor(0x0000FF);     // its children are hidden too
    TZunoCGLabel* beyond = addCaption("0ab1", 0, 10);
    setProp(*beyond, PR_MAPTEXT, *strValue("0123456789ab"));       // a and b: cells 10 and 11 of 10
    compose();
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 6; ++x)
            EXPECT_EQ(pixel(x, y), kBackground) << x << "," << y;
    EXPECT_EQ(rowOfCells(0, 10, 4), (std::vector<int>{0, -1, -1, 1}));
    // An empty source leaves no frame selected: nothing is drawn.
    setProp(*beyond, PR_SOURCE, *strValue(""));
    compose();
    EXPECT_EQ(cellAt(0, 10), -1);
}

TEST_F(ImageCaptionTest, FramesCycleUnlessAniPaused) {
    // Three frames of 50 ms, told apart by their tint.
    addFile("anim.drl", drelBytes({sheetFrame(5, 2, 0, 50), sheetFrame(5, 2, 0x100000, 50),
                                   sheetFrame(5, 2, 0x200000, 50)}));
    TZunoCGLabel* cap = addCaption("0", 0, 0, "anim.drl");
    auto tint = [&] {
        compose();
        return (pixel(0, 0) - cellPixel(0)) >> 20;
    };
    EXPECT_EQ(tint(), 0u);
    setProp(*cap, PR_PAUSED, *boolValue(true));                 // Paused does not stop it
    EXPECT_FALSE(getInt(*cap, PR_PLAYING));
    // The first frame shows its delay + 1 ms.
    std::vector<uint32_t> seen;
    for (int i = 0; i < 4; ++i) {
        Reg.Update(i == 0 ? 51 : 50);
        seen.push_back(tint());
    }
    EXPECT_EQ(seen, (std::vector<uint32_t>{1, 2, 0, 1}));
    setProp(*cap, PR_ANIPAUSED, *boolValue(true));
    Reg.Update(50);
    Reg.Update(50);
    EXPECT_EQ(tint(), 1u);
}

TEST_F(ImageCaptionTest, SaveRecordRoundTrip) {
    TZunoCGLabel* cap = addCaption("12\r\n3", 2, 3);
    setProp(*cap, PR_LINESPACE, *intValue(1));
    setProp(*cap, PR_HALIGN, *intValue(HA_RIGHT));
    setProp(*cap, PR_ALPHA, *intValue(200));
    setProp(*cap, PR_ONIDLE, *strValue("idle.zsb"));
    TKsMemoryStream s;
    cap->SaveToStream(s);
    s.SetPosition(0);
    TZunoCGLabel* back = Reg.Create<TZunoCGLabel>();
    back->LoadFromStream(s, 138);
    EXPECT_EQ(s.GetPosition(), s.GetSize());
    for (int id : {PR_SOURCE, PR_TEXT, PR_MAPTEXT, PR_ONIDLE})
        EXPECT_EQ(getText(*back, id), getText(*cap, id)) << id;
    for (int id : {PR_GLYPHWIDTH, PR_GLYPHHEIGHT, PR_LINESPACE, PR_HALIGN, PR_ALPHA, PR_WIDTH, PR_HEIGHT})
        EXPECT_EQ(getInt(*back, id), getInt(*cap, id)) << id;
    EXPECT_TRUE(back->HasFrame());
    EXPECT_EQ(back->CellLines(), cap->CellLines());
}

} // namespace
} // namespace zuno
