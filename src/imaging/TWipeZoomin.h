// Zoom-in: the view closes in on the point (p0, p1) of the old picture until
// one pixel fills the screen, then opens out of the same point of the new
// picture back to the whole of it.
#pragma once

#include "imaging/TCustomWipe.h"

namespace zuno {

class TWipeZoomin : public TCustomWipe {
public:
    using TCustomWipe::TCustomWipe;

    // The source rectangle shown at progress d (0 .. 2) for a point (px, py)
    // of a w x h picture.
    static TRect        viewRect(double d, int32_t px, int32_t py, int32_t w, int32_t h);

protected:
    void                DrawFrame() override;
};

} // namespace zuno
