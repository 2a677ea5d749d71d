// TZunoButton: an image that reacts to the mouse with hover, pressed and
// clicked pictures, and may belong to a group of which one is selected.
#pragma once

#include "objects/TZunoCustomImage.h"

namespace zuno {

class TZunoButton : public TZunoImages {
public:
    uint8_t             GetCompoType() const override { return LT_BUTTON; }
};

} // namespace zuno
