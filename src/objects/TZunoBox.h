// TZunoBox: the rectangle surface (a filled, optionally framed rectangle).
#pragma once

#include "objects/TZunoControl.h"

namespace zuno {

class TZunoBox : public TZunoControl {
public:
    uint8_t             GetCompoType() const override { return LT_BOX; }
};

} // namespace zuno
