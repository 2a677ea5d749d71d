// Cross-fade: the new picture is blended over the old one with an opacity
// growing from 0, sliding in from the offset (p0, p1) to (0, 0).
#pragma once

#include "imaging/TCustomWipe.h"

namespace zuno {

class TWipeFade : public TCustomWipe {
public:
    using TCustomWipe::TCustomWipe;

protected:
    void                DrawFrame() override;
};

} // namespace zuno
