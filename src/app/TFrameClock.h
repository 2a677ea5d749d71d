// The frame clock: it wakes about every 15 ms, measures the time since its
// previous wake-up and decides whether a frame step runs. The game clock and
// the last frame duration it keeps are the only time the game sees.
//
// The owner's loop (window mode):
//     clock.start(platform.ticks());
//     for (int wait = 1; running; ) {
//         platform.sleep(wait);
//         TFrameTick t = clock.onWake(platform.ticks());
//         wait = t.nextWaitMs;
//         ... poll input ...; if (t.runFrame) frameStep();
//     }
// Headless, the platform's virtual clock moves by 16 ms per step, so every
// onWake runs a frame with a duration of exactly 16.
#pragma once

#include <cstdint>

namespace zuno {

struct TFrameTick {
    bool                runFrame = false;   // run one frame step now
    int32_t             nextWaitMs = 1;     // how long to sleep before the next wake-up (≥ 1)
};

class TFrameClock {
public:
    static constexpr int32_t kPeriodMs = 15;    // wanted distance between frame steps
    static constexpr int32_t kDropMs = 300;     // an interval this long or longer is dropped

    void                start(uint32_t now);                    // the first interval counts from now
    TFrameTick          onWake(uint32_t now);                   // one wake-up: accept or drop the interval
                                                                // (suspended: nothing, not even measuring)

    int32_t             gameClock() const { return FGameClock; }            // accepted milliseconds in all
    int32_t             lastFrameDuration() const { return FLastDuration; } // the most recent accepted interval
    uint32_t            lastTick() const { return FLastTick; }              // time of the most recent accepted wake-up
    void                setLastTick(uint32_t now) { FLastTick = now; }      // activation marks the time
    void                setSuspended(bool on) { FSuspended = on; }          // paused while the window is inactive
    bool                suspended() const { return FSuspended; }
    void                reset();                                            // all values back to 0

private:
    uint32_t            FPrevious = 0;
    int32_t             FGameClock = 0;
    int32_t             FLastDuration = 0;
    uint32_t            FLastTick = 0;
    bool                FSuspended = false;
};

// The measured presentation rate: after 2000 ms or more of frame callbacks it
// becomes presented frames × 2000 ÷ elapsed ms, and the count starts again.
class TRateMeter {
public:
    static constexpr int32_t kWindowMs = 2000;

    // One frame callback at time now; presentCount is the screen's count of
    // presented frames (reset here when a new rate is taken). True when rate changed.
    bool                tick(uint32_t now, int32_t& presentCount, double& rate);

private:
    bool                FStarted = false;
    uint32_t            FPrevious = 0;
    int64_t             FAccumulated = 0;
};

} // namespace zuno
