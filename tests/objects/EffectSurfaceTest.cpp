// The fire and wave surfaces: the heat field's tables, timing and step, the
// fire palette and its additive drawing; the wave's travelling phase, its
// row offsets, drawing through the row-offset surface and its repaint area;
// sizes and values from scripts and save data that must not hurt.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "ObjectTestKit.h"
#include "core/StreamFields.h"
#include "imaging/TDIBX.h"
#include "objects/TZunoFire.h"
#include "objects/TZunoWave.h"

namespace zuno {
namespace {

using namespace test;

constexpr int32_t kVersion = 138;

// A registry composing into a 32-bit surface, with a fixed effect random source.
struct TScene {
    TZunoBaseList       Reg;
    TDIBX               Out;
    int32_t             RandomValue = 0;
    explicit TScene(int32_t w = 40, int32_t h = 30, int32_t bits = 32) : Out(w, h, bits) {
        Reg.SetSize(w, h);
        Reg.SetOutputSurface(&Out);
        Reg.GetScreen(0)->SetColor(0);
        Reg.EffectRandom = [this](int32_t n) { return std::min(RandomValue, n - 1); };
    }
    void                frame(int32_t elapsed) {
        Reg.Update(elapsed);
        Reg.Draw();
        Reg.ClearDirty();
    }
    std::vector<uint8_t> heatRow(TZunoFire& f, int32_t y) {
        const uint8_t* row = f.HeatField().ScanLine(y);
        return std::vector<uint8_t>(row, row + f.HeatField().GetWidth());
    }
};

TZunoFire* addFire(TScene& s, int32_t left, int32_t top, int32_t w, int32_t h) {
    auto* f = addControl<TZunoFire>(s.Reg, s.Reg.GetScreen(0), left, top, 0, 0);
    f->SetFieldWidth(w);
    f->SetFieldHeight(h);
    return f;
}

template <class T>
void roundTrip(T& from, T& to, int32_t version = kVersion) {
    TKsMemoryStream out;
    from.SaveToStream(out);
    TKsMemoryStream in(std::vector<uint8_t>(out.Memory(), out.Memory() + out.GetSize()));
    to.LoadFromStream(in, version);
    EXPECT_EQ(in.GetPosition(), in.GetSize());
}

//==============================================================================
// Fire
//==============================================================================

TEST(FireTest, CoolingTableFollowsPowerAsGiven) {
    // Values of the decay formula worked out by hand for decay 4.5.
    const auto t45 = TZunoFire::BuildCoolingTable(4.5);
    EXPECT_EQ(t45[0], 0);
    EXPECT_EQ(t45[302], 67);
    EXPECT_EQ(t45[450], 100);
    EXPECT_EQ(t45[1016], 226);

    TZunoBaseList reg;
    auto* f = reg.Create<TZunoFire>();
    EXPECT_EQ(f->Power(), 1);
    EXPECT_EQ(f->CoolingTable(), t45);                         // built with 4.5, not from Power 1

    struct TCase {
        int32_t power, stored;
        double decay;
    } cases[] = {
        {128, 128, 4.2175},
        {0, 0, 5.5},
        {300, 255, (128.0 - 300) / 128 * 1.2825 + 4.2175},     // stored clamped, table from 300 (about 2.49)
        {-40, 0, (128.0 + 40) / 128 * 1.2825 + 4.2175},
    };
    for (const TCase& c : cases) {
        f->SetProp(PR_POWER, TPropValue::ofInt(c.power));
        EXPECT_EQ(f->Power(), c.stored) << c.power;
        EXPECT_EQ(getInt(*f, PR_POWER), c.stored);
        EXPECT_EQ(f->CoolingTable(), TZunoFire::BuildCoolingTable(c.decay)) << c.power;
    }
    // A table from a decay below 4.1 saturates at 254.
    EXPECT_EQ(TZunoFire::BuildCoolingTable(2.494140625)[600], 241);
    EXPECT_EQ(TZunoFire::BuildCoolingTable(2.494140625)[1020], 254);

    // Reloaded, the fire applies the stored 255.
    f->SetProp(PR_POWER, TPropValue::ofInt(300));
    auto* g = reg.Create<TZunoFire>();
    roundTrip(*f, *g);
    EXPECT_EQ(g->Power(), 255);
    EXPECT_EQ(g->CoolingTable(), TZunoFire::BuildCoolingTable((128.0 - 255) / 128 * 1.2825 + 4.2175));
}

TEST(FireTest, PaletteTellingRowsAndPixelForms) {
    const auto& p32 = TZunoFire::Palette32();
    struct TRow {
        int heat;
        uint32_t rgb;
    } rows[] = {{0, 0x000000},   {16, 0x331301},  {32, 0x662703},  {64, 0x923E04},
                {112, 0xD56107}, {128, 0xDF7509}, {160, 0xF39D0D}, {176, 0xF9AE22},
                {192, 0xFFC037}, {224, 0xFFD373}, {255, 0xFFE6AF}};
    for (const TRow& r : rows)
        EXPECT_EQ(p32[size_t(r.heat)], r.rgb) << r.heat;
    // Between the rows every channel moves evenly, never backwards.
    EXPECT_EQ(p32[8], 0x1A0A01u);                              // half way to (51, 19, 1), halves up
    for (size_t i = 1; i < 256; ++i)
        for (int shift : {0, 8, 16})
            EXPECT_GE(p32[i] >> shift & 0xFF, p32[i - 1] >> shift & 0xFF) << i;
    // 5-6-5 and 5-5-5 forms of (255, 230, 175).
    EXPECT_EQ(TZunoFire::Palette16()[255], (31u << 11) | (57u << 5) | 21u);
    EXPECT_EQ(TZunoFire::Palette15()[255], (31u << 10) | (28u << 5) | 21u);
}

TEST(FireTest, FirstFrameBuildsThenStepsEvery40Ms) {
    TScene s;
    TZunoFire* f = addFire(s, 0, 0, 5, 6);
    EXPECT_EQ(f->Width(), 5);
    EXPECT_EQ(f->Height(), 6);
    s.frame(100);
    EXPECT_TRUE(f->Initialised());
    for (int32_t y = 0; y < 6; ++y)                            // filled with 16, no step yet
        EXPECT_EQ(s.heatRow(*f, y), std::vector<uint8_t>(5, 16)) << y;
    EXPECT_EQ(f->TimeBank(), 0);

    s.frame(39);
    EXPECT_EQ(s.heatRow(*f, 5), std::vector<uint8_t>(5, 16));  // 39 ms: no step
    s.frame(1);
    EXPECT_EQ(s.heatRow(*f, 5), std::vector<uint8_t>(5, 254)); // the 40th ms steps
    EXPECT_EQ(f->TimeBank(), 0);
    s.frame(130);                                              // one step at most, 10 ms kept
    EXPECT_EQ(f->TimeBank(), 10);

    // A new field size rebuilds in the next frame, again without a step.
    f->SetFieldWidth(7);
    EXPECT_FALSE(f->Initialised());
    s.frame(40);
    EXPECT_EQ(f->HeatField().GetWidth(), 7);
    EXPECT_EQ(s.heatRow(*f, 5), std::vector<uint8_t>(7, 16));

    // Paused animation keeps the field as it is.
    f->SetProp(PR_ANIPAUSED, TPropValue::ofBool(true));
    s.frame(80);
    EXPECT_EQ(s.heatRow(*f, 5), std::vector<uint8_t>(7, 16));
}

TEST(FireTest, StepRisesFromTheSourceRowsThroughCoolingAndNoise) {
    // Worked by hand from the cooling table of decay 4.5: interior cells
    // take cooling[sum of the cells left-below, right-below, itself and two
    // below] less the noise, never below 16; the edge columns stay.
    struct TCase {
        int32_t noise;
        std::vector<std::vector<uint8_t>> rows;
    } cases[] = {
        {0, {{16, 67, 67, 67, 16}, {16, 173, 173, 173, 16}, {254, 226, 226, 226, 254}, {254, 226, 226, 226, 254},
             {254, 254, 254, 254, 254}, {254, 254, 254, 254, 254}}},
        {8, {{16, 59, 59, 59, 16}, {16, 165, 165, 165, 16}, {254, 218, 218, 218, 254}, {254, 218, 218, 218, 254},
             {254, 254, 254, 254, 254}, {254, 254, 254, 254, 254}}},
    };
    for (const TCase& c : cases) {
        TScene s;
        s.RandomValue = c.noise;
        TZunoFire* f = addFire(s, 0, 0, 5, 6);
        s.frame(16);
        f->Step();
        for (int32_t y = 0; y < 6; ++y)
            EXPECT_EQ(s.heatRow(*f, y), c.rows[size_t(y)]) << "noise " << c.noise << " row " << y;
    }
    // Heat that the noise would push below 16 stays at 16.
    TScene s;
    s.RandomValue = 8;
    TZunoFire* f = addFire(s, 0, 0, 3, 12);
    s.frame(16);
    f->Step();
    EXPECT_EQ(s.heatRow(*f, 0)[1], 16);                        // cooling[64] = 14, less 8
}

TEST(FireTest, NarrowOrLowFieldsOnlyGetTheSource) {
    for (auto [w, h] : {std::pair{2, 8}, std::pair{8, 2}, std::pair{1, 1}}) {
        TScene s;
        TZunoFire* f = addFire(s, 0, 0, w, h);
        s.frame(16);
        f->Step();
        for (int32_t y = 0; y < h; ++y)
            EXPECT_EQ(s.heatRow(*f, y), std::vector<uint8_t>(size_t(w), y >= h - 4 ? 254 : 16)) << w << "x" << h;
    }
}

TEST(FireTest, DrawsAddingThePaletteAboveHeat16) {
    TScene s;
    s.Reg.GetScreen(0)->SetColor(0x000010);                    // a little red under the fire (0x00BBGGRR)
    TZunoFire* f = addFire(s, 4, 3, 5, 6);
    s.frame(16);
    f->Step();
    f->Invalidate();
    s.frame(0);
    const uint32_t bg = s.Out.ColorToPixel(0x000010);
    EXPECT_EQ(s.Out.GetPixel(4, 3), bg);                       // heat 16 draws nothing
    EXPECT_EQ(s.Out.GetPixel(30, 20), bg);
    // Heat 254 adds its palette colour to the screen (each channel saturating).
    const uint32_t hot = TZunoFire::Palette32()[254];
    const uint32_t got = s.Out.GetPixel(4, 8);
    for (int shift : {0, 8, 16}) {
        const int expected = std::min(255, int((hot >> shift & 0xFF) + (bg >> shift & 0xFF)));
        EXPECT_NEAR(int(got >> shift & 0xFF), expected, 1) << shift;
    }
    EXPECT_GT(s.Out.GetPixel(5, 3) & 0xFF0000, 0u);           // heat 67 shows

    // Zoomed, the field stretches over the control.
    f->SetProp(PR_ZOOMX, TPropValue::ofInt(512));
    f->SetProp(PR_ZOOMY, TPropValue::ofInt(512));
    EXPECT_EQ(f->Width(), 10);
    EXPECT_EQ(f->Height(), 12);
    s.frame(0);
    EXPECT_EQ(s.Out.GetPixel(13, 14) & 0xFF0000, s.Out.GetPixel(4, 8) & 0xFF0000);   // source rows below 3 + 8

    // Hidden, nothing of it (children included) is drawn.
    TZunoControl* child = addControl(s.Reg, f, 0, 0, 2, 2);
    child->SetColor(0xFFFFFF);
    f->SetVisible(false);
    s.Reg.GetScreen(0)->MarkAllDirty();
    s.frame(0);
    EXPECT_EQ(s.Out.GetPixel(4, 3), bg);
    EXPECT_EQ(s.Out.GetPixel(13, 14), bg);
}

TEST(FireTest, DrawsOn16BitScreensAndNotOnOtherDepths) {
    struct TCase {
        int32_t bits;
        const std::array<uint32_t, 256>* palette;
    } cases[] = {{16, &TZunoFire::Palette16()}, {15, &TZunoFire::Palette15()}, {24, nullptr}};
    for (const TCase& c : cases) {
        TScene s(20, 20, c.bits);
        TZunoFire* f = addFire(s, 0, 0, 4, 8);
        TZunoControl* child = addControl(s.Reg, f, 0, 0, 1, 1);
        child->SetColor(0xFFFFFF);
        s.frame(16);
        f->Step();
        f->Invalidate();
        s.frame(0);
        // On black the palette's pixel value (each field within 1 of it), or nothing.
        const uint32_t hot = c.palette ? (*c.palette)[254] : 0;
        const uint32_t got = s.Out.GetPixel(1, 7);
        const int greenBits = c.bits == 16 ? 6 : 5;
        for (int shift : {0, 5, 5 + greenBits}) {
            const uint32_t mask = shift == 5 ? (1u << greenBits) - 1 : 31u;
            EXPECT_NEAR(int(got >> shift & mask), int(hot >> shift & mask), 1) << c.bits << " field " << shift;
        }
        EXPECT_EQ(s.Out.GetPixel(0, 0), s.Out.ColorToPixel(0xFFFFFF)) << c.bits;   // children on any depth
    }
}

TEST(FireTest, BadSizesAndZoomsStaySound) {
    TScene s;
    TZunoFire* f = addFire(s, 0, 0, -5, 100000);
    s.frame(16);
    EXPECT_EQ(getInt(*f, PR_ORIGWIDTH), -5);                   // read back as written
    EXPECT_EQ(getInt(*f, PR_ORIGHEIGHT), 100000);
    EXPECT_EQ(f->HeatField().GetWidth(), 0);                   // the field itself is cut
    f->SetFieldWidth(3000);
    s.frame(16);
    EXPECT_EQ(f->HeatField().GetWidth(), TZunoFire::kMaxFieldSide);
    EXPECT_EQ(f->HeatField().GetHeight(), TZunoFire::kMaxFieldSide);
    s.frame(40);                                               // a step of the largest field

    f->SetProp(PR_ZOOMX, TPropValue::ofInt(0));
    EXPECT_EQ(f->ZoomX(), 1);
    f->SetProp(PR_ZOOMY, TPropValue::ofInt(INT32_MAX));
    EXPECT_EQ(f->Height(), INT32_MAX);                         // 100000 x (2^31 - 1) / 256, kept to 32 bits
}

TEST(FireTest, SaveRecordRestartsTheField) {
    TScene s;
    TZunoFire* f = addFire(s, 2, 3, 6, 9);
    f->SetProp(PR_POWER, TPropValue::ofInt(90));
    f->SetProp(PR_ZOOMX, TPropValue::ofInt(300));
    f->SetProp(PR_ZOOMY, TPropValue::ofInt(200));
    f->SetProp(PR_ONIDLE, TPropValue::ofStr("idle.zsb"));
    f->SetProp(PR_PAUSED, TPropValue::ofBool(true));
    s.frame(16);
    s.frame(40);
    auto* g = s.Reg.Create<TZunoFire>();
    roundTrip(*f, *g);
    EXPECT_EQ(g->Power(), 90);
    EXPECT_EQ(g->FieldWidth(), 6);
    EXPECT_EQ(g->FieldHeight(), 9);
    EXPECT_EQ(g->ZoomX(), 300);
    EXPECT_EQ(g->ZoomY(), 200);
    EXPECT_EQ(getText(*g, PR_ONIDLE), "idle.zsb");
    EXPECT_FALSE(g->GetProp(PR_PLAYING).Bool);
    EXPECT_FALSE(g->Initialised());

}

//==============================================================================
// Wave
//==============================================================================

TZunoWave* addWave(TScene& s, int32_t left, int32_t top, int32_t w, int32_t h, int32_t amp, int32_t len, int32_t period) {
    auto* wv = addControl<TZunoWave>(s.Reg, s.Reg.GetScreen(0), left, top, w, h);
    wv->SetProp(PR_AMP, TPropValue::ofInt(amp));
    wv->SetProp(PR_WAVELEN, TPropValue::ofInt(len));
    wv->SetProp(PR_DELAY, TPropValue::ofInt(period));
    return wv;
}

TEST(WaveTest, PhaseTravelsAndWrapsBy255) {
    struct TCase {
        int32_t period;
        std::vector<int32_t> elapsed;
        int32_t phase, remainder;
    } cases[] = {
        {2000, {2000}, 254, 0},                                // 256 steps back from 0: -256 -> -1 -> 254
        {2000, {16}, 253, 96},                                 // 4096 = 2 x 2000 + 96
        {2000, {16, 16}, 251, 192},
        {256, {1}, 254, 0},                                    // one step below 0 gives 254, not 255
        {256, {255}, 0, 0},                                    // 255 back from 0: -255 + 255
        {1, {INT32_MAX}, -1, 0},                               // a huge step ends within 0 .. 254
    };
    for (const TCase& c : cases) {
        TScene s;
        TZunoWave* w = addWave(s, 0, 0, 10, 10, 3, 10, c.period);
        for (int32_t e : c.elapsed)
            s.frame(e);
        if (c.phase >= 0) {
            EXPECT_EQ(w->Phase(), c.phase) << c.period << " " << c.elapsed.size();
        }
        EXPECT_GE(w->Phase(), 0);
        EXPECT_LE(w->Phase(), 254);
        EXPECT_EQ(w->TimeRemainder(), c.remainder);
    }
}

TEST(WaveTest, OffsetsFollowTheSineOfPhaseAndRow) {
    TScene s;
    TZunoWave* w = addWave(s, 0, 5, 10, 8, 10, 4, 2000);
    s.frame(0);
    EXPECT_EQ(w->WaveSurface().FirstRow, 5);
    EXPECT_EQ(w->WaveSurface().Offsets, (std::vector<int32_t>{0, 10, 0, -10, 0, 10, 0, -10}));
    // Half a period later (128 steps back from 0 wrap to 127) every row
    // shows the opposite offset.
    s.frame(1000);
    EXPECT_EQ(w->Phase(), 127);
    EXPECT_EQ(w->WaveSurface().Offsets, (std::vector<int32_t>{0, -10, 0, 10, 0, -10, 0, 10}));

    // Height changes resize the table; moves follow the drawn top.
    w->SetProp(PR_HEIGHT, TPropValue::ofInt(3));
    EXPECT_EQ(w->WaveSurface().Offsets.size(), 3u);
    w->SetTop(9);
    EXPECT_EQ(w->WaveSurface().FirstRow, 9);
    // A huge height gets a table of at most kMaxRows rows.
    w->SetProp(PR_HEIGHT, TPropValue::ofInt(INT32_MAX));
    EXPECT_EQ(w->WaveSurface().Offsets.size(), size_t(TZunoWave::kMaxRows));
}

TEST(WaveTest, ChildrenDrawWithShiftedRows) {
    TScene s;
    TZunoWave* w = addWave(s, 10, 0, 20, 8, 3, 4, 2000);
    TZunoControl* bar = addControl(s.Reg, w, 5, 0, 2, 8);      // a vertical bar at x 15, 16
    bar->SetColor(0xFFFFFF);
    s.frame(0);
    const uint32_t white = s.Out.ColorToPixel(0xFFFFFF);
    // Row offsets 0, 3, 0, -3: the bar is drawn at 15 + offset.
    const int32_t offsets[] = {0, 3, 0, -3};
    for (int32_t y = 0; y < 8; ++y) {
        const int32_t x = 15 + offsets[y % 4];
        EXPECT_EQ(s.Out.GetPixel(x, y), white) << y;
        EXPECT_EQ(s.Out.GetPixel(x + 2, y), 0u) << y;
        EXPECT_EQ(s.Out.GetPixel(x - 1, y), 0u) << y;
    }

    // Amplitude 0: the children draw straight on the screen.
    w->SetProp(PR_AMP, TPropValue::ofInt(0));
    s.frame(0);
    EXPECT_EQ(bar->GetSurface(), &s.Out);
    for (int32_t y = 0; y < 8; ++y)
        EXPECT_EQ(s.Out.GetPixel(15, y), white) << y;
    EXPECT_EQ(s.Out.GetPixel(18, 1), 0u);
}

TEST(WaveTest, RepaintAreaWidensByTheAmplitudeEitherSign) {
    for (int32_t amp : {4, -4}) {
        TScene s;
        TZunoWave* w = addWave(s, 10, 5, 8, 6, amp, 4, 2000);
        s.frame(0);
        w->Invalidate();
        EXPECT_EQ(s.Reg.GetScreen(0)->DirtyList().Rects(), std::vector<TRect>{TRect(6, 5, 22, 11)}) << amp;
        s.Reg.ClearDirty();
        // A child's change repaints as far as its rows may shift.
        TZunoControl* c = addControl(s.Reg, w, 2, 1, 2, 2);
        s.Reg.ClearDirty();
        c->Invalidate();
        EXPECT_EQ(s.Reg.GetScreen(0)->DirtyList().Rects(), std::vector<TRect>{TRect(8, 6, 18, 8)}) << amp;
    }
}

TEST(WaveTest, NegativeAmplitudeLeavesNoStaleRows) {
    // The bar swings left and right. One scene repaints only its dirty
    // areas, the other everything every frame: they must show the same.
    TScene part, full;
    for (TScene* s : {&part, &full}) {
        TZunoWave* w = addWave(*s, 10, 0, 20, 8, -3, 4, 500);
        addControl(s->Reg, w, 5, 0, 2, 8)->SetColor(0xFFFFFF);
    }
    for (int i = 0; i < 8; ++i) {
        part.frame(16);
        full.Reg.Update(16);
        full.Reg.GetScreen(0)->MarkAllDirty();
        full.Reg.Draw();
        full.Reg.ClearDirty();
        for (int32_t y = 0; y < 8; ++y)
            for (int32_t x = 0; x < 40; ++x)
                ASSERT_EQ(part.Out.GetPixel(x, y), full.Out.GetPixel(x, y)) << "frame " << i << " at " << x << "," << y;
    }
}

TEST(WaveTest, BadValuesAndSaveRecord) {
    TScene s;
    TZunoWave* w = addWave(s, 1, 2, 10, 10, -7, 0, -5);
    EXPECT_EQ(w->WaveLength(), 1);
    EXPECT_EQ(w->Period(), 1);
    EXPECT_EQ(w->Amplitude(), -7);
    s.frame(16);
    w->SetProp(PR_WAVELEN, TPropValue::ofInt(40));
    w->SetProp(PR_DELAY, TPropValue::ofInt(3000));
    w->SetProp(PR_ONIDLE, TPropValue::ofStr("w.zsb"));
    s.frame(16);
    EXPECT_NE(w->Phase(), 0);

    auto* v = addControl<TZunoWave>(s.Reg, s.Reg.GetScreen(0), 0, 0, 0, 0);
    roundTrip(*w, *v);
    EXPECT_EQ(v->Amplitude(), -7);
    EXPECT_EQ(v->WaveLength(), 40);
    EXPECT_EQ(v->Period(), 3000);
    EXPECT_EQ(getText(*v, PR_ONIDLE), "w.zsb");
    EXPECT_EQ(v->Phase(), 0);
    EXPECT_EQ(v->WaveSurface().Offsets.size(), 10u);
    EXPECT_EQ(v->WaveSurface().FirstRow, 2);

    // A record with a period of 0 loads as 1 (no division by zero later).
    TKsMemoryStream out;
    w->SaveToStream(out);
    std::vector<uint8_t> bytes(out.Memory(), out.Memory() + out.GetSize());
    const size_t periodAt = bytes.size() - (4 + 5 + 1) - 4;   // before OnIdle ("w.zsb") and Paused
    std::fill_n(bytes.begin() + std::ptrdiff_t(periodAt), 4, 0);
    TKsMemoryStream in(bytes);
    auto* z = addControl<TZunoWave>(s.Reg, s.Reg.GetScreen(0), 0, 0, 0, 0);
    z->LoadFromStream(in, kVersion);
    EXPECT_EQ(z->Period(), 1);
    s.frame(16);
}

} // namespace
} // namespace zuno
