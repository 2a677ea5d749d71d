#include "objects/TZunoCinema.h"

#include <algorithm>
#include <cmath>

#include "archive/TVrFileManager.h"
#include "core/EZunoError.h"
#include "core/StreamFields.h"
#include "objects/TDrelCollection.h"
#include "objects/TFilmManager.h"
#include "objects/TZunoBase.h"
#include "objects/TZunoBaseList.h"

namespace zuno {

namespace {
constexpr double kFrameMs = 1000.0 / TZunoCinema::kFramesPerSecond;

// Rounds halves to even, as the frame counter does.
int64_t roundEven(double v) { return static_cast<int64_t>(std::nearbyint(v)); }
}

TZunoCinema::TZunoCinema() : FPrivate(std::make_unique<TZunoBaseList>()) {}

TZunoCinema::~TZunoCinema() {
    FFilm.reset();          // its tracks schedule their objects for deletion
    FPrivate.reset();
}

bool TZunoCinema::PrivatePlayback() const { return FFilm && FFilm->Registry() == FPrivate.get(); }

void TZunoCinema::SetSource(const std::string& text) {
    Invalidate();
    if (text == FSource)
        return;
    FSource = text;
    FFilm.reset();
    TVrFileManager* files = TDrelCollection::Instance().FileManager();
    if (!text.empty() && files && files->Exists(text)) {
        FFilm = std::make_unique<TFilmManager>();
        FFilm->Volume = FVolume;
        FFilm->GlobalRegistry = FOwner;
        try {
            FFilm->LoadFromFile(*files, text);
        } catch (const EZunoError&) {
            FFilm->Clear();             // a version that is no number: nothing to play
        }
        if (FFilm->NeedsPrivateRegistry() || FFilm->BackColor >= 0) {
            FFilm->SetRegistry(FPrivate.get());
            FFilm->OwnerCinema = nullptr;
        } else {
            FFilm->SetRegistry(FOwner);
            FFilm->OwnerCinema = this;
            setSize(FFilm->ScreenWidth, FFilm->ScreenHeight);
        }
        FFilm->ApplySetup();
        if (PrivatePlayback())
            setSize(FFilm->ScreenWidth, FFilm->ScreenHeight);
    }
    FPrivate->Update(0);
    Invalidate();
    FElapsed = 0;
    FEnded = false;
    FCountdown = 2;
}

void TZunoCinema::setSize(int32_t width, int32_t height) {
    FPrivate->SetSize(width, height);
    SetWidth(FPrivate->Width());
    SetHeight(FPrivate->Height());
}

int32_t TZunoCinema::Index() const { return FFilm ? FFilm->CurrentFrame() : 0; }

void TZunoCinema::SetIndex(int32_t frame) {
    FElapsed = static_cast<int64_t>(frame * 1000.0 / kFramesPerSecond);
    FEnded = false;
    FCountdown = 2;
}

int32_t TZunoCinema::Count() const { return FFilm ? FFilm->Length() : 0; }

bool TZunoCinema::IsPlaying() {
    return FFilm && FFilm->CurrentFrame() < FFilm->Length() - 1 && !FPaused && !AniPaused();
}

void TZunoCinema::setPaused(bool paused) {
    FPaused = paused;
    if (FFilm)
        FFilm->SetPaused(FPaused || AniPaused());
}

void TZunoCinema::setVolume(int32_t volume) {
    FVolume = std::max(volume, 0);
    if (FFilm)
        FFilm->Volume = FVolume;
}

//==============================================================================
// Properties
//==============================================================================

bool TZunoCinema::ImplementsProperty(int id) const {
    switch (id) {
    case PR_SOURCE: case PR_REPEAT: case PR_PAUSED: case PR_VOLUME: case PR_INDEX: case PR_COUNT:
    case PR_PLAYING:
        return true;
    default:
        return TZunoControl::ImplementsProperty(id);
    }
}

TPropValue TZunoCinema::GetProp(int id) {
    switch (id) {
    case PR_SOURCE:  return TPropValue::ofStr(FSource);
    case PR_REPEAT:  return TPropValue::ofBool(FRepeat);
    case PR_PAUSED:  return TPropValue::ofBool(FPaused);
    case PR_VOLUME:  return TPropValue::ofInt(FVolume);
    case PR_INDEX:   return TPropValue::ofInt(Index());
    case PR_COUNT:   return TPropValue::ofInt(Count());
    case PR_PLAYING: return TPropValue::ofBool(IsPlaying());
    case PR_WIDTH:   return TPropValue::ofInt(FPrivate->Width());
    case PR_HEIGHT:  return TPropValue::ofInt(FPrivate->Height());
    default:         return TZunoControl::GetProp(id);
    }
}

void TZunoCinema::SetProp(int id, const TPropValue& v) {
    switch (id) {
    case PR_SOURCE: SetSource(v.Str); return;
    case PR_REPEAT:
        FRepeat = v.Bool;
        if (FRepeat)
            FEnded = false;
        return;
    case PR_PAUSED: setPaused(v.Bool); return;
    case PR_VOLUME: setVolume(v.Int); return;
    case PR_INDEX:  SetIndex(v.Int); return;
    case PR_WIDTH:  setSize(v.Int, FPrivate->Height()); return;
    case PR_HEIGHT: setSize(FPrivate->Width(), v.Int); return;
    case PR_ANIPAUSED:
        TZunoControl::SetProp(id, v);
        if (FFilm)
            FFilm->SetPaused(FPaused || AniPaused());
        return;
    default:
        TZunoControl::SetProp(id, v);
    }
}

//==============================================================================
// Frames
//==============================================================================

int TZunoCinema::Update() {
    if (TZunoControl::Update())
        return 1;
    if (!FFilm)
        return 0;
    FFilm->SetSoundEnabled(!AniPaused() && !FPaused);
    if (FPaused)
        return 0;
    if (!FEnded && !AniPaused() && FCountdown < 1)
        FElapsed += FOwner ? FOwner->FrameElapsed() : 0;
    int64_t c = roundEven(double(FElapsed) / kFrameMs);
    const int32_t length = FFilm->Length();
    if (c >= length) {
        if (!FRepeat) {
            if (AutoScrap())
                return 1;
            if (!FEnded)
                PostEvent(PR_ONPLAYEND);
            FEnded = true;
            c = length - 1;
        } else {
            c = std::min<int64_t>(c % std::max(length, 1) + FFilm->LoopStart, length - 1);
            FElapsed = roundEven(double(c) * 1000.0 / kFramesPerSecond);
        }
    }
    c = std::max<int64_t>(c, 0);
    if (FCountdown == 2 || c != FFilm->CurrentFrame())
        FFilm->Seek(static_cast<int32_t>(c));
    if (FCountdown > 0)
        --FCountdown;

    FPrivate->Update(FOwner ? FOwner->FrameElapsed() : 0);
    if (PrivatePlayback()) {
        TZunoBase* screen = GetBase();
        if (screen) {
            if (FPrivate->TransitionKind() != 0) {
                screen->AddDirtyRect(GetClientRect());
            } else {
                const int32_t x = ScreenLeft(), y = ScreenTop();
                for (const TRect& r : FPrivate->ActiveBase()->DirtyList().Rects())
                    screen->AddDirtyRect(TRect(r.Left + x, r.Top + y, r.Right + x, r.Bottom + y));
            }
        }
    }
    return 0;
}

void TZunoCinema::Draw() {
    if (PrivatePlayback() && Visible()) {
        TZunoBase* screen = GetBase();
        TCustomDIBX* target = GetSurface();
        const int32_t x = ScreenLeft(), y = ScreenTop();
        if (screen)
            for (const TRect& r : screen->DirtyList().Rects())
                FPrivate->ActiveBase()->AddDirtyRect(TRect(r.Left - x, r.Top - y, r.Right - x, r.Bottom - y));
        FPrivate->Draw();
        if (target) {
            TCustomDIBX& out = FPrivate->OutputSurface();
            const TRect saved = target->ClipRect;
            target->ClipRect = intersectRect(GetClientRect(), target->GetDrawableRect());
            if (!target->ClipRect.isEmpty()) {
                std::vector<TRect> rects = FPrivate->PresentRects();
                for (const TRect& r : rects)
                    target->Draw(x + r.Left, y + r.Top, false, false, false, r, out);
            }
            target->ClipRect = saved;
        }
    }
    FPrivate->ClearDirty();
    TZunoControl::Draw();
}

void TZunoCinema::ReleaseSurfaces() {
    FPrivate->ReleaseSurfaces();
    TZunoControl::ReleaseSurfaces();
}

void TZunoCinema::RestoreSurfaces() {
    FPrivate->RestoreSurfaces();
    TZunoControl::RestoreSurfaces();
    if (FFilm && !FPaused)
        FFilm->Seek(FFilm->CurrentFrame());
}

//==============================================================================
// Save record
//==============================================================================

void TZunoCinema::SaveToStream(TStream& s) {
    TZunoControl::SaveToStream(s);
    WriteString(s, FSource);
    WriteBool(s, FRepeat);
    WriteBool(s, FPaused);
    WriteBool(s, AutoScrap());
    WriteString(s, propStr(PR_ONPLAYEND));
    WriteString(s, propStr(PR_ONIDLE));
    WriteInt(s, Index());
    WriteBool(s, propBool(PR_REWINDONLOAD));
    WriteInt(s, FVolume);
    WriteBool(s, propBool(PR_MUTEONLOAD));
    WriteBool(s, FEnded);
}

void TZunoCinema::LoadFromStream(TStream& s, int32_t version) {
    TZunoControl::LoadFromStream(s, version);
    const std::string source = ReadString(s);
    FRepeat = ReadBool(s);
    const bool paused = ReadBool(s);
    TZunoControl::SetProp(PR_AUTOSCRAP, TPropValue::ofBool(ReadBool(s)));
    TZunoControl::SetProp(PR_ONPLAYEND, TPropValue::ofStr(ReadString(s)));
    if (version > 103)
        TZunoControl::SetProp(PR_ONIDLE, TPropValue::ofStr(ReadString(s)));
    int32_t frame = 0;
    bool rewind = false;
    if (version > 116) {
        frame = ReadInt(s);
        rewind = ReadBool(s);
    }
    int32_t volume = FVolume;
    bool mute = false;
    if (version > 128) {
        volume = ReadInt(s);
        mute = ReadBool(s);
    }
    const bool ended = version > 132 ? ReadBool(s) : false;
    TZunoControl::SetProp(PR_REWINDONLOAD, TPropValue::ofBool(rewind));
    TZunoControl::SetProp(PR_MUTEONLOAD, TPropValue::ofBool(mute));
    FSource.clear();
    SetSource(source);
    if (frame > 0 && !rewind)
        SetIndex(frame);
    if (mute)
        volume = 0;
    setVolume(volume);
    setPaused(paused);
    FEnded = ended && !(frame > 0 && !rewind);
}

} // namespace zuno
