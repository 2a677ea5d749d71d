#include "objects/PropertyAccess.h"

#include "core/EZunoError.h"
#include "objects/TZunoObject.h"

namespace zuno {

std::unique_ptr<TCustomParam> GetPropertyValue(TZunoObject& object, int id) {
    if (id < 0 || id >= PropertyCount)
        throw EZunoError::fromUtf8("GetPropエラー");
    const uint8_t type = propertyValueType(id);
    const TPropValue v = object.GetProp(id);
    auto result = TCustomParam::CreateParam(type);
    switch (type) {
    case PT_INT:   result->SetInteger(v.Int); break;
    case PT_FLOAT: result->SetFloat(v.Float); break;
    case PT_BOOL:  result->SetBoolean(v.Bool); break;
    default:       result->SetString(v.Str); break;
    }
    return result;
}

void SetPropertyValue(TZunoObject& object, int id, const TCustomParam& value) {
    if (isUnwritableProperty(id))
        throw EZunoError::fromUtf8("SetPropエラー");
    if (isReadOnlyProperty(id))
        return;
    TPropValue v;
    switch (propertyValueType(id)) {
    case PT_INT:   v = TPropValue::ofInt(value.AsInteger()); break;
    case PT_FLOAT: v = TPropValue::ofFloat(value.AsFloat()); break;
    case PT_BOOL:  v = TPropValue::ofBool(value.AsBoolean()); break;
    default:       v = TPropValue::ofStr(value.AsString()); break;
    }
    object.SetProp(id, v);
}

} // namespace zuno
