// TZunoPrevMenu: the preview menu, a choice among thumbnails.
#pragma once

#include "objects/TZunoControl.h"

namespace zuno {

class TZunoPrevMenu : public TZunoControl {
public:
    uint8_t             GetCompoType() const override { return LT_PREVMENU; }
};

} // namespace zuno
