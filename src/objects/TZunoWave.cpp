#include "objects/TZunoWave.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

#include "core/StreamFields.h"
#include "objects/TZunoBaseList.h"

namespace zuno {

TZunoWave::TZunoWave() : FSurface(std::make_unique<TDIBXWave>()) {}

TZunoWave::~TZunoWave() = default;

//==============================================================================
// Properties
//==============================================================================

void TZunoWave::SetAmplitude(int32_t v) {
    if (v == FAmplitude)
        return;
    Invalidate();
    FAmplitude = v;
    Invalidate();
}

void TZunoWave::SetWaveLength(int32_t v) { FWaveLength = std::max(1, v); }
void TZunoWave::SetPeriod(int32_t v) { FPeriod = std::max(1, v); }

TPropValue TZunoWave::GetProp(int id) {
    switch (id) {
    case PR_AMP:     return TPropValue::ofInt(FAmplitude);
    case PR_WAVELEN: return TPropValue::ofInt(FWaveLength);
    case PR_DELAY:   return TPropValue::ofInt(FPeriod);
    case PR_ONIDLE:  return TPropValue::ofStr(FOnIdle);
    case PR_PAUSED:  return TPropValue::ofBool(FPaused);
    default:         return TZunoControl::GetProp(id);
    }
}

void TZunoWave::SetProp(int id, const TPropValue& v) {
    switch (id) {
    case PR_AMP:     SetAmplitude(v.Int); return;
    case PR_WAVELEN: SetWaveLength(v.Int); return;
    case PR_DELAY:   SetPeriod(v.Int); return;
    case PR_ONIDLE:  FOnIdle = v.Str; return;
    case PR_PAUSED:  FPaused = v.Bool; return;
    default:
        TZunoControl::SetProp(id, v);
        if (id == PR_WIDTH || id == PR_HEIGHT)
            fitSurface();
        return;
    }
}

bool TZunoWave::IsPlaying() { return !FPaused && !AniPaused(); }

//==============================================================================
// The row-offset surface
//==============================================================================

void TZunoWave::fitSurface() {
    const int32_t rows = std::clamp(FHeight, 0, kMaxRows);
    if (FSurface->Offsets.size() != size_t(rows))
        FSurface->SetSize(FWidth, rows, 32);
    FSurface->FirstRow = ScreenTop();
}

void TZunoWave::PositionChanged() {
    TZunoControl::PositionChanged();
    FSurface->FirstRow = ScreenTop();
}

TCustomDIBX* TZunoWave::ChildSurface() {
    TCustomDIBX* own = GetSurface();
    if (FAmplitude == 0 || !own)
        return own;
    FSurface->SetTarget(own);
    return FSurface.get();
}

void TZunoWave::ExpandDirtyRect(TRect& r) {
    const int64_t a = std::abs(int64_t(FAmplitude));
    r.Left = static_cast<int32_t>(std::max<int64_t>(INT32_MIN, r.Left - a));
    r.Right = static_cast<int32_t>(std::min<int64_t>(INT32_MAX, r.Right + a));
    TZunoControl::ExpandDirtyRect(r);
}

bool TZunoWave::computeOffsets() {
    bool changed = false;
    const double base = 2.0 * std::numbers::pi * FPhase / 256.0;
    const double perRow = 2.0 * std::numbers::pi / FWaveLength;
    for (size_t i = 0; i < FSurface->Offsets.size(); ++i) {
        const double v = std::nearbyint(std::sin(base + double(i) * perRow) * FAmplitude);
        const int32_t o = static_cast<int32_t>(std::clamp(v, double(INT32_MIN), double(INT32_MAX)));
        if (FSurface->Offsets[i] != o) {
            FSurface->Offsets[i] = o;
            changed = true;
        }
    }
    return changed;
}

int TZunoWave::Update() {
    FSurface->SetTarget(GetSurface());
    const int answer = TZunoControl::Update();
    if (answer != 0)
        return answer;
    fitSurface();
    if (AniPaused())
        return 0;
    const int64_t elapsed = FOwner ? std::max(0, FOwner->FrameElapsed()) : 0;
    const int64_t a = elapsed * 256 + FRemainder;
    FRemainder = static_cast<int32_t>(a % FPeriod);
    const int64_t k = a / FPeriod;
    if (k > 0) {
        // Below 0 the phase grows back by 255 (not 256) at a time.
        int64_t phase = int64_t(FPhase) - k;
        if (phase < 0)
            phase += 255 * ((-phase + 254) / 255);
        FPhase = static_cast<int32_t>(phase);
    }
    if (computeOffsets())
        Invalidate();
    return 0;
}

//==============================================================================
// Drawing
//==============================================================================

void TZunoWave::Draw() {
    TCustomDIBX* screen = GetSurface();
    if (!screen || FAmplitude == 0) {
        TZunoControl::Draw();
        return;
    }
    fitSurface();
    FSurface->SetTarget(screen);
    const TRect saved = screen->ClipRect;
    const TRect k = screen->GetDrawableRect();
    FSurface->ClipRect = k;
    // Shifted rows may reach |Amplitude| beyond the wave on either side,
    // inside the area its repaint covers.
    TRect area = GetClientRect();
    const int64_t a = std::abs(int64_t(FAmplitude));
    area.Left = static_cast<int32_t>(std::max<int64_t>(INT32_MIN, area.Left - a));
    area.Right = static_cast<int32_t>(std::min<int64_t>(INT32_MAX, area.Right + a));
    drawChildren(*FSurface, intersectRect(area, k));
    FSurface->ClipRect = TRect();
    screen->ClipRect = saved;
    if (Highlight)
        screen->FrameRectAlpha(GetClientRect(), 2, 128, screen->ColorToPixel(0x0000FF));
}

//==============================================================================
// Save record
//==============================================================================

void TZunoWave::SaveToStream(TStream& s) {
    TZunoControl::SaveToStream(s);
    WriteInt(s, FAmplitude);
    WriteInt(s, FWaveLength);
    WriteInt(s, FPeriod);
    WriteString(s, FOnIdle);
    WriteBool(s, FPaused);
}

void TZunoWave::LoadFromStream(TStream& s, int32_t version) {
    TZunoControl::LoadFromStream(s, version);
    FAmplitude = ReadInt(s);
    // Stored as read, but a wave length or period below 1 would divide by 0.
    SetWaveLength(ReadInt(s));
    SetPeriod(ReadInt(s));
    fitSurface();
    if (version > 103) {
        FOnIdle = ReadString(s);
        FPaused = ReadBool(s);
    }
    FPhase = 0;
    FRemainder = 0;
}

} // namespace zuno
