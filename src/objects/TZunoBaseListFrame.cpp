// The registry's per-frame passes: input sources and the input step (focus,
// keys, mouse), the object update, and the composition of the screens.
#include <algorithm>
#include <utility>

#include "imaging/TCustomDIBX.h"
#include "objects/TZunoBaseList.h"

namespace zuno {

//==============================================================================
// Input sources
//==============================================================================

void TZunoBaseList::MouseDown(bool left, bool right) {
    for (auto& s : FScreens) {
        s->Input.LHeld = left;
        s->Input.RHeld = right;
    }
    ActiveScreen().LPushLatch = left;
    ActiveScreen().RPushLatch = right;
}

void TZunoBaseList::MouseUp() {
    // Either release ends both held states, so a captured right press ends
    // when the left button goes up as well.
    for (auto& s : FScreens)
        s->Input.LHeld = s->Input.RHeld = false;
}

void TZunoBaseList::MouseMove(int32_t x, int32_t y) {
    for (auto& s : FScreens) {
        if (s->Input.MouseX != x || s->Input.MouseY != y)
            s->Input.Moved = true;
        s->Input.MouseX = x;
        s->Input.MouseY = y;
    }
}

void TZunoBaseList::Wheel(int32_t delta) {
    if (delta > 0)
        ActiveScreen().WheelUpLatch = true;
    else if (delta < 0)
        ActiveScreen().WheelDownLatch = true;
}

void TZunoBaseList::KeyDown(int32_t code) {
    if (!validKey(code))
        return;
    KeyChanged(code, true);
    FPushLatch[size_t(code)] = 1;
}

void TZunoBaseList::KeyUp(int32_t code) {
    if (validKey(code))
        KeyChanged(code, false);
}

void TZunoBaseList::TextInput(const std::string& text) {
    if (FFocus && IsAlive(FFocus) && FFocus->HandleKey() && !FFocus->Paused())
        FFocus->TextInput(text);
}

void TZunoBaseList::TextComposition(const std::string& text, int32_t caret) {
    if (FFocus && IsAlive(FFocus) && FFocus->HandleKey() && !FFocus->Paused())
        FFocus->TextComposition(text, caret);
}

void TZunoBaseList::KeyChanged(int32_t code, bool down) {
    if (!validKey(code))
        return;
    const size_t k = size_t(code);
    if ((FDown[k] != 0) == down)
        return;
    FDown[k] = FRepeat[k] = down ? 1 : 0;
    if (down) {
        FCountdown[k] = KeyRepeatDelay;
        FDownFlag = FRepeatFlag = true;
        FDownList.push_back(code);
        FRepeatList.push_back(code);
    } else {
        FUpFlag = true;
        FUpList.push_back(code);
    }
}

bool TZunoBaseList::IsKeyDown(int32_t code) const { return validKey(code) && FDown[size_t(code)]; }
bool TZunoBaseList::KeyPushed(int32_t code) const { return validKey(code) && FPushed[size_t(code)]; }
bool TZunoBaseList::KeyRepeated(int32_t code) const { return validKey(code) && FRepeated[size_t(code)]; }

void TZunoBaseList::ClearKeys() {
    FDown.fill(0);
    FPushLatch.fill(0);
    FPushed.fill(0);
    FRepeat.fill(0);
    FRepeated.fill(0);
    FCountdown.fill(0);
    FDownFlag = FUpFlag = FRepeatFlag = false;
    FDownList.clear();
    FUpList.clear();
    FRepeatList.clear();
}

//==============================================================================
// Focus
//==============================================================================

void TZunoBaseList::SetFocus(TZunoControl* control) {
    if (control == FFocus)
        return;
    TZunoControl* old = FFocus;
    if (old && IsAlive(old) && !old->Name().empty())
        old->PostEvent(PR_ONFOCUSOUT);
    FFocus = control;
    if (control)
        control->PostEvent(PR_ONFOCUSIN);
    FFocusSearch = false;
    if (control)
        control->FocusGained();
}

void TZunoBaseList::ClearFocusQuietly() { FFocus = nullptr; }

//==============================================================================
// Input step
//==============================================================================

static std::vector<std::string> codeTexts(const std::vector<int32_t>& codes) {
    std::vector<std::string> t;
    t.reserve(codes.size());
    for (int32_t c : codes)
        t.push_back(std::to_string(c));
    return t;
}

void TZunoBaseList::postKeys(TZunoControl& c) {
    if (c.Paused() || c.IsScreen())
        return;
    if (FDownFlag)
        c.FireKeyDown(codeTexts(FDownList));
    if (FRepeatFlag)
        c.FireKeyRepeat(codeTexts(FRepeatList));
    if (FUpFlag)
        c.FireKeyUp(codeTexts(FUpList));
}

void TZunoBaseList::InputStep(int32_t elapsedMs) {
    if (FFocusSearch) {
        SetFocus(ActiveBase()->FindFocusable());
        FFocusSearch = false;
    }
    FPushed = FPushLatch;
    FPushLatch.fill(0);
    FRepeated = FRepeat;

    mouseStep(*ActiveBase());

    if (FFocus && IsAlive(FFocus) && FFocus->HandleKey())
        postKeys(*FFocus);
    if (FFocus && IsAlive(FFocus) && !FFocus->IsScreen())
        FFocus->DoKeys();
    FDownFlag = FUpFlag = FRepeatFlag = false;
    FDownList.clear();
    FUpList.clear();
    FRepeatList.clear();

    for (int code = 0; code < kKeyCount; ++code) {
        const size_t k = size_t(code);
        if (!FDown[k])
            continue;
        FCountdown[k] -= elapsedMs;
        FRepeat[k] = FCountdown[k] <= 0 ? 1 : 0;
        if (FRepeat[k]) {
            FCountdown[k] += std::max(KeyRepeatInterval, 1);
            FRepeatFlag = true;
            FRepeatList.push_back(code);
        }
    }
}

void TZunoBaseList::mouseStep(TZunoBase& screen) {
    TScreenInput& in = screen.Input;
    in.LPushed = std::exchange(in.LPushLatch, false);
    in.RPushed = std::exchange(in.RPushLatch, false);
    in.WheelDown = std::exchange(in.WheelDownLatch, false);
    in.WheelUp = std::exchange(in.WheelUpLatch, false);

    // Right-click scrap: a menu or map image that closes on a right click takes it first.
    if (in.RPushed) {
        for (TZunoControl* c : std::vector<TZunoControl*>(FRClickScrap)) {
            if (!IsAlive(c))
                continue;
            const uint8_t im = c->IgnoreMouse();
            if (c->RClickScrap() && c->Visible() && c->GetBase() == &screen && !c->Paused() && !c->IsInCabinet() &&
                (im == IM_NONE || im == IM_LCLICK) && c->DoRClickScrap()) {
                in.RPushed = false;
                break;
            }
        }
    }

    // A captured press: the pressing object hears moves and the release, nothing is hit-tested.
    if (screen.Capture != 0 && screen.Hover && IsAlive(screen.Hover)) {
        TZunoControl* h = screen.Hover;
        if ((screen.Capture & TZunoBase::kCaptureLeft) && !in.LHeld) {
            h->DoLBtnUp();
            screen.Capture &= static_cast<uint8_t>(~TZunoBase::kCaptureLeft);
        } else if ((screen.Capture & TZunoBase::kCaptureRight) && !in.RHeld) {
            h->DoRBtnUp();
            screen.Capture &= static_cast<uint8_t>(~TZunoBase::kCaptureRight);
        }
        if (IsAlive(h)) {
            if (in.Moved)
                h->DoMouseMove();
            if (IsAlive(h))
                h->DoMouseHeld();
        }
        in.Moved = false;
        return;
    }

    TIgnoreMouseSet accepted = imBit(IM_NONE) | imBit(IM_CLICK) | imBit(IM_LCLICK) | imBit(IM_RCLICK);
    if (in.LPushed)
        accepted = imBit(IM_NONE) | imBit(IM_RCLICK);
    else if (in.RPushed)
        accepted = imBit(IM_NONE) | imBit(IM_LCLICK);
    TZunoControl* hit = screen.HitTest(in.MouseX, in.MouseY, accepted);
    screen.Capture = 0;

    if (hit) {
        std::string want = hit->GetCursorFile();
        if (want.empty())
            want = DefaultCursor;
        if (want != screen.CursorFile) {
            screen.CursorFile = want;
            if (OnCursor)
                OnCursor(want);
        }
        if (in.LPushed) {
            hit->DoLBtnDown();
            if (IsAlive(hit) && !hit->IsScreen() && !hit->Paused() && hit->HandleKey())
                SetFocus(hit);
        } else if (in.RPushed) {
            hit->DoRBtnDown();
        } else if (in.WheelDown) {
            hit->DoWheelDown();
        } else if (in.WheelUp) {
            hit->DoWheelUp();
        }
        if (!IsAlive(hit))
            hit = nullptr;
    }

    TZunoControl* previous = screen.Hover && IsAlive(screen.Hover) ? screen.Hover : nullptr;
    if (previous && previous != hit)
        previous->DoMouseOut(hit);
    if (hit && (in.Moved || hit != previous)) {
        if (hit != previous)
            hit->DoMouseIn(previous);
        hit->DoMouseMove();
    }
    screen.Hover = hit;
    in.Moved = false;
}

//==============================================================================
// Update
//==============================================================================

void TZunoBaseList::Update(int32_t elapsedMs) {
    FElapsed = elapsedMs;
    FScreens[0]->Update();
    FScreens[1]->Update();

    // Objects may be added or removed while this runs: walk by index.
    for (size_t i = 0; i < FObjects.size();) {
        TZunoObject* o = FObjects[i].get();
        const bool inCabinet = o->IsInCabinet();
        if (!inCabinet && !o->OnIdle().empty())
            o->PostEvent(PR_ONIDLE);
        if (i >= FObjects.size() || FObjects[i].get() != o) {
            continue;                                   // the idle post cannot remove it, but be safe
        }
        if (o->Paused() || IsPendingDelete(o) || inCabinet || o->Update() == 0) {
            ++i;
            continue;
        }
        if (i < FObjects.size() && FObjects[i].get() == o)
            DeleteObject(o);
        else
            ++i;
    }

    std::vector<TZunoObject*> pending;
    pending.swap(FPending);
    for (TZunoObject* o : pending)
        if (IsRegistered(o))
            DeleteObject(o);
}

//==============================================================================
// Composition
//==============================================================================

void TZunoBaseList::Draw() {
    FTransitionRect = TRect();
    FScreens[0]->Draw();
    FScreens[1]->Draw();
    // A running transition composes the two screens into the output.
    if (FTransition) {
        FTransition->Step();
        FTransitionRect = FTransition->ChangedRect;
    }
}

std::vector<TRect> TZunoBaseList::PresentRects() const {
    if (TransitionRunning())
        return FTransitionRect.isEmpty() ? std::vector<TRect>{} : std::vector<TRect>{FTransitionRect};
    return ActiveBase()->DirtyList().Rects();
}

void TZunoBaseList::ClearDirty() {
    FScreens[0]->DirtyList().Clear();
    FScreens[1]->DirtyList().Clear();
}

} // namespace zuno
