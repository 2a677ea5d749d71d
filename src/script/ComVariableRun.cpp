// What the statement and variable commands do when they run.
#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "expr/TParamCollection.h"
#include "expr/TSysFuncMan.h"
#include "expr/TZunoParser.h"
#include "script/ComObject.h"
#include "script/TCallMan.h"

namespace zuno {

namespace {

// The value of an expression, or none when it is absent or yields nothing.
TCustomParam* evaluate(TCallMan& cm, const TExprPtr& e) {
    TSysFuncMan* funcs = cm.Env().Funcs;
    if (!e || e->Empty() || !funcs)
        return nullptr;
    e->Execute(*funcs);
    return e->Result();
}

// Stores v into target as v read in the declared type, then through the
// target's own conversion.
void storeAs(TCustomParam& target, const TCustomParam& v, uint8_t declaredType) {
    switch (declaredType) {
    case PT_INT: target.SetInteger(v.AsInteger()); break;
    case PT_FLOAT: target.SetFloat(v.AsFloat()); break;
    case PT_BOOL: target.SetBoolean(v.AsBoolean()); break;
    case PT_STR: target.SetString(v.AsString()); break;
    default: break;
    }
}

} // namespace

void TComCalc::Execute(TCallMan& cm, TPage*&, int32_t& pc) {
    ++pc;
    evaluate(cm, FStatement);
}

void TComVarNew::Execute(TCallMan& cm, TPage*&, int32_t& pc) {
    ++pc;
    if (FName.empty())
        throw EZunoError(sjis("変数名がありません"));
    TParamCollection* params = cm.Env().Params;
    if (!params)
        return;
    TVarScope scope = FScope <= vsStatus ? static_cast<TVarScope>(FScope) : vsGlobal;
    bool created = false;
    TParamCollectionItem* item = params->CreateVariable(FName, FValueType, scope, &created);
    if (!created && item->Status)
        return;                 // a status variable keeps the value it survived with
    if (TCustomParam* v = evaluate(cm, FInitValue))
        storeAs(*item->Value(), *v, FValueType);
}

void TComVarDel::Execute(TCallMan& cm, TPage*&, int32_t& pc) {
    ++pc;
    TParamCollection* params = cm.Env().Params;
    if (FName.empty() || !params)
        return;
    if (TParamCollectionItem* item = params->Find(FName))
        params->DeleteItem(item);
}

} // namespace zuno
