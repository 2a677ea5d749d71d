#include "objects/TZunoTimer.h"

#include "core/StreamFields.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoMediaSource.h"

namespace zuno {

uint32_t TZunoTimer::now() const {
    TZunoMediaSource* m = FOwner ? FOwner->MediaSource : nullptr;
    return m ? m->Now() : 0;
}

void TZunoTimer::restart() {
    if (FOwner)
        FOwner->Events().RemoveWaitingOf(this);
    FBaseTick = now();
    FBaseSet = true;
}

TPropValue TZunoTimer::GetProp(int id) {
    switch (id) {
    case PR_ONNOTIFY:   return TPropValue::ofStr(FOnNotify);
    case PR_DELAY:      return TPropValue::ofInt(FDelay);
    case PR_PAUSED:     return TPropValue::ofBool(FPaused);
    case PR_AUTOSCRAP:  return TPropValue::ofBool(FAutoScrap);
    default:            return TZunoComponent::GetProp(id);
    }
}

void TZunoTimer::SetProp(int id, const TPropValue& value) {
    switch (id) {
    case PR_ONNOTIFY:   FOnNotify = value.Str; restart(); return;
    case PR_DELAY:      FDelay = value.Int; restart(); return;
    case PR_PAUSED:     FPaused = value.Bool; restart(); return;
    case PR_AUTOSCRAP:  FAutoScrap = value.Bool; return;
    default:            TZunoComponent::SetProp(id, value); return;
    }
}

int TZunoTimer::Update() {
    if (!FOwner)
        return 0;
    // A pending event is one that waits or whose handler runs.
    const bool pending = FOwner->Events().FindPending(this, PR_ONNOTIFY) >= 0;
    if (FFired && FAutoScrap)
        return pending ? 0 : 1;
    if (FDelay < 0 || FPaused)
        return 0;
    const uint32_t t = now();
    if (!FBaseSet) {
        FBaseTick = t;
        FBaseSet = true;
    }
    if (FDelay > 0 && int64_t(uint32_t(t - FBaseTick)) < FDelay)
        return 0;
    FBaseTick += uint32_t(FDelay);
    if (!pending) {
        PostEvent(PR_ONNOTIFY);
        FFired = true;
    }
    return 0;
}

void TZunoTimer::SaveToStream(TStream& s) {
    TZunoComponent::SaveToStream(s);
    WriteString(s, FOnNotify);
    WriteInt(s, FDelay);
    WriteBool(s, FPaused);
    WriteBool(s, FAutoScrap);
    WriteBool(s, FFired);
}

void TZunoTimer::LoadFromStream(TStream& s, int32_t version) {
    TZunoComponent::LoadFromStream(s, version);
    FOnNotify = ReadString(s);
    FDelay = ReadInt(s);
    FPaused = ReadBool(s);
    if (version > 103) {
        FAutoScrap = ReadBool(s);
        FFired = ReadBool(s);
    }
    FBaseTick = now();
    FBaseSet = true;
}

} // namespace zuno
