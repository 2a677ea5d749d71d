// Block wipes: the screen is cut into square blocks of side
// min(max(p0, 10), W, H), which switch to the new picture one after another.
//   TWipeBlockCoil    along a clockwise spiral from the top-left corner
//                     inwards (from the end of the spiral when reversed)
//   TWipeBlockRandom  in an order shuffled with the player's random generator
#pragma once

#include <vector>

#include "imaging/TWipeMask.h"

namespace zuno {

class TWipeBlockCoil : public TWipeMask {
public:
    using TWipeMask::TWipeMask;

    void                Prepare() override;     // lists the blocks

protected:
    bool                UpdateMask() override;
    int32_t             blockSide() const;
    // The blocks in the order they switch.
    virtual void        orderBlocks(std::vector<TRect>& blocks);
    virtual bool        fillsBackwards() const { return FReverse; }
    void                spiral(std::vector<TRect>& blocks);

    std::vector<TRect>  FBlocks;
};

class TWipeBlockRandom : public TWipeBlockCoil {
public:
    using TWipeBlockCoil::TWipeBlockCoil;

protected:
    void                orderBlocks(std::vector<TRect>& blocks) override;
    bool                fillsBackwards() const override { return false; }
};

} // namespace zuno
