// Composed pixels of image controls and boxes against the per-channel
// arithmetic of each drawing mode: opacity, opaque copy with key colour,
// additive light, masks, mirroring, stretching, rotation, the frame's
// drawn areas, brightness.
#include <gtest/gtest.h>

#include <algorithm>

#include "ImageTestKit.h"
#include "objects/TZunoBox.h"

namespace zuno {
namespace {

using namespace test;

constexpr int32_t kW = 4, kH = 3;
constexpr int32_t kLeft = 12, kTop = 6;
constexpr uint32_t kKey = 0x00C8C8C8;

// Each of the three colour channels of d and s through f (the fourth byte stays 0).
template <class F>
uint32_t channels(uint32_t d, uint32_t s, F f) {
    uint32_t r = 0;
    for (int shift = 0; shift < 24; shift += 8)
        r |= (uint32_t(f(int32_t(d >> shift & 0xFF), int32_t(s >> shift & 0xFF))) & 0xFF) << shift;
    return r;
}

// What a pixel becomes when source s (mask value m when masked) is drawn
// over d with Alpha `alpha`.
uint32_t expectedPixel(int32_t alpha, bool masked, int32_t m, bool keyed, uint32_t s, uint32_t d) {
    const int32_t add = std::min(alpha - 256, 255);
    if (masked) {
        if (m == 0)
            return d;
        if (alpha < 255) {
            const int32_t b = (alpha * m) >> 8;
            return channels(d, s, [&](int32_t dc, int32_t sc) { return ((255 - b) * dc + b * sc) >> 8; });
        }
        if (alpha == 255)
            return m == 255 ? s : channels(d, s, [&](int32_t dc, int32_t sc) { return ((255 - m) * dc + m * sc) >> 8; });
        const int32_t b = (add * m) >> 8;
        return channels(d, s, [&](int32_t dc, int32_t sc) { return std::min(dc + ((sc * b) >> 8), 255); });
    }
    if (keyed && s == kKey)
        return d;
    if (alpha < 255)
        return s == d ? d : channels(d, s, [&](int32_t dc, int32_t sc) { return (sc * alpha + dc * (255 - alpha)) >> 8; });
    if (alpha == 255)
        return s;
    return channels(d, s, [&](int32_t dc, int32_t sc) { return std::min(dc + ((sc * add) >> 8), 255); });
}

// A picture whose channels differ in every pixel; (3, 0) is the key colour
// in the keyed variant.
TFramePlan testFrame(bool keyed, bool masked) {
    TFramePlan f;
    f.Width = kW;
    f.Height = kH;
    for (int32_t y = 0; y < kH; ++y)
        for (int32_t x = 0; x < kW; ++x)
            f.Pixels.push_back(uint32_t((40 * x + 10) << 16 | (70 * y + 5) << 8 | (230 - 30 * x - 25 * y)));
    if (keyed) {
        f.Pixels[3] = kKey;
        f.Key = int32_t(kKey);
    }
    if (masked)
        f.Mask = {0, 255, 1, 128, 127, 200, 64, 254, 30, 0, 255, 90};
    return f;
}

class ImageDrawTest : public ImageSceneTest {
protected:
    ImageDrawTest() {
        addFile("keyed.drl", drelBytes({testFrame(true, false)}));
        addFile("masked.drl", drelBytes({testFrame(false, true)}));
    }
    // The whole screen repainted.
    void recompose() {
        Reg.GetScreen(0)->MarkAllDirty();
        compose();
    }
};

TEST_F(ImageDrawTest, DrawingModesFollowTheAlphaRule) {
    const TFramePlan keyed = testFrame(true, false), masked = testFrame(false, true);
    struct TCase {
        int32_t alpha;
        bool masked, flipH, flipV;
        int32_t zoomX;
    } cases[] = {
        {255, false, false, false, 256}, {100, false, false, false, 256}, {300, false, false, false, 256},
        {1, false, false, false, 256},   {254, false, true, false, 256},  {600, false, false, true, 256},
        {255, true, false, false, 256},  {100, true, false, false, 256},  {300, true, true, true, 256},
        {255, false, false, false, 512}, {100, false, true, false, 512},  {300, false, false, false, 512},
        {255, true, false, false, 512},  {120, true, false, true, 512},   {400, true, false, false, 512},
        {0, false, false, false, 256},   {-5, true, false, false, 256},
    };
    for (const TCase& c : cases) {
        TZunoImages* img = addImage(c.masked ? "masked.drl" : "keyed.drl", kLeft, kTop);
        img->SetAlpha(c.alpha);
        img->SetFlipH(c.flipH);
        img->SetFlipV(c.flipV);
        img->SetZoomX(c.zoomX);
        Reg.Update(0);                                        // the size follows the zoom
        ASSERT_EQ(img->Width(), kW * c.zoomX / 256);
        recompose();
        const TFramePlan& f = c.masked ? masked : keyed;
        // A mirrored control turns about its anchor (0, 0): it lies left of (above) Left (Top).
        const int32_t ox = c.flipH ? kLeft - (img->Width() - 1) : kLeft;
        const int32_t oy = c.flipV ? kTop - (kH - 1) : kTop;
        for (int32_t y = -1; y <= kH; ++y)
            for (int32_t x = -1; x <= img->Width(); ++x) {
                uint32_t want = kBackground;
                if (x >= 0 && y >= 0 && x < img->Width() && y < kH && c.alpha > 0) {
                    int32_t sx = x * 256 / c.zoomX, sy = y;
                    if (c.flipH)
                        sx = kW - 1 - sx;
                    if (c.flipV)
                        sy = kH - 1 - sy;
                    const size_t i = size_t(sy * kW + sx);
                    want = expectedPixel(c.alpha, c.masked, c.masked ? f.Mask[i] : 255, !c.masked, f.Pixels[i],
                                         kBackground);
                }
                EXPECT_EQ(pixel(ox + x, oy + y), want)
                    << "alpha " << c.alpha << " mask " << c.masked << " flip " << c.flipH << c.flipV << " zoom "
                    << c.zoomX << " at " << x << "," << y;
            }
        Reg.DeleteObject(img);
    }
}

TEST_F(ImageDrawTest, AdditiveStrengthIsAlphaMinus256) {
    // Alpha 300 adds 44/256 of the source: 200 over 16 gives 16 + 34.
    addFile("grey.drl", drelBytes({solidFrame(2, 2, 0x00C8C8C8)}));
    Reg.GetScreen(0)->SetColor(0x101010);
    TZunoImages* img = addImage("grey.drl", 1, 1);
    img->SetAlpha(300);
    recompose();
    EXPECT_EQ(pixel(1, 1), 0x00323232u);
}

TEST_F(ImageDrawTest, RotationTurnsAboutTheAnchor) {
    // A quarter turn (64) about the anchor at the control's origin: source
    // pixel (px, py) lands on (anchor x - py, anchor y + px).
    const TFramePlan f = testFrame(false, false);
    addFile("plain.drl", drelBytes({f}));
    TZunoImages* img = addImage("plain.drl", 20, 10);
    img->SetAngle(64);
    recompose();
    for (int32_t py = 0; py < kH; ++py)
        for (int32_t px = 0; px < kW; ++px)
            EXPECT_EQ(pixel(20 - py, 10 + px), f.Pixels[size_t(py * kW + px)]) << px << "," << py;
    EXPECT_EQ(pixel(21, 10), kBackground);                       // where the unturned picture was
    EXPECT_EQ(pixel(20 - kH, 10), kBackground);
    // The dirty area is the turned picture's bounding box.
    Reg.ClearDirty();
    img->Invalidate();
    ASSERT_EQ(Reg.GetScreen(0)->DirtyList().Rects().size(), 1u);
    const TRect dirty = Reg.GetScreen(0)->DirtyList().Rects()[0];
    EXPECT_LE(dirty.Left, 20 - kH + 1);
    EXPECT_GE(dirty.Bottom, 10 + kW);
    EXPECT_LT(dirty.Right, 20 + kW);

    // Angle 256 turns by nothing but takes the rotated path: Alpha 300
    // copies there, where Angle 0 adds.
    img->SetAngle(256);
    img->SetAlpha(300);
    recompose();
    EXPECT_EQ(pixel(20, 10), f.Pixels[0]);
    img->SetAngle(0);
    recompose();
    EXPECT_EQ(pixel(20, 10), expectedPixel(300, false, 255, false, f.Pixels[0], kBackground));
}

TEST_F(ImageDrawTest, OnlyTheFrameDrawAreasAreDrawn) {
    TFramePlan f = testFrame(false, false);
    f.DrawRects = {TRect(0, 0, 1, 3), TRect(2, 1, 4, 2)};
    addFile("areas.drl", drelBytes({f}));
    for (bool flip : {false, true}) {
        TZunoImages* img = addImage("areas.drl", kLeft, kTop);
        img->SetFlipH(flip);
        img->SetBrightness(flip ? 0 : 1);                     // a shaded copy shows the same areas
        recompose();
        const int32_t ox = flip ? kLeft - (kW - 1) : kLeft;
        for (int32_t y = 0; y < kH; ++y)
            for (int32_t x = 0; x < kW; ++x) {
                const int32_t sx = flip ? kW - 1 - x : x;
                const bool inside = sx == 0 || (y == 1 && sx >= 2);
                const uint32_t s = f.Pixels[size_t(y * kW + sx)];
                const uint32_t shown = flip ? s : channels(0, s, [](int32_t, int32_t c) { return std::min(c + 1, 255); });
                EXPECT_EQ(pixel(ox + x, kTop + y), inside ? shown : kBackground)
                    << flip << " " << x << "," << y;
            }
        Reg.DeleteObject(img);
    }
}

TEST_F(ImageDrawTest, BrightnessShadesTheFrameAndItsKey) {
    const TFramePlan f = testFrame(true, false);
    struct TCase {
        int32_t brightness;
    } cases[] = {{40}, {-60}, {-255}, {1000}, {-150}};
    for (const TCase& c : cases) {
        TZunoImages* img = addImage("keyed.drl", kLeft, kTop);
        img->SetBrightness(c.brightness);
        recompose();
        const int32_t g = std::min(std::abs(c.brightness), 255);
        auto shade = [&](uint32_t s) {
            return channels(0, s, [&](int32_t, int32_t sc) {
                return c.brightness > 0 ? std::min(sc + g, 255) : std::max(sc - g, 0);
            });
        };
        for (int32_t x = 0; x < kW; ++x) {
            const uint32_t shaded = shade(f.Pixels[size_t(x)]);
            // The key goes through the same shading, so the key pixel stays
            // transparent; so does any pixel the shading made equal to it
            // (at -255 or +255 that is every pixel).
            EXPECT_EQ(pixel(kLeft + x, kTop), shaded == shade(kKey) ? kBackground : shaded) << c.brightness << " " << x;
        }
        img->SetBrightness(0);                                    // back to the cache frame
        recompose();
        EXPECT_EQ(pixel(kLeft, kTop), f.Pixels[0]);
        Reg.DeleteObject(img);
    }
}

TEST_F(ImageDrawTest, StillImageIsDarkenedCopy) {
    std::vector<uint8_t> rgba = {200, 100, 50, 255, 10, 20, 30, 255};
    addFile("still.png", writePngRgba(rgba.data(), 2, 1));
    TZunoImage* img = Reg.Create<TZunoImage>();
    img->SetParent(Reg.GetScreen(0));
    img->SetBounds(3, 4, 0, 0);
    img->SetBrightness(200);
    img->SetSource("still.png");
    EXPECT_EQ(img->Width(), 2);
    EXPECT_EQ(img->Height(), 1);
    EXPECT_EQ(TDrelCollection::Instance().Count(), 0);          // the item is let go at once
    recompose();
    EXPECT_EQ(pixel(3, 4), 0x00912D00u);                          // each channel less 55, not below 0
    EXPECT_EQ(pixel(4, 4), 0x00000000u);
    img->SetBrightness(-7);                                       // kept at 0: all dark
    recompose();
    EXPECT_EQ(pixel(3, 4), 0u);
}

TEST_F(ImageDrawTest, BoxFillAndBorderFollowTheAlphaRule) {
    // A 10 x 8 box with a border of 2: border colour 0x0000C0 (red 192),
    // fill 0x204060.
    const uint32_t borderPix = 0x00C00000, fillPix = 0x00604020;
    struct TCase {
        int32_t alpha, borderWidth, borderColor, color;
    } cases[] = {
        {255, 2, 0x0000C0, 0x204060}, {100, 2, 0x0000C0, 0x204060}, {384, 2, 0x0000C0, 0x204060},
        {511, 0, 0x0000C0, 0x204060}, {255, 2, -1, 0x204060},       {255, 2, 0x0000C0, -1},
        {512, 2, 0x0000C0, 0x204060}, {0, 2, 0x0000C0, 0x204060},   {255, 7, 0x0000C0, 0x204060},
    };
    for (const TCase& c : cases) {
        auto* box = Reg.Create<TZunoBox>();
        box->SetParent(Reg.GetScreen(0));
        box->SetBounds(10, 10, 10, 8);
        box->SetAlpha(c.alpha);
        box->SetBorderWidth(c.borderWidth);
        box->SetBorderColor(c.borderColor);
        box->SetColor(c.color);
        recompose();
        auto paint = [&](uint32_t colourPix) {
            if (c.alpha >= 256) {
                const int32_t f = c.alpha - 256;
                return channels(kBackground, colourPix,
                                [&](int32_t dc, int32_t sc) { return std::min(dc + sc * f / 256, 255); });
            }
            if (c.alpha == 255)
                return colourPix;
            return channels(kBackground, colourPix,
                            [&](int32_t dc, int32_t sc) { return (sc * c.alpha + dc * (255 - c.alpha)) >> 8; });
        };
        const bool draws = c.alpha > 0 && c.alpha < 512;
        const bool border = c.borderWidth > 0 && c.borderColor >= 0;
        for (int32_t y = 9; y <= 18; ++y)
            for (int32_t x = 9; x <= 20; ++x) {
                uint32_t want = kBackground;
                const bool inBox = x >= 10 && x < 20 && y >= 10 && y < 18;
                const int64_t w = c.borderWidth;
                const bool inBorder = inBox && border && (x < 10 + w || x >= 20 - w || y < 10 + w || y >= 18 - w);
                if (draws && inBorder)
                    want = paint(borderPix);
                else if (draws && inBox && c.color >= 0)
                    want = paint(fillPix);
                EXPECT_EQ(pixel(x, y), want) << "alpha " << c.alpha << " border " << c.borderWidth << " at " << x
                                             << "," << y;
            }
        Reg.DeleteObject(box);
    }
}

TEST_F(ImageDrawTest, ChildrenDrawOverTheirImageParent) {
    addFile("big.drl", drelBytes({solidFrame(10, 10, 0x00112233)}));
    TZunoImages* parent = addImage("big.drl", 2, 2);
    auto* box = Reg.Create<TZunoBox>();
    box->SetParent(parent);
    box->SetBounds(3, 3, 4, 4);
    box->SetColor(0x0000FF);
    // A box whose own drawing is off still draws its children.
    auto* hidden = Reg.Create<TZunoBox>();
    hidden->SetParent(parent);
    hidden->SetBounds(0, 0, 2, 2);
    hidden->SetAlpha(0);
    auto* inner = Reg.Create<TZunoBox>();
    inner->SetParent(hidden);
    inner->SetBounds(0, 0, 1, 1);
    inner->SetColor(0x00FF00);
    recompose();
    EXPECT_EQ(pixel(2, 2), 0x0000FF00u);
    EXPECT_EQ(pixel(3, 3), 0x00112233u);
    EXPECT_EQ(pixel(5, 5), 0x00FF0000u);
    EXPECT_EQ(pixel(12, 12), kBackground);
}

} // namespace
} // namespace zuno
