#include "imaging/TWipeShadowWhite.h"

#include "imaging/TWipeShadow.h"
#include "imaging/WipeKernels.h"
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
    // Per pixel of rule level g: v := clamp(level + g - 256, 0, 511).
    const int32_t base = int32_t(mulDiv(t(), 768, T())) - 256;
    TLockedSurface target(Target()), from(From()), to(To());
    if (!target.ok() || !from.ok() || !to.ok())
        return;
    const bool dark = darkens();
    for (int32_t y = 0; y < H(); ++y)
        greyStepRule(row32(target, y), row32(from, y), row32(to, y), FRule.data() + size_t(y) * size_t(W()), W(),
                     base, dark);
}

} // namespace zuno
