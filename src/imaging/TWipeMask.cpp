#include "imaging/TWipeMask.h"

#include "imaging/WipeRows.h"

namespace zuno {

using namespace wipe;

void TWipeMask::SetParam(int index, int32_t value) {
    if (index == 0)
        value = std::max(value, 2);
    else if (index == 1)
        value = std::max(value, 1);
    TCustomWipe::SetParam(index, value);
}

void TWipeMask::Prepare() {
    TCustomWipe::Prepare();
    sizeMask();
}

void TWipeMask::sizeMask() {
    // Rows beyond the target's height are never read.
    const int32_t rows = std::clamp(MaskHeight(), 1, std::max(H(), 1));
    if (!FMask)
        FMask = std::make_unique<TDIBX>(std::max(W(), 1), rows, 8);
    else
        FMask->SetSize(std::max(W(), 1), rows, 8);
    FMaskRows = rows;
    clearMask(0);
    LastLevel = -1;
}

void TWipeMask::clearMask(uint8_t value) {
    for (int32_t y = 0; y < FMaskRows; ++y)
        std::memset(maskRow(y), value, size_t(W()));
}

bool TWipeMask::levelChanged(int64_t level) {
    if (level == LastLevel)
        return false;
    LastLevel = level;
    return true;
}

void TWipeMask::DrawFrame() {
    // A parameter changed after Prepare may change the mask's height.
    if (!FMask || FMaskRows != std::clamp(MaskHeight(), 1, std::max(H(), 1)))
        sizeMask();
    UpdateMask();
    // The pictures under the mask may change while the wipe runs, so every
    // step composes even when the mask stayed the same.
    compose();
}

namespace {

constexpr int32_t kChunk = 32;                          // pixels classified together

enum TChunkKind { ckZero, ckFull, ckMixed };

// All 0, all 255 (all non-zero when hard), or mixed.
inline TChunkKind chunkKind(const uint8_t* m, bool hard) {
    bool zero = true, full = true;
    for (int32_t i = 0; i < kChunk; i += 8) {
        uint64_t w;
        std::memcpy(&w, m + i, 8);
        zero &= w == 0;
        full &= hard ? ((w - 0x0101010101010101ull) & ~w & 0x8080808080808080ull) == 0 : w == ~0ull;
    }
    return zero ? ckZero : full ? ckFull : ckMixed;
}

// One row: runs of whole chunks of 0 copy the old picture, of 255 (any
// value when hard) the new one; mixed spans pick per pixel when hard, else
// start from the old picture and go through the mask kernel.
void composeRow(uint32_t* d, const uint32_t* f, const uint32_t* s, const uint8_t* m, int32_t n, bool hard,
                const TBlendKernels& k) {
    int32_t x = 0;
    while (x < n) {
        const TChunkKind kind = x + kChunk <= n ? chunkKind(m + x, hard) : ckMixed;
        int32_t e = x + kChunk <= n ? x + kChunk : n;
        while (kind != ckMixed && e + kChunk <= n && chunkKind(m + e, hard) == kind)
            e += kChunk;
        while (kind == ckMixed && e + kChunk <= n && chunkKind(m + e, hard) == ckMixed)
            e += kChunk;
        const size_t bytes = size_t(e - x) * 4;
        if (kind == ckZero) {
            std::memcpy(d + x, f + x, bytes);
        } else if (kind == ckFull) {
            std::memcpy(d + x, s + x, bytes);
        } else if (hard) {
            for (int32_t i = x; i < e; ++i)
                d[i] = m[i] ? s[i] : f[i];
        } else {
            std::memcpy(d + x, f + x, bytes);
            k.mask(d + x, s + x, m + x, e - x);
        }
        x = e;
    }
}

} // namespace

void TWipeMask::compose() {
    TLockedSurface target(Target()), from(From()), to(To());
    if (!target.ok() || !from.ok() || !to.ok())
        return;
    const TBlendKernels& kernels = blendKernels32();
    for (int32_t y = 0; y < H(); ++y)
        composeRow(row32(target, y), row32(from, y), row32(to, y), maskRow(y % FMaskRows), W(), Hard, kernels);
}

} // namespace zuno
