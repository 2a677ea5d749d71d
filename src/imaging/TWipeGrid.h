// Grids: the screen is cut into cells of p0 x p0; in each cell a centred
// square grows once the progress reaches the cell's order, its value
// rising over p1 level units (hard edges when p1 < 2).
//   TWipeGrid    order = the rounded distance of the cell from the top-left cell
//   TWipeGridH   order = the column; the mask is one cell row high
//   TWipeGridV   order = the row
// Reversed, the order is counted from the far end.
#pragma once

#include "imaging/TWipeMask.h"

namespace zuno {

class TWipeGrid : public TWipeMask {
public:
    using TWipeMask::TWipeMask;

protected:
    bool                UpdateMask() override;
    // The order of the cell (column, row) of a grid of columns x rows.
    virtual int64_t     cellOrder(int64_t column, int64_t row, int64_t columns, int64_t rows) const;
    // The largest order.
    virtual int64_t     lastOrder(int64_t columns, int64_t rows) const;
};

class TWipeGridH : public TWipeGrid {
public:
    using TWipeGrid::TWipeGrid;

protected:
    int32_t             MaskHeight() override { return std::min(std::max(FParams[0], 2), H()); }
    int64_t             cellOrder(int64_t column, int64_t row, int64_t columns, int64_t rows) const override;
    int64_t             lastOrder(int64_t columns, int64_t rows) const override { (void)rows; return columns; }
};

class TWipeGridV : public TWipeGrid {
public:
    using TWipeGrid::TWipeGrid;

protected:
    int64_t             cellOrder(int64_t column, int64_t row, int64_t columns, int64_t rows) const override;
    int64_t             lastOrder(int64_t columns, int64_t rows) const override { (void)columns; return rows; }
};

} // namespace zuno
