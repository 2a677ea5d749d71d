#include "expr/TParamSystem.h"

#include "core/EZunoError.h"
#include "expr/TParamCollection.h"

namespace zuno {

const TSystemVarInfo kSystemVars[kSystemVarCount] = {
    {"@Result", PT_NONE, true, false},         {"@LClick", PT_BOOL, true, false},
    {"@RClick", PT_BOOL, true, false},         {"@LPush", PT_BOOL, false, false},
    {"@RPush", PT_BOOL, false, false},         {"@MouseX", PT_INT, true, false},
    {"@MouseY", PT_INT, true, false},          {"@TextDelay", PT_INT, true, false},
    {"@HistoryCount", PT_INT, false, false},   {"@ParamCount", PT_INT, false, false},
    {"@ParamStr", PT_STR, false, true},        {"@Sender", PT_STR, false, false},
    {"@ScrWidth", PT_INT, false, false},       {"@ScrHeight", PT_INT, false, false},
    {"@TickCount", PT_INT, false, false},      {"@PCTickCount", PT_INT, false, false},
    {"@UpdateCount", PT_INT, false, false},    {"@Year", PT_INT, false, false},
    {"@Month", PT_INT, false, false},          {"@Day", PT_INT, false, false},
    {"@Week", PT_INT, false, false},           {"@Hour", PT_INT, false, false},
    {"@Min", PT_INT, false, false},            {"@Sec", PT_INT, false, false},
    {"@Fonts", PT_STR, false, false},          {"@FixedFonts", PT_STR, false, false},
    {"@FullScr", PT_BOOL, true, false},        {"@Cursor", PT_STR, true, false},
    {"@SelStr", PT_STR, true, false},          {"@SelIndex", PT_INT, true, false},
    {"@Pi", PT_FLOAT, false, false},           {"@CGDither", PT_BOOL, true, false},
    {"@1Hour", PT_FLOAT, false, false},        {"@1Min", PT_FLOAT, false, false},
    {"@1Sec", PT_FLOAT, false, false},         {"@KeyPush", PT_BOOL, false, true},
    {"@KeyClick", PT_BOOL, false, true},       {"@DisplayModeCount", PT_INT, false, false},
    {"@DisplayModeIndex", PT_INT, true, false}, {"@Title", PT_STR, false, false},
    {"@SoundON", PT_BOOL, true, false},        {"@ActiveCompo", PT_STR, true, false},
    {"@KeyRepeat", PT_BOOL, false, true},      {"@HistoryMaxCount", PT_INT, true, false},
    {"@Temp", PT_NONE, true, false},           {"@MidiPort", PT_STR, true, false},
    {"@MidiPorts", PT_STR, false, true},       {"@WheelDown", PT_BOOL, false, false},
    {"@WheelUp", PT_BOOL, false, false},       {"@IsDebug", PT_BOOL, false, false},
};

namespace {

// Conversions of system values: reading a text as flag means "not empty",
// as int32 or real an integer parse.
int32_t sysAsInt(uint8_t type, const TSysValue& v) {
    switch (type) {
    case PT_INT:   return v.Int;
    case PT_FLOAT: return truncToInt(v.Float);
    case PT_BOOL:  return v.Flag ? 1 : 0;
    case PT_STR:   return strToIntDef(v.Str, 0);
    default:       return 0;
    }
}

TReal sysAsFloat(uint8_t type, const TSysValue& v) {
    switch (type) {
    case PT_INT:   return v.Int;
    case PT_FLOAT: return v.Float;
    case PT_BOOL:  return v.Flag ? 1 : 0;
    case PT_STR:   return strToIntDef(v.Str, 0);
    default:       return 0;
    }
}

bool sysAsBool(uint8_t type, const TSysValue& v) {
    switch (type) {
    case PT_INT:   return v.Int != 0;
    case PT_FLOAT: return v.Float != 0;
    case PT_BOOL:  return v.Flag;
    case PT_STR:   return !v.Str.empty();
    default:       return false;
    }
}

std::string sysAsStr(uint8_t type, const TSysValue& v) {
    switch (type) {
    case PT_INT:   return std::to_string(v.Int);
    case PT_FLOAT: return floatToStr(v.Float);
    case PT_BOOL:  return boolToStr(v.Flag);
    case PT_STR:   return v.Str;
    default:       return {};
    }
}

} // namespace

TParamSystem::TParamSystem(TParamCollection& owner, uint8_t systemId) : FOwner(owner), FSystemId(systemId) {
    if (systemId >= kSystemVarCount)
        throw EZunoError::fromUtf8("内部エラー");
}

TCustomParam* TParamSystem::forwarded() const {
    if (FSystemId == SV_RESULT)
        return FOwner.ResultProvider ? FOwner.ResultProvider() : nullptr;
    if (FSystemId == SV_TEMP) {
        if (FOwner.TempName.empty())
            return nullptr;
        TParamCollectionItem* item = FOwner.Find(FOwner.TempName);
        if (!item || item->Value() == this)
            return nullptr;
        // "@Temp" standing for "@Temp" (directly or through references) is none.
        for (TParamCollectionItem* p = item; p;) {
            TCustomParam* v = p->Value();
            if (v == this)
                return nullptr;
            p = v ? v->BoundItem() : nullptr;
        }
        return item->Value();
    }
    return nullptr;
}

bool TParamSystem::isArray() const { return kSystemVars[FSystemId].IsArray; }

TSysValue TParamSystem::read() const {
    const TSystemVarAccess& a = FOwner.SystemAccess(FSystemId);
    return a.get ? a.get() : TSysValue{};
}

TSysValue TParamSystem::readAt(int i) const {
    if (!isArray())
        return read();
    const TSystemVarAccess& a = FOwner.SystemAccess(FSystemId);
    int n = a.count ? a.count() : 0;
    if (i < 0 || i >= n || !a.getAt)
        return TSysValue{};
    return a.getAt(i);
}

void TParamSystem::store(const TSysValue& v) {
    if (!kSystemVars[FSystemId].Writable)
        return;
    const TSystemVarAccess& a = FOwner.SystemAccess(FSystemId);
    if (a.set)
        a.set(v);
}

int TParamSystem::Count() const {
    if (isForwarding()) {
        TCustomParam* f = forwarded();
        return f ? f->Count() : 1;
    }
    if (isArray()) {
        const TSystemVarAccess& a = FOwner.SystemAccess(FSystemId);
        return a.count ? a.count() : 0;
    }
    return 1;
}

void TParamSystem::SetCount(int n) { if (TCustomParam* f = forwarded()) f->SetCount(n); }

uint8_t TParamSystem::ParamType() const {
    if (isForwarding()) {
        TCustomParam* f = forwarded();
        return f ? f->ParamType() : PT_NONE;
    }
    return kSystemVars[FSystemId].Type;
}

bool TParamSystem::AsBoolean() const {
    if (isForwarding()) { TCustomParam* f = forwarded(); return f ? f->AsBoolean() : false; }
    if (isArray()) return false;
    return sysAsBool(ParamType(), read());
}
TReal TParamSystem::AsFloat() const {
    if (isForwarding()) { TCustomParam* f = forwarded(); return f ? f->AsFloat() : 0; }
    if (isArray()) return sysAsFloat(ParamType(), TSysValue{});
    return sysAsFloat(ParamType(), read());
}
int32_t TParamSystem::AsInteger() const {
    if (isForwarding()) { TCustomParam* f = forwarded(); return f ? f->AsInteger() : 0; }
    if (isArray()) return 0;
    return sysAsInt(ParamType(), read());
}
std::string TParamSystem::AsString() const {
    if (isForwarding()) { TCustomParam* f = forwarded(); return f ? f->AsString() : std::string(); }
    if (isArray()) {
        // "@MidiPorts" reads element 0 as its scalar; the other arrays read empty/false.
        if (FSystemId == SV_MIDIPORTS)
            return sysAsStr(PT_STR, readAt(0));
        return sysAsStr(ParamType(), TSysValue{});
    }
    return sysAsStr(ParamType(), read());
}

void TParamSystem::SetBoolean(bool b) {
    if (isForwarding()) { if (TCustomParam* f = forwarded()) f->SetBoolean(b); return; }
    switch (ParamType()) {
    case PT_INT:   store(TSysValue::ofInt(b ? 1 : 0)); break;
    case PT_FLOAT: store(TSysValue::ofFloat(b ? 1 : 0)); break;
    case PT_BOOL:  store(TSysValue::ofFlag(b)); break;
    case PT_STR:   store(TSysValue::ofStr(boolToStr(b))); break;
    default: break;
    }
}
void TParamSystem::SetFloat(TReal x) {
    if (isForwarding()) { if (TCustomParam* f = forwarded()) f->SetFloat(x); return; }
    switch (ParamType()) {
    case PT_INT:   store(TSysValue::ofInt(truncToInt(x))); break;
    case PT_FLOAT: store(TSysValue::ofFloat(x)); break;
    case PT_BOOL:  store(TSysValue::ofFlag(x != 0)); break;
    case PT_STR:   store(TSysValue::ofStr(floatToStr(x))); break;
    default: break;
    }
}
void TParamSystem::SetInteger(int32_t i) {
    if (isForwarding()) { if (TCustomParam* f = forwarded()) f->SetInteger(i); return; }
    switch (ParamType()) {
    case PT_INT:   store(TSysValue::ofInt(i)); break;
    case PT_FLOAT: store(TSysValue::ofFloat(i)); break;
    case PT_BOOL:  store(TSysValue::ofFlag(i != 0)); break;
    case PT_STR:   store(TSysValue::ofStr(std::to_string(i))); break;
    default: break;
    }
}
void TParamSystem::SetString(const std::string& s) {
    if (isForwarding()) { if (TCustomParam* f = forwarded()) f->SetString(s); return; }
    switch (ParamType()) {
    case PT_INT:
        if (auto v = tryStrToInt(s)) store(TSysValue::ofInt(*v));
        break;
    case PT_FLOAT:
        if (auto v = tryStrToFloat(s)) store(TSysValue::ofFloat(*v));
        break;
    case PT_BOOL:
        store(TSysValue::ofFlag(strToIntDef(s, 0) != 0));
        break;
    case PT_STR:
        store(TSysValue::ofStr(s));
        break;
    default: break;
    }
}

int32_t TParamSystem::GetIntegerAt(int i) const {
    if (isForwarding()) { TCustomParam* f = forwarded(); return f ? f->GetIntegerAt(i) : 0; }
    return sysAsInt(ParamType(), readAt(i));
}
TReal TParamSystem::GetFloatAt(int i) const {
    if (isForwarding()) { TCustomParam* f = forwarded(); return f ? f->GetFloatAt(i) : 0; }
    return sysAsFloat(ParamType(), readAt(i));
}
bool TParamSystem::GetBooleanAt(int i) const {
    if (isForwarding()) { TCustomParam* f = forwarded(); return f ? f->GetBooleanAt(i) : false; }
    return sysAsBool(ParamType(), readAt(i));
}
std::string TParamSystem::GetStringAt(int i) const {
    if (isForwarding()) { TCustomParam* f = forwarded(); return f ? f->GetStringAt(i) : std::string(); }
    return sysAsStr(ParamType(), readAt(i));
}
// Element stores of a scalar system variable are scalar stores; the arrays are read-only.
void TParamSystem::SetIntegerAt(int i, int32_t v) {
    if (isForwarding()) { if (TCustomParam* f = forwarded()) f->SetIntegerAt(i, v); return; }
    if (!isArray()) SetInteger(v);
}
void TParamSystem::SetFloatAt(int i, TReal x) {
    if (isForwarding()) { if (TCustomParam* f = forwarded()) f->SetFloatAt(i, x); return; }
    if (!isArray()) SetFloat(x);
}
void TParamSystem::SetBooleanAt(int i, bool b) {
    if (isForwarding()) { if (TCustomParam* f = forwarded()) f->SetBooleanAt(i, b); return; }
    if (!isArray()) SetBoolean(b);
}
void TParamSystem::SetStringAt(int i, const std::string& s) {
    if (isForwarding()) { if (TCustomParam* f = forwarded()) f->SetStringAt(i, s); return; }
    if (!isArray()) SetString(s);
}

int TParamSystem::DimCount() const {
    if (isForwarding()) { TCustomParam* f = forwarded(); return f ? f->DimCount() : 1; }
    return 1;
}
int TParamSystem::DimSize(int k) const {
    if (isForwarding()) { TCustomParam* f = forwarded(); return f ? f->DimSize(k) : 1; }
    return k == 0 ? Count() : 1;
}
void TParamSystem::Assign(const TCustomParam& other) { if (TCustomParam* f = forwarded()) f->Assign(other); }
void TParamSystem::SetDims(const std::vector<int32_t>& sizes) { if (TCustomParam* f = forwarded()) f->SetDims(sizes); }
void TParamSystem::FillInteger(int32_t v) { if (TCustomParam* f = forwarded()) f->FillInteger(v); }
void TParamSystem::FillFloat(TReal x) { if (TCustomParam* f = forwarded()) f->FillFloat(x); }
void TParamSystem::FillBoolean(bool b) { if (TCustomParam* f = forwarded()) f->FillBoolean(b); }
void TParamSystem::FillString(const std::string& s) { if (TCustomParam* f = forwarded()) f->FillString(s); }
void TParamSystem::CopyFrom(const TCustomParam& other) {
    if (TCustomParam* f = forwarded())
        f->CopyFrom(other);
    else
        TCustomParam::CopyFrom(other);   // not a storage value: the type error
}
void TParamSystem::ClearDims() { if (TCustomParam* f = forwarded()) f->ClearDims(); }
int TParamSystem::IndexOfString(const std::string& s, bool caseSensitive, bool partial) const {
    if (isForwarding()) { TCustomParam* f = forwarded(); return f ? f->IndexOfString(s, caseSensitive, partial) : -1; }
    return TCustomParam::IndexOfString(s, caseSensitive, partial);
}

void TParamSystem::SaveToStream(TStream&) const { throw EZunoError::fromUtf8("内部エラー"); }
void TParamSystem::LoadFromStream(TStream&) { throw EZunoError::fromUtf8("内部エラー"); }

std::unique_ptr<TCustomParam> TParamSystem::Clone() const {
    if (isForwarding()) {
        TCustomParam* f = forwarded();
        return f ? f->Clone() : std::make_unique<TParamVar>();
    }
    std::unique_ptr<TCustomParam> r = CreateParam(ParamType());
    if (isArray()) {
        if (Count() > 0)
            r->AssignConverted(*this);
        return r;
    }
    switch (ParamType()) {
    case PT_INT:   r->SetInteger(AsInteger()); break;
    case PT_FLOAT: r->SetFloat(AsFloat()); break;
    case PT_BOOL:  r->SetBoolean(AsBoolean()); break;
    case PT_STR:   r->SetString(AsString()); break;
    default: break;
    }
    return r;
}

} // namespace zuno
