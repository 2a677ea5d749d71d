#include "objects/TClipList.h"

#include <bit>

namespace zuno {

bool TClipList::isNear(const TRect& a, const TRect& b) {
    return b.Left - a.Right <= kNearDistance && a.Left - b.Right <= kNearDistance &&
           b.Top - a.Bottom <= kNearDistance && a.Top - b.Bottom <= kNearDistance;
}

// isNear without early exits, so that a block of entries is tested at once.
static inline unsigned nearBit(const TRect& a, const TRect& b) {
    constexpr int32_t k = TClipList::kNearDistance;
    return unsigned(b.Left - a.Right <= k) & unsigned(a.Left - b.Right <= k) & unsigned(b.Top - a.Bottom <= k) &
           unsigned(a.Top - b.Bottom <= k);
}

size_t TClipList::firstNear(const TRect& r) const {
    // While a frame's many small areas come in, the list can hold hundreds
    // of entries that are mostly far from the new one: test eight at a
    // time and find the first near one inside the block.
    const TRect* e = FRects.data();
    const size_t n = FRects.size();
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        unsigned hits = 0;
        for (unsigned k = 0; k < 8; ++k)
            hits |= nearBit(e[i + k], r) << k;
        if (hits)
            return i + size_t(std::countr_zero(hits));
    }
    for (; i < n; ++i)
        if (nearBit(e[i], r))
            return i;
    return n;
}

void TClipList::Add(const TRect& r, const TRect& bounds) {
    const TRect c = intersectRect(r, bounds);
    if (!c.isEmpty())
        addClipped(c);
}

void TClipList::addClipped(const TRect& r) {
    // Each merge removes an entry, so this ends after at most as many rounds
    // as there are entries.
    TRect cur = r;
    for (;;) {
        const size_t i = firstNear(cur);
        if (i == FRects.size()) {
            FRects.push_back(cur);
            return;
        }
        const TRect& e = FRects[i];
        if (cur.Left >= e.Left && cur.Top >= e.Top && cur.Right <= e.Right && cur.Bottom <= e.Bottom)
            return;
        cur = unionRect(e, cur);
        FRects.erase(FRects.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

} // namespace zuno
