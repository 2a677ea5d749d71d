#include "objects/TClipList.h"

namespace zuno {

bool TClipList::isNear(const TRect& a, const TRect& b) {
    return b.Left - a.Right <= kNearDistance && a.Left - b.Right <= kNearDistance &&
           b.Top - a.Bottom <= kNearDistance && a.Top - b.Bottom <= kNearDistance;
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
        size_t i = 0;
        while (i < FRects.size() && !isNear(FRects[i], cur))
            ++i;
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
