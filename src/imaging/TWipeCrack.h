// Falling chips: the old picture breaks into square chips of p0 x p0 that,
// in a shuffled order and p1 time units apart, rise slightly and fall off
// the screen, drifting sideways, uncovering the new picture.
#pragma once

#include <vector>

#include "imaging/TCustomWipe.h"

namespace zuno {

// One chip of the old picture.
struct TWipeCrackDraw {
    int32_t             Column = 0, Row = 0;    // its place in the grid of chips
    int32_t             Speed = 0;              // sideways, -100 .. 99 (1/100 pixel per time unit)
    int64_t             Start = 0;              // when it starts moving
};

class TWipeCrack : public TCustomWipe {
public:
    using TCustomWipe::TCustomWipe;

    // p0 (at least 16) rebuilds the chips, p1 (at least 0) reschedules them.
    void                SetParam(int index, int32_t value) override;

    // Where a chip that started u time units ago has moved from its place.
    static int64_t      driftX(int64_t u, int32_t speed) { return u * speed / 100; }
    static int64_t      dropY(int64_t u) { return (5 * u * u - 1500 * u) / 1000; }
    // The smallest u whose drop passes `height`.
    static int64_t      fallTime(int32_t height);

protected:
    void                DrawFrame() override;

private:
    void                buildChips();
    void                schedule();

    std::vector<TWipeCrackDraw> FChips;         // in the order they start
    int32_t             FChipSide = 0;          // the side the chips were built for
};

} // namespace zuno
