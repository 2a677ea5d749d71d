// The text input controls: TZunoEdit (one line) and TZunoMemo (several lines).
#pragma once

#include "objects/TZunoControl.h"

namespace zuno {

class TZunoEdit : public TZunoControl {
public:
    uint8_t             GetCompoType() const override { return LT_EDIT; }
};

class TZunoMemo : public TZunoControl {
public:
    uint8_t             GetCompoType() const override { return LT_MEMO; }
};

} // namespace zuno
