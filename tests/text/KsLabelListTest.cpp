// Label pictures: measuring with the A/B/C widths (the last character's ink
// past its advance), rendering and drawing plain and bordered labels, and
// the save record with its version rules.
#include <gtest/gtest.h>

#include "core/StreamFields.h"
#include "core/TStream.h"
#include "text/FakeFontService.h"
#include "text/TFontPixelManager.h"
#include "text/TKsLabelList.h"
#include "text/TWdGlyph.h"

namespace zuno {
namespace {

using test::TFakeFontState;
using test::TFakeFontService;
using test::solidGlyph;

class KsLabelListTest : public ::testing::Test {
protected:
    void SetUp() override {
        State.Faces = {"Face", fallbackFaceName()};
        State.Metrics = TOutlineMetrics{8, 2, 0, 1, -1, 1, 4};
        test::TFakeGlyph a = solidGlyph(4, 6, 1, 8, 6);     // A 1, B 4, C 1
        test::TFakeGlyph b = solidGlyph(5, 6, 0, 8, 3);     // A 0, B 5, C -2
        State.Glyphs['a'] = a;
        State.Glyphs['b'] = b;
        Manager = std::make_unique<TFontPixelManager>(std::make_unique<TFakeFontService>(State));
        List = std::make_unique<TKsLabelList>(Manager.get());
        List->FontName = "Face";
        List->FontHeight = 10;
    }
    TFakeFontState State;
    std::unique_ptr<TFontPixelManager> Manager;
    std::unique_ptr<TKsLabelList> List;
};

TEST_F(KsLabelListTest, MeasuresCharactersByTheirABCWidthsAndTheLastOnesInk) {
    struct Case {
        int32_t border, shadow;
        const char* text;
        std::vector<int32_t> widths;
        int32_t height;
    };
    const Case cases[] = {
        {0, 0, "ab", {6, 5}, 10},           // b last: its negative C is not counted
        {0, 0, "ba", {3, 6}, 10},           // b inside the label: A + B + C
        {0, 0, "bb", {3, 5}, 10},
        {1, 2, "ab", {10, 9}, 14},          // each grown by 2 x border + shadow
        {0, 0, "", {}, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        List->Clear();
        List->BorderWidth = c.border;
        List->ShadowOffset = c.shadow;
        TKsLabelDIB& label = List->AddLabel();
        label.SetText(c.text);
        TKsLabelDIB& other = List->AddLabel();
        other.SetText("bab");
        List->Measure();
        EXPECT_EQ(label.CharWidths, c.widths);
        int32_t sum = 0;
        for (int32_t w : c.widths) sum += w;
        EXPECT_EQ(label.Width, sum);
        EXPECT_EQ(label.Height, c.height);
        EXPECT_EQ(List->MaxWidth(), std::max(sum, other.Width));
    }
    EXPECT_EQ(getLE32(List->Metrics.data()), 8u);
}

TEST_F(KsLabelListTest, APlainLabelIsDrawnInTheTextColourThroughItsCoverage) {
    TDIBX target(40, 20, 32);
    target.Fill(0);
    List->Target = &target;
    List->TextColor = 0x0000FF;          // red
    List->StyleFlags = FS_UNDERLINE;
    TKsLabelDIB& label = List->AddLabel();
    label.SetText("aa");
    List->Measure();
    label.DrawLabel(5, 3);
    EXPECT_FALSE(label.Dirty);
    // What the surface's colour-through-mask drawing makes of full coverage.
    TDIBX full(1, 1, 8), reference(1, 1, 32);
    full.Fill(255);
    reference.Fill(0);
    reference.DrawColorMask(0, 0, 255, reference.ColorToPixel(0x0000FF), false, false, TRect(0, 0, 1, 1), full);
    const uint32_t red = reference.GetPixel(0, 0);
    ASSERT_NE(red, 0u);
    // The underline bar changes the coverage only, over both cells.
    for (int32_t x = 0; x < 12; ++x) {
        EXPECT_EQ(label.Coverage.GetPixel(x, 9), 255u) << x;
        EXPECT_EQ(label.Picture.GetPixel(x, 9) & 0xFFFFFF, 0u) << x;
        EXPECT_EQ(target.GetPixel(5 + x, 3 + 9), red) << x;
    }
    // The glyph: cell x 0, left 1, top ascent 8 - origin 8.
    EXPECT_EQ(target.GetPixel(5 + 1, 3), red);
    EXPECT_EQ(target.GetPixel(5 + 0, 3), 0u);
    EXPECT_EQ(target.GetPixel(5 + 12, 3 + 9), 0u);
}

TEST_F(KsLabelListTest, ABorderedLabelIsCopiedFromItsPicture) {
    TDIBX target(40, 20, 32);
    target.Fill(target.ColorToPixel(0x00FF00));
    List->Target = &target;
    List->BorderWidth = 1;
    List->BorderColor = 0x000000;
    List->TextColor = 0xFFFFFF;
    TKsLabelDIB& label = List->AddLabel();
    label.SetText("a");
    List->Measure();
    label.DrawLabel(0, 0);
    // The cell is 8 wide (1 + 4 + 1 + 2 x border): the glyph is centred one
    // pixel right of its left bearing, at (1 + 1 + 1, 0 + 1); its left
    // neighbour is the black border.
    EXPECT_EQ(target.GetPixel(3, 1), target.ColorToPixel(0xFFFFFF));
    EXPECT_EQ(target.GetPixel(2, 1), target.ColorToPixel(0x000000));
    EXPECT_EQ(target.GetPixel(1, 1), target.ColorToPixel(0x00FF00));
    EXPECT_EQ(target.GetPixel(0, 0), target.ColorToPixel(0x00FF00));
    // At half opacity the text is blended over the background.
    List->Alpha = 128;
    target.Fill(0);
    label.DrawLabel(0, 0);
    uint32_t p = target.GetPixel(3, 1);
    EXPECT_GT(p & 0xFF, 0x70u);
    EXPECT_LT(p & 0xFF, 0x90u);
}

TEST_F(KsLabelListTest, ALabelRendersAgainOnlyWhenDirtyOrTheDepthChanges) {
    TDIBX target(40, 20, 32);
    List->Target = &target;
    TKsLabelDIB& label = List->AddLabel();
    label.SetText("ab");
    List->Measure();
    label.DrawLabel(0, 0);
    int32_t renders = State.Renders;
    label.DrawLabel(0, 0);
    label.SetText("ab");
    label.DrawLabel(0, 0);
    EXPECT_EQ(State.Renders, renders);
    EXPECT_EQ(label.Picture.GetBitCount(), 32);
    TDIBX target16(40, 20, 16);
    List->Target = &target16;
    Manager->ClearCache();
    label.DrawLabel(0, 0);
    EXPECT_GT(State.Renders, renders);
    EXPECT_EQ(label.Picture.GetBitCount(), 16);
}

TEST_F(KsLabelListTest, SaveRecordRoundTripsAndOldVersionsAreRead) {
    List->AntiAliasLevel = 2;
    List->BorderWidth = 3;
    List->Alpha = 90;
    List->FontHeight = 18;
    List->TextColor = 0x123456;
    List->BorderColor = 0x654321;
    List->StyleFlags = FS_BOLD;
    List->Metrics[5] = 7;
    List->ShadowOffset = 4;
    List->ShadowColor = 0x0A0B0C;
    TKsMemoryStream stream;
    List->SaveToStream(stream);
    EXPECT_EQ(stream.GetSize(), 4 * 4 + 4 + 4 + 4 + 4 + 1 + 212 + 8);

    struct Case {
        int32_t version;
        int32_t storedLevel;
        int32_t level;
        bool shadow;
    };
    const Case cases[] = {
        {108, 2, 3, false}, {108, 1, 0, false}, {108, 3, 3, false},
        {109, 2, 2, false}, {121, 1, 1, false}, {122, 2, 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        TKsMemoryStream s;
        WriteInt(s, c.storedLevel);
        WriteInt(s, 3);
        WriteInt(s, 90);
        WriteInt(s, 18);
        WriteString(s, "Face");
        WriteInt(s, 0x123456);
        WriteInt(s, 0x654321);
        WriteByte(s, FS_BOLD);
        std::vector<uint8_t> metrics(212, 0);
        metrics[5] = 7;
        s.Write(metrics.data(), 212);
        if (c.shadow) {
            WriteInt(s, 4);
            WriteInt(s, 0x0A0B0C);
        }
        WriteInt(s, 0x7777);            // what follows the record
        s.Seek(0, soBeginning);
        TKsLabelList loaded(Manager.get());
        loaded.LoadFromStream(s, c.version);
        EXPECT_EQ(loaded.AntiAliasLevel, c.level);
        EXPECT_EQ(loaded.BorderWidth, 3);
        EXPECT_EQ(loaded.FontName, "Face");
        EXPECT_EQ(loaded.BorderColor, 0x654321);
        EXPECT_EQ(loaded.StyleFlags, FS_BOLD);
        EXPECT_EQ(loaded.Metrics[5], 7);
        EXPECT_EQ(loaded.ShadowOffset, c.shadow ? 4 : 0);
        EXPECT_EQ(loaded.ShadowColor, c.shadow ? 0x0A0B0C : 0);
        EXPECT_EQ(ReadInt(s), 0x7777);
    }
}

TEST_F(KsLabelListTest, HugeBordersAndHeightsStayWithinTheLabelCaps) {
    TDIBX target(16, 16, 32);
    List->Target = &target;
    List->BorderWidth = 1 << 30;
    List->ShadowOffset = 1 << 30;
    List->FontHeight = 100000;
    TKsLabelDIB& label = List->AddLabel();
    label.SetText(std::string(300, 'a'));
    List->Measure();
    EXPECT_LE(label.Width, 8192);
    EXPECT_LE(label.Height, 2048);
    label.DrawLabel(0, 0);
    EXPECT_EQ(List->LabelAt(1), nullptr);
    EXPECT_EQ(List->LabelAt(-1), nullptr);
}

} // namespace
} // namespace zuno
