// Row kernels of the blending operations.
//
// Every kernel works on one run of pixels held as 32-bit pixel values
// (destination format): d is changed in place, s is the source run already
// converted, mirrored and resampled by the caller, m the matching mask bytes.
// The arithmetic per channel (>> 8 truncates):
//   copyKey     d := s unless s == key
//   mask        m = 0 keep, m = 255 d := s, else d := ((255 - m) d + m s) >> 8
//   alpha       skip s == d (and s == key when useKey); d := (s a + d (255 - a)) >> 8
//   alphaMask   skip m = 0; b := (a m) >> 8; d := ((255 - b) d + b s) >> 8
//   add         skip s == key when useKey; d := min(d + ((s a) >> 8), max)
//   addMask     skip m = 0; b := (a m) >> 8; d := min(d + ((s b) >> 8), max)
//   colorMask   skip b = 0; b := (a m) >> 8; d := ((255 - b) d + b c) >> 8
//   colorMaskAdd skip b = 0; b := (a m) >> 8; d := min(d + ((c b) >> 8), max)
//   fillAlpha   skip d == c; d := (c a + d (255 - a)) >> 8
//   fillAdd     d := min(d + c, max)
//   fillSub     d := max(d - c, 0)
// A 32-bit pixel is four 8-bit channels (the fourth byte included), so
// packed byte arithmetic gives the same results as the per-channel rule.
//
// The table for 32-bit pixels is switchable: the scalar reference, or the
// fastest vector path the processor offers. Tests run both and compare them
// bit for bit; the other formats (8, 15, 16, 24) always use scalar kernels.
#pragma once

#include <cstdint>

namespace zuno {

struct TBlendKernels {
    const char* Name;
    void (*copyKey)(uint32_t* d, const uint32_t* s, int32_t n, uint32_t key);
    void (*mask)(uint32_t* d, const uint32_t* s, const uint8_t* m, int32_t n);
    void (*alpha)(uint32_t* d, const uint32_t* s, int32_t n, uint32_t a, bool useKey, uint32_t key);
    void (*alphaMask)(uint32_t* d, const uint32_t* s, const uint8_t* m, int32_t n, uint32_t a);
    void (*add)(uint32_t* d, const uint32_t* s, int32_t n, uint32_t a, bool useKey, uint32_t key);
    void (*addMask)(uint32_t* d, const uint32_t* s, const uint8_t* m, int32_t n, uint32_t a);
    void (*colorMask)(uint32_t* d, const uint8_t* m, int32_t n, uint32_t c, uint32_t a);
    void (*colorMaskAdd)(uint32_t* d, const uint8_t* m, int32_t n, uint32_t c, uint32_t a);
    void (*fillAlpha)(uint32_t* d, int32_t n, uint32_t c, uint32_t a);
    void (*fillAdd)(uint32_t* d, int32_t n, uint32_t c);
    void (*fillSub)(uint32_t* d, int32_t n, uint32_t c);
};

enum class TKernelChoice {
    Reference,      // scalar per-channel code
    Fast,           // the best vector path available (chosen once from the processor)
};

// The table used for 32-bit pixels, and how to switch it (tests, benchmarks).
const TBlendKernels&    blendKernels32();
void                    selectBlendKernels(TKernelChoice choice);
void                    setBlendKernels32(const TBlendKernels& table);   // a particular table

// The scalar kernels for a pixel format: 8 (one channel), 15, 16, 24, 32.
const TBlendKernels&    referenceKernels(int32_t bits);

// Vector tables, or nullptr where the processor or build lacks them.
const TBlendKernels*    sse2Kernels();
const TBlendKernels*    avx2Kernels();

} // namespace zuno
