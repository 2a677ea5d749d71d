// TZunoVideo: a movie shown by an image control. Its media item comes from
// the video manager; the movie's frames are copied into the control's own
// frame picture when it draws, so the movie is composed with the scene like
// any picture (this platform has no overlays; the Overlay property is kept
// and saved, and switching it reopens the movie at the same place). It shares
// the play-state machine of sounds.
#pragma once

#include <memory>
#include <string>

#include "objects/TZunoCustomImage.h"
#include "objects/TZunoMixer.h"
#include "objects/TZunoPlayer.h"

namespace zuno {

class TVideoItem;
class TZunoMediaSource;

class TZunoVideo : public TZunoCustomImage, public TZunoPlayer {
public:
    // At most this often (ms) the control asks the item whether a new frame came.
    static constexpr uint32_t kRepaintCheckMs = 32;

                        TZunoVideo();
                        ~TZunoVideo() override;
    uint8_t             GetCompoType() const override { return LT_VIDEO; }

    const std::string&  Source() const { return FSource; }
    void                SetSource(const std::string& text);
    std::string         SourceText() override { return FSource; }
    TVideoItem*         Item() const { return FItem; }
    TZunoMixer*         Fader() const { return FFader.get(); }

    uint8_t             PlayState() const override { return FState; }
    void                SetPlayState(int32_t state) override;
    void                Replay() override;
    bool                IsPlaying() override;
    void                Suspend();              // the window lost the focus
    void                Resume();

    bool                ImplementsProperty(int id) const override;
    TPropValue          GetProp(int id) override;
    void                SetProp(int id, const TPropValue& value) override;

    int                 Update() override;
    void                Draw() override;
    void                SaveToStream(TStream& s) override;
    void                LoadFromStream(TStream& s, int32_t version) override;

private:
    TZunoMediaSource*   media() const;
    uint32_t            now() const;
    int32_t             mediaVolume() const;
    void                releaseItem();
    void                endFader();             // the fader freed, a faded-out item released
    bool                running() { return !FPaused && !AniPaused(); }
    void                startFadein();

    std::string         FSource;
    uint8_t             FState = psStopped;
    TVideoItem*         FItem = nullptr;        // owned by the video manager
    TVideoItem*         FFadingItem = nullptr;  // handed to a fade-out; released when it ends
    std::unique_ptr<TDIBX> FFrame;              // the movie's picture at the display depth
    std::unique_ptr<TZunoMixer> FFader;
    bool                FRepeat = false;
    bool                FPaused = false;
    bool                FAutoScrap = false;
    int32_t             FVolume = 0;
    int32_t             FBalance = 0;
    int32_t             FDelay = 0;
    int32_t             FResumePos = 0;
    bool                FEnded = false;         // the end was reported
    bool                FRewindOnLoad = false;
    bool                FMuteOnLoad = false;
    bool                FOverlay = true;
    std::string         FOnPlayEnd;
    uint32_t            FStartTick = 0;
    uint32_t            FCheckTick = 0;         // the last repaint check
};

} // namespace zuno
