// TZunoMes: the message box, which reveals marked-up text page by page.
#pragma once

#include "objects/TZunoControl.h"

namespace zuno {

class TZunoMes : public TZunoControl {
public:
    uint8_t             GetCompoType() const override { return LT_MES; }
};

} // namespace zuno
