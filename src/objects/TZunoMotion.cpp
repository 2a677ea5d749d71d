#include "objects/TZunoMotion.h"

#include <algorithm>
#include <cmath>

namespace zuno {

TZunoMotion::TLoader TZunoMotion::Loader;

// Milliseconds of one frame at 60 frames per second.
static constexpr double kFrameMs = 16.666666666666668;

bool TZunoMotion::Step(TZunoControl& control, int32_t elapsedMs, bool aniPaused, bool repeat, bool moved) {
    // A finished motion keeps its last frame: a control moved by other means
    // is shown there again (relative to its new place), and the end is not
    // reported a second time.
    if (FFinished) {
        if (moved && FFrames->FrameCount() > 0)
            FFrames->Apply(control, FFrame, false);
        return false;
    }
    if (!aniPaused && FCountdown <= 0)
        FElapsed += std::max(elapsedMs, 0);
    const int32_t count = FFrames->FrameCount();
    int64_t frame = std::llround(double(FElapsed) / kFrameMs);
    bool ended = false;
    if (count <= 0) {
        frame = 0;
        FFinished = ended = true;
    } else if (frame >= count) {
        if (repeat) {
            const int64_t loop = std::clamp<int64_t>(FFrames->LoopStart(), 0, count - 1);
            frame = std::min<int64_t>(frame % count + loop, count - 1);
            FElapsed = std::llround(double(frame) * kFrameMs);
        } else {
            frame = count - 1;
            FFinished = ended = true;
        }
    }
    const bool changed = frame != FFrame;
    FFrame = static_cast<int32_t>(frame);
    if (count > 0 && (changed || !FApplied || moved))
        FFrames->Apply(control, FFrame, !FApplied);
    FApplied = true;
    if (FCountdown > 0)
        --FCountdown;
    return ended;
}

} // namespace zuno
