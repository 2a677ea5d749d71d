#include "imaging/TWipeWhite.h"

#include "imaging/WipeRows.h"

namespace zuno {

using namespace wipe;

void TWipeWhite::DrawFrame() {
    const int64_t a = mulDiv(t(), 511, T());
    if (a < 256) {
        Target().Assign(From());
        shade(uint32_t(a));
    } else {
        Target().Assign(To());
        shade(uint32_t(511 - a));
    }
}

void TWipeWhite::shade(uint32_t k) { Target().FillRectAdd(TRect(0, 0, W(), H()), greyPixel(k)); }

void TWipeBlack::shade(uint32_t k) { Target().FillRectSub(TRect(0, 0, W(), H()), greyPixel(k)); }

void TWipeFlash::DrawFrame() {
    const int64_t b = mulDiv(t(), 255, T());
    Target().Assign(To());
    Target().FillRectAdd(TRect(0, 0, W(), H()), greyPixel(uint32_t(255 - b)));
}

} // namespace zuno
