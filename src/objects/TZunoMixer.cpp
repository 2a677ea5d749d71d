#include "objects/TZunoMixer.h"

#include "media/TDMediaItem.h"

namespace zuno {

TZunoMixer::TZunoMixer(TDMediaItem* item, int32_t end, int32_t duration, bool midi)
    : FItem(item), FEndVolume(end), FDuration(duration), FMidi(midi) {}

// Audio fades cover the upper half of the decibel range only. MIDI volumes
// are linear percentages and fade over the whole range, evenly.
int32_t TZunoMixer::volumeAt(int32_t start, int32_t end, int32_t t, int32_t duration, bool midi) {
    if (duration <= 0)
        return end;
    int64_t d = int64_t(end) - start;
    if (!midi)
        d /= 2;                                     // audio: half the range, toward zero
    if (start > end || midi)
        return int32_t(start + int64_t(t) * d / duration);
    // Fading in, audio starts from the middle of the range.
    return int32_t(start + d + int64_t(t) * d / duration);
}

bool TZunoMixer::Step(uint32_t now) {
    if (!FStarted) {
        FStarted = true;
        FStartTick = now;
        begin();
        return false;
    }
    const int32_t t = int32_t(now - FStartTick);
    if (t < FDuration) {
        if (FItem)
            FItem->SetVolume(volumeAt(FStartVolume, FEndVolume, t, FDuration, FMidi));
    } else if (isFadeIn() && FItem) {
        FItem->SetVolume(FEndVolume);
    }
    return t >= FDuration;
}

void TZunoMixerFadein::begin() {
    FStartVolume = -10000;
    if (FItem) {
        FItem->SetVolume(-10000);
        FItem->Play();
    }
}

void TZunoMixerFadeout::begin() { FStartVolume = FItem ? FItem->GetVolume() : 0; }

} // namespace zuno
