// TZunoPropMotion: moves one property of another object towards a value over time.
#pragma once

#include "objects/TZunoObject.h"

namespace zuno {

class TZunoPropMotion : public TZunoComponent {
public:
    uint8_t             GetCompoType() const override { return LT_PROPMOTION; }
};

} // namespace zuno
