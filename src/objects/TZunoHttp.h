// TZunoHttp: an HTTP request whose answer arrives as its text.
#pragma once

#include "objects/TZunoObject.h"

namespace zuno {

class TZunoHttp : public TZunoComponent {
public:
    uint8_t             GetCompoType() const override { return LT_HTTP; }
};

} // namespace zuno
