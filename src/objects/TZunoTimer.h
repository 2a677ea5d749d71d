// TZunoTimer: raises its notify event at a fixed interval.
#pragma once

#include "objects/TZunoObject.h"

namespace zuno {

class TZunoTimer : public TZunoComponent {
public:
    uint8_t             GetCompoType() const override { return LT_TIMER; }
};

} // namespace zuno
