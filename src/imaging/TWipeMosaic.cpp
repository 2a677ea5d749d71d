#include "imaging/TWipeMosaic.h"

#include "imaging/WipeRows.h"

namespace zuno {

using namespace wipe;

void TWipeMosaic::DrawFrame() {
    // The largest small picture has the size factor 263.
    const int32_t maxW = std::max(1, (W() / 4) * 263 >> 8), maxH = std::max(1, (H() / 4) * 263 >> 8);
    if (!FSmall || FSmall->GetWidth() != maxW || FSmall->GetHeight() != maxH)
        FSmall = std::make_unique<TDIBX>(maxW, maxH, Target().GetBitCount());

    const int64_t b = mulDiv(t(), 1023, T());
    int64_t factor = 0;
    if (b <= 255)
        factor = 263 - (b / 2) * 15 / 16;
    else if (b <= 511)
        factor = 263 - ((b / 2) * 15 >> 4);
    else
        factor = ((b - 512) / 2) * 15 / 16 + 24;
    const int32_t w = int32_t(std::clamp<int64_t>((W() / 4) * factor >> 8, 1, maxW));
    const int32_t h = int32_t(std::clamp<int64_t>((H() / 4) * factor >> 8, 1, maxH));

    const TRect all(0, 0, W(), H()), small(0, 0, w, h);
    TDIBX& s = *FSmall;
    s.ClearClip();
    if (b < 768)
        s.StretchDrawAlpha(small, From(), 255, false, false, false, all);
    if (b >= 256 && b <= 511)
        s.StretchDrawAlpha(small, To(), int32_t((b - 256) / 4), false, false, false, all);
    else if (b >= 512 && b <= 767)
        s.StretchDrawAlpha(small, To(), int32_t((b - 256) / 2), false, false, false, all);
    else if (b >= 768)
        s.StretchDrawAlpha(small, To(), 255, false, false, false, all);
    Target().StretchDrawAlpha(all, s, 255, false, false, false, small);
}

} // namespace zuno
