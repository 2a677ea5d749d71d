// Ripple: a circular wave front spreads from the centre. Outside the front
// the old picture shows, behind it the new one; within the wave (L pixels
// wide) the new picture is sampled further out along each pixel's direction
// from the centre by a saw-tooth profile of height p0.
#pragma once

#include <vector>

#include "imaging/TCustomWipe.h"

namespace zuno {

class TWipeRipple : public TCustomWipe {
public:
    TWipeRipple(TCustomDIBX& target, TCustomDIBX& from, TCustomDIBX& to);

    void                SetParam(int index, int32_t value) override;   // p0 rebuilds the profile

protected:
    void                DrawFrame() override;

private:
    struct TPolar {
        int32_t         Distance;               // nint of the distance to the centre
        int32_t         Cos, Sin;               // the direction, 16.16
    };
    void                buildProfile();

    int32_t             FQuadW = 0, FQuadH = 0; // one quadrant, mirrored into the other three
    std::vector<TPolar> FPolar;
    int32_t             FWaveLength = 0;        // L
    std::vector<int32_t> FProfile;
};

} // namespace zuno
