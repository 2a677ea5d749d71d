// Geometric masks about the centre of the screen:
//   TWipeClockhand  a sector swept like a clock hand from a start angle
//   TWipeFan        a sector opening both ways from the start angle
//   TWipeWFan       two opposite sectors opening both ways
//   TWipeCircle     a circle growing from the centre (shrinking when reversed)
// The start angle is p0 degrees, clockwise from 12 o'clock. A pixel belongs
// to a shape when its centre does.
#pragma once

#include <vector>

#include "imaging/TWipeMask.h"

namespace zuno {

// The sector wipes keep the direction of every pixel from the centre, in
// 1/65536 of a turn clockwise from 12 o'clock, so a new mask is one pass of
// comparisons.
class TWipeSectorMask : public TWipeMask {
public:
    static constexpr int64_t kTurn = 65536;

    using TWipeMask::TWipeMask;

    void                Prepare() override;     // the direction map

protected:
    bool                UpdateMask() override;
    // The start angle in 1/65536 turn.
    int64_t             startAngle() const;
    // The sectors for level (a fraction of kTurn of the progress): up to two
    // (first angle, width) pairs.
    virtual int32_t     sectors(int64_t level, int64_t (&first)[2], int64_t (&width)[2]) const = 0;

private:
    std::vector<uint16_t> FDirection;
};

class TWipeClockhand : public TWipeSectorMask {
public:
    using TWipeSectorMask::TWipeSectorMask;

protected:
    int32_t             sectors(int64_t level, int64_t (&first)[2], int64_t (&width)[2]) const override;
};

class TWipeFan : public TWipeSectorMask {
public:
    using TWipeSectorMask::TWipeSectorMask;

protected:
    int32_t             sectors(int64_t level, int64_t (&first)[2], int64_t (&width)[2]) const override;
};

class TWipeWFan : public TWipeSectorMask {
public:
    using TWipeSectorMask::TWipeSectorMask;

protected:
    int32_t             sectors(int64_t level, int64_t (&first)[2], int64_t (&width)[2]) const override;
};

class TWipeCircle : public TWipeMask {
public:
    using TWipeMask::TWipeMask;

protected:
    bool                UpdateMask() override;
};

} // namespace zuno
