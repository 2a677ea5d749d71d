// Built-in functions: arrays.
#include <algorithm>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "core/TextHelpers.h"
#include "expr/JString.h"
#include "expr/SysFuncBuiltins.h"

namespace zuno {

using namespace sysfunc;

namespace {

const std::string kCrLf = "\r\n";

void requireVariable(const TCustomParam& arg, const char* utf8Message) {
    if (!variableOf(arg))
        throw EZunoError::fromUtf8(utf8Message);
}

// Copy of element i of src converted into element j of dst (dst's own type).
void copyElement(TCustomParam& dst, int j, const TCustomParam& src, int i) {
    switch (dst.ParamType()) {
    case PT_INT:   dst.SetIntegerAt(j, src.GetIntegerAt(i)); break;
    case PT_FLOAT: dst.SetFloatAt(j, src.GetFloatAt(i)); break;
    case PT_BOOL:  dst.SetBooleanAt(j, src.GetBooleanAt(i)); break;
    case PT_STR:   dst.SetStringAt(j, src.GetStringAt(i)); break;
    default: break;
    }
}

// The elements of src converted to dst's type, held in a detached value
// (so that src and dst may be the same variable).
std::unique_ptr<TCustomParam> convertedCopy(const TCustomParam& dst, const TCustomParam& src) {
    std::unique_ptr<TCustomParam> tmp = TCustomParam::CreateParam(dst.ParamType());
    if (!tmp || dst.ParamType() == PT_NONE)
        throw EZunoError::fromUtf8("配列の添字が不正です");
    int m = src.Count();
    tmp->SetCount(m);
    for (int i = 0; i < m; ++i)
        copyElement(*tmp, i, src, i);
    return tmp;
}

void fGetArraySize(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    requireVariable(*a[0], "GetArraySize:変数が見つかりません");
    if (a.size() < 2)
        R.SetInteger(a[0]->Count());
    else
        R.SetInteger(a[0]->DimSize(a[0]->DimCount() - 1 - intArg(a, 1)));
}

void fSetArray(TSysFuncMan&, TCustomParam&, const TParamArgs& a) {
    requireVariable(*a[0], "SetArray:変数が見つかりません");
    std::vector<int32_t> sizes;
    for (size_t i = 1; i < a.size(); ++i)
        sizes.push_back(a[i]->AsInteger());
    a[0]->SetDims(sizes);
}

void fFillMem(TSysFuncMan&, TCustomParam&, const TParamArgs& a) {
    requireVariable(*a[0], "FillMem:変数が見つかりません");
    switch (a[0]->ParamType()) {
    case PT_INT:   a[0]->FillInteger(a[1]->AsInteger()); break;
    case PT_FLOAT: a[0]->FillFloat(a[1]->AsFloat()); break;
    case PT_BOOL:  a[0]->FillBoolean(a[1]->AsBoolean()); break;
    case PT_STR:   a[0]->FillString(a[1]->AsString()); break;
    default: break;
    }
}

void fCopyMem(TSysFuncMan&, TCustomParam&, const TParamArgs& a) {
    if (!variableOf(*a[0]) || !variableOf(*a[1]))
        throw EZunoError::fromUtf8("CopyMem:変数が見つかりません");
    a[0]->CopyFrom(*a[1]);
}

void fArrayToString(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    std::string sep = a.size() > 1 ? strArg(a, 1) : kCrLf;
    std::string out;
    int n = a[0]->Count();
    for (int i = 0; i < n; ++i) {
        if (i)
            out += sep;
        out += a[0]->GetStringAt(i);
        if (out.size() > (size_t(64) << 20))
            throw EZunoError::fromUtf8("文字列が長すぎます");
    }
    R.SetString(out);
}

void fStringToArray(TSysFuncMan&, TCustomParam&, const TParamArgs& a) {
    std::string s = strArg(a, 0);
    std::string sep = a.size() > 2 ? strArg(a, 2) : kCrLf;
    std::vector<std::string> pieces;
    if (sep == kCrLf) {
        pieces = splitLines(s);
    } else {
        while (!s.empty()) {
            pieces.push_back(SplitAt(s, sep));
            if (static_cast<int64_t>(pieces.size()) > kMaxParamElements)
                throw EZunoError::fromUtf8("配列の添字が不正です");
        }
    }
    TCustomParam& arr = *a[1];
    if (pieces.empty()) {
        arr.ClearDims();
        arr.SetStringAt(0, std::string());
        return;
    }
    arr.SetDims({static_cast<int32_t>(pieces.size())});
    for (size_t i = 0; i < pieces.size(); ++i)
        arr.SetStringAt(static_cast<int>(i), pieces[i]);
}

void fIndexOfStr(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    R.SetInteger(a[0]->IndexOfString(strArg(a, 1), boolArg(a, 2, true), boolArg(a, 3, false)));
}

void fSortStr(TSysFuncMan&, TCustomParam&, const TParamArgs& a) {
    TCustomParam& arr = *a[0];
    int n = arr.Count();
    std::vector<std::pair<std::string, std::string>> items;   // key, text
    items.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        std::string s = arr.GetStringAt(i);
        items.emplace_back(lowerCaseSjis(s), std::move(s));
    }
    std::stable_sort(items.begin(), items.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    for (int i = 0; i < n; ++i)
        arr.SetStringAt(i, items[static_cast<size_t>(i)].second);
}

void fAddArray(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    TCustomParam& dst = *a[0];
    const TCustomParam& src = *a[1];
    int k = dst.Count();
    if (dst.DimCount() >= 2 || src.DimCount() >= 2) {
        R.SetInteger(k);
        return;
    }
    std::unique_ptr<TCustomParam> add = convertedCopy(dst, src);
    int m = add->Count();
    dst.SetDims({k + m});
    for (int i = 0; i < m; ++i)
        copyElement(dst, k + i, *add, i);
    R.SetInteger(dst.Count());
}

void fInsertArray(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    TCustomParam& dst = *a[0];
    const TCustomParam& src = *a[2];
    int k = dst.Count();
    if (dst.DimCount() >= 2 || src.DimCount() >= 2) {
        R.SetInteger(k);
        return;
    }
    int at = std::clamp(intArg(a, 1), 0, k);
    std::unique_ptr<TCustomParam> add = convertedCopy(dst, src);
    int m = add->Count();
    dst.SetDims({k + m});
    for (int i = k - 1; i >= at; --i)
        copyElement(dst, i + m, dst, i);
    for (int i = 0; i < m; ++i)
        copyElement(dst, at + i, *add, i);
    R.SetInteger(dst.Count());
}

void fDeleteArray(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    TCustomParam& dst = *a[0];
    int k = dst.Count();
    if (dst.DimCount() >= 2 || k < 1) {
        R.SetInteger(k);
        return;
    }
    int at = std::clamp(intArg(a, 1), 0, k - 1);
    int n = std::min(intArg(a, 2), k - at);
    if (n <= 0) {
        R.SetInteger(k);
        return;
    }
    for (int i = at + n; i < k; ++i)
        copyElement(dst, i - n, dst, i);
    dst.SetDims({k - n});
    R.SetInteger(dst.Count());
}

void fCopyArray(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    a[0]->AssignConverted(*a[1]);   // also right for a copy onto itself: SetDims keeps the elements
    R.SetBoolean(true);
}

} // namespace

void registerArrayFuncs(TBuiltinTable& t) {
    t[4] = fGetArraySize;
    t[21] = fSetArray;
    t[22] = fFillMem;
    t[23] = fCopyMem;
    t[28] = fArrayToString;
    t[29] = fStringToArray;
    t[30] = fIndexOfStr;
    t[31] = fSortStr;
    t[66] = fAddArray;
    t[67] = fInsertArray;
    t[68] = fDeleteArray;
    t[70] = fCopyArray;
    // 72 LoadTextFile needs the file layer: supplied later through SetFunction.
}

} // namespace zuno
