// Mosaic: the old picture coarsens into blocks, the new one is mixed into the
// small picture, and the new picture sharpens again. Each step shrinks the
// picture into a small surface and stretches it back over the target.
#pragma once

#include <memory>

#include "imaging/TCustomWipe.h"

namespace zuno {

class TWipeMosaic : public TCustomWipe {
public:
    using TCustomWipe::TCustomWipe;

protected:
    void                DrawFrame() override;

private:
    std::unique_ptr<TDIBX> FSmall;
};

} // namespace zuno
