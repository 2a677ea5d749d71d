#include "imaging/TWipeFade.h"

#include "imaging/WipeRows.h"

namespace zuno {

using namespace wipe;

void TWipeFade::DrawFrame() {
    const double f = double(T() - t() - 1) / double(T());
    Target().Assign(From());
    const int32_t x = int32_t(nint(FParams[0] * f)), y = int32_t(nint(FParams[1] * f));
    const int32_t opacity = int32_t(mulDiv(t(), 256, T()));
    Target().DrawAlpha(x, y, opacity, false, false, false, TRect(0, 0, W(), H()), To());
}

} // namespace zuno
