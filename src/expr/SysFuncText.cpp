// Built-in functions: text.
#include <cstdio>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "expr/JString.h"
#include "expr/SysFuncBuiltins.h"

namespace zuno {

using namespace sysfunc;

namespace {

// Results longer than this fail instead of exhausting memory.
constexpr int64_t kMaxTextResult = int64_t(64) << 20;

void checkLength(int64_t n) {
    if (n > kMaxTextResult)
        throw EZunoError::fromUtf8("文字列が長すぎます");
}

// 1-based byte index of the last byte of s that is one of delims and not a
// second byte; 0 if none.
size_t lastDelimiter(std::string_view delims, std::string_view s) {
    for (size_t i = s.size(); i > 0; --i)
        if (delims.find(s[i - 1]) != std::string_view::npos && !IsTrailByte(s, static_cast<int64_t>(i)))
            return i;
    return 0;
}

// Ordinal comparison: difference of the first differing bytes, else of the lengths.
int32_t compareBytes(std::string_view a, std::string_view b, bool upperAscii) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int x = static_cast<uint8_t>(a[i]), y = static_cast<uint8_t>(b[i]);
        if (upperAscii) {
            if (x >= 'a' && x <= 'z') x -= 32;
            if (y >= 'a' && y <= 'z') y -= 32;
        }
        if (x != y)
            return x - y;
    }
    return static_cast<int32_t>(a.size()) - static_cast<int32_t>(b.size());
}

void fIntToStr(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    int32_t v = intArg(a, 0);
    if (a.size() < 2) {
        R.SetString(std::to_string(v));
        return;
    }
    int32_t d = intArg(a, 1);
    if (d < 0)
        throw EZunoError("Format '%." + std::to_string(d) + "d' invalid or incompatible with argument");
    checkLength(d);
    std::string digits = std::to_string(v < 0 ? -static_cast<int64_t>(v) : static_cast<int64_t>(v));
    if (static_cast<int64_t>(digits.size()) < d)
        digits.insert(0, static_cast<size_t>(d) - digits.size(), '0');
    R.SetString(v < 0 ? "-" + digits : digits);
}

void fIntToHex(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    uint32_t v = static_cast<uint32_t>(intArg(a, 0));
    int32_t d = intArg(a, 1);
    checkLength(d);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", v);
    std::string s = buf;
    if (d > 0 && static_cast<int64_t>(s.size()) < d)
        s.insert(0, static_cast<size_t>(d) - s.size(), '0');
    R.SetString(s);
}

void fLength(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    R.SetInteger(static_cast<int32_t>(strArg(a, 0).size()));
}

void fJLength(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) { R.SetInteger(JLength(strArg(a, 0))); }

void fCopy(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    std::string s = strArg(a, 0);
    int64_t index = intArg(a, 1);
    int64_t count = a.size() > 2 ? intArg(a, 2) : INT32_MAX;
    if (index < 1)
        index = 1;
    if (count <= 0 || index > static_cast<int64_t>(s.size())) {
        R.SetString(std::string());
        return;
    }
    R.SetString(s.substr(static_cast<size_t>(index - 1), static_cast<size_t>(count)));
}

void fJCopy(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    std::string s = strArg(a, 0);
    int64_t count = a.size() > 2 ? intArg(a, 2) : static_cast<int64_t>(s.size());
    R.SetString(JCopy(s, intArg(a, 1), count));
}

void fDelete(TSysFuncMan&, TCustomParam&, const TParamArgs& a) {
    std::string s = strArg(a, 0);
    int64_t index = intArg(a, 1);
    int64_t count = a.size() > 2 ? intArg(a, 2) : INT32_MAX;
    if (index < 1 || index > static_cast<int64_t>(s.size()) || count <= 0)
        return;
    s.erase(static_cast<size_t>(index - 1), static_cast<size_t>(count));
    a[0]->SetString(s);
}

void fJDelete(TSysFuncMan&, TCustomParam&, const TParamArgs& a) {
    std::string s = strArg(a, 0);
    int64_t count = a.size() > 2 ? intArg(a, 2) : static_cast<int64_t>(s.size());
    JDelete(s, intArg(a, 1), count);
    a[0]->SetString(s);
}

void fInsert(TSysFuncMan&, TCustomParam&, const TParamArgs& a) {
    std::string src = strArg(a, 0);
    std::string s = strArg(a, 1);
    int64_t index = intArg(a, 2);
    checkLength(static_cast<int64_t>(src.size() + s.size()));
    if (index < 1)
        index = 1;
    if (index > static_cast<int64_t>(s.size()) + 1)
        index = static_cast<int64_t>(s.size()) + 1;
    s.insert(static_cast<size_t>(index - 1), src);
    a[1]->SetString(s);
}

void fJInsert(TSysFuncMan&, TCustomParam&, const TParamArgs& a) {
    std::string text = strArg(a, 0);
    std::string s = strArg(a, 1);
    checkLength(static_cast<int64_t>(text.size() + s.size()));
    JInsert(text, s, intArg(a, 2));
    a[1]->SetString(s);
}

void fCompareStr(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    R.SetInteger(compareBytes(strArg(a, 0), strArg(a, 1), false));
}

void fCompareText(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    R.SetInteger(compareBytes(strArg(a, 0), strArg(a, 1), true));
}

void fPos(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    std::string sub = strArg(a, 0), s = strArg(a, 1);
    size_t p = sub.empty() ? std::string::npos : s.find(sub);
    R.SetInteger(p == std::string::npos ? 0 : static_cast<int32_t>(p + 1));
}

void fJPos(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) { R.SetInteger(JPos(strArg(a, 0), strArg(a, 1))); }

void fTrim(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    std::string s = strArg(a, 0);
    size_t b = 0, e = s.size();
    while (b < e && static_cast<uint8_t>(s[b]) <= ' ')
        ++b;
    while (e > b && static_cast<uint8_t>(s[e - 1]) <= ' ')
        --e;
    R.SetString(s.substr(b, e - b));
}

void fJTrim(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) { R.SetString(JTrim(strArg(a, 0))); }

void fFixStr(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    std::string s = strArg(a, 0);
    if (s.size() >= 2 && isLeadByte(static_cast<uint8_t>(s.back())) &&
        !IsTrailByte(s, static_cast<int64_t>(s.size())))
        s.pop_back();
    R.SetString(s);
}

void fLowerCase(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) { R.SetString(lowerCaseSjis(strArg(a, 0))); }
void fUpperCase(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) { R.SetString(upperCaseSjis(strArg(a, 0))); }

void fExtractFilePath(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    std::string s = strArg(a, 0);
    R.SetString(s.substr(0, lastDelimiter("\\:", s)));
}

void fExtractFileName(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    std::string s = strArg(a, 0);
    R.SetString(s.substr(lastDelimiter("\\:", s)));
}

void fExtractFileExt(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    std::string s = strArg(a, 0);
    size_t i = lastDelimiter(".\\:", s);
    R.SetString(i > 0 && s[i - 1] == '.' ? s.substr(i - 1) : std::string());
}

bool isDelimiterAt(std::string_view delims, std::string_view s, int64_t i) {
    if (i < 1 || i > static_cast<int64_t>(s.size()))
        return false;
    if (IsTrailByte(s, i))
        return false;
    return delims.find(s[static_cast<size_t>(i - 1)]) != std::string_view::npos;
}

void fIsPathDelimiter(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    R.SetBoolean(isDelimiterAt("\\", strArg(a, 0), intArg(a, 1)));
}

void fAddBackSlash(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    std::string s = strArg(a, 0);
    if (!isDelimiterAt("\\", s, static_cast<int64_t>(s.size())))
        s += '\\';
    R.SetString(s);
}

void fChangeFileExt(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    std::string s = strArg(a, 0);
    size_t i = lastDelimiter(".\\:", s);
    if (i == 0 || s[i - 1] != '.')
        i = s.size() + 1;
    R.SetString(s.substr(0, i - 1) + strArg(a, 1));
}

void fIsDelimiter(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    R.SetBoolean(isDelimiterAt(strArg(a, 0), strArg(a, 1), intArg(a, 2)));
}

void fStringOfChar(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    std::string s = strArg(a, 0);
    int32_t n = intArg(a, 1);
    std::string out;
    if (n > 0 && !s.empty()) {
        checkLength(static_cast<int64_t>(s.size()) * n);
        out.reserve(s.size() * static_cast<size_t>(n));
        for (int32_t i = 0; i < n; ++i)
            out += s;
    }
    R.SetString(out);
}

void fStringReplace(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    std::string s = strArg(a, 0), from = strArg(a, 1), to = strArg(a, 2);
    bool all = boolArg(a, 3, false), ignoreCase = boolArg(a, 4, false);
    if (from.empty()) {
        R.SetString(s);
        return;
    }
    std::string hay = ignoreCase ? upperCaseSjis(s) : s;
    std::string pat = ignoreCase ? upperCaseSjis(from) : from;
    std::string out;
    size_t copied = 0;
    int64_t pos = 1;
    while (int64_t p = charAlignedFind(hay, pat, pos)) {
        size_t i = static_cast<size_t>(p - 1);
        out.append(s, copied, i - copied);
        out += to;
        checkLength(static_cast<int64_t>(out.size()));
        copied = i + from.size();
        pos = static_cast<int64_t>(copied) + 1;
        if (!all)
            break;
    }
    out.append(s, copied, std::string::npos);
    R.SetString(out);
}

void fHanToZen(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) { R.SetString(HanToZen(strArg(a, 0))); }
void fZenToHan(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) { R.SetString(ZenToHan(strArg(a, 0))); }

void fAddDelimiter(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    std::string s = strArg(a, 1);
    R.SetString(s.empty() ? std::string() : s + strArg(a, 0));
}

void fStrToIntDef(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    R.SetInteger(strToIntDef(strArg(a, 0), intArg(a, 1)));
}

void fStrToFloatDef(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    if (auto v = tryStrToFloat(strArg(a, 0)))
        R.SetFloat(*v);
}

void fChr(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    R.SetString(std::string(1, static_cast<char>(intArg(a, 0) & 0xFF)));
}

void fOrd(TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
    std::string s = strArg(a, 0);
    R.SetInteger(s.empty() ? 0 : static_cast<uint8_t>(s[0]));
}

} // namespace

void registerTextFuncs(TBuiltinTable& t) {
    t[0] = fIntToStr;
    t[1] = fIntToHex;
    t[5] = fLength;
    t[6] = fJLength;
    t[7] = fCopy;
    t[8] = fJCopy;
    t[9] = fDelete;
    t[10] = fJDelete;
    t[11] = fInsert;
    t[12] = fJInsert;
    t[13] = fCompareStr;
    t[14] = fCompareText;
    t[15] = fPos;
    t[16] = fJPos;
    t[17] = fTrim;
    t[18] = fJTrim;
    t[64] = fFixStr;
    t[73] = fLowerCase;
    t[74] = fUpperCase;
    t[75] = fExtractFilePath;
    t[76] = fExtractFileName;
    t[77] = fExtractFileExt;
    t[78] = fIsPathDelimiter;
    t[79] = fAddBackSlash;
    t[80] = fChangeFileExt;
    t[81] = fIsDelimiter;
    t[82] = fStringOfChar;
    t[83] = fStringReplace;
    t[85] = fHanToZen;
    t[86] = fZenToHan;
    t[133] = fAddDelimiter;
    t[138] = fStrToIntDef;
    t[139] = fStrToFloatDef;
    t[152] = fChr;
    t[153] = fOrd;
}

} // namespace zuno
