// TZunoCGLabel: the image caption, a text drawn with glyphs cut from a picture.
#pragma once

#include "objects/TZunoControl.h"

namespace zuno {

class TZunoCGLabel : public TZunoControl {
public:
    uint8_t             GetCompoType() const override { return LT_CGLABEL; }
};

} // namespace zuno
