#include "imaging/TWipeShadowWhite.h"

#include "imaging/TWipeShadow.h"
#include "imaging/WipeRows.h"

namespace zuno {

using namespace wipe;

void TWipeShadowWhite::Prepare() {
    TCustomWipe::Prepare();
    FRule = loadRuleMap(FServices, FRuleName, W(), H(), FReverse);
}

void TWipeShadowWhite::DrawFrame() {
    if (FRule.size() != size_t(W()) * size_t(H()))
        FRule = loadRuleMap(FServices, FRuleName, W(), H(), FReverse);
    const int64_t level = mulDiv(t(), 768, T());
    // Per rule level g: v := clamp(level + g - 256, 0, 511).
    uint16_t value[256];
    for (int32_t g = 0; g < 256; ++g)
        value[g] = uint16_t(std::clamp<int64_t>(level + g - 256, 0, 511));
    TLockedSurface target(Target()), from(From()), to(To());
    if (!target.ok() || !from.ok() || !to.ok())
        return;
    const bool dark = darkens();
    for (int32_t y = 0; y < H(); ++y) {
        uint32_t* o = row32(target, y);
        const uint32_t* f = row32(from, y);
        const uint32_t* s = row32(to, y);
        const uint8_t* rule = FRule.data() + size_t(y) * size_t(W());
        for (int32_t x = 0; x < W(); ++x) {
            const uint32_t v = value[rule[x]];
            const uint32_t pixel = v <= 255 ? f[x] : s[x];
            const uint32_t k = v <= 255 ? v : 511 - v;
            o[x] = dark ? subGrey(pixel, k) : addGrey(pixel, k);
        }
    }
}

} // namespace zuno
