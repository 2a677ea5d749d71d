// Composition of a 1280 x 720 scene through the registry's own drawing pass
// against pixman drawing the same pictures in the same run.
//
// The scene: a background image, eight masked 256 x 256 sprites (two
// zoomed, one turned, one at half opacity) and thirty boxes (twenty opaque,
// ten translucent), every picture read through the image cache from Drel
// files. BM_ComposeFullScreen repaints the whole screen; BM_ComposeOneSprite
// moves one sprite each frame and repaints only the dirty rectangles, with
// pixman redrawing the same rectangles through a clip region.
//
// Each iteration times both sides in this thread's processor time and in
// alternating order; the counters give milliseconds per frame and
// ratio = vs_reference = pixman time / our time (above 1: we are faster).
#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>
#include <numbers>
#include <random>

#include "archive/TVrFileManager.h"
#include "core/TStream.h"
#include "imaging/BlendKernels.h"
#include "imaging/TDrelFrameList.h"
#include "objects/TDrelCollection.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoBox.h"
#include "objects/TZunoCustomImage.h"

#if __has_include(<pixman.h>)
#include <pixman.h>
#define ZUNO_HAVE_PIXMAN 1
#endif

using namespace zuno;

namespace {

constexpr int32_t kW = 1280, kH = 720, kSprite = 256;

double cpuNow() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// A picture with smooth variety in every channel (so the Drel file stays small).
std::vector<uint8_t> pictureFile(int32_t w, int32_t h, bool withMask, uint32_t seed) {
    TDrelFrameList list;
    TDrelFrame* f = list.AddFrame();
    f->Bitmap.SetSize(w, h, 24);
    std::mt19937 rng(seed);
    const uint32_t tint = rng() & 0x3F3F3F;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            f->Bitmap.SetPixel(x, y, (uint32_t((x * 255) / w) << 16 | uint32_t((y * 255) / h) << 8 |
                                      uint32_t(((x + y) * 255) / (w + h))) ^ tint);
    if (withMask) {
        // Opaque inside a soft-edged disc, clear outside.
        f->Mask = std::make_unique<TDrelBitmap>(w, h, 8);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                double dx = (x - w / 2.0) / (w * 0.48), dy = (y - h / 2.0) / (h * 0.48);
                double v = std::clamp((1.0 - std::sqrt(dx * dx + dy * dy)) * 12.0, 0.0, 1.0);
                f->Mask->Row(y)[x] = uint8_t(std::lround(v * 255.0));
            }
    }
    TKsMemoryStream s;
    list.SaveToStream(s);
    return s.Data();
}

struct TSpritePlan {
    int32_t left, top, zoom, angle, alpha;
};

// Sprites 1 and 2 are zoomed, 3 is turned about its centre, 4 is at half opacity.
const TSpritePlan kSprites[8] = {
    {40, 40, 256, 0, 255},   {330, 20, 384, 0, 255},  {760, 60, 192, 0, 255}, {1000, 300, 256, 20, 255},
    {80, 400, 256, 0, 128},  {400, 420, 256, 0, 255}, {620, 300, 256, 0, 255}, {900, 30, 256, 0, 255},
};

struct TBoxPlan {
    TRect r;
    int32_t colour, alpha;
};

std::vector<TBoxPlan> boxPlans() {
    std::vector<TBoxPlan> boxes;
    for (int i = 0; i < 30; ++i) {
        const int32_t x = (i * 173) % (kW - 120), y = (i * 97) % (kH - 80);
        boxes.push_back({TRect(x, y, x + 110, y + 70), int32_t(0x102030 * (i % 7 + 1)) & 0xFFFFFF, i < 20 ? 255 : 160});
    }
    return boxes;
}

// The scene held by a registry, its pictures read through the image cache.
struct TScene {
    TVrFileManager files;
    TZunoBaseList reg;
    std::vector<TZunoImages*> sprites;

    TScene() {
        files.AddArchive("");
        auto add = [&](const char* name, const std::vector<uint8_t>& bytes) {
            files.Archive(0)->AddMemoryEntry(name)->Data->WriteBuffer(bytes.data(), int64_t(bytes.size()));
        };
        add("back.drl", pictureFile(kW, kH, false, 1));
        add("sprite.drl", pictureFile(kSprite, kSprite, true, 2));
        TDrelCollection::Instance().SetFileManager(&files);
        reg.SetSize(kW, kH);
        reg.GetScreen(0)->SetColor(-1);                     // the background covers the screen

        auto image = [&](const char* source, int32_t priority) {
            TZunoImages* img = reg.Create<TZunoImages>();
            img->SetParent(reg.GetScreen(0));
            img->SetPriority(priority);
            img->SetSource(source);
            return img;
        };
        image("back.drl", 0);
        for (int i = 0; i < 8; ++i) {
            const TSpritePlan& s = kSprites[i];
            TZunoImages* img = image("sprite.drl", 1 + i);
            if (s.angle) {
                img->SetOffsetX(kSprite / 2);
                img->SetOffsetY(kSprite / 2);
            }
            img->SetLeft(s.left);
            img->SetTop(s.top);
            img->SetZoomX(s.zoom);
            img->SetZoomY(s.zoom);
            img->SetAngle(s.angle);
            img->SetAlpha(s.alpha);
            sprites.push_back(img);
        }
        int priority = 100;
        for (const TBoxPlan& b : boxPlans()) {
            auto* box = reg.Create<TZunoBox>();
            box->SetParent(reg.GetScreen(0));
            box->SetPriority(priority++);
            box->SetBounds(b.r.Left, b.r.Top, b.r.width(), b.r.height());
            box->SetColor(b.colour);
            box->SetAlpha(b.alpha);
        }
        reg.Update(0);                                      // sizes follow the zooms
        compose();
    }
    ~TScene() {
        reg.Reset();
        TDrelCollection::Instance().SetFileManager(nullptr);
    }
    void compose() {
        reg.Draw();
        reg.ClearDirty();
    }
};

#ifdef ZUNO_HAVE_PIXMAN

pixman_image_t* wrap(TDIBX& s, pixman_format_code_t format) {
    return pixman_image_create_bits(format, s.GetWidth(), s.GetHeight(), reinterpret_cast<uint32_t*>(s.ScanLine(0)),
                                    s.GetPitch());
}

// The same pictures drawn by pixman into a buffer of its own.
struct TPixmanScene {
    std::vector<uint32_t> pixels = std::vector<uint32_t>(size_t(kW) * kH);
    TDIBX halfMask{kSprite, kSprite, 8};
    pixman_image_t* dst;
    pixman_image_t* back;
    pixman_image_t* sprite;
    pixman_image_t* mask;
    pixman_image_t* half;
    std::vector<pixman_image_t*> transformed;               // per sprite: picture and mask with its transform
    std::vector<TBoxPlan> boxes = boxPlans();
    const TScene& scene;

    explicit TPixmanScene(TScene& sc) : scene(sc) {
        TDrelCollection& cache = TDrelCollection::Instance();
        TDrelItemFrame& b = cache.Find("back.drl")->Frames(0);
        TDrelItemFrame& s = cache.Find("sprite.drl")->Frames(0);
        dst = pixman_image_create_bits(PIXMAN_x8r8g8b8, kW, kH, pixels.data(), kW * 4);
        back = wrap(*b.Picture, PIXMAN_x8r8g8b8);
        sprite = wrap(*s.Picture, PIXMAN_x8r8g8b8);
        mask = wrap(*s.Mask, PIXMAN_a8);
        for (int32_t y = 0; y < kSprite; ++y)
            for (int32_t x = 0; x < kSprite; ++x)
                halfMask.ScanLine(y)[x] = uint8_t(s.Mask->ScanLine(y)[x] * 128 / 255);
        half = wrap(halfMask, PIXMAN_a8);
        for (const TSpritePlan& plan : kSprites) {
            if (plan.zoom == 256 && plan.angle == 0) {
                transformed.push_back(nullptr);
                transformed.push_back(nullptr);
                continue;
            }
            pixman_image_t* p = wrap(*s.Picture, PIXMAN_x8r8g8b8);
            pixman_image_t* m = wrap(*s.Mask, PIXMAN_a8);
            pixman_transform_t tr;
            pixman_transform_init_identity(&tr);
            if (plan.angle == 0) {
                // Destination offsets within the sprite's rectangle to picture coordinates.
                tr.matrix[0][0] = pixman_double_to_fixed(256.0 / plan.zoom);
                tr.matrix[1][1] = pixman_double_to_fixed(256.0 / plan.zoom);
            } else {
                // Destination coordinates to picture coordinates about the centre.
                const double theta = plan.angle * 2.0 * std::numbers::pi / 256.0, c = std::cos(theta),
                             sn = std::sin(theta), f = plan.zoom / 256.0, cx = kSprite / 2.0, cy = kSprite / 2.0;
                tr.matrix[0][0] = pixman_double_to_fixed(c / f);
                tr.matrix[0][1] = pixman_double_to_fixed(sn / f);
                tr.matrix[0][2] = pixman_double_to_fixed(cx - (c * plan.left + sn * plan.top) / f);
                tr.matrix[1][0] = pixman_double_to_fixed(-sn / f);
                tr.matrix[1][1] = pixman_double_to_fixed(c / f);
                tr.matrix[1][2] = pixman_double_to_fixed(cy - (-sn * plan.left + c * plan.top) / f);
            }
            for (pixman_image_t* i : {p, m}) {
                pixman_image_set_transform(i, &tr);
                pixman_image_set_filter(i, PIXMAN_FILTER_NEAREST, nullptr, 0);
                pixman_image_set_repeat(i, PIXMAN_REPEAT_NONE);
            }
            transformed.push_back(p);
            transformed.push_back(m);
        }
    }
    ~TPixmanScene() {
        for (pixman_image_t* i : transformed)
            if (i)
                pixman_image_unref(i);
        for (pixman_image_t* i : {dst, back, sprite, mask, half})
            pixman_image_unref(i);
    }

    // Everything in drawing order, clipped to `clip` (none: the whole screen).
    void draw(const std::vector<TRect>* clip) {
        if (clip) {
            pixman_region32_t region;
            std::vector<pixman_box32_t> rects;
            for (const TRect& r : *clip)
                rects.push_back({r.Left, r.Top, r.Right, r.Bottom});
            pixman_region32_init_rects(&region, rects.data(), int(rects.size()));
            pixman_image_set_clip_region32(dst, &region);
            pixman_region32_fini(&region);
        } else {
            pixman_image_set_clip_region32(dst, nullptr);
        }
        pixman_image_composite32(PIXMAN_OP_SRC, back, nullptr, dst, 0, 0, 0, 0, 0, 0, kW, kH);
        for (size_t i = 0; i < 8; ++i) {
            TZunoImages* img = scene.sprites[i];
            const TSpritePlan& plan = kSprites[i];
            const int32_t x = img->ScreenLeft(), y = img->ScreenTop();
            if (plan.angle != 0) {
                const TRect box = intersectRect(img->DrawnArea(), TRect(0, 0, kW, kH));
                pixman_image_composite32(PIXMAN_OP_OVER, transformed[2 * i], transformed[2 * i + 1], dst, box.Left,
                                         box.Top, box.Left, box.Top, box.Left, box.Top, box.width(), box.height());
            } else if (plan.zoom != 256) {
                pixman_image_composite32(PIXMAN_OP_OVER, transformed[2 * i], transformed[2 * i + 1], dst, 0, 0, 0, 0,
                                         x, y, img->Width(), img->Height());
            } else {
                pixman_image_composite32(PIXMAN_OP_OVER, sprite, plan.alpha < 255 ? half : mask, dst, 0, 0, 0, 0, x,
                                         y, kSprite, kSprite);
            }
        }
        for (const TBoxPlan& b : boxes) {
            // pixman colours are premultiplied by their alpha.
            const uint32_t c = uint32_t(b.colour), a = uint32_t(b.alpha);
            auto channel = [&](int shift) { return uint16_t((c >> shift & 0xFF) * a / 255 * 257); };
            pixman_color_t colour = {channel(0), channel(8), channel(16), uint16_t(a * 257)};
            pixman_rectangle16_t r = {int16_t(b.r.Left), int16_t(b.r.Top), uint16_t(b.r.width()),
                                      uint16_t(b.r.height())};
            pixman_image_fill_rectangles(b.alpha == 255 ? PIXMAN_OP_SRC : PIXMAN_OP_OVER, dst, &colour, 1, &r);
        }
    }
};

struct TTiming {
    double ours = 0, reference = 0;
    void add(benchmark::State& state, double o, double r) {
        ours += o;
        reference += r;
        state.SetIterationTime(o);
    }
    void report(benchmark::State& state) const {
        const double n = double(state.iterations());
        state.counters["ours_ms"] = ours * 1e3 / n;
        state.counters["ref_ms"] = reference * 1e3 / n;
        state.counters["ratio"] = ours > 0 ? reference / ours : 0;
        state.counters["vs_reference"] = ours > 0 ? reference / ours : 0;
    }
};

// Times both sides in alternating order.
template <class Ours, class Ref>
void timePair(benchmark::State& state, TTiming& t, bool odd, Ours ours, Ref ref) {
    const double a = cpuNow();
    if (odd) ref(); else ours();
    const double b = cpuNow();
    if (odd) ours(); else ref();
    const double c = cpuNow();
    t.add(state, odd ? c - b : b - a, odd ? b - a : c - b);
}

// Argument: 0 the scalar blend kernels, 1 the fastest the processor offers.
void useKernels(benchmark::State& state) {
    selectBlendKernels(state.range(0) ? TKernelChoice::Fast : TKernelChoice::Reference);
    state.SetLabel(blendKernels32().Name);
}

// Share of pixels where the two pictures differ by more than 8 in a channel
// (the sides round differently; sampling differs at turned and zoomed edges):
// a check that the reference draws the same scene.
double mismatch(TScene& scene, TPixmanScene& px) {
    scene.reg.GetScreen(0)->MarkAllDirty();
    scene.compose();
    px.draw(nullptr);
    int64_t differing = 0;
    for (int32_t y = 0; y < kH; ++y)
        for (int32_t x = 0; x < kW; ++x) {
            const uint32_t a = scene.reg.OutputSurface().GetPixel(x, y), b = px.pixels[size_t(y) * kW + x];
            for (int shift = 0; shift < 24; shift += 8)
                if (std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) > 8) {
                    ++differing;
                    break;
                }
        }
    return 100.0 * double(differing) / (double(kW) * kH);
}

void BM_ComposeFullScreen(benchmark::State& state) {
    useKernels(state);
    TScene scene;
    TPixmanScene px(scene);
    state.counters["mismatch_%"] = mismatch(scene, px);
    TTiming t;
    bool odd = false;
    for (auto _ : state) {
        timePair(state, t, odd = !odd,
                 [&] {
                     scene.reg.GetScreen(0)->MarkAllDirty();
                     scene.compose();
                     benchmark::DoNotOptimize(scene.reg.OutputSurface().Lock(0, 0));
                 },
                 [&] {
                     px.draw(nullptr);
                     benchmark::DoNotOptimize(px.pixels.data());
                 });
    }
    t.report(state);
}
BENCHMARK(BM_ComposeFullScreen)->Arg(0)->Arg(1)->ArgName("fast")->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ComposeOneSprite(benchmark::State& state) {
    useKernels(state);
    TScene scene;
    TPixmanScene px(scene);
    TTiming t;
    bool odd = false;
    int32_t step = 0;
    TZunoImages* moving = scene.sprites[5];
    const int32_t home = moving->Left();
    for (auto _ : state) {
        // Back and forth by 3 pixels: the old and the new place are dirty.
        moving->SetLeft(home + (++step % 2) * 3);
        const std::vector<TRect> dirty = scene.reg.GetScreen(0)->DirtyList().Rects();
        timePair(state, t, odd = !odd,
                 [&] {
                     scene.compose();
                     benchmark::DoNotOptimize(scene.reg.OutputSurface().Lock(0, 0));
                 },
                 [&] {
                     px.draw(&dirty);
                     benchmark::DoNotOptimize(px.pixels.data());
                 });
    }
    t.report(state);
}
BENCHMARK(BM_ComposeOneSprite)->Arg(0)->Arg(1)->ArgName("fast")->UseManualTime()->Unit(benchmark::kMillisecond);

#endif

} // namespace

BENCHMARK_MAIN();
