#include "objects/TZunoSlider.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "core/StreamFields.h"
#include "imaging/TCustomDIBX.h"
#include "objects/TZunoBase.h"
#include "objects/TZunoBaseList.h"

namespace zuno {

namespace {

int32_t clampInt(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// Each of the colour's three channels times f / 256.
int32_t scaledColor(int32_t colour, int32_t f) {
    auto ch = [&](int shift) { return ((int64_t(colour) >> shift & 0xFF) * f / 256) << shift; };
    return static_cast<int32_t>(ch(0) | ch(8) | ch(16));
}

bool drawsAtAll(int32_t alpha) { return alpha > 0 && alpha < 512; }

// A rectangle in a colour by the alpha rule.
void fillByAlpha(TCustomDIBX& s, const TRect& r, int32_t colour, int32_t alpha) {
    if (r.isEmpty() || !drawsAtAll(alpha))
        return;
    if (alpha > 255)
        s.FillRectAdd(r, s.ColorToPixel(scaledColor(colour, alpha - 256)));
    else if (alpha == 255)
        s.FillRect(r, s.ColorToPixel(colour));
    else
        s.FillRectAlpha(r, s.ColorToPixel(colour), alpha);
}

// The part src of a picture at (x, y) by the alpha rule.
void drawByAlpha(TCustomDIBX& s, int32_t x, int32_t y, const TRect& src, TCustomDIBX& picture, TCustomDIBX* mask,
                 int32_t alpha) {
    if (src.isEmpty() || !drawsAtAll(alpha))
        return;
    const bool keyed = picture.TransparentColor != -1;
    const int32_t add = std::min(alpha - 256, 255);
    if (mask) {
        if (alpha < 255)
            s.DrawAlphaMask(x, y, alpha, *mask, false, false, src, picture);
        else if (alpha == 255)
            s.DrawMask(x, y, *mask, false, false, src, picture);
        else
            s.DrawAddMask(x, y, add, *mask, false, false, src, picture);
    } else {
        if (alpha < 255)
            s.DrawAlpha(x, y, alpha, false, false, keyed, src, picture);
        else if (alpha == 255)
            s.Draw(x, y, false, false, keyed, src, picture);
        else
            s.DrawAdd(x, y, add, false, false, src, picture);
    }
}

// A rectangle given along/across an axis, as (x, y) rectangle.
TRect axisRect(bool vertical, int64_t along, int64_t length, int64_t across, int64_t thickness) {
    if (vertical)
        return TRect(clampInt(across), clampInt(along), clampInt(across + thickness), clampInt(along + length));
    return TRect(clampInt(along), clampInt(across), clampInt(along + length), clampInt(across + thickness));
}

TRect offsetBy(const TRect& r, int64_t dx, int64_t dy) {
    return TRect(clampInt(r.Left + dx), clampInt(r.Top + dy), clampInt(r.Right + dx), clampInt(r.Bottom + dy));
}

// How long a step part is held before it repeats, and how often it then does.
constexpr int32_t kHoldDelayMs = 400;
constexpr int32_t kHoldIntervalMs = 50;

// Virtual-key codes the value controls answer.
constexpr int kVkPrior = 33, kVkNext = 34, kVkEnd = 35, kVkHome = 36, kVkLeft = 37, kVkUp = 38, kVkRight = 39,
              kVkDown = 40;

} // namespace

//==============================================================================
// TValuePicture
//==============================================================================

void TValuePicture::Load(const std::string& name) {
    if (name == FName)
        return;
    FName = name;
    FFrames.Clear();
    if (!name.empty())
        FFrames.Load(name);
}

TCustomDIBX* TValuePicture::Picture() {
    if (FFrames.Count() == 0)
        return nullptr;
    TCustomDIBX* p = FFrames.Data(0).GetPicture();
    return p && !p->IsEmpty() ? p : nullptr;
}

TCustomDIBX* TValuePicture::Mask() { return FFrames.Count() == 0 ? nullptr : FFrames.Data(0).GetMask(); }

//==============================================================================
// TZunoSlider: properties
//==============================================================================

TZunoSlider::TZunoSlider() {
    FColor = 0xC0C0C0;
    FHandleKey = true;
}

void TZunoSlider::SetMin(int32_t v) {
    if (v == FMin)
        return;
    FMin = v;
    FMax = std::max(FMax, FMin);
    FValue = std::clamp(FValue, FMin, FMax);
    Invalidate();
}

void TZunoSlider::SetMax(int32_t v) {
    if (v == FMax)
        return;
    FMax = v;
    FMin = std::min(FMin, FMax);
    FValue = std::clamp(FValue, FMin, FMax);
    Invalidate();
}

void TZunoSlider::SetValue(int32_t v) {
    v = std::clamp(v, FMin, FMax);
    if (v == FValue)
        return;
    FValue = v;
    Invalidate();
}

void TZunoSlider::SetOrientation(int32_t v) {
    if (v == FOrientation)
        return;
    FOrientation = v;
    Invalidate();
}

void TZunoSlider::UserSetValue(int64_t v) {
    const int32_t clamped = static_cast<int32_t>(std::clamp<int64_t>(v, FMin, FMax));
    if (clamped == FValue)
        return;
    SetValue(clamped);
    PostEvent(PR_ONNOTIFY);
}

TPropValue TZunoSlider::GetProp(int id) {
    switch (id) {
    case PR_SOURCE:       return TPropValue::ofStr(FTrack.Name());
    case PR_THUMBSOURCE:  return TPropValue::ofStr(FThumb.Name());
    case PR_BUTTONSOURCE: return TPropValue::ofStr(FButtons.Name());
    case PR_ALPHA:        return TPropValue::ofInt(FAlpha);
    case PR_PAUSED:       return TPropValue::ofBool(FPaused);
    case PR_CAPTUREMASK:  return TPropValue::ofBool(FCaptureMask);
    case PR_ONNOTIFY:     return TPropValue::ofStr(FOnNotify);
    case PR_ONIDLE:       return TPropValue::ofStr(FOnIdle);
    case PR_ONHOLD:       return TPropValue::ofStr(FOnHold);
    case PR_ONRELEASE:    return TPropValue::ofStr(FOnRelease);
    case PR_MIN:          return TPropValue::ofInt(FMin);
    case PR_MAX:          return TPropValue::ofInt(FMax);
    case PR_VALUE:        return TPropValue::ofInt(FValue);
    case PR_ORIENTATION:  return TPropValue::ofInt(FOrientation);
    case PR_SMALLCHANGE:  return TPropValue::ofInt(FSmallChange);
    case PR_LARGECHANGE:  return TPropValue::ofInt(FLargeChange);
    case PR_BARSIZE:      return TPropValue::ofInt(FBarSize);
    default:              return TZunoControl::GetProp(id);
    }
}

void TZunoSlider::SetProp(int id, const TPropValue& v) {
    auto invalidating = [this](auto fn) { Invalidate(); fn(); Invalidate(); };
    switch (id) {
    case PR_SOURCE:       invalidating([&] { FTrack.Load(v.Str); }); return;
    case PR_THUMBSOURCE:  invalidating([&] { FThumb.Load(v.Str); }); return;
    case PR_BUTTONSOURCE: invalidating([&] { FButtons.Load(v.Str); }); return;
    case PR_ALPHA:        invalidating([&] { FAlpha = v.Int; }); return;
    case PR_PAUSED:       FPaused = v.Bool; return;
    case PR_CAPTUREMASK:  FCaptureMask = v.Bool; return;
    case PR_ONNOTIFY:     FOnNotify = v.Str; return;
    case PR_ONIDLE:       FOnIdle = v.Str; return;
    case PR_ONHOLD:       FOnHold = v.Str; return;
    case PR_ONRELEASE:    FOnRelease = v.Str; return;
    case PR_MIN:          SetMin(v.Int); return;
    case PR_MAX:          SetMax(v.Int); return;
    case PR_VALUE:        SetValue(v.Int); return;
    case PR_ORIENTATION:  SetOrientation(v.Int); return;
    case PR_SMALLCHANGE:  FSmallChange = v.Int; return;
    case PR_LARGECHANGE:  FLargeChange = v.Int; return;
    case PR_BARSIZE:      invalidating([&] { FBarSize = v.Int; }); return;
    default:              TZunoControl::SetProp(id, v); return;
    }
}

//==============================================================================
// TZunoSlider: geometry
//==============================================================================

int32_t TZunoSlider::ButtonLength() {
    if (!HasButtons())
        return 0;
    return std::clamp(CrossLength(), 0, std::max(0, AxisLength() / 2));
}

int32_t TZunoSlider::ThumbLength() {
    const int32_t track = std::max(0, AxisLength() - 2 * ButtonLength());
    int32_t t = FBarSize;
    if (t <= 0) {
        TCustomDIBX* p = FThumb.Picture();
        t = p ? (Vertical() ? p->GetHeight() : p->GetWidth()) : CrossLength();
    }
    return std::clamp(t, std::min(1, track), track);
}

int32_t TZunoSlider::ThumbPos() {
    const int64_t b = ButtonLength();
    const int64_t room = std::max<int64_t>(0, int64_t(AxisLength()) - 2 * b - ThumbLength());
    const int64_t range = int64_t(FMax) - FMin;
    if (range <= 0)
        return clampInt(b);
    return clampInt(b + (int64_t(FValue) - FMin) * room / range);
}

int32_t TZunoSlider::ValueAt(int32_t thumbPos) {
    const int64_t b = ButtonLength();
    const int64_t room = std::max<int64_t>(0, int64_t(AxisLength()) - 2 * b - ThumbLength());
    const int64_t range = int64_t(FMax) - FMin;
    if (room <= 0 || range <= 0)
        return FMin;
    const int64_t along = std::clamp<int64_t>(thumbPos - b, 0, room);
    return clampInt(FMin + (along * range + room / 2) / room);
}

TZunoSlider::TPart TZunoSlider::partAt(int32_t along) {
    const int32_t a = AxisLength(), b = ButtonLength();
    if (along < 0 || along >= a)
        return TPart::none;
    if (along < b)
        return TPart::decrease;
    if (along >= a - b)
        return TPart::increase;
    const int32_t t = ThumbPos();
    if (along < t)
        return TPart::trackBefore;
    if (along >= t + ThumbLength())
        return TPart::trackAfter;
    return TPart::thumb;
}

int32_t TZunoSlider::mouseAlong() {
    TZunoBase* base = GetBase();
    if (!base)
        return -1;
    return clampInt(Vertical() ? int64_t(base->Input.MouseY) - ScreenTop() : int64_t(base->Input.MouseX) - ScreenLeft());
}

void TZunoSlider::stepPart(TPart part) {
    const int64_t v = FValue;
    switch (part) {
    case TPart::decrease:    UserSetValue(v - FSmallChange); break;
    case TPart::increase:    UserSetValue(v + FSmallChange); break;
    case TPart::trackBefore: UserSetValue(v - TrackStep()); break;
    case TPart::trackAfter:  UserSetValue(v + TrackStep()); break;
    default:                 break;
    }
}

//==============================================================================
// TZunoSlider: input
//==============================================================================

void TZunoSlider::DoLBtnDown() {
    TZunoControl::DoLBtnDown();
    TZunoBase* base = GetBase();
    if (!base || !(base->Capture & TZunoBase::kCaptureLeft) || FPaused)
        return;
    const int32_t along = mouseAlong();
    FPressed = partAt(along);
    FHeldMs = 0;
    if (FPressed == TPart::thumb) {
        FGrab = along - ThumbPos();
        PostEvent(PR_ONHOLD);
    } else {
        stepPart(FPressed);
    }
}

void TZunoSlider::DoLBtnUp() {
    const TPart was = std::exchange(FPressed, TPart::none);
    TZunoControl::DoLBtnUp();
    if (was == TPart::thumb)
        PostEvent(PR_ONRELEASE);
}

void TZunoSlider::DoMouseMove() {
    TZunoControl::DoMouseMove();
    if (FPressed == TPart::thumb)
        UserSetValue(ValueAt(clampInt(int64_t(mouseAlong()) - FGrab)));
}

void TZunoSlider::DoMouseHeld() {
    if (FPressed == TPart::none || FPressed == TPart::thumb || !FOwner)
        return;
    // A held button or track repeats its step; the track stops once the
    // thumb has reached the mouse.
    // Repeats due after t ms held: one at the delay, then one per interval.
    auto repeats = [](int64_t t) { return t < kHoldDelayMs ? 0 : (t - kHoldDelayMs) / kHoldIntervalMs + 1; };
    const int32_t before = FHeldMs;
    FHeldMs = addClamped(FHeldMs, std::max(0, FOwner->FrameElapsed()));
    const int64_t due = std::min<int64_t>(repeats(FHeldMs) - repeats(before), int64_t(FMax) - FMin + 1);
    const bool track = FPressed == TPart::trackBefore || FPressed == TPart::trackAfter;
    for (int64_t i = 0; i < due; ++i) {
        if (track && partAt(mouseAlong()) != FPressed)
            break;
        stepPart(FPressed);
    }
}

void TZunoSlider::DoWheelDown() {
    TZunoControl::DoWheelDown();
    if (!FPaused)
        UserSetValue(int64_t(FValue) + FSmallChange);
}

void TZunoSlider::DoWheelUp() {
    TZunoControl::DoWheelUp();
    if (!FPaused)
        UserSetValue(int64_t(FValue) - FSmallChange);
}

void TZunoSlider::FireKeyRepeat(const std::vector<std::string>& codes) {
    for (const std::string& text : codes) {
        const int64_t v = FValue;
        switch (std::atoi(text.c_str())) {
        case kVkLeft: case kVkUp:    UserSetValue(v - FSmallChange); break;
        case kVkRight: case kVkDown: UserSetValue(v + FSmallChange); break;
        case kVkPrior:               UserSetValue(v - FLargeChange); break;
        case kVkNext:                UserSetValue(v + FLargeChange); break;
        case kVkHome:                UserSetValue(FMin); break;
        case kVkEnd:                 UserSetValue(FMax); break;
        default:                     break;
        }
    }
    TZunoControl::FireKeyRepeat(codes);
}

//==============================================================================
// TZunoSlider: drawing
//==============================================================================

void TZunoSlider::Draw() {
    TCustomDIBX* s = GetSurface();
    if (s && FWidth > 0 && FHeight > 0 && drawsAtAll(FAlpha)) {
        const TRect client = GetClientRect();
        const int64_t x0 = client.Left, y0 = client.Top;
        const bool v = Vertical();
        const int32_t a = AxisLength(), c = CrossLength(), b = ButtonLength();
        // Everything stays inside the control.
        const TRect savedClip = s->ClipRect;
        const TRect drawable = intersectRect(s->GetDrawableRect(), client);
        if (!drawable.isEmpty()) {
            s->ClipRect = drawable;
            if (TCustomDIBX* p = FTrack.Picture())
                drawByAlpha(*s, client.Left, client.Top, TRect(0, 0, p->GetWidth(), p->GetHeight()), *p, FTrack.Mask(),
                            FAlpha);
            else
                fillByAlpha(*s, client, scaledColor(FColor, 128), FAlpha);
            if (b > 0) {
                const TRect dec = offsetBy(axisRect(v, 0, b, 0, c), x0, y0);
                const TRect inc = offsetBy(axisRect(v, int64_t(a) - b, b, 0, c), x0, y0);
                if (TCustomDIBX* p = FButtons.Picture()) {
                    const int32_t half = p->GetWidth() / 2;
                    drawByAlpha(*s, dec.Left, dec.Top, TRect(0, 0, half, p->GetHeight()), *p, FButtons.Mask(), FAlpha);
                    drawByAlpha(*s, inc.Left, inc.Top, TRect(half, 0, half * 2, p->GetHeight()), *p, FButtons.Mask(),
                                FAlpha);
                } else {
                    fillByAlpha(*s, dec, scaledColor(FColor, 192), FAlpha);
                    fillByAlpha(*s, inc, scaledColor(FColor, 192), FAlpha);
                }
            }
            const TRect thumb = offsetBy(axisRect(v, ThumbPos(), ThumbLength(), 0, c), x0, y0);
            if (TCustomDIBX* p = FThumb.Picture())
                drawByAlpha(*s, thumb.Left, thumb.Top, TRect(0, 0, p->GetWidth(), p->GetHeight()), *p, FThumb.Mask(),
                            FAlpha);
            else
                fillByAlpha(*s, thumb, FColor, FAlpha);
            s->ClipRect = savedClip;
        }
    }
    TZunoControl::Draw();
}

void TZunoSlider::ReleaseSurfaces() {
    FTrack.Release();
    FThumb.Release();
    FButtons.Release();
}

void TZunoSlider::RestoreSurfaces() {
    FTrack.Restore();
    FThumb.Restore();
    FButtons.Restore();
}

//==============================================================================
// TZunoSlider: save record
//==============================================================================

void TZunoSlider::SaveToStream(TStream& s) {
    TZunoControl::SaveToStream(s);
    WriteString(s, FTrack.Name());
    WriteString(s, FThumb.Name());
    WriteString(s, FButtons.Name());
    for (int32_t v : {FAlpha, FMin, FMax, FValue, FOrientation, FSmallChange, FLargeChange, FBarSize})
        WriteInt(s, v);
    WriteBool(s, FPaused);
    WriteBool(s, FCaptureMask);
    for (const std::string* h : {&FOnNotify, &FOnIdle, &FOnHold, &FOnRelease})
        WriteString(s, *h);
}

void TZunoSlider::LoadFromStream(TStream& s, int32_t version) {
    TZunoControl::LoadFromStream(s, version);
    FTrack.Load(ReadString(s));
    FThumb.Load(ReadString(s));
    FButtons.Load(ReadString(s));
    for (int32_t* v : {&FAlpha, &FMin, &FMax, &FValue, &FOrientation, &FSmallChange, &FLargeChange, &FBarSize})
        *v = ReadInt(s);
    FMax = std::max(FMax, FMin);
    FValue = std::clamp(FValue, FMin, FMax);
    FPaused = ReadBool(s);
    FCaptureMask = ReadBool(s);
    for (std::string* h : {&FOnNotify, &FOnIdle, &FOnHold, &FOnRelease})
        *h = ReadString(s);
}

//==============================================================================
// TZunoGauge
//==============================================================================

TZunoGauge::TZunoGauge() { FColor = 0x00C000; }

void TZunoGauge::SetValue(int32_t v) {
    if (v == FValue)
        return;
    FValue = v;
    if (FDuration > 0 || FDelay > 0) {
        FFrom = FShown;
        FGlideMs = 0;
    } else {
        FShown = v;
        FGlideMs = -1;
        Invalidate();
    }
}

int32_t TZunoGauge::BarLength() {
    const int64_t full = FBarSize > 0 ? FBarSize : (FOrientation == OT_VERTICAL ? FHeight : FWidth);
    const double range = double(FMax) - FMin;
    if (range <= 0 || full <= 0)
        return 0;
    const double f = std::clamp((FShown - FMin) / range, 0.0, 1.0);
    return clampInt(int64_t(std::floor(double(full) * f + 1e-9)));
}

TRect TZunoGauge::BarRect() {
    const int64_t len = BarLength();
    if (FOrientation == OT_VERTICAL) {
        // Fills upward from the bottom; reversed, downward from the top.
        const int64_t full = FBarSize > 0 ? FBarSize : FHeight;
        return FReverse ? TRect(0, 0, FWidth, clampInt(len)) : TRect(0, clampInt(full - len), FWidth, clampInt(full));
    }
    const int64_t full = FBarSize > 0 ? FBarSize : FWidth;
    return FReverse ? TRect(clampInt(full - len), 0, clampInt(full), FHeight) : TRect(0, 0, clampInt(len), FHeight);
}

TPropValue TZunoGauge::GetProp(int id) {
    switch (id) {
    case PR_SOURCE:      return TPropValue::ofStr(FBar.Name());
    case PR_ALPHA:       return TPropValue::ofInt(FAlpha);
    case PR_DELAY:       return TPropValue::ofInt(FDelay);
    case PR_PAUSED:      return TPropValue::ofBool(FPaused);
    case PR_ONIDLE:      return TPropValue::ofStr(FOnIdle);
    case PR_DURATION:    return TPropValue::ofInt(FDuration);
    case PR_MIN:         return TPropValue::ofInt(FMin);
    case PR_MAX:         return TPropValue::ofInt(FMax);
    case PR_VALUE:       return TPropValue::ofInt(FValue);
    case PR_ORIENTATION: return TPropValue::ofInt(FOrientation);
    case PR_REVERSE:     return TPropValue::ofBool(FReverse);
    case PR_BARSIZE:     return TPropValue::ofInt(FBarSize);
    case PR_PLAYING:     return TPropValue::ofBool(FGlideMs >= 0 && !FPaused);
    default:             return TZunoControl::GetProp(id);
    }
}

void TZunoGauge::SetProp(int id, const TPropValue& v) {
    auto invalidating = [this](auto fn) { Invalidate(); fn(); Invalidate(); };
    switch (id) {
    case PR_SOURCE:      invalidating([&] { FBar.Load(v.Str); }); return;
    case PR_ALPHA:       invalidating([&] { FAlpha = v.Int; }); return;
    case PR_DELAY:       FDelay = v.Int; return;
    case PR_PAUSED:      FPaused = v.Bool; return;
    case PR_ONIDLE:      FOnIdle = v.Str; return;
    case PR_DURATION:    FDuration = v.Int; return;
    case PR_MIN:         invalidating([&] { FMin = v.Int; }); return;
    case PR_MAX:         invalidating([&] { FMax = v.Int; }); return;
    case PR_VALUE:       SetValue(v.Int); return;
    case PR_ORIENTATION: invalidating([&] { FOrientation = v.Int; }); return;
    case PR_REVERSE:     invalidating([&] { FReverse = v.Bool; }); return;
    case PR_BARSIZE:     invalidating([&] { FBarSize = v.Int; }); return;
    case PR_PLAYING:     return;
    default:             TZunoControl::SetProp(id, v); return;
    }
}

int TZunoGauge::Update() {
    const int answer = TZunoControl::Update();
    if (answer != 0 || FGlideMs < 0 || FPaused || !FOwner)
        return answer;
    // The bar waits Delay ms, then glides linearly to the value in Duration ms.
    FGlideMs = addClamped(FGlideMs, FOwner->FrameElapsed());
    const int64_t t = int64_t(FGlideMs) - std::max(0, FDelay);
    const double before = FShown;
    if (t >= FDuration) {
        FShown = FValue;
        FGlideMs = -1;
    } else if (t > 0) {
        FShown = FFrom + (FValue - FFrom) * double(t) / double(FDuration);
    }
    if (FShown != before)
        Invalidate();
    return answer;
}

void TZunoGauge::Draw() {
    TCustomDIBX* s = GetSurface();
    if (s && FWidth > 0 && FHeight > 0 && drawsAtAll(FAlpha)) {
        const TRect client = GetClientRect();
        const TRect bar = intersectRect(offsetBy(BarRect(), client.Left, client.Top), client);
        const TRect savedClip = s->ClipRect;
        const TRect drawable = intersectRect(s->GetDrawableRect(), client);
        if (!drawable.isEmpty()) {
            s->ClipRect = drawable;
            if (TCustomDIBX* p = FBar.Picture()) {
                // The picture is the full bar; only its filled part shows.
                const TRect src = intersectRect(offsetBy(bar, -int64_t(client.Left), -int64_t(client.Top)),
                                                TRect(0, 0, p->GetWidth(), p->GetHeight()));
                drawByAlpha(*s, clampInt(int64_t(client.Left) + src.Left), clampInt(int64_t(client.Top) + src.Top),
                            src, *p, FBar.Mask(), FAlpha);
            } else {
                fillByAlpha(*s, client, scaledColor(FColor, 64), FAlpha);
                fillByAlpha(*s, bar, FColor, FAlpha);
            }
            s->ClipRect = savedClip;
        }
    }
    TZunoControl::Draw();
}

void TZunoGauge::SaveToStream(TStream& s) {
    TZunoControl::SaveToStream(s);
    WriteString(s, FBar.Name());
    for (int32_t v : {FAlpha, FDelay, FDuration, FMin, FMax, FValue, FOrientation, FBarSize})
        WriteInt(s, v);
    WriteBool(s, FPaused);
    WriteBool(s, FReverse);
    WriteString(s, FOnIdle);
}

void TZunoGauge::LoadFromStream(TStream& s, int32_t version) {
    TZunoControl::LoadFromStream(s, version);
    FBar.Load(ReadString(s));
    for (int32_t* v : {&FAlpha, &FDelay, &FDuration, &FMin, &FMax, &FValue, &FOrientation, &FBarSize})
        *v = ReadInt(s);
    FPaused = ReadBool(s);
    FReverse = ReadBool(s);
    FOnIdle = ReadString(s);
    FShown = FValue;                        // a restored gauge shows its value at once
    FGlideMs = -1;
}

} // namespace zuno
