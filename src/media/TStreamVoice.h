// One sound played on the device path: a decoder (converted to 44100 Hz
// 16-bit stereo) mixed straight into the output at its volume and pan. The
// volume is in hundredths of a decibel (0 full, -10000 silent) and the pan
// attenuates the other side by as many hundredths of a decibel, as the
// sound device does; CD tracks use the mixer line's linear scale instead.
// This is the player half of the companion library's Ogg, Windows Media and
// movie-sound items.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "media/TAudioMixer.h"
#include "media/TPcmDecoder.h"

namespace zuno {

enum class TVolumeLaw { decibel, linearLine };

class TStreamVoice : public TMixVoice {
public:
                        TStreamVoice(std::unique_ptr<TPcmDecoder> decoder, TVolumeLaw law = TVolumeLaw::decibel);

    void                play();                     // from the position; at the end from the start
    void                pause();
    void                stop();                     // not playing, not paused, position kept
    bool                isPlaying();
    bool                isPaused();
    bool                reachedEnd();               // played to the end without repeat
    int32_t             positionMs();
    void                setPositionMs(int32_t ms);
    int32_t             lengthMs();
    void                setRepeat(bool on);
    bool                repeat();
    void                setRepeatPosMs(int32_t ms);
    int32_t             repeatPosMs();
    void                setVolume(int32_t v);
    int32_t             volume();
    void                setPan(int32_t p);
    int32_t             pan();

    void                mixInto(int16_t* out, int frames) override;

    // The amplitude factor of a volume in hundredths of a decibel (0 for -10000 or less).
    static double       decibelGain(int32_t hundredths);

private:
    void                updateGains();

    std::mutex          FLock;
    std::unique_ptr<TPcmDecoder> FDecoder;
    TVolumeLaw          FLaw;
    bool                FPlaying = false;
    bool                FPaused = false;
    bool                FEnded = false;
    bool                FRepeat = false;
    int64_t             FRepeatPos = 0;             // bytes
    int32_t             FVolume = 0;
    int32_t             FPan = 0;
    double              FGainLeft = 1.0;
    double              FGainRight = 1.0;
    std::vector<int16_t> FScratch;
};

int64_t                 msToMixBytes(int64_t ms);   // whole frames
int32_t                 mixBytesToMs(int64_t bytes);

} // namespace zuno
