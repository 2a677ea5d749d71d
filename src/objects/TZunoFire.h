// The effect surfaces: TZunoFire (a burning fire) and TZunoWave (the screen
// below it rippled by a wave).
#pragma once

#include "objects/TZunoControl.h"

namespace zuno {

class TZunoFire : public TZunoControl {
public:
    uint8_t             GetCompoType() const override { return LT_FIRE; }
};

class TZunoWave : public TZunoControl {
public:
    uint8_t             GetCompoType() const override { return LT_WAVE; }
};

} // namespace zuno
