// Order masks: slats of width p0 that open one after another across the
// screen (curtains). Position i opens at level 16 * (i div p0 + i mod p0),
// so each slat starts a little after the one before it; p1 is the width of
// the soft edge in level units (hard edges when p1 < 2).
#pragma once

#include "imaging/TWipeMask.h"

namespace zuno {

// Columns from the left (from the right when reversed); one mask row.
class TWipeOrderHMask : public TWipeMask {
public:
    using TWipeMask::TWipeMask;

    // Both parameters are at least 1.
    void                SetParam(int index, int32_t value) override;

protected:
    bool                UpdateMask() override;
    int32_t             MaskHeight() override { return 1; }
    // The value of position i out of `count` at the given level.
    int32_t             orderValue(int64_t level, int32_t i, int32_t count) const;
    int64_t             orderLevel(int32_t count) const;
};

class TWipeCurtainH : public TWipeOrderHMask {
public:
    using TWipeOrderHMask::TWipeOrderHMask;
};

// Rows from the top (from the bottom when reversed).
class TWipeOrderVMask : public TWipeOrderHMask {
public:
    using TWipeOrderHMask::TWipeOrderHMask;

protected:
    bool                UpdateMask() override;
    int32_t             MaskHeight() override { return H(); }
};

class TWipeCurtainV : public TWipeOrderVMask {
public:
    using TWipeOrderVMask::TWipeOrderVMask;
};

} // namespace zuno
