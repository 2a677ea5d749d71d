// TZunoCustomImages: an image control that steps through frames.
#include <cmath>

#include "core/StreamFields.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoCustomImage.h"

namespace zuno {

TZunoCustomImages::TLoopWaitEvaluator TZunoCustomImages::LoopWaitEvaluator;

// Milliseconds of one motion frame (60 frames per second).
static constexpr double kMotionFrameMs = 16.666666666666668;

//==============================================================================
// Properties
//==============================================================================

bool TZunoCustomImages::ownsProperty(int id) {
    return id == PR_INDEX || id == PR_COUNT || id == PR_BRIGHTNESS || id == PR_PAUSED;
}

bool TZunoCustomImages::ImplementsProperty(int id) const {
    return ownsProperty(id) || TZunoCustomImage::ImplementsProperty(id);
}

TPropValue TZunoCustomImages::GetProp(int id) {
    switch (id) {
    case PR_INDEX:       return TPropValue::ofInt(FIndex);
    case PR_COUNT:       return TPropValue::ofInt(Count());
    case PR_BRIGHTNESS:  return TPropValue::ofInt(FBrightness);
    case PR_PAUSED:      return TPropValue::ofBool(FPaused);
    default:             return TZunoCustomImage::GetProp(id);
    }
}

void TZunoCustomImages::SetProp(int id, const TPropValue& v) {
    switch (id) {
    case PR_INDEX:       SetIndex(v.Int); return;
    case PR_COUNT:       return;
    case PR_BRIGHTNESS:  SetBrightness(v.Int); return;
    case PR_PAUSED:      SetPaused(v.Bool); return;
    case PR_PRIORITY:
        // A new priority also starts the frame's time afresh.
        TZunoCustomImage::SetProp(id, v);
        FTimeLeft = 0;
        return;
    default:             TZunoCustomImage::SetProp(id, v); return;
    }
}

int32_t TZunoCustomImages::Count() {
    if (TZunoMotion* m = GetMotion())
        return m->Frames().FrameCount();
    TZunoImageList* frames = GetFrames();
    return frames ? frames->Count() : 0;
}

void TZunoCustomImages::SetBrightness(int32_t b) {
    if (b == FBrightness)
        return;
    FBrightness = b;
    TZunoImageList* frames = GetFrames();
    if (frames && frames->IsValidIndex(FIndex)) {
        TZunoImageData& d = frames->Data(FIndex);
        d.SetBrightness(b);
        FImage = d.GetPicture();
    }
    Invalidate();
}

void TZunoCustomImages::SetPaused(bool v) {
    if (v == FPaused)
        return;
    FPaused = v;
    FTimeLeft = 0;
}

bool TZunoCustomImages::IsPlaying() {
    if (TZunoMotion* m = GetMotion())
        return !m->Finished() && !FPaused && !AniPaused();
    if (!Repeat() && FIndex >= Count() - 1 && FTimeLeft < 1)
        return false;
    return !FPaused && !AniPaused();
}

//==============================================================================
// Frames
//==============================================================================

void TZunoCustomImages::AssignPropertyExpression(int id, const TZunoParser& expression) {
    if (id == PR_DELAY)
        FLoopWait.CopyFrom(expression);
}

int32_t TZunoCustomImages::loopWaitValue() {
    if (FLoopWait.Empty() || !LoopWaitEvaluator)
        return 0;
    return LoopWaitEvaluator(FLoopWait);
}

void TZunoCustomImages::showFrame(TZunoImageData& data) {
    data.SetBrightness(FBrightness);
    FImage = data.GetPicture();
    FMask = data.GetMask();
    FTransparentColor = data.Frame().TransparentColor;
}

void TZunoCustomImages::SetIndex(int32_t i) {
    if (i == FIndex)
        return;
    if (TZunoMotion* m = GetMotion()) {
        m->SetElapsed(std::llround(double(i) * kMotionFrameMs));
        return;
    }
    TZunoImageList* frames = GetFrames();
    if (frames && frames->IsValidIndex(FIndex))
        Invalidate();
    else
        FTimeLeft = 0;
    FIndex = i;
    if (!frames || !frames->IsValidIndex(i)) {
        // Outside the frames nothing is shown.
        FImage = nullptr;
        FMask = nullptr;
        return;
    }
    TZunoImageData& d = frames->Data(i);
    showFrame(d);
    FTimeLeft = addClamped(FTimeLeft, d.Frame().Delay);
    if (i == frames->Count() - 1 && frames->Count() > 1)
        FTimeLeft = addClamped(FTimeLeft, loopWaitValue());

    const TRect oldArea = DrawnArea();
    const int32_t oldWidth = FWidth, oldHeight = FHeight;
    RecomputeSize();
    if (FWidth != oldWidth || FHeight != oldHeight) {
        invalidateArea(oldArea);
        Invalidate();
    }
}

int TZunoCustomImages::Update() {
    const int answer = TZunoCustomImage::Update();
    if (answer != 0)
        return answer;
    TZunoImageList* frames = GetFrames();
    if (GetMotion() || !frames || !frames->IsValidIndex(FIndex) || !IsShown() || FPaused || AniPaused())
        return 0;
    if (FTimeLeft > 0)
        FTimeLeft = addClamped(FTimeLeft, -int64_t(FOwner ? FOwner->FrameElapsed() : 0));
    // Every frame shows at least 1 ms and the last frame ends the loop, so
    // one update walks the list at most once.
    while (FTimeLeft < 1) {
        const int32_t last = frames->Count() - 1;
        if (FIndex != last) {
            if (frames->Count() <= 2)
                FTimeLeft = 0;
            SetIndex(FIndex + 1);
        } else {
            if (Repeat()) {
                FTimeLeft = 0;
                SetIndex(0);
            } else if (AutoScrap()) {
                return 1;
            } else {
                PostEvent(PR_ONPLAYEND);
            }
            break;
        }
        // The loop wait may have changed the control.
        if (GetFrames() != frames || !frames->IsValidIndex(FIndex) || GetMotion())
            break;
    }
    return 0;
}

//==============================================================================
// Save record, surfaces
//==============================================================================

void TZunoCustomImages::SaveToStream(TStream& s) {
    TZunoCustomImage::SaveToStream(s);
    WriteInt(s, FTimeLeft);
    WriteInt(s, FIndex);
    WriteInt(s, FBrightness);
    WriteBool(s, FPaused);
    FLoopWait.SaveToStream(s);
}

void TZunoCustomImages::LoadFromStream(TStream& s, int32_t version) {
    TZunoCustomImage::LoadFromStream(s, version);
    FTimeLeft = ReadInt(s);
    // The kinds set the index again once their frames are loaded.
    FLoadedIndex = ReadInt(s);
    FBrightness = ReadInt(s);
    FPaused = ReadBool(s);
    FLoopWait.LoadFromStream(s);
}

void TZunoCustomImages::RestoreSurfaces() {
    TZunoCustomImage::RestoreSurfaces();
    TZunoImageList* frames = GetFrames();
    if (frames && frames->IsValidIndex(FIndex)) {
        frames->RestoreCopies();
        showFrame(frames->Data(FIndex));
    }
}

} // namespace zuno
