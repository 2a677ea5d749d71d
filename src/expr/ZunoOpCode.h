// Operation codes of compiled expressions. One byte each in the stored form;
// the numbers are part of the compiled-page format.
#pragma once

#include <cstdint>
#include <string>

namespace zuno {

enum TOpeCode : uint8_t {
    ocNone      = 0,    // invalid
    ocTo        = 1,    // =   R <- a
    ocPlus      = 2,    // +
    ocMinus     = 3,    // -
    ocMul       = 4,    // *
    ocDiv       = 5,    // /
    ocMod       = 6,    // %
    ocOr        = 7,    // |   bitwise on int32
    ocAnd       = 8,    // &
    ocXor       = 9,    // ^
    ocDimTo     = 10,   // name[i, j, ...]: element reference
    ocFunc      = 11,   // built-in call; the function number is stored apart
    ocEqual     = 12,   // ==
    ocBig       = 13,   // >
    ocSmall     = 14,   // <
    ocEBig      = 15,   // >=
    ocESmall    = 16,   // <=
    ocShiftL    = 17,   // <<
    ocShiftR    = 18,   // >>  unsigned
    ocComboStr  = 19,   // ++  text concatenation
    ocNEqual    = 20,   // <>
};

constexpr uint8_t ocLast = ocNEqual;

// The code's name ("ocPlus"); codes beyond ocLast give "oc" + the number.
std::string opCodeName(uint8_t code);

// Operand kinds of the stored form.
enum TOperandKind : uint8_t {
    okVariable  = 0,    // text: a variable name
    okInteger   = 1,    // int32
    okFloat     = 2,    // 10-byte extended real
    okFlag      = 3,    // one byte, 0 or 1
    okString    = 4,    // text
};

// Names of the compiler's temporaries.
constexpr const char* kTempPrefix = "____";       // every temporary
constexpr const char* kElementRefPrefix = "____d_"; // element references made by indexing
constexpr const char* kArgName = "____arg";       // the value of an expression

inline bool isTempName(const std::string& name) { return name.compare(0, 4, kTempPrefix) == 0; }
inline bool isElementRefName(const std::string& name) { return name.compare(0, 6, kElementRefPrefix) == 0; }

} // namespace zuno
