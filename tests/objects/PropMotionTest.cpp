// The property motion object: values along its curves, the per-frame step
// through the registry (start value read on the first update, end value on
// the last), and its save record with the re-lookup of the target after loading.
#include <gtest/gtest.h>

#include <cmath>

#include "ObjectTestKit.h"
#include "core/StreamFields.h"
#include "objects/TZunoPropMotion.h"

namespace zuno::test {
namespace {

TEST(PropMotionTest, ValuesAlongTheCurves) {
    struct Case { int32_t curve; int32_t e; int32_t d; double expected; };
    const Case cases[] = {
        {0, 0, 100, 10.0},                                  // e = 0: the start value
        {0, 50, 100, 60.0},                                 // linear
        {0, 98, 100, 108.0},
        {0, 99, 100, 110.0},                                // e >= d - 1: the end value
        {7, 25, 100, 35.0},                                 // other curves are linear
        {1, 50, 100, 110.0 - std::sin(49 * M_PI / 2 / 100) * 100},
        {1, 1, 100, 110.0 - std::sin(98 * M_PI / 2 / 100) * 100},   // starts slowly
        {2, 50, 100, 10.0 + std::sin(50 * M_PI / 2 / 100) * 100},
        {2, 16, 0, 110.0},                                  // no duration: the end at once after the start
        {0, 0, 0, 10.0},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(double(TZunoPropMotion::valueAt(c.curve, 10, 110, c.e, c.d)), c.expected, 1e-9)
            << c.curve << " " << c.e << "/" << c.d;
}

class PropMotionRun : public ::testing::Test {
protected:
    PropMotionRun() {
        Reg.SetSize(64, 48);
        Target = addControl(Reg, Reg.ActiveBase(), 0, 0, 10, 10, "t");
        Motion = static_cast<TZunoPropMotion*>(Reg.CreateByKind(LT_PROPMOTION));
        Motion->SetName("m");
        Motion->SetTargetName("t");
        Motion->SetProperty(PR_TOP);
        Motion->SetEndValue(-30);
        Motion->SetDuration(64);
    }
    bool MotionAlive() { return Reg.FindComponent("m") != nullptr; }
    TZunoBaseList Reg;
    TZunoControl* Target;
    TZunoPropMotion* Motion;
};

TEST_F(PropMotionRun, StepsUntilTheEndValueThenIsDeleted) {
    Target->SetTop(10);                                     // read as the start on the first update
    std::vector<int32_t> tops;
    for (int i = 0; i < 6 && MotionAlive(); ++i) {
        Reg.Update(16);
        tops.push_back(Target->Top());
    }
    // 10 + (-40) * e / 64 for e = 0, 16, 32, 48; e = 64 reaches d - 1: the end value.
    EXPECT_EQ(tops, (std::vector<int32_t>{10, 0, -10, -20, -30}));
    EXPECT_FALSE(MotionAlive());
}

TEST_F(PropMotionRun, PausedMotionWaits) {
    Motion->SetProp(PR_PAUSED, TPropValue::ofBool(true));
    Target->SetTop(10);
    Reg.Update(16);
    Reg.Update(16);
    EXPECT_EQ(Target->Top(), 10);
    EXPECT_EQ(Motion->Elapsed(), 0);
    Motion->SetProp(PR_PAUSED, TPropValue::ofBool(false));
    Reg.Update(16);
    Reg.Update(16);
    EXPECT_EQ(Target->Top(), 0);
}

TEST_F(PropMotionRun, SaveRecordRoundTripLooksTheTargetUpAgain) {
    Target->SetTop(10);
    Reg.Update(16);
    Reg.Update(16);                                         // start 10 read, elapsed 32
    Motion->SetCurve(2);
    Motion->SetProp(PR_PAUSED, TPropValue::ofBool(true));
    struct Case { int32_t version; bool paused; };
    for (const Case& c : {Case{130, true}, Case{125, false}}) {
        SCOPED_TRACE(c.version);
        TKsMemoryStream s;
        Motion->SaveToStream(s);
        s.SetPosition(0);
        TZunoBaseList other;
        auto* loaded = static_cast<TZunoPropMotion*>(other.CreateByKind(LT_PROPMOTION));
        if (c.version <= 125) {
            // Older records end before the paused flag.
            std::vector<uint8_t> bytes = s.Data();
            bytes.pop_back();
            TKsMemoryStream older(bytes);
            loaded->LoadFromStream(older, c.version);
            EXPECT_EQ(older.Remaining(), 0);
        } else {
            loaded->LoadFromStream(s, c.version);
            EXPECT_EQ(s.Remaining(), 0);
        }
        EXPECT_EQ(loaded->Name(), "m");
        EXPECT_EQ(loaded->TargetName(), "t");
        EXPECT_EQ(loaded->Property(), PR_TOP);
        EXPECT_EQ(double(loaded->EndValue()), -30.0);
        EXPECT_EQ(loaded->Duration(), 64);
        EXPECT_EQ(loaded->Curve(), 2);
        EXPECT_EQ(double(loaded->StartValue()), 10.0);
        EXPECT_EQ(loaded->Elapsed(), 32);
        EXPECT_EQ(loaded->propBool(PR_PAUSED), c.paused);
    }
    // A target that has gone is saved without a name.
    Reg.DeleteObject(Target);
    TKsMemoryStream s;
    Motion->SaveToStream(s);
    s.SetPosition(0);
    TZunoObject probe;
    probe.LoadFromStream(s, 130);
    EXPECT_EQ(ReadString(s), "");
}

TEST_F(PropMotionRun, LoadedMotionReadsItsStartFromTheTargetAgain) {
    Target->SetTop(10);
    Reg.Update(16);
    TKsMemoryStream s;
    Motion->SaveToStream(s);
    s.SetPosition(0);
    Reg.DeleteObject(Motion);
    auto* loaded = static_cast<TZunoPropMotion*>(Reg.CreateByKind(LT_PROPMOTION));
    loaded->LoadFromStream(s, 130);
    Target->SetTop(50);                                     // moved meanwhile: the new start
    Reg.Update(16);                                         // e = 16 of 64 towards -30
    EXPECT_EQ(Target->Top(), 30);
}

} // namespace
} // namespace zuno::test
