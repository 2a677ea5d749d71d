// Spotlight: a glowing ring spreads from the centre. Inside the ring's
// front the old picture brightens, behind it the new picture comes back
// from white. Reversed, the ring closes in from the corners.
#pragma once

#include <vector>

#include "imaging/TCustomWipe.h"

namespace zuno {

class TWipeSpot : public TCustomWipe {
public:
    TWipeSpot(TCustomDIBX& target, TCustomDIBX& from, TCustomDIBX& to);

    void                SetReverse(bool reverse) override;   // rebuilds the distance map

protected:
    void                DrawFrame() override;

private:
    void                buildMap();

    std::vector<uint16_t> FDistance;            // per pixel: the rounded distance to the centre
    int32_t             FMaxDistance = 0;       // nint of the corner distance
};

} // namespace zuno
