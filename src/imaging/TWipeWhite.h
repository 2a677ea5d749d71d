// Through a colour:
//   TWipeWhite  the old picture brightens to white, then white fades to the new one
//   TWipeBlack  the same through black
//   TWipeFlash  the new picture shown white, darkening to normal
#pragma once

#include "imaging/TCustomWipe.h"

namespace zuno {

class TWipeWhite : public TCustomWipe {
public:
    using TCustomWipe::TCustomWipe;

protected:
    void                DrawFrame() override;
    // Adds grey k (whiten) or subtracts it (blacken).
    virtual void        shade(uint32_t k);
};

class TWipeBlack : public TWipeWhite {
public:
    using TWipeWhite::TWipeWhite;

protected:
    void                shade(uint32_t k) override;
};

class TWipeFlash : public TCustomWipe {
public:
    using TCustomWipe::TCustomWipe;

protected:
    void                DrawFrame() override;
};

} // namespace zuno
