#include "objects/TZunoObject.h"

#include "core/StreamFields.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoControl.h"

namespace zuno {

//==============================================================================
// Naming and ordering
//==============================================================================

void TZunoObject::SetName(const std::string& name) {
    if (name == FName)
        return;
    if (FOwner) {
        const int i = FOwner->IndexOfName(name);
        TZunoObject* other = i >= 0 ? FOwner->Objects(i) : nullptr;
        if (other && other != this) {
            if (!AsControl())
                FOwner->ScheduleDelete(other);       // clears its name at once
            else
                other->FName = FOwner->NumberedName(other->FName);
        }
    }
    FName = name;
}

void TZunoObject::SetPriority(int32_t value) {
    if (value == FPriority)
        return;
    FPriority = value;
    FPriorityBias = 0;
    if (TZunoControl* c = AsControl())
        c->priorityChanged();
}

void TZunoObject::SetPriorityBias(int32_t bias) {
    if (bias == FPriorityBias)
        return;
    FPriorityBias = bias;
    if (TZunoControl* c = AsControl())
        c->priorityChanged();
}

bool TZunoObject::IsPendingDelete() const { return FOwner && FOwner->IsPendingDelete(this); }

void TZunoObject::ScheduleDelete() {
    if (FOwner)
        FOwner->ScheduleDelete(this);
}

//==============================================================================
// Properties
//==============================================================================

TPropValue* TZunoObject::storedProp(int id) {
    for (auto& [k, v] : FStored)
        if (k == id)
            return &v;
    return nullptr;
}

TPropValue TZunoObject::InitialValue(int id) { return propertyDefault(id); }

TPropValue TZunoObject::GetProp(int id) {
    switch (id) {
    case PR_NAME:       return TPropValue::ofStr(FName);
    case PR_PRIORITY:   return TPropValue::ofInt(FPriority);
    case PR_TAG:        return TPropValue::ofStr(FTag);
    case PR_COMPOTYPE:  return TPropValue::ofInt(GetCompoType());
    case PR_APPEARX:
    case PR_APPEARY:    return TPropValue::ofInt(0);
    default:            break;
    }
    if (ImplementsProperty(id)) {
        if (const TPropValue* v = storedProp(id))
            return *v;
        return InitialValue(id);
    }
    // The unscaled size of a kind without a picture is its size.
    if (id == PR_ORIGWIDTH)
        return TPropValue::ofInt(GetProp(PR_WIDTH).Int);
    if (id == PR_ORIGHEIGHT)
        return TPropValue::ofInt(GetProp(PR_HEIGHT).Int);
    return propertyDefault(id);
}

void TZunoObject::SetProp(int id, const TPropValue& value) {
    switch (id) {
    case PR_NAME:       SetName(value.Str); return;
    case PR_PRIORITY:   SetPriority(value.Int); return;
    case PR_TAG:        FTag = value.Str; return;
    default:            break;
    }
    if (isReadOnlyProperty(id) || isUnwritableProperty(id) || !ImplementsProperty(id))
        return;
    TPropValue v = value;
    v.Type = propertyValueType(id);
    if (TPropValue* old = storedProp(id))
        *old = std::move(v);
    else
        FStored.emplace_back(static_cast<uint8_t>(id), std::move(v));
}

//==============================================================================
// Events
//==============================================================================

bool TZunoObject::PostEvent(uint8_t id, const std::vector<std::string>* arguments) {
    if (!FOwner)
        return false;
    const std::string handler = propStr(id);
    if (handler.empty() || EventsSuppressed())
        return false;
    switch (id) {
    case PR_ONMOUSEMOVE: case PR_ONLBTNDOWN: case PR_ONRBTNDOWN: case PR_ONWHEELDOWN: case PR_ONWHEELUP:
    case PR_ONIDLE: case PR_ONKEYDOWN: case PR_ONKEYUP: case PR_ONKEYREPEAT:
        if (FOwner->Events().FindPending(this, id) >= 0)
            return false;
        break;
    default:
        break;
    }
    FOwner->Events().Post(this, handler, arguments, id);
    return true;
}

//==============================================================================
// Save record
//==============================================================================

void TZunoObject::SaveToStream(TStream& s) {
    WriteString(s, FName);
    WriteInt(s, FPriority);
    WriteInt(s, FPriorityBias);
    WriteString(s, FTag);
}

void TZunoObject::LoadFromStream(TStream& s, int32_t version) {
    FName = ReadString(s);
    FPriority = ReadInt(s);
    FPriorityBias = version > 103 ? ReadInt(s) : 0;
    if (version >= 120)
        FTag = ReadString(s);
}

//==============================================================================
// Property list
//==============================================================================

std::string propValueText(const TPropValue& v) {
    switch (v.Type) {
    case PT_INT:   return std::to_string(v.Int);
    case PT_FLOAT: return floatToStr(v.Float);
    case PT_BOOL:  return boolToStr(v.Bool);
    case PT_STR:   return v.Str;
    default:       return {};
    }
}

void TZunoObject::ListProperties(std::vector<std::pair<std::string, std::string>>& rows) {
    for (int id = 0; id < PropertyCount; ++id)
        rows.emplace_back(std::string(propertyName(id)), propValueText(GetProp(id)));
}

} // namespace zuno
