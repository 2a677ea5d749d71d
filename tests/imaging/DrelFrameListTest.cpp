#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "DrelTestUtil.h"
#include "core/EZunoError.h"
#include "core/TKsRandom.h"
#include "imaging/DrelCompose.h"
#include "imaging/TDrelFrameList.h"

using namespace zuno;
using namespace zuno::test;

namespace {

std::vector<uint8_t> saved(TDrelFrameList& list, int32_t kind, int32_t quality = 70) {
    TKsMemoryStream s;
    list.SaveToStream(s, kind, quality);
    return s.Data();
}

void load(TDrelFrameList& list, const std::vector<uint8_t>& bytes, bool firstOnly = false) {
    TKsMemoryStream s(bytes);
    list.LoadFromStream(s, firstOnly);
}

} // namespace

// ---------------------------------------------------------------- writer round trips

struct RoundTripCase {
    int32_t bits;
    int32_t kind;
    bool    withMask;
};

class DrelRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(DrelRoundTrip, LosslessKindsGiveBackEveryPixelAndField) {
    const RoundTripCase c = GetParam();
    TDrelFrameList out;
    out.BackdropColor = 0x123456;
    for (int f = 0; f < 2; ++f) {
        TDrelFrame* frame = out.AddFrame();
        frame->Name = "frame" + std::to_string(f);
        frame->Delay = 40 + f;
        frame->Bitmap = patternBitmap(13 + f, 7, c.bits, uint32_t(f + 1));
        frame->SetTransparentValue(int32_t(frame->Bitmap.GetPixel(1, 1)));
        if (c.withMask)
            frame->Mask = std::make_unique<TDrelBitmap>(patternMask(13 + f, 7));
        frame->DrawRects = {TRect(1, 2, 3, 4)};
        frame->SecondRects = {TRect(0, 0, 5, 5), TRect(2, 2, 9, 6)};
    }
    std::vector<uint8_t> bytes = saved(out, c.kind);
    ASSERT_EQ(std::string(bytes.begin(), bytes.begin() + 7), "Drel106");
    EXPECT_EQ(bytes[11 + 22], c.kind == dcJpeg && c.bits <= 8 ? dcDefault : c.kind);

    TDrelFrameList in;
    load(in, bytes);
    EXPECT_EQ(in.Version, 106);
    EXPECT_EQ(in.BackdropColor, 0x123456);
    ASSERT_EQ(in.Count(), 2);
    for (int f = 0; f < 2; ++f) {
        const TDrelFrame* a = out.Frames(f);
        const TDrelFrame* b = in.Frames(f);
        EXPECT_EQ(b->Name, a->Name);
        EXPECT_EQ(b->Delay, a->Delay);
        EXPECT_TRUE(samePixels(a->Bitmap, b->Bitmap)) << "frame " << f;
        EXPECT_EQ(b->TransparentValue(), a->TransparentValue());
        EXPECT_EQ(b->TransparentColor(), a->TransparentColor());
        if (c.bits <= 8) {
            EXPECT_EQ(b->Bitmap.Palette, a->Bitmap.Palette);
        }
        ASSERT_EQ(b->HasMask(), c.withMask);
        if (c.withMask) {
            EXPECT_TRUE(samePixels(*a->Mask, *b->Mask));
        }
        EXPECT_EQ(b->DrawRects, a->DrawRects);
        EXPECT_EQ(b->SecondRects, a->SecondRects);
    }
    TDrelFrameList firstOnly;
    load(firstOnly, bytes, true);
    EXPECT_EQ(firstOnly.Count(), 1);
}

INSTANTIATE_TEST_SUITE_P(BitsKindsMasks, DrelRoundTrip,
                         ::testing::Values(RoundTripCase{1, 0, false}, RoundTripCase{4, 0, true},
                                           RoundTripCase{8, 1, true}, RoundTripCase{8, 0, false},
                                           RoundTripCase{15, 0, true}, RoundTripCase{16, 1, false},
                                           RoundTripCase{24, 0, true}, RoundTripCase{24, 1, true},
                                           RoundTripCase{32, 0, true}, RoundTripCase{32, 1, false},
                                           // JPEG holds no palette: stored losslessly instead
                                           RoundTripCase{8, 2, true}, RoundTripCase{4, 2, false}));

TEST(DrelJpeg, ColourIsCloseAndMaskIsExact) {
    for (int32_t bits : {16, 24, 32}) {
        TDrelFrameList out;
        TDrelFrame* frame = out.AddFrame();
        // A smooth picture, which JPEG keeps well.
        frame->Bitmap.SetSize(32, 16, bits);
        for (int32_t y = 0; y < 16; ++y)
            for (int32_t x = 0; x < 32; ++x)
                frame->Bitmap.SetPixel(x, y, frame->Bitmap.ColorToPixel(int32_t(x * 8 | (y * 16) << 8 | 0x80 << 16)));
        frame->Mask = std::make_unique<TDrelBitmap>(patternMask(32, 16));
        std::vector<uint8_t> bytes = saved(out, dcJpeg, 95);
        EXPECT_EQ(bytes[11 + 22], 2);
        EXPECT_EQ(bytes[11 + 37], 95);
        TDrelFrameList in;
        load(in, bytes);
        ASSERT_EQ(in.Count(), 1);
        const TDrelBitmap& got = in.Frames(0)->Bitmap;
        ASSERT_EQ(got.BitCount(), bits);
        int worst = 0;
        for (int32_t y = 0; y < 16; ++y)
            for (int32_t x = 0; x < 32; ++x) {
                int32_t a = frame->Bitmap.PixelToColor(frame->Bitmap.GetPixel(x, y));
                int32_t b = got.PixelToColor(got.GetPixel(x, y));
                for (int sh = 0; sh < 24; sh += 8)
                    worst = std::max(worst, std::abs(((a >> sh) & 0xFF) - ((b >> sh) & 0xFF)));
            }
        EXPECT_LE(worst, 16) << bits;
        EXPECT_TRUE(samePixels(*frame->Mask, *in.Frames(0)->Mask));
    }
}

TEST(DrelJpeg, PaletteFramesTakeTheNearestEntryAndSizesMustAgree) {
    // Only other writers store JPEG colour in palette frames: built by hand.
    TDrelBitmap pic(16, 8, 8);
    pic.Palette[0] = TRGBQuad{0, 0, 0, 0};
    pic.Palette[1] = TRGBQuad{255, 255, 255, 0};
    pic.Palette[2] = TRGBQuad{0, 0, 255, 0};   // red
    std::vector<uint8_t> rgb(16 * 8 * 3);
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 16; ++x) {
            uint8_t* p = &rgb[size_t(y * 16 + x) * 3];
            p[0] = x < 8 ? 250 : 5;   // left half red, right half black
        }
    std::vector<uint8_t> jpeg = encodeJpeg(rgb.data(), 16, 8, 95);
    for (int32_t height : {8, 9}) {
        TDrelBitmap like(16, height, 8);
        like.Palette = pic.Palette;
        Bytes b;
        drelHeader(b, DrelHeader{.kind = 2});
        drelFrameStart(b, "", -1, 1, like);
        LayerRecord l;
        l.colour = jpeg;
        drelLayer(b, 106, l);
        drelRects(b, 106);
        TDrelFrameList in;
        if (height != 8) {
            EXPECT_THROW(load(in, b.data), EZunoError);
            continue;
        }
        load(in, b.data);
        const TDrelBitmap& got = in.Frames(0)->Bitmap;
        EXPECT_EQ(got.GetPixel(2, 3), 2u);
        EXPECT_EQ(got.GetPixel(13, 5), 0u);
    }
}

// ---------------------------------------------------------------- protection

TEST(DrelProtection, RowsArePermutedByTheIdentificationCode) {
    const int32_t id = 0x5A17C0DE;
    TDrelFrameList out(id);
    TDrelFrame* frame = out.AddFrame();
    frame->Bitmap = patternBitmap(9, 11, 24);
    frame->Mask = std::make_unique<TDrelBitmap>(patternMask(9, 11));
    std::vector<uint8_t> bytes = saved(out, dcDefault);
    EXPECT_EQ(bytes[11 + 21], 1);       // protected
    EXPECT_EQ(bytes[11 + 22], dcNone);  // stored raw

    TDrelFrameList right(id);
    load(right, bytes);
    EXPECT_TRUE(samePixels(right.Frames(0)->Bitmap, frame->Bitmap));
    EXPECT_TRUE(samePixels(*right.Frames(0)->Mask, *frame->Mask));

    // Code 0 leaves the stored order: stored row i is image row order[i].
    std::vector<int32_t> order = permutationOrder(id, 11);
    TDrelFrameList none(0);
    load(none, bytes);
    for (int32_t i = 0; i < 11; ++i)
        EXPECT_EQ(std::memcmp(none.Frames(0)->Bitmap.Row(i), frame->Bitmap.Row(order[size_t(i)]), 27), 0) << i;

    // A wrong code gives scrambled rows, not an error: the same rows in another order.
    TDrelFrameList wrong(id + 1);
    load(wrong, bytes);
    const TDrelBitmap& w = wrong.Frames(0)->Bitmap;
    EXPECT_FALSE(samePixels(w, frame->Bitmap));
    std::vector<std::string> a, b;
    for (int32_t y = 0; y < 11; ++y) {
        a.emplace_back(reinterpret_cast<const char*>(w.Row(y)), 27);
        b.emplace_back(reinterpret_cast<const char*>(frame->Bitmap.Row(y)), 27);
    }
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    EXPECT_EQ(a, b);
}

TEST(DrelProtection, PermutationIsTheDrawOfTheGeneratorPool) {
    for (int32_t id : {1, -7, 12345, 0x5A17C0DE})
        for (int32_t n : {1, 2, 7, 1000}) {
            TKsRandom random(id);
            random.ResetPool(n);
            std::vector<int32_t> expect;
            for (int32_t i = 0; i < n; ++i)
                expect.push_back(random.NextFromPool());
            EXPECT_EQ(permutationOrder(id, n), expect) << id << " " << n;
        }
}

TEST(DrelProtection, PermutationWithSeedZeroIsTheIdentity) {
    std::vector<int32_t> order = permutationOrder(0, 6);
    EXPECT_EQ(order, (std::vector<int32_t>{0, 1, 2, 3, 4, 5}));
    std::vector<int32_t> scrambled = permutationOrder(77, 6);
    std::vector<int32_t> sorted = scrambled;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, order);
    EXPECT_NE(scrambled, order);
}

// ---------------------------------------------------------------- old versions

struct OldVersionCase {
    int32_t version;
    bool    hasMaskSize;     // > 99
    bool    hasMaskEnabled;  // > 100
    bool    hasBackdrop;     // >= 102
};

class DrelOldVersion : public ::testing::TestWithParam<OldVersionCase> {};

TEST_P(DrelOldVersion, ReadsTheLayoutOfItsVersion) {
    const OldVersionCase c = GetParam();
    TDrelBitmap pic = patternBitmap(6, 4, 24);
    TDrelBitmap mask = patternMask(6, 4);
    Bytes b;
    drelHeader(b, DrelHeader{.version = c.version, .frames = 1, .backdrop = 0x00FF00});
    drelFrameStart(b, "old", -1, 1, pic);
    LayerRecord l;
    l.colour = zlibOf(rowsOf(pic));
    l.maskEnabled = true;
    l.mask = zlibOf(rowsOf(mask));
    drelLayer(b, c.version, l);
    b.i32(0).i32(0);  // would be rectangle lists; older files have none, so it is trailing data
    TDrelFrameList in;
    load(in, b.data);
    EXPECT_EQ(in.Version, c.version);
    ASSERT_EQ(in.Count(), 1);
    EXPECT_TRUE(samePixels(in.Frames(0)->Bitmap, pic));
    EXPECT_EQ(in.Frames(0)->HasMask(), c.hasMaskEnabled);
    if (c.hasMaskEnabled) {
        EXPECT_TRUE(samePixels(*in.Frames(0)->Mask, mask));
    }
    EXPECT_EQ(in.BackdropColor, c.hasBackdrop ? 0x00FF00 : 0);
}

INSTANTIATE_TEST_SUITE_P(Versions, DrelOldVersion,
                         ::testing::Values(OldVersionCase{0, false, false, false},
                                           OldVersionCase{99, false, false, false},
                                           OldVersionCase{100, true, false, false},
                                           OldVersionCase{101, true, true, false},
                                           OldVersionCase{102, true, true, true}));

TEST(DrelOldVersion, BackdropShowsWhereNoLayerDraws) {
    // Version 102, one invisible layer: the frame is the backdrop colour.
    TDrelBitmap pic = patternBitmap(3, 2, 24);
    Bytes b;
    drelHeader(b, DrelHeader{.version = 102, .frames = 1, .backdrop = 0x332211});
    drelFrameStart(b, "", -1, 1, pic);
    LayerRecord l;
    l.visible = false;
    l.colour = zlibOf(rowsOf(pic));
    drelLayer(b, 102, l);
    TDrelFrameList in;
    load(in, b.data);
    EXPECT_EQ(in.Frames(0)->Bitmap.GetPixel(2, 1), 0x112233u);  // blue 0x33, green 0x22, red 0x11
}

TEST(DrelOldVersion, FirstLayerOpaqueIsReadFromVersion105) {
    for (int32_t version : {104, 105}) {
        TDrelBitmap pic = patternBitmap(4, 3, 24);
        const int32_t key = int32_t(pic.GetPixel(0, 0));
        Bytes b;
        drelHeader(b, DrelHeader{.version = version, .backdrop = 0x0000FF, .firstLayerOpaque = 1});
        drelFrameStart(b, "", -1, 1, pic);
        LayerRecord l;
        l.transparent = key;
        l.colour = zlibOf(rowsOf(pic));
        drelLayer(b, version, l);
        drelRects(b, version);
        TDrelFrameList in;
        load(in, b.data);
        EXPECT_EQ(in.FirstLayerOpaque, version >= 105);
        // Opaque first layer: copied whole, the key pixel included; else the key is skipped.
        EXPECT_EQ(in.Frames(0)->Bitmap.GetPixel(0, 0), version >= 105 ? uint32_t(key) : 0xFF0000u) << version;
    }
}

// ---------------------------------------------------------------- composition

namespace {

int gBits = 24;   // format of the composition cases below

// d := (d (255 - a) + s a) >> 8 on each channel of the format.
uint32_t blendChannels(uint32_t d, uint32_t s, uint32_t a) {
    struct Ch {
        int shift, bits;
    };
    std::vector<Ch> channels = gBits == 15   ? std::vector<Ch>{{10, 5}, {5, 5}, {0, 5}}
                               : gBits == 16 ? std::vector<Ch>{{11, 5}, {5, 6}, {0, 5}}
                                             : std::vector<Ch>{{16, 8}, {8, 8}, {0, 8}};
    uint32_t out = 0;
    for (Ch c : channels) {
        uint32_t m = (1u << c.bits) - 1;
        out |= ((((d >> c.shift) & m) * (255 - a) + ((s >> c.shift) & m) * a) >> 8) << c.shift;
    }
    return out;
}

} // namespace

TEST(DrelLayers, CompositionRulesInEveryDirectFormat) {
    const int32_t w = 8, h = 4;
    struct Case {
        const char* name;
        bool        topVisible;
        bool        keyed;
        int32_t     topOpacity;
        bool        topMask;
        uint32_t (*expect)(uint32_t d, uint32_t s, uint32_t m, bool isKey);
    };
    const Case cases[] = {
        {"opaque replaces wholesale", true, false, 255, false, [](uint32_t, uint32_t s, uint32_t, bool) { return s; }},
        {"transparent colour skipped", true, true, 255, false,
         [](uint32_t d, uint32_t s, uint32_t, bool k) { return k ? d : s; }},
        {"constant opacity", true, false, 100, false,
         [](uint32_t d, uint32_t s, uint32_t, bool) { return blendChannels(d, s, 100); }},
        {"opacity with key", true, true, 100, false,
         [](uint32_t d, uint32_t s, uint32_t, bool k) { return k ? d : blendChannels(d, s, 100); }},
        {"zero opacity", true, false, 0, false, [](uint32_t d, uint32_t, uint32_t, bool) { return d; }},
        {"invisible", false, false, 255, false, [](uint32_t d, uint32_t, uint32_t, bool) { return d; }},
        {"through its mask (key ignored)", true, true, 255, true, [](uint32_t d, uint32_t s, uint32_t m, bool) {
             return m == 0 ? d : m == 255 ? s : blendChannels(d, s, m);
         }},
    };
    for (int32_t bits : {15, 16, 24, 32}) {
        gBits = bits;
        TDrelBitmap bottom = patternBitmap(w, h, bits, 1);
        TDrelBitmap top = patternBitmap(w, h, bits, 2);
        const uint32_t key = top.GetPixel(3, 1);
        TDrelBitmap mask = patternMask(w, h);
        for (const Case& c : cases) {
            TDrelFrameList out;
            TDrelFrame* frame = out.AddFrame();
            frame->Bitmap.SetSize(w, h, bits);
            TDrelLayer* l0 = frame->AddLayer();
            l0->Bitmap = bottom;
            TDrelLayer* l1 = frame->AddLayer();
            l1->Bitmap = top;
            l1->Visible = c.topVisible;
            l1->TransparentColor = c.keyed ? int32_t(key) : -1;
            l1->Opacity = c.topOpacity;
            if (c.topMask) {
                l1->Mask = std::make_unique<TDrelBitmap>(mask);
                l1->MaskEnabled = true;
            }
            TDrelFrameList in;
            load(in, saved(out, dcDefault));
            const TDrelBitmap& got = in.Frames(0)->Bitmap;
            for (int32_t y = 0; y < h; ++y)
                for (int32_t x = 0; x < w; ++x) {
                    uint32_t s = top.GetPixel(x, y);
                    ASSERT_EQ(got.GetPixel(x, y), c.expect(bottom.GetPixel(x, y), s, mask.Row(y)[x], s == key))
                        << c.name << ", " << bits << " bits at " << x << "," << y;
                }
            // The mask of a layer that is not the first visible one is not the frame's.
            EXPECT_FALSE(in.Frames(0)->HasMask()) << c.name;
        }
    }
}

TEST(DrelLayers, FirstVisibleLayerGivesTheFrameItsMaskButIsCopiedWhole) {
    const int32_t w = 5, h = 3;
    TDrelBitmap mask = patternMask(w, h);
    for (bool invisibleFirst : {false, true}) {
        TDrelFrameList out;
        out.BackdropColor = 0x0000FF;
        TDrelFrame* frame = out.AddFrame();
        frame->Bitmap.SetSize(w, h, 32);
        if (invisibleFirst) {
            TDrelLayer* hidden = frame->AddLayer();
            hidden->Visible = false;
            hidden->Bitmap = patternBitmap(w, h, 32, 9);
        }
        TDrelLayer* l = frame->AddLayer();
        l->Bitmap = patternBitmap(w, h, 32, 4);
        l->Mask = std::make_unique<TDrelBitmap>(mask);
        l->MaskEnabled = true;
        TDrelFrameList in;
        load(in, saved(out, dcNone));
        const TDrelFrame* f = in.Frames(0);
        ASSERT_TRUE(f->HasMask());
        EXPECT_TRUE(samePixels(*f->Mask, mask));
        if (!invisibleFirst) {
            // Layer 0: copied without its mask.
            EXPECT_TRUE(samePixels(f->Bitmap, l->Bitmap));
        } else {
            // Layer 1 is the first visible one but not layer 0: blended through
            // its mask over the backdrop.
            uint32_t d = 0xFF0000, s = l->Bitmap.GetPixel(1, 1), m = mask.Row(1)[1];
            uint32_t expect = 0;
            for (int sh = 0; sh < 32; sh += 8)
                expect |= ((((d >> sh) & 0xFF) * (255 - m) + ((s >> sh) & 0xFF) * m) >> 8) << sh;
            EXPECT_EQ(f->Bitmap.GetPixel(1, 1), m == 255 ? s : m == 0 ? d : expect);
            EXPECT_FALSE(samePixels(f->Bitmap, l->Bitmap));
        }
    }
}

TEST(DrelLayers, PaletteFramesBlendByOrderedDither) {
    TDrelFrameList out;
    TDrelFrame* frame = out.AddFrame();
    frame->Bitmap.SetSize(16, 16, 8);
    frame->Bitmap.SetGrayPalette();
    TDrelLayer* l0 = frame->AddLayer();
    l0->Bitmap.Fill(10);
    TDrelLayer* l1 = frame->AddLayer();
    l1->Bitmap.Fill(200);
    l1->Opacity = 128;
    TDrelFrameList in;
    load(in, saved(out, dcDefault));
    int fromTop = 0;
    for (int32_t y = 0; y < 16; ++y)
        for (int32_t x = 0; x < 16; ++x) {
            uint32_t v = in.Frames(0)->Bitmap.GetPixel(x, y);
            ASSERT_TRUE(v == 10 || v == 200);
            fromTop += v == 200;
        }
    EXPECT_EQ(fromTop, 128);  // level 8 of 16: half of every 4 x 4 cell
}

// ---------------------------------------------------------------- block coding

namespace {

// Block table plus block rows, for a w x h 24-bit image in 2 x 2 blocks.
std::vector<uint8_t> blockImage(const std::vector<std::pair<int32_t, int32_t>>& table,
                                const std::vector<const TDrelBitmap*>& sources, int32_t w, int32_t h) {
    Bytes b;
    for (auto [f, i] : table)
        b.i32(f).i32(i);
    const int32_t columns = (w + 1) / 2;
    for (size_t k = 0; k < table.size(); ++k) {
        if (table[k].first != -1)
            continue;
        int32_t x0 = int32_t(k % size_t(columns)) * 2, y0 = int32_t(k / size_t(columns)) * 2;
        for (int32_t y = y0; y < std::min(h, y0 + 2); ++y)
            b.raw(sources[k]->Row(y) + x0 * 3, size_t(std::min(2, w - x0)) * 3);
    }
    return b.data;
}

} // namespace

TEST(DrelBlocks, StoredCopiedAndReferencedBlocks) {
    // 5 x 3 pictures in 2 x 2 blocks: 3 columns, 2 rows of blocks.
    const int32_t w = 5, h = 3;
    TDrelBitmap a = patternBitmap(w, h, 24, 1), c = patternBitmap(w, h, 24, 2);
    std::vector<const TDrelBitmap*> srcA(6, &a), srcC(6, &c);
    for (int32_t kind : {0, 1}) {
        Bytes b;
        drelHeader(b, DrelHeader{.frames = 2, .kind = uint8_t(kind), .blockWidth = 2, .blockHeight = 2});
        auto pack = [&](const std::vector<uint8_t>& v) { return kind == 0 ? zlibOf(v) : v; };
        // Frame 0: every block stored.
        drelFrameStart(b, "0", -1, 1, a);
        LayerRecord l;
        l.colour = pack(blockImage({{-1, 0}, {-1, 0}, {-1, 0}, {-1, 0}, {-1, 0}, {-1, 0}}, srcA, w, h));
        drelLayer(b, 106, l);
        drelRects(b, 106);
        // Frame 1: block 0 stored from c, block 1 = block 0 of this image,
        // the rest from frame 0 layer 0.
        drelFrameStart(b, "1", -1, 1, a);
        l.colour = pack(blockImage({{-1, 0}, {-2, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}}, srcC, w, h));
        drelLayer(b, 106, l);
        drelRects(b, 106);

        TDrelFrameList in;
        load(in, b.data);
        ASSERT_EQ(in.Count(), 2);
        EXPECT_TRUE(samePixels(in.Frames(0)->Bitmap, a));
        const TDrelBitmap& f1 = in.Frames(1)->Bitmap;
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                uint32_t expect = x < 2 && y < 2 ? c.GetPixel(x, y)
                                : x < 4 && y < 2 ? c.GetPixel(x - 2, y)
                                                 : a.GetPixel(x, y);
                ASSERT_EQ(f1.GetPixel(x, y), expect) << kind << " " << x << "," << y;
            }
    }
}

TEST(DrelBlocks, ProtectedBlockTableIsPermuted) {
    const int32_t w = 4, h = 4, id = 991;
    TDrelBitmap a = patternBitmap(w, h, 24, 5);
    // Image: block 0 stored, blocks 1-3 copies of block 0. Stored entry i
    // holds table entry order[i].
    std::vector<std::pair<int32_t, int32_t>> table = {{-1, 0}, {-2, 0}, {-2, 0}, {-2, 0}};
    std::vector<int32_t> order = permutationOrder(id, 4);
    Bytes img;
    for (int32_t i = 0; i < 4; ++i)
        img.i32(table[size_t(order[size_t(i)])].first).i32(table[size_t(order[size_t(i)])].second);
    for (int32_t y = 0; y < 2; ++y)
        img.raw(a.Row(y), 6);
    Bytes b;
    drelHeader(b, DrelHeader{.protectedFlag = 1, .kind = 1, .blockWidth = 2, .blockHeight = 2});
    drelFrameStart(b, "", -1, 1, a);
    LayerRecord l;
    l.colour = img.data;
    drelLayer(b, 106, l);
    drelRects(b, 106);
    TDrelFrameList in(id);
    load(in, b.data);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            ASSERT_EQ(in.Frames(0)->Bitmap.GetPixel(x, y), a.GetPixel(x % 2, y % 2));
}

TEST(DrelBlocks, BadReferencesAreErrors) {
    const int32_t w = 4, h = 2;
    TDrelBitmap a = patternBitmap(w, h, 24);
    const std::vector<std::vector<std::pair<int32_t, int32_t>>> tables = {
        {{-2, 7}, {-1, 0}},   // block index outside the table
        {{1, 0}, {-1, 0}},    // a later frame
        {{0, 0}, {-1, 0}},    // this very layer
        {{0, 5}, {-1, 0}},    // a layer that does not exist
        {{-3, 0}, {-1, 0}},   // unknown entry kind
        {{-1, 0}, {-1, 0}},            // block rows missing
    };
    for (size_t t = 0; t < tables.size(); ++t) {
        Bytes img;
        for (auto [f, i] : tables[t])
            img.i32(f).i32(i);
        if (t < 5)
            for (int32_t y = 0; y < 2; ++y)
                img.raw(a.Row(y) + 6, 6);
        else
            img.data.resize(16 + 6);  // the table, then half of the first block
        Bytes b;
        drelHeader(b, DrelHeader{.kind = 1, .blockWidth = 2, .blockHeight = 2});
        drelFrameStart(b, "", -1, 1, a);
        LayerRecord l;
        l.colour = img.data;
        drelLayer(b, 106, l);
        drelRects(b, 106);
        TDrelFrameList in;
        EXPECT_THROW(load(in, b.data), EZunoError) << t;
        EXPECT_EQ(in.Count(), 0) << t;
    }
}

// ---------------------------------------------------------------- damaged data

TEST(DrelDamaged, EveryTruncationFailsCleanly) {
    TDrelFrameList out;
    TDrelFrame* frame = out.AddFrame();
    frame->Bitmap = patternBitmap(7, 5, 8);
    frame->Mask = std::make_unique<TDrelBitmap>(patternMask(7, 5));
    frame->DrawRects = {TRect(0, 0, 2, 2)};
    for (int32_t kind : {0, 1, 2}) {
        std::vector<uint8_t> bytes = saved(out, kind);
        for (size_t n = 0; n < bytes.size(); ++n) {
            TDrelFrameList in;
            std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + std::ptrdiff_t(n));
            EXPECT_THROW(load(in, cut), EZunoError) << "kind " << kind << " length " << n;
        }
    }
}

TEST(DrelDamaged, LyingFieldsAreErrors) {
    TDrelBitmap pic = patternBitmap(4, 4, 24);
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    auto file = [&](int32_t w, int32_t h, int32_t bits, int32_t layers, std::vector<uint8_t> colour,
                    uint8_t kind = 0, int32_t frames = 1) {
        Bytes b;
        drelHeader(b, DrelHeader{.frames = frames, .kind = kind});
        b.str("").i32(-1).i32(100).u8(0).i32(0).i32(layers).i32(w).i32(h).i32(bits);
        LayerRecord l;
        l.colour = std::move(colour);
        drelLayer(b, 106, l);
        drelRects(b, 106);
        return b.data;
    };
    std::vector<uint8_t> good = zlibOf(rowsOf(pic));
    std::vector<uint8_t> badZlib = good;
    badZlib[0] ^= 0xFF;
    const Case cases[] = {
        {"huge picture", file(16384, 16384, 32, 1, good)},
        {"too wide", file(16385, 1, 24, 1, good)},
        {"negative size", file(-4, 4, 24, 1, good)},
        {"bit count 7", file(4, 4, 7, 1, good)},
        {"many layers", file(4, 4, 24, 1000000, good)},
        {"many frames", file(4, 4, 24, 1, good, 0, 1000000)},
        {"broken zlib", file(4, 4, 24, 1, badZlib)},
        {"short rows", file(4, 5, 24, 1, good)},
        {"short raw rows", file(4, 4, 24, 1, std::vector<uint8_t>(47), 1)},
        {"garbage JPEG", file(4, 4, 24, 1, good, 2)},
        {"unknown kind", file(4, 4, 24, 1, good, 3)},
        {"bad version digits", {'D', 'r', 'e', 'l', '1', 'x', '6', 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        TDrelFrameList in;
        EXPECT_THROW(load(in, c.bytes), EZunoError) << c.name;
    }
}

TEST(DrelWriter, RefusesLayersAndMasksOfAnotherSizeAndBadKinds) {
    TDrelFrameList out;
    TDrelFrame* frame = out.AddFrame();
    frame->Bitmap.SetSize(4, 4, 24);
    frame->AddLayer()->Bitmap.SetSize(3, 4, 24);
    TKsMemoryStream s;
    EXPECT_THROW(out.SaveToStream(s), EZunoError);
    frame->Layers.clear();
    EXPECT_THROW(out.SaveToStream(s, 3), EZunoError);
    frame->Mask = std::make_unique<TDrelBitmap>(4, 3, 8);
    EXPECT_THROW(out.SaveToStream(s), EZunoError);
}

// ---------------------------------------------------------------- frame operations

TEST(DrelFrame, MakeMaskFromTransparent) {
    TDrelFrameList list;
    TDrelFrame* f = list.AddFrame();
    f->Bitmap = patternBitmap(6, 3, 16);
    const uint32_t key = f->Bitmap.GetPixel(2, 1);
    f->SetTransparentValue(int32_t(key));
    f->MakeMaskFromTransparent();
    ASSERT_TRUE(f->HasMask());
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 6; ++x)
            EXPECT_EQ(f->Mask->Row(y)[x], f->Bitmap.GetPixel(x, y) == key ? 0 : 255);
    EXPECT_EQ(f->Mask->Row(1)[2], 0);
}

TEST(DrelFrame, CropToVisiblePixels) {
    TDrelFrameList list;
    TDrelFrame* f = list.AddFrame();
    f->Bitmap = patternBitmap(10, 8, 24);
    f->Mask = std::make_unique<TDrelBitmap>(10, 8, 8);
    f->Mask->Row(2)[3] = 1;
    f->Mask->Row(5)[6] = 200;
    f->DrawRects = {TRect(0, 0, 4, 4), TRect(8, 0, 10, 2), TRect(5, 5, 9, 9)};
    TDrelBitmap before = f->Bitmap;
    TRect r = f->Crop();
    EXPECT_EQ(r, TRect(3, 2, 7, 6));
    EXPECT_EQ(f->Bitmap.Width(), 4);
    EXPECT_EQ(f->Bitmap.Height(), 4);
    EXPECT_EQ(f->Bitmap.GetPixel(0, 0), before.GetPixel(3, 2));
    EXPECT_EQ(f->Bitmap.GetPixel(3, 3), before.GetPixel(6, 5));
    EXPECT_EQ(f->Mask->Row(3)[3], 200);
    EXPECT_EQ(f->DrawRects, (std::vector<TRect>{TRect(0, 0, 1, 2), TRect(2, 3, 4, 4)}));

    // By transparent value; a frame with nothing visible or neither key nor mask is left alone.
    TDrelFrame* g = list.AddFrame();
    g->Bitmap.SetSize(5, 5, 8);
    g->SetTransparentValue(0);
    g->Bitmap.SetPixel(1, 3, 4);
    EXPECT_EQ(g->Crop(), TRect(1, 3, 2, 4));
    EXPECT_EQ(g->Bitmap.Width(), 1);
    TDrelFrame* e = list.AddFrame();
    e->Bitmap.SetSize(5, 5, 8);
    e->SetTransparentValue(0);
    EXPECT_EQ(e->Crop(), TRect(0, 0, 5, 5));
    TDrelFrame* n = list.AddFrame();
    n->Bitmap.SetSize(5, 5, 8);
    EXPECT_EQ(n->Crop(), TRect(0, 0, 5, 5));
    EXPECT_EQ(n->Bitmap.Width(), 5);
}
