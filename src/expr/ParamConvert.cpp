#include "expr/ParamConvert.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/EZunoError.h"

namespace zuno {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

std::optional<int32_t> tryStrToInt(std::string_view s) {
    size_t i = 0, n = s.size();
    while (i < n && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < n && s[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < n && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= n)
        return std::nullopt;
    uint64_t v = 0;
    if (hex) {
        for (; i < n; ++i) {
            int h = hexValue(s[i]);
            if (h < 0)
                return std::nullopt;
            v = v * 16 + static_cast<uint64_t>(h);
            if (v > 0xFFFFFFFFull)
                return std::nullopt;
        }
        uint32_t u = static_cast<uint32_t>(v);
        if (negative)
            u = 0u - u;
        return static_cast<int32_t>(u);
    }
    for (; i < n; ++i) {
        if (!isDigit(s[i]))
            return std::nullopt;
        v = v * 10 + static_cast<uint64_t>(s[i] - '0');
        if (v > 0x80000000ull)
            return std::nullopt;
    }
    if (negative)
        return static_cast<int32_t>(0u - static_cast<uint32_t>(v));
    if (v > 0x7FFFFFFFull)
        return std::nullopt;
    return static_cast<int32_t>(v);
}

int32_t strToIntDef(std::string_view s, int32_t def) {
    auto v = tryStrToInt(s);
    return v ? *v : def;
}

std::optional<TReal> tryStrToFloat(std::string_view s) {
    size_t i = 0, n = s.size();
    while (i < n && s[i] == ' ')
        ++i;
    std::string clean;
    if (i < n && (s[i] == '+' || s[i] == '-'))
        clean += s[i++];
    size_t digits = 0;
    while (i < n && isDigit(s[i])) {
        clean += s[i++];
        ++digits;
    }
    if (i < n && s[i] == '.') {
        clean += s[i++];
        while (i < n && isDigit(s[i])) {
            clean += s[i++];
            ++digits;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < n && (s[i] == 'E' || s[i] == 'e')) {
        clean += 'e';
        ++i;
        if (i < n && (s[i] == '+' || s[i] == '-'))
            clean += s[i++];
        size_t expDigits = 0;
        while (i < n && isDigit(s[i])) {
            clean += s[i++];
            ++expDigits;
        }
        if (expDigits == 0)
            return std::nullopt;
    }
    while (i < n && s[i] == ' ')
        ++i;
    if (i != n)
        return std::nullopt;
    TReal v = std::strtold(clean.c_str(), nullptr);
    if (std::isinf(v))
        return std::nullopt;   // out of range
    return v;
}

std::string floatToStr(TReal x) {
    if (std::isnan(x))
        return "NAN";
    if (std::isinf(x))
        return x < 0 ? "-INF" : "INF";
    if (x == 0)
        return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14Le", x);
    // buf: [-]d.dddddddddddddde[+-]xx
    const char* p = buf;
    std::string out;
    if (*p == '-') {
        out += '-';
        ++p;
    }
    std::string digits;
    for (; *p && *p != 'e'; ++p)
        if (isDigit(*p))
            digits += *p;
    int e10 = (*p == 'e') ? std::atoi(p + 1) : 0;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    int exponent = e10 + 1;                 // value = 0.d1d2... x 10^exponent
    if (exponent > 15 || exponent < -3) {
        out += digits[0];
        if (digits.size() > 1) {
            out += '.';
            out.append(digits, 1, std::string::npos);
        }
        out += 'E';
        out += std::to_string(e10);
        return out;
    }
    if (exponent <= 0) {
        out += "0.";
        out.append(static_cast<size_t>(-exponent), '0');
        out += digits;
    } else if (static_cast<size_t>(exponent) >= digits.size()) {
        out += digits;
        out.append(static_cast<size_t>(exponent) - digits.size(), '0');
    } else {
        out.append(digits, 0, static_cast<size_t>(exponent));
        out += '.';
        out.append(digits, static_cast<size_t>(exponent), std::string::npos);
    }
    return out;
}

int32_t truncToInt(TReal x) {
    if (std::isnan(x) || !(x > -9223372036854775808.0L && x < 9223372036854775808.0L))
        throw EZunoError::fromUtf8("不正な浮動小数点演算です");
    int64_t v = static_cast<int64_t>(x);    // truncation toward zero
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v)));
}

TReal extendedToReal(const TExtended& x) {
    if constexpr (LDBL_MANT_DIG == 64 && sizeof(long double) >= 10) {
        uint8_t b[sizeof(long double)] = {};
        x.toBytes(b);                       // x87 layout, little-endian
        long double v;
        std::memcpy(&v, b, sizeof v);
        return v;
    } else {
        bool negative = (x.signExponent & 0x8000) != 0;
        int e = x.signExponent & 0x7FFF;
        TReal v;
        if (e == 0x7FFF)
            v = (x.mantissa << 1) == 0 ? HUGE_VALL : NAN;
        else
            v = std::ldexp(static_cast<TReal>(x.mantissa), (e == 0 ? 1 : e) - 16383 - 63);
        return negative ? -v : v;
    }
}

TExtended realToExtended(TReal v) {
    if constexpr (LDBL_MANT_DIG == 64 && sizeof(long double) >= 10) {
        uint8_t b[sizeof(long double)] = {};
        std::memcpy(b, &v, sizeof v);
        return TExtended::fromBytes(b);
    } else {
        return TExtended::fromDouble(static_cast<double>(v));
    }
}

} // namespace zuno
