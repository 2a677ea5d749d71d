// TZunoTimer: raises its notify event at a fixed interval. A timer never has
// more than one event of its own waiting: while one waits (or its handler
// runs) the ticks that come due queue nothing. With AutoScrap the timer
// deletes itself once its first event has been handled.
#pragma once

#include <string>

#include "objects/TZunoObject.h"

namespace zuno {

class TZunoTimer : public TZunoComponent {
public:
    uint8_t             GetCompoType() const override { return LT_TIMER; }

    bool                Fired() const { return FFired; }
    uint32_t            BaseTick() const { return FBaseTick; }

    TPropValue          GetProp(int id) override;
    void                SetProp(int id, const TPropValue& value) override;

    // Delay < 0 or paused: nothing; Delay 0 fires every frame.
    int                 Update() override;
    // After the object record: OnNotify, Delay, Paused, AutoScrap, fired.
    void                SaveToStream(TStream& s) override;
    void                LoadFromStream(TStream& s, int32_t version) override;

private:
    uint32_t            now() const;
    void                restart();              // waiting events dropped, base tick := now

    std::string         FOnNotify;
    int32_t             FDelay = 0;
    bool                FPaused = false;
    bool                FAutoScrap = false;
    bool                FFired = false;
    uint32_t            FBaseTick = 0;
    bool                FBaseSet = false;       // the base tick was taken
};

} // namespace zuno
