#include "objects/TZunoVideo.h"

#include <algorithm>

#include "core/StreamFields.h"
#include "media/TDMediaItem.h"
#include "objects/TDrelCollection.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoMediaSource.h"

namespace zuno {

TZunoVideo::TZunoVideo() = default;

TZunoVideo::~TZunoVideo() {
    endFader();
    if (FItem)
        if (TZunoMediaSource* m = media())
            m->Release(FItem);
}

void TZunoVideo::endFader() {
    FFader.reset();
    if (FFadingItem)
        if (TZunoMediaSource* m = media())
            m->Release(FFadingItem);
    FFadingItem = nullptr;
}

TZunoMediaSource* TZunoVideo::media() const { return FOwner ? FOwner->MediaSource : nullptr; }

uint32_t TZunoVideo::now() const {
    TZunoMediaSource* m = media();
    return m ? m->Now() : 0;
}

int32_t TZunoVideo::mediaVolume() const { return mediaVolumeOf(FVolume, false); }

void TZunoVideo::releaseItem() {
    if (FItem) {
        Invalidate();
        if (TZunoMediaSource* m = media())
            m->Release(FItem);
        FItem = nullptr;
    }
    SetImage(nullptr);
    FFrame.reset();
}

void TZunoVideo::startFadein() {
    FFader = std::make_unique<TZunoMixerFadein>(FItem, mediaVolume(), FDelay, false);
}

void TZunoVideo::SetSource(const std::string& text) {
    if (text == FSource)
        return;
    FSource = text;
    endFader();
    releaseItem();
    FState = psStopped;
}

//==============================================================================
// Play state
//==============================================================================

void TZunoVideo::SetPlayState(int32_t state) {
    endFader();
    FState = static_cast<uint8_t>(state);
    FEnded = false;
    if (FState == psPlaying || FState == psStarting) {
        if (FItem)
            return;
        TZunoMediaSource* m = media();
        if (!m || !m->HasFile(FSource))
            return;
        // Movies are always drawn into the scene here.
        FItem = m->AddVideo(FSource, true);
        if (!FItem)
            return;
        FItem->SetAutoRepeat(FRepeat);
        const int32_t w = FItem->GetSourceWidth(), h = FItem->GetSourceHeight();
        FFrame = std::make_unique<TDIBX>(std::max(1, w), std::max(1, h), TDrelCollection::Instance().DisplayBits);
        FFrame->Fill(0);
        SetImage(FFrame.get());
        SetBounds(Left(), Top(), int32_t(int64_t(w) * FZoomX / 256), int32_t(int64_t(h) * FZoomY / 256));
        Invalidate();
        FItem->SetPan(FBalance);
        FStartTick = now();
        FCheckTick = FStartTick;
    } else if (FState == psStopped) {
        if (FItem)
            releaseItem();
        FResumePos = 0;
    }

    switch (FState) {
    case psStarting:
        if (FItem && running())
            startFadein();
        break;
    case psStopping:
        if (FItem) {
            // The fader takes the item; the movie forgets it and gives it
            // back to the manager when the fade ends.
            FFader = std::make_unique<TZunoMixerFadeout>(FItem, FDelay, false);
            FFadingItem = FItem;
            FItem = nullptr;                        // the last frame stays shown
            FResumePos = 0;
        } else {
            ScheduleDelete();
        }
        break;
    case psPlaying:
        if (FItem) {
            FItem->SetVolume(mediaVolume());
            FItem->Play();
            if (!running())
                FItem->Pause();
            if (FResumePos >= 1)
                FItem->SetPosition(FResumePos);
        }
        break;
    default:
        break;
    }
}

void TZunoVideo::Replay() {
    FResumePos = 0;
    FPaused = false;
    SetPlayState(psStarting);
    if (!FItem)
        return;
    endFader();
    if (FDelay > 0) {
        FItem->Pause();
        FItem->SetVolume(-10000);
        FItem->SetPosition(0);
        startFadein();
    } else {
        FItem->SetVolume(mediaVolume());
        FItem->SetPosition(0);
        if (FItem->IsPaused())
            FItem->Play();
    }
}

bool TZunoVideo::IsPlaying() { return FItem && FItem->IsPlaying(); }

void TZunoVideo::Suspend() {
    if (FItem && running() && (FState == psPlaying || FState == psStarting))
        FItem->Pause();
}

void TZunoVideo::Resume() {
    if (FItem && running() && (FState == psPlaying || FState == psStarting))
        FItem->Play();
}

//==============================================================================
// Properties
//==============================================================================

bool TZunoVideo::ImplementsProperty(int id) const {
    switch (id) {
    case PR_SOURCE: case PR_REPEAT: case PR_PAUSED: case PR_AUTOSCRAP: case PR_VOLUME: case PR_BALANCE:
    case PR_DELAY: case PR_ONPLAYEND: case PR_REWINDONLOAD: case PR_MUTEONLOAD: case PR_OVERLAY:
    case PR_INDEX: case PR_COUNT: case PR_PLAYING:
        return true;
    default:
        return TZunoCustomImage::ImplementsProperty(id);
    }
}

TPropValue TZunoVideo::GetProp(int id) {
    switch (id) {
    case PR_SOURCE:         return TPropValue::ofStr(FSource);
    case PR_REPEAT:         return TPropValue::ofBool(FRepeat);
    case PR_PAUSED:         return TPropValue::ofBool(FPaused);
    case PR_AUTOSCRAP:      return TPropValue::ofBool(FAutoScrap);
    case PR_VOLUME:         return TPropValue::ofInt(FVolume);
    case PR_BALANCE:        return TPropValue::ofInt(FBalance);
    case PR_DELAY:          return TPropValue::ofInt(FDelay);
    case PR_ONPLAYEND:      return TPropValue::ofStr(FOnPlayEnd);
    case PR_REWINDONLOAD:   return TPropValue::ofBool(FRewindOnLoad);
    case PR_MUTEONLOAD:     return TPropValue::ofBool(FMuteOnLoad);
    case PR_OVERLAY:        return TPropValue::ofBool(FOverlay);
    case PR_INDEX:          return TPropValue::ofInt(FItem ? FItem->GetPosition() : 0);
    case PR_COUNT:          return TPropValue::ofInt(FItem ? FItem->GetLength() : 0);
    case PR_PLAYING:        return TPropValue::ofBool(IsPlaying());
    default:                return TZunoCustomImage::GetProp(id);
    }
}

void TZunoVideo::SetProp(int id, const TPropValue& value) {
    switch (id) {
    case PR_SOURCE:
        SetSource(value.Str);
        return;
    case PR_PAUSED:
    case PR_ANIPAUSED: {
        const bool was = running();
        if (id == PR_PAUSED)
            FPaused = value.Bool;
        else
            TZunoCustomImage::SetProp(id, value);
        if (!FItem || was == running())
            return;
        if (!running())
            FItem->Pause();
        else if (FState == psStarting)
            startFadein();
        else
            FItem->Play();
        return;
    }
    case PR_REPEAT:
        FRepeat = value.Bool;
        if (FItem)
            FItem->SetAutoRepeat(FRepeat);
        return;
    case PR_VOLUME:
        FVolume = value.Int;
        if (FItem)
            FItem->SetVolume(mediaVolume());
        return;
    case PR_BALANCE:
        FBalance = std::clamp(value.Int, -10000, 10000);
        if (FItem)
            FItem->SetPan(FBalance);
        return;
    case PR_OVERLAY:
        if (FOverlay == value.Bool)
            return;
        FOverlay = value.Bool;
        if (FItem) {
            // Reopened in the other mode at the same place.
            const int32_t position = FItem->GetPosition();
            SetPlayState(psStopped);
            FResumePos = position;
            SetPlayState(psPlaying);
        }
        return;
    case PR_INDEX:
        FResumePos = value.Int;
        FEnded = false;
        if (FItem)
            FItem->SetPosition(value.Int);
        return;
    case PR_AUTOSCRAP:      FAutoScrap = value.Bool; return;
    case PR_DELAY:          FDelay = value.Int; return;
    case PR_ONPLAYEND:      FOnPlayEnd = value.Str; return;
    case PR_REWINDONLOAD:   FRewindOnLoad = value.Bool; return;
    case PR_MUTEONLOAD:     FMuteOnLoad = value.Bool; return;
    case PR_COUNT:
    case PR_PLAYING:        return;
    default:                TZunoCustomImage::SetProp(id, value); return;
    }
}

//==============================================================================
// Update and drawing
//==============================================================================

int TZunoVideo::Update() {
    const int answer = TZunoCustomImage::Update();
    if (FItem) {
        const uint32_t t = now();
        if (t - FCheckTick >= kRepaintCheckMs) {
            FCheckTick = t;
            if (FItem->NeedPaint())
                Invalidate();
        }
        if (FItem->IsEnd() && !FRepeat) {
            if (FAutoScrap) {
                ScheduleDelete();
            } else if (!FEnded) {
                // The end is reported once: the item may go on answering it.
                FEnded = true;
                if (!FOnPlayEnd.empty())
                    PostEvent(PR_ONPLAYEND);
            }
        } else if (!FItem->IsEnd()) {
            FEnded = false;
        }
    }
    if (FFader && FFader->Step(now())) {
        const bool fadedOut = dynamic_cast<TZunoMixerFadeout*>(FFader.get()) != nullptr;
        endFader();
        if (fadedOut) {
            Invalidate();
            return 1;
        }
    }
    return answer;
}

void TZunoVideo::Draw() {
    if (FItem && FFrame) {
        if (TDIBX* frame = FItem->GetFrame()) {
            const int32_t w = std::min(frame->GetWidth(), FFrame->GetWidth());
            const int32_t h = std::min(frame->GetHeight(), FFrame->GetHeight());
            FFrame->Draw(0, 0, false, false, false, TRect(0, 0, w, h), *frame);
            FItem->FramePainted();
        }
    }
    TZunoCustomImage::Draw();
}

//==============================================================================
// Save record
//==============================================================================

void TZunoVideo::SaveToStream(TStream& s) {
    TZunoCustomImage::SaveToStream(s);
    WriteString(s, FSource);
    WriteBool(s, FRepeat);
    WriteBool(s, FAutoScrap);
    WriteBool(s, FPaused);
    WriteInt(s, FVolume);
    WriteInt(s, FBalance);
    WriteInt(s, FDelay);
    WriteInt(s, FItem ? FItem->GetPosition() : 0);
    WriteByte(s, FState);
    WriteString(s, FOnPlayEnd);
    WriteString(s, propStr(PR_ONIDLE));
    WriteBool(s, FRewindOnLoad);
    WriteBool(s, FOverlay);
    WriteBool(s, FMuteOnLoad);
}

void TZunoVideo::LoadFromStream(TStream& s, int32_t version) {
    TZunoCustomImage::LoadFromStream(s, version);
    const std::string source = ReadString(s);
    FRepeat = ReadBool(s);
    FAutoScrap = ReadBool(s);
    const bool paused = ReadBool(s);
    const int32_t volume = ReadInt(s);
    FBalance = std::clamp(ReadInt(s), -10000, 10000);
    const int32_t delay = ReadInt(s);
    const int32_t position = ReadInt(s);
    const uint8_t state = ReadByte(s);
    FOnPlayEnd = ReadString(s);
    SetProp(PR_ONIDLE, TPropValue::ofStr(ReadString(s)));
    FRewindOnLoad = version > 107 ? ReadBool(s) : false;
    FOverlay = version >= 112 ? ReadBool(s) : true;
    FMuteOnLoad = version > 128 ? ReadBool(s) : false;

    FVolume = FMuteOnLoad ? 0 : volume;
    SetSource(source);
    FResumePos = FRewindOnLoad ? 0 : position;
    FPaused = paused;
    if (state == psStopping) {
        FDelay = 0;
        SetPlayState(psPlaying);
    }
    FDelay = delay;
    SetPlayState(state);
    if (FItem && !running())
        FItem->Pause();
}

} // namespace zuno
