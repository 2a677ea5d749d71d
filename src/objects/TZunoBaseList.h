// The registry of one scene, in the part that stands without display objects:
// the input state of the two screens (mouse position, press latches, held
// buttons, wheel) and of the keyboard, the event queue, and the list of
// registered objects by name. Display objects, composition, focus and
// transitions join this class with the object model.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "objects/TTimerList.h"
#include "objects/TZunoNamedObject.h"

namespace zuno {

// The mouse state of one screen.
struct TScreenInput {
    int32_t             MouseX = 0, MouseY = 0;             // relative to the play area
    bool                LPushLatch = false, LPushed = false;    // press since the last input step / in this one
    bool                RPushLatch = false, RPushed = false;
    bool                LHeld = false, RHeld = false;
    bool                Moved = false;
    bool                WheelDownLatch = false, WheelDown = false;
    bool                WheelUpLatch = false, WheelUp = false;
    int32_t             Color = 0;                          // background; negative: no fill
};

class TZunoBaseList {
public:
    static constexpr int kKeyCount = 256;

                        TZunoBaseList();

    // Reset: empties the event queue, frees every registered object, fresh screens
    // (keeping the mouse position).
    void                Reset();

    // --- objects
    TZunoNamedObject*   Register(std::unique_ptr<TZunoNamedObject> object);
    TZunoNamedObject*   FindComponent(const std::string& name) const;     // case-insensitive; none for ""
    bool                IsRegistered(const TZunoNamedObject* object) const;
    int                 ObjectCount() const { return static_cast<int>(FObjects.size()); }

    // --- screens
    int32_t             Width = 0, Height = 0;
    int                 ActiveIndex = 0;
    TScreenInput&       Screen(int i) { return FScreens[static_cast<size_t>(i & 1)]; }
    TScreenInput&       ActiveScreen() { return Screen(ActiveIndex); }

    // --- input sources (from the window)
    void                MouseDown(bool left, bool right);
    void                MouseUp();
    void                MouseMove(int32_t x, int32_t y);
    void                Wheel(int32_t delta);                   // > 0 up, < 0 down
    void                KeyDown(int32_t code);                  // codes below 256; the pushed latch too
    void                KeyUp(int32_t code);
    void                KeyChanged(int32_t code, bool down);

    // Input step, once per frame before the interpreter: latches become this
    // frame's flags, the key lists of the last frame are cleared, auto-repeat
    // runs with the frame's elapsed milliseconds.
    void                InputStep(int32_t elapsedMs);

    // --- key queries
    bool                IsKeyDown(int32_t code) const;
    bool                KeyPushed(int32_t code) const;          // went down since the previous input step
    bool                KeyRepeated(int32_t code) const;        // down or auto-repeated in this step
    void                ClearKeys();
    const std::vector<int32_t>& DownList() const { return FDownList; }
    const std::vector<int32_t>& UpList() const { return FUpList; }
    const std::vector<int32_t>& RepeatList() const { return FRepeatList; }
    bool                DownFlag() const { return FDownFlag; }
    bool                UpFlag() const { return FUpFlag; }
    bool                RepeatFlag() const { return FRepeatFlag; }

    int32_t             KeyRepeatDelay = 500;                   // ms before the first auto-repeat
    int32_t             KeyRepeatInterval = 33;                 // ms between auto-repeats

    // --- event queue
    TTimerList&         Events() { return FEvents; }

private:
    static bool         validKey(int32_t code) { return code >= 0 && code < kKeyCount; }

    std::array<TScreenInput, 2> FScreens{};
    TTimerList          FEvents;
    std::vector<std::unique_ptr<TZunoNamedObject>> FObjects;

    std::array<uint8_t, kKeyCount> FDown{}, FPushLatch{}, FPushed{}, FRepeat{}, FRepeated{};
    std::array<int32_t, kKeyCount> FCountdown{};
    bool                FDownFlag = false, FUpFlag = false, FRepeatFlag = false;
    std::vector<int32_t> FDownList, FUpList, FRepeatList;
};

} // namespace zuno
