// Drawn positions, dirty rectangles and the composition of the screens.
#include <gtest/gtest.h>

#include "ObjectTestKit.h"
#include "imaging/TDIBX.h"

namespace zuno {
namespace {

using namespace test;

// A control with a zoom and a mirror, as image kinds have them.
class TZoomed : public TPaintedControl {
public:
    int32_t             ZoomX() override { return Zoom; }
    int32_t             ZoomY() override { return Zoom; }
    bool                FlipH() override { return Flip; }
    int32_t             Zoom = 256;
    bool                Flip = false;
};

TEST(DrawnPositionTest, AnchorZoomFlipAndParents) {
    struct TCase {
        int32_t left, offsetX, zoom, width;
        bool flip, posZoomed;
        int32_t plusX, expected;
    } cases[] = {
        {10, 8, 128, 50, false, false, 0, 6},      // 10 - 8 * 128 / 256
        {10, 8, 128, 50, true, false, 0, -35},     // 10 - (50 - 4 - 1)
        {10, 8, 256, 50, false, false, 0, 2},
        {10, 0, 512, 50, false, true, 0, 20},      // the position is zoomed too
        {10, 0, 256, 50, false, false, 3, 13},     // PlusX comes last
        {-10, 3, 100, 50, false, false, 0, -11},   // 300 / 256 truncates to 1
        {2000000000, 0, 2000000, 1, false, true, 0, int32_t(int64_t(2000000000) * 2000000 / 256)},
    };
    for (const TCase& c : cases) {
        TZunoBaseList reg;
        auto* z = addControl<TZoomed>(reg, nullptr, 0, 0, c.width, 10);
        z->Zoom = c.zoom;
        z->Flip = c.flip;
        z->SetLeft(c.left);
        z->SetOffsetX(c.offsetX);
        z->SetPosZoomed(c.posZoomed);
        z->SetPlusX(c.plusX);
        EXPECT_EQ(z->ScreenLeft(), c.expected) << c.left << " " << c.zoom;
    }

    TZunoBaseList reg;
    TZunoControl* p = addControl(reg, reg.GetScreen(0), 5, 7, 40, 40);
    TZunoControl* c = addControl(reg, p, 3, 4, 10, 10);
    c->SetOffsetX(2);
    c->SetOffsetY(1);
    EXPECT_EQ(c->ScreenLeft(), 5 + 3 - 2);
    EXPECT_EQ(c->ScreenTop(), 7 + 4 - 1);
    EXPECT_EQ(c->LocalLeft(), 1);
    EXPECT_EQ(c->GetScreenPoint().X, 8);                      // without the anchor
    EXPECT_EQ(c->ClientToScreen({1, 1}).Y, 11);
    EXPECT_EQ(c->GetClientRect(), TRect(6, 10, 16, 20));
}

TEST(DrawnPositionTest, ScreensAnswerTheirPropertiesForZoomFlipAndScroll) {
    // Screens answer the position hooks without the property table; what
    // they answer must stay what their properties read, written or not.
    TZunoBaseList reg;
    TZunoBase* screen = reg.GetScreen(1);
    TZunoControl* c = addControl(reg, screen, 3, 4, 10, 10);
    for (bool written : {false, true}) {
        if (written) {
            screen->SetProp(PR_ZOOMX, TPropValue::ofInt(512));
            screen->SetProp(PR_ZOOMY, TPropValue::ofInt(128));
            screen->SetProp(PR_FLIPH, TPropValue::ofBool(true));
            screen->SetProp(PR_FLIPV, TPropValue::ofBool(true));
            screen->SetProp(PR_SCROLLX, TPropValue::ofInt(7));
            screen->SetProp(PR_SCROLLY, TPropValue::ofInt(9));
        }
        EXPECT_EQ(screen->ZoomX(), screen->GetProp(PR_ZOOMX).Int) << written;
        EXPECT_EQ(screen->ZoomY(), screen->GetProp(PR_ZOOMY).Int) << written;
        EXPECT_EQ(screen->FlipH(), screen->GetProp(PR_FLIPH).Bool) << written;
        EXPECT_EQ(screen->FlipV(), screen->GetProp(PR_FLIPV).Bool) << written;
        EXPECT_EQ(screen->ScrollX(), screen->GetProp(PR_SCROLLX).Int) << written;
        EXPECT_EQ(screen->ScrollY(), screen->GetProp(PR_SCROLLY).Int) << written;
        EXPECT_EQ(c->GetClientRect(), TRect(3, 4, 13, 14)) << written;
    }
}

TEST(DrawnPositionTest, ClipNeedsBothSizes) {
    TZunoBaseList reg;
    TZunoControl* c = addControl(reg, reg.GetScreen(0), 10, 10, 20, 20);
    c->SetClip(PR_CLIPHEIGHT, 5);
    EXPECT_TRUE(c->GetClipRect().isEmpty());                  // ClipWidth 0: no clipping at all
    c->SetClip(PR_CLIPWIDTH, 4);
    c->SetClip(PR_CLIPLEFT, 2);
    EXPECT_EQ(c->GetClipRect(), TRect(12, 10, 16, 15));
}

TEST(DirtyListTest, NearRectanglesMerge) {
    const TRect screen(0, 0, 200, 200);
    TClipList l;
    l.Add(TRect(10, 10, 20, 20), screen);
    l.Add(TRect(35, 10, 40, 20), screen);                     // 15 pixels to the right: merged
    ASSERT_EQ(l.Rects().size(), 1u);
    EXPECT_EQ(l.Rects()[0], TRect(10, 10, 40, 20));
    l.Add(TRect(65, 10, 70, 20), screen);                     // 25 pixels away: separate
    EXPECT_EQ(l.Rects().size(), 2u);
    l.Add(TRect(12, 12, 15, 15), screen);                     // inside: nothing changes
    EXPECT_EQ(l.Rects().size(), 2u);
    l.Add(TRect(40, 10, 65, 20), screen);                     // bridges both: one again
    ASSERT_EQ(l.Rects().size(), 1u);
    EXPECT_EQ(l.Rects()[0], TRect(10, 10, 70, 20));
    l.Add(TRect(-50, -50, -10, -10), screen);                 // off the screen: dropped
    l.Add(TRect(190, 190, 400, 400), screen);                 // cut to the screen
    EXPECT_EQ(l.Rects().back(), TRect(190, 190, 200, 200));
}

TEST(DirtyListTest, ALongListMergesWithTheEntryThatIsNear) {
    // Twenty far-apart entries in a row (4 x 4, 40 pixels apart). A new
    // rectangle 10 pixels below one of them merges with that one, whatever
    // its place in the list: the union leaves its place and goes last.
    const TRect screen(0, 0, 1000, 100);
    auto entry = [](int32_t k) { return TRect(40 * k, 10, 40 * k + 4, 14); };
    for (int32_t near : {0, 1, 7, 8, 9, 15, 16, 17, 19, -1}) {
        TClipList l;
        for (int32_t k = 0; k < 20; ++k)
            l.Add(entry(k), screen);
        ASSERT_EQ(l.Rects().size(), 20u);
        const int32_t x = near >= 0 ? 40 * near : 900;        // -1: near none of them
        l.Add(TRect(x, 24, x + 4, 28), screen);
        std::vector<TRect> expected;
        for (int32_t k = 0; k < 20; ++k)
            if (k != near)
                expected.push_back(entry(k));
        expected.push_back(near >= 0 ? TRect(x, 10, x + 4, 28) : TRect(x, 24, x + 4, 28));
        EXPECT_EQ(l.Rects(), expected) << near;
    }
}

// A registry composing into a 32-bit surface of its own.
struct TSmallScene {
    TZunoBaseList       Reg;
    TDIBX               Out{40, 30, 32};
    TSmallScene() {
        Reg.SetSize(40, 30);
        Reg.SetOutputSurface(&Out);
    }
    uint32_t            pixel(int x, int y) { return Out.GetPixel(x, y); }
    uint32_t            rgb(int32_t bgr) { return Out.ColorToPixel(bgr); }
    void                frame() {
        Reg.Draw();
        Reg.ClearDirty();
    }
};

TEST(CompositionTest, ScreenFillThenChildrenInOrder) {
    TSmallScene s;
    s.Reg.GetScreen(0)->SetColor(0x00FF00);
    TZunoControl* low = addControl(s.Reg, s.Reg.GetScreen(0), 0, 0, 20, 20);
    TZunoControl* high = addControl(s.Reg, s.Reg.GetScreen(0), 10, 10, 20, 20);
    low->SetColor(0x0000FF);
    high->SetColor(0xFF0000);
    high->SetPriority(1);
    s.frame();
    EXPECT_EQ(s.pixel(35, 2), s.rgb(0x00FF00));
    EXPECT_EQ(s.pixel(5, 5), s.rgb(0x0000FF));
    EXPECT_EQ(s.pixel(15, 15), s.rgb(0xFF0000));              // the higher priority on top
    low->SetPriority(2);
    s.frame();
    EXPECT_EQ(s.pixel(15, 15), s.rgb(0x0000FF));

    // Children are cut to their parent and to their own clip rectangle.
    TZunoControl* child = addControl(s.Reg, low, 15, 0, 20, 5);
    child->SetColor(0xFFFFFF);
    child->SetClip(PR_CLIPWIDTH, 3);
    child->SetClip(PR_CLIPHEIGHT, 3);
    s.frame();
    EXPECT_EQ(s.pixel(16, 1), s.rgb(0xFFFFFF));
    EXPECT_EQ(s.pixel(19, 1), s.rgb(0x0000FF));               // outside the child's clip
    EXPECT_EQ(s.pixel(25, 1), s.rgb(0x00FF00));               // outside the parent

    // A hidden control leaves its screen colour behind.
    low->SetVisible(false);
    s.frame();
    EXPECT_EQ(s.pixel(5, 5), s.rgb(0x00FF00));
    EXPECT_EQ(s.pixel(16, 1), s.rgb(0x00FF00));
}

TEST(CompositionTest, OnlyDirtyRectanglesAreRepainted) {
    TSmallScene s;
    s.Reg.GetScreen(0)->SetColor(0x000000);
    TZunoControl* a = addControl(s.Reg, s.Reg.GetScreen(0), 0, 0, 4, 4);
    a->SetColor(0x0000FF);
    s.frame();
    EXPECT_TRUE(s.Reg.PresentRects().empty());
    // Pixels drawn behind the registry's back stay until their area is dirty.
    s.Out.SetPixel(30, 20, s.rgb(0xFFFFFF));
    a->SetLeft(2);
    const std::vector<TRect> expected{TRect(0, 0, 6, 4)};      // old and new area, merged
    EXPECT_EQ(s.Reg.PresentRects(), expected);
    s.frame();
    EXPECT_EQ(s.pixel(30, 20), s.rgb(0xFFFFFF));
    EXPECT_EQ(s.pixel(0, 0), s.rgb(0x000000));
    EXPECT_EQ(s.pixel(5, 3), s.rgb(0x0000FF));
    // A negative screen colour means no fill.
    s.Reg.GetScreen(0)->SetColor(-1);
    s.Out.SetPixel(0, 0, s.rgb(0xFFFFFF));
    a->SetLeft(3);
    s.frame();
    EXPECT_EQ(s.pixel(0, 0), s.rgb(0xFFFFFF));
    // Unchanged values add nothing.
    a->SetLeft(3);
    a->SetColor(0x0000FF);
    EXPECT_TRUE(s.Reg.PresentRects().empty());
}

TEST(CompositionTest, InactiveScreenDrawsIntoItsOwnSurface) {
    TSmallScene s;
    s.Reg.GetScreen(1)->SetColor(0x123456);
    TZunoControl* c = addControl(s.Reg, s.Reg.GetScreen(1), 0, 0, 5, 5);
    c->SetColor(0x0000FF);
    s.frame();
    EXPECT_EQ(s.pixel(1, 1), s.rgb(0x000000));                // untouched output
    s.Reg.StartTransition(1, 0, 0, true, 0, 0);
    EXPECT_EQ(s.Reg.ActiveIndex(), 1);
    s.frame();
    EXPECT_EQ(s.pixel(1, 1), s.rgb(0x0000FF));
    EXPECT_EQ(s.pixel(20, 20), s.rgb(0x123456));
}

TEST(CompositionTest, HugeAndNegativeGeometryDrawsSafely) {
    TSmallScene s;
    TZunoControl* c = addControl(s.Reg, s.Reg.GetScreen(0), -100000, -5, 2000000000, 2000000000);
    TZunoControl* d = addControl(s.Reg, c, 0, 0, -50, -50);
    addControl(s.Reg, s.Reg.GetScreen(0), 2000000000, 2000000000, 2000000000, 2000000000);
    c->SetColor(0x0000FF);
    d->SetColor(0xFFFFFF);
    s.Reg.GetScreen(0)->MarkAllDirty();
    s.frame();
    EXPECT_EQ(s.pixel(39, 29), s.rgb(0x0000FF));
}

} // namespace
} // namespace zuno
