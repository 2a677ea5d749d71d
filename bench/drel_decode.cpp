// Decoding a Drel image against libpng decoding the same picture, in the
// same run: a 1280 x 720 32-bit picture with a mask (a typical character
// or background picture), stored as Drel kind 0 (zlib rows) and as an RGBA
// PNG (libpng's default filters and compression).
// BM_DrelVsPng reports `vs_reference` = libpng time / Drel time, timing the
// two alternately in processor time (1.0 is as fast as libpng; the target is
// >= 1.0), for a flat painted picture (0) and one with grain (1).
#include <benchmark/benchmark.h>
#include <png.h>

#include <time.h>

#include <chrono>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <cstdio>
#include <random>

#include "core/TStream.h"
#include "imaging/ImageCodecs.h"
#include "imaging/TDrelFrameList.h"

namespace {

using namespace zuno;
using Clock = std::chrono::steady_clock;

constexpr int32_t kWidth = 1280, kHeight = 720;

struct Fixture {
    std::vector<uint8_t> drel;
    std::vector<uint8_t> png;

    // Gradients, a soft shape and a mask with a soft-edged figure; with
    // `grain`, light per-pixel noise as in scanned or photographic pictures
    // (harder for Drel, whose rows are not filtered before zlib).
    explicit Fixture(bool grain) {
        std::mt19937 gen(7);
        TDrelFrameList list;
        TDrelFrame* f = list.AddFrame();
        f->Bitmap.SetSize(kWidth, kHeight, 32);
        f->Mask = std::make_unique<TDrelBitmap>(kWidth, kHeight, 8);
        std::vector<uint8_t> rgba(size_t(kWidth) * kHeight * 4);
        for (int32_t y = 0; y < kHeight; ++y) {
            uint8_t* p = f->Bitmap.Row(y);
            uint8_t* m = f->Mask->Row(y);
            for (int32_t x = 0; x < kWidth; ++x) {
                int dx = x - 640, dy = y - 360;
                int d2 = dx * dx / 4 + dy * dy;
                int noise = grain ? int(gen() % 5) : 0;
                uint8_t b = uint8_t((x / 5 + noise) & 0xFF);
                uint8_t g = uint8_t((y / 3 + (d2 < 40000 ? 60 : 0)) & 0xFF);
                uint8_t r = uint8_t(((x + y) / 8 + noise) & 0xFF);
                uint8_t a = d2 < 60000 ? 255 : d2 < 70000 ? uint8_t(255 - (d2 - 60000) / 40) : 0;
                p[4 * x] = b;
                p[4 * x + 1] = g;
                p[4 * x + 2] = r;
                p[4 * x + 3] = 0;
                m[x] = a;
                uint8_t* q = &rgba[(size_t(y) * kWidth + size_t(x)) * 4];
                q[0] = r;
                q[1] = g;
                q[2] = b;
                q[3] = a;
            }
        }
        TKsMemoryStream s;
        list.SaveToStream(s, dcDefault);
        drel = s.Data();
        png = writePngRgba(rgba.data(), kWidth, kHeight);
    }
};

const Fixture& fixture(bool grain) {
    static Fixture flat(false), grainy(true);
    return grain ? grainy : flat;
}

void decodeDrel(bool grain) {
    static TKsMemoryStream flat(fixture(false).drel), grainy(fixture(true).drel);
    TKsMemoryStream& s = grain ? grainy : flat;
    s.SetPosition(0);   // the data read in place, like the PNG reference
    TDrelFrameList list;
    list.LoadFromStream(s);
    benchmark::DoNotOptimize(list.Frames(0)->Bitmap.Bits());
}

// The reference: libpng's own reader into a preallocated RGBA picture.
struct PngSource {
    const uint8_t* data;
    size_t size, pos;
};

void readPngBytes(png_structp png, png_bytep out, size_t n) {
    auto* s = static_cast<PngSource*>(png_get_io_ptr(png));
    if (n > s->size - s->pos)
        png_error(png, "short");
    std::memcpy(out, s->data + s->pos, n);
    s->pos += n;
}

void decodePngInto(bool grain, std::vector<uint8_t>& rgba, std::vector<png_bytep>& rows) {
    const std::vector<uint8_t>& bytes = fixture(grain).png;
    PngSource src{bytes.data(), bytes.size(), 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::abort();
    }
    png_set_read_fn(png, &src, readPngBytes);
    png_read_info(png, info);
    png_read_update_info(png, info);
    png_read_image(png, rows.data());
    png_destroy_read_struct(&png, &info, nullptr);
    benchmark::DoNotOptimize(rgba.data());
}

void decodePng(bool grain) {
    // Allocating the picture is part of decoding, as it is for Drel.
    std::vector<uint8_t> rgba(size_t(kWidth) * kHeight * 4);
    std::vector<png_bytep> rows(kHeight);
    for (int32_t y = 0; y < kHeight; ++y)
        rows[size_t(y)] = rgba.data() + size_t(y) * kWidth * 4;
    decodePngInto(grain, rgba, rows);
}

// Processor time of this thread: the machines are shared, and wall time
// would count the time other programs take.
double threadSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

void BM_DrelDecode(benchmark::State& state) {
    const bool grain = state.range(0) != 0;
    for (auto _ : state)
        decodeDrel(grain);
    state.counters["bytes"] = double(fixture(grain).drel.size());
}

void BM_PngDecode(benchmark::State& state) {
    const bool grain = state.range(0) != 0;
    for (auto _ : state)
        decodePng(grain);
    state.counters["bytes"] = double(fixture(grain).png.size());
}

void BM_DrelVsPng(benchmark::State& state) {
    const bool grain = state.range(0) != 0;
    double drelTime = 0, pngTime = 0;
    for (auto _ : state) {
        double t0 = threadSeconds();
        decodeDrel(grain);
        double t1 = threadSeconds();
        decodePng(grain);
        double t2 = threadSeconds();
        drelTime += t1 - t0;
        pngTime += t2 - t1;
    }
    state.counters["vs_reference"] = pngTime / drelTime;
    state.counters["drel_ms"] = drelTime * 1000 / double(state.iterations());
    state.counters["png_ms"] = pngTime * 1000 / double(state.iterations());
}

// Argument: 0 flat painted picture, 1 with grain.
BENCHMARK(BM_DrelDecode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngDecode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrelVsPng)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv) {
    // Build the pictures before anything is timed.
    for (bool grain : {false, true}) {
        decodeDrel(grain);
        decodePng(grain);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
