// TZunoSound: a sound or piece of music being played (not on a screen). It
// wraps one media item from the manager of its file's kind and drives it
// through the play-state machine: 0 playing, 1 fading in, 2 stopped (the
// sound deletes itself), 3 fading out (the sound takes a system name at once
// and deletes itself when the fade is over).
#pragma once

#include <memory>
#include <string>

#include "objects/TZunoMixer.h"
#include "objects/TZunoObject.h"
#include "objects/TZunoPlayer.h"

namespace zuno {

class TDMediaItem;
class TZunoMediaSource;

class TZunoSound : public TZunoComponent, public TZunoPlayer {
public:
                        ~TZunoSound() override;
    uint8_t             GetCompoType() const override { return LT_SOUND; }

    const std::string&  Source() const { return FSource; }
    void                SetSource(const std::string& text);
    TDMediaItem*        Item() const { return FItem; }
    TZunoMixer*         Fader() const { return FFader.get(); }
    bool                Ended() const { return FEnded; }

    uint8_t             PlayState() const override { return FState; }
    void                SetPlayState(int32_t state) override;
    void                Replay() override;
    bool                IsPlaying() override;

    TPropValue          GetProp(int id) override;
    void                SetProp(int id, const TPropValue& value) override;

    int                 Update() override;
    void                SaveToStream(TStream& s) override;
    void                LoadFromStream(TStream& s, int32_t version) override;

private:
    TZunoMediaSource*   media() const;
    uint32_t            now() const;
    bool                isMidi() const;
    int32_t             mediaVolume() const;
    void                releaseItem();
    void                startFadein();
    void                applyPause();           // Paused or muted changed
    int32_t             length();               // PR_COUNT

    std::string         FSource;
    uint8_t             FState = psStopped;
    TDMediaItem*        FItem = nullptr;        // owned by its manager
    std::unique_ptr<TZunoMixer> FFader;
    bool                FRepeat = false;
    bool                FPaused = false;
    bool                FMuted = false;         // PR_ANIPAUSED
    int32_t             FRepeatPos = 0;
    int32_t             FVolume = 0;
    int32_t             FBalance = 0;
    int32_t             FDelay = 0;
    int32_t             FResumePos = 0;         // where a (re)start seeks to
    bool                FAutoScrap = false;
    bool                FEnded = false;
    bool                FRewindOnLoad = false;
    bool                FMuteOnLoad = false;
    std::string         FOnPlayEnd;
};

} // namespace zuno
