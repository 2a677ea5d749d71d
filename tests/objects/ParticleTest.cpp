// The particle surface: emission intervals from the delay expression or a
// cinema record, the pre-run, the four motion kinds step by step, the end
// of emission and of the emitter, restarts, caps against runaway input, the
// particle picture, and the save record.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>

#include "ImageTestKit.h"
#include "core/StreamFields.h"
#include "expr/TBuildZunoParser.h"
#include "expr/TParamCollection.h"
#include "expr/TSysFuncMan.h"
#include "objects/TZunoParticle.h"

namespace zuno {
namespace {

using namespace test;

constexpr int32_t kVersion = 138;

// An emitter on a 100 x 100 (or larger) area whose appear and delay
// expressions answer fixed values; the effect random source answers
// RandomValue (0 unless a test says otherwise).
class ParticleTest : public ImageSceneTest {
protected:
    ParticleTest() {
        Reg.EffectRandom = [this](int32_t n) { return std::min(RandomValue, n - 1); };
        TZunoParticle::Evaluator = [this](TZunoParser& e) -> std::optional<int32_t> {
            ++Evaluations;
            if (E && &e == E->Delay())
                return DelayValue;
            if (E && &e == E->AppearX())
                return AppearX;
            if (E && &e == E->AppearY())
                return AppearY;
            return std::nullopt;
        };
    }
    ~ParticleTest() override { TZunoParticle::Evaluator = nullptr; }

    TZunoParticle* addEmitter(uint8_t kind, long double p0, long double p1, long double p2, int32_t w = 100,
                              int32_t h = 100) {
        E = addControl<TZunoParticle>(Reg, Reg.GetScreen(0), 0, 0, w, h, "snow");
        for (int id : {PR_APPEARX, PR_APPEARY, PR_DELAY})
            E->AssignPropertyExpression(id, TZunoParser());
        E->SetProp(PR_PARTMOTION, TPropValue::ofInt(kind));
        E->SetParam(0, p0);
        E->SetParam(1, p1);
        E->SetParam(2, p2);
        return E;
    }
    TZunoParticleImages* only() {
        EXPECT_EQ(E->Pool().size(), 1u);
        return E->Pool().empty() ? nullptr : E->Pool()[0];
    }

    TZunoParticle*      E = nullptr;
    int32_t             RandomValue = 0;
    std::optional<int32_t> DelayValue = 100000;
    int32_t             AppearX = 50, AppearY = 10;
    int                 Evaluations = 0;
};

TEST_F(ParticleTest, DelayExpressionSetsTheInterval) {
    struct TCase {
        std::optional<int32_t> delay;
        size_t afterStart, afterOneStep;
    } cases[] = {
        {0, 1, 9},              // every 2 ms: 8 more in a 16 ms step
        {-7, 1, 9},
        {std::nullopt, 1, 2},   // no value: every 16 ms
        {5, 1, 4},              // 5 - 16 = -11: three more
        {100000, 1, 1},
    };
    for (const TCase& c : cases) {
        DelayValue = c.delay;
        addEmitter(PM_SNOW, 0.0L, 0.0L, 0.0L);
        Reg.Update(16);                                        // start: one particle at once
        EXPECT_EQ(E->Pool().size(), c.afterStart);
        Reg.Update(16);
        EXPECT_EQ(E->Pool().size(), c.afterOneStep) << (c.delay ? *c.delay : -1);
        TZunoParticleImages* p = E->Pool()[0];
        EXPECT_EQ(p->Parent(), E);
        EXPECT_EQ(p->IgnoreMouse(), IM_ALL);
        EXPECT_TRUE(p->IsSystemName());
        EXPECT_EQ(p->Name().substr(0, 6), std::string("\x01" "snow\x01"));
        Reg.DeleteObject(E);
        EXPECT_EQ(Reg.ObjectCount(), 0);                       // the particles go with their emitter
    }
}

TEST_F(ParticleTest, PreRunStartsAsIfAlreadyRunning) {
    DelayValue = std::nullopt;                                 // every 16 ms
    addEmitter(PM_SNOW, 1.0L, 0.0L, 0.0L, 100, 1000);
    E->SetProp(PR_INDEX, TPropValue::ofInt(1000));
    Reg.Update(0);
    EXPECT_EQ(E->Remainder(), 8);                              // 62 steps = 992 ms
    ASSERT_EQ(E->Pool().size(), 63u);
    // Emitted earlier within the pre-run means further ahead: one pixel a step.
    EXPECT_EQ(E->Pool()[0]->Top(), AppearY + 61);
    EXPECT_EQ(E->Pool()[1]->Top(), AppearY + 60);
    EXPECT_EQ(E->Pool().back()->Top(), AppearY);
}

TEST_F(ParticleTest, SnowFallsAndSways) {
    addEmitter(PM_SNOW, 0.0L, 10.0L, 0.0L);                    // P0 0 falls 0.1 a step
    Reg.Update(16);
    TZunoParticleImages* p = only();
    for (int i = 0; i < 9; ++i)
        Reg.Update(16);
    EXPECT_EQ(p->Top(), AppearY);
    Reg.Update(16);
    EXPECT_EQ(p->Top(), AppearY + 1);                          // the tenth step
    // Random 0: phase speed 0.02, so after ten steps sin(0.2) x 10 = 1.99.
    EXPECT_EQ(p->Left(), AppearX + 2);

    // A sway range P2 > P1 adds Random x (P2 - P1).
    RandomValue = 1 << 29;                                     // Random gives 0.5
    addEmitter(PM_SNOW, 1.0L, 10.0L, 30.0L);
    Reg.Update(16);
    EXPECT_NEAR(double(E->Pool()[0]->Sway), 10.0, 1e-9);
    EXPECT_NEAR(double(E->Pool()[0]->Omega), 0.03, 1e-9);
}

TEST_F(ParticleTest, SnowReachingTheBottomIsRemoved) {
    addEmitter(PM_SNOW, 45.0L, 0.0L, 0.0L);
    Reg.Update(16);
    TZunoParticleImages* p = only();
    Reg.Update(16);
    EXPECT_EQ(p->Top(), 55);
    Reg.Update(16);                                            // 100: at the parent's height
    EXPECT_TRUE(E->Pool().empty());
    EXPECT_EQ(Reg.ObjectCount(), 1);
}

TEST_F(ParticleTest, StarsTurnAndLeaveTheFarthestCorner) {
    // Random 0: angle 0; radius P0 + 0.1; the turn P2 becomes 0.7 x P2.
    addEmitter(PM_STAR, 10.0L, 1.0L, 0.5L);
    Reg.Update(16);
    TZunoParticleImages* p = only();
    EXPECT_EQ(p->Left(), 60);
    EXPECT_EQ(p->Top(), 10);
    EXPECT_NEAR(double(p->Limit), std::hypot(50.0, 90.0), 1e-9);   // base (50, 10): corner (0, 100)
    Reg.Update(16);
    EXPECT_EQ(p->Left(), 60);                                  // still angle 0, radius 10.1
    Reg.Update(16);
    EXPECT_EQ(p->Left(), 50 + int(std::lround(std::cos(0.35) * 10.1)));
    EXPECT_EQ(p->Top(), 10 + int(std::lround(std::sin(0.35) * 10.1)));
    for (int i = 0; i < 50; ++i)
        Reg.Update(16);
    ASSERT_EQ(E->Pool().size(), 1u);                           // P1 = 1 keeps its radius for ever

    // P1 = 2 doubles the radius every step: drawn at 10.1, 20.2, 40.4 and
    // 80.8, after which it is 161.6, past 102.9, and the particle ends.
    addEmitter(PM_STAR, 10.0L, 2.0L, 0.0L);
    Reg.Update(16);
    TZunoParticleImages* q = only();
    for (int i = 0; i < 3; ++i) {
        Reg.Update(16);
        ASSERT_EQ(E->Pool().size(), 1u) << i;
        EXPECT_FALSE(q->Finished);
    }
    EXPECT_EQ(q->Left(), 50 + 40);
    Reg.Update(16);
    Reg.Update(16);
    EXPECT_TRUE(E->Pool().empty());

    // Several steps at once use P1 to the power of the steps.
    addEmitter(PM_STAR, 10.0L, 1.5L, 0.0L, 10000, 10000);
    Reg.Update(16);
    TZunoParticleImages* r = only();
    r->StepBy(3);
    EXPECT_EQ(r->Left(), 50 + int(std::lround(10.1 * 1.5 * 1.5)));
    EXPECT_NEAR(double(r->Rho), 10.1 * 1.5 * 1.5 * 1.5, 1e-9);
}

TEST_F(ParticleTest, FluffDriftsAndRises) {
    struct TCase {
        long double p1, p2;
        int32_t left3;                                         // Left after three steps
    } cases[] = {{2.0L, 2.0L, 56}, {-2.0L, -2.0L, 44}};
    for (const TCase& c : cases) {
        addEmitter(PM_FLUFF, 0.5L, c.p1, c.p2);
        Reg.Update(16);
        TZunoParticleImages* p = only();
        p->StepBy(3);
        EXPECT_EQ(p->Left(), c.left3);
        EXPECT_EQ(p->Top(), AppearY - 4);                      // trunc(0.5 x 9)
        p->StepBy(2);                                          // 0.5 x 25 = 12.5: above 0
        EXPECT_TRUE(p->Finished);
        Reg.DeleteObject(E);
    }
    // Moving right it ends past the parent's width.
    AppearY = 10000;
    addEmitter(PM_FLUFF, 0.0L, 30.0L, 30.0L);
    Reg.Update(16);
    only()->StepBy(1);
    EXPECT_FALSE(only()->Finished);
    only()->StepBy(1);
    EXPECT_TRUE(only()->Finished);                             // 50 + 60 >= 100
}

TEST_F(ParticleTest, TwisterCirclesInDepthAndRises) {
    addEmitter(PM_TWISTER, 3.0L, 40.0L, 0.5L);                 // Random 0: sway 19, speed 0.25
    Reg.Update(16);
    TZunoParticleImages* p = only();
    EXPECT_NEAR(double(p->Sway), 19.0, 1e-9);
    p->StepBy(2);                                              // theta 0.5
    const double g = std::fabs(std::cos(0.25)) * 0.5 + 0.5;
    EXPECT_EQ(p->ZoomX(), int(std::lround(g * 256)));
    EXPECT_EQ(p->ZoomY(), p->ZoomX());
    EXPECT_EQ(p->Left(), AppearX + int(std::trunc(g * std::sin(0.5) * 19)));
    EXPECT_EQ(p->Top(), AppearY - 3);                          // once per call, whatever the steps
    EXPECT_EQ(p->Priority(), int(std::lround((g - 0.5) / 0.5 * 2000 - 1000)));
    for (int i = 0; i < 3; ++i)
        p->StepBy(1);
    EXPECT_TRUE(p->Finished);                                  // 10 - 12 < 0
}

TEST_F(ParticleTest, KindZeroAndRestarts) {
    addEmitter(PM_NONE, 1.0L, 0.0L, 0.0L);
    Reg.Update(16);
    Reg.Update(16);
    EXPECT_TRUE(E->Pool().empty());
    E->SetProp(PR_PARTMOTION, TPropValue::ofInt(PM_SNOW));
    EXPECT_EQ(E->State(), 0);
    Reg.Update(16);
    EXPECT_EQ(E->Pool().size(), 1u);
    EXPECT_EQ(E->State(), 1);
    // A new source deletes the particles and starts again.
    E->SetProp(PR_SOURCE, TPropValue::ofStr("missing.drl"));
    EXPECT_TRUE(E->Pool().empty());
    EXPECT_EQ(E->State(), 0);
    Reg.Update(16);
    EXPECT_EQ(E->Pool().size(), 1u);                          // a missing picture does no harm
    // Unknown kinds emit particles that end at their first step; the
    // particles of the old kind go on.
    E->SetProp(PR_PARTMOTION, TPropValue::ofInt(9));
    Reg.Update(16);
    EXPECT_EQ(E->Pool().size(), 2u);
    Reg.Update(16);
    ASSERT_EQ(E->Pool().size(), 1u);
    EXPECT_EQ(E->Pool()[0]->Kind, PM_SNOW);
}

TEST_F(ParticleTest, DurationEndsEmissionThenTheEmitter) {
    DelayValue = 50;
    addEmitter(PM_SNOW, 5.0L, 0.0L, 0.0L);                     // each particle lives 18 steps
    E->SetProp(PR_DURATION, TPropValue::ofInt(3000));
    int32_t t = 0;
    while (E->State() != 2 && t < 5000) {
        Reg.Update(16);
        t += 16;
    }
    EXPECT_EQ(t, 3008 + 16);                                   // the start frame counts no time
    const std::string name = E->Name();
    ASSERT_FALSE(E->Pool().empty());
    const size_t left = E->Pool().size();
    Reg.Update(16);
    EXPECT_LE(E->Pool().size(), left);                         // no new particles
    for (int i = 0; i < 40 && Reg.FindControl(name); ++i)
        Reg.Update(16);
    EXPECT_EQ(Reg.FindControl(name), nullptr);
    EXPECT_EQ(Reg.ObjectCount(), 0);
}

TEST_F(ParticleTest, CinemaRecordPlacesAndTimes) {
    addEmitter(PM_SNOW, 1.0L, 0.0L, 0.0L);
    TZunoParticleParam& r = E->ParamRecord();
    r.EmissionX = 30;
    r.EmissionY = 40;
    r.AreaWidth = 5;
    r.AreaHeight = 1;
    r.IntervalBase = 0;
    r.Spread = 1;
    RandomValue = 3;
    Reg.Update(16);                                            // x 30 + 3, interval max(2, 0 + 0)
    ASSERT_EQ(E->Pool().size(), 1u);
    EXPECT_EQ(E->Pool()[0]->Left(), 33);
    EXPECT_EQ(E->Pool()[0]->Top(), 40);
    EXPECT_EQ(E->UntilNext(), 2);
    EXPECT_EQ(Evaluations, 0);                                 // the expressions are not asked
    // Negative areas and spreads draw nothing random.
    r.AreaWidth = -5;
    r.Spread = -1;
    r.IntervalBase = 16;
    Reg.Update(16);
    EXPECT_EQ(E->Pool().back()->Left(), 30);
}

TEST_F(ParticleTest, RunawayInputIsCapped) {
    DelayValue = 0;                                            // every 2 ms
    addEmitter(PM_SNOW, 0.0L, 0.0L, 0.0L, 100, 100000);
    E->SetProp(PR_INDEX, TPropValue::ofInt(INT32_MAX));        // about 24 days of pre-run
    Reg.Update(16);
    EXPECT_LE(E->Pool().size(), size_t(TZunoParticle::kMaxParticles));
    Reg.Update(INT32_MAX);
    EXPECT_LE(E->Pool().size(), size_t(TZunoParticle::kMaxParticles));
    EXPECT_GT(E->UntilNext(), 0);
}

TEST_F(ParticleTest, ParticlesShowTheEmittersPicture) {
    AppearX = 10;
    AppearY = 10;
    addFile("flake.drl", drelBytes({solidFrame(4, 2, 0x00FFFFFF)}));
    addEmitter(PM_SNOW, 1.0L, 0.0L, 0.0L);
    E->SetProp(PR_SOURCE, TPropValue::ofStr("flake.drl"));
    E->SetProp(PR_ALPHA, TPropValue::ofInt(255));
    Reg.Update(16);
    TZunoParticleImages* p = only();
    EXPECT_EQ(p->Width(), 4);
    EXPECT_EQ(p->OffsetX(), 2);                                // centred for zoom and rotation
    EXPECT_EQ(p->OffsetY(), 1);
    compose();
    EXPECT_EQ(pixel(AppearX - 2, AppearY - 1), 0x00FFFFFFu);
    EXPECT_EQ(pixel(AppearX + 2, AppearY), kBackground);
    // The emitter's picture outlives no particle: deleting it first is safe.
    Reg.DeleteObject(E);
    compose();
}

// However little of the screen a frame repaints, every particle shows where
// its own position puts it, inside its emitter inside a parent that moves:
// the screen must equal a picture painted from the particles' rectangles.
TEST_F(ParticleTest, EachFrameShowsEveryParticleWhereItIs) {
    constexpr int32_t kW = 120, kH = 90;
    constexpr uint32_t kFlake = 0x00FFFFFF, kBox = 0x00302010;   // pixels of 0xFFFFFF, 0x102030
    Reg.SetSize(kW, kH);
    uint32_t seed = 12345;
    Reg.EffectRandom = [&seed](int32_t n) {
        seed = seed * 1103515245u + 12345u;
        return int32_t((seed >> 8) % uint32_t(std::max(n, 1)));
    };
    addFile("flake.drl", drelBytes({solidFrame(3, 2, kFlake)}));
    auto* box = addControl<TPaintedControl>(Reg, Reg.GetScreen(0), 7, 5, 100, 80, "box");
    box->SetColor(0x102030);
    struct TCase {
        uint8_t kind;
        long double p0, p1, p2;
        int32_t emissionX, emissionY, areaW, areaH;
    } cases[] = {
        {PM_SNOW, 0.7L, 5.0L, 9.0L, -5, -3, 95, 40},
        {PM_STAR, 1.0L, 1.08L, 0.2L, 40, 30, 10, 10},
        {PM_FLUFF, 0.01L, -1.0L, 2.0L, 10, 50, 80, 30},
    };
    TDIBX expected(kW, kH, 32);
    for (const TCase& c : cases) {
        addEmitter(c.kind, c.p0, c.p1, c.p2, 90, 70);
        E->SetParent(box);
        E->SetBounds(4, 3, 90, 70);
        E->SetProp(PR_SOURCE, TPropValue::ofStr("flake.drl"));
        E->SetProp(PR_ALPHA, TPropValue::ofInt(255));
        TZunoParticleParam& r = E->ParamRecord();
        r.EmissionX = c.emissionX;
        r.EmissionY = c.emissionY;
        r.AreaWidth = c.areaW;
        r.AreaHeight = c.areaH;
        r.IntervalBase = 20;
        r.Spread = 30;
        Reg.GetScreen(0)->MarkAllDirty();
        for (int frame = 0; frame < 80; ++frame) {
            if (frame % 25 == 24)
                box->SetLeft(box->Left() + 3);
            Reg.Update(16);
            compose();

            const int32_t ex = box->Left() + E->Left(), ey = box->Top() + E->Top();
            const TRect boxRect(box->Left(), box->Top(), box->Left() + 100, box->Top() + 80);
            const TRect emitterRect = intersectRect(TRect(ex, ey, ex + 90, ey + 70), boxRect);
            expected.Fill(kBackground);
            expected.FillRect(boxRect, kBox);
            for (TZunoControl* p : E->Children()) {
                const int32_t x = ex + p->Left() - p->OffsetX(), y = ey + p->Top() - p->OffsetY();
                expected.FillRect(intersectRect(TRect(x, y, x + 3, y + 2), emitterRect), kFlake);
            }
            int32_t wrong = 0;
            for (int32_t y = 0; y < kH; ++y)
                for (int32_t x = 0; x < kW; ++x)
                    wrong += pixel(x, y) != expected.GetPixel(x, y);
            ASSERT_EQ(wrong, 0) << "kind " << int(c.kind) << ", frame " << frame;
        }
        EXPECT_GT(E->Pool().size(), 2u) << int(c.kind);
        Reg.DeleteObject(E);
        compose();
    }
}

TEST_F(ParticleTest, SaveRecordKeepsSettingsNotParticles) {
    TParamCollection params;
    TSysFuncMan funcs{params};
    addEmitter(PM_FLUFF, 1.5L, -2.25L, 3.0L);
    TBuildZunoParser build;
    build.Parse("12+30");
    TKsMemoryStream code;
    build.SaveToStream(code);
    code.SetPosition(0);
    TZunoParser delay;
    delay.LoadFromStream(code);
    E->AssignPropertyExpression(PR_DELAY, delay);
    E->SetProp(PR_ALPHA, TPropValue::ofInt(128));
    E->SetProp(PR_INDEX, TPropValue::ofInt(500));
    E->SetProp(PR_DURATION, TPropValue::ofInt(7000));
    E->SetProp(PR_ONIDLE, TPropValue::ofStr("idle.zsb"));
    Reg.Update(16);

    TKsMemoryStream out;
    Reg.SaveToStream(out);
    Reg.Reset();
    E = nullptr;
    TKsMemoryStream in(out.Data());
    Reg.LoadFromStream(in, kVersion);
    auto* e = static_cast<TZunoParticle*>(Reg.FindControl("snow"));
    ASSERT_NE(e, nullptr);
    EXPECT_TRUE(e->Pool().empty());
    EXPECT_EQ(e->ChildCount(), 0);                             // particles are not saved
    EXPECT_EQ(e->State(), 0);
    EXPECT_EQ(e->MotionKind(), PM_FLUFF);
    EXPECT_EQ(e->Param(1), -2.25L);
    EXPECT_EQ(e->Param(3), 0.0L);
    EXPECT_EQ(e->Alpha(), 128);
    EXPECT_EQ(getInt(*e, PR_INDEX), 500);
    EXPECT_EQ(getInt(*e, PR_DURATION), 7000);
    EXPECT_EQ(getText(*e, PR_ONIDLE), "idle.zsb");
    EXPECT_EQ(e->AppearX(), nullptr);
    ASSERT_NE(e->Delay(), nullptr);
    e->Delay()->Execute(funcs);
    ASSERT_NE(e->Delay()->Result(), nullptr);
    EXPECT_EQ(e->Delay()->Result()->AsInteger(), 42);
}

} // namespace
} // namespace zuno
