// The platform without window and sound device (zunoplay --headless). Time is
// virtual: it stands still until the owner calls advanceFrame, which moves it
// by exactly 16 ms, makes the next frame's scripted input available and pulls
// 16 ms of sound from the audio callback (so mixing runs as with a device).
#pragma once

#include <string>
#include <vector>

#include "platform/headless/InputScript.h"
#include "platform/TPlatform.h"

namespace zuno {

constexpr int kHeadlessFrameMs = 16;

class THeadlessPlatform : public TPlatform {
public:
    explicit                THeadlessPlatform(TInputScript input = {});
                            ~THeadlessPlatform() override;

    void                    advanceFrame();                          // frame + 1, clock + 16 ms, 16 ms of sound
    int                     frame() const { return FFrame; }         // frame steps begun, from 1
    int                     presentCount() const { return FPresented; } // presentations that showed something

    bool                    openWindow(const std::string& title, int gameWidth, int gameHeight) override;
    void                    setTitle(const std::string& title) override { FTitle = title; }
    const std::string&      title() const { return FTitle; }
    bool                    present(const TSceneBuffer& scene, const std::vector<TPresentRect>& changed) override;
    void                    setFullScreen(bool on) override { FFullScreen = on; }
    bool                    isFullScreen() const override { return FFullScreen; }
    void                    setScaleMode(TScaleMode) override {}
    void                    warpMouse(int, int) override {}
    void                    setCursorImage(const uint32_t*, int, int, int, int) override {}
    void                    showCursor(bool) override {}

    void                    pollInput(std::vector<TInputEvent>& out) override; // this frame's scripted events, once
    uint32_t                ticks() const override { return FClock; }
    void                    sleep(int) override {}

    TMessageAnswer          messageBox(const std::string& caption, const std::string& text, TMessageButtons buttons,
                                       TMessageIcon icon, TMessageAnswer defaultAnswer) override;

    std::vector<TDisplayMode> displayModes() const override;         // a fixed list of common 32-bit modes at 60 Hz
    int32_t                 desktopDepth() const override { return 32; }

    bool                    openAudio(TAudioCallback callback) override;
    void                    closeAudio() override { FAudioCallback = nullptr; }
    void                    lockAudio() override {}
    void                    unlockAudio() override {}
    bool                    shellOpen(const std::string& target) override;   // reported on standard error only

private:
    TInputScript            FInput;
    int                     FFrame = 0;
    int                     FDelivered = 0;
    uint32_t                FClock = 0;
    int                     FPresented = 0;
    bool                    FFullScreen = false;
    std::string             FTitle;
    TAudioCallback          FAudioCallback;
    int64_t                 FAudioDue = 0;                           // sample frames × 1000 not yet pulled
    std::vector<int16_t>    FAudioBuffer;
};

} // namespace zuno
