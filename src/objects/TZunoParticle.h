// TZunoParticle: the particle surface, an emitter of moving particles.
#pragma once

#include "objects/TZunoControl.h"

namespace zuno {

class TZunoParticle : public TZunoControl {
public:
    uint8_t             GetCompoType() const override { return LT_PARTICLE; }
};

} // namespace zuno
