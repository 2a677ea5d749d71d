// Twists: the rows (TWipeTwistH, top to bottom) or columns (TWipeTwistV,
// left to right) turn over like slats, one after another: a turning row is
// drawn squeezed to W * |cos angle| on black, showing the old row while its
// angle is below a quarter turn and the new row after. Reversed, the turn
// starts at the bottom (or the right).
#pragma once

#include <vector>

#include "imaging/TCustomWipe.h"

namespace zuno {

class TWipeTwistH : public TCustomWipe {
public:
    using TCustomWipe::TCustomWipe;

protected:
    void                DrawFrame() override;
    virtual bool        vertical() const { return false; }

    // The state of slat i of n: kind 0 old, 1 squeezed, 2 new; the squeezed
    // length and which picture it shows.
    struct TSlat {
        uint8_t         Kind = 0;
        int32_t         Length = 0;
        bool            ShowsNew = false;
    };
    TSlat               slat(int32_t i, int32_t n, int32_t length) const;

private:
    std::vector<TSlat>  FSlats;
};

class TWipeTwistV : public TWipeTwistH {
public:
    using TWipeTwistH::TWipeTwistH;

protected:
    bool                vertical() const override { return true; }
};

} // namespace zuno
