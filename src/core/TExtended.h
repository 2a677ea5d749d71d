// The 10-byte extended real of the stored formats (x87 layout: 64-bit
// significand with explicit integer bit, 15-bit exponent, sign), decoded and
// encoded by portable code. The raw form is kept, so a stored value is
// written back bit for bit; conversion to double rounds to nearest, ties to even.
#pragma once

#include <cstdint>

namespace zuno {

struct TExtended {
    uint64_t    mantissa = 0;       // significand, bit 63 the integer bit
    uint16_t    signExponent = 0;   // bit 15 sign, bits 0-14 biased exponent (bias 16383)

    static TExtended fromDouble(double v);                 // exact: every double is representable
    static TExtended fromBytes(const uint8_t* p);           // 10 bytes, little-endian
    void        toBytes(uint8_t* p) const;
    double      toDouble() const;

    bool operator==(const TExtended&) const = default;
};

} // namespace zuno
