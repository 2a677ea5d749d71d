#include "expr/ZunoOpCode.h"

namespace zuno {

std::string opCodeName(uint8_t code) {
    static const char* const names[] = {
        "ocNone", "ocTo", "ocPlus", "ocMinus", "ocMul", "ocDiv", "ocMod", "ocOr", "ocAnd", "ocXor",
        "ocDimTo", "ocFunc", "ocEqual", "ocBig", "ocSmall", "ocEBig", "ocESmall", "ocShiftL",
        "ocShiftR", "ocComboStr", "ocNEqual",
    };
    if (code <= ocLast)
        return names[code];
    return "oc" + std::to_string(code);
}

} // namespace zuno
