// A 1280 x 720 film of 40 tracks (twenty images zoomed and turned, ten
// captions, ten translucent boxes) seeked and composed frame by frame,
// against a reference in the same run: the same objects moved by hand-written
// code to the same places (no film) and composed the same way.
//
// Counters: ms_per_frame (ours, seek + composition), seek_share (the part of
// our frame spent in Seek), ratio = vs_reference = reference time / our time
// (1 means the film costs nothing over setting the properties by hand).
// Times are this thread's processor time.
#include <benchmark/benchmark.h>

#include <ctime>
#include <random>
#include <string>

#include "archive/TVrFileManager.h"
#include "core/TStream.h"
#include "imaging/TDrelFrameList.h"
#include "objects/FilmText.h"
#include "objects/TDrelCollection.h"
#include "objects/TFilmManager.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoBox.h"
#include "objects/TZunoCustomImage.h"

using namespace zuno;

namespace {

constexpr int32_t kW = 1280, kH = 720, kSprite = 128, kLength = 600;

double cpuNow() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

std::vector<uint8_t> spriteFile() {
    TDrelFrameList list;
    TDrelFrame* f = list.AddFrame();
    f->Bitmap.SetSize(kSprite, kSprite, 24);
    for (int32_t y = 0; y < kSprite; ++y)
        for (int32_t x = 0; x < kSprite; ++x)
            f->Bitmap.SetPixel(x, y, uint32_t(x * 2) << 16 | uint32_t(y * 2) << 8 | uint32_t((x + y) & 0xFF));
    TKsMemoryStream s;
    list.SaveToStream(s);
    return s.Data();
}

struct TPlan {
    int32_t x0, y0, x1, y1;
};

std::vector<TPlan> plans() {
    std::mt19937 rng(7);
    std::vector<TPlan> p;
    for (int i = 0; i < 40; ++i)
        p.push_back({int32_t(rng() % (kW - 200)), int32_t(rng() % (kH - 150)), int32_t(rng() % (kW - 200)),
                     int32_t(rng() % (kH - 150))});
    return p;
}

std::string filmText() {
    std::string t = "film cinema 108\nscreen 1280 720\nbackground 0x202020\n";
    const std::vector<TPlan> p = plans();
    for (int i = 0; i < 40; ++i) {
        const TPlan& q = p[size_t(i)];
        const std::string pos = "start-pos " + std::to_string(q.x0) + " " + std::to_string(q.y0) + "\nend-pos " +
                                std::to_string(q.x1) + " " + std::to_string(q.y1) + "\nlength " +
                                std::to_string(kLength) + "\n";
        if (i < 20)
            t += "track image\nfile \"sprite.drl\"\n" + pos + "start-zoom-x 0.5\nend-zoom-x 1.5\nstart-zoom-y 0.5\n"
                 "end-zoom-y 1.5\nstart-angle 0\nend-angle 360\n";
        else if (i < 30)
            t += "track label\ntext \"caption\"\nfont-height 24\n" + pos + "start-alpha 1\nend-alpha 255\n";
        else
            t += "track box\n" + pos + "start-size 150 90\nend-size 150 90\nstart-color 0x4080C0\n"
                 "end-color 0xC08040\nstart-alpha 128\nend-alpha 128\n";
    }
    return t;
}

struct TFiles {
    TVrFileManager files;
    TFiles() {
        files.AddArchive("");
        const std::vector<uint8_t> bytes = spriteFile();
        files.Archive(0)->AddMemoryEntry("sprite.drl")->Data->WriteBuffer(bytes.data(), int64_t(bytes.size()));
        TDrelCollection::Instance().SetFileManager(&files);
    }
    ~TFiles() { TDrelCollection::Instance().SetFileManager(nullptr); }
};

// The reference: the same objects, moved by direct code.
struct TReference {
    TZunoBaseList reg;
    std::vector<TZunoControl*> objects;
    std::vector<TPlan> p = plans();
    TDrelItem* item = nullptr;
    TReference() {
        reg.SetSize(kW, kH);
        reg.GetScreen(0)->SetColor(0x202020);
        item = TDrelCollection::Instance().Acquire(this, "sprite.drl", false, true);
        for (int i = 0; i < 40; ++i) {
            TZunoControl* c = nullptr;
            if (i < 20) {
                auto* img = reg.Register(std::make_unique<TZunoImage>())->AsControl();
                static_cast<TZunoCustomImage*>(img)->SetImage(item->Frames(0).Picture.get());
                img->SetWidth(kSprite);                     // as the film's image tracks size them
                img->SetHeight(kSprite);
                c = img;
            } else if (i < 30) {
                c = reg.CreateByKind(LT_LABEL)->AsControl();
                c->SetProp(PR_TEXT, TPropValue::ofStr("caption"));
            } else {
                c = reg.Create<TZunoBox>();
                c->SetProp(PR_ALPHA, TPropValue::ofInt(128));
            }
            c->SetParent(reg.GetScreen(0));
            objects.push_back(c);
        }
    }
    ~TReference() { TDrelCollection::Instance().Release(item, this); }
    void frame(int32_t f) {
        for (int i = 0; i < 40; ++i) {
            const TPlan& q = p[size_t(i)];
            TZunoControl* c = objects[size_t(i)];
            c->SetLeft(q.x0 + (q.x1 - q.x0) * f / (kLength - 1));
            c->SetTop(q.y0 + (q.y1 - q.y0) * f / (kLength - 1));
            if (i < 20) {
                auto* img = static_cast<TZunoCustomImage*>(c);
                img->SetZoomX(128 + 256 * f / (kLength - 1));
                img->SetZoomY(128 + 256 * f / (kLength - 1));
                img->SetAngle((256 * f / kLength) & 0xFF);
            } else if (i >= 30) {
                c->SetBounds(c->Left(), c->Top(), 150, 90);
                c->SetColor(0x4080C0);
            }
        }
        reg.Draw();
        reg.ClearDirty();
    }
};

void BM_FilmSeekAndCompose(benchmark::State& state) {
    TFiles files;
    TZunoBaseList reg;
    reg.SetSize(kW, kH);
    TFilmManager film;
    filmFromText(film, filmText());
    film.SetRegistry(&reg);
    for (int i = 0; i < film.Count(); ++i)
        film.GetTrack(i)->Prepare();
    film.ApplySetup();
    TReference reference;

    double ours = 0, seek = 0, ref = 0;
    int64_t frames = 0;
    int32_t f = 0;
    for (auto _ : state) {
        const bool refFirst = frames % 2 == 1;
        if (refFirst) {
            double t = cpuNow();
            reference.frame(f);
            ref += cpuNow() - t;
        }
        double t0 = cpuNow();
        film.Seek(f);
        double t1 = cpuNow();
        reg.Draw();
        reg.ClearDirty();
        double t2 = cpuNow();
        seek += t1 - t0;
        ours += t2 - t0;
        if (!refFirst) {
            double t = cpuNow();
            reference.frame(f);
            ref += cpuNow() - t;
        }
        f = (f + 1) % kLength;
        ++frames;
    }
    state.counters["ms_per_frame"] = ours * 1000.0 / double(std::max<int64_t>(frames, 1));
    state.counters["seek_share"] = ours > 0 ? seek / ours : 0;
    state.counters["vs_reference"] = ours > 0 ? ref / ours : 0;
}
BENCHMARK(BM_FilmSeekAndCompose)->Unit(benchmark::kMillisecond)->Iterations(600);

} // namespace

BENCHMARK_MAIN();
