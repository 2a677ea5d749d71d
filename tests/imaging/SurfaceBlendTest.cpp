// Per-pixel arithmetic of the fill and blend operations, hand-checked, in
// every direct pixel format, with every kernel table the machine offers.
#include <gtest/gtest.h>

#include <array>

#include "SurfaceTestUtil.h"
#include "imaging/BlendKernels.h"

using namespace zuno;
using namespace zuno::test;

namespace {

enum class Op { Draw, DrawKey, Mask, Alpha, AlphaKey, AlphaMask, Add, AddMask, ColorMask, FillAlpha, FillAdd, FillSub };

struct BlendCase {
    const char* name;
    int32_t     bits;
    Op          op;
    uint32_t    d, s;
    uint8_t     m;
    int32_t     a;
    uint32_t    expected;
};

// Worked by hand from the per-channel rules; >> 8 truncates.
const BlendCase kCases[] = {
    // d := s; a key pixel is skipped.
    {"draw copies", 32, Op::Draw, 0x00112233, 0x00C86432, 0, 0, 0x00C86432},
    {"draw skips key", 32, Op::DrawKey, 0x00112233, 0x00ABCDEF, 0, 0, 0x00112233},
    // DrawMask: 255 copies exactly, 0 keeps, 64: (64 * 255) >> 8 = 63.
    {"mask 255 copies", 32, Op::Mask, 0x00000000, 0x00FFFFFF, 255, 0, 0x00FFFFFF},
    {"mask 0 keeps", 32, Op::Mask, 0x00123456, 0x00FFFFFF, 0, 0, 0x00123456},
    {"mask 64", 32, Op::Mask, 0x00000000, 0x00FFFFFF, 64, 0, 0x003F3F3F},
    {"mask 128 mixes", 32, Op::Mask, 0x000000FF, 0x00FF0000, 128, 0, 0x007F007E},
    // DrawAlpha 255 is one below s (200 -> 199, 100 -> 99, 50 -> 49).
    {"alpha 255 is not a copy", 32, Op::Alpha, 0x00000000, 0x00C86432, 0, 255, 0x00C76331},
    {"alpha 128", 32, Op::Alpha, 0x000000FF, 0x00FF0000, 0, 128, 0x007F007E},
    {"alpha skips equal pixels", 32, Op::Alpha, 0x00102030, 0x00102030, 0, 100, 0x00102030},
    {"alpha skips key", 32, Op::AlphaKey, 0x00000000, 0x00ABCDEF, 0, 128, 0x00000000},
    // DrawAlphaMask: b = (128 * 255) >> 8 = 127; (127 * 255) >> 8 = 126.
    {"alpha mask", 32, Op::AlphaMask, 0x00000000, 0x00FF0000, 255, 128, 0x007E0000},
    {"alpha mask 0 keeps", 32, Op::AlphaMask, 0x00123456, 0x00FF0000, 0, 255, 0x00123456},
    // b = (255 * 1) >> 8 = 0: the pixel is weighted 0 and loses 1 per channel.
    {"alpha mask faint edge", 32, Op::AlphaMask, 0x00102030, 0x00FFFFFF, 1, 255, 0x000F1F2F},
    // DrawAdd: 0xF0 + (0x20 * 128 >> 8) saturates; 0x10 + 0x20 = 0x30.
    {"add saturates", 32, Op::Add, 0x00F00010, 0x00200040, 0, 128, 0x00FF0030},
    // DrawAddMask: b = 127; 0x10 + (0x80 * 127 >> 8 = 63) = 0x4F.
    {"add mask", 32, Op::AddMask, 0x00000010, 0x00000080, 128, 255, 0x0000004F},
    {"add mask 0 keeps", 32, Op::AddMask, 0x00000010, 0x00000080, 0, 255, 0x00000010},
    // DrawColorMask white through 255 at opacity 255: b = 254, (254 * 255) >> 8 = 253.
    {"colour mask", 32, Op::ColorMask, 0x00000000, 0x00FFFFFF, 255, 255, 0x00FDFDFD},
    {"colour mask 0 keeps", 32, Op::ColorMask, 0x00405060, 0x00FFFFFF, 0, 255, 0x00405060},
    // Opacity 300 adds the colour weighted (44 * 255) >> 8 = 43: 0x10 + (0xFF * 43 >> 8 = 42).
    {"colour mask additive", 32, Op::ColorMask, 0x00101010, 0x00FFFFFF, 255, 300, 0x003A3A3A},
    // Fills.
    {"fill alpha", 32, Op::FillAlpha, 0x00000000, 0x00FF0000, 0, 100, 0x00630000},
    {"fill alpha skips equal", 32, Op::FillAlpha, 0x00FF0000, 0x00FF0000, 0, 100, 0x00FF0000},
    {"fill alpha 0 keeps", 32, Op::FillAlpha, 0x00123456, 0x00FF0000, 0, 0, 0x00123456},
    {"fill add", 32, Op::FillAdd, 0x00F01010, 0x00202020, 0, 0, 0x00FF3030},
    {"fill sub", 32, Op::FillSub, 0x00101010, 0x00200808, 0, 0, 0x00000808},
    // The fourth byte of 32-bit pixels is a channel like the others.
    {"fourth byte blends", 32, Op::Alpha, 0x00000000, 0xFF000000, 0, 128, 0x7F000000},
    // 24 bits: three channels.
    {"24 alpha 128", 24, Op::Alpha, 0x0000FF, 0xFF0000, 0, 128, 0x7F007E},
    {"24 add", 24, Op::Add, 0xF00010, 0x200040, 0, 128, 0xFF0030},
    // 5-6-5: channels 31, 63, 31 at weight 128 -> 15, 31, 15.
    {"16 alpha 128", 16, Op::Alpha, 0x0000, 0xFFFF, 0, 128, (15u << 11) | (31u << 5) | 15u},
    {"16 fill add saturates per channel", 16, Op::FillAdd, (30u << 11) | (60u << 5) | 30u,
     (5u << 11) | (5u << 5) | 5u, 0, 0, 0xFFFF},
    {"16 fill sub", 16, Op::FillSub, (3u << 11) | (10u << 5) | 1u, (5u << 11) | (4u << 5) | 1u, 0, 0, 6u << 5},
    {"16 mask 128", 16, Op::Mask, 0x0000, 0xFFFF, 128, 0, (15u << 11) | (31u << 5) | 15u},
    // 5-5-5: 31 at 128 -> 15 in each channel.
    {"15 alpha 128", 15, Op::Alpha, 0x0000, 0x7FFF, 0, 128, (15u << 10) | (15u << 5) | 15u},
    {"15 add mask", 15, Op::AddMask, 0x0001, 0x001F, 255, 255, 0x001F},
};

void runCase(const BlendCase& c, int32_t width) {
    auto dst = filled(width, 1, c.bits, c.d);
    auto src = filled(width, 1, c.bits, c.s);
    auto mask = filled(width, 1, 8, c.m);
    src->TransparentColor = 0x00ABCDEF;
    TRect all(0, 0, width, 1);
    switch (c.op) {
    case Op::Draw: dst->Draw(0, 0, false, false, true, all, *src); break;
    case Op::DrawKey: dst->Draw(0, 0, false, false, true, all, *src); break;
    case Op::Mask: dst->DrawMask(0, 0, *mask, false, false, all, *src); break;
    case Op::Alpha: dst->DrawAlpha(0, 0, c.a, false, false, false, all, *src); break;
    case Op::AlphaKey: dst->DrawAlpha(0, 0, c.a, false, false, true, all, *src); break;
    case Op::AlphaMask: dst->DrawAlphaMask(0, 0, c.a, *mask, false, false, all, *src); break;
    case Op::Add: dst->DrawAdd(0, 0, c.a, false, false, all, *src); break;
    case Op::AddMask: dst->DrawAddMask(0, 0, c.a, *mask, false, false, all, *src); break;
    case Op::ColorMask: dst->DrawColorMask(0, 0, c.a, c.s, false, false, all, *mask); break;
    case Op::FillAlpha: dst->FillRectAlpha(all, c.s, c.a); break;
    case Op::FillAdd: dst->FillRectAdd(all, c.s); break;
    case Op::FillSub: dst->FillRectSub(all, c.s); break;
    }
    for (int32_t x = 0; x < width; ++x)
        ASSERT_EQ(dst->GetPixel(x, 0), c.expected) << c.name << " (width " << width << ", pixel " << x << ")";
}

std::vector<const TBlendKernels*> availableTables() {
    std::vector<const TBlendKernels*> t = {&referenceKernels(32)};
    if (sse2Kernels()) t.push_back(sse2Kernels());
    if (avx2Kernels()) t.push_back(avx2Kernels());
    return t;
}

} // namespace

TEST(SurfaceBlend, HandCheckedPixelsInEveryFormatAndKernelTable) {
    for (const TBlendKernels* table : availableTables()) {
        setBlendKernels32(*table);
        SCOPED_TRACE(table->Name);
        for (const BlendCase& c : kCases) {
            runCase(c, 1);    // scalar tail only
            runCase(c, 21);   // whole vectors and a tail
        }
    }
    selectBlendKernels(TKernelChoice::Fast);
}

TEST(SurfaceBlend, ZeroOpacityDrawsNothing) {
    auto dst = filled(4, 4, 32, 0x00102030);
    auto src = filled(4, 4, 32, 0x00FFFFFF);
    auto mask = filled(4, 4, 8, 255);
    TRect all(0, 0, 4, 4);
    dst->DrawAlpha(0, 0, 0, false, false, false, all, *src);
    dst->DrawAlphaMask(0, 0, 0, *mask, false, false, all, *src);
    dst->DrawAdd(0, 0, 0, false, false, all, *src);
    dst->DrawColorMask(0, 0, 0, 0x00FFFFFF, false, false, all, *mask);
    dst->StretchDrawAlpha(TRect(0, 0, 4, 4), *src, 0, false, false, false, all);
    dst->DrawRotate(1, 1, 0, false, false, false, 10, 0, 0, 256, 256, all, *src);
    dst->DrawRotate(1, 1, 255, false, false, false, 10, 0, 0, 0, 256, all, *src);
    for (uint32_t v : pixelsOf(*dst)) EXPECT_EQ(v, 0x00102030u);
}

TEST(SurfaceBlend, PaletteSurfacesAddIndicesAndCopyIndices) {
    auto dst = surfaceOf(3, 1, 8, {10, 200, 7});
    auto src = surfaceOf(3, 1, 8, {5, 100, 3});
    src->TransparentColor = 3;
    // Index addition ignores the opacity and stops at 255; the key is skipped.
    dst->DrawAdd(0, 0, 128, false, false, TRect(0, 0, 3, 1), *src);
    EXPECT_EQ(pixelsOf(*dst), (std::vector<uint32_t>{15, 255, 7}));
    dst->Draw(0, 0, false, false, false, TRect(0, 0, 3, 1), *src);
    EXPECT_EQ(pixelsOf(*dst), (std::vector<uint32_t>{5, 100, 3}));
}

TEST(SurfaceBlend, DrawConvertsBetweenFormats) {
    // 8-bit palette source into 32 bits, through its palette; the key is the index.
    auto pal = surfaceOf(3, 1, 8, {1, 2, 1});
    pal->SetPaletteEntries(std::array<TRGBQuad, 2>{TRGBQuad{0x30, 0x20, 0x10, 0}, TRGBQuad{1, 2, 3, 0}}.data(), 1, 2);
    pal->TransparentColor = 2;
    auto dst = filled(3, 1, 32, 0x00ABCDEF);
    dst->Draw(0, 0, false, false, true, TRect(0, 0, 3, 1), *pal);
    EXPECT_EQ(pixelsOf(*dst), (std::vector<uint32_t>{0x00102030, 0x00ABCDEF, 0x00102030}));

    // 5-6-5 white into 32 bits expands to full white; and back.
    auto w16 = filled(1, 1, 16, 0xFFFF);
    auto d32 = filled(1, 1, 32, 0);
    d32->Draw(0, 0, false, false, false, TRect(0, 0, 1, 1), *w16);
    EXPECT_EQ(d32->GetPixel(0, 0), 0x00FFFFFFu);
    auto d15 = filled(1, 1, 15, 0);
    d15->Draw(0, 0, false, false, false, TRect(0, 0, 1, 1), *d32);
    EXPECT_EQ(d15->GetPixel(0, 0), 0x7FFFu);
}
