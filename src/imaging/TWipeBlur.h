// Blur through a colour: the old picture blurs, brightens to white, the
// blurred new picture comes back from white and sharpens (TWipeBlurWhite);
// TWipeBlurBlack goes through black. The blurred copies (a box blur of
// radius min(W, H) / 20) are made once, at the first step, when both
// pictures are complete.
#pragma once

#include <memory>

#include "imaging/TCustomWipe.h"

namespace zuno {

// A box blur of radius r over the 32-bit picture, in place (edges repeat).
void boxBlur32(TDIBX& picture, int32_t radius);

class TWipeBlurWhite : public TCustomWipe {
public:
    using TCustomWipe::TCustomWipe;

protected:
    void                DrawFrame() override;
    virtual void        shade(uint32_t k);

private:
    std::unique_ptr<TDIBX> FBlurFrom, FBlurTo;
};

class TWipeBlurBlack : public TWipeBlurWhite {
public:
    using TWipeBlurWhite::TWipeBlurWhite;

protected:
    void                shade(uint32_t k) override;
};

} // namespace zuno
