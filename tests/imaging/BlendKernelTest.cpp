// The vector kernels must give the reference kernels' results bit for bit:
// kernel by kernel over random runs, and through the surface operations
// over random pictures, sizes, positions, clips, flips and opacities.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "SurfaceTestUtil.h"
#include "imaging/BlendKernels.h"

using namespace zuno;
using namespace zuno::test;

namespace {

std::vector<const TBlendKernels*> fastTables() {
    std::vector<const TBlendKernels*> t;
    if (sse2Kernels()) t.push_back(sse2Kernels());
    if (avx2Kernels()) t.push_back(avx2Kernels());
    return t;
}

// Pixels drawn from a few values half of the time, so that equal pixels and
// key pixels occur often; the rest random in all four bytes.
uint32_t randomPixel(std::mt19937& rng) {
    static const uint32_t common[] = {0, 0x00FFFFFF, 0xFFFFFFFF, 0x00808080, 0x00ABCDEF};
    return rng() % 2 ? common[rng() % 5] : uint32_t(rng());
}

uint8_t randomWeight(std::mt19937& rng) {
    switch (rng() % 4) {
    case 0: return 0;
    case 1: return 255;
    default: return uint8_t(rng());
    }
}

uint32_t randomOpacity(std::mt19937& rng) {
    static const uint32_t values[] = {1, 2, 77, 128, 200, 254, 255};
    return rng() % 2 ? values[rng() % 7] : rng() % 256;
}

} // namespace

TEST(BlendKernels, VectorKernelsEqualReferenceOnRandomRuns) {
    if (fastTables().empty()) GTEST_SKIP() << "no vector kernels on this machine";
    const TBlendKernels& ref = referenceKernels(32);
    std::mt19937 rng(20261210);
    for (const TBlendKernels* fast : fastTables()) {
        SCOPED_TRACE(fast->Name);
        for (int iter = 0; iter < 3000; ++iter) {
            int32_t n = int32_t(rng() % 70), off = int32_t(rng() % 8);
            std::vector<uint32_t> d(size_t(n + off)), s(size_t(n + off));
            std::vector<uint8_t> m(size_t(n + off));
            for (auto& v : d) v = randomPixel(rng);
            for (size_t i = 0; i < s.size(); ++i) s[i] = rng() % 4 == 0 ? d[i] : randomPixel(rng);
            for (auto& v : m) v = randomWeight(rng);
            uint32_t a = randomOpacity(rng), c = randomPixel(rng), key = rng() % 2 ? 0x00ABCDEF : randomPixel(rng);
            bool useKey = rng() % 2;
            auto check = [&](const char* what, const std::function<void(const TBlendKernels&, uint32_t*)>& run) {
                std::vector<uint32_t> a1 = d, a2 = d;
                run(ref, a1.data() + off);
                run(*fast, a2.data() + off);
                ASSERT_EQ(a1, a2) << what << " n=" << n << " offset=" << off << " iteration " << iter;
            };
            const uint32_t* sp = s.data() + off;
            const uint8_t* mp = m.data() + off;
            check("copyKey", [&](const TBlendKernels& k, uint32_t* dp) { k.copyKey(dp, sp, n, key); });
            check("mask", [&](const TBlendKernels& k, uint32_t* dp) { k.mask(dp, sp, mp, n); });
            check("alpha", [&](const TBlendKernels& k, uint32_t* dp) { k.alpha(dp, sp, n, a, useKey, key); });
            check("alphaMask", [&](const TBlendKernels& k, uint32_t* dp) { k.alphaMask(dp, sp, mp, n, a); });
            check("add", [&](const TBlendKernels& k, uint32_t* dp) { k.add(dp, sp, n, a, useKey, key); });
            check("addMask", [&](const TBlendKernels& k, uint32_t* dp) { k.addMask(dp, sp, mp, n, a); });
            check("colorMask", [&](const TBlendKernels& k, uint32_t* dp) { k.colorMask(dp, mp, n, c, a); });
            check("colorMaskAdd", [&](const TBlendKernels& k, uint32_t* dp) { k.colorMaskAdd(dp, mp, n, c, a); });
            check("fillAlpha", [&](const TBlendKernels& k, uint32_t* dp) { k.fillAlpha(dp, n, c, a); });
            check("fillAdd", [&](const TBlendKernels& k, uint32_t* dp) { k.fillAdd(dp, n, c); });
            check("fillSub", [&](const TBlendKernels& k, uint32_t* dp) { k.fillSub(dp, n, c); });
        }
    }
}

namespace {

std::unique_ptr<TDIBX> randomSurface(std::mt19937& rng, int32_t w, int32_t h, int32_t bits) {
    auto s = std::make_unique<TDIBX>(w, h, bits);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) s->SetPixel(x, y, bits == 8 ? randomWeight(rng) : randomPixel(rng));
    return s;
}

int32_t between(std::mt19937& rng, int32_t lo, int32_t hi) { return lo + int32_t(rng() % uint32_t(hi - lo + 1)); }

TRect randomRect(std::mt19937& rng, int32_t w, int32_t h) {
    int32_t l = between(rng, -3, w), t = between(rng, -3, h);
    return TRect(l, t, between(rng, l, w + 3), between(rng, t, h + 3));
}

} // namespace

TEST(BlendKernels, SurfaceOperationsEqualReferenceOnRandomPictures) {
    if (fastTables().empty()) GTEST_SKIP() << "no vector kernels on this machine";
    std::mt19937 rng(7741);
    const int32_t opacities[] = {1, 64, 128, 254, 255, 256, 300, 511};
    for (int iter = 0; iter < 1500; ++iter) {
        int32_t sw = between(rng, 1, 45), sh = between(rng, 1, 12);
        int32_t dw = between(rng, 1, 50), dh = between(rng, 1, 12);
        auto src = randomSurface(rng, sw, sh, 32);
        auto mask = randomSurface(rng, sw, sh, 8);
        auto base = randomSurface(rng, dw, dh, 32);
        src->TransparentColor = rng() % 2 ? 0x00ABCDEF : -1;
        int32_t x = between(rng, -20, dw), y = between(rng, -8, dh);
        bool fv = rng() % 2, fh = rng() % 2, key = rng() % 2;
        TRect srcRect = rng() % 3 ? TRect(0, 0, sw, sh) : randomRect(rng, sw, sh);
        TRect clip = rng() % 2 ? TRect() : randomRect(rng, dw, dh);
        TRect destRect = randomRect(rng, dw, dh);
        int32_t a = opacities[rng() % 8];
        int32_t angle = between(rng, 0, 255), zx = between(rng, 40, 700), zy = between(rng, 40, 700);
        uint32_t colour = randomPixel(rng);
        int op = int(rng() % 16);

        auto run = [&](TDIBX& d) {
            d.ClipRect = clip;
            switch (op) {
            case 0: d.Draw(x, y, fv, fh, key, srcRect, *src); break;
            case 1: d.DrawMask(x, y, *mask, fv, fh, srcRect, *src); break;
            case 2: d.DrawAlpha(x, y, a, fv, fh, key, srcRect, *src); break;
            case 3: d.DrawAlphaMask(x, y, a, *mask, fv, fh, srcRect, *src); break;
            case 4: d.DrawAdd(x, y, a, fv, fh, srcRect, *src); break;
            case 5: d.DrawAddMask(x, y, a, *mask, fv, fh, srcRect, *src); break;
            case 6: d.DrawColorMask(x, y, a, colour, fv, fh, srcRect, *mask); break;
            case 7: d.FillRectAlpha(destRect, colour, a); break;
            case 8: d.FillRectAdd(destRect, colour); break;
            case 9: d.FillRectSub(destRect, colour); break;
            case 10: d.StretchDrawAlpha(destRect, *src, a, fv, fh, key, srcRect); break;
            case 11: d.StretchDrawAlphaMask(destRect, *src, a, *mask, fv, fh, srcRect); break;
            case 12: d.StretchDrawAddMask(destRect, *src, a, *mask, fv, fh, srcRect); break;
            case 13: d.DrawRotate(x, y, a, fv, fh, key, angle, sw / 2, sh / 2, zx, zy, srcRect, *src); break;
            case 14: d.DrawRotateMask(x, y, a, *mask, fv, fh, angle, sw / 3, sh / 3, zx, zy, srcRect, *src); break;
            case 15: d.FillZoomPatternMask(destRect, *src, *mask, zx, zy, x, y, fv, fh, a); break;
            }
        };
        TDIBX expected(dw, dh, 32);
        expected.Assign(*base);
        selectBlendKernels(TKernelChoice::Reference);
        run(expected);
        for (const TBlendKernels* fast : fastTables()) {
            TDIBX actual(dw, dh, 32);
            actual.Assign(*base);
            setBlendKernels32(*fast);
            run(actual);
            ASSERT_EQ(pixelsOf(actual), pixelsOf(expected)) << fast->Name << " operation " << op << " iteration " << iter;
        }
    }
    selectBlendKernels(TKernelChoice::Fast);
}
