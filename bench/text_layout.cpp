// Layout speed of one message page: 400 characters of Japanese and English
// with ruby runs and links in a 640 x 480 box, parsed and laid out (the work
// of showing a new page) and laid out alone (the work of a re-layout), plus
// one full reveal of the page. The reference is a plain greedy row fill of
// the same 400 character codes at fixed widths, the least work any layout
// does; the ratio to it is printed at the end. Goal: a page well under 1 ms.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "core/Cp932.h"
#include "text/TKsWord.h"

namespace {

using namespace zuno;

constexpr int kBoxWidth = 640;
constexpr int kBoxHeight = 480;
constexpr int kFontSize = 16;

// About 400 shown characters: sentences with ruby over words and links.
std::string pageMarkup() {
    const std::string sentence = sjis(
        "<RUBY VALUE=\"きょう\">今日</RUBY>は<A HREF=\"weather\">晴れ</A>です。"
        "The quick brown fox jumps over the lazy dog. "
        "「<RUBY VALUE=\"ともだち\">友達</RUBY>と<A HREF=\"park\\nwest\">公園</A>へ行こう！」<BR>");
    std::string text;
    for (int i = 0; i < 6; ++i)
        text += sentence;
    return text + sjis("あいうえおかきくけこ");   // 6 x 65 + 10 characters
}

TKsWord& configured(TKsWord& word) {
    word.DefaultFontSize = kFontSize;
    word.LayoutWidth = kBoxWidth;
    word.PageHeight = kBoxHeight;
    word.LineSpace = 4;
    return word;
}

void BM_ParseAndLayout(benchmark::State& state) {
    const std::string markup = pageMarkup();
    int32_t items = 0;
    size_t pageCount = 0;
    for (auto _ : state) {
        TKsWord word;
        configured(word).SetText(markup);
        std::vector<std::unique_ptr<TWdPage>> pages;
        word.Layout(0, -1, pages);
        items = word.ItemCount();
        pageCount = pages.size();
        benchmark::DoNotOptimize(pages.data());
    }
    if (pageCount != 1)
        state.SkipWithError("the text does not fill exactly one page");
    state.counters["items"] = items;
}
BENCHMARK(BM_ParseAndLayout)->Unit(benchmark::kMicrosecond);

void BM_LayoutOnly(benchmark::State& state) {
    TKsWord word;
    configured(word).SetText(pageMarkup());
    for (auto _ : state) {
        std::vector<std::unique_ptr<TWdPage>> pages;
        word.Layout(0, -1, pages);
        benchmark::DoNotOptimize(pages.data());
    }
    state.counters["items"] = word.ItemCount();
}
BENCHMARK(BM_LayoutOnly)->Unit(benchmark::kMicrosecond);

void BM_RevealWholePage(benchmark::State& state) {
    TKsWord word;
    configured(word).SetText(pageMarkup());
    word.FadeTime = 100;
    std::vector<std::unique_ptr<TWdPage>> pages;
    word.Layout(0, -1, pages);
    int frames = 0;
    for (auto _ : state) {
        word.ResetReveal(*pages[0]);
        frames = 0;
        while (!word.Reveal(*pages[0], 16).Complete)
            ++frames;
    }
    state.counters["frames"] = frames;
}
BENCHMARK(BM_RevealWholePage)->Unit(benchmark::kMicrosecond);

// Reference: the same character codes filled greedily into rows of fixed
// cells, no markup, no runs, no items.
void BM_GreedyFillReference(benchmark::State& state) {
    TKsWord word;
    configured(word).SetText(pageMarkup());
    std::vector<uint16_t> codes;
    for (int32_t i = 0; i < word.ItemCount(); ++i)
        if (word.Item(i)->IsChar())
            codes.push_back(static_cast<const TWdChar*>(word.Item(i))->Code);
    for (auto _ : state) {
        std::vector<std::pair<int, int>> placed;
        placed.reserve(codes.size());
        int x = 0, y = 0;
        for (uint16_t code : codes) {
            int w = code < 256 ? kFontSize / 2 : kFontSize;
            if (x + w > kBoxWidth) {
                x = 0;
                y += kFontSize + 4;
            }
            placed.emplace_back(x, y);
            x += w;
        }
        benchmark::DoNotOptimize(placed.data());
    }
    state.counters["chars"] = static_cast<double>(codes.size());
}
BENCHMARK(BM_GreedyFillReference)->Unit(benchmark::kMicrosecond);

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
    if (t.count("BM_ParseAndLayout") && t.count("BM_GreedyFillReference") && t["BM_GreedyFillReference"] > 0)
        std::printf("page of 400 characters: parse and layout %.1f us (goal 1000 us), %.1f x the greedy fill\n",
                    t["BM_ParseAndLayout"], t["BM_ParseAndLayout"] / t["BM_GreedyFillReference"]);
    benchmark::Shutdown();
    return 0;
}
