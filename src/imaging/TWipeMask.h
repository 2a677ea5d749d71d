// TWipeMask: the wipes that say per pixel, through an 8-bit mask, how far
// the new picture has replaced the old one. The mask is as wide as the
// target and MaskHeight rows high; its rows repeat downwards. Each step asks
// the class to bring the mask to the current progress level (rebuilt only
// when the level changes) and composes:
//   m = 0 -> old, m = 255 -> new, else (old * (255 - m) + new * m) >> 8;
// with Hard set any m other than 0 shows the new picture.
#pragma once

#include <memory>

#include "imaging/TCustomWipe.h"

namespace zuno {

class TWipeMask : public TCustomWipe {
public:
    bool                Hard = false;           // a pixel is either old or new
    int64_t             LastLevel = -1;         // the level the mask was last built for

    using TCustomWipe::TCustomWipe;

    // p0 is at least 2 and p1 at least 1.
    void                SetParam(int index, int32_t value) override;
    // Sizes the mask (W x MaskHeight) and clears it.
    void                Prepare() override;
    TDIBX*              Mask() { return FMask.get(); }

protected:
    // Brings the mask to the current progress; true when it changed.
    virtual bool        UpdateMask() = 0;
    virtual int32_t     MaskHeight() { return H(); }

    void                DrawFrame() override;
    // True (and LastLevel := level) when the mask must be rebuilt for level.
    bool                levelChanged(int64_t level);
    uint8_t*            maskRow(int32_t y) { return FMask->ScanLine(y); }
    int32_t             maskRows() const { return FMaskRows; }
    void                clearMask(uint8_t value);

private:
    void                sizeMask();
    void                compose();

    std::unique_ptr<TDIBX> FMask;
    int32_t             FMaskRows = 0;
};

} // namespace zuno
