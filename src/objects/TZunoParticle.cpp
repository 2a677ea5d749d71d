#include "objects/TZunoParticle.h"

namespace zuno {

void TZunoParticle::AssignPropertyExpression(int id, const TZunoParser& expression) {
    std::unique_ptr<TZunoParser>* slot = id == PR_APPEARX ? &FAppearX
                                       : id == PR_APPEARY ? &FAppearY
                                       : id == PR_DELAY   ? &FDelay
                                                          : nullptr;
    if (!slot)
        return;
    *slot = std::make_unique<TZunoParser>();
    (*slot)->CopyFrom(expression);
}

} // namespace zuno
