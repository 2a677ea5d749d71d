// TZunoLabel: the caption, one text drawn as a picture.
#pragma once

#include "objects/TZunoControl.h"

namespace zuno {

class TZunoLabel : public TZunoControl {
public:
    uint8_t             GetCompoType() const override { return LT_LABEL; }
};

} // namespace zuno
