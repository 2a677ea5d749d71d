// SSE2 kernels for 32-bit pixels (every x86-64 processor has SSE2).
#include "imaging/BlendKernels.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#include <cstring>

namespace zuno {
namespace {

struct VSse2 {
    using Vec = __m128i;
    static constexpr int W = 4;
    static inline Vec load(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    static inline void store(uint32_t* p, Vec v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
    static inline Vec set1(uint32_t v) { return _mm_set1_epi32(int32_t(v)); }
    static inline Vec set16(uint16_t v) { return _mm_set1_epi16(int16_t(v)); }
    static inline Vec zero() { return _mm_setzero_si128(); }
    static inline Vec lo8(Vec v) { return _mm_unpacklo_epi8(v, _mm_setzero_si128()); }
    static inline Vec hi8(Vec v) { return _mm_unpackhi_epi8(v, _mm_setzero_si128()); }
    static inline Vec pack16(Vec a, Vec b) { return _mm_packus_epi16(a, b); }
    static inline Vec packs16(Vec a, Vec b) { return _mm_packs_epi16(a, b); }
    static inline Vec mul16(Vec a, Vec b) { return _mm_mullo_epi16(a, b); }
    static inline Vec add16(Vec a, Vec b) { return _mm_add_epi16(a, b); }
    static inline Vec sub16(Vec a, Vec b) { return _mm_sub_epi16(a, b); }
    static inline Vec shr8(Vec a) { return _mm_srli_epi16(a, 8); }
    static inline Vec cmpeq32(Vec a, Vec b) { return _mm_cmpeq_epi32(a, b); }
    static inline Vec cmpeq16(Vec a, Vec b) { return _mm_cmpeq_epi16(a, b); }
    static inline Vec or_(Vec a, Vec b) { return _mm_or_si128(a, b); }
    static inline Vec select(Vec m, Vec a, Vec b) { return _mm_or_si128(_mm_and_si128(m, a), _mm_andnot_si128(m, b)); }
    static inline Vec addsU8(Vec a, Vec b) { return _mm_adds_epu8(a, b); }
    static inline Vec subsU8(Vec a, Vec b) { return _mm_subs_epu8(a, b); }
    static inline bool allZero(Vec v) { return _mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_setzero_si128())) == 0xFFFF; }
    static inline bool allOnes(Vec v) {
        return _mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_cmpeq_epi8(v, v))) == 0xFFFF;
    }
    static inline Vec loadWeights(const uint8_t* m) {
        int32_t four;
        std::memcpy(&four, m, 4);
        Vec x = _mm_cvtsi32_si128(four);
        x = _mm_unpacklo_epi8(x, x);
        return _mm_unpacklo_epi16(x, x);
    }
};

#include "imaging/BlendKernelsSimd.inc"

constexpr TBlendKernels kSse2 = SimdKernels<VSse2>::table("sse2");

} // namespace

const TBlendKernels* sse2Kernels() { return &kSse2; }

} // namespace zuno

#else

namespace zuno {
const TBlendKernels* sse2Kernels() { return nullptr; }
} // namespace zuno

#endif
