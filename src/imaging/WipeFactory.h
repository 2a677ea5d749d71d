// The transition catalogue: the wipe class of each transition number with
// its default parameters, and the Japanese label of the transition table.
#pragma once

#include <memory>
#include <string>

#include "imaging/TCustomWipe.h"

namespace zuno {

struct TWipeInfo {
    const char*         Identifier;             // "WP_FADE"
    const char*         Label;                  // the table's label (Shift-JIS)
    int32_t             Param0, Param1;         // default parameters
};

// The catalogue entry of a number 0 .. 38; none outside.
const TWipeInfo*        wipeInfo(int32_t number);

// A new wipe for the number with the default parameters applied, drawing
// into target from the old picture to the new one; none for numbers outside
// 1 .. 38.
std::unique_ptr<TCustomWipe> CreateWipe(int32_t number, TCustomDIBX& target, TCustomDIBX& from, TCustomDIBX& to,
                                        const TWipeServices& services = {});

} // namespace zuno
