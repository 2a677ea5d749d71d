// AVX2 kernels for 32-bit pixels. This file alone is compiled with AVX2
// enabled; everything in it has internal linkage so no AVX2 code can leak
// into the rest of the program, and the table is handed out only when the
// processor reports AVX2.
#include "imaging/BlendKernels.h"

#if defined(__AVX2__)
#include <immintrin.h>
#include <cstring>

namespace zuno {
namespace {

struct VAvx2 {
    using Vec = __m256i;
    static constexpr int W = 8;
    static inline Vec load(const uint32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
    static inline void store(uint32_t* p, Vec v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
    static inline Vec set1(uint32_t v) { return _mm256_set1_epi32(int32_t(v)); }
    static inline Vec set16(uint16_t v) { return _mm256_set1_epi16(int16_t(v)); }
    static inline Vec zero() { return _mm256_setzero_si256(); }
    static inline Vec lo8(Vec v) { return _mm256_unpacklo_epi8(v, _mm256_setzero_si256()); }
    static inline Vec hi8(Vec v) { return _mm256_unpackhi_epi8(v, _mm256_setzero_si256()); }
    static inline Vec pack16(Vec a, Vec b) { return _mm256_packus_epi16(a, b); }
    static inline Vec packs16(Vec a, Vec b) { return _mm256_packs_epi16(a, b); }
    static inline Vec mul16(Vec a, Vec b) { return _mm256_mullo_epi16(a, b); }
    static inline Vec add16(Vec a, Vec b) { return _mm256_add_epi16(a, b); }
    static inline Vec sub16(Vec a, Vec b) { return _mm256_sub_epi16(a, b); }
    static inline Vec shr8(Vec a) { return _mm256_srli_epi16(a, 8); }
    static inline Vec cmpeq32(Vec a, Vec b) { return _mm256_cmpeq_epi32(a, b); }
    static inline Vec cmpeq16(Vec a, Vec b) { return _mm256_cmpeq_epi16(a, b); }
    static inline Vec or_(Vec a, Vec b) { return _mm256_or_si256(a, b); }
    static inline Vec select(Vec m, Vec a, Vec b) { return _mm256_blendv_epi8(b, a, m); }
    static inline Vec addsU8(Vec a, Vec b) { return _mm256_adds_epu8(a, b); }
    static inline Vec subsU8(Vec a, Vec b) { return _mm256_subs_epu8(a, b); }
    static inline bool allZero(Vec v) { return _mm256_testz_si256(v, v) != 0; }
    static inline bool allOnes(Vec v) { return _mm256_testc_si256(v, _mm256_cmpeq_epi8(v, v)) != 0; }
    static inline Vec loadWeights(const uint8_t* m) {
        Vec x = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(m)));
        return _mm256_mullo_epi32(x, _mm256_set1_epi32(0x01010101));
    }
};

#include "imaging/BlendKernelsSimd.inc"

constexpr TBlendKernels kAvx2 = SimdKernels<VAvx2>::table("avx2");

} // namespace

const TBlendKernels* avx2Kernels() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? &kAvx2 : nullptr;
}

} // namespace zuno

#else

namespace zuno {
const TBlendKernels* avx2Kernels() { return nullptr; }
} // namespace zuno

#endif
