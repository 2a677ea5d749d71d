// Scalar kernels: the per-channel rules written out plainly for each pixel
// format. They are the reference the vector kernels are measured against.
#include <algorithm>

#include "imaging/BlendKernels.h"

namespace zuno {

namespace {

struct Fmt32 {
    static constexpr int N = 4;
    static constexpr int Shift[4] = {0, 8, 16, 24};
    static constexpr uint32_t Max[4] = {255, 255, 255, 255};
};
struct Fmt24 {
    static constexpr int N = 3;
    static constexpr int Shift[3] = {0, 8, 16};
    static constexpr uint32_t Max[3] = {255, 255, 255};
};
struct Fmt16 {
    static constexpr int N = 3;
    static constexpr int Shift[3] = {0, 5, 11};
    static constexpr uint32_t Max[3] = {31, 63, 31};
};
struct Fmt15 {
    static constexpr int N = 3;
    static constexpr int Shift[3] = {0, 5, 10};
    static constexpr uint32_t Max[3] = {31, 31, 31};
};
struct Fmt8 {
    static constexpr int N = 1;
    static constexpr int Shift[1] = {0};
    static constexpr uint32_t Max[1] = {255};
};

// Applies f(d, s, max) to every channel of two pixels.
template <class F, class Op>
inline uint32_t perChannel(uint32_t d, uint32_t s, Op f) {
    uint32_t r = 0;
    for (int i = 0; i < F::N; ++i) {
        uint32_t dc = (d >> F::Shift[i]) & F::Max[i];
        uint32_t sc = (s >> F::Shift[i]) & F::Max[i];
        r |= (f(dc, sc, F::Max[i]) & F::Max[i]) << F::Shift[i];
    }
    return r;
}

inline uint32_t mix(uint32_t d, uint32_t s, uint32_t w) { return (s * w + d * (255 - w)) >> 8; }
inline uint32_t addc(uint32_t d, uint32_t s, uint32_t w, uint32_t mx) { return std::min(d + ((s * w) >> 8), mx); }

template <class F>
struct Ref {
    static void copyKey(uint32_t* d, const uint32_t* s, int32_t n, uint32_t key) {
        for (int32_t i = 0; i < n; ++i)
            if (s[i] != key) d[i] = s[i];
    }
    static void mask(uint32_t* d, const uint32_t* s, const uint8_t* m, int32_t n) {
        for (int32_t i = 0; i < n; ++i) {
            uint32_t w = m[i];
            if (w == 255) d[i] = s[i];
            else if (w != 0)
                d[i] = perChannel<F>(d[i], s[i], [w](uint32_t dc, uint32_t sc, uint32_t) { return mix(dc, sc, w); });
        }
    }
    static void alpha(uint32_t* d, const uint32_t* s, int32_t n, uint32_t a, bool useKey, uint32_t key) {
        for (int32_t i = 0; i < n; ++i) {
            if (s[i] == d[i] || (useKey && s[i] == key)) continue;
            d[i] = perChannel<F>(d[i], s[i], [a](uint32_t dc, uint32_t sc, uint32_t) { return mix(dc, sc, a); });
        }
    }
    static void alphaMask(uint32_t* d, const uint32_t* s, const uint8_t* m, int32_t n, uint32_t a) {
        for (int32_t i = 0; i < n; ++i) {
            if (m[i] == 0) continue;
            uint32_t b = (a * m[i]) >> 8;
            d[i] = perChannel<F>(d[i], s[i], [b](uint32_t dc, uint32_t sc, uint32_t) { return mix(dc, sc, b); });
        }
    }
    static void add(uint32_t* d, const uint32_t* s, int32_t n, uint32_t a, bool useKey, uint32_t key) {
        for (int32_t i = 0; i < n; ++i) {
            if (useKey && s[i] == key) continue;
            d[i] = perChannel<F>(d[i], s[i], [a](uint32_t dc, uint32_t sc, uint32_t mx) { return addc(dc, sc, a, mx); });
        }
    }
    static void addMask(uint32_t* d, const uint32_t* s, const uint8_t* m, int32_t n, uint32_t a) {
        for (int32_t i = 0; i < n; ++i) {
            if (m[i] == 0) continue;
            uint32_t b = (a * m[i]) >> 8;
            d[i] = perChannel<F>(d[i], s[i], [b](uint32_t dc, uint32_t sc, uint32_t mx) { return addc(dc, sc, b, mx); });
        }
    }
    static void colorMask(uint32_t* d, const uint8_t* m, int32_t n, uint32_t c, uint32_t a) {
        for (int32_t i = 0; i < n; ++i) {
            uint32_t b = (a * m[i]) >> 8;
            if (b == 0) continue;
            d[i] = perChannel<F>(d[i], c, [b](uint32_t dc, uint32_t sc, uint32_t) { return mix(dc, sc, b); });
        }
    }
    static void colorMaskAdd(uint32_t* d, const uint8_t* m, int32_t n, uint32_t c, uint32_t a) {
        for (int32_t i = 0; i < n; ++i) {
            uint32_t b = (a * m[i]) >> 8;
            if (b == 0) continue;
            d[i] = perChannel<F>(d[i], c, [b](uint32_t dc, uint32_t sc, uint32_t mx) { return addc(dc, sc, b, mx); });
        }
    }
    static void fillAlpha(uint32_t* d, int32_t n, uint32_t c, uint32_t a) {
        for (int32_t i = 0; i < n; ++i) {
            if (d[i] == c) continue;
            d[i] = perChannel<F>(d[i], c, [a](uint32_t dc, uint32_t sc, uint32_t) { return mix(dc, sc, a); });
        }
    }
    static void fillAdd(uint32_t* d, int32_t n, uint32_t c) {
        for (int32_t i = 0; i < n; ++i)
            d[i] = perChannel<F>(d[i], c, [](uint32_t dc, uint32_t sc, uint32_t mx) { return std::min(dc + sc, mx); });
    }
    static void fillSub(uint32_t* d, int32_t n, uint32_t c) {
        for (int32_t i = 0; i < n; ++i)
            d[i] = perChannel<F>(d[i], c, [](uint32_t dc, uint32_t sc, uint32_t) { return dc > sc ? dc - sc : 0; });
    }

    static constexpr TBlendKernels table(const char* name) {
        return {name, copyKey, mask, alpha, alphaMask, add, addMask, colorMask, colorMaskAdd, fillAlpha, fillAdd, fillSub};
    }
};

const TBlendKernels kRef32 = Ref<Fmt32>::table("reference");
const TBlendKernels kRef24 = Ref<Fmt24>::table("reference-24");
const TBlendKernels kRef16 = Ref<Fmt16>::table("reference-16");
const TBlendKernels kRef15 = Ref<Fmt15>::table("reference-15");
const TBlendKernels kRef8 = Ref<Fmt8>::table("reference-8");

const TBlendKernels* fastestKernels() {
    if (const TBlendKernels* k = avx2Kernels()) return k;
    if (const TBlendKernels* k = sse2Kernels()) return k;
    return &kRef32;
}

const TBlendKernels* gKernels32 = nullptr;     // chosen on first use

} // namespace

const TBlendKernels& referenceKernels(int32_t bits) {
    switch (bits) {
    case 32: return kRef32;
    case 24: return kRef24;
    case 16: return kRef16;
    case 15: return kRef15;
    default: return kRef8;
    }
}

const TBlendKernels& blendKernels32() {
    if (!gKernels32) gKernels32 = fastestKernels();
    return *gKernels32;
}

void selectBlendKernels(TKernelChoice choice) {
    gKernels32 = choice == TKernelChoice::Reference ? &kRef32 : fastestKernels();
}

void setBlendKernels32(const TBlendKernels& table) { gKernels32 = &table; }

} // namespace zuno
