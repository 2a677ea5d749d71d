#include "imaging/TWipeGrid.h"

#include "imaging/WipeRows.h"

namespace zuno {

using namespace wipe;

int64_t TWipeGrid::cellOrder(int64_t column, int64_t row, int64_t columns, int64_t rows) const {
    if (FReverse) {
        column = columns - 1 - column;
        row = rows - 1 - row;
    }
    return nint(std::sqrt(double(row * row + column * column)));
}

int64_t TWipeGrid::lastOrder(int64_t columns, int64_t rows) const {
    return nint(std::sqrt(double((rows - 1) * (rows - 1) + (columns - 1) * (columns - 1))));
}

int64_t TWipeGridH::cellOrder(int64_t column, int64_t, int64_t columns, int64_t) const {
    return FReverse ? columns - 1 - column : column;
}

int64_t TWipeGridV::cellOrder(int64_t, int64_t row, int64_t, int64_t rows) const {
    return FReverse ? rows - 1 - row : row;
}

bool TWipeGrid::UpdateMask() {
    const int64_t p0 = FParams[0], p1 = FParams[1];
    Hard = p1 < 2;
    const int64_t columns = (W() + p0 - 1) / p0, rows = (H() + p0 - 1) / p0;
    const int64_t D = 4 * lastOrder(columns, rows);
    if (!levelChanged(mulDiv(p1 + D - 4, t(), T())))
        return false;
    const int64_t level = LastLevel;
    clearMask(0);
    // Only the cell rows the mask holds (GridH keeps one).
    const int64_t maskCellRows = (maskRows() + p0 - 1) / p0;
    for (int64_t row = 0; row < std::min(rows, maskCellRows); ++row) {
        for (int64_t column = 0; column < columns; ++column) {
            const int64_t k = 4 * cellOrder(column, row, columns, rows);
            if (k > level)
                continue;
            const int32_t value = ramp(level - k, p1);
            const int64_t side = std::min(p0, mulDiv(p0, level - k, p1));
            if (side <= 0 || value == 0)
                continue;
            const int64_t left = column * p0 + (p0 - side) / 2, top = row * p0 + (p0 - side) / 2;
            const int64_t right = std::min<int64_t>(left + side, W()), bottom = std::min<int64_t>(top + side, maskRows());
            if (right <= left || bottom <= top)
                continue;
            for (int64_t y = top; y < bottom; ++y)
                std::memset(maskRow(int32_t(y)) + left, value, size_t(right - left));
        }
    }
    return true;
}

} // namespace zuno
