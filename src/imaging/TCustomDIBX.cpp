// TCustomDIBX: format queries, clip, colours, fills and frames, palette
// defaults and the bitmap writer.
#include "imaging/TCustomDIBX.h"

#include <algorithm>
#include <bit>

#include "core/StreamFields.h"
#include "core/TStream.h"
#include "platform/posix/AtomicFile.h"
#include "imaging/SurfaceRows.h"

namespace zuno {

// ---------------------------------------------------------------- format

bool TCustomDIBX::IsEmpty() { return GetWidth() <= 0 || GetHeight() <= 0; }

int32_t TCustomDIBX::GetBitCount() { return 0; }

void TCustomDIBX::SetBitCount(int32_t) {}

uint32_t TCustomDIBX::GetRedMask() {
    switch (GetBitCount()) {
    case 15: return 0x7C00;
    case 16: return 0xF800;
    case 24:
    case 32: return 0xFF0000;
    default: return 0;
    }
}

uint32_t TCustomDIBX::GetGreenMask() {
    switch (GetBitCount()) {
    case 15: return 0x03E0;
    case 16: return 0x07E0;
    case 24:
    case 32: return 0xFF00;
    default: return 0;
    }
}

uint32_t TCustomDIBX::GetBlueMask() {
    switch (GetBitCount()) {
    case 15:
    case 16: return 0x001F;
    case 24:
    case 32: return 0xFF;
    default: return 0;
    }
}

int32_t TCustomDIBX::GetPitch() { return 0; }

static TChannelLayout layoutOf(uint32_t mask) {
    if (mask == 0) return {};
    return {std::countr_zero(mask), std::popcount(mask)};
}

TChannelLayout TCustomDIBX::GetRedLayout() { return layoutOf(GetRedMask()); }
TChannelLayout TCustomDIBX::GetGreenLayout() { return layoutOf(GetGreenMask()); }
TChannelLayout TCustomDIBX::GetBlueLayout() { return layoutOf(GetBlueMask()); }

int32_t TCustomDIBX::GetStoredBitCount() {
    int32_t b = GetBitCount();
    return b == 15 ? 16 : b;
}

uint8_t* TCustomDIBX::Lock(int32_t, int32_t) { return nullptr; }

uint32_t TCustomDIBX::GetPixel(int32_t x, int32_t y) {
    if (x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight()) return 0;
    TLockedSurface s(*this);
    if (!s.ok()) return 0;
    return readPixel(s.row(y), x, s.bits());
}

void TCustomDIBX::SetPixel(int32_t x, int32_t y, uint32_t v) {
    if (x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight()) return;
    MakeUnique();
    TLockedSurface s(*this);
    if (!s.ok()) return;
    writePixel(s.row(y), x, s.bits(), v);
}

// ---------------------------------------------------------------- clip and colours

void TCustomDIBX::AddClip(const TRect& r) {
    TRect cut = intersectRect(r, TRect(0, 0, GetWidth(), GetHeight()));
    if (cut.isEmpty()) return;
    ClipRect = ClipRect.Right == 0 ? cut : unionRect(ClipRect, cut);
}

TRect TCustomDIBX::GetDrawableRect() {
    TRect whole(0, 0, GetWidth(), GetHeight());
    return ClipRect.Right == 0 ? whole : intersectRect(ClipRect, whole);
}

uint32_t TCustomDIBX::ColorToPixel(int32_t rgb) { return colorToPixelBits(GetBitCount(), rgb); }

int32_t TCustomDIBX::PixelToColor(uint32_t pixel) {
    int32_t bits = GetBitCount();
    if (bits > 8) return pixelToColorBits(bits, pixel);
    TRGBQuad q;
    GetPaletteEntries(&q, int32_t(pixel & 0xFF), 1);
    return quadToColor(q);
}

// ---------------------------------------------------------------- fills

void TCustomDIBX::Fill(uint32_t colour) { FillRect(TRect(0, 0, GetWidth(), GetHeight()), colour); }

void TCustomDIBX::FillRect(const TRect& rect, uint32_t colour) {
    TRect r = intersectRect(rect, GetDrawableRect());
    if (r.isEmpty()) return;
    MakeUnique();
    TLockedSurface s(*this);
    if (!s.ok()) return;
    int32_t n = r.width();
    for (int32_t y = r.Top; y < r.Bottom; ++y) {
        uint8_t* row = s.row(y);
        switch (s.bits()) {
        case 32: std::fill_n(reinterpret_cast<uint32_t*>(row) + r.Left, n, colour); break;
        case 15:
        case 16:
            for (int32_t x = r.Left; x < r.Right; ++x) writePixel(row, x, 16, colour);
            break;
        case 8: std::memset(row + r.Left, int(colour & 0xFF), size_t(n)); break;
        default:
            for (int32_t x = r.Left; x < r.Right; ++x) writePixel(row, x, s.bits(), colour);
            break;
        }
    }
}

namespace {

// Runs fn(d, n) over the 32-bit values of each row of r (cut to the
// drawable area), loading and storing rows of other formats around it.
template <class Fn>
void forEachFillRow(TCustomDIBX& surface, const TRect& rect, Fn fn) {
    TRect r = intersectRect(rect, surface.GetDrawableRect());
    if (r.isEmpty()) return;
    int32_t bits = surface.GetBitCount();
    if (bits != 8 && bits != 15 && bits != 16 && bits != 24 && bits != 32) return;
    surface.MakeUnique();
    TLockedSurface s(surface);
    if (!s.ok()) return;
    int32_t n = r.width();
    uint32_t* tmp = bits == 32 ? nullptr : scratchPixels(0, n);
    for (int32_t y = r.Top; y < r.Bottom; ++y) {
        uint8_t* row = s.row(y);
        if (bits == 32) {
            fn(reinterpret_cast<uint32_t*>(row) + r.Left, n);
            continue;
        }
        for (int32_t i = 0; i < n; ++i) tmp[i] = readPixel(row, r.Left + i, bits);
        fn(tmp, n);
        for (int32_t i = 0; i < n; ++i) writePixel(row, r.Left + i, bits, tmp[i]);
    }
}

const TBlendKernels& kernelsFor(int32_t bits) { return bits == 32 ? blendKernels32() : referenceKernels(bits); }

} // namespace

void TCustomDIBX::FillRectAlpha(const TRect& r, uint32_t colour, int32_t opacity) {
    if (opacity <= 0) return;
    uint32_t a = uint32_t(std::min(opacity, 255));
    const TBlendKernels& k = kernelsFor(GetBitCount());
    forEachFillRow(*this, r, [&](uint32_t* d, int32_t n) { k.fillAlpha(d, n, colour, a); });
}

void TCustomDIBX::FillRectAdd(const TRect& r, uint32_t colour) {
    const TBlendKernels& k = kernelsFor(GetBitCount());
    forEachFillRow(*this, r, [&](uint32_t* d, int32_t n) { k.fillAdd(d, n, colour); });
}

void TCustomDIBX::FillRectSub(const TRect& r, uint32_t colour) {
    const TBlendKernels& k = kernelsFor(GetBitCount());
    forEachFillRow(*this, r, [&](uint32_t* d, int32_t n) { k.fillSub(d, n, colour); });
}

// ---------------------------------------------------------------- frames

namespace {

// The four bands of a frame: top, bottom, then left and right between them.
template <class Fn>
void forEachFrameBand(const TRect& r, int32_t w, Fn fn) {
    if (w <= 0 || r.isEmpty()) return;
    fn(TRect(r.Left, r.Top, r.Right, r.Top + w));
    fn(TRect(r.Left, r.Bottom - w, r.Right, r.Bottom));
    fn(TRect(r.Left, r.Top + w, r.Left + w, r.Bottom - w));
    fn(TRect(r.Right - w, r.Top + w, r.Right, r.Bottom - w));
}

} // namespace

void TCustomDIBX::FrameRect(const TRect& r, int32_t width, uint32_t colour) {
    forEachFrameBand(r, width, [&](const TRect& b) { FillRect(b, colour); });
}

void TCustomDIBX::FrameRectAlpha(const TRect& r, int32_t width, int32_t opacity, uint32_t colour) {
    forEachFrameBand(r, width, [&](const TRect& b) { FillRectAlpha(b, colour, opacity); });
}

void TCustomDIBX::FrameRectAdd(const TRect& r, int32_t width, uint32_t colour) {
    forEachFrameBand(r, width, [&](const TRect& b) { FillRectAdd(b, colour); });
}

void TCustomDIBX::FramePattern(const TRect& r, int32_t width, bool flipV, bool flipH, TCustomDIBX& pattern) {
    // Each band keeps the pattern continuous with the frame's top-left.
    forEachFrameBand(r, width, [&](const TRect& b) {
        FillPattern(b, pattern, flipV, flipH, b.Left - r.Left, b.Top - r.Top);
    });
}

// ---------------------------------------------------------------- copies

void TCustomDIBX::Assign(TCustomDIBX& source) {
    Draw(0, 0, false, false, false, TRect(0, 0, source.GetWidth(), source.GetHeight()), source);
}

// ---------------------------------------------------------------- palette

void TCustomDIBX::GetPalette(TPalette& entries) { entries.fill(TRGBQuad{}); }

void TCustomDIBX::GetPaletteEntries(TRGBQuad* entries, int32_t, int32_t count) {
    for (int32_t i = 0; i < count; ++i) entries[i] = TRGBQuad{};
}

void TCustomDIBX::SetPalette(const TPalette&) {}

void TCustomDIBX::SetPaletteEntries(const TRGBQuad*, int32_t, int32_t) {}

// ---------------------------------------------------------------- bitmap writer

void TCustomDIBX::SaveToStream(TStream& stream) {
    int32_t w = GetWidth(), h = GetHeight(), bits = GetBitCount();
    if (bits != 1 && bits != 4 && bits != 8 && bits != 15 && bits != 16 && bits != 24 && bits != 32) bits = 32;
    int32_t fileBits = bits == 15 ? 16 : bits;
    int32_t rowBytes = (fileBits * std::max(w, 0) + 31) / 32 * 4;
    int32_t paletteCount = bits <= 8 ? (1 << bits) : 0;
    int32_t maskBytes = bits == 16 ? 12 : 0;
    int32_t headerBytes = 14 + 40 + maskBytes + paletteCount * 4;
    int64_t imageBytes = int64_t(rowBytes) * std::max(h, 0);

    WriteWord(stream, 0x4D42);                                 // "BM"
    WriteInt(stream, int32_t(headerBytes + imageBytes));
    WriteInt(stream, 0);
    WriteInt(stream, headerBytes);
    WriteInt(stream, 40);
    WriteInt(stream, w);
    WriteInt(stream, h);                                       // bottom-up rows
    WriteWord(stream, 1);
    WriteWord(stream, uint16_t(fileBits));
    WriteInt(stream, bits == 16 ? 3 : 0);                      // BI_BITFIELDS for 5-6-5
    WriteInt(stream, int32_t(imageBytes));
    WriteInt(stream, 2835);
    WriteInt(stream, 2835);
    WriteInt(stream, paletteCount);
    WriteInt(stream, 0);
    if (bits == 16) {
        WriteUInt32(stream, 0xF800);
        WriteUInt32(stream, 0x07E0);
        WriteUInt32(stream, 0x001F);
    }
    if (paletteCount > 0) {
        TPalette pal;
        GetPalette(pal);
        for (int32_t i = 0; i < paletteCount; ++i) {
            uint8_t q[4] = {pal[i].Blue, pal[i].Green, pal[i].Red, 0};
            stream.WriteBuffer(q, 4);
        }
    }
    std::vector<uint8_t> row(size_t(rowBytes), 0);
    bool direct = bits == GetBitCount();
    for (int32_t y = h - 1; y >= 0; --y) {
        std::fill(row.begin(), row.end(), 0);
        for (int32_t x = 0; x < w; ++x) {
            uint32_t v = GetPixel(x, y);
            if (!direct) v = colorToPixelBits(32, pixelToColorBits(GetBitCount(), v));
            writePixel(row.data(), x, bits == 15 ? 16 : bits, v);
        }
        stream.WriteBuffer(row.data(), rowBytes);
    }
}

void TCustomDIBX::SaveToFile(const std::string& name) {
    TKsMemoryStream m;
    SaveToStream(m);
    writeFileAtomically(name, m.Data());
}

} // namespace zuno
