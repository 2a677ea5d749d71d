#include "platform/headless/HeadlessPlatform.h"

#include <algorithm>
#include <cstdio>

namespace zuno {

// ---------------------------------------------------------------- THeadlessPlatform

THeadlessPlatform::THeadlessPlatform(TInputScript input) : FInput(std::move(input)) {
}

THeadlessPlatform::~THeadlessPlatform() {
    releaseInstanceLock();
}

void THeadlessPlatform::advanceFrame() {
    ++FFrame;
    FClock += kHeadlessFrameMs;
    if (!FAudioCallback)
        return;
    // 16 ms at 44100 Hz is 705.6 sample frames: the fraction is carried over.
    FAudioDue += int64_t(kAudioRate) * kHeadlessFrameMs;
    int frames = static_cast<int>(FAudioDue / 1000);
    FAudioDue -= int64_t(frames) * 1000;
    FAudioBuffer.assign(static_cast<size_t>(frames) * kAudioChannels, 0);
    FAudioCallback(FAudioBuffer.data(), frames);
}

bool THeadlessPlatform::openWindow(const std::string& title, int, int) {
    FTitle = title;
    return true;
}

bool THeadlessPlatform::present(const TSceneBuffer& scene, const std::vector<TPresentRect>& changed) {
    bool shown = std::any_of(changed.begin(), changed.end(), [&](const TPresentRect& r) { return !scene.clip(r).empty(); });
    if (shown)
        ++FPresented;
    return shown;
}

void THeadlessPlatform::pollInput(std::vector<TInputEvent>& out) {
    if (FDelivered == FFrame)
        return;
    FDelivered = FFrame;
    const std::vector<TInputEvent>& events = FInput.eventsAt(FFrame);
    out.insert(out.end(), events.begin(), events.end());
}

TMessageAnswer THeadlessPlatform::messageBox(const std::string& caption, const std::string& text, TMessageButtons,
                                             TMessageIcon, TMessageAnswer defaultAnswer) {
    std::fprintf(stderr, "zunoplay: %s: %s\n", caption.c_str(), text.c_str());
    return defaultAnswer;
}

std::vector<TDisplayMode> THeadlessPlatform::displayModes() const {
    return {{640, 480, 32, 60}, {800, 600, 32, 60}, {1024, 768, 32, 60}, {1280, 720, 32, 60}, {1920, 1080, 32, 60}};
}

bool THeadlessPlatform::openAudio(TAudioCallback callback) {
    FAudioCallback = std::move(callback);
    FAudioDue = 0;
    return true;
}

bool THeadlessPlatform::shellOpen(const std::string& target) {
    std::fprintf(stderr, "zunoplay: open %s\n", target.c_str());
    return true;
}

} // namespace zuno
