// Slider, scrollbar and gauge: the value kept in range, the thumb's place,
// stepping with the mouse, the wheel and the keys, dragging with its hold and
// release events, the gauge's bar and glide, and the save records.
#include <gtest/gtest.h>

#include <functional>

#include "ImageTestKit.h"
#include "objects/TZunoSlider.h"

namespace zuno {
namespace {

using namespace test;

class ValueControlTest : public ImageSceneTest {
protected:
    ValueControlTest() { Reg.SetSize(200, 60); }

    template <class T>
    T* add(int32_t left, int32_t top, int32_t width, int32_t height) {
        T* c = addControl<T>(Reg, Reg.GetScreen(0), left, top, width, height);
        return c;
    }
    // One input step with the mouse at (x, y) and the left button as given.
    void mouse(int32_t x, int32_t y, bool down) {
        Reg.MouseMove(x, y);
        if (down && !Reg.ActiveScreen().LHeld)
            Reg.MouseDown(true, false);
        else if (!down && Reg.ActiveScreen().LHeld)
            Reg.MouseUp();
        Reg.InputStep(16);
    }
    std::vector<std::string> firedHandlers() {
        std::vector<std::string> names;
        for (int i = 0; i < Reg.Events().Count(); ++i)
            names.push_back(Reg.Events().Items(i).Handler);
        Reg.Events().Clear();
        return names;
    }
};

TEST_F(ValueControlTest, ValueStaysInRangeAndPlacesTheThumb) {
    // A 100 x 10 slider: thumb 10 long, 90 pixels of travel for 0 .. 100.
    auto* s = add<TZunoSlider>(0, 0, 100, 10);
    struct Case { int32_t set; int32_t value; int32_t thumb; } cases[] = {
        {50, 50, 45}, {-7, 0, 0}, {1000, 100, 90}, {33, 33, 29},
    };
    for (const Case& c : cases) {
        setProp(*s, PR_VALUE, *intValue(c.set));
        EXPECT_EQ(getInt(*s, PR_VALUE), c.value) << c.set;
        EXPECT_EQ(s->ThumbPos(), c.thumb) << c.set;
    }
    // Back from a thumb position, rounded to the nearest value and kept in range.
    for (auto [pos, value] : {std::pair{45, 50}, {30, 33}, {-20, 0}, {300, 100}})
        EXPECT_EQ(s->ValueAt(pos), value) << pos;
    setProp(*s, PR_MAX, *intValue(20));
    EXPECT_EQ(getInt(*s, PR_VALUE), 20) << "a lower maximum pulls the value down";
    setProp(*s, PR_MIN, *intValue(30));
    EXPECT_EQ(getInt(*s, PR_MAX), 30);
    EXPECT_EQ(s->ThumbPos(), 0) << "an empty range puts the thumb at the start";
    // A scrollbar's buttons take the ends: 10 each, thumb travel 70.
    auto* bar = add<TZunoScrollbar>(0, 20, 100, 10);
    setProp(*bar, PR_VALUE, *intValue(100));
    EXPECT_EQ(bar->ButtonLength(), 10);
    EXPECT_EQ(bar->ThumbPos(), 80);
    setProp(*bar, PR_BARSIZE, *intValue(30));
    EXPECT_EQ(bar->ThumbPos(), 60);
}

TEST_F(ValueControlTest, MouseWheelAndKeysStep) {
    auto* s = add<TZunoSlider>(0, 0, 100, 10);
    auto* bar = add<TZunoScrollbar>(0, 12, 100, 10);
    for (TZunoSlider* c : {s, static_cast<TZunoSlider*>(bar)}) {
        setProp(*c, PR_VALUE, *intValue(50));
        setProp(*c, PR_SMALLCHANGE, *intValue(2));
        setProp(*c, PR_LARGECHANGE, *intValue(20));
        setProp(*c, PR_ONNOTIFY, *strValue("changed.zsb"));
    }
    struct Step { const char* what; TZunoSlider* c; std::function<void()> act; int32_t value; } steps[] = {
        {"track after the thumb", s, [&] { mouse(95, 5, true); mouse(95, 5, false); }, 52},
        {"track before the thumb", s, [&] { mouse(2, 5, true); mouse(2, 5, false); }, 50},
        {"scrollbar track pages", bar, [&] { mouse(90 - 3, 17, true); mouse(87, 17, false); }, 70},
        {"scrollbar decrease button", bar, [&] { mouse(3, 17, true); mouse(3, 17, false); }, 68},
        {"scrollbar increase button", bar, [&] { mouse(97, 17, true); mouse(97, 17, false); }, 70},
        {"wheel down", s, [&] { Reg.MouseMove(50, 5); Reg.Wheel(-1); Reg.InputStep(16); }, 52},
        {"wheel up", s, [&] { Reg.MouseMove(50, 5); Reg.Wheel(1); Reg.InputStep(16); }, 50},
    };
    for (auto& st : steps) {
        st.act();
        EXPECT_EQ(st.c->Value(), st.value) << st.what;
        EXPECT_EQ(firedHandlers(), std::vector<std::string>{"changed.zsb"}) << st.what;
    }
    // Keys reach the focused control.
    Reg.SetFocus(s);
    struct Key { int code; int32_t value; } keys[] = {{39, 52}, {37, 50}, {34, 70}, {33, 50}, {35, 100}, {36, 0}};
    for (const Key& k : keys) {
        Reg.KeyDown(k.code);
        Reg.InputStep(16);
        Reg.KeyUp(k.code);
        Reg.InputStep(16);
        EXPECT_EQ(s->Value(), k.value) << "key " << k.code;
    }
    // At the end of the range a step changes nothing and posts nothing.
    firedHandlers();
    Reg.KeyDown(37);
    Reg.InputStep(16);
    EXPECT_EQ(s->Value(), 0);
    EXPECT_TRUE(firedHandlers().empty());
}

TEST_F(ValueControlTest, HeldButtonRepeatsAfterADelay) {
    // Held: one step at the press, one at 400 ms, then one per 50 ms.
    auto* bar = add<TZunoScrollbar>(0, 0, 100, 10);
    mouse(97, 5, true);
    EXPECT_EQ(bar->Value(), 1);
    std::vector<int32_t> seen;
    for (int frame = 1; frame <= 30; ++frame) {
        Reg.Update(16);
        mouse(97, 5, true);
        if (frame % 5 == 0)
            seen.push_back(bar->Value());
    }
    EXPECT_EQ(seen, (std::vector<int32_t>{1, 1, 1, 1, 2, 3}));      // 400 ms after 25 frames, 450 after 29
    mouse(97, 5, false);
    Reg.Update(1000);
    Reg.InputStep(16);
    EXPECT_EQ(bar->Value(), 3) << "released: no more steps";
}

TEST_F(ValueControlTest, DraggingTheThumbHoldsMovesAndReleases) {
    auto* s = add<TZunoSlider>(10, 0, 100, 10);
    setProp(*s, PR_ONHOLD, *strValue("hold.zsb"));
    setProp(*s, PR_ONRELEASE, *strValue("release.zsb"));
    setProp(*s, PR_ONNOTIFY, *strValue("changed.zsb"));
    // The thumb is at 10 .. 20; grabbed at its middle and moved 45 right.
    mouse(15, 5, true);
    EXPECT_EQ(firedHandlers(), std::vector<std::string>{"hold.zsb"});
    mouse(60, 5, true);
    EXPECT_EQ(s->Value(), 50);
    EXPECT_EQ(firedHandlers(), std::vector<std::string>{"changed.zsb"});
    mouse(500, 40, true);                   // far outside: the end of the range
    EXPECT_EQ(s->Value(), 100);
    mouse(500, 40, false);
    EXPECT_EQ(firedHandlers(), (std::vector<std::string>{"changed.zsb", "release.zsb"}));
    // A script's value posts nothing.
    setProp(*s, PR_VALUE, *intValue(3));
    EXPECT_TRUE(firedHandlers().empty());
}

TEST_F(ValueControlTest, SliderDrawsTrackAndThumb) {
    auto* s = add<TZunoSlider>(0, 0, 40, 6);
    s->SetColor(0xC0C0C0);
    setProp(*s, PR_VALUE, *intValue(100));
    compose();
    EXPECT_EQ(pixel(36, 3), 0x00C0C0C0u) << "the thumb at the end";
    EXPECT_EQ(pixel(10, 3), 0x00606060u) << "the track in the colour darkened";
    EXPECT_EQ(pixel(10, 7), kBackground);
    // A vertical slider runs from the top.
    auto* v = add<TZunoSlider>(0, 10, 6, 20);
    setProp(*v, PR_ORIENTATION, *intValue(OT_VERTICAL));
    compose();
    EXPECT_EQ(pixel(3, 11), 0x00C0C0C0u);
    EXPECT_EQ(pixel(3, 28), 0x00606060u);
}

TEST_F(ValueControlTest, GaugeBarFollowsItsValue) {
    struct Case {
        int32_t orientation;
        bool reverse;
        int32_t value;
        TRect bar;
    } cases[] = {
        {OT_HORIZONTAL, false, 25, TRect(0, 0, 10, 4)},
        {OT_HORIZONTAL, true, 25, TRect(30, 0, 40, 4)},
        {OT_HORIZONTAL, false, 130, TRect(0, 0, 40, 4)},   // beyond Max: full
        {OT_HORIZONTAL, false, -3, TRect(0, 0, 0, 4)},
        {OT_VERTICAL, false, 50, TRect(0, 2, 40, 4)},       // fills upward
        {OT_VERTICAL, true, 50, TRect(0, 0, 40, 2)},
    };
    for (const Case& c : cases) {
        auto* g = add<TZunoGauge>(0, 0, 40, 4);
        setProp(*g, PR_ORIENTATION, *intValue(c.orientation));
        setProp(*g, PR_REVERSE, *boolValue(c.reverse));
        setProp(*g, PR_VALUE, *intValue(c.value));
        EXPECT_EQ(g->BarRect(), c.bar) << c.orientation << c.reverse << c.value;
    }
    // Drawn: the bar in the colour, the rest darkened to a quarter.
    auto* g = add<TZunoGauge>(0, 10, 40, 4);
    g->SetColor(0x00C000);
    setProp(*g, PR_VALUE, *intValue(50));
    compose();
    EXPECT_EQ(pixel(5, 11), 0x0000C000u);
    EXPECT_EQ(pixel(25, 11), 0x00003000u);
}

TEST_F(ValueControlTest, GaugeGlidesAfterItsDelay) {
    auto* g = add<TZunoGauge>(0, 0, 100, 4);
    setProp(*g, PR_DELAY, *intValue(32));
    setProp(*g, PR_DURATION, *intValue(64));
    setProp(*g, PR_VALUE, *intValue(80));
    EXPECT_TRUE(getInt(*g, PR_PLAYING));
    std::vector<double> shown;
    for (int i = 0; i < 7; ++i) {
        Reg.Update(16);
        shown.push_back(g->ShownValue());
    }
    EXPECT_EQ(shown, (std::vector<double>{0, 0, 20, 40, 60, 80, 80}));
    EXPECT_FALSE(getInt(*g, PR_PLAYING));
    EXPECT_EQ(getInt(*g, PR_VALUE), 80);
}

TEST_F(ValueControlTest, SaveRecordsRoundTrip) {
    auto* bar = add<TZunoScrollbar>(1, 2, 50, 8);
    setProp(*bar, PR_MIN, *intValue(-10));
    setProp(*bar, PR_VALUE, *intValue(7));
    setProp(*bar, PR_ORIENTATION, *intValue(OT_VERTICAL));
    setProp(*bar, PR_LARGECHANGE, *intValue(9));
    setProp(*bar, PR_ONRELEASE, *strValue("rel.zsb"));
    auto* g = add<TZunoGauge>(0, 0, 20, 4);
    setProp(*g, PR_VALUE, *intValue(42));
    setProp(*g, PR_REVERSE, *boolValue(true));
    setProp(*g, PR_DURATION, *intValue(100));
    for (TZunoControl* c : {static_cast<TZunoControl*>(bar), static_cast<TZunoControl*>(g)}) {
        TKsMemoryStream s;
        c->SaveToStream(s);
        s.SetPosition(0);
        TZunoObject* back = Reg.CreateByKind(c->GetCompoType());
        back->LoadFromStream(s, 138);
        EXPECT_EQ(s.GetPosition(), s.GetSize());
        for (int id : {PR_MIN, PR_MAX, PR_VALUE, PR_ORIENTATION, PR_LARGECHANGE, PR_REVERSE, PR_DURATION,
                       PR_SMALLCHANGE, PR_BARSIZE, PR_ALPHA})
            EXPECT_EQ(getInt(*back, id), getInt(*c, id)) << int(c->GetCompoType()) << " " << id;
        EXPECT_EQ(getText(*back, PR_ONRELEASE), getText(*c, PR_ONRELEASE));
    }
}

} // namespace
} // namespace zuno
