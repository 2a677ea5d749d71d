#include "script/ComObject.h"

#include <algorithm>

#include "core/StreamFields.h"
#include "script/TPage.h"

namespace zuno {

//==============================================================================
// TComComponent
//==============================================================================

void TComComponent::Fields(TRecordFields& f) {
    // One expression for each identifier in the page's set for this type, in
    // ascending order. Without a page no identifier is in the set.
    if (!FPage)
        return;
    for (int id = 0; id < PropertyCount; ++id) {
        if (!FPage->HasProperty(TypeCode(), id))
            continue;
        if (TExprPtr* e = slot(id)) {
            f.Expr(PropertyInfos[id].name.data(), *e);
        } else {
            TExprPtr read;                                  // filled only by a reader
            f.Expr(PropertyInfos[id].name.data(), read);
            if (read)
                SetProperty(id, std::move(read));
        }
    }
}

TExprPtr* TComComponent::slot(int id) {
    auto it = std::lower_bound(FProperties.begin(), FProperties.end(), id,
                               [](const auto& p, int key) { return p.first < key; });
    return it != FProperties.end() && it->first == id ? &it->second : nullptr;
}

TZunoParser* TComComponent::Property(int id) const {
    TExprPtr* e = const_cast<TComComponent*>(this)->slot(id);
    return e ? e->get() : nullptr;
}

void TComComponent::SetProperty(int id, TExprPtr e) {
    if (id < 0 || id >= PropertyCount)
        return;
    // An expression is stored only for identifiers in the page's set of this
    // type, so giving one puts the identifier into the set.
    if (e && FPage)
        FPage->SetProperty(TypeCode(), id, true);
    if (TExprPtr* existing = slot(id)) {
        *existing = std::move(e);
        return;
    }
    auto it = std::lower_bound(FProperties.begin(), FProperties.end(), id,
                               [](const auto& p, int key) { return p.first < key; });
    FProperties.emplace(it, static_cast<uint8_t>(id), std::move(e));
}

void TComCabinet::Fields(TRecordFields& f) {
    TComComponent::Fields(f);
    f.Expr("mode", FMode);
    f.ExprList("names", FNames);
}

//==============================================================================
// TComFlip
//==============================================================================

void TComFlip::Fields(TRecordFields& f) {
    f.Expr("kind", FKind);
    f.Expr("duration", FDuration);
    f.Expr("param", FParam);
    f.Expr("mode", FMode);
    f.ExprList("names", FNames);
    f.Expr("clearBack", FClearBack);
    f.Expr("wipeParam0", FWipeParam0);
    f.Expr("wipeParam1", FWipeParam1);
    if (f.Version > 100)
        f.Expr("wipeText", FWipeText);
    if (f.Version > 106)
        f.Expr("eventLock", FEventLock);
}

void TComFlip::SaveState(TStream& s) const {
    writeStatePrefix(s);
    WriteBool(s, FLocked);
    WriteBool(s, FClearing);
}

void TComFlip::LoadState(TStream& s) {
    if (readStatePrefix(s) >= 100) {
        FLocked = ReadBool(s);
        FClearing = ReadBool(s);
    }
}

//==============================================================================
// Statements, variables, properties, motions
//==============================================================================

void TComCalc::Fields(TRecordFields& f) { f.Expr("statement", FStatement); }

void TComVarNew::Fields(TRecordFields& f) {
    f.Text("name", FName);
    f.Byte("type", FValueType);
    f.Expr("value", FInitValue);
    f.Byte("scope", FScope);
}

void TComVarDel::Fields(TRecordFields& f) { f.Text("name", FName); }

void TComGetProp::Fields(TRecordFields& f) {
    f.Expr("object", FObjectName);
    f.Expr("property", FPropertyId);
    f.Text("variable", FTargetVar);
}

void TComSetProp::Fields(TRecordFields& f) {
    f.Expr("object", FObjectName);
    f.Expr("property", FPropertyId);
    f.Expr("value", FValue);
}

void TComObjDel::Fields(TRecordFields& f) { f.Expr("object", FObjectName); }

void TComPropMotion::Fields(TRecordFields& f) {
    f.Expr("name", FMotionName);
    f.Expr("target", FTargetName);
    f.Expr("property", FPropertyId);
    f.Expr("endValue", FEndValue);
    f.Expr("duration", FDuration);
    f.Expr("curve", FCurve);
    if (f.Version > 107)
        f.Expr("paused", FPaused);
}

} // namespace zuno
