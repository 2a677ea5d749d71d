// What the media commands do when they run: MovieStop stops a sound or movie
// at once or with a fade (and may wait until the faded object is gone),
// MediaPlay plays one again from the start.
#include "archive/TVrFileManager.h"
#include "expr/TSysFuncMan.h"
#include "expr/TZunoParser.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoMediaSource.h"
#include "objects/TZunoPlayer.h"
#include "script/ComMedia.h"
#include "script/TCallMan.h"

namespace zuno {

namespace {

TCustomParam* evaluate(TCallMan& cm, const TExprPtr& e) {
    TSysFuncMan* funcs = cm.Env().Funcs;
    if (!e || e->Empty() || !funcs)
        return nullptr;
    e->Execute(*funcs);
    return e->Result();
}

// The component of a name expression; none for an empty name.
TZunoComponent* namedComponent(TCallMan& cm, const TExprPtr& e) {
    TZunoBaseList* reg = cm.Env().Registry;
    TCustomParam* v = evaluate(cm, e);
    if (!reg || !v)
        return nullptr;
    const std::string name = v->AsString();
    return name.empty() ? nullptr : reg->FindComponent(name);
}

} // namespace

//==============================================================================
// MovieStop
//==============================================================================

void TComMovieStop::Begin(TCallMan& cm) {
    TCustomParam* lock = evaluate(cm, FEventLock);
    FLocked = lock ? lock->AsBoolean() : false;
    FWaiting = false;
    FTargetName.clear();
    FTarget = nullptr;
    TZunoComponent* target = namedComponent(cm, FObjectName);
    if (!target)
        return;
    TCustomParam* fadeValue = evaluate(cm, FFadeTime);
    const int32_t fade = fadeValue ? fadeValue->AsInteger() : 0;
    if (fade > 0) {
        const std::string source = target->propStr(PR_SOURCE);
        TVrFileManager* files = cm.Env().Files;
        auto* player = dynamic_cast<TZunoPlayer*>(target);
        if (!isCdTrackName(source) && !(files && !source.empty() && files->Exists(source))) {
            target = nullptr;                       // a file that is not there stops nothing
        } else if (player && player->PlayState() != psPlaying && player->PlayState() != psStarting) {
            target = nullptr;                       // already stopping or stopped
        } else {
            target->SetProp(PR_DELAY, TPropValue::ofInt(fade));
            target->SetPlayState(psStopping);
        }
    } else {
        target->SetPlayState(psStopped);
        target->ScheduleDelete();
        target = nullptr;
    }
    // The fading object is followed as it is: a sound takes a system name
    // while it fades, so it is remembered by the object, not by its old name.
    FTarget = target;
    if (target)
        FTargetName = target->Name();
    if (TCustomParam* wait = evaluate(cm, FWaitFlag))
        FWaiting = wait->AsBoolean();
}

void TComMovieStop::Execute(TCallMan& cm, TPage*&, int32_t& pc) {
    TZunoBaseList* reg = cm.Env().Registry;
    if (reg && !FTarget && !FTargetName.empty())
        FTarget = reg->FindComponent(FTargetName);  // after a game load
    if (!FWaiting || FTargetName.empty() || !reg || !reg->IsRegistered(FTarget) ||
        reg->IsPendingDelete(FTarget)) {
        ++pc;
        return;
    }
    cm.SetContinue(false);
}

//==============================================================================
// MediaPlay
//==============================================================================

void TComMediaPlay::Execute(TCallMan& cm, TPage*&, int32_t& pc) {
    ++pc;
    if (auto* player = dynamic_cast<TZunoPlayer*>(namedComponent(cm, FObjectName)))
        player->Replay();
}

//==============================================================================
// GameSave, GameLoad: requests the project applies in this frame's frame step
//==============================================================================

void TComGameSave::Execute(TCallMan& cm, TPage*&, int32_t& pc) {
    ++pc;
    TCustomParam* slot = evaluate(cm, FSlot);
    const int32_t slotNumber = slot ? slot->AsInteger() : 0;
    TCustomParam* caption = evaluate(cm, FCaption);
    const std::string text = caption ? caption->AsString() : std::string();
    if (cm.Env().RequestSave)
        cm.Env().RequestSave(slotNumber, FResumePage, text, FResumeIndex);
}

void TComGameLoad::Execute(TCallMan& cm, TPage*&, int32_t& pc) {
    ++pc;
    TCustomParam* slot = evaluate(cm, FSlot);
    const int32_t slotNumber = slot ? slot->AsInteger() : 0;
    if (cm.Env().RequestLoad)
        cm.Env().RequestLoad(slotNumber);
}

} // namespace zuno
