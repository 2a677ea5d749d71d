// Built-in functions: mathematics, random numbers, variables and Calc.
#include <cmath>

#include "core/EZunoError.h"
#include "expr/SysFuncBuiltins.h"
#include "expr/TParamCollection.h"

namespace zuno {

using namespace sysfunc;

namespace {

// A domain error of the real functions (for example ArcSin(2)) fails like
// any invalid real operation instead of producing NaN.
TReal checked(TReal result, TReal arg) {
    if (std::isnan(result) && !std::isnan(arg))
        throw EZunoError::fromUtf8("不正な浮動小数点演算です");
    return result;
}

void fNot(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) { R.SetBoolean(!a[0]->AsBoolean()); }
void fRandom(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) { R.SetInteger(m.Random(intArg(a, 0))); }
void fInt(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) { R.SetInteger(truncToInt(a[0]->AsFloat())); }
void fFloat(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) { R.SetFloat(a[0]->AsFloat()); }

template <TReal (*F)(TReal)>
void unary(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    TReal x = a[0]->AsFloat();
    R.SetFloat(checked(F(x), x));
}

TReal lsin(TReal x) { return std::sin(x); }
TReal lcos(TReal x) { return std::cos(x); }
TReal ltan(TReal x) { return std::tan(x); }
TReal lasin(TReal x) { return std::asin(x); }
TReal lacos(TReal x) { return std::acos(x); }
TReal latan(TReal x) { return std::atan(x); }

void fArcTan2(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    R.SetFloat(std::atan2(a[0]->AsFloat(), a[1]->AsFloat()));
}

void fHypot(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    R.SetFloat(std::hypot(a[0]->AsFloat(), a[1]->AsFloat()));
}

void fAbs(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    uint32_t v = static_cast<uint32_t>(a[0]->AsInteger());
    if (static_cast<int32_t>(v) < 0)
        v = 0u - v;                         // the smallest int32 stays as it is
    R.SetInteger(static_cast<int32_t>(v));
}

void fFabs(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) { R.SetFloat(std::fabs(a[0]->AsFloat())); }

void fMin(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    R.SetInteger(std::min(a[0]->AsInteger(), a[1]->AsInteger()));
}
void fMax(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    R.SetInteger(std::max(a[0]->AsInteger(), a[1]->AsInteger()));
}
void fFmin(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    TReal x = a[0]->AsFloat(), y = a[1]->AsFloat();
    R.SetFloat(x < y ? x : y);
}
void fFmax(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    TReal x = a[0]->AsFloat(), y = a[1]->AsFloat();
    R.SetFloat(x > y ? x : y);
}

void fVarExists(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) {
    R.SetBoolean(m.Params().Find(a[0]->AsString()) != nullptr);
}

void fAssignTemp(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) {
    std::string name = a[0]->AsString();
    if (m.Params().Find(name)) {
        m.Params().TempName = name;
        R.SetBoolean(true);
    } else {
        R.SetBoolean(false);
    }
}

void fGetVarType(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) { R.SetInteger(a[0]->ParamType()); }

void fCalc(TSysFuncMan& m, TCustomParam& R, const TParamArgs& a) {
    if (!m.CalcHook)
        notAvailable(136);
    std::string text = a[0]->AsString();
    R.SetString(m.CalcHook(text) ? "TRUE" : "");
}

} // namespace

void registerMathFuncs(TBuiltinTable& t) {
    t[20] = fNot;
    t[26] = fRandom;
    t[37] = fInt;
    t[38] = fFloat;
    t[39] = unary<lsin>;
    t[40] = unary<lcos>;
    t[41] = unary<ltan>;
    t[42] = unary<lasin>;
    t[43] = unary<lacos>;
    t[44] = unary<latan>;
    t[45] = fArcTan2;
    t[46] = fHypot;
    t[48] = fAbs;
    t[49] = fFabs;
    t[126] = fMin;
    t[127] = fMax;
    t[128] = fFmin;
    t[129] = fFmax;
}

void registerVarFuncs(TBuiltinTable& t) {
    t[50] = fVarExists;
    t[84] = fAssignTemp;
    t[130] = fGetVarType;
    t[136] = fCalc;
}

} // namespace zuno
