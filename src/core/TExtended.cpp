#include "core/TExtended.h"

#include <bit>
#include <cstring>

#include "core/StreamFields.h"

namespace zuno {

namespace {
constexpr uint64_t kFracMask = (uint64_t(1) << 52) - 1;
constexpr uint64_t kIntBit = uint64_t(1) << 63;

double fromBits(uint64_t bits) {
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}
} // namespace

TExtended TExtended::fromBytes(const uint8_t* p) {
    TExtended x;
    x.mantissa = getLE64(p);
    x.signExponent = getLE16(p + 8);
    return x;
}

void TExtended::toBytes(uint8_t* p) const {
    putLE64(p, mantissa);
    putLE16(p + 8, signExponent);
}

TExtended TExtended::fromDouble(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    uint16_t sign = (bits >> 63) ? 0x8000 : 0;
    int e = static_cast<int>((bits >> 52) & 0x7FF);
    uint64_t f = bits & kFracMask;
    TExtended x;
    if (e == 0x7FF) {                       // infinity or NaN: payload kept in the top bits
        x.signExponent = sign | 0x7FFF;
        x.mantissa = kIntBit | (f << 11);
    } else if (e == 0) {
        if (f == 0) {                       // signed zero
            x.signExponent = sign;
            x.mantissa = 0;
        } else {                            // double denormal: normal in the wider exponent
            int k = 63 - std::countl_zero(f);   // highest set bit, 0..51
            x.signExponent = sign | static_cast<uint16_t>(k - 1074 + 16383);
            x.mantissa = f << (63 - k);
        }
    } else {
        x.signExponent = sign | static_cast<uint16_t>(e - 1023 + 16383);
        x.mantissa = kIntBit | (f << 11);
    }
    return x;
}

double TExtended::toDouble() const {
    uint64_t sign = (signExponent & 0x8000) ? (uint64_t(1) << 63) : 0;
    int e = signExponent & 0x7FFF;
    uint64_t m = mantissa;
    if (e == 0x7FFF) {
        if ((m << 1) == 0)                  // infinity (with or without the integer bit)
            return fromBits(sign | (uint64_t(0x7FF) << 52));
        uint64_t f = (m >> 11) & kFracMask; // NaN: keep the top payload bits
        if (f == 0)
            f = uint64_t(1) << 51;          // a payload only in the low bits stays a NaN
        return fromBits(sign | (uint64_t(0x7FF) << 52) | f);
    }
    if (m == 0)
        return fromBits(sign);
    // value = m * 2^(E - 16383 - 63), with E = 1 for the denormal exponent 0.
    int lz = std::countl_zero(m);
    m <<= lz;
    int u = (e == 0 ? 1 : e) - 16383 - lz;  // unbiased exponent of the normalised m
    if (u > 1023)
        return fromBits(sign | (uint64_t(0x7FF) << 52));
    if (u >= -1022) {
        uint64_t keep = m >> 11;
        uint64_t rem = m & 0x7FF;
        if (rem > 0x400 || (rem == 0x400 && (keep & 1)))
            ++keep;
        if (keep == (uint64_t(1) << 53)) {
            keep >>= 1;
            ++u;
            if (u > 1023)
                return fromBits(sign | (uint64_t(0x7FF) << 52));
        }
        return fromBits(sign | (uint64_t(u + 1023) << 52) | (keep & kFracMask));
    }
    // Below the smallest normal double: the result is a double denormal f * 2^-1074.
    int s = -1011 - u;                      // shift from m to f, at least 12
    if (s > 64)
        return fromBits(sign);              // less than half of the smallest denormal
    uint64_t keep = s == 64 ? 0 : m >> s;
    uint64_t rem = s == 64 ? m : m & ((uint64_t(1) << s) - 1);
    uint64_t half = uint64_t(1) << (s - 1);
    if (rem > half || (rem == half && (keep & 1)))
        ++keep;                             // may carry into the smallest normal: still right
    return fromBits(sign | keep);
}

} // namespace zuno
