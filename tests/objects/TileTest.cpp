// The tile surface: its picture repeated over its own size, spaced,
// scrolled and zoomed, and its save record.
#include <gtest/gtest.h>

#include "ImageTestKit.h"

namespace zuno {
namespace {

using namespace test;

// A 2 x 2 picture: red, green on top; blue, white below.
constexpr uint32_t kRed = 0x00FF0000, kGreen = 0x0000FF00, kBlue = 0x000000FF, kWhite = 0x00FFFFFF;

class TileTest : public ImageSceneTest {
protected:
    TileTest() {
        TFramePlan f;
        f.Width = f.Height = 2;
        f.Pixels = {kRed, kGreen, kBlue, kWhite};
        addFile("quad.drl", drelBytes({f}));
    }
    TZunoTile* addTile(int32_t left, int32_t top, int32_t width, int32_t height) {
        TZunoTile* t = Reg.Create<TZunoTile>();
        t->SetParent(Reg.GetScreen(0));
        setProp(*t, PR_SOURCE, *strValue("quad.drl"));
        setProp(*t, PR_LEFT, *intValue(left));
        setProp(*t, PR_TOP, *intValue(top));
        setProp(*t, PR_WIDTH, *intValue(width));
        setProp(*t, PR_HEIGHT, *intValue(height));
        return t;
    }
    std::vector<uint32_t> row(int32_t x, int32_t y, int n) {
        std::vector<uint32_t> r;
        for (int i = 0; i < n; ++i)
            r.push_back(pixel(x + i, y));
        return r;
    }
};

TEST_F(TileTest, RepeatsOverItsOwnSize) {
    TZunoTile* t = addTile(3, 4, 5, 3);
    EXPECT_EQ(t->Width(), 5);
    EXPECT_EQ(t->Height(), 3);
    EXPECT_EQ(getInt(*t, PR_ZOOMX), 256) << "writing the size keeps the zoom";
    compose();
    EXPECT_EQ(row(2, 4, 7), (std::vector<uint32_t>{kBackground, kRed, kGreen, kRed, kGreen, kRed, kBackground}));
    EXPECT_EQ(row(3, 5, 5), (std::vector<uint32_t>{kBlue, kWhite, kBlue, kWhite, kBlue}));
    EXPECT_EQ(row(3, 6, 2), (std::vector<uint32_t>{kRed, kGreen}));
    EXPECT_EQ(pixel(3, 7), kBackground);
}

TEST_F(TileTest, SpacingScrollingAndZoom) {
    struct Case {
        const char* name;
        int id;
        int32_t value;
        std::vector<uint32_t> firstRow;
    } cases[] = {
        {"spaced", PR_DISTANCEX, 1, {kRed, kGreen, kBackground, kRed, kGreen, kBackground}},
        {"scrolled", PR_SCROLLX, 1, {kGreen, kRed, kGreen, kRed, kGreen, kRed}},
        {"zoomed", PR_ZOOMX, 512, {kRed, kRed, kGreen, kGreen, kRed, kRed}},
    };
    for (const Case& c : cases) {
        Reg.Reset();
        Reg.SetSize(kSceneW, kSceneH);
        Reg.GetScreen(0)->SetColor(0x806040);
        TZunoTile* t = addTile(0, 0, 6, 2);
        setProp(*t, c.id, *intValue(c.value));
        EXPECT_EQ(t->Width(), 6) << c.name << ": the size stays";
        compose();
        EXPECT_EQ(row(0, 0, 6), c.firstRow) << c.name;
    }
}

TEST_F(TileTest, WithoutASizeTakesThePictures) {
    TZunoTile* t = Reg.Create<TZunoTile>();
    t->SetParent(Reg.GetScreen(0));
    setProp(*t, PR_SOURCE, *strValue("quad.drl"));
    t->UpdateAutoSize();
    EXPECT_EQ(t->Width(), 2);
    EXPECT_EQ(t->Height(), 2);
    EXPECT_EQ(getInt(*t, PR_COUNT), 1);
}

// A turned tile draws what an image of its laid tiles draws when turned the
// same way about the same point; gaps between tiles stay see-through.
TEST_F(TileTest, TurnsLikeAnImageOfItsTiles) {
    constexpr uint32_t kGap = 0x00123456;
    struct Case {
        const char* name;
        int32_t width, height, distanceX, angle, offsetX, offsetY;
        std::vector<uint32_t> laid;                 // the tiles as one picture, kGap in the gaps
    };
    const Case cases[] = {
        {"quarter turn", 6, 4, 0, 64, 3, 2,
         {kRed, kGreen, kRed, kGreen, kRed, kGreen, kBlue, kWhite, kBlue, kWhite, kBlue, kWhite,
          kRed, kGreen, kRed, kGreen, kRed, kGreen, kBlue, kWhite, kBlue, kWhite, kBlue, kWhite}},
        {"spaced, an eighth", 5, 2, 1, 32, 0, 0,
         {kRed, kGreen, kGap, kRed, kGreen, kBlue, kWhite, kGap, kBlue, kWhite}},
        {"half turn, negative", 4, 2, 0, -128, 1, 1, {kRed, kGreen, kRed, kGreen, kBlue, kWhite, kBlue, kWhite}},
    };
    auto scene = [this] {
        std::vector<uint32_t> out;
        for (int32_t y = 0; y < kSceneH; ++y) {
            const std::vector<uint32_t> r = row(0, y, kSceneW);
            out.insert(out.end(), r.begin(), r.end());
        }
        return out;
    };
    // The first pixel where two scenes differ, "" when none.
    auto firstDifference = [](const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) -> std::string {
        for (size_t i = 0; i < a.size() && i < b.size(); ++i)
            if (a[i] != b[i])
                return std::to_string(i % kSceneW) + "," + std::to_string(i / kSceneW) + ": " + std::to_string(a[i]) +
                       " vs " + std::to_string(b[i]);
        return "";
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TFramePlan plan;
        plan.Width = c.width;
        plan.Height = c.height;
        plan.Pixels = c.laid;
        plan.Key = int32_t(kGap);
        const std::string laid = std::string("laid") + std::to_string(&c - cases) + ".drl";
        addFile(laid, drelBytes({plan}));

        TZunoTile* t = addTile(15, 15, c.width, c.height);
        setProp(*t, PR_DISTANCEX, *intValue(c.distanceX));
        setProp(*t, PR_OFFSETX, *intValue(c.offsetX));
        setProp(*t, PR_OFFSETY, *intValue(c.offsetY));
        Reg.GetScreen(0)->MarkAllDirty();
        compose();
        const std::vector<uint32_t> flat = scene();
        setProp(*t, PR_ANGLE, *intValue(c.angle));          // only what the turn touches is drawn again
        compose();
        const std::vector<uint32_t> turned = scene();
        EXPECT_NE(turned, flat);
        Reg.DeleteObject(t);

        TZunoImages* img = addImage(laid, 15, 15);
        setProp(*img, PR_OFFSETX, *intValue(c.offsetX));
        setProp(*img, PR_OFFSETY, *intValue(c.offsetY));
        setProp(*img, PR_ANGLE, *intValue(c.angle));
        Reg.GetScreen(0)->MarkAllDirty();
        compose();
        EXPECT_EQ(firstDifference(turned, scene()), "");
        Reg.DeleteObject(img);
    }
}

TEST_F(TileTest, SaveRecordRoundTrip) {
    TZunoTile* t = addTile(1, 2, 9, 7);
    setProp(*t, PR_SCROLLY, *intValue(3));
    setProp(*t, PR_DISTANCEX, *intValue(2));
    setProp(*t, PR_ANGLE, *intValue(40));
    TKsMemoryStream s;
    t->SaveToStream(s);
    s.SetPosition(0);
    auto* back = static_cast<TZunoTile*>(Reg.CreateByKind(LT_TILE));
    back->LoadFromStream(s, 138);
    EXPECT_EQ(s.GetPosition(), s.GetSize());
    EXPECT_EQ(getText(*back, PR_SOURCE), "quad.drl");
    for (int id : {PR_WIDTH, PR_HEIGHT, PR_SCROLLY, PR_DISTANCEX, PR_ANGLE, PR_INDEX})
        EXPECT_EQ(getInt(*back, id), getInt(*t, id)) << id;
}

} // namespace
} // namespace zuno
