// The property table of display objects beyond names and types
// (PropertyIds.h): for every identifier the value an object reads when its
// kind does not implement the property, the kinds that implement it, and
// whether scripts may write it.
#pragma once

#include <cstdint>

#include "objects/ObjectKinds.h"
#include "objects/PropertyIds.h"
#include "objects/TPropValue.h"

namespace zuno {

// Bit (1 << kind) for each LT_ kind.
constexpr uint32_t kindBit(int kind) { return kind >= 0 && kind < ObjectKindCount ? 1u << kind : 0u; }

// Every kind that has a class.
constexpr uint32_t AllKinds = ((1u << ObjectKindCount) - 1) & ~(kindBit(LT_AUDIO) | kindBit(LT_MAP));
// The controls: every kind except the non-visual ones.
constexpr uint32_t ControlKinds = AllKinds & ~(kindBit(LT_HTTP) | kindBit(LT_TIMER) | kindBit(LT_SOUND) |
                                               kindBit(LT_PROPMOTION) | kindBit(LT_NONE));

// The value read from an object whose kind does not implement `id` (a value
// of the declared type; PR_ORIGWIDTH and PR_ORIGHEIGHT answer Width and
// Height in the object itself). Type PT_NONE outside 0 .. 162.
TPropValue              propertyDefault(int id);

// The kinds (kindBit set) that implement `id`; 0 outside 0 .. 162.
uint32_t                propertyKinds(int id);
inline bool             kindImplements(int kind, int id) { return (propertyKinds(id) & kindBit(kind)) != 0; }

// Read-only identifiers: writes are ignored without error.
constexpr bool          isReadOnlyProperty(int id) {
    return id == PR_CARETX || id == PR_CARETY || id == PR_PLAYING || id == PR_COMPOTYPE || id == PR_CARETHEIGHT;
}
// Identifiers whose writing is an error ("SetPropエラー").
constexpr bool          isUnwritableProperty(int id) {
    return id == PR_APPEARX || id == PR_APPEARY || id < 0 || id >= PropertyCount;
}

} // namespace zuno
