#include "imaging/TWipeScroll.h"

#include "imaging/WipeRows.h"

namespace zuno {

using namespace wipe;

void TWipeScrollH::DrawFrame() {
    const int32_t a = int32_t(mulDiv(W(), t(), T()));
    const TRect all(0, 0, W(), H());
    Target().Draw(FReverse ? a : -a, 0, false, false, false, all, From());
    Target().Draw(FReverse ? a - W() : W() - a, 0, false, false, false, all, To());
}

void TWipeScrollV::DrawFrame() {
    const int32_t a = int32_t(mulDiv(H(), t(), T()));
    const TRect all(0, 0, W(), H());
    Target().Draw(0, FReverse ? a : -a, false, false, false, all, From());
    Target().Draw(0, FReverse ? a - H() : H() - a, false, false, false, all, To());
}

} // namespace zuno
