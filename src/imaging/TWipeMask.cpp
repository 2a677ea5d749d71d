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

// Length of the run of mask bytes equal to v from x (8 bytes at a time).
inline int32_t runOf(const uint8_t* m, int32_t x, int32_t n, uint8_t v) {
    const uint64_t pattern = 0x0101010101010101ull * v;
    int32_t e = x;
    while (e + 8 <= n) {
        uint64_t w;
        std::memcpy(&w, m + e, 8);
        if (w != pattern)
            break;
        e += 8;
    }
    while (e < n && m[e] == v)
        ++e;
    return e;
}

// Length of the run of non-zero mask bytes from x.
inline int32_t runOfNonZero(const uint8_t* m, int32_t x, int32_t n) {
    int32_t e = x;
    while (e + 8 <= n) {
        uint64_t w;
        std::memcpy(&w, m + e, 8);
        if (((w - 0x0101010101010101ull) & ~w & 0x8080808080808080ull) != 0)
            break;                                      // some byte is 0
        e += 8;
    }
    while (e < n && m[e] != 0)
        ++e;
    return e;
}

void composeRow(uint32_t* d, const uint32_t* f, const uint32_t* s, const uint8_t* m, int32_t n, bool hard) {
    int32_t x = 0;
    while (x < n) {
        const uint8_t v = m[x];
        if (v == 0) {
            const int32_t e = runOf(m, x, n, 0);
            std::memcpy(d + x, f + x, size_t(e - x) * 4);
            x = e;
        } else if (hard) {
            const int32_t e = runOfNonZero(m, x, n);
            std::memcpy(d + x, s + x, size_t(e - x) * 4);
            x = e;
        } else if (v == 255) {
            const int32_t e = runOf(m, x, n, 255);
            std::memcpy(d + x, s + x, size_t(e - x) * 4);
            x = e;
        } else {
            for (; x < n && m[x] != 0 && m[x] != 255; ++x)
                d[x] = blendPixel(f[x], s[x], m[x]);
        }
    }
}

} // namespace

void TWipeMask::compose() {
    TLockedSurface target(Target()), from(From()), to(To());
    if (!target.ok() || !from.ok() || !to.ok())
        return;
    for (int32_t y = 0; y < H(); ++y)
        composeRow(row32(target, y), row32(from, y), row32(to, y), maskRow(y % FMaskRows), W(), Hard);
}

} // namespace zuno
