// TDIBX: memory pixels.
#include "imaging/TDIBX.h"

#include <cstring>

#include "core/EZunoError.h"
#include "imaging/SurfaceRows.h"

namespace zuno {

struct TDIBX::TPixelMemory {
    std::vector<uint8_t> Bytes;
};

namespace {

constexpr int64_t kMaxPixelBytes = int64_t(1) << 30;   // 1 GiB: far beyond any picture of a game

bool validBits(int32_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 15 || bits == 16 || bits == 24 || bits == 32;
}

} // namespace

TDIBX::TDIBX() {
    for (int i = 0; i < 256; ++i) FPalette[i] = TRGBQuad{uint8_t(i), uint8_t(i), uint8_t(i), 0};
    SetSize(1, 1, 15);
}

TDIBX::TDIBX(int32_t width, int32_t height, int32_t bits) : TDIBX() { SetSize(width, height, bits); }

TDIBX::~TDIBX() = default;

int32_t TDIBX::RowBytes(int32_t width, int32_t bits) {
    int32_t stored = bits == 15 ? 16 : bits;
    return int32_t((int64_t(stored) * std::max(width, 0) + 31) / 32 * 4);
}

uint32_t TDIBX::GetRedMask() { return TCustomDIBX::GetRedMask(); }
uint32_t TDIBX::GetGreenMask() { return TCustomDIBX::GetGreenMask(); }
uint32_t TDIBX::GetBlueMask() { return TCustomDIBX::GetBlueMask(); }

void TDIBX::SetSize(int32_t width, int32_t height, int32_t bits) {
    if (!validBits(bits)) throw EZunoError::fromUtf8("画像のビット数が不正です: " + std::to_string(bits));
    width = std::max(width, 0);
    height = std::max(height, 0);
    int64_t rowBytes = (int64_t(bits == 15 ? 16 : bits) * width + 31) / 32 * 4;
    if (rowBytes * height > kMaxPixelBytes)
        throw EZunoError::fromUtf8("画像が大きすぎます: " + std::to_string(width) + "x" + std::to_string(height));
    auto mem = std::make_shared<TPixelMemory>();
    mem->Bytes.assign(size_t(std::max<int64_t>(rowBytes * height, 4)), 0);
    FMemory = std::move(mem);
    FBits = FMemory->Bytes.data();
    FPitch = int32_t(rowBytes);
    FWidth = width;
    FHeight = height;
    FBitCount = bits;
    if (FMask) FMask->SetSize(width, height, 8);
}

void TDIBX::Clear() {
    int32_t bits = FBitCount;
    SetSize(8, 8, bits);
    FWidth = 0;
    FHeight = 0;
    FMask.reset();
}

uint8_t* TDIBX::Lock(int32_t x, int32_t y) {
    if (!FBits) return nullptr;
    int64_t byteX = (int64_t(x) * GetStoredBitCount()) / 8;
    return FBits + int64_t(y) * FPitch + byteX;
}

uint32_t TDIBX::GetPixel(int32_t x, int32_t y) {
    if (x < 0 || y < 0 || x >= FWidth || y >= FHeight || !FBits) return 0;
    return readPixel(FBits + int64_t(y) * FPitch, x, FBitCount);
}

void TDIBX::SetPixel(int32_t x, int32_t y, uint32_t v) {
    if (x < 0 || y < 0 || x >= FWidth || y >= FHeight || !FBits) return;
    MakeUnique();
    writePixel(FBits + int64_t(y) * FPitch, x, FBitCount, v);
}

void TDIBX::MakeUnique() {
    if (!FMemory || FMemory.use_count() == 1) return;
    auto copy = std::make_shared<TPixelMemory>(*FMemory);
    FBits = copy->Bytes.data() + (FBits - FMemory->Bytes.data());
    FMemory = std::move(copy);
}

void TDIBX::SetBitCount(int32_t bits) {
    if (bits == FBitCount || !validBits(bits)) return;
    TDIBX converted(FWidth, FHeight, bits);
    converted.FPalette = FPalette;
    converted.Draw(0, 0, false, false, false, TRect(0, 0, FWidth, FHeight), *this);
    FMemory = std::move(converted.FMemory);
    FBits = converted.FBits;
    FPitch = converted.FPitch;
    FBitCount = bits;
}

void TDIBX::GetPaletteEntries(TRGBQuad* entries, int32_t start, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        int32_t k = start + i;
        entries[i] = k >= 0 && k < 256 ? FPalette[k] : TRGBQuad{};
    }
}

void TDIBX::SetPaletteEntries(const TRGBQuad* entries, int32_t start, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        int32_t k = start + i;
        if (k >= 0 && k < 256) FPalette[k] = entries[i];
    }
}

void TDIBX::SetExternalPixels(uint8_t* bits, int32_t width, int32_t height, int32_t bitCount, int32_t pitch) {
    if (!validBits(bitCount)) throw EZunoError::fromUtf8("画像のビット数が不正です: " + std::to_string(bitCount));
    FMemory.reset();
    FBits = bits;
    FWidth = bits ? std::max(width, 0) : 0;
    FHeight = bits ? std::max(height, 0) : 0;
    FBitCount = bitCount;
    FPitch = pitch;
    FMask.reset();
}

void TDIBX::ShareFrom(TDIBX& other) {
    if (&other == this) return;
    FWidth = other.FWidth;
    FHeight = other.FHeight;
    FBitCount = other.FBitCount;
    FPalette = other.FPalette;
    TransparentColor = other.TransparentColor;
    if (other.FMemory) {
        FMemory = other.FMemory;
        FBits = other.FBits;
        FPitch = other.FPitch;
    } else {
        // Foreign pixels cannot be shared safely: take a copy.
        SetSize(other.FWidth, other.FHeight, other.FBitCount);
        int32_t n = RowBytes(FWidth, FBitCount);
        for (int32_t y = 0; y < FHeight; ++y) std::memcpy(ScanLine(y), other.ScanLine(y), size_t(n));
    }
}

TDIBX& TDIBX::CreateMask() {
    FMask = std::make_unique<TDIBX>(FWidth, FHeight, 8);
    return *FMask;
}

void TDIBX::Assign(TCustomDIBX& source) {
    auto* src = dynamic_cast<TDIBX*>(&source);
    if (src && src != this && src->FBits && FBits && src->FWidth == FWidth && src->FHeight == FHeight &&
        src->FPitch == FPitch && FHeight > 0) {
        MakeUnique();
        // One block from the lowest address, whichever way the rows run.
        int64_t bytes = int64_t(FPitch < 0 ? -FPitch : FPitch) * FHeight;
        int64_t low = FPitch < 0 ? int64_t(FHeight - 1) * FPitch : 0;
        std::memmove(FBits + low, src->FBits + low, size_t(bytes));
        return;
    }
    TCustomDIBX::Assign(source);
}

} // namespace zuno
