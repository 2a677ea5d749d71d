// Reading and writing display-object properties by identifier, as the
// GetProp/SetProp commands and the built-in functions do: values cross into
// the expression language here, converted to and from the declared type.
#pragma once

#include <memory>

#include "expr/TCustomParam.h"

namespace zuno {

class TZunoObject;

// A value of the property's declared type. "GetPropエラー" for an id above 162.
std::unique_ptr<TCustomParam> GetPropertyValue(TZunoObject& object, int id);

// Converts `value` to the declared type and hands it to the object.
// "SetPropエラー" for PR_APPEARX, PR_APPEARY and ids outside 0 .. 162; the
// other read-only ids are ignored.
void                    SetPropertyValue(TZunoObject& object, int id, const TCustomParam& value);

} // namespace zuno
