// Rule-image wipes: a grey picture says when each pixel changes, bright
// pixels first. TWipeShadow blends through the mask; the rule map is
// shared with TWipeShadowWhite and TWipeShadowBlack (TWipeShadowWhite.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/TWipeMask.h"

namespace zuno {

// The rule map: the rule picture converted to grey (its colours inverted
// first when reversed) and tiled over w x h. Without a readable picture
// every level is 255.
std::vector<uint8_t> loadRuleMap(const TWipeServices& services, const std::string& name, int32_t w, int32_t h,
                                 bool reverse);

class TWipeShadow : public TWipeMask {
public:
    using TWipeMask::TWipeMask;

    void                Prepare() override;     // reads the rule picture

protected:
    bool                UpdateMask() override;

private:
    std::vector<uint8_t> FRule;
};

} // namespace zuno
