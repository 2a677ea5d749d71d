// The MIDI sequencer: a parsed piece played through an output port by a tick
// every 10 ms of the millisecond clock. It starts anywhere with a chase of
// controller state, pauses, repeats, and scales each channel's controllers by
// a percentage (the MIDI items set their volume through controller 7).
//
// The tick is driven by whoever owns the clock: the synthesiser's voice runs
// it before each 10 ms of samples it renders, so timing follows the sound
// output exactly (and the virtual clock in headless runs). Every operation
// of the window's thread holds the sequencer's lock, so it never runs at the
// same time as a tick.
#pragma once

#include <cstdint>
#include <mutex>

#include "media/MediaTypes.h"
#include "media/TMidiOutPort.h"
#include "media/TMidiV.h"

namespace zuno {

class TMidiPlayV : public TMidiV {
public:
    static constexpr int32_t kTickInterval = 10;         // ms between ticks
    static constexpr int32_t kMaxElapsed = 1000;         // a long stall advances at most this much

                        TMidiPlayV(TMidiOutPort& port, TMediaClock clock);

    void                LoadSong(TStream& stream);
    bool                OpenPort();
    void                ClosePort();
    bool                PortOpen();
    void                PlayFrom(int32_t ms);
    void                StopPlayback();
    void                AllNotesOff();
    void                SetControllerScale(int channel, int controller, int32_t percent);
    void                SetControllerScaleAll(int controller, int32_t percent);
    void                SendMasterVolume();
    void                SetAutoRepeat(bool on);

    bool                Playing();                       // the timer is enabled
    bool                AtEnd();
    int32_t             Position();
    int32_t             Length();
    int32_t             CurrentIndex();
    int32_t             Tempo();                         // beats per minute shown
    int32_t             LastValue(int channel, int controller);

    void                Tick();                          // the timer's callback

private:
    void                send(const TMidiMsgEvent& e);
    void                sendController(int channel, int controller);
    void                allNotesOffLocked();
    int32_t             targetIndex(int32_t ms) const;

    TMidiOutPort&       FPort;
    TMediaClock         FClock;
    std::recursive_mutex FLock;                          // the hold of callbacks
    bool                FEnabled = false;                // the timer
    int32_t             FIndex = 0;
    int32_t             FPosition = 0;
    uint32_t            FPrevTick = 0;
    bool                FAutoRepeat = false;
    int32_t             FTempoBpm = 120;
    int32_t             FLastValue[16][128] = {};
    int32_t             FScale[16][128];
};

} // namespace zuno
