#include "imaging/TWipeSpot.h"

#include "imaging/WipeRows.h"

namespace zuno {

using namespace wipe;

TWipeSpot::TWipeSpot(TCustomDIBX& target, TCustomDIBX& from, TCustomDIBX& to) : TCustomWipe(target, from, to) {
    buildMap();
}

void TWipeSpot::SetReverse(bool reverse) {
    TCustomWipe::SetReverse(reverse);
    buildMap();
}

void TWipeSpot::buildMap() {
    const double cx = W() / 2.0, cy = H() / 2.0;
    FMaxDistance = int32_t(nint(std::sqrt(cx * cx + cy * cy)));
    FDistance.assign(size_t(std::max(W(), 0)) * size_t(std::max(H(), 0)), 0);
    for (int32_t y = 0; y < H(); ++y) {
        const double dy = y + 0.5 - cy;
        uint16_t* d = FDistance.data() + size_t(y) * size_t(W());
        for (int32_t x = 0; x < W(); ++x) {
            const double dx = x + 0.5 - cx;
            const int32_t r = int32_t(nint(std::sqrt(dx * dx + dy * dy)));
            d[x] = uint16_t(FReverse ? std::max(FMaxDistance - r, 0) : r);
        }
    }
}

void TWipeSpot::DrawFrame() {
    const int64_t R = FMaxDistance + 512;
    const int64_t b = mulDiv(t(), R, T());
    // Per distance: 0 old, 1 old plus grey, 2 new plus grey, 3 new.
    struct TLook {
        uint8_t kind;
        uint8_t grey;
    };
    std::vector<TLook> look(size_t(FMaxDistance) + 1);
    for (int64_t d = 0; d <= FMaxDistance; ++d) {
        const int64_t v = b - d;
        TLook& l = look[size_t(d)];
        if (v < 0)
            l = {0, 0};
        else if (v < 256)
            l = {1, uint8_t(v)};
        else if (v < 512)
            l = {2, uint8_t(511 - v)};
        else
            l = {3, 0};
    }
    TLockedSurface target(Target()), from(From()), to(To());
    if (!target.ok() || !from.ok() || !to.ok())
        return;
    for (int32_t y = 0; y < H(); ++y) {
        uint32_t* o = row32(target, y);
        const uint32_t* f = row32(from, y);
        const uint32_t* s = row32(to, y);
        const uint16_t* dist = FDistance.data() + size_t(y) * size_t(W());
        for (int32_t x = 0; x < W(); ++x) {
            const TLook l = look[std::min<size_t>(dist[x], look.size() - 1)];
            switch (l.kind) {
            case 0: o[x] = f[x]; break;
            case 1: o[x] = addGrey(f[x], l.grey); break;
            case 2: o[x] = addGrey(s[x], l.grey); break;
            default: o[x] = s[x]; break;
            }
        }
    }
}

} // namespace zuno
