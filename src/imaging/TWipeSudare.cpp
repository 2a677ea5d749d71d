#include "imaging/TWipeSudare.h"

#include "imaging/WipeRows.h"

namespace zuno {

using namespace wipe;

int64_t TWipeRubberH::bandWidth(int64_t k) const {
    const double half = double(T()) / 2;
    return std::max<int64_t>(1, nint(std::fabs(double(t()) - half) * (double(k) / 2) / half));
}

void TWipeSudareH::DrawFrame() {
    const int32_t n = vertical() ? H() : W();
    int64_t k = mulDiv(2 * int64_t(n) - 1, t(), T());
    TCustomDIBX* source = &From();
    if (k >= n) {
        source = &To();
        k = 2 * int64_t(n) - k - 1;
    }
    // FIndex[i]: the source position shown at position i along the axis.
    FIndex.resize(size_t(n));
    for (int32_t i = 0; i < n; ++i)
        FIndex[size_t(i)] = i;
    const int64_t g = std::min<int64_t>(bandWidth(k), k + 1);
    const int64_t span = k + 1;                         // positions covered by the pull
    if (!FReverse) {
        const int64_t band = k - g + 1;                 // the band ends at k
        for (int64_t i = 0; i <= k; ++i)
            FIndex[size_t(i)] = int32_t(band + i * g / span);
    } else {
        const int64_t first = n - k - 1;                // the band starts here
        for (int64_t i = first; i < n; ++i)
            FIndex[size_t(i)] = int32_t(first + (i - first) * g / span);
    }

    TLockedSurface target(Target()), src(*source);
    if (!target.ok() || !src.ok())
        return;
    if (vertical()) {
        for (int32_t y = 0; y < H(); ++y)
            std::memcpy(row32(target, y), row32(src, FIndex[size_t(y)]), size_t(W()) * 4);
    } else {
        for (int32_t y = 0; y < H(); ++y) {
            uint32_t* d = row32(target, y);
            const uint32_t* s = row32(src, y);
            for (int32_t x = 0; x < W(); ++x)
                d[x] = s[FIndex[size_t(x)]];
        }
    }
}

} // namespace zuno
