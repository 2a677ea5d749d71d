#include "imaging/TWipeBlock.h"

#include "imaging/WipeRows.h"

namespace zuno {

using namespace wipe;

int32_t TWipeBlockCoil::blockSide() const {
    return std::max(1, std::min({std::max(FParams[0], 10), W(), H()}));
}

void TWipeBlockCoil::Prepare() {
    TWipeMask::Prepare();
    FBlocks.clear();
    orderBlocks(FBlocks);
}

void TWipeBlockCoil::orderBlocks(std::vector<TRect>& blocks) { spiral(blocks); }

void TWipeBlockCoil::spiral(std::vector<TRect>& blocks) {
    const int32_t s = blockSide();
    const int32_t columns = (W() + s - 1) / s, rows = (H() + s - 1) / s;
    auto add = [&](int32_t c, int32_t r) { blocks.push_back(TRect::bounds(c * s, r * s, s, s)); };
    int32_t left = 0, top = 0, right = columns - 1, bottom = rows - 1;
    while (left <= right && top <= bottom) {
        for (int32_t c = left; c <= right; ++c)
            add(c, top);                                // right along the top row
        ++top;
        for (int32_t r = top; r <= bottom; ++r)
            add(right, r);                              // down the right column
        --right;
        if (top <= bottom) {
            for (int32_t c = right; c >= left; --c)
                add(c, bottom);                         // left along the bottom row
            --bottom;
        }
        if (left <= right) {
            for (int32_t r = bottom; r >= top; --r)
                add(left, r);                           // up the left column
            ++left;
        }
    }
}

void TWipeBlockRandom::orderBlocks(std::vector<TRect>& blocks) {
    const int32_t s = blockSide();
    const int32_t columns = (W() + s - 1) / s, rows = (H() + s - 1) / s;
    for (int32_t r = 0; r < rows; ++r)
        for (int32_t c = 0; c < columns; ++c)
            blocks.push_back(TRect::bounds(c * s, r * s, s, s));
    for (size_t i = blocks.size(); i > 1; --i)
        std::swap(blocks[i - 1], blocks[size_t(random(int32_t(i)))]);
}

bool TWipeBlockCoil::UpdateMask() {
    Hard = true;
    if (FBlocks.empty())
        orderBlocks(FBlocks);
    const int64_t count = int64_t(FBlocks.size());
    if (!levelChanged(mulDiv(count - 1, t(), T())))
        return false;
    clearMask(0);
    const bool backwards = fillsBackwards();
    for (int64_t i = 0; i <= LastLevel && i < count; ++i) {
        const TRect b = intersectRect(FBlocks[size_t(backwards ? count - 1 - i : i)], TRect(0, 0, W(), maskRows()));
        for (int32_t y = b.Top; y < b.Bottom && b.Right > b.Left; ++y)
            std::memset(maskRow(y) + b.Left, 255, size_t(b.width()));
    }
    return true;
}

} // namespace zuno
