// TZunoCabinet: a container that keeps controls off the screens (the
// SaveCabinet and LoadCabinet commands move controls into and out of it). It
// never shows: Visible always reads false, so neither it nor its children are
// drawn or hit, and objects inside it are not updated.
#pragma once

#include "objects/TZunoControl.h"

namespace zuno {

class TZunoCabinet : public TZunoControl {
public:
    uint8_t             GetCompoType() const override { return LT_CABINET; }
    bool                Visible() override { return false; }
};

} // namespace zuno
