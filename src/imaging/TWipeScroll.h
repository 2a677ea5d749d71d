// Scrolls: the new picture pushes the old one out, to the left (TWipeScrollH)
// or upwards (TWipeScrollV); reversed, to the right or downwards.
#pragma once

#include "imaging/TCustomWipe.h"

namespace zuno {

class TWipeScrollH : public TCustomWipe {
public:
    using TCustomWipe::TCustomWipe;

protected:
    void                DrawFrame() override;
};

class TWipeScrollV : public TCustomWipe {
public:
    using TCustomWipe::TCustomWipe;

protected:
    void                DrawFrame() override;
};

} // namespace zuno
