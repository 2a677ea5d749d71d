// Blinds: slats of width (or height) p0 that open side by side, with a soft
// edge p1 level units wide (hard edges when p1 < 2).
#pragma once

#include "imaging/TWipeMask.h"

namespace zuno {

// Vertical slats opening sideways; one mask row serves every row.
class TWipeBlindH : public TWipeMask {
public:
    using TWipeMask::TWipeMask;

protected:
    bool                UpdateMask() override;
    int32_t             MaskHeight() override { return 1; }
};

// Horizontal slats opening downwards; the mask is one slat high.
class TWipeBlindV : public TWipeMask {
public:
    using TWipeMask::TWipeMask;

protected:
    bool                UpdateMask() override;
    int32_t             MaskHeight() override { return std::max(FParams[0], 2); }
};

} // namespace zuno
