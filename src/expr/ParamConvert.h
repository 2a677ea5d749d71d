// Conversions between the value types of the expression language: the
// integer and real text parsers (also used by the expression compiler to
// recognise number literals), the general real format, truncation of reals,
// and the 80-bit stored form of reals.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/TExtended.h"

namespace zuno {

// Reals of the expression language are 80-bit extended where the compiler
// offers it (x86); elsewhere long double is whatever the platform has.
using TReal = long double;

// Integer parse: optional blanks, optional sign, decimal digits or a
// hexadecimal number after "$" or "0x"; nothing may follow; the value must fit
// in int32 (hexadecimal up to FFFFFFFF, taken as two's complement).
std::optional<int32_t> tryStrToInt(std::string_view s);
int32_t                strToIntDef(std::string_view s, int32_t def);

// Real parse: optional blanks, optional sign, digits with an optional "."
// fraction (at least one digit), optional exponent "E"/"e" with sign;
// trailing blanks allowed; nothing else.
std::optional<TReal>   tryStrToFloat(std::string_view s);

// General format with 15 significant digits and no trailing zeros: fixed
// notation when the decimal exponent allows (1e-5 < |x| < 1e15), otherwise
// "1.5E20" / "1E-7"; "0" for zero; "INF", "-INF", "NAN".
std::string            floatToStr(TReal x);

// Real to int32 truncated toward zero; values beyond the 64-bit range and
// NaN fail with an error; within it the low 32 bits are kept.
int32_t                truncToInt(TReal x);

// Stored form of a real (10-byte extended), exact on x87 long double.
TReal                  extendedToReal(const TExtended& x);
TExtended              realToExtended(TReal x);

// The flag texts.
inline const char*     boolToStr(bool b) { return b ? "TRUE" : "FALSE"; }
inline bool            strToBool(std::string_view s) { return s == "TRUE"; }

} // namespace zuno
