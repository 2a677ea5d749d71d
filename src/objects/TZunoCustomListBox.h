// The list family: TZunoCustomListBox (a list framed by border pictures) and
// TZunoMenu, the menu of choices.
#pragma once

#include "objects/TZunoControl.h"

namespace zuno {

class TZunoCustomListBox : public TZunoControl {};

class TZunoMenu : public TZunoCustomListBox {
public:
    uint8_t             GetCompoType() const override { return LT_MENU; }
};

} // namespace zuno
