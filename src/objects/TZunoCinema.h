// TZunoCinema: the cinema surface (LT_CINEMA), which plays a frame-list film
// at 60 frames per second. A film with transitions, a track on the other
// screen or a background colour plays in a private registry of the control
// (two screens of its own, composed and copied onto the control's screen);
// any other film puts its objects into the global registry as the control's
// children. Time runs from the frame durations; the film loops from its loop
// start (Repeat), or ends: the end event once, or the control deletes itself
// (AutoScrap). Paused stops the time and the film's sounds.
#pragma once

#include <memory>
#include <string>

#include "objects/TZunoControl.h"

namespace zuno {

class TFilmManager;
class TZunoBaseList;

class TZunoCinema : public TZunoControl {
public:
                        TZunoCinema();
                        ~TZunoCinema() override;
    uint8_t             GetCompoType() const override { return LT_CINEMA; }

    const std::string&  Source() const { return FSource; }
    void                SetSource(const std::string& text);
    TFilmManager*       Film() const { return FFilm.get(); }
    TZunoBaseList&      PrivateRegistry() { return *FPrivate; }
    bool                PrivatePlayback() const;
    int32_t             Index() const;
    void                SetIndex(int32_t frame);
    int32_t             Count() const;
    bool                Ended() const { return FEnded; }
    int64_t             Elapsed() const { return FElapsed; }

    bool                ImplementsProperty(int id) const override;
    TPropValue          GetProp(int id) override;
    void                SetProp(int id, const TPropValue& value) override;
    bool                IsPlaying() override;
    int                 Update() override;
    void                Draw() override;
    void                ReleaseSurfaces() override;
    void                RestoreSurfaces() override;
    void                SaveToStream(TStream& s) override;
    void                LoadFromStream(TStream& s, int32_t version) override;

    static constexpr int32_t kFramesPerSecond = 60;

private:
    void                setPaused(bool paused);
    void                setVolume(int32_t volume);
    void                setSize(int32_t width, int32_t height);

    std::string         FSource;
    std::unique_ptr<TFilmManager> FFilm;
    std::unique_ptr<TZunoBaseList> FPrivate;
    int64_t             FElapsed = 0;
    bool                FEnded = false;
    int32_t             FCountdown = 2;
    bool                FRepeat = false;
    bool                FPaused = false;
    bool                FAniPausedSeen = false;
    int32_t             FVolume = 1000;
};

} // namespace zuno
