// The glyph cache and the drawing of text, against references measured in the
// same iterations:
// - rasterising: 200 distinct characters rendered into the cache (font
//   selection, grey levels, coverage tables, cache bookkeeping) against
//   FreeType's own FT_Load_Char + FT_Render_Glyph of the same characters at
//   the same size; ratio = reference time / our time (goal: at least 0.8);
// - a prepared page of 400 characters with a border drawn onto a 1280 x 720
//   screen, one masked copy per character, against memcpy of the same
//   number of pixels (goal: at most 0.3 ms per frame); the preparation of
//   the page itself (DrawChar of every character from the cache) is timed
//   on its own.
#include <benchmark/benchmark.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "core/Cp932.h"
#include "imaging/TDIBX.h"
#include "platform/TFreeTypeFontService.h"
#include "text/DrawChar.h"
#include "text/TFontPixelManager.h"

using namespace zuno;

namespace {

constexpr int32_t kScreenW = 1280, kScreenH = 720;
constexpr int32_t kSize = 24;

// Both sides are timed in this thread's processor time (the machines are
// shared and busy).
double now() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

struct Timing {
    double ours = 0, reference = 0;
    void report(benchmark::State& state) {
        state.counters["ours_ms"] = benchmark::Counter(ours * 1e3 / double(state.iterations()));
        state.counters["ref_ms"] = benchmark::Counter(reference * 1e3 / double(state.iterations()));
        state.counters["ratio"] = benchmark::Counter(ours > 0 ? reference / ours : 0);
    }
};

template <class Ours, class Ref>
void timeBoth(benchmark::State& state, Ours ours, Ref ref) {
    Timing t;
    bool odd = false;
    for (auto _ : state) {
        double a = now();
        if (odd) ref(); else ours();
        double b = now();
        if (odd) ours(); else ref();
        double c = now();
        double o = odd ? c - b : b - a, r = odd ? b - a : c - b;
        odd = !odd;
        t.ours += o;
        t.reference += r;
        state.SetIterationTime(o);
    }
    t.report(state);
}

// Japanese text of 200 distinct characters: hiragana, katakana and kanji.
std::vector<uint16_t> sampleCodes(size_t count) {
    std::vector<uint16_t> codes;
    for (uint16_t c = 0x829F; c <= 0x82F1 && codes.size() < count; ++c) codes.push_back(c);    // hiragana
    for (uint16_t c = 0x8340; c <= 0x8396 && codes.size() < count; ++c)                        // katakana
        if (c != 0x837F) codes.push_back(c);
    for (uint16_t c = 0x889F; c <= 0x88FC && codes.size() < count; ++c) codes.push_back(c);    // kanji
    return codes;
}

uint32_t unicodeOf(uint16_t code) {
    std::string bytes{char(code >> 8), char(code & 0xFF)};
    std::string u = cp932ToUtf8(bytes);
    const auto* p = reinterpret_cast<const unsigned char*>(u.data());
    return uint32_t(p[0] & 0x0F) << 12 | uint32_t(p[1] & 0x3F) << 6 | (p[2] & 0x3F);
}

void BM_Rasterise_vs_FreeType(benchmark::State& state) {
    const std::vector<uint16_t> codes = sampleCodes(200);
    std::vector<uint32_t> unicode;
    for (uint16_t c : codes) unicode.push_back(unicodeOf(c));
    auto service = std::make_unique<TFreeTypeFontService>();
    std::string file = service->FaceFile(sjis("ＭＳ ゴシック"));
    TFontPixelManager manager(std::move(service));
    const std::string name = sjis("ＭＳ ゴシック");

    FT_Library library;
    FT_Face face;
    if (FT_Init_FreeType(&library) != 0 || FT_New_Face(library, file.c_str(), 0, &face) != 0) {
        state.SkipWithError("no IPA Gothic");
        return;
    }
    FT_Set_Pixel_Sizes(face, 0, kSize);
    int32_t level = int32_t(state.range(0));
    timeBoth(
        state,
        [&] {
            manager.ClearCache();
            manager.AntiAliasLevel = level;
            for (uint16_t c : codes) benchmark::DoNotOptimize(&manager.GetGlyph(c, name, 0, kSize));
        },
        [&] {
            for (uint32_t u : unicode) {
                FT_Load_Char(face, u, FT_LOAD_NO_BITMAP | (level ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO));
                FT_Render_Glyph(face->glyph, level ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO);
                benchmark::DoNotOptimize(face->glyph->bitmap.buffer);
            }
        });
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}
BENCHMARK(BM_Rasterise_vs_FreeType)->Arg(3)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond);

// A page of 400 characters (20 rows of 20) with a border of 2, prepared into
// a page picture and its alpha the way the text engine prepares a page.
struct Page {
    static constexpr int32_t kBorder = 2;
    static constexpr int32_t kCell = kSize + 2 * kBorder;
    TFontPixelManager manager{std::make_unique<TFreeTypeFontService>()};
    TDIBX picture{20 * kCell, 20 * kCell, 32};
    TDIBX alpha{20 * kCell, 20 * kCell, 8};
    std::vector<TRect> drawn;
    std::vector<uint16_t> text = sampleCodes(200);

    void prepare() {
        picture.Fill(0);
        alpha.Fill(0);
        drawn.clear();
        const std::string name = sjis("ＭＳ ゴシック");
        TDrawCharColours colours{0, picture.ColorToPixel(0x404040), picture.ColorToPixel(0xFFFFFF)};
        for (int32_t i = 0; i < 400; ++i) {
            TFontPixel& g = manager.GetGlyph(text[size_t(i) % text.size()], name, 0, kSize);
            TRect cell = TRect::bounds((i % 20) * kCell, (i / 20) * kCell, kCell, kCell);
            drawn.push_back(DrawChar(manager, g, picture, alpha, false, colours, {i % 20 == 19, i % 20 == 0}, 0,
                                     kBorder, cell));
        }
    }
};

void BM_PageFrame_vs_memcpy(benchmark::State& state) {
    Page page;
    page.prepare();
    TDIBX screen(kScreenW, kScreenH, 32);
    screen.Fill(0x102030);
    std::vector<uint32_t> from(size_t(kScreenW) * kScreenH), to(size_t(kScreenW) * kScreenH);
    int64_t pixels = 0;
    for (const TRect& r : page.drawn) pixels += int64_t(r.width()) * r.height();
    timeBoth(
        state,
        [&] {
            for (const TRect& r : page.drawn)
                if (!r.isEmpty()) screen.DrawMask(40 + r.Left, 60 + r.Top, page.alpha, false, false, r, page.picture);
            benchmark::DoNotOptimize(screen.ScanLine(0));
        },
        [&] {
            std::memcpy(to.data(), from.data(), size_t(pixels) * 4);
            benchmark::DoNotOptimize(to.data());
        });
    state.counters["pixels"] = benchmark::Counter(double(pixels));
}
BENCHMARK(BM_PageFrame_vs_memcpy)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_PagePrepare(benchmark::State& state) {
    Page page;
    page.prepare();         // glyphs cached
    for (auto _ : state) {
        page.prepare();
        benchmark::DoNotOptimize(page.picture.ScanLine(0));
    }
}
BENCHMARK(BM_PagePrepare)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
