#include "objects/TZunoSound.h"

#include <algorithm>

#include "core/StreamFields.h"
#include "media/MediaFiles.h"
#include "media/TDMediaItem.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoMediaSource.h"

namespace zuno {

namespace {

// A one-shot sound shorter than this is saved as stopped while it plays.
constexpr int32_t kShortSoundMs = 2999;

} // namespace

TZunoSound::~TZunoSound() { releaseItem(); }

TZunoMediaSource* TZunoSound::media() const { return FOwner ? FOwner->MediaSource : nullptr; }

uint32_t TZunoSound::now() const {
    TZunoMediaSource* m = media();
    return m ? m->Now() : 0;
}

bool TZunoSound::isMidi() const { return mediaKindOf(FSource) == TMediaKind::midi; }

int32_t TZunoSound::mediaVolume() const { return mediaVolumeOf(FVolume, isMidi()); }

void TZunoSound::releaseItem() {
    FFader.reset();
    if (FItem) {
        if (TZunoMediaSource* m = media())
            m->Release(FItem);
        FItem = nullptr;
    }
}

void TZunoSound::startFadein() {
    FFader = std::make_unique<TZunoMixerFadein>(FItem, mediaVolume(), FDelay, isMidi());
}

void TZunoSound::SetSource(const std::string& text) {
    if (text == FSource)
        return;
    releaseItem();
    FSource = text;
    FState = psStopped;
    FPaused = false;
    FResumePos = 0;
    FEnded = false;
}

//==============================================================================
// Play state
//==============================================================================

void TZunoSound::SetPlayState(int32_t state) {
    FFader.reset();
    FEnded = false;
    FState = static_cast<uint8_t>(state);
    if (FState == psStarting && FDelay <= 0)
        FState = psPlaying;

    if (FState == psPlaying || FState == psStarting) {
        if (FItem)
            return;
        TZunoMediaSource* m = media();
        if (!m || (!isCdTrackName(FSource) && !m->HasFile(FSource))) {
            if (FAutoScrap)
                ScheduleDelete();
            return;
        }
        FItem = m->AddSound(FSource);
        if (!FItem)
            return;
        FItem->SetPan(FBalance);
        if (FResumePos > 0)
            FItem->SetPosition(FResumePos);
    } else if (FState == psStopped) {
        if (!FItem)
            return;
        releaseItem();
        FResumePos = 0;
        ScheduleDelete();
        return;
    }

    switch (FState) {
    case psPlaying:
        FItem->SetAutoRepeat(FRepeat);
        FItem->SetRepeatPos(FRepeatPos);
        FItem->SetVolume(mediaVolume());
        if (FPaused)
            FItem->Pause();
        else
            FItem->Play();
        if (FResumePos > 0)
            FItem->SetPosition(FResumePos);
        break;
    case psStarting:
        FItem->SetAutoRepeat(FRepeat);
        FItem->SetRepeatPos(FRepeatPos);
        if (!FPaused)
            startFadein();
        break;
    case psStopping:
        if (FItem) {
            FFader = std::make_unique<TZunoMixerFadeout>(FItem, FDelay, isMidi());
            FResumePos = 0;
            // A system name: the name is free at once and the fading sound is not saved.
            SetName(std::string("\x01SCRAP_") + Name());
        } else {
            ScheduleDelete();
        }
        break;
    default:
        break;
    }
}

void TZunoSound::Replay() {
    FResumePos = 0;
    FPaused = false;
    FEnded = false;
    SetPlayState(psStarting);
    if (!FItem)
        return;
    FFader.reset();
    if (FDelay <= 0) {
        FItem->SetVolume(mediaVolume());
        FItem->SetPosition(0);
        if (!FItem->IsPlaying())
            FItem->Play();
    } else {
        FItem->Pause();
        FItem->SetVolume(-10000);
        FItem->SetPosition(0);
        startFadein();
    }
}

bool TZunoSound::IsPlaying() { return FItem && FItem->IsPlaying(); }

//==============================================================================
// Properties
//==============================================================================

int32_t TZunoSound::length() {
    if (FItem)
        return FItem->GetLength();
    TZunoMediaSource* m = media();
    if (!m || (!isCdTrackName(FSource) && !m->HasFile(FSource)))
        return 0;
    TDMediaItem* probe = m->AddSound(FSource);      // only to read the length
    if (!probe)
        return 0;
    const int32_t n = probe->GetLength();
    m->Release(probe);
    return n;
}

TPropValue TZunoSound::GetProp(int id) {
    switch (id) {
    case PR_SOURCE:         return TPropValue::ofStr(FSource);
    case PR_REPEAT:         return TPropValue::ofBool(FRepeat);
    case PR_PAUSED:         return TPropValue::ofBool(FPaused);
    case PR_ANIPAUSED:      return TPropValue::ofBool(FMuted);
    case PR_REPEATPOS:      return TPropValue::ofInt(FRepeatPos);
    case PR_VOLUME:         return TPropValue::ofInt(FVolume);
    case PR_BALANCE:        return TPropValue::ofInt(FBalance);
    case PR_DELAY:          return TPropValue::ofInt(FDelay);
    case PR_AUTOSCRAP:      return TPropValue::ofBool(FAutoScrap);
    case PR_REWINDONLOAD:   return TPropValue::ofBool(FRewindOnLoad);
    case PR_MUTEONLOAD:     return TPropValue::ofBool(FMuteOnLoad);
    case PR_ONPLAYEND:      return TPropValue::ofStr(FOnPlayEnd);
    case PR_INDEX:          return TPropValue::ofInt(FItem ? FItem->GetPosition() : 0);
    case PR_COUNT:          return TPropValue::ofInt(length());
    case PR_PLAYING:        return TPropValue::ofBool(IsPlaying());
    default:                return TZunoComponent::GetProp(id);
    }
}

void TZunoSound::applyPause() {
    if (!FItem)
        return;
    if (FPaused || FMuted) {
        FItem->Pause();
        FItem->SetVolume(-10000);
    } else if (FState == psStarting) {
        startFadein();
    } else {
        FItem->SetVolume(mediaVolume());
        FItem->Play();
    }
}

void TZunoSound::SetProp(int id, const TPropValue& value) {
    switch (id) {
    case PR_SOURCE:
        SetSource(value.Str);
        return;
    case PR_PAUSED:
    case PR_ANIPAUSED: {
        bool& flag = id == PR_PAUSED ? FPaused : FMuted;
        if (flag == value.Bool)
            return;
        flag = value.Bool;
        applyPause();
        return;
    }
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
    case PR_REPEAT: {
        const bool turnedOn = value.Bool && !FRepeat;
        FRepeat = value.Bool;
        if (!FItem)
            return;
        FItem->SetAutoRepeat(FRepeat);
        if (turnedOn && !FPaused && int64_t(FItem->GetPosition()) >= int64_t(FItem->GetLength()) - 1) {
            FItem->SetPosition(0);
            FItem->Play();
            FEnded = false;
        }
        return;
    }
    case PR_REPEATPOS:
        FRepeatPos = value.Int;
        if (FItem)
            FItem->SetRepeatPos(FRepeatPos);
        return;
    case PR_INDEX:
        FResumePos = value.Int;
        FEnded = false;
        if (FItem) {
            FItem->SetPosition(value.Int);
            if (!FPaused && !FItem->IsPlaying())
                FItem->Play();
        }
        return;
    case PR_DELAY:          FDelay = value.Int; return;
    case PR_AUTOSCRAP:      FAutoScrap = value.Bool; return;
    case PR_REWINDONLOAD:   FRewindOnLoad = value.Bool; return;
    case PR_MUTEONLOAD:     FMuteOnLoad = value.Bool; return;
    case PR_ONPLAYEND:      FOnPlayEnd = value.Str; return;
    case PR_COUNT:
    case PR_PLAYING:        return;
    default:                TZunoComponent::SetProp(id, value); return;
    }
}

//==============================================================================
// Update
//==============================================================================

int TZunoSound::Update() {
    if (FItem && FItem->IsEnd()) {
        if (FRepeat) {
            FItem->SetPosition(0);
            FItem->Play();
        } else if (!FEnded) {
            // The end is reported once: the item may go on answering it.
            FEnded = true;
            if (FAutoScrap)
                return 1;
            if (!FOnPlayEnd.empty())
                PostEvent(PR_ONPLAYEND);
        }
    }
    if (FFader && FFader->Step(now())) {
        const bool fadedOut = dynamic_cast<TZunoMixerFadeout*>(FFader.get()) != nullptr;
        FFader.reset();
        if (fadedOut)
            return 1;
    }
    return 0;
}

//==============================================================================
// Save record
//==============================================================================

void TZunoSound::SaveToStream(TStream& s) {
    TZunoComponent::SaveToStream(s);
    WriteString(s, FSource);
    WriteBool(s, FRepeat);
    WriteBool(s, FAutoScrap);
    WriteBool(s, FPaused);
    WriteBool(s, FMuted);
    WriteBool(s, FEnded);
    WriteInt(s, FVolume);
    WriteInt(s, FBalance);
    WriteInt(s, FDelay);
    WriteInt(s, FItem ? FItem->GetPosition() : 0);
    uint8_t state = FState;
    if (!FRepeat && state != psStopped && state != psStopping && length() <= kShortSoundMs)
        state = psStopped;                          // a short one-shot effect is not resumed
    WriteByte(s, state);
    WriteString(s, FOnPlayEnd);
    WriteBool(s, FRewindOnLoad);
    WriteBool(s, FMuteOnLoad);
    WriteInt(s, FRepeatPos);
}

void TZunoSound::LoadFromStream(TStream& s, int32_t version) {
    TZunoComponent::LoadFromStream(s, version);
    const std::string source = ReadString(s);
    const bool repeat = ReadBool(s);
    const bool autoScrap = ReadBool(s);
    const bool paused = ReadBool(s);
    const bool muted = ReadBool(s);
    const bool ended = ReadBool(s);
    const int32_t volume = ReadInt(s);
    const int32_t balance = ReadInt(s);
    const int32_t delay = ReadInt(s);
    const int32_t position = ReadInt(s);
    const uint8_t state = ReadByte(s);
    FOnPlayEnd = ReadString(s);
    FRewindOnLoad = version > 107 ? ReadBool(s) : false;
    FMuteOnLoad = version > 128 ? ReadBool(s) : false;
    FRepeatPos = version > 137 ? ReadInt(s) : 0;

    FRepeat = repeat;
    FAutoScrap = autoScrap;
    FVolume = FMuteOnLoad ? 0 : volume;
    FBalance = std::clamp(balance, -10000, 10000);
    SetSource(source);
    FResumePos = FRewindOnLoad ? 0 : position;
    FPaused = paused;
    FMuted = muted;
    FEnded = ended;
    if (state == psStopping) {
        FDelay = 0;
        SetPlayState(psPlaying);
    }
    FDelay = delay;
    if (ended)
        FState = state;
    else
        SetPlayState(state);
    FEnded = ended;
    if (FPaused || FMuted)
        applyPause();
}

} // namespace zuno
