// Surface drawing against references measured in the same iterations:
// Draw against memcpy of the same rows, the mask blends against pixman's
// OVER with an a8 mask, the rotation against pixman's nearest affine
// transform. Each benchmark times both sides of every iteration and reports
// ratio = reference time / our time (above 1: we are faster).
#include <benchmark/benchmark.h>

#include <ctime>
#include <cmath>
#include <cstring>
#include <numbers>
#include <random>

#include "imaging/BlendKernels.h"
#include "imaging/TDIBX.h"

#if __has_include(<pixman.h>)
#include <pixman.h>
#define ZUNO_HAVE_PIXMAN 1
#endif

using namespace zuno;

namespace {

constexpr int32_t kW = 1280, kH = 720;

// The machines are shared and busy: both sides are timed in this thread's
// processor time, so a pre-empted side is not charged for waiting.
struct Clock {
    using time_point = double;
    static double now() {
        timespec ts;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
    }
};


// A picture with variety in every channel.
void fillPicture(TDIBX& s, uint32_t seed) {
    std::mt19937 rng(seed);
    for (int32_t y = 0; y < s.GetHeight(); ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(s.ScanLine(y));
        for (int32_t x = 0; x < s.GetWidth(); ++x) row[x] = rng() & 0x00FFFFFF;
    }
}

// Mask kinds: a sprite (opaque inside a soft-edged ellipse, clear outside)
// and a gradient where every pixel is partial.
void fillMask(TDIBX& m, bool gradient) {
    for (int32_t y = 0; y < m.GetHeight(); ++y) {
        uint8_t* row = m.ScanLine(y);
        for (int32_t x = 0; x < m.GetWidth(); ++x) {
            if (gradient) {
                row[x] = uint8_t(1 + (x + y) % 254);
                continue;
            }
            double dx = (x - kW / 2.0) / (kW * 0.45), dy = (y - kH / 2.0) / (kH * 0.45);
            double r = std::sqrt(dx * dx + dy * dy);
            double v = std::clamp((1.0 - r) * 40.0, 0.0, 1.0);
            row[x] = uint8_t(std::lround(v * 255.0));
        }
    }
}

struct Timing {
    double ours = 0, reference = 0;
    void report(benchmark::State& state) {
        state.counters["ours_ms"] = benchmark::Counter(ours * 1e3 / double(state.iterations()));
        state.counters["ref_ms"] = benchmark::Counter(reference * 1e3 / double(state.iterations()));
        state.counters["ratio"] = benchmark::Counter(ours > 0 ? reference / ours : 0);
    }
};

// Runs both sides in every iteration, in alternating order so neither
// always finds the caches left by the other.
template <class Ours, class Ref>
void timeBoth(benchmark::State& state, Ours ours, Ref ref) {
    Timing t;
    bool odd = false;
    for (auto _ : state) {
        double a = Clock::now();
        if (odd) ref(); else ours();
        double b = Clock::now();
        if (odd) ours(); else ref();
        double c = Clock::now();
        double o = odd ? c - b : b - a, r = odd ? b - a : c - b;
        odd = !odd;
        t.ours += o;
        t.reference += r;
        state.SetIterationTime(o);
    }
    t.report(state);
}

// Argument 0: the scalar reference, 1: the fastest path, 2: SSE2.
void useKernels(benchmark::State& state) {
    selectBlendKernels(state.range(0) ? TKernelChoice::Fast : TKernelChoice::Reference);
    if (state.range(0) == 2 && sse2Kernels()) setBlendKernels32(*sse2Kernels());
    state.SetLabel(blendKernels32().Name);
}

// ---------------------------------------------------------------- Draw vs memcpy

void BM_Draw_vs_memcpy(benchmark::State& state) {
    useKernels(state);
    TDIBX src(kW, kH, 32), dst(kW, kH, 32);
    fillPicture(src, 1);
    const TRect all(0, 0, kW, kH);
    timeBoth(
        state, [&] { dst.Draw(0, 0, false, false, false, all, src); benchmark::DoNotOptimize(dst.ScanLine(0)); },
        [&] {
            // The same rows between the same memory: only the copying differs.
            for (int32_t y = 0; y < kH; ++y) std::memcpy(dst.ScanLine(y), src.ScanLine(y), size_t(kW) * 4);
            benchmark::DoNotOptimize(dst.ScanLine(0));
        });
}
BENCHMARK(BM_Draw_vs_memcpy)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

#ifdef ZUNO_HAVE_PIXMAN

struct PixmanSet {
    pixman_image_t* src;
    pixman_image_t* mask;
    pixman_image_t* dst;
    std::vector<uint32_t> dstPixels;
    PixmanSet(TDIBX& source, TDIBX& maskSurface, const TDIBX& start) : dstPixels(size_t(kW) * kH) {
        src = pixman_image_create_bits(PIXMAN_x8r8g8b8, source.GetWidth(), source.GetHeight(),
                                       reinterpret_cast<uint32_t*>(source.ScanLine(0)), source.GetPitch());
        mask = pixman_image_create_bits(PIXMAN_a8, maskSurface.GetWidth(), maskSurface.GetHeight(),
                                        reinterpret_cast<uint32_t*>(maskSurface.ScanLine(0)), maskSurface.GetPitch());
        dst = pixman_image_create_bits(PIXMAN_x8r8g8b8, kW, kH, dstPixels.data(), kW * 4);
        (void)start;
    }
    ~PixmanSet() {
        pixman_image_unref(src);
        pixman_image_unref(mask);
        pixman_image_unref(dst);
    }
};

// ---------------------------------------------------------------- DrawMask / DrawAlphaMask vs pixman OVER a8

template <bool Alpha>
void BM_MaskBlend_vs_pixman(benchmark::State& state) {
    useKernels(state);
    bool gradient = state.range(1) != 0;
    TDIBX src(kW, kH, 32), dst(kW, kH, 32), mask(kW, kH, 8);
    fillPicture(src, 2);
    fillPicture(dst, 3);
    fillMask(mask, gradient);
    PixmanSet px(src, mask, dst);
    std::memcpy(px.dstPixels.data(), dst.ScanLine(0), px.dstPixels.size() * 4);
    const TRect all(0, 0, kW, kH);
    timeBoth(
        state,
        [&] {
            if (Alpha) dst.DrawAlphaMask(0, 0, 200, mask, false, false, all, src);
            else dst.DrawMask(0, 0, mask, false, false, all, src);
            benchmark::DoNotOptimize(dst.ScanLine(0));
        },
        [&] {
            pixman_image_composite32(PIXMAN_OP_OVER, px.src, px.mask, px.dst, 0, 0, 0, 0, 0, 0, kW, kH);
            benchmark::DoNotOptimize(px.dstPixels.data());
        });
    state.SetLabel(std::string(blendKernels32().Name) + (gradient ? " gradient mask" : " sprite mask"));
}
BENCHMARK_TEMPLATE(BM_MaskBlend_vs_pixman, false)
    ->ArgsProduct({{0, 1, 2}, {0, 1}})->ArgNames({"kernels", "gradient"})->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_MaskBlend_vs_pixman, true)
    ->ArgsProduct({{0, 1, 2}, {0, 1}})->ArgNames({"kernels", "gradient"})->UseManualTime()->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- DrawAlpha / DrawAdd vs pixman with a solid mask

// Constant opacity 200: DrawAlpha against OVER through a solid mask, DrawAdd
// against ADD through the same mask.
template <bool Add>
void BM_ConstantBlend_vs_pixman(benchmark::State& state) {
    useKernels(state);
    TDIBX src(kW, kH, 32), dst(kW, kH, 32), mask(kW, kH, 8);
    fillPicture(src, 6);
    fillPicture(dst, 7);
    PixmanSet px(src, mask, dst);
    std::memcpy(px.dstPixels.data(), dst.ScanLine(0), px.dstPixels.size() * 4);
    pixman_color_t alpha = {0, 0, 0, 200 * 257};
    pixman_image_t* solid = pixman_image_create_solid_fill(&alpha);
    const TRect all(0, 0, kW, kH);
    timeBoth(
        state,
        [&] {
            if (Add) dst.DrawAdd(0, 0, 200, false, false, all, src);
            else dst.DrawAlpha(0, 0, 200, false, false, false, all, src);
            benchmark::DoNotOptimize(dst.ScanLine(0));
        },
        [&] {
            pixman_image_composite32(Add ? PIXMAN_OP_ADD : PIXMAN_OP_OVER, px.src, solid, px.dst, 0, 0, 0, 0, 0, 0,
                                     kW, kH);
            benchmark::DoNotOptimize(px.dstPixels.data());
        });
    pixman_image_unref(solid);
}
BENCHMARK_TEMPLATE(BM_ConstantBlend_vs_pixman, false)->Arg(1)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_ConstantBlend_vs_pixman, true)->Arg(1)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- DrawRotate vs pixman affine nearest

void BM_DrawRotate_vs_pixman(benchmark::State& state) {
    useKernels(state);
    // A 640 x 360 picture turned by 20/256 of a turn and zoomed 1.5 x 1.3
    // about its centre, placed at the centre of the 1280 x 720 scene.
    const int32_t sw = 640, sh = 360, angle = 20, zoomX = 384, zoomY = 333;
    const int32_t cx = sw / 2, cy = sh / 2, x = kW / 2, y = kH / 2;
    TDIBX src(sw, sh, 32), dst(kW, kH, 32), mask(sw, sh, 8);
    fillPicture(src, 4);
    fillPicture(dst, 5);
    PixmanSet px(src, mask, dst);
    double theta = angle * 2.0 * std::numbers::pi / 256.0, c = std::cos(theta), s = std::sin(theta);
    double fx = zoomX / 256.0, fy = zoomY / 256.0;
    pixman_transform_t tr;
    pixman_transform_init_identity(&tr);
    tr.matrix[0][0] = pixman_double_to_fixed(c / fx);
    tr.matrix[0][1] = pixman_double_to_fixed(s / fx);
    tr.matrix[0][2] = pixman_double_to_fixed(cx - (c * x + s * y) / fx);
    tr.matrix[1][0] = pixman_double_to_fixed(-s / fy);
    tr.matrix[1][1] = pixman_double_to_fixed(c / fy);
    tr.matrix[1][2] = pixman_double_to_fixed(cy - (-s * x + c * y) / fy);
    pixman_image_set_transform(px.src, &tr);
    pixman_image_set_filter(px.src, PIXMAN_FILTER_NEAREST, nullptr, 0);
    pixman_image_set_repeat(px.src, PIXMAN_REPEAT_NONE);
    TRect box = TCustomDIBX::GetRotateBounds(x, y, TRect(0, 0, sw, sh), cx, cy, false, false, angle, zoomX, zoomY);
    box = intersectRect(box, TRect(0, 0, kW, kH));
    timeBoth(
        state,
        [&] {
            dst.DrawRotate(x, y, 255, false, false, false, angle, cx, cy, zoomX, zoomY, TRect(0, 0, sw, sh), src);
            benchmark::DoNotOptimize(dst.ScanLine(0));
        },
        [&] {
            pixman_image_composite32(PIXMAN_OP_OVER, px.src, nullptr, px.dst, box.Left, box.Top, 0, 0, box.Left,
                                     box.Top, box.width(), box.height());
            benchmark::DoNotOptimize(px.dstPixels.data());
        });
}
BENCHMARK(BM_DrawRotate_vs_pixman)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

#endif

} // namespace

BENCHMARK_MAIN();
