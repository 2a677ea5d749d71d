#include "imaging/TWipeSmall.h"

#include "imaging/WipeRows.h"

namespace zuno {

using namespace wipe;

void TWipeSmall::drawTurned(TCustomDIBX& picture, int64_t zoom, int64_t angle) {
    if (FReverse)
        angle = -angle;
    const int32_t cx = W() / 2, cy = H() / 2, z = int32_t(zoom);
    const int32_t turn = int32_t(((angle % 256) + 256) % 256);    // a whole turn is 256
    Target().DrawRotate(cx, cy, 255, false, false, false, turn, cx, cy, z, z, TRect(0, 0, W(), H()),
                        picture);
}

void TWipeSmall::DrawFrame() {
    const double f = double(T() - t() - 1) / double(T());
    Target().Assign(To());
    drawTurned(From(), nint(255 * f), nint(double(FParams[0]) * double(t()) / double(T())));
}

void TWipeBig::DrawFrame() {
    Target().Assign(From());
    drawTurned(To(), nint(255 * double(t()) / double(T())),
               nint(double(FParams[0]) * double(T() - t() - 1) / double(T())));
}

} // namespace zuno
