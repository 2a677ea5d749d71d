#include "objects/TZunoLabel.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

#include "core/Cp932.h"
#include "core/StreamFields.h"
#include "imaging/TCustomDIBX.h"
#include "objects/TZunoBase.h"
#include "objects/TZunoCustomImage.h"
#include "text/DrawChar.h"
#include "text/TFontPixelManager.h"
#include "text/TKsLabelList.h"

namespace zuno {

namespace {

int32_t clampInt(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// The rendered pictures stay within this many pixels a side and in all, so
// that a huge font height or a very long text cannot ask for unbounded
// memory; a caption beyond them keeps its size but draws nothing.
constexpr int64_t kMaxPictureSide = 16384;
constexpr int64_t kMaxPicturePixels = int64_t(16) << 20;

} // namespace

std::vector<std::string> splitTextLines(const std::string& text, bool dropFinalEmpty) {
    std::vector<std::string> lines;
    if (text.empty())
        return lines;
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(std::move(line));
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            continue;
        }
        line += c;
        // A double-byte character is kept whole: its second byte is never
        // taken for a line break.
        if (isLeadByte(uint8_t(c)) && i + 1 < text.size())
            line += text[++i];
    }
    lines.push_back(std::move(line));
    if (dropFinalEmpty && lines.back().empty())
        lines.pop_back();
    return lines;
}

TZunoLabel::TZunoLabel() : FFontName(sjis("ＭＳ Ｐゴシック")) {}

//==============================================================================
// Properties
//==============================================================================

std::string TZunoLabel::GetText() const {
    std::string text;
    for (size_t i = 0; i < FLines.size(); ++i) {
        if (i)
            text += "\r\n";
        text += FLines[i];
    }
    return text;
}

void TZunoLabel::SetText(const std::string& text) {
    if (text == GetText())
        return;
    FLines = splitTextLines(text, true);
    Rebuild();
}

void TZunoLabel::SetFontName(const std::string& v) {
    if (v == FFontName)
        return;
    FFontName = v;
    Rebuild();
}

void TZunoLabel::SetFontHeight(int32_t v) {
    if (v == FFontHeight)
        return;
    FFontHeight = v;
    Rebuild();
}

void TZunoLabel::SetLineSpace(int32_t v) {
    if (v == FLineSpace)
        return;
    FLineSpace = v;
    Rebuild();
}

void TZunoLabel::SetFontStyle(uint8_t v) {
    if (v == FFontStyle)
        return;
    FFontStyle = v;
    Rebuild();
}

void TZunoLabel::SetFontColor(int32_t v) {
    if (v == FFontColor)
        return;
    FFontColor = v;
    Rebuild();
    Invalidate();
}

void TZunoLabel::SetHAlign(uint8_t v) {
    if (v == FHAlign)
        return;
    FHAlign = v;
    Rebuild();
}

void TZunoLabel::SetAntiAlias(bool v) {
    if (v == FAntiAlias)
        return;
    FAntiAlias = v;
    Rebuild();
}

void TZunoLabel::SetAlpha(int32_t v) {
    if (v == FAlpha)
        return;
    FAlpha = v;
    Invalidate();
}

void TZunoLabel::SetFlipH(bool v) {
    if (v == FFlipH)
        return;
    FFlipH = v;
    Invalidate();
}

void TZunoLabel::SetFlipV(bool v) {
    if (v == FFlipV)
        return;
    FFlipV = v;
    Invalidate();
}

void TZunoLabel::SetAngle(int32_t v) {
    if (v == FAngle)
        return;
    Invalidate();
    FAngle = v;
    Invalidate();
}

void TZunoLabel::SetZoomX(int32_t v) {
    if (v == FZoomX)
        return;
    Invalidate();
    FZoomX = std::max(1, v);
    FWidth = clampInt(int64_t(FNaturalWidth) * FZoomX / 256);
    Invalidate();
}

void TZunoLabel::SetZoomY(int32_t v) {
    if (v == FZoomY)
        return;
    Invalidate();
    FZoomY = std::max(1, v);
    FHeight = clampInt(int64_t(FNaturalHeight) * FZoomY / 256);
    Invalidate();
}

void TZunoLabel::SetSource(const std::string& text) {
    if (text == FSource)
        return;
    FSource = text;
    FreeMotion();
    if (fileExtensionLower(text) == ".zmt")
        LoadMotion(text);
}

void TZunoLabel::SetRepeat(bool v) {
    if (v == FRepeat)
        return;
    FRepeat = v;
    if (v && FMotion && FMotion->Finished())
        RestartMotion();
}

TPropValue TZunoLabel::GetProp(int id) {
    switch (id) {
    case PR_TEXT:       return TPropValue::ofStr(GetText());
    case PR_FONTNAME:   return TPropValue::ofStr(FFontName);
    case PR_FONTHEIGHT: return TPropValue::ofInt(FFontHeight);
    case PR_LINESPACE:  return TPropValue::ofInt(FLineSpace);
    case PR_FONTSTYLE:  return TPropValue::ofInt(FFontStyle);
    case PR_ALPHA:      return TPropValue::ofInt(FAlpha);
    case PR_FONTCOLOR:  return TPropValue::ofInt(FFontColor);
    case PR_HALIGN:     return TPropValue::ofInt(FHAlign);
    case PR_ANTIALIAS:  return TPropValue::ofBool(FAntiAlias);
    case PR_FLIPH:      return TPropValue::ofBool(FFlipH);
    case PR_FLIPV:      return TPropValue::ofBool(FFlipV);
    case PR_ANGLE:      return TPropValue::ofInt(FAngle);
    case PR_ZOOMX:      return TPropValue::ofInt(FZoomX);
    case PR_ZOOMY:      return TPropValue::ofInt(FZoomY);
    case PR_ONIDLE:     return TPropValue::ofStr(FOnIdle);
    case PR_SOURCE:     return TPropValue::ofStr(FSource);
    case PR_REPEAT:     return TPropValue::ofBool(FRepeat);
    case PR_AUTOSCRAP:  return TPropValue::ofBool(FAutoScrap);
    case PR_ONPLAYEND:  return TPropValue::ofStr(FOnPlayEnd);
    case PR_PAUSED:     return TPropValue::ofBool(FPaused);
    default:            return TZunoControl::GetProp(id);
    }
}

void TZunoLabel::SetProp(int id, const TPropValue& v) {
    switch (id) {
    case PR_TEXT:       SetText(v.Str); return;
    case PR_FONTNAME:   SetFontName(v.Str); return;
    case PR_FONTHEIGHT: SetFontHeight(v.Int); return;
    case PR_LINESPACE:  SetLineSpace(v.Int); return;
    case PR_FONTSTYLE:  SetFontStyle(uint8_t(v.Int)); return;
    case PR_ALPHA:      SetAlpha(v.Int); return;
    case PR_FONTCOLOR:  SetFontColor(v.Int); return;
    case PR_HALIGN:     SetHAlign(uint8_t(v.Int)); return;
    case PR_ANTIALIAS:  SetAntiAlias(v.Bool); return;
    case PR_FLIPH:      SetFlipH(v.Bool); return;
    case PR_FLIPV:      SetFlipV(v.Bool); return;
    case PR_ANGLE:      SetAngle(v.Int); return;
    case PR_ZOOMX:      SetZoomX(v.Int); return;
    case PR_ZOOMY:      SetZoomY(v.Int); return;
    case PR_ONIDLE:     FOnIdle = v.Str; return;
    case PR_SOURCE:     SetSource(v.Str); return;
    case PR_REPEAT:     SetRepeat(v.Bool); return;
    case PR_AUTOSCRAP:  FAutoScrap = v.Bool; return;
    case PR_ONPLAYEND:  FOnPlayEnd = v.Str; return;
    case PR_PAUSED:     FPaused = v.Bool; return;
    default:            TZunoControl::SetProp(id, v); return;
    }
}

//==============================================================================
// Rendering
//==============================================================================

int32_t TZunoLabel::targetBits() {
    TCustomDIBX* s = GetSurface();
    return s ? s->GetBitCount() : 32;
}

void TZunoLabel::Rebuild() {
    TFontPixelManager* manager = FManager ? FManager : TFontPixelManager::Instance();
    const std::string face = FFontName.empty() ? fallbackFaceName() : FFontName;

    // Measure every line: a character advances by its mask, its left offset
    // and the room right of the mask.
    std::vector<std::vector<uint16_t>> codes;
    std::vector<std::vector<int32_t>> widths;
    std::vector<int64_t> lineWidths;
    int64_t natural = 0;
    if (manager)
        manager->AntiAliasLevel = FAntiAlias ? kAntiAliasMax : kAntiAliasMono;
    for (const std::string& line : FLines) {
        codes.push_back(manager ? sjisCharCodes(line) : std::vector<uint16_t>{});
        widths.emplace_back();
        int64_t w = 0;
        for (uint16_t code : codes.back()) {
            TFontPixel& g = manager->GetGlyph(code, face, FFontStyle, FFontHeight);
            const int32_t cw = clampInt(int64_t(g.GlyphMask.GetWidth()) + g.GlyphLeft + g.ExtraAdvance);
            widths.back().push_back(cw);
            w += cw;
        }
        lineWidths.push_back(w);
        natural = std::max(natural, w);
    }
    Invalidate();
    FNaturalWidth = clampInt(natural);
    FNaturalHeight = clampInt((int64_t(FFontHeight) + FLineSpace) * int64_t(FLines.size()));
    FWidth = clampInt(int64_t(FNaturalWidth) * FZoomX / 256);
    FHeight = clampInt(int64_t(FNaturalHeight) * FZoomY / 256);
    FLineRects.clear();

    const int64_t nw = FNaturalWidth, nh = FNaturalHeight;
    if (manager && nw > 0 && nh > 0 && nw <= kMaxPictureSide && nh <= kMaxPictureSide &&
        nw * nh <= kMaxPicturePixels) {
        const int32_t bits = targetBits();
        if (FPicture.GetWidth() != nw || FPicture.GetHeight() != nh || FPicture.GetBitCount() != bits) {
            FPicture.SetSize(int32_t(nw), int32_t(nh), bits);
            FAlphaPicture.SetSize(int32_t(nw), int32_t(nh), 8);
        }
        FAlphaPicture.Fill(0);
        TCustomDIBX* s = GetSurface();
        const TDrawCharColours colours{0, 0, s ? s->ColorToPixel(FFontColor) : FPicture.ColorToPixel(FFontColor)};
        const TRect bounds(0, 0, int32_t(nw), int32_t(nh));
        int64_t y = 0;
        for (size_t l = 0; l < FLines.size(); ++l) {
            int64_t x = FHAlign == HA_CENTER ? (nw - lineWidths[l]) / 2 : FHAlign == HA_RIGHT ? nw - lineWidths[l] : 0;
            TRect changed;
            const size_t n = codes[l].size();
            for (size_t i = 0; i < n; ++i) {
                TFontPixel& g = manager->GetGlyph(codes[l][i], face, FFontStyle, FFontHeight);
                const TDrawCharRun run{i + 1 == n, i == 0};
                const TRect cell = TRect::bounds(clampInt(x), clampInt(y), widths[l][i], FFontHeight);
                const TRect r = DrawChar(*manager, g, FPicture, FAlphaPicture, false, colours, run, 0, 0, cell);
                changed = changed.isEmpty() ? r : r.isEmpty() ? changed : unionRect(changed, r);
                x += widths[l][i];
            }
            changed = intersectRect(changed, bounds);
            if (!changed.isEmpty())
                FLineRects.push_back(changed);
            y += int64_t(FFontHeight) + FLineSpace;
        }
    } else {
        FPicture.Clear();
        FAlphaPicture.Clear();
    }
    Invalidate();
}

//==============================================================================
// Drawing and input
//==============================================================================

TPoint TZunoLabel::AnchorPoint() {
    const int64_t ax = FFlipH ? int64_t(FNaturalWidth) - FOffsetX - 1 : FOffsetX;
    const int64_t ay = FFlipV ? int64_t(FNaturalHeight) - FOffsetY - 1 : FOffsetY;
    return {clampInt(ScreenLeft() + ax), clampInt(ScreenTop() + ay)};
}

TRect TZunoLabel::DrawnArea() {
    if (FAngle == 0)
        return GetClientRect();
    const TPoint a = AnchorPoint();
    return TCustomDIBX::GetRotateBounds(a.X, a.Y, TRect(0, 0, FNaturalWidth, FNaturalHeight), FOffsetX, FOffsetY,
                                        FFlipV, FFlipH, FAngle & 0xFF, FZoomX, FZoomY);
}

void TZunoLabel::Invalidate() {
    if (!Visible() || !FOwner)
        return;
    TZunoBase* base = GetBase();
    if (!base)
        return;
    TRect r = DrawnArea();
    if (FParent && !FParent->ClipToClient(r))
        return;
    const TRect clip = GetClipRect();
    if (!clip.isEmpty())
        r = intersectRect(r, clip);
    if (r.isEmpty())
        return;
    ExpandDirtyRect(r);
    base->AddDirtyRect(r);
}

void TZunoLabel::Draw() {
    if (FLines.empty() || FAlpha == 0)
        return;
    TCustomDIBX* s = GetSurface();
    if (!s)
        return;
    // The screen's depth may differ from the one the pictures were made for
    // (the caption was rendered before it had a screen).
    if (!FPicture.IsEmpty() && FPicture.GetBitCount() != s->GetBitCount())
        Rebuild();
    if (!FPicture.IsEmpty() && FAlpha > 0) {
        const TRect whole(0, 0, FPicture.GetWidth(), FPicture.GetHeight());
        if (FAngle != 0) {
            const TPoint a = AnchorPoint();
            s->DrawRotateMask(a.X, a.Y, FAlpha, FAlphaPicture, FFlipV, FFlipH, FAngle & 0xFF, FOffsetX, FOffsetY,
                              FZoomX, FZoomY, whole, FPicture);
        } else if (FWidth == FNaturalWidth && FHeight == FNaturalHeight) {
            const int32_t left = ScreenLeft(), top = ScreenTop();
            const uint32_t colour = s->ColorToPixel(FFontColor);
            for (const TRect& r : FLineRects)
                s->DrawColorMask(clampInt(int64_t(left) + r.Left), clampInt(int64_t(top) + r.Top), FAlpha, colour,
                                 false, false, r, FAlphaPicture);
        } else if (FWidth > 0 && FHeight > 0) {
            const TRect dest = GetClientRect();
            if (FAlpha > 255)
                s->StretchDrawAddMask(dest, FPicture, std::min(FAlpha - 256, 255), FAlphaPicture, FFlipV, FFlipH,
                                      whole);
            else
                s->StretchDrawAlphaMask(dest, FPicture, FAlpha, FAlphaPicture, FFlipV, FFlipH, whole);
        }
    }
    TZunoControl::Draw();
}

TZunoControl* TZunoLabel::HitTest(int32_t x, int32_t y, TIgnoreMouseSet accepted) {
    if (!Visible())
        return nullptr;
    const TRect area = DrawnArea();
    if (FAngle == 0) {
        if (!area.contains(x, y))
            return nullptr;
    } else {
        // Turned back about the anchor point, the point must lie in the
        // drawn (rotated bounding) rectangle.
        const TPoint a = AnchorPoint();
        const double theta = -double(FAngle & 0xFF) * 2.0 * std::numbers::pi / 256.0;
        const double dx = double(x) - a.X, dy = double(y) - a.Y;
        const int64_t rx = std::llround(a.X + std::cos(theta) * dx - std::sin(theta) * dy);
        const int64_t ry = std::llround(a.Y + std::sin(theta) * dx + std::cos(theta) * dy);
        if (rx < area.Left || rx >= area.Right || ry < area.Top || ry >= area.Bottom)
            return nullptr;
    }
    if (!(accepted & imBit(FIgnoreMouse)))
        return nullptr;
    for (auto it = FChildren.rbegin(); it != FChildren.rend(); ++it)
        if (TZunoControl* h = (*it)->HitTest(x, y, accepted))
            return h;
    return this;
}

//==============================================================================
// Save record
//==============================================================================

void TZunoLabel::SaveToStream(TStream& s) {
    TZunoControl::SaveToStream(s);
    WriteString(s, FFontName);
    WriteInt(s, FFontHeight);
    WriteInt(s, FLineSpace);
    WriteByte(s, FFontStyle);
    WriteInt(s, FAlpha);
    WriteInt(s, FFontColor);
    WriteByte(s, FHAlign);
    WriteBool(s, FAntiAlias);
    WriteBool(s, FFlipH);
    WriteBool(s, FFlipV);
    WriteInt(s, FAngle);
    WriteInt(s, FZoomX);
    WriteString(s, GetText());
    WriteString(s, FOnIdle);
    WriteString(s, FSource);
    WriteBool(s, FRepeat);
    WriteBool(s, FAutoScrap);
    WriteString(s, FOnPlayEnd);
    WriteBool(s, FPaused);
    WriteInt(s, FZoomY);
}

void TZunoLabel::LoadFromStream(TStream& s, int32_t version) {
    TZunoControl::LoadFromStream(s, version);
    FFontName = ReadString(s);
    FFontHeight = ReadInt(s);
    FLineSpace = ReadInt(s);
    FFontStyle = ReadByte(s);
    FAlpha = ReadInt(s);
    FFontColor = ReadInt(s);
    FHAlign = ReadByte(s);
    FAntiAlias = ReadBool(s);
    FFlipH = ReadBool(s);
    FFlipV = ReadBool(s);
    FAngle = ReadInt(s);
    FZoomX = std::max(1, ReadInt(s));
    const std::string text = ReadString(s);
    std::string source;
    if (version > 103) {
        FOnIdle = ReadString(s);
        source = ReadString(s);
        FRepeat = ReadBool(s);
        FAutoScrap = ReadBool(s);
        FOnPlayEnd = ReadString(s);
        FPaused = ReadBool(s);
        FZoomY = std::max(1, ReadInt(s));
    }
    FLines.clear();
    SetText(text);
    Rebuild();              // also when the text was empty: the size follows the restored zooms
    SetSource(source);
}

} // namespace zuno
