// Map images: reading map files (and refusing what their bytes do not hold),
// region shapes, the hover picture inside the region under the mouse, the
// choice by mouse and keys, closing after a choice or a scrap, and the save
// record.
#include <gtest/gtest.h>

#include "ImageTestKit.h"
#include "core/StreamFields.h"
#include "core/TStream.h"
#include "objects/TMapRegions.h"
#include "objects/TZunoMapImage.h"

namespace zuno {
namespace {

using namespace test;

// Map file bytes built record by record.
struct TMapBytes {
    TKsMemoryStream S;
    explicit TMapBytes(int32_t count) { WriteInt(S, count); }
    TMapBytes& rect(const std::string& name, uint8_t kind, int32_t l, int32_t t, int32_t r, int32_t b) {
        WriteString(S, name);
        WriteByte(S, kind);
        for (int32_t v : {l, t, r, b})
            WriteInt(S, v);
        return *this;
    }
    TMapBytes& polygon(const std::string& name, const std::vector<TPoint>& points) {
        WriteString(S, name);
        WriteByte(S, 2);
        WriteInt(S, int32_t(points.size()));
        for (const TPoint& p : points) {
            WriteInt(S, p.X);
            WriteInt(S, p.Y);
        }
        return *this;
    }
    std::vector<uint8_t> bytes() { return S.Data(); }
};

TEST(MapRegionsTest, ReadsRecordsAndStopsWhereTheBytesEnd) {
    const std::vector<uint8_t> good =
        TMapBytes(3).rect("r", 0, 1, 2, 3, 4).rect("e", 1, 0, 0, 9, 9).polygon("p", {{0, 0}, {4, 0}, {0, 4}}).bytes();
    std::vector<uint8_t> truncated = good;
    truncated.resize(good.size() - 3);              // inside the polygon's points
    std::vector<uint8_t> bigCount = good;
    putLE32(bigCount.data(), 0x7FFFFFFF);           // claims far more records than there are
    std::vector<uint8_t> bigName = TMapBytes(1).bytes();
    for (uint8_t b : {0xFF, 0xFF, 0xFF, 0x7F})
        bigName.push_back(b);                       // a name longer than the file
    std::vector<uint8_t> bigPolygon = TMapBytes(1).bytes();
    for (uint8_t b : {0, 0, 0, 0, 2, 0xFF, 0xFF, 0xFF, 0x7F})
        bigPolygon.push_back(b);                    // empty name, polygon of 2^31 - 1 points
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"good", good, {"r", "e", "p"}},
        {"truncated", truncated, {"r", "e"}},
        {"count", bigCount, {"r", "e", "p"}},
        {"name", bigName, {}},
        {"polygon", bigPolygon, {}},
        {"empty", {}, {}},
        {"negative count", TMapBytes(-5).bytes(), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> names;
        for (const TMapRegion& r : readMapRegions(c.bytes.data(), c.bytes.size()))
            names.push_back(r.Name);
        EXPECT_EQ(names, c.names);
    }
    const std::vector<TMapRegion> regions = readMapRegions(good.data(), good.size());
    EXPECT_EQ(regions[0].Right, 3);
    EXPECT_EQ(regions[2].Points.size(), 3u);
}

TEST(MapRegionsTest, ShapesContainTheirPixels) {
    TMapRegion rect;
    rect.Left = 2, rect.Top = 2, rect.Right = 4, rect.Bottom = 3;
    TMapRegion ellipse = rect;
    ellipse.Kind = TMapRegion::rkEllipse;
    ellipse.Left = 0, ellipse.Top = 0, ellipse.Right = 9, ellipse.Bottom = 9;
    TMapRegion triangle;
    triangle.Kind = 2;
    triangle.Points = {{0, 0}, {10, 0}, {0, 10}};
    TMapRegion bowtie;                              // crossing edges: a left and a right lobe
    bowtie.Kind = 2;
    bowtie.Points = {{0, 0}, {10, 10}, {10, 0}, {0, 10}};
    TMapRegion twice;                               // a square walked twice: inside by winding, not by parity
    twice.Kind = 2;
    twice.Points = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {10, 0}, {10, 10}, {0, 10}};
    struct Case {
        const TMapRegion* region;
        int32_t x, y;
        bool in;
    };
    const Case cases[] = {
        {&rect, 2, 2, true},    {&rect, 4, 3, true},     {&rect, 5, 3, false},   {&rect, 4, 4, false},
        {&ellipse, 5, 5, true}, {&ellipse, 0, 0, false}, {&ellipse, 0, 5, true}, {&ellipse, 9, 9, false},
        {&triangle, 1, 1, true}, {&triangle, 8, 8, false}, {&triangle, -1, 1, false},
        {&bowtie, 1, 5, true},  {&bowtie, 8, 5, true},   {&bowtie, 5, 1, false}, {&bowtie, 5, 8, false},
        {&twice, 5, 5, true},   {&twice, 11, 5, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.region->Contains(c.x, c.y), c.in) << c.x << "," << c.y;
    EXPECT_EQ(rect.Bounds(), TRect(2, 2, 5, 4));
}

constexpr uint32_t kBase = 0x0000C0, kLit = 0x00C000;

class MapImageTest : public ImageSceneTest {
protected:
    MapImageTest() {
        addFile("base.drl", drelBytes({solidFrame(20, 10, kBase)}));
        addFile("lit.drl", drelBytes({solidFrame(20, 10, kLit)}));
        // Two halves, and a region over both that comes later in the file.
        addFile("halves.map",
                TMapBytes(3).rect("left", 0, 0, 0, 9, 9).rect("right", 0, 10, 0, 19, 9).rect("all", 0, 0, 0, 19, 9).bytes());
        Reg.OnChoice = [this](const std::string& text, int32_t index) {
            SelStr = text;
            SelIndex = index;
        };
    }
    TZunoMapImage* addMap() {
        TZunoMapImage* m = Reg.Create<TZunoMapImage>();
        m->SetName("map");
        m->SetParent(Reg.GetScreen(0));
        m->SetLeft(5);
        m->SetTop(5);
        m->SetProp(PR_ALPHA, TPropValue::ofInt(255));
        m->SetProp(PR_SOURCE, TPropValue::ofStr("base.drl"));
        m->SetProp(PR_HOVERSOURCE, TPropValue::ofStr("lit.drl"));
        m->SetProp(PR_MAPSOURCE, TPropValue::ofStr("halves.map"));
        for (int id : {PR_ONMAPIN, PR_ONMAPOUT, PR_ONSELECT})
            m->SetProp(id, TPropValue::ofStr("h.zsb"));
        return m;
    }
    void frame() {
        Reg.InputStep(16);
        Reg.Update(16);
    }
    std::vector<std::string> take() {
        std::vector<std::string> out;
        for (int i = 0; i < Reg.Events().Count(); ++i) {
            std::string e = std::to_string(Reg.Events().Items(i).Id);
            for (const std::string& a : Reg.Events().Items(i).Arguments)
                e += " " + a;
            out.push_back(e);
        }
        Reg.Events().Clear();
        return out;
    }
    std::string SelStr = "unset";
    int32_t SelIndex = -99;
};

using TEvents = std::vector<std::string>;

TEST_F(MapImageTest, RegionUnderTheMouseLightsUpAndIsChosen) {
    TZunoMapImage* m = addMap();
    EXPECT_EQ(m->Width(), 20);
    EXPECT_EQ(m->Regions().size(), 3u);
    compose();
    EXPECT_EQ(pixel(6, 6), kBase);
    Reg.MouseMove(5 + 12, 7);
    frame();
    EXPECT_EQ(m->Region(), 1);
    EXPECT_EQ(take(), (TEvents{"104 right 1"}));
    compose();
    EXPECT_EQ(pixel(5 + 12, 6), kLit);
    EXPECT_EQ(pixel(5 + 9, 6), kBase);
    Reg.MouseMove(5 + 2, 7);                        // overlapping regions: the first in the file
    frame();
    EXPECT_EQ(m->Region(), 0);
    EXPECT_EQ(take(), (TEvents{"105 right 1", "104 left 0"}));
    compose();
    EXPECT_EQ(pixel(5 + 12, 6), kBase);
    EXPECT_EQ(pixel(5 + 2, 6), kLit);
    Reg.MouseDown(true, false);
    frame();
    EXPECT_EQ(SelStr, "left");
    EXPECT_EQ(SelIndex, 0);
    EXPECT_EQ(take(), (TEvents{"72 left 0"}));
    Reg.MouseUp();
    Reg.MouseMove(35, 25);
    frame();
    EXPECT_EQ(m->Region(), -1);
    EXPECT_EQ(take(), (TEvents{"105 left 0"}));
}

TEST_F(MapImageTest, PressInTheStepTheMouseArrivesChoosesTheRegionUnderIt) {
    TZunoMapImage* m = addMap();
    Reg.MouseMove(5 + 12, 7);
    Reg.MouseDown(true, false);
    frame();
    EXPECT_EQ(m->Region(), 1);
    EXPECT_EQ(SelStr, "right");
    EXPECT_EQ(take(), (TEvents{"104 right 1", "72 right 1"}));
}

TEST_F(MapImageTest, KeysWalkTheRegionsAndChoose) {
    TZunoMapImage* m = addMap();
    m->SetHandleKey(true);
    Reg.SetFocus(m);
    struct Step {
        int key;
        int32_t region;
    };
    for (const Step s : {Step{37, 2}, Step{38, 1}, Step{40, 2}, Step{39, 0}, Step{38, 2}}) {
        Reg.KeyDown(s.key);
        Reg.InputStep(16);
        Reg.KeyUp(s.key);
        Reg.InputStep(16);
        EXPECT_EQ(m->Region(), s.region) << s.key;
    }
    Reg.KeyDown(13);
    Reg.InputStep(16);
    EXPECT_EQ(SelStr, "all");
    EXPECT_EQ(SelIndex, 2);
}

TEST_F(MapImageTest, ChoiceWithAutoScrapAndScrapCloseTwoFramesLater) {
    for (bool rightClick : {false, true}) {
        SCOPED_TRACE(rightClick);
        TZunoMapImage* m = addMap();
        m->SetProp(PR_AUTOSCRAP, TPropValue::ofBool(true));
        m->SetProp(PR_RCLICKSCRAP, TPropValue::ofBool(true));
        Reg.MouseMove(6, 6);
        frame();
        Reg.MouseDown(!rightClick, rightClick);
        Reg.InputStep(16);
        EXPECT_EQ(SelIndex, rightClick ? -1 : 0);
        EXPECT_EQ(m->Closing(), 100);
        Reg.MouseUp();
        Reg.Update(16);
        EXPECT_TRUE(m->EventsSuppressed());
        ASSERT_NE(Reg.FindComponent("map"), nullptr);
        Reg.Update(16);
        EXPECT_EQ(Reg.FindComponent("map"), nullptr);
        Reg.Events().Clear();
    }
}

TEST_F(MapImageTest, MissingOrBrokenMapFileLeavesNoRegions) {
    std::vector<uint8_t> broken = TMapBytes(1000000).rect("x", 0, 0, 0, 3, 3).bytes();
    broken.resize(broken.size() - 2);
    addFile("broken.map", broken);
    for (const char* file : {"none.map", "broken.map"}) {
        SCOPED_TRACE(file);
        TZunoMapImage* m = addMap();
        m->SetProp(PR_MAPSOURCE, TPropValue::ofStr(file));
        EXPECT_TRUE(m->Regions().empty());
        Reg.MouseMove(6, 6);
        frame();
        Reg.MouseDown(true, false);
        frame();
        Reg.MouseUp();
        frame();
        EXPECT_EQ(m->Region(), -1);
        EXPECT_EQ(SelIndex, -99);
        Reg.DeleteObject(m);
    }
}

TEST_F(MapImageTest, SaveRecordRoundTrip) {
    TZunoMapImage* a = addMap();
    a->SetProp(PR_BRIGHTNESS, TPropValue::ofInt(-20));
    a->SetProp(PR_AUTOSCRAP, TPropValue::ofBool(true));
    TKsMemoryStream s;
    a->SaveToStream(s);
    s.SetPosition(0);
    TZunoMapImage* b = Reg.Create<TZunoMapImage>();
    b->LoadFromStream(s, 140);
    EXPECT_EQ(s.Remaining(), 0);
    for (int id : {PR_SOURCE, PR_HOVERSOURCE, PR_MAPSOURCE, PR_ONSELECT, PR_ONMAPIN})
        EXPECT_EQ(b->propStr(id), a->propStr(id)) << id;
    for (int id : {PR_ALPHA, PR_BRIGHTNESS, PR_WIDTH, PR_HEIGHT})
        EXPECT_EQ(b->propInt(id), a->propInt(id)) << id;
    EXPECT_TRUE(b->propBool(PR_AUTOSCRAP));
    EXPECT_EQ(b->Regions().size(), 3u);
}

} // namespace
} // namespace zuno
