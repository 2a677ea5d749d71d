// TZunoCinema: the cinema surface, which plays a cinema file in a scene of
// its own.
#pragma once

#include "objects/TZunoControl.h"

namespace zuno {

class TZunoCinema : public TZunoControl {
public:
    uint8_t             GetCompoType() const override { return LT_CINEMA; }
};

} // namespace zuno
