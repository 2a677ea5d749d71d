#include "imaging/TWipeOrderMask.h"

#include "imaging/WipeRows.h"

namespace zuno {

using namespace wipe;

void TWipeOrderHMask::SetParam(int index, int32_t value) {
    TCustomWipe::SetParam(index, std::max(value, 1));
}

int64_t TWipeOrderHMask::orderLevel(int32_t count) const {
    const int64_t p0 = FParams[0], p1 = FParams[1];
    const int64_t slats = (count + p0 - 1) / p0;
    return mulDiv((slats + p0 - 2) * 16 + p1, t(), T());
}

int32_t TWipeOrderHMask::orderValue(int64_t level, int32_t i, int32_t count) const {
    const int64_t p0 = FParams[0];
    const int64_t k = FReverse ? count - 1 - i : i;
    return ramp(level - 16 * (k / p0 + k % p0), FParams[1]);
}

bool TWipeOrderHMask::UpdateMask() {
    Hard = FParams[1] < 2;
    if (!levelChanged(orderLevel(W())))
        return false;
    uint8_t* m = maskRow(0);
    for (int32_t x = 0; x < W(); ++x)
        m[x] = uint8_t(orderValue(LastLevel, x, W()));
    return true;
}

bool TWipeOrderVMask::UpdateMask() {
    Hard = FParams[1] < 2;
    if (!levelChanged(orderLevel(H())))
        return false;
    for (int32_t y = 0; y < maskRows(); ++y)
        std::memset(maskRow(y), orderValue(LastLevel, y, H()), size_t(W()));
    return true;
}

} // namespace zuno
