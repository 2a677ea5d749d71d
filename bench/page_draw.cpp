// Drawing speed of a fully revealed message page: 400 characters of Japanese
// and English with ruby runs and links, a one-pixel border, prepared once
// from the glyph cache (fontconfig and FreeType) and drawn each frame onto a
// 1280 x 720 screen, as a message box draws its page. The reference is one
// masked copy of the whole page picture, the least a frame can cost; the
// ratio to it is printed at the end. Goal: at most 0.3 ms per frame.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "core/Cp932.h"
#include "imaging/TDIBX.h"
#include "platform/TFreeTypeFontService.h"
#include "text/TFontPixelManager.h"
#include "text/TKsWord.h"

namespace {

using namespace zuno;

std::string pageMarkup() {
    const std::string sentence = sjis(
        "<RUBY VALUE=\"きょう\">今日</RUBY>は<A HREF=\"weather\">晴れ</A>です。"
        "The quick brown fox jumps over the lazy dog. "
        "「<RUBY VALUE=\"ともだち\">友達</RUBY>と<A HREF=\"park\">公園</A>へ行こう！」<BR>");
    std::string text;
    for (int i = 0; i < 6; ++i)
        text += sentence;
    return text + sjis("あいうえおかきくけこ");
}

struct TPageFixture {
    TPageFixture() : Manager(std::make_unique<TFreeTypeFontService>()), Screen(1280, 720, 32) {
        Word.SetGlyphCache(&Manager);
        Word.DefaultFontSize = 20;
        Word.LayoutWidth = 1200;
        Word.PageHeight = 600;
        Word.LineSpace = 4;
        Word.FontBorderWidth = 1;
        Word.DefaultFontColor = 0xFFFFFF;
        Word.SetText(pageMarkup());
        Word.Layout(0, -1, Pages);
        Word.PreparePage(*Pages[0]);
        Word.ShowAll(*Pages[0]);
        Screen.Fill(0x203040);
    }
    TFontPixelManager Manager;
    TKsWord Word;
    std::vector<std::unique_ptr<TWdPage>> Pages;
    TDIBX Screen;
};

TPageFixture& fixture() {
    static TPageFixture f;
    return f;
}

void BM_DrawRevealedPage(benchmark::State& state) {
    TPageFixture& f = fixture();
    for (auto _ : state) {
        f.Word.DrawPage(*f.Pages[0], f.Screen, 40, 60, TRect());
        benchmark::DoNotOptimize(f.Screen.GetPixel(41, 61));
    }
    state.counters["items"] = f.Pages[0]->ItemCount();
}
BENCHMARK(BM_DrawRevealedPage)->Unit(benchmark::kMicrosecond);

void BM_PreparePage(benchmark::State& state) {
    TPageFixture& f = fixture();
    for (auto _ : state)
        f.Word.PreparePage(*f.Pages[0]);
}
BENCHMARK(BM_PreparePage)->Unit(benchmark::kMicrosecond);

// Reference: one masked copy of the whole prepared page.
void BM_WholePageCopyReference(benchmark::State& state) {
    TPageFixture& f = fixture();
    TDIBX& picture = f.Word.PagePicture();
    const TRect all(0, 0, picture.GetWidth(), picture.GetHeight());
    for (auto _ : state) {
        f.Screen.DrawMask(40, 60, f.Word.PageAlpha(), false, false, all, picture);
        benchmark::DoNotOptimize(f.Screen.GetPixel(41, 61));
    }
}
BENCHMARK(BM_WholePageCopyReference)->Unit(benchmark::kMicrosecond);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> timePerIteration;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && r.iterations > 0)
                timePerIteration[r.benchmark_name()] = r.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& t = reporter.timePerIteration;
    if (t.count("BM_DrawRevealedPage") && t.count("BM_WholePageCopyReference") && t["BM_WholePageCopyReference"] > 0)
        std::printf("revealed page of 400 characters with border: %.1f us per frame (goal 300 us), "
                    "%.2f x one masked copy of the page\n",
                    t["BM_DrawRevealedPage"], t["BM_DrawRevealedPage"] / t["BM_WholePageCopyReference"]);
    benchmark::Shutdown();
    return 0;
}
