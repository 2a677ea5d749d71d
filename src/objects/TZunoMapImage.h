// TZunoMapImage: a picture with a hit map whose areas are choices ("選択画像").
#pragma once

#include "objects/TZunoControl.h"

namespace zuno {

class TZunoMapImage : public TZunoControl {
public:
    uint8_t             GetCompoType() const override { return LT_MAPIMG; }
};

} // namespace zuno
