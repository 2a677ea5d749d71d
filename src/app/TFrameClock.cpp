#include "app/TFrameClock.h"

#include <algorithm>

namespace zuno {

// ---------------------------------------------------------------- TFrameClock

void TFrameClock::start(uint32_t now) {
    FPrevious = now;
}

TFrameTick TFrameClock::onWake(uint32_t now) {
    TFrameTick tick;
    if (FSuspended) {
        // A stopped clock: the interval that spans the pause is measured from
        // the last wake-up before it, so a pause of 300 ms or more is dropped.
        tick.nextWaitMs = kPeriodMs;
        return tick;
    }
    // Unsigned difference: correct across the 2^32 wrap of the millisecond
    // clock; a clock that went backwards gives a huge value and is dropped.
    uint32_t d = now - FPrevious;
    FPrevious = now;
    if (d >= static_cast<uint32_t>(kDropMs))
        return tick;
    FGameClock = static_cast<int32_t>(static_cast<uint32_t>(FGameClock) + d);
    FLastDuration = static_cast<int32_t>(d);
    FLastTick = now;
    tick.runFrame = true;
    tick.nextWaitMs = std::max<int32_t>(1, kPeriodMs - static_cast<int32_t>(d));
    return tick;
}

void TFrameClock::reset() {
    *this = TFrameClock();
}

// ---------------------------------------------------------------- TRateMeter

bool TRateMeter::tick(uint32_t now, int32_t& presentCount, double& rate) {
    if (!FStarted) {
        FStarted = true;
        FPrevious = now;
        return false;
    }
    FAccumulated += static_cast<uint32_t>(now - FPrevious);
    FPrevious = now;
    if (FAccumulated < kWindowMs)
        return false;
    rate = double(presentCount) * kWindowMs / double(FAccumulated);
    FAccumulated = 0;
    presentCount = 0;
    return true;
}

} // namespace zuno
