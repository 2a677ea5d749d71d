// The master mix that the sound output pulls: every voice (the wave-out
// engine, each sound played on the device path, the MIDI synthesiser, the
// sound of movies) adds its samples, saturating, into the 44100 Hz 16-bit
// stereo block being pulled. Voices keep their own locks, so the frame loop
// only ever waits for the voice it touches; adding a voice never waits for a
// pull, removing one waits for the pull that may be using it.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

namespace zuno {

class TMixVoice {
public:
    virtual             ~TMixVoice() = default;
    // Adds `frames` stereo frames of this voice into `out` (saturating).
    virtual void        mixInto(int16_t* out, int frames) = 0;
};

class TAudioMixer {
public:
    void                addVoice(TMixVoice* voice);                  // not owned; mixed in order of adding
    void                removeVoice(TMixVoice* voice);               // returns after any pull using it has ended
    // Fills `out` with the next `frames` frames: silence plus every voice.
    void                pull(int16_t* out, int frames);
    int64_t             framesPulled() const { return FPulled; }

private:
    std::mutex          FListLock;                          // the list, held briefly
    std::mutex          FPullLock;                          // held for a whole pull
    std::vector<TMixVoice*> FVoices;
    std::vector<TMixVoice*> FPulling;                       // the pull's copy of the list
    int64_t             FPulled = 0;
};

} // namespace zuno
