// TZunoParticle: the particle surface, an emitter of moving particles. It
// keeps its own copies of the appear-point and delay expressions of the
// command that created it and evaluates them whenever a particle starts, so
// a random expression gives every particle its own value.
#pragma once

#include <memory>

#include "expr/TZunoParser.h"
#include "objects/TZunoControl.h"

namespace zuno {

class TZunoParticle : public TZunoControl {
public:
    uint8_t             GetCompoType() const override { return LT_PARTICLE; }

    void                AssignPropertyExpression(int id, const TZunoParser& expression) override;
    // The copies (none until a creation command gives one).
    TZunoParser*        AppearX() const { return FAppearX.get(); }
    TZunoParser*        AppearY() const { return FAppearY.get(); }
    TZunoParser*        Delay() const { return FDelay.get(); }

private:
    std::unique_ptr<TZunoParser> FAppearX, FAppearY, FDelay;
};

} // namespace zuno
