#include "imaging/TWipeDither.h"

#include "core/TKsRandom.h"
#include "imaging/WipeRows.h"

namespace zuno {

using namespace wipe;

void TWipeDither::Prepare() {
    TWipeMask::Prepare();
    TKsRandom random(kSeed);
    random.ResetPool(kTile * kTile);
    for (int32_t& a : FOrder)
        a = random.NextFromPool();
}

bool TWipeDither::UpdateMask() {
    Hard = true;
    if (!levelChanged(mulDiv(t(), kTile * kTile, T())))
        return false;
    const int64_t level = std::clamp<int64_t>(LastLevel, 0, kTile * kTile);
    std::array<uint8_t, kTile * kTile> tile{};
    for (int64_t i = 0; i < level; ++i)
        tile[size_t(FOrder[size_t(i)])] = 255;
    for (int32_t y = 0; y < maskRows(); ++y) {
        uint8_t* m = maskRow(y);
        const uint8_t* source = tile.data() + (y % kTile) * kTile;
        for (int32_t x = 0; x < W(); x += kTile)
            std::memcpy(m + x, source, size_t(std::min(kTile, W() - x)));
    }
    return true;
}

} // namespace zuno
