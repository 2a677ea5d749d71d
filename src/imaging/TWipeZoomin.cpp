#include "imaging/TWipeZoomin.h"

#include "imaging/WipeRows.h"

namespace zuno {

using namespace wipe;

TRect TWipeZoomin::viewRect(double d, int32_t px, int32_t py, int32_t w, int32_t h) {
    const double size = d <= 1 ? 1 - d : d - 1;         // of the whole picture
    const double pull = d <= 1 ? d : 2 - d;             // how far the centre has moved to the point
    const int64_t rw = std::clamp<int64_t>(nint(w * size), 1, w), rh = std::clamp<int64_t>(nint(h * size), 1, h);
    const int64_t cx = nint((px - w / 2.0) * pull) + w / 2, cy = nint((py - h / 2.0) * pull) + h / 2;
    const int64_t left = std::clamp<int64_t>(cx - rw / 2, 0, w - rw), top = std::clamp<int64_t>(cy - rh / 2, 0, h - rh);
    return TRect::bounds(int32_t(left), int32_t(top), int32_t(rw), int32_t(rh));
}

void TWipeZoomin::DrawFrame() {
    const double d = 2.0 * double(t()) / double(T());
    const TRect view = viewRect(d, FParams[0], FParams[1], W(), H());
    Target().StretchDrawAlpha(TRect(0, 0, W(), H()), d <= 1 ? From() : To(), 255, false, false, false, view);
}

} // namespace zuno
