#include "expr/TZunoParser.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <stdexcept>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "expr/TParamCollection.h"
#include "expr/ZunoOpCode.h"

namespace zuno {

std::function<uint8_t(uint8_t)> TZunoParser::PropertyType;

namespace {

constexpr int kMaxPropertyId = 162;

EZunoError badExpression() { return EZunoError::fromUtf8("式のデータが壊れています"); }

// ---------------------------------------------------------------------------
// Loading

std::unique_ptr<TCustomParam> readOperand(TStream& s) {
    uint8_t kind = ReadByte(s);
    switch (kind) {
    case okVariable:
        return std::make_unique<TParamVar>(ReadString(s));
    case okInteger: {
        auto p = std::make_unique<TParamInt>();
        p->SetInteger(ReadInt(s));
        return p;
    }
    case okFloat: {
        auto p = std::make_unique<TParamFloat>();
        p->SetFloat(extendedToReal(ReadExtended(s)));
        return p;
    }
    case okFlag: {
        auto p = std::make_unique<TParamFlag>();
        p->SetBoolean(ReadByte(s) != 0);
        return p;
    }
    case okString: {
        auto p = std::make_unique<TParamStr>();
        p->SetString(ReadString(s));
        return p;
    }
    default:
        throw badExpression();
    }
}

void writeOperand(TStream& s, const TCustomParam& p) {
    if (auto* ref = dynamic_cast<const TParamVar*>(&p)) {
        WriteByte(s, okVariable);
        WriteString(s, ref->VarName());
        return;
    }
    switch (p.ParamType()) {
    case PT_INT:   WriteByte(s, okInteger); WriteInt(s, p.AsInteger()); break;
    case PT_FLOAT: WriteByte(s, okFloat); WriteExtended(s, realToExtended(p.AsFloat())); break;
    case PT_BOOL:  WriteByte(s, okFlag); WriteByte(s, p.AsBoolean() ? 1 : 0); break;
    default:       WriteByte(s, okString); WriteString(s, p.AsString()); break;
    }
}

// Everything Execute would otherwise work out again for every run.
void prepare(TOpeData& op) {
    op.VarOperands.clear();
    op.VarKeys.clear();
    for (size_t i = 0; i < op.Operands.size(); ++i)
        if (auto* ref = dynamic_cast<TParamVar*>(op.Operands[i].get())) {
            op.VarOperands.push_back(static_cast<uint16_t>(i));
            op.VarKeys.push_back(lowerCaseSjis(ref->VarName()));
        }
    op.ResultKey = lowerCaseSjis(op.ResultName);
    op.ResultIsTemp = isTempName(op.ResultName);
    op.VarIsTemp.clear();
    for (const std::string& key : op.VarKeys)
        op.VarIsTemp.push_back(isTempName(key) ? 1 : 0);
    op.VarItems.assign(op.VarKeys.size(), nullptr);
    op.ResultItem = nullptr;
    op.ResolvedTable = nullptr;
}

// ---------------------------------------------------------------------------
// Running

EZunoError missingVariable(const std::string& name) {
    return EZunoError("\"" + name + "\"" + sjis(" 変数がありません"));
}

TCustomParam& operand(const TOpeData& op, size_t i) {
    if (i >= op.Operands.size())
        throw badExpression();
    return *op.Operands[i];
}

// A real result that the 80-bit unit would have trapped (overflow, invalid).
TReal checkedReal(TReal x) {
    if (!std::isfinite(x))
        throw EZunoError::fromUtf8("浮動小数点演算でオーバーフローしました");
    return x;
}

EZunoError divisionByZero() { return EZunoError::fromUtf8("0 で除算しました"); }

// Looks up the names of one operation that are not temporaries, unless the
// items found last time still stand: the same table with the same look-up
// generation and call depth finds the same items again.
void resolveNames(TOpeData& op, const TParamCollection& params) {
    if (op.ResolvedTable == &params && op.ResolvedGeneration == params.LookupGeneration() &&
        op.ResolvedDepth == params.CurrentDepth)
        return;
    for (size_t k = 0; k < op.VarKeys.size(); ++k)
        op.VarItems[k] = op.VarIsTemp[k] ? nullptr : params.FindKey(op.VarKeys[k]);
    op.ResultItem = op.ResultIsTemp ? nullptr : params.FindKey(op.ResultKey);
    op.ResolvedTable = &params;
    op.ResolvedGeneration = params.LookupGeneration();
    op.ResolvedDepth = params.CurrentDepth;
}

// Binds the name operands of one operation and unbinds them on every way out.
// Temporaries are looked up in the table, or, with ownTemps, taken from the
// parser's own slots.
class OperandBinding {
public:
    OperandBinding(TOpeData& op, const TParamCollection& params, const std::vector<TParamCollectionItem*>* ownTemps)
        : FOp(op) {
        resolveNames(op, params);
        try {
            for (size_t k = 0; k < op.VarOperands.size(); ++k) {
                auto& ref = static_cast<TParamVar&>(*op.Operands[op.VarOperands[k]]);
                TParamCollectionItem* item;
                if (!op.VarIsTemp[k])
                    item = op.VarItems[k];
                else if (ownTemps)
                    item = (*ownTemps)[static_cast<size_t>(op.VarTempSlot[k])];
                else
                    item = params.FindKey(op.VarKeys[k]);
                if (!item)
                    throw missingVariable(ref.VarName());
                ++FBound;
                // A variable that is itself an element reference: read its element.
                // (Only a bound TParamVar has a BoundItem.)
                if (TParamCollectionItem* target = item->Value()->BoundItem()) {
                    ref.Bind(target);
                    ref.ElementOffset = static_cast<TParamVar&>(*item->Value()).ElementOffset;
                } else {
                    ref.Bind(item);
                    ref.ElementOffset = 0;
                }
            }
        } catch (...) {
            unbind();
            throw;
        }
    }
    ~OperandBinding() { unbind(); }

private:
    void unbind() {
        for (size_t k = 0; k < FBound; ++k)
            static_cast<TParamVar&>(*FOp.Operands[FOp.VarOperands[k]]).Unbind();
        FBound = 0;
    }

    TOpeData&           FOp;
    size_t              FBound = 0;
};

uint8_t functionResultType(const TOpeData& op) {
    if (op.FunctionNo >= kSysFuncCount)
        throw badExpression();
    if (op.FunctionNo != 2)
        return kSysFuncs[op.FunctionNo].ResultType;
    // GetProp: the declared type of the property named by its second argument.
    if (op.Operands.size() < 2)
        throw EZunoError::fromUtf8("GetPropの引数が違います");
    uint8_t prop = static_cast<uint8_t>(op.Operands[1]->AsInteger());
    if (prop > kMaxPropertyId)
        throw EZunoError::fromUtf8("GetPropの引数が違います");
    if (TZunoParser::PropertyType) {
        uint8_t t = TZunoParser::PropertyType(prop);
        if (t >= PT_INT && t <= PT_STR)
            return t;
    }
    return kSysFuncs[2].ResultType;
}

// Built-in functions that only compute their result from their arguments'
// values: while they run, nothing looks at the table's temporaries.
bool isPureFunction(uint8_t number) {
    static const std::vector<bool> pure = [] {
        std::vector<bool> r(kSysFuncCount, false);
        for (const char* name : {"IntToStr", "IntToHex", "Length", "JLength", "Copy", "JCopy", "CompareStr",
                                 "CompareText", "Pos", "JPos", "Trim", "JTrim", "Not", "Int", "Float", "Sin", "Cos",
                                 "Tan", "Abs", "Fabs", "LowerCase", "UpperCase", "Min", "Max"}) {
            int k = sysFuncIndexOf(name);
            if (k >= 0)
                r[static_cast<size_t>(k)] = true;
        }
        return r;
    }();
    return number < pure.size() && pure[number];
}

EZunoError invalidOperation(const TOpeData& op) {
    std::string text = sjis("不正な式\r\n\r\n代入先:") + op.ResultName + sjis("演算タイプ:") + opCodeName(op.Code);
    for (const auto& p : op.Operands)
        text += "\r\n" + p->AsString();
    return EZunoError(text);
}

// Type of a new result temporary, chosen by the operation and operand 0.
uint8_t temporaryType(const TOpeData& op) {
    switch (op.Code) {
    case ocTo:
        return operand(op, 0).ParamType();
    case ocPlus: {
        uint8_t t = operand(op, 0).ParamType();
        return (t == PT_STR || t == PT_FLOAT) ? t : static_cast<uint8_t>(PT_INT);
    }
    case ocMinus: case ocMul: case ocDiv:
        return static_cast<uint8_t>(operand(op, 0).ParamType() == PT_FLOAT ? PT_FLOAT : PT_INT);
    case ocMod: case ocOr: case ocAnd: case ocXor: case ocShiftL: case ocShiftR:
        return PT_INT;
    case ocEqual: case ocBig: case ocSmall: case ocEBig: case ocESmall: case ocNEqual:
        return PT_BOOL;
    case ocComboStr:
        return PT_STR;
    case ocFunc:
        return functionResultType(op);
    case ocDimTo:
        return PT_NONE;
    default:
        throw invalidOperation(op);
    }
}

std::string joinIndexes(const std::vector<int32_t>& idx) {
    std::string s;
    for (size_t i = 0; i < idx.size(); ++i) {
        if (i)
            s += ',';
        s += std::to_string(idx[i]);
    }
    return s;
}

// Binds a new element reference to the element that operands 1... index in
// the variable named by operand 0.
void bindElementReference(const TOpeData& op, TParamVar& ref, const TParamCollection& params) {
    TCustomParam& arrayOperand = operand(op, 0);
    std::string textName;
    const std::string* name = &textName;        // for the error messages
    TParamCollectionItem* target = nullptr;
    if (auto* byName = dynamic_cast<TParamVar*>(&arrayOperand)) {
        name = &byName->VarName();
        target = byName->Target();
    } else {
        textName = arrayOperand.AsString();
        target = params.Find(textName);
        if (!target)
            throw missingVariable(textName);
    }
    std::vector<int32_t> idx;
    for (size_t i = 1; i < op.Operands.size(); ++i)
        idx.push_back(op.Operands[i]->AsInteger());
    TCustomParam* value = target ? target->Value() : nullptr;
    auto prefix = [&] { return *name + "[" + joinIndexes(idx) + "]\r\n"; };
    if (!value || static_cast<int>(idx.size()) != value->DimCount())
        throw EZunoError(prefix() + sjis("添え字が不正です"));
    // Saturating arithmetic: an offset out of range stays out of range.
    constexpr int64_t kLimit = int64_t(1) << 40;
    int64_t offset = 0, factor = 1;
    for (size_t k = idx.size(); k-- > 0;) {
        offset = std::clamp(offset + factor * idx[k], -kLimit, kLimit);
        factor = std::min<int64_t>(factor * value->DimSize(static_cast<int>(k)), int64_t(1) << 31);
    }
    if (offset >= value->Count())
        throw EZunoError(prefix() + sjis("要素数を超えています"));
    ref.Bind(target);
    // A negative offset is kept; the first access through the reference fails.
    ref.ElementOffset = offset < std::numeric_limits<int32_t>::min() ? std::numeric_limits<int32_t>::min()
                                                                       : static_cast<int32_t>(offset);
}

int32_t wrapAdd(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)); }
int32_t wrapSub(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b)); }
int32_t wrapMul(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b)); }

// Signed division as the processor does it: a zero divisor, and the one
// quotient that does not fit (minimum / -1), fail.
void checkDivisor(int32_t a, int32_t b) {
    if (b == 0)
        throw divisionByZero();
    if (b == -1 && a == std::numeric_limits<int32_t>::min())
        throw EZunoError::fromUtf8("整数演算でオーバーフローしました");
}

bool compare(uint8_t code, int order) {
    switch (code) {
    case ocEqual:  return order == 0;
    case ocNEqual: return order != 0;
    case ocBig:    return order > 0;
    case ocSmall:  return order < 0;
    case ocEBig:   return order >= 0;
    default:       return order <= 0;     // ocESmall
    }
}

template <class T>
int order3(const T& a, const T& b) { return a < b ? -1 : (b < a ? 1 : 0); }

void compareInto(TCustomParam& R, uint8_t code, TCustomParam& a, TCustomParam& b) {
    if (code == ocEqual || code == ocNEqual || code == ocBig || code == ocSmall || code == ocEBig || code == ocESmall) {
        int order;
        switch (a.ParamType()) {
        case PT_STR: {
            std::string x = a.AsString();
            int c = x.compare(b.AsString());
            order = c < 0 ? -1 : (c > 0 ? 1 : 0);
            break;
        }
        case PT_FLOAT: {
            TReal x = a.AsFloat();
            TReal y = b.AsFloat();
            if (std::isnan(x) || std::isnan(y))
                throw EZunoError::fromUtf8("浮動小数点の比較が不正です");
            order = order3(x, y);
            break;
        }
        case PT_BOOL: {
            bool x = a.AsBoolean();
            order = order3<int>(x, b.AsBoolean());
            break;
        }
        default: {
            int32_t x = a.AsInteger();
            order = order3(x, b.AsInteger());
            break;
        }
        }
        R.SetBoolean(compare(code, order));
    }
}

void runOperation(TOpeData& op, TCustomParam& R, TSysFuncMan& funcs) {
    const uint8_t code = op.Code;
    switch (code) {
    case ocTo: {
        TCustomParam& a = operand(op, 0);
        switch (R.ParamType()) {
        case PT_INT:   R.SetInteger(a.AsInteger()); break;
        case PT_FLOAT: R.SetFloat(a.AsFloat()); break;
        case PT_BOOL:  R.SetBoolean(a.AsBoolean()); break;
        case PT_STR:   R.SetString(a.AsString()); break;
        default:       break;
        }
        return;
    }
    case ocPlus: case ocMinus: case ocMul: case ocDiv: {
        TCustomParam& a = operand(op, 0);
        TCustomParam& b = operand(op, 1);
        if (R.ParamType() == PT_FLOAT) {
            TReal x = a.AsFloat();
            TReal y = b.AsFloat();
            TReal r;
            switch (code) {
            case ocPlus:  r = x + y; break;
            case ocMinus: r = x - y; break;
            case ocMul:   r = x * y; break;
            default:
                if (y == 0)
                    throw divisionByZero();
                r = x / y;
                break;
            }
            R.SetFloat(checkedReal(r));
        } else {
            int32_t x = a.AsInteger();
            int32_t y = b.AsInteger();
            int32_t r;
            switch (code) {
            case ocPlus:  r = wrapAdd(x, y); break;
            case ocMinus: r = wrapSub(x, y); break;
            case ocMul:   r = wrapMul(x, y); break;
            default:      checkDivisor(x, y); r = x / y; break;
            }
            R.SetInteger(r);
        }
        return;
    }
    case ocMod: case ocOr: case ocAnd: case ocXor: case ocShiftL: case ocShiftR: {
        int32_t x = operand(op, 0).AsInteger();
        int32_t y = operand(op, 1).AsInteger();
        const uint32_t ux = static_cast<uint32_t>(x);
        const unsigned shift = static_cast<uint32_t>(y) & 31u;
        int32_t r;
        switch (code) {
        case ocMod:    checkDivisor(x, y); r = x % y; break;
        case ocOr:     r = x | y; break;
        case ocAnd:    r = x & y; break;
        case ocXor:    r = x ^ y; break;
        case ocShiftL: r = static_cast<int32_t>(ux << shift); break;
        default:       r = static_cast<int32_t>(ux >> shift); break;
        }
        R.SetInteger(r);
        return;
    }
    case ocComboStr: {
        std::string s = operand(op, 0).AsString();
        s += operand(op, 1).AsString();
        R.SetString(s);
        return;
    }
    case ocEqual: case ocBig: case ocSmall: case ocEBig: case ocESmall: case ocNEqual:
        compareInto(R, code, operand(op, 0), operand(op, 1));
        return;
    case ocFunc: {
        if (op.FunctionNo >= kSysFuncCount)
            throw badExpression();
        // Argument counts are checked by the compiler; a damaged stored form
        // must not reach a function with arguments it does not expect.
        const TSysFuncInfo& info = kSysFuncs[op.FunctionNo];
        const int n = static_cast<int>(op.Operands.size());
        if (n < info.MinArgs || (info.MaxArgs >= 0 && n > info.MaxArgs))
            throw EZunoError(std::string(info.Name) + sjis(" 引数の数が不正です"));
        funcs.Call(R, op.FunctionNo, op.Operands);
        return;
    }
    default:
        return;     // ocDimTo: done when the reference was made; ocNone and unknown codes: nothing
    }
}

} // namespace

// ---------------------------------------------------------------------------
// TZunoParser

TZunoParser::TZunoParser() = default;
TZunoParser::~TZunoParser() = default;

void TZunoParser::Clear() {
    FItems.clear();
    FResult.reset();
    prepareTemporaries();
}

// Gives every temporary name a slot and decides whether the expression can
// keep its temporaries to itself. In the table, a temporary is visible to
// everything that looks names up while the evaluation runs; the parser's
// own slots give the same results only when nothing else looks: no call of
// a function that could evaluate text or look names up, no system variable
// (their hooks belong to other parts of the player), no element reference
// to a variable named by text. Whether the table holds temporaries of its
// own (an outer evaluation's) and whether a function was replaced is
// checked at each run.
void TZunoParser::prepareTemporaries() {
    FTemps.clear();
    FFunctions.clear();
    FArgSlot = -1;
    FOwnTemporaries = !FItems.empty();
    auto slotOf = [this](const std::string& key) -> int16_t {
        for (size_t i = 0; i < FTemps.size(); ++i)
            if (FTemps[i].Key == key)
                return static_cast<int16_t>(i);
        if (FTemps.size() >= 0x7FFF) {
            FOwnTemporaries = false;
            return -1;
        }
        FTemps.push_back(TTempSlot{key, nullptr});
        return static_cast<int16_t>(FTemps.size() - 1);
    };
    auto systemName = [](const std::string& key) { return !key.empty() && key[0] == '@'; };
    for (auto& opPtr : FItems) {
        TOpeData& op = *opPtr;
        op.VarTempSlot.assign(op.VarKeys.size(), -1);
        for (size_t k = 0; k < op.VarKeys.size(); ++k) {
            if (op.VarIsTemp[k])
                op.VarTempSlot[k] = slotOf(op.VarKeys[k]);
            if (systemName(op.VarKeys[k]))
                FOwnTemporaries = false;
        }
        op.ResultTempSlot = op.ResultIsTemp ? slotOf(op.ResultKey) : int16_t(-1);
        if (systemName(op.ResultKey))
            FOwnTemporaries = false;
        if (op.Code == ocFunc) {
            if (!isPureFunction(op.FunctionNo))
                FOwnTemporaries = false;
            if (std::find(FFunctions.begin(), FFunctions.end(), op.FunctionNo) == FFunctions.end())
                FFunctions.push_back(op.FunctionNo);
        }
        if (op.Code == ocDimTo && (op.Operands.empty() || !dynamic_cast<TParamVar*>(op.Operands[0].get())))
            FOwnTemporaries = false;
    }
    if (!FItems.empty() && FItems.back()->Code == ocTo && FItems.back()->ResultName == kArgName)
        FArgSlot = FItems.back()->ResultTempSlot;
    FLiveTemps.assign(FTemps.size(), nullptr);
}

void TZunoParser::LoadFromStream(TStream& s) {
    Clear();
    std::vector<std::unique_ptr<TOpeData>> items;
    int32_t count = ReadInt(s);
    checkCount(s, count, 9, "expression");      // code, result name length, operand count
    items.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        auto op = std::make_unique<TOpeData>();
        op->Code = ReadByte(s);
        op->ResultName = ReadString(s);
        int32_t n = ReadInt(s);
        if (op->Code == ocFunc)
            op->FunctionNo = ReadByte(s);
        checkCount(s, n, 2, "operands");         // kind byte and at least one byte of payload
        if (n > 0xFFFF)
            throw badExpression();
        op->Operands.reserve(static_cast<size_t>(n));
        for (int32_t k = 0; k < n; ++k)
            op->Operands.push_back(readOperand(s));
        prepare(*op);
        items.push_back(std::move(op));
    }
    FItems = std::move(items);
    prepareTemporaries();
}

void TZunoParser::SaveToStream(TStream& s) const {
    WriteInt(s, Count());
    for (const auto& op : FItems) {
        WriteByte(s, op->Code);
        WriteString(s, op->ResultName);
        WriteInt(s, static_cast<int32_t>(op->Operands.size()));
        if (op->Code == ocFunc)
            WriteByte(s, op->FunctionNo);
        for (const auto& p : op->Operands)
            writeOperand(s, *p);
    }
}

void TZunoParser::CopyFrom(const TZunoParser& other) {
    if (&other == this)
        return;
    std::vector<std::unique_ptr<TOpeData>> items;
    items.reserve(other.FItems.size());
    for (const auto& src : other.FItems) {
        auto op = std::make_unique<TOpeData>();
        op->Code = src->Code;
        op->ResultName = src->ResultName;
        op->FunctionNo = src->FunctionNo;
        for (const auto& p : src->Operands)
            op->Operands.push_back(p->Clone());
        prepare(*op);
        items.push_back(std::move(op));
    }
    FItems = std::move(items);
    FResult.reset();
    prepareTemporaries();
}

void TZunoParser::Execute(TSysFuncMan& funcs) {
    FResult.reset();
    FLastError.clear();
    bool own = FOwnTemporaries && funcs.Params().TemporaryCount() == 0;
    for (uint8_t f : FFunctions)
        own = own && !funcs.HasOverride(f);
    try {
        if (own)
            executeWithOwnTemporaries(funcs);
        else
            executeInTable(funcs);
    } catch (const EZunoError& e) {
        FResult.reset();
        FLastError = e.message();
    } catch (const std::bad_alloc&) {       // a value grown beyond memory ends the evaluation too
        FResult.reset();
        FLastError = "out of memory";
    } catch (const std::length_error&) {
        FResult.reset();
        FLastError = "out of memory";
    }
}

// The same steps as executeInTable, with the temporaries in the parser's
// slots: made once, renewed on every run, never added to the table.
void TZunoParser::executeWithOwnTemporaries(TSysFuncMan& funcs) {
    TParamCollection& params = funcs.Params();
    struct Release {
        std::vector<TParamCollectionItem*>& live;
        ~Release() { std::fill(live.begin(), live.end(), nullptr); }
    } release{FLiveTemps};
    for (auto& opPtr : FItems) {
        TOpeData& op = *opPtr;
        OperandBinding binding(op, params, &FLiveTemps);
        TParamCollectionItem* result = op.ResultIsTemp ? FLiveTemps[static_cast<size_t>(op.ResultTempSlot)]
                                                       : op.ResultItem;
        if (!result && op.ResultIsTemp) {
            const uint8_t type = temporaryType(op) & 0x7F;
            if (type > PT_STR)
                throw invalidOperation(op);
            TTempSlot& slot = FTemps[static_cast<size_t>(op.ResultTempSlot)];
            if (!slot.Item) {
                slot.Item = std::make_unique<TParamCollectionItem>();
                slot.Item->SetNameRaw(op.ResultName);
            }
            TParamCollection::RenewTemporary(*slot.Item, type);
            result = FLiveTemps[static_cast<size_t>(op.ResultTempSlot)] = slot.Item.get();
            if (op.Code == ocDimTo)
                bindElementReference(op, static_cast<TParamVar&>(*result->Value()), params);
        }
        if (!result)
            throw missingVariable(op.ResultName);
        runOperation(op, *result->Value(), funcs);
    }
    if (FArgSlot >= 0 && FLiveTemps[static_cast<size_t>(FArgSlot)])
        FResult = TParamCollection::CopyItemValue(*FLiveTemps[static_cast<size_t>(FArgSlot)], kArgName);
}

void TZunoParser::executeInTable(TSysFuncMan& funcs) {
    TParamCollection& params = funcs.Params();

    // The temporaries this evaluation created, removed again at the end
    // (newest first, which keeps the removal from the table cheap). The list's
    // storage is recycled per thread; nested evaluations each take their own.
    thread_local std::vector<std::vector<TParamCollectionItem*>> spareLists;
    std::vector<TParamCollectionItem*> temps;
    if (!spareLists.empty()) {
        temps = std::move(spareLists.back());
        spareLists.pop_back();
    }
    struct TempCleanup {
        TParamCollection& params;
        std::vector<TParamCollectionItem*>& temps;
        ~TempCleanup() {
            for (size_t i = temps.size(); i-- > 0;)
                params.DeleteItem(temps[i]);
            temps.clear();
            if (spareLists.size() < 16)
                spareLists.push_back(std::move(temps));
        }
    } cleanup{params, temps};

    for (auto& opPtr : FItems) {
        TOpeData& op = *opPtr;
        OperandBinding binding(op, params, nullptr);
        TParamCollectionItem* result = op.ResultIsTemp ? params.FindKey(op.ResultKey) : op.ResultItem;
        if (!result && op.ResultIsTemp) {
            result = params.AddNamed(temporaryType(op), op.ResultName, op.ResultKey);
            if (!result)
                throw invalidOperation(op);
            temps.push_back(result);
            if (op.Code == ocDimTo)
                bindElementReference(op, static_cast<TParamVar&>(*result->Value()), params);
        }
        if (!result)
            throw missingVariable(op.ResultName);
        runOperation(op, *result->Value(), funcs);
    }
    if (!FItems.empty() && FItems.back()->Code == ocTo && FItems.back()->ResultName == kArgName)
        FResult = params.CopyValue(kArgName);
}

} // namespace zuno
