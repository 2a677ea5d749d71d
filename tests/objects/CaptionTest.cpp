// The caption: text layout into lines, the size rules of zoom, the three
// drawing paths, the rotated drawn area, hit testing, the save record and
// texts too large to render. Glyphs come from a fake font of solid boxes.
#include <gtest/gtest.h>

#include "ImageTestKit.h"
#include "core/StreamFields.h"
#include "objects/TZunoLabel.h"
#include "text/FakeFontService.h"
#include "text/TFontPixelManager.h"

namespace zuno {
namespace {

using namespace test;

constexpr uint32_t kWhite = 0x00FFFFFF;

class CaptionTest : public ImageSceneTest {
protected:
    CaptionTest() {
        // Boxes of width w, 8 pixels high, at the top of a 12-pixel cell; the
        // advance is the box plus the given room on its right.
        Font.Metrics = {8, 4, 0, 1, -1, 1, 4};
        Font.Glyphs['A'] = solidGlyph(4, 8, 0, 8, 5);
        Font.Glyphs['B'] = solidGlyph(2, 8, 0, 8, 3);
        Font.Glyphs['C'] = solidGlyph(10, 8, 0, 8, 10);
        Font.Glyphs['I'] = solidGlyph(1, 8, 0, 8, 1);
        TFontPixelManager::SetInstance(std::make_unique<TFontPixelManager>(std::make_unique<TFakeFontService>(Font)));
    }
    ~CaptionTest() override {
        Reg.Reset();
        TFontPixelManager::SetInstance(nullptr);
    }

    TZunoLabel* addCaption(const std::string& text, int32_t left, int32_t top) {
        TZunoLabel* c = Reg.Create<TZunoLabel>();
        c->SetParent(Reg.GetScreen(0));
        c->SetFontColor(0xFFFFFF);
        c->SetText(text);
        c->SetLeft(left);
        c->SetTop(top);
        return c;
    }
    // The bounding box of the pixels of the scene that are not background.
    TRect paintedArea() {
        TRect r;
        for (int32_t y = 0; y < kSceneH; ++y)
            for (int32_t x = 0; x < kSceneW; ++x)
                if (pixel(x, y) != kBackground)
                    r = r.isEmpty() ? TRect(x, y, x + 1, y + 1) : unionRect(r, TRect(x, y, x + 1, y + 1));
        return r;
    }

    TFakeFontState Font;
};

TEST_F(CaptionTest, LinesAndNaturalSize) {
    struct Case {
        const char* text;
        int32_t lineSpace;
        std::string readBack;
        int32_t width, height;
    } cases[] = {
        {"AB\r\nC", 4, "AB\r\nC", 10, 32},      // the wider line; (12 + 4) per line
        {"AB\r\nI", 0, "AB\r\nI", 8, 24},
        {"A\r\n", 0, "A", 5, 12},               // a final empty line is dropped
        {"A\rB\nC", 0, "A\r\nB\r\nC", 10, 36},  // CR and LF alone break lines too
        {"A\r\n\r\nB", 0, "A\r\n\r\nB", 5, 36}, // an empty line inside stays
        {"", 0, "", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TZunoLabel* cap = addCaption("", 0, 0);
        cap->SetLineSpace(c.lineSpace);
        cap->SetText(c.text);
        EXPECT_EQ(getText(*cap, PR_TEXT), c.readBack);
        EXPECT_EQ(cap->NaturalWidth(), c.width);
        EXPECT_EQ(cap->NaturalHeight(), c.height);
        EXPECT_EQ(cap->Width(), c.width);
        EXPECT_EQ(cap->Height(), c.height);
    }
}

TEST_F(CaptionTest, AlignmentPlacesEachLine) {
    // Lines "AB" (8 wide) and "I" (1 wide): the short line starts at 0,
    // (8 - 1) div 2 = 3 or 8 - 1 = 7.
    for (auto [align, x] : {std::pair{HA_LEFT, 0}, {HA_CENTER, 3}, {HA_RIGHT, 7}}) {
        TZunoLabel* cap = addCaption("AB\r\nI", 0, 0);
        setProp(*cap, PR_HALIGN, *intValue(align));
        ASSERT_EQ(cap->LineRects().size(), 2u);
        EXPECT_EQ(cap->LineRects()[0], TRect(0, 0, 7, 8));        // A's box, B's box after A's advance of 5
        EXPECT_EQ(cap->LineRects()[1], TRect(x, 12, x + 1, 20)) << "align " << align;
    }
}

TEST_F(CaptionTest, ZoomSetsTheSizeAndClampsToOne) {
    TZunoLabel* cap = addCaption("AB", 0, 0);
    setProp(*cap, PR_ZOOMX, *intValue(512));
    setProp(*cap, PR_ZOOMY, *intValue(128));
    EXPECT_EQ(cap->Width(), 16);
    EXPECT_EQ(cap->Height(), 6);
    setProp(*cap, PR_ZOOMX, *intValue(0));
    EXPECT_EQ(getInt(*cap, PR_ZOOMX), 1);
    EXPECT_EQ(cap->Width(), 0);
    // A new text keeps the zoom.
    setProp(*cap, PR_ZOOMX, *intValue(256));
    cap->SetText("ABAB");
    EXPECT_EQ(cap->Width(), 16);
    EXPECT_EQ(cap->Height(), 6);
}

TEST_F(CaptionTest, DrawingPaths) {
    struct Case {
        const char* name;
        int32_t zoomX, alpha, angle;
        TRect painted;
        uint32_t inside;
    } cases[] = {
        // Natural size: the font colour through the coverage, lines only.
        {"natural", 256, 255, 0, TRect(2, 3, 9, 11), kWhite},
        {"natural half", 256, 128, 0, TRect(2, 3, 9, 11), 0x009FAFBF},
        // Zoomed: stretched over twice the width.
        {"stretched", 512, 255, 0, TRect(2, 3, 16, 11), kWhite},
        // Additive with strength 300 - 256 = 44 over the grey background.
        {"additive", 512, 300, 0, TRect(2, 3, 16, 11), 0x006C8CAC},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reg.Reset();
        Reg.SetSize(kSceneW, kSceneH);
        Reg.GetScreen(0)->SetColor(0x806040);
        TZunoLabel* cap = addCaption("AB", 2, 3);
        cap->SetZoomX(c.zoomX);
        cap->SetAlpha(c.alpha);
        compose();
        EXPECT_EQ(paintedArea(), c.painted);
        // Within the rounding of the blending primitives.
        const uint32_t got = pixel(3, 5);
        for (int shift : {0, 8, 16})
            EXPECT_NEAR(int(got >> shift & 0xFF), int(c.inside >> shift & 0xFF), 3) << std::hex << got;
    }
}

TEST_F(CaptionTest, QuarterTurnDrawsTheTurnedBoundingBox) {
    TZunoLabel* cap = addCaption("C", 10, 5);       // 10 x 12, the text box 10 x 8
    cap->SetAngle(64);
    const TRect area = cap->DrawnArea();
    EXPECT_GE(area.width(), 12);            // 12 high now runs across, 10 wide runs down
    EXPECT_LT(area.width(), 14);
    EXPECT_GE(area.height(), 10);
    EXPECT_LT(area.height(), 12);
    compose();
    const TRect painted = paintedArea();
    EXPECT_FALSE(painted.isEmpty());
    EXPECT_TRUE(intersectRect(painted, area) == painted) << "drawn outside its area";
    EXPECT_EQ(painted.width(), 8);                  // the 8 rows of coverage now run across
    EXPECT_EQ(painted.height(), 10);
}

TEST_F(CaptionTest, EmptyOrTransparentCaptionHidesItsChildren) {
    for (auto [text, alpha] : {std::pair{"", 255}, {"AB", 0}}) {
        Reg.Reset();
        Reg.SetSize(kSceneW, kSceneH);
        Reg.GetScreen(0)->SetColor(0x806040);
        TZunoLabel* cap = addCaption(text, 0, 0);
        cap->SetAlpha(alpha);
        cap->SetBounds(0, 0, 20, 20);
        addControl(Reg, cap, 1, 1, 5, 5)->SetColor(0x0000FF);
        compose();
        EXPECT_EQ(paintedArea(), TRect()) << "text '" << text << "' alpha " << alpha;
    }
}

TEST_F(CaptionTest, HitTestByRectangleAndTurned) {
    TZunoLabel* cap = addCaption("C", 10, 5);
    EXPECT_EQ(Reg.GetScreen(0)->HitTest(19, 16, imBit(IM_NONE)), cap);   // transparent part still hits
    EXPECT_NE(Reg.GetScreen(0)->HitTest(20, 5, imBit(IM_NONE)), cap);
    EXPECT_EQ(Reg.GetScreen(0)->HitTest(19, 16, imBit(IM_ALL)), nullptr) << "not an accepted IgnoreMouse value";
    // Turned a quarter about its centre (10, 5 on the screen): the centre
    // hits, a point beyond the turned box (8 below the centre, turned back
    // 8 to its right) does not.
    cap->SetOffsetX(5);
    cap->SetOffsetY(6);
    cap->SetAngle(64);
    EXPECT_EQ(Reg.GetScreen(0)->HitTest(10, 5, imBit(IM_NONE)), cap);
    EXPECT_NE(Reg.GetScreen(0)->HitTest(10, 13, imBit(IM_NONE)), cap);
}

TEST_F(CaptionTest, SaveRecordRoundTrip) {
    TZunoLabel* cap = addCaption("AB\r\nC", 4, 6);
    cap->SetName("cap");
    cap->SetLineSpace(2);
    cap->SetHAlign(HA_RIGHT);
    cap->SetFontStyle(FS_BOLD);
    cap->SetAlpha(200);
    cap->SetFlipH(true);
    cap->SetAngle(3);
    cap->SetZoomX(512);
    cap->SetZoomY(384);
    cap->SetAntiAlias(true);
    setProp(*cap, PR_ONIDLE, *strValue("idle.zsb"));
    setProp(*cap, PR_PAUSED, *boolValue(true));
    TKsMemoryStream s;
    cap->SaveToStream(s);

    TZunoLabel* back = Reg.Create<TZunoLabel>();
    s.SetPosition(0);
    back->LoadFromStream(s, 138);
    EXPECT_EQ(s.GetPosition(), s.GetSize());
    for (int id : {PR_TEXT, PR_FONTNAME, PR_ONIDLE})
        EXPECT_EQ(getText(*back, id), getText(*cap, id)) << id;
    for (int id : {PR_LINESPACE, PR_HALIGN, PR_FONTSTYLE, PR_ALPHA, PR_ANGLE, PR_ZOOMX, PR_ZOOMY, PR_FONTCOLOR,
                   PR_ANTIALIAS, PR_FLIPH, PR_PAUSED, PR_WIDTH, PR_HEIGHT})
        EXPECT_EQ(getInt(*back, id), getInt(*cap, id)) << id;
    EXPECT_EQ(back->Width(), 20);                   // 10 wide at twice the size
    EXPECT_EQ(back->Height(), 42);                  // (12 + 2) x 2 at 1.5 times
}

TEST_F(CaptionTest, TextTooLargeToRenderKeepsItsSizeAndDrawsNothing) {
    TZunoLabel* cap = addCaption("AB", 0, 0);
    cap->SetFontHeight(1000000000);
    EXPECT_EQ(cap->NaturalHeight(), 1000000000);
    EXPECT_TRUE(cap->LineRects().empty());
    cap->SetFontHeight(12);
    cap->SetText(std::string(200000, 'C'));        // two million pixels wide
    EXPECT_EQ(cap->NaturalWidth(), 2000000);
    compose();
    EXPECT_EQ(paintedArea(), TRect());
}

} // namespace
} // namespace zuno
