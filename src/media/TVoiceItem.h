// A media item whose sound is one voice of the mix: Ogg and WAV sounds on
// the device path and Windows Media audio. Operations go to the voice; Play
// starts nothing while the manager's sound is off. The end is latched: IsEnd
// answers true once, when the voice first reaches it; a new position clears
// the latch only for the kinds whose library did so (Windows Media).
#pragma once

#include <memory>

#include "media/TDMediaItem.h"
#include "media/TStreamVoice.h"

namespace zuno {

class TAudioMixer;
class TPcmDecoder;

class TVoiceItem : public TDMediaItem {
public:
    struct TRules {
        bool            HasRepeatPos = false;       // the loop start is kept (Ogg only)
        bool            SeekRearmsEnd = false;      // SetPosition clears the reported end
    };

                        TVoiceItem(TDMediaManager& owner, TAudioMixer& mixer, std::unique_ptr<TPcmDecoder> decoder,
                                   TRules rules);
                        ~TVoiceItem() override;

    bool                GetAutoRepeat() override { return FVoice.repeat(); }
    void                SetAutoRepeat(bool on) override { FVoice.setRepeat(on); }
    int32_t             GetRepeatPos() override;
    void                SetRepeatPos(int32_t ms) override;
    int32_t             GetPan() override { return FVoice.pan(); }
    int32_t             GetVolume() override { return FVoice.volume(); }
    void                SetPan(int32_t p) override { FVoice.setPan(p); }
    void                SetVolume(int32_t v) override { FVoice.setVolume(v); }
    int32_t             GetPosition() override { return FVoice.positionMs(); }
    void                SetPosition(int32_t ms) override;
    int32_t             GetLength() override { return FVoice.lengthMs(); }
    bool                IsEnd() override;
    bool                IsPlaying() override { return FVoice.isPlaying(); }
    bool                IsPaused() override { return FVoice.isPaused(); }
    void                Play() override;
    void                Pause() override { FVoice.pause(); }

private:
    TDMediaManager&     FOwner;
    TAudioMixer&        FMixer;
    TStreamVoice        FVoice;
    TRules              FRules;
    bool                FEndReported = false;
};

} // namespace zuno
