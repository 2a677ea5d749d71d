#include "imaging/TWipeSpot.h"

#include "imaging/WipeKernels.h"
#include "imaging/WipeRows.h"

namespace zuno {

using namespace wipe;

TWipeSpot::TWipeSpot(TCustomDIBX& target, TCustomDIBX& from, TCustomDIBX& to) : TCustomWipe(target, from, to) {
    buildMap();
}

void TWipeSpot::SetReverse(bool reverse) {
    TCustomWipe::SetReverse(reverse);
    buildMap();
}

void TWipeSpot::buildMap() {
    const double cx = W() / 2.0, cy = H() / 2.0;
    FMaxDistance = int32_t(nint(std::sqrt(cx * cx + cy * cy)));
    FDistance.assign(size_t(std::max(W(), 0)) * size_t(std::max(H(), 0)), 0);
    for (int32_t y = 0; y < H(); ++y) {
        const double dy = y + 0.5 - cy;
        uint16_t* d = FDistance.data() + size_t(y) * size_t(W());
        for (int32_t x = 0; x < W(); ++x) {
            const double dx = x + 0.5 - cx;
            const int32_t r = int32_t(nint(std::sqrt(dx * dx + dy * dy)));
            d[x] = uint16_t(FReverse ? std::max(FMaxDistance - r, 0) : r);
        }
    }
}

void TWipeSpot::DrawFrame() {
    const int64_t R = FMaxDistance + 512;
    const int32_t b = int32_t(mulDiv(t(), R, T()));
    // Per pixel at distance d, v := clamp(b - d, 0, 511): up to 255 the old
    // pixel plus grey v (v = 0: the old pixel), above it the new pixel plus
    // grey 511 - v (v = 511: the new pixel).
    TLockedSurface target(Target()), from(From()), to(To());
    if (!target.ok() || !from.ok() || !to.ok())
        return;
    for (int32_t y = 0; y < H(); ++y)
        greyStepDistance(row32(target, y), row32(from, y), row32(to, y), FDistance.data() + size_t(y) * size_t(W()),
                         W(), b);
}

} // namespace zuno
