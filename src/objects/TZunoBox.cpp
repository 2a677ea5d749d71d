#include "objects/TZunoBox.h"

#include <algorithm>
#include <climits>

#include "core/StreamFields.h"
#include "imaging/TCustomDIBX.h"
#include "objects/TZunoCustomImage.h"

namespace zuno {

namespace {

TRect rectOf(int64_t l, int64_t t, int64_t r, int64_t b) {
    auto c = [](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    return {c(l), c(t), c(r), c(b)};
}

// The four bands of a frame of width w inside r, in the order the frame
// operations draw them: top, bottom, then left and right between them.
// Worked out in 64 bits, so any width is safe.
template <class Fn>
void forEachBand(const TRect& r, int64_t w, Fn fn) {
    if (w <= 0 || r.isEmpty())
        return;
    const int64_t l = r.Left, t = r.Top, rt = r.Right, b = r.Bottom;
    for (const TRect& band : {rectOf(l, t, rt, t + w), rectOf(l, b - w, rt, b), rectOf(l, t + w, l + w, b - w),
                              rectOf(rt - w, t + w, rt, b - w)})
        if (!band.isEmpty())
            fn(band);
}

// Each of the colour's three channels times f / 256.
int32_t scaledColor(int32_t colour, int32_t f) {
    auto ch = [&](int shift) { return ((int64_t(colour) >> shift & 0xFF) * f / 256) << shift; };
    return static_cast<int32_t>(ch(0) | ch(8) | ch(16));
}

} // namespace

//==============================================================================
// Properties
//==============================================================================

void TZunoBox::SetBorderWidth(int32_t v) {
    if (v == FBorderWidth)
        return;
    FBorderWidth = v;
    Invalidate();
}

void TZunoBox::SetBorderColor(int32_t v) {
    if (v == FBorderColor)
        return;
    FBorderColor = v;
    Invalidate();
}

void TZunoBox::SetAlpha(int32_t v) {
    if (v == FAlpha)
        return;
    FAlpha = v;
    Invalidate();
}

void TZunoBox::SetSource(const std::string& text) {
    FSource = text;
    FreeMotion();
    if (fileExtensionLower(text) == ".zmt")
        LoadMotion(text);
}

void TZunoBox::SetRepeat(bool v) {
    if (v == FRepeat)
        return;
    FRepeat = v;
    if (v && FMotion && FMotion->Finished())
        RestartMotion();
}

TPropValue TZunoBox::GetProp(int id) {
    switch (id) {
    case PR_BORDERWIDTH: return TPropValue::ofInt(FBorderWidth);
    case PR_BORDERCOLOR: return TPropValue::ofInt(FBorderColor);
    case PR_ALPHA:       return TPropValue::ofInt(FAlpha);
    case PR_ONIDLE:      return TPropValue::ofStr(FOnIdle);
    case PR_SOURCE:      return TPropValue::ofStr(FSource);
    case PR_REPEAT:      return TPropValue::ofBool(FRepeat);
    case PR_AUTOSCRAP:   return TPropValue::ofBool(FAutoScrap);
    case PR_PAUSED:      return TPropValue::ofBool(FPaused);
    case PR_ONPLAYEND:   return TPropValue::ofStr(FOnPlayEnd);
    default:             return TZunoControl::GetProp(id);
    }
}

void TZunoBox::SetProp(int id, const TPropValue& v) {
    switch (id) {
    case PR_BORDERWIDTH: SetBorderWidth(v.Int); return;
    case PR_BORDERCOLOR: SetBorderColor(v.Int); return;
    case PR_ALPHA:       SetAlpha(v.Int); return;
    case PR_ONIDLE:      FOnIdle = v.Str; return;
    case PR_SOURCE:      SetSource(v.Str); return;
    case PR_REPEAT:      SetRepeat(v.Bool); return;
    case PR_AUTOSCRAP:   FAutoScrap = v.Bool; return;
    case PR_PAUSED:      FPaused = v.Bool; return;
    case PR_ONPLAYEND:   FOnPlayEnd = v.Str; return;
    default:             TZunoControl::SetProp(id, v); return;
    }
}

//==============================================================================
// Drawing
//==============================================================================

void TZunoBox::Draw() {
    TCustomDIBX* s = GetSurface();
    const bool border = FBorderWidth > 0 && FBorderColor >= 0;
    if (s && Visible() && FAlpha > 0 && FAlpha < 512 && (FColor >= 0 || border)) {
        const TRect r = GetClientRect();
        // One band or area in the colour by the alpha rule.
        auto paint = [&](const TRect& area, int32_t colour) {
            if (FAlpha >= 256)
                s->FillRectAdd(area, s->ColorToPixel(scaledColor(colour, FAlpha - 256)));
            else if (FAlpha == 255)
                s->FillRect(area, s->ColorToPixel(colour));
            else
                s->FillRectAlpha(area, s->ColorToPixel(colour), FAlpha);
        };
        if (border) {
            forEachBand(r, FBorderWidth, [&](const TRect& band) { paint(band, FBorderColor); });
            const int64_t w = FBorderWidth;
            const TRect inner = rectOf(r.Left + w, r.Top + w, int64_t(r.Right) - w, int64_t(r.Bottom) - w);
            if (FColor >= 0 && !inner.isEmpty())
                paint(inner, FColor);
        } else {
            paint(r, FColor);
        }
    }
    TZunoControl::Draw();
}

//==============================================================================
// Save record
//==============================================================================

void TZunoBox::SaveToStream(TStream& s) {
    TZunoControl::SaveToStream(s);
    WriteInt(s, FBorderWidth);
    WriteInt(s, FBorderColor);
    WriteInt(s, FAlpha);
    WriteString(s, FOnIdle);
    WriteString(s, FSource);
    WriteBool(s, FRepeat);
    WriteBool(s, FAutoScrap);
    WriteString(s, FOnPlayEnd);
    WriteBool(s, FPaused);
    WriteBool(s, FAniPaused);
}

void TZunoBox::LoadFromStream(TStream& s, int32_t version) {
    TZunoControl::LoadFromStream(s, version);
    FBorderWidth = ReadInt(s);
    FBorderColor = ReadInt(s);
    FAlpha = ReadInt(s);
    if (version > 103) {
        FOnIdle = ReadString(s);
        SetSource(ReadString(s));
        FRepeat = ReadBool(s);
        FAutoScrap = ReadBool(s);
        FOnPlayEnd = ReadString(s);
        FPaused = ReadBool(s);
        FAniPaused = ReadBool(s);
    }
}

} // namespace zuno
