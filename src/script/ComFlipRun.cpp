// What Flip does when it runs. It moves objects between the two screens and
// plays a screen transition while the picture changes from the active screen
// to the other one; when the time is up the other screen becomes active.
//
// Phases: begun (set up, nothing shown yet), starting (the clock starts at the
// next step), running (the transition plays) and no transition (a selection
// with no duration: the screens swap at the first step).
#include "core/TextHelpers.h"
#include "expr/TSysFuncMan.h"
#include "expr/TZunoParser.h"
#include "imaging/TCustomWipe.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoCustomImage.h"
#include "script/ComObject.h"
#include "script/TCallMan.h"

namespace zuno {

const std::string TComFlip::SnapshotName("\x01\x01");

namespace {

TCustomParam* evaluate(TCallMan& cm, const TExprPtr& e) {
    TSysFuncMan* funcs = cm.Env().Funcs;
    if (!e || e->Empty() || !funcs)
        return nullptr;
    e->Execute(*funcs);
    return e->Result();
}

bool flag(TCallMan& cm, const TExprPtr& e) {
    TCustomParam* v = evaluate(cm, e);
    return v && v->AsBoolean();
}

// A picture of the active screen as it is now, on top of that screen, so the
// old picture stays while its objects move away.
void makeSnapshot(TZunoBaseList& reg) {
    reg.Draw();
    TCustomDIBX* picture = reg.SurfaceOf(*reg.ActiveBase());
    auto* snapshot = static_cast<TZunoCustomImage*>(reg.Register(std::make_unique<TZunoCustomImage>()));
    snapshot->SetName(TComFlip::SnapshotName);
    snapshot->TakePicture(*picture);
    snapshot->SetBounds(0, 0, picture->GetWidth(), picture->GetHeight());
    snapshot->SetParent(reg.ActiveBase());
    snapshot->SetProp(PR_IGNOREMOUSE, TPropValue::ofInt(IM_ALL));
}

} // namespace

void TComFlip::Begin(TCallMan& cm) {
    FPhase = fpBegun;
    FEnv = &cm.Env();
    FRegistry = cm.Env().Registry;

    TCustomParam* kindValue = evaluate(cm, FKind);
    int32_t kind = kindValue ? static_cast<uint8_t>(kindValue->AsInteger()) : 0;
    if (kind > kLastTransitionKind)
        kind = 0;
    TCustomParam* durationValue = evaluate(cm, FDuration);
    const int32_t asked = durationValue ? durationValue->AsInteger() : 0;
    const int32_t duration = asked < 1 ? 1 : asked;
    FWaits = durationValue && asked > 0;
    const bool parameter = flag(cm, FParam);
    FLocked = flag(cm, FEventLock);
    FClearing = flag(cm, FClearBack);
    TCustomParam* modeValue = evaluate(cm, FMode);
    const bool hasMode = modeValue != nullptr;
    const uint8_t mode = hasMode ? static_cast<uint8_t>(modeValue->AsInteger()) : 0;
    std::vector<std::string> listed;
    for (const TExprPtr& e : FNames)
        if (TCustomParam* v = evaluate(cm, e))
            for (std::string& line : splitLines(v->AsString()))
                listed.push_back(std::move(line));

    TZunoBaseList* reg = FRegistry;
    if (!reg)
        return;
    if (hasMode) {
        if (!durationValue || asked <= 0)
            FPhase = fpNoTransition;
        else
            makeSnapshot(*reg);
        TZunoBase* active = reg->ActiveBase();
        TZunoBase* other = reg->GetScreen(reg->ActiveIndex() ^ 1);
        for (int i = active->ChildCount() - 1; i >= 0; --i) {
            if (i >= active->ChildCount())
                continue;
            TZunoControl* child = active->GetChild(i);
            if (child->Name() == SnapshotName)
                continue;
            bool isListed = false;
            for (const std::string& n : listed)
                isListed = isListed || child->Name() == n;
            if ((mode == 0 && !isListed) || (mode == 1 && isListed))
                child->SetParent(other);
        }
    }
    if (FPhase == fpNoTransition)
        return;
    // A kind without a wipe still waits out its time showing the old picture.
    TCustomWipe* wipe = reg->StartTransition(reg->ActiveIndex(), kind, parameter ? 1 : 0, true, 0, duration);
    if (!wipe)
        return;
    const TExprPtr* params[2] = {&FWipeParam0, &FWipeParam1};
    for (int i = 0; i < 2; ++i)
        if (TCustomParam* v = evaluate(cm, *params[i]))
            wipe->SetParam(i, v->AsInteger());
    if (TCustomParam* text = evaluate(cm, FWipeText))
        wipe->SetRuleName(text->AsString());
    wipe->Prepare();
}

void TComFlip::Execute(TCallMan& cm, TPage*&, int32_t& pc) {
    const uint32_t clock = cm.Env().GameClock;
    if (FPhase == fpBegun) {
        FPhase = fpStarting;
        return;
    }
    if (FPhase == fpStarting) {
        FStart = static_cast<int32_t>(clock);
        FPhase = fpRunning;
    }
    const int32_t e = static_cast<int32_t>(clock) - FStart;
    if (FPhase == fpRunning && FRegistry && e < FRegistry->TransitionDuration()) {
        FRegistry->SetTransitionProgress(e);
        return;
    }
    finish(false);
    ++pc;
}

void TComFlip::Abort() { finish(true); }

void TComFlip::finish(bool aborting) {
    TZunoBaseList* reg = FRegistry;
    if (!reg)
        return;
    reg->StartTransition(reg->ActiveIndex() ^ 1, 0, 0, true, 0, 0);
    if (TZunoControl* snapshot = reg->FindControl(SnapshotName))
        reg->ScheduleDelete(snapshot);
    if (!FClearing)
        return;
    TZunoBase* back = reg->GetScreen(reg->ActiveIndex() ^ 1);
    for (TZunoControl* child : back->Children())
        if (aborting || child->GetCompoType() != LT_CABINET)
            reg->ScheduleDelete(child);
}

} // namespace zuno
