// The registry's screen transitions: StartTransition creates the wipe, the
// flip sets it up and moves its progress, the composition draws it.
#include <gtest/gtest.h>

#include "ObjectTestKit.h"
#include "expr/TParamCollection.h"
#include "expr/TSysFuncMan.h"
#include "imaging/TDIBX.h"

namespace zuno {
namespace {

using namespace test;

constexpr int32_t kW = 40, kH = 30;
constexpr int32_t kOld = 0x204060, kNew = 0xA08060;     // screen colours (0x00BBGGRR)

struct TTwoScreens {
    TZunoBaseList       Reg;
    TDIBX               Out{kW, kH, 32};
    TTwoScreens() {
        Reg.SetSize(kW, kH);
        Reg.SetOutputSurface(&Out);
        Reg.GetScreen(0)->SetColor(kOld);
        Reg.GetScreen(1)->SetColor(kNew);
        frame();
    }
    uint32_t            rgb(int32_t bgr) { return Out.ColorToPixel(bgr); }
    uint32_t            pixel(int32_t x, int32_t y) { return Out.GetPixel(x, y); }
    void                frame() {
        Reg.Draw();
        Reg.ClearDirty();
    }
    // Every output pixel equals expected(x, y).
    template <class F>
    ::testing::AssertionResult shows(F expected) {
        for (int32_t y = 0; y < kH; ++y)
            for (int32_t x = 0; x < kW; ++x)
                if (pixel(x, y) != expected(x, y))
                    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << std::hex
                                                         << pixel(x, y) << ", expected " << expected(x, y);
        return ::testing::AssertionSuccess();
    }
    ::testing::AssertionResult showsAll(uint32_t v) { return shows([v](int32_t, int32_t) { return v; }); }
};

uint32_t plusGrey(uint32_t p, uint32_t k) {
    uint32_t r = 0;
    for (int s = 0; s < 24; s += 8)
        r |= std::min<uint32_t>(((p >> s) & 255) + k, 255) << s;
    return r;
}

TEST(TransitionTest, FlipSequencePlaysTheWipeBetweenTheScreens) {
    TTwoScreens s;
    ASSERT_TRUE(s.showsAll(s.rgb(kOld)));
    // The flip: StartTransition (active index, kind, parameter, force 1, progress 0, duration).
    TCustomWipe* w = s.Reg.StartTransition(0, WP_WHITE, 0, true, 0, 1000);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(s.Reg.Transition(), w);
    EXPECT_TRUE(s.Reg.TransitionRunning());
    EXPECT_EQ(s.Reg.TransitionKind(), WP_WHITE);
    EXPECT_EQ(s.Reg.TransitionDuration(), 1000);
    EXPECT_EQ(w->Elapsed, 0);
    EXPECT_FALSE(w->Reverse());
    w->Prepare();
    s.Reg.Draw();
    EXPECT_EQ(s.Reg.PresentRects(), std::vector<TRect>{TRect(0, 0, kW, kH)});
    s.Reg.ClearDirty();
    EXPECT_TRUE(s.showsAll(s.rgb(kOld)));
    // Each frame the flip hands on the time since its start.
    struct TCase {
        int32_t progress;
        uint32_t expected;
    } cases[] = {
        {200, plusGrey(s.rgb(kOld), 200 * 511 / 1000)},
        {500, 0xFFFFFF},                                   // white at half time
        {750, plusGrey(s.rgb(kNew), 511 - 750 * 511 / 1000)},
        {999, plusGrey(s.rgb(kNew), 511 - 999 * 511 / 1000)},
    };
    for (const TCase& c : cases) {
        s.Reg.SetTransitionProgress(c.progress);
        EXPECT_EQ(w->Elapsed, c.progress);
        s.frame();
        EXPECT_TRUE(s.showsAll(c.expected)) << c.progress;
    }
    // Time up: the flip ends the transition and the other screen shows.
    EXPECT_EQ(s.Reg.StartTransition(1, 0, 0, true, 0, 0), nullptr);
    EXPECT_FALSE(s.Reg.TransitionRunning());
    EXPECT_EQ(s.Reg.TransitionKind(), 0);
    EXPECT_EQ(s.Reg.TransitionDuration(), 0);
    EXPECT_EQ(s.Reg.ActiveIndex(), 1);
    s.Reg.Draw();
    EXPECT_EQ(s.Reg.PresentRects(), std::vector<TRect>{TRect(0, 0, kW, kH)});
    s.Reg.ClearDirty();
    EXPECT_TRUE(s.showsAll(s.rgb(kNew)));
}

TEST(TransitionTest, ParametersSetAfterStartShapeTheWipe) {
    TTwoScreens s;
    TCustomWipe* w = s.Reg.StartTransition(0, WP_BLINDH, 1, true, 0, 1000);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->Reverse());                             // the transition parameter
    w->SetParam(0, 10);
    w->SetParam(1, 1);
    w->Prepare();
    s.Reg.SetTransitionProgress(500);
    s.frame();
    // level = (1 + 20 - 2) * 500 / 1000 = 9; reversed, column x opens when
    // 2 * (9 - x mod 10) < 9.
    EXPECT_TRUE(s.shows([&](int32_t x, int32_t) { return 2 * (9 - x % 10) < 9 ? s.rgb(kNew) : s.rgb(kOld); }));
}

TEST(TransitionTest, ScreensKeepDrawingUnderTheTransition) {
    TTwoScreens s;
    TZunoControl* box = addControl(s.Reg, s.Reg.GetScreen(1), 5, 5, 10, 10);
    box->SetColor(0x0000FF);
    TCustomWipe* w = s.Reg.StartTransition(0, WP_WHITE, 0, true, 0, 1000);
    w->Prepare();
    s.Reg.SetTransitionProgress(800);                      // a = 408: new picture plus grey 103
    s.frame();
    EXPECT_EQ(s.pixel(7, 7), plusGrey(s.rgb(0x0000FF), 103));
    box->SetColor(0x00FF00);
    s.frame();
    EXPECT_EQ(s.pixel(7, 7), plusGrey(s.rgb(0x00FF00), 103));
    EXPECT_EQ(s.pixel(30, 20), plusGrey(s.rgb(kNew), 103));
}

TEST(TransitionTest, FlipsWithoutAWipeHoldTheOldPictureThenComplete) {
    struct TCase {
        int32_t kind, duration;
        bool wipe;
    } cases[] = {{0, 1000, false}, {39, 1000, false}, {200, 64, false}, {-3, 1000, false}, {WP_FADE, 0, true},
                 {WP_SPOT, -20, true}};
    for (const TCase& c : cases) {
        TTwoScreens s;
        TCustomWipe* w = s.Reg.StartTransition(0, c.kind, 0, true, 0, c.duration);
        EXPECT_EQ(w != nullptr, c.wipe) << c.kind;
        EXPECT_FALSE(s.Reg.TransitionRunning() && !c.wipe);
        // The flip waits the duration (none when it is 0 or less) ...
        EXPECT_EQ(s.Reg.TransitionDuration(), c.duration) << c.kind;
        s.Reg.SetTransitionProgress(c.duration / 2);
        EXPECT_EQ(s.Reg.TransitionProgress(), c.duration / 2);
        s.frame();
        EXPECT_TRUE(s.showsAll(s.rgb(kOld))) << c.kind;    // ... showing the old picture
        s.Reg.StartTransition(1, 0, 0, true, 0, 0);
        s.frame();
        EXPECT_TRUE(s.showsAll(s.rgb(kNew))) << c.kind;
    }
}

TEST(TransitionTest, CallsWithoutForceOnlyMoveTheProgress) {
    TTwoScreens s;
    TCustomWipe* w = s.Reg.StartTransition(0, WP_FADE, 0, true, 0, 100);
    // A film's track hands on its frame offset without force: the same wipe.
    EXPECT_EQ(s.Reg.StartTransition(0, WP_FADE, 1, false, 40, 100), w);
    EXPECT_EQ(w->Elapsed, 40);
    EXPECT_FALSE(w->Reverse());
    // Kind 0 ends it.
    EXPECT_EQ(s.Reg.StartTransition(1, 0, 0, false, 0, 0), nullptr);
    EXPECT_FALSE(s.Reg.TransitionRunning());
    s.frame();
    EXPECT_TRUE(s.showsAll(s.rgb(kNew)));
}

TEST(TransitionTest, SizeSurfaceAndResetChangesEndTheTransition) {
    struct TCase {
        const char* name;
        std::function<void(TTwoScreens&)> change;
    } cases[] = {
        {"resize", [](TTwoScreens& s) { s.Reg.SetSize(kW / 2, kH); }},
        {"release", [](TTwoScreens& s) { s.Reg.ReleaseSurfaces(); }},
        {"reset", [](TTwoScreens& s) { s.Reg.Reset(); }},
        {"new output", [](TTwoScreens& s) { s.Reg.SetOutputSurface(nullptr); }},
    };
    for (const TCase& c : cases) {
        TTwoScreens s;
        s.Reg.StartTransition(0, WP_RIPPLE, 0, true, 0, 1000);
        c.change(s);
        EXPECT_FALSE(s.Reg.TransitionRunning()) << c.name;
        s.frame();                                         // draws safely
    }
    // The same size again keeps it.
    TTwoScreens s;
    s.Reg.StartTransition(0, WP_RIPPLE, 0, true, 0, 1000);
    s.Reg.SetSize(kW, kH);
    EXPECT_TRUE(s.Reg.TransitionRunning());
}

TEST(TransitionTest, RandomWipesRepeatWithTheSeed) {
    // The registry's wipes draw from the run's generator: the same seed gives
    // the same picture, another seed another one.
    auto picture = [](uint32_t seed) {
        TParamCollection params;
        TSysFuncMan funcs(params);
        funcs.SetRandomSeed(seed);
        auto s = std::make_unique<TTwoScreens>();
        s->Reg.WipeServices.Random = [&funcs](int32_t n) { return funcs.Random(n); };
        TCustomWipe* w = s->Reg.StartTransition(0, WP_BLOCKRANDOM, 0, true, 0, 1000);
        w->SetParam(0, 10);
        w->Prepare();
        s->Reg.SetTransitionProgress(400);
        s->frame();
        std::vector<uint32_t> out;
        for (int32_t y = 0; y < kH; y += 10)
            for (int32_t x = 0; x < kW; x += 10)
                out.push_back(s->pixel(x, y));
        return out;
    };
    EXPECT_EQ(picture(7), picture(7));
    EXPECT_NE(picture(7), picture(8));
}

} // namespace
} // namespace zuno
