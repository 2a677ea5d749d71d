#include "expr/TCustomParam.h"

#include <algorithm>
#include <typeinfo>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "expr/JString.h"
#include "expr/TParamCollection.h"
#include "expr/TParamSystem.h"

namespace zuno {

// ---------------------------------------------------------------------------
// element conversions
// ---------------------------------------------------------------------------
namespace {

int32_t toInt(int32_t v) { return v; }
int32_t toInt(TReal v) { return truncToInt(v); }
int32_t toInt(uint8_t v) { return v ? 1 : 0; }
int32_t toInt(const std::string& v) { return strToIntDef(v, 0); }

TReal toFloat(int32_t v) { return v; }
TReal toFloat(TReal v) { return v; }
TReal toFloat(uint8_t v) { return v ? 1 : 0; }
TReal toFloat(const std::string& v) { auto r = tryStrToFloat(v); return r ? *r : 0; }

bool toBool(int32_t v) { return v != 0; }
bool toBool(TReal v) { return v != 0; }
bool toBool(uint8_t v) { return v != 0; }
bool toBool(const std::string& v) { return strToBool(v); }

std::string toStr(int32_t v) { return std::to_string(v); }
std::string toStr(TReal v) { return floatToStr(v); }
std::string toStr(uint8_t v) { return boolToStr(v != 0); }
const std::string& toStr(const std::string& v) { return v; }

void fromInt(int32_t& e, int32_t v) { e = v; }
void fromInt(TReal& e, int32_t v) { e = v; }
void fromInt(uint8_t& e, int32_t v) { e = v != 0; }
void fromInt(std::string& e, int32_t v) { e = std::to_string(v); }

void fromFloat(int32_t& e, TReal v) { e = truncToInt(v); }
void fromFloat(TReal& e, TReal v) { e = v; }
void fromFloat(uint8_t& e, TReal v) { e = v != 0; }
void fromFloat(std::string& e, TReal v) { e = floatToStr(v); }

void fromBool(int32_t& e, bool v) { e = v ? 1 : 0; }
void fromBool(TReal& e, bool v) { e = v ? 1 : 0; }
void fromBool(uint8_t& e, bool v) { e = v ? 1 : 0; }
void fromBool(std::string& e, bool v) { e = boolToStr(v); }

void fromStr(int32_t& e, const std::string& v) { e = strToIntDef(v, 0); }
void fromStr(TReal& e, const std::string& v) { auto r = tryStrToFloat(v); e = r ? *r : 0; }
void fromStr(uint8_t& e, const std::string& v) { e = strToBool(v); }
void fromStr(std::string& e, const std::string& v) { e = v; }

void writeElement(TStream& s, int32_t v) { WriteInt(s, v); }
void writeElement(TStream& s, TReal v) { WriteExtended(s, realToExtended(v)); }
void writeElement(TStream& s, uint8_t v) { WriteByte(s, v); }
void writeElement(TStream& s, const std::string& v) { WriteString(s, v); }

void readElement(TStream& s, int32_t& v) { v = ReadInt(s); }
void readElement(TStream& s, TReal& v) { v = extendedToReal(ReadExtended(s)); }
void readElement(TStream& s, uint8_t& v) { v = ReadByte(s) != 0 ? 1 : 0; }
void readElement(TStream& s, std::string& v) { v = ReadString(s); }

template <class E> constexpr int64_t minElementSize() {
    if constexpr (std::is_same_v<E, int32_t>) return 4;
    else if constexpr (std::is_same_v<E, TReal>) return 10;
    else if constexpr (std::is_same_v<E, uint8_t>) return 1;
    else return 4;
}

std::string joinSizes(const std::vector<int32_t>& sizes) {
    std::string r;
    for (size_t i = 0; i < sizes.size(); ++i) {
        if (i)
            r += ',';
        r += std::to_string(sizes[i]);
    }
    return r;
}

[[noreturn]] void badRecord() { throw EZunoError::fromUtf8("データが壊れています (変数の値)"); }

// Reads a dimension list and checks it against the limits.
std::vector<int32_t> readDims(TStream& s, int64_t* product) {
    int32_t d = ReadInt(s);
    checkCount(s, d, 4, "dimensions");
    std::vector<int32_t> dims(static_cast<size_t>(d));
    int64_t p = 1;
    for (auto& v : dims) {
        v = ReadInt(s);
        if (v < 1)
            badRecord();
        p *= v;
        if (p > kMaxParamElements)
            badRecord();
    }
    *product = p;
    return dims;
}

} // namespace

// ---------------------------------------------------------------------------
// TCustomParam
// ---------------------------------------------------------------------------
void TCustomParam::checkIndex(int i) const {
    if (i < 0 || i >= Count())
        throw EZunoError::fromUtf8("配列の添字が不正です");
}

int TCustomParam::DimCount() const { return FDims.empty() ? 1 : static_cast<int>(FDims.size()); }

int TCustomParam::DimSize(int k) const {
    if (k < 0 || k >= static_cast<int>(FDims.size()))
        return 1;
    return FDims[static_cast<size_t>(k)];
}

void TCustomParam::Assign(const TCustomParam&) {}

void TCustomParam::SetDims(const std::vector<int32_t>& sizes) {
    int64_t product = 1;
    bool ok = true;
    for (int32_t v : sizes) {
        if (v < 1) {
            ok = false;
            break;
        }
        product *= v;
        if (product > kMaxParamElements) {
            ok = false;
            break;
        }
    }
    if (!ok)
        throw EZunoError(sjis("配列の要素数[") + joinSizes(sizes) + sjis("]が不正です"));
    FDims = sizes;
    SetCount(static_cast<int>(product));
}

void TCustomParam::CopyFrom(const TCustomParam& other) {
    TCustomParam* self = Storage();
    const TCustomParam* src = other.Storage();
    if (!self || !src || typeid(*self) != typeid(*src))
        throw EZunoError::fromUtf8("CopyMem:変数の型があいません");
    if (self != src)
        self->Assign(*src);
}

void TCustomParam::ClearDims() {
    if (!FDims.empty()) {
        FDims.clear();
        SetCount(1);
    }
}

int TCustomParam::IndexOfString(const std::string& s, bool caseSensitive, bool partial) const {
    std::string key = caseSensitive ? s : lowerCaseSjis(s);
    int n = Count();
    for (int i = 0; i < n; ++i) {
        std::string e = GetStringAt(i);
        bool match;
        if (partial) {
            if (!caseSensitive)
                e = lowerCaseSjis(e);
            match = e.find(key) != std::string::npos;
        } else if (caseSensitive) {
            match = e == s;
        } else {
            match = sameTextSjis(e, s);
        }
        if (match)
            return i;
    }
    return -1;
}

void TCustomParam::AssignConverted(const TCustomParam& other) {
    int n = other.DimCount();
    std::vector<int32_t> sizes(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k)
        sizes[static_cast<size_t>(k)] = other.DimSize(k);
    SetDims(sizes);
    int count = std::min(other.Count(), Count());
    switch (ParamType()) {
    case PT_INT:   for (int i = 0; i < count; ++i) SetIntegerAt(i, other.GetIntegerAt(i)); break;
    case PT_FLOAT: for (int i = 0; i < count; ++i) SetFloatAt(i, other.GetFloatAt(i)); break;
    case PT_BOOL:  for (int i = 0; i < count; ++i) SetBooleanAt(i, other.GetBooleanAt(i)); break;
    case PT_STR:   for (int i = 0; i < count; ++i) SetStringAt(i, other.GetStringAt(i)); break;
    default: break;
    }
}

std::unique_ptr<TCustomParam> TCustomParam::CreateParam(uint8_t type) {
    switch (type & 0x7F) {
    case PT_NONE:  return std::make_unique<TParamVar>();
    case PT_INT:   return std::make_unique<TParamInt>();
    case PT_FLOAT: return std::make_unique<TParamFloat>();
    case PT_BOOL:  return std::make_unique<TParamFlag>();
    case PT_STR:   return std::make_unique<TParamStr>();
    default:       return nullptr;
    }
}

// ---------------------------------------------------------------------------
// TParamStorage
// ---------------------------------------------------------------------------
template <class E, uint8_t PT>
void TParamStorage<E, PT>::SetCount(int n) {
    if (n < 0)
        n = 0;
    FItems.resize(static_cast<size_t>(n));
}

template <class E, uint8_t PT>
int32_t TParamStorage<E, PT>::GetIntegerAt(int i) const { return toInt(Item(i)); }
template <class E, uint8_t PT>
void TParamStorage<E, PT>::SetIntegerAt(int i, int32_t v) { fromInt(Item(i), v); }
template <class E, uint8_t PT>
TReal TParamStorage<E, PT>::GetFloatAt(int i) const { return toFloat(Item(i)); }
template <class E, uint8_t PT>
void TParamStorage<E, PT>::SetFloatAt(int i, TReal x) { fromFloat(Item(i), x); }
template <class E, uint8_t PT>
bool TParamStorage<E, PT>::GetBooleanAt(int i) const { return toBool(Item(i)); }
template <class E, uint8_t PT>
void TParamStorage<E, PT>::SetBooleanAt(int i, bool b) { fromBool(Item(i), b); }
template <class E, uint8_t PT>
std::string TParamStorage<E, PT>::GetStringAt(int i) const { return toStr(Item(i)); }
template <class E, uint8_t PT>
void TParamStorage<E, PT>::SetStringAt(int i, const std::string& s) { fromStr(Item(i), s); }

template <class E, uint8_t PT>
void TParamStorage<E, PT>::Assign(const TCustomParam& other) {
    if (auto* o = dynamic_cast<const TParamStorage*>(&other); o && o != this) {
        FDims = o->FDims;
        FItems = o->FItems;
    }
}

template <class E, uint8_t PT>
void TParamStorage<E, PT>::FillInteger(int32_t v) {
    if constexpr (PT == PT_INT)
        for (auto& e : FItems) e = v;
}
template <class E, uint8_t PT>
void TParamStorage<E, PT>::FillFloat(TReal x) {
    if constexpr (PT == PT_FLOAT)
        for (auto& e : FItems) e = x;
}
template <class E, uint8_t PT>
void TParamStorage<E, PT>::FillBoolean(bool b) {
    if constexpr (PT == PT_BOOL)
        for (auto& e : FItems) e = b ? 1 : 0;
}
template <class E, uint8_t PT>
void TParamStorage<E, PT>::FillString(const std::string& s) {
    if constexpr (PT == PT_STR)
        for (auto& e : FItems) e = s;
}

template <class E, uint8_t PT>
void TParamStorage<E, PT>::SaveToStream(TStream& s) const {
    WriteInt(s, static_cast<int32_t>(FDims.size()));
    for (int32_t v : FDims)
        WriteInt(s, v);
    WriteInt(s, static_cast<int32_t>(FItems.size()));
    for (const E& e : FItems)
        writeElement(s, e);
}

template <class E, uint8_t PT>
void TParamStorage<E, PT>::LoadFromStream(TStream& s) {
    int64_t product = 1;
    std::vector<int32_t> dims = readDims(s, &product);
    int32_t n = ReadInt(s);
    if (n != product)
        badRecord();
    checkCount(s, n, minElementSize<E>(), "elements");
    std::vector<E> items(static_cast<size_t>(n));
    for (E& e : items)
        readElement(s, e);
    FDims = std::move(dims);
    FItems = std::move(items);
}

template <class E, uint8_t PT>
int TParamStorage<E, PT>::IndexOfString(const std::string& s, bool caseSensitive, bool partial) const {
    if constexpr (PT == PT_STR) {
        if (caseSensitive && !partial) {
            for (size_t i = 0; i < FItems.size(); ++i)
                if (FItems[i] == s)
                    return static_cast<int>(i);
            return -1;
        }
    }
    return TCustomParam::IndexOfString(s, caseSensitive, partial);
}

template <class E, uint8_t PT>
std::unique_ptr<TCustomParam> TParamStorage<E, PT>::Clone() const {
    return std::make_unique<TParamStorage>(*this);
}

template <class E, uint8_t PT>
void TParamStorage<E, PT>::Reset() {
    FDims.clear();
    FItems.resize(1);
    FItems[0] = E{};
}

template class TParamStorage<int32_t, PT_INT>;
template class TParamStorage<TReal, PT_FLOAT>;
template class TParamStorage<uint8_t, PT_BOOL>;
template class TParamStorage<std::string, PT_STR>;

// ---------------------------------------------------------------------------
// TParamVar
// ---------------------------------------------------------------------------
void TParamVar::Bind(TParamCollectionItem* item) {
    // A reference that would end up referring to itself reads as unbound.
    for (TParamCollectionItem* p = item; p;) {
        TCustomParam* v = p->Value();
        if (v == this) {
            FTarget = nullptr;
            return;
        }
        p = v ? v->BoundItem() : nullptr;
    }
    FTarget = item;
}

TCustomParam* TParamVar::target() const { return FTarget ? FTarget->Value() : nullptr; }

int TParamVar::Count() const { auto* t = target(); return t ? t->Count() : 0; }
void TParamVar::SetCount(int n) { if (auto* t = target()) t->SetCount(n); }
uint8_t TParamVar::ParamType() const { auto* t = target(); return t ? t->ParamType() : PT_NONE; }
bool TParamVar::AsBoolean() const { auto* t = target(); return t ? t->GetBooleanAt(ElementOffset) : false; }
TReal TParamVar::AsFloat() const { auto* t = target(); return t ? t->GetFloatAt(ElementOffset) : 0; }
int32_t TParamVar::AsInteger() const { auto* t = target(); return t ? t->GetIntegerAt(ElementOffset) : 0; }
std::string TParamVar::AsString() const { auto* t = target(); return t ? t->GetStringAt(ElementOffset) : std::string(); }
void TParamVar::SetBoolean(bool b) { if (auto* t = target()) t->SetBooleanAt(ElementOffset, b); }
void TParamVar::SetFloat(TReal x) { if (auto* t = target()) t->SetFloatAt(ElementOffset, x); }
void TParamVar::SetInteger(int32_t i) { if (auto* t = target()) t->SetIntegerAt(ElementOffset, i); }
void TParamVar::SetString(const std::string& s) { if (auto* t = target()) t->SetStringAt(ElementOffset, s); }
int32_t TParamVar::GetIntegerAt(int i) const { auto* t = target(); return t ? t->GetIntegerAt(i) : 0; }
void TParamVar::SetIntegerAt(int i, int32_t v) { if (auto* t = target()) t->SetIntegerAt(i, v); }
TReal TParamVar::GetFloatAt(int i) const { auto* t = target(); return t ? t->GetFloatAt(i) : 0; }
void TParamVar::SetFloatAt(int i, TReal x) { if (auto* t = target()) t->SetFloatAt(i, x); }
bool TParamVar::GetBooleanAt(int i) const { auto* t = target(); return t ? t->GetBooleanAt(i) : false; }
void TParamVar::SetBooleanAt(int i, bool b) { if (auto* t = target()) t->SetBooleanAt(i, b); }
std::string TParamVar::GetStringAt(int i) const { auto* t = target(); return t ? t->GetStringAt(i) : std::string(); }
void TParamVar::SetStringAt(int i, const std::string& s) { if (auto* t = target()) t->SetStringAt(i, s); }
int TParamVar::DimCount() const { auto* t = target(); return t ? t->DimCount() : TCustomParam::DimCount(); }
int TParamVar::DimSize(int k) const { auto* t = target(); return t ? t->DimSize(k) : TCustomParam::DimSize(k); }
void TParamVar::Assign(const TCustomParam& other) { if (auto* t = target()) t->Assign(other); }
void TParamVar::SetDims(const std::vector<int32_t>& sizes) { if (auto* t = target()) t->SetDims(sizes); }
void TParamVar::FillInteger(int32_t v) { if (auto* t = target()) t->FillInteger(v); }
void TParamVar::FillFloat(TReal x) { if (auto* t = target()) t->FillFloat(x); }
void TParamVar::FillBoolean(bool b) { if (auto* t = target()) t->FillBoolean(b); }
void TParamVar::FillString(const std::string& s) { if (auto* t = target()) t->FillString(s); }
void TParamVar::CopyFrom(const TCustomParam& other) {
    if (auto* t = target())
        t->CopyFrom(other);
    else
        throw EZunoError::fromUtf8("CopyMem:変数の型があいません");
}
void TParamVar::ClearDims() { if (auto* t = target()) t->ClearDims(); }
int TParamVar::IndexOfString(const std::string& s, bool caseSensitive, bool partial) const {
    auto* t = target();
    return t ? t->IndexOfString(s, caseSensitive, partial) : -1;
}
TCustomParam* TParamVar::Storage() { auto* t = target(); return t ? t->Storage() : nullptr; }

void TParamVar::SaveToStream(TStream& s) const {
    WriteInt(s, static_cast<int32_t>(FDims.size()));
    for (int32_t v : FDims)
        WriteInt(s, v);
    WriteString(s, FVarName);
    WriteString(s, FTarget ? FTarget->Name() : std::string());
    WriteByte(s, Reserved);
    WriteInt(s, ElementOffset);
}

void TParamVar::LoadFromStream(TStream& s) {
    int64_t product = 1;
    std::vector<int32_t> dims = readDims(s, &product);
    std::string name = ReadString(s);
    std::string bound = ReadString(s);
    uint8_t reserved = ReadByte(s);
    int32_t offset = ReadInt(s);
    FDims = std::move(dims);
    FVarName = std::move(name);
    FLoadedBoundName = std::move(bound);
    Reserved = reserved;
    ElementOffset = offset;
    FTarget = nullptr;
}

std::unique_ptr<TCustomParam> TParamVar::Clone() const {
    auto r = std::make_unique<TParamVar>(FVarName);
    r->ElementOffset = ElementOffset;
    r->Reserved = Reserved;
    return r;
}

} // namespace zuno
