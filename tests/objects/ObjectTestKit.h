// Small fixtures for the display-object tests: a registry with a size, a
// control that paints its colour, and property access through the same
// entry points the script commands use.
#pragma once

#include <memory>
#include <string>

#include "expr/TCustomParam.h"
#include "imaging/TCustomDIBX.h"
#include "objects/PropertyAccess.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoBox.h"

namespace zuno::test {

// A box that fills its drawn rectangle with its colour whatever its other
// properties say, then draws its children.
class TPaintedControl : public TZunoBox {
public:
    void                Draw() override {
        if (TCustomDIBX* s = GetSurface())
            s->FillRect(intersectRect(GetClientRect(), s->GetDrawableRect()), s->ColorToPixel(FColor));
        TZunoControl::Draw();
    }
};

template <class T = TPaintedControl>
T* addControl(TZunoBaseList& reg, TZunoControl* parent, int32_t left, int32_t top, int32_t width, int32_t height,
              const std::string& name = {}) {
    T* c = reg.Create<T>();
    if (!name.empty())
        c->SetName(name);
    c->SetParent(parent);
    c->SetBounds(left, top, width, height);
    return c;
}

inline std::unique_ptr<TCustomParam> intValue(int32_t v) {
    auto p = TCustomParam::CreateParam(PT_INT);
    p->SetInteger(v);
    return p;
}
inline std::unique_ptr<TCustomParam> strValue(const std::string& v) {
    auto p = TCustomParam::CreateParam(PT_STR);
    p->SetString(v);
    return p;
}
inline std::unique_ptr<TCustomParam> floatValue(TReal v) {
    auto p = TCustomParam::CreateParam(PT_FLOAT);
    p->SetFloat(v);
    return p;
}
inline std::unique_ptr<TCustomParam> boolValue(bool v) {
    auto p = TCustomParam::CreateParam(PT_BOOL);
    p->SetBoolean(v);
    return p;
}

inline void setProp(TZunoObject& o, int id, const TCustomParam& v) { SetPropertyValue(o, id, v); }
inline std::string getText(TZunoObject& o, int id) { return GetPropertyValue(o, id)->AsString(); }
inline int32_t getInt(TZunoObject& o, int id) { return GetPropertyValue(o, id)->AsInteger(); }

} // namespace zuno::test
