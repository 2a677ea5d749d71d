#include "imaging/TWipeCrack.h"

#include "imaging/WipeRows.h"

namespace zuno {

using namespace wipe;

void TWipeCrack::SetParam(int index, int32_t value) {
    if (index == 0) {
        TCustomWipe::SetParam(0, std::max(value, 16));
        if (FParams[0] != FChipSide)
            buildChips();
    } else if (index == 1) {
        const bool changed = std::max(value, 0) != FParams[1];
        TCustomWipe::SetParam(1, std::max(value, 0));
        if (changed)
            schedule();
    }
}

int64_t TWipeCrack::fallTime(int32_t height) {
    int64_t u = 0;
    while (dropY(u) <= height)
        ++u;
    return u;
}

void TWipeCrack::buildChips() {
    FChipSide = std::max(FParams[0], 16);
    const int32_t s = FChipSide;
    const int32_t columns = (std::max(W(), 0) + s - 1) / s, rows = (std::max(H(), 0) + s - 1) / s;
    FChips.clear();
    for (int32_t r = 0; r < rows; ++r)
        for (int32_t c = 0; c < columns; ++c)
            FChips.push_back({c, r, 0, 0});
    for (size_t i = FChips.size(); i > 1; --i)
        std::swap(FChips[i - 1], FChips[size_t(random(int32_t(i)))]);
    for (TWipeCrackDraw& chip : FChips)
        chip.Speed = random(200) - 100;
    schedule();
}

void TWipeCrack::schedule() {
    for (size_t j = 0; j < FChips.size(); ++j)
        FChips[j].Start = int64_t(j) * FParams[1];
}

void TWipeCrack::DrawFrame() {
    if (FChipSide != std::max(FParams[0], 16) || FChips.empty())
        buildChips();
    const int64_t chips = int64_t(FChips.size());
    const int64_t total = fallTime(H()) + (chips - 1) * FParams[1];
    const int64_t b = mulDiv(t(), total, T());
    const int32_t s = FChipSide;
    Target().Assign(To());
    // The chips that start last are drawn first, so the falling ones pass in front.
    for (auto chip = FChips.rbegin(); chip != FChips.rend(); ++chip) {
        const TRect piece = intersectRect(TRect::bounds(chip->Column * s, chip->Row * s, s, s), TRect(0, 0, W(), H()));
        int64_t x = piece.Left, y = piece.Top;
        const int64_t u = b - chip->Start;
        if (u >= 0) {
            x += driftX(u, chip->Speed);
            y += dropY(u);
            if (y >= H() || x >= W() || x + piece.width() <= 0)
                continue;                               // dropped
        }
        Target().Draw(int32_t(x), int32_t(y), false, false, false, piece, From());
    }
}

} // namespace zuno
