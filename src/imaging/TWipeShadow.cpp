#include "imaging/TWipeShadow.h"

#include "imaging/WipeKernels.h"
#include "imaging/WipeRows.h"

namespace zuno {

using namespace wipe;

std::vector<uint8_t> loadRuleMap(const TWipeServices& services, const std::string& name, int32_t w, int32_t h,
                                 bool reverse) {
    std::vector<uint8_t> map(size_t(std::max(w, 0)) * size_t(std::max(h, 0)), 255);
    if (name.empty() || !services.LoadRule || map.empty())
        return map;
    TDIBX picture;
    picture.Clear();
    bool ok = false;
    try {
        ok = services.LoadRule(name, picture);
    } catch (...) {
        ok = false;                                     // a damaged picture is a missing one
    }
    if (!ok || picture.IsEmpty())
        return map;
    const int32_t pw = picture.GetWidth(), ph = picture.GetHeight();
    // Grey levels of the picture's pixels, then tiled.
    std::vector<uint8_t> grey(size_t(pw) * size_t(ph));
    for (int32_t y = 0; y < ph; ++y)
        for (int32_t x = 0; x < pw; ++x) {
            int32_t c = picture.PixelToColor(picture.GetPixel(x, y));
            if (reverse)
                c = ~c & 0x00FFFFFF;
            grey[size_t(y) * size_t(pw) + size_t(x)] = greyOfColor(c);
        }
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* source = grey.data() + size_t(y % ph) * size_t(pw);
        uint8_t* row = map.data() + size_t(y) * size_t(w);
        for (int32_t x = 0; x < w; x += pw)
            std::memcpy(row + x, source, size_t(std::min(pw, w - x)));
    }
    return map;
}

void TWipeShadow::Prepare() {
    TWipeMask::Prepare();
    FRule = loadRuleMap(FServices, FRuleName, W(), H(), FReverse);
}

bool TWipeShadow::UpdateMask() {
    Hard = false;
    if (FRule.size() != size_t(W()) * size_t(H())) {
        FRule = loadRuleMap(FServices, FRuleName, W(), H(), FReverse);
        LastLevel = -1;
    }
    if (!levelChanged(mulDiv(t(), 512, T())))
        return false;
    // Per pixel of rule level g: clamp(level + g - 256, 0, 255).
    for (int32_t y = 0; y < maskRows(); ++y)
        ruleMaskRow(maskRow(y), FRule.data() + size_t(y) * size_t(W()), W(), int32_t(LastLevel) - 256);
    return true;
}

} // namespace zuno
