// Volume fades of sounds and movies. A fader drives one media item from a
// start volume to an end volume over a duration by the millisecond clock.
// Audio volumes are in hundredths of a decibel; except for MIDI pieces the
// fade runs over the upper half of the range only (from the middle to the
// target), which sounds linear.
//
// TZunoMixerFadein   first step: the item silent and playing; ends at the target
// TZunoMixerFadeout  first step: from the item's volume; ends silent (the end
//                    volume is never set: its object is deleted)
#pragma once

#include <cstdint>

namespace zuno {

class TDMediaItem;

class TZunoMixer {
public:
    virtual             ~TZunoMixer() = default;

    // One step at `now` (ms); true when the fade is over.
    bool                Step(uint32_t now);
    TDMediaItem*        Item() const { return FItem; }
    int32_t             StartVolume() const { return FStartVolume; }
    int32_t             EndVolume() const { return FEndVolume; }

    // The volume t ms into a fade from start to end over duration ms.
    static int32_t      volumeAt(int32_t start, int32_t end, int32_t t, int32_t duration, bool midi);

protected:
                        TZunoMixer(TDMediaItem* item, int32_t end, int32_t duration, bool midi);
    virtual void        begin() = 0;                // sets FStartVolume
    virtual bool        isFadeIn() const = 0;

    TDMediaItem*        FItem;
    int32_t             FStartVolume = 0;
    int32_t             FEndVolume;
    int32_t             FDuration;
    bool                FMidi;
    uint32_t            FStartTick = 0;
    bool                FStarted = false;
};

class TZunoMixerFadein : public TZunoMixer {
public:
                        TZunoMixerFadein(TDMediaItem* item, int32_t target, int32_t duration, bool midi)
                            : TZunoMixer(item, target, duration, midi) {}
protected:
    void                begin() override;
    bool                isFadeIn() const override { return true; }
};

class TZunoMixerFadeout : public TZunoMixer {
public:
                        TZunoMixerFadeout(TDMediaItem* item, int32_t duration, bool midi)
                            : TZunoMixer(item, -10000, duration, midi) {}
protected:
    void                begin() override;
    bool                isFadeIn() const override { return false; }
};

} // namespace zuno
