// Motions on controls: every kind that takes a motion file as its source
// drawn where the motion puts it, the values each track kind writes into its
// control, repeat from the loop start, the end (event or auto-scrap), and the
// motions of a button's states.
#include <gtest/gtest.h>

#include <functional>

#include "ImageTestKit.h"
#include "core/TStream.h"
#include "objects/FilmMotion.h"
#include "objects/FilmText.h"
#include "objects/TFilmManager.h"
#include "objects/TZunoBox.h"
#include "objects/TZunoButton.h"
#include "objects/TZunoLabel.h"

namespace zuno::test {
namespace {

constexpr uint32_t kNormal = 0x000010, kHover = 0x002000, kClicked = 0x404040, kMoving = 0x00C000;

class MotionTest : public ImageSceneTest {
protected:
    MotionTest() {
        installFilmMotions();
        addFile("n.drl", drelBytes({solidFrame(6, 4, kNormal)}));
        addFile("h.drl", drelBytes({solidFrame(6, 4, kHover)}));
        addFile("c.drl", drelBytes({solidFrame(6, 4, kClicked)}));
        addFile("m.drl", drelBytes({solidFrame(4, 2, kMoving)}));
    }
    ~MotionTest() override { TZunoMotion::Loader = nullptr; }

    void addFilm(const std::string& name, const std::string& text) {
        TFilmManager film;
        filmFromText(film, text);
        TKsMemoryStream s;
        film.SaveToStream(s);
        addFile(name, s.Data());
    }
    // `n` frame steps of 1/60 s (17, 17 and 16 ms in turn).
    void run(int n) {
        for (int i = 0; i < n; ++i)
            Reg.Update(FStep++ % 3 == 2 ? 16 : 17);
    }
    int countEvents(uint8_t id) {
        int n = 0;
        for (int i = 0; i < Reg.Events().Count(); ++i)
            n += Reg.Events().Items(i).Id == id ? 1 : 0;
        return n;
    }
    TZunoControl* addKind(uint8_t kind, int32_t left, int32_t top) {
        TZunoControl* c = Reg.CreateByKind(kind)->AsControl();
        c->SetParent(Reg.GetScreen(0));
        c->SetLeft(left);
        c->SetTop(top);
        c->SetPriority(6);
        return c;
    }
    int FStep = 0;
};

// Track lines moving from x 0 to x 10 in 11 frames, at priority 2.
std::string movingTrack(const std::string& kind, const std::string& extra = {}) {
    return "track " + kind + "\nlength 11\npriority 2\nstart-pos 0 7\nend-pos 10 7\n" + extra;
}

struct KindCase {
    const char* name;
    uint8_t     kind;
    std::string track;
    bool        imageTrack;         // priority as bias, picture and capture mask
};

const std::vector<KindCase>& kindCases() {
    static const std::vector<KindCase> cases = {
        {"box", LT_BOX, movingTrack("box", "start-size 3 2\nend-size 3 2\nstart-color 0x00C000\nend-color 0x00C000\n"),
         false},
        {"image surface", LT_IMAGES, movingTrack("image", "file \"m.drl\"\n"), true},
        {"button", LT_BUTTON, movingTrack("image", "file \"m.drl\"\n"), true},
        {"caption", LT_LABEL, movingTrack("label", "text \"go\"\n"), false},
        {"tile", LT_TILE, movingTrack("tile", "file \"m.drl\"\nstart-size 4 2\nend-size 4 2\n"), false},
    };
    return cases;
}

TEST_F(MotionTest, EveryKindIsDrawnWhereItsMotionPutsItAndKeepsItsOwnPosition) {
    for (const KindCase& k : kindCases()) {
        SCOPED_TRACE(k.name);
        const std::string file = std::string("k") + std::to_string(k.kind) + ".zmt";
        addFilm(file, "film motion 108\n" + k.track);
        TZunoControl* c = addKind(k.kind, 3, 20);
        c->SetProp(PR_SOURCE, TPropValue::ofStr(file));
        ASSERT_NE(c->GetMotion(), nullptr);
        run(2 + 5);                                           // the start countdown, then 5 frames
        EXPECT_EQ(c->MotionX(), 5);
        EXPECT_EQ(c->MotionY(), 7);
        EXPECT_EQ(c->Left(), 3);
        EXPECT_EQ(c->Top(), 20);
        EXPECT_EQ(c->ScreenLeft(), 5);
        EXPECT_EQ(c->ScreenTop(), 7);
        EXPECT_TRUE(c->propBool(PR_PLAYING));
        if (k.imageTrack) {
            // An image track biases the order and leaves Priority alone.
            EXPECT_EQ(c->Priority(), 6);
            EXPECT_EQ(c->PriorityBias(), 2);
            EXPECT_EQ(c->Width(), 4);
            EXPECT_TRUE(static_cast<TZunoCustomImage*>(c)->CaptureMask());
        } else {
            EXPECT_EQ(c->Priority(), 8);                      // the priority at the start plus the track's
            EXPECT_EQ(c->PriorityBias(), 0);
        }
        if (k.kind != LT_LABEL) {
            compose();
            EXPECT_EQ(pixel(5, 7), kMoving);
            EXPECT_EQ(pixel(4, 7), kBackground);
            EXPECT_EQ(pixel(3, 20), kBackground);
        }
        Reg.DeleteObject(c);
        compose();
    }
}

// What each track kind writes into the control it drives, read back through
// the control's properties at frame 5 of 11 (a linear track is half-way).
TEST_F(MotionTest, EachTrackKindWritesItsValuesIntoItsControl) {
    struct Want { int id; int32_t value; };
    struct Case {
        const char*         name;
        uint8_t             kind;
        std::string         track;
        int32_t             motionX, motionY, priority, bias;
        std::vector<Want>   ints;
        std::vector<int>    trueFlags;
    };
    const Case cases[] = {
        {"image", LT_IMAGES,
         "track image\nlength 11\npriority 3\nfile \"m.drl\"\nhotspot 1 1\nflip-h 1\nstart-pos 0 0\nend-pos 10 20\n"
         "start-zoom-x 1.0\nend-zoom-x 2.0\nstart-angle 0\nend-angle 90\nstart-alpha 0\nend-alpha 128\n"
         "clip-start-size 2 2\nclip-end-size 4 4\n",
         // zoom 256 .. 512 gives 384 and the width 4 x 384 / 256; 40.9 degrees are
         // 29/256 of a turn; alpha 255 + 5 x (128 - 255) div 10.
         5, 10, 6, 3,
         {{PR_WIDTH, 6}, {PR_HEIGHT, 2}, {PR_ZOOMX, 384}, {PR_ZOOMY, 256}, {PR_ANGLE, 29}, {PR_ALPHA, 192},
          {PR_OFFSETX, 1}, {PR_OFFSETY, 1}, {PR_CLIPLEFT, 0}, {PR_CLIPWIDTH, 3}, {PR_CLIPHEIGHT, 3}},
         {PR_FLIPH}},
        {"box", LT_BOX,
         "track box\nlength 11\npriority 2\nstart-pos 0 0\nend-pos 10 0\nstart-size 10 4\nend-size 20 4\n"
         "start-color 0x000000\nend-color 0x0000FF\nstart-border-width 2\nend-border-width 2\n"
         "start-border-color 0x00FF00\nend-border-color 0x00FF00\n",
         // right edge 9 .. 29 gives 19; red 0 .. 255 gives 127; equal ends stay.
         5, 0, 8, 0,
         {{PR_WIDTH, 15}, {PR_HEIGHT, 4}, {PR_COLOR, 0x7F}, {PR_BORDERWIDTH, 2}, {PR_BORDERCOLOR, 0x00FF00},
          {PR_ALPHA, 255}},
         {}},
        {"caption", LT_LABEL,
         "track label\nlength 11\npriority 1\ntext \"hi\"\nfont-height 24\nfont-color 0x00FF00\nh-align 1\n"
         "hotspot 2 3\nstart-pos 0 0\nend-pos 10 0\nstart-alpha 0\nend-alpha 100\n",
         5, 0, 7, 0,
         {{PR_FONTHEIGHT, 24}, {PR_FONTCOLOR, 0x00FF00}, {PR_HALIGN, 1}, {PR_OFFSETX, 2}, {PR_OFFSETY, 3},
          {PR_ALPHA, 178}},
         {}},
        {"tile", LT_TILE,
         "track tile\nlength 11\nfile \"m.drl\"\nstart-pos 0 0\nend-pos 10 0\nstart-size 4 2\nend-size 14 2\n"
         "start-scroll 0 0\nend-scroll 10 0\ndistance 1 2\n",
         // right edge 3 .. 23 gives 13, so 9 wide.
         5, 0, 6, 0,
         {{PR_WIDTH, 9}, {PR_HEIGHT, 2}, {PR_SCROLLX, 5}, {PR_DISTANCEX, 1}, {PR_DISTANCEY, 2}},
         {}},
    };
    for (const Case& t : cases) {
        SCOPED_TRACE(t.name);
        const std::string file = std::string("w") + t.name + ".zmt";
        addFilm(file, "film motion 108\n" + t.track);
        TZunoControl* c = addKind(t.kind, 30, 20);
        c->SetProp(PR_SOURCE, TPropValue::ofStr(file));
        run(2 + 5);
        EXPECT_EQ(c->MotionX(), t.motionX);
        EXPECT_EQ(c->MotionY(), t.motionY);
        EXPECT_EQ(c->Priority(), t.priority);
        EXPECT_EQ(c->PriorityBias(), t.bias);
        for (const Want& w : t.ints)
            EXPECT_EQ(c->GetProp(w.id).Int, w.value) << "property " << w.id;
        for (int id : t.trueFlags)
            EXPECT_TRUE(c->GetProp(id).Bool) << "property " << id;
        if (t.kind == LT_LABEL) {
            EXPECT_EQ(c->GetProp(PR_TEXT).Str, "hi");
        }
        Reg.DeleteObject(c);
    }
}

TEST_F(MotionTest, TheEndIsReportedOnceOrScrapsTheControl) {
    for (const KindCase& k : kindCases()) {
        // A tile has no end event nor auto-scrap; a button's normal state
        // repeats (its clicked state is tested below).
        if (k.kind == LT_TILE || k.kind == LT_BUTTON)
            continue;
        for (bool scrap : {false, true}) {
            SCOPED_TRACE(std::string(k.name) + (scrap ? " with auto-scrap" : ""));
            const std::string file = std::string("e") + std::to_string(k.kind) + ".zmt";
            addFilm(file, "film motion 108\n" + k.track);
            TZunoControl* c = addKind(k.kind, 3, 20);
            c->SetProp(PR_ONPLAYEND, TPropValue::ofStr("end.zsb"));
            c->SetProp(PR_AUTOSCRAP, TPropValue::ofBool(scrap));
            c->SetProp(PR_SOURCE, TPropValue::ofStr(file));
            run(2 + 9);
            ASSERT_TRUE(Reg.IsRegistered(c));
            EXPECT_EQ(countEvents(PR_ONPLAYEND), 0);
            run(20);
            if (scrap) {
                EXPECT_FALSE(Reg.IsRegistered(c));
                EXPECT_EQ(countEvents(PR_ONPLAYEND), 0);
                continue;
            }
            ASSERT_TRUE(Reg.IsRegistered(c));
            EXPECT_EQ(countEvents(PR_ONPLAYEND), 1);
            EXPECT_FALSE(c->propBool(PR_PLAYING));
            EXPECT_EQ(c->MotionX(), 10);                      // stays on the last frame
            // Repeat set again starts a finished motion from its beginning.
            c->SetProp(PR_REPEAT, TPropValue::ofBool(true));
            EXPECT_TRUE(c->propBool(PR_PLAYING));
            run(1);
            EXPECT_EQ(c->MotionX(), 0);
            Reg.DeleteObject(c);
            Reg.Events().Clear();
        }
    }
}

TEST_F(MotionTest, AFinishedMotionStillFollowsItsControl) {
    struct Case { bool relative; int32_t wantX; };
    for (const Case& t : {Case{true, 34}, Case{false, 4}}) {
        SCOPED_TRACE(t.relative ? "relative origin" : "absolute");
        addFilm("fin.zmt", std::string("film motion 108\nrelative-origin ") + (t.relative ? "1" : "0") +
                               "\ntrack box\nlength 5\nstart-pos 0 0\nend-pos 4 0\n");
        TZunoControl* box = addKind(LT_BOX, 10, 10);
        box->SetProp(PR_ONPLAYEND, TPropValue::ofStr("end.zsb"));
        box->SetProp(PR_SOURCE, TPropValue::ofStr("fin.zmt"));
        run(20);
        ASSERT_EQ(countEvents(PR_ONPLAYEND), 1);
        box->SetLeft(30);                                     // a script (or a property motion) moves it
        run(1);
        EXPECT_EQ(box->MotionX(), t.wantX);
        EXPECT_EQ(box->ScreenLeft(), t.wantX);
        run(5);
        EXPECT_EQ(countEvents(PR_ONPLAYEND), 1);
        Reg.DeleteObject(box);
        Reg.Events().Clear();
    }
}

TEST_F(MotionTest, RepeatResumesAtTheLoopStartAndKeepsThePriority) {
    struct Case { int32_t loopStart; int32_t lowest; };
    for (const Case& t : {Case{0, 0}, Case{4, 4}}) {
        SCOPED_TRACE(t.loopStart);
        addFilm("r.zmt", "film motion 108\nloop-start " + std::to_string(t.loopStart) + "\n" +
                             "track box\nlength 10\npriority 3\nstart-pos 0 0\nend-pos 9 0\n");
        TZunoControl* box = addKind(LT_BOX, 0, 0);
        box->SetPriority(5);
        box->SetProp(PR_ONPLAYEND, TPropValue::ofStr("end.zsb"));
        box->SetProp(PR_REPEAT, TPropValue::ofBool(true));
        box->SetProp(PR_SOURCE, TPropValue::ofStr("r.zmt"));
        run(2 + 12);                                          // past the first wrap
        int32_t lowest = 99;
        for (int i = 0; i < 40; ++i) {
            run(1);
            lowest = std::min(lowest, box->MotionX());
            ASSERT_EQ(box->Priority(), 8) << "step " << i;
        }
        EXPECT_EQ(lowest, t.lowest);
        EXPECT_TRUE(box->propBool(PR_PLAYING));
        EXPECT_EQ(countEvents(PR_ONPLAYEND), 0);
        Reg.DeleteObject(box);
    }
}

TEST_F(MotionTest, PausedControlsHoldTheirFrame) {
    addFilm("p.zmt", "film motion 108\n" + movingTrack("box"));
    struct Case { const char* name; std::function<void(TZunoControl&, bool)> pause; };
    const Case cases[] = {
        {"Paused", [](TZunoControl& c, bool v) { c.SetProp(PR_PAUSED, TPropValue::ofBool(v)); }},
        {"AniPaused", [](TZunoControl& c, bool v) { c.SetProp(PR_ANIPAUSED, TPropValue::ofBool(v)); }},
    };
    for (const Case& t : cases) {
        SCOPED_TRACE(t.name);
        TZunoControl* box = addKind(LT_BOX, 0, 0);
        box->SetProp(PR_SOURCE, TPropValue::ofStr("p.zmt"));
        run(2 + 3);
        EXPECT_EQ(box->MotionX(), 3);
        t.pause(*box, true);
        EXPECT_FALSE(box->propBool(PR_PLAYING));
        run(4);
        EXPECT_EQ(box->MotionX(), 3);
        t.pause(*box, false);
        run(2);
        EXPECT_EQ(box->MotionX(), 5);
        Reg.DeleteObject(box);
    }
}

TEST_F(MotionTest, FreeingTheMotionGivesTheControlItsPositionBack) {
    addFilm("f.zmt", "film motion 108\n" + movingTrack("image", "file \"m.drl\"\n"));
    TZunoControl* img = addKind(LT_IMAGES, 3, 20);
    img->SetProp(PR_SOURCE, TPropValue::ofStr("f.zmt"));
    run(2 + 4);
    EXPECT_EQ(img->ScreenLeft(), 4);
    img->SetProp(PR_SOURCE, TPropValue::ofStr("n.drl"));
    EXPECT_EQ(img->GetMotion(), nullptr);
    EXPECT_EQ(img->MotionX(), 0);
    EXPECT_EQ(img->PriorityBias(), 0);
    EXPECT_EQ(img->ScreenLeft(), 3);
    compose();
    EXPECT_EQ(pixel(3, 20), kNormal);
}

//==============================================================================
// Buttons
//==============================================================================

class ButtonMotionTest : public MotionTest {
protected:
    ButtonMotionTest() {
        // Relative to the button: the hover picture slides right from the
        // button's place; the clicked picture drops down in 6 frames.
        addFilm("hover.zmt", "film motion 108\nrelative-origin 1\n"
                             "track image\nlength 11\nfile \"h.drl\"\nstart-pos 0 0\nend-pos 10 0\n");
        addFilm("click.zmt", "film motion 108\nrelative-origin 1\n"
                             "track image\nlength 6\nfile \"c.drl\"\nstart-pos 0 0\nend-pos 0 5\n");
    }
    TZunoButton* addButton(const std::string& clicked = "click.zmt") {
        auto* b = static_cast<TZunoButton*>(addKind(LT_BUTTON, 10, 10));
        b->SetSource("n.drl");
        b->SetProp(PR_HOVERSOURCE, TPropValue::ofStr("hover.zmt"));
        b->SetProp(PR_CLICKEDSOURCE, TPropValue::ofStr(clicked));
        b->SetProp(PR_ONPLAYEND, TPropValue::ofStr("end.zsb"));
        return b;
    }
    void hover(int32_t x, int32_t y) {
        Reg.MouseMove(x, y);
        Reg.InputStep(16);
    }
};

TEST_F(ButtonMotionTest, HoverStateRunsItsMotionAndRestartsOnEveryEntry) {
    TZunoButton* b = addButton();
    EXPECT_EQ(b->GetMotion(), nullptr);                       // state 0 shows pictures
    EXPECT_EQ(b->propInt(PR_COUNT), 1);
    hover(12, 12);
    ASSERT_EQ(b->State(), 1);                                 // a state with only a motion is entered
    ASSERT_NE(b->GetMotion(), nullptr);
    EXPECT_EQ(b->propInt(PR_COUNT), 11);
    run(2 + 6);
    EXPECT_EQ(b->MotionX(), 16);
    EXPECT_EQ(b->ScreenLeft(), 16);
    EXPECT_EQ(b->Left(), 10);
    EXPECT_TRUE(b->propBool(PR_PLAYING));
    compose();
    EXPECT_EQ(pixel(16, 10), kHover);
    EXPECT_EQ(pixel(15, 10), kBackground);
    // The hover motion repeats (only the clicked state plays once).
    run(30);
    EXPECT_TRUE(b->propBool(PR_PLAYING));
    EXPECT_EQ(countEvents(PR_ONPLAYEND), 0);

    hover(0, 0);
    ASSERT_EQ(b->State(), 0);
    EXPECT_EQ(b->GetMotion(), nullptr);
    EXPECT_EQ(b->ScreenLeft(), 10);
    compose();
    EXPECT_EQ(pixel(10, 10), kNormal);

    hover(12, 12);
    ASSERT_EQ(b->State(), 1);
    run(1);
    EXPECT_EQ(b->MotionX(), 10);                              // back at the first frame
}

TEST_F(ButtonMotionTest, ClickedMotionPlaysOnceThenReportsOrScraps) {
    for (bool scrap : {false, true}) {
        SCOPED_TRACE(scrap ? "auto-scrap" : "end event");
        TZunoButton* b = addButton();
        b->SetProp(PR_AUTOSCRAP, TPropValue::ofBool(scrap));
        b->Click();
        ASSERT_EQ(b->State(), 3);
        ASSERT_NE(b->GetMotion(), nullptr);
        EXPECT_EQ(b->propInt(PR_COUNT), 6);
        run(2 + 3);
        EXPECT_EQ(b->MotionY(), 13);
        EXPECT_EQ(b->State(), 3);
        compose();
        EXPECT_EQ(pixel(10, 13), kClicked);
        run(10);
        if (scrap) {
            EXPECT_FALSE(Reg.IsRegistered(b));
            EXPECT_EQ(countEvents(PR_ONPLAYEND), 0);
            continue;
        }
        ASSERT_TRUE(Reg.IsRegistered(b));
        EXPECT_EQ(countEvents(PR_ONPLAYEND), 1);
        EXPECT_EQ(b->State(), 0);                             // the state asked for meanwhile
        run(20);
        EXPECT_EQ(countEvents(PR_ONPLAYEND), 1);
        // Clicked again: the clicked motion starts over.
        b->Click();
        run(1);
        EXPECT_EQ(b->MotionY(), 10);
        run(20);
        EXPECT_EQ(countEvents(PR_ONPLAYEND), 2);
        Reg.DeleteObject(b);
        Reg.Events().Clear();
    }
}

TEST_F(ButtonMotionTest, StateAskedForDuringTheClickedMotionFollowsIt) {
    TZunoButton* b = addButton();
    b->Click();
    run(3);
    b->SetState(1);                                           // the mouse came over it meanwhile
    EXPECT_EQ(b->State(), 3);
    int steps = 0;
    for (; b->State() == 3 && steps < 30; ++steps)
        run(1);
    EXPECT_EQ(steps, 5);                                      // 3 + 5 steps: 6 frames of 1/60 s
    EXPECT_EQ(b->State(), 1);
    EXPECT_EQ(countEvents(PR_ONPLAYEND), 1);
    run(1);
    EXPECT_EQ(b->MotionX(), 10);                              // the hover motion from its start
    EXPECT_EQ(b->MotionY(), 10);
}

TEST_F(ButtonMotionTest, ChangingTheShownStatesSourceFreesItsMotion) {
    TZunoButton* b = addButton();
    hover(12, 12);
    run(2 + 4);
    ASSERT_EQ(b->MotionX(), 14);
    b->SetProp(PR_HOVERSOURCE, TPropValue::ofStr("h.drl"));
    EXPECT_EQ(b->State(), 1);
    EXPECT_EQ(b->GetMotion(), nullptr);
    EXPECT_EQ(b->MotionX(), 0);
    EXPECT_EQ(b->ScreenLeft(), 10);
    compose();
    EXPECT_EQ(pixel(10, 10), kHover);
    // Replacing the normal state's source leaves the shown state's motion alone.
    b->SetProp(PR_HOVERSOURCE, TPropValue::ofStr("hover.zmt"));
    b->SetSource("hover.zmt");
    run(2 + 4);
    b->SetSource("n.drl");
    EXPECT_EQ(b->MotionX(), 14);
    EXPECT_EQ(b->ScreenLeft(), 14);
    // A source that names no readable motion leaves the state without one.
    b->SetProp(PR_CLICKEDSOURCE, TPropValue::ofStr("missing.zmt"));
    hover(0, 0);
    b->Click();
    EXPECT_EQ(b->State(), 0);
}

TEST_F(ButtonMotionTest, SaveRecordReloadsTheStateMotions) {
    TZunoButton* a = addButton();
    TKsMemoryStream s;
    a->SaveToStream(s);
    s.SetPosition(0);
    auto* b = Reg.Create<TZunoButton>();
    b->SetParent(Reg.GetScreen(0));
    b->LoadFromStream(s, 140);
    EXPECT_EQ(s.Remaining(), 0);
    EXPECT_EQ(b->propStr(PR_HOVERSOURCE), "hover.zmt");
    EXPECT_EQ(b->propStr(PR_CLICKEDSOURCE), "click.zmt");
    b->SetState(1);
    ASSERT_NE(b->GetMotion(), nullptr);
    EXPECT_EQ(b->propInt(PR_COUNT), 11);
    b->SetState(0);
    b->Click();
    ASSERT_EQ(b->State(), 3);
    EXPECT_EQ(b->propInt(PR_COUNT), 6);
}

} // namespace
} // namespace zuno::test
