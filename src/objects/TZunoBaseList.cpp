#include "objects/TZunoBaseList.h"

#include <algorithm>
#include <utility>

#include "core/Cp932.h"

namespace zuno {

TZunoBaseList::TZunoBaseList() = default;

void TZunoBaseList::Reset() {
    FEvents.Clear();
    FObjects.clear();
    TScreenInput fresh;
    fresh.MouseX = ActiveScreen().MouseX;
    fresh.MouseY = ActiveScreen().MouseY;
    FScreens = {fresh, fresh};
}

//==============================================================================
// Objects
//==============================================================================

TZunoNamedObject* TZunoBaseList::Register(std::unique_ptr<TZunoNamedObject> object) {
    FObjects.push_back(std::move(object));
    return FObjects.back().get();
}

TZunoNamedObject* TZunoBaseList::FindComponent(const std::string& name) const {
    if (name.empty())
        return nullptr;
    for (const auto& o : FObjects)
        if (sameTextSjis(o->Name(), name))
            return o.get();
    return nullptr;
}

bool TZunoBaseList::IsRegistered(const TZunoNamedObject* object) const {
    return object && std::any_of(FObjects.begin(), FObjects.end(),
                                 [object](const auto& o) { return o.get() == object; });
}

//==============================================================================
// Input sources
//==============================================================================

void TZunoBaseList::MouseDown(bool left, bool right) {
    for (auto& s : FScreens) {
        s.LHeld = left;
        s.RHeld = right;
    }
    ActiveScreen().LPushLatch = left;
    ActiveScreen().RPushLatch = right;
}

void TZunoBaseList::MouseUp() {
    // Either release ends both held states, so a captured right press ends
    // when the left button goes up as well.
    for (auto& s : FScreens)
        s.LHeld = s.RHeld = false;
}

void TZunoBaseList::MouseMove(int32_t x, int32_t y) {
    for (auto& s : FScreens) {
        if (s.MouseX != x || s.MouseY != y)
            s.Moved = true;
        s.MouseX = x;
        s.MouseY = y;
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

//==============================================================================
// Input step
//==============================================================================

void TZunoBaseList::InputStep(int32_t elapsedMs) {
    FPushed = FPushLatch;
    FPushLatch.fill(0);
    FRepeated = FRepeat;

    TScreenInput& s = ActiveScreen();
    s.LPushed = std::exchange(s.LPushLatch, false);
    s.RPushed = std::exchange(s.RPushLatch, false);
    s.WheelDown = std::exchange(s.WheelDownLatch, false);
    s.WheelUp = std::exchange(s.WheelUpLatch, false);

    // The focused control would report the lists here; they end with this step.
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

} // namespace zuno
