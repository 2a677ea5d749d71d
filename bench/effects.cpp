// The effect controls at 1280 x 720, 32 bits, one 16 ms frame each: a fire
// whose heat field fills the screen (a field step every 40 ms plus its
// additive draw), a wave rippling a 1280 x 720 picture child (the whole
// area repainted each frame), and 5000 snow particles with an 8 x 8
// picture (their step, update and draw). Each frame is the player's frame
// step: the objects' update, then the repaint of what the frame made dirty.
// The goal is 1 ms per frame of each on one core. The fire's additive draw is also timed against pixman's ADD
// of the same picture (the palette colours of the heat) in the same
// iterations: ratio = pixman time / our time (above 1: we are faster).
#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>
#include <random>
#include <vector>

#include "archive/TVrFileManager.h"
#include "imaging/TDIBX.h"
#include "imaging/TDrelFrameList.h"
#include "objects/TDrelCollection.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoCustomImage.h"
#include "objects/TZunoFire.h"
#include "objects/TZunoParticle.h"
#include "objects/TZunoWave.h"

#if __has_include(<pixman.h>)
#include <pixman.h>
#define ZUNO_HAVE_PIXMAN 1
#endif

using namespace zuno;

namespace {

constexpr int32_t kW = 1280, kH = 720;

// Both sides are timed in this thread's processor time: the machines are shared.
double cpuNow() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// A registry of the bench's size drawing into its own output.
struct TScene {
    TZunoBaseList Reg;
    TDIBX Out{kW, kH, 32};
    TScene() {
        Reg.SetSize(kW, kH);
        Reg.SetOutputSurface(&Out);
        Reg.GetScreen(0)->SetColor(0x201008);
    }
    // One frame as the player runs it: update, then only the dirty areas
    // repainted (the present that follows is the platform's).
    void frame() {
        Reg.Update(16);
        const auto& dirty = Reg.GetScreen(0)->DirtyList().Rects();
        DirtyRects += double(dirty.size());
        for (const TRect& r : dirty)
            DirtyArea += double(r.width()) * r.height() / (double(kW) * kH);
        Reg.Draw();
        Reg.ClearDirty();
    }
    double DirtyRects = 0, DirtyArea = 0;                        // sums over the frames
    void resetDirtyStats() { DirtyRects = DirtyArea = 0; }
};

// Time per frame, and how much each frame repainted: dirty rectangles and
// their share of the screen.
void reportPerFrame(benchmark::State& state, double seconds, const TScene& s) {
    const double n = double(state.iterations());
    state.counters["frame_ms"] = benchmark::Counter(seconds * 1e3 / n);
    state.counters["rects"] = benchmark::Counter(s.DirtyRects / n);
    state.counters["repainted"] = benchmark::Counter(s.DirtyArea / n);
}

// A fire over the whole screen, burnt in for a second.
TZunoFire* addFire(TScene& s) {
    auto* f = s.Reg.Create<TZunoFire>();
    f->SetParent(s.Reg.GetScreen(0));
    f->SetFieldWidth(kW);
    f->SetFieldHeight(kH);
    f->SetPower(100);
    for (int i = 0; i < 64; ++i)
        s.frame();
    return f;
}

void BM_FireFrame(benchmark::State& state) {
    TScene s;
    addFire(s);
    double total = 0;
    s.resetDirtyStats();
    for (auto _ : state) {
        const double a = cpuNow();
        s.frame();
        total += cpuNow() - a;
        state.SetIterationTime(cpuNow() - a);
    }
    reportPerFrame(state, total, s);
}
BENCHMARK(BM_FireFrame)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_FireStep(benchmark::State& state) {
    TScene s;
    TZunoFire* f = addFire(s);
    for (auto _ : state) {
        f->Step();
        benchmark::DoNotOptimize(f->HeatField().ScanLine(0));
    }
}
BENCHMARK(BM_FireStep)->Unit(benchmark::kMillisecond);

#ifdef ZUNO_HAVE_PIXMAN
// The fire's draw (DrawIndexedAdd through the palette, heat 16 and below
// skipped) against pixman's ADD of the picture those colours make.
void BM_FireDraw_vs_pixmanAdd(benchmark::State& state) {
    TScene s;
    TZunoFire* f = addFire(s);
    TDIBX& heat = f->HeatField();
    const auto& pal = TZunoFire::Palette32();
    TDIBX colours(kW, kH, 32);
    for (int32_t y = 0; y < kH; ++y) {
        const uint8_t* h = heat.ScanLine(y);
        uint32_t* row = reinterpret_cast<uint32_t*>(colours.ScanLine(y));
        for (int32_t x = 0; x < kW; ++x)
            row[x] = h[x] > 16 ? pal[h[x]] : 0;
    }
    TDIBX ours(kW, kH, 32);
    std::vector<uint32_t> theirs(size_t(kW) * kH);
    pixman_image_t* src = pixman_image_create_bits(PIXMAN_x8r8g8b8, kW, kH,
                                                   reinterpret_cast<uint32_t*>(colours.ScanLine(0)), colours.GetPitch());
    pixman_image_t* dst = pixman_image_create_bits(PIXMAN_x8r8g8b8, kW, kH, theirs.data(), kW * 4);
    const TRect all(0, 0, kW, kH);
    double tOurs = 0, tRef = 0;
    bool odd = false;
    for (auto _ : state) {
        ours.Fill(0x00201008);
        std::fill(theirs.begin(), theirs.end(), 0x00201008u);
        auto runOurs = [&] {
            const double a = cpuNow();
            ours.DrawIndexedAdd(0, 0, pal.data(), 255, 16, false, false, all, heat);
            benchmark::DoNotOptimize(ours.ScanLine(0));
            return cpuNow() - a;
        };
        auto runRef = [&] {
            const double a = cpuNow();
            pixman_image_composite32(PIXMAN_OP_ADD, src, nullptr, dst, 0, 0, 0, 0, 0, 0, kW, kH);
            benchmark::DoNotOptimize(theirs.data());
            return cpuNow() - a;
        };
        double o, r;
        if (odd) {
            r = runRef();
            o = runOurs();
        } else {
            o = runOurs();
            r = runRef();
        }
        odd = !odd;
        tOurs += o;
        tRef += r;
        state.SetIterationTime(o);
    }
    pixman_image_unref(src);
    pixman_image_unref(dst);
    state.counters["ours_ms"] = benchmark::Counter(tOurs * 1e3 / double(state.iterations()));
    state.counters["ref_ms"] = benchmark::Counter(tRef * 1e3 / double(state.iterations()));
    state.counters["ratio"] = benchmark::Counter(tOurs > 0 ? tRef / tOurs : 0);
}
BENCHMARK(BM_FireDraw_vs_pixmanAdd)->UseManualTime()->Unit(benchmark::kMillisecond);
#endif

void BM_WaveFrame(benchmark::State& state) {
    TScene s;
    auto* w = s.Reg.Create<TZunoWave>();
    w->SetParent(s.Reg.GetScreen(0));
    w->SetBounds(0, 0, kW, kH);
    w->SetAmplitude(12);
    w->SetWaveLength(180);
    w->SetPeriod(1500);
    TDIBX picture(kW, kH, 32);
    std::mt19937 rng(7);
    for (int32_t y = 0; y < kH; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(picture.ScanLine(y));
        for (int32_t x = 0; x < kW; ++x)
            row[x] = (x / 64 + y / 48) % 3 == 0 ? (rng() & 0x00FFFFFF) : 0x00305070u + uint32_t(x % 256);
    }
    auto* child = s.Reg.Create<TZunoImage>();
    child->SetParent(w);
    child->SetImage(&picture);
    child->RecomputeSize();
    s.frame();
    if (child->Width() != kW || s.Out.GetPixel(640, 360) == s.Out.ColorToPixel(0x201008)) {
        state.SkipWithError("the child picture is not drawn");
        return;
    }
    double total = 0;
    s.resetDirtyStats();
    for (auto _ : state) {
        const double a = cpuNow();
        s.frame();
        const double t = cpuNow() - a;
        total += t;
        state.SetIterationTime(t);
    }
    reportPerFrame(state, total, s);
}
BENCHMARK(BM_WaveFrame)->UseManualTime()->Unit(benchmark::kMillisecond);

// 5000 snow particles of an 8 x 8 picture falling over the screen.
void BM_ParticlesFrame(benchmark::State& state) {
    TDrelFrameList flake;
    TDrelFrame* fr = flake.AddFrame();
    fr->Bitmap.SetSize(8, 8, 24);
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 8; ++x)
            fr->Bitmap.SetPixel(x, y, (x + y) % 3 ? 0x00FFFFFF : 0x00C0D0F0);
    TKsMemoryStream bytes;
    flake.SaveToStream(bytes);
    TVrFileManager files;
    files.AddArchive("");
    files.Archive(0)->AddMemoryEntry("flake.drl")->Data->WriteBuffer(bytes.Data().data(), int64_t(bytes.Data().size()));
    TDrelCollection::Instance().SetFileManager(&files);
    {
        TScene s;
        auto* e = s.Reg.Create<TZunoParticle>();
        e->SetParent(s.Reg.GetScreen(0));
        e->SetBounds(0, 0, kW, kH);
        e->SetSource("flake.drl");
        e->SetParam(0, 0.05L);
        e->SetParam(1, 6.0L);
        e->SetParam(2, 14.0L);
        e->SetAlpha(200);
        TZunoParticleParam& r = e->ParamRecord();
        r.AreaWidth = kW;
        r.AreaHeight = kH;
        r.IntervalBase = 2;
        r.Spread = 1;
        while (e->Pool().size() < 5000)
            s.Reg.Update(16);
        // While timed, new flakes come at the rate old ones reach the bottom
        // (heights spread evenly, 0.05 pixel a step: 14400 steps for 720
        // pixels, one of 5000 every 46 ms), so the pool stays near 5000.
        r.IntervalBase = 46;
        s.frame();
        if (e->Pool().empty() || e->Pool()[0]->Width() != 8) {
            state.SkipWithError("the particles have no picture");
            TDrelCollection::Instance().SetFileManager(nullptr);
            return;
        }
        double total = 0;
        s.resetDirtyStats();
        for (auto _ : state) {
            const double a = cpuNow();
            s.frame();
            const double t = cpuNow() - a;
            total += t;
            state.SetIterationTime(t);
        }
        reportPerFrame(state, total, s);
        state.counters["particles"] = benchmark::Counter(double(e->Pool().size()));
    }
    TDrelCollection::Instance().SetFileManager(nullptr);
}
BENCHMARK(BM_ParticlesFrame)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
