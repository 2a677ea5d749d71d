#include "objects/TZunoPropMotion.h"

#include <cmath>
#include <numbers>

#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "objects/PropertyAccess.h"
#include "objects/TZunoBaseList.h"

namespace zuno {

TReal TZunoPropMotion::valueAt(int32_t curve, TReal start, TReal end, int32_t e, int32_t d) {
    if (e == 0)
        return start;
    if (int64_t(e) >= int64_t(d) - 1)
        return end;
    const TReal halfPi = std::numbers::pi_v<TReal> / 2;
    switch (curve) {
    case kCurveEaseIn: return end - std::sin(TReal(d - e - 1) * halfPi / d) * (end - start);
    case kCurveEaseOut:  return start + std::sin(TReal(e) * halfPi / d) * (end - start);
    default:            return start + (end - start) * e / d;
    }
}

int TZunoPropMotion::Update() {
    if (!FOwner)
        return 1;
    if (!FResolved) {
        FResolved = true;
        FTarget = FOwner->FindComponent(FTargetName);
        if (!FTarget || FProperty < 0 || FProperty >= PropertyCount)
            return 1;
        try {
            FStartValue = GetPropertyValue(*FTarget, FProperty)->AsFloat();
        } catch (const EZunoError&) {
            return 1;
        }
    } else if (!FOwner->IsAlive(FTarget)) {
        return 1;                                   // the target was deleted
    }
    const bool last = FElapsed != 0 && int64_t(FElapsed) >= int64_t(FDuration) - 1;
    auto value = TCustomParam::CreateParam(PT_FLOAT);
    value->SetFloat(valueAt(FCurve, FStartValue, FEndValue, FElapsed, FDuration));
    try {
        SetPropertyValue(*FTarget, FProperty, *value);
    } catch (const EZunoError&) {
        return 1;                                   // a property scripts may not write
    }
    if (last)
        return 1;
    FElapsed += FOwner->FrameElapsed();
    return 0;
}

void TZunoPropMotion::SaveToStream(TStream& s) {
    TZunoObject::SaveToStream(s);
    std::string target = FTargetName;
    if (FResolved)
        target = FOwner && FOwner->IsRegistered(FTarget) ? FTarget->Name() : std::string();
    WriteString(s, target);
    WriteInt(s, FProperty);
    WriteExtended(s, realToExtended(FEndValue));
    WriteInt(s, FDuration);
    WriteInt(s, FCurve);
    WriteExtended(s, realToExtended(FStartValue));
    WriteInt(s, FElapsed);
    WriteBool(s, propBool(PR_PAUSED));
}

void TZunoPropMotion::LoadFromStream(TStream& s, int32_t version) {
    TZunoObject::LoadFromStream(s, version);
    FTargetName = ReadString(s);
    FProperty = ReadInt(s);
    FEndValue = extendedToReal(ReadExtended(s));
    FDuration = ReadInt(s);
    FCurve = ReadInt(s);
    FStartValue = extendedToReal(ReadExtended(s));
    FElapsed = ReadInt(s);
    if (version > 125)
        SetProp(PR_PAUSED, TPropValue::ofBool(ReadBool(s)));
    // The target is looked up again and its start value read anew.
    FTarget = nullptr;
    FResolved = false;
}

} // namespace zuno
