// One property value inside the object model: the declared type of the
// property (PT_INT, PT_FLOAT, PT_BOOL, PT_STR) and the field of that type.
// Values cross into the expression language only at GetPropertyValue /
// SetPropertyValue, which convert with the language's own rules.
#pragma once

#include <cstdint>
#include <string>

#include "expr/TCustomParam.h"

namespace zuno {

struct TPropValue {
    uint8_t             Type = PT_NONE;
    int32_t             Int = 0;
    TReal               Float = 0;
    bool                Bool = false;
    std::string         Str;

    static TPropValue   ofInt(int32_t v) { TPropValue p; p.Type = PT_INT; p.Int = v; return p; }
    static TPropValue   ofFloat(TReal v) { TPropValue p; p.Type = PT_FLOAT; p.Float = v; return p; }
    static TPropValue   ofBool(bool v) { TPropValue p; p.Type = PT_BOOL; p.Bool = v; return p; }
    static TPropValue   ofStr(std::string v) { TPropValue p; p.Type = PT_STR; p.Str = std::move(v); return p; }

    bool                operator==(const TPropValue&) const = default;
};

} // namespace zuno
