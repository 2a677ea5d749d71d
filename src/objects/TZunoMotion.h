// The motion a control plays: a frame list (cinema and motion files) stepped
// at 60 frames per second of game time. The frame list itself, what it reads
// and how a frame changes the control, sits behind TMotionFrames; the stepping
// (start countdown, pause, repeat with its loop-start frame, the end) is here.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace zuno {

class TZunoControl;

class TMotionFrames {
public:
    virtual             ~TMotionFrames() = default;
    virtual int32_t     FrameCount() const = 0;
    virtual int32_t     LoopStart() const { return 0; }                 // the frame a repeat goes back to
    // Shows `frame` on the control; `first` on the first step after the
    // motion was loaded or restarted, when it takes its bearings from the
    // control (position, priority).
    virtual void        Apply(TZunoControl& control, int32_t frame, bool first) = 0;
};

class TZunoMotion {
public:
    // Reads a frame list from its text; installed by the frame-list reader.
    // Without one (or when it answers none) a control gets no motion.
    using TLoader = std::function<std::unique_ptr<TMotionFrames>(const std::string& text)>;
    static TLoader      Loader;

    explicit            TZunoMotion(std::unique_ptr<TMotionFrames> frames) : FFrames(std::move(frames)) {}

    void                Restart() { FElapsed = 0; FCountdown = 2; FFinished = false; FApplied = false; }
    // One step; true when the motion has just finished (without repeat).
    bool                Step(TZunoControl& control, int32_t elapsedMs, bool aniPaused, bool repeat, bool moved);

    bool                Finished() const { return FFinished; }
    int32_t             Frame() const { return FFrame; }
    int64_t             Elapsed() const { return FElapsed; }
    void                SetElapsed(int64_t ms) { FElapsed = ms; }      // jumps; the next step shows its frame
    TMotionFrames&      Frames() { return *FFrames; }

private:
    std::unique_ptr<TMotionFrames> FFrames;
    int64_t             FElapsed = 0;
    int32_t             FFrame = 0;
    int32_t             FCountdown = 2;
    bool                FFinished = false;
    bool                FApplied = false;
};

} // namespace zuno
