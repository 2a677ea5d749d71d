// Rule-image timing through a colour: each pixel of the old picture brightens
// to white when its rule level comes, then the new pixel darkens back from
// white (TWipeShadowWhite); TWipeShadowBlack goes through black.
#pragma once

#include <vector>

#include "imaging/TCustomWipe.h"

namespace zuno {

class TWipeShadowWhite : public TCustomWipe {
public:
    using TCustomWipe::TCustomWipe;

    void                Prepare() override;     // reads the rule picture

protected:
    void                DrawFrame() override;
    virtual bool        darkens() const { return false; }

private:
    std::vector<uint8_t> FRule;
};

class TWipeShadowBlack : public TWipeShadowWhite {
public:
    using TWipeShadowWhite::TWipeShadowWhite;

protected:
    bool                darkens() const override { return true; }
};

} // namespace zuno
