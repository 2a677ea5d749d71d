// Image controls beyond their pixels: frame animation timing, the loop wait,
// the end of play, size rules, hit testing with masks and rotation, save
// records, and hostile sizes and files.
#include <gtest/gtest.h>

#include "ImageTestKit.h"
#include "core/StreamFields.h"
#include "expr/TBuildZunoParser.h"
#include "expr/TParamCollection.h"
#include "expr/TSysFuncMan.h"
#include "objects/TZunoBox.h"

namespace zuno {
namespace {

using namespace test;

// Frames of one colour each, the colour telling the frame apart.
std::vector<uint8_t> animation(const std::vector<int32_t>& delays) {
    std::vector<TFramePlan> frames;
    for (size_t i = 0; i < delays.size(); ++i)
        frames.push_back(solidFrame(2, 2, uint32_t(0x101010 * (i + 1)), delays[i]));
    return drelBytes(frames);
}

class ImageBehaviourTest : public ImageSceneTest {};

//==============================================================================
// Animation
//==============================================================================

TEST_F(ImageBehaviourTest, FramesStepByTheirDelays) {
    // Updates of 30 ms. Three frames carry a late frame's surplus into the
    // next one; two frames start each frame's time afresh.
    struct TCase {
        std::vector<int32_t> delays;
        std::vector<int32_t> indexAfterEachUpdate;
    } cases[] = {
        {{100, 50, 70}, {0, 0, 0, 1, 2, 2, 2, 0, 0}},
        {{100, 50}, {0, 0, 0, 1, 1, 0, 0, 0, 0}},
        {{10, 10, 10, 10}, {3, 0, 3, 0}},                      // several frames in one update
    };
    int n = 0;
    for (const TCase& c : cases) {
        const std::string name = "anim" + std::to_string(n++) + ".drl";
        addFile(name, animation(c.delays));
        TZunoImages* img = addImage(name, 1, 1);
        img->SetRepeat(true);
        ASSERT_EQ(img->GetIndex(), 0);
        std::vector<int32_t> seen;
        for (size_t i = 0; i < c.indexAfterEachUpdate.size(); ++i) {
            Reg.Update(30);
            seen.push_back(img->GetIndex());
        }
        EXPECT_EQ(seen, c.indexAfterEachUpdate) << name;
        Reg.DeleteObject(img);
    }
}

TEST_F(ImageBehaviourTest, OneUpdateWalksTheListAtMostOnce) {
    // A jump of the clock does not spin: the wrap to frame 0 ends the update.
    addFile("quick.drl", animation({1, 1, 1}));
    TZunoImages* img = addImage("quick.drl", 1, 1);
    img->SetRepeat(true);
    Reg.Update(1000000000);
    EXPECT_EQ(img->GetIndex(), 0);
    EXPECT_EQ(img->TimeLeft(), 1);
}

TEST_F(ImageBehaviourTest, PlayEndPostsEachFrameOrDeletes) {
    addFile("short.drl", animation({20, 20}));
    TZunoImages* img = addImage("short.drl", 1, 1, "img");
    img->SetProp(PR_ONPLAYEND, TPropValue::ofStr("end.zsb"));
    EXPECT_TRUE(img->IsPlaying());
    Reg.Update(30);
    EXPECT_EQ(img->GetIndex(), 1);
    EXPECT_EQ(Reg.Events().Count(), 0);
    for (int frame = 1; frame <= 3; ++frame) {
        Reg.Update(30);
        EXPECT_EQ(img->GetIndex(), 1);                        // stays on the last frame
        EXPECT_EQ(Reg.Events().Count(), frame);               // one event 43 per frame
    }
    EXPECT_EQ(Reg.Events().Items(0).Id, PR_ONPLAYEND);
    EXPECT_FALSE(img->IsPlaying());
    EXPECT_TRUE(getInt(*img, PR_PLAYING) == 0);

    TZunoImages* scrap = addImage("short.drl", 1, 1, "scrap");
    scrap->SetProp(PR_AUTOSCRAP, TPropValue::ofBool(true));
    Reg.Update(30);
    ASSERT_EQ(Reg.FindControl("scrap"), scrap);
    Reg.Update(30);
    EXPECT_EQ(Reg.FindControl("scrap"), nullptr);             // deleted in the same update
}

TEST_F(ImageBehaviourTest, LoopWaitIsEvaluatedAtTheLastFrame) {
    TParamCollection params;
    TSysFuncMan funcs{params};
    params.CreateVariable("w", PT_INT, vsGlobal)->Value()->SetInteger(45);
    int evaluations = 0;
    TZunoCustomImages::LoopWaitEvaluator = [&](TZunoParser& p) {
        ++evaluations;
        p.Execute(funcs);
        return p.Result() ? p.Result()->AsInteger() : 0;
    };
    addFile("loop.drl", animation({30, 30, 30}));
    TZunoImages* img = addImage("loop.drl", 1, 1);
    TBuildZunoParser build;
    build.Parse("w");
    TKsMemoryStream code;
    build.SaveToStream(code);
    code.SetPosition(0);
    img->LoopWait().LoadFromStream(code);
    img->SetRepeat(true);

    Reg.Update(30);                                           // frame 1
    Reg.Update(30);                                           // frame 2: 30 + 45 ms
    EXPECT_EQ(img->GetIndex(), 2);
    EXPECT_EQ(img->TimeLeft(), 75);
    EXPECT_EQ(evaluations, 1);
    params.Find("w")->Value()->SetInteger(-100);              // evaluated anew each time
    Reg.Update(30);
    Reg.Update(30);
    EXPECT_EQ(img->GetIndex(), 2);
    Reg.Update(30);
    EXPECT_EQ(img->GetIndex(), 0);
    Reg.Update(30);                                           // frame 1
    Reg.Update(30);                                           // frame 2 gets 30 - 100 ms: over at once
    EXPECT_EQ(evaluations, 2);
    EXPECT_EQ(img->GetIndex(), 0);
}

TEST_F(ImageBehaviourTest, ImageListStepsAndWrapsAfresh) {
    addFile("list.drl", animation({30, 50, 20}));
    addFile("one.drl", animation({30}));
    TZunoImageList list;
    list.Load("list.drl");
    EXPECT_EQ(list.FrameIndex(), 0);
    EXPECT_EQ(list.TimeLeft(), 31);                           // the first delay + 1
    EXPECT_TRUE(list.Advance(31));
    EXPECT_EQ(list.FrameIndex(), 1);
    EXPECT_EQ(list.TimeLeft(), 50);
    EXPECT_FALSE(list.Advance(10));
    EXPECT_TRUE(list.Advance(100));                           // 40 - 100 + 20 < 1: wraps, frame 0 afresh
    EXPECT_EQ(list.FrameIndex(), 0);
    EXPECT_EQ(list.TimeLeft(), 30);
    list.SetFrame(9);
    EXPECT_EQ(list.FrameIndex(), 2);
    EXPECT_EQ(list.TimeLeft(), 21);
    TZunoImageList single;
    single.Load("one.drl");
    EXPECT_FALSE(single.Advance(1000));
}

TEST_F(ImageBehaviourTest, SurfacesAreReleasedAndRestored) {
    addFile("anim.drl", animation({20, 20}));
    TZunoImages* img = addImage("anim.drl", 1, 1);
    img->SetBrightness(16);
    compose();
    EXPECT_EQ(pixel(1, 1), 0x202020u);
    img->ReleaseSurfaces();
    EXPECT_EQ(img->GetImage(), nullptr);
    Reg.GetScreen(0)->MarkAllDirty();
    compose();                                                // nothing to draw, nothing breaks
    EXPECT_EQ(pixel(1, 1), kBackground);
    img->RestoreSurfaces();
    Reg.GetScreen(0)->MarkAllDirty();
    compose();
    EXPECT_EQ(pixel(1, 1), 0x202020u);                        // the frame with its brightness again
}

TEST_F(ImageBehaviourTest, PausedHiddenOrStillFramesDoNotStep) {
    addFile("anim.drl", animation({20, 20, 20}));
    struct TCase {
        const char* what;
        void (*apply)(TZunoImages&, TZunoBaseList&);
    } cases[] = {
        {"paused", [](TZunoImages& i, TZunoBaseList&) { i.SetProp(PR_PAUSED, TPropValue::ofBool(true)); }},
        {"ani paused", [](TZunoImages& i, TZunoBaseList&) { i.SetProp(PR_ANIPAUSED, TPropValue::ofBool(true)); }},
        {"hidden", [](TZunoImages& i, TZunoBaseList&) { i.SetVisible(false); }},
        {"other screen", [](TZunoImages& i, TZunoBaseList& r) { i.SetParent(r.GetScreen(1)); }},
    };
    for (const TCase& c : cases) {
        TZunoImages* img = addImage("anim.drl", 1, 1);
        c.apply(*img, Reg);
        Reg.Update(50);
        EXPECT_EQ(img->GetIndex(), 0) << c.what;
        Reg.DeleteObject(img);
    }
}

TEST_F(ImageBehaviourTest, IndexOutsideTheFramesShowsNothing) {
    addFile("anim.drl", animation({20, 20, 20}));
    TZunoImages* img = addImage("anim.drl", 1, 1);
    compose();
    EXPECT_EQ(pixel(1, 1), 0x101010u);
    setProp(*img, PR_INDEX, *intValue(2));
    compose();
    EXPECT_EQ(pixel(1, 1), 0x303030u);
    setProp(*img, PR_INDEX, *intValue(7));
    compose();
    EXPECT_EQ(pixel(1, 1), kBackground);
    EXPECT_EQ(getInt(*img, PR_INDEX), 7);
    EXPECT_EQ(getInt(*img, PR_COUNT), 3);
    Reg.Update(100);                                          // nothing to step
    EXPECT_EQ(img->GetIndex(), 7);

    img->SetSource("none.png");                               // not a Drel file: no frames, no size
    EXPECT_EQ(getInt(*img, PR_COUNT), 0);
    EXPECT_EQ(img->Width(), 0);
    EXPECT_EQ(img->GetIndex(), -1);
}

//==============================================================================
// Size
//==============================================================================

TEST_F(ImageBehaviourTest, SizeFollowsPictureAndZoom) {
    addFile("pic.drl", drelBytes({solidFrame(10, 6, 0x00FF00)}));
    TZunoImages* img = addImage("pic.drl", 0, 0);
    EXPECT_EQ(img->Width(), 10);
    EXPECT_EQ(getInt(*img, PR_ORIGWIDTH), 10);
    setProp(*img, PR_ZOOMX, *intValue(384));
    setProp(*img, PR_ZOOMY, *intValue(300));
    EXPECT_EQ(img->Width(), 10);                              // recomputed by the next update
    Reg.Update(0);
    EXPECT_EQ(img->Width(), 15);
    EXPECT_EQ(img->Height(), 7);                              // 6 * 300 / 256 rounds toward zero
    setProp(*img, PR_ZOOMX, *intValue(-20));
    EXPECT_EQ(getInt(*img, PR_ZOOMX), 1);

    // A width written directly sets the zoom to 0: the next recomputation gives 0.
    setProp(*img, PR_WIDTH, *intValue(50));
    EXPECT_EQ(img->Width(), 50);
    EXPECT_EQ(getInt(*img, PR_ZOOMX), 0);
    setProp(*img, PR_FLIPH, *boolValue(true));
    EXPECT_EQ(img->Width(), 0);
    EXPECT_EQ(img->Height(), 7);
}

TEST_F(ImageBehaviourTest, FrameOfAnotherSizeRepaintsBothAreas) {
    addFile("mixed.drl", drelBytes({solidFrame(4, 4, 0x111111), solidFrame(10, 2, 0x222222)}));
    TZunoImages* img = addImage("mixed.drl", 3, 3);
    compose();
    img->SetIndex(1);
    EXPECT_EQ(img->Width(), 10);
    EXPECT_EQ(img->Height(), 2);
    compose();
    EXPECT_EQ(pixel(3, 5), kBackground);                      // the old frame's area is repainted
    EXPECT_EQ(pixel(12, 4), 0x222222u);
}

TEST_F(ImageBehaviourTest, ZoomMappedChildStaysOnItsParentsPicture) {
    // Parent 10 px at zoom 384 is 15 px wide; a 3 px child at 3 on the
    // picture spans 4.5 .. 9 on the control: near edge rounded, far edge up.
    addFile("parent.drl", drelBytes({solidFrame(10, 10, 0x111111)}));
    addFile("child.drl", drelBytes({solidFrame(3, 3, 0x222222)}));
    TZunoImages* parent = addImage("parent.drl", 2, 0);
    TZunoImages* child = Reg.Create<TZunoImages>();
    child->SetParent(parent);
    child->SetSource("child.drl");
    child->SetLeft(3);
    setProp(*child, PR_POSZOOMED, *boolValue(true));
    setProp(*parent, PR_ZOOMX, *intValue(384));
    setProp(*child, PR_ZOOMX, *intValue(384));
    Reg.Update(0);
    EXPECT_EQ(parent->Width(), 15);
    EXPECT_EQ(child->ScreenLeft(), 2 + 4);
    EXPECT_EQ(child->Width(), 5);
}

//==============================================================================
// Hit testing
//==============================================================================

TEST_F(ImageBehaviourTest, MaskDecidesHitsWhenCaptureMaskIsSet) {
    TFramePlan f = solidFrame(4, 3, 0x123456);
    f.Mask = {0, 255, 1, 128, 127, 200, 64, 254, 30, 0, 255, 90};
    addFile("masked.drl", drelBytes({f}));
    TZunoImages* img = addImage("masked.drl", 20, 10);
    TZunoBase* screen = Reg.GetScreen(0);
    const TIgnoreMouseSet any = imBit(IM_NONE) | imBit(IM_CLICK) | imBit(IM_LCLICK) | imBit(IM_RCLICK);
    auto hits = [&](int32_t x, int32_t y) { return screen->HitTest(x, y, any) == img; };

    EXPECT_TRUE(hits(20, 10));                                 // mask 0, but no CaptureMask
    setProp(*img, PR_CAPTUREMASK, *boolValue(true));
    struct TCase {
        int32_t x, y;
        bool hit;
    } plain[] = {{20, 10, false}, {21, 10, true}, {23, 10, true}, {20, 11, false}, {21, 11, true},
                 {19, 10, false}, {24, 10, false}};              // 128 hits, 127 misses
    for (const TCase& c : plain)
        EXPECT_EQ(hits(c.x, c.y), c.hit) << c.x << "," << c.y;

    // Mirrored, the control lies left of its anchor and the mask runs backwards.
    setProp(*img, PR_FLIPH, *boolValue(true));
    EXPECT_EQ(img->ScreenLeft(), 17);
    EXPECT_TRUE(hits(17, 10));                                 // mask (3, 0) = 128
    EXPECT_FALSE(hits(20, 10));                                // mask (0, 0) = 0
    setProp(*img, PR_FLIPH, *boolValue(false));

    // Zoomed: u = dx * 256 / ZoomX.
    setProp(*img, PR_ZOOMX, *intValue(512));
    Reg.Update(0);
    EXPECT_FALSE(hits(20, 10));
    EXPECT_FALSE(hits(21, 10));                                // u = 0
    EXPECT_TRUE(hits(22, 10));                                 // u = 1
    EXPECT_TRUE(hits(27, 10));                                 // u = 3

    // A direct width (zoom 0) maps the mask over the control's size.
    setProp(*img, PR_WIDTH, *intValue(4));
    EXPECT_FALSE(hits(20, 10));
    EXPECT_TRUE(hits(21, 10));

    // Not accepted: the screen answers; a child is asked first.
    setProp(*img, PR_IGNOREMOUSE, *intValue(IM_ALL));
    EXPECT_EQ(screen->HitTest(21, 10, any), screen);
    auto* child = Reg.Create<TZunoBox>();
    child->SetParent(img);
    child->SetBounds(0, 0, 1, 1);
    EXPECT_EQ(screen->HitTest(20, 10, any), child);
}

TEST_F(ImageBehaviourTest, TurnedImageIsHitWhereThePointTurnsBackOntoIt) {
    addFile("pic.drl", drelBytes({solidFrame(4, 3, 0x123456)}));
    TZunoImages* img = addImage("pic.drl", 20, 10);
    setProp(*img, PR_ANGLE, *intValue(64));
    TZunoBase* screen = Reg.GetScreen(0);
    const TIgnoreMouseSet any = imBit(IM_NONE);
    struct TCase {
        int32_t x, y;
        bool hit;
    } cases[] = {
        {20, 10, true},                                         // the anchor
        {21, 10, false},                                        // turns back to (20, 9)
        {20, 12, true},                                         // turns back to (22, 10)
        {22, 11, false},                                        // turns back to (21, 8)
        {18, 11, false},                                        // drawn, but outside the unturned rectangle
    };
    for (const TCase& c : cases)
        EXPECT_EQ(screen->HitTest(c.x, c.y, any) == img, c.hit) << c.x << "," << c.y;
}

//==============================================================================
// Save records
//==============================================================================

std::vector<uint8_t> saveBytes(TZunoBaseList& reg) {
    TKsMemoryStream s;
    reg.SaveToStream(s);
    return s.Data();
}

TEST_F(ImageBehaviourTest, SaveRecordsRestoreImagesAndBoxes) {
    addFile("anim.drl", animation({40, 60, 80}));
    TZunoImages* img = addImage("anim.drl", 4, 5, "img");
    img->SetAlpha(300);
    img->SetZoomX(512);
    img->SetZoomY(128);
    img->SetAngle(3);
    img->SetFlipV(true);
    img->SetCaptureMask(true);
    img->SetBrightness(-20);
    img->SetRepeat(true);
    img->SetProp(PR_ONPLAYEND, TPropValue::ofStr("end.zsb"));
    img->SetProp(PR_ONIDLE, TPropValue::ofStr("idle.zsb"));
    TBuildZunoParser build;
    build.Parse("1+2");
    TKsMemoryStream code;
    build.SaveToStream(code);
    code.SetPosition(0);
    img->LoopWait().LoadFromStream(code);
    Reg.Update(50);                                            // frame 1 with 50 ms left
    ASSERT_EQ(img->GetIndex(), 1);
    ASSERT_EQ(img->TimeLeft(), 50);
    auto* box = Reg.Create<TZunoBox>();
    box->SetName("box");
    box->SetParent(Reg.GetScreen(0));
    box->SetBorderWidth(3);
    box->SetBorderColor(0x123456);
    box->SetAlpha(400);
    box->SetProp(PR_PAUSED, TPropValue::ofBool(true));
    box->SetProp(PR_ANIPAUSED, TPropValue::ofBool(true));

    const std::vector<uint8_t> bytes = saveBytes(Reg);
    TZunoBaseList back;
    TKsMemoryStream in(bytes);
    back.LoadFromStream(in, 138);
    EXPECT_EQ(in.GetPosition(), in.GetSize());
    EXPECT_EQ(saveBytes(back), bytes);

    auto* img2 = dynamic_cast<TZunoImages*>(back.FindControl("img"));
    ASSERT_NE(img2, nullptr);
    EXPECT_EQ(img2->GetIndex(), 1);
    EXPECT_EQ(img2->TimeLeft(), 50);
    EXPECT_EQ(img2->Count(), 3);
    EXPECT_EQ(img2->Source(), "anim.drl");
    EXPECT_EQ(img2->Alpha(), 300);
    EXPECT_EQ(img2->ZoomY(), 128);
    EXPECT_EQ(img2->Brightness(), -20);
    EXPECT_EQ(img2->GetImage()->GetPixel(0, 0), 0x0C0C0Cu);    // frame 1 (0x202020) darkened by 20
    EXPECT_EQ(img2->LoopWait().Count(), img->LoopWait().Count());
    EXPECT_EQ(getText(*img2, PR_ONIDLE), "idle.zsb");
    auto* box2 = dynamic_cast<TZunoBox*>(back.FindControl("box"));
    ASSERT_NE(box2, nullptr);
    EXPECT_EQ(box2->BorderColor(), 0x123456);
    EXPECT_TRUE(box2->AniPaused());
    back.Reset();
}

//==============================================================================
// Hostile values
//==============================================================================

TEST_F(ImageBehaviourTest, HostileSizesZoomsAndAnglesDrawSafely) {
    addFile("pic.drl", drelBytes({solidFrame(6, 5, 0x334455)}));
    struct TCase {
        int32_t zoomX, zoomY, angle, width;
    } cases[] = {
        {INT32_MAX, INT32_MAX, 0, 0},  {INT32_MAX, 1, 17, 0}, {1, INT32_MAX, 0, 0},    {256, 256, 0, -100},
        {256, 256, 0, INT32_MAX},      {256, 256, 40, INT32_MIN}, {3, 3, 200, 0},
    };
    for (const TCase& c : cases) {
        TZunoImages* img = addImage("pic.drl", 10, 10);
        img->SetOffsetX(INT32_MAX / 2);
        setProp(*img, PR_ZOOMX, *intValue(c.zoomX));
        setProp(*img, PR_ZOOMY, *intValue(c.zoomY));
        setProp(*img, PR_ANGLE, *intValue(c.angle));
        Reg.Update(16);
        if (c.width)
            setProp(*img, PR_WIDTH, *intValue(c.width));
        Reg.GetScreen(0)->MarkAllDirty();
        compose();
        Reg.GetScreen(0)->HitTest(12, 12, imBit(IM_NONE));
        for (const TRect& r : Reg.GetScreen(0)->DirtyList().Rects())
            EXPECT_FALSE(r.isEmpty());
        Reg.DeleteObject(img);
    }
    compose();
    EXPECT_EQ(pixel(0, 0), kBackground);
}

} // namespace
} // namespace zuno
