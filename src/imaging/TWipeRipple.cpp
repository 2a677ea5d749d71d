#include "imaging/TWipeRipple.h"

#include "imaging/WipeRows.h"

namespace zuno {

using namespace wipe;

TWipeRipple::TWipeRipple(TCustomDIBX& target, TCustomDIBX& from, TCustomDIBX& to) : TCustomWipe(target, from, to) {
    // Quadrant pixel (i, j) lies at (i, j) plus half a pixel from the centre
    // when the side is even, exactly (i, j) when it is odd.
    FQuadW = std::max(W() - W() / 2, 0);
    FQuadH = std::max(H() - H() / 2, 0);
    const double hx = W() % 2 == 0 ? 0.5 : 0.0, hy = H() % 2 == 0 ? 0.5 : 0.0;
    FPolar.resize(size_t(FQuadW) * size_t(FQuadH));
    for (int32_t j = 0; j < FQuadH; ++j)
        for (int32_t i = 0; i < FQuadW; ++i) {
            const double ox = i + hx, oy = j + hy, d = std::sqrt(ox * ox + oy * oy);
            TPolar& p = FPolar[size_t(j) * size_t(FQuadW) + size_t(i)];
            p.Distance = int32_t(nint(d));
            p.Cos = d > 0 ? int32_t(nint(ox / d * 65536)) : 0;
            p.Sin = d > 0 ? int32_t(nint(oy / d * 65536)) : 0;
        }
    FWaveLength = std::max(std::min(W(), H()) / 3, 0);   // 2/3 of the smaller half side
    buildProfile();
}

void TWipeRipple::SetParam(int index, int32_t value) {
    const bool changed = index == 0 && value != FParams[0];
    TCustomWipe::SetParam(index, value);
    if (changed)
        buildProfile();
}

void TWipeRipple::buildProfile() {
    // Four saw teeth of height p0.
    const int64_t tooth = FWaveLength / 4;
    FProfile.assign(size_t(FWaveLength), 0);
    if (tooth > 0)
        for (int64_t i = 0; i < FWaveLength; ++i)
            FProfile[size_t(i)] = int32_t((i % tooth) * FParams[0] / tooth);
}

void TWipeRipple::DrawFrame() {
    const int64_t L = FWaveLength;
    const double hx = W() / 2.0, hy = H() / 2.0;
    const int64_t front = mulDiv(t(), nint(std::sqrt(hx * hx + hy * hy)) + L, T());
    TLockedSurface target(Target()), from(From()), to(To());
    if (!target.ok() || !from.ok() || !to.ok())
        return;
    const int32_t half = W() / 2, mid = (W() - 1) / 2;  // right half: i = x - half; left: i = mid - x
    for (int32_t y = 0; y < H(); ++y) {
        const int32_t sy = y >= H() / 2 ? 1 : -1;
        const int32_t j = sy > 0 ? y - H() / 2 : (H() - 1) / 2 - y;
        const TPolar* polar = FPolar.data() + size_t(j) * size_t(FQuadW);
        uint32_t* o = row32(target, y);
        const uint32_t* f = row32(from, y);
        const uint32_t* s = row32(to, y);
        // Along a quadrant row the distance never decreases: the new picture
        // up to iNew (r + L - 1 < front), the wave up to iOld, then the old.
        const TPolar* polarEnd = polar + FQuadW;
        const int32_t iNew = int32_t(std::partition_point(polar, polarEnd, [&](const TPolar& p) {
                                         return p.Distance + L - 1 < front;
                                     }) - polar);
        const int32_t iOld = int32_t(std::partition_point(polar, polarEnd, [&](const TPolar& p) {
                                         return p.Distance <= front;
                                     }) - polar);
        auto wave = [&](int32_t x, int32_t sx, const TPolar& p) {
            // The new picture further out along the direction.
            const int64_t shift = FProfile[size_t(p.Distance + L - 1 - front)];
            const int64_t px = x + sx * ((shift * p.Cos + 32768) >> 16);
            const int64_t py = y + sy * ((shift * p.Sin + 32768) >> 16);
            o[x] = px >= 0 && px < W() && py >= 0 && py < H() ? row32(to, int32_t(py))[px] : s[x];
        };
        auto copy = [&](const uint32_t* source, int32_t x0, int32_t x1) {
            if (x1 > x0)
                std::memcpy(o + x0, source + x0, size_t(x1 - x0) * 4);
        };
        // Right half, x = half + i: new, wave, old.
        copy(s, half, half + iNew);
        for (int32_t i = iNew; i < iOld; ++i)
            wave(half + i, 1, polar[i]);
        copy(f, half + iOld, W());
        // Left half, x = mid - i for x < half: old, wave, new from left to right.
        const int32_t a = std::clamp(mid - iOld + 1, 0, half), b = std::clamp(mid - iNew + 1, 0, half);
        copy(f, 0, a);
        for (int32_t x = a; x < b; ++x)
            wave(x, -1, polar[mid - x]);
        copy(s, b, half);
    }
}

} // namespace zuno
