#include <gtest/gtest.h>

#include "app/TFrameClock.h"

namespace zuno {
namespace {

TEST(FrameClock, AcceptsShortIntervalsAndDropsStalls) {
    struct Step {
        uint32_t now;
        bool run;
        int32_t wait;
        int32_t gameClock;
        int32_t last;
    } steps[] = {
        {1015, true, 1, 15, 15},      // start at 1000
        {1019, true, 11, 19, 4},
        {1040, true, 1, 40, 21},      // late: wait at least 1
        {1339, true, 1, 339, 299},    // 299 ms still counts
        {1639, false, 1, 339, 299},   // 300 ms: dropped, no frame step
        {1640, true, 14, 340, 1},     // the next interval counts from the dropped one's end
        {1640, true, 15, 340, 0},
    };
    TFrameClock clock;
    clock.start(1000);
    for (const Step& s : steps) {
        TFrameTick t = clock.onWake(s.now);
        EXPECT_EQ(t.runFrame, s.run) << s.now;
        EXPECT_EQ(t.nextWaitMs, s.wait) << s.now;
        EXPECT_EQ(clock.gameClock(), s.gameClock) << s.now;
        EXPECT_EQ(clock.lastFrameDuration(), s.last) << s.now;
    }
    EXPECT_EQ(clock.lastTick(), 1640u);
}

TEST(FrameClock, MillisecondWrapAndBackwardClock) {
    TFrameClock clock;
    clock.start(0xFFFFFFF8u);
    TFrameTick t = clock.onWake(8);                 // 16 ms across the wrap
    EXPECT_TRUE(t.runFrame);
    EXPECT_EQ(clock.lastFrameDuration(), 16);
    EXPECT_FALSE(clock.onWake(4).runFrame);         // backwards: never a huge step forward
    EXPECT_EQ(clock.gameClock(), 16);
}

TEST(FrameClock, HeadlessStepsOfSixteen) {
    TFrameClock clock;
    uint32_t now = 0;
    clock.start(now);
    for (int i = 0; i < 600; ++i) {
        now += 16;
        ASSERT_TRUE(clock.onWake(now).runFrame);
        ASSERT_EQ(clock.lastFrameDuration(), 16);
    }
    EXPECT_EQ(clock.gameClock(), 9600);
}

TEST(RateMeter, RateOverTwoSecondWindows) {
    TRateMeter meter;
    int32_t presented = 0;
    double rate = -1;
    EXPECT_FALSE(meter.tick(5000, presented, rate));    // the first callback only starts the window
    uint32_t now = 5000;
    for (int i = 0; i < 124; ++i) {
        now += 16;
        ++presented;
        EXPECT_FALSE(meter.tick(now, presented, rate));
    }
    now += 16;                                          // 125 × 16 = 2000 ms
    ++presented;
    EXPECT_TRUE(meter.tick(now, presented, rate));
    EXPECT_DOUBLE_EQ(rate, 125.0);
    EXPECT_EQ(presented, 0);
    now += 2500;                                        // one long callback with 10 presentations
    presented = 10;
    EXPECT_TRUE(meter.tick(now, presented, rate));
    EXPECT_DOUBLE_EQ(rate, 8.0);
}

} // namespace
} // namespace zuno

namespace zuno {
namespace {

TEST(FrameClock, SuspendedClockNeitherRunsNorMeasures) {
    TFrameClock clock;
    clock.start(0);
    clock.onWake(15);
    clock.setSuspended(true);
    EXPECT_FALSE(clock.onWake(30).runFrame);
    EXPECT_FALSE(clock.onWake(200).runFrame);
    clock.setSuspended(false);
    EXPECT_TRUE(clock.onWake(215).runFrame);    // a short pause counts as one interval of 200
    EXPECT_EQ(clock.lastFrameDuration(), 200);
    clock.setSuspended(true);
    clock.onWake(400);
    clock.setSuspended(false);
    EXPECT_FALSE(clock.onWake(600).runFrame);   // a long pause is dropped
    EXPECT_EQ(clock.gameClock(), 215);
}

} // namespace
} // namespace zuno
