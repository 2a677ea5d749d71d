// One step of every transition at 1280 x 720, 32 bits, as a flip plays it:
// a 2-second transition stepped every 16 ms. The goal is every wipe under
// 1 ms per step on one core. The mask wipes are also timed at an unchanged
// level (composition only), and the fade against pixman's constant-opacity
// blend of the same pictures in the same iterations (ratio = pixman time /
// our time; above 1: we are faster).
#include <benchmark/benchmark.h>

#include <ctime>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "imaging/TDIBX.h"
#include "imaging/TWipeMask.h"
#include "imaging/WipeFactory.h"

#if __has_include(<pixman.h>)
#include <pixman.h>
#define ZUNO_HAVE_PIXMAN 1
#endif

using namespace zuno;

namespace {

constexpr int32_t kW = 1280, kH = 720;
constexpr int32_t kDuration = 2000, kFrame = 16;

// Both sides are timed in this thread's processor time: the machines are shared.
double cpuNow() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// A picture with large flat areas and detail, like a game scene.
void fillScene(TDIBX& s, uint32_t seed) {
    std::mt19937 rng(seed);
    for (int32_t y = 0; y < s.GetHeight(); ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(s.ScanLine(y));
        for (int32_t x = 0; x < s.GetWidth(); ++x)
            row[x] = (x / 64 + y / 48) % 3 == 0 ? (rng() & 0x00FFFFFF) : 0x00305070u + uint32_t(x % 256);
    }
}

struct TScene {
    TDIBX Target{kW, kH, 32}, From{kW, kH, 32}, To{kW, kH, 32};
    TWipeServices Services;
    uint32_t Random = 1;
    TScene() {
        fillScene(From, 1);
        fillScene(To, 2);
        // A 256 x 256 rule picture: a diagonal grey ramp.
        Services.LoadRule = [](const std::string&, TDIBX& p) {
            p.SetSize(256, 256, 32);
            for (int32_t y = 0; y < 256; ++y)
                for (int32_t x = 0; x < 256; ++x)
                    p.SetPixel(x, y, uint32_t((x + y) / 2) * 0x010101u);
            return true;
        };
        Services.Random = [this](int32_t n) {
            Random = Random * 134775813u + 1u;
            return int32_t((uint64_t(Random) * uint32_t(n)) >> 32);
        };
    }
    std::unique_ptr<TCustomWipe> make(int32_t kind) {
        auto w = CreateWipe(kind, Target, From, To, Services);
        w->Duration = kDuration;
        w->SetRuleName("rule.bmp");
        w->Prepare();
        w->Elapsed = 0;
        w->Step();                                  // one-off work (the blurred copies) before timing
        return w;
    }
};

// Argument: the transition number. Each iteration is the next frame's step.
void BM_WipeStep(benchmark::State& state) {
    const int32_t kind = int32_t(state.range(0));
    TScene scene;
    auto w = scene.make(kind);
    int64_t frame = 0;
    double total = 0;
    for (auto _ : state) {
        w->Elapsed = int32_t((++frame * kFrame) % kDuration);
        const double a = cpuNow();
        w->Step();
        const double b = cpuNow();
        benchmark::DoNotOptimize(scene.Target.ScanLine(0));
        total += b - a;
        state.SetIterationTime(b - a);
    }
    state.counters["ms_per_step"] = benchmark::Counter(total * 1e3 / double(state.iterations()));
    state.SetLabel(wipeInfo(kind)->Identifier);
}
BENCHMARK(BM_WipeStep)->DenseRange(WP_FADE, WP_LAST)->UseManualTime()->Unit(benchmark::kMillisecond);

// The mask wipes at a level that does not change: the composition alone.
void BM_MaskWipeSameLevel(benchmark::State& state) {
    const int32_t kind = int32_t(state.range(0));
    TScene scene;
    auto w = scene.make(kind);
    w->Elapsed = kDuration / 2;
    w->Step();
    const int64_t level = static_cast<TWipeMask&>(*w).LastLevel;
    double total = 0;
    for (auto _ : state) {
        const double a = cpuNow();
        w->Step();
        const double b = cpuNow();
        benchmark::DoNotOptimize(scene.Target.ScanLine(0));
        total += b - a;
        state.SetIterationTime(b - a);
    }
    if (static_cast<TWipeMask&>(*w).LastLevel != level)
        state.SkipWithError("the mask level changed");
    state.counters["ms_per_step"] = benchmark::Counter(total * 1e3 / double(state.iterations()));
    state.SetLabel(wipeInfo(kind)->Identifier);
}
BENCHMARK(BM_MaskWipeSameLevel)
    ->Arg(WP_BLINDH)->Arg(WP_CURTAINV)->Arg(WP_GRID)->Arg(WP_DITHER)->Arg(WP_MASKFADE)->Arg(WP_CLOCKHAND)
    ->Arg(WP_CIRCLE)->Arg(WP_BLOCKRANDOM)
    ->UseManualTime()->Unit(benchmark::kMillisecond);

#ifdef ZUNO_HAVE_PIXMAN

// The fade at opacity 128 (half time, no offset) against the same work with
// pixman: copy the old picture, then OVER the new one through a solid mask.
void BM_Fade_vs_pixman(benchmark::State& state) {
    TScene scene;
    auto w = scene.make(WP_FADE);
    w->Elapsed = kDuration / 2;                     // opacity 1000 * 256 / 2000 = 128
    std::vector<uint32_t> pixels(size_t(kW) * kH);
    pixman_image_t* src = pixman_image_create_bits(PIXMAN_x8r8g8b8, kW, kH,
                                                   reinterpret_cast<uint32_t*>(scene.To.ScanLine(0)), kW * 4);
    pixman_image_t* dst = pixman_image_create_bits(PIXMAN_x8r8g8b8, kW, kH, pixels.data(), kW * 4);
    pixman_color_t alpha = {0, 0, 0, 128 * 257};
    pixman_image_t* solid = pixman_image_create_solid_fill(&alpha);
    double ours = 0, reference = 0;
    bool odd = false;
    for (auto _ : state) {
        auto stepOurs = [&] { w->Step(); benchmark::DoNotOptimize(scene.Target.ScanLine(0)); };
        auto stepPixman = [&] {
            std::memcpy(pixels.data(), scene.From.ScanLine(0), pixels.size() * 4);
            pixman_image_composite32(PIXMAN_OP_OVER, src, solid, dst, 0, 0, 0, 0, 0, 0, kW, kH);
            benchmark::DoNotOptimize(pixels.data());
        };
        const double a = cpuNow();
        if (odd) stepPixman(); else stepOurs();
        const double b = cpuNow();
        if (odd) stepOurs(); else stepPixman();
        const double c = cpuNow();
        const double o = odd ? c - b : b - a, r = odd ? b - a : c - b;
        odd = !odd;
        ours += o;
        reference += r;
        state.SetIterationTime(o);
    }
    state.counters["ours_ms"] = benchmark::Counter(ours * 1e3 / double(state.iterations()));
    state.counters["ref_ms"] = benchmark::Counter(reference * 1e3 / double(state.iterations()));
    state.counters["ratio"] = benchmark::Counter(ours > 0 ? reference / ours : 0);
    pixman_image_unref(solid);
    pixman_image_unref(src);
    pixman_image_unref(dst);
}
BENCHMARK(BM_Fade_vs_pixman)->UseManualTime()->Unit(benchmark::kMillisecond);

#endif

} // namespace

BENCHMARK_MAIN();
