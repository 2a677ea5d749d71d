// Screen transitions ("wipes"): the change from the old picture to the new
// one, drawn step by step into the visible surface while a flip runs.
//
// TCustomWipe   the base: target, old and new pictures, duration and
//               elapsed time, two parameters, the reverse flag and the rule
//               image name. Step draws the picture for Elapsed; once
//               Elapsed reaches Duration it reports the end without drawing.
// TWipeMask     the wipes that go through an 8-bit mask (TWipeMask.h).
//
// Set-up order used by a flip: CreateWipe (WipeFactory.h), Duration,
// SetReverse, SetParam (0 and 1), SetRuleName, Prepare; then each frame
// Elapsed and Step.
//
// Every wipe draws on 32-bit surfaces of one size. When the target or a
// picture has another format or size, Step works on 32-bit copies of the
// target's size and draws the result into the target.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "imaging/TDIBX.h"

namespace zuno {

// The transition numbers of the catalogue.
enum TWipeKind : int32_t {
    WP_NONE = 0,
    WP_FADE = 1,
    WP_BLINDH = 2,
    WP_BLINDV = 3,
    WP_CURTAINH = 4,
    WP_CURTAINV = 5,
    WP_SCROLLH = 6,
    WP_SCROLLV = 7,
    WP_GRID = 8,
    WP_GRIDH = 9,
    WP_GRIDV = 10,
    WP_DITHER = 11,
    WP_WHITE = 12,
    WP_BLACK = 13,
    WP_FLASH = 14,
    WP_MOSAIC = 15,
    WP_SUDAREH = 16,
    WP_SUDAREV = 17,
    WP_SPOT = 18,
    WP_MASKFADE = 19,
    WP_MASKWHITE = 20,
    WP_MASKBLACK = 21,
    WP_SMALL = 22,
    WP_BIG = 23,
    WP_RIPPLE = 24,
    WP_BLURWHITE = 25,
    WP_BLURBLACK = 26,
    WP_TWISTH = 27,
    WP_TWISTV = 28,
    WP_CRACK = 29,
    WP_ZOOMIN = 30,
    WP_CLOCKHAND = 31,
    WP_RUBBERH = 32,
    WP_RUBBERV = 33,
    WP_FAN = 34,
    WP_WFAN = 35,
    WP_CIRCLE = 36,
    WP_BLOCKCOIL = 37,
    WP_BLOCKRANDOM = 38,
    WP_LAST = WP_BLOCKRANDOM,
};

// What wipes need from the rest of the player.
struct TWipeServices {
    // Reads a rule picture by its game file name; false when it cannot be had.
    std::function<bool(const std::string& name, TDIBX& picture)> LoadRule;
    // The player's random generator: 0 <= result < n. Unset: a fixed sequence.
    std::function<int32_t(int32_t n)> Random;
};

class TCustomWipe {
public:
    int32_t             Duration = 0;           // total time (ms, or frames for a film track)
    int32_t             Elapsed = 0;            // time since the start, in the unit of Duration
    TRect               ChangedRect;            // the area the last Step changed: the whole target

                        TCustomWipe(TCustomDIBX& target, TCustomDIBX& from, TCustomDIBX& to);
    virtual             ~TCustomWipe();
                        TCustomWipe(const TCustomWipe&) = delete;
    TCustomWipe&        operator=(const TCustomWipe&) = delete;

    virtual void        SetReverse(bool reverse) { FReverse = reverse; }
    bool                Reverse() const { return FReverse; }
    virtual int32_t     GetParam(int index) const;                 // index 0 or 1; 0 otherwise
    virtual void        SetParam(int index, int32_t value);        // other indices are ignored
    virtual void        SetRuleName(const std::string& name) { FRuleName = name; }
    const std::string&  RuleName() const { return FRuleName; }
    // Sets up what the steps need (masks, rule maps); Step calls it when the
    // caller did not.
    virtual void        Prepare() { FPrepared = true; }
    // Draws the picture for Elapsed; true (and nothing drawn) once Elapsed
    // has reached Duration.
    bool                Step();

    void                SetServices(TWipeServices services) { FServices = std::move(services); }

protected:
    // One frame with 0 <= Elapsed < Duration, on 32-bit surfaces of the
    // target's size (From, To and Target).
    virtual void        DrawFrame() = 0;

    TCustomDIBX&        Target() { return *FTarget; }
    TCustomDIBX&        From() { return *FFrom; }
    TCustomDIBX&        To() { return *FTo; }
    int32_t             W() const { return FWidth; }
    int32_t             H() const { return FHeight; }
    int64_t             t() const { return Elapsed < 0 ? 0 : Elapsed; }
    int64_t             T() const { return Duration; }
    int32_t             random(int32_t n);                         // 0 <= r < n, n >= 1

    int32_t             FParams[2] = {0, 0};
    bool                FReverse = false;
    std::string         FRuleName;
    bool                FPrepared = false;
    TWipeServices       FServices;

private:
    bool                drawsDirectly();
    void                drawConverted();

    TCustomDIBX*        FTarget;
    TCustomDIBX*        FFrom;
    TCustomDIBX*        FTo;
    int32_t             FWidth;
    int32_t             FHeight;
    uint32_t            FFallbackRandom = 0;
    // 32-bit copies used when the surfaces cannot be drawn on directly.
    std::unique_ptr<TDIBX> FWorkTarget, FWorkFrom, FWorkTo;
};

} // namespace zuno
