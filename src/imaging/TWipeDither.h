// Dither: the pixels of a 64 x 64 tile switch from old to new in a fixed
// pseudo-random order (the same on every run); the tile repeats over the
// screen.
#pragma once

#include <array>

#include "imaging/TWipeMask.h"

namespace zuno {

class TWipeDither : public TWipeMask {
public:
    static constexpr int32_t kTile = 64;
    static constexpr int32_t kSeed = 12341;

    using TWipeMask::TWipeMask;

    void                Prepare() override;     // draws the order of the tile's positions

protected:
    bool                UpdateMask() override;
    int32_t             MaskHeight() override { return kTile; }

private:
    std::array<int32_t, kTile * kTile> FOrder{};
};

} // namespace zuno
