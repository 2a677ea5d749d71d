// Zooms about the centre, turning by p0 (1/256 turn) over the transition:
//   TWipeSmall  the old picture shrinks into the centre over the new one
//   TWipeBig    the new picture grows out of the centre over the old one
// Reversed, the turn goes the other way.
#pragma once

#include "imaging/TCustomWipe.h"

namespace zuno {

class TWipeSmall : public TCustomWipe {
public:
    using TCustomWipe::TCustomWipe;

protected:
    void                DrawFrame() override;
    // Draws `picture` at the centre with zoom z/256 and the angle.
    void                drawTurned(TCustomDIBX& picture, int64_t zoom, int64_t angle);
};

class TWipeBig : public TWipeSmall {
public:
    using TWipeSmall::TWipeSmall;

protected:
    void                DrawFrame() override;
};

} // namespace zuno
