// The dirty list of a screen: the rectangles to repaint this frame. A new
// rectangle is cut to the screen; one near an existing entry (neither more
// than 20 pixels to the left, right, above or below the other) merges with
// it, so a frame repaints a few larger areas instead of many small ones.
#pragma once

#include <vector>

#include "imaging/TRect.h"

namespace zuno {

class TClipList {
public:
    static constexpr int32_t kNearDistance = 20;

    void                Add(const TRect& r, const TRect& bounds);
    void                Clear() { FRects.clear(); }
    bool                Empty() const { return FRects.empty(); }
    const std::vector<TRect>& Rects() const { return FRects; }

    static bool         isNear(const TRect& a, const TRect& b);

private:
    void                addClipped(const TRect& r);
    size_t              firstNear(const TRect& r) const;         // entry count when none
    std::vector<TRect>  FRects;
};

} // namespace zuno
