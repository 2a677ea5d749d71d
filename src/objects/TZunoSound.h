// TZunoSound: a sound or piece of music being played (not on a screen).
#pragma once

#include "objects/TZunoObject.h"

namespace zuno {

class TZunoSound : public TZunoComponent {
public:
    uint8_t             GetCompoType() const override { return LT_SOUND; }
};

} // namespace zuno
