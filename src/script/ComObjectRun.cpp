// What the object and property commands do when they run: the creation
// commands, ObjDel, GetProp, SetProp, PropMotion and the cabinet commands.
// Objects are always found by name in the registry, never held.
#include <array>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "expr/TParamCollection.h"
#include "expr/TSysFuncMan.h"
#include "expr/TZunoParser.h"
#include "objects/PropertyAccess.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoCabinet.h"
#include "objects/TZunoPropMotion.h"
#include "script/ComObject.h"
#include "script/TCallMan.h"

namespace zuno {

namespace {

// The value of an expression, or none when it is absent or yields nothing.
TCustomParam* evaluate(TCallMan& cm, TZunoParser* e) {
    TSysFuncMan* funcs = cm.Env().Funcs;
    if (!e || e->Empty() || !funcs)
        return nullptr;
    e->Execute(*funcs);
    return e->Result();
}

TCustomParam* evaluate(TCallMan& cm, const TExprPtr& e) { return evaluate(cm, e.get()); }

std::string textOf(TCallMan& cm, const TExprPtr& e) {
    TCustomParam* v = evaluate(cm, e);
    return v ? v->AsString() : std::string();
}

// The order in which a creation command applies its properties: name, parent
// and source first; zoom and size before position; related font and hover
// properties together.
constexpr std::array<uint8_t, PropertyCount> applicationOrder() {
    std::array<uint8_t, PropertyCount> order{};
    size_t n = 0;
    auto one = [&](int id) { order[n++] = static_cast<uint8_t>(id); };
    auto range = [&](int from, int to) {
        for (int id = from; id <= to; ++id)
            one(id);
    };
    one(PR_NAME); one(PR_PARENT); one(PR_SOURCE); one(PR_ZOOMX); one(PR_ZOOMY); one(PR_POSZOOMED);
    one(PR_WIDTH); one(PR_HEIGHT); one(PR_LEFT); one(PR_TOP); one(PR_COLOR); one(PR_BARSIZE);
    range(PR_BORDERWIDTH, PR_OFFSETY);
    one(PR_PLUSX); one(PR_PLUSY);
    range(PR_FONTNAME, PR_HOVERCOLOR);
    range(PR_FONTHOVERBORDER, PR_FONTHOVERSHADOWCOLOR);
    range(PR_ANTIALIAS, PR_REPEAT);
    one(PR_REPEATPOS);
    range(PR_BALANCE, PR_CARETY);
    one(PR_CARETHEIGHT);
    range(PR_IGNOREMOUSE, PR_CURSOR);
    range(PR_ONPLAYSTART, PR_GLYPHHEIGHT);
    range(PR_CLICKEDSOURCE, PR_CAPTURELINK);
    one(PR_MUTEONLOAD);
    return order;
}
constexpr std::array<uint8_t, PropertyCount> kApplicationOrder = applicationOrder();

// Every identifier exactly once.
constexpr bool coversEveryProperty() {
    std::array<int, PropertyCount> seen{};
    for (uint8_t id : kApplicationOrder)
        if (id >= PropertyCount || seen[id]++)
            return false;
    return true;
}
static_assert(coversEveryProperty());

// What a creation command stores when a property's expression yields nothing.
TPropValue creationDefault(int id) {
    switch (id) {
    case PR_ZOOMX: case PR_ZOOMY:                                   return TPropValue::ofInt(256);
    case PR_COLOR: case PR_BORDERCOLOR: case PR_HOVERCOLOR:         return TPropValue::ofInt(-1);
    case PR_ALPHA:                                                  return TPropValue::ofInt(255);
    case PR_FONTHEIGHT:                                             return TPropValue::ofInt(16);
    case PR_VOLUME:                                                 return TPropValue::ofInt(1000);
    case PR_VISIBLE: case PR_OVERLAY:                               return TPropValue::ofBool(true);
    case PR_COLCOUNT: case PR_ROWCOUNT:                             return TPropValue::ofInt(1);
    case PR_TEXTDELAY:                                              return TPropValue::ofInt(256);
    case PR_AMP: case PR_SMALLCHANGE: case PR_LARGECHANGE:
    case PR_GLYPHWIDTH: case PR_GLYPHHEIGHT:                        return TPropValue::ofInt(1);
    case PR_WAVELEN:                                                return TPropValue::ofInt(100);
    default: break;
    }
    switch (propertyValueType(id)) {
    case PT_INT:   return TPropValue::ofInt(0);
    case PT_FLOAT: return TPropValue::ofFloat(0);
    case PT_BOOL:  return TPropValue::ofBool(false);
    default:       return TPropValue::ofStr({});
    }
}

// A value read in the property's declared type.
TPropValue declaredValue(int id, const TCustomParam& v) {
    switch (propertyValueType(id)) {
    case PT_INT:   return TPropValue::ofInt(v.AsInteger());
    case PT_FLOAT: return TPropValue::ofFloat(v.AsFloat());
    case PT_BOOL:  return TPropValue::ofBool(v.AsBoolean());
    default:       return TPropValue::ofStr(v.AsString());
    }
}

// The expressions a kind keeps copies of, to evaluate them itself.
std::vector<int> copiedExpressions(uint8_t kind) {
    switch (kind) {
    case LT_IMAGES:   return {PR_DELAY};
    case LT_PARTICLE: return {PR_APPEARX, PR_APPEARY, PR_DELAY};
    default:          return {};
    }
}

void applyCreationProperty(TZunoBaseList& reg, TZunoObject& o, int id, TPropValue value) {
    TZunoControl* c = o.AsControl();
    switch (id) {
    case PR_NAME:
        if (!value.Str.empty())
            o.SetName(value.Str);
        return;
    case PR_PARENT:
        if (c) {
            // Nothing found (or no name): the active screen.
            TZunoControl* parent = reg.FindControl(value.Str);
            c->SetParent(parent ? parent : reg.ActiveBase());
        }
        return;
    case PR_LEFT:
        if (c)
            c->UpdateAutoSize();
        break;
    case PR_PRIORITY:
        o.SetPriority(value.Int);
        return;
    case PR_TAG:
        o.SetTag(value.Str);
        return;
    case PR_FONTSTYLE: case PR_FONTHOVERSTYLE:
        value.Int &= FS_BOLD | FS_ITALIC | FS_UNDERLINE | FS_STRIKEOUT;
        break;
    case PR_CARETX: case PR_CARETY: case PR_APPEARX: case PR_APPEARY: case PR_PLAYING:
    case PR_COMPOTYPE: case PR_PLUSX: case PR_PLUSY: case PR_CARETHEIGHT:
        return;                                     // not applied at creation
    default:
        break;
    }
    o.SetProp(id, value);
}

// The object a GetProp or SetProp names: an empty name is the active screen.
TZunoComponent* namedObject(TCallMan& cm, const TExprPtr& name) {
    TZunoBaseList* reg = cm.Env().Registry;
    return reg ? reg->FindComponent(textOf(cm, name)) : nullptr;
}

int32_t propertyId(TCallMan& cm, const TExprPtr& e) {
    TCustomParam* v = evaluate(cm, e);
    if (!v)
        throw EZunoError(sjis("プロパティ指定が不正です"));
    return v->AsInteger();
}

} // namespace

//==============================================================================
// Creation commands
//==============================================================================

void TComComponent::Execute(TCallMan& cm, TPage*&, int32_t& pc) {
    ++pc;
    TZunoBaseList* reg = cm.Env().Registry;
    if (!reg || CreatedKind() == LT_NONE)
        return;
    TZunoObject* o = reg->CreateByKind(CreatedKind());
    if (!o)
        return;
    for (int id : copiedExpressions(CreatedKind()))
        if (TZunoParser* e = Property(id))
            o->AssignPropertyExpression(id, *e);
    for (uint8_t id : kApplicationOrder) {
        TZunoParser* e = Property(id);
        if (!e)
            continue;
        TCustomParam* v = evaluate(cm, e);
        applyCreationProperty(*reg, *o, id, v ? declaredValue(id, *v) : creationDefault(id));
        if (!reg->IsRegistered(o))
            return;                                 // a handler could not run here, but be safe
    }
    if (TZunoControl* c = o->AsControl())
        c->Invalidate();
    AfterCreate(*o);
}

void TComComponent::AfterCreate(TZunoObject&) {}

// Play state 1 starts with a fade-in over PR_DELAY ms, 0 at once.
void TComMovie::AfterCreate(TZunoObject& o) { o.SetPlayState(o.propInt(PR_DELAY) != 0 ? 1 : 0); }

void TComSound::AfterCreate(TZunoObject& o) { o.SetPlayState(o.propInt(PR_DELAY) != 0 ? 1 : 0); }

// Play state 1 opens the menu with its opening animation.
void TComMenu::AfterCreate(TZunoObject& o) {
    FMenuName = o.Name();
    o.SetPlayState(1);
}

//==============================================================================
// Deletion and properties
//==============================================================================

void TComObjDel::Execute(TCallMan& cm, TPage*&, int32_t& pc) {
    ++pc;
    TZunoBaseList* reg = cm.Env().Registry;
    TCustomParam* v = evaluate(cm, FObjectName);
    if (!reg || !v)
        return;
    const std::string name = v->AsString();
    if (name.empty())
        return;
    TZunoComponent* o = reg->FindComponent(name);
    // The screens are never deleted.
    if (o && reg->IsRegistered(o))
        reg->ScheduleDelete(o);
}

void TComGetProp::Execute(TCallMan& cm, TPage*&, int32_t& pc) {
    ++pc;
    TZunoComponent* o = namedObject(cm, FObjectName);
    if (!o)
        return;
    const int32_t id = propertyId(cm, FPropertyId);
    TParamCollection* params = cm.Env().Params;
    TParamCollectionItem* target = params ? params->Find(FTargetVar) : nullptr;
    if (!target)
        return;
    std::unique_ptr<TCustomParam> value = GetPropertyValue(*o, id);
    TCustomParam& var = *target->Value();
    switch (value->ParamType()) {
    case PT_INT:   var.SetInteger(value->AsInteger()); break;
    case PT_FLOAT: var.SetFloat(value->AsFloat()); break;
    case PT_BOOL:  var.SetBoolean(value->AsBoolean()); break;
    default:       var.SetString(value->AsString()); break;
    }
}

void TComSetProp::Execute(TCallMan& cm, TPage*&, int32_t& pc) {
    ++pc;
    TZunoComponent* o = namedObject(cm, FObjectName);
    if (!o)
        return;
    const int32_t id = propertyId(cm, FPropertyId);
    if (TCustomParam* v = evaluate(cm, FValue))
        SetPropertyValue(*o, id, *v);
}

//==============================================================================
// Property motion
//==============================================================================

void TComPropMotion::Execute(TCallMan& cm, TPage*&, int32_t& pc) {
    ++pc;
    TZunoBaseList* reg = cm.Env().Registry;
    if (!reg)
        return;
    auto* m = static_cast<TZunoPropMotion*>(reg->CreateByKind(LT_PROPMOTION));
    if (const std::string name = textOf(cm, FMotionName); !name.empty())
        m->SetName(name);
    if (const std::string target = textOf(cm, FTargetName); !target.empty())
        m->SetTargetName(target);
    // Without a property the motion stays behind and ends at its first update.
    m->SetProperty(propertyId(cm, FPropertyId));
    if (TCustomParam* v = evaluate(cm, FEndValue))
        m->SetEndValue(v->AsFloat());
    if (TCustomParam* v = evaluate(cm, FDuration))
        m->SetDuration(v->AsInteger());
    if (TCustomParam* v = evaluate(cm, FCurve))
        m->SetCurve(static_cast<uint8_t>(v->AsInteger()));
    if (TCustomParam* v = evaluate(cm, FPaused))
        m->SetProp(PR_PAUSED, TPropValue::ofBool(v->AsBoolean()));
}

//==============================================================================
// Cabinets
//==============================================================================

void TComCabinet::moveChildren(TCallMan& cm, TZunoControl& from, TZunoControl& to) {
    TCustomParam* modeValue = evaluate(cm, FMode);
    const bool mode = modeValue && modeValue->AsBoolean();
    std::vector<std::string> names;
    for (const TExprPtr& e : FNames)
        if (TCustomParam* v = evaluate(cm, e))
            names.push_back(v->AsString());
    for (int i = from.ChildCount() - 1; i >= 0; --i) {
        if (i >= from.ChildCount())
            continue;
        TZunoControl* child = from.GetChild(i);
        bool selected = false;
        for (const std::string& n : names)
            selected = selected || child->Name() == n;
        if (selected != mode)
            child->SetParent(&to);
    }
}

void TComCabinetSave::Execute(TCallMan& cm, TPage*&, int32_t& pc) {
    ++pc;
    TZunoBaseList* reg = cm.Env().Registry;
    if (!reg)
        return;
    std::string name;
    if (TZunoParser* e = Property(PR_NAME))
        if (TCustomParam* v = evaluate(cm, e))
            name = v->AsString();
    TZunoComponent* found = reg->FindComponent(name);
    TZunoControl* cabinet = found && found->GetCompoType() == LT_CABINET ? found->AsControl() : nullptr;
    if (!cabinet) {
        cabinet = reg->CreateByKind(LT_CABINET)->AsControl();
        if (!name.empty())
            cabinet->SetName(name);
        cabinet->SetParent(reg->GetScreen(0));
    }
    moveChildren(cm, *reg->GetScreen(reg->ActiveIndex() ^ 1), *cabinet);
    if (cabinet->ChildCount() == 0)
        reg->ScheduleDelete(cabinet);
}

void TComCabinetLoad::Execute(TCallMan& cm, TPage*&, int32_t& pc) {
    ++pc;
    TZunoBaseList* reg = cm.Env().Registry;
    if (!reg)
        return;
    std::string name;
    if (TZunoParser* e = Property(PR_NAME))
        if (TCustomParam* v = evaluate(cm, e))
            name = v->AsString();
    if (name.empty())
        return;
    TZunoComponent* found = reg->FindComponent(name);
    TZunoControl* cabinet = found && found->GetCompoType() == LT_CABINET ? found->AsControl() : nullptr;
    if (!cabinet)
        return;
    moveChildren(cm, *cabinet, *reg->GetScreen(reg->ActiveIndex() ^ 1));
    if (cabinet->ChildCount() == 0)
        reg->ScheduleDelete(cabinet);
}

} // namespace zuno
