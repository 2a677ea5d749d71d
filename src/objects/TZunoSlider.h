// The value controls: TZunoSlider, TZunoScrollbar (a slider with step
// buttons) and TZunoGauge (a bar showing a value).
#pragma once

#include "objects/TZunoControl.h"

namespace zuno {

class TZunoSlider : public TZunoControl {
public:
    uint8_t             GetCompoType() const override { return LT_SLIDER; }
};

class TZunoScrollbar : public TZunoSlider {
public:
    uint8_t             GetCompoType() const override { return LT_SCROLLBAR; }
};

class TZunoGauge : public TZunoControl {
public:
    uint8_t             GetCompoType() const override { return LT_GAUGE; }
};

} // namespace zuno
