// The input step plus composition of a 1280 x 720 scene of choice controls,
// against the same scene of plain boxes in the same run.
//
// BM_MenuWheel: a menu of 1000 lines (20 shown) that the wheel scrolls one
// row each frame, the mouse resting on it (hover follows the row under it);
// the reference is a box of the menu's size that hears the same wheel.
// BM_ButtonsUnderMouse: 200 buttons (hover, pressed pictures) in a grid,
// the mouse moving across them every frame; the reference is 200 boxes of
// the same size under the same moves.
//
// Each iteration times both sides in this thread's processor time; the
// counters give milliseconds per frame of ours and of the reference, and
// vs_reference = reference time / our time (above 1: we are faster). The
// goal for ours is at most 1 ms per frame on one core.
#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>
#include <string>

#include "archive/TVrFileManager.h"
#include "core/TStream.h"
#include "imaging/TDrelFrameList.h"
#include "objects/TDrelCollection.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoBox.h"
#include "objects/TZunoButton.h"
#include "objects/TZunoCustomListBox.h"
#include "platform/TFreeTypeFontService.h"
#include "text/TFontPixelManager.h"

using namespace zuno;

namespace {

constexpr int32_t kW = 1280, kH = 720;

double cpuNow() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

std::vector<uint8_t> solidFile(int32_t w, int32_t h, uint32_t pixel) {
    TDrelFrameList list;
    TDrelFrame* f = list.AddFrame();
    f->Bitmap.SetSize(w, h, 24);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            f->Bitmap.SetPixel(x, y, pixel ^ uint32_t(x * 3 + y));
    TKsMemoryStream s;
    list.SaveToStream(s);
    return s.Data();
}

struct TScene {
    TVrFileManager files;
    TZunoBaseList reg;

    TScene() {
        files.AddArchive("");
        auto add = [&](const char* name, const std::vector<uint8_t>& bytes) {
            files.Archive(0)->AddMemoryEntry(name)->Data->WriteBuffer(bytes.data(), int64_t(bytes.size()));
        };
        add("n.drl", solidFile(48, 24, 0x404040));
        add("h.drl", solidFile(48, 24, 0x808000));
        add("p.drl", solidFile(48, 24, 0x0000C0));
        TDrelCollection::Instance().SetFileManager(&files);
        reg.SetSize(kW, kH);
        reg.GetScreen(0)->SetColor(0x203040);
    }
    ~TScene() {
        reg.Reset();
        TDrelCollection::Instance().SetFileManager(nullptr);
    }
    void frame() {
        reg.InputStep(16);
        reg.Update(16);
        reg.Draw();
        reg.ClearDirty();
    }
};

void ensureFonts() {
    if (!TFontPixelManager::Instance())
        TFontPixelManager::SetInstance(std::make_unique<TFontPixelManager>(std::make_unique<TFreeTypeFontService>()));
}

TZunoBox* addBox(TScene& s, int32_t l, int32_t t, int32_t w, int32_t h) {
    auto* b = s.reg.Create<TZunoBox>();
    b->SetParent(s.reg.GetScreen(0));
    b->SetBounds(l, t, w, h);
    b->SetColor(0x0000FF);
    b->SetProp(PR_ONWHEELDOWN, TPropValue::ofStr("wheel.zsb"));
    return b;
}

void BM_MenuWheel(benchmark::State& state) {
    ensureFonts();
    TScene ours, reference;
    std::string text;
    for (int i = 0; i < 1000; ++i)
        text += "Choice number " + std::to_string(i) + "\r\n";
    TZunoMenu* menu = ours.reg.Create<TZunoMenu>();
    menu->SetParent(ours.reg.GetScreen(0));
    menu->SetBounds(100, 60, 0, 0);
    menu->SetProp(PR_FONTHEIGHT, TPropValue::ofInt(20));
    menu->SetProp(PR_ROWCOUNT, TPropValue::ofInt(20));
    menu->SetProp(PR_COLOR, TPropValue::ofInt(0x202020));
    menu->SetProp(PR_HOVERCOLOR, TPropValue::ofInt(0x00C000));
    menu->SetProp(PR_FONTCOLOR, TPropValue::ofInt(0xFFFFFF));
    menu->SetProp(PR_TEXT, TPropValue::ofStr(text));
    menu->SetMenuState(TZunoMenu::msOpen);
    addBox(reference, 100, 60, menu->Width(), menu->Height());
    for (TScene* s : {&ours, &reference}) {
        s->reg.MouseMove(140, 200);
        s->frame();
    }
    double oursTime = 0, refTime = 0;
    int64_t frames = 0;
    for (auto _ : state) {
        const bool down = (frames / 900) % 2 == 0;          // down to the end, then back up
        double t0 = cpuNow();
        ours.reg.Wheel(down ? -1 : 1);
        ours.frame();
        double t1 = cpuNow();
        reference.reg.Wheel(down ? -1 : 1);
        reference.frame();
        reference.reg.Events().Clear();
        double t2 = cpuNow();
        oursTime += t1 - t0;
        refTime += t2 - t1;
        ++frames;
    }
    state.counters["ms_per_frame"] = oursTime * 1000.0 / double(frames);
    state.counters["reference_ms"] = refTime * 1000.0 / double(frames);
    state.counters["vs_reference"] = oursTime > 0 ? refTime / oursTime : 0;
}
BENCHMARK(BM_MenuWheel)->Unit(benchmark::kMicrosecond);

void BM_ButtonsUnderMouse(benchmark::State& state) {
    TScene ours, reference;
    for (int i = 0; i < 200; ++i) {
        const int32_t l = 40 + (i % 20) * 60, t = 40 + (i / 20) * 60;
        auto* b = ours.reg.Create<TZunoButton>();
        b->SetParent(ours.reg.GetScreen(0));
        b->SetLeft(l);
        b->SetTop(t);
        b->SetSource("n.drl");
        b->SetProp(PR_HOVERSOURCE, TPropValue::ofStr("h.drl"));
        b->SetProp(PR_PRESSEDSOURCE, TPropValue::ofStr("p.drl"));
        addBox(reference, l, t, 48, 24);
    }
    for (TScene* s : {&ours, &reference})
        s->frame();
    double oursTime = 0, refTime = 0;
    int64_t frames = 0;
    for (auto _ : state) {
        // Across the grid, row by row, a few pixels per frame.
        const int32_t x = int32_t((frames * 7) % 1200) + 30, y = int32_t((frames / 170) % 10) * 60 + 50;
        double t0 = cpuNow();
        ours.reg.MouseMove(x, y);
        ours.frame();
        double t1 = cpuNow();
        reference.reg.MouseMove(x, y);
        reference.frame();
        double t2 = cpuNow();
        oursTime += t1 - t0;
        refTime += t2 - t1;
        ++frames;
    }
    state.counters["ms_per_frame"] = oursTime * 1000.0 / double(frames);
    state.counters["reference_ms"] = refTime * 1000.0 / double(frames);
    state.counters["vs_reference"] = oursTime > 0 ? refTime / oursTime : 0;
}
BENCHMARK(BM_ButtonsUnderMouse)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
