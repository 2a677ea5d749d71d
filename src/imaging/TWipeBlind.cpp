#include "imaging/TWipeBlind.h"

#include "imaging/WipeRows.h"

namespace zuno {

using namespace wipe;

namespace {

// The value of position i (a column or a row) inside its slat.
int32_t slatValue(int64_t level, int64_t i, int64_t p0, int64_t p1, bool reverse) {
    const int64_t e = reverse ? 2 * (p0 - 1 - i % p0) : 2 * (i % p0);
    return ramp(level - e, p1);
}

int64_t blindLevel(int64_t p0, int64_t p1, int64_t t, int64_t T) { return mulDiv(p1 + 2 * p0 - 2, t, T); }

} // namespace

bool TWipeBlindH::UpdateMask() {
    const int64_t p0 = FParams[0], p1 = FParams[1];
    Hard = p1 < 2;
    if (!levelChanged(blindLevel(p0, p1, t(), T())))
        return false;
    uint8_t* m = maskRow(0);
    for (int32_t x = 0; x < W(); ++x)
        m[x] = uint8_t(slatValue(LastLevel, x, p0, p1, FReverse));
    return true;
}

bool TWipeBlindV::UpdateMask() {
    const int64_t p0 = FParams[0], p1 = FParams[1];
    Hard = p1 < 2;
    if (!levelChanged(blindLevel(p0, p1, t(), T())))
        return false;
    for (int32_t y = 0; y < maskRows(); ++y)
        std::memset(maskRow(y), slatValue(LastLevel, y, p0, p1, FReverse), size_t(W()));
    return true;
}

} // namespace zuno
