#include "imaging/TWipeSector.h"

#include <numbers>

#include "imaging/WipeKernels.h"
#include "imaging/WipeRows.h"

namespace zuno {

using namespace wipe;

void TWipeSectorMask::Prepare() {
    TWipeMask::Prepare();
    FDirection.assign(size_t(W()) * size_t(H()), 0);
    const double cx = W() / 2.0, cy = H() / 2.0;
    for (int32_t y = 0; y < H(); ++y) {
        const double dy = y + 0.5 - cy;
        uint16_t* d = FDirection.data() + size_t(y) * size_t(W());
        for (int32_t x = 0; x < W(); ++x) {
            const double dx = x + 0.5 - cx;
            double a = std::atan2(dx, -dy) / (2 * std::numbers::pi);     // clockwise from 12 o'clock
            if (a < 0)
                a += 1;
            d[x] = uint16_t(int64_t(std::floor(a * kTurn)) & (kTurn - 1));
        }
    }
}

int64_t TWipeSectorMask::startAngle() const {
    const int64_t degrees = ((int64_t(FParams[0]) % 360) + 360) % 360;
    return degrees * kTurn / 360;
}

bool TWipeSectorMask::UpdateMask() {
    if (FDirection.size() != size_t(W()) * size_t(H()))
        Prepare();
    if (!levelChanged(mulDiv(t(), kTurn, T())))
        return false;
    int64_t first[2] = {0, 0}, width[2] = {0, 0};
    const int32_t n = sectors(LastLevel, first, width);
    for (int32_t y = 0; y < maskRows(); ++y)
        sectorMaskRow(maskRow(y), FDirection.data() + size_t(y) * size_t(W()), W(), first, width, n);
    return true;
}

int32_t TWipeClockhand::sectors(int64_t level, int64_t (&first)[2], int64_t (&width)[2]) const {
    // The hand turns clockwise from the start angle, anticlockwise when reversed.
    first[0] = FReverse ? startAngle() - level : startAngle();
    width[0] = level;
    return 1;
}

int32_t TWipeFan::sectors(int64_t level, int64_t (&first)[2], int64_t (&width)[2]) const {
    const int64_t half = level / 2;                     // pi * t / T either way
    first[0] = startAngle() - half;
    width[0] = 2 * half;
    return 1;
}

int32_t TWipeWFan::sectors(int64_t level, int64_t (&first)[2], int64_t (&width)[2]) const {
    const int64_t half = level / 4;                     // pi / 2 * t / T either way
    first[0] = startAngle() - half;
    first[1] = startAngle() + kTurn / 2 - half;
    width[0] = width[1] = 2 * half;
    return 2;
}

bool TWipeCircle::UpdateMask() {
    const double full = std::sqrt(double(W()) * W() / 4.0 + double(H()) * H() / 4.0);
    const int64_t r = FReverse ? nint(full * double(T() - t()) / double(T())) : nint(full * double(t()) / double(T()));
    if (!levelChanged(r))
        return false;
    const uint8_t inside = FReverse ? 0 : 255;
    clearMask(FReverse ? 255 : 0);
    const double cx = W() / 2.0, cy = H() / 2.0, r2 = double(r) * double(r);
    for (int32_t y = 0; y < maskRows(); ++y) {
        const double dy = y + 0.5 - cy;
        if (dy * dy > r2)
            continue;
        // Pixels whose centre lies within the circle: (x + 0.5 - cx)^2 <= r^2 - dy^2.
        const double half = std::sqrt(r2 - dy * dy);
        const int64_t left = std::max<int64_t>(0, int64_t(std::ceil(cx - 0.5 - half)));
        const int64_t right = std::min<int64_t>(W() - 1, int64_t(std::floor(cx - 0.5 + half)));
        if (right >= left)
            std::memset(maskRow(y) + left, inside, size_t(right - left + 1));
    }
    return true;
}

} // namespace zuno
